// Saves into or sends to the registry configured by ORV_REGISTRO from a
// process of its own, the way another laptop would.
//
//   orv-servidor-auxiliar guardar CARPETA CANTIDAD ETIQUETA [PAUSA_MS [FOTOS]]
//       saves CANTIDAD copies of the example evaluation (ETIQUETA as the
//       building's name), each with FOTOS photos of 100 kB, as "Guardar"
//       does; prints the number given, or "pendiente", one line per save
//   orv-servidor-auxiliar bandeja CARPETA CANTIDAD ETIQUETA
//       only writes them into the outbox
//   orv-servidor-auxiliar enviar CARPETA [POR_LOTE]
//       sends the outbox; prints "enviados N pendientes M" and the message
//
// CARPETA holds this "machine's" local registry and outbox.

#include "core/registry/sample_evaluation.h"

#include "core/registry/registry_config.h"
#include "core/registry/server_registry.h"

#include <QCoreApplication>
#include <QRandomGenerator>
#include <QThread>
#include <cstdio>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 3) {
        std::fprintf(stderr, "uso: orv-servidor-auxiliar guardar|bandeja|enviar CARPETA ...\n");
        return 2;
    }
    ClaveRegistro::usarAlmacenDeClaves(false);
    const QString orden = args.at(1);
    const QString archivo = args.at(2) + QStringLiteral("/Registro de Evaluaciones.sqlite");
    try {
        RegistroConfigurado registro = AbrirRegistroConfigurado(archivo);
        if (orden == QLatin1String("enviar")) {
            const ResultadoEnvio r = registro.bandeja->enviar(*registro.servidor, args.value(3, QStringLiteral("500")).toInt());
            std::printf("enviados %d pendientes %d\n", r.enviados, r.pendientes);
            if (!r.error.isEmpty())
                std::fprintf(stderr, "%s\n", qPrintable(r.error));
            return r.error.isEmpty() ? 0 : 1;
        }
        const int cantidad = args.value(3).toInt();
        const int pausa = args.value(5).toInt();
        const int fotos = args.value(6).toInt();
        QRandomGenerator azar(2026);
        IdentificacionEvaluacion id = Ejemplo::Identificacion();
        id.txtNombre = args.value(4);
        for (int i = 0; i < cantidad; ++i) {
            EstadoEvaluacion estado;
            Ejemplo::LlenarEstado(estado);
            estado.DireccionElegida = TiposDireccion().value(id.Option1);
            RegistroEvaluacion r = ConstruirRegistro(id, estado, Ejemplo::Datos());
            // The stores check a photo's hash, not its picture.
            for (int k = 0; k < fotos; ++k) {
                FotoEvaluacion f;
                f.jpeg.resize(100 * 1024);
                azar.fillRange(reinterpret_cast<quint32 *>(f.jpeg.data()), f.jpeg.size() / 4);
                f.leyenda = QStringLiteral("Foto %1").arg(k + 1);
                r.fotos << f;
            }
            if (orden == QLatin1String("bandeja")) {
                registro.bandeja->guardar(r);
                continue;
            }
            const ResultadoGuardado g = registro.guardar(r);
            if (g.pendiente)
                std::printf("pendiente\n");
            else
                std::printf("%d\n", g.numero);
            std::fflush(stdout);
            if (pausa > 0)
                QThread::msleep(pausa);
        }
    } catch (const ErrorDatos &e) {
        std::fprintf(stderr, "%s\n", qPrintable(e.mensaje()));
        return 1;
    }
    return 0;
}
