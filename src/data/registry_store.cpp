#include "data/registry_store.h"

#include "data/record_set.h"

#include <QAtomicInt>
#include <QDir>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>

namespace RegistroEvaluaciones {

namespace {
struct Esquema {
    QStringList nombres;
    QStringList tipos;
    Esquema()
    {
        auto agregar = [this](const QString &n, const char *t) {
            nombres << n;
            tipos << QString::fromLatin1(t);
        };
        agregar(QStringLiteral("NumeroEvaluacion"), "INTEGER");
        for (const char *n : {"Comuna", "Barrio", "TipoAvaluo", "Sector", "Manzana", "Predio", "MejoraPH",
                              "TipoDireccion", "NumeroCalle", "Avenida", "OtraVia", "NumeroCasa",
                              "NombreEdificacion", "PersonaContacto", "Telefono", "Evaluador",
                              "CodigoComision", "FechaEvaluacion", "UsoEdificacion", "UsoPlantaBaja",
                              "Inspeccion", "EstabilidadEvaluador", "AnnoConstruccion", "Localizacion"})
            agregar(QString::fromLatin1(n), "TEXT");
        for (const char *n : {"NumeroPisos", "NumeroSotanos", "PisosTotal", "PisoMayorDanno"})
            agregar(QString::fromLatin1(n), "INTEGER");
        for (const char *n : {"SistemaEstructural", "TipoCubierta", "TipoEntrepiso"})
            agregar(QString::fromLatin1(n), "TEXT");
        agregar(QStringLiteral("CasoRelevancia"), "INTEGER");
        const char *grupos[] = {"Vigas", "Columnas", "Nudos", "Muros", "Entrepiso"};
        for (const char *g : grupos)
            for (int k = 0; k < 5; ++k)
                agregar(QStringLiteral("Porcentaje%1Nivel%2").arg(QString::fromLatin1(g)).arg(k), "INTEGER");
        for (const char *n : {"NivelMurosDivisorios", "NivelMurosFachada", "NivelEscaleras", "NivelCieloRasos",
                              "NivelInstalaciones", "NivelCubierta", "NivelTanquesElevados", "NivelTaludes",
                              "NivelAsentamientoLicuacion", "NivelCalidadMateriales", "NivelIrregularidadPlanta",
                              "NivelIrregularidadAltura", "NivelConfiguracionEstructural"})
            agregar(QString::fromLatin1(n), "INTEGER");
        agregar(QStringLiteral("RiesgoEstructural"), "TEXT");
        agregar(QStringLiteral("DannoEstructural"), "TEXT");
        agregar(QStringLiteral("IndiceEstructural"), "REAL");
        agregar(QStringLiteral("RiesgoNoEstructural"), "TEXT");
        agregar(QStringLiteral("DannoNoEstructural"), "TEXT");
        agregar(QStringLiteral("IndiceNoEstructural"), "REAL");
        agregar(QStringLiteral("RiesgoGeotecnico"), "TEXT");
        agregar(QStringLiteral("CondicionesSuelo"), "TEXT");
        agregar(QStringLiteral("IndiceSuelo"), "REAL");
        agregar(QStringLiteral("CondicionesPreexistentes"), "TEXT");
        agregar(QStringLiteral("IndicePreexistente"), "REAL");
        for (const char *n : {"DannoEdificio", "EstadoGlobal", "Habitabilidad", "Reparabilidad",
                              "CodigoDannoEdificio", "CodigoEstadoGlobal", "CodigoHabitabilidad",
                              "CodigoMedidasSeguridad", "CodigoReparabilidad"})
            agregar(QString::fromLatin1(n), "TEXT");
    }
};

const Esquema &esquema()
{
    static const Esquema e;
    return e;
}

QAtomicInt contador;
}  // namespace

const QStringList &nombresCampos() { return esquema().nombres; }
const QStringList &tiposCampos() { return esquema().tipos; }

void asegurar(const QString &archivo)
{
    auto error = [&](const QString &que, const QString &detalle) {
        QString texto = QStringLiteral("Error en la base de datos: %1 (tabla \"%2\" del archivo \"%3\").")
                            .arg(que, Tabla, archivo);
        if (!detalle.isEmpty())
            texto += QStringLiteral("\nDetalle: ") + detalle;
        throw ErrorDatos(texto);
    };
    const QFileInfo info(archivo);
    if (!QDir().mkpath(info.absolutePath()))
        error(QStringLiteral("no se puede crear la carpeta del registro"), info.absolutePath());

    const QString conexion = QStringLiteral("orv-registro-%1").arg(contador.fetchAndAddRelaxed(1));
    QString fallo, detalle;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), conexion);
        db.setDatabaseName(archivo);
        db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=5000"));
        if (!db.open()) {
            fallo = QStringLiteral("no se puede abrir ni crear el archivo");
            detalle = db.lastError().text();
        } else {
            QStringList columnas;
            const Esquema &e = esquema();
            for (int i = 0; i < e.nombres.size(); ++i)
                columnas << CitarIdentificador(e.nombres.at(i)) + QLatin1Char(' ') + e.tipos.at(i)
                                + (i == 0 ? QStringLiteral(" UNIQUE") : QString());
            QSqlQuery q(db);
            if (!q.exec(QStringLiteral("CREATE TABLE IF NOT EXISTS %1 (%2)")
                            .arg(CitarIdentificador(Tabla), columnas.join(QStringLiteral(", "))))) {
                fallo = QStringLiteral("no se puede crear la tabla");
                detalle = q.lastError().text();
            }
            db.close();
        }
    }
    QSqlDatabase::removeDatabase(conexion);
    if (!fallo.isEmpty())
        error(fallo, detalle);
}

}  // namespace RegistroEvaluaciones
