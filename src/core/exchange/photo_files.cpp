#include "core/exchange/photo_files.h"

#include "core/data/record_set.h"
#include "core/exchange/csv_export.h"

#include <QDir>
#include <QSaveFile>

namespace ArchivosFotos {

namespace {

void GuardarArchivo(const QString &archivo, const QByteArray &datos)
{
    QSaveFile f(archivo);
    if (!f.open(QIODevice::WriteOnly) || f.write(datos) != datos.size() || !f.commit())
        throw ErrorDatos(QStringLiteral("No se puede escribir el archivo \"%1\": %2.")
                             .arg(QDir::toNativeSeparators(archivo), f.errorString()));
}

}  // namespace

QString Nombre(const FotoEvaluacion &foto)
{
    // Letters without their accents ("ñ" as "n"), digits, and one '-'
    // between words.
    const QString descompuesta = foto.leyenda.normalized(QString::NormalizationForm_KD).toLower();
    QString corta;
    for (const QChar c : descompuesta) {
        if (c.isMark())
            continue;
        if ((c >= QLatin1Char('a') && c <= QLatin1Char('z')) || (c >= QLatin1Char('0') && c <= QLatin1Char('9')))
            corta += c;
        else if (!corta.isEmpty() && !corta.endsWith(QLatin1Char('-')))
            corta += QLatin1Char('-');
        if (corta.size() >= 40)
            break;
    }
    while (corta.endsWith(QLatin1Char('-')))
        corta.chop(1);
    const QString orden = QStringLiteral("%1").arg(foto.orden, 2, 10, QLatin1Char('0'));
    return corta.isEmpty() ? orden + QStringLiteral(".jpg") : orden + QLatin1Char('-') + corta + QStringLiteral(".jpg");
}

QStringList Escribir(AlmacenRegistro &registro, int32_t numero, const QString &carpeta)
{
    const QVector<FotoEvaluacion> lista = registro.fotos(numero);
    if (lista.isEmpty())
        return {};
    if (!QDir().mkpath(carpeta))
        throw ErrorDatos(QStringLiteral("No se puede crear la carpeta \"%1\".").arg(QDir::toNativeSeparators(carpeta)));
    QStringList nombres;
    QByteArray indice = "archivo,orden,leyenda,fecha_toma,latitud,longitud,sha256\r\n";
    for (const FotoEvaluacion &f : lista) {
        const std::optional<FotoEvaluacion> entera = registro.foto(f.uuid);
        if (!entera)
            throw ErrorDatos(QStringLiteral("La foto %1 de la evaluación N.º %2 ya no está en la %3.")
                                 .arg(f.orden)
                                 .arg(numero)
                                 .arg(registro.descripcion()));
        const QString nombre = Nombre(f);
        GuardarArchivo(QDir(carpeta).filePath(nombre), entera->jpeg);
        nombres << nombre;
        const QVariant nulo;
        indice += CampoCsv(nombre) + ',' + CampoCsv(f.orden) + ',' + CampoCsv(f.leyenda) + ',' +
                  CampoCsv(Fotos::TextoFecha(f.tomadaEn)) + ',' + CampoCsv(f.latitud ? QVariant(*f.latitud) : nulo) +
                  ',' + CampoCsv(f.longitud ? QVariant(*f.longitud) : nulo) + ',' + CampoCsv(f.sha256) + "\r\n";
    }
    GuardarArchivo(QDir(carpeta).filePath(Indice), indice);
    return nombres;
}

QHash<int32_t, QStringList> EscribirSeleccion(AlmacenRegistro &registro, const FiltroRegistro &filtro,
                                              const QString &carpetaFotos, const QString &carpetaArchivo)
{
    // The numbers first: the photos are read after the selection, not
    // while it is being read.
    QVector<int32_t> numeros;
    registro.recorrer(filtro, OrdenRegistro{RegistroEvaluaciones::Pos::Numero, false}, [&](const RegistroEvaluacion &r) {
        numeros << r.numero();
        return true;
    });
    QHash<int32_t, QStringList> rutas;
    const QDir base(carpetaArchivo);
    for (const int32_t n : std::as_const(numeros)) {
        const QString carpeta = QDir(carpetaFotos).filePath(QString::number(n));
        const QStringList nombres = Escribir(registro, n, carpeta);
        QStringList relativas;
        for (const QString &nombre : nombres)
            relativas << QDir::fromNativeSeparators(base.relativeFilePath(QDir(carpeta).filePath(nombre)));
        if (!relativas.isEmpty())
            rutas.insert(n, relativas);
    }
    return rutas;
}

}  // namespace ArchivosFotos
