// The shipped comments beside a category declared not relevant. Such a
// category takes level 0, so its comments are those of the best level; they
// must read true both when the category was rated at its best and when nobody
// looked at it.

#include "core/data/data_paths.h"
#include "core/engine/evaluation_driver.h"
#include "core/engine/fixture.h"
#include "core/engine/result_classification.h"
#include "support/test_support.h"

#include <QDir>
#include <QRegularExpression>
#include <QSet>
#include <QTest>

namespace {

QRegularExpression Patron(const QString &patron)
{
    return QRegularExpression(patron, QRegularExpression::CaseInsensitiveOption |
                                          QRegularExpression::UseUnicodePropertiesOption);
}

// Words that make a sentence speak of the soil, or of the pre-existing
// conditions.
const QRegularExpression TemaSuelo = Patron(QStringLiteral(
    "\\b(suelos?|terrenos?|geotécnic\\w*|taludes?|licuación|asentamientos?|deslizamientos?|hundimientos?)\\b"));
const QRegularExpression TemaPreexistente = Patron(QStringLiteral(
    "\\b(preexistentes?|materiales|configuración|irregularidad(es)?|deterioro previo)\\b"));

// Of a category nobody rated, a sentence may say what the evaluation did not
// find, or speak of it as a hypothesis; anything else states a condition.
const QRegularExpression Informe = Patron(QStringLiteral("\\b(no|ni) se (identificaron|señalaron|registraron)\\b"));
const QRegularExpression Hipotesis = Patron(QStringLiteral("\\bsi (el|la|los|las|hay|se)\\b"));
// Even so, it never grades the category (the condition and quality grades).
const QRegularExpression Grado = Patron(QStringLiteral("\\b(muy )?(buena|buenas|mala|malas|regulares)\\b"));

// The sentences of `comentario` that state a condition of the category `tema`.
QStringList Afirmaciones(const QString &comentario, const QRegularExpression &tema)
{
    static const QRegularExpression fin(QStringLiteral("[.;:]"));
    QStringList halladas;
    for (const QString &frase : comentario.split(fin, Qt::SkipEmptyParts)) {
        if (!tema.match(frase).hasMatch())
            continue;
        const bool admitida = (Informe.match(frase).hasMatch() || Hipotesis.match(frase).hasMatch()) &&
                              !Grado.match(frase).hasMatch();
        if (!admitida)
            halladas << frase.trimmed();
    }
    return halladas;
}

// Concrete frames: structure and floor at one level, the non-structural
// walls and stairs at another, the soil and the pre-existing conditions at a
// third. Cubierta rated Severo makes the other elements graver whenever the
// non-structural level is lower.
EstadoEvaluacion Estado(int16_t caso, int estructural, int noEstructural, int condiciones, bool otros)
{
    Fixture::Calificaciones c;
    for (int codigo : {Vigas, Columnas, Nudos, Entrepiso})
        c << qMakePair(codigo, estructural);
    for (int codigo : {MurosDivisorios, MurosFachada, Escaleras})
        c << qMakePair(codigo, noEstructural);
    for (int codigo : {Taludes, AsentamientoLicuacion, CalidadMateriales, IrregularidadPlanta, IrregularidadAltura,
                       ConfiguracionEstructural})
        c << qMakePair(codigo, condiciones);
    EstadoEvaluacion e = Fixture::Estado(0, c, caso);
    if (otros) {
        e.OtrosElegidos = 1;
        e.OtrosNoEstructurales[0] = {Cubierta, 4};
        e.UltimoOtro = 0;
    }
    return e;
}

}  // namespace

class PruebaComentariosNoRelevantes : public QObject {
    Q_OBJECT

    TablasPesos pesos_;
    TablasComentarios comentarios_;

private slots:
    void initTestCase()
    {
        Prueba::Preparar();
        pesos_ = LeerTablasPesos(QDir(Prueba::CarpetaDatos()).filePath(QStringLiteral("ORV.sqlite")));
        comentarios_ = LeerTablasComentarios(RutasDatos::archivoComentarios());
    }

    // The rule below tells a statement from a report or a hypothesis.
    void reglaDeAfirmacion()
    {
        QCOMPARE(Afirmaciones(QStringLiteral("Daño leve; el suelo está en muy buenas condiciones. Basta."),
                              TemaSuelo),
                 QStringList{QStringLiteral("el suelo está en muy buenas condiciones")});
        QCOMPARE(Afirmaciones(QStringLiteral("El terreno no exige ninguna medida."), TemaSuelo).size(), 1);
        QCOMPARE(Afirmaciones(QStringLiteral("No se señalaron condiciones preexistentes buenas."),
                              TemaPreexistente).size(), 1);
        QVERIFY(Afirmaciones(QStringLiteral("No se identificaron problemas geotécnicos que agraven el daño. Con apoyo "
                                            "geotécnico si el suelo está comprometido."),
                             TemaSuelo)
                    .isEmpty());
        QVERIFY(Afirmaciones(QStringLiteral("Sus condiciones preexistentes son muy buenas."), TemaSuelo).isEmpty());
    }

    // Every relevance case over a spread of levels, through the engine and
    // the result classification: no comment shown states a condition of a
    // category shown as "No Aplica".
    void ningunComentarioContradiceNoAplica()
    {
        QSet<QString> contradicciones;
        for (int16_t caso = 1; caso <= 3; ++caso) {
            int evaluacionesNoAplica = 0;
            for (int s = 0; s <= 4; ++s)
                for (int n = 0; n <= 4; ++n)
                    // The not-relevant category is rated too, as an evaluator
                    // may have done before declaring it not relevant.
                    for (int condiciones : {0, 2, 4})
                        for (bool otros : {false, true})
                            for (int anno = 0; anno <= 3; ++anno)
                                evaluacionesNoAplica +=
                                    Revisar(Estado(caso, s, n, condiciones, otros), anno, contradicciones);
            QVERIFY2(evaluacionesNoAplica > 0, qPrintable(QStringLiteral("caso %1").arg(caso)));
        }
        QStringList lista(contradicciones.begin(), contradicciones.end());
        lista.sort();
        for (const QString &contradiccion : lista)
            qWarning().noquote() << contradiccion;
        QVERIFY2(lista.isEmpty(), qPrintable(QStringLiteral("%1 frases de los comentarios afirman lo que nadie "
                                                            "observó (arriba)").arg(lista.size())));
    }

private:
    // Evaluates; adds "code (category): sentence" for every statement about a
    // category shown as "No Aplica". True when some category was.
    bool Revisar(EstadoEvaluacion e, int anno, QSet<QString> &contradicciones)
    {
        MarcarNoRelevantes(e, e.CasoRelevancia);
        EtiquetasResultados et;
        EvaluarEdificacion(e, pesos_, comentarios_, anno, et);

        const QString noAplica = QStringLiteral("No Aplica");
        QList<QPair<QString, const QRegularExpression *>> temas;
        if (e.TextoSuelo == noAplica)
            temas.append({QStringLiteral("suelo"), &TemaSuelo});
        if (e.TextoPreexistente == noAplica)
            temas.append({QStringLiteral("condiciones preexistentes"), &TemaPreexistente});

        const QList<QPair<QString, QString>> mostrados = {
            {e.CodDannoEdificio, et.lblComDaEdificio},
            {e.CodEstadoGlobal, et.lblComEstGlobal},
            {e.CodHabitabilidad, et.lblComHabitabilidad},
            {e.CodReparabilidad + QLatin1Char(' ') + e.CodRefAnno, et.lblComReparaciones},
            {e.CodMedidasSeguridad, et.lblComSeguridad}};
        for (const auto &[codigo, comentario] : mostrados) {
            if (comentario.isEmpty())
                contradicciones.insert(codigo + QStringLiteral(": sin comentario"));
            for (const auto &[categoria, tema] : temas)
                for (const QString &frase : Afirmaciones(comentario, *tema))
                    contradicciones.insert(
                        QStringLiteral("%1 (%2 \"No Aplica\"): %3").arg(codigo.trimmed(), categoria, frase));
        }
        return !temas.isEmpty();
    }
};

QTEST_GUILESS_MAIN(PruebaComentariosNoRelevantes)
#include "comments_not_relevant_test.moc"
