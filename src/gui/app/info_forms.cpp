#include "gui/app/info_forms.h"

#include "gui/common/widget_support.h"
#include "reports/document_texts.h"

#include <QCloseEvent>
#include <QFrame>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

namespace {

QLabel *Parrafo(QWidget *padre, const QString &nombre, const QString &texto)
{
    auto *l = new QLabel(texto, padre);
    l->setObjectName(nombre);
    l->setWordWrap(true);
    l->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return l;
}

QLabel *Titulo(QWidget *padre, const QString &nombre, const QString &texto, int puntos)
{
    auto *l = new QLabel(texto, padre);
    l->setObjectName(nombre);
    l->setWordWrap(true);
    QFont f = l->font();
    f.setBold(true);
    f.setPointSize(puntos);
    l->setFont(f);
    return l;
}

QPushButton *BotonAceptar(QDialog *dialogo, const QString &nombre, QBoxLayout *capa)
{
    auto *b = new QPushButton(QStringLiteral("Aceptar"), dialogo);
    Nombrar(b, nombre, QStringLiteral("Aceptar"));
    b->setDefault(true);
    QObject::connect(b, &QPushButton::clicked, dialogo, &QDialog::accept);
    auto *fila = new QHBoxLayout;
    fila->addStretch();
    fila->addWidget(b);
    capa->addLayout(fila);
    return b;
}

QFrame *Separador(QWidget *padre)
{
    auto *linea = new QFrame(padre);
    linea->setFrameShape(QFrame::HLine);
    linea->setFrameShadow(QFrame::Sunken);
    return linea;
}

}  // namespace

QPixmap DibujoEdificio(int ancho, int alto, bool danado)
{
    QPixmap p(ancho, alto);
    p.fill(Qt::transparent);
    QPainter g(&p);
    g.setRenderHint(QPainter::Antialiasing);
    const QRectF cuerpo(ancho * 0.2, alto * 0.15, ancho * 0.6, alto * 0.8);
    g.setPen(QPen(QColor(60, 60, 60), 2));
    g.setBrush(QColor(200, 195, 180));
    g.drawRect(cuerpo);
    g.setBrush(QColor(120, 150, 190));
    const int pisos = 4;
    for (int piso = 0; piso < pisos; ++piso)
        for (int col = 0; col < 3; ++col) {
            const QRectF v(cuerpo.left() + cuerpo.width() * (0.1 + col * 0.3), cuerpo.top() + cuerpo.height() * (0.06 + piso * 0.22),
                           cuerpo.width() * 0.2, cuerpo.height() * 0.12);
            g.drawRect(v);
        }
    if (danado) {
        g.setPen(QPen(QColor(150, 20, 20), 3));
        QPolygonF grieta;
        grieta << QPointF(cuerpo.left() + cuerpo.width() * 0.15, cuerpo.top())
               << QPointF(cuerpo.left() + cuerpo.width() * 0.35, cuerpo.top() + cuerpo.height() * 0.3)
               << QPointF(cuerpo.left() + cuerpo.width() * 0.25, cuerpo.top() + cuerpo.height() * 0.45)
               << QPointF(cuerpo.left() + cuerpo.width() * 0.55, cuerpo.top() + cuerpo.height() * 0.8);
        g.drawPolyline(grieta);
    }
    g.setPen(QPen(QColor(90, 70, 40), 3));
    g.drawLine(QPointF(0, alto * 0.95), QPointF(ancho, alto * 0.95));
    return p;
}

Form4::Form4(QWidget *padre) : QWidget(padre, Qt::Window | Qt::MSWindowsFixedSizeDialogHint)
{
    setObjectName(QStringLiteral("Form4"));
    setWindowTitle(QStringLiteral("ORV - Quenbria"));
    setFixedSize(720, 540);
    if (const QScreen *pantalla = QGuiApplication::primaryScreen())
        move(pantalla->availableGeometry().center() - rect().center());
}

void Form4::closeEvent(QCloseEvent *evento)
{
    QWidget::closeEvent(evento);
    emit cerrando();
}

Form6::Form6(QWidget *padre) : QDialog(padre)
{
    setObjectName(QStringLiteral("Form6"));
    setWindowTitle(QStringLiteral("Alcance"));
    auto *capa = new QVBoxLayout(this);
    capa->addWidget(Titulo(this, QStringLiteral("Label1"), QStringLiteral("Habitabilidad"), 11));
    capa->addWidget(Parrafo(this, QStringLiteral("Label2"),
        QStringLiteral("La clasificación de habitabilidad después de un sismo es una evaluación rápida y limitada "
                       "temporalmente, basada en una inspección visual, en información fácil de recolectar, con la "
                       "intención de detectar, si durante la crisis sísmica ocurrida, los edificios dañados pueden ser "
                       "usados, salvaguardando de manera razonable la vida humana.")));
    capa->addSpacing(8);
    capa->addWidget(Titulo(this, QStringLiteral("Label3"), QStringLiteral("Reparabilidad"), 11));
    capa->addWidget(Parrafo(this, QStringLiteral("Label4"),
        QStringLiteral("La clasificación de reparabilidad después de un sismo se basa en los mismos criterios descritos "
                       "para la habitabilidad y se realiza con la intención de detectar preliminarmente si los edificios "
                       "dañados necesitan ser reparados, reforzados o demolidos. Para una decisión sobre la rehabilitación "
                       "definitiva de las edificaciones se requiere que cada propietario se sirva de un ingeniero "
                       "estructural, que realice la remoción de algunos elementos arquitectónicos para completar la "
                       "inspección o lleve a cabo ensayos sobre la calidad de los materiales, el estado del refuerzo, etc. "
                       "En lo posible, este profesional debe desarrollar un análisis de la vulnerabilidad de la estructura "
                       "de acuerdo con los requisitos establecidos en las normas de construcción sismo resistentes.")));
    capa->addStretch();
    BotonAceptar(this, QStringLiteral("btnaceptar"), capa);
    resize(560, 420);
}

Form3::Form3(QWidget *padre) : QDialog(padre)
{
    setObjectName(QStringLiteral("Form3"));
    setWindowTitle(QStringLiteral("Reconocimientos"));
    auto *capa = new QVBoxLayout(this);
    capa->addWidget(Parrafo(this, QStringLiteral("Label1"),
        QStringLiteral("El Municipio de Quenbria agradece a quienes contribuyen, con su trabajo y su experiencia, a "
                       "que las edificaciones se evalúen de manera segura y ordenada después de un sismo.\n\n"
                       "Los pesos de calificación, los comentarios de los resultados y las ilustraciones de los niveles "
                       "de daño son datos de esta instalación. Antes de usar el programa en una emergencia, los "
                       "ingenieros estructurales del municipio deben revisarlos.")));
    capa->addStretch();
    BotonAceptar(this, QStringLiteral("btnAceptar"), capa);
    resize(520, 320);
}

QString frmAbout::LineaVersion(int mayor, int menor, int revision)
{
    return QStringLiteral("Versión %1.%2.%3   Agosto de 2003").arg(mayor).arg(menor).arg(revision);
}

frmAbout::frmAbout(QWidget *padre) : QDialog(padre)
{
    setObjectName(QStringLiteral("frmAbout"));
    setWindowTitle(QStringLiteral("Acerca de ORV - Quenbria"));
    auto *capa = new QVBoxLayout(this);
    auto *cabeza = new QHBoxLayout;
    auto *imagen = new QLabel(this);
    imagen->setObjectName(QStringLiteral("picIcon"));
    imagen->setPixmap(DibujoEdificio(72, 88, false));
    imagen->setAccessibleName(QStringLiteral("Dibujo de un edificio"));
    cabeza->addWidget(imagen, 0, Qt::AlignTop);
    auto *textos = new QVBoxLayout;
    textos->addWidget(Titulo(this, QStringLiteral("lblTitle"),
                             QStringLiteral("Evaluación Post-Sísmica del Daño en Edificios - ORV    Municipio de Quenbria"), 11));
    auto *version = new QLabel(LineaVersion(ORV_VERSION_MAJOR, ORV_VERSION_MINOR, ORV_VERSION_PATCH), this);
    version->setObjectName(QStringLiteral("lblVersion"));
    textos->addWidget(version);
    textos->addWidget(Parrafo(this, QStringLiteral("lblDescription"),
        QStringLiteral("Programa para la evaluación rápida del daño en edificaciones después de un sismo: califica los "
                       "elementos estructurales y no estructurales, los problemas geotécnicos y las condiciones "
                       "preexistentes, y clasifica el estado global, la habitabilidad y la reparabilidad de la "
                       "edificación, con las medidas de seguridad que corresponden.")));
    cabeza->addLayout(textos, 1);
    capa->addLayout(cabeza);
    capa->addWidget(Separador(this));
    capa->addWidget(Parrafo(this, QStringLiteral("lblDisclaimer"), Documentos::TextoAdvertencia()));
    capa->addWidget(Separador(this));
    BotonAceptar(this, QStringLiteral("cmdOK"), capa);
    resize(540, 330);
}
