#pragma once
// Corrections, the same cases for the registry file and the central
// registry: each takes an empty registry.

#include "core/registry/buildings.h"
#include "core/registry/corrections.h"
#include "core/registry/sample_evaluation.h"

#include <QTest>

namespace CasosCorreccion {

using namespace RegistroEvaluaciones;

// An evaluation of the example at house number `casa` of its street,
// without a plot (the address decides its building), or with the example's
// plot when `casa` is empty.
inline RegistroEvaluacion Evaluacion(const char *casa, const char *fecha, const char *habitabilidad)
{
    IdentificacionEvaluacion id = Ejemplo::Identificacion();
    EstadoEvaluacion estado;
    Ejemplo::LlenarEstado(estado);
    estado.DireccionElegida = TiposDireccion().value(id.Option1);
    RegistroEvaluacion r = ConstruirRegistro(id, estado, Ejemplo::Datos());
    if (*casa) {
        for (int p : {Pos::TipoAvaluo, Pos::Sector, Pos::Manzana, Pos::Predio})
            r.establecerCampo(p, QStringLiteral("--"));
        r.establecerCampo(Pos::NumeroCasa, QString::fromUtf8(casa));
    }
    r.establecerCampo(Pos::Fecha, QString::fromLatin1(fecha));
    r.establecerCampo(Pos::Habitabilidad, QString::fromUtf8(habitabilidad));
    return r;
}

inline QList<int> Numeros(const QVector<RegistroEvaluacion> &rs)
{
    QList<int> n;
    for (const RegistroEvaluacion &r : rs)
        n << r.numero();
    return n;
}

// The message of what `accion` throws; empty when it throws nothing.
template <typename F> QString Rechazo(F accion)
{
    try {
        accion();
    } catch (const ErrorDatos &e) {
        return e.mensaje();
    }
    return QString();
}

// A corrected house number moves an evaluation to the building it is
// really of: its key, that building's history and current posting, the
// placement of the older evaluation; a field outside the key keeps it; a
// corrected plot joins another plot's building; each correction reads back
// with the field, the values before and after, the reason, who and when,
// in order; the rows show the corrected values.
inline void CorregirMueveDeEdificacion(AlmacenRegistro &registro, const QString &quien)
{
    QVector<RegistroEvaluacion> lote{Evaluacion("12-30", "2026-12-01T10:00:00", "Habitable"),
                                     Evaluacion("12-30", "2026-12-03T16:00:00", "Uso Restringido"),
                                     Evaluacion("14-02", "2026-12-05T09:00:00", "No Habitable"),
                                     Evaluacion("", "2026-12-02T09:00:00", "Habitable"),
                                     Evaluacion("", "2026-12-04T09:00:00", "Habitable")};
    lote[4].establecerCampo(Pos::Predio, QStringLiteral("0099"));
    registro.agregar(lote);
    const QString edificio = registro.claveDe(1), otro = registro.claveDe(3);
    QVERIFY(!edificio.isEmpty() && !otro.isEmpty() && edificio != otro);
    QCOMPARE(Numeros(registro.historial(edificio)), (QList<int>{2, 1}));

    const QDateTime antes = QDateTime::currentDateTimeUtc().addSecs(-1);
    registro.corregir(3, QStringLiteral("NumeroCasa"), QStringLiteral(" No. 12-30 "),
                      QStringLiteral("El número de la casa se escribió mal"));
    const QDateTime despues = QDateTime::currentDateTimeUtc().addSecs(1);
    QCOMPARE(registro.porNumero(3)->texto(Pos::NumeroCasa), QStringLiteral("No. 12-30"));
    QCOMPARE(registro.claveDe(3), edificio);
    QCOMPARE(Numeros(registro.historial(edificio)), (QList<int>{3, 2, 1}));
    QVERIFY(!registro.edificacion(otro));
    QCOMPARE(registro.edificacion(edificio)->vigente.numero(), 3);
    QVector<RegistroEvaluacion> segunda{*registro.porNumero(2)};
    registro.situar(segunda);
    QCOMPARE(segunda[0].reemplazadaPor->numero, 3);
    QCOMPARE(segunda[0].reemplazadaPor->habitabilidad, QStringLiteral("No Habitable"));

    registro.corregir(3, QStringLiteral("Telefono"), QStringLiteral("555 0142"), QStringLiteral("Otro número"));
    QCOMPARE(registro.claveDe(3), edificio);
    registro.corregir(3, QStringLiteral("Latitud"), QStringLiteral("-12,5"), QStringLiteral("Punto medido de nuevo"));
    QCOMPARE(registro.porNumero(3)->campo(Pos::Latitud).toDouble(), -12.5);

    const QVector<Correccion> lista = registro.correcciones(3);
    QCOMPARE(lista.size(), 3);
    QCOMPARE(lista[0].numero, 3);
    QCOMPARE(lista[0].columna, QStringLiteral("NumeroCasa"));
    QCOMPARE(lista[0].anterior, QStringLiteral("14-02"));
    QCOMPARE(lista[0].nuevo, QStringLiteral("No. 12-30"));
    QCOMPARE(lista[0].motivo, QStringLiteral("El número de la casa se escribió mal"));
    QCOMPARE(lista[0].usuario, quien);
    QVERIFY2(lista[0].fecha >= antes && lista[0].fecha <= despues, qPrintable(lista[0].fecha.toString(Qt::ISODateWithMs)));
    QCOMPARE(lista[1].columna, QStringLiteral("Telefono"));
    QCOMPARE(lista[1].anterior, QStringLiteral("555 0199"));
    QCOMPARE(lista[2].columna, QStringLiteral("Latitud"));
    QCOMPARE(lista[2].nuevo, QStringLiteral("-12.5"));
    QVERIFY(registro.correcciones(2).isEmpty());
    // Records placed for a document or a list know when they were last corrected.
    QVector<RegistroEvaluacion> marcadas{*registro.porNumero(3), *registro.porNumero(2)};
    registro.situar(marcadas);
    QVERIFY(lista[2].fecha.isValid());
    QCOMPARE(marcadas[0].corregida, lista[2].fecha);
    QVERIFY(!marcadas[1].corregida.isValid());

    // The plot decides when every part was typed.
    const QString predio = registro.claveDe(4);
    QVERIFY(registro.claveDe(5) != predio);
    registro.corregir(5, QStringLiteral("Predio"), QStringLiteral("0056"), QStringLiteral("Predio equivocado"));
    QCOMPARE(registro.claveDe(5), predio);
    QCOMPARE(registro.edificacion(predio)->evaluaciones, qint64(2));
}

// What cannot be corrected is refused with a Spanish message, and nothing
// changes: a field the evaluator judged (a new evaluation is needed), an
// unknown column, no reason, the value the field already has, an
// evaluation that does not exist, a latitude out of range, an unknown
// street kind.
inline void RechazosSinCambios(AlmacenRegistro &registro)
{
    RegistroEvaluacion r = Evaluacion("12-30", "2026-12-01T10:00:00", "Habitable");
    registro.agregar(r);
    const RegistroEvaluacion original = *registro.porNumero(1);
    const QString clave = registro.claveDe(1);
    for (const char *columna : {"Habitabilidad", "FechaEvaluacion", "NumeroEvaluacion", "NumeroPisos", "CodigoHabitabilidad"}) {
        const QString m = Rechazo([&] {
            registro.corregir(1, QString::fromLatin1(columna), QStringLiteral("Habitable"), QStringLiteral("Motivo"));
        });
        QVERIFY2(m.contains(QStringLiteral("hace falta una nueva evaluación")), qPrintable(QString::fromLatin1(columna) + ": " + m));
    }
    const struct {
        const char *columna, *valor, *motivo, *mensaje;
    } casos[] = {
        {"Calle", "10", "Motivo", "no tiene el campo «Calle»"},
        {"Barrio", "El Prado", "  ", "motivo"},
        {"Barrio", "San Martín", "Motivo", "ya es «San Martín»"},
        {"Latitud", "95", "Motivo", "latitud entre -90 y 90"},
        {"Longitud", "este", "Motivo", "longitud entre -180 y 180"},
        {"TipoDireccion", "Camino", "Motivo", "no es un tipo de vía"},
    };
    for (const auto &c : casos) {
        const QString m = Rechazo([&] {
            registro.corregir(1, QString::fromLatin1(c.columna), QString::fromUtf8(c.valor), QString::fromUtf8(c.motivo));
        });
        QVERIFY2(m.contains(QString::fromUtf8(c.mensaje)), qPrintable(QString::fromLatin1(c.columna) + ": " + m));
    }
    const QString ninguna = Rechazo([&] {
        registro.corregir(99, QStringLiteral("Barrio"), QStringLiteral("El Prado"), QStringLiteral("Motivo"));
    });
    QVERIFY2(ninguna.contains(QStringLiteral("no existe la evaluación N.º 99")), qPrintable(ninguna));
    QVERIFY(registro.correcciones(1).isEmpty());
    QCOMPARE(registro.porNumero(1)->valores, original.valores);
    QCOMPARE(registro.claveDe(1), clave);
}

}  // namespace CasosCorreccion
