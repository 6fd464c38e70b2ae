#include "core/registry/save_checks.h"

#include "core/registry/coordinates.h"
#include "core/registry/registry_fields.h"

#include <algorithm>

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
const QString UnidadesInvalidas = QStringLiteral(
    "El número de unidades de vivienda debe ser un número entero de 0 a 9999, o quedar en blanco si no se conoce.");
const QString NoGuardada = QStringLiteral(
    "La evaluación no ha sido guardada. Lo que escribió se conserva; puede intentarlo de nuevo.");
}  // namespace TextosRegistro

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


const QStringList &GruposDeUso()
{
    static const QStringList grupos = {
        QStringLiteral("Residencial"), QStringLiteral("Comercial"),     QStringLiteral("Educacional"),
        QStringLiteral("Salud"),       QStringLiteral("Hotelero"),      QStringLiteral("Oficinas"),
        QStringLiteral("Industrial"),  QStringLiteral("Institucional"), QStringLiteral("Bodegas"),
        QStringLiteral("Estacionamientos"), QStringLiteral("Otros")};
    return grupos;
}

std::optional<int> LeerUnidadesVivienda(const QString &texto, bool &valido)
{
    const QString t = texto.trimmed();
    valido = true;
    if (t.isEmpty())
        return std::nullopt;
    // Digits only: no sign, no decimals, no thousands separator.
    bool numero = true;
    for (const QChar c : t)
        numero = numero && c >= QLatin1Char('0') && c <= QLatin1Char('9');
    QString cifras = t;
    while (cifras.size() > 1 && cifras.front() == QLatin1Char('0'))
        cifras.remove(0, 1);
    if (!numero || cifras.size() > 4 || cifras.toInt() > RegistroEvaluaciones::UnidadesViviendaMaximas) {
        valido = false;
        return std::nullopt;
    }
    return cifras.toInt();
}

bool RevisarIdentificacion(IdentificacionEvaluacion &id, EstadoEvaluacion &estado, DialogoGuardar &dialogo)
{
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
        dialogo.avisar(TextosRegistro::SinIdentificacion);
        return false;
    }

    // 2. Contact: missing data may be completed later in the registry.
    bool contactoOk = true;
    QString *contacto[] = {&id.txtNombre, &id.txtDuenno, &id.txtTelefono};
    bool faltaContacto = false;
    for (const QString *c : contacto)
        faltaContacto = faltaContacto || c->isEmpty();
    if (faltaContacto) {
        contactoOk = dialogo.preguntar(TextosRegistro::ContactoIncompleto);
        if (contactoOk)
            for (QString *c : contacto)
                SiVacio(*c, TextosRegistro::InformacionPendiente);
    }

    // 3. Use of the building and of its ground floor.
    const bool usoOk = !id.cboGrupo.isEmpty() && !id.cboUsoBaja.isEmpty();
    if (!usoOk)
        dialogo.avisar(TextosRegistro::FaltaUso);

    // 4. Address kind; the street boxes of the other kinds get "--".
    estado.DireccionElegida = TiposDireccion().value(id.Option1);
    PonerGuionesOtrasCalles(id);

    // 5 to 7. Location.
    QString avisoUbicacion;
    const bool ubicacionOk =
        RevisarUbicacion(id, CalcularEstadoCatastro(id), CalcularEstadoDireccion(id), avisoUbicacion);
    if (!avisoUbicacion.isEmpty())
        dialogo.avisar(avisoUbicacion);

    // 8. Whatever the checks gave.
    MarcarNoAplica(estado);

    // Position of the building: both coordinates or none.
    const Coordenadas coordenadas = LeerCoordenadas(id.txtLatitud, id.txtLongitud);
    id.Latitud = coordenadas.Latitud;
    id.Longitud = coordenadas.Longitud;
    const bool coordenadasOk = coordenadas.error.isEmpty();
    if (!coordenadasOk)
        dialogo.avisar(coordenadas.error);

    // Dwelling units: optional.
    bool unidadesOk = true;
    id.UnidadesVivienda = LeerUnidadesVivienda(id.txtUnidades, unidadesOk);
    if (!unidadesOk)
        dialogo.avisar(TextosRegistro::UnidadesInvalidas);

    return contactoOk && usoOk && ubicacionOk && coordenadasOk && unidadesOk;
}
