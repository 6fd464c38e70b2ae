#include "gui/evaluation/element_dispatch.h"

#include "gui/common/message_box.h"
#include "gui/rating/rating_dialogs.h"

const QVector<ElementoBoton> &ElementosBoton()
{
    static const QVector<ElementoBoton> tabla = {
        {"btnVigas", "Vigas Concreto", 1, false, 0, "Vigas", "Viga"},
        {"btnColumnas", "Columnas Concreto", 1, false, 1, "Columnas", "Columna"},
        {"btnNudos", "Nudos Concreto", 1, false, 2, "NudosConc", "Nudo"},
        {"btnMuros", "Muros Estructurales Concreto", 1, false, 3, "MurosConcr", "Muroes"},
        {"btnConfinada", "Muros Portantes", 1, false, 4, "Mamposteria", "Mamp"},
        {"btnSinConfinar", "Muros Portantes", 1, false, 5, "Mamposteria", "Mamp"},
        {"btnBahareque", "Muros Portantes", 1, false, 6, "", ""},
        {"btnVigasAcero", "Vigas en Acero", 1, false, 7, "Metalicas", "Metal"},
        {"btnColumnasAcero", "Columnas en Acero", 1, false, 8, "Metalicas", "Metal"},
        {"btnUnionAcero", "Conexiones en Acero", 1, false, 9, "Metalicas", "Metal"},
        {"btnVigasMadera", "Vigas en Madera", 1, false, 10, "Madera", "Madera"},
        {"btnColumnasMadera", "Columnas en Madera", 1, false, 11, "Madera", "Madera"},
        {"btnNudosMadera", "Conexiones en Madera", 1, false, 12, "Madera", "Madera"},
        {"btnEntrepiso", "Entrepisos", 1, false, 13, "Entrepiso", "Entrepiso"},
        {"btnDivisorios", "Muros Divisorios", 2, false, 14, "Divisorios", "Divisorios"},
        {"btnFachada", "Muros de Fachada", 2, false, 15, "Fachada", "Fachada"},
        {"btnEscaleras", "Escaleras", 2, false, 16, "Escaleras", "Escaleras"},
        {"btnCieloLumin", "Cielo Rasos y Luminarias", 2, true, 0, "CieloLuminaria", "CieloLum"},
        {"btnInstalaciones", "Instalaciones", 2, true, 1, "Instalaciones", "Instalaciones"},
        {"btnCubiertaBaha", "Cubierta", 2, true, 2, "Cubierta", "Cubierta"},
        {"btnTanques", "Tanques Elevados", 2, true, 3, "Tanques", "Tanques"},
        {"btnDeslizamGrietas", "Fallas en Taludes y  Movimientos en Masa", 3, false, 17, "GrietDesli", "Desliz"},
        {"btnAsentamLicuac", "Asentamiento, Subsidencia o Licuación", 3, false, 18, "LicAsent", "Asentam"},
        {"btnCalidad", "Calidad de los Materiales", 4, false, 19, "Calidad", "Calidad"},
        {"btnIrregularidadPlanta", "Irregularidad en Planta", 4, false, 20, "IrregPlanta", "Irreg"},
        {"btnIrregularidadAltura", "Irregularidad en Altura", 4, false, 21, "IrregAltura", "Irreg"},
        {"btnConfiguracion", "Configuración Estructural", 4, false, 22, "Configuracion", "Configuracion"},
    };
    return tabla;
}

const ElementoBoton *BuscarElementoBoton(const QString &boton)
{
    for (const ElementoBoton &e : ElementosBoton())
        if (boton == QLatin1String(e.boton))
            return &e;
    return nullptr;
}

QString TituloVariable(int codigo)
{
    static const char *const titulos[NumVariables] = {
        "VIGAS", "COLUMNAS", "NUDOS", "MUROS", "MUROS PORTANTES", "MUROS PORTANTES", "MUROS PORTANTES",
        "VIGAS DE ACERO", "COLUMNAS DE ACERO", "C0NEXIONES EN ACERO", "VIGAS EN MADERA", "COLUMNAS EN MADERA",
        "CONEXIONES EN MADERA", "ENTREPISO", "MUROS DIVISORIOS", "MUROS DE FACHADA", "ESCALERAS",
        "FALLAS EN TALUDES O MOVIMIENTOS DE MASA", "ASENTAMIENTO, SUBSIDENCIA Y LICUACION DEL SUELO",
        "CALIDAD DE LOS MATERIALES", "IRREGULARIDAD EN PLANTA", "IRREGULARIDAD EN ALTURA",
        "CONFIGURACION ESTRUCTURAL"};
    return (codigo >= 0 && codigo < NumVariables) ? QString::fromUtf8(titulos[codigo]) : QString();
}

QString TituloOtro(int codigo)
{
    static const char *const titulos[NumOtros] = {"CIELO RASOS Y LUMINARIAS", "INSTALACIONES", "CUBIERTA",
                                                  "TANQUES ELEVADOS"};
    return (codigo >= 0 && codigo < NumOtros) ? QString::fromUtf8(titulos[codigo]) : QString();
}

void BuscarVariable(QWidget *padre, EstadoEvaluacion &estado, int16_t codigo)
{
    estado.CalificarVariable = 1;
    const int limite = estado.UltimaVariable - 1;
    for (int i = 0; i <= limite; ++i) {
        if (estado.Variables.at(i).Codigo != codigo)
            continue;
        const auto r = Mensaje::mostrar(padre, QStringLiteral("Ud ya ingresó la calificación de esta variable. Desea calificarla nuevamente ?"),
                                        Mensaje::Botones::SiNo);
        estado.CalificarVariable = (r == Mensaje::Respuesta::Si) ? 1 : 0;
        estado.UltimaVariable = static_cast<int16_t>(estado.UltimaVariable - 1);
        estado.IndiceVariable = static_cast<int16_t>(i);
    }
}

void BuscarOtro(QWidget *padre, EstadoEvaluacion &estado, int16_t codigo)
{
    estado.CalificarOtro = 1;
    const int limite = estado.UltimoOtro - 1;
    for (int i = 0; i <= limite; ++i) {
        if (estado.OtrosNoEstructurales.at(i).Codigo != codigo)
            continue;
        const auto r = Mensaje::mostrar(padre, QStringLiteral("Ud ya calificó este elemento. Desea calificarlo nuevamente ?"),
                                        Mensaje::Botones::SiNo);
        estado.CalificarOtro = (r == Mensaje::Respuesta::Si) ? 1 : 0;
        estado.UltimoOtro = static_cast<int16_t>(estado.UltimoOtro - 1);
        estado.IndiceOtro = static_cast<int16_t>(i);
    }
}

void PulsarBotonElemento(QWidget *padre, EstadoEvaluacion &estado, const ElementoBoton &e)
{
    if (e.codigo == MurosBahareque) {
        if (estado.TipoEstructura == 4 || estado.TipoEstructura == 14) {
            estado.CarpetaFoto = estado.PrefijoFoto = QStringLiteral("Bahareque");
        } else if (estado.TipoEstructura == 12) {
            estado.CarpetaFoto = estado.PrefijoFoto = QStringLiteral("Tapia");
        }
    } else {
        estado.CarpetaFoto = QString::fromLatin1(e.carpetaFoto);
        estado.PrefijoFoto = QString::fromLatin1(e.prefijoFoto);
    }

    if (!e.otro) {
        estado.VariableActual = e.codigo;
        estado.OtroActual = -1;
        // Every code holds at most one slot: with all 23 slots taken the code
        // is among them, and the check below takes the reservation back.
        estado.UltimaVariable = static_cast<int16_t>(estado.UltimaVariable + 1);
        estado.IndiceVariable = estado.UltimaVariable;
        const int16_t reservado = estado.UltimaVariable;
        BuscarVariable(padre, estado, e.codigo);
        if (estado.CalificarVariable != 1)
            return;
        const bool aceptado = e.codigo <= 13
            ? CalificarProporcion(padre, estado, TituloVariable(e.codigo))
            : CalificarCualitativa(padre, estado, TituloVariable(e.codigo), MarcoCualitativo(e.codigo),
                                   OpcionesCualitativas(e.codigo));
        // A first rating abandoned without "Aceptar" gives its slot back.
        if (!aceptado && estado.IndiceVariable == reservado && estado.UltimaVariable == reservado) {
            estado.Variables.at(reservado) = VariableCalificada{};
            estado.UltimaVariable = static_cast<int16_t>(reservado - 1);
        }
    } else {
        estado.OtroActual = e.codigo;
        estado.VariableActual = -1;
        estado.UltimoOtro = static_cast<int16_t>(estado.UltimoOtro + 1);
        estado.IndiceOtro = estado.UltimoOtro;
        estado.OtrosElegidos = 1;
        const int16_t reservado = estado.UltimoOtro;
        BuscarOtro(padre, estado, e.codigo);
        if (estado.CalificarOtro != 1)
            return;
        const bool aceptado = CalificarCualitativa(padre, estado, TituloOtro(e.codigo), MarcoCualitativo(-1),
                                                   OpcionesCualitativas(-1));
        if (!aceptado && estado.IndiceOtro == reservado && estado.UltimoOtro == reservado) {
            estado.OtrosNoEstructurales.at(reservado) = OtroCalificado{};
            estado.UltimoOtro = static_cast<int16_t>(reservado - 1);
        }
    }
}
