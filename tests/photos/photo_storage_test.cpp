// The photos in the registry file on this machine: the shared cases, and
// what only the file shows: the rows are never changed nor deleted, and a
// file of an earlier version gets its table of photos.

#include "photo_store_cases.h"
#include "support/test_support.h"

#include "core/data/data_paths.h"

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QtTest>

namespace {

// Runs `sql` on the file; returns the first value, or the error text.
QVariant Sql(const QString &archivo, const QString &sql, QString *error = nullptr)
{
    QVariant valor;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("prueba-fotos"));
        db.setDatabaseName(archivo);
        db.open();
        QSqlQuery q(db);
        if (!q.exec(sql)) {
            if (error)
                *error = q.lastError().text();
        } else if (q.next()) {
            valor = q.value(0);
        }
    }
    QSqlDatabase::removeDatabase(QStringLiteral("prueba-fotos"));
    return valor;
}

}  // namespace

class PruebaFotosArchivo : public QObject {
    Q_OBJECT
    QTemporaryDir dir_;
    QString archivo_;
private slots:
    void initTestCase() { Prueba::Preparar(); }
    void init()
    {
        archivo_ = dir_.filePath(QStringLiteral("%1.sqlite").arg(QUuid::createUuid().toString(QUuid::Id128)));
    }

    void guardaYLee()
    {
        RegistroLocal registro(archivo_);
        CasosFotos::GuardaYLee(registro);
        QCOMPARE(Sql(archivo_, QStringLiteral("SELECT COUNT(*) FROM \"Fotos\"")).toInt(), 3);
    }
    void nadaAMedias()
    {
        RegistroLocal registro(archivo_);
        CasosFotos::NadaAMedias(registro);
        QCOMPARE(Sql(archivo_, QStringLiteral("SELECT COUNT(*) FROM \"Fotos\"")).toInt(), 1);
    }
    void agregaYQuita()
    {
        RegistroLocal registro(archivo_);
        CasosFotos::AgregaYQuita(registro);
        // The removed photo's row is still there; no row can be changed or
        // deleted.
        QCOMPARE(Sql(archivo_, QStringLiteral("SELECT COUNT(*) FROM \"Fotos\"")).toInt(), Fotos::MaximoPorEvaluacion + 1);
        for (const QString &sql : {QStringLiteral("DELETE FROM \"Fotos\""), QStringLiteral("UPDATE \"Fotos\" SET \"Leyenda\" = 'x'")}) {
            QString error;
            Sql(archivo_, sql, &error);
            QVERIFY2(error.contains(QStringLiteral("no se modifican ni se borran")), qPrintable(error));
        }
    }

    // A file made before photos were kept: opened, it gets the table, and
    // its evaluations have no photos.
    void archivoAnterior()
    {
        {
            RegistroLocal registro(archivo_);
            RegistroEvaluacion r = CasosCorreccion::Evaluacion("", "2026-12-04 11:00", "Habitable");
            registro.agregar(r);
        }
        QString error;
        Sql(archivo_, QStringLiteral("DROP TABLE \"Fotos\""), &error);
        QVERIFY2(error.isEmpty(), qPrintable(error));
        RegistroLocal registro(archivo_);
        QVERIFY(registro.fotos(1).isEmpty());
        QVector<FotoEvaluacion> fotos = CasosFotos::Preparadas(1);
        registro.agregarFotos(1, fotos);
        QCOMPARE(registro.fotos(1).size(), 1);
    }
};

QTEST_GUILESS_MAIN(PruebaFotosArchivo)
#include "photo_storage_test.moc"
