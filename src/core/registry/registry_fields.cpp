#include "core/registry/registry_fields.h"

#include <QHash>
#include <stdexcept>

namespace RegistroEvaluaciones {

namespace {

QVector<CampoRegistro> Construir()
{
    QVector<CampoRegistro> c;
    c.reserve(NumCampos);
    auto agregar = [&c](const char *columna, const QString &etiqueta, TipoCampo tipo, GrupoCampo grupo) {
        c.append({static_cast<int>(c.size()), QString::fromLatin1(columna), etiqueta, tipo, grupo});
    };
    using T = TipoCampo;
    using G = GrupoCampo;
    const G id = G::Identificacion;
    agregar("NumeroEvaluacion", QStringLiteral("Número de evaluación"), T::Entero, id);
    agregar("Comuna", QStringLiteral("Comuna"), T::Texto, id);
    agregar("Barrio", QStringLiteral("Nombre del Barrio"), T::Texto, id);
    agregar("TipoAvaluo", QStringLiteral("Tipo Avaluo"), T::Texto, id);
    agregar("Sector", QStringLiteral("Sector"), T::Texto, id);
    agregar("Manzana", QStringLiteral("Manzana"), T::Texto, id);
    agregar("Predio", QStringLiteral("Predio"), T::Texto, id);
    agregar("MejoraPH", QStringLiteral("Mejora o Prop Hor"), T::Texto, id);
    agregar("TipoDireccion", QStringLiteral("Tipo de vía"), T::Texto, id);
    agregar("NumeroCalle", QStringLiteral("Número de la vía"), T::Texto, id);
    agregar("Avenida", QStringLiteral("Avenida"), T::Texto, id);
    agregar("OtraVia", QStringLiteral("Otra vía"), T::Texto, id);
    agregar("NumeroCasa", QStringLiteral("Número"), T::Texto, id);
    agregar("NombreEdificacion", QStringLiteral("Nombre de la Edificación"), T::Texto, id);
    agregar("PersonaContacto", QStringLiteral("Persona de Contacto"), T::Texto, id);
    agregar("Telefono", QStringLiteral("Teléfono"), T::Texto, id);
    agregar("Evaluador", QStringLiteral("Evaluador Lider de Comisión"), T::Texto, id);
    agregar("CodigoComision", QStringLiteral("Código de Comisión"), T::Texto, id);
    agregar("FechaEvaluacion", QStringLiteral("Fecha de Evaluación"), T::Texto, id);
    agregar("UsoEdificacion", QStringLiteral("Uso predominante de la edificación"), T::Texto, id);
    agregar("UsoPlantaBaja", QStringLiteral("Uso predominante de la planta baja"), T::Texto, id);

    const G ed = G::Edificacion;
    agregar("Inspeccion", QStringLiteral("Inspección de la edificación"), T::Texto, ed);
    agregar("EstabilidadEvaluador", QStringLiteral("Riesgo por estabilidad global"), T::Texto, ed);
    agregar("AnnoConstruccion", QStringLiteral("Año de construcción"), T::Texto, ed);
    agregar("Localizacion", QStringLiteral("Localización en la cuadra"), T::Texto, ed);
    agregar("NumeroPisos", QStringLiteral("Número de pisos (Niveles sobre el terreno)"), T::Entero, ed);
    agregar("NumeroSotanos", QStringLiteral("Número de sótanos"), T::Entero, ed);
    agregar("PisosTotal", QStringLiteral("Número total de pisos (Sobre y bajo el terreno)"), T::Entero, ed);
    agregar("PisoMayorDanno", QStringLiteral("Piso mayor daño"), T::Entero, ed);
    agregar("SistemaEstructural", QStringLiteral("Sistema Estructural"), T::Texto, ed);
    agregar("TipoCubierta", QStringLiteral("Tipo de Cubierta"), T::Texto, ed);
    agregar("TipoEntrepiso", QStringLiteral("Tipo de Entrepiso"), T::Texto, ed);
    agregar("CasoRelevancia", QStringLiteral("Categorías declaradas no relevantes"), T::Entero, ed);

    const char *const grupos[NumGruposProporcion] = {"Vigas", "Columnas", "Nudos", "Muros", "Entrepiso"};
    const QString nombresGrupos[NumGruposProporcion] = {QStringLiteral("Vigas"), QStringLiteral("Columnas"),
                                                         QStringLiteral("Nudos y conexiones"), QStringLiteral("Muros"),
                                                         QStringLiteral("Entrepiso")};
    const QString niveles[5] = {QStringLiteral("Ninguno / Muy Leve"), QStringLiteral("Leve"),
                                QStringLiteral("Moderado"), QStringLiteral("Fuerte"), QStringLiteral("Severo")};
    for (int g = 0; g < NumGruposProporcion; ++g)
        for (int k = 0; k < 5; ++k) {
            const QByteArray columna = QByteArray("Porcentaje") + grupos[g] + "Nivel" + QByteArray::number(k);
            agregar(columna.constData(), QStringLiteral("%1: %2 (%)").arg(nombresGrupos[g], niveles[k]), T::Entero,
                    G::Proporciones);
        }

    const std::pair<const char *, QString> cualitativos[NumCualitativos] = {
        {"NivelMurosDivisorios", QStringLiteral("Muros Divisorios")},
        {"NivelMurosFachada", QStringLiteral("Muros de Fachada")},
        {"NivelEscaleras", QStringLiteral("Escaleras")},
        {"NivelCieloRasos", QStringLiteral("Cielo Rasos y Luminarias")},
        {"NivelInstalaciones", QStringLiteral("Instalaciones")},
        {"NivelCubierta", QStringLiteral("Cubierta")},
        {"NivelTanquesElevados", QStringLiteral("Tanques Elevados")},
        {"NivelTaludes", QStringLiteral("Fallas en Taludes y Movimientos en Masa")},
        {"NivelAsentamientoLicuacion", QStringLiteral("Asentamiento, Subsidencia o Licuación")},
        {"NivelCalidadMateriales", QStringLiteral("Calidad de los Materiales")},
        {"NivelIrregularidadPlanta", QStringLiteral("Irregularidad en Planta")},
        {"NivelIrregularidadAltura", QStringLiteral("Irregularidad en Altura")},
        {"NivelConfiguracionEstructural", QStringLiteral("Configuración Estructural")}};
    for (const auto &[columna, etiqueta] : cualitativos)
        agregar(columna, etiqueta, T::Entero, G::Cualitativos);

    const G re = G::Resultados;
    agregar("RiesgoEstructural", QStringLiteral("Riesgo Estructural"), T::Texto, re);
    agregar("DannoEstructural", QStringLiteral("Daño Estructural"), T::Texto, re);
    agregar("IndiceEstructural", QStringLiteral("Índice de daño estructural"), T::Real, re);
    agregar("RiesgoNoEstructural", QStringLiteral("Riesgo No Estructural"), T::Texto, re);
    agregar("DannoNoEstructural", QStringLiteral("Daño No Estructural"), T::Texto, re);
    agregar("IndiceNoEstructural", QStringLiteral("Índice de daño no estructural"), T::Real, re);
    agregar("RiesgoGeotecnico", QStringLiteral("Riesgo Geotécnico"), T::Texto, re);
    agregar("CondicionesSuelo", QStringLiteral("Condiciones del Suelo"), T::Texto, re);
    agregar("IndiceSuelo", QStringLiteral("Índice del suelo"), T::Real, re);
    agregar("CondicionesPreexistentes", QStringLiteral("Condiciones Preexistentes"), T::Texto, re);
    agregar("IndicePreexistente", QStringLiteral("Índice de condiciones preexistentes"), T::Real, re);
    agregar("DannoEdificio", QStringLiteral("Daño en la Edificación"), T::Texto, re);
    agregar("EstadoGlobal", QStringLiteral("Estado Global"), T::Texto, re);
    agregar("Habitabilidad", QStringLiteral("Habitabilidad"), T::Texto, re);
    agregar("Reparabilidad", QStringLiteral("Reparabilidad"), T::Texto, re);

    const G co = G::Codigos;
    agregar("CodigoDannoEdificio", QStringLiteral("Código del comentario de daño en la edificación"), T::Texto, co);
    agregar("CodigoEstadoGlobal", QStringLiteral("Código del comentario de estado global"), T::Texto, co);
    agregar("CodigoHabitabilidad", QStringLiteral("Código del comentario de habitabilidad"), T::Texto, co);
    agregar("CodigoMedidasSeguridad", QStringLiteral("Código del comentario de medidas de seguridad"), T::Texto, co);
    agregar("CodigoReparabilidad", QStringLiteral("Código del comentario de reparabilidad"), T::Texto, co);

    agregar("Latitud", QStringLiteral("Latitud"), T::Real, G::Coordenadas);
    agregar("Longitud", QStringLiteral("Longitud"), T::Real, G::Coordenadas);

    if (c.size() != NumCampos)
        throw std::logic_error("descripción del registro incompleta");
    return c;
}

}  // namespace

const QVector<CampoRegistro> &Campos()
{
    static const QVector<CampoRegistro> campos = Construir();
    return campos;
}

const CampoRegistro &Campo(int posicion) { return Campos().at(posicion); }

int PosicionDeColumna(const QString &columna)
{
    static const QHash<QString, int> posiciones = [] {
        QHash<QString, int> h;
        for (const CampoRegistro &c : Campos())
            h.insert(c.columna, c.posicion);
        return h;
    }();
    return posiciones.value(columna, -1);
}

QString NombreGrupo(GrupoCampo grupo)
{
    switch (grupo) {
    case GrupoCampo::Identificacion: return QStringLiteral("Identificación");
    case GrupoCampo::Edificacion: return QStringLiteral("Edificación");
    case GrupoCampo::Proporciones: return QStringLiteral("Elementos estructurales (proporción por nivel de daño)");
    case GrupoCampo::Cualitativos: return QStringLiteral("Otros elementos y condiciones");
    case GrupoCampo::Resultados: return QStringLiteral("Resultados");
    case GrupoCampo::Codigos: return QStringLiteral("Códigos de los comentarios");
    case GrupoCampo::Coordenadas: return QStringLiteral("Coordenadas");
    }
    return QString();
}

QString TipoSqlite(TipoCampo tipo)
{
    switch (tipo) {
    case TipoCampo::Entero: return QStringLiteral("INTEGER");
    case TipoCampo::Texto: return QStringLiteral("TEXT");
    case TipoCampo::Real: return QStringLiteral("REAL");
    }
    return QString();
}

const QVector<ColumnaCorreccion> &ColumnasCorrecciones()
{
    static const QVector<ColumnaCorreccion> columnas = {
        {QStringLiteral("NumeroEvaluacion"), TipoCampo::Entero}, {QStringLiteral("uuid"), TipoCampo::Texto},
        {QStringLiteral("Campo"), TipoCampo::Texto},             {QStringLiteral("ValorAnterior"), TipoCampo::Texto},
        {QStringLiteral("ValorNuevo"), TipoCampo::Texto},        {QStringLiteral("Motivo"), TipoCampo::Texto},
        {QStringLiteral("Usuario"), TipoCampo::Texto},           {QStringLiteral("Fecha"), TipoCampo::Texto}};
    return columnas;
}

const QVector<ColumnaFoto> &ColumnasFotos()
{
    using T = TipoColumnaFoto;
    static const QVector<ColumnaFoto> columnas = {
        {QStringLiteral("uuid"), T::Texto},      {QStringLiteral("evaluacion_uuid"), T::Texto},
        {QStringLiteral("Orden"), T::Entero},    {QStringLiteral("Leyenda"), T::Texto},
        {QStringLiteral("FechaToma"), T::Texto}, {QStringLiteral("Latitud"), T::Real},
        {QStringLiteral("Longitud"), T::Real},   {QStringLiteral("Ancho"), T::Entero},
        {QStringLiteral("Alto"), T::Entero},     {QStringLiteral("Sha256"), T::Texto},
        {QStringLiteral("Bytes"), T::Entero},    {QStringLiteral("Jpeg"), T::Bytes}};
    return columnas;
}

}  // namespace RegistroEvaluaciones
