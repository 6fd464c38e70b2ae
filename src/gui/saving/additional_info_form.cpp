#include "gui/saving/additional_info_form.h"

#include "gui/photos/photo_panel.h"

#include "gui/common/message_box.h"
#include "gui/common/widget_support.h"

#include <QComboBox>
#include <QDateTimeEdit>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include <algorithm>

namespace {

const QString PreguntaCancelar = QStringLiteral(
    "No se guardara información de esta evaluación, no podra ver despues los resultados de esta evaluación.");

// A box cut at its length must not keep half of a character that takes two
// code units (emoji and other characters outside the basic plane): what the
// box shows is what the registry keeps.
void SinMitadesSueltas(QLineEdit *caja)
{
    QObject::connect(caja, &QLineEdit::textChanged, caja, [caja](const QString &texto) {
        QString limpio;
        limpio.reserve(texto.size());
        for (qsizetype i = 0; i < texto.size(); ++i) {
            const QChar c = texto.at(i);
            if (c.isHighSurrogate() && i + 1 < texto.size() && texto.at(i + 1).isLowSurrogate()) {
                limpio += c;
                limpio += texto.at(++i);
            } else if (!c.isSurrogate()) {
                limpio += c;
            }
        }
        if (limpio.size() != texto.size()) {
            const int cursor = caja->cursorPosition();
            caja->setText(limpio);
            caja->setCursorPosition(std::min<int>(cursor, limpio.size()));
        }
    });
}

QLineEdit *CajaTexto(QWidget *padre, const QString &nombre, int largo, const QString &ayuda = QString(),
                     const QString &nombreAccesible = QString())
{
    auto *caja = new QLineEdit(padre);
    Nombrar(caja, nombre, nombreAccesible);
    caja->setMaxLength(largo);
    SinMitadesSueltas(caja);
    if (!ayuda.isEmpty())
        caja->setToolTip(ayuda);
    // Short codes get a box of their own size; names and numbers stretch.
    if (largo <= 4) {
        const int ancho = caja->fontMetrics().horizontalAdvance(QString(largo + 1, QLatin1Char('W')));
        caja->setFixedWidth(ancho + 12);
    } else if (largo <= 10) {
        caja->setMinimumWidth(caja->fontMetrics().horizontalAdvance(QString(largo, QLatin1Char('9'))) + 16);
    } else {
        caja->setMinimumWidth(caja->fontMetrics().averageCharWidth() * 28);
    }
    return caja;
}

QLabel *Rotulo(QWidget *padre, const QString &nombre, const QString &texto, QWidget *control)
{
    auto *rotulo = new QLabel(texto, padre);
    rotulo->setObjectName(nombre);
    Etiquetar(rotulo, control);
    return rotulo;
}

}  // namespace

Form23::Form23(EstadoEvaluacion &estado, const DatosEdificacion &datos, QWidget *padre)
    : QDialog(padre), estado_(estado), datos_(datos)
{
    setObjectName(QStringLiteral("Form23"));
    setWindowTitle(QStringLiteral("Información Adicional"));
    setModal(true);

    // --- who, when and what ------------------------------------------------------
    auto *general = new QWidget(this);
    general->setObjectName(QStringLiteral("General"));
    txtNombre = CajaTexto(general, QStringLiteral("txtNombre"), 50, QStringLiteral("Nombre Edificación"));
    txtDuenno = CajaTexto(general, QStringLiteral("txtDuenno"), 40, QStringLiteral("Dueño Edificación"));
    txtTelefono = CajaTexto(general, QStringLiteral("txtTelefono"), 40);
    txtEvaluador = CajaTexto(general, QStringLiteral("txtEvaluador"), 40, QStringLiteral("Evaluador"));
    txtCodigComi = CajaTexto(general, QStringLiteral("txtCodigComi"), 40);
    auto *rejillaGeneral = new QGridLayout(general);
    rejillaGeneral->setContentsMargins(0, 0, 0, 0);
    const std::pair<QLabel *, QLineEdit *> filasGenerales[] = {
        {Rotulo(general, QStringLiteral("lblNombre"), QStringLiteral("Nombre de la Edificación"), txtNombre), txtNombre},
        {Rotulo(general, QStringLiteral("lblDuenno"), QStringLiteral("Persona de Contacto"), txtDuenno), txtDuenno},
        {Rotulo(general, QStringLiteral("Label10"), QStringLiteral("Teléfono"), txtTelefono), txtTelefono},
        {Rotulo(general, QStringLiteral("lblEvaluador"), QStringLiteral("Evaluador Lider de Comisión"), txtEvaluador),
         txtEvaluador},
        {Rotulo(general, QStringLiteral("Label1"), QStringLiteral("Código de Comisión"), txtCodigComi), txtCodigComi}};
    int fila = 0;
    for (const auto &[rotulo, caja] : filasGenerales) {
        rejillaGeneral->addWidget(rotulo, fila, 0);
        rejillaGeneral->addWidget(caja, fila, 1);
        ++fila;
    }
    // Optional: how many families the posting concerns.
    txtUnidades = CajaTexto(general, QStringLiteral("txtUnidades"), 6,
                            QStringLiteral("Opcional: un número entero de 0 a 9999; en blanco si no se conoce"),
                            QStringLiteral("Número de unidades de vivienda"));
    rejillaGeneral->addWidget(
        Rotulo(general, QStringLiteral("lblUnidades"), QStringLiteral("Número de unidades de vivienda"), txtUnidades),
        fila, 0);
    rejillaGeneral->addWidget(txtUnidades, fila, 1, Qt::AlignLeft);
    ++fila;
    rejillaGeneral->setRowStretch(fila, 1);

    auto *frmFecha = new QGroupBox(QStringLiteral("Fecha de Evaluación"), this);
    frmFecha->setObjectName(QStringLiteral("frmFecha"));
    DTEvaluacion = new QDateTimeEdit(frmFecha);
    Nombrar(DTEvaluacion, QStringLiteral("DTEvaluacion"), QStringLiteral("Fecha de Evaluación"));
    DTEvaluacion->setCalendarPopup(true);
    DTEvaluacion->setDisplayFormat(QStringLiteral("dd/MM/yyyy HH:mm:ss"));
    auto *cajaFecha = new QVBoxLayout(frmFecha);
    cajaFecha->addWidget(DTEvaluacion);

    auto *Frame24 = new QGroupBox(QStringLiteral("Uso predominante en la edificación"), this);
    Frame24->setObjectName(QStringLiteral("Frame24"));
    cboGrupo = new QComboBox(Frame24);
    cboUsoBaja = new QComboBox(Frame24);
    Nombrar(cboGrupo, QStringLiteral("cboGrupo"));
    Nombrar(cboUsoBaja, QStringLiteral("cboUsoBaja"));
    auto *rejillaUso = new QGridLayout(Frame24);
    rejillaUso->addWidget(Rotulo(Frame24, QStringLiteral("Label3"), QStringLiteral("De la Edificación"), cboGrupo), 0, 0);
    rejillaUso->addWidget(cboGrupo, 0, 1);
    rejillaUso->addWidget(Rotulo(Frame24, QStringLiteral("Label4"), QStringLiteral("De la Planta Baja"), cboUsoBaja), 1, 0);
    rejillaUso->addWidget(cboUsoBaja, 1, 1);
    rejillaUso->setColumnStretch(1, 1);
    for (QComboBox *lista : {cboGrupo, cboUsoBaja}) {
        lista->setToolTip(QStringLiteral("Grupo de Uso"));
        lista->setEditable(false);
        lista->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
        lista->setMinimumContentsLength(18);
    }

    auto *derecha = new QVBoxLayout;
    derecha->addWidget(frmFecha);
    derecha->addWidget(Frame24);
    derecha->addStretch(1);
    auto *arriba = new QHBoxLayout;
    arriba->addWidget(general, 1);
    arriba->addSpacing(12);
    arriba->addLayout(derecha);

    // --- cadastral identification -----------------------------------------------
    auto *Frame1 = new QGroupBox(QStringLiteral("Identificación Catastral"), this);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    txtAvaluo = CajaTexto(Frame1, QStringLiteral("txtAvaluo"), 2);
    txtNomBarrio = CajaTexto(Frame1, QStringLiteral("txtNomBarrio"), 50);
    txtComuna1 = CajaTexto(Frame1, QStringLiteral("txtComuna1"), 2, QString(), QStringLiteral("Comuna"));
    txtComuna2 = CajaTexto(Frame1, QStringLiteral("txtComuna2"), 10, QString(), QStringLiteral("Comuna, segunda parte"));
    txtsector = CajaTexto(Frame1, QStringLiteral("txtsector"), 2);
    txtManzana = CajaTexto(Frame1, QStringLiteral("txtManzana"), 4);
    txtPredio = CajaTexto(Frame1, QStringLiteral("txtPredio"), 4);
    txtMejoraPH = CajaTexto(Frame1, QStringLiteral("txtMejoraPH"), 3);
    auto *rejillaCatastro = new QGridLayout(Frame1);
    rejillaCatastro->addWidget(Rotulo(Frame1, QStringLiteral("Label12"), QStringLiteral("Tipo Avaluo"), txtAvaluo), 0, 0);
    rejillaCatastro->addWidget(txtAvaluo, 0, 1, Qt::AlignLeft);
    rejillaCatastro->addWidget(Rotulo(Frame1, QStringLiteral("Label11"), QStringLiteral("Nombre del Barrio"), txtNomBarrio), 1, 0);
    rejillaCatastro->addWidget(txtNomBarrio, 1, 1, 1, 3);
    auto *comuna = new QHBoxLayout;
    comuna->addWidget(txtComuna1);
    auto *guion = new QLabel(QStringLiteral("-"), Frame1);
    guion->setObjectName(QStringLiteral("lblGuionComuna"));
    comuna->addWidget(guion);
    comuna->addWidget(txtComuna2, 1);
    rejillaCatastro->addWidget(Rotulo(Frame1, QStringLiteral("Label2"), QStringLiteral("Comuna"), txtComuna1), 2, 0);
    rejillaCatastro->addLayout(comuna, 2, 1, 1, 3);
    rejillaCatastro->addWidget(Rotulo(Frame1, QStringLiteral("Label5"), QStringLiteral("Sector"), txtsector), 3, 0);
    rejillaCatastro->addWidget(txtsector, 3, 1, Qt::AlignLeft);
    rejillaCatastro->addWidget(Rotulo(Frame1, QStringLiteral("Label6"), QStringLiteral("Manzana"), txtManzana), 3, 2);
    rejillaCatastro->addWidget(txtManzana, 3, 3, Qt::AlignLeft);
    rejillaCatastro->addWidget(Rotulo(Frame1, QStringLiteral("Label7"), QStringLiteral("Predio"), txtPredio), 4, 0);
    rejillaCatastro->addWidget(txtPredio, 4, 1, Qt::AlignLeft);
    rejillaCatastro->addWidget(Rotulo(Frame1, QStringLiteral("Label8"), QStringLiteral("Mejora o Prop Hor"), txtMejoraPH), 4, 2);
    rejillaCatastro->addWidget(txtMejoraPH, 4, 3, Qt::AlignLeft);
    rejillaCatastro->setColumnStretch(3, 1);
    rejillaCatastro->setRowStretch(5, 1);

    // --- street address -----------------------------------------------------------
    auto *Frame2 = new QGroupBox(QStringLiteral("Dirección"), this);
    Frame2->setObjectName(QStringLiteral("Frame2"));
    const QStringList &tipos = TiposDireccion();
    for (int i = 0; i < 6; ++i) {
        Option1[i] = new QRadioButton(tipos.at(i), Frame2);
        Nombrar(Option1[i], NombreElemento(QStringLiteral("Option1"), i), tipos.at(i));
        connect(Option1[i], &QRadioButton::clicked, this, [this, i]() { Option1_Click(i); });
    }
    Option1[0]->setChecked(true);
    txtNumCalle = CajaTexto(Frame2, QStringLiteral("txtNumCalle"), 10, QString(), QStringLiteral("Número de la vía"));
    txtAvenida = CajaTexto(Frame2, QStringLiteral("txtAvenida"), 50, QString(), QStringLiteral("Nombre de la avenida"));
    txtOtro = CajaTexto(Frame2, QStringLiteral("txtOtro"), 50, QString(), QStringLiteral("Otra vía"));
    txtNumero = CajaTexto(Frame2, QStringLiteral("txtNumero"), 10);
    txtAvenida->setEnabled(false);
    txtOtro->setEnabled(false);
    auto *rejillaDireccion = new QGridLayout(Frame2);
    auto *vias = new QGridLayout;
    vias->addWidget(Option1[0], 0, 0, Qt::AlignLeft);
    vias->addWidget(Option1[1], 0, 1, Qt::AlignLeft);
    vias->addWidget(Option1[2], 1, 0, Qt::AlignLeft);
    vias->addWidget(Option1[3], 1, 1, Qt::AlignLeft);
    rejillaDireccion->addLayout(vias, 0, 0);
    rejillaDireccion->addWidget(txtNumCalle, 0, 1, Qt::AlignLeft | Qt::AlignVCenter);
    rejillaDireccion->addWidget(Option1[4], 1, 0, Qt::AlignLeft);
    rejillaDireccion->addWidget(txtAvenida, 1, 1);
    rejillaDireccion->addWidget(Option1[5], 2, 0, Qt::AlignLeft);
    rejillaDireccion->addWidget(txtOtro, 2, 1);
    rejillaDireccion->addWidget(Rotulo(Frame2, QStringLiteral("Label9"), QStringLiteral("Número"), txtNumero), 3, 0,
                                Qt::AlignRight | Qt::AlignVCenter);
    rejillaDireccion->addWidget(txtNumero, 3, 1, Qt::AlignLeft);
    rejillaDireccion->setColumnStretch(1, 1);
    rejillaDireccion->setRowStretch(4, 1);

    // --- position (optional) ------------------------------------------------------
    auto *frmCoordenadas = new QGroupBox(QStringLiteral("Coordenadas (opcional)"), this);
    frmCoordenadas->setObjectName(QStringLiteral("frmCoordenadas"));
    txtLatitud = CajaTexto(frmCoordenadas, QStringLiteral("txtLatitud"), 20,
                           QStringLiteral("Latitud en grados decimales, de -90 a 90"));
    txtLongitud = CajaTexto(frmCoordenadas, QStringLiteral("txtLongitud"), 20,
                            QStringLiteral("Longitud en grados decimales, de -180 a 180"));
    auto *rejillaCoordenadas = new QHBoxLayout(frmCoordenadas);
    rejillaCoordenadas->addWidget(Rotulo(frmCoordenadas, QStringLiteral("lblLatitud"), QStringLiteral("Latitud"), txtLatitud));
    rejillaCoordenadas->addWidget(txtLatitud, 1);
    rejillaCoordenadas->addSpacing(12);
    rejillaCoordenadas->addWidget(Rotulo(frmCoordenadas, QStringLiteral("lblLongitud"), QStringLiteral("Longitud"), txtLongitud));
    rejillaCoordenadas->addWidget(txtLongitud, 1);

    // --- photos of the building (optional) ---------------------------------------
    frmFotos = new PanelFotos(this);
    frmFotos->establecerSinCoordenadas([this] {
        return txtLatitud->text().trimmed().isEmpty() && txtLongitud->text().trimmed().isEmpty();
    });
    for (QLineEdit *caja : {txtLatitud, txtLongitud})
        connect(caja, &QLineEdit::textChanged, frmFotos, &PanelFotos::actualizarPosicion);
    connect(frmFotos, &PanelFotos::posicionElegida, this, [this](double latitud, double longitud) {
        txtLatitud->setText(QString::number(latitud, 'f', 6));
        txtLongitud->setText(QString::number(longitud, 'f', 6));
    });

    auto *medio = new QHBoxLayout;
    medio->addWidget(Frame1, 1);
    medio->addWidget(Frame2, 1);

    // --- buttons --------------------------------------------------------------------
    const QString titulos[] = {QStringLiteral("Guardar"), QStringLiteral("Cancelar")};
    const QString ayudas[] = {QStringLiteral("Guardar información"), QStringLiteral("Cancelar información")};
    auto *botones = new QHBoxLayout;
    botones->addStretch(1);
    for (int i = 0; i < 2; ++i) {
        btnGuardaInf[i] = new QPushButton(titulos[i], this);
        Nombrar(btnGuardaInf[i], NombreElemento(QStringLiteral("btnGuardaInf"), i), titulos[i]);
        btnGuardaInf[i]->setToolTip(ayudas[i]);
        // Enter in a box must not save or leave by itself.
        btnGuardaInf[i]->setAutoDefault(false);
        btnGuardaInf[i]->setMinimumWidth(Twips(1335));
        connect(btnGuardaInf[i], &QPushButton::clicked, this, [this, i]() { btnGuardaInf_Click(i); });
        botones->addWidget(btnGuardaInf[i]);
    }

    auto *principal = new QVBoxLayout(this);
    principal->addLayout(arriba);
    principal->addLayout(medio);
    principal->addWidget(frmCoordenadas);
    principal->addWidget(frmFotos, 1);
    principal->addLayout(botones);

    // --- load -----------------------------------------------------------------------
    DTEvaluacion->setDateTime(QDateTime::currentDateTime());
    cboGrupo->addItems(GruposDeUso());
    cboUsoBaja->addItems(GruposDeUso());
    cboGrupo->setCurrentIndex(-1);
    cboUsoBaja->setCurrentIndex(-1);
}

void Form23::Option1_Click(int indice)
{
    QLineEdit *propia = nullptr;
    if (indice >= 0 && indice <= 3)
        propia = txtNumCalle;
    else if (indice == 4)
        propia = txtAvenida;
    else if (indice == 5)
        propia = txtOtro;
    else
        return;
    QLineEdit *const calles[] = {txtNumCalle, txtAvenida, txtOtro};
    for (int i = 0; i < 3; ++i) {
        QLineEdit *calle = calles[i];
        if (calle == propia) {
            // Opened again: what the evaluator typed comes back.
            if (!calle->isEnabled()) {
                calle->setEnabled(true);
                calle->setText(calleEscrita_[i]);
            }
        } else {
            if (calle->isEnabled())
                calleEscrita_[i] = calle->text();
            calle->setEnabled(false);
            calle->setText(QStringLiteral("--"));
        }
    }
}

IdentificacionEvaluacion Form23::identificacion() const
{
    IdentificacionEvaluacion id;
    id.txtNombre = txtNombre->text();
    id.txtDuenno = txtDuenno->text();
    id.txtTelefono = txtTelefono->text();
    id.txtEvaluador = txtEvaluador->text();
    id.txtCodigComi = txtCodigComi->text();
    id.txtUnidades = txtUnidades->text();
    id.DTEvaluacion = DTEvaluacion->dateTime();
    id.cboGrupo = cboGrupo->currentText();
    id.cboUsoBaja = cboUsoBaja->currentText();
    id.txtAvaluo = txtAvaluo->text();
    id.txtNomBarrio = txtNomBarrio->text();
    id.txtComuna1 = txtComuna1->text();
    id.txtComuna2 = txtComuna2->text();
    id.txtsector = txtsector->text();
    id.txtManzana = txtManzana->text();
    id.txtPredio = txtPredio->text();
    id.txtMejoraPH = txtMejoraPH->text();
    id.Option1 = 0;
    for (int i = 0; i < 6; ++i)
        if (Option1[i]->isChecked())
            id.Option1 = i;
    id.txtNumCalle = txtNumCalle->text();
    id.txtAvenida = txtAvenida->text();
    id.txtOtro = txtOtro->text();
    id.txtNumero = txtNumero->text();
    id.txtLatitud = txtLatitud->text();
    id.txtLongitud = txtLongitud->text();
    id.Fotos = frmFotos->fotos();
    return id;
}

void Form23::mostrarIdentificacion(const IdentificacionEvaluacion &id)
{
    const std::pair<QLineEdit *, const QString *> cajas[] = {
        {txtNombre, &id.txtNombre},     {txtDuenno, &id.txtDuenno},     {txtTelefono, &id.txtTelefono},
        {txtEvaluador, &id.txtEvaluador}, {txtCodigComi, &id.txtCodigComi}, {txtAvaluo, &id.txtAvaluo},
        {txtNomBarrio, &id.txtNomBarrio}, {txtComuna1, &id.txtComuna1},   {txtComuna2, &id.txtComuna2},
        {txtsector, &id.txtsector},     {txtManzana, &id.txtManzana},   {txtPredio, &id.txtPredio},
        {txtMejoraPH, &id.txtMejoraPH}, {txtNumCalle, &id.txtNumCalle}, {txtAvenida, &id.txtAvenida},
        {txtOtro, &id.txtOtro},         {txtNumero, &id.txtNumero},     {txtLatitud, &id.txtLatitud},
        {txtLongitud, &id.txtLongitud}, {txtUnidades, &id.txtUnidades}};
    for (const auto &[caja, texto] : cajas)
        if (caja->text() != *texto)
            caja->setText(*texto);
}

void Form23::btnGuardaInf_Click(int indice)
{
    if (indice == 0) {
        // The photos still being prepared are saved with the rest.
        frmFotos->esperar();
        IdentificacionEvaluacion id = identificacion();
        // Placeholders written by the checks show at once, under the next
        // message, and stay visible, saved or not.
        const bool guardada = GuardarEvaluacion(
            this, id, estado_, datos_, [this](const IdentificacionEvaluacion &v) { mostrarIdentificacion(v); }, uuid_);
        mostrarIdentificacion(id);
        if (guardada)
            accept();
    } else if (indice == 1) {
        if (confirmarSalida())
            QDialog::reject();
    }
}

bool Form23::confirmarSalida()
{
    return Mensaje::mostrar(this, PreguntaCancelar, Mensaje::Botones::AceptarCancelar,
                            TextosRegistro::TituloGuardar)
           == Mensaje::Respuesta::Aceptar;
}

void Form23::reject()
{
    if (confirmarSalida())
        QDialog::reject();
}
