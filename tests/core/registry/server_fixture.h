#pragma once
// The private PostgreSQL server of the tests (tests/servidor_pg.sh, started
// by ctest before every server test): a fresh database per case, prepared
// as "orv-registro servidor preparar" prepares one, and a login user with
// the evaluator role.

#include "core/registry/server_registry.h"

#include <QFile>
#include <QProcessEnvironment>
#include <QSqlError>
#include <QSqlQuery>
#include <QTest>
#include <QUuid>

namespace ServidorPrueba {

// The superuser's connection to the server started in `carpeta`.
inline ConexionServidor ConexionEn(const QString &carpeta)
{
    QFile f(carpeta + QStringLiteral("/conexion"));
    ConexionServidor c;
    QString error;
    if (!f.open(QIODevice::ReadOnly) || !ConexionServidor::desdeUrl(QString::fromUtf8(f.readAll()).trimmed(), c, &error))
        qFatal("%s: %s", qPrintable(f.fileName()), qPrintable(error));
    return c;
}

// The folder of the test server that ctest started.
inline QString Carpeta() { return qEnvironmentVariable("ORV_PRUEBA_PG"); }

// The superuser's connection to the test server's own database.
inline ConexionServidor Superusuario()
{
    const QString carpeta = Carpeta();
    if (carpeta.isEmpty() || !QFile::exists(carpeta + QStringLiteral("/conexion")))
        qFatal("No hay servidor de prueba: ORV_PRUEBA_PG=\"%s\" (ctest lo inicia con servidor_pg_iniciar)",
               qPrintable(carpeta));
    ConexionServidor c = ConexionEn(carpeta);
    c.modoTls = QStringLiteral("disable");
    return c;
}

// Runs `sql` as `c`; returns the server's error text, empty on success.
inline QString Ejecutar(const ConexionServidor &c, const QString &sql, QVariant *primerValor = nullptr)
{
    const QString nombre = Servidor::nuevaConexion("prueba");
    QString error;
    {
        QSqlDatabase db = Servidor::abrir(c, nombre);
        QSqlQuery q(db);
        if (!q.exec(sql))
            error = q.lastError().nativeErrorCode() + QLatin1Char(' ') + q.lastError().databaseText();
        else if (primerValor && q.next())
            *primerValor = q.value(0);
    }
    Servidor::cerrar(nombre);
    return error;
}

inline QVariant Valor(const ConexionServidor &c, const QString &sql)
{
    QVariant v;
    const QString error = Ejecutar(c, sql, &v);
    if (!error.isEmpty())
        qFatal("%s: %s", qPrintable(sql), qPrintable(error));
    return v;
}

// Rows of the registry table, those matching `donde` when given.
inline qint64 Cantidad(const ConexionServidor &c, const QString &donde = QString())
{
    return Valor(c, QStringLiteral("SELECT COUNT(*) FROM orv.\"Evaluaciones\"")
                        + (donde.isEmpty() ? QString() : QStringLiteral(" WHERE ") + donde))
        .toLongLong();
}

// "" when the numbers on the server are exactly 1..n, each once, with n
// different uuids.
inline QString Huecos(const ConexionServidor &c, qint64 n)
{
    const QString v = Valor(c, QStringLiteral("SELECT COUNT(*) || ' ' || COUNT(DISTINCT \"NumeroEvaluacion\") || ' ' || "
                                              "COALESCE(MIN(\"NumeroEvaluacion\"), 0) || ' ' || "
                                              "COALESCE(MAX(\"NumeroEvaluacion\"), 0) || ' ' || COUNT(DISTINCT uuid) "
                                              "FROM orv.\"Evaluaciones\"")).toString();
    const QString esperado = QStringLiteral("%1 %1 %2 %1 %1").arg(n).arg(n ? 1 : 0);
    return v == esperado ? QString() : QStringLiteral("filas, distintos, mínimo, máximo, uuids: ") + v;
}

// A connection of its own that stays open, as another program's session
// would: what it locks stays locked until it ends or the server ends it.
class Sesion {
public:
    explicit Sesion(const ConexionServidor &c) : nombre_(Servidor::nuevaConexion("sesion"))
    {
        Servidor::abrir(c, nombre_);
    }
    ~Sesion() { Servidor::cerrar(nombre_); }
    Sesion(const Sesion &) = delete;
    Sesion &operator=(const Sesion &) = delete;
    // The server's error ("SQLSTATE texto"), empty on success.
    QString ejecutar(const QString &sql)
    {
        QSqlQuery q(QSqlDatabase::database(nombre_, false));
        if (q.exec(sql))
            return QString();
        const QString e = q.lastError().nativeErrorCode() + QLatin1Char(' ') + q.lastError().databaseText()
                          + q.lastError().driverText();
        return e.trimmed().isEmpty() ? QStringLiteral("(error)") : e;
    }

    // The first value of the answer to `sql`; fails the test on an error.
    QVariant valor(const QString &sql)
    {
        QSqlQuery q(QSqlDatabase::database(nombre_, false));
        if (!q.exec(sql) || !q.next())
            qFatal("%s: %s", qPrintable(sql), qPrintable(q.lastError().text()));
        return q.value(0);
    }

private:
    QString nombre_;
};

struct Base {
    ConexionServidor administrador;  // superuser on the new database
    ConexionServidor evaluador;      // a login with orv_evaluador only
};

// A new login `usuario` with the evaluator role only, on the database of `su`
// (prepared, so that the role exists).
inline ConexionServidor NuevoEvaluador(const ConexionServidor &su, const QString &usuario, const QString &clave)
{
    ConexionServidor c = su;
    c.usuario = usuario;
    c.clave = clave;
    if (const QString e = Ejecutar(su, QStringLiteral("CREATE ROLE %1 LOGIN PASSWORD '%2' IN ROLE orv_evaluador")
                                           .arg(usuario, QString(clave).replace("'", "''")));
        !e.isEmpty())
        qFatal("CREATE ROLE: %s", qPrintable(e));
    return c;
}

// A new database; prepared unless `preparar` is false.
inline Base Nueva(bool preparar = true)
{
    Base b;
    const ConexionServidor su = Superusuario();
    const QString sufijo = QUuid::createUuid().toString(QUuid::Id128).left(12);
    const QString base = QStringLiteral("orv_") + sufijo;
    if (const QString e = Ejecutar(su, QStringLiteral("CREATE DATABASE %1").arg(base)); !e.isEmpty())
        qFatal("CREATE DATABASE: %s", qPrintable(e));
    b.administrador = su;
    b.administrador.base = base;
    if (preparar)
        PrepararServidor(b.administrador);
    // The role may only be granted once it exists.
    Ejecutar(su, QStringLiteral("DO $$ BEGIN CREATE ROLE orv_evaluador NOLOGIN; EXCEPTION WHEN duplicate_object OR "
                                "unique_violation THEN NULL; END $$"));
    b.evaluador = NuevoEvaluador(b.administrador, QStringLiteral("eva_") + sufijo, QStringLiteral("cl'ave;") + sufijo);
    return b;
}

// ORV_REGISTRO for `c`, with the password in PGPASSWORD.
inline void UsarEnEntorno(const ConexionServidor &c)
{
    qputenv("ORV_REGISTRO", c.url().toUtf8());
    qputenv("PGPASSWORD", c.clave.toUtf8());
}

}  // namespace ServidorPrueba
