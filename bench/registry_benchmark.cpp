// Time to save one evaluation into the registry, with every write on disk
// before the save returns: into an empty registry, into a registry file that
// does not exist yet, and into a registry of 100 000 records.
//
//   orv-bench-registro [CARPETA]
//
// The files go to a temporary folder, or to CARPETA (to measure another disk).

#include "bench_support.h"
#include "core/data/record_set.h"
#include "core/registry/local_registry.h"
#include "gui/saving/record_writer.h"
#include "core/registry/sample_evaluation.h"

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
    // The complete example evaluation of the registry tests.
    const IdentificacionEvaluacion id = Ejemplo::Identificacion();
    EstadoEvaluacion e;
    Ejemplo::LlenarEstado(e);
    const DatosEdificacion d = Ejemplo::Datos();
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
        columnas << QStringLiteral("e.") + CitarIdentificador(RegistroEvaluaciones::Campo(i).columna);
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
    const Banco::Carpeta temporal(argc, argv);
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
