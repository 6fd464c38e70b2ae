#include "registry/cli/commands.h"

namespace Cli {

const QVector<Orden> &Ordenes()
{
    static const QVector<Orden> ordenes = {
        {"listar", "listar [--buscar TEXTO] [--habitabilidad H] [--desde FECHA] [--hasta FECHA] [--tsv]",
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
         "  --tsv                 valores separados por tabuladores, con una fila de títulos, para otros programas",
         Listar},
        {"exportar", "exportar [--formato csv] [-o ARCHIVO] [filtros de listar]",
         "escribe las evaluaciones en un archivo CSV",
         "CSV en UTF-8 con comas y comillas dobles (RFC 4180): una fila de títulos con los nombres de las\n"
         "columnas y una fila por evaluación con todos sus campos en orden; números con punto decimal,\n"
         "fechas como están guardadas.\n"
         "\n"
         "  --formato csv         el formato del archivo (por ahora solo csv)\n"
         "  -o, --salida ARCHIVO  el archivo a escribir; sin esta opción, la salida estándar. El archivo solo\n"
         "                        aparece cuando está completo\n"
         "  --buscar, --habitabilidad, --desde, --hasta   eligen las evaluaciones como en «listar»",
         Exportar},
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
         "Con «-» se lee la entrada estándar.",
         Importar},
    };
    return ordenes;
}

bool NecesitaDibujo(const QString &orden)
{
    return orden == QLatin1String("aviso") || orden == QLatin1String("reporte");
}

}  // namespace Cli
