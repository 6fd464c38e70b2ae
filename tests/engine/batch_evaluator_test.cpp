// The batch evaluator: one line at a time, the executable, and random input.

#include "engine/batch_evaluator.h"
#include "engine/fixture.h"
#include "test_support.h"

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

const QString Faltan = QStringLiteral("Ingrese toda la información. Todos los elementos no han sido calificados.");

// A data folder: the shipped weights and a comment database in which every
// text names its code, with a quote, a tab and a line break to escape.
QString CrearCarpetaDatos(const QTemporaryDir &dir)
{
    const QString carpeta = dir.filePath(QStringLiteral("datos"));
    QDir().mkpath(carpeta);
    QFile::copy(QDir(Prueba::CarpetaDatos()).filePath(QStringLiteral("ORV.sqlite")), carpeta + QStringLiteral("/ORV.sqlite"));
    const QString archivo = carpeta + QStringLiteral("/Comentarios.sqlite");
    const QList<QPair<const char *, QStringList>> tablas = {
        {"Daño Edificio", {"DE 00", "DE 30", "DEOA 01"}}, {"Estado Global", {"EE 00", "EE 30"}},
        {"Habitabilidad", {"H 00", "H 30"}},              {"Reparabilidad", {"R 00", "R 20"}},
        {"Ref Anno", {"RANNO0", "RANNO2"}},               {"Medidas de Seguridad", {"MS 000", "MS 300"}}};
    for (const auto &[tabla, codigos] : tablas) {
        QList<QVariantList> filas;
        for (const QString &c : codigos)
            filas << QVariantList{c, QStringLiteral("«%1» dice \"ñ\"\ty\nsigue").arg(c)};
        Fixture::CrearTabla(archivo, QString::fromUtf8(tabla), filas);
    }
    return carpeta;
}

QString Comentario(const QString &codigo) { return QStringLiteral("«%1» dice \"ñ\"\ty\nsigue").arg(codigo); }

// Concrete frames, everything relevant, every variable rated `nivel`.
QJsonObject Porticos(int nivel)
{
    QJsonArray variables;
    for (int c : {0, 1, 2, 13, 14, 15, 16, 17, 18, 19, 20, 21, 22})
        variables.append(QJsonObject{{"codigo", c}, {"nivel", nivel}});
    return QJsonObject{{"id", "A-1"}, {"sistema", 0}, {"variables", variables}};
}

QJsonValue Valor(const QJsonObject &o, const char *objeto, const char *clave)
{
    return o.value(QLatin1String(objeto)).toObject().value(QLatin1String(clave));
}

QByteArray Linea(const QJsonObject &o) { return QJsonDocument(o).toJson(QJsonDocument::Compact); }

// Every output line: an object with "id" and either the results or "error".
bool SalidaValida(const QByteArray &linea, QString &motivo)
{
    QJsonParseError error{};
    const QJsonDocument doc = QJsonDocument::fromJson(linea, &error);
    if (error.error != QJsonParseError::NoError || !doc.isObject()) {
        motivo = QStringLiteral("no es un objeto JSON: ") + QString::fromUtf8(linea.left(200));
        return false;
    }
    const QJsonObject o = doc.object();
    const QStringList resultados = {"estructural", "no_estructural", "suelo", "preexistente", "edificio",
                                    "estado_global", "habitabilidad", "reparabilidad", "codigos", "comentarios"};
    const bool conError = o.value(QLatin1String("error")).isString() && !o.value(QLatin1String("error")).toString().isEmpty();
    const bool conResultados = std::all_of(resultados.begin(), resultados.end(), [&](const QString &k) { return o.value(k).isObject(); });
    if (!o.contains(QLatin1String("id")) || conError == conResultados) {
        motivo = QStringLiteral("ni resultados ni error: ") + QString::fromUtf8(linea.left(200));
        return false;
    }
    return true;
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
        QString motivo;
        [&] { QVERIFY2(SalidaValida(salida, motivo), qPrintable(motivo)); }();
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
        QJsonObject o = Procesar(Linea(entrada), true);
        QCOMPARE(Valor(o, "comentarios", "reparabilidad").toString(), Comentario("R 00") + QLatin1Char(' ') + Comentario("RANNO2"));
        QCOMPARE(Valor(o, "codigos", "RANNO").toString(), QStringLiteral("RANNO2"));
        QCOMPARE(Valor(o, "comentarios", "habitabilidad").toString(), Comentario("H 00"));

        // Nothing relevant but the building, other elements chosen: the "OA" set.
        entrada = QJsonObject{{"id", 7}, {"sistema", 4}, {"relevancia", 3},
                              {"variables", QJsonArray{QJsonObject{{"codigo", 6}, {"nivel", 0}},
                                                       QJsonObject{{"codigo", 13}, {"nivel", 0}},
                                                       QJsonObject{{"codigo", 14}, {"nivel", 1}},
                                                       QJsonObject{{"codigo", 15}, {"nivel", 1}},
                                                       QJsonObject{{"codigo", 16}, {"nivel", 1}}}},
                              {"otros", QJsonArray{QJsonObject{{"codigo", 3}, {"nivel", 4}}}}};
        o = Procesar(Linea(entrada), true);
        QCOMPARE(o["id"].toInt(), 7);
        QCOMPARE(o["suelo"].toObject(), (QJsonObject{{"nivel", 0}, {"condiciones", "No Aplica"}, {"riesgo", "No Aplica"}, {"indice", 0}}));
        QCOMPARE(o["preexistente"].toObject(), (QJsonObject{{"nivel", 0}, {"condiciones", "No Aplica"}, {"indice", 0}}));
        QCOMPARE(Valor(o, "codigos", "DE").toString(), QStringLiteral("DEOA 01"));
        QCOMPARE(Valor(o, "comentarios", "danno_edificio").toString(), Comentario("DEOA 01"));
        QCOMPARE(Valor(o, "comentarios", "estado_global").toString(), QString());  // no record: empty
    }

    void rechazos_data()
    {
        QTest::addColumn<QByteArray>("linea");
        QTest::addColumn<QString>("mensaje");
        QTest::addColumn<QJsonValue>("id");
        QTest::newRow("JSON roto") << QByteArray(R"({"id": 1, "sistema": )") << "no es JSON válido" << QJsonValue();
        QTest::newRow("vacía") << QByteArray() << "no es JSON válido" << QJsonValue();
        QTest::newRow("lista") << QByteArray("[1,2]") << "debe ser un objeto JSON" << QJsonValue();
        QTest::newRow("sin sistema") << QByteArray(R"({"id":"x","variables":[]})") << "Falta la clave \"sistema\"" << QJsonValue("x");
        QTest::newRow("sistema 15") << QByteArray(R"({"id":2,"sistema":15})") << "\"sistema\" debe ser un número entero entre 0 y 14" << QJsonValue(2);
        QTest::newRow("sistema texto") << QByteArray(R"({"sistema":"0"})") << "\"sistema\" debe ser un número entero" << QJsonValue();
        QTest::newRow("relevancia 4") << QByteArray(R"({"sistema":0,"relevancia":4})") << "\"relevancia\" debe ser" << QJsonValue();
        QTest::newRow("clave desconocida") << QByteArray(R"({"sistema":0,"relevanca":1})") << "Clave desconocida \"relevanca\"" << QJsonValue();
        QTest::newRow("variables no lista") << QByteArray(R"({"sistema":0,"variables":{}})") << "\"variables\" debe ser una lista" << QJsonValue();
        QTest::newRow("variable no objeto") << QByteArray(R"({"sistema":0,"variables":[3]})") << "debe ser un objeto (elemento 1)" << QJsonValue();
        QTest::newRow("código 23") << QByteArray(R"({"sistema":0,"variables":[{"codigo":23,"nivel":0}]})")
                                   << "\"codigo\" en el elemento 1 de \"variables\" debe ser un número entero entre 0 y 22" << QJsonValue();
        QTest::newRow("nivel 5") << QByteArray(R"({"sistema":0,"variables":[{"codigo":0,"nivel":5}]})") << "\"nivel\" de la variable de código 0" << QJsonValue();
        QTest::newRow("nivel y proporciones") << QByteArray(R"({"sistema":0,"variables":[{"codigo":0,"nivel":1,"proporciones":[0,0,0,0,1]}]})")
                                              << "una de las dos" << QJsonValue();
        QTest::newRow("proporciones cualitativas") << QByteArray(R"({"sistema":0,"variables":[{"codigo":14,"proporciones":[1,0,0,0,0]}]})")
                                                   << "solo se admite para los elementos estructurales" << QJsonValue();
        QTest::newRow("cuatro barras") << QByteArray(R"({"sistema":0,"variables":[{"codigo":1,"proporciones":[1,0,0,0]}]})")
                                       << "cinco números enteros entre 0 y 100" << QJsonValue();
        QTest::newRow("código repetido") << QByteArray(R"({"sistema":0,"variables":[{"codigo":1,"nivel":0},{"codigo":1,"nivel":2}]})")
                                         << "El código 1 está repetido en \"variables\"" << QJsonValue();
        QTest::newRow("clave de variable") << QByteArray(R"({"sistema":0,"variables":[{"codigo":1,"nivle":0}]})")
                                           << "Clave desconocida \"nivle\" en el elemento 1 de \"variables\"" << QJsonValue();
        QTest::newRow("otro 4") << QByteArray(R"({"sistema":0,"otros":[{"codigo":4,"nivel":0}]})") << "entre 0 y 3" << QJsonValue();
        QTest::newRow("otro repetido") << QByteArray(R"({"sistema":0,"otros":[{"codigo":2,"nivel":0},{"codigo":2,"nivel":1}]})")
                                       << "El código 2 está repetido en \"otros\"" << QJsonValue();
        QTest::newRow("faltan, con id objeto") << QByteArray(R"({"id":{"calle":"7"},"sistema":5,"variables":[{"codigo":3,"nivel":1}]})")
                                               << Faltan << QJsonValue(QJsonObject{{"calle", "7"}});
    }
    void rechazos()
    {
        QFETCH(QByteArray, linea);
        QFETCH(QString, mensaje);
        QFETCH(QJsonValue, id);
        const QJsonObject o = Procesar(linea, false);
        QVERIFY2(o["error"].toString().contains(mensaje), qPrintable(o["error"].toString()));
        QCOMPARE(o.value(QLatin1String("id")), id.isUndefined() ? QJsonValue(QJsonValue::Null) : id);
    }

    void faltanEnOrden()
    {
        const QJsonObject o = Procesar(R"({"id":1,"sistema":5,"relevancia":1,"variables":[{"codigo":16,"nivel":0},{"codigo":1,"nivel":0},{"codigo":19,"nivel":0}]})",
                                       false);
        QCOMPARE(o["error"].toString(), Faltan);
        QCOMPARE(o["faltan"].toArray(), (QJsonArray{0, 2, 3, 13, 14, 15, 17, 18}));
    }

    void ejecutable()
    {
        const QByteArray buena = Linea(Porticos(1)) + '\n';
        const QString archivo = dir_.filePath(QStringLiteral("entrada.jsonl"));
        QFile f(archivo);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(buena + buena + Linea(Porticos(2)));  // the last line without a line end
        f.close();

        QByteArray salida, errores;
        QCOMPARE(Ejecutar({QStringLiteral("--datos"), carpeta_, archivo}, {}, &salida), 0);
        QList<QByteArray> lineas = salida.split('\n');
        QCOMPARE(lineas.size(), 4);
        QVERIFY(lineas.takeLast().isEmpty());
        QCOMPARE(QJsonDocument::fromJson(lineas[2])["estructural"]["nivel"].toInt(), 2);

        // From the standard input, a rejected line among good ones.
        QCOMPARE(Ejecutar({QStringLiteral("--datos"), carpeta_}, buena + "{no\r\n" + buena, &salida), 1);
        lineas = salida.split('\n');
        QCOMPARE(lineas.size(), 4);
        QVERIFY(QJsonDocument::fromJson(lineas[1])["error"].isString());
        QVERIFY(QJsonDocument::fromJson(lineas[2])["estructural"].isObject());

        QCOMPARE(Ejecutar({QStringLiteral("--datos"), dir_.filePath(QStringLiteral("no existe"))}, buena, &salida, &errores), 2);
        QVERIFY(salida.isEmpty());
        QVERIFY2(errores.contains("ORV.sqlite"), errores.constData());
        QCOMPARE(Ejecutar({QStringLiteral("--datos"), dir_.path()}, buena), 2);  // no databases there
        QCOMPARE(Ejecutar({QStringLiteral("--datos"), carpeta_, dir_.filePath(QStringLiteral("falta.jsonl"))}, {}), 2);
        QCOMPARE(Ejecutar({QStringLiteral("--rapido")}, buena), 2);
        QCOMPARE(Ejecutar({QStringLiteral("--datos")}, buena), 2);
        QCOMPARE(Ejecutar({QStringLiteral("--datos"), carpeta_, archivo, archivo}, {}), 2);
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
        int evaluadas = 0;
        for (const QByteArray &l : lineas) {
            QByteArray salida;
            evaluadas += ProcesarLinea(l, datos_, salida) ? 1 : 0;
            QString motivo;
            QVERIFY2(SalidaValida(salida, motivo), qPrintable(motivo));
        }
        QVERIFY(evaluadas > 0 && evaluadas < lineas.size());

        QByteArray salida, errores;
        QCOMPARE(Ejecutar({QStringLiteral("--datos"), carpeta_}, todo, &salida, &errores), 1);
        QVERIFY2(errores.isEmpty(), errores.constData());
        QList<QByteArray> respuestas = salida.split('\n');
        QVERIFY(respuestas.takeLast().isEmpty());
        QCOMPARE(respuestas.size(), lineas.size());
        for (const QByteArray &r : respuestas) {
            QString motivo;
            QVERIFY2(SalidaValida(r, motivo), qPrintable(motivo));
        }
    }
};

QTEST_GUILESS_MAIN(PruebaLotes)
#include "batch_evaluator_test.moc"
