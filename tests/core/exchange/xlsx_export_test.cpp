// The spreadsheet export read back as people read it: LibreOffice Calc,
// headless, opens the workbook and saves every sheet as CSV, and each cell
// must equal the registry's value (codes with their leading zeros, hostile
// texts verbatim); openpyxl reports each cell's type and the sheets' frozen
// rows, filters and widths. Then the refusals: a selection over the sheet's
// limit and a text too long for a cell leave no file, and an earlier file
// as it was.

#include "core/data/record_set.h"
#include "core/exchange/xlsx_export.h"
#include "core/registry/local_registry.h"
#include "core/registry/registry_summary.h"
#include "core/registry/sample_evaluation.h"
#include "support/test_support.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

using namespace RegistroEvaluaciones;

namespace {

// Texts a spreadsheet or a database might take for something else.
const QString Comillas = QStringLiteral("Edificio \"El Roble\"; piso 2, local 3");
const QString Sql = QStringLiteral("Robert'); DROP TABLE Evaluaciones;--");
const QString Emoji = QStringLiteral("Barrio 🏚️ Norte");
const QString Tabulador = QStringLiteral("Ana\tGómez");
const QString Lineas = QStringLiteral("12-30\nInterior 4, \"patio\"");
const QString Formula = QStringLiteral("=1+1");
const QString Espacios = QStringLiteral("  con espacios  ");

RegistroEvaluacion Registro(const QString &fecha)
{
    RegistroEvaluacion r;
    const QVariantList campos = Ejemplo::Campos();
    for (int i = 1; i < NumCampos; ++i)
        r.establecerCampo(i, campos.at(i));
    r.establecerCampo(Pos::Fecha, fecha);
    return r;
}

// Three evaluations of one building (the plot 01-07-0821-0598-060), one of
// another full of hostile texts, and one whose date is no date.
void Llenar(RegistroLocal &registro)
{
    QVector<RegistroEvaluacion> lote;
    for (const char *fecha : {"2026-12-06T09:15:00", "2026-12-07T16:40:30", "2026-12-08T08:05:00"}) {
        RegistroEvaluacion r = Registro(QString::fromLatin1(fecha));
        r.establecerCampo(Pos::TipoAvaluo, QStringLiteral("01"));
        r.establecerCampo(Pos::Sector, QStringLiteral("07"));
        r.establecerCampo(Pos::Manzana, QStringLiteral("0821"));
        r.establecerCampo(Pos::Predio, QStringLiteral("0598"));
        r.establecerCampo(Pos::MejoraPH, QStringLiteral("060"));
        r.establecerCampo(Pos::Latitud, -12.3741);
        r.establecerCampo(Pos::Longitud, -97.4526);
        lote.append(r);
    }
    lote[2].establecerCampo(Pos::Habitabilidad, QStringLiteral("Uso Restringido"));

    RegistroEvaluacion h = Registro(QStringLiteral("2026-12-07T11:30:00"));
    h.establecerCampo(Pos::Manzana, QStringLiteral("0099"));
    h.establecerCampo(Pos::NombreEdificacion, Comillas);
    h.establecerCampo(Pos::PersonaContacto, Sql);
    h.establecerCampo(Pos::Barrio, Emoji);
    h.establecerCampo(Pos::Evaluador, Tabulador);
    h.establecerCampo(Pos::NumeroCasa, Lineas);
    h.establecerCampo(Pos::CodigoComision, Formula);
    h.establecerCampo(Pos::OtraVia, Espacios);
    h.establecerCampo(Pos::Avenida, QStringLiteral("1e5"));
    h.establecerCampo(Pos::Telefono, QStringLiteral("555 0142"));
    h.establecerCampo(Pos::IndiceSuelo, QVariant());
    lote.append(h);

    RegistroEvaluacion s = Registro(QStringLiteral("sin fecha"));
    s.establecerCampo(Pos::Manzana, QStringLiteral("0100"));
    s.establecerCampo(Pos::CodigoComision, QStringLiteral("007"));
    lote.append(s);
    registro.agregar(lote);
}

QVector<RegistroEvaluacion> Leer(RegistroLocal &registro, const FiltroRegistro &filtro)
{
    QVector<RegistroEvaluacion> r;
    registro.recorrer(filtro, {Pos::Numero, false}, [&](const RegistroEvaluacion &e) {
        r.append(e);
        return true;
    });
    return r;
}

// Every sheet of the workbook as Calc saves it in CSV, by sheet name.
QHash<QString, QList<QStringList>> HojasSegunCalc(const QString &libro, const QStringList &hojas)
{
    QTemporaryDir perfil, salida;
    QProcess p;
    p.setProcessChannelMode(QProcess::MergedChannels);
    // Decimal point and month/day/year dates (language 1033) whatever the
    // machine's locale; every sheet into a file of its own (the last option).
    p.start(QStringLiteral(ORV_SOFFICE),
            {QStringLiteral("-env:UserInstallation=") + QUrl::fromLocalFile(perfil.path()).toString(),
             QStringLiteral("--headless"), QStringLiteral("--norestore"), QStringLiteral("--convert-to"),
             QStringLiteral("csv:Text - txt - csv (StarCalc):44,34,76,1,,1033,false,true,false,false,false,-1"),
             QStringLiteral("--outdir"), salida.path(), libro});
    if (!p.waitForFinished(300000) || p.exitCode() != 0)
        qWarning("soffice: %s", p.readAll().constData());
    QHash<QString, QList<QStringList>> resultado;
    const QString base = QFileInfo(libro).completeBaseName();
    for (const QString &hoja : hojas) {
        const QString csv = QDir(salida.path()).filePath(base + QLatin1Char('-') + hoja + QStringLiteral(".csv"));
        if (QFile::exists(csv))
            resultado.insert(hoja, Prueba::LeerCsvConPython(csv));
    }
    return resultado;
}

QJsonArray HojasSegunOpenpyxl(const QString &libro)
{
    QProcess p;
    p.start(QStringLiteral(ORV_PYTHON_OPENPYXL), {QStringLiteral(ORV_XLSX_CELDAS), libro});
    if (!p.waitForFinished(120000) || p.exitCode() != 0)
        qWarning("openpyxl: %s", p.readAllStandardError().constData());
    return QJsonDocument::fromJson(p.readAllStandardOutput()).object().value(QStringLiteral("hojas")).toArray();
}

// The cell as the registry holds it against the cell as Calc wrote it.
void CompararCelda(const RegistroEvaluacion &r, int i, const QString &calc)
{
    const QVariant &v = r.campo(i);
    const QString donde = QStringLiteral("evaluación %1, %2").arg(r.numero()).arg(Campo(i).columna);
    if (v.isNull()) {
        QVERIFY2(calc.isEmpty(), qPrintable(donde + QStringLiteral(": ") + calc));
        return;
    }
    if (i == Pos::Fecha) {
        const QDateTime guardada = QDateTime::fromString(v.toString(), Qt::ISODate);
        if (guardada.isValid()) {
            QCOMPARE(QDateTime::fromString(calc, QStringLiteral("MM/dd/yyyy HH:mm:ss")), guardada);
            return;
        }
    }
    if (Campo(i).tipo == TipoCampo::Texto)
        QVERIFY2(calc == v.toString(), qPrintable(donde + QStringLiteral(": «%1» en vez de «%2»").arg(calc, v.toString())));
    else
        QVERIFY2(calc == QString::number(v.toDouble(), 'g', 15),
                 qPrintable(donde + QStringLiteral(": %1 en vez de %2").arg(calc, v.toString())));
}

void CompararHojaRegistros(const QList<QStringList> &calc, const QVector<RegistroEvaluacion> &registros)
{
    QCOMPARE(calc.size(), registros.size() + 1);
    QStringList etiquetas;
    for (const CampoRegistro &c : Campos())
        etiquetas << c.etiqueta;
    QCOMPARE(calc.first(), etiquetas);
    for (int f = 0; f < registros.size(); ++f) {
        QCOMPARE(calc[f + 1].size(), NumCampos);
        for (int i = 0; i < NumCampos; ++i) {
            CompararCelda(registros[f], i, calc[f + 1][i]);
            if (QTest::currentTestFailed())
                return;
        }
    }
}

}  // namespace

class PruebaExportarXlsx : public QObject {
    Q_OBJECT

private:
    QTemporaryDir carpeta_;
    QString archivoRegistro_;

private slots:
    void initTestCase()
    {
        Prueba::Preparar();
        QVERIFY(carpeta_.isValid());
        archivoRegistro_ = carpeta_.filePath(QStringLiteral("Registro de Evaluaciones.sqlite"));
        RegistroLocal registro(archivoRegistro_);
        Llenar(registro);
    }

    // Calc opens the workbook and gives back every value of every sheet.
    void calcLeeLosValoresDelRegistro()
    {
        RegistroLocal registro(archivoRegistro_);
        const QString libro = carpeta_.filePath(QStringLiteral("registro.xlsx"));
        const ResultadoXlsx r = ExportarXlsx(registro, FiltroRegistro(), libro);
        QCOMPARE(r.evaluaciones, qint64(5));
        QCOMPARE(r.edificaciones, qint64(3));

        const auto calc = HojasSegunCalc(libro, r.hojas);
        QCOMPARE(calc.size(), r.hojas.size());
        CompararHojaRegistros(calc.value(QStringLiteral("Evaluaciones")), Leer(registro, FiltroRegistro()));
        if (QTest::currentTestFailed())
            return;
        FiltroRegistro vigentes;
        vigentes.soloVigentes = true;
        const QVector<RegistroEvaluacion> edificaciones = Leer(registro, vigentes);
        QCOMPARE(edificaciones.size(), 3);
        CompararHojaRegistros(calc.value(QStringLiteral("Edificaciones")), edificaciones);
        if (QTest::currentTestFailed())
            return;

        // The summary: one sheet per table, its title first, then its columns and rows.
        const QVector<TablaResumen> tablas = TablasResumen(registro.resumen(FiltroRegistro()));
        QCOMPARE(r.hojas.size(), tablas.size() + 2);
        for (int t = 0; t < tablas.size(); ++t) {
            const QList<QStringList> hoja = calc.value(r.hojas[2 + t]);
            QVERIFY2(hoja.size() == tablas[t].filas.size() + 2, qPrintable(tablas[t].titulo));
            QCOMPARE(hoja[0].value(0), tablas[t].titulo);
            QCOMPARE(hoja[1], tablas[t].columnas);
            for (int f = 0; f < tablas[t].filas.size(); ++f)
                QCOMPARE(hoja[2 + f].mid(0, tablas[t].columnas.size()), tablas[t].filas[f]);
        }
    }

    // openpyxl: text is text, numbers are numbers, the date is a date shown
    // as dd/mm/aaaa hh:mm; the title row is bold, frozen and filtered; the
    // widths follow the content.
    void cadaCeldaTieneSuTipo()
    {
        RegistroLocal registro(archivoRegistro_);
        const QString libro = carpeta_.filePath(QStringLiteral("tipos.xlsx"));
        const ResultadoXlsx r = ExportarXlsx(registro, FiltroRegistro(), libro);
        const QJsonArray hojas = HojasSegunOpenpyxl(libro);
        QCOMPARE(hojas.size(), r.hojas.size());
        for (int h = 0; h < hojas.size(); ++h)
            QCOMPARE(hojas[h][QStringLiteral("nombre")].toString(), r.hojas[h]);

        const QVector<RegistroEvaluacion> registros = Leer(registro, FiltroRegistro());
        for (int h = 0; h < 2; ++h) {
            const QJsonObject hoja = hojas[h].toObject();
            QCOMPARE(hoja[QStringLiteral("fija")].toString(), QStringLiteral("A2"));
            QVERIFY2(hoja[QStringLiteral("filtro")].toString().startsWith(QStringLiteral("A1:")),
                     qPrintable(hoja[QStringLiteral("filtro")].toString()));
            const QJsonArray filas = hoja[QStringLiteral("filas")].toArray();
            for (const QJsonValue &c : filas[0].toArray())
                QVERIFY(c[QStringLiteral("negrita")].toBool());
        }
        const QJsonObject evaluaciones = hojas[0].toObject();
        QCOMPARE(evaluaciones[QStringLiteral("filtro")].toString(), QStringLiteral("A1:CO6"));
        const QJsonArray filas = evaluaciones[QStringLiteral("filas")].toArray();
        QCOMPARE(filas.size(), registros.size() + 1);
        for (int f = 0; f < registros.size(); ++f) {
            const QJsonArray celdas = filas[f + 1].toArray();
            for (int i = 0; i < NumCampos; ++i) {
                const QVariant &v = registros[f].campo(i);
                const QJsonObject celda = celdas[i].toObject();
                const QString tipo = celda[QStringLiteral("tipo")].toString();
                const QString donde = QStringLiteral("evaluación %1, %2: %3").arg(registros[f].numero()).arg(Campo(i).columna, tipo);
                QString esperado = v.isNull() ? QString()
                    : Campo(i).tipo == TipoCampo::Texto ? QStringLiteral("texto") : QStringLiteral("numero");
                if (i == Pos::Fecha && QDateTime::fromString(v.toString(), Qt::ISODate).isValid()) {
                    esperado = QStringLiteral("fecha");
                    QCOMPARE(celda[QStringLiteral("formato")].toString(), QStringLiteral("dd/mm/yyyy hh:mm"));
                    QCOMPARE(celda[QStringLiteral("valor")].toString(), v.toString());
                }
                QVERIFY2(tipo == esperado, qPrintable(donde));
            }
        }
        // Widths: the longest text (the hostile name) against a column of two-digit numbers.
        const QJsonArray anchos = evaluaciones[QStringLiteral("anchos")].toArray();
        QCOMPARE(anchos.size(), NumCampos);
        QVERIFY(anchos[Pos::NombreEdificacion].toDouble() >= Comillas.size());
        QVERIFY(anchos[Pos::NombreEdificacion].toDouble() <= Comillas.size() + 4);
        QVERIFY(anchos[Pos::Sector].toDouble() < 12);

        // The summary's counts are numbers, their names text; the commission "007" stays text.
        bool vista007 = false;
        for (int h = 2; h < hojas.size(); ++h) {
            const QJsonArray f = hojas[h][QStringLiteral("filas")].toArray();
            QCOMPARE(f[0][0][QStringLiteral("tipo")].toString(), QStringLiteral("texto"));
            for (int k = 2; k < f.size(); ++k) {
                const QJsonArray celdas = f[k].toArray();
                const QJsonValue ultima = celdas.last();
                QVERIFY2(ultima[QStringLiteral("tipo")].toString() == QStringLiteral("numero"),
                         qPrintable(hojas[h][QStringLiteral("nombre")].toString()));
                if (celdas[0][QStringLiteral("valor")].toString() == QStringLiteral("007")) {
                    QCOMPARE(celdas[0][QStringLiteral("tipo")].toString(), QStringLiteral("texto"));
                    vista007 = true;
                }
            }
        }
        QVERIFY(vista007);
    }

    // The filters of listar select the rows; --vigentes leaves one per building.
    void elFiltroEligeLasFilas()
    {
        RegistroLocal registro(archivoRegistro_);
        const QString libro = carpeta_.filePath(QStringLiteral("filtro.xlsx"));
        FiltroRegistro filtro;
        filtro.texto = QStringLiteral("roble");
        ResultadoXlsx r = ExportarXlsx(registro, filtro, libro);
        QCOMPARE(r.evaluaciones, qint64(1));
        QJsonArray hojas = HojasSegunOpenpyxl(libro);
        QJsonArray filas = hojas[0][QStringLiteral("filas")].toArray();
        QCOMPARE(filas.size(), 2);
        QCOMPARE(filas[1][Pos::NombreEdificacion][QStringLiteral("valor")].toString(), Comillas);

        FiltroRegistro vigentes;
        vigentes.soloVigentes = true;
        r = ExportarXlsx(registro, vigentes, libro);
        QCOMPARE(r.evaluaciones, qint64(3));
        QCOMPARE(r.edificaciones, qint64(3));
        hojas = HojasSegunOpenpyxl(libro);
        filas = hojas[0][QStringLiteral("filas")].toArray();
        QCOMPARE(filas.size(), 4);
        // The building evaluated three times shows its newest evaluation.
        QCOMPARE(filas[1][Pos::Fecha][QStringLiteral("valor")].toString(), QStringLiteral("2026-12-08T08:05:00"));
    }

    // Over the limit, or with a text no cell holds: a Spanish message naming
    // the file, no file, an earlier file as it was, no work file left behind.
    void unaExportacionFallidaNoDejaArchivo()
    {
        QTemporaryDir destino;
        const QString libro = destino.filePath(QStringLiteral("anterior.xlsx"));
        {
            QFile f(libro);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write("lo que había");
        }
        RegistroLocal registro(archivoRegistro_);
        OpcionesXlsx opciones;
        opciones.maxFilas = 4;
        try {
            ExportarXlsx(registro, FiltroRegistro(), libro, opciones);
            QFAIL("se exportaron 5 evaluaciones con un límite de 4");
        } catch (const ErrorDatos &e) {
            QVERIFY2(e.mensaje().contains(QStringLiteral("como máximo 4 ")), qPrintable(e.mensaje()));
            QVERIFY2(e.mensaje().contains(QStringLiteral("tiene 5 evaluaciones")), qPrintable(e.mensaje()));
            QVERIFY2(e.mensaje().contains(QStringLiteral("anterior.xlsx")), qPrintable(e.mensaje()));
        }
        opciones.maxFilas = 5;  // exactly the limit is written
        QCOMPARE(ExportarXlsx(registro, FiltroRegistro(), destino.filePath(QStringLiteral("justo.xlsx")), opciones)
                     .evaluaciones,
                 qint64(5));
        QVERIFY(QFile::remove(destino.filePath(QStringLiteral("justo.xlsx"))));

        // What users are told names the sheet's real limit.
        const QString mensaje = MensajeLimiteXlsx(1200000, OpcionesXlsx().maxFilas, libro);
        QVERIFY2(mensaje.contains(QStringLiteral("1 048 575")) && mensaje.contains(QStringLiteral("1 200 000")),
                 qPrintable(mensaje));

        // A text longer than a cell takes fails half-way through the sheet.
        const QString otroRegistro = destino.filePath(QStringLiteral("largo.sqlite"));
        {
            RegistroLocal largo(otroRegistro);
            RegistroEvaluacion r = Registro(QStringLiteral("2026-12-06T10:00:00"));
            r.establecerCampo(Pos::NombreEdificacion, QString(40000, QLatin1Char('x')));
            largo.agregar(r);
            try {
                ExportarXlsx(largo, FiltroRegistro(), libro);
                QFAIL("se escribió una celda de 40 000 caracteres");
            } catch (const ErrorDatos &e) {
                QVERIFY2(e.mensaje().contains(QStringLiteral("32 767")) && e.mensaje().contains(QStringLiteral("anterior.xlsx")),
                         qPrintable(e.mensaje()));
            }
        }
        // A folder that does not exist.
        try {
            ExportarXlsx(registro, FiltroRegistro(), destino.filePath(QStringLiteral("no/existe.xlsx")));
            QFAIL("se escribió en una carpeta que no existe");
        } catch (const ErrorDatos &e) {
            QVERIFY2(e.mensaje().contains(QStringLiteral("existe.xlsx")), qPrintable(e.mensaje()));
        }

        QFile f(libro);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), QByteArray("lo que había"));
        QCOMPARE(QDir(destino.path()).entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot),
                 QStringList({QStringLiteral("anterior.xlsx"), QStringLiteral("largo.sqlite")}));
    }

    // Sheet names: at most 31 characters, none of []:*?/\, no apostrophe at
    // either end, unique without regard to case, the same every time.
    void nombresDeHojaValidosYUnicos()
    {
        RegistroLocal registro(archivoRegistro_);
        QStringList titulos{QStringLiteral("Evaluaciones"), QStringLiteral("Edificaciones")};
        for (const TablaResumen &t : TablasResumen(registro.resumen(FiltroRegistro())))
            titulos << t.titulo;
        titulos << QStringLiteral("Daños [zona 1/2]: ¿graves?*") << QStringLiteral("'Citado'")
                << QStringLiteral("EVALUACIONES") << QStringLiteral("Evaluaciones y reinspecciones por día")
                << QStringLiteral("🏚️🏚️🏚️🏚️🏚️🏚️🏚️🏚️🏚️🏚️🏚️🏚️🏚️🏚️🏚️🏚️🏚️") << QStringLiteral("::::");
        const QStringList nombres = NombresHojasXlsx(titulos);
        QCOMPARE(nombres.size(), titulos.size());
        QCOMPARE(NombresHojasXlsx(titulos), nombres);
        QSet<QString> vistos;
        for (const QString &n : nombres) {
            QVERIFY2(!n.trimmed().isEmpty() && n.size() <= MaxNombreHojaXlsx, qPrintable(n));
            // No character cut in half: a lone surrogate would not come back from UCS-4.
            const QList<uint> puntos = n.toUcs4();
            QVERIFY2(QString::fromUcs4(reinterpret_cast<const char32_t *>(puntos.constData()), puntos.size()) == n,
                     qPrintable(n));
            for (QChar c : QStringLiteral("[]:*?/\\"))
                QVERIFY2(!n.contains(c), qPrintable(n));
            QVERIFY2(!n.startsWith(QLatin1Char('\'')) && !n.endsWith(QLatin1Char('\'')), qPrintable(n));
            QVERIFY2(!vistos.contains(n.toCaseFolded()), qPrintable(n));
            vistos.insert(n.toCaseFolded());
        }
        // Short titles stay as they are; long ones end at a whole word.
        QCOMPARE(nombres[0], QStringLiteral("Evaluaciones"));
        QCOMPARE(nombres.indexOf(QStringLiteral("Por comisión y día")) > 0, true);
        QCOMPARE(nombres[titulos.indexOf(QStringLiteral("EVALUACIONES"))], QStringLiteral("EVALUACIONES (2)"));
        const QString largo = nombres[titulos.indexOf(QStringLiteral("Evaluaciones y reinspecciones por día"))];
        QVERIFY2(QStringLiteral("Evaluaciones y reinspecciones por día").startsWith(largo + QLatin1Char(' ')),
                 qPrintable(largo));
    }
};

QTEST_GUILESS_MAIN(PruebaExportarXlsx)
#include "xlsx_export_test.moc"
