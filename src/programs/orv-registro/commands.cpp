#include "programs/orv-registro/commands.h"

namespace Cli {

const QVector<Orden> &Ordenes()
{
    static const QVector<Orden> ordenes = {
        {"listar", "listar [--buscar TEXTO] [--habitabilidad H] [--desde FECHA] [--hasta FECHA] [--vigentes] [--tsv]",
         "muestra las evaluaciones guardadas, la más reciente primero",
         "Columnas: número, fecha, dirección, barrio, nombre de la edificación, evaluador, código de la comisión\n"
         "y habitabilidad.\n"
         "\n"
         "  --buscar TEXTO        solo las evaluaciones cuyo número, dirección, barrio, nombre, evaluador o\n"
         "                        comisión contienen TEXTO (sin distinguir mayúsculas)\n"
         "  --habitabilidad H     solo las de habitabilidad H: \"Habitable\", \"Uso Restringido\",\n"
         "                        \"No Habitable\" o \"Peligro de Colapso\"\n"
         "  --desde FECHA         solo las evaluadas desde FECHA (año-mes-día, p. ej. 2026-12-06)\n"
         "  --hasta FECHA         solo las evaluadas hasta FECHA, ese día incluido\n"
         "  --vigentes            solo la evaluación vigente de cada edificación (la más reciente por fecha de\n"
         "                        evaluación); las reemplazadas por otra más reciente no se muestran\n"
         "  --tsv                 valores separados por tabuladores, con una fila de títulos, para otros programas",
         Listar},
        {"exportar", "exportar [--formato csv|xlsx|geojson] [-o ARCHIVO] [--fotos CARPETA] [filtros de listar]",
         "escribe las evaluaciones en un archivo CSV, XLSX o GeoJSON",
         "Qué formato usar: csv para otros programas, xlsx para abrirlo en una hoja de cálculo, geojson para\n"
         "un sistema de información geográfica.\n"
         "csv: UTF-8 con comas y comillas dobles (RFC 4180): una fila de títulos con los nombres de las\n"
         "columnas y una fila por evaluación con todos sus campos en orden; números con punto decimal,\n"
         "fechas como están guardadas. Una hoja de cálculo que lo abre puede tomar los códigos por números\n"
         "(\"0034\" se vuelve 34): para leerlo en una hoja de cálculo, use xlsx.\n"
         "xlsx: un libro de hoja de cálculo en el que cada celda tiene su tipo: los textos y códigos como\n"
         "texto (con sus ceros a la izquierda), los números como números, la fecha de evaluación como fecha y\n"
         "hora (dd/mm/aaaa hh:mm). Hojas: «Evaluaciones» (todos los campos, con la fila de títulos fija y un\n"
         "filtro), «Edificaciones» (la evaluación vigente de cada edificación) y una hoja por cada tabla del\n"
         "resumen del evento. Una hoja admite como máximo 1 048 575 evaluaciones: una selección mayor se\n"
         "rechaza sin escribir nada. Necesita -o.\n"
         "geojson: para un sistema de información geográfica (RFC 7946, WGS 84): un punto por evaluación con\n"
         "coordenadas, con las columnas del registro y los cinco comentarios como propiedades. Las evaluaciones\n"
         "sin coordenadas se nombran en un aviso y no se exportan. Necesita -o.\n"
         "\n"
         "  --formato F           csv (sin esta opción), xlsx o geojson\n"
         "  -o, --salida ARCHIVO  el archivo a escribir; sin esta opción, la salida estándar. El archivo solo\n"
         "                        aparece cuando está completo\n"
         "  --fotos CARPETA       escribe las fotos de cada evaluación en CARPETA/NÚMERO/ (01-fachada.jpg, ...,\n"
         "                        con sus leyendas en leyendas.csv) y agrega las columnas Foto (la primera) y\n"
         "                        Fotos (todas, separadas por «;») con sus rutas relativas a la carpeta del\n"
         "                        archivo exportado, de donde un SIG las muestra\n"
         "  --buscar, --habitabilidad, --desde, --hasta, --vigentes   eligen las evaluaciones como en «listar»\n"
         "                        (con --vigentes, un mapa muestra cada edificación una vez)",
         Exportar},
        {"fotos", "fotos NÚMERO -o CARPETA", "escribe las fotos de una evaluación en una carpeta",
         "Un archivo JPEG por foto, nombrado por su orden y su leyenda (01-fachada.jpg, 02-grieta.jpg, ...),\n"
         "y leyendas.csv con el archivo, el orden, la leyenda, la fecha de la toma, la latitud, la longitud y\n"
         "la huella SHA-256 de cada una. Las fotos quitadas con su motivo no se escriben.\n"
         "\n"
         "  -o, --salida CARPETA  la carpeta a escribir (se crea si falta)",
         Fotos},
        {"resumen", "resumen [--desde FECHA] [--hasta FECHA] [--formato texto|csv] [-o ARCHIVO]",
         "resume las evaluaciones del evento",
         "Cuántas evaluaciones hay por habitabilidad, por reparabilidad y por estado global; por barrio y por\n"
         "comuna, con las «No Habitable» y «Peligro de Colapso»; por día, según la habitabilidad; por comisión\n"
         "y por comisión y día.\n"
         "\n"
         "  --desde, --hasta      solo las evaluadas en esos días, como en «listar»\n"
         "  --formato F           texto (sin esta opción), tablas en columnas; o csv, las mismas tablas\n"
         "                        separadas por una línea vacía\n"
         "  -o, --salida ARCHIVO  el archivo a escribir; sin esta opción, la salida estándar",
         Resumen},
        {"aviso", "aviso NÚMERO... -o ARCHIVO.pdf", "escribe el aviso de habitabilidad de cada evaluación en un PDF",
         "Una página A4 por evaluación, en el orden dado, para fijar en la entrada de la edificación.\n"
         "\n"
         "  -o, --salida ARCHIVO  el PDF a escribir (obligatorio)",
         Aviso},
        {"reporte", "reporte NÚMERO... -o ARCHIVO.pdf", "escribe el reporte de una evaluación en un PDF",
         "El reporte completo de la evaluación (una o dos páginas A4); con varios números, uno tras otro.\n"
         "\n"
         "  -o, --salida ARCHIVO  el PDF a escribir (obligatorio)",
         Reporte},
        {"importar", "importar ARCHIVO.jsonl|-", "evalúa y guarda evaluaciones escritas una por línea en JSON",
         "Cada línea es una evaluación como la lee orv-evaluar (\"sistema\", \"relevancia\", \"anno\",\n"
         "\"variables\", \"otros\") más dos objetos:\n"
         "  \"edificacion\"     lo que pide la primera carpeta de la evaluación: \"txtNPisos\", \"txtNSotanos\",\n"
         "                    \"txtPMayorDanno\", \"txtPisosTotal\" (textos), \"optLocalizacion\", \"optInspeccion\",\n"
         "                    \"optEstabEvaluador\" (número de la opción, desde 0), \"cboCubierta\", \"cboEntrepiso\"\n"
         "                    (textos de las listas)\n"
         "  \"identificacion\"  lo que pide «Guardar Información»: \"txtNombre\", \"txtDuenno\", \"txtTelefono\",\n"
         "                    \"txtEvaluador\", \"txtCodigComi\", \"cboGrupo\", \"cboUsoBaja\", \"txtAvaluo\",\n"
         "                    \"txtNomBarrio\", \"txtComuna1\", \"txtComuna2\", \"txtsector\", \"txtManzana\",\n"
         "                    \"txtPredio\", \"txtMejoraPH\", \"txtNumCalle\", \"txtAvenida\", \"txtOtro\",\n"
         "                    \"txtNumero\" (textos), \"Option1\" (tipo de vía, desde 0), \"DTEvaluacion\" (fecha y\n"
         "                    hora ISO 8601; sin ella, la hora de la importación), \"Latitud\" y \"Longitud\"\n"
         "                    (grados decimales, opcionales)\n"
         "Cada línea se revisa, se evalúa y se guarda como lo hacen «Evaluar» y «Guardar», respondiendo a las\n"
         "preguntas como quien sigue adelante (Sí, Aceptar). Por cada línea se escribe una línea JSON en la\n"
         "salida estándar: {\"linea\":N,\"numero\":NÚMERO} cuando se guardó, {\"linea\":N,\"errores\":[...]}\n"
         "con los mensajes cuando no. Una línea se anuncia solo cuando su evaluación ya está guardada.\n"
         "En el registro central cada lote pasa primero por la bandeja de salida de este equipo; una línea\n"
         "cuya evaluación no llegó al servidor se responde {\"linea\":N,\"pendiente\":true,\"aviso\":\"guardada en\n"
         "este equipo, pendiente de envío\"} y sale con «orv-registro enviar». Una línea puede llevar \"uuid\"\n"
         "en el primer nivel (sin él se calcula con los bytes de la línea): la misma línea importada dos veces\n"
         "se guarda una vez en el registro central, y la respuesta da el número que ya tiene.\n"
         "Una línea puede llevar \"fotos\": [{\"archivo\": \"fotos/123-fachada.jpg\", \"leyenda\": \"Fachada\"}, ...]\n"
         "(a lo sumo 30), con rutas relativas a la carpeta del archivo importado: cada foto se prepara como en\n"
         "el formulario (derecha según su EXIF, lado mayor de 2048 píxeles, JPEG) y se guarda con la\n"
         "evaluación; una foto que no se puede leer rechaza la línea con el motivo.\n"
         "Con «-» se lee la entrada estándar (y las rutas de las fotos parten de la carpeta actual).",
         Importar},
        {"corregir", "corregir NÚMERO --campo COLUMNA --valor TEXTO --motivo TEXTO",
         "corrige la identificación de una evaluación guardada y guarda la corrección",
         "Solo se corrige lo que identifica la edificación; el número, la fecha, los datos de la edificación,\n"
         "las calificaciones, los resultados y los códigos no se corrigen: hace falta una nueva evaluación.\n"
         "Cada corrección queda guardada para siempre con el valor anterior y el nuevo, el motivo, quién la\n"
         "hizo (el usuario del equipo, o el del servidor en el registro central) y cuándo. Una dirección o\n"
         "un predio corregidos llevan la evaluación a la edificación que corresponde. En el registro central,\n"
         "un evaluador corrige solo las evaluaciones que guardó su usuario; un supervisor (orv_supervisor),\n"
         "cualquiera.\n"
         "\n"
         "  --campo COLUMNA       el campo, por el nombre de su columna: Comuna, Barrio, TipoAvaluo, Sector,\n"
         "                        Manzana, Predio, MejoraPH (predio); TipoDireccion, NumeroCalle, Avenida,\n"
         "                        OtraVia, NumeroCasa (dirección); NombreEdificacion, PersonaContacto,\n"
         "                        Telefono; Evaluador, CodigoComision; UsoEdificacion, UsoPlantaBaja;\n"
         "                        Latitud, Longitud (grados decimales)\n"
         "  --valor TEXTO         el valor correcto\n"
         "  --motivo TEXTO        por qué se corrige (obligatorio)",
         Corregir},
        {"historial", "historial NÚMERO",
         "muestra las evaluaciones de la edificación de una evaluación y sus correcciones",
         "Las evaluaciones de la misma edificación (mismo predio, o misma dirección y barrio), la más\n"
         "reciente primero: número, fecha, habitabilidad (y si empeoró o mejoró respecto de la anterior),\n"
         "evaluador y comisión; bajo cada una, sus correcciones con fecha, usuario, valor anterior y nuevo,\n"
         "y motivo.",
         Historial},
        {"servidor", "servidor preparar", "prepara el registro central en un servidor PostgreSQL",
         "Conectado como el superusuario del servidor (o un papel que pueda crear papeles y esquemas), crea\n"
         "los papeles orv_administrador (dueño del esquema), orv_evaluador (solo agrega y lee evaluaciones, y\n"
         "corrige las que guardó su usuario) y orv_supervisor (corrige cualquiera), el esquema orv, su tabla\n"
         "\"Evaluaciones\" con el disparador que numera las evaluaciones y la tabla \"Correcciones\". Repetirla\n"
         "no cambia nada; una tabla distinta se informa y no se toca. El servidor es el de --registro\n"
         "postgresql://usuario@servidor:puerto/base, o el de ORV_REGISTRO; la contraseña, la de PGPASSWORD\n"
         "o ~/.pgpass.",
         ServidorPreparar},
        {"enviar", "enviar", "envía al registro central las evaluaciones pendientes de este equipo",
         "Las evaluaciones guardadas en este equipo mientras el servidor no respondía salen de la bandeja de\n"
         "salida solo cuando el servidor las ha guardado; enviar dos veces la misma no la duplica. Una\n"
         "evaluación cuyo identificador no es válido, o que el servidor rechaza por ella misma (no por la red),\n"
         "se aparta con el motivo, que se escribe en la salida de errores, y no se vuelve a enviar. Termina\n"
         "con 1 si alguna queda pendiente o fue apartada.",
         Enviar},
    };
    return ordenes;
}

bool NecesitaDibujo(const QString &orden)
{
    return orden == QLatin1String("aviso") || orden == QLatin1String("reporte");
}

}  // namespace Cli
