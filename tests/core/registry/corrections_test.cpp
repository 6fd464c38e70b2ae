// Corrections in the registry file on this machine: the cases every
// registry shares, who corrects (the machine's user), and a file that keeps
// its corrections for good.

#include "core/registry/correction_cases.h"
#include "support/test_support.h"

#include "core/registry/local_registry.h"

#include <QTemporaryDir>
#include <QtTest>

using namespace RegistroEvaluaciones;

class PruebaCorreccionesLocales : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { Prueba::Preparar(); }

    void mueveDeEdificacion()
    {
        QTemporaryDir carpeta;
        RegistroLocal registro(carpeta.filePath(QStringLiteral("r.sqlite")));
        CasosCorreccion::CorregirMueveDeEdificacion(registro, Correcciones::UsuarioDelEquipo());
    }

    void rechazos()
    {
        QTemporaryDir carpeta;
        RegistroLocal registro(carpeta.filePath(QStringLiteral("r.sqlite")));
        CasosCorreccion::RechazosSinCambios(registro);
    }

    // The file refuses to change or delete a correction, also to a program
    // that writes SQL itself; opening the file again keeps them.
    void nuncaSeBorran()
    {
        QTemporaryDir carpeta;
        const QString archivo = carpeta.filePath(QStringLiteral("r.sqlite"));
        {
            RegistroLocal registro(archivo);
            RegistroEvaluacion r = CasosCorreccion::Evaluacion("12-30", "2026-12-01T10:00:00", "Habitable");
            registro.agregar(r);
            registro.corregir(1, QStringLiteral("Barrio"), QStringLiteral("El Prado"), QStringLiteral("Barrio equivocado"));
        }
        for (const char *sql : {"DELETE FROM Correcciones", "UPDATE Correcciones SET Motivo = 'otro'"}) {
            QString error;
            QCOMPARE(Ejemplo::ConArchivo(archivo, [&](QSqlQuery &q) {
                         if (!q.exec(QString::fromLatin1(sql)))
                             error = q.lastError().text();
                     }),
                     QString());
            QVERIFY2(error.contains(QStringLiteral("no se modifican ni se borran")), qPrintable(QString::fromLatin1(sql) + ": " + error));
        }
        RegistroLocal otraVez(archivo);
        const QVector<Correccion> lista = otraVez.correcciones(1);
        QCOMPARE(lista.size(), 1);
        QCOMPARE(lista[0].motivo, QStringLiteral("Barrio equivocado"));
        QCOMPARE(lista[0].anterior, QStringLiteral("San Martín"));
        QCOMPARE(otraVez.porNumero(1)->texto(Pos::Barrio), QStringLiteral("El Prado"));
    }
};

QTEST_GUILESS_MAIN(PruebaCorreccionesLocales)
#include "corrections_test.moc"
