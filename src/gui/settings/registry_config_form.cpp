#include "gui/settings/registry_config_form.h"

#include "gui/common/message_box.h"
#include "gui/common/widget_support.h"
#include "core/data/data_paths.h"
#include "core/registry/outbox.h"
#include "core/registry/server_registry.h"

#include <QApplication>
#include <QComboBox>
#include <QFileDialog>
#include <QFile>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QThread>
#include <QVBoxLayout>

namespace {
QLineEdit *Caja(QWidget *padre, const QString &nombre, const QString &accesible)
{
    auto *e = new QLineEdit(padre);
    Nombrar(e, nombre, accesible);
    return e;
}
}  // namespace

ConfiguracionRegistroForm::ConfiguracionRegistroForm(QWidget *padre) : QDialog(padre)
{
    setObjectName(QStringLiteral("ConfiguracionRegistroForm"));
    setWindowTitle(QStringLiteral("Configuración del registro"));

    auto *capa = new QVBoxLayout(this);
    auto *lugar = new QGroupBox(QStringLiteral("Dónde se guardan las evaluaciones"), this);
    auto *capaLugar = new QVBoxLayout(lugar);
    optArchivo_ = new QRadioButton(QStringLiteral("En un archivo de este equipo"), lugar);
    Nombrar(optArchivo_, QStringLiteral("optArchivo"));
    optServidor_ = new QRadioButton(QStringLiteral("En el registro central (servidor PostgreSQL)"), lugar);
    Nombrar(optServidor_, QStringLiteral("optServidor"));
    capaLugar->addWidget(optArchivo_);
    capaLugar->addWidget(optServidor_);
    capa->addWidget(lugar);

    auto *servidor = new QGroupBox(QStringLiteral("Registro central"), this);
    auto *forma = new QFormLayout(servidor);
    auto fila = [&](const QString &texto, QWidget *control) {
        auto *l = new QLabel(texto, servidor);
        Etiquetar(l, control);
        forma->addRow(l, control);
    };
    txtServidor_ = Caja(servidor, QStringLiteral("txtServidor"), QStringLiteral("Servidor"));
    txtServidor_->setPlaceholderText(QStringLiteral("registro.quenbria.gob"));
    fila(QStringLiteral("&Servidor:"), txtServidor_);
    txtPuerto_ = new QSpinBox(servidor);
    Nombrar(txtPuerto_, QStringLiteral("txtPuerto"), QStringLiteral("Puerto"));
    txtPuerto_->setRange(1, 65535);
    txtPuerto_->setValue(5432);
    fila(QStringLiteral("&Puerto:"), txtPuerto_);
    txtBase_ = Caja(servidor, QStringLiteral("txtBase"), QStringLiteral("Base de datos"));
    fila(QStringLiteral("&Base de datos:"), txtBase_);
    txtUsuario_ = Caja(servidor, QStringLiteral("txtUsuario"), QStringLiteral("Usuario"));
    fila(QStringLiteral("&Usuario:"), txtUsuario_);
    txtClave_ = Caja(servidor, QStringLiteral("txtClave"), QStringLiteral("Contraseña"));
    txtClave_->setEchoMode(QLineEdit::Password);
    txtClave_->setPlaceholderText(QStringLiteral("sin cambios"));
    fila(QStringLiteral("C&ontraseña:"), txtClave_);
    cboTls_ = new QComboBox(servidor);
    Nombrar(cboTls_, QStringLiteral("cboTls"), QStringLiteral("Modo TLS"));
    // What each mode means, as the evaluator reads it under the list.
    const struct {
        const char *texto, *modo, *explicacion;
    } modos[] = {
        {"Cifrado y servidor verificado (verify-full)", "verify-full",
         "Cifra la conexión y comprueba, con el certificado de la autoridad (CA), que el programa habla con ese "
         "servidor y no con otro que se haga pasar por él. Es el modo recomendado."},
        {"Cifrado, servidor no verificado (require)", "require",
         "Cifra la conexión, pero no comprueba el certificado del servidor: solo lo autentica la contraseña (el "
         "servidor debe demostrar que la conoce). Úselo mientras no tenga el certificado de la autoridad."},
        {"Cifrado si el servidor lo ofrece (prefer)", "prefer",
         "Cifra solo si el servidor lo ofrece y no lo verifica: en una red hostil la contraseña y las evaluaciones "
         "pueden viajar sin cifrar, o a otro servidor."},
        {"Sin cifrado (disable)", "disable",
         "No cifra nada: la contraseña y las evaluaciones viajan legibles. Solo para una red de confianza."},
    };
    for (const auto &m : modos) {
        cboTls_->addItem(QString::fromUtf8(m.texto), QString::fromUtf8(m.modo));
        cboTls_->setItemData(cboTls_->count() - 1, QString::fromUtf8(m.explicacion), Qt::ToolTipRole);
    }
    cboTls_->setCurrentIndex(1);
    fila(QStringLiteral("&Modo TLS:"), cboTls_);
    lblTls_ = new QLabel(servidor);
    lblTls_->setObjectName(QStringLiteral("lblTls"));
    lblTls_->setWordWrap(true);
    forma->addRow(QString(), lblTls_);
    auto *certificado = new QWidget(servidor);
    auto *capaCert = new QHBoxLayout(certificado);
    capaCert->setContentsMargins(0, 0, 0, 0);
    txtCertificado_ = Caja(certificado, QStringLiteral("txtCertificado"),
                           QStringLiteral("Certificado de la autoridad (CA)"));
    btnCertificado_ = new QPushButton(QStringLiteral("E&xaminar…"), certificado);
    Nombrar(btnCertificado_, QStringLiteral("btnCertificado"),
            QStringLiteral("Examinar el certificado de la autoridad (CA)"));
    capaCert->addWidget(txtCertificado_);
    capaCert->addWidget(btnCertificado_);
    auto *lblCert = new QLabel(QStringLiteral("Certificado de la &autoridad (CA):"), servidor);
    Etiquetar(lblCert, txtCertificado_);
    forma->addRow(lblCert, certificado);
    capa->addWidget(servidor);

    lblEntorno_ = new QLabel(this);
    lblEntorno_->setObjectName(QStringLiteral("lblEntorno"));
    lblEntorno_->setWordWrap(true);
    capa->addWidget(lblEntorno_);

    auto *botones = new QHBoxLayout;
    btnProbar_ = new QPushButton(QStringLiteral("P&robar conexión"), this);
    Nombrar(btnProbar_, QStringLiteral("btnProbar"));
    auto *btnGuardar = new QPushButton(QStringLiteral("&Guardar"), this);
    Nombrar(btnGuardar, QStringLiteral("btnGuardar"));
    auto *btnCancelar = new QPushButton(QStringLiteral("&Cancelar"), this);
    Nombrar(btnCancelar, QStringLiteral("btnCancelar"));
    btnGuardar->setDefault(true);
    botones->addWidget(btnProbar_);
    botones->addStretch();
    botones->addWidget(btnGuardar);
    botones->addWidget(btnCancelar);
    capa->addLayout(botones);

    connect(optArchivo_, &QRadioButton::toggled, this, &ConfiguracionRegistroForm::actualizar);
    connect(cboTls_, &QComboBox::currentIndexChanged, this, &ConfiguracionRegistroForm::actualizar);
    connect(btnProbar_, &QPushButton::clicked, this, &ConfiguracionRegistroForm::ProbarConexion_Click);
    connect(btnGuardar, &QPushButton::clicked, this, &ConfiguracionRegistroForm::Guardar_Click);
    connect(btnCancelar, &QPushButton::clicked, this, &QDialog::reject);
    connect(btnCertificado_, &QPushButton::clicked, this, [this] {
        const QString archivo = QFileDialog::getOpenFileName(
            this, QStringLiteral("Certificado de la autoridad (CA)"), txtCertificado_->text(),
            QStringLiteral("Certificados (*.crt *.pem);;Todos los archivos (*)"));
        if (!archivo.isEmpty())
            txtCertificado_->setText(archivo);
    });

    ConfiguracionRegistro c;
    try {
        c = ConfiguracionRegistro::leer();
    } catch (const ErrorDatos &e) {
        lblEntorno_->setText(e.mensaje());
    }
    if (c.desdeEntorno)
        lblEntorno_->setText(QStringLiteral("Mientras la variable ORV_REGISTRO esté definida, el programa usa el registro "
                                            "que ella indica y no esta configuración."));
    if (c.desdeEntorno) {
        // What the user saved, not what the variable says.
        const QByteArray entorno = qgetenv("ORV_REGISTRO");
        qunsetenv("ORV_REGISTRO");
        c = ConfiguracionRegistro::leer();
        qputenv("ORV_REGISTRO", entorno);
    }
    (c.servidor ? optServidor_ : optArchivo_)->setChecked(true);
    txtServidor_->setText(c.conexion.servidor);
    txtPuerto_->setValue(c.conexion.puerto);
    txtBase_->setText(c.conexion.base);
    txtUsuario_->setText(c.conexion.usuario);
    const int tls = cboTls_->findData(c.conexion.modoTlsEfectivo());
    cboTls_->setCurrentIndex(tls >= 0 ? tls : 1);
    txtCertificado_->setText(c.conexion.certificadoCa);
    lblEntorno_->setVisible(!lblEntorno_->text().isEmpty());
    actualizar();
}

void ConfiguracionRegistroForm::actualizar()
{
    const bool servidor = optServidor_->isChecked();
    for (QWidget *w : std::initializer_list<QWidget *>{txtServidor_, txtPuerto_, txtBase_, txtUsuario_, txtClave_,
                                                       cboTls_, btnProbar_})
        w->setEnabled(servidor);
    lblTls_->setText(cboTls_->currentData(Qt::ToolTipRole).toString());
    lblTls_->setEnabled(servidor);
    const bool verificar = servidor && cboTls_->currentData().toString() == QLatin1String("verify-full");
    txtCertificado_->setEnabled(verificar);
    btnCertificado_->setEnabled(verificar);
}

ConfiguracionRegistro ConfiguracionRegistroForm::configuracion() const
{
    ConfiguracionRegistro c;
    c.servidor = optServidor_->isChecked();
    c.conexion.servidor = txtServidor_->text().trimmed();
    c.conexion.puerto = txtPuerto_->value();
    c.conexion.base = txtBase_->text().trimmed();
    c.conexion.usuario = txtUsuario_->text().trimmed();
    c.conexion.modoTls = cboTls_->currentData().toString();
    c.conexion.certificadoCa =
        c.conexion.modoTls == QLatin1String("verify-full") ? txtCertificado_->text().trimmed() : QString();
    return c;
}

ConexionServidor ConfiguracionRegistroForm::conexionConClave() const
{
    ConexionServidor c = configuracion().conexion;
    c.clave = txtClave_->text().isEmpty() ? ClaveRegistro::leer(c) : txtClave_->text();
    return c;
}

void ConfiguracionRegistroForm::ProbarConexion_Click()
{
    const ConexionServidor c = conexionConClave();
    if (c.base.isEmpty() || c.usuario.isEmpty()) {
        Mensaje::mostrar(this, QStringLiteral("Indique la base de datos y el usuario del registro central."));
        return;
    }
    QString respuesta;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    try {
        RegistroServidor registro(c);
        registro.probar();
        respuesta = QStringLiteral("Conexión correcta con el registro central \"%1\": tiene %2 evaluaciones.")
                        .arg(c.nombre())
                        .arg(registro.contar(FiltroRegistro{}));
    } catch (const ErrorDatos &e) {
        respuesta = e.mensaje();
    }
    QApplication::restoreOverrideCursor();
    Mensaje::mostrar(this, respuesta, Mensaje::Botones::Aceptar, QStringLiteral("Probar conexión"));
}

namespace {

// Evaluations waiting in this machine's outbox for another registry than
// `nueva` would no longer be sent: the evaluator is asked first. Those
// written before outboxes kept their server stay the previous server's.
bool SeguirConPendientes(QWidget *padre, const ConfiguracionRegistro &nueva)
{
    const QString archivo = BandejaSalida::archivoPara(RutasDatos::archivoRegistro());
    if (!QFile::exists(archivo))
        return true;
    try {
        BandejaSalida bandeja(archivo);
        const QByteArray entorno = qgetenv("ORV_REGISTRO");
        qunsetenv("ORV_REGISTRO");
        const ConfiguracionRegistro anterior = ConfiguracionRegistro::leer();
        if (!entorno.isEmpty())
            qputenv("ORV_REGISTRO", entorno);
        if (anterior.servidor)
            bandeja.asignarServidor(BandejaSalida::registroDe(anterior.conexion));
        QMap<QString, qint64> cuentas = bandeja.pendientesPorServidor();
        if (nueva.servidor)
            cuentas.remove(BandejaSalida::registroDe(nueva.conexion));
        qint64 total = 0;
        QStringList nombres;
        for (auto it = cuentas.cbegin(); it != cuentas.cend(); ++it) {
            total += it.value();
            nombres << (it.key().isEmpty() ? QStringLiteral("configurado antes") : it.key());
        }
        if (total == 0)
            return true;
        const QString texto =
            QStringLiteral("Este equipo tiene %1 pendientes de envío al registro central «%2». Con el registro "
                           "elegido no se enviarán ni se verán en la ventana del registro hasta que vuelva a elegir "
                           "ese registro.\r\r¿Guardar la configuración de todos modos?")
                .arg(total == 1 ? QStringLiteral("1 evaluación") : QStringLiteral("%1 evaluaciones").arg(total),
                     nombres.join(QStringLiteral("», «")));
        return Mensaje::mostrar(padre, texto, Mensaje::Botones::AceptarCancelar,
                                QStringLiteral("Configuración del registro")) == Mensaje::Respuesta::Aceptar;
    } catch (const ErrorDatos &e) {
        Mensaje::mostrar(padre, e.mensaje());
        return false;
    }
}

}  // namespace

void ConfiguracionRegistroForm::Guardar_Click()
{
    const ConfiguracionRegistro c = configuracion();
    if (c.servidor) {
        if (c.conexion.base.isEmpty() || c.conexion.usuario.isEmpty()) {
            Mensaje::mostrar(this, QStringLiteral("Indique la base de datos y el usuario del registro central."));
            return;
        }
        if (c.conexion.modoTls == QLatin1String("verify-full") && !QFile::exists(c.conexion.certificadoCa)) {
            Mensaje::mostrar(this, QStringLiteral("Para el modo verify-full indique el archivo del certificado de la "
                                                  "autoridad (CA) que firmó el certificado del servidor."));
            return;
        }
    }
    if (!SeguirConPendientes(this, c))
        return;
    c.guardar();
    if (c.servidor && !txtClave_->text().isEmpty()) {
        if (!ClaveRegistro::guardar(c.conexion, txtClave_->text()))
            Mensaje::mostrar(this, QStringLiteral("Este escritorio no tiene un almacén de claves: la contraseña se "
                                                  "usará solo mientras ORV esté abierto."));
    }
    txtClave_->clear();
    accept();
}

namespace RegistroEnSegundoPlano {

QThread *EnviarPendientes(QWidget *padre)
{
    ConfiguracionRegistro conf;
    try {
        conf = ConfiguracionRegistro::leer();
    } catch (const ErrorDatos &) {
        // Told when the evaluator saves.
        return nullptr;
    }
    if (!conf.servidor)
        return nullptr;
    const QString archivo = BandejaSalida::archivoPara(
        conf.archivoEntorno.isEmpty() ? RutasDatos::archivoRegistro() : conf.archivoEntorno);
    if (!QFile::exists(archivo))
        return nullptr;
    ConexionServidor c = conf.conexion;
    if (!conf.desdeEntorno)
        c.clave = ClaveRegistro::leer(c);
    auto resultado = std::make_shared<ResultadoEnvio>();
    QThread *hilo = QThread::create([c, archivo, resultado] {
        try {
            BandejaSalida bandeja(archivo);
            if (bandeja.cantidad() == 0)
                return;
            RegistroServidor servidor(c);
            *resultado = bandeja.enviar(servidor);
        } catch (const ErrorDatos &e) {
            resultado->error = e.mensaje();
        }
    });
    QPointer<QWidget> destino = padre;
    QObject::connect(hilo, &QThread::finished, padre, [destino, resultado] {
        // The network comes and goes: only what the user must act on is told.
        if (destino && !resultado->error.isEmpty() && !resultado->red)
            Mensaje::mostrar(destino, resultado->error);
    });
    QObject::connect(hilo, &QThread::finished, hilo, &QObject::deleteLater);
    hilo->start();
    return hilo;
}

void InstalarPreguntaDeClave(QWidget *padre)
{
    QPointer<QWidget> destino = padre;
    ClaveRegistro::establecerPregunta([destino](const ConexionServidor &c) -> std::optional<QString> {
        if (QThread::currentThread() != qApp->thread() || Mensaje::modoPrueba())
            return std::nullopt;
        bool ok = false;
        const QString clave = QInputDialog::getText(
            destino, QStringLiteral("Contraseña del registro central"),
            QStringLiteral("Contraseña del usuario \"%1\" en el servidor \"%2\":").arg(c.usuario, c.nombre()),
            QLineEdit::Password, QString(), &ok);
        if (!ok)
            return std::nullopt;
        return clave;
    });
}

}  // namespace RegistroEnSegundoPlano
