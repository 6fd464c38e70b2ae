#include "registry/record_writer.h"

#include "app/message_box.h"
#include "data/data_paths.h"
#include "data/registry_store.h"
#include "registry/coordinates.h"

#include <QMetaType>
#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>

namespace TextosRegistro {
const QString SinIdentificacion = QStringLiteral(
    "No ha ingresado información para identificar esta evaluación. Para guardarla debe tener alguna "
    "identificación como el codigo catastral o la dirección. El nombre del evaluador y el código de la "
    "comision debe constar en este registro.");
const QString ContactoIncompleto = QStringLiteral(
    "La información de la edificación evaluada está incompleta. Si desea indicarla manualmente en la base "
    "de datos más adelante seleccion Aceptar. Si prefiere ingresar la información faltante ahora elija "
    "cancelar.");
const QString FaltaUso = QStringLiteral("Debe indicar el uso predominante de la edificación y de la planta baja.");
const QString SinUbicacion = QStringLiteral(
    "Debe porporcionar alguna información sobre la ubicadion de la edificación que está evaluando.");
const QString UbicacionIncompleta = QStringLiteral(
    "Es necesario que suministre la identificación catastral o la dirección completa, para identificar la "
    "edificación");
const QString Confirmacion = QStringLiteral("Toda la información es correcta?, guardará esta evaluación.");
const QString Guardada = QStringLiteral("La evaluacion ha sido guardada");
const QString TituloGuardar = QStringLiteral("Guardar Información");
const QString InformacionPendiente = QStringLiteral("Información pendiente");
const QString NoAplica = QStringLiteral("No Aplica");
const QString NoGuardada = QStringLiteral(
    "La evaluación no ha sido guardada. Lo que escribió se conserva; puede intentarlo de nuevo.");
}  // namespace TextosRegistro

const QStringList &TiposDireccion()
{
    static const QStringList tipos = {QStringLiteral("Carrera"),  QStringLiteral("Calle"),
                                      QStringLiteral("Transversal"), QStringLiteral("Diagonal"),
                                      QStringLiteral("Avenida"),  QStringLiteral("Otro")};
    return tipos;
}

namespace {

// The street box that belongs to street kind `tipo`, or null for an unknown kind.
const QString *CalleDelTipo(const IdentificacionEvaluacion &id, int tipo)
{
    if (tipo >= 0 && tipo <= 3)
        return &id.txtNumCalle;
    if (tipo == 4)
        return &id.txtAvenida;
    if (tipo == 5)
        return &id.txtOtro;
    return nullptr;
}

// Texts are stored as texts even when empty: an empty box is "", never NULL.
QVariant Texto(const QString &s)
{
    return s.isNull() ? QVariant(QString(QLatin1String(""))) : QVariant(s);
}

// A record number when `v` holds a whole number in the 32-bit range.
std::optional<qint64> NumeroUsable(const QVariant &v)
{
    if (v.isNull())
        return std::nullopt;
    qint64 n = 0;
    switch (v.typeId()) {
    case QMetaType::LongLong:
    case QMetaType::Int:
    case QMetaType::ULongLong:
    case QMetaType::UInt:
        n = v.toLongLong();
        break;
    case QMetaType::Double: {
        const double d = v.toDouble();
        if (!std::isfinite(d) || d != std::floor(d) || std::fabs(d) > 4.0e9)
            return std::nullopt;
        n = static_cast<qint64>(d);
        break;
    }
    default:
        return std::nullopt;
    }
    if (n < std::numeric_limits<int32_t>::min() || n > std::numeric_limits<int32_t>::max())
        return std::nullopt;
    return n;
}

// The number of the record about to be appended: the last record's number
// plus one. Numbers only grow, so that is also the largest number plus one,
// which is what a last record without a usable number gets. The caller
// holds the write lock, so nobody else can take the number meanwhile.
int32_t SiguienteNumero(ConjuntoRegistros &rs)
{
    rs.moverUltimo();
    if (rs.finDeTabla())
        return 1;
    std::optional<qint64> mayor = NumeroUsable(rs.campo(0));
    const QVariant maximo = rs.maximoCampo(0);
    if (const auto m = NumeroUsable(maximo)) {
        mayor = std::max(mayor.value_or(*m), *m);
    } else if (!maximo.isNull()) {
        // Something that is not a number sorts above every number: look at
        // every record.
        for (rs.moverPrimero(); !rs.finDeTabla(); rs.moverSiguiente())
            if (const auto n = NumeroUsable(rs.campo(0)))
                mayor = std::max(mayor.value_or(*n), *n);
    }
    const qint64 siguiente = mayor ? std::max<qint64>(*mayor + 1, 1) : 1;
    if (siguiente > std::numeric_limits<int32_t>::max())
        throw ErrorDatos(QStringLiteral("Error en la base de datos: no quedan números de evaluación disponibles (%1).")
                             .arg(rs.descripcion()));
    return static_cast<int32_t>(siguiente);
}

void PonerGuionesOtrasCalles(IdentificacionEvaluacion &id)
{
    const QString guiones = QStringLiteral("--");
    if (id.Option1 >= 0 && id.Option1 <= 3) {
        id.txtAvenida = guiones;
        id.txtOtro = guiones;
    } else if (id.Option1 == 4) {
        id.txtNumCalle = guiones;
        id.txtOtro = guiones;
    } else if (id.Option1 == 5) {
        id.txtNumCalle = guiones;
        id.txtAvenida = guiones;
    }
}

void SiVacio(QString &caja, const QString &texto)
{
    if (caja.isEmpty())
        caja = texto;
}

// Placeholders of the cadastral boxes; with `soloVacias` only empty boxes get theirs.
void PonerMarcasCatastro(IdentificacionEvaluacion &id, bool soloVacias)
{
    const std::pair<QString *, const char *> marcas[] = {
        {&id.txtComuna2, "-"},   {&id.txtComuna1, "-"},    {&id.txtNomBarrio, "-"}, {&id.txtsector, "--"},
        {&id.txtManzana, "----"}, {&id.txtPredio, "----"}, {&id.txtMejoraPH, "---"}, {&id.txtAvaluo, "--"}};
    for (const auto &[caja, marca] : marcas) {
        if (!soloVacias || caja->isEmpty())
            *caja = QString::fromLatin1(marca);
    }
}

// Location check: placeholders for what may stay unknown; when the building
// cannot be located, false and the message for the evaluator in `aviso`.
bool RevisarUbicacion(IdentificacionEvaluacion &id, int16_t catastro, int16_t direccion, QString &aviso)
{
    const QString guion = QStringLiteral("-");
    if (catastro == 0 && direccion == 0) {
        aviso = TextosRegistro::SinUbicacion;
        return false;
    }
    if (catastro == 0 && direccion == 1) {
        PonerMarcasCatastro(id, false);
        SiVacio(id.txtNumCalle, guion);
        SiVacio(id.txtAvenida, guion);
        SiVacio(id.txtOtro, guion);
        return true;
    }
    if (catastro == 1 && direccion == 0) {
        id.txtNumCalle = guion;
        id.txtNumero = guion;
        id.txtAvenida = guion;
        id.txtOtro = guion;
        return true;
    }
    if (catastro == 1 && direccion == 1)
        return true;
    if (catastro == 1 && direccion == 2) {
        if (id.txtNumCalle.isEmpty() && id.txtAvenida.isEmpty() && id.txtOtro.isEmpty()) {
            id.txtNumCalle = guion;
            id.txtAvenida = guion;
            id.txtOtro = guion;
        }
        SiVacio(id.txtNumero, guion);
        return true;
    }
    if (catastro == 2 && direccion == 1) {
        PonerMarcasCatastro(id, true);
        return true;
    }
    // Partial cadastral data without a complete address, or a partial address
    // without cadastral data: the building cannot be identified.
    aviso = TextosRegistro::UbicacionIncompleta;
    return false;
}

// Categories declared not relevant keep no texts or indices of their own.
void MarcarNoAplica(EstadoEvaluacion &estado)
{
    const int caso = estado.CasoRelevancia;
    if (caso == 1 || caso == 3) {
        estado.TextoPreexistente = TextosRegistro::NoAplica;
        estado.IndicePreexistente = 0.0;
    }
    if (caso == 2 || caso == 3) {
        estado.TextoRiesgoGeotecnico = TextosRegistro::NoAplica;
        estado.TextoSuelo = TextosRegistro::NoAplica;
        estado.IndiceSuelo = 0.0;
    }
}

}  // namespace

int16_t CalcularEstadoCatastro(const IdentificacionEvaluacion &id)
{
    const QString *cajas[] = {&id.txtComuna2, &id.txtComuna1, &id.txtNomBarrio, &id.txtsector,
                              &id.txtManzana, &id.txtPredio,  &id.txtMejoraPH,  &id.txtAvaluo};
    int llenas = 0;
    for (const QString *c : cajas)
        llenas += c->isEmpty() ? 0 : 1;
    if (llenas == 0)
        return 0;
    return llenas == 8 ? 1 : 2;
}

int16_t CalcularEstadoDireccion(const IdentificacionEvaluacion &id)
{
    const QString *calle = CalleDelTipo(id, id.Option1);
    int llenas = id.txtNumero.isEmpty() ? 0 : 1;
    int total = 1;
    if (calle) {
        llenas += calle->isEmpty() ? 0 : 1;
        total = 2;
    } else {
        for (const QString *c : {&id.txtNumCalle, &id.txtAvenida, &id.txtOtro})
            llenas += c->isEmpty() ? 0 : 1;
        total = 4;
    }
    if (llenas == 0)
        return 0;
    return llenas == total ? 1 : 2;
}

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

void EscribirIdentificacion(ConjuntoRegistros &rs, const IdentificacionEvaluacion &id,
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

void EscribirProporciones(ConjuntoRegistros &rs, const EstadoEvaluacion &estado)
{
    for (int i = 0; i < static_cast<int>(estado.NivelesProporcion.size()); ++i)
        rs.establecerCampo(33 + i, static_cast<qint64>(estado.NivelesProporcion[i]));
}

void EscribirCualitativos(ConjuntoRegistros &rs, const EstadoEvaluacion &estado)
{
    for (int i = 0; i < static_cast<int>(estado.NivelesCualitativos.size()); ++i)
        rs.establecerCampo(58 + i, static_cast<qint64>(estado.NivelesCualitativos[i]));
}

void EscribirResultados(ConjuntoRegistros &rs, const EstadoEvaluacion &estado)
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

void EscribirCodigos(ConjuntoRegistros &rs, const EstadoEvaluacion &estado)
{
    rs.establecerCampo(86, Texto(estado.CodDannoEdificio));
    rs.establecerCampo(87, Texto(estado.CodEstadoGlobal));
    rs.establecerCampo(88, Texto(estado.CodHabitabilidad));
    rs.establecerCampo(89, Texto(estado.CodMedidasSeguridad));
    rs.establecerCampo(90, Texto(estado.CodReparabilidad));
}

int32_t AgregarEvaluacion(const QString &archivo, const IdentificacionEvaluacion &id, EstadoEvaluacion &estado,
                          const DatosEdificacion &datos)
{
    RegistroEvaluaciones::asegurar(archivo);
    ConjuntoRegistros rs(archivo, RegistroEvaluaciones::Tabla, ConjuntoRegistros::Modo::Escritura);
    if (rs.numeroCampos() != RegistroEvaluaciones::NumCampos)
        throw ErrorDatos(QStringLiteral("Error en la base de datos: la tabla tiene %1 campos y el registro de "
                                        "evaluaciones necesita %2 (%3).")
                             .arg(rs.numeroCampos())
                             .arg(RegistroEvaluaciones::NumCampos)
                             .arg(rs.descripcion()));

    const int32_t numeroAnterior = estado.NumeroEvaluacion;
    rs.iniciarTransaccion();
    try {
        estado.NumeroEvaluacion = SiguienteNumero(rs);
        estado.DireccionElegida = TiposDireccion().value(id.Option1);
        rs.agregarNuevo();
        EscribirIdentificacion(rs, id, estado, datos);
        EscribirProporciones(rs, estado);
        EscribirCualitativos(rs, estado);
        EscribirResultados(rs, estado);
        EscribirCodigos(rs, estado);
        rs.guardar();
        rs.confirmar();
    } catch (...) {
        rs.deshacer();
        estado.NumeroEvaluacion = numeroAnterior;
        throw;
    }
    return estado.NumeroEvaluacion;
}

bool GuardarEvaluacion(QWidget *padre, IdentificacionEvaluacion &id, EstadoEvaluacion &estado,
                       const DatosEdificacion &datos, const MostrarIdentificacion &mostrar)
{
    using Mensaje::Botones;
    using Mensaje::Respuesta;
    // Every box appears over the form as it would be stored.
    auto avisar = [&](const QString &texto, Botones botones = Botones::Aceptar,
                      const QString &titulo = QStringLiteral("ORV")) {
        if (mostrar)
            mostrar(id);
        return Mensaje::mostrar(padre, texto, botones, titulo);
    };

    // 1. Something must identify the building. Of the three street boxes
    // only the one of the chosen kind counts: the other two hold the "--"
    // the form writes into them.
    const QString *identificacion[] = {&id.txtNombre,   &id.txtDuenno,    &id.txtTelefono,  &id.cboGrupo,
                                       &id.cboUsoBaja,  &id.txtComuna2,   &id.txtComuna1,   &id.txtNomBarrio,
                                       &id.txtsector,   &id.txtManzana,   &id.txtPredio,    &id.txtMejoraPH,
                                       &id.txtAvaluo,   CalleDelTipo(id, id.Option1)};
    bool hayIdentificacion = false;
    for (const QString *c : identificacion)
        hayIdentificacion = hayIdentificacion || (c && !c->isEmpty());
    if (!hayIdentificacion) {
        avisar(TextosRegistro::SinIdentificacion);
        return false;
    }

    // 2. Contact: missing data may be completed later in the registry.
    bool contactoOk = true;
    QString *contacto[] = {&id.txtNombre, &id.txtDuenno, &id.txtTelefono};
    bool faltaContacto = false;
    for (const QString *c : contacto)
        faltaContacto = faltaContacto || c->isEmpty();
    if (faltaContacto) {
        contactoOk = avisar(TextosRegistro::ContactoIncompleto, Botones::AceptarCancelar) == Respuesta::Aceptar;
        if (contactoOk)
            for (QString *c : contacto)
                SiVacio(*c, TextosRegistro::InformacionPendiente);
    }

    // 3. Use of the building and of its ground floor.
    const bool usoOk = !id.cboGrupo.isEmpty() && !id.cboUsoBaja.isEmpty();
    if (!usoOk)
        avisar(TextosRegistro::FaltaUso);

    // 4. Address kind; the street boxes of the other kinds get "--".
    estado.DireccionElegida = TiposDireccion().value(id.Option1);
    PonerGuionesOtrasCalles(id);

    // 5 to 7. Location.
    QString avisoUbicacion;
    const bool ubicacionOk =
        RevisarUbicacion(id, CalcularEstadoCatastro(id), CalcularEstadoDireccion(id), avisoUbicacion);
    if (!avisoUbicacion.isEmpty())
        avisar(avisoUbicacion);

    // 8. Whatever the checks gave.
    MarcarNoAplica(estado);

    // Position of the building: both coordinates or none.
    const Coordenadas coordenadas = LeerCoordenadas(id.txtLatitud, id.txtLongitud);
    id.Latitud = coordenadas.Latitud;
    id.Longitud = coordenadas.Longitud;
    const bool coordenadasOk = coordenadas.error.isEmpty();
    if (!coordenadasOk)
        avisar(coordenadas.error);

    // 9. Confirmation.
    if (!(contactoOk && usoOk && ubicacionOk && coordenadasOk))
        return false;
    if (avisar(TextosRegistro::Confirmacion, Botones::AceptarCancelar, TextosRegistro::TituloGuardar)
        != Respuesta::Aceptar)
        return false;

    // 10. Writing.
    try {
        AgregarEvaluacion(RutasDatos::archivoRegistro(), id, estado, datos);
    } catch (const ErrorDatos &e) {
        avisar(TextosRegistro::NoGuardada + QLatin1Char('\n') + e.mensaje());
        return false;
    }
    avisar(TextosRegistro::Guardada);
    return true;
}
