"""Reads formula cells back for the formula reader tests, one cell a line:

    xlrd Calc!D1 7            cached value as xlrd reads it from the .xls
    lo Calc!D1 7 =A1*2+1      value and formula text from LibreOffice's .xlsx
    gnumeric Calc!D1 7        value from Gnumeric's CSV export of each sheet

Values are normalised so the readers compare: numbers with 10 significant
digits, booleans as 1 or 0, errors as their text.

    check_formulas.py xlrd FILE.xls
    check_formulas.py lo FILE.xlsx
    check_formulas.py gnumeric FILE.xls CSV_PREFIX   (CSV_PREFIX<n>.csv per sheet)
    check_formulas.py edit IN.xlsx OUT.xlsx SHEET CELL NUMBER
"""
import csv
import sys

from sheet_names import column_name


def norm(value):
    if isinstance(value, bool):
        return "1" if value else "0"
    if isinstance(value, (int, float)):
        return "%.10g" % value
    text = str(value)
    if text in ("TRUE", "FALSE"):
        return "1" if text == "TRUE" else "0"
    try:
        return "%.10g" % float(text)
    except ValueError:
        return text.replace(" ", "_") if text else "(empty)"


def read_xlrd(path, out):
    import xlrd
    book = xlrd.open_workbook(path)
    for sheet in book.sheets():
        for r in range(sheet.nrows):
            for c in range(sheet.ncols):
                cell = sheet.cell(r, c)
                if cell.ctype in (xlrd.XL_CELL_EMPTY, xlrd.XL_CELL_BLANK):
                    continue
                value = cell.value
                if cell.ctype == xlrd.XL_CELL_ERROR:
                    value = xlrd.error_text_from_code.get(value, "?")
                elif cell.ctype == xlrd.XL_CELL_BOOLEAN:
                    value = bool(value)
                out.write("xlrd %s!%s%d %s\n" % (sheet.name, column_name(c), r + 1, norm(value)))


def read_lo(path, out):
    import openpyxl
    values = openpyxl.load_workbook(path, data_only=True)
    formulas = openpyxl.load_workbook(path)
    for sheet in values.worksheets:
        texts = formulas[sheet.title]
        for row in sheet.iter_rows():
            for cell in row:
                if cell.value is None:
                    continue
                formula = texts[cell.coordinate].value
                shown = formula if isinstance(formula, str) and formula.startswith("=") else ""
                out.write("lo %s!%s %s %s\n" % (sheet.title, cell.coordinate, norm(cell.value),
                                                shown.replace("TRUE()", "TRUE")
                                                .replace("FALSE()", "FALSE")))


def read_gnumeric(path, prefix, out):
    import xlrd
    names = [sheet.name for sheet in xlrd.open_workbook(path, on_demand=True).sheets()]
    for index, name in enumerate(names):
        with open("%s%d.csv" % (prefix, index), newline="", encoding="utf-8") as handle:
            for r, row in enumerate(csv.reader(handle)):
                for c, value in enumerate(row):
                    if value != "":
                        out.write("gnumeric %s!%s%d %s\n" % (name, column_name(c), r + 1,
                                                             norm(value)))


def edit(source, target, sheet, cell, number):
    import openpyxl
    book = openpyxl.load_workbook(source)
    book[sheet][cell] = float(number)
    book.save(target)


def main(args):
    sys.stdout.reconfigure(encoding="utf-8")  # texts of any code page
    out = sys.stdout
    if args[0] == "xlrd":
        read_xlrd(args[1], out)
    elif args[0] == "lo":
        read_lo(args[1], out)
    elif args[0] == "gnumeric":
        read_gnumeric(args[1], args[2], out)
    elif args[0] == "edit":
        edit(*args[1:6])


if __name__ == "__main__":
    main(sys.argv[1:])
