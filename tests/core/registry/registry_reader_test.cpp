// The registry file read back: selections, order and pages made by the
// database, one record by number, an older file extended in place, and the
// comments of a saved record.

#include "core/data/data_paths.h"
#include "core/registry/building_cases.h"
#include "core/registry/building_key.h"
#include "core/registry/buildings.h"
#include "core/registry/local_registry.h"
#include "core/registry/stored_comments.h"
#include "core/registry/sample_evaluation.h"
#include "support/test_support.h"

#include <QTemporaryDir>
#include <QtTest>

using namespace RegistroEvaluaciones;

namespace {

struct Datos {
    const char *barrio, *nombre, *evaluador, *comision, *fecha, *habitabilidad, *tipo, *calle, *numero;
};

// Six evaluations that differ in every column the window searches.
const Datos Muestra[] = {
    {"San Martín", "Edificio Álamo", "Ing. Pérez", "C-17", "2026-12-01T08:00:00", "Habitable", "Calle", "45B", "12-30"},
    {"El Prado", "Casa Roja", "Ana Ruiz", "C-03", "2026-12-01T17:30:00", "No Habitable", "Avenida", "Oriental", "7"},
    {"Centro", "Colegio 50%_A", "Luis Gómez", "C-17", "2026-12-02T09:15:00", "Uso Restringido", "Carrera", "10", "3-3"},
    {"Centro", "Bodega", "ana ruiz", "C-09", "2026-12-03T23:59:59", "Peligro de Colapso", "Otro", "Vereda Alta", "-"},
    {"La Loma", "O'Brien; \"DROP\"", "Sara Díaz", "C-03", "2026-12-04T00:00:00", "Habitable", "Diagonal", "8", "1"},
    {"Llanos", "Galpón", "Luis Gómez", "C-21", "2026-11-30T12:00:00", "No Habitable", "Calle", "2", "90"},
};

RegistroEvaluacion Hacer(const Datos &d)
{
    RegistroEvaluacion r;
    for (int i = 0; i < NumCampos; ++i)
        r.establecerCampo(i, Campo(i).tipo == TipoCampo::Texto ? QVariant(QStringLiteral("--")) : QVariant(qlonglong(0)));
    const QByteArray tipo(d.tipo);
    for (const auto &[p, s] : {std::pair{Pos::Barrio, d.barrio}, {Pos::NombreEdificacion, d.nombre},
                               {Pos::Evaluador, d.evaluador}, {Pos::CodigoComision, d.comision}, {Pos::Fecha, d.fecha},
                               {Pos::Habitabilidad, d.habitabilidad}, {Pos::TipoDireccion, d.tipo},
                               {Pos::NumeroCasa, d.numero},
                               {tipo == "Avenida" ? Pos::Avenida : tipo == "Otro" ? Pos::OtraVia : Pos::NumeroCalle, d.calle}})
        r.establecerCampo(p, QString::fromUtf8(s));
    r.establecerCampo(Pos::Latitud, QVariant());
    r.establecerCampo(Pos::Longitud, QVariant());
    return r;
}

QList<int> Numeros(const QVector<RegistroEvaluacion> &rs)
{
    QList<int> n;
    for (const RegistroEvaluacion &r : rs)
        n << r.numero();
    return n;
}

}  // namespace

class PruebaLectorRegistro : public QObject {
    Q_OBJECT
    QTemporaryDir carpeta;
    QString archivo;

private slots:
    void initTestCase()
    {
        Prueba::Preparar();
        archivo = carpeta.filePath(QStringLiteral("Registro de Evaluaciones.sqlite"));
        RegistroLocal registro(archivo);
        QVector<RegistroEvaluacion> lote;
        for (const Datos &d : Muestra)
            lote << Hacer(d);
        registro.agregar(lote);
        QCOMPARE(Numeros(lote), (QList<int>{1, 2, 3, 4, 5, 6}));
    }

    // Each search finds exactly the evaluations that show the text in one of
    // the searched columns, ignoring case; LIKE's wildcards are plain text.
    void busqueda_data()
    {
        QTest::addColumn<FiltroRegistro>("filtro");
        QTest::addColumn<QList<int>>("numeros");
        auto f = [](const char *texto, const char *desde = nullptr, const char *hasta = nullptr) {
            FiltroRegistro r;
            r.texto = QString::fromUtf8(texto);
            if (desde)
                r.desde = QDate::fromString(QString::fromLatin1(desde), Qt::ISODate);
            if (hasta)
                r.hasta = QDate::fromString(QString::fromLatin1(hasta), Qt::ISODate);
            return r;
        };
        QTest::newRow("número o dirección") << f("4") << QList<int>{4, 1};
        QTest::newRow("vía y número de casa") << f("calle 45b 12") << QList<int>{1};
        QTest::newRow("otra vía") << f("vereda") << QList<int>{4};
        QTest::newRow("vía y casa, sin el tipo") << f("oriental 7") << QList<int>{2};
        QTest::newRow("de una columna a otra, no") << f("Pérez C-17") << QList<int>{};
        QTest::newRow("mayúsculas con acento") << f("EDIFICIO ÁLAMO") << QList<int>{1};
        QTest::newRow("evaluador sin mayúsculas") << f("ANA RUIZ") << QList<int>{4, 2};
        QTest::newRow("comisión") << f("C-17") << QList<int>{3, 1};
        QTest::newRow("porcentaje literal") << f("50%_") << QList<int>{3};
        QTest::newRow("guion bajo literal") << f("_") << QList<int>{3};
        QTest::newRow("comillas") << f("O'Brien; \"DROP") << QList<int>{5};
        QTest::newRow("desde, inclusive") << f("", "2026-12-04") << QList<int>{5};  // midnight of that day
        QTest::newRow("hasta, todo el día") << f("", nullptr, "2026-12-01") << QList<int>{6, 2, 1};
        QTest::newRow("un día") << f("", "2026-12-03", "2026-12-03") << QList<int>{4};
    }
    void busqueda()
    {
        QFETCH(FiltroRegistro, filtro);
        QFETCH(QList<int>, numeros);
        RegistroLocal registro(archivo);
        QCOMPARE(registro.contar(filtro), qint64(numeros.size()));
        QCOMPARE(Numeros(registro.pagina(filtro, OrdenRegistro(), 0, 100)), numeros);
    }

    // Sorting by a column, by the address, and pages that cover the
    // selection without overlap.
    void ordenYPaginas()
    {
        RegistroLocal registro(archivo);
        const FiltroRegistro todo;
        QCOMPARE(Numeros(registro.pagina(todo, {Pos::Fecha, false}, 0, 10)), (QList<int>{6, 1, 2, 3, 4, 5}));
        QCOMPARE(Numeros(registro.pagina(todo, {Pos::Fecha, true}, 0, 10)), (QList<int>{5, 4, 3, 2, 1, 6}));
        // Equal values follow their numbers in the same direction.
        QCOMPARE(Numeros(registro.pagina(todo, {Pos::Barrio, false}, 0, 2)), (QList<int>{3, 4}));
        QCOMPARE(Numeros(registro.pagina(todo, {Pos::Barrio, true}, 4, 2)), (QList<int>{4, 3}));
        QCOMPARE(Numeros(registro.pagina(todo, {OrdenRegistro::OrdenDireccion, false}, 0, 10)),
                 (QList<int>{2, 6, 1, 3, 5, 4}));
        QList<int> vistos;
        for (int desde = 0; desde < 6; desde += 4)
            vistos << Numeros(registro.pagina(todo, {Pos::Numero, false}, desde, 4));
        QCOMPARE(vistos, (QList<int>{1, 2, 3, 4, 5, 6}));
        QVERIFY(registro.pagina(todo, OrdenRegistro(), 6, 4).isEmpty());

        QList<int> recorridos;
        registro.recorrer(todo, {Pos::Numero, false}, [&](const RegistroEvaluacion &r) {
            recorridos << r.numero();
            return recorridos.size() < 3;
        });
        QCOMPARE(recorridos, (QList<int>{1, 2, 3}));
    }

    // A registry of the first version (91 columns) gains the coordinates,
    // the uuid and the building key in place on first open; every record
    // keeps every value and gets a uuid of its own and its building's key,
    // and the next save continues its numbering with coordinates.
    void registroAnteriorSeExtiende()
    {
        QTemporaryDir otra;
        const QString viejo = otra.filePath(QStringLiteral("viejo.sqlite"));
        const QVariantList ejemplo = Ejemplo::Campos();
        QCOMPARE(Ejemplo::ConArchivo(viejo, [&](QSqlQuery &q) {
            QStringList columnas;
            for (int i = 0; i < NumCamposAnteriores; ++i)
                columnas << CitarIdentificador(Campo(i).columna) + QLatin1Char(' ') + TipoSqlite(Campo(i).tipo);
            QVERIFY(q.exec(QStringLiteral("CREATE TABLE Evaluaciones (%1)").arg(columnas.join(QLatin1Char(',')))));
            for (int n = 40; n <= 41; ++n) {
                q.prepare(QStringLiteral("INSERT INTO Evaluaciones VALUES (?%1)")
                              .arg(QStringLiteral(",?").repeated(NumCamposAnteriores - 1)));
                q.addBindValue(n);
                for (int i = 1; i < NumCamposAnteriores; ++i)
                    q.addBindValue(ejemplo.at(i));
                QVERIFY(q.exec());
            }
        }), QString());

        RegistroLocal registro(viejo);
        const QList<QVariantList> antes = Ejemplo::LeerRegistro(viejo);
        QCOMPARE(antes.size(), 2);
        QCOMPARE(antes.at(0).size(), NumCampos);
        for (int i = 1; i < NumCamposAnteriores; ++i)
            QVERIFY2(antes.at(1).at(i) == ejemplo.at(i), qPrintable(QString::number(i)));
        QVERIFY(antes.at(1).at(Pos::Latitud).isNull());
        const QString identidad = QStringLiteral("uuid, clave_edificacion, unidades_vivienda");
        const QList<QVariantList> identidades = Ejemplo::LeerRegistro(viejo, identidad);
        QCOMPARE(identidades.size(), 2);
        RegistroEvaluacion guardado;
        for (int i = 0; i < NumCampos; ++i)
            guardado.establecerCampo(i, antes.at(0).at(i));
        for (const QVariantList &id : identidades) {
            QVERIFY2(!QUuid::fromString(id.at(0).toString()).isNull(), qPrintable(id.at(0).toString()));
            QCOMPARE(id.at(1).toString(), ClaveEdificacion::De(guardado));
            QVERIFY(id.at(2).isNull());  // never given: no number, not zero
        }
        QVERIFY(identidades.at(0).at(0) != identidades.at(1).at(0));
        QVERIFY(ClaveEdificacion::De(guardado).startsWith(QStringLiteral("predio:")));

        RegistroEvaluacion nuevo = Hacer(Muestra[0]);
        nuevo.establecerCampo(Pos::Latitud, -12.5);
        nuevo.establecerCampo(Pos::Longitud, -97.25);
        nuevo.unidadesVivienda = 6;
        QCOMPARE(registro.agregar(nuevo), 42);
        const auto leido = registro.porNumero(42);
        QCOMPARE(leido->unidadesVivienda, std::optional<int>(6));
        QCOMPARE(registro.porNumero(41)->unidadesVivienda, std::nullopt);
        QCOMPARE(leido->campo(Pos::Latitud).toDouble(), -12.5);
        QCOMPARE(leido->campo(Pos::Longitud).toDouble(), -97.25);
        // A second open finds it done: nothing changes.
        RegistroLocal otraVez(viejo);
        QCOMPARE(otraVez.contar(FiltroRegistro()), qint64(3));
        QCOMPARE(Ejemplo::LeerRegistro(viejo, identidad).mid(0, 2), identidades);
        QCOMPARE(otraVez.edificacion(ClaveEdificacion::De(guardado))->evaluaciones, qint64(2));

        // A file of the version before the dwelling units gets their column
        // and keeps its records, identities and numbering.
        QCOMPARE(Ejemplo::ConArchivo(viejo, [](QSqlQuery &q) {
            QVERIFY(q.exec(QStringLiteral("ALTER TABLE Evaluaciones DROP COLUMN unidades_vivienda")));
        }), QString());
        const QList<QVariantList> sinUnidades = Ejemplo::LeerRegistro(viejo);
        RegistroLocal conUnidades(viejo);
        QCOMPARE(Ejemplo::LeerRegistro(viejo), sinUnidades);
        QCOMPARE(Ejemplo::LeerRegistro(viejo, identidad).mid(0, 2), identidades);
        nuevo.uuid = QUuid();
        nuevo.unidadesVivienda = 0;
        QCOMPARE(conUnidades.agregar(nuevo), 43);
        QCOMPARE(conUnidades.porNumero(43)->unidadesVivienda, std::optional<int>(0));
    }

    // One building's evaluations found by its key, typed differently each
    // time; its current posting is the newest by evaluation date, whatever
    // the order they were saved in; buildings near a point within 15 m; and
    // an evaluation sent twice is stored once with its number.
    void edificaciones()
    {
        QTemporaryDir otra;
        RegistroLocal registro(otra.filePath(QStringLiteral("edificaciones.sqlite")));
        CasosEdificaciones::Comprobar(registro, Hacer(Muestra[0]));
        if (QTest::currentTestFailed())
            return;
    }

    // A table that is neither version is refused with its file named, and
    // nothing is changed.
    void tablaAjenaSeRechaza()
    {
        QTemporaryDir otra;
        const QString ajeno = otra.filePath(QStringLiteral("ajeno.sqlite"));
        QCOMPARE(Ejemplo::ConArchivo(ajeno, [](QSqlQuery &q) {
            QVERIFY(q.exec(QStringLiteral("CREATE TABLE Evaluaciones (a INTEGER, b TEXT)")));
        }), QString());
        try {
            RegistroLocal registro(ajeno);
            QFAIL("se abrió una tabla ajena");
        } catch (const ErrorDatos &e) {
            QVERIFY2(e.mensaje().contains(QStringLiteral("tiene 2 campos")) && e.mensaje().contains(ajeno),
                     qPrintable(e.mensaje()));
        }
        QCOMPARE(Ejemplo::LeerRegistro(ajeno).isEmpty(), true);
    }

    // The five comments of a saved record come from its stored codes; the
    // year remark follows the reparability code's global state and the
    // construction period.
    void comentariosGuardados()
    {
        const TablasComentarios tablas = LeerTablasComentarios(RutasDatos::archivoComentarios());
        RegistroEvaluacion r = Hacer(Muestra[0]);
        for (const auto &[p, v] : {std::pair{Pos::CodigoDannoEdificio, "DE 12"}, {Pos::CodigoEstadoGlobal, "EE 13"},
                                   {Pos::CodigoHabitabilidad, "HOA 12"}, {Pos::CodigoMedidasSeguridad, "MS 401"},
                                   {Pos::CodigoReparabilidad, "R 14"}, {Pos::AnnoConstruccion, "1983 a 1997"}})
            r.establecerCampo(p, QString::fromUtf8(v));
        ComentariosRegistro c = ComentariosDeRegistro(r, tablas);
        QCOMPARE(c.dannoEdificio, tablas.dannoEdificio.at(QStringLiteral("DE 12")));
        QCOMPARE(c.estadoGlobal, tablas.estadoGlobal.at(QStringLiteral("EE 13")));
        QCOMPARE(c.habitabilidad, tablas.habitabilidad.at(QStringLiteral("HOA 12")));
        QCOMPARE(c.medidasSeguridad, tablas.medidasSeguridad.at(QStringLiteral("MS 401")));
        QCOMPARE(c.reparabilidad, tablas.reparabilidad.at(QStringLiteral("R 14")) + QLatin1Char(' ')
                                      + tablas.refAnno.at(QStringLiteral("RANNO2")));
        r.establecerCampo(Pos::CodigoReparabilidad, QStringLiteral("ROA 04"));
        r.establecerCampo(Pos::AnnoConstruccion, QStringLiteral("Antes de 1950"));
        QCOMPARE(CodigoRefAnnoDeRegistro(r), QStringLiteral("RANNO0"));
        r.establecerCampo(Pos::AnnoConstruccion, QStringLiteral("A partir de 1998"));
        QCOMPARE(CodigoRefAnnoDeRegistro(r), QString());
        r.establecerCampo(Pos::CodigoReparabilidad, QStringLiteral("R 24"));
        r.establecerCampo(Pos::AnnoConstruccion, QStringLiteral("1950 a 1982"));
        QCOMPARE(CodigoRefAnnoDeRegistro(r), QString());
        QCOMPARE(ComentariosDeRegistro(r, tablas).reparabilidad, tablas.reparabilidad.at(QStringLiteral("R 24")));
        r.establecerCampo(Pos::CodigoHabitabilidad, QStringLiteral("X 99"));
        QCOMPARE(ComentariosDeRegistro(r, tablas).habitabilidad, QString());
    }
};

QTEST_MAIN(PruebaLectorRegistro)
#include "registry_reader_test.moc"
