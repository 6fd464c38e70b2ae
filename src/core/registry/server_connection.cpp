#include "core/registry/server_connection.h"

#include <QAtomicInt>
#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>
#include <QUrl>
#include <QUrlQuery>

namespace {
QAtomicInt contador;

// A value for a libpq "key=value" list.
QString Citar(const QString &v)
{
    QString s = v;
    s.replace(QLatin1Char('\\'), QLatin1String("\\\\"));
    s.replace(QLatin1Char('\''), QLatin1String("\\'"));
    return QLatin1Char('\'') + s + QLatin1Char('\'');
}

bool Contiene(const QString &texto, std::initializer_list<const char *> partes)
{
    for (const char *p : partes)
        if (texto.contains(QLatin1String(p), Qt::CaseInsensitive))
            return true;
    return false;
}
}  // namespace

bool ConexionServidor::desdeUrl(const QString &texto, ConexionServidor &c, QString *error)
{
    auto fallar = [&](const QString &m) {
        if (error)
            *error = m;
        return false;
    };
    const QUrl url(texto, QUrl::StrictMode);
    if (!url.isValid() || (url.scheme() != QLatin1String("postgresql") && url.scheme() != QLatin1String("postgres")))
        return fallar(QStringLiteral("La dirección del registro central debe tener la forma "
                                     "postgresql://usuario@servidor:puerto/base?sslmode=require."));
    ConexionServidor n;
    n.servidor = url.host();
    n.puerto = url.port(5432);
    n.base = url.path().mid(1);
    n.usuario = url.userName();
    n.clave = url.password();
    if (n.base.isEmpty() || n.base.contains(QLatin1Char('/')))
        return fallar(QStringLiteral("La dirección del registro central no nombra la base de datos (postgresql://"
                                     "usuario@servidor:puerto/base)."));
    const QUrlQuery consulta(url);
    for (const auto &[clave, valor] : consulta.queryItems(QUrl::FullyDecoded)) {
        if (clave == QLatin1String("sslmode")) {
            static const QStringList modos = {QStringLiteral("disable"), QStringLiteral("allow"),
                                              QStringLiteral("prefer"),  QStringLiteral("require"),
                                              QStringLiteral("verify-ca"), QStringLiteral("verify-full")};
            if (!modos.contains(valor))
                return fallar(QStringLiteral("Modo TLS desconocido en la dirección del registro central: \"%1\".")
                                  .arg(valor));
            n.modoTls = valor;
        } else if (clave == QLatin1String("sslrootcert")) {
            n.certificadoCa = valor;
        } else if (clave == QLatin1String("connect_timeout")) {
            n.esperaConexion = std::max(1, valor.toInt());
        } else {
            return fallar(QStringLiteral("Opción desconocida en la dirección del registro central: \"%1\".").arg(clave));
        }
    }
    c = n;
    return true;
}

QString ConexionServidor::url() const
{
    QUrl u;
    u.setScheme(QStringLiteral("postgresql"));
    u.setHost(servidor);
    if (puerto != 5432)
        u.setPort(puerto);
    u.setUserName(usuario);
    u.setPath(QLatin1Char('/') + base);
    QUrlQuery q;
    if (!modoTls.isEmpty())
        q.addQueryItem(QStringLiteral("sslmode"), modoTls);
    if (!certificadoCa.isEmpty())
        q.addQueryItem(QStringLiteral("sslrootcert"), certificadoCa);
    u.setQuery(q);
    return u.toString();
}

QString ConexionServidor::modoTlsEfectivo() const
{
    if (!modoTls.isEmpty())
        return modoTls;
    return certificadoCa.isEmpty() ? QStringLiteral("require") : QStringLiteral("verify-full");
}

QString ConexionServidor::enlaceCanal() const
{
    // A socket of this machine has no TLS: the operating system says who
    // is at each end.
    if (servidor.isEmpty() || servidor.startsWith(QLatin1Char('/')))
        return QStringLiteral("prefer");
    const QString modo = modoTlsEfectivo();
    return modo == QLatin1String("require") || modo.startsWith(QLatin1String("verify")) ? QStringLiteral("require")
                                                                                         : QStringLiteral("prefer");
}

QString ConexionServidor::nombre() const
{
    return QStringLiteral("%1:%2/%3")
        .arg(servidor.isEmpty() ? QStringLiteral("localhost") : servidor)
        .arg(puerto)
        .arg(base);
}

namespace Servidor {

QString nuevaConexion(const char *prefijo)
{
    return QStringLiteral("%1-%2").arg(QLatin1String(prefijo)).arg(contador.fetchAndAddRelaxed(1));
}

QSqlDatabase abrir(const ConexionServidor &c, const QString &nombreConexion)
{
    QSqlDatabase db = QSqlDatabase::contains(nombreConexion)
                          ? QSqlDatabase::database(nombreConexion, false)
                          : QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), nombreConexion);
    if (!db.isValid())
        throw ErrorServidor(QStringLiteral("No se puede usar el registro central: falta el controlador PostgreSQL "
                                           "de Qt (paquete libqt6sql6-psql)."),
                            false);
    db.setHostName(c.servidor);
    db.setPort(c.puerto);
    db.setDatabaseName(c.base);
    db.setUserName(c.usuario);
    db.setPassword(c.clave);
    const QString modo = c.modoTlsEfectivo();
    if (!c.certificadoCa.isEmpty() && modo != QLatin1String("disable") && !QFileInfo(c.certificadoCa).isFile())
        throw ErrorServidor(QStringLiteral("Error en el registro central: no se encuentra el archivo del certificado de "
                                           "la autoridad (CA) \"%1\"; revise la configuración del registro central "
                                           "(servidor \"%2\").")
                                .arg(c.certificadoCa, c.nombre()),
                            false);
    QStringList opciones = {
        QStringLiteral("connect_timeout=%1").arg(c.esperaConexion),
        QStringLiteral("sslmode=%1").arg(Citar(modo)),
        QStringLiteral("channel_binding=%1").arg(c.enlaceCanal()),
        // A network that stops answering is noticed within seconds, not minutes.
        QStringLiteral("keepalives=1"), QStringLiteral("keepalives_idle=5"), QStringLiteral("keepalives_interval=2"),
        QStringLiteral("keepalives_count=2"),
        QStringLiteral("tcp_user_timeout=%1").arg(c.esperaSentencia * 1000),
        QStringLiteral("application_name=orv"), QStringLiteral("gssencmode=disable"),
        QStringLiteral("options=%1").arg(Citar(QStringLiteral("-c statement_timeout=%1").arg(c.esperaSentencia * 1000)))};
    if (!c.certificadoCa.isEmpty())
        opciones << QStringLiteral("sslrootcert=%1").arg(Citar(c.certificadoCa));
    db.setConnectOptions(opciones.join(QLatin1Char(';')));
    if (!db.open()) {
        const QSqlError e = db.lastError();
        db.setPassword(QString());
        throw error(c, QStringLiteral("no se puede conectar"), e, true);
    }
    db.setPassword(QString());
    return db;
}

void cerrar(const QString &nombreConexion)
{
    if (!QSqlDatabase::contains(nombreConexion))
        return;
    {
        QSqlDatabase db = QSqlDatabase::database(nombreConexion, false);
        db.close();
    }
    QSqlDatabase::removeDatabase(nombreConexion);
}

ErrorServidor error(const ConexionServidor &c, const QString &que, const QSqlError &e, bool alConectar)
{
    const QString estado = e.nativeErrorCode();
    QString detalle = e.databaseText().trimmed();
    if (detalle.isEmpty())
        detalle = e.driverText().trimmed();
    if (!c.clave.isEmpty())
        detalle.replace(c.clave, QStringLiteral("****"));
    const QString servidor = QStringLiteral("tabla \"Evaluaciones\" del servidor \"%1\"").arg(c.nombre());

    QString motivo;
    bool red = false;
    const QString modo = c.modoTlsEfectivo();
    if (alConectar && Contiene(detalle, {"pg_hba.conf"})) {
        // The server answered: it refuses this machine, user or database.
        motivo = QStringLiteral("el servidor rechazó la conexión del usuario \"%1\" desde este equipo (su archivo "
                                "pg_hba.conf no la permite%2); pida al administrador del servidor que la autorice")
                     .arg(c.usuario,
                          modo == QLatin1String("disable") ? QStringLiteral(", al menos sin cifrado") : QString());
    } else if (alConectar && Contiene(detalle, {"channel binding"})) {
        motivo = QStringLiteral("el servidor no demostró conocer la contraseña sobre esta conexión cifrada (enlace de "
                                "canal SCRAM); puede no ser el servidor verdadero, o no usa scram-sha-256 en "
                                "pg_hba.conf");
    } else if (alConectar && Contiene(detalle, {"root certificate file", "archivo de certificado raíz"})) {
        motivo = QStringLiteral("no se encuentra el archivo del certificado de la autoridad (CA) que exige el modo %1; "
                                "indíquelo en la configuración del registro central")
                     .arg(modo);
    } else if (alConectar && Contiene(detalle, {"does not support SSL", "no soporta SSL"})) {
        motivo = QStringLiteral("el servidor no ofrece conexión cifrada (TLS) y el modo %1 la exige").arg(modo);
    } else if (estado == QLatin1String("42501")) {
        motivo = QStringLiteral("el usuario \"%1\" no tiene permiso para esta operación en el registro central; "
                                "pida al administrador que le dé el papel orv_evaluador")
                     .arg(c.usuario);
    } else if (estado == QLatin1String("53100") || estado.startsWith(QLatin1String("53"))) {
        motivo = QStringLiteral("el servidor no tiene espacio o recursos para guardar (disco lleno)");
    } else if (estado == QLatin1String("42P01") || estado == QLatin1String("42703") || estado == QLatin1String("42804")
               || estado == QLatin1String("3F000")) {
        motivo = QStringLiteral("la tabla del servidor no corresponde a esta versión del programa; el administrador "
                                "debe prepararla con \"orv-registro servidor preparar\"");
    } else if (estado == QLatin1String("28P01") || estado == QLatin1String("28000")
               || (alConectar && Contiene(detalle, {"password", "authentication", "contraseña", "autentificación",
                                                    "autenticación"}))) {
        motivo = QStringLiteral("el servidor rechazó el usuario \"%1\" o su contraseña").arg(c.usuario);
    } else if (estado == QLatin1String("3D000") || (alConectar && Contiene(detalle, {"does not exist", "no existe"}))) {
        motivo = QStringLiteral("la base de datos \"%1\" o el usuario \"%2\" no existe en el servidor")
                     .arg(c.base, c.usuario);
    } else if (alConectar && Contiene(detalle, {"SSL", "certificate", "certificado", "root cert"})) {
        motivo = QStringLiteral("la conexión cifrada (TLS, modo %1) no se pudo establecer o el servidor no es el que "
                                "dice el certificado de la autoridad; revise el modo y el certificado")
                     .arg(modo);
    } else if (estado == QLatin1String("57014")) {
        motivo = QStringLiteral("el servidor no respondió a tiempo");
        red = true;
    } else if (estado == QLatin1String("55P03") || estado == QLatin1String("25P03")) {
        // Another session held what this statement needed for too long;
        // the same request succeeds once it has been ended.
        motivo = QStringLiteral("el registro central estuvo ocupado por otra sesión y no respondió a tiempo");
        red = true;
    } else if (alConectar || estado.isEmpty() || estado.startsWith(QLatin1String("08"))
               || estado.startsWith(QLatin1String("57P"))) {
        motivo = QStringLiteral("no hay conexión con el servidor");
        red = true;
    } else {
        motivo = QStringLiteral("el servidor rechazó la operación");
    }
    QString texto = QStringLiteral("Error en el registro central: %1, %2 (%3).").arg(que, motivo, servidor);
    if (!detalle.isEmpty())
        texto += QStringLiteral("\nDetalle: ") + detalle;
    return ErrorServidor(texto, red, estado);
}

}  // namespace Servidor
