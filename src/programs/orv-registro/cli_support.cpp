#include "programs/orv-registro/cli_support.h"

#include "core/data/data_paths.h"
#include "core/data/record_set.h"
#include "core/engine/fuzzy_scale.h"
#include "core/registry/local_registry.h"
#include "core/registry/registry_config.h"
#include "core/registry/server_registry.h"

#include <QDate>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <cstdio>

namespace Cli {

void FallaUso(const QString &mensaje) { throw Falla{mensaje, ErrorUso}; }
void FallaEjecucion(const QString &mensaje) { throw Falla{mensaje, ErrorEjecucion}; }

std::unique_ptr<AlmacenRegistro> AbrirRegistro(const Opciones &opciones, Acceso acceso)
{
    // The central registry: named by --registro, or as configured (ORV_REGISTRO, the settings).
    try {
        if (RutasDatos::esDireccionServidor(opciones.registro))
            return std::make_unique<RegistroServidor>(ConexionServidorDe(opciones));
        if (opciones.registro.isEmpty() && ConfiguracionRegistro::leer().servidor) {
            RegistroConfigurado r = AbrirRegistroConfigurado();
            return std::move(r.almacen);
        }
    } catch (const ErrorDatos &e) {
        FallaEjecucion(e.mensaje());
    }
    // A file: --registro's, else ORV_REGISTRO's, else the user's.
    const QString archivo = opciones.registro.isEmpty() ? RutasDatos::archivoRegistro() : opciones.registro;
    const QFileInfo info(archivo);
    if (acceso == Acceso::Leer && !info.exists())
        FallaEjecucion(QStringLiteral("no existe el registro de evaluaciones \"%1\".").arg(archivo));
    if (info.exists() && !info.isFile())
        FallaEjecucion(QStringLiteral("\"%1\" no es un archivo de registro de evaluaciones.").arg(archivo));
    return std::make_unique<RegistroLocal>(archivo);
}

ConexionServidor ConexionServidorDe(const Opciones &opciones)
{
    ConexionServidor c;
    QString error;
    if (RutasDatos::esDireccionServidor(opciones.registro)) {
        if (!ConexionServidor::desdeUrl(opciones.registro, c, &error))
            FallaUso(error);
        return c;
    }
    ConfiguracionRegistro conf;
    try {
        conf = ConfiguracionRegistro::leer();
    } catch (const ErrorDatos &e) {
        FallaUso(e.mensaje());
    }
    if (!conf.servidor)
        FallaUso(QStringLiteral("no hay un registro central configurado: use --registro postgresql://usuario@servidor/base "
                                "o la variable ORV_REGISTRO."));
    c = conf.conexion;
    if (!conf.desdeEntorno)
        c.clave = ClaveRegistro::leer(c);
    return c;
}

ConfiguracionRegistro ConfiguracionDe(const Opciones &opciones)
{
    ConfiguracionRegistro conf;
    try {
        conf = ConfiguracionRegistro::leer();
    } catch (const ErrorDatos &e) {
        FallaUso(e.mensaje());
    }
    if (RutasDatos::esDireccionServidor(opciones.registro)) {
        conf.servidor = true;
        conf.desdeEntorno = true;
        conf.conexion = ConexionServidorDe(opciones);
    } else if (!opciones.registro.isEmpty()) {
        conf.archivoEntorno = opciones.registro;
    }
    return conf;
}

QString CarpetaDatos(const Opciones &opciones)
{
    return opciones.datos.isEmpty() ? RutasDatos::carpetaInstalacion() : opciones.datos;
}

Argumentos::Argumentos(const QString &orden, const QStringList &argumentos, const QStringList &conValor,
                       const QStringList &banderas)
{
    bool soloNombres = false;  // after "--" everything is a name
    for (qsizetype i = 0; i < argumentos.size(); ++i) {
        const QString &a = argumentos.at(i);
        if (soloNombres || a == QLatin1String("-") || !a.startsWith(QLatin1Char('-'))) {
            resto_ << a;
            continue;
        }
        if (a == QLatin1String("--")) {
            soloNombres = true;
            continue;
        }
        if (a == QLatin1String("-h") || a == QLatin1String("--ayuda") || a == QLatin1String("--help")) {
            ayuda_ = true;
            continue;
        }
        QString nombre = a;
        QString valor;
        bool conIgual = false;
        if (const qsizetype igual = a.indexOf(QLatin1Char('=')); igual > 0 && a.startsWith(QLatin1String("--"))) {
            nombre = a.left(igual);
            valor = a.mid(igual + 1);
            conIgual = true;
        }
        if (conValor.contains(nombre)) {
            if (!conIgual) {
                if (i + 1 >= argumentos.size())
                    FallaUso(QStringLiteral("falta el valor de %1 en «%2».").arg(nombre, orden));
                valor = argumentos.at(++i);
            }
            dados_.append({nombre, valor});
        } else if (banderas.contains(nombre) && !conIgual) {
            dados_.append({nombre, QString()});
        } else {
            FallaUso(QStringLiteral("la orden «%1» no conoce la opción \"%2\". Vea «orv-registro %1 --ayuda».")
                         .arg(orden, a));
        }
    }
}

bool Argumentos::tiene(const QString &opcion) const
{
    return std::any_of(dados_.begin(), dados_.end(), [&](const auto &d) { return d.first == opcion; });
}

QString Argumentos::valor(const QString &opcion) const
{
    for (auto it = dados_.crbegin(); it != dados_.crend(); ++it)
        if (it->first == opcion)
            return it->second;
    return QString();
}

QStringList Argumentos::valores(const QString &opcion) const
{
    QStringList l;
    for (const auto &d : dados_)
        if (d.first == opcion)
            l << d.second;
    return l;
}

namespace {

QDate LeerFecha(const Argumentos &a, const QString &opcion)
{
    if (!a.tiene(opcion))
        return {};
    const QString texto = a.valor(opcion).trimmed();
    const QDate fecha = QDate::fromString(texto, QStringLiteral("yyyy-MM-dd"));
    if (!fecha.isValid())
        FallaUso(QStringLiteral("la fecha de %1 \"%2\" no es válida; escríbala como año-mes-día, por ejemplo "
                                "2026-12-06.")
                     .arg(opcion, texto));
    return fecha;
}

}  // namespace

FiltroRegistro LeerFiltro(const Argumentos &a)
{
    FiltroRegistro f;
    f.texto = a.valor(QStringLiteral("--buscar"));
    if (a.tiene(QStringLiteral("--habitabilidad"))) {
        const QString dada = a.valor(QStringLiteral("--habitabilidad")).simplified();
        QStringList nombres;
        for (int n = 0; n < 4; ++n) {
            nombres << QStringLiteral("\"%1\"").arg(NombreHabitabilidad(n));
            if (dada.compare(NombreHabitabilidad(n), Qt::CaseInsensitive) == 0)
                f.habitabilidad = NombreHabitabilidad(n);
        }
        if (f.habitabilidad.isEmpty())
            FallaUso(QStringLiteral("la habitabilidad \"%1\" no existe; puede ser %2.")
                         .arg(dada, nombres.join(QStringLiteral(", "))));
    }
    f.desde = LeerFecha(a, QStringLiteral("--desde"));
    f.hasta = LeerFecha(a, QStringLiteral("--hasta"));
    if (f.desde.isValid() && f.hasta.isValid() && f.hasta < f.desde)
        FallaUso(QStringLiteral("la fecha de --hasta es anterior a la de --desde."));
    f.soloVigentes = a.tiene(QStringLiteral("--vigentes"));
    return f;
}

void Escribir(const QString &archivo, const std::function<void(QIODevice &)> &escribir)
{
    if (archivo.isEmpty() || archivo == QLatin1String("-")) {
        QFile salida;
        if (!salida.open(stdout, QIODevice::WriteOnly))
            FallaEjecucion(QStringLiteral("no se puede escribir en la salida estándar."));
        escribir(salida);
        if (!salida.flush())
            FallaEjecucion(QStringLiteral("no se puede escribir en la salida estándar."));
        return;
    }
    QSaveFile salida(archivo);
    if (!salida.open(QIODevice::WriteOnly))
        FallaEjecucion(
            QStringLiteral("no se puede crear el archivo \"%1\": %2").arg(archivo, salida.errorString()));
    // Leaving on an exception drops the temporary file: nothing is left behind.
    escribir(salida);
    if (!salida.commit())
        FallaEjecucion(
            QStringLiteral("no se puede escribir el archivo \"%1\": %2").arg(archivo, salida.errorString()));
}

const Orden *BuscarOrden(const QString &nombre)
{
    for (const Orden &o : Ordenes())
        if (nombre == QLatin1String(o.nombre))
            return &o;
    return nullptr;
}

QString Ayuda(const Orden *orden)
{
    if (orden)
        return QStringLiteral("Uso: orv-registro [opciones generales] %1\n\n%2\n\n%3")
            .arg(QString::fromUtf8(orden->sinopsis), QString::fromUtf8(orden->resumen),
                 QString::fromUtf8(orden->ayuda));
    QString texto = QStringLiteral(
        "Uso: orv-registro [opciones generales] ORDEN [argumentos]\n"
        "\n"
        "Consulta, exporta, imprime e importa las evaluaciones guardadas en el registro de evaluaciones.\n"
        "\n"
        "Órdenes:\n");
    for (const Orden &o : Ordenes())
        texto += QStringLiteral("  %1%2\n")
                     .arg(QString::fromUtf8(o.nombre).leftJustified(11), QString::fromUtf8(o.resumen));
    texto += QStringLiteral(
        "\n"
        "Opciones generales:\n"
        "  --registro ARCHIVO  usa el archivo de registro ARCHIVO en lugar del registro del usuario\n"
        "                      (%1)\n"
        "  --registro postgresql://usuario@servidor:puerto/base\n"
        "                      usa el registro central de ese servidor; la contraseña, la de PGPASSWORD\n"
        "                      o ~/.pgpass, nunca dentro de la dirección\n"
        "  --datos CARPETA     carpeta de los datos de referencia (ORV.sqlite, Comentarios.sqlite);\n"
        "                      por omisión la de la instalación\n"
        "  -h, --ayuda         muestra esta ayuda; «orv-registro ORDEN --ayuda» explica una orden\n"
        "  --version           muestra la versión\n"
        "\n"
        "Estado de salida: 0 si todo se hizo, 1 si algo no se pudo hacer (o, al importar, alguna línea fue\n"
        "rechazada), 2 si la orden está mal escrita.\n")
                 .arg(RutasDatos::archivoRegistro());
    return texto;
}

void Imprimir(const QString &texto)
{
    const QByteArray b = texto.toUtf8();
    std::fwrite(b.constData(), 1, static_cast<size_t>(b.size()), stdout);
}

void ImprimirError(const QString &texto)
{
    const QByteArray b = (QStringLiteral("orv-registro: ") + texto + QLatin1Char('\n')).toUtf8();
    std::fwrite(b.constData(), 1, static_cast<size_t>(b.size()), stderr);
}

}  // namespace Cli
