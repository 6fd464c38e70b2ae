// orv-registro on a large registry, as a user runs it:
//   exportar of 100 000 records to a CSV file, against the sqlite3 program
//   exporting the same table as CSV in the same run;
//   importar of 10 000 evaluation lines into a new registry.
//
//   orv-bench-orden [CARPETA]
//
// The files go to a temporary folder, or to CARPETA (to measure another disk).

#include "core/registry/local_registry.h"
#include "core/registry/record_builder.h"
#include "core/registry/sample_evaluation.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace {

constexpr int Registros = 100000;
constexpr int Lineas = 10000;
constexpr int Vueltas = 3;

[[noreturn]] void Fallar(const QString &texto)
{
    std::fprintf(stderr, "orv-bench-orden: %s\n", texto.toUtf8().constData());
    std::exit(1);
}

// Runs a program with its standard output into `salida`; returns the seconds taken.
double Correr(const QString &programa, const QStringList &argumentos, const QString &salida,
              const QString &entrada = QString())
{
    QProcess p;
    p.setStandardOutputFile(salida);
    if (!entrada.isEmpty())
        p.setStandardInputFile(entrada);
    QElapsedTimer reloj;
    reloj.start();
    p.start(programa, argumentos);
    if (!p.waitForFinished(600000) || p.exitStatus() != QProcess::NormalExit)
        Fallar(QStringLiteral("%1 no terminó").arg(programa));
    const double s = reloj.nsecsElapsed() / 1e9;
    if (p.exitCode() != 0)
        Fallar(QStringLiteral("%1 terminó con %2: %3")
                   .arg(programa)
                   .arg(p.exitCode())
                   .arg(QString::fromUtf8(p.readAllStandardError())));
    return s;
}

// The registry tests' example evaluation, varied record by record: other
// names, dates, storeys and levels, some texts with commas, quotes and line
// breaks, as typed texts come.
void Llenar(const QString &archivo)
{
    RegistroLocal registro(archivo);
    QRandomGenerator azar(20261207);
    const QStringList nombres = {QStringLiteral("Edificio Álamo"), QStringLiteral("Casa \"La Esperanza\""),
                                 QStringLiteral("Bodega 3, local 2"), QStringLiteral("Colegio San José\nSede B"),
                                 QStringLiteral("Torre Norte")};
    QVector<RegistroEvaluacion> lote;
    for (int i = 0; i < Registros; ++i) {
        EstadoEvaluacion e;
        Ejemplo::LlenarEstado(e);
        e.IndiceEstructural = azar.bounded(1.0);
        e.IndiceNoEstructural = azar.bounded(1.0);
        e.NivelesCualitativos[i % 13] = static_cast<int16_t>(azar.bounded(5));
        IdentificacionEvaluacion id = Ejemplo::Identificacion();
        id.txtNombre = nombres.at(i % nombres.size());
        id.txtNumero = QString::number(i);
        id.DTEvaluacion = id.DTEvaluacion.addSecs(-i * 37);
        if (i % 2)
            id.Latitud = -12.4 + azar.bounded(0.2), id.Longitud = -97.5 + azar.bounded(0.2);
        e.DireccionElegida = TiposDireccion().value(id.Option1);
        lote.append(ConstruirRegistro(id, e, Ejemplo::Datos()));
        if (lote.size() == 10000) {
            registro.agregar(lote);
            lote.clear();
        }
    }
    registro.agregar(lote);
}

// A valid evaluation line of a reinforced-concrete frame building with
// random ratings.
QByteArray LineaAlAzar(QRandomGenerator &azar, int i)
{
    auto barras = [&] {
        int resto = 100;
        QStringList b;
        for (int k = 0; k < 4; ++k) {
            const int v = static_cast<int>(azar.bounded(resto + 1));
            b << QString::number(v);
            resto -= v;
        }
        b << QString::number(resto);
        return QStringLiteral("[%1]").arg(b.join(QLatin1Char(',')));
    };
    QStringList variables;
    for (int codigo : {0, 1, 2, 13})
        variables << QStringLiteral("{\"codigo\":%1,\"proporciones\":%2}").arg(codigo).arg(barras());
    for (int codigo : {14, 15, 16, 17, 18, 19, 20, 21, 22})
        variables << QStringLiteral("{\"codigo\":%1,\"nivel\":%2}").arg(codigo).arg(azar.bounded(5));
    return QStringLiteral(
               "{\"sistema\":0,\"anno\":%1,\"variables\":[%2],"
               "\"edificacion\":{\"txtNPisos\":\"4\",\"txtNSotanos\":\"1\",\"txtPMayorDanno\":\"2\","
               "\"txtPisosTotal\":\"5\",\"optLocalizacion\":%3,\"cboCubierta\":\"Teja de barro\","
               "\"cboEntrepiso\":\"Placa aligerada\"},"
               "\"identificacion\":{\"txtNombre\":\"Edificio %4\",\"txtEvaluador\":\"Ing. Pérez\","
               "\"txtCodigComi\":\"C-17\",\"cboGrupo\":\"Residencial\",\"cboUsoBaja\":\"Comercial\","
               "\"Option1\":1,\"txtNumCalle\":\"45\",\"txtNumero\":\"%4\","
               "\"DTEvaluacion\":\"2026-12-06T14:56:40\",\"Latitud\":-12.37,\"Longitud\":-97.45}}\n")
        .arg(azar.bounded(4))
        .arg(variables.join(QLatin1Char(',')))
        .arg(azar.bounded(4))
        .arg(i)
        .toUtf8();
}

double Minimo(const QList<double> &s) { return *std::min_element(s.begin(), s.end()); }

}  // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir temporal(argc > 1 ? QDir(QString::fromLocal8Bit(argv[1])).filePath(QStringLiteral("orv-bench-XXXXXX"))
                                    : QDir::tempPath() + QStringLiteral("/orv-bench-XXXXXX"));
    if (!temporal.isValid())
        Fallar(QStringLiteral("no se puede crear la carpeta temporal"));
    const QString orden = QStringLiteral(ORV_REGISTRO);
    const QString sqlite3 = QStandardPaths::findExecutable(QStringLiteral("sqlite3"));

    // exportar
    const QString archivo = temporal.filePath(QStringLiteral("Registro de Evaluaciones.sqlite"));
    QElapsedTimer reloj;
    reloj.start();
    Llenar(archivo);
    std::printf("registro de %d evaluaciones hecho en %.1f s\n", Registros, reloj.nsecsElapsed() / 1e9);

    QList<double> propio, referencia;
    const QString csv = temporal.filePath(QStringLiteral("exportado.csv"));
    const QString csvReferencia = temporal.filePath(QStringLiteral("sqlite3.csv"));
    for (int v = 0; v < Vueltas; ++v) {
        propio << Correr(orden, {QStringLiteral("--registro"), archivo, QStringLiteral("exportar"),
                                 QStringLiteral("--formato"), QStringLiteral("csv"), QStringLiteral("-o"), csv},
                         QProcess::nullDevice());
        if (!sqlite3.isEmpty())
            referencia << Correr(sqlite3,
                                 {QStringLiteral("-csv"), QStringLiteral("-header"), archivo,
                                  QStringLiteral("SELECT * FROM \"Evaluaciones\";")},
                                 csvReferencia);
    }
    std::printf("exportar %d evaluaciones (CSV, %.1f MB)   orv-registro %.3f s", Registros,
                QFile(csv).size() / 1e6, Minimo(propio));
    if (referencia.isEmpty())
        std::printf("   (sqlite3 no está instalado: sin comparación)\n");
    else
        std::printf("   sqlite3 -csv %.3f s   razón %.2f (meta: 1.5 o menos)\n", Minimo(referencia),
                    Minimo(propio) / Minimo(referencia));

    // importar
    QRandomGenerator azar(7);
    const QString lineas = temporal.filePath(QStringLiteral("evaluaciones.jsonl"));
    {
        QFile f(lineas);
        if (!f.open(QIODevice::WriteOnly))
            Fallar(QStringLiteral("no se puede escribir %1").arg(lineas));
        for (int i = 0; i < Lineas; ++i)
            f.write(LineaAlAzar(azar, i));
    }
    const QString respuestas = temporal.filePath(QStringLiteral("respuestas.jsonl"));
    const double s = Correr(orden, {QStringLiteral("--registro"), temporal.filePath(QStringLiteral("nuevo.sqlite")),
                                    QStringLiteral("importar"), lineas},
                            respuestas);
    QFile r(respuestas);
    r.open(QIODevice::ReadOnly);
    const int guardadas = static_cast<int>(r.readAll().count("\"numero\""));
    if (guardadas != Lineas)
        Fallar(QStringLiteral("se guardaron %1 de %2 líneas").arg(guardadas).arg(Lineas));
    std::printf("importar %d líneas   %.3f s   %.0f evaluaciones por segundo (meta: 1000 o más)\n", Lineas, s,
                Lineas / s);
    return 0;
}
