// The batch evaluator: one line at a time, the executable, and random input.

#include "core/exchange/batch_evaluator.h"
#include "core/evaluation/evaluate_check.h"
#include "core/engine/fixture.h"
#include "support/test_support.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

namespace {

// Every text of the test's comment database names its code, with a quote, a
// tab and a line break to escape.
QString Comentario(const QString &codigo) { return QStringLiteral("«%1» dice \"ñ\"\ty\nsigue").arg(codigo); }

// A data folder: the shipped weights and a comment database of a few codes.
QString CrearCarpetaDatos(const QTemporaryDir &dir)
{
    const QString carpeta = dir.filePath(QStringLiteral("datos"));
    QDir().mkpath(carpeta);
    QFile::copy(QDir(Prueba::CarpetaDatos()).filePath(QStringLiteral("ORV.sqlite")), carpeta + QStringLiteral("/ORV.sqlite"));
    const QList<QPair<const char *, QStringList>> tablas = {
        {"Daño Edificio", {"DE 00", "DE 30", "DEOA 01"}}, {"Estado Global", {"EE 00", "EE 30"}},
        {"Habitabilidad", {"H 00", "H 30"}},              {"Reparabilidad", {"R 00", "R 20"}},
        {"Ref Anno", {"RANNO0", "RANNO2"}},               {"Medidas de Seguridad", {"MS 000", "MS 300"}}};
    for (const auto &[tabla, codigos] : tablas) {
        QList<QVariantList> filas;
        for (const QString &c : codigos)
            filas << QVariantList{c, Comentario(c)};
        Fixture::CrearTabla(carpeta + QStringLiteral("/Comentarios.sqlite"), QString::fromUtf8(tabla), filas);
    }
    return carpeta;
}

// Concrete frames, everything relevant, every variable rated `nivel`.
QJsonObject Porticos(int nivel)
{
    QJsonArray variables;
    for (int c : {0, 1, 2, 13, 14, 15, 16, 17, 18, 19, 20, 21, 22})
        variables.append(QJsonObject{{"codigo", c}, {"nivel", nivel}});
    return QJsonObject{{"id", "A-1"}, {"sistema", 0}, {"variables", variables}};
}

QByteArray Linea(const QJsonObject &o) { return QJsonDocument(o).toJson(QJsonDocument::Compact); }

// What is wrong with an output line, empty when it is an object with "id" and
// either the results or "error".
QString Defecto(const QByteArray &linea)
{
    QJsonParseError error{};
    const QJsonObject o = QJsonDocument::fromJson(linea, &error).object();
    const QStringList resultados = {"estructural", "no_estructural", "suelo", "preexistente", "edificio",
                                    "estado_global", "habitabilidad", "reparabilidad", "codigos", "comentarios"};
    const bool conError = !o.value(QLatin1String("error")).toString().isEmpty();
    const bool conResultados = std::all_of(resultados.begin(), resultados.end(), [&](const QString &k) { return o.value(k).isObject(); });
    if (error.error == QJsonParseError::NoError && o.contains(QLatin1String("id")) && conError != conResultados)
        return {};
    return QStringLiteral("ni resultados ni error: ") + QString::fromUtf8(linea.left(200));
}

}  // namespace

class PruebaLotes : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;
    QString carpeta_;
    DatosLotes datos_;

    QJsonObject Procesar(const QByteArray &linea, bool evaluada)
    {
        QByteArray salida;
        const bool ok = ProcesarLinea(linea, datos_, salida);
        [&] { QCOMPARE(ok, evaluada); }();
        [&] { QVERIFY2(Defecto(salida).isEmpty(), qPrintable(Defecto(salida))); }();
        return QJsonDocument::fromJson(salida).object();
    }

    int Ejecutar(const QStringList &argumentos, const QByteArray &entrada, QByteArray *salida = nullptr,
                 QByteArray *errores = nullptr)
    {
        QProcess p;
        p.start(QStringLiteral(ORV_EVALUAR), argumentos);
        p.write(entrada);
        p.closeWriteChannel();
        [&] { QVERIFY(p.waitForFinished(60000)); }();
        [&] { QCOMPARE(p.exitStatus(), QProcess::NormalExit); }();
        if (salida)
            *salida = p.readAllStandardOutput();
        if (errores)
            *errores = p.readAllStandardError();
        return p.exitCode();
    }

private slots:
    void initTestCase()
    {
        Prueba::Preparar();
        carpeta_ = CrearCarpetaDatos(dir_);
        datos_ = LeerDatosLotes(carpeta_);
    }

    void evaluacionCompleta()
    {
        QJsonObject entrada = Porticos(0);
        QJsonArray variables = entrada[QLatin1String("variables")].toArray();
        variables[1] = QJsonObject{{"codigo", 1}, {"proporciones", QJsonArray{65, 0, 0, 25, 10}}};  // Fuerte
        entrada[QLatin1String("variables")] = variables;
        entrada[QLatin1String("anno")] = 2;
        const QJsonObject o = Procesar(Linea(entrada), true);

        const QJsonObject esperado{
            {"id", "A-1"},
            {"estructural", QJsonObject{{"nivel", 3}, {"danno", "Fuerte"}, {"riesgo", "Alto"}, {"indice", 0.55}}},
            {"no_estructural", QJsonObject{{"nivel", 0}, {"danno", "Muy Leve"}, {"riesgo", "Bajo"}, {"indice", 0.0582}}},
            {"suelo", QJsonObject{{"nivel", 0}, {"condiciones", "Muy Buenas"}, {"riesgo", "Bajo"}, {"indice", 0.0582}}},
            {"preexistente", QJsonObject{{"nivel", 0}, {"condiciones", "Muy Buenas"}, {"indice", 0.0582}}},
            {"edificio", QJsonObject{{"nivel", 3}, {"texto", "Fuerte"}}},
            {"estado_global", QJsonObject{{"nivel", 3}, {"texto", "Grave"}}},
            {"habitabilidad", QJsonObject{{"nivel", 2}, {"texto", "No Habitable"}}},
            {"reparabilidad", QJsonObject{{"nivel", 2}, {"texto", "Refuerzo"}}},
            {"codigos", QJsonObject{{"DE", "DE 30"}, {"EE", "EE 30"}, {"H", "H 30"}, {"R", "R 30"}, {"MS", "MS 300"}, {"RANNO", ""}}},
            {"comentarios", QJsonObject{{"danno_edificio", Comentario("DE 30")},
                                        {"estado_global", Comentario("EE 30")},
                                        {"habitabilidad", Comentario("H 30")},
                                        {"reparabilidad", ""},  // no record for "R 30"
                                        {"medidas_seguridad", Comentario("MS 300")}}}};
        QCOMPARE(o, esperado);
    }

    void comentariosYRelevancia()
    {
        // Undamaged, built 1983-1997: the year remark follows the reparability comment.
        QJsonObject entrada = Porticos(0);
        entrada[QLatin1String("anno")] = 2;
        const QJsonObject o = Procesar(Linea(entrada), true);
        QCOMPARE(o["comentarios"]["reparabilidad"].toString(), Comentario("R 00") + QLatin1Char(' ') + Comentario("RANNO2"));
        QCOMPARE(o["codigos"]["RANNO"].toString(), QStringLiteral("RANNO2"));
        QCOMPARE(o["comentarios"]["habitabilidad"].toString(), Comentario("H 00"));

        // Nothing relevant but the building, other elements chosen: the "OA" set.
        entrada = QJsonObject{{"id", 7}, {"sistema", 4}, {"relevancia", 3},
                              {"variables", QJsonArray{QJsonObject{{"codigo", 6}, {"nivel", 0}},
                                                       QJsonObject{{"codigo", 13}, {"nivel", 0}},
                                                       QJsonObject{{"codigo", 14}, {"nivel", 1}},
                                                       QJsonObject{{"codigo", 15}, {"nivel", 1}},
                                                       QJsonObject{{"codigo", 16}, {"nivel", 1}}}},
                              {"otros", QJsonArray{QJsonObject{{"codigo", 3}, {"nivel", 4}}}}};
        const QJsonObject oa = Procesar(Linea(entrada), true);
        QCOMPARE(oa["id"].toInt(), 7);
        QCOMPARE(oa["suelo"].toObject(), (QJsonObject{{"nivel", 0}, {"condiciones", "No Aplica"}, {"riesgo", "No Aplica"}, {"indice", 0}}));
        QCOMPARE(oa["preexistente"].toObject(), (QJsonObject{{"nivel", 0}, {"condiciones", "No Aplica"}, {"indice", 0}}));
        QCOMPARE(oa["codigos"]["DE"].toString(), QStringLiteral("DEOA 01"));
        QCOMPARE(oa["comentarios"]["danno_edificio"].toString(), Comentario("DEOA 01"));
        QCOMPARE(oa["comentarios"]["estado_global"].toString(), QString());  // no record: empty
    }

    // Each fault of a line gets its own message; "id" is echoed whenever the line has one.
    void rechazos()
    {
        const std::pair<const char *, QString> casos[] = {
            {R"({"id": 1, "sistema": )", "no es JSON válido"},
            {"[1,2]", "debe ser un objeto JSON"},
            {R"({"id":"x","variables":[]})", "Falta la clave \"sistema\""},
            {R"({"id":2,"sistema":15})", "\"sistema\" debe ser un número entero entre 0 y 14"},
            {R"({"sistema":0,"relevancia":4})", "\"relevancia\" debe ser"},
            {R"({"sistema":0,"relevanca":1})", "Clave desconocida \"relevanca\""},
            {R"({"sistema":0,"variables":{}})", "\"variables\" debe ser una lista"},
            {R"({"sistema":0,"variables":[3]})", "debe ser un objeto (elemento 1)"},
            {R"({"sistema":0,"variables":[{"codigo":23,"nivel":0}]})", "\"codigo\" en el elemento 1 de \"variables\" debe ser un número entero entre 0 y 22"},
            {R"({"sistema":0,"variables":[{"codigo":0,"nivel":5}]})", "\"nivel\" de la variable de código 0"},
            {R"({"sistema":0,"variables":[{"codigo":0,"nivel":1,"proporciones":[0,0,0,0,1]}]})", "una de las dos"},
            {R"({"sistema":0,"variables":[{"codigo":14,"proporciones":[1,0,0,0,0]}]})", "solo se admite para los elementos estructurales"},
            {R"({"sistema":0,"variables":[{"codigo":1,"proporciones":[1,0,0,0]}]})", "cinco números enteros entre 0 y 100"},
            {R"({"sistema":0,"variables":[{"codigo":1,"nivel":0},{"codigo":1,"nivel":2}]})", "El código 1 está repetido en \"variables\""},
            {R"({"sistema":0,"variables":[{"codigo":1,"nivle":0}]})", "Clave desconocida \"nivle\" en el elemento 1 de \"variables\""},
            {R"({"sistema":0,"otros":[{"codigo":4,"nivel":0}]})", "entre 0 y 3"},
            {R"({"sistema":0,"otros":[{"codigo":2,"nivel":0},{"codigo":2,"nivel":1}]})", "El código 2 está repetido en \"otros\""},
            {R"({"id":{"calle":"7"},"sistema":5,"variables":[{"codigo":3,"nivel":1}]})", TextosEvaluar::FaltanCalificaciones},
        };
        for (const auto &[linea, mensaje] : casos) {
            const QJsonObject o = Procesar(linea, false);
            QVERIFY2(o["error"].toString().contains(mensaje), qPrintable(QString::fromUtf8(linea) + ": " + o["error"].toString()));
            const QJsonValue id = QJsonDocument::fromJson(linea).object().value(QLatin1String("id"));
            QCOMPARE(o.value(QLatin1String("id")), id.isUndefined() ? QJsonValue(QJsonValue::Null) : id);
        }
    }

    void faltanEnOrden()
    {
        const QJsonObject o = Procesar(R"({"id":1,"sistema":5,"relevancia":1,"variables":[{"codigo":16,"nivel":0},{"codigo":1,"nivel":0},{"codigo":19,"nivel":0}]})",
                                       false);
        QCOMPARE(o["error"].toString(), TextosEvaluar::FaltanCalificaciones);
        QCOMPARE(o["faltan"].toArray(), (QJsonArray{0, 2, 3, 13, 14, 15, 17, 18}));
    }

    void ejecutable()
    {
        const QString datos = QStringLiteral("--datos");
        const QByteArray buena = Linea(Porticos(1)) + '\n';
        const QString archivo = dir_.filePath(QStringLiteral("entrada.jsonl"));
        QFile f(archivo);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(buena + buena + Linea(Porticos(2)));  // the last line without a line end
        f.close();

        QByteArray salida, errores;
        QCOMPARE(Ejecutar({datos, carpeta_, archivo}, {}, &salida), 0);
        QList<QByteArray> lineas = salida.split('\n');
        QCOMPARE(lineas.size(), 4);
        QVERIFY(lineas.takeLast().isEmpty());
        QCOMPARE(QJsonDocument::fromJson(lineas[2])["estructural"]["nivel"].toInt(), 2);

        // From the standard input, a rejected line among good ones.
        QCOMPARE(Ejecutar({datos, carpeta_}, buena + "{no\r\n" + buena, &salida), 1);
        lineas = salida.split('\n');
        QCOMPARE(lineas.size(), 4);
        QVERIFY(QJsonDocument::fromJson(lineas[1])["error"].isString());
        QVERIFY(QJsonDocument::fromJson(lineas[2])["estructural"].isObject());

        QCOMPARE(Ejecutar({datos, dir_.filePath(QStringLiteral("no existe"))}, buena, &salida, &errores), 2);
        QVERIFY(salida.isEmpty());
        QVERIFY2(errores.contains("ORV.sqlite"), errores.constData());
        // No databases there, a missing input file, an unknown option, a missing folder, two files.
        for (const QStringList &argumentos : {QStringList{datos, dir_.path()}, QStringList{datos, carpeta_, archivo + "x"},
                                              QStringList{"--rapido"}, QStringList{datos}, QStringList{datos, carpeta_, archivo, archivo}})
            QVERIFY2(Ejecutar(argumentos, buena) == 2, qPrintable(argumentos.join(u' ')));
    }

    // Random and damaged lines: one valid object per line, never a crash.
    void entradaAlAzar()
    {
        QRandomGenerator azar(20240611);
        const QList<QByteArray> base = {Linea(Porticos(0)), Linea(Porticos(3)),
                                        R"({"id":[1,{"a":null}],"sistema":8,"relevancia":2,"variables":[{"codigo":3,"proporciones":[0,0,10,20,70]}],"otros":[]})"};
        const QByteArray piezas[] = {"{", "}", "[", "]", ",", ":", "\"", "null", "true", "-1", "1e309", "0.5", "\"codigo\"",
                                     "\"nivel\"", "\"variables\"", "\"sistema\"", "\\u0000", "\xc3\xb1", "\xff", " ", "99999999999"};
        QByteArray todo;
        QList<QByteArray> lineas;
        for (int i = 0; i < 3000; ++i) {
            QByteArray l = base[azar.bounded(base.size())];
            const int largo = static_cast<int>(l.size());
            switch (azar.bounded(6)) {
            case 0:  // a few bytes changed
                for (int k = azar.bounded(1, 4); k > 0; --k)
                    l[azar.bounded(largo)] = static_cast<char>(azar.bounded(1, 256));
                break;
            case 1:  // cut short
                l.truncate(azar.bounded(largo));
                break;
            case 2:  // pieces of JSON spliced in
                for (int k = azar.bounded(1, 4); k > 0; --k)
                    l.insert(azar.bounded(largo), piezas[azar.bounded(int(std::size(piezas)))]);
                break;
            case 4:  // left as it is
                break;
            case 3:  // a value replaced by another of any type
                l.replace("0", piezas[azar.bounded(int(std::size(piezas)))]);
                break;
            default:  // random bytes
                l.resize(azar.bounded(200));
                for (char &c : l)
                    c = static_cast<char>(azar.bounded(1, 256));
            }
            l.replace('\n', ' ');
            l.replace('\r', ' ');
            lineas << l;
            todo += l + '\n';
        }
        // Each line alone, then all of them through orv-evaluar: the same lines, in order.
        int evaluadas = 0;
        QByteArray esperado;
        for (const QByteArray &l : lineas) {
            QByteArray salida;
            evaluadas += ProcesarLinea(l, datos_, salida) ? 1 : 0;
            QVERIFY2(Defecto(salida).isEmpty(), qPrintable(Defecto(salida)));
            esperado += salida + '\n';
        }
        QVERIFY(evaluadas > 0 && evaluadas < lineas.size());
        QByteArray salida, errores;
        QCOMPARE(Ejecutar({QStringLiteral("--datos"), carpeta_}, todo, &salida, &errores), 1);
        QVERIFY2(errores.isEmpty(), errores.constData());
        QVERIFY(salida == esperado);
    }
};

QTEST_GUILESS_MAIN(PruebaLotes)
#include "batch_evaluator_test.moc"
