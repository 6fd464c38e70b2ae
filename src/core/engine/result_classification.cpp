#include "core/engine/result_classification.h"

#include "core/data/record_set.h"
#include "core/engine/evaluation_driver.h"

#include <algorithm>
#include <array>

namespace {

// Every comment code, made once: an evaluation only picks them. The texts
// live in the catalogue's own storage and the strings only point at it, so
// handing a code to the state costs no reference counting.
struct CatalogoCodigos {
    std::array<QString, 25> DE, EE, H, R, DEOA, HOA, ROA;
    std::array<QString, 125> MS, MSOA;
    std::array<QString, 3> RANNO;

    CatalogoCodigos()
    {
        for (int a = 0; a < 5; ++a) {
            for (int b = 0; b < 5; ++b) {
                const QString dos = QString::number(a) + QString::number(b);
                DE[a * 5 + b] = Fijo(QStringLiteral("DE ") + dos);
                EE[a * 5 + b] = Fijo(QStringLiteral("EE ") + dos);
                H[a * 5 + b] = Fijo(QStringLiteral("H ") + dos);
                R[a * 5 + b] = Fijo(QStringLiteral("R ") + dos);
                DEOA[a * 5 + b] = Fijo(QStringLiteral("DEOA ") + dos);
                HOA[a * 5 + b] = Fijo(QStringLiteral("HOA ") + dos);
                ROA[a * 5 + b] = Fijo(QStringLiteral("ROA ") + dos);
                for (int c = 0; c < 5; ++c) {
                    MS[a * 25 + b * 5 + c] = Fijo(QStringLiteral("MS ") + dos + QString::number(c));
                    MSOA[a * 25 + b * 5 + c] = Fijo(QStringLiteral("MSOA ") + dos + QString::number(c));
                }
            }
        }
        for (int k = 0; k < 3; ++k)
            RANNO[k] = Fijo(QStringLiteral("RANNO") + QString::number(k));
    }

private:
    // Room for every code: 7 families of 25, 2 of 125 and 3 remarks, at
    // most 8 characters each.
    std::array<QChar, (7 * 25 + 2 * 125 + 3) * 8> almacen_{};
    qsizetype usado_ = 0;

    QString Fijo(const QString &codigo)
    {
        QChar *inicio = almacen_.data() + usado_;
        std::copy(codigo.cbegin(), codigo.cend(), inicio);
        usado_ += codigo.size();
        return QString::fromRawData(inicio, codigo.size());
    }
};

const CatalogoCodigos &Catalogo()
{
    static const CatalogoCodigos catalogo;
    return catalogo;
}

bool EnEscala(int16_t nivel) { return nivel >= 0 && nivel <= 4; }

void LeerTabla(const QString &archivo, const QString &tabla, TablaComentarios &destino)
{
    ConjuntoRegistros registros(archivo, tabla);
    for (registros.moverPrimero(); !registros.finDeTabla(); registros.moverSiguiente()) {
        const QVariant codigo = registros.campo(0);
        if (codigo.isNull())  // a record without a code matches nothing
            continue;
        destino.insert_or_assign(codigo.toString(), registros.campoTexto(1));  // the later record wins
    }
}

// The label takes the comment of the code; without one it keeps its caption.
void Buscar(const TablaComentarios &tabla, const QString &codigo, QString &etiqueta)
{
    const auto it = tabla.find(codigo);
    if (it != tabla.end())
        etiqueta = it->second;
}

}  // namespace

std::size_t HashCodigoComentario::operator()(const QString &codigo) const noexcept
{
    std::size_t h = 14695981039346656037ull;
    for (const QChar c : codigo) {
        h ^= c.unicode();
        h *= 1099511628211ull;
    }
    return h;
}

TablasComentarios LeerTablasComentarios(const QString &archivoComentarios)
{
    TablasComentarios t;
    LeerTabla(archivoComentarios, QStringLiteral("Daño Edificio"), t.dannoEdificio);
    LeerTabla(archivoComentarios, QStringLiteral("Estado Global"), t.estadoGlobal);
    LeerTabla(archivoComentarios, QStringLiteral("Habitabilidad"), t.habitabilidad);
    LeerTabla(archivoComentarios, QStringLiteral("Reparabilidad"), t.reparabilidad);
    LeerTabla(archivoComentarios, QStringLiteral("Ref Anno"), t.refAnno);
    LeerTabla(archivoComentarios, QStringLiteral("Medidas de Seguridad"), t.medidasSeguridad);
    return t;
}

void ComentariosResultados(EstadoEvaluacion &e, int indiceAnno, const TablasComentarios &comentarios,
                           EtiquetasResultados &et)
{
    const CatalogoCodigos &cat = Catalogo();
    const int16_t S = e.NivelDannoEstructural, N = e.NivelDannoNoEstructural, G = e.NivelSuelo;
    const int16_t P = e.NivelPreexistente, B = e.NivelDannoEdificio, E = e.NivelEstadoGlobal;

    // A year remark belongs to this building only.
    e.CodRefAnno.clear();

    // A level outside the scale leaves its code as it was.
    if (EnEscala(S) && EnEscala(N))
        e.CodDannoEdificio = cat.DE[S * 5 + N];
    if (EnEscala(B) && EnEscala(G)) {
        e.CodEstadoGlobal = cat.EE[B * 5 + G];
        e.CodHabitabilidad = cat.H[B * 5 + G];
    }
    if (EnEscala(E) && EnEscala(P))
        e.CodReparabilidad = cat.R[E * 5 + P];
    if ((E == 0 || E == 1) && indiceAnno >= 0 && indiceAnno <= 3)
        e.CodRefAnno = indiceAnno < 3 ? cat.RANNO[indiceAnno] : QString();
    if (EnEscala(S) && EnEscala(N) && EnEscala(G))
        e.CodMedidasSeguridad = cat.MS[S * 25 + N * 5 + G];

    // Other non-structural elements in grave state: their own comments, for
    // the combinations where the building itself is in good shape.
    if (e.OtrosMasGraves == 1) {
        if (S >= 0 && S <= 1 && N >= 0 && N <= 2)
            e.CodDannoEdificio = cat.DEOA[S * 5 + N];
        if (B >= 0 && B <= 1 && G >= 0 && G <= 2)
            e.CodHabitabilidad = cat.HOA[B * 5 + G];
        if (E >= 0 && E <= 1 && EnEscala(P))
            e.CodReparabilidad = cat.ROA[E * 5 + P];
        if (S >= 0 && S <= 1 && N >= 0 && N <= 1 && G >= 0 && G <= 2)
            e.CodMedidasSeguridad = cat.MSOA[S * 25 + N * 5 + G];
    }

    Buscar(comentarios.dannoEdificio, e.CodDannoEdificio, et.lblComDaEdificio);
    Buscar(comentarios.estadoGlobal, e.CodEstadoGlobal, et.lblComEstGlobal);
    Buscar(comentarios.habitabilidad, e.CodHabitabilidad, et.lblComHabitabilidad);
    Buscar(comentarios.reparabilidad, e.CodReparabilidad, et.lblComReparaciones);
    if (!e.CodRefAnno.isEmpty()) {
        const auto it = comentarios.refAnno.find(e.CodRefAnno);
        if (it != comentarios.refAnno.end())
            et.lblComReparaciones += QLatin1Char(' ') + it->second;
    }
    Buscar(comentarios.medidasSeguridad, e.CodMedidasSeguridad, et.lblComSeguridad);
}
