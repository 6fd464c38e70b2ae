// The placard and the report written to PDF and read back with poppler's
// pdftotext and pdftoppm: the texts of the record on the right pages, the
// band's colour for each habitability, hostile texts kept on the page, and
// a PDF that cannot be written leaving no file behind.

#include "core/data/data_paths.h"
#include "core/data/record_set.h"
#include "core/registry/stored_comments.h"
#include "reports/document_texts.h"
#include "reports/documents.h"
#include "reports/sample_records.h"
#include "support/test_support.h"

#include <QFile>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

using namespace RegistroEvaluaciones;

namespace {

using Prueba::Ejecutar;

// Blanks of any kind (line breaks of the layout included) as one space.
QString Normal(const QString &texto) { return texto.simplified(); }

// The text of each page of a PDF, blanks normalised.
QStringList PaginasTexto(const QString &pdf)
{
    const QString todo = QString::fromUtf8(Ejecutar(QStringLiteral("pdftotext"),
                                                    {QStringLiteral("-enc"), QStringLiteral("UTF-8"), pdf,
                                                     QStringLiteral("-")}));
    QStringList paginas = todo.split(QLatin1Char('\f'));
    if (!paginas.isEmpty() && paginas.last().trimmed().isEmpty())
        paginas.removeLast();
    for (QString &p : paginas)
        p = Normal(p);
    return paginas;
}

struct Palabra {
    QString texto;
    QRectF caja;
    int pagina;
};

// Every word of a PDF that lies inside its page, with its box in points
// (pdftotext -bbox); `fuera` counts the others.
QList<Palabra> PalabrasDentroDePagina(const QString &pdf, int *fuera = nullptr)
{
    const QString html = QString::fromUtf8(Ejecutar(QStringLiteral("pdftotext"),
                                                    {QStringLiteral("-bbox"), pdf, QStringLiteral("-")}));
    const QRegularExpression marca(QStringLiteral(
        "<page width=\"([0-9.]+)\" height=\"([0-9.]+)\">|"
        "<word xMin=\"([-0-9.]+)\" yMin=\"([-0-9.]+)\" xMax=\"([-0-9.]+)\" yMax=\"([-0-9.]+)\">([^<]*)</word>"));
    QList<Palabra> palabras;
    double ancho = 0, alto = 0;
    int pagina = 0, afuera = 0;
    for (auto it = marca.globalMatch(html); it.hasNext();) {
        const auto m = it.next();
        if (!m.captured(1).isEmpty()) {
            ancho = m.captured(1).toDouble();
            alto = m.captured(2).toDouble();
            ++pagina;
            continue;
        }
        const QRectF caja(QPointF(m.captured(3).toDouble(), m.captured(4).toDouble()),
                          QPointF(m.captured(5).toDouble(), m.captured(6).toDouble()));
        if (caja.left() < 0 || caja.top() < 0 || caja.right() > ancho || caja.bottom() > alto)
            ++afuera;
        else
            palabras.append({m.captured(7), caja, pagina});
    }
    if (fuera)
        *fuera = palabras.size() < 50 ? -1 : afuera;  // -1: hardly any text came out
    return palabras;
}

int PalabrasFuera(const QString &pdf)
{
    int fuera = 0;
    PalabrasDentroDePagina(pdf, &fuera);
    return fuera;
}

enum class Tono { Verde, Amarillo, Rojo, Gris, Otro };

Tono TonoDe(QRgb c)
{
    const int r = qRed(c), g = qGreen(c), b = qBlue(c);
    if (g > r + 50 && g > b + 30)
        return Tono::Verde;
    if (r > 190 && g > 150 && b < 90)
        return Tono::Amarillo;
    if (r > 150 && g < 90 && b < 90)
        return Tono::Rojo;
    if (std::abs(r - g) < 10 && std::abs(g - b) < 10 && r > 95 && r < 140)
        return Tono::Gris;
    return Tono::Otro;
}

// Pixels of each colour in the upper half of page `n` rendered at 30 dpi.
QMap<Tono, int> TonosArriba(const QString &pdf, int n, const QString &carpeta)
{
    const QString prefijo = carpeta + QStringLiteral("/pagina");
    Ejecutar(QStringLiteral("pdftoppm"), {QStringLiteral("-png"), QStringLiteral("-r"), QStringLiteral("30"),
                                          QStringLiteral("-f"), QString::number(n), QStringLiteral("-l"),
                                          QString::number(n), QStringLiteral("-singlefile"), pdf, prefijo});
    const QImage imagen(prefijo + QStringLiteral(".png"));
    QFile::remove(prefijo + QStringLiteral(".png"));
    QMap<Tono, int> cuenta;
    if (imagen.isNull())
        return cuenta;
    for (int y = 0; y < imagen.height() / 2; ++y)
        for (int x = 0; x < imagen.width(); ++x)
            ++cuenta[TonoDe(imagen.pixel(x, y))];
    return cuenta;
}

}  // namespace

class DocumentosTest : public QObject {
    Q_OBJECT

    TablasComentarios tablas_;
    QTemporaryDir carpeta_;

    QString Archivo(const QString &nombre) const { return carpeta_.filePath(nombre); }

private slots:
    void initTestCase()
    {
        Prueba::Preparar();
        QVERIFY(carpeta_.isValid());
        // ORV_CONSERVAR_PDF=1 keeps the PDFs to look at them.
        carpeta_.setAutoRemove(!qEnvironmentVariableIsSet("ORV_CONSERVAR_PDF"));
        if (!carpeta_.autoRemove())
            qInfo("PDF en %s", qPrintable(carpeta_.path()));
        tablas_ = LeerTablasComentarios(RutasDatos::archivoComentarios());
    }

    // One placard per habitability: its caption on a band of its colour, and
    // the record's own texts on its one page.
    void aviso_data()
    {
        QTest::addColumn<QString>("habitabilidad");
        QTest::addColumn<QString>("leyenda");
        QTest::addColumn<int>("tono");
        QTest::addColumn<int>("clase");  // of the sample record's comment codes
        QTest::newRow("verde") << EjemploDocumentos::Habitabilidades[0] << "HABITABLE" << int(Tono::Verde) << 0;
        QTest::newRow("amarillo") << EjemploDocumentos::Habitabilidades[1] << "USO RESTRINGIDO" << int(Tono::Amarillo) << 1;
        QTest::newRow("rojo") << EjemploDocumentos::Habitabilidades[2] << "NO HABITABLE" << int(Tono::Rojo) << 2;
        QTest::newRow("colapso") << EjemploDocumentos::Habitabilidades[3] << "PELIGRO DE COLAPSO" << int(Tono::Rojo) << 3;
        QTest::newRow("otra") << QStringLiteral("En revisión") << "EN REVISIÓN" << int(Tono::Gris) << 0;
        QTest::newRow("vacía") << QString() << "SIN CLASIFICACIÓN" << int(Tono::Gris) << 0;
    }
    void aviso()
    {
        QFETCH(QString, habitabilidad);
        QFETCH(QString, leyenda);
        QFETCH(int, tono);
        QFETCH(int, clase);
        RegistroEvaluacion r = EjemploDocumentos::Registro(4711, clase);
        r.establecerCampo(Pos::Habitabilidad, habitabilidad);
        const QString pdf = Archivo(QStringLiteral("aviso.pdf"));
        Documentos::GuardarAvisosPdf(pdf, {r}, tablas_);

        const QStringList paginas = PaginasTexto(pdf);
        QCOMPARE(paginas.size(), 1);
        const QString &texto = paginas.first();
        const ComentariosRegistro c = ComentariosDeRegistro(r, tablas_);
        QVERIFY(!c.medidasSeguridad.isEmpty());
        for (const QString &esperado :
             {leyenda, QStringLiteral("4711"), QStringLiteral("Calle 45B 12-30"), QStringLiteral("Edificio Álamo"),
              QStringLiteral("San Martín"), QStringLiteral("05-12-U-003-0045-0001-000"),
              QStringLiteral("06/12/2026 14:56"), QStringLiteral("Ing. Laura Pérez"), QStringLiteral("C-17"),
              Normal(c.medidasSeguridad), Documentos::AvisoReplicas(), Documentos::AvisoOficial()})
            QVERIFY2(texto.contains(esperado), qPrintable(esperado + QStringLiteral("\n-- no está en --\n") + texto));

        const QMap<Tono, int> tonos = TonosArriba(pdf, 1, carpeta_.path());
        const Tono esperado = Tono(tono);
        QVERIFY2(tonos.value(esperado) > 8000, qPrintable(QString::number(tonos.value(esperado))));
        // The letters' edges give a few greys; no other colour shows.
        for (const Tono otro : {Tono::Verde, Tono::Amarillo, Tono::Rojo, Tono::Gris})
            if (otro != esperado)
                QVERIFY2(tonos.value(otro) < (otro == Tono::Gris ? tonos.value(esperado) / 10 : 100),
                         qPrintable(QString::number(tonos.value(otro))));
        QCOMPARE(PalabrasFuera(pdf), 0);
    }

    // Several placards: one page each, in the order given; a record not yet
    // numbered by the central registry says so.
    void variosAvisos()
    {
        RegistroEvaluacion pendiente = EjemploDocumentos::Registro(0, 0);
        pendiente.pendiente = true;
        const QVector<RegistroEvaluacion> registros = {EjemploDocumentos::Registro(31, 3), pendiente,
                                                       EjemploDocumentos::Registro(29, 1)};
        const QString pdf = Archivo(QStringLiteral("avisos.pdf"));
        Documentos::GuardarAvisosPdf(pdf, registros, tablas_);
        const QStringList paginas = PaginasTexto(pdf);
        QCOMPARE(paginas.size(), 3);
        const char *const esperados[3][2] = {{"Evaluación N.º 31", "PELIGRO DE COLAPSO"},
                                             {"Evaluación N.º pendiente", "HABITABLE"},
                                             {"Evaluación N.º 29", "USO RESTRINGIDO"}};
        for (int i = 0; i < 3; ++i)
            for (const char *t : esperados[i])
                QVERIFY2(paginas[i].contains(QString::fromUtf8(t)), qPrintable(paginas[i]));
        QVERIFY(!paginas[1].contains(QStringLiteral("NO HABITABLE")));
        QCOMPARE(TonosArriba(pdf, 2, carpeta_.path()).value(Tono::Verde) > 8000, true);
        QCOMPARE(TonosArriba(pdf, 3, carpeta_.path()).value(Tono::Amarillo) > 8000, true);
    }

    // The report: two pages with their numbers, the heading, every group of
    // the record, the levels by the captions of the rating dialog, the
    // indices in the system's number notation, the five comments and the
    // disclaimer; a second report starts on a page of its own.
    void reporte()
    {
        const QLocale anterior;
        QLocale::setDefault(QLocale(QLocale::Spanish));
        RegistroEvaluacion r = EjemploDocumentos::Registro(4711, 2);
        RegistroEvaluacion otro = EjemploDocumentos::Registro(4712, 0);
        otro.pendiente = true;
        const QString pdf = Archivo(QStringLiteral("reporte.pdf"));
        Documentos::GuardarReportesPdf(pdf, {r, otro}, tablas_);
        QLocale::setDefault(anterior);

        const QStringList paginas = PaginasTexto(pdf);
        QCOMPARE(paginas.size(), 4);
        for (int i = 0; i < 4; ++i)
            QVERIFY(paginas[i].contains(QStringLiteral("Página %1 de 2").arg(i % 2 + 1)));
        QVERIFY(paginas[2].contains(QStringLiteral("Evaluación N.º pendiente")));
        const QString texto = paginas[0] + QLatin1Char(' ') + paginas[1];
        QVERIFY(paginas[0].contains(QStringLiteral("Municipio de Quenbria")));
        QVERIFY(paginas[0].contains(QStringLiteral("4711")));
        QVERIFY(!texto.contains(QStringLiteral("4712")));
        const ComentariosRegistro c = ComentariosDeRegistro(r, tablas_);
        for (const QString &esperado : {
                 QStringLiteral("06/12/2026 14:56"), QStringLiteral("Ing. Laura Pérez"), QStringLiteral("C-17"),
                 QStringLiteral("Calle 45B 12-30"), QStringLiteral("Edificio Álamo"), QStringLiteral("Marta Gómez"),
                 QStringLiteral("NO HABITABLE"),
                 // building data
                 QStringLiteral("Pórticos en concreto reforzado"), QStringLiteral("Placa aligerada"),
                 QStringLiteral("Libre por un costado"),
                 // structural shares and qualitative levels by their captions
                 QStringLiteral("Nudos y conexiones"), QStringLiteral("Severo"), QStringLiteral("35 %"),
                 QStringLiteral("Calidad de los Materiales Muy Buena"), QStringLiteral("Irregularidad en Planta Considerable"),
                 QStringLiteral("Configuración Estructural Buena"), QStringLiteral("Tanques Elevados Fuerte"),
                 // results and indices with the decimal comma
                 QStringLiteral("0,6123"), QStringLiteral("0,4512"), QStringLiteral("0,17"), QStringLiteral("0,0582"),
                 QStringLiteral("Bajo, después de medidas"), QStringLiteral("Refuerzo"),
                 Normal(c.dannoEdificio), Normal(c.estadoGlobal), Normal(c.habitabilidad), Normal(c.reparabilidad),
                 Normal(c.medidasSeguridad), Normal(Documentos::TextoAdvertencia())})
            QVERIFY2(texto.contains(esperado), qPrintable(esperado + QStringLiteral("\n-- no está en --\n") + texto));
        QVERIFY(!texto.contains(QStringLiteral("0.6123")));
        QCOMPARE(TonosArriba(pdf, 1, carpeta_.path()).value(Tono::Rojo) > 300, true);
    }

    // Quotes, markup, emoji and a comment far longer than any of the tables:
    // nothing is cut and nothing leaves the page.
    void textosHostiles()
    {
        RegistroEvaluacion r = EjemploDocumentos::Registro(77, 1);
        const QString nombre = QStringLiteral("O'Brien \"DROP TABLE\"; <b>&amp; 🏚️🔥 Ñandú");
        r.establecerCampo(Pos::NombreEdificacion, nombre);
        r.establecerCampo(Pos::Evaluador, QString(QStringLiteral("Evaluadora Con Nombre Larguísimo ")).repeated(8));
        r.establecerCampo(Pos::NumeroCalle, QStringLiteral("Sin\r\nsalto\tni tabulación"));
        r.establecerCampo(Pos::CodigoMedidasSeguridad, QStringLiteral("MS LARGO"));
        TablasComentarios tablas = tablas_;
        QString largo;
        for (int i = 0; i < 120; ++i)
            largo += QStringLiteral("Frase %1 de las medidas de seguridad, que deben cumplirse sin excepción. ").arg(i);
        largo += QStringLiteral("Palabrasinespaciosquenocabeenningunalineadelapaginaporquees") +
                 QStringLiteral("muchomaslargaquecualquierrenglon FINAL");
        tablas.medidasSeguridad[QStringLiteral("MS LARGO")] = largo;

        const QString aviso = Archivo(QStringLiteral("hostil-aviso.pdf"));
        Documentos::GuardarAvisosPdf(aviso, {r}, tablas);
        QStringList paginas = PaginasTexto(aviso);
        QCOMPARE(paginas.size(), 1);
        for (const QString &t : {QStringLiteral("O'Brien \"DROP TABLE\"; <b>&amp;"), QStringLiteral("Frase 0 de"),
                                 QStringLiteral("Frase 119 de"), QStringLiteral("FINAL"), Documentos::AvisoOficial()})
            QVERIFY2(paginas[0].contains(t), qPrintable(t));
        QCOMPARE(PalabrasFuera(aviso), 0);
        // The shrunk comment ends above the warnings' box.
        const QList<Palabra> palabras = PalabrasDentroDePagina(aviso);
        double finComentario = 0, inicioAvisos = 1e9;
        for (const Palabra &p : palabras) {
            if (p.texto.startsWith(QStringLiteral("FINAL")) || p.texto.startsWith(QStringLiteral("Frase")))
                finComentario = std::max(finComentario, p.caja.bottom());
            if (p.texto == QStringLiteral("réplicas") || p.texto == QStringLiteral("retire"))
                inicioAvisos = std::min(inicioAvisos, p.caja.top());
        }
        QVERIFY(finComentario > 0);
        QVERIFY2(finComentario < inicioAvisos, qPrintable(QStringLiteral("%1 %2").arg(finComentario).arg(inicioAvisos)));

        const QString reporte = Archivo(QStringLiteral("hostil-reporte.pdf"));
        Documentos::GuardarReportesPdf(reporte, {r}, tablas);
        paginas = PaginasTexto(reporte);
        QVERIFY(paginas.size() >= 3);
        for (int i = 0; i < paginas.size(); ++i)
            QVERIFY(paginas[i].contains(QStringLiteral("Página %1 de %2").arg(i + 1).arg(paginas.size())));
        const QString todo = paginas.join(QLatin1Char(' '));
        QVERIFY2(todo.contains(QStringLiteral("Frase 119 de")) && todo.contains(QStringLiteral("FINAL")) &&
                     todo.contains(Normal(Documentos::TextoAdvertencia())), qPrintable(todo));
        QCOMPARE(PalabrasFuera(reporte), 0);
    }

    // A PDF that cannot be written: a Spanish message naming the file, and
    // no file; an existing file is replaced only by a complete one.
    void archivoNoEscribible()
    {
        const QVector<RegistroEvaluacion> uno = {EjemploDocumentos::Registro(5)};
        const QString sinCarpeta = Archivo(QStringLiteral("no-existe/aviso.pdf"));
        const QString carpeta = Archivo(QStringLiteral("una-carpeta"));
        QVERIFY(QDir().mkpath(carpeta));
        struct Caso {
            QString archivo;
            QVector<RegistroEvaluacion> registros;
            bool reporte;
        };
        for (const Caso &caso : {Caso{sinCarpeta, uno, false}, Caso{sinCarpeta, uno, true}, Caso{carpeta, uno, false},
                                 Caso{Archivo(QStringLiteral("vacio.pdf")), {}, true}}) {
            QString mensaje;
            try {
                if (caso.reporte)
                    Documentos::GuardarReportesPdf(caso.archivo, caso.registros, tablas_);
                else
                    Documentos::GuardarAvisosPdf(caso.archivo, caso.registros, tablas_);
            } catch (const ErrorDatos &e) {
                mensaje = e.mensaje();
            }
            QVERIFY2(mensaje.startsWith(QStringLiteral("No ")), qPrintable(mensaje));
            QVERIFY2(mensaje.contains(QDir::toNativeSeparators(caso.archivo)), qPrintable(mensaje));
            QVERIFY(QFileInfo(caso.archivo).isDir() == (caso.archivo == carpeta));
            QVERIFY(!QFileInfo::exists(caso.archivo) || caso.archivo == carpeta);
        }
        QVERIFY(QDir(carpeta).isEmpty());

        const QString existente = Archivo(QStringLiteral("existente.pdf"));
        {
            QFile f(existente);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write("contenido anterior");
        }
        Documentos::GuardarAvisosPdf(existente, uno, tablas_);
        QFile f(existente);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QVERIFY(f.read(5) == "%PDF-");
        QCOMPARE(QDir(carpeta_.path()).entryList({QStringLiteral("existente.pdf*")}, QDir::Files).size(), 1);
    }
};

QTEST_MAIN(DocumentosTest)
#include "documents_test.moc"
