#include "core/exchange/xlsx_export.h"

#include "core/exchange/batch_pipe.h"

#include "core/data/record_set.h"
#include "core/registry/registry_summary.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QTemporaryFile>
#include <xlsxwriter.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <exception>
#include <optional>
#include <vector>

using namespace RegistroEvaluaciones;

namespace {

// A cell holds at most this many characters.
constexpr int MaxTextoCelda = 32767;
// Column widths, in characters: the widest content up to this.
constexpr int AnchoMaximo = 60;
constexpr int AnchoMinimo = 6;
// A long column title wraps at this width rather than widening its column.
constexpr int AnchoTitulo = 24;
// From this many rows the zip file may need ZIP64 (over 4 GB inside);
// smaller files are written without it, which every spreadsheet opens.
constexpr qint64 FilasZip64 = 200000;

// 1048575 as "1 048 575".
QString Miles(qint64 n)
{
    QString s = QString::number(n);
    for (qsizetype i = s.size() - 3; i > (s.startsWith(QLatin1Char('-')) ? 1 : 0); i -= 3)
        s.insert(i, QLatin1Char(' '));
    return s;
}

QString Nativo(const QString &archivo) { return QDir::toNativeSeparators(archivo); }

[[noreturn]] void Fallar(const QString &archivo, const QString &que)
{
    throw ErrorDatos(QStringLiteral("No se pudo escribir la hoja de cálculo \"%1\": %2.").arg(Nativo(archivo), que));
}

QString TextoError(lxw_error e)
{
    switch (e) {
    case LXW_ERROR_MEMORY_MALLOC_FAILED: return QStringLiteral("no hay memoria suficiente");
    case LXW_ERROR_CREATING_XLSX_FILE: return QStringLiteral("no se puede crear el archivo en esa carpeta");
    case LXW_ERROR_CREATING_TMPFILE:
    case LXW_ERROR_READING_TMPFILE:
        return QStringLiteral("no se pueden escribir ni leer los archivos de trabajo en la carpeta del archivo "
                              "(¿disco lleno, o carpeta sin permiso de escritura?)");
    case LXW_ERROR_ZIP_FILE_OPERATION:
    case LXW_ERROR_ZIP_PARAMETER_ERROR:
    case LXW_ERROR_ZIP_BAD_ZIP_FILE:
    case LXW_ERROR_ZIP_INTERNAL_ERROR:
    case LXW_ERROR_ZIP_FILE_ADD:
    case LXW_ERROR_ZIP_CLOSE:
        return QStringLiteral("no se pudo comprimir el libro (¿disco lleno?)");
    case LXW_ERROR_MAX_STRING_LENGTH_EXCEEDED:
        return QStringLiteral("un texto tiene más de %1 caracteres, lo más que cabe en una celda").arg(Miles(MaxTextoCelda));
    default:
        return QStringLiteral("la biblioteca libxlsxwriter respondió con el error %1 (%2)")
            .arg(int(e))
            .arg(QString::fromUtf8(lxw_strerror(e)));
    }
}

// Width of a text as a column shows it: its longest line.
int AnchoTexto(const QString &s)
{
    if (!s.contains(QLatin1Char('\n')))
        return int(s.size());
    int ancho = 0;
    for (QStringView linea : QStringView(s).split(QLatin1Char('\n')))
        ancho = std::max(ancho, int(linea.size()));
    return ancho;
}

// The width a title asks of its column: all of it when short, else the
// wrapping width or its longest word.
int AnchoDeTitulo(const QString &titulo)
{
    if (titulo.size() <= AnchoTitulo)
        return int(titulo.size());
    int palabra = 0;
    for (const QString &p : titulo.split(QLatin1Char(' '), Qt::SkipEmptyParts))
        palabra = std::max(palabra, int(p.size()));
    return std::max(AnchoTitulo, palabra);
}

std::optional<QDateTime> FechaHora(const QVariant &v)
{
    if (v.typeId() == QMetaType::QDateTime)
        return v.toDateTime();
    QString s = v.toString().trimmed();
    if (s.size() < 16)  // at least yyyy-MM-ddTHH:mm
        return std::nullopt;
    s.replace(10, 1, QLatin1Char('T'));
    const QDateTime d = QDateTime::fromString(s, Qt::ISODate);
    if (!d.isValid() || d.date().year() < 1900 || d.date().year() > 9999)
        return std::nullopt;
    return d;
}

// The workbook being written under a temporary name beside the target; it
// replaces the target only once it is closed without error, and is removed
// on any failure.
class Libro {
public:
    Libro(const QString &archivo, bool zip64)
        : archivo_(archivo), temporal_(QDir(QFileInfo(archivo).absolutePath())
                                           .filePath(QStringLiteral(".%1.XXXXXX").arg(QFileInfo(archivo).fileName())))
    {
        if (QFileInfo(archivo).isDir())
            Fallar(archivo, QStringLiteral("ese nombre es una carpeta"));
        if (!temporal_.open())
            Fallar(archivo, QStringLiteral("no se puede crear el archivo: ") + temporal_.errorString());
        temporal_.close();
        nombreTemporal_ = QFile::encodeName(temporal_.fileName());
        // libxlsxwriter keeps each sheet's rows in a work file until the
        // book is closed: beside the target, on the disk that must hold the
        // result anyway, not in a /tmp that may live in memory.
        carpeta_ = QFile::encodeName(QFileInfo(archivo).absolutePath());
        lxw_workbook_options opciones{};
        opciones.constant_memory = LXW_TRUE;
        opciones.tmpdir = carpeta_.data();
        opciones.use_zip64 = zip64 ? LXW_TRUE : LXW_FALSE;
        libro_ = workbook_new_opt(nombreTemporal_.constData(), &opciones);
        if (!libro_)
            Fallar(archivo, QStringLiteral("no se puede preparar el libro (¿memoria o disco insuficientes?)"));
    }

    ~Libro()
    {
        if (libro_)
            workbook_close(libro_);  // frees it; what it wrote is removed below
        if (!listo_)
            QFile::remove(temporal_.fileName());
    }

    Libro(const Libro &) = delete;
    Libro &operator=(const Libro &) = delete;

    lxw_workbook *libro() const { return libro_; }

    lxw_worksheet *hoja(const QString &nombre)
    {
        lxw_worksheet *h = workbook_add_worksheet(libro_, nombre.toUtf8().constData());
        if (!h)
            Fallar(archivo_, QStringLiteral("no se puede agregar la hoja \"%1\"").arg(nombre));
        return h;
    }

    void comprobar(lxw_error e) const
    {
        if (e != LXW_NO_ERROR)
            Fallar(archivo_, TextoError(e));
    }

    // Closes the book and puts it in the target's place.
    void terminar()
    {
        lxw_workbook *libro = libro_;
        libro_ = nullptr;
        comprobar(workbook_close(libro));
        // A new file gets the permissions of any new file; one replaced keeps its own.
        const QFileDevice::Permissions permisos = QFileInfo::exists(archivo_)
            ? QFile::permissions(archivo_)
            : QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup | QFileDevice::ReadOther;
        QFile::setPermissions(temporal_.fileName(), permisos);
        if (std::rename(nombreTemporal_.constData(), QFile::encodeName(archivo_).constData()) != 0)
            Fallar(archivo_, QStringLiteral("no se puede reemplazar el archivo: %1").arg(QString::fromLocal8Bit(std::strerror(errno))));
        temporal_.setAutoRemove(false);
        listo_ = true;
    }

private:
    QString archivo_;
    QTemporaryFile temporal_;
    QByteArray nombreTemporal_;
    QByteArray carpeta_;
    lxw_workbook *libro_ = nullptr;
    bool listo_ = false;
};

struct Formatos {
    lxw_format *titulos = nullptr;     // column titles: bold, wrapped, on top
    lxw_format *fecha = nullptr;       // dd/mm/aaaa hh:mm
    lxw_format *tituloTabla = nullptr; // a summary table's title: bold and larger

    explicit Formatos(lxw_workbook *libro)
    {
        titulos = workbook_add_format(libro);
        format_set_bold(titulos);
        format_set_text_wrap(titulos);
        format_set_align(titulos, LXW_ALIGN_VERTICAL_TOP);
        format_set_bottom(titulos, LXW_BORDER_THIN);
        fecha = workbook_add_format(libro);
        format_set_num_format(fecha, "dd/mm/yyyy hh:mm");
        tituloTabla = workbook_add_format(libro);
        format_set_bold(tituloTabla);
        format_set_font_size(tituloTabla, 13);
    }
};

// Writes the row of column titles at `fila` and returns the width each
// title asks of its column. The row has no height of its own: the
// spreadsheet makes it as tall as the titles wrap in their final widths.
// On paper the sheet is landscape, with its grid, and the titles repeat on
// every page.
QVector<int> EscribirTitulos(Libro &libro, lxw_worksheet *hoja, lxw_row_t fila, const QStringList &titulos,
                             const Formatos &f)
{
    worksheet_set_landscape(hoja);
    worksheet_set_paper(hoja, 9);  // A4
    worksheet_gridlines(hoja, LXW_SHOW_ALL_GRIDLINES);
    libro.comprobar(worksheet_repeat_rows(hoja, fila, fila));
    QVector<int> anchos;
    for (const QString &t : titulos)
        anchos.append(AnchoDeTitulo(t));
    for (int c = 0; c < titulos.size(); ++c)
        libro.comprobar(worksheet_write_string(hoja, fila, lxw_col_t(c), titulos[c].toUtf8().constData(), f.titulos));
    return anchos;
}

void FijarAnchos(Libro &libro, lxw_worksheet *hoja, const QVector<int> &anchos)
{
    for (int c = 0; c < anchos.size(); ++c)
        libro.comprobar(worksheet_set_column(hoja, lxw_col_t(c), lxw_col_t(c),
                                             std::clamp(anchos[c], AnchoMinimo, AnchoMaximo) + 1.5, nullptr));
}

// Writes a text cell; empty text leaves the cell empty.
void EscribirTexto(Libro &libro, lxw_worksheet *hoja, lxw_row_t fila, lxw_col_t col, const QString &texto,
                   int &ancho)
{
    if (texto.isEmpty())
        return;
    if (texto.size() > MaxTextoCelda)
        libro.comprobar(LXW_ERROR_MAX_STRING_LENGTH_EXCEEDED);
    libro.comprobar(worksheet_write_string(hoja, fila, col, texto.toUtf8().constData(), nullptr));
    ancho = std::max(ancho, AnchoTexto(texto));
}

// Characters a number takes when shown (for the column's width).
int AnchoNumero(double valor)
{
    char texto[32];
    const auto r = std::to_chars(texto, texto + sizeof texto, valor);
    return int(r.ptr - texto);
}

void EscribirNumero(Libro &libro, lxw_worksheet *hoja, lxw_row_t fila, lxw_col_t col, double valor, int &ancho)
{
    libro.comprobar(worksheet_write_number(hoja, fila, col, valor, nullptr));
    ancho = std::max(ancho, AnchoNumero(valor));
}

// One record's row as libxlsxwriter is given it: each cell's kind and
// value, the texts in UTF-8 one after another, each ending in a NUL.
struct FilaXlsx {
    enum Tipo : uint8_t { Vacia, Numero, Texto, Fecha };
    struct Celda {
        Tipo tipo = Vacia;
        double numero = 0;
        int desde = 0;  // of the text in `textos`
    };
    std::array<Celda, NumCampos> celdas;
    lxw_datetime fecha{};
    QByteArray textos;
};

// "Evaluaciones" and "Edificaciones": one row per record, every field in
// position order under its label. The calling thread reads the registry
// (its connection belongs to that thread) and turns each record into a
// FilaXlsx; a thread of its own hands the rows to libxlsxwriter, a batch at
// a time, so that reading and writing overlap. At most a few batches wait:
// the memory stays small whatever the size of the registry.
class HojaRegistros {
public:
    HojaRegistros(Libro &libro, const QString &nombre, const Formatos &formatos, qint64 maxFilas,
                  const QString &archivo)
        : libro_(libro), hoja_(libro.hoja(nombre)), formatos_(formatos), maxFilas_(maxFilas), archivo_(archivo),
          tuberia_(256, [this](std::vector<FilaXlsx> &lote) { escribir(lote); })
    {
        QStringList titulos;
        for (const CampoRegistro &c : Campos())
            titulos << c.etiqueta;
        anchos_ = EscribirTitulos(libro_, hoja_, 0, titulos, formatos_);
    }

    HojaRegistros(const HojaRegistros &) = delete;
    HojaRegistros &operator=(const HojaRegistros &) = delete;

    void agregar(const RegistroEvaluacion &r)
    {
        if (filas_ >= maxFilas_)  // the registry grew since it was counted
            throw ErrorDatos(MensajeLimiteXlsx(filas_ + 1, maxFilas_, archivo_));
        ++filas_;
        FilaXlsx fila;
        fila.textos.reserve(1024);
        for (int i = 0; i < NumCampos; ++i) {
            const QVariant &v = r.campo(i);
            if (v.isNull() || !v.isValid())
                continue;
            FilaXlsx::Celda &celda = fila.celdas[i];
            if (i == Pos::Fecha) {
                if (const auto d = FechaHora(v)) {
                    const QDate dia = d->date();
                    const QTime hora = d->time();
                    fila.fecha = {dia.year(), dia.month(), dia.day(), hora.hour(), hora.minute(),
                                  hora.second() + hora.msec() / 1000.0};
                    celda.tipo = FilaXlsx::Fecha;
                    anchos_[i] = std::max(anchos_[i], 16);
                    continue;
                }
            } else if (Campo(i).tipo != TipoCampo::Texto) {
                bool ok = false;
                const double d = v.toDouble(&ok);
                if (ok && std::isfinite(d)) {
                    celda.tipo = FilaXlsx::Numero;
                    celda.numero = d;
                    anchos_[i] = std::max(anchos_[i], AnchoNumero(d));
                    continue;
                }
            }
            // Text fields, and whatever a number or date field holds that is none.
            const QString texto = v.toString();
            if (texto.isEmpty())
                continue;
            if (texto.size() > MaxTextoCelda)
                libro_.comprobar(LXW_ERROR_MAX_STRING_LENGTH_EXCEEDED);
            celda.tipo = FilaXlsx::Texto;
            celda.desde = int(fila.textos.size());
            fila.textos += texto.toUtf8();
            fila.textos += '\0';
            anchos_[i] = std::max(anchos_[i], AnchoTexto(texto));
        }
        tuberia_.agregar(std::move(fila));
    }

    // Writes what is left; then the column widths, the frozen title row and the filter.
    void terminar()
    {
        tuberia_.terminar();
        FijarAnchos(libro_, hoja_, anchos_);
        worksheet_freeze_panes(hoja_, 1, 0);
        libro_.comprobar(worksheet_autofilter(hoja_, 0, 0, lxw_row_t(filas_), lxw_col_t(NumCampos - 1)));
    }

    qint64 filas() const { return filas_; }

private:
    // On the writing thread: each row of a batch, cell by cell.
    void escribir(const std::vector<FilaXlsx> &lote)
    {
        for (const FilaXlsx &f : lote) {
            ++fila_;
            for (lxw_col_t c = 0; c < NumCampos; ++c) {
                const FilaXlsx::Celda &celda = f.celdas[c];
                switch (celda.tipo) {
                case FilaXlsx::Vacia: break;
                case FilaXlsx::Numero:
                    libro_.comprobar(worksheet_write_number(hoja_, fila_, c, celda.numero, nullptr));
                    break;
                case FilaXlsx::Texto:
                    libro_.comprobar(
                        worksheet_write_string(hoja_, fila_, c, f.textos.constData() + celda.desde, nullptr));
                    break;
                case FilaXlsx::Fecha: {
                    lxw_datetime fecha = f.fecha;
                    libro_.comprobar(worksheet_write_datetime(hoja_, fila_, c, &fecha, formatos_.fecha));
                    break;
                }
                }
            }
        }
    }

    Libro &libro_;
    lxw_worksheet *hoja_;
    const Formatos &formatos_;
    qint64 maxFilas_;
    QString archivo_;
    QVector<int> anchos_;
    qint64 filas_ = 0;
    lxw_row_t fila_ = 0;                // the writing thread's
    TuberiaLotes<FilaXlsx> tuberia_;  // last: its thread uses the members above
};

// One table of the event summary: its title in the first row, the column
// titles in the second, then its rows; the counts as numbers.
void EscribirTabla(Libro &libro, const QString &nombre, const TablaResumen &t, const Formatos &f)
{
    lxw_worksheet *hoja = libro.hoja(nombre);
    libro.comprobar(worksheet_set_row(hoja, 0, 20.0, nullptr));
    libro.comprobar(worksheet_write_string(hoja, 0, 0, t.titulo.toUtf8().constData(), f.tituloTabla));
    QVector<int> anchos = EscribirTitulos(libro, hoja, 1, t.columnas, f);
    lxw_row_t fila = 2;
    for (const QStringList &valores : t.filas) {
        for (int c = 0; c < valores.size() && c < anchos.size(); ++c) {
            bool entero = false;
            const qint64 n = c >= t.columnasTexto ? valores[c].toLongLong(&entero) : 0;
            if (entero)
                EscribirNumero(libro, hoja, fila, lxw_col_t(c), double(n), anchos[c]);
            else
                EscribirTexto(libro, hoja, fila, lxw_col_t(c), valores[c], anchos[c]);
        }
        ++fila;
    }
    FijarAnchos(libro, hoja, anchos);
    worksheet_freeze_panes(hoja, 2, 0);
}

}  // namespace

QString MensajeLimiteXlsx(qint64 cantidad, qint64 limite, const QString &archivo)
{
    return QStringLiteral("No se escribió la hoja de cálculo \"%1\": la selección tiene %2 evaluaciones y una hoja "
                          "admite como máximo %3 (una fila de títulos y %3 filas de datos). Elija menos "
                          "evaluaciones, por ejemplo por fechas, o exporte en CSV.")
        .arg(Nativo(archivo), Miles(cantidad), Miles(limite));
}

QStringList NombresHojasXlsx(const QStringList &titulos)
{
    QStringList nombres;
    QSet<QString> usados;
    auto recortar = [](const QString &s, int maximo) {
        // Counted in UTF-16 units, as a spreadsheet counts (a character
        // outside the basic plane takes two), never splitting one.
        if (s.size() <= maximo)
            return s;
        qsizetype corte = maximo;
        if (s.at(corte).isLowSurrogate())
            --corte;
        QString corto = s.left(corte);
        // Cut where a word ends, when one ends far enough in.
        const qsizetype espacio = corto.lastIndexOf(QLatin1Char(' '));
        if (s.at(corte) != QLatin1Char(' ') && espacio >= maximo / 3)
            corto.truncate(espacio);
        return corto.trimmed();
    };
    for (QString t : titulos) {
        for (QChar &c : t)
            if (QStringLiteral("[]:*?/\\").contains(c) || c.category() == QChar::Other_Control)
                c = QLatin1Char('-');
        t = t.simplified();
        while (t.startsWith(QLatin1Char('\'')))
            t.remove(0, 1);
        while (t.endsWith(QLatin1Char('\'')))
            t.chop(1);
        if (t.trimmed().isEmpty())
            t = QStringLiteral("Hoja");
        QString nombre = recortar(t, MaxNombreHojaXlsx);
        for (int k = 2; usados.contains(nombre.toCaseFolded()); ++k) {
            const QString sufijo = QStringLiteral(" (%1)").arg(k);
            nombre = recortar(t, MaxNombreHojaXlsx - int(sufijo.size())) + sufijo;
        }
        usados.insert(nombre.toCaseFolded());
        nombres << nombre;
    }
    return nombres;
}

ResultadoXlsx ExportarXlsx(AlmacenRegistro &almacen, const FiltroRegistro &filtro, const QString &archivo,
                           const OpcionesXlsx &opciones)
{
    // Counted first, so that a selection too large is refused before any
    // work and with nothing written.
    const qint64 cantidad = almacen.contar(filtro);
    if (cantidad > opciones.maxFilas)
        throw ErrorDatos(MensajeLimiteXlsx(cantidad, opciones.maxFilas, archivo));
    const ResumenRegistro resumen = almacen.resumen(filtro);
    const QVector<TablaResumen> tablas = TablasResumen(resumen);

    QStringList titulos{QStringLiteral("Evaluaciones"), QStringLiteral("Edificaciones")};
    for (const TablaResumen &t : tablas)
        titulos << t.titulo;
    ResultadoXlsx resultado;
    resultado.hojas = NombresHojasXlsx(titulos);

    Libro libro(archivo, cantidad >= FilasZip64);
    const Formatos formatos(libro.libro());
    {
        HojaRegistros hoja(libro, resultado.hojas[0], formatos, opciones.maxFilas, archivo);
        almacen.recorrer(filtro, OrdenRegistro{Pos::Numero, false}, [&](const RegistroEvaluacion &r) {
            hoja.agregar(r);
            return true;
        });
        hoja.terminar();
        resultado.evaluaciones = hoja.filas();
    }
    {
        FiltroRegistro vigentes = filtro;
        vigentes.soloVigentes = true;
        HojaRegistros hoja(libro, resultado.hojas[1], formatos, opciones.maxFilas, archivo);
        almacen.recorrer(vigentes, OrdenRegistro{Pos::Numero, false}, [&](const RegistroEvaluacion &r) {
            hoja.agregar(r);
            return true;
        });
        hoja.terminar();
        resultado.edificaciones = hoja.filas();
    }
    for (int i = 0; i < tablas.size(); ++i)
        EscribirTabla(libro, resultado.hojas[2 + i], tablas[i], formatos);
    lxw_doc_properties propiedades{};
    QByteArray titulo = QByteArrayLiteral("Registro de Evaluaciones");
    propiedades.title = titulo.data();
    workbook_set_properties(libro.libro(), &propiedades);
    libro.terminar();
    return resultado;
}
