// Evaluations per second of the engine alone (EvaluarEdificacion on prepared
// states, comment lookup included, tables in memory) and of orv-evaluar on
// 100 000 generated lines.

#include "core/data/record_set.h"
#include "core/exchange/batch_evaluator.h"
#include "core/engine/evaluation_driver.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

// The codes a building of the system and relevance case needs, in a shuffled order.
QList<int16_t> CodigosDeEdificio(QRandomGenerator &azar, int16_t sistema, int16_t caso)
{
    QList<int16_t> codigos = ElementosEstructuralesDelSistema(sistema);
    codigos << Entrepiso << MurosDivisorios << MurosFachada << Escaleras;
    if (caso == 0 || caso == 1)
        codigos << Taludes << AsentamientoLicuacion;
    if (caso == 0 || caso == 2)
        codigos << CalidadMateriales << IrregularidadPlanta << IrregularidadAltura << ConfiguracionEstructural;
    std::shuffle(codigos.begin(), codigos.end(), azar);
    return codigos;
}

// Mostly light damage, sometimes heavy: every branch of the driver is taken.
int16_t NivelAlAzar(QRandomGenerator &azar)
{
    static const int16_t niveles[] = {0, 0, 0, 1, 1, 1, 2, 2, 3, 4};
    return niveles[azar.bounded(10)];
}

EstadoEvaluacion EstadoAlAzar(QRandomGenerator &azar)
{
    EstadoEvaluacion e;
    e.Reiniciar();
    e.TipoEstructura = static_cast<int16_t>(azar.bounded(15));
    e.CasoRelevancia = e.InfoNoRelevante = static_cast<int16_t>(azar.bounded(4));
    for (int16_t codigo : CodigosDeEdificio(azar, e.TipoEstructura, e.CasoRelevancia)) {
        ++e.UltimaVariable;
        e.Variables[e.UltimaVariable].Codigo = codigo;
        e.Variables[e.UltimaVariable].Nivel = NivelAlAzar(azar);
    }
    if (azar.bounded(3) == 0) {
        e.OtrosElegidos = 1;
        for (int16_t k = 0; k < NumOtros; ++k)
            e.OtrosNoEstructurales[k] = OtroCalificado{k, NivelAlAzar(azar)};
        e.UltimoOtro = NumOtros - 1;
    }
    MarcarNoRelevantes(e, e.CasoRelevancia);
    return e;
}

QByteArray LineaAlAzar(QRandomGenerator &azar, int numero)
{
    const int sistema = azar.bounded(15), caso = azar.bounded(4);
    QJsonArray variables;
    for (int16_t codigo : CodigosDeEdificio(azar, static_cast<int16_t>(sistema), static_cast<int16_t>(caso))) {
        QJsonObject v{{QStringLiteral("codigo"), codigo}};
        if (codigo <= Entrepiso && azar.bounded(2) == 0) {
            QJsonArray barras;
            for (int k = 0; k < 5; ++k)
                barras.append(azar.bounded(3) == 0 ? azar.bounded(101) : 0);
            v.insert(QStringLiteral("proporciones"), barras);
        } else {
            v.insert(QStringLiteral("nivel"), NivelAlAzar(azar));
        }
        variables.append(v);
    }
    QJsonObject o{{QStringLiteral("id"), numero},
                  {QStringLiteral("sistema"), sistema},
                  {QStringLiteral("relevancia"), caso},
                  {QStringLiteral("anno"), azar.bounded(4)},
                  {QStringLiteral("variables"), variables}};
    if (azar.bounded(3) == 0)
        o.insert(QStringLiteral("otros"), QJsonArray{QJsonObject{{QStringLiteral("codigo"), 2},
                                                                 {QStringLiteral("nivel"), NivelAlAzar(azar)}}});
    return QJsonDocument(o).toJson(QJsonDocument::Compact);
}

void MedirMotor(const DatosLotes &datos)
{
    QRandomGenerator azar(20240611);
    std::vector<EstadoEvaluacion> estados;
    for (int i = 0; i < 4096; ++i)
        estados.push_back(EstadoAlAzar(azar));
    std::vector<EtiquetasResultados> etiquetas(estados.size());

    long long evaluaciones = 0, control = 0;
    QElapsedTimer reloj;
    reloj.start();
    do {
        for (std::size_t i = 0; i < estados.size(); ++i) {
            EvaluarEdificacion(estados[i], datos.pesos, datos.comentarios, static_cast<int>(i % 4), etiquetas[i]);
            control += estados[i].NivelReparabilidad + etiquetas[i].lblComSeguridad.size();
        }
        evaluaciones += static_cast<long long>(estados.size());
    } while (reloj.elapsed() < 2000);
    const double segundos = static_cast<double>(reloj.nsecsElapsed()) / 1e9;
    std::printf("motor: %lld evaluaciones en %.3f s = %.0f evaluaciones/s (un núcleo; control %lld)\n",
                evaluaciones, segundos, static_cast<double>(evaluaciones) / segundos, control);
}

bool MedirProceso(const QString &carpetaDatos)
{
    constexpr int Lineas = 100000;
    QTemporaryDir dir;
    const QString entrada = dir.filePath(QStringLiteral("edificios.jsonl"));
    {
        QFile f(entrada);
        if (!f.open(QIODevice::WriteOnly))
            return false;
        QRandomGenerator azar(7);
        for (int i = 0; i < Lineas; ++i)
            f.write(LineaAlAzar(azar, i) + '\n');
    }
    // Once into a file (the output checked, the disk included), once into
    // the null device (the program's own rate).
    const QString resultados = dir.filePath(QStringLiteral("resultados.jsonl"));
    bool bien = true;
    for (const QString &destino : {resultados, QProcess::nullDevice()}) {
        QProcess proceso;
        proceso.setStandardOutputFile(destino);
        QElapsedTimer reloj;
        reloj.start();
        proceso.start(QStringLiteral(ORV_EVALUAR), {QStringLiteral("--datos"), carpetaDatos, entrada});
        if (!proceso.waitForFinished(-1) || proceso.exitStatus() != QProcess::NormalExit) {
            std::printf("orv-evaluar no terminó normalmente\n");
            return false;
        }
        const double segundos = static_cast<double>(reloj.nsecsElapsed()) / 1e9;
        bien = bien && proceso.exitCode() == 0;
        if (destino == resultados) {
            QFile salida(resultados);
            salida.open(QIODevice::ReadOnly);
            const qsizetype escritas = salida.readAll().count('\n');
            bien = bien && escritas == Lineas;
            std::printf("orv-evaluar: %d líneas en %.3f s = %.0f líneas/s, salida a un archivo (%lld líneas, %.0f MB)\n",
                        Lineas, segundos, Lineas / segundos, static_cast<long long>(escritas),
                        static_cast<double>(salida.size()) / 1e6);
        } else {
            std::printf("orv-evaluar: %d líneas en %.3f s = %.0f líneas/s, salida descartada\n", Lineas, segundos,
                        Lineas / segundos);
        }
    }
    return bien;
}

}  // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QString carpetaDatos = QStringLiteral(ORV_DATA_DIR);
    DatosLotes datos;
    try {
        datos = LeerDatosLotes(carpetaDatos);
    } catch (const ErrorDatos &error) {
        std::fprintf(stderr, "%s\n", qPrintable(error.mensaje()));
        return 2;
    }
    // "motor" or "proceso" runs one measurement only (for profiling).
    const QString parte = app.arguments().value(1);
    if (parte != QLatin1String("proceso"))
        MedirMotor(datos);
    if (parte == QLatin1String("motor"))
        return 0;
    return MedirProceso(carpetaDatos) ? 0 : 1;
}
