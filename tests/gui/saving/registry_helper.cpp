// Saves evaluations into a registry file from a process of its own, the way
// another copy of the program would.
//
//   orv-registro-auxiliar ARCHIVO CANTIDAD ETIQUETA [PAUSA_MS]
//
// Appends CANTIDAD copies of the example evaluation, with ETIQUETA as the
// building's name, and prints each number on its own line as soon as its
// record is saved; PAUSA_MS milliseconds pass between two saves. Exits with
// 1 and the database message on the first failure.

#include "core/registry/sample_evaluation.h"

#include "core/data/record_set.h"
#include "gui/saving/record_writer.h"

#include <QCoreApplication>
#include <QThread>
#include <cstdio>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 4 && args.size() != 5) {
        std::fprintf(stderr, "uso: orv-registro-auxiliar ARCHIVO CANTIDAD ETIQUETA [PAUSA_MS]\n");
        return 2;
    }
    const QString archivo = args.at(1);
    const int cantidad = args.at(2).toInt();
    const int pausa = args.value(4).toInt();
    IdentificacionEvaluacion id = Ejemplo::Identificacion();
    id.txtNombre = args.at(3);
    const DatosEdificacion datos = Ejemplo::Datos();
    for (int i = 0; i < cantidad; ++i) {
        EstadoEvaluacion estado;
        Ejemplo::LlenarEstado(estado);
        try {
            const int32_t numero = AgregarEvaluacion(archivo, id, estado, datos);
            std::printf("%d\n", numero);
            std::fflush(stdout);
            if (pausa > 0)
                QThread::msleep(pausa);
        } catch (const ErrorDatos &e) {
            std::fprintf(stderr, "%s\n", qPrintable(e.mensaje()));
            return 1;
        }
    }
    return 0;
}
