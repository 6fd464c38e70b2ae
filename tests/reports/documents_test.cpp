// The placard and the report written to PDF and read back with poppler's
// pdftotext and pdftoppm: the texts of the record on the right pages, the
// band's colour for each habitability, hostile texts kept on the page, and
// a PDF that cannot be written leaving no file behind.

#include "core/data/data_paths.h"
#include "core/data/record_set.h"
#include "core/engine/fuzzy_scale.h"
#include "core/engine/rule_tables.h"
#include "core/registry/local_registry.h"
#include "core/registry/stored_comments.h"
#include "reports/document_pages.h"
#include "reports/document_texts.h"
#include "reports/documents.h"
#include "reports/sample_records.h"
#include "support/test_support.h"

#include <QFile>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QBuffer>
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


// What a placard allows and what its safety measures allow, in two terms:
// living in or staying in the building, and who may go in.
enum Quien { Cualquiera = 1, Autorizado = 2, Socorro = 4 };
struct Permisos {
    bool habitar = false;
    int entran = 0;  // Quien flags
};

QRegularExpression Patron(const QString &patron)
{
    return QRegularExpression(patron, QRegularExpression::CaseInsensitiveOption |
                                          QRegularExpression::UseUnicodePropertiesOption);
}

QStringList Clausulas(const QString &texto)
{
    static const QRegularExpression corte(QStringLiteral("[.;]"));
    return texto.split(corte, Qt::SkipEmptyParts);
}

// Who a clause names; nobody named is anybody.
int Quienes(const QString &clausula)
{
    static const QRegularExpression autorizado = Patron(QStringLiteral("\\bpersonal (técnico )?autorizado\\b"));
    static const QRegularExpression socorro = Patron(QStringLiteral("\\borganismos de socorro\\b"));
    int q = 0;
    if (autorizado.match(clausula).hasMatch())
        q |= Autorizado;
    if (socorro.match(clausula).hasMatch())
        q |= Socorro;
    return q ? q : int(Cualquiera);
}

// What the placard's sentence allows by itself. A clause that leaves the
// extent to the safety measures ("en la medida en que lo permitan las
// medidas") allows nothing of its own; "salvo" names whom a ban leaves out.
Permisos PermisosDelAviso(const QString &frase)
{
    static const QRegularExpression remite =
        Patron(QStringLiteral("\\b(en la medida en que|en lo que|según) (lo )?permitan las medidas\\b"));
    static const QRegularExpression ocupar = Patron(QStringLiteral("\\bpueden? (ocuparse|usarse|habitarse)\\b"));
    static const QRegularExpression entrar = Patron(QStringLiteral("\\bpueden? entrar\\b"));
    static const QRegularExpression salvo = Patron(QStringLiteral("\\bsalvo\\b"));
    Permisos p;
    for (const QString &c : Clausulas(frase)) {
        if (remite.match(c).hasMatch())
            continue;
        if (ocupar.match(c).hasMatch()) {
            p.habitar = true;
            p.entran |= Cualquiera;
        }
        if (entrar.match(c).hasMatch())
            p.entran |= Quienes(c);
        if (const auto m = salvo.match(c); m.hasMatch())
            p.entran |= Quienes(c.mid(m.capturedStart()));
    }
    return p;
}

// What the safety measures still allow: an eviction ends living in the
// building and going in for anybody but the staff; "nadie debe entrar"
// leaves in only those after its "salvo"; "solo personal técnico autorizado
// puede entrar" leaves in the authorised staff (rescue bodies among them).
Permisos PermisosDeMedidas(const QString &medidas)
{
    static const QRegularExpression desalojo =
        Patron(QStringLiteral("\\b(desalojar el edificio|nadie debe volver a vivir)\\b"));
    static const QRegularExpression nadie = Patron(QStringLiteral("\\bnadie (debe|puede) entrar\\b"));
    static const QRegularExpression soloAutorizado =
        Patron(QStringLiteral("\\bsolo (el )?personal (técnico )?autorizado puede entrar\\b"));
    static const QRegularExpression salvo = Patron(QStringLiteral("\\bsalvo\\b"));
    Permisos p{true, Cualquiera | Autorizado | Socorro};
    if (desalojo.match(medidas).hasMatch()) {
        p.habitar = false;
        p.entran &= ~Cualquiera;
    }
    for (const QString &c : Clausulas(medidas)) {
        if (nadie.match(c).hasMatch()) {
            const auto m = salvo.match(c);
            p.entran &= m.hasMatch() ? Quienes(c.mid(m.capturedStart())) : 0;
        }
        if (soloAutorizado.match(c).hasMatch())
            p.entran &= Autorizado | Socorro;
    }
    return p;
}

// Empty when the placard's sentence holds together with the measures printed
// under it; otherwise what it allows that they forbid, or the ban on living
// in the building that it leaves out.
QString Desacuerdo(const QString &frase, const QString &medidas)
{
    static const QRegularExpression prohibeHabitar = Patron(QStringLiteral("\\bprohibido habitar\\b"));
    const Permisos aviso = PermisosDelAviso(frase);
    const Permisos medida = PermisosDeMedidas(medidas);
    QStringList d;
    if (aviso.habitar && !medida.habitar)
        d << QStringLiteral("el aviso deja ocupar la edificación que las medidas mandan desalojar");
    if (!medida.habitar && !prohibeHabitar.match(frase).hasMatch())
        d << QStringLiteral("las medidas mandan desalojar y el aviso no prohíbe habitarla");
    if (const int sobra = aviso.entran & ~medida.entran)
        d << QStringLiteral("el aviso deja entrar a quien las medidas no (%1)").arg(sobra);
    return d.join(QStringLiteral("; "));
}

// The safety-measure codes a record of habitability level `nivel` can carry:
// those of every structural, non-structural and soil level that the engine
// rates so, with the other-elements form where it exists. The engine rates
// no building "Peligro de Colapso"; a record that says so may carry any code.
QStringList CodigosDeMedidas(int nivel)
{
    QStringList codigos;
    for (int s = 0; s <= 4; ++s)
        for (int n = 0; n <= 4; ++n)
            for (int g = 0; g <= 4; ++g) {
                const int h = ReglaHabitabilidad(ReglaDannoEdificio(int16_t(s), int16_t(n)), int16_t(g));
                if (h != nivel && nivel != 3)
                    continue;
                const QString digitos = QStringLiteral("%1%2%3").arg(s).arg(n).arg(g);
                codigos << QStringLiteral("MS ") + digitos;
                if (s <= 1 && n <= 1 && g <= 2)
                    codigos << QStringLiteral("MSOA ") + digitos;
            }
    return codigos;
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

    // Three evaluations of one building saved in the registry out of order,
    // and one of another building: each placard names the posting it
    // replaces, and those a newer evaluation replaced carry "AVISO
    // REEMPLAZADO" with the current one; the other building's has neither.
    void avisosDeUnaEdificacion()
    {
        RegistroLocal registro(Archivo(QStringLiteral("edificacion.sqlite")));
        auto evaluacion = [](const char *fecha, int clase) {
            RegistroEvaluacion r = EjemploDocumentos::Registro(0, clase);
            r.establecerCampo(Pos::Fecha, QString::fromLatin1(fecha));
            return r;
        };
        RegistroEvaluacion otra = evaluacion("2026-12-05T11:00:00", 0);
        otra.establecerCampo(Pos::Predio, QStringLiteral("0002"));
        QVector<RegistroEvaluacion> lote{evaluacion("2026-12-06T08:15:00", 2), evaluacion("2026-12-01T10:00:00", 0),
                                         evaluacion("2026-12-04T14:32:00", 1), otra};
        registro.agregar(lote);
        registro.situar(lote);
        const QString pdf = Archivo(QStringLiteral("historial.pdf"));
        Documentos::GuardarAvisosPdf(pdf, lote, tablas_);
        const QStringList paginas = PaginasTexto(pdf);
        QCOMPARE(paginas.size(), 4);
        const QString reemplazado = QStringLiteral("AVISO REEMPLAZADO");
        const QString vigente = QStringLiteral("evaluación N.º 1 del 06/12/2026 (NO HABITABLE)");
        // 1, the newest: current, replaces 3.
        QVERIFY2(paginas[0].contains(QStringLiteral("Reemplaza el aviso de la evaluación N.º 3 del 04/12/2026 (USO "
                                                    "RESTRINGIDO).")),
                 qPrintable(paginas[0]));
        QVERIFY(!paginas[0].contains(reemplazado));
        // 2, the oldest: replaced, replaces nothing.
        QVERIFY2(paginas[1].contains(reemplazado) && paginas[1].contains(vigente), qPrintable(paginas[1]));
        QVERIFY(!paginas[1].contains(QStringLiteral("Reemplaza el aviso")));
        // 3: replaced by 1, replaces 2.
        QVERIFY2(paginas[2].contains(reemplazado) && paginas[2].contains(vigente), qPrintable(paginas[2]));
        QVERIFY2(paginas[2].contains(QStringLiteral("Reemplaza el aviso de la evaluación N.º 2 del 01/12/2026 "
                                                    "(HABITABLE).")),
                 qPrintable(paginas[2]));
        // Another plot: neither.
        QVERIFY(!paginas[3].contains(reemplazado) && !paginas[3].contains(QStringLiteral("Reemplaza el aviso")));
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


    // The rule of avisoSegunMedidas on a few sentences.
    void desacuerdo_data()
    {
        QTest::addColumn<QString>("frase");
        QTest::addColumn<QString>("medidas");
        QTest::addColumn<bool>("desacuerdo");
        const QString nadie = QStringLiteral("Hay que desalojar el edificio; nadie debe entrar, ni siquiera para retirar "
                                             "enseres, salvo los organismos de socorro en caso de rescate.");
        const QString tecnicos = QStringLiteral("Hay que desalojar el edificio y acordonarlo; solo personal técnico "
                                                "autorizado puede entrar, por poco tiempo, para apuntalar.");
        const QString limitado = QStringLiteral("El uso del edificio debe limitarse a las zonas no afectadas.");
        const QString rojoAntes = QStringLiteral("Prohibido habitar o permanecer en la edificación; solo puede entrar, "
                                                 "por poco tiempo, el personal autorizado.");
        QTest::newRow("personal donde nadie entra") << rojoAntes << nadie << true;
        QTest::newRow("personal donde entran técnicos") << rojoAntes << tecnicos << false;
        QTest::newRow("según las medidas") << Documentos::ClaseDeHabitabilidad(QStringLiteral("No Habitable")).permite
                                           << nadie << false;
        QTest::newRow("socorro donde nadie entra")
            << QStringLiteral("Prohibido habitar y el ingreso, salvo a los organismos de socorro.") << nadie << false;
        QTest::newRow("ocupar lo desalojado")
            << QStringLiteral("La edificación puede ocuparse y usarse.") << tecnicos << true;
        QTest::newRow("desalojo sin prohibir habitar")
            << QStringLiteral("Solo el personal autorizado puede entrar en la medida en que lo permitan las medidas.")
            << tecnicos << true;
        QTest::newRow("ocupar con uso limitado") << QStringLiteral("Solo pueden usarse las zonas abiertas.") << limitado
                                                 << false;
    }
    void desacuerdo()
    {
        QFETCH(QString, frase);
        QFETCH(QString, medidas);
        QFETCH(bool, desacuerdo);
        const QString d = Desacuerdo(frase, medidas);
        QVERIFY2(d.isEmpty() != desacuerdo, qPrintable(d));
    }

    // Every placard, printed with every safety-measure code its habitability
    // can carry: what its sentence allows, as printed, the measures printed
    // under it allow too.
    void avisoSegunMedidas()
    {
        QStringList desacuerdos;
        for (int nivel = 0; nivel <= 3; ++nivel) {
            const QString habitabilidad = NombreHabitabilidad(nivel);
            const Documentos::ClaseAviso clase = Documentos::ClaseDeHabitabilidad(habitabilidad);
            const QStringList codigos = CodigosDeMedidas(nivel);
            QVERIFY(!codigos.isEmpty());
            QVector<RegistroEvaluacion> registros;
            for (int i = 0; i < codigos.size(); ++i) {
                RegistroEvaluacion r = EjemploDocumentos::Registro(i + 1, 0);
                r.establecerCampo(Pos::Habitabilidad, habitabilidad);
                r.establecerCampo(Pos::CodigoMedidasSeguridad, codigos[i]);
                registros << r;
            }
            const QString pdf = Archivo(QStringLiteral("avisos-%1.pdf").arg(nivel));
            Documentos::GuardarAvisosPdf(pdf, registros, tablas_);
            const QStringList paginas = PaginasTexto(pdf);
            QCOMPARE(paginas.size(), registros.size());
            for (int i = 0; i < paginas.size(); ++i) {
                const QString &pagina = paginas[i];
                const QString medidas = Normal(ComentariosDeRegistro(registros[i], tablas_).medidasSeguridad);
                QVERIFY2(!medidas.isEmpty(), qPrintable(codigos[i]));
                QVERIFY2(pagina.contains(medidas), qPrintable(codigos[i]));
                // The sentence as printed: between the band's capitals and the first datum.
                const qsizetype desde = pagina.indexOf(clase.titulo);
                const qsizetype hasta = pagina.indexOf(QStringLiteral("Dirección"));
                QVERIFY2(desde >= 0 && hasta > desde, qPrintable(pagina));
                const QString frase = pagina.mid(desde + clase.titulo.size(), hasta - desde - clase.titulo.size());
                QVERIFY2(frase.contains(Normal(clase.permite)), qPrintable(frase));
                if (const QString d = Desacuerdo(frase, medidas); !d.isEmpty())
                    desacuerdos << QStringLiteral("%1 con %2: %3").arg(clase.titulo, codigos[i], d);
            }
        }
        for (const QString &d : desacuerdos)
            qWarning().noquote() << d;
        QVERIFY2(desacuerdos.isEmpty(), qPrintable(QStringLiteral("%1 avisos permiten lo que sus medidas prohíben "
                                                                  "(arriba)").arg(desacuerdos.size())));
    }

    // The report: its pages with their numbers, the heading, every group of
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
        // Each report numbers its own pages, two at least: "Página 1 de n" to "Página n de n".
        const qsizetype segundo = paginas.indexOf(QRegularExpression(QStringLiteral(".*Página 1 de .*")), 1);
        QVERIFY2(segundo >= 2 && paginas.size() - segundo >= 2, qPrintable(QString::number(paginas.size())));
        for (int i = 0; i < paginas.size(); ++i) {
            const qsizetype n = i < segundo ? segundo : paginas.size() - segundo;
            const qsizetype k = i < segundo ? i + 1 : i - segundo + 1;
            QVERIFY2(paginas[i].contains(QStringLiteral("Página %1 de %2").arg(k).arg(n)), qPrintable(paginas[i]));
        }
        QVERIFY(paginas[segundo].contains(QStringLiteral("Evaluación N.º pendiente")));
        const QString texto = paginas.mid(0, segundo).join(QLatin1Char(' '));
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
        QVERIFY(!texto.contains(QStringLiteral("Corregida")));
        QCOMPARE(TonosArriba(pdf, 1, carpeta_.path()).value(Tono::Rojo) > 300, true);
    }

    // The report of an evaluation whose identification was corrected says
    // so on its first page, with the date of the latest correction.
    void reporteCorregido()
    {
        RegistroEvaluacion r = EjemploDocumentos::Registro(4711, 2);
        r.corregida = QDateTime(QDate(2026, 12, 8), QTime(15, 20), Qt::UTC);
        const QString pdf = Archivo(QStringLiteral("corregido.pdf"));
        Documentos::GuardarReportesPdf(pdf, {r}, tablas_);
        const QStringList paginas = PaginasTexto(pdf);
        QVERIFY(!paginas.isEmpty());
        const QString esperado = QStringLiteral("Corregida el %1")
                                     .arg(r.corregida.toLocalTime().toString(QStringLiteral("dd/MM/yyyy HH:mm")));
        QVERIFY2(paginas[0].contains(esperado), qPrintable(paginas[0]));
        QCOMPARE(paginas.join(QLatin1Char(' ')).count(QStringLiteral("Corregida")), 1);
    }

    // Eight photos: two pages of them after the report, six then two, each
    // "Foto k de 8" with its caption, date and position; the photos are
    // drawn (the red photo shows on the first photo page); and a report
    // without photos has no photo page.
    void reporteConFotos()
    {
        RegistroEvaluacion r = EjemploDocumentos::Registro(4711, 2);
        const QString sinFotos = Archivo(QStringLiteral("sin-fotos.pdf"));
        Documentos::GuardarReportesPdf(sinFotos, {r}, tablas_);
        const qsizetype paginasSinFotos = PaginasTexto(sinFotos).size();
        for (int i = 0; i < 8; ++i) {
            QImage imagen(800, 600, QImage::Format_RGB32);
            imagen.fill(i == 0 ? QColor(220, 20, 20) : QColor(40, 90, 200));
            QByteArray jpeg;
            QBuffer b(&jpeg);
            b.open(QIODevice::WriteOnly);
            imagen.save(&b, "JPEG", 85);
            FotoEvaluacion f;
            f.jpeg = jpeg;
            f.leyenda = i == 2 ? QStringLiteral("Grieta en la columna C-3") : QString();
            f.tomadaEn = QDateTime(QDate(2026, 12, 4), QTime(10, i));
            if (i == 2)
                f.latitud = -10.5, f.longitud = -25.25;
            r.fotos << f;
        }
        const QString pdf = Archivo(QStringLiteral("con-fotos.pdf"));
        Documentos::GuardarReportesPdf(pdf, {r}, tablas_);
        const QStringList paginas = PaginasTexto(pdf);
        QCOMPARE(paginas.size(), paginasSinFotos + 2);
        const QString primera = paginas.at(paginasSinFotos), segunda = paginas.at(paginasSinFotos + 1);
        for (int k = 1; k <= 8; ++k)
            QVERIFY2((k <= 6 ? primera : segunda).contains(QStringLiteral("Foto %1 de 8").arg(k)), qPrintable(QString::number(k)));
        QVERIFY(!segunda.contains(QStringLiteral("Foto 6 de 8")));
        QVERIFY(primera.contains(QStringLiteral("Grieta en la columna C-3")));
        QVERIFY2(primera.contains(QStringLiteral("Tomada el 04/12/2026 10:02")), qPrintable(primera));
        QVERIFY(primera.contains(QStringLiteral("-10.500000, -25.250000")));
        QVERIFY(primera.contains(QStringLiteral("Página %1 de %2").arg(paginasSinFotos + 1).arg(paginasSinFotos + 2)));
        QVERIFY(TonosArriba(pdf, static_cast<int>(paginasSinFotos) + 1, carpeta_.path()).value(Tono::Rojo) > 300);
        QVERIFY(TonosArriba(pdf, static_cast<int>(paginasSinFotos) + 2, carpeta_.path()).value(Tono::Rojo) < 20);
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
