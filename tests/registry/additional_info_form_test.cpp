// The additional information form as the evaluator meets it: its controls,
// the street-kind options, leaving it, and what exec() reports.

#include "form_driver.h"
#include "test_support.h"

#include "app/message_box.h"
#include "data/data_paths.h"

#include <QGroupBox>
#include <QLabel>
#include <QTemporaryDir>
#include <QTest>

using namespace Conducir;

class PruebaFormularioAdicional : public QObject {
    Q_OBJECT

private:
    EstadoEvaluacion estado;
    DatosEdificacion datos = Ejemplo::Datos();
    QTemporaryDir carpeta;

    static QStringList cajasDeTexto()
    {
        return {QStringLiteral("txtNombre"),   QStringLiteral("txtDuenno"),   QStringLiteral("txtTelefono"),
                QStringLiteral("txtEvaluador"), QStringLiteral("txtCodigComi"), QStringLiteral("txtAvaluo"),
                QStringLiteral("txtNomBarrio"), QStringLiteral("txtComuna1"),  QStringLiteral("txtComuna2"),
                QStringLiteral("txtsector"),   QStringLiteral("txtManzana"),  QStringLiteral("txtPredio"),
                QStringLiteral("txtMejoraPH"), QStringLiteral("txtNumCalle"), QStringLiteral("txtAvenida"),
                QStringLiteral("txtOtro"),     QStringLiteral("txtNumero")};
    }

private slots:
    void initTestCase()
    {
        Prueba::Preparar();
        QVERIFY(carpeta.isValid());
    }

    void init()
    {
        Mensaje::limpiar();
        estado = EstadoEvaluacion();
        Ejemplo::LlenarEstado(estado);
        RutasDatos::establecerArchivoRegistro(carpeta.filePath(QStringLiteral("%1.sqlite").arg(QTest::currentTestFunction())));
    }

    void cleanup()
    {
        QCOMPARE(Mensaje::respuestasPendientes(), 0);
        QVERIFY2(Mensaje::inesperados().isEmpty(), qPrintable(Mensaje::inesperados().join(QLatin1Char('\n'))));
    }

    // Each box: its label, the number of characters it takes, its tool tip.
    void cajas_data()
    {
        QTest::addColumn<QString>("caja");
        QTest::addColumn<QString>("rotulo");
        QTest::addColumn<QString>("textoRotulo");
        QTest::addColumn<int>("largo");
        QTest::addColumn<QString>("ayuda");
        auto fila = [](const char *caja, const char *rotulo, const char *texto, int largo, const char *ayuda) {
            QTest::newRow(caja) << QString::fromLatin1(caja) << QString::fromLatin1(rotulo) << QString::fromUtf8(texto)
                                << largo << QString::fromUtf8(ayuda);
        };
        fila("txtNombre", "lblNombre", "Nombre de la Edificación", 50, "Nombre Edificación");
        fila("txtDuenno", "lblDuenno", "Persona de Contacto", 40, "Dueño Edificación");
        fila("txtTelefono", "Label10", "Teléfono", 40, "");
        fila("txtEvaluador", "lblEvaluador", "Evaluador Lider de Comisión", 40, "Evaluador");
        fila("txtCodigComi", "Label1", "Código de Comisión", 40, "");
        fila("txtAvaluo", "Label12", "Tipo Avaluo", 2, "");
        fila("txtNomBarrio", "Label11", "Nombre del Barrio", 50, "");
        fila("txtComuna1", "Label2", "Comuna", 2, "");
        fila("txtComuna2", "", "", 10, "");
        fila("txtsector", "Label5", "Sector", 2, "");
        fila("txtManzana", "Label6", "Manzana", 4, "");
        fila("txtPredio", "Label7", "Predio", 4, "");
        fila("txtMejoraPH", "Label8", "Mejora o Prop Hor", 3, "");
        fila("txtNumCalle", "", "", 10, "");
        fila("txtNumero", "Label9", "Número", 10, "");
    }

    void cajas()
    {
        QFETCH(QString, caja);
        QFETCH(QString, rotulo);
        QFETCH(QString, textoRotulo);
        QFETCH(int, largo);
        QFETCH(QString, ayuda);
        Form23 forma(estado, datos);
        forma.show();
        QVERIFY(QTest::qWaitForWindowExposed(&forma));

        QLineEdit *control = Caja(&forma, caja);
        QVERIFY(control->isEnabled());
        QCOMPARE(control->text(), QString());
        QCOMPARE(control->toolTip(), ayuda);
        QVERIFY(!control->accessibleName().isEmpty());
        if (!rotulo.isEmpty()) {
            auto *etiqueta = Buscar<QLabel>(&forma, rotulo);
            QVERIFY(etiqueta);
            QCOMPARE(etiqueta->text(), textoRotulo);
            QCOMPARE(etiqueta->buddy(), control);
        }
        // Typing past the end: the box keeps exactly as many characters as it takes.
        Escribir(&forma, caja, QString(60, QLatin1Char('7')));
        QCOMPARE(control->text(), QString(largo, QLatin1Char('7')));
    }

    void estadoAlAbrir()
    {
        const QDateTime antes = QDateTime::currentDateTime().addSecs(-1);
        Form23 forma(estado, datos);
        const QDateTime despues = QDateTime::currentDateTime().addSecs(1);
        forma.show();
        QVERIFY(QTest::qWaitForWindowExposed(&forma));

        QCOMPARE(forma.windowTitle(), QStringLiteral("Información Adicional"));
        for (const QString &nombre : cajasDeTexto())
            QVERIFY2(Caja(&forma, nombre)->text().isEmpty(), qPrintable(nombre));
        QVERIFY(!Caja(&forma, QStringLiteral("txtAvenida"))->isEnabled());
        QVERIFY(!Caja(&forma, QStringLiteral("txtOtro"))->isEnabled());

        const QStringList vias = {QStringLiteral("Carrera"), QStringLiteral("Calle"), QStringLiteral("Transversal"),
                                  QStringLiteral("Diagonal"), QStringLiteral("Avenida"), QStringLiteral("Otro")};
        for (int i = 0; i < 6; ++i) {
            auto *opcion = Buscar<QRadioButton>(&forma, NombreElemento(QStringLiteral("Option1"), i));
            QVERIFY(opcion);
            QCOMPARE(opcion->text(), vias.at(i));
            QCOMPARE(opcion->isChecked(), i == 0);
        }

        const QStringList usos = {QStringLiteral("Residencial"), QStringLiteral("Comercial"),
                                  QStringLiteral("Educacional"), QStringLiteral("Salud"),
                                  QStringLiteral("Hotelero"),    QStringLiteral("Oficinas"),
                                  QStringLiteral("Industrial"),  QStringLiteral("Institucional"),
                                  QStringLiteral("Bodegas"),     QStringLiteral("Estacionamientos"),
                                  QStringLiteral("Otros")};
        for (const char *lista : {"cboGrupo", "cboUsoBaja"}) {
            auto *combo = Buscar<QComboBox>(&forma, QString::fromLatin1(lista));
            QVERIFY(combo);
            QStringList elementos;
            for (int i = 0; i < combo->count(); ++i)
                elementos << combo->itemText(i);
            QCOMPARE(elementos, usos);
            QCOMPARE(combo->currentText(), QString());
            QCOMPARE(combo->toolTip(), QStringLiteral("Grupo de Uso"));
        }
        QCOMPARE(Buscar<QLabel>(&forma, QStringLiteral("Label3"))->text(), QStringLiteral("De la Edificación"));
        QCOMPARE(Buscar<QLabel>(&forma, QStringLiteral("Label4"))->text(), QStringLiteral("De la Planta Baja"));

        const std::pair<const char *, const char *> marcos[] = {
            {"frmFecha", "Fecha de Evaluación"},
            {"Frame24", "Uso predominante en la edificación"},
            {"Frame1", "Identificación Catastral"},
            {"Frame2", "Dirección"}};
        for (const auto &[nombre, titulo] : marcos)
            QCOMPARE(Buscar<QGroupBox>(&forma, QString::fromLatin1(nombre))->title(), QString::fromUtf8(titulo));

        auto *fecha = Buscar<QDateTimeEdit>(&forma, QStringLiteral("DTEvaluacion"));
        QVERIFY(fecha->calendarPopup());
        QVERIFY(fecha->dateTime() >= antes && fecha->dateTime() <= despues);

        auto *guardar = Buscar<QPushButton>(&forma, QStringLiteral("btnGuardaInf(0)"));
        auto *cancelar = Buscar<QPushButton>(&forma, QStringLiteral("btnGuardaInf(1)"));
        QCOMPARE(guardar->text(), QStringLiteral("Guardar"));
        QCOMPARE(guardar->toolTip(), QStringLiteral("Guardar información"));
        QCOMPARE(cancelar->text(), QStringLiteral("Cancelar"));
        QCOMPARE(cancelar->toolTip(), QStringLiteral("Cancelar información"));

        // Every control a person can reach has a name a screen reader can say.
        for (QWidget *w : forma.findChildren<QWidget *>()) {
            if (w->focusPolicy() == Qt::NoFocus || !w->isVisible() || qobject_cast<QLineEdit *>(w->parentWidget()))
                continue;
            if (w->parentWidget() && (qobject_cast<QComboBox *>(w->parentWidget())
                                      || qobject_cast<QDateTimeEdit *>(w->parentWidget())))
                continue;
            QVERIFY2(!w->accessibleName().isEmpty(), qPrintable(w->objectName()));
        }
    }

    // Nothing clipped and nothing overlapping at the form's own size.
    void sinRecortesNiSolapes()
    {
        Form23 forma(estado, datos);
        forma.show();
        QVERIFY(QTest::qWaitForWindowExposed(&forma));
        const QList<QWidget *> controles = forma.findChildren<QWidget *>();
        for (QWidget *w : controles) {
            if (!w->isVisible() || !w->parentWidget())
                continue;
            if (qobject_cast<QLabel *>(w) || qobject_cast<QAbstractButton *>(w) || qobject_cast<QLineEdit *>(w)
                || qobject_cast<QComboBox *>(w) || qobject_cast<QDateTimeEdit *>(w)) {
                if (qobject_cast<QLineEdit *>(w) && qobject_cast<QAbstractSpinBox *>(w->parentWidget()))
                    continue;
                if (qobject_cast<QComboBox *>(w->parentWidget()))
                    continue;
                const QString nombre = w->objectName();
                QVERIFY2(w->width() >= w->minimumSizeHint().width(), qPrintable(nombre));
                QVERIFY2(w->parentWidget()->rect().contains(w->geometry()), qPrintable(nombre));
                if (auto *etiqueta = qobject_cast<QLabel *>(w))
                    QVERIFY2(etiqueta->width() >= etiqueta->sizeHint().width(), qPrintable(nombre));
                if (auto *boton = qobject_cast<QAbstractButton *>(w))
                    QVERIFY2(boton->width() >= boton->sizeHint().width(), qPrintable(nombre));
            }
        }
        for (QWidget *a : controles) {
            for (QWidget *b : controles) {
                if (a >= b || a->parentWidget() != b->parentWidget() || !a->isVisible() || !b->isVisible())
                    continue;
                if (a->isWindow() || b->isWindow())
                    continue;
                QVERIFY2(!a->geometry().intersects(b->geometry()),
                         qPrintable(a->objectName() + QStringLiteral(" / ") + b->objectName()));
            }
        }
    }

    // A street kind enables its own box and writes "--" into the other two.
    void opcionesDeVia_data()
    {
        QTest::addColumn<int>("indice");
        QTest::addColumn<QString>("propia");
        for (int i = 0; i < 4; ++i)
            QTest::newRow(qPrintable(TiposDireccion().at(i))) << i << QStringLiteral("txtNumCalle");
        QTest::newRow("Avenida") << 4 << QStringLiteral("txtAvenida");
        QTest::newRow("Otro") << 5 << QStringLiteral("txtOtro");
    }

    void opcionesDeVia()
    {
        QFETCH(int, indice);
        QFETCH(QString, propia);
        Form23 forma(estado, datos);
        forma.show();
        QVERIFY(QTest::qWaitForWindowExposed(&forma));
        Escribir(&forma, QStringLiteral("txtNumCalle"), QStringLiteral("45"));
        Escribir(&forma, QStringLiteral("txtNumero"), QStringLiteral("12-30"));

        ElegirVia(&forma, indice);
        QVERIFY(Buscar<QRadioButton>(&forma, NombreElemento(QStringLiteral("Option1"), indice))->isChecked());
        for (const char *nombre : {"txtNumCalle", "txtAvenida", "txtOtro"}) {
            QLineEdit *caja = Caja(&forma, QString::fromLatin1(nombre));
            const bool esPropia = propia == QLatin1String(nombre);
            QCOMPARE(caja->isEnabled(), esPropia);
            if (!esPropia)
                QCOMPARE(caja->text(), QStringLiteral("--"));
        }
        if (propia == QLatin1String("txtNumCalle"))
            QCOMPARE(Caja(&forma, propia)->text(), QStringLiteral("45"));
        // The house number belongs to every kind of street.
        QVERIFY(Caja(&forma, QStringLiteral("txtNumero"))->isEnabled());
        QCOMPARE(Caja(&forma, QStringLiteral("txtNumero"))->text(), QStringLiteral("12-30"));
    }

    void avenidaYLuegoCalle()
    {
        Form23 forma(estado, datos);
        forma.show();
        QVERIFY(QTest::qWaitForWindowExposed(&forma));
        ElegirVia(&forma, 4);
        Escribir(&forma, QStringLiteral("txtAvenida"), QStringLiteral("Avenida Oriental"));
        ElegirVia(&forma, 1);
        QCOMPARE(Caja(&forma, QStringLiteral("txtAvenida"))->text(), QStringLiteral("--"));
        QCOMPARE(Caja(&forma, QStringLiteral("txtOtro"))->text(), QStringLiteral("--"));
        QVERIFY(Caja(&forma, QStringLiteral("txtNumCalle"))->isEnabled());
        QVERIFY(!Caja(&forma, QStringLiteral("txtAvenida"))->isEnabled());
        // "Avenida" put "--" into the street number; choosing "Calle" keeps it.
        QCOMPARE(Caja(&forma, QStringLiteral("txtNumCalle"))->text(), QStringLiteral("--"));
        // The box is usable again.
        Escribir(&forma, QStringLiteral("txtNumCalle"), QStringLiteral("10A"));
        QCOMPARE(Caja(&forma, QStringLiteral("txtNumCalle"))->text(), QStringLiteral("10A"));
    }

    // "Cancelar", Escape and the close box all ask the same question; only
    // its OK leaves, and nothing typed is lost otherwise.
    void salir_data()
    {
        QTest::addColumn<int>("como");  // 0 button, 1 Escape, 2 close box
        QTest::addColumn<bool>("aceptar");
        const char *formas[] = {"boton", "escape", "cierre"};
        for (int como = 0; como < 3; ++como) {
            QTest::newRow(qPrintable(QStringLiteral("%1, Cancelar").arg(QLatin1String(formas[como])))) << como << false;
            QTest::newRow(qPrintable(QStringLiteral("%1, Aceptar").arg(QLatin1String(formas[como])))) << como << true;
        }
    }

    void salir()
    {
        QFETCH(int, como);
        QFETCH(bool, aceptar);
        Form23 forma(estado, datos);
        forma.show();
        QVERIFY(QTest::qWaitForWindowExposed(&forma));
        Llenar(&forma, Ejemplo::Identificacion());
        const IdentificacionEvaluacion antes = forma.identificacion();

        Mensaje::encolarRespuesta(aceptar ? Mensaje::Respuesta::Aceptar : Mensaje::Respuesta::Cancelar);
        if (como == 0)
            Cancelar(&forma);
        else if (como == 1)
            QTest::keyClick(Caja(&forma, QStringLiteral("txtNombre")), Qt::Key_Escape);
        else
            forma.close();

        const QList<Mensaje::Mostrado> mostrados = Mensaje::mostrados();
        QCOMPARE(mostrados.size(), 1);
        QCOMPARE(mostrados.at(0).texto,
                 QStringLiteral("No se guardara información de esta evaluación, no podra ver despues los resultados de "
                                "esta evaluación."));
        QCOMPARE(mostrados.at(0).titulo, QStringLiteral("Guardar Información"));
        QCOMPARE(mostrados.at(0).botones, Mensaje::Botones::AceptarCancelar);
        QCOMPARE(forma.isVisible(), !aceptar);
        if (aceptar) {
            QCOMPARE(forma.result(), int(QDialog::Rejected));
        } else {
            const IdentificacionEvaluacion despues = forma.identificacion();
            QCOMPARE(despues.txtNombre, antes.txtNombre);
            QCOMPARE(despues.txtNumCalle, antes.txtNumCalle);
            QCOMPARE(despues.cboGrupo, antes.cboGrupo);
            QCOMPARE(despues.DTEvaluacion, antes.DTEvaluacion);
            QCOMPARE(despues.Option1, antes.Option1);
        }
        // Leaving saves nothing.
        QVERIFY(!QFile::exists(RutasDatos::archivoRegistro()));
    }

    // exec() tells the results form whether the evaluation was saved.
    void execInformaSiSeGuardo()
    {
        {
            Form23 forma(estado, datos);
            Prueba::AlAbrirseModal([](QWidget *modal) {
                Llenar(modal, Ejemplo::Identificacion());
                Mensaje::encolarRespuesta(Mensaje::Respuesta::Aceptar);  // confirmation
                Mensaje::encolarRespuesta(Mensaje::Respuesta::Aceptar);  // saved
                Guardar(modal);
            });
            QCOMPARE(forma.exec(), int(QDialog::Accepted));
            QVERIFY(Prueba::ModalAtendido());
            QCOMPARE(Mensaje::textosMostrados().last(), QStringLiteral("La evaluacion ha sido guardada"));
            QCOMPARE(Ejemplo::LeerRegistro(RutasDatos::archivoRegistro()).size(), 1);
        }
        Mensaje::limpiar();
        {
            Form23 forma(estado, datos);
            Prueba::AlAbrirseModal([](QWidget *modal) {
                Llenar(modal, Ejemplo::Identificacion());
                // Refused at the confirmation, then cancelled.
                Mensaje::encolarRespuesta(Mensaje::Respuesta::Cancelar);
                Guardar(modal);
                Mensaje::encolarRespuesta(Mensaje::Respuesta::Aceptar);
                Cancelar(modal);
            });
            QCOMPARE(forma.exec(), int(QDialog::Rejected));
            QVERIFY(Prueba::ModalAtendido());
            QCOMPARE(Ejemplo::LeerRegistro(RutasDatos::archivoRegistro()).size(), 1);
        }
    }
};

QTEST_MAIN(PruebaFormularioAdicional)
#include "additional_info_form_test.moc"
