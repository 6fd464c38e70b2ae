// The registry window's "Resumen" tab and its exports, driven through the
// widgets: the charts and tables against counts made here from the saved
// records, a date range, the GIS export read back with ogrinfo, the summary
// CSV with Python's csv module; and, on the test server, evaluations waiting
// in the outbox shown and sent with "Enviar pendientes".

#include "gui/common/message_box.h"
#include "gui/common/widget_support.h"
#include "core/data/data_paths.h"
#include "core/registry/local_registry.h"
#include "core/registry/outbox.h"
#include "core/registry/registry_config.h"
#include "gui/registry/registry_form.h"
#include "gui/registry/registry_model.h"
#include "gui/registry/summary_tab.h"
#include "reports/sample_records.h"
#include "core/registry/server_fixture.h"
#include "support/gui_test_support.h"

#include <QAccessible>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QCheckBox>
#include <QDateEdit>
#include <QLabel>
#include <QPieSeries>
#include <QPushButton>
#include <QStackedBarSeries>
#include <QTabBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTextBrowser>
#include <QtTest>

using namespace RegistroEvaluaciones;

namespace {

// Twelve evaluations over three days, three barrios and three commissions;
// the first eight with coordinates.
struct Datos {
    int dia;  // of December 2026
    const char *barrio;
    const char *comision;
    int clase;  // habitability 0..3
};
const Datos Muestra[] = {
    {1, "San Martín", "C-17", 0}, {1, "San Martín", "C-17", 2}, {1, "El Prado", "C-03", 1}, {1, "Centro", "C-03", 3},
    {2, "San Martín", "C-17", 2}, {2, "El Prado", "C-09", 0}, {2, "El Prado", "C-09", 0},  {2, "Centro", "C-03", 1},
    {2, "Centro", "C-17", 2},     {3, "San Martín", "C-09", 3}, {3, "San Martín", "C-17", 0}, {3, "Centro", "C-03", 2},
};
constexpr int ConCoordenadas = 8;

RegistroEvaluacion Hacer(int i)
{
    const Datos &d = Muestra[i];
    RegistroEvaluacion r = EjemploDocumentos::Registro(0, d.clase);
    r.establecerCampo(Pos::Barrio, QString::fromUtf8(d.barrio));
    r.establecerCampo(Pos::CodigoComision, QString::fromUtf8(d.comision));
    r.establecerCampo(Pos::Fecha, QStringLiteral("2026-12-%1T%2:00:00").arg(d.dia, 2, 10, QLatin1Char('0'))
                                            .arg(8 + i, 2, 10, QLatin1Char('0')));
    const bool con = i < ConCoordenadas;
    r.establecerCampo(Pos::Latitud, con ? QVariant(-12.3 - i / 100.0) : QVariant());
    r.establecerCampo(Pos::Longitud, con ? QVariant(-97.4 - i / 100.0) : QVariant());
    return r;
}

// How many of the sample match `cumple`.
template <typename F>
int Contar(F cumple) { return int(std::count_if(std::begin(Muestra), std::end(Muestra), cumple)); }

void Clic(QWidget *w) { QTest::mouseClick(w, Qt::LeftButton, Qt::NoModifier, w->rect().center()); }

// The registry the window opens: this machine's file alone, or the test
// server `b` with this machine's file `local` (and its outbox).
RegistroForm::FabricaRegistro DelArchivo(const QString &local)
{
    return [local] {
        RegistroConfigurado r;
        r.almacen = std::make_unique<RegistroLocal>(local);
        return r;
    };
}
RegistroForm::FabricaRegistro DelServidor(const ServidorPrueba::Base &b, const QString &local)
{
    ConfiguracionRegistro config;
    config.servidor = true;
    config.conexion = b.evaluador;
    config.desdeEntorno = true;
    return [config, local] { return AbrirRegistro(config, local); };
}

// Clicks the tab titled `titulo`.
void ElegirPestana(QWidget &ventana, const QString &titulo)
{
    QTabBar *barra = Buscar<QTabWidget>(&ventana, QStringLiteral("pestanas"))->tabBar();
    for (int i = 0; i < barra->count(); ++i)
        if (barra->tabText(i) == titulo)
            QTest::mouseClick(barra, Qt::LeftButton, Qt::NoModifier, barra->tabRect(i).center());
}

}  // namespace

class PruebaPestanaResumen : public QObject {
    Q_OBJECT
    QTemporaryDir carpeta;
    QString archivo;

    std::unique_ptr<RegistroForm> Abrir(RegistroForm::FabricaRegistro fabrica)
    {
        auto f = std::make_unique<RegistroForm>(std::move(fabrica), RutasDatos::archivoComentarios());
        f->resize(1200, 800);
        f->show();
        if (!QTest::qWaitForWindowExposed(f.get()))
            qWarning("la ventana no se mostró");
        return f;
    }

private slots:
    void initTestCase()
    {
        Prueba::PrepararFormularios();
        archivo = carpeta.filePath(QStringLiteral("Registro de Evaluaciones.sqlite"));
        RegistroLocal registro(archivo);
        QVector<RegistroEvaluacion> todos;
        for (int i = 0; i < int(std::size(Muestra)); ++i)
            todos << Hacer(i);
        registro.agregar(todos);
    }
    void init() { Mensaje::limpiar(); }
    void cleanup() { QVERIFY2(Mensaje::inesperados().isEmpty(), qPrintable(Mensaje::inesperados().join('\n'))); }

    // The charts count what was saved: the pie by habitability in the placard
    // colours, the days stacked by habitability; the tables and what a screen
    // reader hears say the same; a date range counts only its days, and so
    // does its exported CSV.
    void graficosYTablas()
    {
        auto f = Abrir(DelArchivo(archivo));
        ElegirPestana(*f, QStringLiteral("Resumen"));
        QLabel *total = Buscar<QLabel>(f.get(), QStringLiteral("lblResumenTotal"));
        // The sample is one building (one plot) evaluated again and again.
        QTRY_COMPARE(total->text(), QStringLiteral("12 evaluaciones de 1 edificación"));

        const QList<QChart *> graficos = f->findChild<PestanaResumen *>()->graficos();
        auto *torta = qobject_cast<QPieSeries *>(graficos[0]->series().value(0));
        QVERIFY(torta);
        double suma = 0;
        for (QPieSlice *p : torta->slices()) {
            int clase = -1;
            for (int c = 0; c < 4; ++c)
                if (p->label().startsWith(EjemploDocumentos::Habitabilidades[c] + QLatin1Char(':')))
                    clase = c;
            QVERIFY2(clase >= 0, qPrintable(p->label()));
            QCOMPARE(p->value(), double(Contar([clase](const Datos &d) { return d.clase == clase; })));
            suma += p->value();
            const int tono = p->color().hsvHue();
            QVERIFY2(clase == 0 ? (tono >= 90 && tono <= 150) : clase == 1 ? (tono >= 40 && tono <= 60)
                                                                           : (tono <= 10 || tono >= 350),
                     qPrintable(p->label() + QLatin1Char(' ') + p->color().name()));
        }
        QCOMPARE(suma, 12.0);

        auto *dias = qobject_cast<QStackedBarSeries *>(graficos[1]->series().value(0));
        QVERIFY(dias);
        for (int dia = 1; dia <= 3; ++dia) {
            double enElDia = 0;
            for (QBarSet *s : dias->barSets())
                enElDia += s->at(dia - 1);
            QCOMPARE(enElDia, double(Contar([dia](const Datos &d) { return d.dia == dia; })));
        }
        QCOMPARE(dias->barSets().value(2)->label(), QStringLiteral("No Habitable"));
        QCOMPARE(dias->barSets().value(2)->at(1), 2.0);

        // The text tables and the charts' accessible descriptions.
        const QString tablas = Buscar<QTextBrowser>(f.get(), QStringLiteral("txtTablasResumen"))->toPlainText();
        for (const char *b : {"San Martín", "El Prado", "Centro", "C-17", "C-09", "C-03"})
            QVERIFY2(tablas.contains(QString::fromUtf8(b)), b);
        QString descripcion;
        for (QChartView *v : f->findChildren<QChartView *>()) {
            QAccessibleInterface *i = QAccessible::queryAccessibleInterface(v);
            QVERIFY(i && !i->text(QAccessible::Name).isEmpty());
            if (i->text(QAccessible::Name) == QStringLiteral("Barrios con más evaluaciones"))
                descripcion = i->text(QAccessible::Description);
        }
        QVERIFY2(descripcion.startsWith(
                     QStringLiteral("San Martín: Evaluaciones 5, No Habitable 2, Peligro de Colapso 1; ")),
                 qPrintable(descripcion));

        // From the second day on; then only that day.
        Clic(Buscar<QCheckBox>(f.get(), QStringLiteral("chkResumenDesde")));
        Buscar<QDateEdit>(f.get(), QStringLiteral("dtResumenDesde"))->setDate(QDate(2026, 12, 2));
        QCOMPARE(total->text(), QStringLiteral("%1 evaluaciones de 1 edificación")
                                    .arg(Contar([](const Datos &d) { return d.dia >= 2; })));
        Clic(Buscar<QCheckBox>(f.get(), QStringLiteral("chkResumenHasta")));
        Buscar<QDateEdit>(f.get(), QStringLiteral("dtResumenHasta"))->setDate(QDate(2026, 12, 2));
        QCOMPARE(total->text(), QStringLiteral("5 evaluaciones de 1 edificación"));
        QCOMPARE(f->findChild<PestanaResumen *>()->resumen().porDia.size(), 1);

        // "Exportar resumen CSV" writes the summary of that range; "Exportar
        // para SIG" the evaluations with coordinates of the table's filter,
        // naming those left out.
        const QString csv = carpeta.filePath(QStringLiteral("resumen.csv"));
        Prueba::ElegirArchivoAlGuardar(csv);
        Clic(Buscar<QPushButton>(f.get(), QStringLiteral("btnExportarResumen")));
        QVERIFY(Prueba::ModalAtendido());
        // The barrio row of San Martín on the second day: one evaluation, not habitable.
        QVERIFY(Prueba::LeerCsvConPython(csv).contains(QStringList{QStringLiteral("San Martín"), QStringLiteral("1"),
                                                                   QStringLiteral("1"), QStringLiteral("0")}));
        ElegirPestana(*f, QStringLiteral("Evaluaciones"));
        const QString geo = carpeta.filePath(QStringLiteral("evaluaciones.geojson"));
        Prueba::ElegirArchivoAlGuardar(geo);
        Mensaje::encolarRespuesta(Mensaje::Respuesta::Aceptar);
        Clic(Buscar<QPushButton>(f.get(), QStringLiteral("btnExportarSig")));
        QVERIFY(Prueba::ModalAtendido());
        const QString texto = Mensaje::textosMostrados().value(0);
        QVERIFY2(texto.startsWith(QStringLiteral("Se exportaron 8 evaluaciones a \"%1\".")
                                      .arg(QDir::toNativeSeparators(geo))),
                 qPrintable(texto));
        QVERIFY2(texto.contains(QStringLiteral("4 evaluaciones no tienen coordenadas (Latitud y Longitud) y no se "
                                               "exportaron: 12, 11, 10, 9.")) ||
                     texto.contains(QStringLiteral("exportaron: 9, 10, 11, 12.")),
                 qPrintable(texto));
        const QString info = QString::fromUtf8(Prueba::Ejecutar(QStringLiteral("ogrinfo"), {"-ro", "-al", "-so", geo}));
        QVERIFY2(info.contains(QStringLiteral("Feature Count: 8")), qPrintable(info));

        // "Exportar hoja de cálculo": the same evaluations, their one building and the summary.
        Mensaje::limpiar();
        const QString libro = carpeta.filePath(QStringLiteral("evaluaciones.xlsx"));
        Prueba::ElegirArchivoAlGuardar(libro);
        Mensaje::encolarRespuesta(Mensaje::Respuesta::Aceptar);
        Clic(Buscar<QPushButton>(f.get(), QStringLiteral("btnExportarHoja")));
        QVERIFY(Prueba::ModalAtendido());
        QCOMPARE(Mensaje::textosMostrados().value(0),
                 QStringLiteral("Se exportaron 12 evaluaciones (1 edificación) y el resumen del evento a \"%1\".")
                     .arg(QDir::toNativeSeparators(libro)));
        QVERIFY(QFileInfo(libro).size() > 0);
    }

    // With the central registry away, saves wait in this machine's outbox:
    // the window shows them first as "pendiente de envío"; "Enviar
    // pendientes" says what it could not do, and once the server is back,
    // sends them and shows their numbers.
    void pendientesDeEnvio()
    {
        ServidorPrueba::Base b = ServidorPrueba::Nueva();
        QTemporaryDir equipo;
        const QString local = equipo.filePath(QStringLiteral("Registro de Evaluaciones.sqlite"));
        const auto fabrica = DelServidor(b, local);

        ServidorPrueba::Ejecutar(b.administrador, QStringLiteral("ALTER ROLE %1 NOLOGIN").arg(b.evaluador.usuario));
        {
            RegistroConfigurado r = fabrica();
            for (int i = 0; i < 2; ++i) {
                RegistroEvaluacion e = Hacer(i);
                QVERIFY(r.guardar(e).pendiente);
            }
        }
        // Opening reads the server, which refuses: one message, the outbox shown.
        Mensaje::encolarRespuesta(Mensaje::Respuesta::Aceptar);
        auto f = Abrir(fabrica);
        QTRY_COMPARE(Mensaje::textosMostrados().size(), 1);
        QLabel *total = Buscar<QLabel>(f.get(), QStringLiteral("lblTotal"));
        QCOMPARE(total->text(), QStringLiteral("2 evaluaciones (2 pendientes de envío)"));
        QCOMPARE(f->modelo()->index(0, 0).data().toString(), QStringLiteral("pendiente de envío"));
        QPushButton *enviar = Buscar<QPushButton>(f.get(), QStringLiteral("btnEnviarPendientes"));
        QVERIFY(enviar->isVisible());
        const auto enviarPendientes = [enviar] {  // what the one message says
            Mensaje::limpiar();
            Mensaje::encolarRespuesta(Mensaje::Respuesta::Aceptar);
            Clic(enviar);
            return Mensaje::textosMostrados();
        };

        const QString texto = enviarPendientes().value(0);
        QVERIFY2(texto.endsWith(QStringLiteral("2 evaluaciones siguen pendientes de envío.")), qPrintable(texto));
        ServidorPrueba::Ejecutar(b.administrador, QStringLiteral("ALTER ROLE %1 LOGIN").arg(b.evaluador.usuario));
        QCOMPARE(enviarPendientes(), QStringList{QStringLiteral("Se enviaron 2 evaluaciones al registro central.")});
        QTRY_COMPARE(total->text(), QStringLiteral("2 evaluaciones"));
        QCOMPARE(f->modelo()->rowCount(), 2);
        QCOMPARE(f->modelo()->index(0, 0).data().toInt(), 2);
        QCOMPARE(f->modelo()->index(1, 0).data().toInt(), 1);
        QCOMPARE(enviarPendientes(), QStringList{QStringLiteral("No hay evaluaciones pendientes de envío.")});
    }

    // A record the server refuses for a reason of its own (a number of
    // storeys out of range) is set aside when "Enviar pendientes" runs: the
    // message says so, the other record is sent, and "Apartadas" shows the
    // record with the server's reason, also after the window is opened again.
    void apartadaConSuMotivo()
    {
        ServidorPrueba::Base b = ServidorPrueba::Nueva();
        QTemporaryDir equipo;
        const QString local = equipo.filePath(QStringLiteral("Registro de Evaluaciones.sqlite"));
        const auto fabrica = DelServidor(b, local);
        {
            BandejaSalida bandeja(BandejaSalida::archivoPara(local));
            RegistroEvaluacion buena = Hacer(0), mala = Hacer(1);
            mala.establecerCampo(Pos::NombreEdificacion, QStringLiteral("Torre Imposible"));
            mala.establecerCampo(Pos::NumeroPisos, qlonglong(99999999999));
            bandeja.guardar(buena);
            bandeja.guardar(mala);
        }
        auto f = Abrir(fabrica);
        QPushButton *apartadas = Buscar<QPushButton>(f.get(), QStringLiteral("btnVerApartadas"));
        QVERIFY(!apartadas->isVisible());
        Mensaje::encolarRespuesta(Mensaje::Respuesta::Aceptar);
        Clic(Buscar<QPushButton>(f.get(), QStringLiteral("btnEnviarPendientes")));
        const QString dicho = Mensaje::textosMostrados().value(0);
        QVERIFY2(dicho.contains(QStringLiteral("Se envió 1 evaluación")) &&
                     dicho.contains(QStringLiteral("1 evaluación fue apartada y no se enviará")),
                 qPrintable(dicho));
        QCOMPARE(ServidorPrueba::Cantidad(b.evaluador), 1);
        QVERIFY(apartadas->isVisible());
        QCOMPARE(apartadas->text(), QStringLiteral("Apartadas (1)"));

        f = Abrir(fabrica);
        apartadas = Buscar<QPushButton>(f.get(), QStringLiteral("btnVerApartadas"));
        QVERIFY(apartadas->isVisible());
        Mensaje::limpiar();
        Mensaje::encolarRespuesta(Mensaje::Respuesta::Aceptar);
        Clic(apartadas);
        const QString lista = Mensaje::textosMostrados().value(0);
        QVERIFY2(lista.contains(QStringLiteral("«Torre Imposible»")) && lista.contains(QStringLiteral("rechazó")) &&
                     lista.contains(QStringLiteral("Error en el registro central")),
                 qPrintable(lista));
        // Sent again, nothing goes to the server.
        Mensaje::limpiar();
        Mensaje::encolarRespuesta(Mensaje::Respuesta::Aceptar);
        Clic(Buscar<QPushButton>(f.get(), QStringLiteral("btnEnviarPendientes")));
        QCOMPARE(Mensaje::textosMostrados(), QStringList{QStringLiteral("No hay evaluaciones pendientes de envío.")});
        QCOMPARE(ServidorPrueba::Cantidad(b.evaluador), 1);
    }

    // Evaluations waiting for another central registry: the window of this
    // registry and the window of the local file both warn of them, naming
    // their registry; the window of their own registry does not.
    void pendientesDeOtroRegistro()
    {
        ServidorPrueba::Base suyo = ServidorPrueba::Nueva(), otro = ServidorPrueba::Nueva();
        QTemporaryDir equipo;
        const QString local = equipo.filePath(QStringLiteral("Registro de Evaluaciones.sqlite"));
        const QString registroAntes = RutasDatos::archivoRegistro();
        RutasDatos::establecerArchivoRegistro(local);
        {
            BandejaSalida bandeja(BandejaSalida::archivoPara(local), BandejaSalida::registroDe(suyo.evaluador));
            RegistroEvaluacion r = Hacer(0);
            bandeja.guardar(r);
        }
        const QString suyoNombre = BandejaSalida::registroDe(suyo.evaluador);
        for (const auto &fabrica : {DelServidor(otro, local), DelArchivo(local)}) {
            auto f = Abrir(fabrica);
            QLabel *aviso = Buscar<QLabel>(f.get(), QStringLiteral("lblOtroRegistro"));
            QVERIFY(aviso->isVisible());
            QVERIFY2(aviso->text().contains(QStringLiteral("1 para el registro central «%1»").arg(suyoNombre)),
                     qPrintable(aviso->text()));
        }
        auto f = Abrir(DelServidor(suyo, local));
        QVERIFY(!Buscar<QLabel>(f.get(), QStringLiteral("lblOtroRegistro"))->isVisible());
        RutasDatos::establecerArchivoRegistro(registroAntes);
    }
};

QTEST_MAIN(PruebaPestanaResumen)
#include "registry_summary_tab_test.moc"
