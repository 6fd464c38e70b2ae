// orv-registro as a user runs it: the built program in a process of its own,
// on registry files made here. Errors in Spanish, the listing and
// its filters, the CSV read back by a parser of this test, and "importar"
// against the same evaluation typed through the forms.

#include "programs/orv-registro/cli_runner.h"
#include "gui/saving/form_driver.h"
#include "core/registry/sample_evaluation.h"
#include "support/gui_test_support.h"

#include "gui/common/message_box.h"
#include "core/data/data_paths.h"
#include "core/evaluation/evaluate_check.h"
#include "gui/evaluation/evaluation_form.h"
#include "gui/rating/rating_helpers.h"
#include "core/exchange/csv_export.h"
#include "core/registry/local_registry.h"
#include "core/registry/record_builder.h"

#include <QBuffer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

using namespace RegistroEvaluaciones;
using Calificacion::Clic;
using Mensaje::Respuesta;

using namespace OrdenPrueba;

namespace {

// Types the building folder and rates every element on the evaluation form.
void Evaluar(Form1 &f1)
{
    QVERIFY(Calificacion::Activar(&f1));
    Clic(&f1, QStringLiteral("OptAnno(%1)").arg(Anno));
    Conducir::ElegirUso(&f1, QStringLiteral("cboTipoEstructura"), QStringLiteral("Pórticos en concreto reforzado"));
    for (auto it = Edificacion.begin(); it != Edificacion.end(); ++it) {
        if (it.key().startsWith(QLatin1String("txt")))
            Conducir::Escribir(&f1, it.key(), it.value().toString());
        else if (it.key().startsWith(QLatin1String("opt")))
            Clic(&f1, QStringLiteral("%1(%2)").arg(it.key()).arg(it.value().toInt()));
        else
            Conducir::ElegirUso(&f1, it.key(), it.value().toString());
    }
    for (const Nota &c : Calificaciones) {
        if (c.otro) {
            Mensaje::encolarRespuesta(Respuesta::Aceptar);
            Clic(&f1, QStringLiteral("btnOtrosArquitectonicos"));
        }
        if (c.carpeta)
            Clic(&f1, QString::fromLatin1(c.carpeta));
        Calificacion::CalificarConDialogo(&f1, QString::fromLatin1(c.boton), c.barras);
    }
}

}  // namespace

class PruebaOrdenRegistro : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { Prueba::PrepararFormularios(); }
    void init() { Mensaje::limpiar(); }

    // Each kind of failure of a command line: a Spanish message on standard error,
    // the exit code, nothing on standard output, no output file, and an
    // earlier file of that name as it was.
    void errores_data()
    {
        QTest::addColumn<QStringList>("argumentos");
        QTest::addColumn<int>("codigo");
        QTest::addColumn<QString>("mensaje");
        const QString salida = QStringLiteral("SALIDA");
        QTest::newRow("orden desconocida") << QStringList{"borrar"} << 2 << "la orden \"borrar\" no existe";
        QTest::newRow("formato") << QStringList{"exportar", "--formato", "xls", "-o", salida} << 2
                                 << "el formato \"xls\" no existe";
        QTest::newRow("sin registro") << QStringList{"--registro", "NOHAY", "exportar", "-o", salida} << 1
                                      << "no existe el registro de evaluaciones";
        QTest::newRow("carpeta inexistente") << QStringList{"exportar", "-o", "NOHAY/x.csv"} << 1
                                             << "no se puede crear el archivo";
        QTest::newRow("xlsx sin archivo") << QStringList{"exportar", "--formato", "xlsx"} << 2
                                          << "necesita el archivo a escribir: -o ARCHIVO.xlsx";
        QTest::newRow("xlsx en carpeta inexistente") << QStringList{"exportar", "--formato", "xlsx", "-o", "NOHAY/x.xlsx"}
                                                     << 1 << "No se pudo escribir la hoja de cálculo";
        QTest::newRow("número desconocido") << QStringList{"aviso", "1", "99", "-o", salida} << 1
                                            << "no hay ninguna evaluación con el número 99";
        QTest::newRow("importar archivo inexistente") << QStringList{"importar", "NOHAY.jsonl"} << 1
                                                      << "no se puede leer el archivo";
        QTest::newRow("datos inexistentes") << QStringList{"--datos", "NOHAY", "importar", "-"} << 1
                                            << "la carpeta de datos";
    }
    void errores()
    {
        QFETCH(QStringList, argumentos);
        QFETCH(int, codigo);
        QFETCH(QString, mensaje);
        QTemporaryDir carpeta;
        const QString registro = HacerRegistro(carpeta, {Registro({})});
        const QString salida = carpeta.filePath(QStringLiteral("salida.pdf"));
        QFile anterior(carpeta.filePath(QStringLiteral("anterior.csv")));
        QVERIFY(anterior.open(QIODevice::WriteOnly) && anterior.write("lo que había\n") > 0);
        anterior.close();
        for (QString &a : argumentos) {
            if (a == QLatin1String("SALIDA"))
                a = argumentos.contains(QStringLiteral("exportar")) ? anterior.fileName() : salida;
            else if (a.startsWith(QLatin1String("NOHAY")))
                a = carpeta.filePath(a);
        }
        if (!argumentos.contains(QStringLiteral("--registro")))
            argumentos.prepend(registro), argumentos.prepend(QStringLiteral("--registro"));

        const Resultado r = Correr(argumentos, "{}\n");
        QCOMPARE(r.codigo, codigo);
        QVERIFY2(r.error.startsWith(QStringLiteral("orv-registro: ")) && r.error.contains(mensaje), qPrintable(r.error));
        QVERIFY2(r.salida.isEmpty(), r.salida.constData());
        QVERIFY(!QFile::exists(salida));
        QVERIFY(anterior.open(QIODevice::ReadOnly));
        QCOMPARE(anterior.readAll(), QByteArray("lo que había\n"));
        // Only the registry and the earlier file: no temporary file left.
        QCOMPARE(QDir(carpeta.path()).entryList(QDir::Files).size(), 2);
    }

    void listarFiltra()
    {
        QTemporaryDir carpeta;
        const QString registro = HacerRegistro(
            carpeta, {Registro({"Casa Roja", "San Martín", "Ana Ruiz", "2026-12-01T08:00:00", "Habitable"}),
                      Registro({"Bodega Norte", "Centro", "Luis Mora", "2026-12-03T23:59:59", "No Habitable"}),
                      Registro({"Colegio", "Centro", "Ana Ruiz", "2026-12-04T00:00:00", "Uso Restringido"}),
                      Registro({"Torre\tSur\n2", "Las Brisas", "Eva Paz", "2026-12-06T12:00:00", "No Habitable"})});
        const QStringList base = {QStringLiteral("--registro"), registro, QStringLiteral("listar")};
        const struct {
            QStringList filtros;
            QStringList numeros;
        } casos[] = {
            {{}, {"4", "3", "2", "1"}},  // newest first
            {{"--habitabilidad", "no habitable"}, {"4", "2"}},
            {{"--desde", "2026-12-03", "--hasta", "2026-12-04"}, {"3", "2"}},
            {{"--hasta", "2026-12-03"}, {"2", "1"}},
            {{"--buscar", "centro", "--habitabilidad", "Uso Restringido"}, {"3"}},
            // One plot evaluated four times: its current posting only.
            {{"--vigentes"}, {"4"}},
            {{"--vigentes", "--habitabilidad", "habitable"}, {}},
        };
        for (const auto &c : casos) {
            const Resultado r = Correr(base + c.filtros + QStringList{"--tsv"});
            QCOMPARE(r.codigo, 0);
            QCOMPARE(Numeros(r.salida), c.numeros);
        }
        // Every column of the TSV, a tab or line break of a text made a blank.
        const Resultado tsv = Correr(base + QStringList{"--tsv", "--buscar", "brisas"});
        const QStringList lineas = QString::fromUtf8(tsv.salida).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        QCOMPARE(lineas.size(), 2);
        QCOMPARE(lineas.at(1).split(QLatin1Char('\t')),
                 (QStringList{"4", "2026-12-06 12:00", "Calle 45B 12-30", "Las Brisas", "Torre Sur 2", "Eva Paz",
                              "C-17", "No Habitable"}));
        // The readable table: one line per evaluation and the count.
        const Resultado tabla = Correr(base + QStringList{"--habitabilidad", "No Habitable"});
        const QStringList filas = QString::fromUtf8(tabla.salida).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        QCOMPARE(filas.size(), 4);
        QVERIFY2(filas.at(0).startsWith(QStringLiteral("Número")) && filas.at(1).startsWith(QStringLiteral("4 "))
                     && filas.at(2).contains(QStringLiteral("Bodega Norte")), qPrintable(filas.join(QLatin1Char('\n'))));
        QCOMPARE(filas.at(3), QStringLiteral("2 evaluaciones"));
    }

    // Stored text with escape sequences (a cleared screen, a window title,
    // a C1 introducer) reaches the terminal with no control character: each
    // shows as U+FFFD, in the table, in the TSV (whose tabs stay the only
    // separators) and in the text summary.
    void listarSinControles()
    {
        const QString nombre = QStringLiteral("Casa\x1b[2J\x1b]0;hola\x07 Azul\x7f");
        const QString barrio = QStringLiteral("Barrio\u009b31mRojo\x01");
        QTemporaryDir carpeta;
        const QString registro = HacerRegistro(carpeta, {Registro({nombre, barrio, "Ana\tRuiz", {}, {}})});
        auto limpia = [](const QByteArray &salida, bool tabuladores) {
            for (const char c : salida)
                if ((static_cast<unsigned char>(c) < 0x20 && c != '\n' && !(tabuladores && c == '\t')) || c == 0x7f)
                    return false;
            for (const QChar c : QString::fromUtf8(salida))
                if (c.unicode() >= 0x80 && c.unicode() <= 0x9f)
                    return false;
            return true;
        };
        const QString reemplazo(QChar(0xFFFD));
        const Resultado tabla = Correr({"--registro", registro, "listar"});
        QCOMPARE(tabla.codigo, 0);
        QVERIFY2(limpia(tabla.salida, false), tabla.salida.toPercentEncoding(" \n").constData());
        QVERIFY(QString::fromUtf8(tabla.salida).contains(QStringLiteral("Casa") + reemplazo + QStringLiteral("[2J")));

        const Resultado tsv = Correr({"--registro", registro, "listar", "--tsv"});
        QCOMPARE(tsv.codigo, 0);
        QVERIFY2(limpia(tsv.salida, true), tsv.salida.toPercentEncoding(" \n").constData());
        const QStringList lineas = QString::fromUtf8(tsv.salida).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        QCOMPARE(lineas.size(), 2);
        const QStringList columnas = lineas.at(1).split(QLatin1Char('\t'));
        QCOMPARE(columnas.size(), 8);
        QCOMPARE(columnas.at(4), QStringLiteral("Casa%1[2J%1]0;hola%1 Azul%1").arg(reemplazo));
        QCOMPARE(columnas.at(3), QStringLiteral("Barrio") + reemplazo + QStringLiteral("31mRojo") + reemplazo);
        QCOMPARE(columnas.at(5), QStringLiteral("Ana Ruiz"));

        const Resultado resumen = Correr({"--registro", registro, "resumen"});
        QCOMPARE(resumen.codigo, 0);
        QVERIFY2(limpia(resumen.salida, false), resumen.salida.toPercentEncoding(" \n").constData());
        QVERIFY(QString::fromUtf8(resumen.salida).contains(QStringLiteral("Barrio") + reemplazo + QStringLiteral("31mRojo") + reemplazo));
    }

    void exportarSeLeeIgual()
    {
        const QStringList hostiles = {
            QStringLiteral("Casa \"La Esperanza\""), QStringLiteral("Bloque A; apto 3, piso 2"),
            QStringLiteral("Primera línea\nsegunda\r\ntercera"), QStringLiteral("Edificio 🏠 del río 🌊"),
            QStringLiteral("  con blancos alrededor  "), QStringLiteral("\""), QStringLiteral(""),
            QStringLiteral("=SUMA(A1)"), QStringLiteral("+1+2"), QStringLiteral("-2+3"), QStringLiteral("@SUMA(A1)"),
            QStringLiteral("\tTAB"), QStringLiteral("\r=1"), QStringLiteral("-12.5"), QStringLiteral("--"),
            QStringLiteral("-")};
        // What a spreadsheet would run gets an apostrophe; a number and the
        // form's placeholders stay as they are.
        const QHash<QString, QString> enHoja = {
            {QStringLiteral("=SUMA(A1)"), QStringLiteral("'=SUMA(A1)")}, {QStringLiteral("+1+2"), QStringLiteral("'+1+2")},
            {QStringLiteral("-2+3"), QStringLiteral("'-2+3")},           {QStringLiteral("@SUMA(A1)"), QStringLiteral("'@SUMA(A1)")},
            {QStringLiteral("\tTAB"), QStringLiteral("'\tTAB")},         {QStringLiteral("\r=1"), QStringLiteral("'\r=1")}};
        QVector<RegistroEvaluacion> registros;
        for (int i = 0; i < hostiles.size(); ++i) {
            RegistroEvaluacion r = Registro({hostiles.at(i), hostiles.at((i + 1) % hostiles.size()),
                                             hostiles.at((i + 2) % hostiles.size()), {}, {}});
            if (i % 2) {
                r.establecerCampo(Pos::Latitud, -12.123456789 - i);
                r.establecerCampo(Pos::Longitud, -97.000001 - i);
            }
            r.establecerCampo(Pos::IndiceEstructural, 1.0 / (i + 3));
            registros << r;
        }
        QTemporaryDir carpeta;
        const QString registro = HacerRegistro(carpeta, registros);
        const QString archivo = carpeta.filePath(QStringLiteral("registro.csv"));
        const Resultado r = Correr({"--registro", registro, "exportar", "--formato", "csv", "-o", archivo});
        QCOMPARE(r.codigo, 0);
        // All of one plot, at one date and time: the current posting is the
        // last saved, the only row with --vigentes.
        const QString vigentes = carpeta.filePath(QStringLiteral("vigentes.csv"));
        QCOMPARE(Correr({"--registro", registro, "exportar", "--vigentes", "-o", vigentes}).codigo, 0);
        const QList<QStringList> soloVigentes = Prueba::LeerCsvConPython(vigentes);
        QCOMPARE(soloVigentes.size(), 2);
        QCOMPARE(soloVigentes.at(1).value(0), QString::number(registros.size()));
        QFile f(archivo);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray bytes = f.readAll();
        // The same bytes on standard output, and the same as the export
        // that reads record by record (the registry window's).
        QCOMPARE(Correr({"--registro", registro, "exportar"}).salida, bytes);
        QBuffer porRegistros;
        porRegistros.open(QIODevice::WriteOnly);
        RegistroLocal local(registro);
        ExportarCsv(local, FiltroRegistro{}, porRegistros);
        QCOMPARE(porRegistros.data(), bytes);

        const QList<QStringList> filas = Prueba::LeerCsvConPython(archivo);
        QCOMPARE(filas.size(), registros.size() + 1);
        QCOMPARE(filas.at(0).size(), NumCampos);
        for (int j = 0; j < NumCampos; ++j)
            QCOMPARE(filas.at(0).at(j), Campo(j).columna);
        for (int i = 0; i < registros.size(); ++i) {
            const QStringList &fila = filas.at(i + 1);
            QCOMPARE(fila.size(), NumCampos);
            QCOMPARE(fila.at(Pos::Numero), QString::number(i + 1));
            for (int j = 1; j < NumCampos; ++j) {
                const QVariant &v = registros.at(i).campo(j);
                const QString dato = QStringLiteral("registro %1, campo %2: \"%3\"").arg(i + 1).arg(j).arg(fila.at(j));
                if (v.isNull()) {
                    QVERIFY2(fila.at(j).isEmpty(), qPrintable(dato));
                } else if (Campo(j).tipo == TipoCampo::Real) {
                    bool ok = false;
                    QCOMPARE(fila.at(j).toDouble(&ok), v.toDouble());  // the C locale: a decimal point
                    QVERIFY2(ok && !fila.at(j).contains(QLatin1Char(',')), qPrintable(dato));
                } else {
                    QVERIFY2(fila.at(j) == enHoja.value(v.toString(), v.toString()), qPrintable(dato));
                }
            }
        }

        // The filters of listar choose the rows.
        QCOMPARE(Correr({"--registro", registro, "exportar", "--buscar", "🏠", "-o", archivo}).codigo, 0);
        QCOMPARE(Prueba::LeerCsvConPython(archivo).size(), 4);  // the header and the three records that name it

        // For people: a workbook (its cells are checked by the export's own test).
        const QString libro = carpeta.filePath(QStringLiteral("registro.xlsx"));
        const Resultado hoja = Correr({"--registro", registro, "exportar", "--formato", "xlsx", "--vigentes", "-o", libro});
        QCOMPARE(hoja.codigo, 0);
        QVERIFY2(hoja.salida.isEmpty() && hoja.error.isEmpty(), qPrintable(hoja.error));
        QFile xlsx(libro);
        QVERIFY(xlsx.open(QIODevice::ReadOnly));
        QCOMPARE(xlsx.read(4), QByteArray("PK\x03\x04"));  // a zip file, as every workbook is

        // For a GIS: the odd ones with coordinates, the others named on standard error.
        const QString geo = carpeta.filePath(QStringLiteral("registro.geojson"));
        const Resultado sig = Correr({"--registro", registro, "exportar", "--formato", "geojson", "-o", geo});
        QCOMPARE(sig.codigo, 0);
        QVERIFY2(sig.error.startsWith(QStringLiteral("orv-registro: aviso: 8 evaluaciones no tienen "
                                                     "coordenadas (Latitud y Longitud) y no se exportaron: 1, 3, 5, 7, "
                                                     "9, 11, 13, 15.")),
                 qPrintable(sig.error));
        QVERIFY(QFile::exists(geo));

        // The event summary, as text and as CSV.
        const Resultado texto = Correr({"--registro", registro, "resumen"});
        QCOMPARE(texto.codigo, 0);
        // The table of habitabilities, its title then aligned rows, ends with
        // the total (after the tables of buildings).
        QString primera;
        for (const QString &tabla : QString::fromUtf8(texto.salida).split(QStringLiteral("\n\n")))
            if (tabla.startsWith(QStringLiteral("Por habitabilidad\n")))
                primera = tabla;
        QVERIFY2(primera.startsWith(QStringLiteral("Por habitabilidad\n  Habitabilidad")) &&
                     primera.contains(QRegularExpression(QStringLiteral("\n  Total +%1$").arg(registros.size()))),
                 texto.salida.constData());
        QCOMPARE(Correr({"--registro", registro, "resumen", "--formato", "csv", "-o", archivo}).codigo, 0);
        const QList<QStringList> tablas = Prueba::LeerCsvConPython(archivo);
        QCOMPARE(tablas.value(0), (QStringList{QStringLiteral("Habitabilidad vigente"), QStringLiteral("Edificaciones")}));
        QVERIFY(tablas.contains(QStringList{QStringLiteral("Habitabilidad"), QStringLiteral("Evaluaciones")}));
        QVERIFY(tablas.contains(QStringList{QStringLiteral("Total"), QStringLiteral("%1").arg(registros.size())}));
        // A barrio a spreadsheet would run, in the summary too.
        bool formula = false;
        for (const QStringList &fila : tablas) {
            QVERIFY2(!fila.value(0).startsWith(QLatin1Char('=')) && !fila.value(0).startsWith(QLatin1Char('@')),
                     qPrintable(fila.join(QLatin1Char(','))));
            formula = formula || fila.value(0) == QStringLiteral("'=SUMA(A1)");
        }
        QVERIFY(formula);
    }

    // The same evaluation typed through the forms and imported: the same
    // record, field by field.
    void importarComoLosFormularios()
    {
        QTemporaryDir carpeta;
        IdentificacionEvaluacion id = Ejemplo::Identificacion();
        id.txtTelefono.clear();  // "Información pendiente" after the question
        id.txtLatitud = QStringLiteral("-12.3741");
        id.txtLongitud = QStringLiteral("-97.4526");
        id.DTEvaluacion = QDateTime(QDate(2026, 11, 30), QTime(9, 5, 7));
        id.txtUnidades = QStringLiteral("8");

        // Through the forms.
        const QString porFormularios = carpeta.filePath(QStringLiteral("formularios.sqlite"));
        RutasDatos::establecerArchivoRegistro(porFormularios);
        EstadoEvaluacion estado;
        Form1 f1(estado);
        Evaluar(f1);
        bool guardado = false;
        Mensaje::encolarRespuesta(Respuesta::Si);
        Prueba::AlAbrirseModal([&](QWidget *f7) {
            Prueba::AlAbrirseModal([&](QWidget *f23) {
                Conducir::Llenar(f23, id);
                Conducir::Escribir(f23, QStringLiteral("txtLatitud"), id.txtLatitud);
                Conducir::Escribir(f23, QStringLiteral("txtLongitud"), id.txtLongitud);
                for (int i = 0; i < 3; ++i)  // incomplete contact, confirmation, saved
                    Mensaje::encolarRespuesta(Respuesta::Aceptar);
                Conducir::Guardar(f23);
                guardado = true;
            });
            Clic(f7, QStringLiteral("btnAceptar(1)"));
        });
        Clic(&f1, QStringLiteral("btnMenu(0)"));
        QVERIFY(guardado);
        QCOMPARE(Mensaje::textosMostrados().last(), TextosRegistro::Guardada);

        // Imported.
        const QString importado = carpeta.filePath(QStringLiteral("importado.sqlite"));
        const Resultado r = Correr({"--registro", importado, "importar", "-"}, Jsonl({LineaImportar(id)}));
        QCOMPARE(r.codigo, 0);
        QCOMPARE(r.salida, QByteArray("{\"linea\":1,\"numero\":1}\n"));

        const QList<QVariantList> a = Ejemplo::LeerRegistro(porFormularios);
        const QList<QVariantList> b = Ejemplo::LeerRegistro(importado);
        QCOMPARE(a.size(), 1);
        QCOMPARE(b.size(), 1);
        QCOMPARE(a.at(0).size(), NumCampos);
        for (int j = 0; j < NumCampos; ++j)
            QVERIFY2(a.at(0).at(j) == b.at(0).at(j),
                     qPrintable(QStringLiteral("%1: %2 / %3").arg(Campo(j).columna, a.at(0).at(j).toString(),
                                                                  b.at(0).at(j).toString())));
        // What the forms wrote, so the comparison is not of two empty records.
        QCOMPARE(a.at(0).at(Pos::Telefono).toString(), TextosRegistro::InformacionPendiente);
        QCOMPARE(a.at(0).at(Pos::Fecha).toString(), QStringLiteral("2026-11-30T09:05:07"));
        QCOMPARE(a.at(0).at(Pos::Latitud).toDouble(), -12.3741);
        const QString unidades = QStringLiteral("unidades_vivienda");
        QCOMPARE(Ejemplo::LeerRegistro(porFormularios, unidades), (QList<QVariantList>{{8}}));
        QCOMPARE(Ejemplo::LeerRegistro(importado, unidades), (QList<QVariantList>{{8}}));
    }

    // Several lines: answers in input order, numbers in order, refused
    // lines in between; what the line itself gets wrong is told too, and
    // what "Evaluar" refuses on the form.
    void importarVariasLineas()
    {
        const QJsonObject buena = LineaImportar(Ejemplo::Identificacion());
        QJsonObject clave = buena, lista = buena, fecha = buena, pisos = buena;
        clave.insert(QStringLiteral("edificaion"), QJsonObject{});
        QJsonObject ed = Edificacion;
        ed.insert(QStringLiteral("cboCubierta"), QStringLiteral("Paja"));
        lista.insert(QStringLiteral("edificacion"), ed);
        ed = Edificacion;
        ed.insert(QStringLiteral("txtPisosTotal"), QStringLiteral("7"));  // four above one basement
        pisos.insert(QStringLiteral("edificacion"), ed);
        QJsonObject ident = fecha.value(QStringLiteral("identificacion")).toObject();
        ident.insert(QStringLiteral("DTEvaluacion"), QStringLiteral("ayer"));
        fecha.insert(QStringLiteral("identificacion"), ident);
        const QJsonObject pocas = LineaImportar(Ejemplo::Identificacion(), Calificaciones.mid(0, 2));
        QByteArray entrada = Jsonl({buena, clave}) + "\n{no\n" + Jsonl({buena, lista, fecha, pisos, pocas, buena});

        QTemporaryDir carpeta;
        const QString registro = HacerRegistro(carpeta, {Registro({}), Registro({})});
        const Resultado r = Correr({"--registro", registro, "importar", "-"}, entrada);
        QCOMPARE(r.codigo, 1);
        const QList<QByteArray> lineas = r.salida.split('\n');
        auto errores = [&](int i) { return QJsonDocument::fromJson(lineas.at(i)).object().value("errores").toArray(); };
        QCOMPARE(lineas.size(), 10);  // nine answers (the blank line has none) and the end
        QCOMPARE(lineas.at(0), QByteArray("{\"linea\":1,\"numero\":3}"));
        QVERIFY(lineas.at(1).startsWith("{\"linea\":2,\"errores\":[\"Clave desconocida \\\"edificaion\\\""));
        QVERIFY(lineas.at(2).startsWith("{\"linea\":4,\"errores\":[\"La línea no es JSON válido"));
        // The same line again: the same evaluation, stored once.
        QCOMPARE(lineas.at(3), QByteArray("{\"linea\":5,\"numero\":3}"));
        QVERIFY(lineas.at(4).startsWith("{\"linea\":6,\"errores\":[\"\\\"cboCubierta\\\" de \\\"edificacion\\\" debe ser "
                                        "uno de los textos de su lista"));
        QVERIFY(lineas.at(5).startsWith("{\"linea\":7,\"errores\":[\"\\\"DTEvaluacion\\\""));
        QVERIFY(lineas.at(6).startsWith("{\"linea\":8,"));
        QCOMPARE(errores(6).last().toString(), TextosEvaluar::Incompleta);
        QVERIFY(lineas.at(7).startsWith("{\"linea\":9,"));
        QCOMPARE(errores(7), QJsonArray{TextosEvaluar::FaltanCalificaciones});
        QCOMPARE(lineas.at(8), QByteArray("{\"linea\":10,\"numero\":3}"));
        QVERIFY(r.error.contains(QStringLiteral("3 evaluaciones guardadas, 6 líneas rechazadas")));
        QCOMPARE(Ejemplo::LeerRegistro(registro).size(), 3);
    }
};

QTEST_MAIN(PruebaOrdenRegistro)
#include "registry_cli_test.moc"
