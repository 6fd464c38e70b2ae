#include "gui/saving/record_writer.h"

#include "gui/common/message_box.h"
#include "core/data/data_paths.h"
#include "core/registry/registry_config.h"
#include "core/registry/known_building.h"

#include <optional>

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
                       const DatosEdificacion &datos, const MostrarIdentificacion &mostrar, const QUuid &uuid)
{
    DialogoMensajes dialogo(padre, id, mostrar);
    if (!RevisarIdentificacion(id, estado, dialogo))
        return false;

    // A building the registry already knows: a new inspection of it, or
    // another building that the evaluator tells apart by its name. A
    // registry that cannot be opened or reached asks nothing here; the save
    // below says what failed.
    QString clave;
    std::optional<RegistroConfigurado> registro;
    try {
        registro.emplace(AbrirRegistroConfigurado());
        EstadoEvaluacion copia = estado;
        copia.DireccionElegida = TiposDireccion().value(id.Option1);
        const RegistroEvaluacion previsto = ConstruirRegistro(id, copia, datos);
        if (const auto c = Reinspeccion::Buscar(*registro->almacen, previsto)) {
            if (mostrar)
                mostrar(id);
            const bool misma = Mensaje::mostrar(padre, Reinspeccion::Pregunta(*c), Mensaje::Botones::SiNo,
                                                Reinspeccion::Titulo) == Mensaje::Respuesta::Si;
            if (misma) {
                clave = c->edificacion.clave;
            } else if (!c->porCercania) {
                clave = Reinspeccion::ClaveDistinta(previsto);
                if (clave.isEmpty() || clave == c->edificacion.clave) {
                    dialogo.avisar(Reinspeccion::FaltaNombre);
                    return false;
                }
            }
        }
    } catch (const ErrorDatos &) {
        registro.reset();
    }
    if (!dialogo.preguntar(TextosRegistro::Confirmacion, TextosRegistro::TituloGuardar))
        return false;

    ResultadoGuardado guardado;
    try {
        if (!registro)
            registro.emplace(AbrirRegistroConfigurado());
        guardado = AgregarEvaluacion(*registro, id, estado, datos, uuid, clave);
    } catch (const ErrorDatos &e) {
        dialogo.avisar(TextosRegistro::NoGuardada + QLatin1Char('\n') + e.mensaje());
        return false;
    }
    // Waiting for the central registry: saved all the same, and said so.
    dialogo.avisar(guardado.pendiente ? guardado.mensaje : TextosRegistro::Guardada);
    return true;
}
