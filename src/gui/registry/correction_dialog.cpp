#include "gui/registry/correction_dialog.h"

#include "core/registry/corrections.h"
#include "gui/common/message_box.h"
#include "gui/common/widget_support.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

using namespace RegistroEvaluaciones;

namespace {
const QString Titulo = QStringLiteral("Corregir la identificación");
}

DialogoCorreccion::DialogoCorreccion(const RegistroEvaluacion &registro, QWidget *padre)
    : QDialog(padre), registro_(registro)
{
    setObjectName(QStringLiteral("DialogoCorreccion"));
    setWindowTitle(registro.pendiente ? Titulo
                                      : QStringLiteral("%1 de la evaluación N.º %2").arg(Titulo).arg(registro.numero()));
    auto *capa = new QVBoxLayout(this);
    auto *explicacion = new QLabel(
        QStringLiteral("Solo se corrige la identificación: el predio, la dirección, los nombres, los usos y las "
                       "coordenadas. La fecha, la edificación, las calificaciones y los resultados necesitan una nueva "
                       "evaluación. La corrección queda registrada con el valor anterior, el motivo, quién la hizo y "
                       "cuándo."),
        this);
    explicacion->setObjectName(QStringLiteral("lblExplicacion"));
    explicacion->setWordWrap(true);
    capa->addWidget(explicacion);

    cboCampo = new QComboBox(this);
    Nombrar(cboCampo, QStringLiteral("cboCampo"), QStringLiteral("Campo"));
    for (const CampoRegistro &c : Campos())
        if (Correcciones::Corregible(c.posicion))
            cboCampo->addItem(c.etiqueta, c.columna);
    lblActual = new QLabel(this);
    lblActual->setObjectName(QStringLiteral("lblActual"));
    lblActual->setTextFormat(Qt::PlainText);
    lblActual->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    lblActual->setFocusPolicy(Qt::TabFocus);
    txtValor = new QLineEdit(this);
    Nombrar(txtValor, QStringLiteral("txtValor"), QStringLiteral("Valor corregido"));
    txtMotivo = new QLineEdit(this);
    Nombrar(txtMotivo, QStringLiteral("txtMotivo"), QStringLiteral("Motivo de la corrección"));
    txtMotivo->setPlaceholderText(QStringLiteral("Obligatorio: por qué se corrige"));

    auto *formulario = new QFormLayout;
    auto fila = [&](const QString &texto, QWidget *control) {
        auto *r = new QLabel(texto, this);
        Etiquetar(r, control);
        formulario->addRow(r, control);
    };
    fila(QStringLiteral("&Campo"), cboCampo);
    fila(QStringLiteral("Valor actual"), lblActual);
    fila(QStringLiteral("&Valor corregido"), txtValor);
    fila(QStringLiteral("&Motivo"), txtMotivo);
    capa->addLayout(formulario);

    auto *botones = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    Nombrar(botones->button(QDialogButtonBox::Ok), QStringLiteral("btnCorregir"), QStringLiteral("Corregir"));
    botones->button(QDialogButtonBox::Ok)->setText(QStringLiteral("Corregir"));
    Nombrar(botones->button(QDialogButtonBox::Cancel), QStringLiteral("btnCancelar"), QStringLiteral("Cancelar"));
    botones->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Cancelar"));
    connect(botones, &QDialogButtonBox::accepted, this, &DialogoCorreccion::accept);
    connect(botones, &QDialogButtonBox::rejected, this, &QDialog::reject);
    capa->addWidget(botones);

    connect(cboCampo, &QComboBox::currentIndexChanged, this, [this] { mostrarCampo(); });
    mostrarCampo();
    resize(560, sizeHint().height());
}

void DialogoCorreccion::mostrarCampo()
{
    const int p = PosicionDeColumna(columna());
    const QString actual = p < 0 ? QString() : Correcciones::Texto(registro_.campo(p));
    const QString visto = actual.isEmpty() ? QStringLiteral("(vacío)") : actual;
    lblActual->setText(visto);
    lblActual->setAccessibleName(QStringLiteral("Valor actual: %1").arg(visto));
    txtValor->setText(actual);
    txtValor->selectAll();
}

QString DialogoCorreccion::columna() const { return cboCampo->currentData().toString(); }
QString DialogoCorreccion::valor() const { return txtValor->text(); }
QString DialogoCorreccion::motivo() const { return txtMotivo->text().trimmed(); }

void DialogoCorreccion::accept()
{
    const int p = PosicionDeColumna(columna());
    if (motivo().isEmpty()) {
        Mensaje::mostrar(this, QStringLiteral("Escriba el motivo de la corrección: toda corrección lo guarda."),
                         Mensaje::Botones::Aceptar, Titulo);
        txtMotivo->setFocus();
        return;
    }
    if (p >= 0 && valor() == Correcciones::Texto(registro_.campo(p))) {
        Mensaje::mostrar(this, QStringLiteral("El valor corregido es igual al actual: no hay nada que corregir."),
                         Mensaje::Botones::Aceptar, Titulo);
        txtValor->setFocus();
        return;
    }
    QDialog::accept();
}
