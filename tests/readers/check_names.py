#!/usr/bin/python3
"""Checks what one reader shows of the defined names in the two workbooks
names_readers_test.cpp saves into BOOK_DIR (names5.xls in BIFF5, names8.xls
in BIFF8).

    check_names.py READER BOOK_DIR BUILD_DIR

READER is poi (BIFF8 only), xlrd, libreoffice or gnumeric; each reads both
files in one run. Prints one line for each fact the reader got wrong and
exits 1 then, 0 when it got them all, 77 with the reason when the reader is
missing.
"""
import csv
import os
import sys

from biff8_readers import poi_dump
from reader_checks import cell_index, missing, run_checker, soffice_convert, ssconvert

FILES = ["names5.xls", "names8.xls"]
NEEDS = {"xlrd": ["xlrd"], "libreoffice": ["openpyxl"]}
SHEETS = ["Data", "Report", "Rates"]
# name: (sheet index of a sheet-local name or None, definition)
NAMES = {"Sales": (None, "Data!$B$2:$B$9"), "Rate": (None, "0.25"),
         "Bonus": (1, "Rates!$A$1*2"), "Target": (1, "Report!$A$1")}
# (sheet, cell): (formula, value)
FORMULAS = {("Report", "B1"): ("SUM(Sales)", 360), ("Report", "B2"): ("SUM(Sales)*Rate", 90),
            ("Report", "B3"): ("Bonus+Target", 101), ("Data", "C1"): ("Rate*100", 25)}


# --- POI: names, their sheets and definitions, cell formulas, and its own evaluation ------------

def check_poi(book, checks):
    checks.equal("error", book.get("error"), None)
    if "sheets" not in book:
        return
    names = {name["name"]: (None if name["sheet_index"] < 0 else name["sheet_index"],
                            name["refers_to"]) for name in book["names"] if not name["builtin"]}
    checks.equal("names", names, NAMES)
    checks.equal("print area", book["sheets"][2]["print_area"], "Rates!$A$1:$B$2")
    sheets = {sheet["name"]: {cell["address"]: cell for cell in sheet["cells"]}
              for sheet in book["sheets"]}
    evaluated = {(entry["sheet"], entry["address"]): entry["value"] for entry in book["evaluated"]}
    for (sheet, address), (formula, value) in FORMULAS.items():
        cell = sheets[sheet].get(address, {})
        checks.equal("%s!%s" % (sheet, address), (cell.get("formula"), cell.get("value")),
                     (formula, value))
        checks.equal("%s!%s evaluated" % (sheet, address), evaluated.get((sheet, address)), value)


# --- xlrd: name_map with scopes and evaluated definitions, cached values ----------------------

def check_xlrd(path, checks):
    import xlrd
    book = xlrd.open_workbook(path, logfile=open(os.devnull, "w"))
    label = os.path.basename(path)
    checks.equal(label + " sheet names", book.sheet_names(), SHEETS)
    for name, (sheet, _) in NAMES.items():
        found = book.name_map.get(name.lower(), [])
        checks.equal("%s %s scopes" % (label, name), [entry.scope for entry in found],
                     [-1 if sheet is None else sheet])
    sales = book.name_map["sales"][0].result
    checks.equal(label + " Sales", [ref.coords for ref in sales.value] if sales else None,
                 [(0, 1, 1, 9, 1, 2)])
    rate = book.name_map["rate"][0].result
    checks.equal(label + " Rate", rate.value if rate else None, 0.25)
    checks.equal(label + " print area", [name.name for name in book.name_obj_list
                                         if name.builtin], ["Print_Area"])
    for (sheet, address), (_, value) in FORMULAS.items():
        checks.equal("%s %s!%s" % (label, sheet, address),
                     book.sheet_by_name(sheet).cell(*cell_index(address)).value, value)


# --- LibreOffice: the .xlsx it converts to, through openpyxl --------------------------------

# LibreOffice's BIFF5 import reads a sheet's names with their scope and
# definition, but leaves a formula's reference to one as #NAME? (BIFF8: as
# written). The other readers resolve them in both formats.
LIBREOFFICE_BIFF5_LOCAL = {("Report", "B3"): ("#NAME?+#NAME?", "#NAME?")}


def check_libreoffice(paths, folder, checks):
    import openpyxl
    for path, converted in zip(paths, soffice_convert(paths, folder)):
        label = os.path.basename(path)
        if not os.path.exists(converted):
            checks.equal(label, "not converted", "an .xlsx file")
            continue
        book = openpyxl.load_workbook(converted)
        cached = openpyxl.load_workbook(converted, data_only=True)
        names = {}
        for name in book.defined_names.definedName:
            if not name.name.startswith("_xlnm."):
                names[name.name] = (name.localSheetId, name.attr_text)
        checks.equal(label + " names", names, NAMES)
        checks.equal(label + " print area", ",".join(book["Rates"].print_area or []), "$A$1:$B$2")
        expected = dict(FORMULAS)
        if label == "names5.xls":
            expected.update(LIBREOFFICE_BIFF5_LOCAL)
        for (sheet, address), (formula, value) in expected.items():
            checks.equal("%s %s!%s" % (label, sheet, address),
                         (book[sheet][address].value, cached[sheet][address].value),
                         ("=" + formula, value))


# --- Gnumeric: opens both without a word on stderr, and shows the values ----------------------

def check_gnumeric(paths, folder, checks):
    for path in paths:
        label = os.path.basename(path)
        out = os.path.join(folder, "gnumeric", label)
        os.makedirs(out, exist_ok=True)
        checks.equal(label + " ssconvert", ssconvert(path, os.path.join(out, "%s.csv"), "-S"),
                     (0, ""))
        for (sheet, address), (_, value) in FORMULAS.items():
            csv_path = os.path.join(out, sheet + ".csv")
            rows = list(csv.reader(open(csv_path))) if os.path.exists(csv_path) else []
            row, col = cell_index(address)
            got = rows[row][col] if row < len(rows) and col < len(rows[row]) else None
            checks.equal("%s %s!%s" % (label, sheet, address), got, str(value))


def check(reader, folder, build_dir, checks):
    paths = [os.path.join(folder, name) for name in FILES]
    if reader == "poi":
        check_poi(poi_dump(paths[1:], build_dir)[0], checks)
    elif reader == "xlrd":
        for path in paths:
            check_xlrd(path, checks)
    elif reader == "libreoffice":
        check_libreoffice(paths, folder, checks)
    else:
        check_gnumeric(paths, folder, checks)


if __name__ == "__main__":
    sys.exit(run_checker(sys.argv, lambda reader: missing(reader, NEEDS), check))
