#pragma once
// EstadoEvaluacion: the state of the evaluation in progress. One instance lives for the whole
// run and is shared by reference by every form, the engine and the registry
// writer. Codes, levels, flags and cursors are 16-bit; -1 marks an absent value.

#include <QString>
#include <array>
#include <cstdint>

// Rated-variable codes of the table Variables.
enum CodigoVariable : int16_t {
    Vigas = 0, Columnas = 1, Nudos = 2, Muros = 3, MurosConfinados = 4, MurosSinConfinar = 5,
    MurosBahareque = 6, VigasAcero = 7, ColumnasAcero = 8, ConexionesAcero = 9, VigasMadera = 10,
    ColumnasMadera = 11, ConexionesMadera = 12, Entrepiso = 13, MurosDivisorios = 14,
    MurosFachada = 15, Escaleras = 16, Taludes = 17, AsentamientoLicuacion = 18,
    CalidadMateriales = 19, IrregularidadPlanta = 20, IrregularidadAltura = 21,
    ConfiguracionEstructural = 22
};

// Codes of the other non-structural elements (table OtrosNoEstructurales).
enum CodigoOtro : int16_t { CieloRasos = 0, Instalaciones = 1, Cubierta = 2, TanquesElevados = 3 };

constexpr int NumVariables = 23;
constexpr int NumOtros = 4;

struct VariableCalificada {
    double PesoEstructural = 0.0;
    double PesoNoEstructural = 0.0;
    double PesoPreexistente = 0.0;
    double PesoSuelo = 0.0;
    int16_t Codigo = -1;
    int16_t Nivel = 0;
};

struct OtroCalificado {
    int16_t Codigo = -1;
    int16_t Nivel = 0;
};

using Membresias = std::array<double, 5>;

struct EstadoEvaluacion {
    // --- tables and cursors ---------------------------------------------------
    std::array<VariableCalificada, NumVariables> Variables{};
    int16_t UltimaVariable = 0;
    int16_t IndiceVariable = 0;
    std::array<OtroCalificado, NumOtros> OtrosNoEstructurales{};
    int16_t UltimoOtro = 0;
    int16_t IndiceOtro = 0;

    // --- current rating ---------------------------------------------------------
    int16_t VariableActual = 0;
    int16_t OtroActual = 0;
    int16_t CalificarVariable = 0;
    int16_t CalificarOtro = 0;
    QString CarpetaFoto;
    QString PrefijoFoto;
    int16_t OtrosElegidos = 0;

    // --- building data ----------------------------------------------------------
    int16_t TipoEstructura = 0;
    QString Localizacion;
    QString AnnoConstruccion;
    QString Inspeccion;
    QString EstabilidadEvaluador;
    int16_t InfoNoRelevante = 0;
    int16_t CasoRelevancia = 0;

    // --- bookkeeping ------------------------------------------------------------
    int16_t FaltanCalificaciones = 0;
    // Percentages of the latest proportion rating per element group (5 x 5).
    std::array<int16_t, 25> NivelesProporcion{};
    // Qualitative levels: codes 14, 15, 16, other elements 0..3, codes 17..22.
    std::array<int16_t, 13> NivelesCualitativos{};

    // --- results ----------------------------------------------------------------
    int16_t NivelCalculado = 0;
    int16_t NivelDannoEstructural = 0;
    int16_t NivelDannoNoEstructural = 0;
    int16_t NivelSuelo = 0;
    int16_t NivelPreexistente = 0;
    int16_t NivelDannoEdificio = 0;
    int16_t NivelEstadoGlobal = 0;
    int16_t NivelHabitabilidad = 0;
    int16_t NivelReparabilidad = 0;
    double IndiceEstructural = 0.0;
    double IndiceNoEstructural = 0.0;
    double IndiceSuelo = 0.0;
    double IndicePreexistente = 0.0;

    QString TextoDannoEstructural;
    QString TextoRiesgoEstructural;
    QString TextoDannoNoEstructural;
    QString TextoRiesgoNoEstructural;
    QString TextoPreexistente;
    QString TextoSuelo;
    QString TextoRiesgoGeotecnico;
    QString TextoDannoEdificio;
    QString TextoEstadoGlobal;
    QString TextoHabitabilidad;
    QString TextoReparabilidad;

    // Saturation flags of the structural override rule (0, 1 Fuerte, 2 Severo).
    int16_t SatColumnas = 0;
    int16_t SatNudos = 0;
    int16_t SatMuros = 0;
    int16_t SatMurosPortantes = 0;
    int16_t SatMurosBahareque = 0;
    int16_t SatColumnasAcero = 0;
    int16_t SatConexionesAcero = 0;
    int16_t SatColumnasMadera = 0;
    int16_t SatConexionesMadera = 0;
    int16_t NivelSaturacion = 0;
    int16_t OtrosMasGraves = 0;

    QString CodDannoEdificio;
    QString CodEstadoGlobal;
    QString CodHabitabilidad;
    QString CodMedidasSeguridad;
    QString CodReparabilidad;
    QString CodRefAnno;

    int32_t NumeroEvaluacion = 0;  // 32-bit: a large earthquake needs more than 32 767 records
    QString DireccionElegida;

    // --- engine working arrays ----------------------------------------------------
    std::array<double, 14> TablaPesosSistema{};
    std::array<double, 3> TablaPesosNoEst{};
    std::array<double, 2> TablaPesosSuelo{};
    std::array<double, 4> TablaPesosPreex{};
    Membresias PropEstructural{};
    Membresias PropNoEstructural{};
    Membresias PropPreexistente{};
    Membresias PropSuelo{};
    std::array<double, 4> TotalPesos{};
    std::array<double, 4> ValorCategoria{};
    std::array<int16_t, 4> NivelOtroGrave{};

    // --- photo viewers (kept between openings, not part of the reset) -----------
    std::array<int16_t, 6> NumFotosNivel{};  // index 1..5
    int16_t NumFotos = 0;
    QString RutaFoto;

    // Empties both tables.
    void InicializarVariables();
    // The reset run when the evaluation form loads, in its fixed order. The
    // caller selects folder 0 of the form between the two halves.
    void ReiniciarPrimeraParte();
    void ReiniciarSegundaParte();
    void Reiniciar()
    {
        ReiniciarPrimeraParte();
        ReiniciarSegundaParte();
    }
};

// Slot of NivelesCualitativos for a variable code 14..22 (-1 for any other code).
int SlotCualitativoVariable(int codigo);
// Slot of NivelesCualitativos for an other element 0..3 (-1 for any other code).
int SlotCualitativoOtro(int codigo);
