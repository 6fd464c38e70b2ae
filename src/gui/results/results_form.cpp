#include "gui/results/results_form.h"

#include "gui/common/message_box.h"
#include "gui/common/widget_support.h"
#include "gui/saving/additional_info_form.h"

#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QTabWidget>
#include <QVBoxLayout>

namespace {

const QString PreguntaSalida = QStringLiteral("Vio las tres carpetas de resultados?") + QLatin1Char('\n') +
                               QStringLiteral("Desea descargar los resultados de esta evaluación y salir?") +
                               QLatin1Char('\n') +
                               QStringLiteral("los resultados de esta evaluación no seran guardados");

QLabel *etiquetaFija(const QString &nombre, const QString &texto, QWidget *padre = nullptr)
{
    auto *l = new QLabel(texto, padre);
    l->setObjectName(nombre);
    return l;
}

QLabel *encabezado(const QString &nombre, const QString &texto)
{
    QLabel *l = etiquetaFija(nombre, texto);
    QFont f = l->font();
    f.setBold(true);
    l->setFont(f);
    return l;
}

// Navigation row of a tab: "<< Devolver" on the left, "Continuar >>" on the right.
QHBoxLayout *filaNavegacion(QPushButton *atras, QPushButton *adelante)
{
    auto *fila = new QHBoxLayout;
    if (atras)
        fila->addWidget(atras);
    fila->addStretch(1);
    if (adelante)
        fila->addWidget(adelante);
    return fila;
}

// The arrow and page keys pressed on a comment scroll the area around it.
class DesplazarConTeclas : public QObject {
public:
    DesplazarConTeclas(QScrollArea *area, QObject *padre) : QObject(padre), area_(area) {}

protected:
    bool eventFilter(QObject *objeto, QEvent *evento) override
    {
        if (evento->type() != QEvent::KeyPress)
            return QObject::eventFilter(objeto, evento);
        QScrollBar *barra = area_->verticalScrollBar();
        switch (static_cast<QKeyEvent *>(evento)->key()) {
        case Qt::Key_Up: barra->triggerAction(QAbstractSlider::SliderSingleStepSub); return true;
        case Qt::Key_Down: barra->triggerAction(QAbstractSlider::SliderSingleStepAdd); return true;
        case Qt::Key_PageUp: barra->triggerAction(QAbstractSlider::SliderPageStepSub); return true;
        case Qt::Key_PageDown: barra->triggerAction(QAbstractSlider::SliderPageStepAdd); return true;
        case Qt::Key_Home: barra->triggerAction(QAbstractSlider::SliderToMinimum); return true;
        case Qt::Key_End: barra->triggerAction(QAbstractSlider::SliderToMaximum); return true;
        default: return QObject::eventFilter(objeto, evento);
        }
    }

private:
    QScrollArea *area_;
};

}  // namespace

QColor Form7::colorInactivo() { return QColor(212, 208, 200); }

Form7::Form7(EstadoEvaluacion &estado, const EtiquetasResultados &etiquetas, const DatosEdificacion &datos,
             QWidget *padre)
    : QDialog(padre), estado_(estado), datos_(datos)
{
    setObjectName(QStringLiteral("Form7"));
    setWindowTitle(QStringLiteral("ORV"));
    setModal(true);

    QLabel *titulo = encabezado(QStringLiteral("Label5"), QStringLiteral("RESULTADOS"));
    QFont f = titulo->font();
    f.setPointSizeF(f.pointSizeF() * 1.4);
    titulo->setFont(f);
    titulo->setAlignment(Qt::AlignCenter);

    SSRes = new QTabWidget;
    Nombrar(SSRes, QStringLiteral("SSRes"), QStringLiteral("Carpetas de resultados"));
    SSRes->addTab(crearCarpetaResultados(etiquetas), QStringLiteral("Resultados"));
    SSRes->addTab(crearCarpetaEstado(etiquetas), QStringLiteral("Estado"));
    SSRes->addTab(crearCarpetaHabitabilidad(etiquetas), QStringLiteral("Habitabilidad"));
    SSRes->addTab(crearCarpetaReparabilidad(etiquetas), QStringLiteral("Reparabilidad"));

    // Outside the tabs, so that both stay at hand whichever tab is shown.
    auto *botones = new QHBoxLayout;
    botones->addStretch(1);
    const QStringList captions = {QStringLiteral("Aceptar"), QStringLiteral("Guardar Información")};
    for (int i = 0; i < captions.size(); ++i) {
        auto *b = new QPushButton(captions[i]);
        Nombrar(b, NombreElemento(QStringLiteral("btnAceptar"), i), captions[i]);
        b->setToolTip(QStringLiteral("Regresar a Menu Principal"));
        b->setAutoDefault(false);
        connect(b, &QPushButton::clicked, this, [this, i]() { btnAceptar_Click(i); });
        botones->addWidget(b);
    }

    auto *principal = new QVBoxLayout(this);
    principal->addWidget(titulo);
    principal->addWidget(SSRes, 1);
    principal->addLayout(botones);

    resize(800, 600);
    seleccionarCarpeta(0);
}

void Form7::seleccionarCarpeta(int carpeta)
{
    if (carpeta >= 0 && carpeta < NumCarpetas)
        SSRes->setCurrentIndex(carpeta);
}

int Form7::carpetaActual() const { return SSRes->currentIndex(); }

QLabel *Form7::etiquetaValor(const QString &nombre, const QString &texto, const QString &nombreAccesible)
{
    auto *l = new QLabel(texto);
    Nombrar(l, nombre, nombreAccesible);
    l->setTextFormat(Qt::PlainText);
    l->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    l->setTextInteractionFlags(Qt::TextSelectableByMouse);
    l->setMinimumWidth(Twips(1500));
    l->setMargin(3);
    QFont f = l->font();
    f.setBold(true);
    l->setFont(f);
    // A result reads like a filled-in box; a disabled one stays legible on
    // the inactive grey.
    QPalette p = l->palette();
    p.setColor(QPalette::Window, p.color(QPalette::Active, QPalette::Base));
    // (a selectable label paints its text in the Text role)
    p.setColor(QPalette::Disabled, QPalette::WindowText, QColor(110, 110, 110));
    p.setColor(QPalette::Disabled, QPalette::Text, QColor(110, 110, 110));
    l->setPalette(p);
    l->setAutoFillBackground(true);
    return l;
}

void Form7::marcarInactivo(QLabel *etiqueta, bool inactivo)
{
    if (!inactivo)
        return;
    QPalette p = etiqueta->palette();
    p.setColor(QPalette::Window, colorInactivo());
    etiqueta->setPalette(p);
}

QWidget *Form7::areaComentario(const QString &nombre, const QString &texto, QLabel *rotulo)
{
    // Comments run to several sentences: they wrap to the width of the tab
    // and scroll when they are longer than the space left, so nothing is cut.
    // Tab stops on the comment itself, which a screen reader reads labelled
    // by its heading; the arrow and page keys scroll it.
    auto *comentario = new QLabel(texto);
    Nombrar(comentario, nombre);
    RotularValor(comentario, rotulo);
    comentario->setTextFormat(Qt::PlainText);
    comentario->setWordWrap(true);
    comentario->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    comentario->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    comentario->setFocusPolicy(Qt::StrongFocus);

    auto *contenido = new QWidget;
    auto *capa = new QVBoxLayout(contenido);
    capa->setContentsMargins(6, 4, 6, 4);
    capa->addWidget(comentario);
    capa->addStretch(1);

    auto *area = new QScrollArea;
    area->setObjectName(QStringLiteral("area_") + nombre);
    area->setWidget(contenido);
    area->setWidgetResizable(true);
    area->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    area->setBackgroundRole(QPalette::Base);
    area->setMinimumHeight(Twips(1400));
    area->setFocusPolicy(Qt::NoFocus);
    comentario->installEventFilter(new DesplazarConTeclas(area, comentario));
    return area;
}

QPushButton *Form7::botonCarpeta(const QString &nombre, const QString &texto, int destino)
{
    auto *b = new QPushButton(texto);
    Nombrar(b, nombre, texto);
    b->setAutoDefault(false);
    connect(b, &QPushButton::clicked, this, [this, destino]() { seleccionarCarpeta(destino); });
    return b;
}

QWidget *Form7::crearCarpetaResultados(const EtiquetasResultados &e)
{
    auto *frmResultados = new QGroupBox(QStringLiteral("Daño"));
    frmResultados->setObjectName(QStringLiteral("frmResultados"));
    auto *danno = new QGridLayout(frmResultados);
    danno->setColumnStretch(3, 1);
    danno->setHorizontalSpacing(Twips(180));

    struct Fila {
        const char *etiqueta, *texto, *nivel, *indice;
        const QString &textoNivel, &textoIndice;
        bool inactivoNivel, inactivoIndice, habilitadoNivel, habilitadoIndice;
    };
    const Fila filas[] = {
        {"Label1", "Daño Estructural", "lblDE", "lblIndiceEstructura", e.lblDE, e.lblIndiceEstructura, false, false,
         true, true},
        {"Label2", "Daño No Estructural", "lblDNE", "lblIndiceNoestructural", e.lblDNE, e.lblIndiceNoestructural,
         false, false, true, true},
        {"Label29", "Condiciones del  Suelo", "lblES", "lblIndiceSuelo", e.lblES, e.lblIndiceSuelo, e.inactivoES,
         e.inactivoIndiceSuelo, e.habilitadoES, e.habilitadoIndiceSuelo},
        {"Label28", "Condiciones Preexistentes", "lblCP", "lblIndicePreexistente", e.lblCP, e.lblIndicePreexistente,
         e.inactivoCP, e.inactivoIndicePreexistente, e.habilitadoCP, e.habilitadoIndicePreexistente},
    };
    int fila = 0;
    for (const Fila &f : filas) {
        const QString texto = QString::fromUtf8(f.texto);
        QLabel *fija = etiquetaFija(QString::fromLatin1(f.etiqueta), texto);
        QLabel *nivel = etiquetaValor(QString::fromLatin1(f.nivel), f.textoNivel, QString());
        QLabel *indice = etiquetaValor(QString::fromLatin1(f.indice), f.textoIndice, QString());
        RotularValor(nivel, fija);
        RotularValor(indice, fija);
        marcarInactivo(nivel, f.inactivoNivel);
        marcarInactivo(indice, f.inactivoIndice);
        nivel->setEnabled(f.habilitadoNivel);
        indice->setEnabled(f.habilitadoIndice);
        danno->addWidget(fija, fila, 0);
        danno->addWidget(nivel, fila, 1);
        danno->addWidget(indice, fila, 2);
        ++fila;
    }

    auto *Frame3 = new QGroupBox(QStringLiteral("Riesgo"));
    Frame3->setObjectName(QStringLiteral("Frame3"));
    auto *riesgo = new QGridLayout(Frame3);
    riesgo->setColumnStretch(2, 1);
    riesgo->setHorizontalSpacing(Twips(180));
    struct FilaRiesgo {
        const char *etiqueta, *texto, *valor;
        const QString &textoValor;
    };
    const FilaRiesgo filasRiesgo[] = {
        {"Label8", "Riesgo Estructural", "lblRiesgoEstructural", e.lblRiesgoEstructural},
        {"Label9", "Riesgo No Estructural", "lblRiesgoNoEstruct", e.lblRiesgoNoEstruct},
        {"Label10", "Riesgo Geotécnico", "lblRiesgoGeotec", e.lblRiesgoGeotec},
    };
    fila = 0;
    for (const FilaRiesgo &f : filasRiesgo) {
        QLabel *fija = etiquetaFija(QString::fromLatin1(f.etiqueta), QString::fromUtf8(f.texto));
        QLabel *valor = etiquetaValor(QString::fromLatin1(f.valor), f.textoValor, QString());
        RotularValor(valor, fija);
        riesgo->addWidget(fija, fila, 0);
        riesgo->addWidget(valor, fila, 1);
        ++fila;
    }
    // Level and risk names share one column width, wide enough for the
    // longest name, so that both frames line up.
    const int anchoFijas = QFontMetrics(font()).horizontalAdvance(QStringLiteral("Condiciones Preexistentes")) + 8;
    QFont negrita = font();
    negrita.setBold(true);
    const int anchoNombres =
        QFontMetrics(negrita).horizontalAdvance(QStringLiteral("Bajo, después de medidas")) + Twips(300);
    for (QGridLayout *g : {danno, riesgo}) {
        g->setColumnMinimumWidth(0, anchoFijas);
        g->setColumnMinimumWidth(1, anchoNombres);
    }

    auto *pagina = new QWidget;
    pagina->setObjectName(QStringLiteral("carpetaResultados"));
    auto *capa = new QVBoxLayout(pagina);
    capa->addWidget(frmResultados);
    capa->addWidget(Frame3);
    capa->addStretch(1);
    capa->addLayout(filaNavegacion(nullptr, botonCarpeta(QStringLiteral("btnSiguente"),
                                                          QStringLiteral("Continuar >>"), 1)));
    return pagina;
}

QWidget *Form7::crearCarpetaEstado(const EtiquetasResultados &e)
{
    auto *capa = new QGridLayout;
    capa->setColumnStretch(2, 1);

    QLabel *Label4 = encabezado(QStringLiteral("Label4"), QStringLiteral("Daño en el edificio"));
    QLabel *lblDaEdificio = etiquetaValor(QStringLiteral("lblDaEdificio"), e.lblDaEdificio, QString());
    lblDaEdificio->setToolTip(QStringLiteral("Tiene en cuenta el daño en elementos estructurales y no estructurales."));
    RotularValor(lblDaEdificio, Label4);
    capa->addWidget(Label4, 0, 0);
    capa->addWidget(lblDaEdificio, 0, 1);
    capa->addWidget(areaComentario(QStringLiteral("lblComDaEdificio"), e.lblComDaEdificio, Label4), 1, 0, 1, 3);
    capa->setRowStretch(1, 1);

    QLabel *Label6 = encabezado(QStringLiteral("Label6"), QStringLiteral("Estado global"));
    QLabel *lblFinal = etiquetaValor(QStringLiteral("lblFinal"), e.lblFinal, QString());
    lblFinal->setToolTip(QStringLiteral("Tiene en cuenta el daño en el edifcio y el estado del terreno."));
    RotularValor(lblFinal, Label6);
    capa->addWidget(Label6, 2, 0);
    capa->addWidget(lblFinal, 2, 1);
    capa->addWidget(areaComentario(QStringLiteral("lblComEstGlobal"), e.lblComEstGlobal, Label6), 3, 0, 1, 3);
    capa->setRowStretch(3, 1);

    auto *pagina = new QWidget;
    pagina->setObjectName(QStringLiteral("carpetaEstado"));
    auto *vertical = new QVBoxLayout(pagina);
    vertical->addLayout(capa, 1);
    vertical->addLayout(filaNavegacion(botonCarpeta(QStringLiteral("btnDe"), QStringLiteral("<< Devolver"), 0),
                                       botonCarpeta(QStringLiteral("Command1"), QStringLiteral("Continuar >>"), 2)));
    return pagina;
}

QWidget *Form7::crearCarpetaHabitabilidad(const EtiquetasResultados &e)
{
    auto *Frame1 = new QGroupBox;
    Frame1->setObjectName(QStringLiteral("Frame1"));
    auto *capa = new QGridLayout(Frame1);
    capa->setColumnStretch(2, 1);

    QLabel *Label3 = encabezado(QStringLiteral("Label3"), QStringLiteral("Habitabilidad del edificio"));
    QLabel *nivel = etiquetaValor(QStringLiteral("lblLingHabitability"), e.lblLingHabitability, QString());
    RotularValor(nivel, Label3);
    capa->addWidget(Label3, 0, 0);
    capa->addWidget(nivel, 0, 1);

    QLabel *lblHabitabilidad = encabezado(QStringLiteral("lblHabitabilidad"), QStringLiteral("Habitabilidad"));
    QWidget *comHabitabilidad =
        areaComentario(QStringLiteral("lblComHabitabilidad"), e.lblComHabitabilidad, lblHabitabilidad);
    capa->addWidget(lblHabitabilidad, 1, 0, 1, 3);
    capa->addWidget(comHabitabilidad, 2, 0, 1, 3);
    capa->setRowStretch(2, 1);

    QLabel *lblSeguridad = encabezado(QStringLiteral("lblSeguridad"), QStringLiteral("Medidas de seguridad"));
    QWidget *comSeguridad = areaComentario(QStringLiteral("lblComSeguridad"), e.lblComSeguridad, lblSeguridad);
    capa->addWidget(lblSeguridad, 3, 0, 1, 3);
    capa->addWidget(comSeguridad, 4, 0, 1, 3);
    capa->setRowStretch(4, 1);

    auto *pagina = new QWidget;
    pagina->setObjectName(QStringLiteral("carpetaHabitabilidad"));
    auto *vertical = new QVBoxLayout(pagina);
    vertical->addWidget(Frame1, 1);
    vertical->addLayout(filaNavegacion(botonCarpeta(QStringLiteral("Command2"), QStringLiteral("<< Devolver"), 1),
                                       botonCarpeta(QStringLiteral("Command3"), QStringLiteral("Continuar >>"), 3)));
    return pagina;
}

QWidget *Form7::crearCarpetaReparabilidad(const EtiquetasResultados &e)
{
    auto *Frame2 = new QGroupBox;
    Frame2->setObjectName(QStringLiteral("Frame2"));
    auto *capa = new QGridLayout(Frame2);
    capa->setColumnStretch(2, 1);

    QLabel *Label7 = encabezado(QStringLiteral("Label7"), QStringLiteral("Reparabilidad del edificio"));
    QLabel *nivel = etiquetaValor(QStringLiteral("lblLingReparability"), e.lblLingReparability, QString());
    RotularValor(nivel, Label7);
    capa->addWidget(Label7, 0, 0);
    capa->addWidget(nivel, 0, 1);

    QLabel *lblReparaciones = encabezado(QStringLiteral("lblReparaciones"), QStringLiteral("Reparaciones"));
    QWidget *comentario = areaComentario(QStringLiteral("lblComReparaciones"), e.lblComReparaciones, lblReparaciones);
    capa->addWidget(lblReparaciones, 1, 0, 1, 3);
    capa->addWidget(comentario, 2, 0, 1, 3);
    capa->setRowStretch(2, 1);

    auto *pagina = new QWidget;
    pagina->setObjectName(QStringLiteral("carpetaReparabilidad"));
    auto *vertical = new QVBoxLayout(pagina);
    vertical->addWidget(Frame2, 1);
    vertical->addLayout(
        filaNavegacion(botonCarpeta(QStringLiteral("Command4"), QStringLiteral("<< Devolver"), 2), nullptr));
    return pagina;
}

bool Form7::confirmarSalida()
{
    return Mensaje::mostrar(this, PreguntaSalida, Mensaje::Botones::SiNo) == Mensaje::Respuesta::Si;
}

void Form7::btnAceptar_Click(int indice)
{
    if (indice == 0) {
        if (confirmarSalida())
            QDialog::reject();
        return;
    }
    if (indice == 1) {
        // A fresh additional information form each time: cancelling it leaves
        // this form as it was, and the evaluator may try again.
        Form23 informacion(estado_, datos_, this);
        if (informacion.exec() == QDialog::Accepted)
            accept();
    }
}

void Form7::reject()
{
    if (confirmarSalida())
        QDialog::reject();
}
