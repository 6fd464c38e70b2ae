// Writes a PNG of every form and dialog of the program, so that a person can
// look at them: orv-capturas OUT_DIR (run with QT_QPA_PLATFORM=offscreen).

#include "gui/app/info_forms.h"
#include "gui/app/main_menu_form.h"
#include "gui/common/spanish_locale.h"
#include "gui/common/message_box.h"
#include "core/data/data_paths.h"
#include "core/registry/known_building.h"
#include "gui/registry/correction_dialog.h"
#include "core/data/record_set.h"
#include "core/engine/category_evaluators.h"
#include "core/engine/evaluation_driver.h"
#include "gui/evaluation/element_dispatch.h"
#include "gui/evaluation/evaluation_form.h"
#include "gui/rating/condition_viewer_form.h"
#include "gui/rating/level_viewer_form.h"
#include "gui/rating/proportion_rating_form.h"
#include "gui/rating/qualitative_rating_form.h"
#include "gui/saving/additional_info_form.h"
#include "core/registry/local_registry.h"
#include "core/exchange/xlsx_export.h"
#include "gui/registry/registry_form.h"
#include "gui/registry/registry_model.h"
#include "gui/registry/registry_record_view.h"
#include "gui/registry/summary_tab.h"
#include "core/registry/stored_comments.h"
#include "reports/documents.h"
#include "reports/sample_records.h"
#include "core/engine/result_classification.h"
#include "gui/results/results_form.h"

#include <QApplication>
#include <functional>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QCheckBox>
#include <QMessageBox>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QUrl>
#include <QPushButton>
#include <QScrollBar>
#include <QTableView>
#include <QTabWidget>
#include <cstdio>

namespace {

QString carpetaSalida;
int fallos = 0;

void Capturar(QWidget *w, const QString &nombre)
{
    w->show();
    for (int i = 0; i < 5; ++i)
        QApplication::processEvents();
    const QString archivo = QDir(carpetaSalida).filePath(nombre + QStringLiteral(".png"));
    if (!w->grab().save(archivo)) {
        std::fprintf(stderr, "no se pudo escribir %s\n", qPrintable(archivo));
        ++fallos;
    }
    w->hide();
}

void Calificar(EstadoEvaluacion &e, int codigo, int nivel)
{
    e.UltimaVariable = static_cast<int16_t>(e.UltimaVariable + 1);
    e.Variables[e.UltimaVariable].Codigo = static_cast<int16_t>(codigo);
    e.Variables[e.UltimaVariable].Nivel = static_cast<int16_t>(nivel);
}

// A rated building of concrete frames; `danno` 0 for an undamaged one.
EtiquetasResultados Evaluar(EstadoEvaluacion &e, int danno)
{
    e.Reiniciar();
    e.TipoEstructura = 0;
    e.InfoNoRelevante = e.CasoRelevancia = 0;
    const int severo = danno ? 4 : 0, fuerte = danno ? 3 : 0, moderado = danno ? 2 : 0;
    Calificar(e, 0, fuerte);
    Calificar(e, 1, severo);
    Calificar(e, 2, fuerte);
    Calificar(e, 13, moderado);
    Calificar(e, 14, fuerte);
    Calificar(e, 15, severo);
    Calificar(e, 16, moderado);
    Calificar(e, 17, moderado);
    Calificar(e, 18, fuerte);
    Calificar(e, 19, moderado);
    Calificar(e, 20, danno ? 1 : 0);
    Calificar(e, 21, 0);
    Calificar(e, 22, moderado);
    EtiquetasResultados etiquetas;
    EvaluarEdificacion(e, LeerTablasPesos(RutasDatos::archivoReferencia()),
                       LeerTablasComentarios(RutasDatos::archivoComentarios()), danno ? 1 : 2, etiquetas);
    return etiquetas;
}

// The placard of each habitability and both pages of a report, drawn into
// PDFs and rendered as pdftoppm (poppler-utils) shows them.
void CapturarDocumentos()
{
    const TablasComentarios tablas = LeerTablasComentarios(RutasDatos::archivoComentarios());
    const QDir salida(carpetaSalida);
    auto png = [&](const QString &pdf, int pagina, const QString &nombre) {
        const int codigo = QProcess::execute(QStringLiteral("pdftoppm"),
            {QStringLiteral("-png"), QStringLiteral("-r"), QStringLiteral("100"), QStringLiteral("-f"),
             QString::number(pagina), QStringLiteral("-l"), QString::number(pagina), QStringLiteral("-singlefile"), pdf,
             salida.filePath(nombre)});
        if (codigo != 0) {
            std::fprintf(stderr, "pdftoppm no pudo dibujar %s\n", qPrintable(nombre));
            ++fallos;
        }
    };
    const QString nombres[4] = {QStringLiteral("habitable"), QStringLiteral("uso-restringido"),
                                QStringLiteral("no-habitable"), QStringLiteral("peligro-de-colapso")};
    const QString avisos = salida.filePath(QStringLiteral("avisos.pdf"));
    const QString reporte = salida.filePath(QStringLiteral("reporte.pdf"));
    try {
        QVector<RegistroEvaluacion> registros;
        for (int clase = 0; clase < 4; ++clase)
            registros << EjemploDocumentos::Registro(4711 + clase, clase);
        Documentos::GuardarAvisosPdf(avisos, registros, tablas);
        for (int clase = 0; clase < 4; ++clase)
            png(avisos, clase + 1, QStringLiteral("6%1-aviso-%2").arg(clase).arg(nombres[clase]));
        Documentos::GuardarReportesPdf(reporte, {registros.at(2)}, tablas);
        png(reporte, 1, QStringLiteral("65-reporte-pagina-1"));
        png(reporte, 2, QStringLiteral("66-reporte-pagina-2"));
    } catch (const ErrorDatos &e) {
        std::fprintf(stderr, "%s\n", qPrintable(e.mensaje()));
        ++fallos;
    }
    QFile::remove(avisos);
    QFile::remove(reporte);
}

// The same registry exported as a spreadsheet, as LibreOffice Calc shows
// it: Calc, headless, prints the workbook's first page to PDF, and
// pdftoppm draws it. Skipped, with a message, where Calc is not installed.
void CapturarHojaDeCalculo(const QString &archivoRegistro)
{
    const QString soffice = QStandardPaths::findExecutable(QStringLiteral("soffice"));
    if (soffice.isEmpty()) {
        std::fprintf(stderr, "sin LibreOffice (soffice) no se dibuja la hoja de cálculo exportada\n");
        return;
    }
    QTemporaryDir trabajo;
    const QString libro = trabajo.filePath(QStringLiteral("registro.xlsx"));
    try {
        RegistroLocal registro(archivoRegistro);
        ExportarXlsx(registro, FiltroRegistro(), libro);
    } catch (const ErrorDatos &e) {
        std::fprintf(stderr, "%s\n", qPrintable(e.mensaje()));
        ++fallos;
        return;
    }
    QProcess calc;
    calc.start(soffice, {QStringLiteral("-env:UserInstallation=") + QUrl::fromLocalFile(trabajo.filePath(QStringLiteral("perfil"))).toString(),
                         QStringLiteral("--headless"), QStringLiteral("--norestore"), QStringLiteral("--convert-to"),
                         QStringLiteral("pdf"), QStringLiteral("--outdir"), trabajo.path(), libro});
    if (!calc.waitForFinished(300000) || calc.exitCode() != 0 || !QFile::exists(trabajo.filePath(QStringLiteral("registro.pdf")))) {
        std::fprintf(stderr, "LibreOffice no pudo convertir la hoja de cálculo: %s\n", calc.readAllStandardError().constData());
        ++fallos;
        return;
    }
    // The first page (the first columns of "Evaluaciones"), the page that
    // shows the evaluation dates, and the first table of the summary: the
    // pages' texts, as pdftotext reads them, say which page is which.
    const QString pdf = trabajo.filePath(QStringLiteral("registro.pdf"));
    QProcess texto;
    texto.start(QStringLiteral("pdftotext"), {pdf, QStringLiteral("-")});
    texto.waitForFinished(60000);
    const QStringList paginas = QString::fromUtf8(texto.readAllStandardOutput()).split(QLatin1Char('\f'));
    auto pagina = [&](const QString &contiene) {
        for (int i = 0; i < paginas.size(); ++i)
            if (paginas[i].contains(contiene))
                return i + 1;
        std::fprintf(stderr, "ninguna página de la hoja de cálculo muestra «%s»\n", qPrintable(contiene));
        ++fallos;
        return 0;
    };
    const std::pair<int, const char *> capturas[] = {
        {1, "75-hoja-de-calculo-evaluaciones"},
        {pagina(QStringLiteral("Fecha de Evaluación")), "76-hoja-de-calculo-fechas"},
        {pagina(QStringLiteral("Edificaciones por habitabilidad vigente")), "77-hoja-de-calculo-resumen"}};
    for (const auto &[numero, nombre] : capturas) {
        if (numero == 0)
            continue;
        const int codigo = QProcess::execute(QStringLiteral("pdftoppm"),
            {QStringLiteral("-png"), QStringLiteral("-r"), QStringLiteral("80"), QStringLiteral("-f"),
             QString::number(numero), QStringLiteral("-l"), QString::number(numero), QStringLiteral("-singlefile"), pdf,
             QDir(carpetaSalida).filePath(QString::fromLatin1(nombre))});
        if (codigo != 0) {
            std::fprintf(stderr, "pdftoppm no pudo dibujar %s\n", nombre);
            ++fallos;
        }
    }
}

// The registry window over a registry of an event's first days: the table,
// one evaluation opened, and the summary tab with its charts.
void CapturarRegistro()
{
    const QString archivo = QDir(carpetaSalida).filePath(QStringLiteral("registro-ventana.sqlite"));
    QFile::remove(archivo);
    const char *const barrios[] = {"San Martín", "El Prado", "Centro", "La Loma", "Llanos", "Las Brisas"};
    const char *const comisiones[] = {"C-03", "C-09", "C-17", "C-21"};
    const char *const calles[] = {"12", "45B", "7", "30A", "101", "8"};
    try {
        RegistroLocal registro(archivo);
        QVector<RegistroEvaluacion> lote;
        for (int i = 0; i < 60; ++i) {
            // Most buildings fine, a fifth restricted, the rest unsafe; more
            // evaluations each day as the commissions arrive.
            const int clase = i % 10 < 5 ? 0 : i % 10 < 7 ? 1 : i % 10 < 9 ? 2 : 3;
            RegistroEvaluacion r = EjemploDocumentos::Registro(0, clase);
            const int dia = i < 6 ? 1 : i < 18 ? 2 : i < 36 ? 3 : 4;
            r.establecerCampo(RegistroEvaluaciones::Pos::Fecha,
                              QStringLiteral("2026-12-0%1T%2:%3:00").arg(dia).arg(8 + i % 10, 2, 10, QLatin1Char('0'))
                                  .arg(i * 7 % 60, 2, 10, QLatin1Char('0')));
            r.establecerCampo(RegistroEvaluaciones::Pos::Barrio, QString::fromUtf8(barrios[i * 7 % 6]));
            r.establecerCampo(RegistroEvaluaciones::Pos::Comuna, QStringLiteral("0%1-12").arg(1 + i % 4));
            r.establecerCampo(RegistroEvaluaciones::Pos::CodigoComision, QString::fromUtf8(comisiones[i % 4]));
            r.establecerCampo(RegistroEvaluaciones::Pos::NumeroCalle, QString::fromUtf8(calles[i % 6]));
            r.establecerCampo(RegistroEvaluaciones::Pos::NumeroCasa, QStringLiteral("%1-%2").arg(10 + i).arg(i % 40));
            // 44 buildings (a plot and its comuna): the first 16 evaluated
            // again on the last days.
            r.establecerCampo(RegistroEvaluaciones::Pos::Predio, QStringLiteral("%1").arg(i % 44, 4, 10, QLatin1Char('0')));
            // Global state and repairability as they go with the habitability.
            const char *const estados[] = {"Muy Bueno", "Bueno", "Delicado", "Grave", "Muy Grave"};
            const char *const reparaciones[] = {"Ninguna o Menor", "Reparación", "Refuerzo", "Posible Demolición"};
            r.establecerCampo(RegistroEvaluaciones::Pos::EstadoGlobal,
                              QString::fromUtf8(estados[std::min(4, clase + (clase == 0 ? i % 2 : 1))]));
            r.establecerCampo(RegistroEvaluaciones::Pos::Reparabilidad,
                              QString::fromUtf8(reparaciones[std::min(3, clase + i % 2)]));
            // Most give their dwelling units; some leave the box empty.
            if (i % 4 != 3)
                r.unidadesVivienda = 1 + i % 12;
            lote << r;
        }
        registro.agregar(lote);
    } catch (const ErrorDatos &e) {
        std::fprintf(stderr, "%s\n", qPrintable(e.mensaje()));
        ++fallos;
        return;
    }
    RegistroForm f([archivo] { return std::make_unique<RegistroLocal>(archivo); }, RutasDatos::archivoComentarios());
    f.resize(1280, 760);
    Capturar(&f, QStringLiteral("70-registro-ventana"));
    if (const RegistroEvaluacion *r = f.modelo()->registro(3)) {
        AccionesRegistro acciones(RutasDatos::archivoComentarios());
        const RegistroEvaluacion copia = *r;
        VistaEvaluacion vista(copia, acciones, acciones.comentarios(nullptr), &f);
        Capturar(&vista, QStringLiteral("71-registro-evaluacion"));
    }
    if (auto *vigentes = f.findChild<QCheckBox *>(QStringLiteral("chkVigentes"))) {
        vigentes->setChecked(true);
        Capturar(&f, QStringLiteral("74-registro-edificaciones"));
        vigentes->setChecked(false);
    }
    f.pestanas()->setCurrentWidget(f.resumen());
    Capturar(&f, QStringLiteral("72-registro-resumen"));

    // A building evaluated twice: the first evaluation opened with the
    // building's history, its placard marked as replaced, and the question
    // "Guardar" asks before a third evaluation of it.
    try {
        RegistroLocal registro(archivo);
        QVector<RegistroEvaluacion> primera{*registro.porNumero(2)};
        registro.situar(primera);
        AccionesRegistro acciones(RutasDatos::archivoComentarios());
        VistaEvaluacion vista(primera.front(), acciones, acciones.comentarios(nullptr), nullptr,
                              registro.historial(registro.claveDe(2)));
        Capturar(&vista, QStringLiteral("73-registro-historial"));
        const QString avisos = QDir(carpetaSalida).filePath(QStringLiteral("aviso-reemplazado.pdf"));
        Documentos::GuardarAvisosPdf(avisos, primera, LeerTablasComentarios(RutasDatos::archivoComentarios()));
        QProcess::execute(QStringLiteral("pdftoppm"), {QStringLiteral("-png"), QStringLiteral("-r"), QStringLiteral("100"),
                                                       QStringLiteral("-singlefile"), avisos,
                                                       QDir(carpetaSalida).filePath(QStringLiteral("67-aviso-reemplazado"))});
        QFile::remove(avisos);
        if (const auto c = Reinspeccion::Buscar(registro, primera.front())) {
            QMessageBox pregunta;
            pregunta.setWindowTitle(Reinspeccion::Titulo);
            pregunta.setText(Reinspeccion::Pregunta(*c));
            pregunta.addButton(QStringLiteral("Sí"), QMessageBox::YesRole);
            pregunta.addButton(QStringLiteral("No"), QMessageBox::NoRole);
            Capturar(&pregunta, QStringLiteral("52-pregunta-nueva-inspeccion"));
        }

        // A correction: the dialog as the evaluator fills it in, then the
        // evaluation with its corrected field and the list of corrections.
        {
            DialogoCorreccion dialogo(primera.front());
            auto *campo = dialogo.findChild<QComboBox *>(QStringLiteral("cboCampo"));
            campo->setCurrentIndex(campo->findData(RegistroEvaluaciones::Campo(RegistroEvaluaciones::Pos::NumeroCasa).columna));
            dialogo.findChild<QLineEdit *>(QStringLiteral("txtValor"))->setText(QStringLiteral("12-32"));
            dialogo.findChild<QLineEdit *>(QStringLiteral("txtMotivo"))
                ->setText(QStringLiteral("La placa de la casa dice 12-32"));
            Capturar(&dialogo, QStringLiteral("78-correccion"));
        }
        registro.corregir(2, RegistroEvaluaciones::Campo(RegistroEvaluaciones::Pos::NumeroCasa).columna,
                          QStringLiteral("12-32"), QStringLiteral("La placa de la casa dice 12-32"));
        QVector<RegistroEvaluacion> corregida{*registro.porNumero(2)};
        registro.situar(corregida);
        VistaEvaluacion conCorreccion(corregida.front(), acciones, acciones.comentarios(nullptr), nullptr,
                                      registro.historial(registro.claveDe(2)), registro.correcciones(2));
        conCorreccion.permitirCorreccion([](const QString &, const QString &, const QString &) { return false; });
        Capturar(&conCorreccion, QStringLiteral("79-registro-correccion"));
    } catch (const ErrorDatos &e) {
        std::fprintf(stderr, "%s\n", qPrintable(e.mensaje()));
        ++fallos;
    }
    CapturarHojaDeCalculo(archivo);
    QFile::remove(archivo);
}

}  // namespace

// tools/photo_screenshots.cpp
void CapturarFotos(const std::function<void(QWidget *, const QString &)> &capturar, const QString &carpetaSalida,
                   int &fallos);

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "uso: orv-capturas CARPETA_SALIDA\n");
        return 2;
    }
    carpetaSalida = QString::fromLocal8Bit(argv[1]);
    QDir().mkpath(carpetaSalida);
    UsarEspannol(app);
    RutasDatos::establecerCarpetaInstalacion(QCoreApplication::applicationDirPath() + QStringLiteral("/../share/orv"));
    RutasDatos::establecerArchivoRegistro(QDir(carpetaSalida).filePath(QStringLiteral("registro-capturas.sqlite")));
    Mensaje::activarModoPrueba(true);

    EstadoEvaluacion estado;
    {
        Form2 menu(estado);
        menu.VerificarBasesDeDatos();
        Capturar(&menu, QStringLiteral("01-menu-principal"));
    }
    {
        Form6 f;
        Capturar(&f, QStringLiteral("02-alcance"));
        Form3 r;
        Capturar(&r, QStringLiteral("03-reconocimientos"));
        frmAbout a;
        Capturar(&a, QStringLiteral("04-acerca-de"));
    }
    {
        Form1 f(estado);
        auto *sistema = f.findChild<QComboBox *>(QStringLiteral("cboTipoEstructura"));
        sistema->setCurrentIndex(sistema->findText(QStringLiteral("Sistema Dual")));
        const QStringList nombres = {QStringLiteral("identificacion"), QStringLiteral("estructurales"),
                                     QStringLiteral("no-estructurales"), QStringLiteral("suelo"),
                                     QStringLiteral("preexistentes")};
        for (int i = 0; i < nombres.size(); ++i) {
            f.MPNuevo()->setCurrentIndex(i);
            Capturar(&f, QStringLiteral("1%1-evaluacion-%2").arg(i).arg(nombres[i]));
        }
        Mensaje::encolarRespuesta(Mensaje::Respuesta::Aceptar);
        f.btnOtrosArquitectonicos_Click();
        f.MPNuevo()->setCurrentIndex(2);
        Capturar(&f, QStringLiteral("15-evaluacion-otros-elementos"));
        sistema->setCurrentIndex(sistema->findText(QStringLiteral("Mampostería confinada")));
        f.MPNuevo()->setCurrentIndex(1);
        Capturar(&f, QStringLiteral("16-evaluacion-mamposteria"));
    }
    {
        estado.Reiniciar();
        estado.VariableActual = Columnas;
        estado.IndiceVariable = 0;
        Form5 f(estado);
        f.EstablecerVariable(TituloVariable(Columnas));
        const int valores[5] = {40, 25, 20, 10, 5};
        for (int k = 0; k < 5; ++k)
            if (auto *b = f.findChild<QScrollBar *>(QStringLiteral("HSGrupo") + QStringList{"I", "II", "III", "IV", "V"}[k]))
                b->setValue(valores[k]);
        Capturar(&f, QStringLiteral("20-proporciones"));
    }
    for (const auto &[codigo, nombre] : QList<QPair<int, QString>>{{14, QStringLiteral("21-cualitativa-danno")},
                                                                   {18, QStringLiteral("22-cualitativa-afectacion")},
                                                                   {19, QStringLiteral("23-cualitativa-calidad")},
                                                                   {20, QStringLiteral("24-cualitativa-irregularidad")}}) {
        estado.VariableActual = static_cast<int16_t>(codigo);
        estado.OtroActual = -1;
        Form9 f(estado);
        f.EstablecerTextos(TituloVariable(codigo), MarcoCualitativo(codigo), OpcionesCualitativas(codigo));
        Capturar(&f, nombre);
    }
    {
        estado.VariableActual = Columnas;
        estado.OtroActual = -1;
        estado.CarpetaFoto = QStringLiteral("Columnas");
        estado.PrefijoFoto = QStringLiteral("Columna");
        Form10 f(estado);
        f.ContarFotos(QStringLiteral("Estructurales"));
        f.ElegirNivel(3);
        Capturar(&f, QStringLiteral("25-visor-niveles"));
    }
    {
        estado.VariableActual = AsentamientoLicuacion;
        estado.CarpetaFoto = QStringLiteral("LicAsent");
        estado.PrefijoFoto = QStringLiteral("Asentam");
        Form14 f(estado);
        f.EstablecerTitulo(QStringLiteral("ASENTAMIENTOS, SUBSIDENCIA Y LICUACIÓN"));
        f.ContarFotos(QStringLiteral("Suelo"));
        Capturar(&f, QStringLiteral("26-visor-condicion"));
    }
    for (const auto &[danno, nombre] : QList<QPair<int, QString>>{{1, QStringLiteral("grave")}, {0, QStringLiteral("sin-danno")}}) {
        const EtiquetasResultados etiquetas = Evaluar(estado, danno);
        Form7 f(estado, etiquetas, DatosEdificacion{});
        for (int carpeta = 0; carpeta < Form7::NumCarpetas; ++carpeta) {
            f.seleccionarCarpeta(carpeta);
            Capturar(&f, QStringLiteral("3%1-resultados-%2-%3").arg(danno ? 0 : 5).arg(nombre).arg(carpeta));
        }
    }
    {
        Form23 f(estado, DatosEdificacion{});
        Capturar(&f, QStringLiteral("40-informacion-adicional"));
    }
    {
        QMessageBox caja;
        caja.setWindowTitle(QStringLiteral("ORV"));
        caja.setText(Mensaje::textoEnPantalla(QStringLiteral("Riesgo Estructural: Alto.\rDaño Estructural: Fuerte.\rIndice de Daño Estructural = 0.55.")));
        caja.addButton(QStringLiteral("Aceptar"), QMessageBox::AcceptRole);
        Capturar(&caja, QStringLiteral("50-mensaje"));
        QMessageBox pregunta;
        pregunta.setWindowTitle(QStringLiteral("Datos Ingresados"));
        pregunta.setText(QStringLiteral("Todos los datos ingresados son correctos?"));
        pregunta.addButton(QStringLiteral("Sí"), QMessageBox::YesRole);
        pregunta.addButton(QStringLiteral("No"), QMessageBox::NoRole);
        Capturar(&pregunta, QStringLiteral("51-pregunta"));
    }
    CapturarDocumentos();
    CapturarRegistro();
    CapturarFotos(Capturar, carpetaSalida, fallos);
    std::printf("Capturas escritas en %s\n", qPrintable(carpetaSalida));
    return fallos == 0 ? 0 : 1;
}
