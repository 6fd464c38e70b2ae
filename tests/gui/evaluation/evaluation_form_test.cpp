// The evaluation form through its widgets: load and reset, structural systems,
// check boxes, folder navigation, element buttons and the evaluate command.

#include "gui/common/message_box.h"
#include "gui/common/widget_support.h"
#include "core/engine/evaluation_driver.h"
#include "gui/evaluation/element_dispatch.h"
#include "gui/evaluation/evaluation_form.h"
#include "gui/evaluation/wrapping_button.h"
#include "core/evaluation/evaluate_check.h"
#include "core/evaluation/storey_check.h"
#include "core/catalog/photo_keys.h"
#include "gui/rating/rating_helpers.h"
#include "core/registry/registry_fields.h"
#include "support/gui_test_support.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QSet>
#include <QTabWidget>
#include <QTest>

using Calificacion::Clic;
using Mensaje::Respuesta;

namespace {
void Elegir(QComboBox *cbo, const QString &texto)
{
    const int i = cbo->findText(texto);
    QVERIFY2(i >= 0, qPrintable(texto));
    cbo->setCurrentIndex(i);
}

// Types the storeys, basements, total and storey of greatest damage.
void EscribirPisos(Form1 &f, const QStringList &pisos)
{
    const char *const cajas[] = {"txtNPisos", "txtNSotanos", "txtPisosTotal", "txtPMayorDanno"};
    for (int i = 0; i < 4; ++i) {
        auto *e = f.findChild<QLineEdit *>(QString::fromLatin1(cajas[i]));
        QVERIFY(e);
        e->clear();
        QTest::keyClicks(e, pisos[i]);
    }
}

// Accepts the rating dialog that the next click opens.
void AceptarDialogo()
{
    Prueba::AlAbrirseModal([](QWidget *w) {
        if (w->objectName() == QLatin1String("Form5"))  // it reports the level it derived
            Mensaje::encolarRespuesta(Respuesta::Aceptar);
        Clic(w, QStringLiteral("btnAceptar"));
    });
}
}  // namespace

class PruebaFormularioEvaluacion : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { Prueba::PrepararFormularios(); }
    void init() { Mensaje::limpiar(); }
    void cleanup() { QVERIFY2(Mensaje::inesperados().isEmpty(), qPrintable(Mensaje::inesperados().join('\n'))); }

    // A new evaluation starts from nothing the previous building left.
    void nuevaEvaluacionEmpiezaVacia()
    {
        EstadoEvaluacion estado;
        estado.UltimaVariable = 7;
        estado.Variables[3].Codigo = 5;
        estado.NivelesCualitativos.fill(3);
        estado.TipoEstructura = 6;
        Form1 f(estado);
        QCOMPARE((QList<int>{estado.UltimaVariable, estado.UltimoOtro, estado.VariableActual, estado.OtroActual}),
                 (QList<int>{-1, -1, -1, -1}));
        for (const auto &v : estado.Variables)
            QVERIFY(v.Codigo == -1 && v.Nivel == 0);
        // The other elements' copies are cleared as well: no record carries the previous building.
        QVERIFY(estado.NivelesCualitativos == decltype(estado.NivelesCualitativos){});
        // The system of the previous evaluation stays until a system is chosen.
        QCOMPARE(estado.TipoEstructura, int16_t(6));

        QCOMPARE(f.findChild<QTabWidget *>(QStringLiteral("MPNuevo"))->currentIndex(), 0);
        QCOMPARE(f.findChild<QComboBox *>(QStringLiteral("cboTipoEstructura"))->currentText(), QString());
        for (const ElementoBoton &e : ElementosBoton())
            if (e.carpeta == 1)
                QVERIFY2(f.Boton(e.boton)->isHidden(), e.boton);
    }

    // Every system, chosen after another one, shows exactly the structural
    // buttons of the elements its evaluation takes, and the floor system; a
    // rating given under an earlier system is kept.
    void cadaSistemaMuestraSusBotones()
    {
        EstadoEvaluacion estado;
        Form1 f(estado);
        auto *cbo = f.findChild<QComboBox *>(QStringLiteral("cboTipoEstructura"));
        Elegir(cbo, "Pórticos en concreto reforzado");
        AceptarDialogo();
        Clic(&f, "btnVigas");
        QVERIFY(Prueba::ModalAtendido());
        QSet<int> sistemas;
        for (int i = 0; i < cbo->count(); ++i) {
            cbo->setCurrentIndex(i);
            sistemas << estado.TipoEstructura;
            const QList<int16_t> elementos = ElementosEstructuralesDelSistema(estado.TipoEstructura);
            QVERIFY(!elementos.isEmpty());
            for (const ElementoBoton &e : ElementosBoton())
                if (e.carpeta == 1)
                    QVERIFY2(f.Boton(e.boton)->isHidden() == (e.codigo != Entrepiso && !elementos.contains(e.codigo)),
                             qPrintable(cbo->currentText() + ": " + e.boton));
        }
        QCOMPARE(sistemas.size(), 15);
        QCOMPARE(estado.UltimaVariable, int16_t(0));
        QCOMPARE(estado.Variables[0].Codigo, int16_t(Vigas));
    }

    void casillasDeRelevancia()
    {
        EstadoEvaluacion estado;
        Form1 f(estado);
        auto *c1 = f.findChild<QCheckBox *>(QStringLiteral("Check1"));
        auto *c2 = f.findChild<QCheckBox *>(QStringLiteral("Check2"));
        auto *c3 = f.findChild<QCheckBox *>(QStringLiteral("Check3"));
        const QStringList preex = {"btnCalidad", "btnIrregularidadPlanta", "btnIrregularidadAltura", "btnConfiguracion", "btnEvaPreexCalib"};
        const QStringList suelo = {"btnDeslizamGrietas", "btnAsentamLicuac", "btnEvaSueloCalib"};
        f.MPNuevo()->setCurrentIndex(4);
        f.show();
        QTest::mouseClick(c2, Qt::LeftButton, {}, QPoint(5, c2->height() / 2));
        QVERIFY(c2->isChecked() && !c1->isChecked());
        for (const QString &b : preex)
            QVERIFY2(!f.Boton(b)->isEnabled(), qPrintable(b));
        for (const QString &b : suelo)
            QVERIFY(f.Boton(b)->isEnabled());
        c3->setChecked(true);  // a change from code behaves as a click
        for (const QString &b : suelo)
            QVERIFY(!f.Boton(b)->isEnabled());
        c2->setChecked(false);
        for (const QString &b : preex)
            QVERIFY(f.Boton(b)->isEnabled());
        c2->setChecked(true);
        estado.CasoRelevancia = 3;
        c1->setChecked(true);
        for (const QString &b : preex + suelo)
            QVERIFY(f.Boton(b)->isEnabled());
        QVERIFY(c2->isChecked() && c3->isChecked());
        QCOMPARE(estado.CasoRelevancia, int16_t(0));
        // A disabled button cannot be pressed.
        c2->setChecked(false);
        c2->setChecked(true);
        QVERIFY(!f.Boton("btnCalidad")->isEnabled());
        QTest::mouseClick(f.Boton("btnCalidad"), Qt::LeftButton);
        QCOMPARE(estado.UltimaVariable, int16_t(-1));
    }

    void navegacionEntreCarpetas()
    {
        EstadoEvaluacion estado;
        Form1 f(estado);
        const QList<QPair<QString, int>> pasos = {{"Command1", 1}, {"Command4", 2}, {"Command6", 3}, {"Command8", 4},
                                                  {"Command2", 3}, {"Command9", 2}, {"Command7", 1}, {"Command5", 0}};
        f.show();
        for (const auto &[boton, carpeta] : pasos) {
            Clic(&f, boton);
            QCOMPARE(f.MPNuevo()->currentIndex(), carpeta);
        }
    }

    // Element captions are painted as written: their blanks kept, and the
    // long run of blanks of the other-elements caption starts a new line.
    void leyendasComoSeEscribieron()
    {
        EstadoEvaluacion estado;
        Form1 f(estado);
        f.show();
        auto lineas = [&f](const char *nombre) {
            auto *b = dynamic_cast<BotonEnvolvente *>(f.Boton(QString::fromLatin1(nombre)));
            return b ? b->lineas() : QStringList{QStringLiteral("(sin botón)")};
        };
        QCOMPARE(lineas("btnOtrosArquitectonicos"), (QStringList{"  Evaluar otros elementos", "No Estructurales"}));
        // The slopes' caption: its lines hold all its words, and its double blank stays or breaks the line.
        const QStringList taludes = lineas("btnDeslizamGrietas");
        const QString leyenda = f.Boton(QStringLiteral("btnDeslizamGrietas"))->text(), unidas = taludes.join(QLatin1Char('|'));
        QVERIFY(leyenda.contains(QStringLiteral("y  Movimientos")));
        QCOMPARE(taludes.join(QLatin1Char(' ')).simplified(), leyenda.simplified());
        QVERIFY2(unidas.contains(QStringLiteral("y  Movimientos")) || unidas.contains(QStringLiteral("y|Movimientos")), qPrintable(unidas));
    }

    // A first rating closed without "Aceptar" gives its slot back; the next
    // first rating takes it.
    void dialogoCerradoLiberaLaReserva()
    {
        EstadoEvaluacion estado;
        Form1 f(estado);
        Elegir(f.findChild<QComboBox *>(QStringLiteral("cboTipoEstructura")), "Pórticos en concreto reforzado");
        f.show();
        f.MPNuevo()->setCurrentIndex(1);
        AceptarDialogo();
        Clic(&f, "btnColumnas");
        Prueba::AlAbrirseModal([](QWidget *w) { w->close(); });
        Clic(&f, "btnNudos");
        QVERIFY(Prueba::ModalAtendido());
        QCOMPARE((QList<int>{estado.UltimaVariable, estado.Variables[1].Codigo}), (QList<int>{0, -1}));
        QVERIFY(!EsNegrita(f.Boton("btnNudos")));  // visited, even without a rating
        AceptarDialogo();
        Clic(&f, "btnEntrepiso");
        QCOMPARE((QList<int>{estado.UltimaVariable, estado.Variables[1].Codigo}), (QList<int>{1, 13}));
    }

    void cadaBotonDeElemento_data()
    {
        QTest::addColumn<QString>("boton");
        QTest::addColumn<QString>("sistema");
        QTest::addColumn<bool>("otro");
        QTest::addColumn<int>("codigo");
        const QString c = "Pórticos en concreto reforzado";
        QTest::newRow("btnColumnas") << "btnColumnas" << c << false << 1;
        QTest::newRow("btnMuros") << "btnMuros" << "Sistema Dual" << false << 3;
        QTest::newRow("btnBahareque tapia") << "btnBahareque" << "Muros en tapia o adobe" << false << 6;
        QTest::newRow("btnUnionAcero") << "btnUnionAcero" << "Pórticos en acero no arriostrados" << false << 9;
        // The floor system and every qualitative element, whose caption must name the field its level is stored in.
        for (const ElementoBoton &e : ElementosBoton())
            if (e.otro || e.codigo >= Entrepiso)
                QTest::newRow(e.boton) << QString::fromLatin1(e.boton) << c << e.otro << int(e.codigo);
    }

    // An element button: the dialog it opens, the slot it reserves, its photo
    // key, the question on a second press with both answers; a qualitative
    // element's level lands in the registry field whose label is the caption.
    void cadaBotonDeElemento()
    {
        QFETCH(QString, boton);
        QFETCH(QString, sistema);
        QFETCH(bool, otro);
        QFETCH(int, codigo);
        EstadoEvaluacion estado;
        Form1 f(estado);
        f.show();
        Elegir(f.findChild<QComboBox *>(QStringLiteral("cboTipoEstructura")), sistema);
        // The other elements: declined they stay hidden, accepted they show.
        Mensaje::encolarRespuesta(Respuesta::Cancelar);
        f.btnOtrosArquitectonicos_Click();
        QVERIFY(estado.OtrosElegidos == 0 && f.Boton("btnCieloLumin")->isHidden() && !f.Boton("btnOtrosArquitectonicos")->isHidden());
        Mensaje::encolarRespuesta(Respuesta::Aceptar);
        f.btnOtrosArquitectonicos_Click();
        QVERIFY(estado.OtrosElegidos == 1 && f.Boton("btnOtrosArquitectonicos")->isHidden());
        QPushButton *b = f.Boton(boton);
        f.MPNuevo()->setCurrentIndex(BuscarElementoBoton(boton)->carpeta);
        QVERIFY(b->isVisible());
        QVERIFY(EsNegrita(b));
        // A rated variable first, so the new rating takes the second slot.
        if (!otro) {
            estado.UltimaVariable = 0;
            estado.Variables[0].Codigo = codigo == 14 ? 15 : 14;
        }

        QString dialogo;
        auto aceptar = [&](QWidget *w) {
            dialogo = w->objectName();
            if (dialogo == QLatin1String("Form5"))
                Mensaje::encolarRespuesta(Respuesta::Aceptar);
            else
                w->findChild<QRadioButton *>(QStringLiteral("Option1(3)"))->setChecked(true);
            w->findChild<QPushButton *>(QStringLiteral("btnAceptar"))->click();
        };
        estado.NivelesCualitativos.fill(0);
        Prueba::AlAbrirseModal(aceptar);
        QTest::mouseClick(b, Qt::LeftButton);
        QVERIFY(Prueba::ModalAtendido());
        QCOMPARE(dialogo, QString(codigo <= 13 && !otro ? "Form5" : "Form9"));
        QVERIFY(!EsNegrita(b));
        // A key of the photo tables with its prefix, no other button's; walls of tapia take their own.
        static QSet<QString> claves;
        QVERIFY2(!PrefijoDeClave(estado.CarpetaFoto).isEmpty() && !claves.contains(estado.CarpetaFoto), qPrintable(estado.CarpetaFoto));
        claves << estado.CarpetaFoto;
        QCOMPARE(estado.PrefijoFoto, PrefijoDeClave(estado.CarpetaFoto));
        QVERIFY(boton != QLatin1String("btnBahareque") || estado.CarpetaFoto == QLatin1String("Tapia"));
        // Current element, last and current record of its table, and the code stored there.
        QCOMPARE((QList<int>{estado.VariableActual, estado.OtroActual, otro ? estado.UltimoOtro : estado.UltimaVariable,
                             otro ? estado.IndiceOtro : estado.IndiceVariable,
                             otro ? estado.OtrosNoEstructurales[0].Codigo : estado.Variables[1].Codigo}),
                 (QList<int>{otro ? -1 : codigo, otro ? codigo : -1, otro ? 0 : 1, otro ? 0 : 1, codigo}));
        if (dialogo == QLatin1String("Form9")) {
            const auto *nivel = std::find(estado.NivelesCualitativos.begin(), estado.NivelesCualitativos.end(), 3);
            QVERIFY(nivel != estado.NivelesCualitativos.end());
            const int posicion = RegistroEvaluaciones::Pos::PrimerCualitativo +
                                 int(nivel - estado.NivelesCualitativos.begin());
            QCOMPARE(RegistroEvaluaciones::Campo(posicion).etiqueta, b->text().simplified());
        }

        // Second press: No opens nothing and changes nothing.
        const auto antes = estado.Variables;
        Mensaje::limpiar();
        Mensaje::encolarRespuesta(Respuesta::No);
        QTest::mouseClick(b, Qt::LeftButton);
        QCOMPARE(Mensaje::textosMostrados().size(), 1);
        QCOMPARE(otro ? estado.UltimoOtro : estado.UltimaVariable, int16_t(otro ? 0 : 1));
        for (int i = 0; i < NumVariables; ++i)
            QCOMPARE(estado.Variables[i].Codigo, antes[i].Codigo);

        // Yes opens the dialog on the same slot.
        Mensaje::encolarRespuesta(Respuesta::Si);
        Prueba::AlAbrirseModal(aceptar);
        QTest::mouseClick(b, Qt::LeftButton);
        QVERIFY(Prueba::ModalAtendido());
        QCOMPARE(otro ? estado.IndiceOtro : estado.IndiceVariable, int16_t(otro ? 0 : 1));
        QCOMPARE(otro ? estado.UltimoOtro : estado.UltimaVariable, int16_t(otro ? 0 : 1));
    }

    // The storeys' check alone: its bounds, the sum and the storey of greatest damage.
    void revisionDePisos()
    {
        const std::pair<QStringList, const char *> casos[] = {  // NP, NS, PT, PMD; how the message starts
            {{"5", "1", "6", "2"}, ""}, {{" 5 ", "0", "5", "5"}, ""}, {{"5", "0", "5", "0"}, "Ingrese correctamente"},
            {{"2.5", "0", "2.5", "1"}, "Ingrese correctamente"}, {{"201", "0", "201", "1"}, "Ingrese correctamente"},
            {{"5", "51", "56", "1"}, "Ingrese correctamente"}, {{"5", "", "6", "1"}, "Ingrese correctamente el número de pisos"},
            {{"5", "0", "6", "1"}, "El número total de pisos debe ser igual"}, {{"5", "1", "6", "7"}, "Corrija los valores"}};
        for (const auto &[p, comienzo] : casos) {
            const QString m = RevisarPisos(p[0], p[1], p[2], p[3]);
            QVERIFY2(*comienzo ? m.startsWith(QString::fromUtf8(comienzo)) : m.isEmpty(), qPrintable(p.join(',') + ": " + m));
        }
    }

    // "Evaluar" stops at the building data with its messages in order, and
    // records the building's options even so.
    void evaluarMuestraLosMensajesEnOrden()
    {
        struct Caso {
            QStringList pisos;  // NP, NS, PT, PMD
            bool listas;
            QStringList comienzos;
        };
        using namespace TextosEvaluar;
        const Caso casos[] = {{{"5", "1", "6", "7"}, true, {"Corrija los valores de número total de pisos", Incompleta}},
                              {{"5", "1", "6", "1"}, false, {FaltanListas, Incompleta}},
                              {{"5", "1", "7", "1"}, false, {"El número total", FaltanListas, Incompleta}},
                              {{"5", "1", "6", "1"}, true, {FaltanCalificaciones}}};
        for (const auto &[pisos, listas, comienzos] : casos) {
            Mensaje::limpiar();
            EstadoEvaluacion estado;
            Form1 f(estado);
            EscribirPisos(f, pisos);
            Elegir(f.findChild<QComboBox *>(QStringLiteral("cboTipoEstructura")), listas ? "Pórticos en concreto reforzado" : "Sistema Dual");
            if (listas) {
                Elegir(f.findChild<QComboBox *>(QStringLiteral("cboCubierta")), "Teja de barro");
                Elegir(f.findChild<QComboBox *>(QStringLiteral("cboEntrepiso")), "Placa maciza");
            }
            for (int i = 0; i < comienzos.size(); ++i)
                Mensaje::encolarRespuesta(Respuesta::Aceptar);
            f.show();
            Clic(&f, "btnMenu(0)");
            const QStringList vistos = Mensaje::textosMostrados();
            QCOMPARE(vistos.size(), comienzos.size());
            for (int i = 0; i < vistos.size(); ++i)
                QVERIFY2(vistos[i].startsWith(comienzos[i]), qPrintable(vistos[i]));
            if (vistos.last() == TextosEvaluar::Incompleta)
                QCOMPARE(Mensaje::mostrados().last().titulo, TextosEvaluar::TituloIncompleta);
            if (comienzos.first().startsWith(QStringLiteral("Corrija")))
                QVERIFY(vistos.first().contains(QStringLiteral("siempre \ndebe ser")));
            QVERIFY(f.isVisible());
            // The building data of a press were recorded even though it stopped.
            QCOMPARE((QStringList{estado.Localizacion, estado.AnnoConstruccion, estado.Inspeccion, estado.EstabilidadEvaluador}),
                     (QStringList{"Esquina", "Antes de 1950", "Exterior solamente", "Bajo"}));
        }
    }

    void relevanciaAlEvaluar()
    {
        EstadoEvaluacion estado;
        Form1 f(estado);
        auto *c1 = f.findChild<QCheckBox *>(QStringLiteral("Check1"));
        f.findChild<QCheckBox *>(QStringLiteral("Check2"))->setChecked(true);
        f.findChild<QCheckBox *>(QStringLiteral("Check3"))->setChecked(true);
        EscribirPisos(f, {"2", "0", "2", "1"});
        Elegir(f.findChild<QComboBox *>(QStringLiteral("cboTipoEstructura")), "Mampostería confinada");
        Elegir(f.findChild<QComboBox *>(QStringLiteral("cboCubierta")), "Otros");
        Elegir(f.findChild<QComboBox *>(QStringLiteral("cboEntrepiso")), "Otros");
        Mensaje::encolarRespuesta(Respuesta::Aceptar);
        f.btnMenu_Click(0);
        QCOMPARE(Mensaje::textosMostrados(), QStringList{TextosEvaluar::FaltanCalificaciones});
        // Both categories out, Check1 clear, and placeholders for codes 17..22 after the (empty) table.
        QCOMPARE((QList<int>{estado.InfoNoRelevante, estado.CasoRelevancia, c1->isChecked(), estado.Variables[0].Codigo,
                             estado.Variables[5].Codigo, estado.UltimaVariable}),
                 (QList<int>{3, 3, 0, 17, 22, -1}));
    }

    void cancelarPregunta()
    {
        EstadoEvaluacion estado;
        Form1 f(estado);
        f.show();
        EscribirPisos(f, {"3", "", "", ""});
        // "Cancelar", the close box and Escape ask the same question; No keeps the form.
        for (int via = 0; via < 3; ++via) {
            Mensaje::encolarRespuesta(Respuesta::No);
            via == 0 ? Clic(&f, "btnMenu(1)") : via == 1 ? void(f.close()) : QTest::keyClick(&f, Qt::Key_Escape);
            QVERIFY(f.isVisible());
        }
        const QStringList preguntas = Mensaje::textosMostrados();
        QCOMPARE(preguntas.size(), 3);
        QCOMPARE(QSet<QString>(preguntas.begin(), preguntas.end()).size(), 1);
        QCOMPARE(f.findChild<QLineEdit *>(QStringLiteral("txtNPisos"))->text(), QStringLiteral("3"));
        Mensaje::encolarRespuesta(Respuesta::Si);
        Clic(&f, "btnMenu(1)");
        QVERIFY(!f.isVisible());
        QCOMPARE(f.result(), int(QDialog::Rejected));
    }
};

QTEST_MAIN(PruebaFormularioEvaluacion)
#include "evaluation_form_test.moc"
