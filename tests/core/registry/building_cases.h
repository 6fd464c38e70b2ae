#pragma once
// The buildings of a registry, the same cases for the local file and the
// central registry: the key computed when saving (one building typed three
// ways), its current posting by evaluation date whatever the order of
// saving, its history newest first, the buildings within 15 m of a point,
// each record placed in its history, and a record sent twice stored once.

#include "core/registry/buildings.h"
#include "core/registry/registry_store.h"

#include <QtTest>

namespace CasosEdificaciones {

using namespace RegistroEvaluaciones;

// `registro` is empty; `base` is a complete evaluation whose address the
// cases change.
inline void Comprobar(AlmacenRegistro &registro, const RegistroEvaluacion &base)
{
        auto evaluacion = [&base](const char *fecha, const char *numero, const char *clase, double lat) {
            RegistroEvaluacion r = base;
            for (int p : {Pos::TipoAvaluo, Pos::Sector, Pos::Manzana, Pos::Predio})
                r.establecerCampo(p, QStringLiteral("--"));  // no plot: the address decides
            r.establecerCampo(Pos::Fecha, QString::fromLatin1(fecha));
            r.establecerCampo(Pos::NumeroCasa, QString::fromUtf8(numero));
            r.establecerCampo(Pos::Habitabilidad, QString::fromUtf8(clase));
            r.establecerCampo(Pos::Latitud, lat);
            r.establecerCampo(Pos::Longitud, -97.25);
            return r;
        };
        QVector<RegistroEvaluacion> lote{evaluacion("2026-12-05T09:00:00", "No. 12 - 30", "No Habitable", -12.5),
                                         evaluacion("2026-12-01T10:00:00", "12-30", "Habitable", -12.5),
                                         evaluacion("2026-12-03T16:00:00", "# 12-30", "Uso Restringido", -12.5),
                                         evaluacion("2026-12-04T08:00:00", "14-02", "Habitable", -12.50009),
                                         evaluacion("2026-12-04T08:30:00", "90-01", "Habitable", -12.5005)};
        registro.agregar(lote);
        const QString clave = lote.at(1).claveEdificacion;
        QVERIFY(!clave.isEmpty());
        QCOMPARE(lote.at(0).claveEdificacion, clave);
        QCOMPARE(lote.at(2).claveEdificacion, clave);
        QVERIFY(lote.at(3).claveEdificacion != clave);
        QCOMPARE(registro.claveDe(3), clave);
        QCOMPARE(registro.claveDe(99), QString());

        const auto e = registro.edificacion(clave);
        QVERIFY(e);
        QCOMPARE(e->evaluaciones, qint64(3));
        QCOMPARE(e->vigente.numero(), 1);
        QCOMPARE(e->vigente.texto(Pos::Habitabilidad), QStringLiteral("No Habitable"));
        QList<int> historial;
        for (const RegistroEvaluacion &r : registro.historial(clave))
            historial << r.numero();
        QCOMPARE(historial, (QList<int>{1, 3, 2}));
        QVERIFY(!registro.edificacion(QStringLiteral("direccion:otra")));
        QVERIFY(!registro.edificacion(QString()));

        QList<int> cerca;
        for (const EdificacionRegistrada &c : registro.cercanas(-12.5, -97.25, 15))
            cerca << c.vigente.numero();
        QCOMPARE(cerca, (QList<int>{1, 4}));

        QVector<RegistroEvaluacion> situados{*registro.porNumero(3), *registro.porNumero(1), *registro.porNumero(5)};
        registro.situar(situados);
        QCOMPARE(situados[0].reemplaza->numero, 2);
        QCOMPARE(situados[0].reemplazadaPor->numero, 1);
        QCOMPARE(situados[0].reemplazadaPor->habitabilidad, QStringLiteral("No Habitable"));
        QCOMPARE(situados[1].reemplaza->numero, 3);
        QVERIFY(!situados[1].reemplazadaPor);
        QVERIFY(!situados[2].reemplaza && !situados[2].reemplazadaPor);

        RegistroEvaluacion otraVez = lote.at(2);
        otraVez.establecerCampo(Pos::Numero, QVariant());
        QCOMPARE(registro.agregar(otraVez), 3);
        QCOMPARE(registro.contar(FiltroRegistro()), qint64(5));
}

}  // namespace CasosEdificaciones
