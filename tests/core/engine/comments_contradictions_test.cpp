// The shipped comments as one evaluation shows them, side by side: building
// damage, global state, habitability, reparability with its year remark, and
// safety measures. A building official reads them together, so no text may
// deny what the evaluation found or what another text shown with it says,
// and no advice may defeat itself. A category declared not relevant takes
// level 0, so its comments are those of the best level; they must read true
// both when the category was rated at its best and when nobody looked at it.

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

QStringList Frases(const QString &texto)
{
    static const QRegularExpression fin(QStringLiteral("(?<=\\.)\\s+"));
    return texto.split(fin, Qt::SkipEmptyParts);
}

// The other non-structural elements, by code, and how a text names each.
const QRegularExpression NombreOtro[4] = {
    Patron(QStringLiteral("\\bcielos? rasos?\\b")), Patron(QStringLiteral("\\binstalaciones\\b")),
    Patron(QStringLiteral("\\bcubiertas?\\b")), Patron(QStringLiteral("\\btanques? elevados?\\b"))};

// A text shown for one evaluation: what it explains and its text.
struct Mostrado {
    QString codigo;
    QString texto;
};

// The contradictions of the texts shown for one evaluation. `otroGrave` is
// the code of an other non-structural element the evaluator rated Severo, or
// -1. Each entry reads "code: what is wrong".
QStringList Contradicciones(const QList<Mostrado> &mostrados, int otroGrave)
{
    // The non-structural elements as a whole said to need nothing.
    static const QRegularExpression sinMedidasNoEstructurales = Patron(QStringLiteral(
        "\\belementos no estructurales no (exigen|presentan|requieren)\\b|"
        "\\belementos no estructurales\\b[^.;]*\\bsus riesgos son bajos\\b"));
    // The non-structural damage described as pieces that may fall, and words
    // that make light of it.
    static const QRegularExpression piezasQueCaen =
        Patron(QStringLiteral("^el daño no estructural es\\b.*\\b(pueden? (caer|desprenderse)|a punto de caer)\\b"));
    static const QRegularExpression restarImportancia =
        Patron(QStringLiteral("\\b(reparación sencilla|algunas precauciones|arreglos cosméticos)\\b"));
    // "No structural intervention", said outright, and a call for reinforcement.
    static const QRegularExpression sinIntervencion =
        Patron(QStringLiteral("^no se requiere (ninguna )?intervención estructural\\b"));
    static const QRegularExpression pideRefuerzo =
        Patron(QStringLiteral("\\b(se requiere refuerzo|ejecutar el refuerzo|reforzar la estructura)\\b"));
    // The repair of a building left to the soil's engineer.
    static const QRegularExpression geotecnicoRepara =
        Patron(QStringLiteral("\\bun ingeniero geotécnico (defina|dirija|diseñe) (las )?reparaciones\\b"));
    // Cracks hidden and watched at once.
    static const QRegularExpression taparGrietas =
        Patron(QStringLiteral("\\b(cubrir|tapar|rellenar|sellar) las grietas\\b"));
    static const QRegularExpression vigilarGrietas =
        Patron(QStringLiteral("\\b(vigilar|observar|medir)\\b[^.;]*\\bgrietas\\b|\\bavance de las grietas\\b"));
    // "el edificio y el sitio pueden ... o si debe ...": the second verb has
    // lost its subject.
    static const QRegularExpression sujetoPerdido =
        Patron(QStringLiteral("\\bel \\w+ y el \\w+ pueden [^.;]*\\bo si debe\\b"));
    static const QRegularExpression separado = Patron(QStringLiteral("\\bsismo resistentes?\\b"));

    QStringList halladas;
    for (const auto &[codigo, texto] : mostrados) {
        auto falla = [&](const QString &que) { halladas << codigo.simplified() + QStringLiteral(": ") + que; };
        const QStringList frases = Frases(texto);
        bool caen = false, restan = false, niega = false;
        for (const QString &f : frases) {
            if (otroGrave >= 0 && sinMedidasNoEstructurales.match(f).hasMatch())
                falla(QStringLiteral("con un elemento no estructural en estado grave dice \"%1\"").arg(f));
            caen = caen || piezasQueCaen.match(f).hasMatch();
            restan = restan || restarImportancia.match(f).hasMatch();
            niega = niega || sinIntervencion.match(f).hasMatch();
        }
        if (caen && restan)
            falla(QStringLiteral("resta importancia a piezas que pueden caer"));
        if (niega && pideRefuerzo.match(texto).hasMatch())
            falla(QStringLiteral("dice que no se requiere intervención estructural y pide refuerzo"));
        if (geotecnicoRepara.match(texto).hasMatch())
            falla(QStringLiteral("deja las reparaciones del edificio al ingeniero geotécnico"));
        if (taparGrietas.match(texto).hasMatch() && vigilarGrietas.match(texto).hasMatch())
            falla(QStringLiteral("pide tapar las grietas que pide vigilar"));
        if (sujetoPerdido.match(texto).hasMatch())
            falla(QStringLiteral("el segundo verbo pierde su sujeto: %1").arg(sujetoPerdido.match(texto).captured()));
        if (separado.match(texto).hasMatch())
            falla(QStringLiteral("escribe \"sismo resistente\""));
    }
    // The safety measures shown must name the element rated grave.
    if (otroGrave >= 0 && !mostrados.isEmpty() && !NombreOtro[otroGrave].match(mostrados.last().texto).hasMatch())
        halladas << mostrados.last().codigo.simplified() +
                        QStringLiteral(": no dice qué hacer con el elemento en estado grave (%1)")
                            .arg(NombreOtro[otroGrave].pattern());
    return halladas;
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

// A concrete frame with its structure, its non-structural walls and stairs,
// its soil and its pre-existing conditions each rated at one level, and at
// most one of the other non-structural elements rated Severo. A category
// declared not relevant (`caso`) keeps its ratings, as an evaluator may have
// rated it before declaring it so.
EstadoEvaluacion Estado(int estructural, int noEstructural, int suelo, int preexistente, int otroGrave,
                        int16_t caso = 0)
{
    Fixture::Calificaciones c;
    for (int codigo : {Vigas, Columnas, Nudos, Entrepiso})
        c << qMakePair(codigo, estructural);
    for (int codigo : {MurosDivisorios, MurosFachada, Escaleras})
        c << qMakePair(codigo, noEstructural);
    for (int codigo : {Taludes, AsentamientoLicuacion})
        c << qMakePair(codigo, suelo);
    for (int codigo : {CalidadMateriales, IrregularidadPlanta, IrregularidadAltura, ConfiguracionEstructural})
        c << qMakePair(codigo, preexistente);
    EstadoEvaluacion e = Fixture::Estado(0, c, caso);
    if (otroGrave >= 0) {
        e.OtrosElegidos = 1;
        e.OtrosNoEstructurales[0] = {static_cast<int16_t>(otroGrave), 4};
        e.UltimoOtro = 0;
    }
    return e;
}

// Prints every finding and fails when there is one.
void NingunHallazgo(const QSet<QString> &hallazgos, const char *que)
{
    QStringList lista(hallazgos.begin(), hallazgos.end());
    lista.sort();
    for (const QString &h : lista)
        qWarning().noquote() << h;
    QVERIFY2(lista.isEmpty(), qPrintable(QStringLiteral("%1 %2 (arriba)").arg(lista.size()).arg(QString::fromUtf8(que))));
}

}  // namespace

class PruebaComentariosMostrados : public QObject {
    Q_OBJECT

    TablasPesos pesos_;
    TablasComentarios comentarios_;

    // Evaluates `e` as the results form does and returns the five texts shown.
    QList<Mostrado> Evaluar(EstadoEvaluacion &e, int anno)
    {
        MarcarNoRelevantes(e, e.CasoRelevancia);
        EtiquetasResultados et;
        EvaluarEdificacion(e, pesos_, comentarios_, anno, et);
        return {{e.CodDannoEdificio, et.lblComDaEdificio},
                {e.CodEstadoGlobal, et.lblComEstGlobal},
                {e.CodHabitabilidad, et.lblComHabitabilidad},
                {e.CodReparabilidad + QLatin1Char(' ') + e.CodRefAnno, et.lblComReparaciones},
                {e.CodMedidasSeguridad, et.lblComSeguridad}};
    }

private slots:
    void initTestCase()
    {
        Prueba::Preparar();
        pesos_ = LeerTablasPesos(QDir(Prueba::CarpetaDatos()).filePath(QStringLiteral("ORV.sqlite")));
        comentarios_ = LeerTablasComentarios(RutasDatos::archivoComentarios());
    }

    // Each rule finds its fault in a short text and lets the sound wording pass.
    void reglas_data()
    {
        QTest::addColumn<QString>("texto");
        QTest::addColumn<int>("otroGrave");
        QTest::addColumn<bool>("contradice");
        const QString cubierta = QStringLiteral(" Acordone el área bajo la cubierta.");
        QTest::newRow("no estructurales sin medidas")
            << QStringLiteral("En cambio, los elementos no estructurales no exigen medidas.") + cubierta << 2 << true;
        QTest::newRow("sin elemento grave") << QStringLiteral("Los elementos no estructurales no exigen medidas.") << -1
                                            << false;
        QTest::newRow("muros sin medidas")
            << QStringLiteral("Los muros y las fachadas no exigen medidas; sí los otros elementos no estructurales.") +
                   cubierta
            << 2 << false;
        QTest::newRow("calla el elemento grave") << QStringLiteral("Los muros no exigen medidas.") << 3 << true;
        QTest::newRow("piezas que caen, precauciones")
            << QStringLiteral("El daño no estructural es fuerte: parapetos que pueden caer. Bastan algunas precauciones.")
            << -1 << true;
        QTest::newRow("piezas que caen, cerrar el paso")
            << QStringLiteral("El daño no estructural es fuerte: parapetos que pueden caer. Cierre el paso.") << -1
            << false;
        QTest::newRow("sin intervención y refuerzo")
            << QStringLiteral("No se requiere intervención estructural. Se recomienda ejecutar el refuerzo.") << -1
            << true;
        QTest::newRow("el sismo no la pide")
            << QStringLiteral("El daño del sismo no requiere intervención estructural. Se recomienda ejecutar el "
                              "refuerzo.")
            << -1 << false;
        QTest::newRow("geotécnico repara")
            << QStringLiteral("Hasta que un ingeniero geotécnico defina las reparaciones.") << -1 << true;
        QTest::newRow("tapar y vigilar")
            << QStringLiteral("Hay que cubrir las grietas del suelo y vigilar el avance de las grietas.") << -1 << true;
        QTest::newRow("marcar y vigilar")
            << QStringLiteral("Hay que marcar las grietas del suelo para vigilar su avance.") << -1 << false;
        QTest::newRow("sujeto perdido")
            << QStringLiteral("Decidirá si el edificio y el sitio pueden rehabilitarse o si debe demolerse.") << -1
            << true;
        QTest::newRow("sismo resistente") << QStringLiteral("Las normas sismo resistentes.") << -1 << true;
        QTest::newRow("sismorresistente") << QStringLiteral("Las normas sismorresistentes.") << -1 << false;
    }
    void reglas()
    {
        QFETCH(QString, texto);
        QFETCH(int, otroGrave);
        QFETCH(bool, contradice);
        const QStringList halladas = Contradicciones({{QStringLiteral("X"), texto}}, otroGrave);
        QVERIFY2(halladas.isEmpty() != contradice, qPrintable(halladas.join(u'\n')));
    }

    // A spread of evaluations through the engine and the result
    // classification, with and without one other element rated Severo and
    // with every construction period: no text shown contradicts the others
    // or the ratings.
    void ningunComentarioSeContradice()
    {
        QSet<QString> contradicciones;
        QSet<QString> codigos;
        for (int s = 0; s <= 4; ++s)
            for (int n = 0; n <= 4; ++n)
                for (int g = 0; g <= 4; ++g)
                    for (int p : {0, 2, 4})
                        for (int otro = -1; otro <= 3; ++otro)
                            for (int anno = 0; anno <= 3; ++anno) {
                                EstadoEvaluacion e = Estado(s, n, g, p, otro);
                                const QList<Mostrado> mostrados = Evaluar(e, anno);
                                for (const Mostrado &m : mostrados) {
                                    QVERIFY2(!m.texto.isEmpty(), qPrintable(m.codigo));
                                    codigos.insert(m.codigo.simplified());
                                }
                                for (const QString &c : Contradicciones(mostrados, otro))
                                    contradicciones.insert(c);
                            }
        // The spread reaches the codes whose texts were at fault once.
        for (const char *codigo : {"MS 200", "MS 020", "MS 003", "MS 404", "MS 022", "MS 122", "MSOA 002",
                                   "MSOA 102", "DE 02", "DE 03", "DE 04", "DE 13", "DE 14", "EE 42", "EE 44",
                                   "R 00 RANNO0", "R 10 RANNO1", "ROA 00 RANNO2", "ROA 10 RANNO0"})
            QVERIFY2(codigos.contains(QString::fromUtf8(codigo)), codigo);

        NingunHallazgo(contradicciones, "contradicciones en los comentarios mostrados");
    }

    // Afirmaciones tells a statement from a report or a hypothesis.
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
                    for (int condiciones : {0, 2, 4})
                        for (int otro : {-1, int(Cubierta)})
                            for (int anno = 0; anno <= 3; ++anno) {
                                EstadoEvaluacion e = Estado(s, n, condiciones, condiciones, otro, caso);
                                evaluacionesNoAplica += Revisar(e, anno, contradicciones);
                            }
            QVERIFY2(evaluacionesNoAplica > 0, qPrintable(QStringLiteral("caso %1").arg(caso)));
        }
        NingunHallazgo(contradicciones, "frases de los comentarios afirman lo que nadie observó");
    }

private:
    // Evaluates; adds "code (category): sentence" for every statement about a
    // category shown as "No Aplica". True when some category was.
    bool Revisar(EstadoEvaluacion &e, int anno, QSet<QString> &contradicciones)
    {
        const QList<Mostrado> mostrados = Evaluar(e, anno);
        const QString noAplica = QStringLiteral("No Aplica");
        QList<QPair<QString, const QRegularExpression *>> temas;
        if (e.TextoSuelo == noAplica)
            temas.append({QStringLiteral("suelo"), &TemaSuelo});
        if (e.TextoPreexistente == noAplica)
            temas.append({QStringLiteral("condiciones preexistentes"), &TemaPreexistente});
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

QTEST_GUILESS_MAIN(PruebaComentariosMostrados)
#include "comments_contradictions_test.moc"
