#!/usr/bin/python3
"""Prints what an independent reader finds in a workbook, one line each:
SHEETS <count>
CELL <name> <B|-> <text>   every cell with a value or a bold font, row by row
WIDTH <column> <width>      every column with a width of its own
The file is read through a file object: the reader refuses names it does not know (".xls")."""
import sys

import openpyxl

with open(sys.argv[1], "rb") as f:
    book = openpyxl.load_workbook(f)
print("SHEETS", len(book.worksheets))
sheet = book.active
for row in sheet.iter_rows():
    for cell in row:
        bold = bool(cell.font and cell.font.b)
        if cell.value is None and not bold:
            continue
        text = "" if cell.value is None else str(cell.value)
        if not isinstance(cell.value, (str, type(None))):
            text = "NUMBER:" + text
        print("CELL", cell.coordinate, "B" if bold else "-", text)
for letter, dim in sorted(sheet.column_dimensions.items()):
    if dim.customWidth:
        first, last = dim.min or 0, dim.max or 0
        for col in range(first, last + 1):
            print("WIDTH", openpyxl.utils.get_column_letter(col), "%.4f" % dim.width)
