// Builds the shipped SQLite databases from their text sources.
//
//   orv-crear-bases REFERENCE_DIR OUT_DIR
//
// Every folder D of REFERENCE_DIR becomes OUT_DIR/D.sqlite; every file T.tsv
// in it becomes table T. The first line of a file names the columns as
// "Name:TYPE" (TEXT, REAL or INTEGER) separated by tabs; every further line is
// one record, in file order. An empty value is stored as NULL. The database is
// written to a temporary file and renamed into place, so a failed build never
// leaves a half-written database behind.

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTextStream>
#include <cstdio>

namespace {

QString citar(QString nombre)
{
    nombre.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return QLatin1Char('"') + nombre + QLatin1Char('"');
}

bool fallar(const QString &texto)
{
    std::fprintf(stderr, "orv-crear-bases: %s\n", qPrintable(texto));
    return false;
}

bool cargarTabla(QSqlDatabase &db, const QString &archivo, const QString &tabla)
{
    QFile f(archivo);
    if (!f.open(QIODevice::ReadOnly | QIODevice::Text))
        return fallar(QStringLiteral("no se puede leer %1").arg(archivo));
    QTextStream in(&f);
    in.setEncoding(QStringConverter::Utf8);
    const QStringList cabecera = in.readLine().split(QLatin1Char('\t'));
    QStringList columnas, tipos;
    for (const QString &c : cabecera) {
        const QStringList partes = c.split(QLatin1Char(':'));
        const QString tipo = partes.value(1).trimmed().toUpper();
        if (partes.size() != 2 || !(tipo == QLatin1String("TEXT") || tipo == QLatin1String("REAL") || tipo == QLatin1String("INTEGER")))
            return fallar(QStringLiteral("%1: cabecera inválida \"%2\"").arg(archivo, c));
        columnas << partes.at(0).trimmed();
        tipos << tipo;
    }
    QStringList definiciones;
    for (int i = 0; i < columnas.size(); ++i)
        definiciones << citar(columnas.at(i)) + QLatin1Char(' ') + tipos.at(i);
    QSqlQuery q(db);
    if (!q.exec(QStringLiteral("CREATE TABLE %1 (%2)").arg(citar(tabla), definiciones.join(QStringLiteral(", ")))))
        return fallar(QStringLiteral("%1: %2").arg(archivo, q.lastError().text()));

    QStringList marcas;
    for (int i = 0; i < columnas.size(); ++i)
        marcas << QStringLiteral("?");
    QSqlQuery ins(db);
    ins.prepare(QStringLiteral("INSERT INTO %1 VALUES (%2)").arg(citar(tabla), marcas.join(QLatin1Char(','))));
    int linea = 1;
    while (!in.atEnd()) {
        const QString texto = in.readLine();
        ++linea;
        if (texto.isEmpty())
            continue;
        const QStringList valores = texto.split(QLatin1Char('\t'));
        if (valores.size() != columnas.size())
            return fallar(QStringLiteral("%1:%2: %3 valores, se esperaban %4")
                              .arg(archivo).arg(linea).arg(valores.size()).arg(columnas.size()));
        for (int i = 0; i < valores.size(); ++i) {
            const QString &v = valores.at(i);
            if (v.isEmpty()) {
                ins.addBindValue(QVariant());
            } else if (tipos.at(i) == QLatin1String("TEXT")) {
                ins.addBindValue(v);
            } else {
                bool ok = false;
                const double d = v.toDouble(&ok);
                if (!ok)
                    return fallar(QStringLiteral("%1:%2: \"%3\" no es un número").arg(archivo).arg(linea).arg(v));
                if (tipos.at(i) == QLatin1String("INTEGER"))
                    ins.addBindValue(static_cast<qlonglong>(d));
                else
                    ins.addBindValue(d);
            }
        }
        if (!ins.exec())
            return fallar(QStringLiteral("%1:%2: %3").arg(archivo).arg(linea).arg(ins.lastError().text()));
    }
    return true;
}

bool crearBase(const QDir &fuente, const QString &destino)
{
    const QString temporal = destino + QStringLiteral(".tmp");
    QFile::remove(temporal);
    bool ok = true;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("crear"));
        db.setDatabaseName(temporal);
        if (!db.open())
            return fallar(QStringLiteral("no se puede crear %1").arg(temporal));
        db.transaction();
        const QStringList archivos = fuente.entryList({QStringLiteral("*.tsv")}, QDir::Files, QDir::Name);
        for (const QString &a : archivos) {
            if (!cargarTabla(db, fuente.filePath(a), a.chopped(4))) {
                ok = false;
                break;
            }
        }
        ok = ok && db.commit();
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("crear"));
    if (!ok) {
        QFile::remove(temporal);
        return false;
    }
    QFile::remove(destino);
    if (!QFile::rename(temporal, destino))
        return fallar(QStringLiteral("no se puede escribir %1").arg(destino));
    return true;
}

}  // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 3) {
        std::fprintf(stderr, "uso: orv-crear-bases CARPETA_REFERENCIA CARPETA_SALIDA\n");
        return 2;
    }
    const QDir referencia(args.at(1));
    QDir().mkpath(args.at(2));
    const QStringList carpetas = referencia.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
    for (const QString &c : carpetas) {
        if (!crearBase(QDir(referencia.filePath(c)), QDir(args.at(2)).filePath(c + QStringLiteral(".sqlite"))))
            return 1;
    }
    return 0;
}
