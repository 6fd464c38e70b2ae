#include "gui/registry/registry_form.h"

#include "gui/common/message_box.h"
#include "gui/common/widget_support.h"
#include "core/data/data_paths.h"
#include "gui/registry/date_range.h"
#include "core/data/record_set.h"
#include "core/exchange/csv_export.h"
#include "core/registry/local_registry.h"
#include "core/registry/outbox.h"
#include "core/registry/server_registry.h"
#include "gui/registry/registry_model.h"
#include "gui/registry/registry_record_view.h"
#include "gui/registry/summary_tab.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>

using namespace RegistroEvaluaciones;

namespace {
const QStringList Habitabilidades = {QStringLiteral("Habitable"), QStringLiteral("Uso Restringido"),
                                     QStringLiteral("No Habitable"), QStringLiteral("Peligro de Colapso")};
// Widths in characters of the columns, in the order of ModeloRegistro::Columnas().
constexpr int Anchos[] = {8, 16, 28, 18, 24, 20, 10, 18, 24, 12, 22, 14, 18};

QLabel *Rotulo(const QString &texto, QWidget *control, QWidget *padre)
{
    auto *l = new QLabel(texto, padre);
    Etiquetar(l, control);
    return l;
}
}  // namespace

RegistroForm::FabricaAlmacen RegistroForm::RegistroDeEsteEquipo()
{
    return [] { return std::make_unique<RegistroLocal>(RutasDatos::archivoRegistro()); };
}

RegistroForm::FabricaRegistro RegistroForm::RegistroConfiguradoDeEsteEquipo()
{
    return [] { return AbrirRegistroConfigurado(); };
}

RegistroForm::RegistroForm(FabricaAlmacen fabrica, QString archivoComentarios, QWidget *padre)
    : RegistroForm(
          FabricaRegistro([f = std::move(fabrica)] {
              RegistroConfigurado r;
              r.almacen = f();
              return r;
          }),
          std::move(archivoComentarios), padre)
{
}

RegistroForm::RegistroForm(FabricaRegistro fabrica, QString archivoComentarios, QWidget *padre)
    : QDialog(padre), fabrica_(std::move(fabrica)), acciones_(std::move(archivoComentarios))
{
    setObjectName(QStringLiteral("RegistroForm"));
    setWindowTitle(QStringLiteral("Registro de Evaluaciones"));
    setWindowFlag(Qt::WindowMaximizeButtonHint);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    // The report prints each evaluation's photos, fetched one by one.
    acciones_.establecerFotos([this](const RegistroEvaluacion &r) {
        QVector<FotoEvaluacion> fotos;
        if (!almacen())
            return fotos;
        for (const FotoEvaluacion &f : registro_.fotos(r))
            if (const std::optional<FotoEvaluacion> completa = registro_.foto(r, f.uuid))
                fotos << *completa;
        return fotos;
    });

    auto *exterior = new QVBoxLayout(this);
    pestanas_ = new QTabWidget(this);
    pestanas_->setObjectName(QStringLiteral("pestanas"));
    exterior->addWidget(pestanas_, 1);
    auto *lista = new QWidget(pestanas_);
    lista->setObjectName(QStringLiteral("pestanaEvaluaciones"));
    auto *capa = new QVBoxLayout(lista);

    // Search and filters.
    auto *filtros = new QHBoxLayout;
    txtBuscar_ = new QLineEdit(this);
    txtBuscar_->setObjectName(QStringLiteral("txtBuscar"));
    txtBuscar_->setPlaceholderText(QStringLiteral("Número, dirección, barrio, nombre, evaluador o comisión"));
    txtBuscar_->setClearButtonEnabled(true);
    txtBuscar_->setToolTip(QStringLiteral("Muestra las evaluaciones que contienen este texto en el número, la "
                                          "dirección, el barrio, el nombre de la edificación, el evaluador o la "
                                          "comisión"));
    filtros->addWidget(Rotulo(QStringLiteral("&Buscar:"), txtBuscar_, this));
    filtros->addWidget(txtBuscar_, 3);

    cboHabitabilidad_ = new QComboBox(this);
    cboHabitabilidad_->setObjectName(QStringLiteral("cboHabitabilidad"));
    cboHabitabilidad_->addItem(QStringLiteral("Todas"));
    cboHabitabilidad_->addItems(Habitabilidades);
    filtros->addSpacing(8);
    filtros->addWidget(Rotulo(QStringLiteral("&Habitabilidad:"), cboHabitabilidad_, this));
    filtros->addWidget(cboHabitabilidad_);

    fechas_ = new RangoFechas(QString(), this);
    filtros->addSpacing(8);
    filtros->addWidget(fechas_);

    // The view of buildings: one row each, its current posting.
    chkVigentes_ = new QCheckBox(QStringLiteral("Una fila por &edificación"), this);
    Nombrar(chkVigentes_, QStringLiteral("chkVigentes"), QStringLiteral("Una fila por edificación"));
    chkVigentes_->setToolTip(QStringLiteral("Muestra solo la evaluación vigente de cada edificación (la más reciente) "
                                            "y cuántas evaluaciones tiene"));
    filtros->addSpacing(8);
    filtros->addWidget(chkVigentes_);
    capa->addLayout(filtros);

    // The table.
    modelo_ = new ModeloRegistro(this);
    tabla_ = new QTableView(this);
    Nombrar(tabla_, QStringLiteral("tblEvaluaciones"), QStringLiteral("Evaluaciones guardadas"));
    tabla_->setSelectionBehavior(QAbstractItemView::SelectRows);
    tabla_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    tabla_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    tabla_->setAlternatingRowColors(true);
    tabla_->setWordWrap(false);
    tabla_->setTabKeyNavigation(false);
    tabla_->verticalHeader()->hide();
    // Rows of one height: the view never measures rows it has not read.
    tabla_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    tabla_->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 8);
    tabla_->setModel(modelo_);
    QHeaderView *cabecera = tabla_->horizontalHeader();
    cabecera->setSectionsClickable(true);
    cabecera->setSortIndicatorShown(true);
    cabecera->setHighlightSections(false);
    const int caracter = fontMetrics().averageCharWidth();
    for (int c = 0; c < modelo_->columnCount() && c < int(std::size(Anchos)); ++c)
        tabla_->setColumnWidth(c, Anchos[c] * caracter + 16);
    // Digits are wider than the average letter: the date and time in full.
    tabla_->setColumnWidth(1, std::max(tabla_->columnWidth(1),
                                       fontMetrics().horizontalAdvance(QStringLiteral("00/00/0000 00:00")) + 20));
    cabecera->setStretchLastSection(true);
    // Newest first.
    cabecera->setSortIndicator(0, Qt::DescendingOrder);
    tabla_->setSortingEnabled(true);
    capa->addWidget(tabla_, 1);

    // Evaluations of this machine waiting for another registry than the one shown.
    lblOtroRegistro_ = new QLabel(this);
    lblOtroRegistro_->setObjectName(QStringLiteral("lblOtroRegistro"));
    lblOtroRegistro_->setWordWrap(true);
    lblOtroRegistro_->setStyleSheet(QStringLiteral("QLabel { color: #a61b1b; font-weight: bold; }"));
    lblOtroRegistro_->hide();
    capa->addWidget(lblOtroRegistro_);

    // The count and the actions.
    auto *pie = new QHBoxLayout;
    lblTotal_ = new QLabel(this);
    lblTotal_->setObjectName(QStringLiteral("lblTotal"));
    lblTotal_->setTextInteractionFlags(Qt::TextSelectableByKeyboard | Qt::TextSelectableByMouse);
    pie->addWidget(lblTotal_, 1);
    auto boton = [&](const QString &nombre, const QString &texto, const QString &ayuda) {
        auto *b = new QPushButton(texto, this);
        Nombrar(b, nombre, QString(texto).remove(QLatin1Char('&')));
        b->setToolTip(ayuda);
        b->setAutoDefault(false);
        pie->addWidget(b);
        return b;
    };
    QPushButton *abrir = boton(QStringLiteral("btnAbrir"), QStringLiteral("&Ver evaluación"),
                               QStringLiteral("Muestra la evaluación completa de la fila elegida (Intro o doble clic)"));
    QPushButton *aviso = boton(QStringLiteral("btnImprimirAviso"), QStringLiteral("Imprimir &aviso"),
                               QStringLiteral("Imprime el aviso de cada evaluación seleccionada, con vista previa"));
    QPushButton *reporte = boton(QStringLiteral("btnImprimirReporte"), QStringLiteral("Imprimir &reporte"),
                                 QStringLiteral("Imprime el reporte de cada evaluación seleccionada, con vista previa"));
    QPushButton *pdf = boton(QStringLiteral("btnGuardarPdf"), QStringLiteral("Guardar &PDF"),
                             QStringLiteral("Guarda el aviso o el reporte de las evaluaciones seleccionadas en un PDF"));
    QPushButton *csv = boton(QStringLiteral("btnExportarCsv"), QStringLiteral("Exportar &CSV"),
                             QStringLiteral("Exporta las evaluaciones seleccionadas, o todas las que muestra la "
                                            "tabla si no hay ninguna seleccionada"));
    QPushButton *hoja = boton(QStringLiteral("btnExportarHoja"), QStringLiteral("Exportar h&oja de cálculo"),
                              QStringLiteral("Exporta las evaluaciones que muestra la tabla, sus edificaciones y el "
                                             "resumen del evento a un libro XLSX, con cada celda de su tipo"));
    QPushButton *sig = boton(QStringLiteral("btnExportarSig"), QStringLiteral("Exportar para &SIG"),
                             QStringLiteral("Exporta las evaluaciones que muestra la tabla y tienen coordenadas como "
                                            "puntos GeoJSON, para un sistema de información geográfica"));
    btnEnviar_ = boton(QStringLiteral("btnEnviarPendientes"), QStringLiteral("E&nviar pendientes"),
                       QStringLiteral("Envía al registro central las evaluaciones guardadas en este equipo que "
                                      "esperan conexión"));
    btnEnviar_->hide();
    btnApartadas_ = boton(QStringLiteral("btnVerApartadas"), QStringLiteral("Apartadas"),
                          QStringLiteral("Muestra las evaluaciones de este equipo que no se enviarán al registro "
                                         "central, y por qué"));
    btnApartadas_->hide();
    QPushButton *actualizarB = boton(QStringLiteral("btnActualizar"), QStringLiteral("Ac&tualizar"),
                                     QStringLiteral("Lee de nuevo el registro"));
    sobreSeleccion_ = {abrir, aviso, reporte, pdf};
    capa->addLayout(pie);
    pestanas_->addTab(lista, QStringLiteral("Evaluaciones"));

    resumen_ = new PestanaResumen([this] { return almacen(); }, acciones_, pestanas_);
    pestanas_->addTab(resumen_, QStringLiteral("Resumen"));
    connect(pestanas_, &QTabWidget::currentChanged, this, [this](int i) {
        if (pestanas_->widget(i) == resumen_)
            resumen_->actualizarSiHaceFalta();
    });
    connect(resumen_, &PestanaResumen::fallo, this, &RegistroForm::mostrarFallo);

    auto *cierre = new QHBoxLayout;
    cierre->addStretch(1);
    auto *cerrar = new QPushButton(QStringLiteral("Cerrar"), this);
    Nombrar(cerrar, QStringLiteral("btnCerrar"), QStringLiteral("Cerrar"));
    cerrar->setAutoDefault(false);
    cierre->addWidget(cerrar);
    exterior->addLayout(cierre);

    pausa_ = new QTimer(this);
    pausa_->setSingleShot(true);
    pausa_->setInterval(150);
    connect(pausa_, &QTimer::timeout, this, &RegistroForm::aplicarFiltro);
    connect(txtBuscar_, &QLineEdit::textChanged, pausa_, qOverload<>(&QTimer::start));
    connect(txtBuscar_, &QLineEdit::returnPressed, this, &RegistroForm::aplicarFiltro);
    connect(cboHabitabilidad_, &QComboBox::currentIndexChanged, this, &RegistroForm::aplicarFiltro);
    connect(fechas_, &RangoFechas::cambiado, this, &RegistroForm::aplicarFiltro);
    connect(chkVigentes_, &QCheckBox::toggled, this, [this](bool vigentes) {
        // Among buildings every row is current: the column says nothing.
        for (int c = 0; c < modelo_->columnCount(); ++c)
            if (ModeloRegistro::Columnas().at(c).campo == ModeloRegistro::ColumnaVigencia)
                tabla_->setColumnHidden(c, vigentes);
        aplicarFiltro();
    });

    // A failure found while the view paints is shown once the painting is done.
    connect(modelo_, &ModeloRegistro::fallo, this, &RegistroForm::mostrarFallo);
    connect(modelo_, &ModeloRegistro::totalCambiado, this, &RegistroForm::mostrarTotal);
    connect(tabla_, &QTableView::activated, this, [this](const QModelIndex &i) { abrirFila(i.row()); });
    connect(tabla_->selectionModel(), &QItemSelectionModel::selectionChanged, this, &RegistroForm::seleccionCambiada);
    connect(modelo_, &QAbstractItemModel::modelReset, this, &RegistroForm::seleccionCambiada);
    connect(abrir, &QPushButton::clicked, this, [this] {
        const QModelIndexList filas = tabla_->selectionModel()->selectedRows();
        if (!filas.isEmpty())
            abrirFila(filas.constFirst().row());
    });
    connect(aviso, &QPushButton::clicked, this,
            [this] { acciones_.imprimir(this, AccionesRegistro::Documento::Aviso, seleccionados()); });
    connect(reporte, &QPushButton::clicked, this,
            [this] { acciones_.imprimir(this, AccionesRegistro::Documento::Reporte, seleccionados()); });
    connect(pdf, &QPushButton::clicked, this, [this] { acciones_.guardarPdf(this, seleccionados()); });
    connect(csv, &QPushButton::clicked, this, [this] {
        const QVector<RegistroEvaluacion> elegidos = seleccionados();
        if (!elegidos.isEmpty() || !almacen()) {
            acciones_.exportarCsv(this, elegidos);
            return;
        }
        const FiltroRegistro filtro = modelo_->filtro();
        acciones_.exportarCsv(this, elegidos,
                              [this, filtro](const QString &archivo) { ExportarCsvArchivo(*almacen(), filtro, archivo); });
    });
    connect(hoja, &QPushButton::clicked, this, [this] {
        if (almacen())
            acciones_.exportarXlsx(this, *almacen(), modelo_->filtro());
        else
            actualizar();
    });
    connect(sig, &QPushButton::clicked, this, [this] {
        if (almacen())
            acciones_.exportarGeoJson(this, *almacen(), modelo_->filtro());
        else
            actualizar();
    });
    connect(btnEnviar_, &QPushButton::clicked, this, &RegistroForm::enviarPendientes);
    connect(btnApartadas_, &QPushButton::clicked, this, &RegistroForm::mostrarApartadas);
    connect(actualizarB, &QPushButton::clicked, this, &RegistroForm::actualizar);
    connect(cerrar, &QPushButton::clicked, this, &QDialog::reject);

    resize(1240, 680);
    actualizar();
    txtBuscar_->setFocus();
}

RegistroForm::~RegistroForm()
{
    // The model reads from the store: it lets go first.
    modelo_->establecerAlmacen(nullptr);
}

void RegistroForm::actualizar()
{
    resumen_->invalidar();
    if (!almacen()) {
        try {
            registro_ = fabrica_();
        } catch (const ErrorDatos &e) {
            // Said once the window stands, which stays usable.
            mostrarFallo(e.mensaje());
        }
        btnEnviar_->setVisible(registro_.bandeja != nullptr);
        // Room for the mark of the evaluations not yet numbered.
        if (registro_.bandeja)
            tabla_->setColumnWidth(0, std::max(tabla_->columnWidth(0),
                                               fontMetrics().horizontalAdvance(QStringLiteral("pendiente de envío")) + 16));
        modelo_->establecerBandeja(registro_.bandeja.get());
        modelo_->establecerAlmacen(almacen());
        modelo_->establecerFiltro(filtroElegido());
    } else {
        modelo_->establecerFiltro(filtroElegido());
    }
    contarApartadas();
    avisarOtroRegistro();
    if (pestanas_->currentWidget() == resumen_)
        resumen_->actualizar();
}

void RegistroForm::enviarPendientes()
{
    if (!registro_.esServidor())
        return;
    ResultadoEnvio r;
    try {
        r = registro_.enviarPendientes();
    } catch (const ErrorDatos &e) {
        Mensaje::mostrar(this, e.mensaje());
        return;
    }
    QString texto;
    if (r.enviados == 0 && r.pendientes == 0 && r.error.isEmpty())
        texto = QStringLiteral("No hay evaluaciones pendientes de envío.");
    else if (r.enviados > 0)
        texto = r.enviados == 1 ? QStringLiteral("Se envió 1 evaluación al registro central.")
                                : QStringLiteral("Se enviaron %1 evaluaciones al registro central.").arg(r.enviados);
    if (!r.error.isEmpty()) {
        if (!texto.isEmpty())
            texto += QStringLiteral("\r\r");
        texto += r.error + QStringLiteral("\r\r") +
                 (r.pendientes == 1 ? QStringLiteral("1 evaluación sigue pendiente de envío.")
                                    : QStringLiteral("%1 evaluaciones siguen pendientes de envío.").arg(r.pendientes));
    }
    if (r.apartadas > 0) {
        if (!texto.isEmpty())
            texto += QStringLiteral("\r\r");
        texto += r.apartadas == 1
                     ? QStringLiteral("1 evaluación fue apartada y no se enviará; «Apartadas» dice por qué.")
                     : QStringLiteral("%1 evaluaciones fueron apartadas y no se enviarán; «Apartadas» dice por qué.")
                           .arg(r.apartadas);
    }
    modelo_->recargar();
    contarApartadas();
    avisarOtroRegistro();
    resumen_->invalidar();
    // The table could not be read for the reason just given: said once.
    if (!r.error.isEmpty())
        fallosPorMostrar_.clear();
    Mensaje::mostrar(this, texto);
}

FiltroRegistro RegistroForm::filtroElegido() const
{
    FiltroRegistro f;
    f.texto = txtBuscar_->text().trimmed();
    if (cboHabitabilidad_->currentIndex() > 0)
        f.habitabilidad = cboHabitabilidad_->currentText();
    fechas_->aplicarA(f);
    f.soloVigentes = chkVigentes_->isChecked();
    return f;
}

void RegistroForm::aplicarFiltro()
{
    pausa_->stop();
    const FiltroRegistro f = filtroElegido();
    const FiltroRegistro &actual = modelo_->filtro();
    if (f.texto == actual.texto && f.habitabilidad == actual.habitabilidad && f.desde == actual.desde &&
        f.hasta == actual.hasta && f.soloVigentes == actual.soloVigentes)
        return;
    modelo_->establecerFiltro(f);
}

void RegistroForm::mostrarTotal(qint64 total)
{
    const bool edificaciones = modelo_->filtro().soloVigentes;
    QString texto = edificaciones ? (total == 1 ? QStringLiteral("1 edificación, su evaluación vigente")
                                                : QStringLiteral("%1 edificaciones, cada una con su evaluación vigente")
                                                      .arg(QLocale().toString(total)))
                    : total == 1  ? QStringLiteral("1 evaluación")
                                  : QStringLiteral("%1 evaluaciones").arg(QLocale().toString(total));
    if (const qint64 p = modelo_->pendientes(); p > 0)
        texto += p == 1 ? QStringLiteral(" (1 pendiente de envío)")
                        : QStringLiteral(" (%1 pendientes de envío)").arg(QLocale().toString(p));
    lblTotal_->setText(texto);
    lblTotal_->setAccessibleName(texto);
}

void RegistroForm::mostrarFallo(const QString &mensaje)
{
    // Said once the current action has ended; the reads of one reload may
    // fail alike, and one message stands for them.
    if (fallosPorMostrar_.contains(mensaje))
        return;
    fallosPorMostrar_.append(mensaje);
    if (fallosPorMostrar_.size() > 1)
        return;
    QMetaObject::invokeMethod(
        this,
        [this] {
            while (!fallosPorMostrar_.isEmpty()) {
                Mensaje::mostrar(this, fallosPorMostrar_.constFirst());
                fallosPorMostrar_.removeFirst();
            }
        },
        Qt::QueuedConnection);
}

void RegistroForm::seleccionCambiada()
{
    const bool hay = tabla_->selectionModel() && tabla_->selectionModel()->hasSelection();
    for (QPushButton *b : std::as_const(sobreSeleccion_))
        b->setEnabled(hay);
}

QVector<RegistroEvaluacion> RegistroForm::seleccionados() const
{
    QModelIndexList filas = tabla_->selectionModel()->selectedRows();
    std::sort(filas.begin(), filas.end(), [](const QModelIndex &a, const QModelIndex &b) { return a.row() < b.row(); });
    QVector<RegistroEvaluacion> registros;
    registros.reserve(filas.size());
    for (const QModelIndex &i : std::as_const(filas))
        if (const RegistroEvaluacion *r = modelo_->registro(i.row()))
            registros.append(*r);
    situar(registros);
    return registros;
}

void RegistroForm::situar(QVector<RegistroEvaluacion> &registros) const
{
    // A placard must say whether a newer evaluation replaced it.
    if (!almacen())
        return;
    try {
        almacen()->situar(registros);
    } catch (const ErrorDatos &e) {
        Mensaje::mostrar(const_cast<RegistroForm *>(this), e.mensaje());
    }
}

void RegistroForm::abrirFila(int fila)
{
    const RegistroEvaluacion *r = modelo_->registro(fila);
    if (!r)
        return;
    RegistroEvaluacion abierta = *r;
    // After a correction the evaluation is shown again as it now stands.
    while (abrirEvaluacion(abierta) == VistaEvaluacion::Corregida) {
        actualizar();
        if (abierta.pendiente)
            break;  // shown again once it has its number
        const std::optional<RegistroEvaluacion> nueva = almacen() ? almacen()->porNumero(abierta.numero()) : std::nullopt;
        if (!nueva)
            break;
        abierta = *nueva;
    }
}

int RegistroForm::abrirEvaluacion(const RegistroEvaluacion &r)
{
    QVector<RegistroEvaluacion> uno{r};
    situar(uno);
    RegistroEvaluacion copia = uno.front();
    QVector<RegistroEvaluacion> historial;
    QVector<Correccion> correcciones;
    if (almacen() && !copia.pendiente) {
        try {
            // The list's rows leave out what only the open evaluation shows.
            if (const auto completo = almacen()->porNumero(copia.numero()))
                copia.unidadesVivienda = completo->unidadesVivienda;
            historial = almacen()->historial(almacen()->claveDe(copia.numero()));
            correcciones = almacen()->correcciones(copia.numero());
        } catch (const ErrorDatos &e) {
            Mensaje::mostrar(this, e.mensaje());
        }
    }
    VistaEvaluacion vista(copia, acciones_, acciones_.comentarios(this), this, historial, correcciones);
    if (almacen()) {
        // The photos listed without their bytes (a pending record's from the
        // outbox); each fetched for its thumbnail.
        QVector<FotoEvaluacion> fotos;
        try {
            fotos = registro_.fotos(copia);
        } catch (const ErrorDatos &e) {
            Mensaje::mostrar(this, e.mensaje());
        }
        FotosGuardadas *panel =
            vista.mostrarFotos(fotos, [this, copia](const QUuid &u) { return registro_.foto(copia, u); });
        const QString titulo = QStringLiteral("Fotos de la edificación");
        panel->permitirCambios(
            [this, &vista, titulo, copia](QVector<FotoEvaluacion> &nuevas) {
                try {
                    registro_.agregarFotos(copia, nuevas);
                    Mensaje::mostrar(&vista, QStringLiteral("Las fotos han sido guardadas con la evaluación."),
                                     Mensaje::Botones::Aceptar, titulo);
                    return true;
                } catch (const ErrorDatos &e) {
                    Mensaje::mostrar(&vista, e.mensaje(), Mensaje::Botones::Aceptar, titulo);
                    return false;
                }
            },
            copia.pendiente ? FotosGuardadas::Quitador() : [this, &vista, titulo](const QUuid &foto, const QString &motivo) {
                try {
                    almacen()->quitarFoto(foto, motivo);
                    return true;
                } catch (const ErrorDatos &e) {
                    Mensaje::mostrar(&vista, e.mensaje(), Mensaje::Botones::Aceptar, titulo);
                    return false;
                }
            });
        connect(panel, &FotosGuardadas::cambiadas, &vista, [&vista] { vista.done(VistaEvaluacion::Corregida); });
    }
    if (almacen())
        vista.permitirCorreccion([this, &vista, copia](const QString &columna, const QString &valor, const QString &motivo) {
            try {
                const ResultadoCorreccion c = registro_.corregir(copia, columna, valor, motivo);
                Mensaje::mostrar(&vista, c.pendiente ? c.mensaje : QStringLiteral("La corrección ha sido guardada."),
                                 Mensaje::Botones::Aceptar, QStringLiteral("Corregir la identificación"));
                return true;
            } catch (const ErrorDatos &e) {
                Mensaje::mostrar(&vista, e.mensaje(), Mensaje::Botones::Aceptar,
                                 QStringLiteral("Corregir la identificación"));
                return false;
            }
        });
    return vista.exec();
}

void RegistroForm::avisarOtroRegistro()
{
    // Server mode: the outbox's records for another server; local file: any
    // record waiting in the outbox beside it, which this window does not show.
    QMap<QString, qint64> cuentas;
    QString actual;
    try {
        if (registro_.bandeja) {
            cuentas = registro_.bandeja->pendientesPorServidor();
            actual = BandejaSalida::registroDe(registro_.servidor->conexion());
            cuentas.remove(QString());  // taken as this server's at the next send
        } else if (const QString archivo = BandejaSalida::archivoPara(RutasDatos::archivoRegistro());
                   registro_.almacen && QFile::exists(archivo)) {
            cuentas = BandejaSalida(archivo).pendientesPorServidor();
        }
    } catch (const ErrorDatos &e) {
        mostrarFallo(e.mensaje());
    }
    cuentas.remove(actual);
    QStringList partes;
    qint64 total = 0;
    for (auto it = cuentas.cbegin(); it != cuentas.cend(); ++it) {
        total += it.value();
        partes << (it.key().isEmpty() ? QStringLiteral("%1 para el registro central configurado antes").arg(it.value())
                                      : QStringLiteral("%1 para el registro central «%2»").arg(it.value()).arg(it.key()));
    }
    if (total == 0) {
        lblOtroRegistro_->hide();
        return;
    }
    const QString texto =
        QStringLiteral("Atención: este equipo guarda evaluaciones pendientes de envío a otro registro (%1). "
                       "No se envían a este registro%2; para enviarlas, vuelva a elegir su registro en "
                       "«Configuración del registro».")
            .arg(partes.join(QStringLiteral(", ")),
                 registro_.bandeja ? QString() : QStringLiteral(" ni aparecen en esta lista ni en las exportaciones"));
    lblOtroRegistro_->setText(texto);
    lblOtroRegistro_->setAccessibleName(texto);
    lblOtroRegistro_->show();
}

void RegistroForm::contarApartadas()
{
    qsizetype n = 0;
    try {
        if (registro_.bandeja)
            n = registro_.bandeja->apartadas().size();
    } catch (const ErrorDatos &e) {
        mostrarFallo(e.mensaje());
    }
    btnApartadas_->setText(QStringLiteral("Apartadas (%1)").arg(n));
    btnApartadas_->setVisible(n > 0);
}

void RegistroForm::mostrarApartadas()
{
    QVector<EvaluacionApartada> apartadas;
    try {
        if (registro_.bandeja)
            apartadas = registro_.bandeja->apartadas();
    } catch (const ErrorDatos &e) {
        Mensaje::mostrar(this, e.mensaje());
        return;
    }
    if (apartadas.isEmpty())
        return;
    QStringList partes;
    partes << (apartadas.size() == 1
                   ? QStringLiteral("Esta evaluación de este equipo no se enviará al registro central:")
                   : QStringLiteral("Estas %1 evaluaciones de este equipo no se enviarán al registro central:")
                         .arg(apartadas.size()));
    for (const EvaluacionApartada &a : std::as_const(apartadas)) {
        const RegistroEvaluacion &r = a.registro;
        partes << QStringLiteral("«%1», %2, evaluada el %3 por %4.\r%5")
                      .arg(r.texto(Pos::NombreEdificacion), TextoDireccion(r),
                           r.texto(Pos::Fecha).left(16).replace(QLatin1Char('T'), QLatin1Char(' ')),
                           r.texto(Pos::Evaluador), a.motivo);
    }
    Mensaje::mostrar(this, partes.join(QStringLiteral("\r\r")), Mensaje::Botones::Aceptar,
                     QStringLiteral("Evaluaciones apartadas"));
}
