#pragma once
// One complete evaluation used by the registry tests and by the helper
// program that saves evaluations from another process, with the values
// its record must hold; and reading a registry file back.

#include "core/evaluation/evaluation_state.h"
#include "core/evaluation/building_data.h"
#include "core/registry/record_builder.h"

#include "core/data/record_set.h"
#include "core/registry/local_registry.h"
#include "core/registry/registry_sql.h"

#include <QDateTime>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QVariant>
#include <QVariantList>
#include <algorithm>
#include <iterator>

namespace Ejemplo {

// The damage levels of the example, as rated and as stored.
inline constexpr int16_t Proporciones[25] = {10, 20, 30, 25, 15, 0,  5,  15, 30, 50, 100, 0, 0,
                                             0,  0,  40, 30, 20, 10, 0, 35, 35, 20, 5,   5};
inline constexpr int16_t Cualitativos[13] = {0, 1, 2, 3, 4, 4, 3, 2, 1, 0, 2, 4, 1};

// A finished evaluation of a reinforced-concrete frame building.
inline void LlenarEstado(EstadoEvaluacion &e)
{
    e.Inspeccion = QStringLiteral("Parcial");
    e.EstabilidadEvaluador = QStringLiteral("Bajo, después de adecuaciones");
    e.AnnoConstruccion = QStringLiteral("1950 a 1982");
    e.Localizacion = QStringLiteral("Libre por un costado");
    e.CasoRelevancia = 0;
    e.InfoNoRelevante = 0;
    std::copy(std::begin(Proporciones), std::end(Proporciones), e.NivelesProporcion.begin());
    std::copy(std::begin(Cualitativos), std::end(Cualitativos), e.NivelesCualitativos.begin());
    e.TextoRiesgoEstructural = QStringLiteral("Alto");
    e.TextoDannoEstructural = QStringLiteral("Fuerte");
    e.IndiceEstructural = 0.6123;
    e.TextoRiesgoNoEstructural = QStringLiteral("Bajo, después de medidas");
    e.TextoDannoNoEstructural = QStringLiteral("Moderado");
    e.IndiceNoEstructural = 0.4512;
    e.TextoRiesgoGeotecnico = QStringLiteral("Bajo");
    e.TextoSuelo = QStringLiteral("Buenas");
    e.IndiceSuelo = 0.17;
    e.TextoPreexistente = QStringLiteral("Regulares");
    e.IndicePreexistente = 0.33;
    e.TextoDannoEdificio = QStringLiteral("Fuerte");
    e.TextoEstadoGlobal = QStringLiteral("Grave");
    e.TextoHabitabilidad = QStringLiteral("No Habitable");
    e.TextoReparabilidad = QStringLiteral("Refuerzo");
    e.CodDannoEdificio = QStringLiteral("DE 32");
    e.CodEstadoGlobal = QStringLiteral("EG 31");
    e.CodHabitabilidad = QStringLiteral("HA 2");
    e.CodMedidasSeguridad = QStringLiteral("MS 401");
    e.CodReparabilidad = QStringLiteral("RE 2");
}

inline DatosEdificacion Datos()
{
    DatosEdificacion d;
    d.txtNPisos = QStringLiteral("4");
    d.txtNSotanos = QStringLiteral("1");
    d.txtPisosTotal = QStringLiteral("5");
    d.txtPMayorDanno = QStringLiteral("2.5");  // rounds to the even 2
    d.cboTipoEstructura = QStringLiteral("Pórticos en concreto reforzado");
    d.cboCubierta = QStringLiteral("Teja de barro");
    d.cboEntrepiso = QStringLiteral("Placa aligerada");
    return d;
}

// Everything typed, with a complete cadastral code and a complete address
// on a "Calle".
inline IdentificacionEvaluacion Identificacion()
{
    IdentificacionEvaluacion id;
    id.txtNombre = QStringLiteral("Edificio Álamo");
    id.txtDuenno = QStringLiteral("Marta Núñez");
    id.txtTelefono = QStringLiteral("555 0199");
    id.txtEvaluador = QStringLiteral("Ing. Pérez");
    id.txtCodigComi = QStringLiteral("C-17");
    id.DTEvaluacion = QDateTime(QDate(2026, 12, 6), QTime(14, 56, 40));
    id.cboGrupo = QStringLiteral("Comercial");
    id.cboUsoBaja = QStringLiteral("Bodegas");
    id.txtAvaluo = QStringLiteral("01");
    id.txtNomBarrio = QStringLiteral("San Martín");
    id.txtComuna1 = QStringLiteral("05");
    id.txtComuna2 = QStringLiteral("1234567890");
    id.txtsector = QStringLiteral("12");
    id.txtManzana = QStringLiteral("0034");
    id.txtPredio = QStringLiteral("0056");
    id.txtMejoraPH = QStringLiteral("001");
    id.Option1 = 1;
    id.txtNumCalle = QStringLiteral("45B");
    id.txtAvenida = QStringLiteral("--");
    id.txtOtro = QStringLiteral("--");
    id.txtNumero = QStringLiteral("12-30");
    return id;
}

// The record of the example, field by field (field 0, the number, is left
// to the caller).
inline QVariantList Campos()
{
    auto t = [](const char *s) { return QVariant(QString::fromUtf8(s)); };
    auto n = [](qlonglong v) { return QVariant(v); };
    QVariantList c;
    c << QVariant()  // 0: number
      << t("05-1234567890") << t("San Martín") << t("01") << t("12") << t("0034") << t("0056") << t("001")
      << t("Calle") << t("45B") << t("--") << t("--") << t("12-30")
      << t("Edificio Álamo") << t("Marta Núñez") << t("555 0199") << t("Ing. Pérez") << t("C-17")
      << t("2026-12-06T14:56:40") << t("Comercial") << t("Bodegas")
      << t("Parcial") << t("Bajo, después de adecuaciones") << t("1950 a 1982") << t("Libre por un costado")
      << n(4) << n(1) << n(5) << n(2)
      << t("Pórticos en concreto reforzado") << t("Teja de barro") << t("Placa aligerada") << n(0);
    for (int16_t v : Proporciones)
        c << n(v);
    for (int16_t v : Cualitativos)
        c << n(v);
    c << t("Alto") << t("Fuerte") << QVariant(0.6123) << t("Bajo, después de medidas") << t("Moderado")
      << QVariant(0.4512) << t("Bajo") << t("Buenas") << QVariant(0.17) << t("Regulares") << QVariant(0.33)
      << t("Fuerte") << t("Grave") << t("No Habitable") << t("Refuerzo")
      << t("DE 32") << t("EG 31") << t("HA 2") << t("MS 401") << t("RE 2")
      << QVariant() << QVariant();  // no coordinates given
    return c;
}

// Runs `leer` on a connection of its own to the registry file; returns the
// database's message when the file cannot be opened.
template <typename F>
QString ConArchivo(const QString &archivo, F leer)
{
    const QString nombre = QStringLiteral("lectura de prueba");
    QString error;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), nombre);
        db.setDatabaseName(archivo);
        if (db.open()) {
            QSqlQuery q(db);
            leer(q);
        } else {
            error = db.lastError().text();
        }
    }
    QSqlDatabase::removeDatabase(nombre);
    return error;
}

// Every record of the registry file, in stored order (none when the file
// does not exist yet): the fields by their column names, or `columnas`.
inline QList<QVariantList> LeerRegistro(const QString &archivo, const QString &columnas = QString())
{
    QList<QVariantList> registros;
    if (!QFile::exists(archivo))
        return registros;
    ConArchivo(archivo, [&](QSqlQuery &q) {
        q.setForwardOnly(true);
        const QString lista = columnas.isEmpty() ? LectorRegistroSql::listaColumnas() : columnas;
        if (!q.exec(QStringLiteral("SELECT %1 FROM Evaluaciones ORDER BY rowid").arg(lista)))
            qFatal("no se puede leer el registro: %s", qPrintable(q.lastError().text()));
        const int n = q.record().count();
        while (q.next()) {
            QVariantList campos;
            for (int i = 0; i < n; ++i)
                campos << q.value(i);
            registros << campos;
        }
    });
    return registros;
}

// SQLite's own check of the file, "ok" when sound. The connection may write,
// as the next program to save would: an interrupted write is rolled back first.
inline QString Integridad(const QString &archivo)
{
    QString resultado;
    const QString error = ConArchivo(archivo, [&](QSqlQuery &q) {
        resultado = q.exec(QStringLiteral("PRAGMA integrity_check")) && q.next() ? q.value(0).toString()
                                                                                 : q.lastError().text();
    });
    return error.isEmpty() ? resultado : error;
}

}  // namespace Ejemplo
