"""Prints what xlrd reads from an .xls file, one fact a line, for the tests of
the tabulon program and the examples:

    codepage 1252
    sheet Orders frozen=1 split=1,0 zoom=100
    A1 text Customer
    B2 number 3.0
    D2 date 45366.0

Texts keep to one line: a backslash, CR and LF in them are written as two
characters each, as in C string literals.
"""
import sys

import xlrd

KINDS = {xlrd.XL_CELL_TEXT: "text", xlrd.XL_CELL_NUMBER: "number",
         xlrd.XL_CELL_DATE: "date", xlrd.XL_CELL_BOOLEAN: "boolean",
         xlrd.XL_CELL_ERROR: "error"}


def column_name(col):
    name = ""
    col += 1
    while col:
        col, rest = divmod(col - 1, 26)
        name = chr(ord("A") + rest) + name
    return name


def escaped(text):
    """Keeps one cell on one line: backslash, CR and LF are written as escapes."""
    return text.replace("\\", "\\\\").replace("\r", "\\r").replace("\n", "\\n")


def main(path):
    out = open(sys.stdout.fileno(), "w", encoding="utf-8", closefd=False)
    book = xlrd.open_workbook(path)
    out.write("codepage %s\n" % book.codepage)
    for sheet in book.sheets():
        out.write("sheet %s frozen=%d split=%d,%d zoom=%d\n" % (
            sheet.name, sheet.panes_are_frozen, sheet.horz_split_pos,
            sheet.vert_split_pos, getattr(sheet, "scl_mag_factor", None) or 100))
        for row in range(sheet.nrows):
            for col in range(sheet.ncols):
                cell = sheet.cell(row, col)
                if cell.ctype in KINDS:
                    value = escaped(cell.value) if cell.ctype == xlrd.XL_CELL_TEXT else repr(cell.value)
                    out.write("%s%d %s %s\n" % (column_name(col), row + 1,
                                                KINDS[cell.ctype], value))


if __name__ == "__main__":
    main(sys.argv[1])
