// The additional information form as the evaluator meets it: its controls,
// the street-kind options and leaving it.

#include "gui/saving/form_driver.h"
#include "support/gui_test_support.h"

#include "gui/common/message_box.h"
#include "core/data/data_paths.h"

#include <QTemporaryDir>
#include <QTest>

using namespace Conducir;

class PruebaFormularioAdicional : public QObject {
    Q_OBJECT

private:
    EstadoEvaluacion estado;
    DatosEdificacion datos = Ejemplo::Datos();
    QTemporaryDir carpeta;
    std::unique_ptr<Form23> forma;
    QDateTime alAbrir;

private slots:
    void initTestCase()
    {
        Prueba::PrepararFormularios();
        QVERIFY(carpeta.isValid());
    }

    void init()
    {
        Mensaje::limpiar();
        estado = EstadoEvaluacion();
        Ejemplo::LlenarEstado(estado);
        RutasDatos::establecerArchivoRegistro(
            carpeta.filePath(QStringLiteral("%1.sqlite").arg(QTest::currentTestFunction())));
        alAbrir = QDateTime::currentDateTime();
        forma = std::make_unique<Form23>(estado, datos);
        forma->show();
        QVERIFY(QTest::qWaitForWindowExposed(forma.get()));
    }

    void cleanup()
    {
        forma.reset();
        QCOMPARE(Mensaje::respuestasPendientes(), 0);
        QVERIFY2(Mensaje::inesperados().isEmpty(), qPrintable(Mensaje::inesperados().join(QLatin1Char('\n'))));
    }

    // On opening: "Carrera" chosen with the other street boxes closed, no
    // use chosen, the date of now, and a name for every control.
    void estadoAlAbrir()
    {
        for (int i = 0; i < 6; ++i)
            QCOMPARE(Buscar<QRadioButton>(forma.get(), NombreElemento(QStringLiteral("Option1"), i))->isChecked(),
                     i == 0);
        for (const char *nombre : {"txtAvenida", "txtOtro"}) {
            QVERIFY(!Caja(forma.get(), QString::fromLatin1(nombre))->isEnabled());
            QCOMPARE(Caja(forma.get(), QString::fromLatin1(nombre))->text(), QString());
        }

        for (const char *lista : {"cboGrupo", "cboUsoBaja"})
            QCOMPARE(Buscar<QComboBox>(forma.get(), QString::fromLatin1(lista))->currentText(), QString());

        // The date picker holds the moment the form opened.
        auto *fecha = Buscar<QDateTimeEdit>(forma.get(), QStringLiteral("DTEvaluacion"));
        QVERIFY(qAbs(fecha->dateTime().secsTo(alAbrir)) <= 1);

        // Every control a person can reach has a name a screen reader can say.
        for (QWidget *w : forma->findChildren<QWidget *>()) {
            QWidget *padre = w->parentWidget();
            if (w->focusPolicy() == Qt::NoFocus || !w->isVisible() || qobject_cast<QLineEdit *>(padre)
                || qobject_cast<QComboBox *>(padre) || qobject_cast<QDateTimeEdit *>(padre))
                continue;
            QVERIFY2(!w->accessibleName().isEmpty(), qPrintable(w->objectName()));
        }
    }

    // A street kind opens its own box and shows "--" in the other two, which
    // keep what the evaluator typed for the moment their kind is chosen
    // again; the house number belongs to every kind. Pressing the chosen kind
    // again does not turn the form's own "--" into an identification.
    void callesConservanLoEscrito()
    {
        Escribir(forma.get(), QStringLiteral("txtNumCalle"), QStringLiteral("45"));
        Escribir(forma.get(), QStringLiteral("txtNumero"), QStringLiteral("12-30"));
        ElegirVia(forma.get(), 4);
        Escribir(forma.get(), QStringLiteral("txtAvenida"), QStringLiteral("Avenida Oriental"));
        ElegirVia(forma.get(), 5);
        Escribir(forma.get(), QStringLiteral("txtOtro"), QStringLiteral("Vía al Mar"));
        const char *calles[] = {"txtNumCalle", "txtAvenida", "txtOtro"};
        const std::pair<int, QStringList> pasos[] = {
            {1, Lista({"45", "--", "--"})},
            {4, Lista({"--", "Avenida Oriental", "--"})},
            {4, Lista({"--", "Avenida Oriental", "--"})},
            {5, Lista({"--", "--", "Vía al Mar"})},
            {0, Lista({"45", "--", "--"})}};
        for (const auto &[via, esperado] : pasos) {
            ElegirVia(forma.get(), via);
            QVERIFY(Buscar<QRadioButton>(forma.get(), NombreElemento(QStringLiteral("Option1"), via))->isChecked());
            for (int k = 0; k < 3; ++k) {
                QLineEdit *caja = Caja(forma.get(), QString::fromLatin1(calles[k]));
                QCOMPARE(caja->text(), esperado.at(k));
                QCOMPARE(caja->isEnabled(), k == qMax(0, via - 3));
            }
            QLineEdit *numero = Caja(forma.get(), QStringLiteral("txtNumero"));
            QVERIFY(numero->isEnabled());
            QCOMPARE(numero->text(), QStringLiteral("12-30"));
        }

        forma = std::make_unique<Form23>(estado, datos);
        forma->show();
        Escribir(forma.get(), QStringLiteral("txtEvaluador"), QStringLiteral("Ing. Pérez"));
        ElegirVia(forma.get(), 0);
        ElegirVia(forma.get(), 0);
        Mensaje::encolarRespuesta(Mensaje::Respuesta::Aceptar);
        Guardar(forma.get());
        QCOMPARE(Mensaje::textosMostrados(), QStringList{TextosRegistro::SinIdentificacion});
    }

    // Tab from the house number reaches both coordinate boxes, then the
    // photos, then "Guardar".
    void coordenadas()
    {
        QLineEdit *numero = Caja(forma.get(), QStringLiteral("txtNumero"));
        numero->setFocus();
        QStringList recorrido;
        for (QWidget *w = numero->nextInFocusChain(); w && w != numero && recorrido.size() < 5; w = w->nextInFocusChain())
            if (w->focusPolicy() & Qt::TabFocus && w->isEnabled() && w->isVisible())
                recorrido << w->objectName();
        QCOMPARE(recorrido, Lista({"txtLatitud", "txtLongitud", "lstFotos", "btnAgregarFotos", "btnGuardaInf(0)"}));
    }

    // "Cancelar", Escape and the close box all ask the same question; only
    // its OK leaves, and nothing typed is lost otherwise. Leaving saves nothing.
    void salir_data()
    {
        QTest::addColumn<int>("como");  // 0 button, 1 Escape, 2 close box
        QTest::addColumn<bool>("aceptar");
        const char *formas[] = {"boton", "escape", "cierre"};
        for (int como = 0; como < 3; ++como) {
            QTest::addRow("%s, Cancelar", formas[como]) << como << false;
            QTest::addRow("%s, Aceptar", formas[como]) << como << true;
        }
    }

    void salir()
    {
        QFETCH(int, como);
        QFETCH(bool, aceptar);
        Llenar(forma.get(), Ejemplo::Identificacion());
        IdentificacionEvaluacion antes = forma->identificacion();

        Mensaje::encolarRespuesta(aceptar ? Mensaje::Respuesta::Aceptar : Mensaje::Respuesta::Cancelar);
        if (como == 0)
            Cancelar(forma.get());
        else if (como == 1)
            QTest::keyClick(Caja(forma.get(), QStringLiteral("txtNombre")), Qt::Key_Escape);
        else
            forma->close();

        const QList<Mensaje::Mostrado> mostrados = Mensaje::mostrados();
        QCOMPARE(mostrados.size(), 1);
        QCOMPARE(mostrados.at(0).titulo, TextosRegistro::TituloGuardar);
        QCOMPARE(mostrados.at(0).botones, Mensaje::Botones::AceptarCancelar);
        QCOMPARE(forma->isVisible(), !aceptar);
        if (aceptar) {
            QCOMPARE(forma->result(), int(QDialog::Rejected));
        } else {
            IdentificacionEvaluacion despues = forma->identificacion();
            const auto cajasAntes = CajasDe(antes), cajasDespues = CajasDe(despues);
            for (size_t i = 0; i < cajasAntes.size(); ++i)
                QCOMPARE(*cajasDespues[i].second, *cajasAntes[i].second);
            QCOMPARE(despues.DTEvaluacion, antes.DTEvaluacion);
            QCOMPARE(despues.Option1, antes.Option1);
        }
        QVERIFY(!QFile::exists(RutasDatos::archivoRegistro()));
    }
};

QTEST_MAIN(PruebaFormularioAdicional)
#include "additional_info_form_test.moc"
