// Saving an evaluation from the additional information form: the checks and
// their messages, the placeholders, the 91 fields of the record, the
// numbering, awkward texts, and a registry that cannot be written.

#include "form_driver.h"
#include "test_support.h"

#include "app/message_box.h"
#include "data/data_paths.h"

#include <QElapsedTimer>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>
#include <sys/resource.h>
#include <unistd.h>

using namespace Conducir;
using Mensaje::Respuesta;

namespace {

const QString Confirmacion = QStringLiteral("Toda la información es correcta?, guardará esta evaluación.");
const QString Guardada = QStringLiteral("La evaluacion ha sido guardada");
const QString SinIdentificacion = QStringLiteral(
    "No ha ingresado información para identificar esta evaluación. Para guardarla debe tener alguna identificación "
    "como el codigo catastral o la dirección. El nombre del evaluador y el código de la comision debe constar en este "
    "registro.");
const QString ContactoIncompleto = QStringLiteral(
    "La información de la edificación evaluada está incompleta. Si desea indicarla manualmente en la base de datos más "
    "adelante seleccion Aceptar. Si prefiere ingresar la información faltante ahora elija cancelar.");
const QString FaltaUso = QStringLiteral("Debe indicar el uso predominante de la edificación y de la planta baja.");
const QString SinUbicacion = QStringLiteral(
    "Debe porporcionar alguna información sobre la ubicadion de la edificación que está evaluando.");
const QString UbicacionIncompleta = QStringLiteral(
    "Es necesario que suministre la identificación catastral o la dirección completa, para identificar la edificación");
const QString Pendiente = QStringLiteral("Información pendiente");

// The example identification without any cadastral or address data.
IdentificacionEvaluacion SinUbicacionNiCatastro()
{
    IdentificacionEvaluacion id = Ejemplo::Identificacion();
    for (QString *c : {&id.txtAvaluo, &id.txtNomBarrio, &id.txtComuna1, &id.txtComuna2, &id.txtsector,
                       &id.txtManzana, &id.txtPredio, &id.txtMejoraPH, &id.txtNumCalle, &id.txtAvenida, &id.txtOtro,
                       &id.txtNumero})
        c->clear();
    id.Option1 = 0;
    return id;
}

// Appends records that carry only a number in field 0 (null for an invalid
// QVariant), as an older or hand-edited registry might.
void Sembrar(const QString &archivo, const QVariantList &numeros)
{
    RegistroEvaluaciones::asegurar(archivo);
    ConjuntoRegistros rs(archivo, RegistroEvaluaciones::Tabla, ConjuntoRegistros::Modo::Escritura);
    rs.iniciarTransaccion();
    for (const QVariant &n : numeros) {
        rs.agregarNuevo();
        rs.establecerCampo(0, n);
        rs.guardar();
    }
    rs.confirmar();
}

}  // namespace

class PruebaGuardarEvaluacion : public QObject {
    Q_OBJECT

private:
    EstadoEvaluacion estado;
    DatosEdificacion datos = Ejemplo::Datos();
    std::unique_ptr<QTemporaryDir> carpeta;
    QString registro;

    std::unique_ptr<Form23> abrir()
    {
        auto forma = std::make_unique<Form23>(estado, datos);
        forma->show();
        if (!QTest::qWaitForWindowExposed(forma.get()))
            qFatal("el formulario no se mostró");
        return forma;
    }

    // Fills the form and presses "Guardar" with `respuestas` queued.
    std::unique_ptr<Form23> guardarCon(const IdentificacionEvaluacion &id, const QList<Respuesta> &respuestas)
    {
        auto forma = abrir();
        Llenar(forma.get(), id);
        for (Respuesta r : respuestas)
            Mensaje::encolarRespuesta(r);
        Guardar(forma.get());
        return forma;
    }

    QList<QVariantList> registros() { return Ejemplo::LeerRegistro(registro); }

private slots:
    void initTestCase() { Prueba::Preparar(); }

    void init()
    {
        Mensaje::limpiar();
        estado = EstadoEvaluacion();
        Ejemplo::LlenarEstado(estado);
        datos = Ejemplo::Datos();
        carpeta = std::make_unique<QTemporaryDir>();
        QVERIFY(carpeta->isValid());
        registro = carpeta->filePath(QStringLiteral("Registro de Evaluaciones.sqlite"));
        RutasDatos::establecerArchivoRegistro(registro);
    }

    void cleanup()
    {
        QCOMPARE(Mensaje::respuestasPendientes(), 0);
        QVERIFY2(Mensaje::inesperados().isEmpty(), qPrintable(Mensaje::inesperados().join(QLatin1Char('\n'))));
    }

    // Evaluator, commission code and house number do not identify a building.
    void sinIdentificacion_data()
    {
        QTest::addColumn<bool>("conNumero");
        QTest::newRow("evaluador y comisión") << false;
        QTest::newRow("y número de casa") << true;
    }

    void sinIdentificacion()
    {
        QFETCH(bool, conNumero);
        auto forma = abrir();
        Escribir(forma.get(), QStringLiteral("txtEvaluador"), QStringLiteral("Ing. Pérez"));
        Escribir(forma.get(), QStringLiteral("txtCodigComi"), QStringLiteral("C-17"));
        if (conNumero)
            Escribir(forma.get(), QStringLiteral("txtNumero"), QStringLiteral("12-30"));
        Mensaje::encolarRespuesta(Respuesta::Aceptar);
        Guardar(forma.get());
        QCOMPARE(Mensaje::textosMostrados(), QStringList{SinIdentificacion});
        QVERIFY(forma->isVisible());
        // Stopped before any placeholder or address kind.
        QCOMPARE(Caja(forma.get(), QStringLiteral("txtAvenida"))->text(), QString());
        QCOMPARE(estado.DireccionElegida, QString());
        QVERIFY(!QFile::exists(registro));
    }

    // Missing contact data may be completed later: each empty box gets
    // "Información pendiente", in the record and on the form.
    void contactoPendiente_data()
    {
        QTest::addColumn<QString>("nombre");
        QTest::addColumn<QString>("duenno");
        QTest::addColumn<QString>("telefono");
        QTest::newRow("los tres vacíos") << QString() << QString() << QString();
        QTest::newRow("solo teléfono") << QString() << QString() << QStringLiteral("604 555 0199");
        QTest::newRow("falta el dueño") << QStringLiteral("Torre Sur") << QString() << QStringLiteral("3001234567");
    }

    void contactoPendiente()
    {
        QFETCH(QString, nombre);
        QFETCH(QString, duenno);
        QFETCH(QString, telefono);
        IdentificacionEvaluacion id = Ejemplo::Identificacion();
        id.txtNombre = nombre;
        id.txtDuenno = duenno;
        id.txtTelefono = telefono;
        auto forma = guardarCon(id, {Respuesta::Aceptar, Respuesta::Aceptar, Respuesta::Aceptar});
        QCOMPARE(Mensaje::textosMostrados(), (QStringList{ContactoIncompleto, Confirmacion, Guardada}));
        QCOMPARE(Mensaje::mostrados().at(0).botones, Mensaje::Botones::AceptarCancelar);
        QCOMPARE(Mensaje::mostrados().at(0).titulo, QStringLiteral("ORV"));
        QVERIFY(!forma->isVisible());
        QCOMPARE(forma->result(), int(QDialog::Accepted));
        const QList<QVariantList> r = registros();
        QCOMPARE(r.size(), 1);
        const QString esperados[] = {nombre.isEmpty() ? Pendiente : nombre, duenno.isEmpty() ? Pendiente : duenno,
                                     telefono.isEmpty() ? Pendiente : telefono};
        const char *cajas[] = {"txtNombre", "txtDuenno", "txtTelefono"};
        for (int i = 0; i < 3; ++i) {
            QCOMPARE(r.at(0).at(13 + i).toString(), esperados[i]);
            QCOMPARE(Caja(forma.get(), QString::fromLatin1(cajas[i]))->text(), esperados[i]);
        }
    }

    // Refusing to leave the contact pending still runs the other checks,
    // and never reaches the confirmation.
    void contactoRechazado_data()
    {
        QTest::addColumn<bool>("demasFallan");
        QTest::addColumn<QStringList>("mensajes");
        QTest::newRow("uso y ubicación faltan") << true << QStringList{ContactoIncompleto, FaltaUso, SinUbicacion};
        QTest::newRow("lo demás completo") << false << QStringList{ContactoIncompleto};
    }

    void contactoRechazado()
    {
        QFETCH(bool, demasFallan);
        QFETCH(QStringList, mensajes);
        IdentificacionEvaluacion id = demasFallan ? SinUbicacionNiCatastro() : Ejemplo::Identificacion();
        id.txtNombre.clear();
        id.txtDuenno.clear();
        id.txtTelefono.clear();
        if (demasFallan)
            id.cboUsoBaja.clear();
        QList<Respuesta> respuestas{Respuesta::Cancelar};
        for (int i = 1; i < mensajes.size(); ++i)
            respuestas << Respuesta::Aceptar;
        auto forma = guardarCon(id, respuestas);
        QCOMPARE(Mensaje::textosMostrados(), mensajes);
        QVERIFY(forma->isVisible());
        QCOMPARE(Caja(forma.get(), QStringLiteral("txtNombre"))->text(), QString());
        QVERIFY(registros().isEmpty());
    }

    // The location table: which placeholders complete the record, which
    // combinations cannot identify the building.
    void ubicacion_data()
    {
        QTest::addColumn<int>("via");
        QTest::addColumn<QStringList>("catastro");  // Avaluo Barrio Comuna1 Comuna2 sector Manzana Predio MejoraPH
        QTest::addColumn<QStringList>("direccion");  // NumCalle Avenida Otro Numero (typed where enabled)
        QTest::addColumn<QString>("mensaje");
        QTest::addColumn<QStringList>("campos");  // fields 1..12 of the saved record

        const QStringList completo = {QStringLiteral("01"), QStringLiteral("San Martín"), QStringLiteral("05"),
                                      QStringLiteral("12345"), QStringLiteral("12"), QStringLiteral("0034"),
                                      QStringLiteral("0056"), QStringLiteral("001")};
        const QStringList vacio(8, QString());
        auto l = [](std::initializer_list<const char *> t) {
            QStringList r;
            for (const char *s : t)
                r << QString::fromUtf8(s);
            return r;
        };

        QTest::newRow("(0,0) nada") << 0 << vacio << l({"", "", "", ""}) << SinUbicacion << QStringList();
        QTest::newRow("(0,1) carrera y número")
            << 0 << vacio << l({"45", "", "", "12-30"}) << QString()
            << l({"---", "-", "--", "--", "----", "----", "---", "Carrera", "45", "--", "--", "12-30"});
        QTest::newRow("(0,1) otra vía")
            << 5 << vacio << l({"", "", "Vía al Mar km 3", "s/n"}) << QString()
            << l({"---", "-", "--", "--", "----", "----", "---", "Otro", "--", "--", "Vía al Mar km 3", "s/n"});
        QTest::newRow("(1,0) solo catastro")
            << 0 << completo << l({"", "", "", ""}) << QString()
            << l({"05-12345", "San Martín", "01", "12", "0034", "0056", "001", "Carrera", "-", "-", "-", "-"});
        QTest::newRow("(1,1) todo")
            << 1 << completo << l({"45B", "", "", "12-30"}) << QString()
            << l({"05-12345", "San Martín", "01", "12", "0034", "0056", "001", "Calle", "45B", "--", "--", "12-30"});
        QTest::newRow("(1,2) avenida sin número")
            << 4 << completo << l({"", "Avenida Oriental", "", ""}) << QString()
            << l({"05-12345", "San Martín", "01", "12", "0034", "0056", "001", "Avenida", "--", "Avenida Oriental",
                  "--", "-"});
        QTest::newRow("(1,2) número sin calle")
            << 2 << completo << l({"", "", "", "7"}) << QString()
            << l({"05-12345", "San Martín", "01", "12", "0034", "0056", "001", "Transversal", "", "--", "--", "7"});
        QTest::newRow("(2,1) catastro parcial")
            << 3 << l({"", "San Martín", "05", "", "", "0034", "", ""}) << l({"20", "", "", "3-15"}) << QString()
            << l({"05--", "San Martín", "--", "--", "0034", "----", "---", "Diagonal", "20", "--", "--", "3-15"});
        QTest::newRow("(2,2)") << 0 << l({"", "San Martín", "", "", "", "", "", ""}) << l({"45", "", "", ""})
                               << UbicacionIncompleta << QStringList();
        QTest::newRow("(2,0)") << 0 << l({"01", "", "", "", "", "", "", ""}) << l({"", "", "", ""})
                               << UbicacionIncompleta << QStringList();
        QTest::newRow("(0,2)") << 4 << vacio << l({"", "", "", "12-30"}) << UbicacionIncompleta << QStringList();
    }

    void ubicacion()
    {
        QFETCH(int, via);
        QFETCH(QStringList, catastro);
        QFETCH(QStringList, direccion);
        QFETCH(QString, mensaje);
        QFETCH(QStringList, campos);
        IdentificacionEvaluacion id = SinUbicacionNiCatastro();
        id.Option1 = via;
        QString *cajasCatastro[] = {&id.txtAvaluo, &id.txtNomBarrio, &id.txtComuna1, &id.txtComuna2,
                                    &id.txtsector, &id.txtManzana,   &id.txtPredio,  &id.txtMejoraPH};
        for (int i = 0; i < 8; ++i)
            *cajasCatastro[i] = catastro.at(i);
        id.txtNumCalle = direccion.at(0);
        id.txtAvenida = direccion.at(1);
        id.txtOtro = direccion.at(2);
        id.txtNumero = direccion.at(3);

        const bool guarda = mensaje.isEmpty();
        auto forma = guardarCon(id, guarda ? QList<Respuesta>{Respuesta::Aceptar, Respuesta::Aceptar}
                                           : QList<Respuesta>{Respuesta::Aceptar});
        if (!guarda) {
            QCOMPARE(Mensaje::textosMostrados(), QStringList{mensaje});
            QVERIFY(forma->isVisible());
            QVERIFY(registros().isEmpty());
            return;
        }
        QCOMPARE(Mensaje::textosMostrados(), (QStringList{Confirmacion, Guardada}));
        const QList<QVariantList> r = registros();
        QCOMPARE(r.size(), 1);
        for (int i = 1; i <= 12; ++i)
            QVERIFY2(!r.at(0).at(i).isNull(), qPrintable(QString::number(i)));
        for (int i = 1; i <= 12; ++i)
            QCOMPARE(QStringLiteral("%1: %2").arg(i).arg(r.at(0).at(i).toString()),
                     QStringLiteral("%1: %2").arg(i).arg(campos.at(i - 1)));
        // The form shows what was saved.
        QCOMPARE(Caja(forma.get(), QStringLiteral("txtNumero"))->text(), campos.at(11));
        QCOMPARE(Caja(forma.get(), QStringLiteral("txtMejoraPH"))->text(), campos.at(6));
        QCOMPARE(estado.DireccionElegida, campos.at(7));
    }

    // Placeholders written by a stopped save stay on the form, and the next
    // press sees them as typed text.
    void marcasQuedanTrasUnRechazo()
    {
        IdentificacionEvaluacion id = SinUbicacionNiCatastro();
        id.txtNumCalle = QStringLiteral("45");
        id.txtNumero = QStringLiteral("12-30");
        id.cboUsoBaja.clear();
        auto forma = guardarCon(id, {Respuesta::Aceptar});
        QCOMPARE(Mensaje::textosMostrados(), QStringList{FaltaUso});
        QCOMPARE(Caja(forma.get(), QStringLiteral("txtManzana"))->text(), QStringLiteral("----"));
        QCOMPARE(Caja(forma.get(), QStringLiteral("txtComuna1"))->text(), QStringLiteral("-"));
        QCOMPARE(Caja(forma.get(), QStringLiteral("txtAvenida"))->text(), QStringLiteral("--"));
        QVERIFY(registros().isEmpty());

        // Second press: the cadastral boxes now count as filled (state 1, 1).
        Mensaje::limpiar();
        ElegirUso(forma.get(), QStringLiteral("cboUsoBaja"), QStringLiteral("Oficinas"));
        Mensaje::encolarRespuesta(Respuesta::Aceptar);
        Mensaje::encolarRespuesta(Respuesta::Aceptar);
        Guardar(forma.get());
        QCOMPARE(Mensaje::textosMostrados(), (QStringList{Confirmacion, Guardada}));
        const QList<QVariantList> r = registros();
        QCOMPARE(r.size(), 1);
        QCOMPARE(r.at(0).at(1).toString(), QStringLiteral("---"));
        QCOMPARE(r.at(0).at(5).toString(), QStringLiteral("----"));
        QCOMPARE(r.at(0).at(20).toString(), QStringLiteral("Oficinas"));
    }

    // Categories declared not relevant: their texts and indices are replaced
    // whether or not the save goes through.
    void noRelevantes_data()
    {
        QTest::addColumn<int>("caso");
        QTest::addColumn<QStringList>("textos");   // fields 77, 78, 80
        QTest::addColumn<QList<double>>("indices"); // fields 79, 81
        QTest::newRow("0") << 0 << QStringList{QStringLiteral("Bajo"), QStringLiteral("Buenas"), QStringLiteral("Regulares")}
                           << QList<double>{0.17, 0.33};
        QTest::newRow("1") << 1 << QStringList{QStringLiteral("Bajo"), QStringLiteral("Buenas"), QStringLiteral("No Aplica")}
                           << QList<double>{0.17, 0.0};
        QTest::newRow("2") << 2 << QStringList{QStringLiteral("No Aplica"), QStringLiteral("No Aplica"), QStringLiteral("Regulares")}
                           << QList<double>{0.0, 0.33};
        QTest::newRow("3") << 3 << QStringList{QStringLiteral("No Aplica"), QStringLiteral("No Aplica"), QStringLiteral("No Aplica")}
                           << QList<double>{0.0, 0.0};
    }

    void noRelevantes()
    {
        QFETCH(int, caso);
        QFETCH(QStringList, textos);
        QFETCH(QList<double>, indices);
        estado.CasoRelevancia = static_cast<int16_t>(caso);

        // A save stopped by the use check already changes the state.
        IdentificacionEvaluacion id = Ejemplo::Identificacion();
        id.cboGrupo.clear();
        auto forma = guardarCon(id, {Respuesta::Aceptar});
        QCOMPARE(Mensaje::textosMostrados(), QStringList{FaltaUso});
        QCOMPARE((QStringList{estado.TextoRiesgoGeotecnico, estado.TextoSuelo, estado.TextoPreexistente}), textos);
        QCOMPARE(estado.IndiceSuelo, indices.at(0));
        QCOMPARE(estado.IndicePreexistente, indices.at(1));

        Mensaje::limpiar();
        ElegirUso(forma.get(), QStringLiteral("cboGrupo"), QStringLiteral("Salud"));
        Mensaje::encolarRespuesta(Respuesta::Aceptar);
        Mensaje::encolarRespuesta(Respuesta::Aceptar);
        Guardar(forma.get());
        const QList<QVariantList> r = registros();
        QCOMPARE(r.size(), 1);
        QCOMPARE((QStringList{r.at(0).at(77).toString(), r.at(0).at(78).toString(), r.at(0).at(80).toString()}), textos);
        QCOMPARE(r.at(0).at(79).toDouble(), indices.at(0));
        QCOMPARE(r.at(0).at(81).toDouble(), indices.at(1));
        QCOMPARE(r.at(0).at(32).toLongLong(), qlonglong(caso));
        // The other categories keep theirs.
        QCOMPARE(r.at(0).at(71).toString(), QStringLiteral("Alto"));
        QCOMPARE(r.at(0).at(76).toDouble(), 0.4512);
    }

    // Every field of a complete evaluation, read back from the file with
    // its kind of value, and the table's column types that hold them.
    void los91Campos()
    {
        // Refused at the confirmation first: nothing written, the form stays.
        auto forma = guardarCon(Ejemplo::Identificacion(), {Respuesta::Cancelar});
        QCOMPARE(Mensaje::textosMostrados(), QStringList{Confirmacion});
        QCOMPARE(Mensaje::mostrados().at(0).titulo, QStringLiteral("Guardar Información"));
        QCOMPARE(Mensaje::mostrados().at(0).botones, Mensaje::Botones::AceptarCancelar);
        QVERIFY(forma->isVisible());
        QVERIFY(registros().isEmpty());
        Mensaje::encolarRespuesta(Respuesta::Aceptar);
        Mensaje::encolarRespuesta(Respuesta::Aceptar);
        Guardar(forma.get());
        QCOMPARE(Mensaje::textosMostrados(), (QStringList{Confirmacion, Confirmacion, Guardada}));
        const QList<QVariantList> r = registros();
        QCOMPARE(r.size(), 1);
        QVariantList esperado = Ejemplo::Campos();
        esperado[0] = qlonglong(1);
        QCOMPARE(r.at(0).size(), 91);
        QCOMPARE(esperado.size(), 91);
        const QStringList tipos = RegistroEvaluaciones::tiposCampos();
        for (int i = 0; i < 91; ++i) {
            const QVariant &leido = r.at(0).at(i);
            const QVariant &e = esperado.at(i);
            const QString donde = QStringLiteral("campo %1").arg(i);
            QVERIFY2(leido.typeId() == e.typeId(),
                     qPrintable(donde + QStringLiteral(": ") + QString::fromLatin1(leido.typeName())));
            if (e.typeId() == QMetaType::Double)
                QVERIFY2(qFuzzyCompare(leido.toDouble(), e.toDouble()), qPrintable(donde));
            else
                QVERIFY2(leido == e, qPrintable(donde + QStringLiteral(": \"") + leido.toString() + QLatin1Char('"')));
            const char *tipo = e.typeId() == QMetaType::Double ? "REAL"
                               : e.typeId() == QMetaType::LongLong ? "INTEGER" : "TEXT";
            QCOMPARE(tipos.at(i), QString::fromLatin1(tipo));
        }
        QCOMPARE(estado.NumeroEvaluacion, 1);
    }

    // Storey texts are read as their leading number and rounded, halves to even.
    void pisos_data()
    {
        QTest::addColumn<QString>("texto");
        QTest::addColumn<qlonglong>("valor");
        QTest::newRow("entero") << QStringLiteral("12") << 12LL;
        QTest::newRow("vacío") << QString() << 0LL;
        QTest::newRow("sin número") << QStringLiteral("tres") << 0LL;
        QTest::newRow("número y texto") << QStringLiteral(" 7 pisos") << 7LL;
        QTest::newRow("2.5 al par") << QStringLiteral("2.5") << 2LL;
        QTest::newRow("3.5 al par") << QStringLiteral("3.5") << 4LL;
        QTest::newRow("0.5") << QStringLiteral(".5") << 0LL;
        QTest::newRow("negativo") << QStringLiteral("-1.5") << -2LL;
        QTest::newRow("coma no es decimal") << QStringLiteral("4,7") << 4LL;
        QTest::newRow("exponente") << QStringLiteral("1e1") << 10LL;
        QTest::newRow("enorme") << QStringLiteral("99999999999") << 2147483647LL;
    }

    void pisos()
    {
        QFETCH(QString, texto);
        QFETCH(qlonglong, valor);
        DatosEdificacion d = Ejemplo::Datos();
        d.txtNPisos = texto;
        d.txtNSotanos = texto;
        d.txtPisosTotal = texto;
        d.txtPMayorDanno = texto;
        AgregarEvaluacion(registro, Ejemplo::Identificacion(), estado, d);
        const QList<QVariantList> r = registros();
        QCOMPARE(r.size(), 1);
        for (int i = 25; i <= 28; ++i)
            QCOMPARE(r.at(0).at(i).toLongLong(), valor);
    }

    // Texts never filled in are stored as empty texts, not as missing values.
    void textosVaciosNoNulos()
    {
        EstadoEvaluacion vacio;
        IdentificacionEvaluacion id;
        id.txtNombre = QStringLiteral("Casa");
        AgregarEvaluacion(registro, id, vacio, DatosEdificacion());
        const QList<QVariantList> r = registros();
        QCOMPARE(r.size(), 1);
        for (int i = 0; i < 91; ++i)
            QVERIFY2(!r.at(0).at(i).isNull(), qPrintable(QString::number(i)));
        QCOMPARE(r.at(0).at(1).toString(), QStringLiteral("-"));
        QCOMPARE(r.at(0).at(18).toString(), QString());
        QCOMPARE(r.at(0).at(13).toString(), QStringLiteral("Casa"));
    }

    // The date saved is the picker's: the moment the form opened unless the
    // evaluator changed it.
    void fecha()
    {
        {
            auto forma = abrir();
            const QDateTime alAbrir = Buscar<QDateTimeEdit>(forma.get(), QStringLiteral("DTEvaluacion"))->dateTime();
            QTest::qWait(1100);
            IdentificacionEvaluacion id = Ejemplo::Identificacion();
            id.DTEvaluacion = QDateTime();  // leave the picker alone
            Llenar(forma.get(), id);
            Mensaje::encolarRespuesta(Respuesta::Aceptar);
            Mensaje::encolarRespuesta(Respuesta::Aceptar);
            Guardar(forma.get());
            QCOMPARE(registros().last().at(18).toString(), alAbrir.toString(QStringLiteral("yyyy-MM-dd'T'HH:mm:ss")));
        }
        {
            auto forma = abrir();
            auto *picker = Buscar<QDateTimeEdit>(forma.get(), QStringLiteral("DTEvaluacion"));
            const QDateTime alAbrir = picker->dateTime();
            IdentificacionEvaluacion id = Ejemplo::Identificacion();
            id.DTEvaluacion = QDateTime();
            Llenar(forma.get(), id);
            // One day later with the arrow key on the day.
            picker->setFocus();
            QTest::keyClick(picker, Qt::Key_Home);
            QTest::keyClick(picker, Qt::Key_Up);
            Mensaje::encolarRespuesta(Respuesta::Aceptar);
            Mensaje::encolarRespuesta(Respuesta::Aceptar);
            Guardar(forma.get());
            const QDateTime guardada =
                QDateTime::fromString(registros().last().at(18).toString(), QStringLiteral("yyyy-MM-dd'T'HH:mm:ss"));
            QVERIFY(guardada.isValid());
            QCOMPARE(guardada.time().toString(), alAbrir.time().toString());
            QVERIFY(guardada.date() != alAbrir.date());
            QCOMPARE(guardada.date(), picker->date());
        }
    }

    // The number is the last one plus one; an empty registry starts at 1.
    void numeracion_data()
    {
        QTest::addColumn<QVariantList>("previos");
        QTest::addColumn<qlonglong>("numero");
        QTest::newRow("vacío") << QVariantList{} << 1LL;
        QTest::newRow("último 41") << QVariantList{qlonglong(39), qlonglong(40), qlonglong(41)} << 42LL;
        QTest::newRow("último sin número") << QVariantList{qlonglong(5), qlonglong(17), QVariant()} << 18LL;
        QTest::newRow("último con texto")
            << QVariantList{qlonglong(3), qlonglong(9), QVariant(QStringLiteral("sin número"))} << 10LL;
        QTest::newRow("último menor que otro") << QVariantList{qlonglong(50), qlonglong(7)} << 51LL;
        QTest::newRow("solo registros sin número") << QVariantList{QVariant(), QVariant()} << 1LL;
        QTest::newRow("pasado de 16 bits") << QVariantList{qlonglong(32767)} << 32768LL;
    }

    void numeracion()
    {
        QFETCH(QVariantList, previos);
        QFETCH(qlonglong, numero);
        if (!previos.isEmpty())
            Sembrar(registro, previos);
        else
            RegistroEvaluaciones::asegurar(registro);
        guardarCon(Ejemplo::Identificacion(), {Respuesta::Aceptar, Respuesta::Aceptar});
        const QList<QVariantList> r = registros();
        QCOMPARE(r.size(), previos.size() + 1);
        QCOMPARE(r.last().at(0).toLongLong(), numero);
        QCOMPARE(qlonglong(estado.NumeroEvaluacion), numero);
    }

    void numeroAgotado()
    {
        Sembrar(registro, {qlonglong(2147483647)});
        auto forma = guardarCon(Ejemplo::Identificacion(), {Respuesta::Aceptar, Respuesta::Aceptar});
        QCOMPARE(Mensaje::textosMostrados().size(), 2);
        QVERIFY(Mensaje::textosMostrados().at(1).startsWith(TextosRegistro::NoGuardada));
        QVERIFY(Mensaje::textosMostrados().at(1).contains(QStringLiteral("no quedan números")));
        QVERIFY(forma->isVisible());
        QCOMPARE(registros().size(), 1);
    }

    // The same evaluation saved twice in one run gives two records.
    void dosVecesEnUnaCorrida()
    {
        for (int vez = 1; vez <= 2; ++vez) {
            auto forma = guardarCon(Ejemplo::Identificacion(), {Respuesta::Aceptar, Respuesta::Aceptar});
            QCOMPARE(forma->result(), int(QDialog::Accepted));
        }
        const QList<QVariantList> r = registros();
        QCOMPARE(r.size(), 2);
        QCOMPARE(r.at(0).at(0).toLongLong(), 1LL);
        QCOMPARE(r.at(1).at(0).toLongLong(), 2LL);
        for (int i = 1; i < 91; ++i)
            QCOMPARE(r.at(1).at(i), r.at(0).at(i));
        QCOMPARE(estado.NumeroEvaluacion, 2);
    }

    // Whatever the evaluator types or pastes is stored as it stands on the
    // form, never longer than its box.
    void textosDificiles_data()
    {
        QTest::addColumn<QString>("caja");
        QTest::addColumn<bool>("pegar");
        QTest::addColumn<QString>("texto");
        QTest::addColumn<QString>("queda");
        QTest::addColumn<int>("campo");
        QTest::addColumn<QString>("enCampo");
        auto fila = [](const char *nombre, const char *caja, bool pegar, const QString &texto, const QString &queda,
                       int campo, const QString &enCampo) {
            QTest::newRow(nombre) << QString::fromLatin1(caja) << pegar << texto << queda << campo << enCampo;
        };
        const QString comillas = QStringLiteral("Edificio \"La Ñ\"; O'Higgins");
        fila("comillas y punto y coma", "txtNombre", false, comillas, comillas, 13, comillas);
        const QString inyeccion = QStringLiteral("'); DELETE FROM Evaluaciones; --");
        fila("sql", "txtDuenno", true, inyeccion, inyeccion, 14, inyeccion);
        const QString larga = QStringLiteral("SELECT * FROM Evaluaciones WHERE 1=1; -- ñandú");
        const QString cortada = QStringLiteral("SELECT * FROM Evaluaciones WHERE 1=1; --");
        fila("sql largo", "txtEvaluador", true, larga, cortada, 16, cortada);
        const QString acentos = QStringLiteral("Ñandú Güemes Ávila 😀");
        fila("acentos y emoji tecleados", "txtNomBarrio", false, acentos, acentos, 2, acentos);
        const QString emoji = QStringLiteral("Casa 🏚️ del 👩‍👩‍👧 barrio");
        fila("emoji compuestos", "txtNombre", true, emoji, emoji, 13, emoji);
        const QString control = QStringLiteral("tel\x01\x1f\t\n\r\x7f" "ok");
        fila("caracteres de control", "txtTelefono", true, control, control, 15, control);
        const QString emojiEnElBorde = QString(49, QLatin1Char('a')) + QStringLiteral("😀zz");
        fila("emoji partido por el largo", "txtNombre", true, emojiEnElBorde, QString(49, QLatin1Char('a')), 13,
             QString(49, QLatin1Char('a')));
        fila("emoji justo", "txtsector", true, QStringLiteral("😀"), QStringLiteral("😀"), 4, QStringLiteral("😀"));
        fila("comuna con comillas", "txtComuna2", true, QStringLiteral("a'b\"c;d--e\\f"), QStringLiteral("a'b\"c;d--e"),
             1, QStringLiteral("05-a'b\"c;d--e"));
    }

    void textosDificiles()
    {
        QFETCH(QString, caja);
        QFETCH(bool, pegar);
        QFETCH(QString, texto);
        QFETCH(QString, queda);
        QFETCH(int, campo);
        QFETCH(QString, enCampo);
        auto forma = abrir();
        Llenar(forma.get(), Ejemplo::Identificacion());
        if (pegar)
            Pegar(forma.get(), caja, texto);
        else
            Escribir(forma.get(), caja, texto);
        QLineEdit *control = Caja(forma.get(), caja);
        QCOMPARE(control->text(), queda);
        QVERIFY(control->text().size() <= control->maxLength());
        Mensaje::encolarRespuesta(Respuesta::Aceptar);
        Mensaje::encolarRespuesta(Respuesta::Aceptar);
        Guardar(forma.get());
        const QList<QVariantList> r = registros();
        QCOMPARE(r.size(), 1);
        QCOMPARE(r.at(0).at(campo).toString(), enCampo);
        QCOMPARE(r.at(0).at(campo).toString().toUtf8(), enCampo.toUtf8());
        QCOMPARE(Ejemplo::Integridad(registro), QStringLiteral("ok"));
    }

    // --- a registry that cannot be written ------------------------------------

    void carpetaImposible()
    {
        // A folder cannot be made inside a plain file, not even by root.
        QFile tapon(carpeta->filePath(QStringLiteral("archivo")));
        QVERIFY(tapon.open(QIODevice::WriteOnly));
        tapon.close();
        registro = carpeta->filePath(QStringLiteral("archivo/sub/Registro de Evaluaciones.sqlite"));
        RutasDatos::establecerArchivoRegistro(registro);

        auto forma = guardarCon(Ejemplo::Identificacion(), {Respuesta::Aceptar, Respuesta::Aceptar});
        QCOMPARE(Mensaje::textosMostrados().size(), 2);
        const QString error = Mensaje::textosMostrados().at(1);
        qInfo("%s", qPrintable(error));
        QVERIFY2(error.startsWith(TextosRegistro::NoGuardada), qPrintable(error));
        QVERIFY2(error.contains(registro), qPrintable(error));
        QVERIFY(forma->isVisible());
        QCOMPARE(forma->identificacion().txtNombre, QStringLiteral("Edificio Álamo"));
        QCOMPARE(estado.NumeroEvaluacion, 0);
    }

    void primerUsoCreaCarpetaYArchivo()
    {
        registro = carpeta->filePath(QStringLiteral("datos/ORV/Registro de Evaluaciones.sqlite"));
        RutasDatos::establecerArchivoRegistro(registro);
        guardarCon(Ejemplo::Identificacion(), {Respuesta::Aceptar, Respuesta::Aceptar});
        QCOMPARE(Mensaje::textosMostrados().last(), Guardada);
        QCOMPARE(registros().size(), 1);
    }

    void archivoDeSoloLectura()
    {
        guardarCon(Ejemplo::Identificacion(), {Respuesta::Aceptar, Respuesta::Aceptar});
        QCOMPARE(registros().size(), 1);
        Mensaje::limpiar();

        QVERIFY(QFile::setPermissions(carpeta->path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner
                                                            | QFile::ReadGroup | QFile::ExeGroup | QFile::ReadOther
                                                            | QFile::ExeOther));
        QVERIFY(QFile::setPermissions(registro, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
        // Root writes through any permission: save as an ordinary user then.
        const bool comoRoot = geteuid() == 0;
        auto forma = abrir();
        Llenar(forma.get(), Ejemplo::Identificacion());
        Mensaje::encolarRespuesta(Respuesta::Aceptar);
        Mensaje::encolarRespuesta(Respuesta::Aceptar);
        if (comoRoot)
            QCOMPARE(seteuid(65534), 0);
        Guardar(forma.get());
        if (comoRoot)
            QCOMPARE(seteuid(0), 0);
        QCOMPARE(Mensaje::textosMostrados().size(), 2);
        const QString error = Mensaje::textosMostrados().at(1);
        qInfo("%s", qPrintable(error));
        QVERIFY2(error.startsWith(TextosRegistro::NoGuardada), qPrintable(error));
        QVERIFY(forma->isVisible());
        QCOMPARE(registros().size(), 1);

        // Writable again: the same form saves.
        QVERIFY(QFile::setPermissions(registro, QFile::ReadOwner | QFile::WriteOwner));
        Mensaje::limpiar();
        Mensaje::encolarRespuesta(Respuesta::Aceptar);
        Mensaje::encolarRespuesta(Respuesta::Aceptar);
        Guardar(forma.get());
        QCOMPARE(Mensaje::textosMostrados().last(), Guardada);
        QCOMPARE(registros().size(), 2);
        QCOMPARE(registros().last().at(0).toLongLong(), 2LL);
    }

    // The disk fills up in the middle of the save: no record, a sound file,
    // and the same form saves once there is room again. Files may not grow
    // past one page while the save runs.
    void discoLleno()
    {
        guardarCon(Ejemplo::Identificacion(), {Respuesta::Aceptar, Respuesta::Aceptar});
        QCOMPARE(registros().size(), 1);
        Mensaje::limpiar();
        auto forma = abrir();
        Llenar(forma.get(), Ejemplo::Identificacion());
        Mensaje::encolarRespuesta(Respuesta::Aceptar);
        Mensaje::encolarRespuesta(Respuesta::Aceptar);
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit antes{};
        QCOMPARE(getrlimit(RLIMIT_FSIZE, &antes), 0);
        rlimit lleno = antes;
        lleno.rlim_cur = 4096;
        QCOMPARE(setrlimit(RLIMIT_FSIZE, &lleno), 0);
        Guardar(forma.get());
        QCOMPARE(setrlimit(RLIMIT_FSIZE, &antes), 0);
        QCOMPARE(Mensaje::textosMostrados().size(), 2);
        const QString error = Mensaje::textosMostrados().at(1);
        qInfo("%s", qPrintable(error));
        QVERIFY2(error.startsWith(TextosRegistro::NoGuardada), qPrintable(error));
        QVERIFY(forma->isVisible());
        QCOMPARE(Ejemplo::Integridad(registro), QStringLiteral("ok"));
        QCOMPARE(registros().size(), 1);

        Mensaje::limpiar();
        Mensaje::encolarRespuesta(Respuesta::Aceptar);
        Mensaje::encolarRespuesta(Respuesta::Aceptar);
        Guardar(forma.get());
        QCOMPARE(Mensaje::textosMostrados().last(), Guardada);
        QCOMPARE(registros().size(), 2);
        QCOMPARE(registros().last().at(0).toLongLong(), 2LL);
    }

    // Another program holds the write lock past the wait: a message, the
    // form stays, nothing is written; once the lock is gone the save works.
    void registroBloqueado()
    {
        RegistroEvaluaciones::asegurar(registro);
        QSqlDatabase otro = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("otro programa"));
        otro.setDatabaseName(registro);
        QVERIFY(otro.open());
        QSqlQuery bloqueo(otro);
        QVERIFY2(bloqueo.exec(QStringLiteral("BEGIN IMMEDIATE")), qPrintable(bloqueo.lastError().text()));

        auto forma = abrir();
        Llenar(forma.get(), Ejemplo::Identificacion());
        Mensaje::encolarRespuesta(Respuesta::Aceptar);
        Mensaje::encolarRespuesta(Respuesta::Aceptar);
        QElapsedTimer reloj;
        reloj.start();
        Guardar(forma.get());
        const qint64 espera = reloj.elapsed();
        qInfo("espera ante el registro bloqueado: %lld ms", espera);
        QCOMPARE(Mensaje::textosMostrados().size(), 2);
        const QString error = Mensaje::textosMostrados().at(1);
        qInfo("%s", qPrintable(error));
        QVERIFY2(error.startsWith(TextosRegistro::NoGuardada), qPrintable(error));
        QVERIFY(espera >= 4000);
        QVERIFY(forma->isVisible());
        QCOMPARE(forma->identificacion().txtNumCalle, QStringLiteral("45B"));

        QVERIFY(bloqueo.exec(QStringLiteral("ROLLBACK")));
        bloqueo.finish();
        otro.close();
        otro = QSqlDatabase();
        QSqlDatabase::removeDatabase(QStringLiteral("otro programa"));
        QVERIFY(registros().isEmpty());

        Mensaje::limpiar();
        Mensaje::encolarRespuesta(Respuesta::Aceptar);
        Mensaje::encolarRespuesta(Respuesta::Aceptar);
        Guardar(forma.get());
        QCOMPARE(Mensaje::textosMostrados().last(), Guardada);
        QCOMPARE(registros().size(), 1);
        QVERIFY(!forma->isVisible());
    }
};

QTEST_MAIN(PruebaGuardarEvaluacion)
#include "record_writer_test.moc"
