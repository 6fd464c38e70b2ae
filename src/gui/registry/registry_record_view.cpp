#include "gui/registry/registry_record_view.h"

#include "gui/registry/correction_dialog.h"

#include "gui/common/widget_support.h"
#include "core/engine/fuzzy_scale.h"
#include "core/evaluation/rating_captions.h"
#include "gui/registry/registry_model.h"
#include "core/registry/buildings.h"
#include "core/registry/stored_comments.h"

#include <QDateTime>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHash>
#include <QHeaderView>
#include <QHBoxLayout>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QScrollArea>
#include <QTableWidget>
#include <QVBoxLayout>

using namespace RegistroEvaluaciones;

namespace {

const QString SinDato = QStringLiteral("(sin dato)");

bool EsIndice(int p)
{
    return p == Pos::IndiceEstructural || p == Pos::IndiceNoEstructural || p == Pos::IndiceSuelo ||
           p == Pos::IndicePreexistente;
}

// A label whose text a screen reader reads as it is shown, reached by Tab.
QLabel *Valor(const QString &texto, const QString &descripcion, QWidget *padre)
{
    auto *l = new QLabel(texto, padre);
    l->setTextFormat(Qt::PlainText);
    l->setWordWrap(true);
    l->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    l->setFocusPolicy(Qt::StrongFocus);
    l->setAccessibleName(texto);
    l->setAccessibleDescription(descripcion);
    if (texto == SinDato)
        l->setForegroundRole(QPalette::PlaceholderText);
    return l;
}

QLabel *Rotulo(const QString &texto, QWidget *padre)
{
    // On one line: a form layout gives a wrapped label the height of its
    // value, which cuts the label's second line.
    auto *l = new QLabel(texto + QLatin1Char(':'), padre);
    l->setTextFormat(Qt::PlainText);
    l->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    return l;
}

// The building's evaluations, newest first: number, date, habitability,
// the change against the one before, evaluator and commission; this
// evaluation's row selected.
QGroupBox *MarcoHistorial(const RegistroEvaluacion &registro, const QVector<RegistroEvaluacion> &historial,
                          QWidget *padre)
{
    auto *marco = new QGroupBox(QStringLiteral("Historial de la edificación (%1 evaluaciones)").arg(historial.size()),
                                padre);
    marco->setObjectName(QStringLiteral("grupoHistorial"));
    auto *capa = new QVBoxLayout(marco);
    const QStringList titulos = {QStringLiteral("Número"), QStringLiteral("Fecha"), QStringLiteral("Habitabilidad"),
                                 QStringLiteral("Cambio"), QStringLiteral("Evaluador"), QStringLiteral("Comisión")};
    auto *tabla = new QTableWidget(static_cast<int>(historial.size()), static_cast<int>(titulos.size()), marco);
    tabla->setObjectName(QStringLiteral("tblHistorial"));
    tabla->setAccessibleName(marco->title());
    tabla->setHorizontalHeaderLabels(titulos);
    tabla->verticalHeader()->hide();
    tabla->setEditTriggers(QAbstractItemView::NoEditTriggers);
    tabla->setSelectionBehavior(QAbstractItemView::SelectRows);
    tabla->setSelectionMode(QAbstractItemView::SingleSelection);
    for (int fila = 0; fila < historial.size(); ++fila) {
        const RegistroEvaluacion &r = historial.at(fila);
        const QString anterior = fila + 1 < historial.size() ? historial.at(fila + 1).texto(Pos::Habitabilidad) : QString();
        const QString habitabilidad = r.texto(Pos::Habitabilidad);
        const QString numero = r.numero() == registro.numero()
                                   ? QStringLiteral("%1 (esta evaluación)").arg(r.numero())
                                   : QString::number(r.numero());
        const QString textos[] = {numero, ModeloRegistro::TextoFecha(r.texto(Pos::Fecha)), habitabilidad,
                                  VistaEvaluacion::TextoCambio(anterior, habitabilidad), r.texto(Pos::Evaluador),
                                  r.texto(Pos::CodigoComision)};
        for (int c = 0; c < titulos.size(); ++c) {
            auto *item = new QTableWidgetItem(textos[c]);
            item->setData(Qt::AccessibleTextRole, titulos.at(c) + QStringLiteral(": ") + textos[c]);
            if (c == 2) {
                const QColor fondo = ModeloRegistro::ColorHabitabilidad(habitabilidad);
                if (fondo.isValid()) {
                    item->setBackground(fondo);
                    item->setForeground(ModeloRegistro::TextoSobreHabitabilidad(habitabilidad));
                }
            }
            tabla->setItem(fila, c, item);
        }
        if (r.numero() == registro.numero())
            tabla->selectRow(fila);
    }
    tabla->resizeColumnsToContents();
    tabla->horizontalHeader()->setStretchLastSection(true);
    // As tall as its rows, up to six; a longer history scrolls.
    const int filas = static_cast<int>(std::min<qsizetype>(historial.size(), 6));
    tabla->setFixedHeight(tabla->horizontalHeader()->sizeHint().height() + 2 * tabla->frameWidth() +
                          filas * tabla->verticalHeader()->defaultSectionSize());
    capa->addWidget(tabla);
    return marco;
}

// The corrections of this evaluation, oldest first: when, who, the field,
// the value before and after, and why.
QGroupBox *MarcoCorrecciones(const QVector<Correccion> &correcciones, QWidget *padre)
{
    auto *marco = new QGroupBox(correcciones.size() == 1 ? QStringLiteral("Correcciones (1)")
                                                         : QStringLiteral("Correcciones (%1)").arg(correcciones.size()),
                                padre);
    marco->setObjectName(QStringLiteral("grupoCorrecciones"));
    auto *capa = new QVBoxLayout(marco);
    const QStringList titulos = {QStringLiteral("Fecha"), QStringLiteral("Usuario"), QStringLiteral("Campo"),
                                 QStringLiteral("Antes"), QStringLiteral("Después"), QStringLiteral("Motivo")};
    auto *tabla = new QTableWidget(static_cast<int>(correcciones.size()), static_cast<int>(titulos.size()), marco);
    tabla->setObjectName(QStringLiteral("tblCorrecciones"));
    tabla->setAccessibleName(marco->title());
    tabla->setHorizontalHeaderLabels(titulos);
    tabla->verticalHeader()->hide();
    tabla->setEditTriggers(QAbstractItemView::NoEditTriggers);
    tabla->setSelectionBehavior(QAbstractItemView::SelectRows);
    for (int fila = 0; fila < correcciones.size(); ++fila) {
        const Correccion &c = correcciones.at(fila);
        const int p = PosicionDeColumna(c.columna);
        const QString textos[] = {c.fecha.toLocalTime().toString(QStringLiteral("dd/MM/yyyy HH:mm")), c.usuario,
                                  p < 0 ? c.columna : Campo(p).etiqueta, c.anterior, c.nuevo, c.motivo};
        for (int k = 0; k < titulos.size(); ++k) {
            auto *item = new QTableWidgetItem(textos[k]);
            item->setData(Qt::AccessibleTextRole, titulos.at(k) + QStringLiteral(": ") + textos[k]);
            tabla->setItem(fila, k, item);
        }
    }
    tabla->resizeColumnsToContents();
    tabla->horizontalHeader()->setStretchLastSection(true);
    tabla->setMinimumHeight(tabla->horizontalHeader()->height() + 2 * tabla->frameWidth() +
                            static_cast<int>(std::min<qsizetype>(correcciones.size(), 4)) * tabla->verticalHeader()->defaultSectionSize());
    capa->addWidget(tabla);
    return marco;
}

QFormLayout *Formulario(QGroupBox *marco)
{
    auto *f = new QFormLayout(marco);
    f->setRowWrapPolicy(QFormLayout::WrapLongRows);
    f->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);
    f->setLabelAlignment(Qt::AlignLeft | Qt::AlignTop);
    return f;
}

}  // namespace

QString VistaEvaluacion::TextoCambio(const QString &anterior, const QString &nueva)
{
    if (anterior.isEmpty())
        return QString();
    switch (Edificaciones::Cambio(anterior, nueva)) {
    case Edificaciones::CambioAviso::Peor:
        return QStringLiteral("Empeoró");
    case Edificaciones::CambioAviso::Mejor:
        return QStringLiteral("Mejoró");
    default:
        return QString();
    }
}

QString VistaEvaluacion::TextoValor(const RegistroEvaluacion &r, int p)
{
    const QVariant &v = r.campo(p);
    if (v.isNull() || (v.typeId() == QMetaType::QString && v.toString().trimmed().isEmpty()))
        return SinDato;
    if (p == Pos::Fecha)
        return ModeloRegistro::TextoFecha(v.toString());
    if (EsIndice(p)) {
        bool ok = false;
        const double d = v.toDouble(&ok);
        return ok ? IndiceImpreso(d) : v.toString();
    }
    if (p >= Pos::PrimerCualitativo && p < Pos::PrimerCualitativo + NumCualitativos) {
        bool ok = false;
        const int nivel = v.toInt(&ok);
        const QStringList opciones = OpcionesDeCasillaCualitativa(p - Pos::PrimerCualitativo);
        return ok && nivel >= 0 && nivel < opciones.size() ? opciones.at(nivel) : v.toString();
    }
    if (p >= Pos::PrimeraProporcion && p < Pos::PrimeraProporcion + 5 * NumGruposProporcion)
        return QLocale().toString(v.toLongLong()) + QStringLiteral(" %");
    if (Campo(p).tipo == TipoCampo::Real) {
        bool ok = false;
        const double d = v.toDouble(&ok);
        return ok ? QLocale().toString(d, 'g', QLocale::FloatingPointShortest) : v.toString();
    }
    return v.toString();
}

VistaEvaluacion::VistaEvaluacion(const RegistroEvaluacion &registro, AccionesRegistro &acciones,
                                 const TablasComentarios *comentarios, QWidget *padre,
                                 const QVector<RegistroEvaluacion> &historial,
                                 const QVector<Correccion> &correcciones)
    : QDialog(padre), registro_(registro), acciones_(acciones)
{
    // Each corrected field and its value before the first correction.
    QHash<QString, QString> original;
    for (const Correccion &c : correcciones)
        if (!original.contains(c.columna))
            original.insert(c.columna, c.anterior);

    setObjectName(QStringLiteral("VistaEvaluacion"));
    setWindowTitle(QStringLiteral("Evaluación número %1").arg(registro.numero()));
    setWindowFlag(Qt::WindowMaximizeButtonHint);

    auto *capa = new QVBoxLayout(this);

    // Head: number, date, address and the habitability on its colour.
    auto *cabeza = new QHBoxLayout;
    const QString direccion = TextoDireccion(registro);
    const QString tituloTexto = QStringLiteral("Evaluación número %1 — %2")
                                    .arg(registro.numero())
                                    .arg(direccion.isEmpty() ? registro.texto(Pos::NombreEdificacion) : direccion);
    auto *titulo = new QLabel(tituloTexto, this);
    titulo->setObjectName(QStringLiteral("lblTitulo"));
    titulo->setTextFormat(Qt::PlainText);
    titulo->setAccessibleName(tituloTexto);
    titulo->setWordWrap(true);
    QFont ft = titulo->font();
    ft.setPointSize(ft.pointSize() + 3);
    ft.setBold(true);
    titulo->setFont(ft);
    cabeza->addWidget(titulo, 1);
    const QString habitabilidad = registro.texto(Pos::Habitabilidad);
    auto *insignia = new QLabel(habitabilidad, this);
    insignia->setObjectName(QStringLiteral("lblHabitabilidad"));
    insignia->setAccessibleName(habitabilidad);
    insignia->setFont(ft);
    insignia->setAlignment(Qt::AlignCenter);
    insignia->setMargin(6);
    const QColor fondo = ModeloRegistro::ColorHabitabilidad(habitabilidad);
    if (fondo.isValid())
        insignia->setStyleSheet(QStringLiteral("QLabel { background: %1; color: %2; border-radius: 4px; }")
                                    .arg(fondo.name(), ModeloRegistro::TextoSobreHabitabilidad(habitabilidad).name()));
    cabeza->addWidget(insignia);
    capa->addLayout(cabeza);
    if (registro.reemplazadaPor) {
        const ReferenciaAviso &v = *registro.reemplazadaPor;
        const QDateTime fecha = QDateTime::fromString(v.fecha, Qt::ISODate);
        const QString texto = QStringLiteral("Una evaluación más reciente reemplazó a esta: la vigente es la N.º %1 "
                                             "del %2 (%3).")
                                  .arg(v.numero)
                                  .arg(fecha.isValid() ? fecha.toString(QStringLiteral("dd/MM/yyyy HH:mm")) : v.fecha,
                                       v.habitabilidad);
        auto *reemplazada = new QLabel(texto, this);
        reemplazada->setObjectName(QStringLiteral("lblReemplazada"));
        reemplazada->setAccessibleName(texto);
        reemplazada->setWordWrap(true);
        reemplazada->setStyleSheet(QStringLiteral("QLabel { background: #1a1a1a; color: white; padding: 6px; }"));
        capa->addWidget(reemplazada);
    }

    auto *area = new QScrollArea(this);
    area->setObjectName(QStringLiteral("areaCampos"));
    area->setWidgetResizable(true);
    area->setFrameShape(QFrame::NoFrame);
    auto *contenido = new QWidget(area);
    auto *rejilla = new QGridLayout(contenido);
    rejilla->setColumnStretch(0, 1);
    rejilla->setColumnStretch(1, 1);

    auto marcoDe = [&](GrupoCampo g) {
        auto *m = new QGroupBox(NombreGrupo(g), contenido);
        m->setObjectName(QStringLiteral("grupo%1").arg(static_cast<int>(g)));
        return m;
    };
    auto filasDe = [&](GrupoCampo g, QGroupBox *marco) {
        QFormLayout *f = Formulario(marco);
        for (const CampoRegistro &c : Campos()) {
            if (c.grupo != g)
                continue;
            const auto corregido = original.constFind(c.columna);
            const bool fueCorregido = corregido != original.cend();
            QLabel *v = Valor(TextoValor(registro, c.posicion),
                              fueCorregido ? QStringLiteral("%1, corregido; antes: %2")
                                                 .arg(c.etiqueta, corregido->isEmpty() ? SinDato : *corregido)
                                           : c.etiqueta,
                              marco);
            v->setObjectName(QStringLiteral("valor%1").arg(c.posicion));
            QLabel *r = Rotulo(fueCorregido ? c.etiqueta + QStringLiteral(" (corregido)") : c.etiqueta, marco);
            if (fueCorregido) {
                v->setToolTip(QStringLiteral("Antes de corregirlo: %1").arg(corregido->isEmpty() ? SinDato : *corregido));
                QFont negrita = r->font();
                negrita.setBold(true);
                r->setFont(negrita);
            }
            r->setBuddy(v);
            f->addRow(r, v);
        }
        return marco;
    };

    // Left: who, where and the building; right: the ratings and the results.
    auto *izquierda = new QVBoxLayout;
    izquierda->addWidget(filasDe(GrupoCampo::Identificacion, marcoDe(GrupoCampo::Identificacion)));
    QGroupBox *edificacion = filasDe(GrupoCampo::Edificacion, marcoDe(GrupoCampo::Edificacion));
    {
        const QString etiqueta = QStringLiteral("Unidades de vivienda");
        QLabel *v = Valor(registro.unidadesVivienda ? QString::number(*registro.unidadesVivienda) : SinDato, etiqueta,
                          edificacion);
        v->setObjectName(QStringLiteral("valorUnidades"));
        QLabel *r = Rotulo(etiqueta, edificacion);
        r->setBuddy(v);
        static_cast<QFormLayout *>(edificacion->layout())->addRow(r, v);
    }
    izquierda->addWidget(edificacion);
    izquierda->addWidget(filasDe(GrupoCampo::Coordenadas, marcoDe(GrupoCampo::Coordenadas)));
    izquierda->addStretch(1);
    auto *derecha = new QVBoxLayout;

    // The structural shares: one row per element group, one column per level.
    QGroupBox *proporciones = marcoDe(GrupoCampo::Proporciones);
    auto *tabla = new QGridLayout(proporciones);
    for (int k = 0; k < 5; ++k) {
        const QString etiqueta = Campo(Pos::PrimeraProporcion + k).etiqueta;
        QString nivel = etiqueta.section(QStringLiteral(": "), 1);
        nivel.remove(QStringLiteral(" (%)"));
        auto *h = new QLabel(nivel, proporciones);
        h->setWordWrap(true);
        h->setAlignment(Qt::AlignCenter);
        QFont fh = h->font();
        fh.setBold(true);
        h->setFont(fh);
        tabla->addWidget(h, 0, k + 1);
    }
    for (int g = 0; g < NumGruposProporcion; ++g) {
        const int primera = Pos::PrimeraProporcion + 5 * g;
        auto *nombre = new QLabel(Campo(primera).etiqueta.section(QStringLiteral(": "), 0, 0), proporciones);
        tabla->addWidget(nombre, g + 1, 0);
        for (int k = 0; k < 5; ++k) {
            const int p = primera + k;
            QLabel *v = Valor(TextoValor(registro, p), Campo(p).etiqueta, proporciones);
            v->setObjectName(QStringLiteral("valor%1").arg(p));
            v->setAlignment(Qt::AlignCenter);
            tabla->addWidget(v, g + 1, k + 1);
        }
    }
    derecha->addWidget(proporciones);
    derecha->addWidget(filasDe(GrupoCampo::Cualitativos, marcoDe(GrupoCampo::Cualitativos)));
    derecha->addWidget(filasDe(GrupoCampo::Resultados, marcoDe(GrupoCampo::Resultados)));
    derecha->addStretch(1);
    // The building's history first: which posting is current matters most.
    if (historial.size() > 1)
        rejilla->addWidget(MarcoHistorial(registro, historial, contenido), 0, 0, 1, 2);
    rejilla->addLayout(izquierda, 1, 0);
    rejilla->addLayout(derecha, 1, 1);

    // The comments, looked up by the stored codes, and the codes themselves.
    auto *marcoComentarios = new QGroupBox(QStringLiteral("Comentarios"), contenido);
    marcoComentarios->setObjectName(QStringLiteral("grupoComentarios"));
    QFormLayout *fc = Formulario(marcoComentarios);
    if (comentarios) {
        const ComentariosRegistro c = ComentariosDeRegistro(registro, *comentarios);
        const std::pair<QString, QString> textos[] = {
            {QStringLiteral("Daño en la Edificación"), c.dannoEdificio},
            {QStringLiteral("Estado Global"), c.estadoGlobal},
            {QStringLiteral("Habitabilidad"), c.habitabilidad},
            {QStringLiteral("Reparabilidad"), c.reparabilidad},
            {QStringLiteral("Medidas de Seguridad"), c.medidasSeguridad},
        };
        int i = 0;
        for (const auto &[rotulo, texto] : textos) {
            QLabel *v = Valor(texto.trimmed().isEmpty() ? SinDato : texto, rotulo, marcoComentarios);
            v->setObjectName(QStringLiteral("comentario%1").arg(i++));
            QLabel *r = Rotulo(rotulo, marcoComentarios);
            r->setBuddy(v);
            fc->addRow(r, v);
        }
    } else {
        fc->addRow(Valor(QStringLiteral("Los textos de los comentarios no están disponibles."), QString(),
                         marcoComentarios));
    }
    if (!correcciones.isEmpty())
        rejilla->addWidget(MarcoCorrecciones(correcciones, contenido), 3, 0, 1, 2);
    rejilla->addWidget(marcoComentarios, 4, 0, 1, 2);
    rejilla->addWidget(filasDe(GrupoCampo::Codigos, marcoDe(GrupoCampo::Codigos)), 5, 0, 1, 2);
    // The photos, when the caller gives them (mostrarFotos).
    lugarFotos_ = new QVBoxLayout;
    rejilla->addLayout(lugarFotos_, 2, 0, 1, 2);
    area->setWidget(contenido);
    capa->addWidget(area, 1);

    auto *botones = botones_ = new QDialogButtonBox(this);
    auto boton = [&](const QString &nombre, const QString &texto, QDialogButtonBox::ButtonRole rol) {
        QPushButton *b = botones->addButton(texto, rol);
        Nombrar(b, nombre, texto);
        b->setAutoDefault(false);
        return b;
    };
    QPushButton *aviso = boton(QStringLiteral("btnImprimirAviso"), QStringLiteral("Imprimir aviso"),
                               QDialogButtonBox::ActionRole);
    QPushButton *reporte = boton(QStringLiteral("btnImprimirReporte"), QStringLiteral("Imprimir reporte"),
                                 QDialogButtonBox::ActionRole);
    QPushButton *pdf = boton(QStringLiteral("btnGuardarPdf"), QStringLiteral("Guardar PDF"),
                             QDialogButtonBox::ActionRole);
    QPushButton *csv = boton(QStringLiteral("btnExportarCsv"), QStringLiteral("Exportar CSV"),
                             QDialogButtonBox::ActionRole);
    QPushButton *cerrar = boton(QStringLiteral("btnCerrar"), QStringLiteral("Cerrar"), QDialogButtonBox::RejectRole);
    cerrar->setDefault(true);
    const QVector<RegistroEvaluacion> uno{registro_};
    connect(aviso, &QPushButton::clicked, this,
            [this, uno] { acciones_.imprimir(this, AccionesRegistro::Documento::Aviso, uno); });
    connect(reporte, &QPushButton::clicked, this,
            [this, uno] { acciones_.imprimir(this, AccionesRegistro::Documento::Reporte, uno); });
    connect(pdf, &QPushButton::clicked, this, [this, uno] { acciones_.guardarPdf(this, uno); });
    connect(csv, &QPushButton::clicked, this, [this, uno] { acciones_.exportarCsv(this, uno); });
    connect(botones, &QDialogButtonBox::rejected, this, &QDialog::reject);
    capa->addWidget(botones);

    resize(1100, 760);
}

void VistaEvaluacion::permitirCorreccion(Corrector corregir)
{
    QPushButton *b = botones_->addButton(QStringLiteral("Corregir…"), QDialogButtonBox::ActionRole);
    Nombrar(b, QStringLiteral("btnCorregirIdentificacion"), QStringLiteral("Corregir la identificación"));
    b->setAutoDefault(false);
    b->setToolTip(QStringLiteral("Corregir un dato de la identificación de esta evaluación, con su motivo"));
    connect(b, &QPushButton::clicked, this, [this, corregir = std::move(corregir)] {
        DialogoCorreccion dialogo(registro_, this);
        if (dialogo.exec() == QDialog::Accepted && corregir(dialogo.columna(), dialogo.valor(), dialogo.motivo()))
            done(Corregida);
    });
}

FotosGuardadas *VistaEvaluacion::mostrarFotos(const QVector<FotoEvaluacion> &fotos, FotosGuardadas::Cargador cargar)
{
    auto *panel = new FotosGuardadas(fotos, std::move(cargar), this);
    lugarFotos_->addWidget(panel);
    return panel;
}

QLabel *VistaEvaluacion::valor(int posicion) const
{
    return findChild<QLabel *>(QStringLiteral("valor%1").arg(posicion));
}
