#!/usr/bin/env python3
"""Checks that the source tree keeps its layers.

    layering_check.py SRC_DIR

Layers, lowest first: core, photos, reports, gui, programs. A file may include
headers of its own layer and of the layers below it, never of a layer above.
Folders (src/core/registry, src/gui/rating, ...) include each other in one
direction only: no circle between folders, however long. Files under core
include no header of Qt Gui or Qt Widgets, and those under photos and
reports none of Qt Widgets. Prints every fault and exits 1 when there is one.
"""
import os
import re
import sys

CAPAS = ["core", "photos", "reports", "gui", "programs"]
INCLUDE = re.compile(r'^\s*#\s*include\s*([<"])([^>"]+)[>"]', re.M)
QT = "/usr/include/x86_64-linux-gnu/qt6"


def cabeceras_qt(modulo):
    carpeta = os.path.join(QT, modulo)
    return set(os.listdir(carpeta)) if os.path.isdir(carpeta) else set()


def main():
    raiz = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else "src")
    gui, widgets = cabeceras_qt("QtGui"), cabeceras_qt("QtWidgets")
    prohibidas_qt = {"core": gui | widgets, "photos": widgets, "reports": widgets}
    faltas = []
    aristas = {}  # folder -> {folder it includes: first file that does}
    for carpeta, _, archivos in os.walk(raiz):
        for nombre in sorted(archivos):
            if not nombre.endswith((".h", ".cpp")):
                continue
            ruta = os.path.join(carpeta, nombre)
            relativa = os.path.relpath(ruta, raiz)
            capa = relativa.split(os.sep)[0]
            if capa not in CAPAS:
                faltas.append(f"{relativa}: fuera de las capas {CAPAS}")
                continue
            origen = os.path.dirname(relativa)
            with open(ruta, encoding="utf-8") as f:
                texto = f.read()
            for delimitador, incluido in INCLUDE.findall(texto):
                if delimitador == "<":
                    qt = incluido.split("/")[-1]
                    if qt in prohibidas_qt.get(capa, ()):
                        faltas.append(f"{relativa}: incluye <{incluido}>, que la capa {capa} no puede usar")
                    continue
                destino = incluido.split("/")[0]
                if destino not in CAPAS:
                    continue  # a generated file (.moc) or a header beside the file
                if CAPAS.index(destino) > CAPAS.index(capa):
                    faltas.append(f"{relativa}: la capa {capa} incluye {incluido}, de la capa {destino}, que está encima")
                carpeta_incluida = os.path.dirname(incluido)
                if carpeta_incluida != origen:
                    aristas.setdefault(origen, {}).setdefault(carpeta_incluida, relativa)
    # Circles between folders: a depth-first search that reports each circle once.
    estado, pila, vistos = {}, [], set()

    def visitar(n):
        estado[n] = "abierto"
        pila.append(n)
        for m in sorted(aristas.get(n, {})):
            if estado.get(m) == "abierto":
                circulo = pila[pila.index(m):] + [m]
                clave = frozenset(circulo)
                if clave not in vistos:
                    vistos.add(clave)
                    pasos = [f"{a} -> {b} ({aristas[a][b]})" for a, b in zip(circulo, circulo[1:])]
                    faltas.append("carpetas que se incluyen en círculo: " + "; ".join(pasos))
            elif m not in estado:
                visitar(m)
        pila.pop()
        estado[n] = "cerrado"

    for n in sorted(aristas):
        if n not in estado:
            visitar(n)
    for falta in faltas:
        print(falta)
    if faltas:
        return 1
    print(f"capas en orden: {len(aristas)} carpetas, sin círculos")
    return 0


if __name__ == "__main__":
    sys.exit(main())
