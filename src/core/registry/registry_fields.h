#pragma once
// CampoRegistro: the one description of the evaluation registry's table "Evaluaciones": for
// every field its position, column name, the label the forms show, its kind
// and its group. The writer, the stores, the reader, the registry window,
// the printed documents and every export read the fields from here.

#include <QString>
#include <QVector>

namespace RegistroEvaluaciones {

inline const QString Tabla = QStringLiteral("Evaluaciones");

// Fields 0..90 are the evaluation as the first version stored it; 91 and 92
// are the coordinates, added in place to older files.
constexpr int NumCampos = 93;
constexpr int NumCamposAnteriores = 91;

// Beside the fields, after them, every registry keeps the evaluation's
// uuid (one evaluation, however often it is sent) and the key of the
// building it is of (core/registry/building_key.h), indexed.
inline const QString ColumnaUuid = QStringLiteral("uuid");
inline const QString ColumnaClave = QStringLiteral("clave_edificacion");
// The dwelling units of the building, when the evaluator gave them (a whole
// number from 0 to UnidadesViviendaMaximas; NULL: not given). After the key.
inline const QString ColumnaUnidades = QStringLiteral("unidades_vivienda");
constexpr int UnidadesViviendaMaximas = 9999;

enum class TipoCampo { Entero, Texto, Real };

// The corrections of saved evaluations (core/registry/corrections.h): table
// "Correcciones", in the local file as on the server, one row per corrected
// field, never changed nor deleted. Its columns in order: the evaluation's
// number and uuid, the corrected field's column, the value before and after
// (as text), the reason, who corrected it and when (UTC, ISO 8601 in the
// local file).
inline const QString TablaCorrecciones = QStringLiteral("Correcciones");
namespace ColCorreccion {
enum : int { Numero, Uuid, Campo, Anterior, Nuevo, Motivo, Usuario, Fecha, Cantidad };
}
struct ColumnaCorreccion {
    QString nombre;
    TipoCampo tipo;
};
const QVector<ColumnaCorreccion> &ColumnasCorrecciones();

// The photos of the evaluations (core/registry/photo.h): table "Fotos" beside
// "Evaluaciones", in the local file as on the server, one row per photo,
// never changed nor deleted (a removed photo is a correction, see
// Fotos::CampoCorreccion). Its columns in order: the photo's uuid, the
// evaluation's uuid, the order within the evaluation, the caption, the date
// taken (text "yyyy-MM-ddTHH:mm:ss", as the camera wrote it), latitude and
// longitude, the size in pixels, the SHA-256 of the JPEG, its size in bytes
// and the JPEG itself (the only column the lists never read).
inline const QString TablaFotos = QStringLiteral("Fotos");
namespace ColFoto {
enum : int { Uuid, Evaluacion, Orden, Leyenda, FechaToma, Latitud, Longitud, Ancho, Alto, Sha256, Bytes, Jpeg, Cantidad };
}
enum class TipoColumnaFoto { Entero, Texto, Real, Bytes };
struct ColumnaFoto {
    QString nombre;
    TipoColumnaFoto tipo;
};
const QVector<ColumnaFoto> &ColumnasFotos();

enum class GrupoCampo {
    Identificacion,  // who, when, where: the additional information form
    Edificacion,     // building description of the evaluation form
    Proporciones,    // structural shares per damage level
    Cualitativos,    // qualitative levels
    Resultados,      // level names, risks and indices
    Codigos,         // comment codes
    Coordenadas,     // latitude and longitude
};

struct CampoRegistro {
    int posicion;
    QString columna;   // column name in the database
    QString etiqueta;  // Spanish label, as the forms name the value
    TipoCampo tipo;
    GrupoCampo grupo;
};

// All fields in position order: Campos().at(i).posicion == i.
const QVector<CampoRegistro> &Campos();
const CampoRegistro &Campo(int posicion);
// Position of the column `columna`, or -1.
int PosicionDeColumna(const QString &columna);

// Spanish title of a group, as the registry window and the report head it.
QString NombreGrupo(GrupoCampo grupo);
// SQL type of a kind of field ("INTEGER", "TEXT", "REAL" for a local file;
// the server uses its own names for the same kinds).
QString TipoSqlite(TipoCampo tipo);

// Positions the program addresses by name.
namespace Pos {
constexpr int Numero = 0;
constexpr int Comuna = 1;
constexpr int Barrio = 2;
constexpr int TipoAvaluo = 3;
constexpr int Sector = 4;
constexpr int Manzana = 5;
constexpr int Predio = 6;
constexpr int MejoraPH = 7;
constexpr int TipoDireccion = 8;
constexpr int NumeroCalle = 9;
constexpr int Avenida = 10;
constexpr int OtraVia = 11;
constexpr int NumeroCasa = 12;
constexpr int NombreEdificacion = 13;
constexpr int PersonaContacto = 14;
constexpr int Telefono = 15;
constexpr int Evaluador = 16;
constexpr int CodigoComision = 17;
constexpr int Fecha = 18;
constexpr int UsoEdificacion = 19;
constexpr int UsoPlantaBaja = 20;
constexpr int Inspeccion = 21;
constexpr int EstabilidadEvaluador = 22;
constexpr int AnnoConstruccion = 23;
constexpr int Localizacion = 24;
constexpr int NumeroPisos = 25;
constexpr int NumeroSotanos = 26;
constexpr int PisosTotal = 27;
constexpr int PisoMayorDanno = 28;
constexpr int SistemaEstructural = 29;
constexpr int TipoCubierta = 30;
constexpr int TipoEntrepiso = 31;
constexpr int CasoRelevancia = 32;
constexpr int PrimeraProporcion = 33;  // 33..57: five groups of five levels
constexpr int PrimerCualitativo = 58;  // 58..70
constexpr int RiesgoEstructural = 71;
constexpr int DannoEstructural = 72;
constexpr int IndiceEstructural = 73;
constexpr int RiesgoNoEstructural = 74;
constexpr int DannoNoEstructural = 75;
constexpr int IndiceNoEstructural = 76;
constexpr int RiesgoGeotecnico = 77;
constexpr int CondicionesSuelo = 78;
constexpr int IndiceSuelo = 79;
constexpr int CondicionesPreexistentes = 80;
constexpr int IndicePreexistente = 81;
constexpr int DannoEdificio = 82;
constexpr int EstadoGlobal = 83;
constexpr int Habitabilidad = 84;
constexpr int Reparabilidad = 85;
constexpr int CodigoDannoEdificio = 86;
constexpr int CodigoEstadoGlobal = 87;
constexpr int CodigoHabitabilidad = 88;
constexpr int CodigoMedidasSeguridad = 89;
constexpr int CodigoReparabilidad = 90;
constexpr int Latitud = 91;
constexpr int Longitud = 92;
}  // namespace Pos

// The five element groups of the structural shares (fields 33..57, five
// levels each) and the thirteen qualitative levels (58..70), by their labels.
inline constexpr int NumGruposProporcion = 5;
inline constexpr int NumCualitativos = 13;

}  // namespace RegistroEvaluaciones
