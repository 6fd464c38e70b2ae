#pragma once
// orv-registro run as a user runs it, and the records and import lines the
// tests of its commands give it.

#include "gui/saving/form_driver.h"
#include "core/registry/sample_evaluation.h"
#include "support/test_support.h"

#include "core/registry/local_registry.h"
#include "core/registry/record_builder.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>

using namespace RegistroEvaluaciones;

namespace OrdenPrueba {

struct Resultado {
    int codigo = -1;
    QByteArray salida;
    QString error;
};

// Runs orv-registro with the test's reference data, `entrada` on its
// standard input, in `entorno` (the test's own when empty) and in the
// folder `carpeta` (the test's when empty).
// A run that has not ended within `espera` milliseconds is killed and
// gives the code -1.
inline Resultado Correr(const QStringList &argumentos, const QByteArray &entrada = QByteArray(),
                        const QProcessEnvironment &entorno = QProcessEnvironment(), const QString &carpeta = QString(),
                        int espera = 120000)
{
    QProcess p;
    if (!entorno.isEmpty())
        p.setProcessEnvironment(entorno);
    if (!carpeta.isEmpty())
        p.setWorkingDirectory(carpeta);
    p.start(QStringLiteral(ORV_REGISTRO), QStringList{QStringLiteral("--datos"), Prueba::CarpetaDatos()} + argumentos);
    if (!p.waitForStarted())
        return {};
    p.write(entrada);
    p.closeWriteChannel();
    if (!p.waitForFinished(espera)) {
        p.kill();
        p.waitForFinished();
        return {-1, p.readAllStandardOutput(), QString::fromUtf8(p.readAllStandardError())};
    }
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, p.readAllStandardOutput(),
            QString::fromUtf8(p.readAllStandardError())};
}

// Records with the example evaluation, varied by the caller.
struct Variante {
    QString nombre, barrio, evaluador, fecha, habitabilidad;
};

inline RegistroEvaluacion Registro(const Variante &v)
{
    EstadoEvaluacion e;
    Ejemplo::LlenarEstado(e);
    IdentificacionEvaluacion id = Ejemplo::Identificacion();
    for (const auto &[campo, valor] : {std::pair{&id.txtNombre, v.nombre}, std::pair{&id.txtNomBarrio, v.barrio},
                                       std::pair{&id.txtEvaluador, v.evaluador},
                                       std::pair{&e.TextoHabitabilidad, v.habitabilidad}})
        if (!valor.isNull())
            *campo = valor;
    if (!v.fecha.isEmpty())
        id.DTEvaluacion = QDateTime::fromString(v.fecha, Qt::ISODate);
    e.DireccionElegida = TiposDireccion().value(id.Option1);
    return ConstruirRegistro(id, e, Ejemplo::Datos());
}

inline QString HacerRegistro(const QTemporaryDir &carpeta, QVector<RegistroEvaluacion> registros)
{
    const QString archivo = carpeta.filePath(QStringLiteral("registro.sqlite"));
    RegistroLocal(archivo).agregar(registros);
    return archivo;
}

// The first column of a TSV listing (the numbers), without its title row.
inline QStringList Numeros(const QByteArray &tsv)
{
    QStringList numeros;
    const QStringList lineas = QString::fromUtf8(tsv).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    for (qsizetype i = 1; i < lineas.size(); ++i)
        numeros << lineas.at(i).section(QLatin1Char('\t'), 0, 0);
    return numeros;
}

// --- the forms, driven as a person does ---------------------------------------

// One rating: the element button, its variable code (or other element
// code) and the five shares or the level.
struct Nota {
    const char *carpeta;  // navigation button to the element's folder, or null
    const char *boton;
    int codigo;
    bool otro;
    QList<int> barras;  // five shares, or one level
};

// The building folder as an import line's "edificacion" gives it: text
// boxes, options by their index and list items; built in the period of
// option 2 as a reinforced-concrete frame.
inline const int Anno = 2;
inline const QJsonObject Edificacion{{"txtNPisos", "4"},          {"txtNSotanos", "1"},   {"txtPMayorDanno", "2"},
                              {"txtPisosTotal", "5"},      {"optLocalizacion", 1}, {"optInspeccion", 2},
                              {"optEstabEvaluador", 2},    {"cboCubierta", "Teja de barro"},
                              {"cboEntrepiso", "Placa aligerada"}};

// Every rating a reinforced-concrete frame building asks for, in the order
// of its folders.
inline const QList<Nota> Calificaciones = {
    {"Command1", "btnVigas", 0, false, {40, 40, 20, 0, 0}},
    {nullptr, "btnColumnas", 1, false, {50, 10, 10, 20, 10}},
    {nullptr, "btnNudos", 2, false, {70, 20, 10, 0, 0}},
    {nullptr, "btnEntrepiso", 13, false, {80, 20, 0, 0, 0}},
    {"Command4", "btnDivisorios", 14, false, {2}},
    {nullptr, "btnFachada", 15, false, {1}},
    {nullptr, "btnEscaleras", 16, false, {0}},
    {nullptr, "btnCubiertaBaha", 2, true, {3}},
    {"Command6", "btnDeslizamGrietas", 17, false, {0}},
    {nullptr, "btnAsentamLicuac", 18, false, {1}},
    {"Command8", "btnCalidad", 19, false, {2}},
    {nullptr, "btnConfiguracion", 22, false, {1}},
    {nullptr, "btnIrregularidadPlanta", 20, false, {0}},
    {nullptr, "btnIrregularidadAltura", 21, false, {4}},
};

// The import line of the same evaluation, with the ratings `notas`.
inline QJsonObject LineaImportar(IdentificacionEvaluacion id, const QList<Nota> &notas = Calificaciones)
{
    QJsonArray variables, otros;
    for (const Nota &c : notas) {
        QJsonObject o{{"codigo", c.codigo}};
        if (c.barras.size() == 5)
            o.insert(QStringLiteral("proporciones"), QJsonArray::fromVariantList(QVariantList(c.barras.begin(), c.barras.end())));
        else
            o.insert(QStringLiteral("nivel"), c.barras.first());
        (c.otro ? otros : variables).append(o);
    }
    QJsonObject ident{{"Option1", id.Option1}, {"DTEvaluacion", id.DTEvaluacion.toString(Qt::ISODate)}};
    for (const auto &[nombre, texto] : Conducir::CajasDe(id))
        if (!texto->isEmpty())
            ident.insert(nombre, *texto);
    if (!id.txtLatitud.isEmpty())
        ident.insert(QStringLiteral("Latitud"), id.txtLatitud), ident.insert(QStringLiteral("Longitud"), id.txtLongitud);
    QJsonObject linea{{"sistema", 0}, {"anno", Anno}, {"variables", variables}, {"edificacion", Edificacion},
                      {"identificacion", ident}};
    if (!otros.isEmpty())
        linea.insert(QStringLiteral("otros"), otros);
    return linea;
}

inline QByteArray Jsonl(const QList<QJsonObject> &lineas)
{
    QByteArray b;
    for (const QJsonObject &o : lineas)
        b += QJsonDocument(o).toJson(QJsonDocument::Compact) + '\n';
    return b;
}

}  // namespace OrdenPrueba
