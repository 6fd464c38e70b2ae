// The registry window on a registry of 100 000 evaluations: the time from
// constructing the window to its first rows painted, and the time of each
// keystroke of the search (the filter applied and the rows painted), of a
// habitability filter and of a sort by a header; then the same once the
// file also holds 500 000 photos (5 per evaluation, 8 kB each: the window
// never reads them, only the file is larger).
//
//   orv-bench-ventana [CARPETA]

#include "core/data/data_paths.h"
#include "core/data/record_set.h"
#include "core/registry/local_registry.h"
#include "gui/registry/registry_form.h"
#include "gui/registry/registry_model.h"
#include "core/registry/sample_evaluation.h"
#include "registry_fill.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QHeaderView>
#include <QLineEdit>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>
#include <cstdio>
#include <ctime>

using namespace RegistroEvaluaciones;

namespace {

void Salir(const QString &mensaje)
{
    std::fprintf(stderr, "%s\n", qPrintable(mensaje));
    std::exit(1);
}

// One evaluation saved as the program saves it, copied `cantidad - 1` times
// in one statement with its own number, date, barrio, name, evaluator,
// commission and habitability.
void Llenar(const QString &archivo, int cantidad)
{
    EstadoEvaluacion e;
    Ejemplo::LlenarEstado(e);
    AgregarEvaluacion(archivo, Ejemplo::Identificacion(), e, Ejemplo::Datos());
    QStringList columnas;
    for (int i = 1; i < NumCampos; ++i) {
        QString c = QStringLiteral("e.") + CitarIdentificador(Campo(i).columna);
        switch (i) {
        case Pos::Barrio: c = QStringLiteral("'Barrio ' || (n.i % 250)"); break;
        case Pos::NombreEdificacion: c = QStringLiteral("'Edificio ' || n.i"); break;
        case Pos::Evaluador: c = QStringLiteral("'Evaluador ' || (n.i % 40)"); break;
        case Pos::CodigoComision: c = QStringLiteral("'C-' || (n.i % 60)"); break;
        case Pos::NumeroCasa: c = QStringLiteral("(n.i % 97) || '-' || (n.i % 89)"); break;
        case Pos::Fecha:
            c = QStringLiteral("strftime('%Y-%m-%dT%H:%M:%S', '2026-10-01', '+' || (n.i * 60) || ' seconds')");
            break;
        case Pos::Habitabilidad:
            c = QStringLiteral("CASE n.i % 4 WHEN 0 THEN 'Habitable' WHEN 1 THEN 'Uso Restringido' "
                               "WHEN 2 THEN 'No Habitable' ELSE 'Peligro de Colapso' END");
            break;
        default: break;
        }
        columnas << c;
    }
    Banco::CopiarPrimerRegistro(archivo, cantidad, columnas);
}

// `cantidad` photo rows of 8 kB, five for each evaluation, in one statement.
void LlenarFotos(const QString &archivo, int cantidad)
{
    RegistroLocal asegurar(archivo);  // the table of photos exists
    QString error;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("fotos"));
        db.setDatabaseName(archivo);
        if (db.open()) {
            QSqlQuery q(db);
            QStringList columnas;
            for (const ColumnaFoto &c : ColumnasFotos())
                columnas << CitarIdentificador(c.nombre);
            // Joined, not formatted: printf's "%012d" is no place marker.
            if (!q.exec(QStringLiteral("WITH RECURSIVE n(i) AS (SELECT 0 UNION ALL SELECT i + 1 FROM n WHERE i < ")
                        + QString::number(cantidad - 1) + QStringLiteral(") INSERT INTO ") + CitarIdentificador(TablaFotos)
                        + QStringLiteral(" (") + columnas.join(QStringLiteral(", "))
                        + QStringLiteral(") SELECT printf('00000000-0000-4000-9000-%012d', n.i), e.uuid, n.i % 5 + 1, "
                                         "'Foto ' || n.i, NULL, NULL, NULL, 2048, 1536, printf('%064d', n.i), 8192, "
                                         "randomblob(8192) FROM n JOIN ")
                        + CitarIdentificador(Tabla) + QStringLiteral(" AS e ON e.rowid = n.i / 5 + 1")))
                error = q.lastError().text();
        } else {
            error = db.lastError().text();
        }
    }
    QSqlDatabase::removeDatabase(QStringLiteral("fotos"));
    if (!error.isEmpty())
        Salir(QStringLiteral("no se pudieron agregar las fotos: ") + error);
}

// Processor time of this program, in milliseconds: on a busy machine the
// clock on the wall also counts the other programs' turns.
double Cpu() { return 1000.0 * double(std::clock()) / CLOCKS_PER_SEC; }

struct Medida {
    QList<double> reloj, cpu;
};

double Mediana(QList<double> v)
{
    std::sort(v.begin(), v.end());
    return v.at(v.size() / 2);
}

void Imprimir(const char *que, const Medida &m)
{
    std::printf("%s mediana %7.1f ms   máximo %7.1f ms   (procesador: mediana %6.1f ms, máximo %6.1f ms; %lld veces)\n",
                QString::fromUtf8(que).leftJustified(44).toUtf8().constData(), Mediana(m.reloj),
                *std::max_element(m.reloj.begin(), m.reloj.end()), Mediana(m.cpu),
                *std::max_element(m.cpu.begin(), m.cpu.end()), qlonglong(m.reloj.size()));
}

// Times `accion` on the wall clock and in processor time.
template <typename F>
void Medir(Medida &m, F accion)
{
    QElapsedTimer reloj;
    const double cpu = Cpu();
    reloj.start();
    accion();
    m.reloj << reloj.nsecsElapsed() / 1e6;
    m.cpu << Cpu() - cpu;
}

// The rows as a person sees them: the pending layout done, the table painted.
void Pintar(RegistroForm &f)
{
    auto *t = f.findChild<QTableView *>(QStringLiteral("tblEvaluaciones"));
    QCoreApplication::processEvents();
    t->viewport()->repaint();
    if (f.modelo()->total() > 0 && !t->indexAt(QPoint(4, 4)).isValid())
        Salir(QStringLiteral("la tabla no muestra filas"));
}

}  // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QTemporaryDir temporal(argc > 1 ? QDir(QString::fromLocal8Bit(argv[1])).filePath(QStringLiteral("orv-bench-XXXXXX"))
                                    : QDir::tempPath() + QStringLiteral("/orv-bench-XXXXXX"));
    if (!temporal.isValid())
        Salir(QStringLiteral("no se puede crear la carpeta temporal"));
    // ORV_BENCH_CONSERVAR=1 keeps the registry file for a look with sqlite3.
    if (qEnvironmentVariableIsSet("ORV_BENCH_CONSERVAR")) {
        temporal.setAutoRemove(false);
        std::printf("(registro en %s)\n", qPrintable(temporal.path()));
    }
    const int cantidad = 100000;
    const QString archivo = temporal.filePath(QStringLiteral("Registro de Evaluaciones.sqlite"));
    try {
        QElapsedTimer reloj;
        reloj.start();
        Llenar(archivo, cantidad);
        std::printf("Ventana del registro, %d evaluaciones (%.1f MB, llenado en %.0f ms)\n", cantidad,
                    QFileInfo(archivo).size() / 1e6, reloj.nsecsElapsed() / 1e6);

        const auto fabrica = [&archivo] { return std::make_unique<RegistroLocal>(archivo); };
        const QString comentarios = RutasDatos::archivoComentarios();
        for (int pasada = 0; pasada < 2; ++pasada) {
        if (pasada == 1) {
            reloj.restart();
            LlenarFotos(archivo, cantidad * 5);
            std::printf("\nLa misma ventana con %d fotos en el archivo (%.1f MB, llenado en %.0f ms)\n", cantidad * 5,
                        QFileInfo(archivo).size() / 1e6, reloj.nsecsElapsed() / 1e6);
        }

        Medida apertura;
        for (int vez = 0; vez < 10; ++vez) {
            std::unique_ptr<RegistroForm> f;
            Medir(apertura, [&] {
                f = std::make_unique<RegistroForm>(fabrica, comentarios);
                f->show();
                Pintar(*f);
            });
            if (f->modelo()->total() != cantidad)
                Salir(QStringLiteral("la ventana cuenta %1 evaluaciones").arg(f->modelo()->total()));
        }
        Imprimir("abrir la ventana hasta las primeras filas:", apertura);

        RegistroForm f(fabrica, comentarios);
        f.show();
        Pintar(f);
        auto *caja = f.findChild<QLineEdit *>(QStringLiteral("txtBuscar"));
        // Each keystroke: the character typed, the filter applied (without the
        // pause the window waits while one types) and the rows painted.
        auto teclear = [&](const QString &texto, Medida &m) {
            caja->clear();
            f.aplicarFiltro();
            for (const QChar c : texto)
                Medir(m, [&] {
                    QTest::keyClick(caja, c.toLatin1());
                    f.aplicarFiltro();
                    Pintar(f);
                });
        };
        Medida numero, nombre, evaluador, nada;
        teclear(QStringLiteral("54321"), numero);
        teclear(QStringLiteral("edificio 9876"), nombre);
        teclear(QStringLiteral("evaluador 17"), evaluador);
        teclear(QStringLiteral("zzzz"), nada);
        Imprimir("tecla de la búsqueda, un número:", numero);
        Imprimir("tecla de la búsqueda, un nombre:", nombre);
        Imprimir("tecla de la búsqueda, un evaluador (2 500):", evaluador);
        Imprimir("tecla de la búsqueda, sin resultados:", nada);
        const Medida todas{numero.reloj + nombre.reloj + evaluador.reloj + nada.reloj,
                           numero.cpu + nombre.cpu + evaluador.cpu + nada.cpu};
        Imprimir("tecla de la búsqueda, todas:", todas);

        caja->clear();
        f.aplicarFiltro();
        auto *combo = f.findChild<QComboBox *>(QStringLiteral("cboHabitabilidad"));
        Medida habitabilidad;
        for (int i = 1; i <= 4; ++i)
            Medir(habitabilidad, [&] {
                combo->setCurrentIndex(i);
                Pintar(f);
            });
        combo->setCurrentIndex(0);
        Imprimir("filtro de habitabilidad:", habitabilidad);

        Medida orden;
        auto *tabla = f.findChild<QTableView *>(QStringLiteral("tblEvaluaciones"));
        for (int columna : {3, 1, 2, 5, 0}) {
            Medir(orden, [&] {
                tabla->sortByColumn(columna, Qt::AscendingOrder);
                Pintar(f);
            });
            if (f.modelo()->orden().campo != ModeloRegistro::Columnas().at(columna).campo)
                Salir(QStringLiteral("la tabla no se ordenó por la columna %1").arg(columna));
        }
        Imprimir("ordenar por una columna:", orden);
        // Scrolling to the end reads the last page.
        Medida final;
        Medir(final, [&] {
            tabla->scrollToBottom();
            Pintar(f);
        });
        Imprimir("ir al final de la tabla:", final);
        }
    } catch (const ErrorDatos &e) {
        Salir(e.mensaje());
    }
    return 0;
}
