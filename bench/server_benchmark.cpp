// The central registry on a PostgreSQL server on this machine: one save
// (1 000 of them, median and 95th percentile), an outbox of 10 000
// evaluations sent, and the first page of the registry window over a
// server holding 100 000 evaluations.
//
//   orv-bench-servidor
//
// With ORV_REGISTRO=postgresql://... (a user that may create databases, the
// password in PGPASSWORD or ~/.pgpass) the benchmark makes a scratch
// database on that server and drops it at the end; without it, it starts a
// private server of its own in a temporary folder (tests/servidor_pg.sh).

#include "core/registry/buildings.h"
#include "core/registry/buildings_summary.h"
#include "core/registry/registry_sql.h"
#include "core/registry/registry_config.h"
#include "core/registry/registry_summary.h"
#include "core/registry/sample_evaluation.h"
#include "core/registry/server_registry.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QUuid>
#include <algorithm>
#include <cstdio>

namespace {

RegistroEvaluacion Ejemplar()
{
    IdentificacionEvaluacion id = Ejemplo::Identificacion();
    EstadoEvaluacion e;
    Ejemplo::LlenarEstado(e);
    e.DireccionElegida = TiposDireccion().value(id.Option1);
    return ConstruirRegistro(id, e, Ejemplo::Datos());
}

void Imprimir(const char *que, QList<double> ms)
{
    std::sort(ms.begin(), ms.end());
    const auto p = [&](double q) { return ms.at(std::min<qsizetype>(ms.size() - 1, qsizetype(q * ms.size()))); };
    std::printf("%s mediana %6.2f ms   p95 %6.2f ms   máximo %7.2f ms   (%lld)\n",
                QString::fromUtf8(que).leftJustified(44).toUtf8().constData(), p(0.5), p(0.95), ms.last(),
                qlonglong(ms.size()));
}

[[noreturn]] void Fallar(const QString &m)
{
    std::fprintf(stderr, "%s\n", qPrintable(m));
    std::exit(1);
}

void Sql(const ConexionServidor &c, const QString &sql)
{
    const QString nombre = Servidor::nuevaConexion("bench");
    QString error;
    ConexionServidor larga = c;
    larga.esperaSentencia = 600;  // filling 100 000 records takes a while
    {
        QSqlDatabase db = Servidor::abrir(larga, nombre);
        QSqlQuery q(db);
        if (!q.exec(sql))
            error = q.lastError().text();
    }
    Servidor::cerrar(nombre);
    if (!error.isEmpty())
        Fallar(sql.left(80) + QStringLiteral(": ") + error);
}

}  // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    ClaveRegistro::usarAlmacenDeClaves(false);
    QTemporaryDir carpeta(QStringLiteral("/tmp/orv-bench-XXXXXX"));
    QFile::setPermissions(carpeta.path(), QFile::permissions(carpeta.path()) | QFile::ExeOther | QFile::ExeGroup);
    const QString servidorPropio = carpeta.filePath(QStringLiteral("pg"));
    ConexionServidor admin;
    bool propio = false;
    try {
        const QString entorno = qEnvironmentVariable("ORV_REGISTRO");
        if (entorno.startsWith(QLatin1String("postgres"))) {
            QString error;
            if (!ConexionServidor::desdeUrl(entorno, admin, &error))
                Fallar(error);
        } else {
            QProcess p;
            p.setProcessChannelMode(QProcess::ForwardedErrorChannel);
            p.start(QStringLiteral(ORV_SERVIDOR_PG_SH), {QStringLiteral("iniciar"), servidorPropio});
            p.waitForFinished(120000);
            if (p.exitCode() != 0)
                Fallar(QStringLiteral("No arrancó el servidor de prueba."));
            propio = true;
            QFile f(servidorPropio + QStringLiteral("/conexion"));
            f.open(QIODevice::ReadOnly);
            ConexionServidor::desdeUrl(QString::fromUtf8(f.readAll()).trimmed(), admin);
        }
        const QString base = QStringLiteral("orv_bench_") + QUuid::createUuid().toString(QUuid::Id128).left(8);
        Sql(admin, QStringLiteral("CREATE DATABASE %1").arg(base));
        ConexionServidor c = admin;
        c.base = base;
        PrepararServidor(c);
        std::printf("Servidor %s (%s)\n", qPrintable(c.nombre()), propio ? "privado, en una carpeta temporal" : "ORV_REGISTRO");

        {
            RegistroServidor registro(c);
            registro.probar();
            QList<double> ms;
            for (int i = 0; i < 1000; ++i) {
                RegistroEvaluacion r = Ejemplar();
                QElapsedTimer t;
                t.start();
                registro.agregar(r);
                ms << t.nsecsElapsed() / 1e6;
            }
            Imprimir("Guardar una evaluación en el servidor", ms);
        }
        {
            // As "Guardar" does: into the outbox, sent, out of the outbox.
            QTemporaryDir equipo;
            ConfiguracionRegistro conf;
            conf.servidor = true;
            conf.conexion = c;
            RegistroConfigurado registro = AbrirRegistro(conf, equipo.filePath(QStringLiteral("r.sqlite")));
            QList<double> ms;
            for (int i = 0; i < 1000; ++i) {
                RegistroEvaluacion r = Ejemplar();
                QElapsedTimer t;
                t.start();
                if (registro.guardar(r).pendiente)
                    Fallar(QStringLiteral("quedó pendiente"));
                ms << t.nsecsElapsed() / 1e6;
            }
            Imprimir("Guardar pasando por la bandeja de salida", ms);
        }
        {
            QTemporaryDir equipo;
            BandejaSalida bandeja(equipo.filePath(QStringLiteral("Pendientes de Envío.sqlite")));
            QElapsedTimer t;
            t.start();
            for (int i = 0; i < 10000; ++i) {
                RegistroEvaluacion r = Ejemplar();
                bandeja.guardar(r);
            }
            const double llenar = t.nsecsElapsed() / 1e9;
            RegistroServidor registro(c);
            t.restart();
            const ResultadoEnvio e = bandeja.enviar(registro);
            const double enviar = t.nsecsElapsed() / 1e9;
            if (!e.error.isEmpty() || e.enviados != 10000)
                Fallar(e.error);
            std::printf("Bandeja de salida de 10 000 evaluaciones       enviada en %.2f s   (escribirla: %.2f s)\n",
                        enviar, llenar);
        }
        {
            // Up to 100 000 records: copies of the saved ones, numbered by the server.
            Sql(c, QStringLiteral("INSERT INTO orv.\"Evaluaciones\" (%1, uuid, equipo, usuario, guardado_en) SELECT "
                                  "%1, gen_random_uuid(), equipo, usuario, guardado_en FROM orv.\"Evaluaciones\" e, "
                                  "generate_series(1, 10) g LIMIT 88000")
                       .arg(LectorRegistroSql::listaColumnas().section(QStringLiteral(", "), 1)));
            RegistroServidor contar(c);
            std::printf("Registro del servidor con %lld evaluaciones\n", contar.contar(FiltroRegistro{}));
            Sql(c, QStringLiteral("ANALYZE orv.\"Evaluaciones\""));
            QList<double> conectar, abrir, pagina, fecha, buscar;
            for (int i = 0; i < 20; ++i) {
                QElapsedTimer t;
                t.start();
                RegistroServidor registro(c);
                registro.probar();
                conectar << t.nsecsElapsed() / 1e6;
                const qint64 n = registro.contar(FiltroRegistro{});
                const QVector<RegistroEvaluacion> filas = registro.pagina(FiltroRegistro{}, OrdenRegistro{}, 0, 200);
                abrir << t.nsecsElapsed() / 1e6;
                if (n < 100000 || filas.size() != 200)
                    Fallar(QStringLiteral("página incompleta"));
                t.restart();
                registro.contar(FiltroRegistro{});
                registro.pagina(FiltroRegistro{}, OrdenRegistro{}, 0, 200);
                pagina << t.nsecsElapsed() / 1e6;
                t.restart();
                OrdenRegistro porFecha;
                porFecha.campo = RegistroEvaluaciones::Pos::Fecha;
                registro.pagina(FiltroRegistro{}, porFecha, 0, 200);
                fecha << t.nsecsElapsed() / 1e6;
                t.restart();
                FiltroRegistro f;
                f.texto = QStringLiteral("martín");
                registro.contar(f);
                registro.pagina(f, OrdenRegistro{}, 0, 200);
                buscar << t.nsecsElapsed() / 1e6;
            }
            Imprimir("Conectar (y revisar la tabla)", conectar);
            Imprimir("Primera página: conectar, contar, 200 filas", abrir);
            Imprimir("Primera página ya conectado", pagina);
            Imprimir("Primera página ordenada por fecha", fecha);
            Imprimir("Buscar \"martín\" (contar y primera página)", buscar);

            // The same 100 000 as 25 000 buildings of four evaluations each,
            // on different days, each building at a point of its own.
            const auto col = [](int p) { return CitarIdentificador(RegistroEvaluaciones::Campo(p).columna); };
            namespace Pos = RegistroEvaluaciones::Pos;
            Sql(c, QStringLiteral("UPDATE orv.\"Evaluaciones\" SET clave_edificacion = 'predio:01|05|03|0045|' || (%1 %% "
                                  "25000), %2 = -12.5 + (%1 %% 25000) * 0.0005, %3 = -97.25, %4 = '2026-12-0' || (1 + %1 "
                                  "/ 25000 %% 9) || 'T10:00:00'")
                       .arg(col(Pos::Numero), col(Pos::Latitud), col(Pos::Longitud), col(Pos::Fecha))
                       .replace(QStringLiteral("%%"), QStringLiteral("%")));
            Sql(c, QStringLiteral("ANALYZE orv.\"Evaluaciones\""));
            RegistroServidor registro(c);
            registro.probar();
            QList<double> clave, cerca, resumen;
            for (int i = 0; i < 200; ++i) {
                QElapsedTimer t;
                t.start();
                const auto e = registro.edificacion(QStringLiteral("predio:01|05|03|0045|%1").arg((i * 7919) % 25000));
                clave << t.nsecsElapsed() / 1e6;
                if (!e || e->evaluaciones < 4)
                    Fallar(QStringLiteral("edificación no hallada"));
                t.restart();
                registro.cercanas(-12.5 + ((i * 7919) % 25000) * 0.0005, -97.25, 15);
                cerca << t.nsecsElapsed() / 1e6;
            }
            for (int i = 0; i < 5; ++i) {
                QElapsedTimer t;
                t.start();
                const ResumenRegistro r = registro.resumen(FiltroRegistro{});
                resumen << t.nsecsElapsed() / 1e6;
                if (r.edificaciones != 25000)
                    Fallar(QStringLiteral("el resumen cuenta %1 edificaciones").arg(r.edificaciones));
            }
            // The summary of buildings alone, on a connection of its own.
            {
                const QString nombre = Servidor::nuevaConexion("bench-edificaciones");
                {
                    QSqlDatabase db = Servidor::abrir(c, nombre);
                    const LectorRegistroSql lector(nombre, RegistroCentral::TablaSql(), LectorRegistroSql::Motor::Postgres,
                                                   QStringLiteral("servidor de prueba"));
                    QList<double> edificaciones;
                    for (int i = 0; i < 5; ++i) {
                        QElapsedTimer t;
                        t.start();
                        const ResumenEdificaciones r = ResumirEdificaciones(lector, FiltroRegistro{});
                        edificaciones << t.nsecsElapsed() / 1e6;
                        if (r.edificaciones != 25000)
                            Fallar(QStringLiteral("el resumen cuenta %1 edificaciones").arg(r.edificaciones));
                    }
                    Imprimir("Resumen de edificaciones", edificaciones);
                }
                Servidor::cerrar(nombre);
            }
            Imprimir("Buscar la edificación por su clave", clave);
            Imprimir("Edificaciones a menos de 15 m", cerca);
            Imprimir("Resumen del evento con el de edificaciones", resumen);
        }
        Sql(admin, QStringLiteral("DROP DATABASE %1").arg(base));
    } catch (const ErrorDatos &e) {
        Fallar(e.mensaje());
    }
    if (propio) {
        QProcess p;
        p.start(QStringLiteral(ORV_SERVIDOR_PG_SH), {QStringLiteral("detener"), servidorPropio});
        p.waitForFinished(60000);
    }
    return 0;
}
