// The evaluation form through its widgets: load and reset, structural systems,
// check boxes, folder navigation, element buttons and the evaluate command.

#include "app/message_box.h"
#include "app/widget_support.h"
#include "engine/evaluation_driver.h"
#include "evaluation/element_dispatch.h"
#include "evaluation/evaluation_form.h"
#include "evaluation/wrapping_button.h"
#include "evaluation/storey_check.h"
#include "rating/photo_keys.h"
#include "registry/registry_fields.h"
#include "test_support.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QSet>
#include <QTabWidget>
#include <QTest>

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

void Pulsar(Form1 &f, const QString &nombre)
{
    auto *b = f.findChild<QPushButton *>(nombre);
    QVERIFY2(b, qPrintable(nombre));
    QTest::mouseClick(b, Qt::LeftButton);
}

// Accepts the rating dialog that the next click opens.
void AceptarDialogo()
{
    Prueba::AlAbrirseModal([](QWidget *w) {
        auto *b = w->findChild<QPushButton *>(QStringLiteral("btnAceptar"));
        QVERIFY(b);
        // The proportion form reports the level it derived.
        if (w->objectName() == QLatin1String("Form5"))
            Mensaje::encolarRespuesta(Respuesta::Aceptar);
        b->click();
    });
}

void CerrarDialogo()
{
    Prueba::AlAbrirseModal([](QWidget *w) { w->close(); });
}
}  // namespace

class PruebaFormularioEvaluacion : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { Prueba::Preparar(); }
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
        for (const auto &v : estado.Variables) {
            QCOMPARE(v.Codigo, int16_t(-1));
            QCOMPARE(v.Nivel, int16_t(0));
        }
        // The other elements' copies are cleared as well: no record carries the previous building.
        for (int16_t n : estado.NivelesCualitativos)
            QCOMPARE(n, int16_t(0));
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
        Pulsar(f, "btnVigas");
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
        QVERIFY(c2->isChecked());
        QVERIFY(!c1->isChecked());
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
        QVERIFY(c2->isChecked());
        QVERIFY(c3->isChecked());
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
            Pulsar(f, boton);
            QCOMPARE(f.MPNuevo()->currentIndex(), carpeta);
        }
    }

    // Declining the other elements leaves them hidden; accepting is walked by cadaBotonDeElemento.
    void otrosElementosRechazados()
    {
        EstadoEvaluacion estado;
        Form1 f(estado);
        Mensaje::encolarRespuesta(Respuesta::Cancelar);
        f.btnOtrosArquitectonicos_Click();
        QCOMPARE(estado.OtrosElegidos, int16_t(0));
        QVERIFY(f.Boton("btnCieloLumin")->isHidden() && !f.Boton("btnOtrosArquitectonicos")->isHidden());
        QCOMPARE(Mensaje::textosMostrados().size(), 1);
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
        const QStringList taludes = lineas("btnDeslizamGrietas");
        const QString leyenda = f.Boton(QStringLiteral("btnDeslizamGrietas"))->text();
        QVERIFY(leyenda.contains(QStringLiteral("y  Movimientos")));
        // Each line is a piece of the caption as written, and together they hold all of its words.
        for (const QString &linea : taludes)
            QVERIFY2(leyenda.contains(linea), qPrintable(linea));
        QCOMPARE(taludes.join(QLatin1Char(' ')).simplified(), leyenda.simplified());
        QVERIFY(taludes.join(QLatin1Char('|')).contains(QStringLiteral("y  Movimientos"))
                || taludes.join(QLatin1Char('|')).contains(QStringLiteral("y|Movimientos")));
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
        Pulsar(f, "btnColumnas");
        CerrarDialogo();
        Pulsar(f, "btnNudos");
        QVERIFY(Prueba::ModalAtendido());
        QCOMPARE(estado.UltimaVariable, int16_t(0));
        QCOMPARE(estado.Variables[1].Codigo, int16_t(-1));
        QVERIFY(!EsNegrita(f.Boton("btnNudos")));  // visited, even without a rating
        AceptarDialogo();
        Pulsar(f, "btnEntrepiso");
        QCOMPARE(estado.Variables[1].Codigo, int16_t(13));
        QCOMPARE(estado.UltimaVariable, int16_t(1));
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
        Mensaje::encolarRespuesta(Respuesta::Aceptar);
        f.btnOtrosArquitectonicos_Click();
        QVERIFY(estado.OtrosElegidos == 1 && f.Boton("btnOtrosArquitectonicos")->isHidden());
        QPushButton *b = f.Boton(boton);
        QVERIFY(!b->isHidden());
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
        if (boton == QLatin1String("btnBahareque"))
            QCOMPARE(estado.CarpetaFoto, QStringLiteral("Tapia"));
        if (otro) {
            QCOMPARE(estado.OtroActual, int16_t(codigo));
            QCOMPARE(estado.VariableActual, int16_t(-1));
            QCOMPARE(estado.UltimoOtro, int16_t(0));
            QCOMPARE(estado.OtrosNoEstructurales[0].Codigo, int16_t(codigo));
        } else {
            QCOMPARE(estado.VariableActual, int16_t(codigo));
            QCOMPARE(estado.OtroActual, int16_t(-1));
            QCOMPARE(estado.UltimaVariable, int16_t(1));
            QCOMPARE(estado.IndiceVariable, int16_t(1));
            QCOMPARE(estado.Variables[1].Codigo, int16_t(codigo));
        }
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

    void revisionDePisos_data()
    {
        QTest::addColumn<QStringList>("pisos");  // NP, NS, PT, PMD
        QTest::addColumn<QString>("comienzo");
        // The three messages themselves are walked through "Evaluar" below; here the bounds.
        QTest::newRow("valido") << QStringList{"5", "1", "6", "2"} << QString();
        QTest::newRow("mayor danno cero") << QStringList{"5", "0", "5", "0"} << "Ingrese correctamente";
        QTest::newRow("decimal") << QStringList{"2.5", "0", "2.5", "1"} << "Ingrese correctamente";
        QTest::newRow("demasiados pisos") << QStringList{"201", "0", "201", "1"} << "Ingrese correctamente";
        QTest::newRow("demasiados sotanos") << QStringList{"5", "51", "56", "1"} << "Ingrese correctamente";
        QTest::newRow("espacios") << QStringList{" 5 ", "0", "5", "5"} << QString();
    }

    void revisionDePisos()
    {
        QFETCH(QStringList, pisos);
        QFETCH(QString, comienzo);
        const QString m = RevisarPisos(pisos[0], pisos[1], pisos[2], pisos[3]);
        if (comienzo.isEmpty())
            QCOMPARE(m, QString());
        else
            QVERIFY2(m.startsWith(comienzo), qPrintable(m));
    }

    void evaluarMuestraLosMensajesEnOrden_data()
    {
        QTest::addColumn<QStringList>("pisos");  // NP, NS, PT, PMD
        QTest::addColumn<bool>("listas");
        QTest::addColumn<QStringList>("comienzos");
        QTest::newRow("corrija") << QStringList{"5", "1", "6", "7"} << true
                                 << QStringList{"Corrija los valores de número total de pisos", "Información incompleta. No ha indicado"};
        QTest::newRow("suma") << QStringList{"5", "0", "6", "1"} << true
                              << QStringList{"El número total de pisos debe ser igual", "Información incompleta. No ha indicado"};
        QTest::newRow("vacio") << QStringList{"5", "", "6", "1"} << true
                               << QStringList{"Ingrese correctamente el número de pisos", "Información incompleta. No ha indicado"};
        QTest::newRow("listas") << QStringList{"5", "1", "6", "1"} << false
                                << QStringList{"No se puede evaluar una edificación", "Información incompleta. No ha indicado"};
        QTest::newRow("dos fallas") << QStringList{"5", "1", "7", "1"} << false
                                    << QStringList{"El número total", "No se puede evaluar", "Información incompleta."};
        QTest::newRow("faltan calificaciones") << QStringList{"5", "1", "6", "1"} << true
                                               << QStringList{"Ingrese toda la información. Todos los elementos no han sido calificados."};
    }

    void evaluarMuestraLosMensajesEnOrden()
    {
        QFETCH(QStringList, pisos);
        QFETCH(bool, listas);
        QFETCH(QStringList, comienzos);
        EstadoEvaluacion estado;
        Form1 f(estado);
        EscribirPisos(f, pisos);
        if (listas) {
            Elegir(f.findChild<QComboBox *>(QStringLiteral("cboTipoEstructura")), "Pórticos en concreto reforzado");
            Elegir(f.findChild<QComboBox *>(QStringLiteral("cboCubierta")), "Teja de barro");
            Elegir(f.findChild<QComboBox *>(QStringLiteral("cboEntrepiso")), "Placa maciza");
        } else {
            Elegir(f.findChild<QComboBox *>(QStringLiteral("cboTipoEstructura")), "Sistema Dual");
        }
        for (int i = 0; i < comienzos.size(); ++i)
            Mensaje::encolarRespuesta(Respuesta::Aceptar);
        f.show();
        Pulsar(f, "btnMenu(0)");
        const QStringList vistos = Mensaje::textosMostrados();
        QCOMPARE(vistos.size(), comienzos.size());
        for (int i = 0; i < vistos.size(); ++i)
            QVERIFY2(vistos[i].startsWith(comienzos[i]), qPrintable(vistos[i]));
        if (vistos.last().startsWith(QStringLiteral("Información incompleta")))
            QCOMPARE(Mensaje::mostrados().last().titulo, QStringLiteral("Información incompleta"));
        if (comienzos.first().startsWith(QStringLiteral("Corrija")))
            QVERIFY(vistos.first().contains(QStringLiteral("siempre \ndebe ser")));
        QVERIFY(f.isVisible());
        // The building data of a press were recorded even though it stopped.
        QCOMPARE(estado.Localizacion, QStringLiteral("Esquina"));
        QCOMPARE(estado.AnnoConstruccion, QStringLiteral("Antes de 1950"));
        QCOMPARE(estado.Inspeccion, QStringLiteral("Exterior solamente"));
        QCOMPARE(estado.EstabilidadEvaluador, QStringLiteral("Bajo"));
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
        QCOMPARE(Mensaje::textosMostrados(),
                 QStringList{"Ingrese toda la información. Todos los elementos no han sido calificados."});
        QCOMPARE(estado.InfoNoRelevante, int16_t(3));
        QCOMPARE(estado.CasoRelevancia, int16_t(3));
        QVERIFY(!c1->isChecked());
        // Placeholders for codes 17..22 after the (empty) table.
        QCOMPARE(estado.Variables[0].Codigo, int16_t(17));
        QCOMPARE(estado.Variables[5].Codigo, int16_t(22));
        QCOMPARE(estado.UltimaVariable, int16_t(-1));
    }

    void cancelarPregunta()
    {
        EstadoEvaluacion estado;
        Form1 f(estado);
        f.show();
        EscribirPisos(f, {"3", "", "", ""});
        // "Cancelar", the close box and Escape ask the same question; No keeps the form.
        Mensaje::encolarRespuesta(Respuesta::No);
        Pulsar(f, "btnMenu(1)");
        QVERIFY(f.isVisible());
        Mensaje::encolarRespuesta(Respuesta::No);
        f.close();
        QVERIFY(f.isVisible());
        Mensaje::encolarRespuesta(Respuesta::No);
        QTest::keyClick(&f, Qt::Key_Escape);
        QVERIFY(f.isVisible());
        const QStringList preguntas = Mensaje::textosMostrados();
        QCOMPARE(preguntas.size(), 3);
        QCOMPARE(QSet<QString>(preguntas.begin(), preguntas.end()).size(), 1);
        QCOMPARE(f.findChild<QLineEdit *>(QStringLiteral("txtNPisos"))->text(), QStringLiteral("3"));
        Mensaje::encolarRespuesta(Respuesta::Si);
        Pulsar(f, "btnMenu(1)");
        QVERIFY(!f.isVisible());
        QCOMPARE(f.result(), int(QDialog::Rejected));
    }
};

QTEST_MAIN(PruebaFormularioEvaluacion)
#include "evaluation_form_test.moc"
