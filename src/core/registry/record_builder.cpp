#include "core/registry/record_builder.h"

#include "core/registry/local_registry.h"

#include <cmath>
#include <limits>

const QStringList &TiposDireccion()
{
    static const QStringList tipos = {QStringLiteral("Carrera"),  QStringLiteral("Calle"),
                                      QStringLiteral("Transversal"), QStringLiteral("Diagonal"),
                                      QStringLiteral("Avenida"),  QStringLiteral("Otro")};
    return tipos;
}

namespace {
// Texts are stored as texts even when empty: an empty box is "", never NULL.
QVariant Texto(const QString &s)
{
    return s.isNull() ? QVariant(QString(QLatin1String(""))) : QVariant(s);
}

}  // namespace

int32_t EnteroDeTexto(const QString &texto)
{
    qsizetype i = 0;
    const qsizetype n = texto.size();
    while (i < n && (texto.at(i) == QLatin1Char(' ') || texto.at(i) == QLatin1Char('\t')))
        ++i;
    QString numero;
    if (i < n && (texto.at(i) == QLatin1Char('+') || texto.at(i) == QLatin1Char('-')))
        numero += texto.at(i++);
    int digitos = 0;
    while (i < n && texto.at(i) >= QLatin1Char('0') && texto.at(i) <= QLatin1Char('9')) {
        numero += texto.at(i++);
        ++digitos;
    }
    if (i < n && texto.at(i) == QLatin1Char('.')) {
        numero += texto.at(i++);
        while (i < n && texto.at(i) >= QLatin1Char('0') && texto.at(i) <= QLatin1Char('9')) {
            numero += texto.at(i++);
            ++digitos;
        }
    }
    if (digitos == 0)
        return 0;
    // An exponent counts only when digits follow it.
    if (i < n && (texto.at(i) == QLatin1Char('e') || texto.at(i) == QLatin1Char('E'))) {
        qsizetype j = i + 1;
        if (j < n && (texto.at(j) == QLatin1Char('+') || texto.at(j) == QLatin1Char('-')))
            ++j;
        if (j < n && texto.at(j) >= QLatin1Char('0') && texto.at(j) <= QLatin1Char('9')) {
            numero += texto.mid(i, j - i);
            while (j < n && texto.at(j) >= QLatin1Char('0') && texto.at(j) <= QLatin1Char('9'))
                numero += texto.at(j++);
        }
    }
    const double valor = std::nearbyint(numero.toDouble());  // halves to even
    if (std::isnan(valor))
        return 0;
    if (valor >= static_cast<double>(std::numeric_limits<int32_t>::max()))
        return std::numeric_limits<int32_t>::max();
    if (valor <= static_cast<double>(std::numeric_limits<int32_t>::min()))
        return std::numeric_limits<int32_t>::min();
    return static_cast<int32_t>(valor);
}

QString TextoFecha(const QDateTime &fecha)
{
    if (!fecha.isValid())
        return QString(QLatin1String(""));
    return fecha.toString(QStringLiteral("yyyy-MM-dd'T'HH:mm:ss"));
}

void EscribirIdentificacion(RegistroEvaluacion &rs, const IdentificacionEvaluacion &id,
                            const EstadoEvaluacion &estado, const DatosEdificacion &datos)
{
    rs.establecerCampo(0, static_cast<qint64>(estado.NumeroEvaluacion));
    rs.establecerCampo(1, Texto(id.txtComuna1 + QLatin1Char('-') + id.txtComuna2));
    rs.establecerCampo(2, Texto(id.txtNomBarrio));
    rs.establecerCampo(3, Texto(id.txtAvaluo));
    rs.establecerCampo(4, Texto(id.txtsector));
    rs.establecerCampo(5, Texto(id.txtManzana));
    rs.establecerCampo(6, Texto(id.txtPredio));
    rs.establecerCampo(7, Texto(id.txtMejoraPH));
    rs.establecerCampo(8, Texto(estado.DireccionElegida));
    rs.establecerCampo(9, Texto(id.txtNumCalle));
    rs.establecerCampo(10, Texto(id.txtAvenida));
    rs.establecerCampo(11, Texto(id.txtOtro));
    rs.establecerCampo(12, Texto(id.txtNumero));
    rs.establecerCampo(13, Texto(id.txtNombre));
    rs.establecerCampo(14, Texto(id.txtDuenno));
    rs.establecerCampo(15, Texto(id.txtTelefono));
    rs.establecerCampo(16, Texto(id.txtEvaluador));
    rs.establecerCampo(17, Texto(id.txtCodigComi));
    rs.establecerCampo(18, Texto(TextoFecha(id.DTEvaluacion)));
    rs.establecerCampo(19, Texto(id.cboGrupo));
    rs.establecerCampo(20, Texto(id.cboUsoBaja));
    rs.establecerCampo(21, Texto(estado.Inspeccion));
    rs.establecerCampo(22, Texto(estado.EstabilidadEvaluador));
    rs.establecerCampo(23, Texto(estado.AnnoConstruccion));
    rs.establecerCampo(24, Texto(estado.Localizacion));
    rs.establecerCampo(25, static_cast<qint64>(EnteroDeTexto(datos.txtNPisos)));
    rs.establecerCampo(26, static_cast<qint64>(EnteroDeTexto(datos.txtNSotanos)));
    rs.establecerCampo(27, static_cast<qint64>(EnteroDeTexto(datos.txtPisosTotal)));
    rs.establecerCampo(28, static_cast<qint64>(EnteroDeTexto(datos.txtPMayorDanno)));
    rs.establecerCampo(29, Texto(datos.cboTipoEstructura));
    rs.establecerCampo(30, Texto(datos.cboCubierta));
    rs.establecerCampo(31, Texto(datos.cboEntrepiso));
    rs.establecerCampo(32, static_cast<qint64>(estado.CasoRelevancia));
}

void EscribirProporciones(RegistroEvaluacion &rs, const EstadoEvaluacion &estado)
{
    for (int i = 0; i < static_cast<int>(estado.NivelesProporcion.size()); ++i)
        rs.establecerCampo(33 + i, static_cast<qint64>(estado.NivelesProporcion[i]));
}

void EscribirCualitativos(RegistroEvaluacion &rs, const EstadoEvaluacion &estado)
{
    for (int i = 0; i < static_cast<int>(estado.NivelesCualitativos.size()); ++i)
        rs.establecerCampo(58 + i, static_cast<qint64>(estado.NivelesCualitativos[i]));
}

void EscribirResultados(RegistroEvaluacion &rs, const EstadoEvaluacion &estado)
{
    rs.establecerCampo(71, Texto(estado.TextoRiesgoEstructural));
    rs.establecerCampo(72, Texto(estado.TextoDannoEstructural));
    rs.establecerCampo(73, estado.IndiceEstructural);
    rs.establecerCampo(74, Texto(estado.TextoRiesgoNoEstructural));
    rs.establecerCampo(75, Texto(estado.TextoDannoNoEstructural));
    rs.establecerCampo(76, estado.IndiceNoEstructural);
    rs.establecerCampo(77, Texto(estado.TextoRiesgoGeotecnico));
    rs.establecerCampo(78, Texto(estado.TextoSuelo));
    rs.establecerCampo(79, estado.IndiceSuelo);
    rs.establecerCampo(80, Texto(estado.TextoPreexistente));
    rs.establecerCampo(81, estado.IndicePreexistente);
    rs.establecerCampo(82, Texto(estado.TextoDannoEdificio));
    rs.establecerCampo(83, Texto(estado.TextoEstadoGlobal));
    rs.establecerCampo(84, Texto(estado.TextoHabitabilidad));
    rs.establecerCampo(85, Texto(estado.TextoReparabilidad));
}

void EscribirCodigos(RegistroEvaluacion &rs, const EstadoEvaluacion &estado)
{
    rs.establecerCampo(86, Texto(estado.CodDannoEdificio));
    rs.establecerCampo(87, Texto(estado.CodEstadoGlobal));
    rs.establecerCampo(88, Texto(estado.CodHabitabilidad));
    rs.establecerCampo(89, Texto(estado.CodMedidasSeguridad));
    rs.establecerCampo(90, Texto(estado.CodReparabilidad));
}

void EscribirCoordenadas(RegistroEvaluacion &rs, const IdentificacionEvaluacion &id)
{
    rs.establecerCampo(91, id.Latitud ? QVariant(*id.Latitud) : QVariant());
    rs.establecerCampo(92, id.Longitud ? QVariant(*id.Longitud) : QVariant());
}

RegistroEvaluacion ConstruirRegistro(const IdentificacionEvaluacion &id, const EstadoEvaluacion &estado,
                                     const DatosEdificacion &datos)
{
    RegistroEvaluacion r;
    EscribirIdentificacion(r, id, estado, datos);
    EscribirProporciones(r, estado);
    EscribirCualitativos(r, estado);
    EscribirResultados(r, estado);
    EscribirCodigos(r, estado);
    EscribirCoordenadas(r, id);
    r.unidadesVivienda = id.UnidadesVivienda;
    r.fotos = id.Fotos;
    return r;
}

int32_t AgregarEvaluacion(AlmacenRegistro &registro, const IdentificacionEvaluacion &id, EstadoEvaluacion &estado,
                          const DatosEdificacion &datos)
{
    estado.DireccionElegida = TiposDireccion().value(id.Option1);
    RegistroEvaluacion r = ConstruirRegistro(id, estado, datos);
    estado.NumeroEvaluacion = registro.agregar(r);
    return estado.NumeroEvaluacion;
}

int32_t AgregarEvaluacion(const QString &archivo, const IdentificacionEvaluacion &id, EstadoEvaluacion &estado,
                          const DatosEdificacion &datos)
{
    RegistroLocal registro(archivo);
    return AgregarEvaluacion(registro, id, estado, datos);
}

