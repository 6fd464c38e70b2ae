#include "gui/app/main_menu_form.h"

#include "gui/app/info_forms.h"
#include "gui/common/message_box.h"
#include "gui/common/widget_support.h"
#include "core/data/data_paths.h"
#include "core/data/record_set.h"
#include "core/registry/local_registry.h"
#include "gui/registry/registry_form.h"
#include "gui/settings/registry_config_form.h"
#include "core/engine/category_evaluators.h"
#include "gui/evaluation/evaluation_form.h"

#include <QApplication>
#include <QCloseEvent>
#include <QWindow>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QThread>
#include <QTimer>
#include <QVBoxLayout>

namespace {
QPushButton *BotonMenu(QWidget *padre, const QString &nombre, const QString &texto, const QString &ayuda)
{
    auto *b = new QPushButton(texto, padre);
    Nombrar(b, nombre, texto);
    if (!ayuda.isEmpty())
        b->setToolTip(ayuda);
    b->setMinimumHeight(34);
    return b;
}
}  // namespace

Form2::Form2(EstadoEvaluacion &estado, QWidget *padre) : QWidget(padre), estado_(estado)
{
    setObjectName(QStringLiteral("Form2"));
    setWindowTitle(QStringLiteral("ORV - Quenbria"));

    // The photo counters of the viewers start at 0.
    estado_.NumFotosNivel.fill(0);
    estado_.NumFotos = 0;

    auto *capa = new QVBoxLayout(this);
    auto *titulo = new QLabel(QStringLiteral("Evaluación del Daño en Edificaciones - ORV -"), this);
    titulo->setObjectName(QStringLiteral("Label1"));
    QFont f = titulo->font();
    f.setPointSize(f.pointSize() + 5);
    f.setBold(true);
    titulo->setFont(f);
    titulo->setAlignment(Qt::AlignCenter);
    titulo->setWordWrap(true);
    auto *subtitulo = new QLabel(QStringLiteral("Municipio de Quenbria"), this);
    subtitulo->setObjectName(QStringLiteral("Label2"));
    QFont fs = subtitulo->font();
    fs.setPointSize(fs.pointSize() + 2);
    subtitulo->setFont(fs);
    subtitulo->setAlignment(Qt::AlignCenter);
    capa->addWidget(titulo);
    capa->addWidget(subtitulo);

    auto *centro = new QGridLayout;
    auto imagen = [this](const QString &nombre, bool danado) {
        auto *l = new QLabel(this);
        l->setObjectName(nombre);
        l->setPixmap(DibujoEdificio(110, 140, danado));
        l->setAccessibleName(QStringLiteral("Dibujo de un edificio"));
        return l;
    };
    centro->addWidget(imagen(QStringLiteral("Image2"), false), 0, 0, Qt::AlignCenter);
    auto *botones = new QVBoxLayout;
    auto *btnEvaluar = BotonMenu(this, QStringLiteral("btnEvaluar"), QStringLiteral("Nueva Evaluación"),
                                 QStringLiteral("Hacer una nueva evaluación de daños"));
    auto *btnRegistro = BotonMenu(this, QStringLiteral("btnRegistro"), QStringLiteral("Registro de Evaluaciones"),
                                  QStringLiteral("Consultar, imprimir y exportar las evaluaciones guardadas"));
    auto *btnAlcance = BotonMenu(this, QStringLiteral("btnAlcanceORV"), QStringLiteral("Alcance"), QString());
    auto *btnAcerca = BotonMenu(this, QStringLiteral("btnAcerca"), QStringLiteral("Acerca de ORV"), QString());
    auto *btnReconoc = BotonMenu(this, QStringLiteral("btnReconocimientos"), QStringLiteral("Reconocimientos"),
                                 QStringLiteral("Reconocimientos"));
    auto *btnSalir = BotonMenu(this, QStringLiteral("btnSalir"), QStringLiteral("Salir"), QStringLiteral("Salir"));
    auto *btnConfiguracion =
        BotonMenu(this, QStringLiteral("btnConfiguracion"), QStringLiteral("Configuración"),
                  QStringLiteral("Dónde se guardan las evaluaciones: en este equipo o en el registro central"));
    for (QPushButton *b : {btnEvaluar, btnRegistro, btnAlcance, btnAcerca, btnReconoc, btnConfiguracion, btnSalir})
        botones->addWidget(b);
    btnEvaluar->setDefault(true);
    centro->addLayout(botones, 0, 1);
    centro->addWidget(imagen(QStringLiteral("Image3"), true), 0, 2, Qt::AlignCenter);
    centro->setColumnStretch(1, 1);
    capa->addLayout(centro);
    auto *pie = new QLabel(this);
    pie->setObjectName(QStringLiteral("imgFotos"));
    capa->addWidget(pie);

    connect(btnEvaluar, &QPushButton::clicked, this, &Form2::btnEvaluar_Click);
    connect(btnRegistro, &QPushButton::clicked, this, &Form2::btnRegistro_Click);
    connect(btnAlcance, &QPushButton::clicked, this, &Form2::btnAlcanceORV_Click);
    connect(btnAcerca, &QPushButton::clicked, this, &Form2::btnAcerca_Click);
    connect(btnReconoc, &QPushButton::clicked, this, &Form2::btnReconocimientos_Click);
    connect(btnSalir, &QPushButton::clicked, this, &Form2::btnSalir_Click);
    connect(btnConfiguracion, &QPushButton::clicked, this, &Form2::btnConfiguracion_Click);
    RegistroEnSegundoPlano::InstalarPreguntaDeClave(this);

    resize(560, 330);
    // The menu stands centred over the backdrop.
    if (const QScreen *pantalla = QGuiApplication::primaryScreen())
        move(pantalla->availableGeometry().center() - rect().center());

    form4_ = new Form4;
    connect(form4_, &Form4::cerrando, this, &Form2::btnSalir_Click);
    form4_->show();
    // The menu belongs to the backdrop: the window manager keeps it above the
    // backdrop and the task bar shows the pair as one program. X11 window
    // managers learn the owner only of dialog windows, hence the dialog type.
    setWindowFlag(Qt::Dialog);
    winId();
    if (windowHandle() && form4_->windowHandle())
        windowHandle()->setTransientParent(form4_->windowHandle());
}

Form2::~Form2()
{
    if (envio_)
        envio_->wait();
    delete form4_;
}

void Form2::showEvent(QShowEvent *evento)
{
    QWidget::showEvent(evento);
    if (!verificado_) {
        verificado_ = true;
        // Let the menu paint first; a message about a database then stands over it.
        QMetaObject::invokeMethod(this, &Form2::VerificarBasesDeDatos, Qt::QueuedConnection);
        // Evaluations saved while the central registry was away leave now,
        // from a thread of their own: the menu never waits for the network.
        QTimer::singleShot(0, this, [this] { envio_ = RegistroEnSegundoPlano::EnviarPendientes(this); });
    }
}

void Form2::btnConfiguracion_Click()
{
    ConfiguracionRegistroForm f(this);
    f.exec();
}

bool Form2::VerificarBasesDeDatos()
{
    verificado_ = true;
    QStringList errores;
    try {
        LeerTablasPesos(RutasDatos::archivoReferencia());
    } catch (const ErrorDatos &e) {
        errores << e.mensaje();
    }
    try {
        RegistroEvaluaciones::asegurar(RutasDatos::archivoRegistro());
    } catch (const ErrorDatos &e) {
        errores << e.mensaje();
    }
    for (const QString &e : std::as_const(errores))
        Mensaje::mostrar(this, e);
    return errores.isEmpty();
}

void Form2::btnEvaluar_Click()
{
    Form1 evaluacion(estado_, this);
    evaluacion.exec();
}

void Form2::btnRegistro_Click()
{
    RegistroForm registro(RegistroForm::RegistroConfiguradoDeEsteEquipo(), RutasDatos::archivoComentarios(), this);
    registro.exec();
}

void Form2::btnAlcanceORV_Click()
{
    Form6 f(this);
    f.exec();
}

void Form2::btnAcerca_Click()
{
    frmAbout f(this);
    f.exec();
}

void Form2::btnReconocimientos_Click()
{
    Form3 f(this);
    f.exec();
}

void Form2::closeEvent(QCloseEvent *evento)
{
    QWidget::closeEvent(evento);
    btnSalir_Click();
}

void Form2::btnSalir_Click()
{
    if (saliendo_)
        return;
    saliendo_ = true;
    close();
    if (form4_)
        form4_->close();
    QApplication::quit();
}
