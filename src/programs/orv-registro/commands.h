#pragma once
// The commands of orv-registro, one function each; Ordenes() in commands.cpp
// lists them with their help.

#include "programs/orv-registro/cli_support.h"
#include "core/engine/result_classification.h"

namespace Cli {
int Listar(const QStringList &argumentos, const Opciones &opciones);
int Exportar(const QStringList &argumentos, const Opciones &opciones);
int Aviso(const QStringList &argumentos, const Opciones &opciones);
int Reporte(const QStringList &argumentos, const Opciones &opciones);
int Importar(const QStringList &argumentos, const Opciones &opciones);
int ServidorPreparar(const QStringList &argumentos, const Opciones &opciones);
int Enviar(const QStringList &argumentos, const Opciones &opciones);
int Resumen(const QStringList &argumentos, const Opciones &opciones);
int Corregir(const QStringList &argumentos, const Opciones &opciones);
int Historial(const QStringList &argumentos, const Opciones &opciones);
int Fotos(const QStringList &argumentos, const Opciones &opciones);
// exportar --formato geojson: the evaluations `filtro` selects into `archivo`;
// with `fotos`, their photo paths (core/exchange/photo_files.h).
int ExportarSig(const FiltroRegistro &filtro, const QString &archivo, const Opciones &opciones,
                const QHash<int32_t, QStringList> *fotos = nullptr);

// The comment texts of the data folder; throws Falla when the file is missing.
TablasComentarios ComentariosDe(const Opciones &opciones);

// Commands that draw documents need Qt's drawing of text (a GUI application,
// offscreen when there is no display).
bool NecesitaDibujo(const QString &orden);
}  // namespace Cli
