#!/usr/bin/python3
"""Checks what one reader shows of the two workbooks outline_readers_test.cpp
saves into BOOK_DIR: outline5.xls (BIFF5) and outline8.xls (BIFF8).

    check_outline.py READER BOOK_DIR BUILD_DIR

READER is poi (BIFF8 only: POI reads no BIFF5), xlrd, libreoffice or
gnumeric (which must read both without a word on stderr). Prints one line
for each fact the reader got wrong and exits 1 then, 0 when it got them all,
77 with the reason when the reader is missing. What a reader does not report
is left out of its checks:

- xlrd reports neither the summary positions nor sheet protection;
- LibreOffice's .xlsx carries no summary positions (no outlinePr) and no
  collapsed marks, and LibreOffice drops the sheet protection of BIFF5 files;
- Gnumeric, seen through its own .gnumeric file, also marks the column after
  a hidden column group collapsed (column E of AboveLeft), so only the
  expected marks are checked there.
"""
import gzip
import os
import sys

from biff8_readers import poi_dump
from reader_checks import missing, run_checker, soffice_convert, ssconvert

FILES = ["outline5.xls", "outline8.xls"]
NEEDS = {"xlrd": ["xlrd"], "libreoffice": ["openpyxl"]}
SHEETS = ["Outline", "AboveLeft", "Protected"]
# Per sheet, the rows (from 1) and columns (letters) in groups: level, hidden,
# collapsed. Rows and columns not listed are at level 0, shown, not collapsed.
ROWS = {
    "Outline": {2: (1, False, False), 3: (2, False, False), 4: (2, False, False),
                5: (2, False, False), 6: (1, False, False), 7: (1, False, False),
                8: (1, False, False), 9: (1, False, False), 12: (1, True, False),
                13: (1, True, False), 14: (1, True, False), 15: (0, False, True)},
    "AboveLeft": {2: (0, False, True), 3: (1, True, False), 4: (1, True, False),
                  5: (1, True, False)},
}
COLUMNS = {
    "Outline": {"B": (1, False, False), "C": (2, False, False), "D": (1, False, False)},
    "AboveLeft": {"B": (0, False, True), "C": (1, True, False), "D": (1, True, False)},
}
LAST_ROW = {"Outline": 15, "AboveLeft": 6}
LAST_COLUMN = "E"
# Summary rows below and columns right.
SUMMARIES = {"Outline": (True, True), "AboveLeft": (False, False)}
# WSBOOL's bits for summary rows below and summary columns right.
SUMMARY_BELOW, SUMMARY_RIGHT = 0x0040, 0x0080
# The gutters' levels + 1 that GUTS carries.
GUTS = {"Outline": (3, 3), "AboveLeft": (2, 2)}
# The protected sheet's cells: locked, formula hidden.
PROTECTION = {"A1": (True, False), "B1": (False, False), "B2": (False, False),
              "B3": (False, False), "C1": (True, True)}


def letters():
    return [chr(ord("A") + index) for index in range(ord(LAST_COLUMN) - ord("A") + 1)]


def expected_rows(sheet):
    return {row: ROWS[sheet].get(row, (0, False, False)) for row in range(1, LAST_ROW[sheet] + 1)}


def expected_columns(sheet):
    return {letter: COLUMNS[sheet].get(letter, (0, False, False)) for letter in letters()}


def without_marks(lines):
    """Level and hidden flag only, for a reader that shows no collapsed marks."""
    return {key: value[:2] for key, value in lines.items()}


def column_index(letter):
    return ord(letter) - ord("A")


# --- POI --------------------------------------------------------------------------------------

def check_poi(book, checks):
    checks.equal("error", book.get("error"), None)
    if "sheets" not in book:
        return
    sheets = {sheet["name"]: sheet for sheet in book["sheets"]}
    checks.equal("sheet names", list(sheets), SHEETS)
    for name in ROWS:
        outline = sheets[name]["outline"]
        rows = {row["index"] + 1: (row["level"], row["hidden"], row["collapsed"])
                for row in outline["rows"]}
        checks.equal(name + " rows", rows, expected_rows(name))
        columns = {}
        for run in outline["columns"]:
            for index in range(run["first"], run["last"] + 1):
                columns[index] = (run["level"], run["hidden"], run["collapsed"])
        checks.equal(name + " columns",
                     {letter: columns.get(column_index(letter), (0, False, False))
                      for letter in letters()}, expected_columns(name))
        wsbool = outline["wsbool"]
        checks.equal(name + " summaries",
                     (bool(wsbool & SUMMARY_BELOW), bool(wsbool & SUMMARY_RIGHT)), SUMMARIES[name])
        guts = outline["guts"] or {}
        checks.equal(name + " gutters", (guts.get("row_levels"), guts.get("column_levels")),
                     GUTS[name])
    protected = sheets["Protected"]
    cells = {cell["address"]: cell["alignment"] for cell in protected["cells"]}
    checks.equal("cell protection",
                 {address: (cells[address]["locked"], cells[address]["formula_hidden"])
                  for address in PROTECTION}, PROTECTION)
    checks.equal("sheet protected", protected["protection"]["contents"], True)


# --- xlrd -------------------------------------------------------------------------------------

def check_xlrd(path, checks):
    import xlrd
    book = xlrd.open_workbook(path, formatting_info=True, logfile=open(os.devnull, "w"))
    label = os.path.basename(path) + " "
    checks.equal(label + "sheet names", book.sheet_names(), SHEETS)
    for name in ROWS:
        sheet = book.sheet_by_name(name)
        rows = {}
        for row in range(1, LAST_ROW[name] + 1):
            info = sheet.rowinfo_map.get(row - 1)
            rows[row] = (info.outline_level, bool(info.hidden),
                         bool(info.outline_group_starts_ends)) if info else (0, False, False)
        checks.equal(label + name + " rows", rows, expected_rows(name))
        columns = {}
        for letter in letters():
            info = sheet.colinfo_map.get(column_index(letter))
            columns[letter] = (info.outline_level, bool(info.hidden),
                               bool(info.collapsed)) if info else (0, False, False)
        checks.equal(label + name + " columns", columns, expected_columns(name))
    sheet = book.sheet_by_name("Protected")
    protection = {}
    for address in PROTECTION:
        xf = book.xf_list[sheet.cell_xf_index(int(address[1:]) - 1, column_index(address[0]))]
        protection[address] = (bool(xf.protection.cell_locked),
                               bool(xf.protection.formula_hidden))
    checks.equal(label + "cell protection", protection, PROTECTION)


# --- LibreOffice, through the .xlsx it converts to --------------------------------------------

def check_xlsx(path, checks):
    import openpyxl
    label = os.path.basename(path) + " "
    if not os.path.exists(path):
        checks.equal("converted", path, "an .xlsx file")
        return
    book = openpyxl.load_workbook(path)
    checks.equal(label + "sheet names", book.sheetnames, SHEETS)
    for name in ROWS:
        sheet = book[name]
        rows = {}
        for row in range(1, LAST_ROW[name] + 1):
            dimension = sheet.row_dimensions[row]
            rows[row] = (dimension.outline_level or 0, bool(dimension.hidden))
        checks.equal(label + name + " rows", rows, without_marks(expected_rows(name)))
        columns = {letter: (0, False) for letter in letters()}
        for dimension in list(sheet.column_dimensions.values()):
            for index in range(dimension.min or 1, (dimension.max or dimension.min or 1) + 1):
                letter = chr(ord("A") + index - 1)
                if letter in columns:
                    columns[letter] = (dimension.outline_level or 0, bool(dimension.hidden))
        checks.equal(label + name + " columns", columns, without_marks(expected_columns(name)))
    sheet = book["Protected"]
    checks.equal(label + "cell protection",
                 {address: (bool(sheet[address].protection.locked),
                            bool(sheet[address].protection.hidden)) for address in PROTECTION},
                 PROTECTION)
    if path.endswith("8.xlsx"):
        checks.equal(label + "sheet protected", sheet.protection.sheet, True)


# --- Gnumeric, through its own .gnumeric file ------------------------------------------------

GNUMERIC = "{http://www.gnumeric.org/v10.dtd}"


def gnumeric_lines(parent, tag, count):
    """{index: (level, hidden, collapsed)} of the ColInfo or RowInfo runs."""
    lines = {}
    for info in parent.iter(GNUMERIC + tag):
        first = int(info.get("No"))
        for index in range(first, first + int(info.get("Count", "1"))):
            if index < count:
                lines[index] = (int(info.get("OutlineLevel", "0")), info.get("Hidden") == "1",
                                info.get("Collapsed") == "1")
    return lines


def gnumeric_style(sheet, row, col):
    for region in sheet.iter(GNUMERIC + "StyleRegion"):
        if (int(region.get("startRow")) <= row <= int(region.get("endRow")) and
                int(region.get("startCol")) <= col <= int(region.get("endCol"))):
            style = region.find(GNUMERIC + "Style")
            return style.get("Locked") == "1", style.get("Hidden") == "1"
    return None


def check_gnumeric_sheets(path, checks):
    import xml.etree.ElementTree as ElementTree
    label = os.path.basename(path) + " "
    with gzip.open(path) as file:
        root = ElementTree.parse(file).getroot()
    sheets = {sheet.find(GNUMERIC + "Name").text: sheet for sheet in root.iter(GNUMERIC + "Sheet")}
    checks.equal(label + "sheet names", list(sheets), SHEETS)
    for name in ROWS:
        sheet = sheets[name]
        got = gnumeric_lines(sheet, "RowInfo", LAST_ROW[name])
        rows = {row: got.get(row - 1, (0, False, False)) for row in range(1, LAST_ROW[name] + 1)}
        got = gnumeric_lines(sheet, "ColInfo", len(letters()))
        columns = {letter: got.get(column_index(letter), (0, False, False)) for letter in letters()}
        for kind, lines, expected in (("rows", rows, expected_rows(name)),
                                      ("columns", columns, expected_columns(name))):
            checks.equal(label + name + " " + kind, without_marks(lines), without_marks(expected))
            checks.equal(label + name + " collapsed " + kind,
                         [key for key, value in expected.items() if value[2] and not lines[key][2]],
                         [])
        summaries = [sheet.get("OutlineSymbols" + side) == "1" for side in ("Below", "Right")]
        checks.equal(label + name + " summaries", tuple(summaries), SUMMARIES[name])
    sheet = sheets["Protected"]
    checks.equal(label + "cell protection",
                 {address: gnumeric_style(sheet, int(address[1:]) - 1, column_index(address[0]))
                  for address in PROTECTION}, PROTECTION)
    checks.equal(label + "sheet protected", sheet.get("Protected"), "1")


def check_gnumeric(paths, folder, checks):
    out = os.path.join(folder, "gnumeric")
    os.makedirs(out, exist_ok=True)
    for path in paths:
        converted = os.path.join(out, os.path.basename(path) + ".gnumeric")
        status, warnings = ssconvert(path, converted)
        checks.equal(os.path.basename(path) + " ssconvert", (status, warnings), (0, ""))
        if status == 0:
            check_gnumeric_sheets(converted, checks)


def check(reader, folder, build_dir, checks):
    paths = [os.path.join(folder, name) for name in FILES]
    if reader == "poi":
        check_poi(poi_dump(paths[1:], build_dir)[0], checks)
    elif reader == "xlrd":
        for path in paths:
            check_xlrd(path, checks)
    elif reader == "libreoffice":
        for path in soffice_convert(paths, folder):
            check_xlsx(path, checks)
    else:
        check_gnumeric(paths, folder, checks)


if __name__ == "__main__":
    sys.exit(run_checker(sys.argv, lambda reader: missing(reader, NEEDS), check))
