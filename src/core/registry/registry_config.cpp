#include "core/registry/registry_config.h"

#include "core/data/data_paths.h"
#include "core/registry/local_registry.h"
#include "core/registry/server_registry.h"

#include <QEventLoop>
#include <QHash>
#include <QMutex>
#include <QSettings>
#include <QTimer>
#include <QUrl>
#include <algorithm>
#include <qt6keychain/keychain.h>

namespace {

QSettings Ajustes() { return QSettings(QStringLiteral("Quenbria"), QStringLiteral("ORV")); }

const QString ServicioClaves = QStringLiteral("ORV registro central");

QString LlaveClave(const ConexionServidor &c) { return c.usuario + QLatin1Char('@') + c.nombre(); }

struct Claves {
    QMutex mutex;
    QHash<QString, QString> recordadas;
    QHash<QString, bool> preguntadas;
    std::function<std::optional<QString>(const ConexionServidor &)> pregunta;
    bool almacen = true;
};
Claves &claves()
{
    static Claves c;
    return c;
}

// Runs a key-store job to its end, a few seconds at most.
bool Ejecutar(QKeychain::Job &job, QString *error)
{
    job.setAutoDelete(false);
    QEventLoop bucle;
    bool terminado = false;
    QObject::connect(&job, &QKeychain::Job::finished, &bucle, [&] {
        terminado = true;
        bucle.quit();
    });
    QTimer::singleShot(5000, &bucle, &QEventLoop::quit);
    job.start();
    if (!terminado)
        bucle.exec();
    if (!terminado || job.error() != QKeychain::NoError) {
        if (error)
            *error = terminado ? job.errorString() : QStringLiteral("el almacén de claves no respondió");
        return false;
    }
    return true;
}

}  // namespace

bool DireccionConClave(const QString &direccion)
{
    // The authority runs from "//" to the first "/", "?" or "#"; its user
    // part, up to the last "@", holds the password after a ":".
    const qsizetype inicio = direccion.indexOf(QLatin1String("//"));
    if (inicio >= 0) {
        qsizetype fin = direccion.size();
        for (const QChar c : {QLatin1Char('/'), QLatin1Char('?'), QLatin1Char('#')})
            if (const qsizetype i = direccion.indexOf(c, inicio + 2); i >= 0)
                fin = std::min(fin, i);
        const QString autoridad = direccion.mid(inicio + 2, fin - inicio - 2);
        const qsizetype arroba = autoridad.lastIndexOf(QLatin1Char('@'));
        if (arroba >= 0 && autoridad.left(arroba).contains(QLatin1Char(':')))
            return true;
    }
    const qsizetype pregunta = direccion.indexOf(QLatin1Char('?'));
    if (pregunta < 0)
        return false;
    for (const QString &par : direccion.mid(pregunta + 1).split(QLatin1Char('&')))
        if (QUrl::fromPercentEncoding(par.section(QLatin1Char('='), 0, 0).toUtf8()).trimmed().compare(
                QLatin1String("password"), Qt::CaseInsensitive) == 0)
            return true;
    return false;
}

ConfiguracionRegistro ConfiguracionRegistro::leer()
{
    ConfiguracionRegistro c;
    const QString entorno = qEnvironmentVariable("ORV_REGISTRO").trimmed();
    if (!entorno.isEmpty()) {
        c.desdeEntorno = true;
        if (RutasDatos::esDireccionServidor(entorno)) {
            QString error;
            if (!ConexionServidor::desdeUrl(entorno, c.conexion, &error))
                throw ErrorDatos(error + QStringLiteral(" (variable ORV_REGISTRO)"));
            c.servidor = true;
        } else {
            c.archivoEntorno = entorno;
        }
        return c;
    }
    QSettings s = Ajustes();
    s.beginGroup(QStringLiteral("registro"));
    c.servidor = s.value(QStringLiteral("lugar")).toString() == QLatin1String("servidor");
    c.conexion.servidor = s.value(QStringLiteral("servidor")).toString();
    c.conexion.puerto = s.value(QStringLiteral("puerto"), 5432).toInt();
    c.conexion.base = s.value(QStringLiteral("base")).toString();
    c.conexion.usuario = s.value(QStringLiteral("usuario")).toString();
    // No mode written: the connection's default (verify-full with a CA file,
    // require without one), never a weaker one.
    c.conexion.modoTls = s.value(QStringLiteral("tls")).toString();
    c.conexion.certificadoCa = s.value(QStringLiteral("certificado_ca")).toString();
    if (c.servidor && !c.conexion.valida())
        c.servidor = false;
    return c;
}

void ConfiguracionRegistro::guardar() const
{
    QSettings s = Ajustes();
    s.beginGroup(QStringLiteral("registro"));
    s.setValue(QStringLiteral("lugar"), servidor ? QStringLiteral("servidor") : QStringLiteral("archivo"));
    s.setValue(QStringLiteral("servidor"), conexion.servidor);
    s.setValue(QStringLiteral("puerto"), conexion.puerto);
    s.setValue(QStringLiteral("base"), conexion.base);
    s.setValue(QStringLiteral("usuario"), conexion.usuario);
    s.setValue(QStringLiteral("tls"), conexion.modoTls);
    s.setValue(QStringLiteral("certificado_ca"), conexion.certificadoCa);
    s.remove(QStringLiteral("clave"));
    s.endGroup();
    s.sync();
}

namespace ClaveRegistro {

QString leer(const ConexionServidor &c)
{
    Claves &k = claves();
    const QString llave = LlaveClave(c);
    {
        QMutexLocker bloqueo(&k.mutex);
        if (k.recordadas.contains(llave))
            return k.recordadas.value(llave);
    }
    if (k.almacen) {
        QKeychain::ReadPasswordJob job(ServicioClaves);
        job.setInsecureFallback(false);
        job.setKey(llave);
        if (Ejecutar(job, nullptr)) {
            recordar(c, job.textData());
            return job.textData();
        }
    }
    std::function<std::optional<QString>(const ConexionServidor &)> pregunta;
    {
        QMutexLocker bloqueo(&k.mutex);
        if (k.preguntadas.value(llave))
            return QString();
        k.preguntadas.insert(llave, true);
        pregunta = k.pregunta;
    }
    if (pregunta)
        if (const std::optional<QString> respuesta = pregunta(c)) {
            recordar(c, *respuesta);
            return *respuesta;
        }
    return QString();
}

bool guardar(const ConexionServidor &c, const QString &clave, QString *error)
{
    recordar(c, clave);
    if (!claves().almacen) {
        if (error)
            *error = QStringLiteral("no se usa el almacén de claves");
        return false;
    }
    QKeychain::WritePasswordJob job(ServicioClaves);
    job.setInsecureFallback(false);
    job.setKey(LlaveClave(c));
    job.setTextData(clave);
    return Ejecutar(job, error);
}

void recordar(const ConexionServidor &c, const QString &clave)
{
    QMutexLocker bloqueo(&claves().mutex);
    claves().recordadas.insert(LlaveClave(c), clave);
}

void olvidar(const ConexionServidor &c)
{
    QMutexLocker bloqueo(&claves().mutex);
    claves().recordadas.remove(LlaveClave(c));
    claves().preguntadas.remove(LlaveClave(c));
}

void establecerPregunta(std::function<std::optional<QString>(const ConexionServidor &)> pregunta)
{
    QMutexLocker bloqueo(&claves().mutex);
    claves().pregunta = std::move(pregunta);
}

void usarAlmacenDeClaves(bool usar) { claves().almacen = usar; }

}  // namespace ClaveRegistro

ResultadoGuardado RegistroConfigurado::guardar(RegistroEvaluacion &registro)
{
    ResultadoGuardado resultado;
    if (!esServidor()) {
        resultado.numero = almacen->agregar(registro);
        return resultado;
    }
    bandeja->guardar(registro);
    // The evaluation is on disk in the outbox: whatever fails from here on
    // (the outbox busy, a full disk while the sent ones are removed) leaves
    // it saved and pending, and the next send delivers it once.
    ResultadoEnvio envio;
    try {
        envio = bandeja->enviar(*servidor);
    } catch (const ErrorDatos &e) {
        envio.numeros.clear();
        envio.red = false;
        envio.error = e.mensaje();
    }
    if (envio.numeros.contains(registro.uuid)) {
        resultado.numero = envio.numeros.value(registro.uuid);
        registro.establecerCampo(RegistroEvaluaciones::Pos::Numero, resultado.numero);
        registro.pendiente = false;
    } else {
        resultado.pendiente = true;
        registro.pendiente = true;
        resultado.mensaje = envio.red ? TextosBandeja::GuardadaEnEquipo
                                      : envio.error + QLatin1Char('\n') + TextosBandeja::QuedaPendiente;
    }
    return resultado;
}

ResultadoEnvio RegistroConfigurado::guardarLote(QVector<RegistroEvaluacion> &lote, bool enviar)
{
    ResultadoEnvio envio;
    if (!esServidor()) {
        almacen->agregar(lote);
        return envio;
    }
    bandeja->guardar(lote);
    if (enviar) {
        // As for one record: once in the outbox, a failure leaves them pending.
        try {
            envio = bandeja->enviar(*servidor);
        } catch (const ErrorDatos &e) {
            envio.numeros.clear();
            envio.error = e.mensaje();
        }
    }
    for (RegistroEvaluacion &r : lote) {
        const bool numerado = envio.numeros.contains(r.uuid);
        r.establecerCampo(RegistroEvaluaciones::Pos::Numero, numerado ? QVariant(envio.numeros.value(r.uuid)) : QVariant());
        r.pendiente = !numerado;
    }
    return envio;
}

namespace TextosBandeja {
const QString CorreccionEnEquipo = QStringLiteral(
    "La corrección ha sido guardada en este equipo y se enviará al registro central cuando haya conexión.");
}  // namespace TextosBandeja

ResultadoEnvio RegistroConfigurado::enviarPendientes()
{
    if (!esServidor())
        return {};
    ResultadoEnvio envio = bandeja->enviar(*servidor);
    // The corrections after the evaluations they may be of.
    if (!envio.red && correccionesPendientes) {
        const ResultadoCorrecciones c = correccionesPendientes->enviar(*servidor);
        envio.red = c.red;
        if (envio.error.isEmpty())
            envio.error = c.error;
    }
    return envio;
}

ResultadoCorreccion RegistroConfigurado::corregir(const RegistroEvaluacion &registro, const QString &columna,
                                                  const QString &valor, const QString &motivo)
{
    ResultadoCorreccion resultado;
    if (!esServidor()) {
        almacen->corregir(registro.numero(), columna, valor, motivo);
        return resultado;
    }
    CorreccionPendiente c;
    c.evaluacion = registro.uuid;
    c.numero = registro.pendiente ? 0 : registro.numero();
    c.columna = columna;
    c.valor = valor;
    c.motivo = motivo;
    correccionesPendientes->guardar(c);
    // Kept on disk: from here on a failure leaves it pending.
    ResultadoCorrecciones envio;
    try {
        if (!bandeja->enviar(*servidor).red)
            envio = correccionesPendientes->enviar(*servidor);
        else
            envio.red = true;
    } catch (const ErrorDatos &e) {
        envio.error = e.mensaje();
    }
    for (const auto &[id, motivoRechazo] : std::as_const(envio.apartadas))
        if (id == c.id)
            throw ErrorDatos(motivoRechazo);
    for (const CorreccionPendiente &p : correccionesPendientes->pendientes())
        if (p.id == c.id) {
            resultado.pendiente = true;
            resultado.mensaje = envio.red || envio.error.isEmpty()
                                    ? TextosBandeja::CorreccionEnEquipo
                                    : envio.error + QLatin1Char('\n') + TextosBandeja::CorreccionEnEquipo;
        }
    return resultado;
}

QVector<FotoEvaluacion> RegistroConfigurado::fotos(const RegistroEvaluacion &registro)
{
    if (registro.pendiente && bandeja)
        return bandeja->fotos(registro.uuid);
    return almacen->fotos(registro.numero());
}

std::optional<FotoEvaluacion> RegistroConfigurado::foto(const RegistroEvaluacion &registro, const QUuid &foto)
{
    if (registro.pendiente && bandeja)
        if (std::optional<FotoEvaluacion> f = bandeja->foto(foto))
            return f;
    return almacen->foto(foto);
}

void RegistroConfigurado::agregarFotos(const RegistroEvaluacion &registro, QVector<FotoEvaluacion> &fotos)
{
    if (registro.pendiente && bandeja)
        bandeja->agregarFotos(registro.uuid, fotos);
    else
        almacen->agregarFotos(registro.numero(), fotos);
}

RegistroConfigurado AbrirRegistro(const ConfiguracionRegistro &configuracion, const QString &archivoLocal)
{
    RegistroConfigurado r;
    r.configuracion = configuracion;
    QString archivo = archivoLocal.isEmpty() ? RutasDatos::archivoRegistro() : archivoLocal;
    if (!configuracion.archivoEntorno.isEmpty())
        archivo = configuracion.archivoEntorno;
    if (!configuracion.servidor) {
        r.almacen = std::make_unique<RegistroLocal>(archivo);
        return r;
    }
    ConexionServidor conexion = configuracion.conexion;
    if (conexion.clave.isEmpty() && !configuracion.desdeEntorno)
        conexion.clave = ClaveRegistro::leer(conexion);
    auto servidor = std::make_unique<RegistroServidor>(conexion);
    r.servidor = servidor.get();
    r.almacen = std::move(servidor);
    r.bandeja = std::make_unique<BandejaSalida>(BandejaSalida::archivoPara(archivo), BandejaSalida::registroDe(conexion));
    r.correccionesPendientes = std::make_unique<CorreccionesPendientes>(BandejaSalida::archivoPara(archivo));
    return r;
}

RegistroConfigurado AbrirRegistroConfigurado(const QString &archivoLocal)
{
    return AbrirRegistro(ConfiguracionRegistro::leer(), archivoLocal);
}

ResultadoGuardado AgregarEvaluacion(RegistroConfigurado &registro, const IdentificacionEvaluacion &id,
                                    EstadoEvaluacion &estado, const DatosEdificacion &datos, const QUuid &uuid,
                                    const QString &clave)
{
    estado.DireccionElegida = TiposDireccion().value(id.Option1);
    RegistroEvaluacion r = ConstruirRegistro(id, estado, datos);
    r.uuid = uuid;
    r.claveEdificacion = clave;
    const ResultadoGuardado g = registro.guardar(r);
    estado.NumeroEvaluacion = g.numero;
    return g;
}
