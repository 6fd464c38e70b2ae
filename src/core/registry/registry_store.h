#pragma once
// AlmacenRegistro: where saved evaluations live, and how they are read back: the registry
// file on this machine or the central registry on a server. Every reader
// and writer goes through this interface; searching, sorting and counting
// happen in the database, a page at a time.

#include "core/registry/evaluation_record.h"

#include <QDate>
#include <QString>
#include <QVector>
#include <functional>
#include <memory>
#include <optional>

// What the registry window, the command line and the summaries select.
struct FiltroRegistro {
    // Matched, ignoring case, anywhere in the number, the address, the
    // barrio, the building's name, the evaluator and the commission code.
    QString texto;
    // The habitability as stored ("Habitable", "Uso Restringido", ...); empty: any.
    QString habitabilidad;
    // Evaluation dates, both inclusive; an invalid date leaves that end open.
    QDate desde;
    QDate hasta;
    // Only numbers below (above) this one; 0 leaves that end open. The window
    // counts the rest of a selection below (above) its first page with it.
    int32_t numeroMenorQue = 0;
    int32_t numeroMayorQue = 0;
    // Only each building's current posting: no evaluation of the same
    // building is newer (by evaluation date, then number). Evaluations
    // without a building key are each their building's.
    bool soloVigentes = false;

    bool vacio() const
    {
        return texto.isEmpty() && habitabilidad.isEmpty() && !desde.isValid() && !hasta.isValid() &&
               numeroMenorQue == 0 && numeroMayorQue == 0 && !soloVigentes;
    }
};

struct ResumenRegistro;  // core/registry/registry_summary.h
struct EdificacionRegistrada;  // core/registry/buildings.h
struct Correccion;             // core/registry/corrections.h

struct OrdenRegistro {
    // A field position, or OrdenDireccion for the address as one text.
    int campo = RegistroEvaluaciones::Pos::Numero;
    bool descendente = true;
    static constexpr int OrdenDireccion = -2;
};

class AlmacenRegistro {
public:
    virtual ~AlmacenRegistro() = default;

    // How every message names this registry: «tabla "Evaluaciones" del
    // archivo "…"» or «… del servidor "…"».
    virtual QString descripcion() const = 0;

    // Appends the records in one transaction: each gets its number in field
    // 0, in order; either all are stored or none. A record whose uuid the
    // registry already holds is not stored again and gets the number it
    // has. Throws ErrorDatos with nothing written.
    virtual void agregar(QVector<RegistroEvaluacion> &lote) = 0;
    int32_t agregar(RegistroEvaluacion &registro);

    virtual qint64 contar(const FiltroRegistro &filtro) = 0;
    // Records `desde` .. `desde + cuantos - 1` of the selection in that order.
    virtual QVector<RegistroEvaluacion> pagina(const FiltroRegistro &filtro, const OrdenRegistro &orden, qint64 desde,
                                               int cuantos) = 0;
    virtual std::optional<RegistroEvaluacion> porNumero(int32_t numero) = 0;
    // Every selected record in order, one at a time, never the whole table
    // in memory; `cada` returns false to stop.
    virtual void recorrer(const FiltroRegistro &filtro, const OrdenRegistro &orden,
                          const std::function<bool(const RegistroEvaluacion &)> &cada) = 0;
    // The event summary of the selection, counted by the database
    // (ResumirRegistro over the store's LectorRegistroSql).
    virtual ResumenRegistro resumen(const FiltroRegistro &filtro) = 0;

    // Buildings (core/registry/buildings.h): the one of a key, those with an
    // evaluation within `metros` of a point, and a building's evaluations,
    // newest first. A registry that keeps no building keys finds none.
    virtual std::optional<EdificacionRegistrada> edificacion(const QString &clave);
    virtual QVector<EdificacionRegistrada> cercanas(double latitud, double longitud, double metros);
    virtual QVector<RegistroEvaluacion> historial(const QString &clave);
    // The building key of the evaluation `numero`; empty when it has none.
    virtual QString claveDe(int32_t numero);
    // Fills each record's reemplaza and reemplazadaPor from its building's
    // history, and corregida from its corrections; a registry that keeps no
    // building keys leaves them empty.
    virtual void situar(QVector<RegistroEvaluacion> &registros);

    // Corrections (core/registry/corrections.h): sets the field of column
    // `columna` of evaluation `numero` to `valor` and records the change
    // with its reason, who made it and when; a corrected plot or address
    // gives the evaluation its new building key. Throws ErrorDatos with
    // nothing changed (a field that cannot be corrected, no reason, no such
    // evaluation, no permission); a registry that keeps no corrections
    // refuses every one.
    virtual void corregir(int32_t numero, const QString &columna, const QString &valor, const QString &motivo,
                 const QUuid &id = QUuid());
    // The corrections of evaluation `numero`, oldest first.
    virtual QVector<Correccion> correcciones(int32_t numero);

    // Photos (core/registry/photo.h). The lists, the window, the buildings
    // and the summaries never read photo bytes: fotos() lists an
    // evaluation's photos without them, foto() fetches one photo's bytes.
    //
    // The photos of evaluation `numero` in their order, without their bytes
    // (jpeg empty, bytes set); removed photos are left out. Empty when the
    // evaluation has none or there is no such evaluation.
    virtual QVector<FotoEvaluacion> fotos(int32_t numero);
    // One photo with its JPEG bytes; none when the registry has no such
    // photo or it was removed.
    virtual std::optional<FotoEvaluacion> foto(const QUuid &uuid);
    // Adds photos to the saved evaluation `numero`, in one transaction: each
    // gets its order after the evaluation's last photo (fotos[i].orden), its
    // uuid and hash when missing. A photo whose uuid the registry holds is
    // stored once. Throws ErrorDatos with nothing written (no such
    // evaluation, more than Fotos::MaximoPorEvaluacion photos in all, a photo
    // without bytes or whose hash does not match them); a registry that
    // keeps no photos refuses.
    virtual void agregarFotos(int32_t numero, QVector<FotoEvaluacion> &fotos);
    // Removes photo `foto` from its evaluation as a correction with
    // `motivo` (table "Correcciones", column Fotos::CampoCorreccion, the
    // photo's uuid as former value): the row stays, readers no longer see
    // it. Throws ErrorDatos with nothing changed (no reason, no such photo,
    // removed already, no permission).
    virtual void quitarFoto(const QUuid &foto, const QString &motivo);
};
