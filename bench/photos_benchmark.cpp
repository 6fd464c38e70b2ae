// Photos of the building: preparing 10 camera photos of 4000 × 3000 on the
// worker threads (time and the process's peak memory), saving an
// evaluation with 10 photos on a PostgreSQL server on this machine (median
// of 30), and an outbox of 1 000 evaluations with 5 photos each sent.
//
//   orv-bench-fotos
//
// The photos are made here: gradients with fine noise, which a JPEG
// encoder finds about as hard as a real photo of a wall. The preparation
// runs in a process of its own, so that its peak memory is only its own.
// The server is a private one in a temporary folder (tests/servidor_pg.sh).

#include "core/registry/outbox.h"
#include "core/registry/record_builder.h"
#include "core/registry/sample_evaluation.h"
#include "core/registry/server_registry.h"
#include "photos/photo_preparation.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QRandomGenerator>
#include <QThread>
#include <QTemporaryDir>
#include <QUuid>
#include <algorithm>
#include <cstdio>
#include <ctime>
#include <sys/resource.h>

namespace {

[[noreturn]] void Fallar(const QString &m)
{
    std::fprintf(stderr, "%s\n", qPrintable(m));
    std::exit(1);
}

double CpuS()
{
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return t.tv_sec + t.tv_nsec / 1e9;
}

void HacerFoto(const QString &archivo, int semilla)
{
    QImage imagen(4000, 3000, QImage::Format_RGB32);
    QRandomGenerator azar(semilla);
    for (int y = 0; y < imagen.height(); ++y) {
        auto *fila = reinterpret_cast<QRgb *>(imagen.scanLine(y));
        for (int x = 0; x < imagen.width(); ++x) {
            const int ruido = int(azar.bounded(24)) - 12;
            const int r = std::clamp((x * 255 / 4000 + semilla * 20) % 256 + ruido, 0, 255);
            const int g = std::clamp((y * 255 / 3000) + ruido, 0, 255);
            const int b = std::clamp(((x / 40 + y / 40) % 2) * 60 + 90 + ruido, 0, 255);
            fila[x] = qRgb(r, g, b);
        }
    }
    if (!imagen.save(archivo, "JPEG", 92))
        Fallar(QStringLiteral("no se pudo escribir %1").arg(archivo));
}

// The child: prepares every *.jpg of `carpeta` on the worker threads,
// prints the numbers and writes the prepared photos into carpeta/listas/.
int PrepararCarpeta(const QString &carpeta)
{
    QStringList archivos;
    for (const QString &n : QDir(carpeta).entryList({QStringLiteral("*.jpg")}, QDir::Files, QDir::Name))
        archivos << QDir(carpeta).filePath(n);
    QElapsedTimer reloj;
    reloj.start();
    const double cpu = CpuS();
    QFuture<ResultadoFoto> futuro = PreparacionFotos::PrepararEnHilos(archivos);
    futuro.waitForFinished();
    const double segundos = reloj.nsecsElapsed() / 1e9;
    const double procesador = CpuS() - cpu;
    rusage uso{};
    getrusage(RUSAGE_SELF, &uso);
    QDir(carpeta).mkpath(QStringLiteral("listas"));
    qint64 bytes = 0;
    int i = 0;
    for (const ResultadoFoto &r : futuro.results()) {
        if (!r.correcta())
            Fallar(r.error);
        bytes += r.foto->jpeg.size();
        QFile f(QDir(carpeta).filePath(QStringLiteral("listas/%1.jpg").arg(i++, 2, 10, QLatin1Char('0'))));
        if (!f.open(QIODevice::WriteOnly) || f.write(r.foto->jpeg) != r.foto->jpeg.size())
            Fallar(QStringLiteral("no se pudo escribir la foto preparada"));
    }
    std::printf("Preparar %lld fotos de 4000 × 3000 (JPEG)       %.2f s   (procesador %.2f s, %d hilos; memoria máxima "
                "del proceso %ld MB; %lld kB por foto preparada)\n",
                qlonglong(archivos.size()), segundos, procesador, std::clamp(QThread::idealThreadCount(), 1, 3),
                uso.ru_maxrss / 1024, bytes / archivos.size() / 1024);
    return 0;
}

RegistroEvaluacion Ejemplar()
{
    IdentificacionEvaluacion id = Ejemplo::Identificacion();
    EstadoEvaluacion e;
    Ejemplo::LlenarEstado(e);
    e.DireccionElegida = TiposDireccion().value(id.Option1);
    return ConstruirRegistro(id, e, Ejemplo::Datos());
}

// `n` photos with new uuids, their bytes taken in turn from `listas`.
QVector<FotoEvaluacion> Tomadas(const QVector<QByteArray> &listas, int n, int desde)
{
    QVector<FotoEvaluacion> fotos;
    for (int k = 0; k < n; ++k) {
        FotoEvaluacion f;
        f.jpeg = listas.at((desde + k) % listas.size());
        f.leyenda = QStringLiteral("Foto %1").arg(k + 1);
        fotos << f;
    }
    return fotos;
}

}  // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() == 3 && args.at(1) == QLatin1String("preparar"))
        return PrepararCarpeta(args.at(2));

    QTemporaryDir carpeta(QStringLiteral("/tmp/orv-bench-fotos-XXXXXX"));
    QFile::setPermissions(carpeta.path(), QFile::permissions(carpeta.path()) | QFile::ExeOther | QFile::ExeGroup);
    const QString fotos = carpeta.filePath(QStringLiteral("fotos"));
    QDir().mkpath(fotos);
    for (int i = 0; i < 10; ++i)
        HacerFoto(QDir(fotos).filePath(QStringLiteral("%1.jpg").arg(i, 2, 10, QLatin1Char('0'))), i);
    for (int vez = 0; vez < 3; ++vez) {
        QProcess p;
        p.setProcessChannelMode(QProcess::ForwardedChannels);
        p.start(QCoreApplication::applicationFilePath(), {QStringLiteral("preparar"), fotos});
        if (!p.waitForFinished(600000) || p.exitCode() != 0)
            Fallar(QStringLiteral("la preparación falló"));
    }
    QVector<QByteArray> listas;
    for (const QString &n : QDir(fotos + QStringLiteral("/listas")).entryList(QDir::Files, QDir::Name)) {
        QFile f(fotos + QStringLiteral("/listas/") + n);
        f.open(QIODevice::ReadOnly);
        listas << f.readAll();
    }

    const QString servidorPropio = carpeta.filePath(QStringLiteral("pg"));
    QProcess p;
    p.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    p.start(QStringLiteral(ORV_SERVIDOR_PG_SH), {QStringLiteral("iniciar"), servidorPropio});
    p.waitForFinished(120000);
    if (p.exitCode() != 0)
        Fallar(QStringLiteral("No arrancó el servidor de prueba."));
    QFile f(servidorPropio + QStringLiteral("/conexion"));
    f.open(QIODevice::ReadOnly);
    ConexionServidor c;
    ConexionServidor::desdeUrl(QString::fromUtf8(f.readAll()).trimmed(), c);
    c.modoTls = QStringLiteral("disable");
    try {
        PrepararServidor(c);
        {
            RegistroServidor registro(c);
            registro.probar();
            QList<double> ms;
            for (int i = 0; i < 30; ++i) {
                RegistroEvaluacion r = Ejemplar();
                r.fotos = Tomadas(listas, 10, i);
                QElapsedTimer t;
                t.start();
                registro.agregar(r);
                ms << t.nsecsElapsed() / 1e6;
            }
            std::sort(ms.begin(), ms.end());
            std::printf("Guardar una evaluación con 10 fotos en el servidor   mediana %.1f ms   máximo %.1f ms   (30)\n",
                        ms.at(ms.size() / 2), ms.last());
        }
        {
            QTemporaryDir equipo;
            BandejaSalida bandeja(equipo.filePath(QStringLiteral("Pendientes de Envío.sqlite")), BandejaSalida::registroDe(c));
            QElapsedTimer t;
            t.start();
            for (int i = 0; i < 1000; ++i) {
                RegistroEvaluacion r = Ejemplar();
                r.fotos = Tomadas(listas, 5, i);
                bandeja.guardar(r);
            }
            const double llenar = t.nsecsElapsed() / 1e9;
            RegistroServidor registro(c);
            t.restart();
            const double cpu = CpuS();
            const ResultadoEnvio e = bandeja.enviar(registro);
            const double enviar = t.nsecsElapsed() / 1e9;
            if (!e.error.isEmpty() || e.enviados != 1000)
                Fallar(e.error);
            std::printf("Bandeja de 1 000 evaluaciones con 5 fotos cada una  enviada en %.1f s   (procesador de este "
                        "programa %.1f s; escribirla: %.1f s)\n",
                        enviar, CpuS() - cpu, llenar);
        }
    } catch (const ErrorDatos &e) {
        Fallar(e.mensaje());
    }
    QProcess detener;
    detener.start(QStringLiteral(ORV_SERVIDOR_PG_SH), {QStringLiteral("detener"), servidorPropio});
    detener.waitForFinished(60000);
    return 0;
}
