// Saving an evaluation from the additional information form: the checks and
// their messages, the placeholders, the fields of the record, the
// numbering, awkward texts, and a registry that cannot be written.

#include "gui/saving/form_driver.h"
#include "support/gui_test_support.h"

#include "gui/common/message_box.h"
#include "core/data/data_paths.h"
#include "core/registry/coordinates.h"
#include "core/registry/known_building.h"

#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>
#include <optional>
#include <sys/resource.h>

using namespace Conducir;
using Mensaje::Respuesta;
using namespace TextosRegistro;

namespace {

const QList<Respuesta> AceptarTodo = {Respuesta::Aceptar, Respuesta::Aceptar};

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

QStringList Textos(const QVariantList &registro, std::initializer_list<int> campos)
{
    QStringList t;
    for (int c : campos)
        t << registro.at(c).toString();
    return t;
}

}  // namespace

class PruebaGuardarEvaluacion : public QObject {
    Q_OBJECT

private:
    enum Base { Vacia, Completa, SinLugar };
    enum Causa { Carpeta, DiscoLleno, Bloqueado };
    EstadoEvaluacion estado;
    const DatosEdificacion datos = Ejemplo::Datos();
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

    // Presses "Guardar" with `respuestas` queued for the boxes it shows.
    static void pulsarGuardar(Form23 *forma, const QList<Respuesta> &respuestas = AceptarTodo)
    {
        for (Respuesta r : respuestas)
            Mensaje::encolarRespuesta(r);
        Guardar(forma);
    }

    std::unique_ptr<Form23> guardarCon(const IdentificacionEvaluacion &id, const QList<Respuesta> &respuestas)
    {
        auto forma = abrir();
        Llenar(forma.get(), id);
        pulsarGuardar(forma.get(), respuestas);
        return forma;
    }

    QList<QVariantList> registros() { return Ejemplo::LeerRegistro(registro); }

    // A stopped save: exactly `mensajes` shown, the form still open, no record.
    void verificarDetenido(Form23 *forma, const QStringList &mensajes)
    {
        QCOMPARE(Mensaje::textosMostrados(), mensajes);
        QVERIFY(forma->isVisible());
        QVERIFY(registros().isEmpty());
    }

private slots:
    void initTestCase() { Prueba::PrepararFormularios(); }

    void init()
    {
        Mensaje::limpiar();
        estado = EstadoEvaluacion();
        Ejemplo::LlenarEstado(estado);
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

    // From what the evaluator typed to what the save shows and stores. Each
    // row starts from an empty form, the example or the example without any
    // location, then clicks a street kind ("via=N") and types into boxes
    // ("caja=texto"). Saved rows list fields of the record from `primero` on;
    // stopped rows list boxes of the form that keep their text. The contact
    // question is answered OK exactly when the row expects a record.
    void comprobaciones_data()
    {
        QTest::addColumn<int>("base");
        QTest::addColumn<QStringList>("cambios");
        QTest::addColumn<QStringList>("mensajes");
        QTest::addColumn<int>("primero");
        QTest::addColumn<QStringList>("esperado");
        const QStringList guarda = {Confirmacion, Guardada};
        const QStringList sinContacto = Lista({"txtNombre=", "txtDuenno=", "txtTelefono="});
        auto fila = [](const char *nombre, Base base, const QStringList &cambios, const QStringList &mensajes,
                       int primero, const QStringList &esperado) {
            QTest::newRow(nombre) << int(base) << cambios << mensajes << primero << esperado;
        };

        // Evaluator, commission code and house number do not identify a
        // building; the save stops before any placeholder.
        fila("sin identificación, con número de casa", Vacia,
             Lista({"txtEvaluador=Ing. Pérez", "txtCodigComi=C-17", "txtNumero=12-30"}), {SinIdentificacion}, 0,
             Lista({"txtAvenida="}));
        // Missing contact data may be completed later: each empty box gets
        // "Información pendiente". Refused, the other checks still run and the
        // confirmation never comes.
        fila("contacto pendiente", Completa, sinContacto, QStringList{ContactoIncompleto} + guarda, 13,
             {InformacionPendiente, InformacionPendiente, InformacionPendiente});
        fila("falta el dueño", Completa, Lista({"txtDuenno="}), QStringList{ContactoIncompleto} + guarda, 13,
             {QStringLiteral("Edificio Álamo"), InformacionPendiente, QStringLiteral("555 0199")});
        fila("contacto rechazado, sin uso ni ubicación", SinLugar, sinContacto + Lista({"cboUsoBaja="}),
             {ContactoIncompleto, FaltaUso, SinUbicacion}, 0, Lista({"txtNombre="}));
        // The location table, (cadastral state, address state).
        fila("(0,0) nada", SinLugar, {}, {SinUbicacion}, 0, {});
        fila("(0,1) otra vía", SinLugar, Lista({"via=5", "txtOtro=Vía al Mar km 3", "txtNumero=s/n"}), guarda, 1,
             Lista({"---", "-", "--", "--", "----", "----", "---", "Otro", "--", "--", "Vía al Mar km 3", "s/n"}));
        fila("(1,0) solo catastro", Completa, Lista({"via=0", "txtNumCalle=", "txtNumero="}), guarda, 1,
             Lista({"05-1234567890", "San Martín", "01", "12", "0034", "0056", "001", "Carrera", "-", "-", "-", "-"}));
        fila("(1,2) avenida sin número", Completa, Lista({"via=4", "txtAvenida=Avenida Oriental", "txtNumero="}),
             guarda, 8, Lista({"Avenida", "--", "Avenida Oriental", "--", "-"}));
        fila("(1,2) número sin calle", Completa, Lista({"via=2", "txtNumCalle=", "txtNumero=7"}), guarda, 8,
             Lista({"Transversal", "", "--", "--", "7"}));
        fila("(2,1) catastro parcial", SinLugar,
             Lista({"via=3", "txtNomBarrio=San Martín", "txtComuna1=05", "txtManzana=0034", "txtNumCalle=20",
                    "txtNumero=3-15"}),
             guarda, 1,
             Lista({"05--", "San Martín", "--", "--", "0034", "----", "---", "Diagonal", "20", "--", "--", "3-15"}));
        fila("(2,2)", SinLugar, Lista({"txtNomBarrio=San Martín", "txtNumCalle=45"}), {UbicacionIncompleta}, 0,
             {});
        fila("(0,2)", SinLugar, Lista({"via=4", "txtNumero=12-30"}), {UbicacionIncompleta}, 0, {});
    }

    void comprobaciones()
    {
        QFETCH(int, base);
        QFETCH(QStringList, cambios);
        QFETCH(QStringList, mensajes);
        QFETCH(int, primero);
        QFETCH(QStringList, esperado);
        const bool guardada = mensajes.last() == Guardada;
        auto forma = abrir();
        IdentificacionEvaluacion id = base == SinLugar ? SinUbicacionNiCatastro() : Ejemplo::Identificacion();
        for (const QString &cambio : std::as_const(cambios)) {
            const QString caja = cambio.section(QLatin1Char('='), 0, 0), texto = cambio.section(QLatin1Char('='), 1);
            if (caja == QLatin1String("via"))
                id.Option1 = texto.toInt();
            else if (base == Vacia)
                Escribir(forma.get(), caja, texto);
            for (auto &[nombre, valor] : CajasDe(id))
                if (nombre == caja)
                    *valor = texto;
        }
        if (base != Vacia)
            Llenar(forma.get(), id);
        for (const QString &m : std::as_const(mensajes))
            Mensaje::encolarRespuesta(m == ContactoIncompleto && !guardada ? Respuesta::Cancelar : Respuesta::Aceptar);
        Guardar(forma.get());

        QCOMPARE(Mensaje::textosMostrados(), mensajes);
        if (mensajes.first() == ContactoIncompleto)  // a question the evaluator may refuse
            QCOMPARE(Mensaje::mostrados().at(0).botones, Mensaje::Botones::AceptarCancelar);
        QCOMPARE(forma->isVisible(), !guardada);
        const QList<QVariantList> r = registros();
        QCOMPARE(r.size(), guardada ? 1 : 0);
        if (!guardada) {
            for (const QString &e : std::as_const(esperado))
                QCOMPARE(Caja(forma.get(), e.section(QLatin1Char('='), 0, 0))->text(), e.section(QLatin1Char('='), 1));
            return;
        }
        QCOMPARE(forma->result(), int(QDialog::Accepted));
        QCOMPARE(r.at(0).mid(primero, esperado.size()), QVariantList(esperado.cbegin(), esperado.cend()));
    }

    // A save stopped by the use check: the placeholders it wrote stay on the
    // form and the next press sees them as typed text (cadastral state 1);
    // categories declared not relevant lose their texts and indices at once.
    void segundaPulsacion_data()
    {
        QTest::addColumn<int>("caso");
        QTest::addColumn<QStringList>("textos");     // fields 77, 78, 80
        QTest::addColumn<QList<double>>("indices");  // fields 79, 81
        QTest::newRow("1") << 1 << Lista({"Bajo", "Buenas", "No Aplica"}) << QList<double>{0.17, 0.0};
        QTest::newRow("2") << 2 << Lista({"No Aplica", "No Aplica", "Regulares"}) << QList<double>{0.0, 0.33};
        QTest::newRow("3") << 3 << Lista({"No Aplica", "No Aplica", "No Aplica"}) << QList<double>{0.0, 0.0};
    }

    void segundaPulsacion()
    {
        QFETCH(int, caso);
        QFETCH(QStringList, textos);
        QFETCH(QList<double>, indices);
        estado.CasoRelevancia = static_cast<int16_t>(caso);
        IdentificacionEvaluacion id = SinUbicacionNiCatastro();
        id.txtNumCalle = QStringLiteral("45");
        id.txtNumero = QStringLiteral("12-30");
        id.cboUsoBaja.clear();
        auto forma = guardarCon(id, {Respuesta::Aceptar});
        verificarDetenido(forma.get(), {FaltaUso});
        QStringList enForma;
        for (const char *caja : {"txtManzana", "txtComuna1", "txtAvenida"})
            enForma << Caja(forma.get(), QString::fromLatin1(caja))->text();
        QCOMPARE(enForma, Lista({"----", "-", "--"}));
        QCOMPARE((QStringList{estado.TextoRiesgoGeotecnico, estado.TextoSuelo, estado.TextoPreexistente}), textos);
        QCOMPARE((QList<double>{estado.IndiceSuelo, estado.IndicePreexistente}), indices);

        Mensaje::limpiar();
        ElegirUso(forma.get(), QStringLiteral("cboUsoBaja"), QStringLiteral("Oficinas"));
        pulsarGuardar(forma.get());
        QCOMPARE(Mensaje::textosMostrados(), (QStringList{Confirmacion, Guardada}));
        const QList<QVariantList> r = registros();
        QCOMPARE(r.size(), 1);
        QCOMPARE(Textos(r.at(0), {1, 5, 20, 77, 78, 80}), Lista({"---", "----", "Oficinas"}) + textos);
        QCOMPARE((QList<double>{r.at(0).at(79).toDouble(), r.at(0).at(81).toDouble()}), indices);
        QCOMPARE(r.at(0).at(32).toLongLong(), qlonglong(caso));
        // The other categories keep theirs.
        QCOMPARE(r.at(0).at(71).toString(), QStringLiteral("Alto"));
        QCOMPARE(r.at(0).at(76).toDouble(), 0.4512);
    }

    // Each placeholder is in its box when the next message appears, so the
    // evaluator reads every message over what would be stored.
    void marcasAntesDeCadaMensaje()
    {
        QStringList vistas;
        Form23 *visto = nullptr;
        Mensaje::alMostrar([&](const Mensaje::Mostrado &m) {
            QStringList cajas;
            for (const char *nombre : {"txtDuenno", "txtAvenida", "txtComuna1", "txtManzana"})
                cajas << Caja(visto, QString::fromLatin1(nombre))->text();
            vistas << m.texto.left(12) + QStringLiteral(": ") + cajas.join(QLatin1Char('|'));
        });
        // Only the building's name: contact answered OK, then use and location refuse.
        auto forma = abrir();
        visto = forma.get();
        Escribir(forma.get(), QStringLiteral("txtNombre"), QStringLiteral("Edificio Álamo"));
        pulsarGuardar(forma.get(), {Respuesta::Aceptar, Respuesta::Aceptar, Respuesta::Aceptar});
        QCOMPARE(vistas, Lista({"La informaci: |||", "Debe indicar: Información pendiente|||",
                                "Debe porporc: Información pendiente|--||"}));
        // Address only: the cadastral placeholders are there under the confirmation.
        vistas.clear();
        IdentificacionEvaluacion id = SinUbicacionNiCatastro();
        id.Option1 = 5;
        id.txtOtro = QStringLiteral("Vía al Mar km 3");
        id.txtNumero = QStringLiteral("s/n");
        forma = abrir();
        visto = forma.get();
        Llenar(forma.get(), id);
        pulsarGuardar(forma.get(), {Respuesta::Cancelar});
        QCOMPARE(vistas, Lista({"Toda la info: Marta Núñez|--|-|----"}));
        Mensaje::alMostrar(nullptr);
    }

    // Latitude and longitude: both or neither, in range, comma or point; on
    // the form a wrong pair stops the save with its message, nothing lost.
    void coordenadas()
    {
        const struct {
            const char *latitud, *longitud, *leido;  // "lat;lon", "" for none, or the start of the message
        } casos[] = {{"", " ", ""}, {" -12,5 ", "-97.25", "-12.5;-97.25"}, {"-90", "+180,0", "-90;180"},
                     {"4,5", "", "Las coordenadas deben indicarse las dos"},
                     {"90,01", "10", "La latitud debe estar entre -90 y 90"},
                     {"10", "-180.5", "La longitud debe estar entre -180 y 180"},
                     {"12°22'", "10", "La latitud \"12°22'\" no es un número"},
                     {"10", "1e2", "La longitud \"1e2\" no es un número"}};
        for (const auto &caso : casos) {
            const Coordenadas c = LeerCoordenadas(QString::fromUtf8(caso.latitud), QString::fromUtf8(caso.longitud));
            const QString esperado = QString::fromUtf8(caso.leido);
            const QString leido = !c.error.isEmpty()      ? c.error
                                  : c.Latitud && c.Longitud ? QStringLiteral("%1;%2").arg(*c.Latitud).arg(*c.Longitud)
                                  : c.Latitud || c.Longitud ? QStringLiteral("una sola")
                                                            : QString();
            if (esperado.startsWith(QLatin1String("La")))
                QVERIFY2(leido.startsWith(esperado) && !c.Latitud && !c.Longitud, qPrintable(leido));
            else
                QCOMPARE(leido, esperado);
        }

        auto forma = abrir();
        Llenar(forma.get(), Ejemplo::Identificacion());
        Escribir(forma.get(), QStringLiteral("txtLatitud"), QStringLiteral("4,5"));
        pulsarGuardar(forma.get(), {Respuesta::Aceptar});
        verificarDetenido(forma.get(), {LeerCoordenadas(QStringLiteral("4,5"), QString()).error});
        QCOMPARE(Caja(forma.get(), QStringLiteral("txtLatitud"))->text(), QStringLiteral("4,5"));
    }

    // The dwelling units: blank is no number; a whole number from 0 to 9999
    // is kept; anything else stops the save with its message, the box as
    // typed. Through the form, the number reaches the file.
    void unidadesVivienda()
    {
        const std::pair<const char *, int> casos[] = {  // -1: no number, -2: refused
            {"", -1},     {"  ", -1},   {"0", 0},      {" 12 ", 12}, {"0009", 9},   {"9999", 9999}, {"10000", -2},
            {"-1", -2},   {"+3", -2},   {"2.5", -2},   {"3,0", -2},  {"1e3", -2},   {"doce", -2},   {"1 200", -2},
            {"00000000000000000000012", 12}};
        for (const auto &[texto, esperado] : casos) {
            bool valido = false;
            const std::optional<int> n = LeerUnidadesVivienda(QString::fromLatin1(texto), valido);
            const int leido = !valido ? -2 : n ? *n : -1;
            QCOMPARE(std::pair(texto, leido), std::pair(texto, esperado));
        }

        auto forma = abrir();
        Llenar(forma.get(), Ejemplo::Identificacion());
        Escribir(forma.get(), QStringLiteral("txtUnidades"), QStringLiteral("2.5"));
        pulsarGuardar(forma.get(), {Respuesta::Aceptar});
        verificarDetenido(forma.get(), {TextosRegistro::UnidadesInvalidas});
        QCOMPARE(Caja(forma.get(), QStringLiteral("txtUnidades"))->text(), QStringLiteral("2.5"));

        Mensaje::limpiar();
        Escribir(forma.get(), QStringLiteral("txtUnidades"), QStringLiteral("24"));
        pulsarGuardar(forma.get());
        QVERIFY(!forma->isVisible());
        const QList<QVariantList> guardado = Ejemplo::LeerRegistro(registro, QStringLiteral("unidades_vivienda"));
        QCOMPARE(guardado.size(), 1);
        QCOMPARE(guardado.at(0).at(0), QVariant(24));
    }

    // Every field of a complete evaluation, read back from the file with its
    // kind of value and the table's column type; saved again in the same run,
    // it becomes a second record.
    void los91CamposYDosGuardados()
    {
        // Refused at the confirmation first: nothing written, the form stays.
        auto forma = guardarCon(Ejemplo::Identificacion(), {Respuesta::Cancelar});
        verificarDetenido(forma.get(), {Confirmacion});
        QCOMPARE(Mensaje::mostrados().at(0).titulo, TituloGuardar);
        QCOMPARE(Mensaje::mostrados().at(0).botones, Mensaje::Botones::AceptarCancelar);
        pulsarGuardar(forma.get());
        QCOMPARE(Mensaje::textosMostrados(), (QStringList{Confirmacion, Confirmacion, Guardada}));
        QList<QVariantList> r = registros();
        QCOMPARE(r.size(), 1);
        QVariantList esperado = Ejemplo::Campos();
        esperado[0] = qlonglong(1);
        QCOMPARE(r.at(0).size(), RegistroEvaluaciones::NumCampos);
        for (int i = 0; i < RegistroEvaluaciones::NumCamposAnteriores; ++i) {
            const QVariant &leido = r.at(0).at(i);
            const QVariant &e = esperado.at(i);
            const bool real = e.typeId() == QMetaType::Double;
            const bool igual = real ? qFuzzyCompare(leido.toDouble(), e.toDouble()) : leido == e;
            QVERIFY2(leido.typeId() == e.typeId() && igual,
                     qPrintable(QStringLiteral("campo %1: %2 \"%3\"")
                                    .arg(i)
                                    .arg(QString::fromLatin1(leido.typeName()), leido.toString())));
            const char *tipo = real ? "REAL" : e.typeId() == QMetaType::LongLong ? "INTEGER" : "TEXT";
            QCOMPARE(RegistroEvaluaciones::TipoSqlite(RegistroEvaluaciones::Campo(i).tipo), QString::fromLatin1(tipo));
        }
        QCOMPARE(estado.NumeroEvaluacion, 1);
        // Other programs read the file by its column names.
        QStringList porNombre;
        Ejemplo::ConArchivo(registro, [&](QSqlQuery &q) {
            if (q.exec(QStringLiteral("SELECT NombreEdificacion, PersonaContacto, Telefono, Evaluador FROM Evaluaciones")) &&
                q.next())
                porNombre = QStringList{q.value(0).toString(), q.value(1).toString(), q.value(2).toString(), q.value(3).toString()};
        });
        const IdentificacionEvaluacion id = Ejemplo::Identificacion();
        QCOMPARE(porNombre, (QStringList{id.txtNombre, id.txtDuenno, id.txtTelefono, id.txtEvaluador}));

        // The same building again: a new inspection of it.
        guardarCon(Ejemplo::Identificacion(), {Respuesta::Si, Respuesta::Aceptar, Respuesta::Aceptar});
        r = registros();
        QCOMPARE(r.size(), 2);
        QCOMPARE(r.at(1).at(0).toLongLong(), 2LL);
        QCOMPARE(r.at(1).mid(1), r.at(0).mid(1));
        QCOMPARE(estado.NumeroEvaluacion, 2);
    }

    // A building the registry knows is asked about before the confirmation:
    // Yes links the evaluation to it; No with the building's name typed makes
    // another building of the same plot; No without a name stops the save;
    // another plot asks nothing; one within 15 m of an evaluation is asked
    // about by its position.
    void reinspeccion()
    {
        const QStringList confirmado{Confirmacion, Guardada};
        auto claves = [&] {
            QStringList c;
            for (const QVariantList &f : Ejemplo::LeerRegistro(registro, QStringLiteral("clave_edificacion")))
                c << f.at(0).toString();
            return c;
        };
        // The form with its coordinates typed too.
        auto guardarCon = [this](const IdentificacionEvaluacion &i, const QList<Respuesta> &respuestas) {
            auto forma = abrir();
            Llenar(forma.get(), i);
            Escribir(forma.get(), QStringLiteral("txtLatitud"), i.txtLatitud);
            Escribir(forma.get(), QStringLiteral("txtLongitud"), i.txtLongitud);
            pulsarGuardar(forma.get(), respuestas);
            return forma;
        };
        IdentificacionEvaluacion id = Ejemplo::Identificacion();
        id.txtLatitud = QStringLiteral("-12.5");
        id.txtLongitud = QStringLiteral("-97.25");
        guardarCon(id, AceptarTodo);
        QCOMPARE(Mensaje::textosMostrados(), confirmado);

        Mensaje::limpiar();
        guardarCon(id, {Respuesta::Si, Respuesta::Aceptar, Respuesta::Aceptar});
        QCOMPARE(Mensaje::textosMostrados().size(), 3);
        QCOMPARE(Mensaje::textosMostrados().at(0),
                 QStringLiteral("Esta edificación ya tiene 1 evaluación; la vigente es la N.º 1 del 06/12/2026 14:56: "
                                "NO HABITABLE (Ing. Pérez, C-17). ¿Es esta una nueva inspección de la misma "
                                "edificación?"));
        QCOMPARE(Mensaje::mostrados().at(0).botones, Mensaje::Botones::SiNo);
        QCOMPARE(Mensaje::textosMostrados().mid(1), confirmado);
        QCOMPARE(claves().size(), 2);
        QCOMPARE(claves().at(1), claves().at(0));

        // Another building on the same plot, told apart by its name.
        Mensaje::limpiar();
        IdentificacionEvaluacion otra = id;
        otra.txtNombre = QStringLiteral("Bloque B");
        guardarCon(otra, {Respuesta::No, Respuesta::Aceptar, Respuesta::Aceptar});
        QVERIFY2(Mensaje::textosMostrados().at(0).startsWith(QStringLiteral("Esta edificación ya tiene 2 evaluaciones")),
                 qPrintable(Mensaje::textosMostrados().at(0)));
        QCOMPARE(Mensaje::textosMostrados().mid(1), confirmado);
        QCOMPARE(claves().size(), 3);
        QVERIFY(claves().at(2) != claves().at(0));
        QVERIFY(claves().at(2).startsWith(claves().at(0)));
        // Its next inspection is asked about as the building of its name.
        Mensaje::limpiar();
        guardarCon(otra, {Respuesta::Si, Respuesta::Aceptar, Respuesta::Aceptar});
        QVERIFY2(Mensaje::textosMostrados().at(0).startsWith(QStringLiteral("Esta edificación ya tiene 1 evaluación; "
                                                                            "la vigente es la N.º 3")),
                 qPrintable(Mensaje::textosMostrados().at(0)));
        QCOMPARE(claves().at(3), claves().at(2));

        // No, and nothing tells the two apart: the save stops, the form stays.
        Mensaje::limpiar();
        IdentificacionEvaluacion sinNombre = id;
        sinNombre.txtNombre.clear();
        // (the contact question first: the name box gets "Información pendiente")
        auto forma = guardarCon(sinNombre, {Respuesta::Aceptar, Respuesta::No, Respuesta::Aceptar});
        QCOMPARE(Mensaje::textosMostrados().last(), Reinspeccion::FaltaNombre);
        QVERIFY(forma->isVisible());
        QCOMPARE(claves().size(), 4);

        // Another plot far away: nothing asked.
        Mensaje::limpiar();
        IdentificacionEvaluacion lejos = id;
        lejos.txtPredio = QStringLiteral("0099");
        lejos.txtLatitud = QStringLiteral("-12.6");
        guardarCon(lejos, AceptarTodo);
        QCOMPARE(Mensaje::textosMostrados(), confirmado);

        // Another plot 10 m from the first building: asked about by position;
        // No keeps its own key.
        Mensaje::limpiar();
        IdentificacionEvaluacion vecina = id;
        vecina.txtPredio = QStringLiteral("0057");
        vecina.txtLatitud = QStringLiteral("-12.50009");
        guardarCon(vecina, {Respuesta::No, Respuesta::Aceptar, Respuesta::Aceptar});
        QVERIFY2(Mensaje::textosMostrados().at(0).startsWith(QStringLiteral("A menos de 15 m de las coordenadas hay una "
                                                                            "edificación con 2 evaluaciones")),
                 qPrintable(Mensaje::textosMostrados().at(0)));
        QCOMPARE(claves().size(), 6);
        QVERIFY(!claves().mid(0, 5).contains(claves().at(5)));
    }

    // Storey texts are read as their leading number and rounded, halves to
    // even (the example's "2.5" gives 2 among the 91 fields); a comma is no
    // decimal mark; past the 32-bit range, the largest.
    void pisos()
    {
        const std::pair<const char *, qlonglong> casos[] = {{"", 0},     {" 7 pisos", 7}, {"3.5", 4},  {".5", 0},
                                                            {"-1.5", -2}, {"4,7", 4},      {"1e1", 10}, {"99999999999", 2147483647}};
        for (const auto &[texto, valor] : casos)
            QCOMPARE(std::pair(texto, qlonglong(EnteroDeTexto(QString::fromLatin1(texto)))), std::pair(texto, valor));
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
        for (int i = 0; i < RegistroEvaluaciones::NumCamposAnteriores; ++i)
            QVERIFY2(!r.at(0).at(i).isNull(), qPrintable(QString::number(i)));
        // Coordinates not given stay empty.
        QVERIFY(r.at(0).at(RegistroEvaluaciones::Pos::Latitud).isNull() && r.at(0).at(RegistroEvaluaciones::Pos::Longitud).isNull());
        QCOMPARE(Textos(r.at(0), {1, 13, 18}), Lista({"-", "Casa", ""}));
    }

    // The number is the largest present plus one; an empty registry starts at
    // 1; past the 32-bit range the save stops with a message.
    void numeracion()
    {
        const std::pair<QVariantList, qlonglong> casos[] = {  // 0: no number left
            {{qlonglong(5), qlonglong(17), QVariant()}, 18},  // the last without a number
            {{qlonglong(3), qlonglong(9), QVariant(QStringLiteral("sin número"))}, 10},
            {{qlonglong(50), qlonglong(7)}, 51},  // the last below another
            {{QVariant(), QVariant()}, 1},
            {{qlonglong(32767)}, 32768},  // past 16 bits
            {{qlonglong(2147483647)}, 0}};
        for (const auto &[previos, numero] : casos) {
            registro = carpeta->filePath(QStringLiteral("%1.sqlite").arg(numero));
            RutasDatos::establecerArchivoRegistro(registro);
            Sembrar(registro, previos);
            Mensaje::limpiar();
            auto forma = guardarCon(Ejemplo::Identificacion(), AceptarTodo);
            const QList<QVariantList> r = registros();
            QCOMPARE(r.size(), previos.size() + (numero ? 1 : 0));
            QCOMPARE(forma->isVisible(), numero == 0);
            if (numero) {
                QCOMPARE(r.last().at(0).toLongLong(), numero);
                QCOMPARE(qlonglong(estado.NumeroEvaluacion), numero);
            } else {
                QCOMPARE(Mensaje::textosMostrados().size(), 2);
                QVERIFY(Mensaje::textosMostrados().at(1).startsWith(TextosRegistro::NoGuardada));
                QVERIFY(Mensaje::textosMostrados().at(1).contains(QStringLiteral("no quedan números")));
            }
        }
    }

    // Whatever the evaluator types or pastes is stored as it stands on the
    // form, never longer than its box.
    void textosDificiles()
    {
        const QString comillas = QStringLiteral("Edificio \"La Ñ\"; O'Higgins");
        const QString acentos = QStringLiteral("Ñandú Güemes Ávila 😀"), emoji = QStringLiteral("Casa 🏚️ del 👩‍👩‍👧 barrio");
        const QString control = QStringLiteral("tel\x01\x1f\t\n\r\x7f" "ok"), a49 = QString(49, QLatin1Char('a'));
        const struct {
            const char *caja;
            bool pegar;
            QString texto, queda;
            int campo;
        } casos[] = {{"txtNombre", false, comillas, comillas, 13},
                     // Pasted past the 40 characters of the box.
                     {"txtDuenno", true, QStringLiteral("'); DELETE FROM Evaluaciones; -- WHERE 1=1; ñandú"),
                      QStringLiteral("'); DELETE FROM Evaluaciones; -- WHERE 1"), 14},
                     {"txtNomBarrio", false, acentos, acentos, 2},
                     {"txtNombre", true, emoji, emoji, 13},
                     {"txtTelefono", true, control, control, 15},
                     // The fiftieth code unit is the first half of the emoji: it goes whole.
                     {"txtNombre", true, a49 + QStringLiteral("😀zz"), a49, 13},
                     {"txtsector", true, QStringLiteral("😀"), QStringLiteral("😀"), 4}};
        for (const auto &c : casos) {
            // Each case in a registry of its own: no building to ask about.
            registro = carpeta->filePath(QStringLiteral("textos %1.sqlite").arg(&c - casos));
            RutasDatos::establecerArchivoRegistro(registro);
            auto forma = abrir();
            Llenar(forma.get(), Ejemplo::Identificacion());
            Escribir(forma.get(), QString::fromLatin1(c.caja), c.texto, c.pegar);
            QCOMPARE(Caja(forma.get(), QString::fromLatin1(c.caja))->text(), c.queda);
            pulsarGuardar(forma.get());
            const QList<QVariantList> r = registros();
            QCOMPARE(r.size(), 1);
            QCOMPARE(r.last().at(c.campo).toString(), c.queda);
        }
    }

    // A registry that cannot be opened or written: a message naming the file,
    // the form and everything typed stay, no record is added and the file is
    // sound; once the cause is gone the same form saves.
    void registroQueFalla_data()
    {
        QTest::addColumn<int>("causa");
        QTest::newRow("carpeta imposible") << int(Carpeta);
        QTest::newRow("disco lleno") << int(DiscoLleno);
        QTest::newRow("bloqueado por otro programa") << int(Bloqueado);
    }

    void registroQueFalla()
    {
        QFETCH(int, causa);
        // A folder cannot be made inside a plain file, not even by root.
        const QString tapon = carpeta->filePath(QStringLiteral("archivo"));
        if (causa == Carpeta) {
            QVERIFY(QFile(tapon).open(QIODevice::WriteOnly));
            registro = carpeta->filePath(QStringLiteral("archivo/sub/Registro de Evaluaciones.sqlite"));
            RutasDatos::establecerArchivoRegistro(registro);
        } else {
            // Another building already in the registry: nothing to ask about.
            IdentificacionEvaluacion otra = Ejemplo::Identificacion();
            otra.txtPredio = QStringLiteral("0099");
            AgregarEvaluacion(registro, otra, estado, datos);
        }
        const int32_t antes = estado.NumeroEvaluacion;
        std::optional<ConjuntoRegistros> otroPrograma;
        if (causa == Bloqueado) {
            otroPrograma.emplace(registro, RegistroEvaluaciones::Tabla, ConjuntoRegistros::Modo::Escritura);
            otroPrograma->iniciarTransaccion();
        }

        auto forma = abrir();
        Llenar(forma.get(), Ejemplo::Identificacion());
        // On a full disk the file may not grow past one page.
        rlimit limite{};
        QCOMPARE(getrlimit(RLIMIT_FSIZE, &limite), 0);
        const rlimit lleno{4096, limite.rlim_max};
        std::signal(SIGXFSZ, SIG_IGN);
        QElapsedTimer reloj;
        reloj.start();
        if (causa == DiscoLleno)
            QCOMPARE(setrlimit(RLIMIT_FSIZE, &lleno), 0);
        pulsarGuardar(forma.get());
        QCOMPARE(setrlimit(RLIMIT_FSIZE, &limite), 0);
        const qint64 espera = reloj.elapsed();

        QCOMPARE(Mensaje::textosMostrados().size(), 2);
        const QString error = Mensaje::textosMostrados().at(1);
        QVERIFY2(error.startsWith(TextosRegistro::NoGuardada) && error.contains(registro), qPrintable(error));
        QVERIFY(causa != Bloqueado || espera >= 4000);
        QVERIFY(forma->isVisible());
        QCOMPARE(forma->identificacion().txtNombre, QStringLiteral("Edificio Álamo"));
        QCOMPARE(estado.NumeroEvaluacion, antes);
        otroPrograma.reset();
        if (causa != Carpeta)
            QCOMPARE(Ejemplo::Integridad(registro), QStringLiteral("ok"));
        QCOMPARE(registros().size(), antes);

        if (causa == Carpeta)
            QVERIFY(QFile::remove(tapon));  // now the save makes the folders
        Mensaje::limpiar();
        pulsarGuardar(forma.get());
        QCOMPARE(Mensaje::textosMostrados().last(), Guardada);
        QVERIFY(!forma->isVisible());
        QCOMPARE(registros().size(), antes + 1);
        QCOMPARE(registros().last().at(0).toInt(), antes + 1);
    }
};

QTEST_MAIN(PruebaGuardarEvaluacion)
#include "record_writer_test.moc"
