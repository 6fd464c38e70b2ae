#include "gui/evaluation/evaluation_form.h"

#include "core/evaluation/building_options.h"

#include "gui/common/message_box.h"
#include "gui/common/widget_support.h"
#include "core/data/data_paths.h"
#include "core/data/record_set.h"
#include "core/engine/category_evaluators.h"
#include "core/engine/evaluation_driver.h"
#include "gui/evaluation/element_dispatch.h"
#include "core/evaluation/evaluate_check.h"
#include "gui/evaluation/wrapping_button.h"
#include "core/engine/result_classification.h"
#include "gui/results/results_form.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QStyleOptionButton>
#include <QTabWidget>
#include <QVBoxLayout>

namespace {

// Buttons shown per system, besides btnEntrepiso, in code order.
const char *const OrdenVisibilidad[] = {"btnVigas", "btnColumnas", "btnNudos", "btnMuros", "btnSinConfinar",
                                        "btnConfinada", "btnBahareque", "btnVigasAcero", "btnColumnasAcero",
                                        "btnUnionAcero", "btnVigasMadera", "btnColumnasMadera", "btnNudosMadera"};

QStringList BotonesDelSistema(int codigo)
{
    switch (codigo) {
    case 0: case 9: return {"btnVigas", "btnColumnas", "btnNudos"};
    case 1: case 2: return {"btnConfinada"};
    case 3: return {"btnSinConfinar"};
    case 4: case 12: case 14: return {"btnBahareque"};
    case 5: case 8: return {"btnVigas", "btnColumnas", "btnNudos", "btnMuros"};
    case 6: case 10: case 13: return {"btnVigasAcero", "btnColumnasAcero", "btnUnionAcero"};
    case 7: case 11: return {"btnVigasMadera", "btnColumnasMadera", "btnNudosMadera"};
    default: return {};
    }
}

// Designed tops (twips) of the structural element buttons.
int TopeEstructural(const QString &boton)
{
    static const QHash<QString, int> topes = {
        {"btnVigas", 600}, {"btnVigasAcero", 600}, {"btnVigasMadera", 600}, {"btnConfinada", 600},
        {"btnSinConfinar", 600}, {"btnBahareque", 600}, {"btnColumnas", 1320}, {"btnColumnasAcero", 1320},
        {"btnColumnasMadera", 1320}, {"btnNudos", 2040}, {"btnUnionAcero", 2040}, {"btnNudosMadera", 2040},
        {"btnMuros", 2760}, {"btnEntrepiso", 3480}};
    return topes.value(boton, 600);
}

constexpr int IzquierdaEstructural = 480;
constexpr int AnchoBoton = 3240;
constexpr int AltoBotonEstructural = 600;
constexpr int AltoBotonNoEstructural = 660;

QList<QRadioButton *> GrupoOpciones(QWidget *padre, QGroupBox *marco, const QString &arreglo, const QStringList &leyendas)
{
    QList<QRadioButton *> opciones;
    auto *capa = new QVBoxLayout(marco);
    for (int i = 0; i < leyendas.size(); ++i) {
        auto *o = new QRadioButton(leyendas.at(i), padre);
        Nombrar(o, NombreElemento(arreglo, i), leyendas.at(i));
        capa->addWidget(o);
        opciones << o;
    }
    opciones.first()->setChecked(true);
    return opciones;
}

int Elegido(const QList<QRadioButton *> &opciones)
{
    for (int i = 0; i < opciones.size(); ++i)
        if (opciones.at(i)->isChecked())
            return i;
    return -1;
}

}  // namespace

Form1::Form1(EstadoEvaluacion &estado, QWidget *padre) : QDialog(padre), estado_(estado)
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Nueva Evaluación"));

    auto *capa = new QVBoxLayout(this);
    mpNuevo_ = new QTabWidget(this);
    Nombrar(mpNuevo_, QStringLiteral("MPNuevo"), QStringLiteral("Carpetas de la evaluación"));
    const QStringList pestannas = {QStringLiteral("Identificación"), QStringLiteral("Estructurales"),
                                   QStringLiteral(" No Estructurales"), QStringLiteral("Suelo"),
                                   QStringLiteral("Preexistentes")};
    QList<QWidget *> carpetas;
    for (const QString &p : pestannas) {
        auto *c = new QWidget(mpNuevo_);
        mpNuevo_->addTab(c, p);
        carpetas << c;
    }
    ConstruirIdentificacion(carpetas[0]);
    ConstruirEstructurales(carpetas[1]);
    ConstruirNoEstructurales(carpetas[2]);
    ConstruirSuelo(carpetas[3]);
    ConstruirPreexistentes(carpetas[4]);
    capa->addWidget(mpNuevo_);

    auto *menu = new QHBoxLayout;
    menu->addStretch();
    auto *evaluar = new QPushButton(QStringLiteral("Evaluar"), this);
    Nombrar(evaluar, NombreElemento(QStringLiteral("btnMenu"), 0), QStringLiteral("Evaluar"));
    evaluar->setToolTip(QStringLiteral("Evaluar"));
    auto *cancelar = new QPushButton(QStringLiteral("Cancelar"), this);
    Nombrar(cancelar, NombreElemento(QStringLiteral("btnMenu"), 1), QStringLiteral("Cancelar"));
    cancelar->setToolTip(QStringLiteral("Cancelar Evaluación"));
    for (QPushButton *b : {evaluar, cancelar}) {
        b->setMinimumSize(120, 32);
        b->setAutoDefault(false);
        menu->addWidget(b);
    }
    menu->addStretch();
    capa->addLayout(menu);
    connect(evaluar, &QPushButton::clicked, this, [this] { btnMenu_Click(0); });
    connect(cancelar, &QPushButton::clicked, this, [this] { btnMenu_Click(1); });
    botones_.insert(evaluar->objectName(), evaluar);
    botones_.insert(cancelar->objectName(), cancelar);

    // Load: the state reset, folder 0, the lists, the non-structural column.
    estado_.ReiniciarPrimeraParte();
    mpNuevo_->setCurrentIndex(0);
    estado_.ReiniciarSegundaParte();
    cboTipoEstructura_->addItems(OpcionesEdificacion::Sistemas());
    cboEntrepiso_->addItems(OpcionesEdificacion::Entrepisos());
    cboCubierta_->addItems(OpcionesEdificacion::Cubiertas());
    for (QComboBox *c : {cboTipoEstructura_, cboEntrepiso_, cboCubierta_})
        c->setCurrentIndex(-1);
    for (const char *b : {"btnDivisorios", "btnFachada", "btnEscaleras", "btnOtrosArquitectonicos"})
        botones_.value(QString::fromLatin1(b))->move(Twips(2400), botones_.value(QString::fromLatin1(b))->y());

    connect(cboTipoEstructura_, &QComboBox::currentIndexChanged, this, &Form1::cboTipoEstructura_Click);
    resize(720, 600);
}

QPushButton *Form1::BotonNavegacion(QWidget *padre, const QString &nombre, bool adelante, int carpeta)
{
    auto *b = new QPushButton(adelante ? QStringLiteral("Continuar>>>") : QStringLiteral("<<<Devolver"), padre);
    Nombrar(b, nombre, adelante ? QStringLiteral("Continuar a la siguiente carpeta") : QStringLiteral("Devolver a la carpeta anterior"));
    b->setToolTip(adelante ? QStringLiteral("Siguiente Carpeta") : QStringLiteral("Carpeta Anterior"));
    b->setAutoDefault(false);
    connect(b, &QPushButton::clicked, this, [this, carpeta] { mpNuevo_->setCurrentIndex(carpeta); });
    botones_.insert(nombre, b);
    return b;
}

QPushButton *Form1::BotonElemento(QWidget *padre, const QString &nombre)
{
    const ElementoBoton *e = BuscarElementoBoton(nombre);
    auto *b = new BotonEnvolvente(QString::fromUtf8(e->leyenda), padre);
    Nombrar(b, nombre, QString::fromUtf8(e->leyenda).simplified());
    b->setAutoDefault(false);
    PonerNegrita(b, true);
    connect(b, &QPushButton::clicked, this, [this, nombre] { PulsarElemento(nombre); });
    botones_.insert(nombre, b);
    return b;
}

QPushButton *Form1::BotonCategoriaNuevo(QWidget *padre, const QString &nombre, const QString &texto, const QString &ayuda)
{
    auto *b = new BotonEnvolvente(texto, padre);
    Nombrar(b, nombre, texto);
    b->setToolTip(ayuda);
    b->setAutoDefault(false);
    PonerNegrita(b, true);
    connect(b, &QPushButton::clicked, this, [this, nombre] { BotonCategoria(nombre); });
    botones_.insert(nombre, b);
    return b;
}

void Form1::ConstruirIdentificacion(QWidget *carpeta)
{
    auto *capa = new QGridLayout(carpeta);

    auto *pisos = new QGroupBox(QStringLiteral("Pisos"), carpeta);
    pisos->setObjectName(QStringLiteral("frmPisos"));
    auto *formulario = new QFormLayout(pisos);
    auto campo = [&](QLineEdit *&caja, const QString &nombre, const QString &leyenda) {
        caja = new QLineEdit(pisos);
        caja->setObjectName(nombre);
        caja->setMaxLength(5);
        caja->setMaximumWidth(80);
        auto *etiqueta = new QLabel(leyenda, pisos);
        etiqueta->setWordWrap(true);
        Etiquetar(etiqueta, caja);
        formulario->addRow(etiqueta, caja);
    };
    campo(txtNPisos_, QStringLiteral("txtNPisos"), QStringLiteral("Número de pisos (Niveles sobre el terreno)"));
    campo(txtNSotanos_, QStringLiteral("txtNSotanos"), QStringLiteral("Número de sótanos"));
    campo(txtPMayorDanno_, QStringLiteral("txtPMayorDanno"), QStringLiteral("Piso mayor daño"));
    campo(txtPisosTotal_, QStringLiteral("txtPisosTotal"), QStringLiteral("Número total de pisos (Sobre y bajo el terreno)"));
    capa->addWidget(pisos, 0, 0);

    auto grupo = [&](const QString &titulo, const QString &arreglo, const QStringList &leyendas, QList<QRadioButton *> &destino) {
        auto *marco = new QGroupBox(titulo, carpeta);
        destino = GrupoOpciones(marco, marco, arreglo, leyendas);
        return marco;
    };
    capa->addWidget(grupo(QStringLiteral("Localización en la cuadra"), QStringLiteral("optLocalizacion"),
                          OpcionesEdificacion::Localizacion(), optLocalizacion_), 0, 1);
    capa->addWidget(grupo(QStringLiteral("Año de construcción"), QStringLiteral("OptAnno"),
                          OpcionesEdificacion::Anno(), optAnno_), 0, 2);
    capa->addWidget(grupo(QStringLiteral("Inspección de la edificación"), QStringLiteral("optInspeccion"),
                          OpcionesEdificacion::Inspeccion(), optInspeccion_), 1, 1);
    capa->addWidget(grupo(QStringLiteral("Riesgo por estabilidad global"), QStringLiteral("optEstabEvaluador"),
                          OpcionesEdificacion::Estabilidad(), optEstabEvaluador_), 1, 2);

    auto *listas = new QFormLayout;
    auto lista = [&](QComboBox *&cbo, const QString &nombre, const QString &leyenda) {
        cbo = new QComboBox(carpeta);
        cbo->setObjectName(nombre);
        auto *etiqueta = new QLabel(leyenda, carpeta);
        Etiquetar(etiqueta, cbo);
        listas->addRow(etiqueta, cbo);
    };
    lista(cboTipoEstructura_, QStringLiteral("cboTipoEstructura"), QStringLiteral("Sistema Estructural"));
    lista(cboCubierta_, QStringLiteral("cboCubierta"), QStringLiteral("Tipo de Cubierta"));
    lista(cboEntrepiso_, QStringLiteral("cboEntrepiso"), QStringLiteral("Tipo de Entrepiso"));
    capa->addLayout(listas, 1, 0);

    check1_ = new QCheckBox(QStringLiteral("Toda la información es importante para la evaluación"), carpeta);
    Nombrar(check1_, QStringLiteral("Check1"), check1_->text());
    check1_->setChecked(true);
    connect(check1_, &QCheckBox::toggled, this, &Form1::Check1_Click);
    capa->addWidget(check1_, 2, 0, 1, 3);

    auto *fila = new QHBoxLayout;
    fila->addStretch();
    fila->addWidget(BotonNavegacion(carpeta, QStringLiteral("Command1"), true, 1));
    capa->addLayout(fila, 3, 0, 1, 3);
    capa->setRowStretch(2, 1);
}

void Form1::ConstruirEstructurales(QWidget *carpeta)
{
    auto *capa = new QVBoxLayout(carpeta);
    auto *marco = new QGroupBox(QStringLiteral("ELEMENTOS ESTRUCTURALES"), carpeta);
    marco->setObjectName(QStringLiteral("frmEstructurales"));
    marco->setMinimumHeight(Twips(3480 + AltoBotonEstructural + 300));
    for (const ElementoBoton &e : ElementosBoton()) {
        if (e.carpeta != 1)
            continue;
        const QString nombre = QString::fromLatin1(e.boton);
        QPushButton *b = BotonElemento(marco, nombre);
        b->setGeometry(Twips(IzquierdaEstructural), Twips(TopeEstructural(nombre)), Twips(AnchoBoton),
                       Twips(AltoBotonEstructural));
        b->hide();
    }
    QPushButton *cat = BotonCategoriaNuevo(marco, QStringLiteral("btnEvalEstCalib"), QStringLiteral("Evalua Elementos Estructurales"),
                                           QStringLiteral("Evaluar daño en elementos estructurales."));
    cat->setGeometry(Twips(5400), Twips(1800), Twips(3240), Twips(840));
    capa->addWidget(marco, 1);
    auto *fila = new QHBoxLayout;
    fila->addWidget(BotonNavegacion(carpeta, QStringLiteral("Command5"), false, 0));
    fila->addStretch();
    fila->addWidget(BotonNavegacion(carpeta, QStringLiteral("Command4"), true, 2));
    capa->addLayout(fila);
}

void Form1::ConstruirNoEstructurales(QWidget *carpeta)
{
    auto *capa = new QVBoxLayout(carpeta);
    auto *marco = new QGroupBox(QStringLiteral("ELEMENTOS NO ESTRUCTURALES"), carpeta);
    marco->setObjectName(QStringLiteral("frmNoEstructurales"));
    marco->setMinimumHeight(Twips(3120 + AltoBotonNoEstructural + 1300));
    const QHash<QString, QPoint> posiciones = {
        {"btnDivisorios", {720, 600}}, {"btnFachada", {720, 1440}}, {"btnEscaleras", {720, 2280}},
        {"btnCieloLumin", {720, 3120}}, {"btnInstalaciones", {4200, 600}}, {"btnCubiertaBaha", {4200, 1440}},
        {"btnTanques", {4200, 2280}}};
    for (const ElementoBoton &e : ElementosBoton()) {
        if (e.carpeta != 2)
            continue;
        const QString nombre = QString::fromLatin1(e.boton);
        QPushButton *b = BotonElemento(marco, nombre);
        const QPoint p = posiciones.value(nombre);
        b->setGeometry(Twips(p.x()), Twips(p.y()), Twips(AnchoBoton), Twips(AltoBotonNoEstructural));
        if (e.otro)
            b->hide();
    }
    auto *otros = new BotonEnvolvente(QStringLiteral("  Evaluar otros elementos         No Estructurales"), marco);
    Nombrar(otros, QStringLiteral("btnOtrosArquitectonicos"), QStringLiteral("Evaluar otros elementos No Estructurales"));
    otros->setAutoDefault(false);
    otros->setGeometry(Twips(720), Twips(3120), Twips(AnchoBoton), Twips(AltoBotonNoEstructural));
    connect(otros, &QPushButton::clicked, this, &Form1::btnOtrosArquitectonicos_Click);
    botones_.insert(otros->objectName(), otros);
    QPushButton *cat = BotonCategoriaNuevo(marco, QStringLiteral("btnEvalNoEstCalib"), QStringLiteral("Evalua los Elementos No-Estructurales"),
                                           QStringLiteral("Evaluar daño en elementos no estructurales"));
    cat->setGeometry(Twips(2400), Twips(4080), Twips(AnchoBoton), Twips(720));
    capa->addWidget(marco, 1);
    auto *fila = new QHBoxLayout;
    fila->addWidget(BotonNavegacion(carpeta, QStringLiteral("Command7"), false, 1));
    fila->addStretch();
    fila->addWidget(BotonNavegacion(carpeta, QStringLiteral("Command6"), true, 3));
    capa->addLayout(fila);
}

void Form1::ConstruirSuelo(QWidget *carpeta)
{
    auto *capa = new QVBoxLayout(carpeta);
    auto *marco = new QGroupBox(QStringLiteral("PROBLEMAS GEOTÉCNICOS"), carpeta);
    marco->setObjectName(QStringLiteral("frmSuelo"));
    auto *interior = new QVBoxLayout(marco);
    check3_ = new QCheckBox(QStringLiteral("Información no relevante para la evaluación"), marco);
    Nombrar(check3_, QStringLiteral("Check3"), QStringLiteral("Problemas geotécnicos: información no relevante para la evaluación"));
    connect(check3_, &QCheckBox::toggled, this, &Form1::Check3_Click);
    interior->addWidget(check3_);
    auto *columna = new QGridLayout;
    int fila = 0;
    for (const char *n : {"btnDeslizamGrietas", "btnAsentamLicuac"}) {
        QPushButton *b = BotonElemento(marco, QString::fromLatin1(n));
        b->setFixedSize(Twips(AnchoBoton), Twips(AltoBotonNoEstructural));
        columna->addWidget(b, fila++, 0);
    }
    QPushButton *cat = BotonCategoriaNuevo(marco, QStringLiteral("btnEvaSueloCalib"), QStringLiteral("Evalua los Problemas Geotécnicos"),
                                           QStringLiteral("Evaluar los problemas geotécnicos"));
    cat->setFixedSize(Twips(AnchoBoton), Twips(720));
    columna->addWidget(cat, 0, 1, 2, 1, Qt::AlignCenter);
    interior->addLayout(columna);
    interior->addStretch();
    capa->addWidget(marco, 1);
    auto *nav = new QHBoxLayout;
    nav->addWidget(BotonNavegacion(carpeta, QStringLiteral("Command9"), false, 2));
    nav->addStretch();
    nav->addWidget(BotonNavegacion(carpeta, QStringLiteral("Command8"), true, 4));
    capa->addLayout(nav);
}

void Form1::ConstruirPreexistentes(QWidget *carpeta)
{
    auto *capa = new QVBoxLayout(carpeta);
    auto *marco = new QGroupBox(QStringLiteral("CONDICIONES PREEXISTENTES"), carpeta);
    marco->setObjectName(QStringLiteral("frmPreexistentes"));
    auto *interior = new QVBoxLayout(marco);
    check2_ = new QCheckBox(QStringLiteral("Información no relevante para la evaluación"), marco);
    Nombrar(check2_, QStringLiteral("Check2"), QStringLiteral("Condiciones preexistentes: información no relevante para la evaluación"));
    connect(check2_, &QCheckBox::toggled, this, &Form1::Check2_Click);
    interior->addWidget(check2_);
    auto *columna = new QGridLayout;
    int fila = 0;
    for (const char *n : {"btnCalidad", "btnConfiguracion", "btnIrregularidadPlanta", "btnIrregularidadAltura"}) {
        QPushButton *b = BotonElemento(marco, QString::fromLatin1(n));
        b->setFixedSize(Twips(AnchoBoton), Twips(AltoBotonNoEstructural));
        columna->addWidget(b, fila++, 0);
    }
    QPushButton *cat = BotonCategoriaNuevo(marco, QStringLiteral("btnEvaPreexCalib"), QStringLiteral("Evalua Condiciones Preexistentes"),
                                           QStringLiteral("Evaluar las Condiciones Preexistentes"));
    cat->setFixedSize(Twips(AnchoBoton), Twips(720));
    columna->addWidget(cat, 0, 1, 4, 1, Qt::AlignCenter);
    interior->addLayout(columna);
    interior->addStretch();
    capa->addWidget(marco, 1);
    auto *nav = new QHBoxLayout;
    nav->addWidget(BotonNavegacion(carpeta, QStringLiteral("Command2"), false, 3));
    nav->addStretch();
    capa->addLayout(nav);
}

void Form1::cboTipoEstructura_Click()
{
    const int codigo = OpcionesEdificacion::SistemasPorCodigo().indexOf(cboTipoEstructura_->currentText());
    if (codigo < 0)
        return;
    estado_.TipoEstructura = static_cast<int16_t>(codigo);
    QPushButton *entrepiso = botones_.value(QStringLiteral("btnEntrepiso"));
    entrepiso->move(entrepiso->x(), Twips(3480));
    const QStringList visibles = BotonesDelSistema(codigo);
    for (const char *n : OrdenVisibilidad) {
        const QString nombre = QString::fromLatin1(n);
        botones_.value(nombre)->setVisible(visibles.contains(nombre));
    }
    int bajar = 0;
    switch (codigo) {
    case 0: case 6: case 7: case 9: case 10: case 11: case 13: bajar = 720; break;
    case 1: case 2: case 3: case 4: case 12: case 14: bajar = 2160; break;
    default: bajar = 0; break;
    }
    entrepiso->move(entrepiso->x(), Twips(3480 - bajar));
    entrepiso->show();
}

void Form1::Check1_Click()
{
    estado_.CasoRelevancia = 0;
    for (const char *n : {"btnCalidad", "btnIrregularidadPlanta", "btnIrregularidadAltura", "btnConfiguracion",
                          "btnEvaPreexCalib", "btnDeslizamGrietas", "btnAsentamLicuac", "btnEvaSueloCalib"})
        botones_.value(QString::fromLatin1(n))->setEnabled(true);
}

void Form1::Check2_Click()
{
    check1_->setChecked(false);
    const bool habilitar = !check2_->isChecked();
    for (const char *n : {"btnCalidad", "btnIrregularidadPlanta", "btnIrregularidadAltura", "btnConfiguracion", "btnEvaPreexCalib"})
        botones_.value(QString::fromLatin1(n))->setEnabled(habilitar);
}

void Form1::Check3_Click()
{
    check1_->setChecked(false);
    const bool habilitar = !check3_->isChecked();
    for (const char *n : {"btnDeslizamGrietas", "btnAsentamLicuac", "btnEvaSueloCalib"})
        botones_.value(QString::fromLatin1(n))->setEnabled(habilitar);
}

void Form1::btnOtrosArquitectonicos_Click()
{
    const auto r = Mensaje::mostrar(this,
        QStringLiteral("Con esta elección usted evaluará elementos no estructurales como: Cielo rasos y Luminarias, "
                       "Instalaciones, Cubierta y Tanques Elevados "),
        Mensaje::Botones::AceptarCancelar, QStringLiteral("Otros Elementos No estructurales"));
    if (r != Mensaje::Respuesta::Aceptar)
        return;
    estado_.OtrosElegidos = 1;
    for (const char *n : {"btnDivisorios", "btnFachada", "btnEscaleras", "btnOtrosArquitectonicos"}) {
        QPushButton *b = botones_.value(QString::fromLatin1(n));
        b->move(Twips(720), b->y());
    }
    for (const char *n : {"btnCieloLumin", "btnInstalaciones", "btnCubiertaBaha", "btnTanques"})
        botones_.value(QString::fromLatin1(n))->show();
    botones_.value(QStringLiteral("btnOtrosArquitectonicos"))->hide();
}

void Form1::PulsarElemento(const QString &boton)
{
    const ElementoBoton *e = BuscarElementoBoton(boton);
    QPushButton *b = botones_.value(boton);
    if (!e || !b || !b->isEnabled())
        return;
    PonerNegrita(b, false);
    PulsarBotonElemento(this, estado_, *e);
}

void Form1::BotonCategoria(const QString &boton)
{
    QPushButton *b = botones_.value(boton);
    if (!b || !b->isEnabled())
        return;
    PonerNegrita(b, false);
    QStringList mensajes;
    try {
        const TablasPesos pesos = LeerTablasPesos(RutasDatos::archivoReferencia());
        if (boton == QLatin1String("btnEvalEstCalib"))
            mensajes = BotonEvaluarEstructural(estado_, pesos);
        else if (boton == QLatin1String("btnEvalNoEstCalib"))
            mensajes = BotonEvaluarNoEstructural(estado_, pesos);
        else if (boton == QLatin1String("btnEvaPreexCalib"))
            mensajes = BotonEvaluarPreexistente(estado_, pesos);
        else if (boton == QLatin1String("btnEvaSueloCalib"))
            mensajes = BotonEvaluarSuelo(estado_, pesos);
    } catch (const ErrorDatos &error) {
        mensajes = {error.mensaje()};
    }
    for (const QString &m : std::as_const(mensajes))
        Mensaje::mostrar(this, m);
}

DatosEdificacion Form1::Datos() const
{
    return {txtNPisos_->text(), txtNSotanos_->text(), txtPisosTotal_->text(), txtPMayorDanno_->text(),
            cboTipoEstructura_->currentText(), cboCubierta_->currentText(), cboEntrepiso_->currentText()};
}

int Form1::IndiceAnno() const { return Elegido(optAnno_); }

bool Form1::ConfirmarCancelar()
{
    return Mensaje::mostrar(this,
                            QStringLiteral("Está usted seguro que desea Salir ?. Perdera la información suministrada hasta ahora."),
                            Mensaje::Botones::SiNo, QStringLiteral("Datos Ingresados")) == Mensaje::Respuesta::Si;
}

void Form1::btnMenu_Click(int indice)
{
    if (indice == 1) {
        if (ConfirmarCancelar()) {
            cerrando_ = true;
            QDialog::reject();
        }
        return;
    }
    if (indice == 0)
        Evaluar();
}

void Form1::reject()
{
    // Escape and the close box ask the question of "Cancelar".
    if (cerrando_) {
        QDialog::reject();
        return;
    }
    btnMenu_Click(1);
}

void Form1::closeEvent(QCloseEvent *evento)
{
    if (cerrando_) {
        QDialog::closeEvent(evento);
        return;
    }
    evento->ignore();
    btnMenu_Click(1);
}

void Form1::Evaluar()
{
    EtiquetasResultados etiquetas;

    // 1. Relevance from the check boxes.
    if (check1_->isChecked()) {
        check2_->setChecked(false);
        check3_->setChecked(false);
        estado_.InfoNoRelevante = estado_.CasoRelevancia = 0;
    } else if (check2_->isChecked() && check3_->isChecked()) {
        check1_->setChecked(false);
        estado_.InfoNoRelevante = estado_.CasoRelevancia = 3;
        etiquetas.habilitadoCP = etiquetas.habilitadoES = false;
        etiquetas.habilitadoIndicePreexistente = etiquetas.habilitadoIndiceSuelo = false;
    } else if (check2_->isChecked()) {
        check1_->setChecked(false);
        estado_.InfoNoRelevante = estado_.CasoRelevancia = 1;
        etiquetas.habilitadoCP = etiquetas.habilitadoIndicePreexistente = false;
    } else if (check3_->isChecked()) {
        check1_->setChecked(false);
        estado_.InfoNoRelevante = estado_.CasoRelevancia = 2;
        etiquetas.habilitadoES = etiquetas.habilitadoIndiceSuelo = false;
    } else {
        estado_.InfoNoRelevante = estado_.CasoRelevancia = 0;
    }

    // 2 to 6, 8, 9. The building folder.
    const QVector<AvisoEvaluar> avisos =
        RevisarEdificacion({Datos(), Elegido(optLocalizacion_), Elegido(optAnno_), Elegido(optInspeccion_),
                            Elegido(optEstabEvaluador_)},
                           estado_);
    for (const AvisoEvaluar &a : avisos)
        Mensaje::mostrar(this, a.texto, Mensaje::Botones::Aceptar,
                         a.titulo.isEmpty() ? QStringLiteral("ORV") : a.titulo);
    const bool listo = avisos.isEmpty();

    // 7. Placeholders for the categories declared not relevant.
    if (check1_->isChecked() || check2_->isChecked() || check3_->isChecked())
        MarcarNoRelevantes(estado_, estado_.CasoRelevancia);

    if (!listo)
        return;

    // 11. Every required rating.
    VerificarCalificaciones(estado_, estado_.TipoEstructura, estado_.CasoRelevancia);
    if (estado_.FaltanCalificaciones == 1) {
        Mensaje::mostrar(this, TextosEvaluar::FaltanCalificaciones);
        return;
    }

    // 12. Last confirmation.
    if (Mensaje::mostrar(this, TextosEvaluar::Confirmar, Mensaje::Botones::SiNo, TextosEvaluar::TituloConfirmar)
        != Mensaje::Respuesta::Si)
        return;

    // 13. The evaluation.
    try {
        const TablasPesos pesos = LeerTablasPesos(RutasDatos::archivoReferencia());
        const TablasComentarios comentarios = LeerTablasComentarios(RutasDatos::archivoComentarios());
        EvaluarEdificacion(estado_, pesos, comentarios, IndiceAnno(), etiquetas);
    } catch (const ErrorDatos &error) {
        Mensaje::mostrar(this, error.mensaje());
        return;
    }

    // 14, 15. The results; when they close, the evaluation ends.
    Form7 resultados(estado_, etiquetas, Datos(), this);
    resultados.exec();
    cerrando_ = true;
    accept();
}
