#pragma once
// The strict reader of JSON lines that orv-evaluar and "importar" share:
// one object per line, every key known, every value of its kind, and a
// Spanish message naming the key and where it stands when a line is refused.

#include <QJsonArray>
#include <QJsonObject>
#include <QLatin1String>
#include <QList>
#include <QStringList>
#include <initializer_list>

namespace LineaJson {

// A line refused: its Spanish messages (one, or every warning of a check),
// and the codes of the ratings missing when that is the reason.
struct Rechazo {
    QStringList errores;
    QList<int16_t> faltan;
};
[[noreturn]] void Rechazar(const QString &mensaje);

// The object of one line (without its line end); refuses anything else.
QJsonObject Objeto(const QByteArray &linea);

// Where a key stands, for the messages: the top level, the element `indice`
// of the list `lista`, or the object `objeto` of the line. Only written out
// when a line is refused.
struct Lugar {
    const char *lista = nullptr;
    qsizetype indice = 0;
    const char *objeto = nullptr;

    // After a key's name: « en el elemento 2 de "variables"», « en "edificacion"».
    QString deClave() const;
    // After a value's name: « en el elemento 2 de "variables"», « de "edificacion"».
    QString deValor() const;
};

// A whole number within [minimo, maximo]; false for any other JSON value.
bool LeerEntero(const QJsonValue &v, int minimo, int maximo, int &valor);
// A required whole number within [minimo, maximo].
int Entero(const QJsonValue &v, const char *clave, int minimo, int maximo, const Lugar &lugar = {});
// The same, `omision` when the key is absent.
int EnteroOpcional(const QJsonValue &v, const char *clave, int minimo, int maximo, int omision,
                   const Lugar &lugar = {});
// A list; empty when the key is absent.
QJsonArray Lista(const QJsonValue &v, const char *clave);
// The object under `nombre` in `raiz`; empty when the key is absent.
QJsonObject Subobjeto(const QJsonObject &raiz, const char *nombre);

// Refuses any key of `o` outside `permitidas` and `otras`: a misspelt key
// must not pass as an omitted one. `presentes` is how many of `permitidas`
// the object holds (-1: not counted); when that is all it holds, there is
// nothing to look for.
void SoloClaves(const QJsonObject &o, qsizetype presentes, std::initializer_list<QLatin1String> permitidas,
                const Lugar &lugar = {}, const QList<QLatin1String> &otras = {});

}  // namespace LineaJson
