#pragma once
// RegistroLocal: the registry file on this machine: "Registro de Evaluaciones.sqlite",
// table "Evaluaciones", made on first use and extended in place when an
// older version made it.

#include "core/registry/registry_sql.h"
#include "core/registry/registry_store.h"

#include <memory>

namespace RegistroEvaluaciones {
// Creates the folder, the file and the table when missing, and adds the
// coordinate columns to a table of the first version. Throws ErrorDatos
// with the file and table named when that is not possible.
void asegurar(const QString &archivo);
}  // namespace RegistroEvaluaciones

class RegistroLocal : public AlmacenRegistro {
public:
    // Makes the file when it is missing (RegistroEvaluaciones::asegurar).
    explicit RegistroLocal(QString archivo);
    ~RegistroLocal() override;

    const QString &archivo() const { return archivo_; }
    QString descripcion() const override;

    // The number is the largest number plus one, taken under the file's
    // write lock, so programs saving at once never share one; the records
    // are on disk when this returns.
    void agregar(QVector<RegistroEvaluacion> &lote) override;
    using AlmacenRegistro::agregar;

    qint64 contar(const FiltroRegistro &filtro) override;
    QVector<RegistroEvaluacion> pagina(const FiltroRegistro &filtro, const OrdenRegistro &orden, qint64 desde,
                                       int cuantos) override;
    std::optional<RegistroEvaluacion> porNumero(int32_t numero) override;
    void recorrer(const FiltroRegistro &filtro, const OrdenRegistro &orden,
                  const std::function<bool(const RegistroEvaluacion &)> &cada) override;
    ResumenRegistro resumen(const FiltroRegistro &filtro) override;
    std::optional<EdificacionRegistrada> edificacion(const QString &clave) override;
    QVector<EdificacionRegistrada> cercanas(double latitud, double longitud, double metros) override;
    QVector<RegistroEvaluacion> historial(const QString &clave) override;
    void situar(QVector<RegistroEvaluacion> &registros) override;
    QString claveDe(int32_t numero) override;
    // Under the file's write lock, in one transaction with the row of
    // table "Correcciones"; who: the machine's user.
    void corregir(int32_t numero, const QString &columna, const QString &valor, const QString &motivo,
                 const QUuid &id = QUuid()) override;
    QVector<Correccion> correcciones(int32_t numero) override;
    // Photos (core/registry/local_photos.cpp): table "Fotos" of the same
    // file; adding and removing under the file's write lock, in one
    // transaction.
    QVector<FotoEvaluacion> fotos(int32_t numero) override;
    std::optional<FotoEvaluacion> foto(const QUuid &uuid) override;
    void agregarFotos(int32_t numero, QVector<FotoEvaluacion> &fotos) override;
    void quitarFoto(const QUuid &foto, const QString &motivo) override;

    const LectorRegistroSql &lector();

private:
    QString archivo_;
    QString conexion_;
    std::unique_ptr<LectorRegistroSql> lector_;
};
