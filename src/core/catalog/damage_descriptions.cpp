#include "core/catalog/damage_descriptions.h"

namespace {

// Texts that two groups share.
const char *const NivelIVMamposteriaSinConfinar =
    "Agrietamiento diagonal severo, con anchos de grietas mayores a 3.0 mm y dislocación de piezas de mampostería.";
const char *const NivelVBaharequeConDerrumbe =
    "Presenta deformaciones permanentes importantes, existiendo la posibilidad de desplome de la estructura. Falla de los elementos diagonales en aquellos muros que los contengan. Desprendimiento de los elementos verticales (pies derechos) de las soleras superior o inferior. Pandeo perpendicular al plano del muro. Pérdida generalizada de apoyos de la cubierta.";

// Groups 1..15, levels I..V.
const std::array<std::array<const char *, 5>, 15> Grupos = {{
    // 1 concrete
    {{
        "Algunas fisuras de ancho menor a 0.2mm, casi imperceptibles sobre la superficie del concreto.",
        "Fisuración perceptible a simple vista, con anchos entre 0.2mm y 1.0mm sobre la superficie del concreto.",
        "Grietas con anchos entre 1.0mm y 2.0mm en la superficie del concreto, perdida incipiente del recubrimiento.",
        "Agrietamiento notable del concreto, pérdida del recubrimiento y exposición de las barras de refuerzo longitudinal.",
        "Degradación y aplastamiento del concreto, agrietamiento del núcleo y pandeo de las barras de refuerzo longitudinal. Deformaciones e inclinaciones excesivas.",
    }},
    // 2 confined masonry
    {{
        "Grietas pequeñas difícilmente visibles, con ancho menor a 0.2mm, sobre la superficie del muro.",
        "Agrietamiento perceptible a simple vista, con anchos entre 0.2mm y 1.0mm, sobre la superficie del muro.",
        "Agrietamiento diagonal incipiente, grietas con anchos entre 1.0mm y 3.0mm, en la superficie del muro. Algunas fisuras en columnetas y vigas de confinamiento",
        "Agrietamiento diagonal severo, con anchos mayores a 3.0 mm, y dislocación de piezas de mampostería. ",
        "Desprendimiento de partes de piezas, aplastamiento local de la mampostería, prolongación del agrietamiento diagonal en columnetas y vigas de confinamiento, con anchos mayores a 1.0 mm. Desplome o inclinación apreciable del muro.",
    }},
    // 3 unconfined masonry
    {{
        "Grietas pequeñas difícilmente visibles con ancho menor a 0.2mm, sobre la superficie del muro.",
        "Agrietamiento perceptible a simple vista, con anchos entre 0.2mm y 1.0mm, sobre la superficie del muro.",
        "Agrietamiento diagonal incipiente, grietas con anchos entre 1.0mm y 3.0mm en la superficie del muro. Inicio de la formación de agrietamiento diagonal en muros confinados.",
        NivelIVMamposteriaSinConfinar,
        "Desprendimiento de partes de piezas. Aplastamiento local de la mampostería. Desplome o inclinación apreciable horizontal o vertical del muro. Prolongación del agrietamiento diagonal en columnetas y vigas de confinamiento, con anchos mayores a 1.0mm.",
    }},
    // 4 bahareque, cemented
    {{
        "No se observa agrietamiento en los revoques.",
        "Agrietamiento incipiente de los revoques en esquinas de puertas y ventanas. Uniones completamente sanas.",
        "Agrietamiento vertical en las esquinas de los muros, grietas diagonales en algunos muros, desprendimiento incipiente de clavos y elementos de unión entre muros.",
        "Grietas diagonales en la mayoria de los muros. Pérdidas considerables del revoque de los muros. Pérdida de apoyo parcial de cubierta y/o entrepisos.",
        NivelVBaharequeConDerrumbe,
    }},
    // 5 bahareque, not cemented
    {{
        "No se observa agrietamiento en los revoques.",
        "Agrietamiento incipiente de los revoques de los muros con mortero de barro. Uniones completamente sanas.",
        "Agrietamiento vertical en las esquinas de los muros, grietas diagonales y horizontales generalizadas en los muros, desprendimiento parcial de revoques, desprendimiento de los clavos y elementos de fijación de los muros.",
        "Deslizamiento relativo en los empalmes de los muros. Agrietamiento en prácticamente todos los muros. Pérdida de apoyo parcial de cubierta y/o entrepisos.",
        NivelVBaharequeConDerrumbe,
    }},
    // 6 rammed earth or adobe
    {{
        "Fisuras con ancho menor a 0.4mm, casi imperceptibles sobre la superficie del muro.",
        "Agrietamiento perceptible a simple vista con anchos entre 0.4mm y 2.0mm sobre la superficie del muro.",
        "Grietas moderadas (con anchos entre 2.0mm y 4.0mm)en la superficie del muro: horizontales en la base del muro o en la parte central o agrietamiento vertical en la zona central, combinado con grietas diagonales que se prolongan hacia los extremos del muro insinuando el mecanismo de falla.",
        "Agrietamiento similar al nivel de daño moderado, excepto que el ancho de las grietas es mayor a 4.0mm, desplazamiento fuera del plano de unos pocos milímetros.",
        "Aplastamiento local del muro, deformación, desplome o inclinación apreciable del muro.",
    }},
    // 7 steel
    {{
        "Sin defectos visibles.",
        "Deformaciones menores casi imperceptibles.",
        "Deformaciones perceptibles a simple vista, pandeo incipiente de secciones.",
        "Pandeo local, fractura o alguna evidencia de daño en secciones del elemento estructural fuera de zonas de posible formación de articulaciones plásticas.",
        "Pandeo local, fractura o alguna evidencia de daños en secciones del elemento estructural dentro de zonas de posible formación de articulaciones plásticas. Fractura de soldaduras, tornillos o remaches.",
    }},
    // 8 timber
    {{
        "No se observa agrietamiento en el elemento.",
        "Fisuración mínima en el elemento.",
        "Agrietamiento en el elemento. Desplazamiento insignificante en las uniones.",
        "Agrietamiento notable en el elemento y deslizamiento o desplazamiento claramente imperceptible en uniones.",
        "Disminución de la sección transversal en el elemento, o rompimiento del elemento. Separación o desprendimiento del elemento del sistema estructural.",
    }},
    // 9 floor system
    {{
        "Algunas fisuras de ancho menor a 0.2mm, casi imperceptibles sobre la superficie.",
        "Fisuración perceptible a simple vista, con anchos entre 0.2mm y 1.0mm sobre la superficie.",
        "Grietas con anchos entre 1.0 y 2.0mm en la superficie, perdida incipiente del recubrimiento.",
        "Agrietamiento apreciable, pérdida del recubrimiento en la superficie.",
        "Degradación y aplastamiento del material, agrietamiento severo.",
    }},
    // 10 partition and facade walls
    {{
        "Grietas pequeñas difícilmente visibles con ancho menor a 0.2mm sobre la superficie del muro.",
        "Agrietamiento perceptible a simple vista, con anchos entre 0.2mm y 1.0mm sobre la superficie del muro.",
        "Agrietamiento diagonal incipiente. Grietas considerablemente grandes con anchos entre 1.0 y 3.0mm en la superficie del muro.",
        NivelIVMamposteriaSinConfinar,
        "Desprendimiento de partes de piezas, aplastamiento local de la mampostería. Agrietamiento diagonal en muros sin confinamiento. Desplome o inclinación apreciable del muro.",
    }},
    // 11 stairs
    {{
        "Grietas pequeñas difícilmente visibles con ancho menor a 0.2mm sobre la superficie de los peldaños.",
        "Daños menores reflejados en grietas pequeñas, con ancho menor a 1.0mm, que no afectan la seguridad y uso.",
        "Daños como agrietamiento del concreto o material de la escalera o de sus apoyos (grietas con anchos superiores a 1.0mm), pero sin riesgo de inestabilidad ni caída de elementos.",
        "Agrietamiento severo, con anchos de grietas mayores a 3.0 mm, escombros en los accesos e indicios de daño en los apoyos.",
        "Daño significativo en los apoyos o desgarramiento de la escalera en sus apoyos, barras de refuerzo pandeadas, colapso parcial, asetamiento o inclinación con respecto a los pisos que vincula. Insegura para el ingreso.",
    }},
    // 12 ceilings and lights
    {{
        "No hay daño aparente.",
        "No existe daño significativo y no hay riesgo aparente para las personas.",
        "Se observan daños pero no existe aparentemente peligro de inestabilidad.",
        "Agrietamiento moderado o colapso parcial.",
        "Pérdida del anclaje o apoyo del cielo raso y de las luminarias o lámparas.",
    }},
    // 13 installations
    {{
        "Sin defectos visibles.",
        "Deformación casi imperceptible del componente.",
        "Deformación perceptible a simple vista del componente.",
        "Deformación excesiva y dislocación incipiente del componente.",
        "Rompimiento y dislocación severa del componente.",
    }},
    // 14 roof
    {{
        "Caída de muy pocas tejas o laminas por deslizamiento de las mismas. No se observa desnivel en el techo.",
        "Caída y falla de varias tejas o laminas que sufren deslizamiento (entre  el 15% y el 30%). No se observa desnivel en el techo o ninguna otra afectación en la estructura de cubierta.",
        "Deslizamiento, caída y falla de un numero notable de tejas (entre el 30% y el 45%), sin presentar desnivel en el techo.",
        "Deslizamiento, caída y falla generalizada de tejas (entre el 45% y el 60%), problemas en apoyos de correas o cerchas generando desniveles menores en la estructura del techo.",
        "Daño severo o falla notable en la estructura de techo (correas, cerchas, vigas, etc); deslizamiento, caída y falla de prácticamente toda la teja de cubierta.",
    }},
    // 15 elevated tanks
    {{
        "Sin defectos visibles.",
        "Daños menores reflejados en pequeñas grietas (ancho menos a 1.0 mm) que no afectan la seguridad y uso. Deformación casi imperceptible del tanque.",
        "Daños como agrietamiento del concreto o de sus apoyos (grietas con anchos superiores a 1.0 mm), pero sin riesgo de inestabilidad.",
        "Agrietamiento severo, con anchos de grietas mayores a 3mm. Daños en los apoyos, deformación excesiva.",
        "Barras de refuerzo pandeadas, colapso parcial, asentamiento o inclinación con respecto a la posición original. Representa un riesgo para los transeúntes o para el ingreso.",
    }},
}};

}  // namespace

int GrupoDescripcion(int variableActual, int otroActual, int tipoEstructura)
{
    int grupo = 0;
    switch (variableActual) {
    case Vigas: case Columnas: case Nudos: case Muros: grupo = 1; break;
    case MurosConfinados: grupo = 2; break;
    case MurosSinConfinar: grupo = 3; break;
    case MurosBahareque:
        // Bahareque cemented (4), not cemented (14), rammed earth or adobe (12).
        grupo = tipoEstructura == 4 ? 4 : tipoEstructura == 14 ? 5 : tipoEstructura == 12 ? 6 : 0;
        break;
    case VigasAcero: case ColumnasAcero: case ConexionesAcero: grupo = 7; break;
    case VigasMadera: case ColumnasMadera: case ConexionesMadera: grupo = 8; break;
    case Entrepiso: grupo = 9; break;
    case MurosDivisorios: case MurosFachada: grupo = 10; break;
    case Escaleras: grupo = 11; break;
    default: break;
    }
    switch (otroActual) {
    case CieloRasos: grupo = 12; break;
    case Instalaciones: grupo = 13; break;
    case Cubierta: grupo = 14; break;
    case TanquesElevados: grupo = 15; break;
    default: break;
    }
    return grupo;
}

DescripcionesNiveles DescripcionesDeGrupo(int grupo)
{
    DescripcionesNiveles d;
    if (grupo < 1 || grupo > 15)
        return d;
    for (int n = 0; n < 5; ++n)
        d[n] = QString::fromUtf8(Grupos[grupo - 1][n]);
    return d;
}

DescripcionesNiveles DescripcionesNivel(const EstadoEvaluacion &estado)
{
    return DescripcionesDeGrupo(GrupoDescripcion(estado.VariableActual, estado.OtroActual, estado.TipoEstructura));
}

QString TextoCondicion(int variable)
{
    switch (variable) {
    case 17: return QStringLiteral("Los sismos pueden convertirse en agentes disparadores de deslizamientos o desprendimientos de rocas. Es posible que en algunos casos la cercanía a un deslizamiento afecte la seguridad de la edificación o que debido a la proximidad de éste la estructura pueda ver comprometida su estabilidad. El agrietamiento del suelo en una ladera puede ser un indicio de que un deslizamiento esta próximo a ocurrir y puede comprometer la seguridad de la edificación.");
    case 18: return QStringLiteral("En algunos suelos arenosos saturados y poco consolidados, el sismo puede causar el fenómeno de la licuación. Cuando este fenómeno se presenta el suelo pierde su capacidad de soporte y se pueden presentar asentamientos en las edificaciones. Estos efectos pueden producir daños graves a la edificación. La subsidencia es un desplazamiento hacia abajo que se presenta en el terreno que soporta una construcción. Entre las causas principales que conllevan a este fenómeno se encuentran: tuberías de desagües perforados, ya que los escapes de agua pueden erosionar los cimientos; las obras subterráneas tales como, las minas fuera de uso y el apisonamiento de terraplenes; la vegetación, ya que los árboles robustos absorben el agua del suelo durante los períodos secos; etc.");
    case 19: return QStringLiteral("Se busca hacer una revisión de la calidad de los materiales utilizados, tales como concreto, refuerzo, acero, madera, mamposteria, mortero de pega, dependiendo del sistema estructural con que cuenta la edificación que se estudia, en el caso de concreto reforzado se debe observar la presencia de un recubrimiento suficientepara el refuerzo y el estado de las barras de refuerzo. Debe tenerse en cuanta el estado de oxidación o degradación que presentan los materiales, ya que estos pueden ser indicios de una reducción significativa en la resistencia de la estructura.");
    case 20: return QStringLiteral("Es necesario identificar en la estructura características que puedan originar concentración de esfuerzos. Dentro de las irregularidades en planta es necesario identificar si existen retrocesos excesivos en las esquinas, asimetria en planta, irregularidad torsional, discontinuidades en el diafragma, pórticos no paralelos y asimetria en la disposición de los elementos que aportan rigidez.");
    case 21: return QStringLiteral("Es necesario identificar en la estructura características que puedan originar concentración de esfuerzos. Entre las irregularidades en altura debe verificarse si existe la presencia de un piso debil o blando, discontinuidades en el plano de acción de los elementos, irregularidad en la disposición de masas, discontinuidad en la resistencia e irregularidad geométrica.");
    case 22: return QStringLiteral("Se intenta identificar si existe o no redundancia estructural, columnas cortas, excentricidad y continuidad de los elementos estructurales. Todos estos detalles pueden ser indicativos de una buena o mala concepción estructural, la cual en caso de ser deficiente puede contribuir a un mal comportamiento de la edificación en un sismo. Puede ocurrir que un daño en una estructura mal concebida sea más grave de lo que se esperaría. Una mala configuraciónpuede favorecer la falla de los elementos estructurales e incluso el colapso. Algunos ejemplos de una mala configuración son: edificaciones con elementos muy esbeltos en una o sus dos dimensiones, que los porticos no esten correctamente formados, no permitiendo la transmisión de cargas, o que se presente casos como viga fuerte y columna debil.");
    default: return QString();
    }
}

VisorDannos VisorDeVariable(int variable)
{
    const QString noEstructurales = QStringLiteral("No Estructurales");
    const QString suelo = QStringLiteral("Suelo");
    const QString preexistentes = QStringLiteral("Preexistentes");
    switch (variable) {
    case MurosDivisorios: return {TipoVisor::Niveles, noEstructurales, QStringLiteral("MUROS DIVISORIOS")};
    case MurosFachada: return {TipoVisor::Niveles, noEstructurales, QStringLiteral("MUROS DE FACHADA Y ANTEPECHOS")};
    case Escaleras: return {TipoVisor::Niveles, noEstructurales, QStringLiteral("ESCALERAS")};
    case Taludes: return {TipoVisor::Condicion, suelo, QStringLiteral("FALLAS EN TALUDES O MOVIMIENTOS DE MASA")};
    case AsentamientoLicuacion:
        return {TipoVisor::Condicion, suelo, QStringLiteral("ASENTAMIENTOS, SUBSIDENCIA Y LICUACIÓN")};
    case CalidadMateriales:
        return {TipoVisor::Condicion, preexistentes, QStringLiteral("CALIDAD DE LOS MATERIALES Y CONSTRUCCIÓN")};
    case IrregularidadPlanta: return {TipoVisor::Condicion, preexistentes, QStringLiteral("IRREGULARIDAD EN PLANTA")};
    case IrregularidadAltura: return {TipoVisor::Condicion, preexistentes, QStringLiteral("IRREGULARIDAD EN ALTURA")};
    case ConfiguracionEstructural:
        return {TipoVisor::Condicion, preexistentes, QStringLiteral("CONFIGURACIÓN ESTRUCTURAL")};
    default: return {};
    }
}

VisorDannos VisorDeOtro(int otro)
{
    const QString noEstructurales = QStringLiteral("No Estructurales");
    switch (otro) {
    case CieloRasos: return {TipoVisor::Niveles, noEstructurales, QStringLiteral("CIELOS RASOS Y LUMINARIAS")};
    case Instalaciones: return {TipoVisor::Niveles, noEstructurales, QStringLiteral("INSTALACIONES")};
    case Cubierta: return {TipoVisor::Niveles, noEstructurales, QStringLiteral("CUBIERTA")};
    case TanquesElevados: return {TipoVisor::Niveles, noEstructurales, QStringLiteral("TANQUES ELEVADOS")};
    default: return {};
    }
}
