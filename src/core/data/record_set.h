#pragma once
// ConjuntoRegistros: access to one table of one database file, by record position and field
// position, the way every part of the program reads and writes its data.
// Values travel only as bound parameters. Every failure becomes an
// ErrorDatos whose text, in Spanish, names the file and the table.

#include <QSqlDatabase>
#include <QString>
#include <QVariant>
#include <QVector>
#include <optional>
#include <stdexcept>

class ErrorDatos : public std::runtime_error {
public:
    explicit ErrorDatos(const QString &mensaje)
        : std::runtime_error(mensaje.toStdString()), mensaje_(mensaje) {}
    const QString &mensaje() const { return mensaje_; }

private:
    QString mensaje_;
};

class ConjuntoRegistros {
public:
    enum class Modo { Lectura, Escritura };

    // Opens `tabla` of the SQLite file `archivo`. A missing file is never
    // created here; a missing table or an unreadable file throws.
    ConjuntoRegistros(const QString &archivo, const QString &tabla, Modo modo = Modo::Lectura);
    ~ConjuntoRegistros();
    ConjuntoRegistros(const ConjuntoRegistros &) = delete;
    ConjuntoRegistros &operator=(const ConjuntoRegistros &) = delete;

    const QString &archivo() const { return archivo_; }
    const QString &tabla() const { return tabla_; }
    int numeroCampos() const { return columnas_.size(); }

    // Cursor over the records in their stored (insertion) order.
    void moverPrimero();
    void moverSiguiente();
    void moverUltimo();
    bool finDeTabla() const { return fin_; }

    // Field i of the current record. Throws when there is no current record
    // or the field does not exist.
    QVariant campo(int i) const;
    // Field i converted; throws with the file, table, record and field named
    // when the value cannot be converted.
    double campoReal(int i) const;
    QString campoTexto(int i) const;

    // Appending: agregarNuevo starts an empty record, establecerCampo fills
    // it, guardar writes it as a whole (or not at all) and makes it current.
    void agregarNuevo();
    void establecerCampo(int i, const QVariant &valor);
    void guardar();

    // Transactions around a read-then-append (the registry numbering).
    // iniciarTransaccion takes the write lock at once, waiting up to the
    // busy timeout for another program that holds it.
    void iniciarTransaccion();
    void confirmar();
    void deshacer();
    // Field `devuelto` of the last record whose field `campo` holds `valor`;
    // none when no record does.
    std::optional<QVariant> buscar(int campo, const QVariant &valor, int devuelto) const;
    // Largest value of field i over the whole table (null when empty).
    QVariant maximoCampo(int i) const;

    // The open connection to the file, to write another table of the same
    // file inside this one's transaction.
    QSqlDatabase baseDatos() const;

    // The text used in every message about this table: «tabla "T" del archivo "F"».
    QString descripcion() const;

private:
    void cargarFila(const char *consultaSql, const QVariant &clave);
    [[noreturn]] void fallar(const QString &que, const QString &detalle) const;

    QString archivo_;
    QString tabla_;
    QString conexion_;
    QStringList columnas_;
    QString tablaSql_;
    QVector<QVariant> fila_;
    qint64 rowidActual_ = -1;
    bool fin_ = true;
    bool agregando_ = false;
    QVector<QVariant> nueva_;
};

// Quotes an identifier (table or column name) for SQL text. Only names fixed
// by the program pass through here; values are always bound.
QString CitarIdentificador(const QString &nombre);
