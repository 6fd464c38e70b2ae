// Time to save one evaluation into the registry, with every write on disk
// before the save returns: into an empty registry, into a registry file that
// does not exist yet, and into a registry of 100 000 records.
//
//   orv-bench-registro [CARPETA]
//
// The files go to a temporary folder, or to CARPETA (to measure another disk).

#include "data/record_set.h"
#include "data/registry_store.h"
#include "registry/record_writer.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace {

void Evaluacion(IdentificacionEvaluacion &id, EstadoEvaluacion &e, DatosEdificacion &d)
{
    id.txtNombre = QStringLiteral("Edificio Álamo");
    id.txtDuenno = QStringLiteral("Marta Núñez");
    id.txtTelefono = QStringLiteral("604 555 0199");
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
    e.Inspeccion = QStringLiteral("Parcial");
    e.EstabilidadEvaluador = QStringLiteral("Alto");
    e.AnnoConstruccion = QStringLiteral("1950 a 1982");
    e.Localizacion = QStringLiteral("Esquina");
    for (int i = 0; i < 25; ++i)
        e.NivelesProporcion[i] = static_cast<int16_t>((i % 5) * 10);
    for (int i = 0; i < 13; ++i)
        e.NivelesCualitativos[i] = static_cast<int16_t>(i % 5);
    e.TextoRiesgoEstructural = e.TextoRiesgoNoEstructural = e.TextoRiesgoGeotecnico = QStringLiteral("Alto");
    e.TextoDannoEstructural = e.TextoDannoNoEstructural = e.TextoDannoEdificio = QStringLiteral("Fuerte");
    e.TextoSuelo = e.TextoPreexistente = QStringLiteral("Regulares");
    e.TextoEstadoGlobal = QStringLiteral("Grave");
    e.TextoHabitabilidad = QStringLiteral("No Habitable");
    e.TextoReparabilidad = QStringLiteral("Refuerzo");
    e.IndiceEstructural = 0.6123;
    e.IndiceNoEstructural = 0.4512;
    e.IndiceSuelo = 0.17;
    e.IndicePreexistente = 0.33;
    e.CodDannoEdificio = QStringLiteral("DE 32");
    e.CodEstadoGlobal = QStringLiteral("EG 31");
    e.CodHabitabilidad = QStringLiteral("HA 2");
    e.CodMedidasSeguridad = QStringLiteral("MS 401");
    e.CodReparabilidad = QStringLiteral("RE 2");
    d.txtNPisos = QStringLiteral("4");
    d.txtNSotanos = QStringLiteral("1");
    d.txtPisosTotal = QStringLiteral("5");
    d.txtPMayorDanno = QStringLiteral("2");
    d.cboTipoEstructura = QStringLiteral("Pórticos en concreto reforzado");
    d.cboCubierta = QStringLiteral("Teja de barro");
    d.cboEntrepiso = QStringLiteral("Placa aligerada");
}

struct Medidas {
    QList<double> ms;
    void imprimir(const char *que) const
    {
        QList<double> orden = ms;
        std::sort(orden.begin(), orden.end());
        std::printf("%s mediana %7.2f ms   mínimo %7.2f ms   máximo %7.2f ms   (%lld guardados)\n",
                    QString::fromUtf8(que).leftJustified(36).toUtf8().constData(),
                    orden.at(orden.size() / 2), orden.first(), orden.last(), qlonglong(orden.size()));
    }
};

double GuardarUna(const QString &archivo, int32_t esperado)
{
    IdentificacionEvaluacion id;
    EstadoEvaluacion e;
    DatosEdificacion d;
    Evaluacion(id, e, d);
    QElapsedTimer reloj;
    reloj.start();
    const int32_t numero = AgregarEvaluacion(archivo, id, e, d);
    const double ms = reloj.nsecsElapsed() / 1e6;
    if (esperado > 0 && numero != esperado) {
        std::fprintf(stderr, "número %d, se esperaba %d\n", numero, esperado);
        std::exit(1);
    }
    return ms;
}

// Fills `archivo` with `cantidad` records: one saved as the program saves
// it, copied with new numbers in a single statement.
void Llenar(const QString &archivo, int cantidad)
{
    GuardarUna(archivo, 1);
    QStringList columnas;
    for (int i = 1; i < RegistroEvaluaciones::NumCampos; ++i)
        columnas << QStringLiteral("e.") + CitarIdentificador(RegistroEvaluaciones::nombresCampos().at(i));
    bool ok = false;
    QString error;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("llenado"));
        db.setDatabaseName(archivo);
        if (db.open()) {
            QSqlQuery q(db);
            ok = q.exec(QStringLiteral("WITH RECURSIVE n(i) AS (SELECT 2 UNION ALL SELECT i + 1 FROM n WHERE i < %1) "
                                       "INSERT INTO %2 SELECT n.i, %3 FROM n, %2 AS e WHERE e.rowid = 1")
                            .arg(cantidad)
                            .arg(CitarIdentificador(RegistroEvaluaciones::Tabla), columnas.join(QStringLiteral(", "))));
            error = q.lastError().text();
            q.finish();
            db.close();
        } else {
            error = db.lastError().text();
        }
    }
    QSqlDatabase::removeDatabase(QStringLiteral("llenado"));
    if (!ok) {
        std::fprintf(stderr, "no se pudo llenar el registro: %s\n", qPrintable(error));
        std::exit(1);
    }
}

}  // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir temporal(argc > 1 ? QDir(QString::fromLocal8Bit(argv[1])).filePath(QStringLiteral("orv-bench-XXXXXX"))
                                    : QDir::tempPath() + QStringLiteral("/orv-bench-XXXXXX"));
    if (!temporal.isValid()) {
        std::fprintf(stderr, "no se puede crear la carpeta temporal\n");
        return 1;
    }
    const int veces = 25;
    try {
        Medidas primerUso, vacio, grande;
        for (int i = 0; i < veces; ++i)
            primerUso.ms << GuardarUna(temporal.filePath(QStringLiteral("nuevo-%1.sqlite").arg(i)), 1);
        for (int i = 0; i < veces; ++i) {
            const QString archivo = temporal.filePath(QStringLiteral("vacio-%1.sqlite").arg(i));
            RegistroEvaluaciones::asegurar(archivo);
            vacio.ms << GuardarUna(archivo, 1);
        }

        const int cantidad = 100000;
        const QString archivoGrande = temporal.filePath(QStringLiteral("grande.sqlite"));
        QElapsedTimer reloj;
        reloj.start();
        Llenar(archivoGrande, cantidad);
        const double llenado = reloj.nsecsElapsed() / 1e6;
        for (int i = 0; i < veces; ++i)
            grande.ms << GuardarUna(archivoGrande, cantidad + 1 + i);

        std::printf("Guardar una evaluación (escritura sincrónica completa, %s)\n",
                    qPrintable(QDir::toNativeSeparators(temporal.path())));
        vacio.imprimir("registro vacío:");
        primerUso.imprimir("registro sin crear (primer uso):");
        grande.imprimir("registro de 100 000 evaluaciones:");
        std::printf("(llenar el registro de 100 000 evaluaciones: %.0f ms, %.1f MB)\n", llenado,
                    QFileInfo(archivoGrande).size() / 1e6);
    } catch (const ErrorDatos &e) {
        std::fprintf(stderr, "%s\n", qPrintable(e.mensaje()));
        return 1;
    }
    return 0;
}
