#pragma once
// The date range of a registry filter: "Desde" and "Hasta", each a check box
// that enables its date box. Unticked, that end of the range stays open.

#include "core/registry/registry_store.h"

#include <QWidget>

class QCheckBox;
class QDateEdit;

class RangoFechas : public QWidget {
    Q_OBJECT
public:
    // `contexto` names what the range filters, for the object names
    // ("chk" + contexto + "Desde") and what a screen reader hears ("Resumen
    // desde", "Fecha desde del resumen"); empty for the registry's table.
    explicit RangoFechas(const QString &contexto = QString(), QWidget *padre = nullptr);

    // Sets the ends that are ticked.
    void aplicarA(FiltroRegistro &filtro) const;

signals:
    // A box ticked or a date changed.
    void cambiado();

private:
    QCheckBox *chkDesde_ = nullptr;
    QCheckBox *chkHasta_ = nullptr;
    QDateEdit *dtDesde_ = nullptr;
    QDateEdit *dtHasta_ = nullptr;
};
