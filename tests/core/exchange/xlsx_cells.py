#!/usr/bin/python3
"""Reads a workbook with openpyxl and prints, as one JSON object, what a
spreadsheet sees of it: for each sheet its name, frozen cell, filter range,
column widths, and every cell's type, number format, boldness and value.

    xlsx_cells.py LIBRO.xlsx
"""
import datetime
import json
import sys

import openpyxl


def tipo(celda):
    if celda.value is None:
        return ""
    if isinstance(celda.value, datetime.datetime):
        return "fecha"
    if isinstance(celda.value, bool):
        return "logico"
    if isinstance(celda.value, (int, float)):
        return "numero"
    if isinstance(celda.value, str):
        return "texto"
    return type(celda.value).__name__


def main():
    libro = openpyxl.load_workbook(sys.argv[1])
    hojas = []
    for hoja in libro.worksheets:
        filas = []
        for fila in hoja.iter_rows():
            filas.append([
                {
                    "tipo": tipo(c),
                    "formato": c.number_format,
                    "negrita": bool(c.font and c.font.b),
                    "valor": c.value.isoformat() if isinstance(c.value, datetime.datetime) else c.value,
                }
                for c in fila
            ])
        anchos = {}
        for letra, dimension in hoja.column_dimensions.items():
            if dimension.width:
                # A range of columns (min..max) shares one width.
                for i in range(dimension.min or 1, (dimension.max or dimension.min or 1) + 1):
                    anchos[i] = dimension.width
        hojas.append({
            "nombre": hoja.title,
            "fija": hoja.freeze_panes,
            "filtro": hoja.auto_filter.ref,
            "anchos": [anchos.get(i, 0) for i in range(1, hoja.max_column + 1)],
            "filas": filas,
        })
    json.dump({"hojas": hojas}, sys.stdout, ensure_ascii=False)


if __name__ == "__main__":
    main()
