#include "registry/record_writer.h"

#include "app/message_box.h"
#include "data/data_paths.h"

namespace {

// The evaluator answers in message boxes; before each one the form shows
// what would be stored.
class DialogoMensajes : public DialogoGuardar {
public:
    DialogoMensajes(QWidget *padre, const IdentificacionEvaluacion &id, const MostrarIdentificacion &mostrar)
        : padre_(padre), id_(id), mostrar_(mostrar)
    {
    }
    void avisar(const QString &texto) override { mostrar(texto, Mensaje::Botones::Aceptar, QString()); }
    bool preguntar(const QString &texto, const QString &titulo) override
    {
        return mostrar(texto, Mensaje::Botones::AceptarCancelar, titulo) == Mensaje::Respuesta::Aceptar;
    }

private:
    Mensaje::Respuesta mostrar(const QString &texto, Mensaje::Botones botones, const QString &titulo)
    {
        if (mostrar_)
            mostrar_(id_);
        return Mensaje::mostrar(padre_, texto, botones, titulo.isEmpty() ? QStringLiteral("ORV") : titulo);
    }

    QWidget *padre_;
    const IdentificacionEvaluacion &id_;
    const MostrarIdentificacion &mostrar_;
};

}  // namespace

bool GuardarEvaluacion(QWidget *padre, IdentificacionEvaluacion &id, EstadoEvaluacion &estado,
                       const DatosEdificacion &datos, const MostrarIdentificacion &mostrar)
{
    DialogoMensajes dialogo(padre, id, mostrar);
    if (!RevisarIdentificacion(id, estado, dialogo))
        return false;
    if (!dialogo.preguntar(TextosRegistro::Confirmacion, TextosRegistro::TituloGuardar))
        return false;

    try {
        AgregarEvaluacion(RutasDatos::archivoRegistro(), id, estado, datos);
    } catch (const ErrorDatos &e) {
        dialogo.avisar(TextosRegistro::NoGuardada + QLatin1Char('\n') + e.mensaje());
        return false;
    }
    dialogo.avisar(TextosRegistro::Guardada);
    return true;
}
