// The registry window driven through its widgets: the table newest first,
// sorting by a header, the search box and the filters, the read-only view of
// one evaluation, a PDF and a CSV through the file dialog, read back with
// pdftotext and Python's csv module; database failures as Spanish messages.

#include "gui/common/message_box.h"
#include "core/data/data_paths.h"
#include "core/registry/local_registry.h"
#include "gui/registry/registry_form.h"
#include "gui/registry/registry_model.h"
#include "gui/registry/registry_record_view.h"
#include "core/registry/stored_comments.h"
#include "reports/sample_records.h"
#include "gui/saving/form_driver.h"
#include "support/gui_test_support.h"

#include <QCheckBox>
#include <QComboBox>
#include <QPushButton>
#include <QDir>
#include <QHeaderView>
#include <QLabel>
#include <QTableView>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QtTest>

using namespace RegistroEvaluaciones;

namespace {

struct Datos {
    const char *barrio, *nombre, *evaluador, *comision, *fecha, *tipo, *calle, *numero;
    int clase;  // habitability 0..3
};

// Six evaluations that differ in every column the window shows; 3 and 5
// carry the texts a CSV reader trips on.
const Datos Muestra[] = {
    {"San Martín", "Edificio Álamo", "Ing. Pérez", "C-17", "2026-12-01T08:00:00", "Calle", "45B", "12-30", 0},
    {"El Prado", "Casa Roja", "Ana Ruiz", "C-03", "2026-12-01T17:30:00", "Avenida", "Oriental", "7", 2},
    {"Centro; Norte", "Casa \"La 40\"; piso 2\nBloque B, 😀", "Luis Gómez", "C-17", "2026-12-02T09:15:00", "Carrera",
     "10", "3-3", 1},
    {"Centro", "Bodega", "ana ruiz", "C-09", "2026-12-03T23:59:59", "Otro", "Vereda Alta", "-", 3},
    {"La Loma", "O'Brien", "Sara Díaz, \"Ñandú\"\r\nSegunda línea", " C-03 ", "2026-12-04T00:00:00", "Diagonal", "8",
     "1", 0},
    {"Llanos", "Galpón", "Luis Gómez", "C-21", "2026-11-30T12:00:00", "Calle", "2", "90", 2},
};

RegistroEvaluacion Hacer(const Datos &d)
{
    RegistroEvaluacion r = EjemploDocumentos::Registro(0, d.clase);
    const QByteArray tipo(d.tipo);
    for (const auto &[p, s] : {std::pair{Pos::Barrio, d.barrio}, {Pos::NombreEdificacion, d.nombre},
                               {Pos::Evaluador, d.evaluador}, {Pos::CodigoComision, d.comision}, {Pos::Fecha, d.fecha},
                               {Pos::TipoDireccion, d.tipo}, {Pos::NumeroCalle, "--"}, {Pos::NumeroCasa, d.numero},
                               {tipo == "Avenida" ? Pos::Avenida : tipo == "Otro" ? Pos::OtraVia : Pos::NumeroCalle, d.calle}})
        r.establecerCampo(p, QString::fromUtf8(s));
    return r;
}

using Prueba::ElegirArchivoAlGuardar;
using Prueba::Ejecutar;

// WCAG contrast ratio of two colours.
double Contraste(const QColor &a, const QColor &b)
{
    auto lum = [](const QColor &c) {
        auto canal = [](double v) { return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4); };
        return 0.2126 * canal(c.redF()) + 0.7152 * canal(c.greenF()) + 0.0722 * canal(c.blueF());
    };
    const double la = lum(a), lb = lum(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

}  // namespace

class PruebaVentanaRegistro : public QObject {
    Q_OBJECT
    QTemporaryDir carpeta;
    QString archivo;
    QVector<RegistroEvaluacion> guardados;

    std::unique_ptr<RegistroForm> Abrir(const QString &registro = QString())
    {
        const QString a = registro.isEmpty() ? archivo : registro;
        auto f = std::make_unique<RegistroForm>([a] { return std::make_unique<RegistroLocal>(a); },
                                                RutasDatos::archivoComentarios());
        f->show();
        if (!QTest::qWaitForWindowExposed(f.get()))
            qWarning("la ventana no se mostró");
        return f;
    }
    static QTableView *Tabla(RegistroForm &f) { return f.findChild<QTableView *>(QStringLiteral("tblEvaluaciones")); }
    static QString Total(RegistroForm &f) { return f.findChild<QLabel *>(QStringLiteral("lblTotal"))->text(); }
    static QList<int> Numeros(RegistroForm &f)
    {
        QList<int> n;
        for (int fila = 0; fila < f.modelo()->rowCount(); ++fila)
            n << f.modelo()->index(fila, 0).data().toInt();
        return n;
    }
    static QString Celda(RegistroForm &f, int numero, int columna, int rol = Qt::DisplayRole)
    {
        const int fila = static_cast<int>(Numeros(f).indexOf(numero));
        return f.modelo()->index(fila, columna).data(rol).toString();
    }
    static void ClicEnFila(RegistroForm &f, int numero, Qt::KeyboardModifiers teclas = Qt::NoModifier)
    {
        QTableView *t = Tabla(f);
        const QModelIndex i = f.modelo()->index(static_cast<int>(Numeros(f).indexOf(numero)), 1);
        t->scrollTo(i);
        QTest::mouseClick(t->viewport(), Qt::LeftButton, teclas, t->visualRect(i).center());
    }
    static void ClicEnEncabezado(RegistroForm &f, int columna)
    {
        QHeaderView *h = Tabla(f)->horizontalHeader();
        QTest::mouseClick(h->viewport(), Qt::LeftButton, Qt::NoModifier,
                          QPoint(h->sectionViewportPosition(columna) + h->sectionSize(columna) / 2, h->height() / 2));
    }
    static void Buscar(RegistroForm &f, const QString &texto)
    {
        auto *caja = f.findChild<QLineEdit *>(QStringLiteral("txtBuscar"));
        caja->selectAll();
        QTest::keyClick(caja, Qt::Key_Delete);
        Conducir::Teclear(caja, texto);
        QCOMPARE(caja->text(), texto);
    }

private slots:
    void initTestCase()
    {
        Prueba::PrepararFormularios();
        archivo = carpeta.filePath(QStringLiteral("Registro de Evaluaciones.sqlite"));
        RegistroLocal registro(archivo);
        for (const Datos &d : Muestra)
            guardados << Hacer(d);
        registro.agregar(guardados);
    }
    void init() { Mensaje::limpiar(); }
    void cleanup()
    {
        QVERIFY2(Mensaje::inesperados().isEmpty(), qPrintable(Mensaje::inesperados().join('\n')));
        QLocale::setDefault(QLocale::c());
    }

    // Newest first, the date as day/month/year, the address as one text, the
    // habitability on a colour with readable text; sorted by a header.
    void tabla()
    {
        auto f = Abrir();
        QCOMPARE(Numeros(*f), (QList<int>{6, 5, 4, 3, 2, 1}));
        QCOMPARE(Total(*f), QStringLiteral("6 evaluaciones"));
        QCOMPARE(Celda(*f, 1, 1), QStringLiteral("01/12/2026 08:00"));
        QCOMPARE(Celda(*f, 2, 2), QStringLiteral("Avenida Oriental 7"));
        QCOMPARE(Celda(*f, 4, 2), QStringLiteral("Vereda Alta"));
        QCOMPARE(Celda(*f, 3, 4), QString::fromUtf8(Muestra[2].nombre));
        QCOMPARE(Celda(*f, 5, 5), QString::fromUtf8(Muestra[4].evaluador));
        for (int n = 1; n <= 6; ++n) {
            const QModelIndex i = f->modelo()->index(static_cast<int>(Numeros(*f).indexOf(n)), 7);
            QCOMPARE(i.data().toString(), EjemploDocumentos::Habitabilidades[Muestra[n - 1].clase]);
            const QColor fondo = i.data(Qt::BackgroundRole).value<QColor>();
            const QColor texto = i.data(Qt::ForegroundRole).value<QColor>();
            QVERIFY(fondo.isValid() && texto.isValid());
            QVERIFY2(Contraste(fondo, texto) >= 4.5, qPrintable(fondo.name() + QLatin1Char('/') + texto.name()));
        }

        // A click on a header sorts by that column, a second click the other way.
        QHeaderView *h = Tabla(*f)->horizontalHeader();
        auto ordenados = [&](QList<int> ascendente) {
            if (h->sortIndicatorOrder() == Qt::DescendingOrder)
                std::reverse(ascendente.begin(), ascendente.end());
            return ascendente;
        };
        // Centro, Centro; Norte, El Prado, La Loma, Llanos, San Martín.
        ClicEnEncabezado(*f, 3);
        QCOMPARE(Numeros(*f), ordenados({4, 3, 2, 5, 6, 1}));
        const Qt::SortOrder primero = h->sortIndicatorOrder();
        ClicEnEncabezado(*f, 3);
        QVERIFY(h->sortIndicatorOrder() != primero);
        QCOMPARE(Numeros(*f), ordenados({4, 3, 2, 5, 6, 1}));
        // By date: 6 is the oldest, 5 the newest.
        ClicEnEncabezado(*f, 1);
        QCOMPARE(Numeros(*f), ordenados({6, 1, 2, 3, 4, 5}));
    }

    // The search box filters as one types (which columns it searches is the
    // reader test's); the habitability and the date range narrow it; the
    // count follows.
    void busquedaYFiltros()
    {
        auto f = Abrir();
        Buscar(*f, QStringLiteral("ruiz"));
        QTRY_COMPARE(Numeros(*f), (QList<int>{4, 2}));
        Buscar(*f, QStringLiteral("😀"));
        QTRY_COMPARE(Numeros(*f), (QList<int>{3}));
        QCOMPARE(Total(*f), QStringLiteral("1 evaluación"));

        auto *combo = f->findChild<QComboBox *>(QStringLiteral("cboHabitabilidad"));
        Buscar(*f, QString());
        combo->setFocus();
        for (int i = 0; i < 3; ++i)  // from "Todas" down to "No Habitable"
            QTest::keyClick(combo, Qt::Key_Down);
        QTRY_COMPARE(Numeros(*f), (QList<int>{6, 2}));
        Buscar(*f, QStringLiteral("luis"));
        QTRY_COMPARE(Numeros(*f), (QList<int>{6}));
        Buscar(*f, QString());
        combo->setCurrentIndex(0);
        QTRY_COMPARE(Numeros(*f).size(), 6);

        auto *desde = f->findChild<QCheckBox *>(QStringLiteral("chkDesde"));
        auto *hasta = f->findChild<QCheckBox *>(QStringLiteral("chkHasta"));
        auto *dtDesde = f->findChild<QDateEdit *>(QStringLiteral("dtDesde"));
        auto *dtHasta = f->findChild<QDateEdit *>(QStringLiteral("dtHasta"));
        QVERIFY(!dtDesde->isEnabled());
        dtDesde->setDate(QDate(2026, 12, 3));
        QCOMPARE(Numeros(*f).size(), 6);  // unchecked: no lower end
        QTest::mouseClick(desde, Qt::LeftButton, Qt::NoModifier, QPoint(5, desde->height() / 2));
        QVERIFY(dtDesde->isEnabled());
        QTRY_COMPARE(Numeros(*f), (QList<int>{5, 4}));
        hasta->click();
        dtHasta->setDate(QDate(2026, 12, 3));
        QTRY_COMPARE(Numeros(*f), (QList<int>{4}));  // 23:59:59 of the last day counts, midnight after it not
        desde->click();
        QTRY_COMPARE(Numeros(*f), (QList<int>{6, 4, 3, 2, 1}));
    }

    // An evaluation of a building evaluated three times shows the
    // building's history newest first, its own row marked, every change of
    // posting named, and, when a newer one replaced it, which one is
    // current; an evaluation of a building evaluated once shows no history.
    void historialDeLaEdificacion()
    {
        const QString archivo3 = carpeta.filePath(QStringLiteral("historial.sqlite"));
        {
            RegistroLocal registro(archivo3);
            auto evaluacion = [](const char *fecha, int clase, const char *predio) {
                RegistroEvaluacion r = EjemploDocumentos::Registro(0, clase);
                r.establecerCampo(Pos::Fecha, QString::fromLatin1(fecha));
                r.establecerCampo(Pos::Predio, QString::fromLatin1(predio));
                return r;
            };
            QVector<RegistroEvaluacion> lote{evaluacion("2026-12-01T10:00:00", 0, "0001"),
                                             evaluacion("2026-12-03T16:00:00", 2, "0001"),
                                             evaluacion("2026-12-05T09:00:00", 1, "0001"),
                                             evaluacion("2026-12-05T09:30:00", 3, "0002")};
            registro.agregar(lote);
        }
        auto f = Abrir(archivo3);
        // The list marks the evaluations a newer one of their building replaced.
        QStringList vigencias;
        int ultima = -1;
        for (int c = 0; c < f->modelo()->columnCount(); ++c)
            if (f->modelo()->headerData(c, Qt::Horizontal).toString() == QLatin1String("Vigencia"))
                ultima = c;
        QVERIFY(ultima >= 0);
        for (int fila = 0; fila < f->modelo()->rowCount(); ++fila)
            vigencias << f->modelo()->index(fila, ultima).data().toString();
        QCOMPARE(vigencias, (QStringList{QString(), QString(), QStringLiteral("Reemplazada por la N.º 3"),
                                         QStringLiteral("Reemplazada por la N.º 3")}));

        // One row per building: its current posting and how many evaluations it has.
        auto columna = [&](const QString &titulo) {
            for (int c = 0; c < f->modelo()->columnCount(); ++c)
                if (f->modelo()->headerData(c, Qt::Horizontal).toString() == titulo)
                    return c;
            return -1;
        };
        QTest::keyClick(f->findChild<QCheckBox *>(QStringLiteral("chkVigentes")), Qt::Key_Space);
        QTRY_COMPARE(Numeros(*f), (QList<int>{4, 3}));
        QCOMPARE(Total(*f), QStringLiteral("2 edificaciones, cada una con su evaluación vigente"));
        const int cuantas = columna(QStringLiteral("Evaluaciones"));
        QCOMPARE(f->modelo()->index(0, cuantas).data().toString(), QStringLiteral("1"));
        QCOMPARE(f->modelo()->index(1, cuantas).data().toString(), QStringLiteral("3"));
        QCOMPARE(f->modelo()->index(1, 7).data().toString(), QStringLiteral("Uso Restringido"));
        QTest::keyClick(f->findChild<QCheckBox *>(QStringLiteral("chkVigentes")), Qt::Key_Space);
        QTRY_COMPARE(Numeros(*f), (QList<int>{4, 3, 2, 1}));
        QStringList filas;
        QString reemplazada;
        bool sinHistorial = false;
        auto leer = [&](QWidget *w) {
            auto *vista = qobject_cast<VistaEvaluacion *>(w);
            QVERIFY(vista);
            if (auto *t = vista->findChild<QTableWidget *>(QStringLiteral("tblHistorial"))) {
                for (int i = 0; i < t->rowCount(); ++i) {
                    QStringList celdas;
                    for (int c = 0; c < 4; ++c)
                        celdas << t->item(i, c)->text();
                    filas << celdas.join(QLatin1Char('|'));
                }
                QCOMPARE(t->accessibleName(), QStringLiteral("Historial de la edificación (3 evaluaciones)"));
            } else {
                sinHistorial = true;
            }
            if (auto *l = vista->findChild<QLabel *>(QStringLiteral("lblReemplazada")))
                reemplazada = l->text();
            QTest::keyClick(vista, Qt::Key_Escape);
        };
        ClicEnFila(*f, 2);
        Prueba::AlAbrirseModal(leer);
        QTest::keyClick(Tabla(*f), Qt::Key_Return);
        QVERIFY(Prueba::ModalAtendido());
        QCOMPARE(filas, (QStringList{QStringLiteral("3|05/12/2026 09:00|Uso Restringido|Mejoró"),
                                     QStringLiteral("2 (esta evaluación)|03/12/2026 16:00|No Habitable|Empeoró"),
                                     QStringLiteral("1|01/12/2026 10:00|Habitable|")}));
        QVERIFY2(reemplazada.contains(QStringLiteral("N.º 3 del 05/12/2026 09:00 (Uso Restringido)")),
                 qPrintable(reemplazada));

        filas.clear();
        reemplazada.clear();
        ClicEnFila(*f, 4);
        Prueba::AlAbrirseModal(leer);
        QTest::keyClick(Tabla(*f), Qt::Key_Return);
        QVERIFY(Prueba::ModalAtendido());
        QVERIFY(sinHistorial);
        QVERIFY(filas.isEmpty() && reemplazada.isEmpty());
    }

    // An evaluation corrected twice: its view shows the corrected values,
    // says "(corregido)" on those fields' labels with the value before on
    // hand, and lists the corrections oldest first; an uncorrected field
    // and an uncorrected evaluation show no mark.
    void correccionesEnLaVista()
    {
        const QString archivo4 = carpeta.filePath(QStringLiteral("correcciones.sqlite"));
        {
            RegistroLocal registro(archivo4);
            QVector<RegistroEvaluacion> lote{Hacer(Muestra[0]), Hacer(Muestra[1])};
            registro.agregar(lote);
            registro.corregir(1, QStringLiteral("NumeroCasa"), QStringLiteral("12-32"), QStringLiteral("Placa de la casa"));
            registro.corregir(1, QStringLiteral("Telefono"), QStringLiteral("555 0142"), QStringLiteral("Número nuevo"));
        }
        auto f = Abrir(archivo4);
        QStringList filas;
        QString casa, rotuloCasa, rotuloNombre, descripcionCasa;
        bool sinCorrecciones = false;
        auto leer = [&](QWidget *w) {
            auto *vista = qobject_cast<VistaEvaluacion *>(w);
            QVERIFY(vista);
            if (auto *t = vista->findChild<QTableWidget *>(QStringLiteral("tblCorrecciones"))) {
                for (int i = 0; i < t->rowCount(); ++i) {
                    QStringList celdas;
                    for (int c = 2; c < 6; ++c)
                        celdas << t->item(i, c)->text();
                    filas << celdas.join(QLatin1Char('|'));
                }
            } else {
                sinCorrecciones = true;
            }
            QLabel *valorCasa = vista->valor(Pos::NumeroCasa);
            casa = valorCasa->text();
            descripcionCasa = valorCasa->accessibleDescription();
            for (QLabel *l : vista->findChildren<QLabel *>()) {
                if (l->buddy() == valorCasa)
                    rotuloCasa = l->text();
                if (l->buddy() == vista->valor(Pos::NombreEdificacion))
                    rotuloNombre = l->text();
            }
            QTest::keyClick(vista, Qt::Key_Escape);
        };
        ClicEnFila(*f, 1);
        Prueba::AlAbrirseModal(leer);
        QTest::keyClick(Tabla(*f), Qt::Key_Return);
        QVERIFY(Prueba::ModalAtendido());
        QCOMPARE(filas, (QStringList{QStringLiteral("Número|12-30|12-32|Placa de la casa"),
                                     QStringLiteral("Teléfono|%1|555 0142|Número nuevo")
                                         .arg(EjemploDocumentos::Registro(0, 0).texto(Pos::Telefono))}));
        QCOMPARE(casa, QStringLiteral("12-32"));
        QCOMPARE(rotuloCasa, QStringLiteral("Número (corregido):"));
        QVERIFY2(descripcionCasa.contains(QStringLiteral("antes: 12-30")), qPrintable(descripcionCasa));
        QCOMPARE(rotuloNombre, Campo(Pos::NombreEdificacion).etiqueta + QLatin1Char(':'));

        filas.clear();
        ClicEnFila(*f, 2);
        Prueba::AlAbrirseModal(leer);
        QTest::keyClick(Tabla(*f), Qt::Key_Return);
        QVERIFY(Prueba::ModalAtendido());
        QVERIFY(sinCorrecciones && filas.isEmpty());
        QCOMPARE(rotuloCasa, QStringLiteral("Número:"));
    }

    // "Corregir…" in the open evaluation: the dialog offers only the
    // fields a correction may change, refuses a correction without a reason
    // or that changes nothing, and once saved the evaluation is shown again
    // with the corrected value marked, in the file with its history.
    void corregirDesdeLaVista()
    {
        const QString archivo5 = carpeta.filePath(QStringLiteral("corregir.sqlite"));
        {
            RegistroLocal registro(archivo5);
            QVector<RegistroEvaluacion> lote{Hacer(Muestra[0])};
            registro.agregar(lote);
        }
        auto f = Abrir(archivo5);
        QStringList campos, mensajes;
        QString barrio, rotulo;
        auto pulsar = [](QWidget *w, const char *nombre) {
            auto *b = w->findChild<QPushButton *>(QString::fromLatin1(nombre));
            QVERIFY2(b && b->isVisible(), nombre);
            QTest::mouseClick(b, Qt::LeftButton);
        };
        auto reabierta = [&](QWidget *w) {
            auto *vista = qobject_cast<VistaEvaluacion *>(w);
            QVERIFY(vista);
            barrio = vista->valor(Pos::Barrio)->text();
            for (QLabel *l : vista->findChildren<QLabel *>())
                if (l->buddy() == vista->valor(Pos::Barrio))
                    rotulo = l->text();
            QTest::keyClick(vista, Qt::Key_Escape);
        };
        auto dialogo = [&](QWidget *w) {
            auto *cbo = w->findChild<QComboBox *>(QStringLiteral("cboCampo"));
            QVERIFY(cbo);
            for (int i = 0; i < cbo->count(); ++i)
                campos << cbo->itemData(i).toString();
            Conducir::ElegirUso(w, QStringLiteral("cboCampo"), Campo(Pos::Barrio).etiqueta);
            QCOMPARE(w->findChild<QLabel *>(QStringLiteral("lblActual"))->text(), QString::fromUtf8(Muestra[0].barrio));
            Mensaje::encolarRespuesta(Mensaje::Respuesta::Aceptar);
            pulsar(w, "btnCorregir");  // same value, no reason
            QVERIFY(w->isVisible());
            Conducir::Escribir(w, QStringLiteral("txtValor"), QStringLiteral("El Prado Alto"));
            Mensaje::encolarRespuesta(Mensaje::Respuesta::Aceptar);
            pulsar(w, "btnCorregir");  // still no reason
            QVERIFY(w->isVisible());
            Conducir::Escribir(w, QStringLiteral("txtMotivo"), QStringLiteral("Barrio mal escrito"));
            Mensaje::encolarRespuesta(Mensaje::Respuesta::Aceptar);
            Prueba::AlAbrirseModal(reabierta);
            pulsar(w, "btnCorregir");
        };
        ClicEnFila(*f, 1);
        Prueba::AlAbrirseModal([&](QWidget *w) {
            Prueba::AlAbrirseModal(dialogo);
            pulsar(w, "btnCorregirIdentificacion");
        });
        QTest::keyClick(Tabla(*f), Qt::Key_Return);
        QTRY_VERIFY(Prueba::ModalAtendido());
        mensajes = Mensaje::textosMostrados();
        QCOMPARE(mensajes.size(), 3);
        QVERIFY2(mensajes.at(0).contains(QStringLiteral("motivo")), qPrintable(mensajes.at(0)));
        QVERIFY2(mensajes.at(1).contains(QStringLiteral("motivo")), qPrintable(mensajes.at(1)));
        QCOMPARE(mensajes.at(2), QStringLiteral("La corrección ha sido guardada."));
        QCOMPARE(barrio, QStringLiteral("El Prado Alto"));
        QCOMPARE(rotulo, Campo(Pos::Barrio).etiqueta + QStringLiteral(" (corregido):"));
        QVERIFY(campos.contains(QStringLiteral("Barrio")) && campos.contains(Campo(Pos::Latitud).columna));
        QVERIFY(!campos.contains(Campo(Pos::Habitabilidad).columna) && !campos.contains(Campo(Pos::Fecha).columna));
        RegistroLocal registro(archivo5);
        const QVector<Correccion> hechas = registro.correcciones(1);
        QCOMPARE(hechas.size(), 1);
        QCOMPARE(hechas.first().motivo, QStringLiteral("Barrio mal escrito"));
        QCOMPARE(registro.porNumero(1)->texto(Pos::Barrio), QStringLiteral("El Prado Alto"));
    }

    // Enter on a row shows the whole evaluation read-only, in the system's
    // number notation, the qualitative levels by their captions, the
    // comments of the stored codes; every value label reads what it shows.
    void vistaDeUnaEvaluacion()
    {
        QLocale::setDefault(QLocale(QLocale::Spanish));
        auto f = Abrir();
        ClicEnFila(*f, 3);
        QStringList fallos;
        QMap<int, QString> vistos;
        QStringList comentarios;
        Prueba::AlAbrirseModal([&](QWidget *w) {
            auto *vista = qobject_cast<VistaEvaluacion *>(w);
            if (!vista) {
                fallos << w->objectName();
                w->close();
                return;
            }
            for (int p = 0; p < NumCampos; ++p) {
                QLabel *v = vista->valor(p);
                if (!v) {
                    fallos << QStringLiteral("sin valor %1").arg(p);
                    continue;
                }
                vistos.insert(p, v->text());
                if (v->accessibleName() != v->text() || v->focusPolicy() == Qt::NoFocus)
                    fallos << QStringLiteral("valor %1 no accesible").arg(p);
                // Beside its label, except the shares, which head their grid.
                bool rotulado = false;
                for (QLabel *l : vista->findChildren<QLabel *>())
                    rotulado = rotulado || (l->buddy() == v && l->text() == Campo(p).etiqueta + QLatin1Char(':'));
                const bool enRejilla = p >= Pos::PrimeraProporcion && p < Pos::PrimerCualitativo;
                if (!rotulado && !enRejilla)
                    fallos << QStringLiteral("valor %1 sin rótulo").arg(p);
            }
            for (int i = 0; i < 5; ++i)
                if (QLabel *c = vista->findChild<QLabel *>(QStringLiteral("comentario%1").arg(i)))
                    comentarios << c->text();
            QTest::keyClick(vista, Qt::Key_Escape);
        });
        QTest::keyClick(Tabla(*f), Qt::Key_Return);
        QVERIFY(Prueba::ModalAtendido());
        QVERIFY2(fallos.isEmpty(), qPrintable(fallos.join('\n')));
        QCOMPARE(vistos.value(Pos::NombreEdificacion), QString::fromUtf8(Muestra[2].nombre));
        QCOMPARE(vistos.value(Pos::Fecha), QStringLiteral("02/12/2026 09:15"));
        QCOMPARE(vistos.value(Pos::IndiceEstructural), QStringLiteral("0,6123"));
        QCOMPARE(vistos.value(Pos::PrimeraProporcion + 10), QStringLiteral("100 %"));
        QCOMPARE(vistos.value(Pos::PrimerCualitativo + 2), QStringLiteral("Moderado"));  // level 2 of the stairs
        QCOMPARE(vistos.value(Pos::Habitabilidad), QStringLiteral("Uso Restringido"));

        // The comments of the stored codes.
        const ComentariosRegistro c =
            ComentariosDeRegistro(guardados[2], LeerTablasComentarios(RutasDatos::archivoComentarios()));
        QCOMPARE(comentarios,
                 (QStringList{c.dannoEdificio, c.estadoGlobal, c.habitabilidad, c.reparabilidad, c.medidasSeguridad}));
    }

    // "Guardar PDF" on a selection: the document asked, the file through the
    // save dialog; one placard page per selected evaluation, no others.
    void pdfDeUnaSeleccion()
    {
        auto f = Abrir();
        auto *pdf = f->findChild<QPushButton *>(QStringLiteral("btnGuardarPdf"));
        ClicEnFila(*f, 5);
        ClicEnFila(*f, 2, Qt::ControlModifier);
        QCOMPARE(f->seleccionados().size(), 2);
        const QString destino = carpeta.filePath(QStringLiteral("avisos.pdf"));
        Prueba::AlAbrirseModal([&](QWidget *w) {
            ElegirArchivoAlGuardar(destino);  // the placard, as the dialog offers first
            w->findChild<QPushButton *>(QStringLiteral("btnAceptar"))->click();
        });
        pdf->click();
        QVERIFY(Prueba::ModalAtendido());
        const QString texto = QString::fromUtf8(Ejecutar(QStringLiteral("pdftotext"), {destino, QStringLiteral("-")}));
        QCOMPARE(texto.count(QLatin1Char('\f')), 2);  // pdftotext ends each page with a form feed
        QVERIFY2((texto.contains(QStringLiteral("O'Brien")) || texto.contains(QStringLiteral("O’Brien"))) &&
                     texto.contains(QStringLiteral("Casa Roja")) && texto.contains(QStringLiteral("HABITABLE")) &&
                     !texto.contains(QStringLiteral("Galpón")),
                 qPrintable(texto));

        // The report of the open evaluation, from its view.
        const QString reporte = carpeta.filePath(QStringLiteral("reporte.pdf"));
        ClicEnFila(*f, 6);
        Prueba::AlAbrirseModal([&](QWidget *vista) {
            Prueba::AlAbrirseModal([&](QWidget *w) {
                w->findChild<QRadioButton *>(QStringLiteral("optReporte"))->click();
                ElegirArchivoAlGuardar(reporte);
                w->findChild<QPushButton *>(QStringLiteral("btnAceptar"))->click();
            });
            vista->findChild<QPushButton *>(QStringLiteral("btnGuardarPdf"))->click();
            vista->close();
        });
        f->findChild<QPushButton *>(QStringLiteral("btnAbrir"))->click();
        const QString informe = QString::fromUtf8(Ejecutar(QStringLiteral("pdftotext"), {reporte, QStringLiteral("-")}));
        QVERIFY2(informe.contains(QStringLiteral("Galpón")) && informe.contains(QStringLiteral("Llanos")) &&
                     !informe.contains(QStringLiteral("Casa Roja")),
                 qPrintable(informe));
    }

    // "Exportar CSV" without a selection writes the rows the table shows,
    // hostile texts read back whole by an independent reader (field by field
    // the export is the command line test's); with a selection, only it.
    void csvIgualALaTabla()
    {
        auto f = Abrir();
        Buscar(*f, QStringLiteral("c-"));  // all six, through the search
        const QString destino = carpeta.filePath(QStringLiteral("registro.csv"));
        ElegirArchivoAlGuardar(destino);
        f->findChild<QPushButton *>(QStringLiteral("btnExportarCsv"))->click();
        QVERIFY(Prueba::ModalAtendido());
        const QList<QStringList> filas = Prueba::LeerCsvConPython(destino);
        QCOMPARE(filas.size(), 7);
        for (int n = 1; n <= 6; ++n) {
            QCOMPARE(filas[n].size(), NumCampos);
            QCOMPARE(filas[n][Pos::Numero], QString::number(n));
            QCOMPARE(filas[n][Pos::NombreEdificacion], QString::fromUtf8(Muestra[n - 1].nombre));
            QCOMPARE(filas[n][Pos::Evaluador], QString::fromUtf8(Muestra[n - 1].evaluador));
        }

        // The search narrows the export; a selection wins over it.
        Buscar(*f, QStringLiteral("ruiz"));
        QTRY_COMPARE(Numeros(*f), (QList<int>{4, 2}));
        Mensaje::encolarRespuesta(Mensaje::Respuesta::Si);  // replace the earlier file
        ElegirArchivoAlGuardar(destino);
        f->findChild<QPushButton *>(QStringLiteral("btnExportarCsv"))->click();
        QCOMPARE(Mensaje::textosMostrados().size(), 1);
        QVERIFY(Mensaje::textosMostrados().constFirst().contains(QStringLiteral("ya existe")));
        QList<QStringList> filtradas = Prueba::LeerCsvConPython(destino);
        QCOMPARE(filtradas.size(), 3);
        QCOMPARE(filtradas[1][Pos::Numero], QStringLiteral("2"));
        QCOMPARE(filtradas[2][Pos::Numero], QStringLiteral("4"));
        ClicEnFila(*f, 4);
        const QString uno = carpeta.filePath(QStringLiteral("una.csv"));
        ElegirArchivoAlGuardar(uno);
        f->findChild<QPushButton *>(QStringLiteral("btnExportarCsv"))->click();
        filtradas = Prueba::LeerCsvConPython(uno);
        QCOMPARE(filtradas.size(), 2);
        QCOMPARE(filtradas[1][Pos::Barrio], QStringLiteral("Centro"));
    }

    // A registry that cannot be opened, or a table gone while the window is
    // open: a Spanish message naming the file and the table; the window stays.
    void fallosDeLaBaseDeDatos()
    {
        const QString carpetaComoArchivo = carpeta.filePath(QStringLiteral("no es un archivo"));
        QVERIFY(QDir().mkpath(carpetaComoArchivo));
        Mensaje::encolarRespuesta(Mensaje::Respuesta::Aceptar);
        {
            auto f = Abrir(carpetaComoArchivo);
            QTRY_COMPARE(Mensaje::textosMostrados().size(), 1);
            QVERIFY2(Mensaje::textosMostrados()[0].contains(QStringLiteral("no es un archivo")),
                     qPrintable(Mensaje::textosMostrados()[0]));
            QCOMPARE(Total(*f), QStringLiteral("0 evaluaciones"));
            Buscar(*f, QStringLiteral("x"));
            QTest::qWait(250);
            QVERIFY(f->isVisible());
        }

        Mensaje::limpiar();
        const QString copia = carpeta.filePath(QStringLiteral("copia.sqlite"));
        QVERIFY(QFile::copy(archivo, copia));
        auto f = Abrir(copia);
        QCOMPARE(Numeros(*f).size(), 6);
        const auto borrar = [](QSqlQuery &q) { QVERIFY(q.exec(QStringLiteral("DROP TABLE Evaluaciones"))); };
        QCOMPARE(Ejemplo::ConArchivo(copia, borrar), QString());  // while the window is open
        Mensaje::encolarRespuesta(Mensaje::Respuesta::Aceptar);
        Buscar(*f, QStringLiteral("centro"));
        QTRY_COMPARE(Mensaje::textosMostrados().size(), 1);
        const QString m = Mensaje::textosMostrados()[0];
        QVERIFY2(m.contains(QStringLiteral("\"Evaluaciones\"")) && m.contains(QStringLiteral("copia.sqlite")),
                 qPrintable(m));
        QVERIFY(f->isVisible());
        QCOMPARE(Total(*f), QStringLiteral("0 evaluaciones"));
    }

    // A selection of several pages is shown whole, in either order and with
    // a search, and the last row is the oldest match.
    void seleccionDeVariasPaginas()
    {
        const QString grande = carpeta.filePath(QStringLiteral("grande.sqlite"));
        QVector<RegistroEvaluacion> lote;
        for (int i = 0; i < 450; ++i) {
            RegistroEvaluacion r = Hacer(Muestra[i % 6]);
            r.establecerCampo(Pos::Barrio, i % 3 == 0 ? QStringLiteral("Norte") : QStringLiteral("Sur"));
            lote << r;
        }
        RegistroLocal(grande).agregar(lote);
        auto f = Abrir(grande);
        QCOMPARE(Total(*f), QStringLiteral("450 evaluaciones"));
        Buscar(*f, QStringLiteral("norte"));
        QTRY_COMPARE(Total(*f), QStringLiteral("150 evaluaciones"));
        QCOMPARE(f->modelo()->rowCount(), 150);
        QCOMPARE(f->modelo()->index(149, 0).data().toInt(), 1);  // numbers 1, 4, 7, ...
        ClicEnEncabezado(*f, 0);
        QTRY_COMPARE(f->modelo()->index(0, 0).data().toInt(), 1);
        QCOMPARE(f->modelo()->index(149, 0).data().toInt(), 448);
    }
};

QTEST_MAIN(PruebaVentanaRegistro)
#include "registry_window_test.moc"
