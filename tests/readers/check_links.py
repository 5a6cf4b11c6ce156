#!/usr/bin/python3
"""Checks what one reader shows of the hyperlinks and data validations of
links.xls, which links_readers_test.cpp saves into BOOK_DIR.

    check_links.py READER BOOK_DIR BUILD_DIR

READER is poi, xlrd, libreoffice or gnumeric. Prints one line for each fact
the reader got wrong and exits 1 then, 0 when it got them all, 77 with the
reason when the reader is missing.
"""
import os
import sys

from biff8_readers import poi_dump
from reader_checks import cell_index, missing, run_checker, soffice_convert, ssconvert

NEEDS = {"xlrd": ["xlrd"], "libreoffice": ["openpyxl"]}
LINK_TEXT = "Ссылка"

# cell: (kind, address, text the cell shows); B8 is the link that replaced
# an older one and covers B8:C9.
LINKS = {
    "A1": ("url", "https://example.com/page?q=1", "Example"),
    "A2": ("email", "mailto:team@example.com", "mailto:team@example.com"),
    "A3": ("file", "../data/q1.xls", "Q1 data"),
    "A4": ("file", "C:\\Reports\\year.xls", "Year"),
    "A5": ("place", "Lists!B2", "To the list"),
    "A6": ("url", "ftp://files.example.com/a.zip", "Archive"),
    "A7": ("url", "https://example.com/ж", LINK_TEXT),
    "B8": ("url", "https://new.example.com", "New"),
}
LINK_AREAS = {"B8": "B8:C9"}

# Each rule: type, operator (None where the type has none), formula1,
# formula2, cells; the messages of the list in B2:B5 and of J2:J5 below.
RULES = [
    ("list", None, '"North,South,East"', None, "B2:B5"),
    ("list", None, "Lists!$A$1:$A$3", None, "C2:C5"),
    ("list", None, "Lists!A1:A3", None, "L2:L5"),
    ("whole", "between", "1", "10", "D2:D5"),
    ("decimal", "greaterThan", "0.5", None, "E2:E5"),
    ("date", "between", "DATE(2024,1,1)", "45657", "F2:F5"),
    ("time", "lessThan", "0.5", None, "G2:G5"),
    ("textLength", "lessThanOrEqual", "10", None, "H2:H5"),
    ("custom", None, "I2>D2", None, "I2:I5"),
    (None, None, None, None, "J2:J5"),
    ("whole", "notBetween", "1", "5", "K2 K4:K5"),
    ("decimal", "equal", "3.5", None, "K3"),
]
MESSAGES = {"B2:B5": ("Region", "Pick one", "Wrong", "Not a region"),
            "J2:J5": ("Note", "Anything goes", None, None)}
ALERTS = {"D2:D5": "warning", "E2:E5": "information"}
# The numbers POI and the DV record give the types and operators.
TYPES = [None, "whole", "decimal", "list", "date", "time", "textLength", "custom"]
OPERATORS = ["between", "notBetween", "equal", "notEqual", "greaterThan", "lessThan",
             "greaterThanOrEqual", "lessThanOrEqual"]
ALERT_STYLES = ["stop", "warning", "information"]


# --- POI --------------------------------------------------------------------------------------

# POI's link types and addresses: a file link's address without its "..\"
# up-levels, a place without '#'. POI takes a link whose moniker is marked
# absolute for a URL, so the absolute file path is one.
POI_KINDS = {"url": "url", "email": "email", "file": "file", "place": "document"}
POI_TYPES = {"A4": "url"}
POI_ADDRESSES = {"A3": "data\\q1.xls"}
# POI prints a relative reference of a validation as its offsets.
POI_SKIPS_FORMULA = {"I2:I5", "L2:L5"}


def check_poi(book, checks):
    checks.equal("error", book.get("error"), None)
    if "sheets" not in book:
        return
    links_sheet, rules, _ = book["sheets"]
    got = {link["range"].split(":")[0]: link for link in links_sheet["hyperlinks"]}
    checks.equal("link cells", sorted(got), sorted(LINKS))
    cells = {cell["address"]: cell for cell in links_sheet["cells"]}
    for cell, (kind, address, text) in LINKS.items():
        link = got.get(cell, {})
        checks.equal(cell + " link",
                     (link.get("range"), link.get("type"), link.get("address"), link.get("label")),
                     (LINK_AREAS.get(cell, cell), POI_TYPES.get(cell, POI_KINDS[kind]),
                      POI_ADDRESSES.get(cell, address), text))
        checks.equal(cell + " text", cells.get(cell, {}).get("value"), text)
        font = cells.get(cell, {}).get("font", {})
        checks.equal(cell + " look", (font.get("underline"), font.get("colour", {}).get("rgb")),
                     (1, "#0000FF"))
    validations = rules["validations"]
    checks.equal("validation count", len(validations), len(RULES))
    for rule, got in zip(RULES, validations):
        kind, operator, formula1, formula2, cells = rule
        label = "rule " + cells
        items = formula1.strip('"').split(",") if formula1 and formula1[0] == '"' else None
        checks.equal(label, (TYPES[got["type"]], " ".join(got["regions"]), got["items"]),
                     (kind, cells, items))
        if kind in ("whole", "decimal", "date", "time", "textLength"):
            checks.equal(label + " operator", OPERATORS[got["operator"]], operator)
        if items is None and formula1 is not None and cells not in POI_SKIPS_FORMULA:
            # POI gives a bound that is one number token as a value.
            bounds = [formula if value is None else "%g" % value
                      for formula, value in ((got["formula1"], got["value1"]),
                                             (got["formula2"], got["value2"]))]
            checks.equal(label + " formulas", bounds, [formula1, formula2])
        checks.equal(label + " messages",
                     (got["prompt_title"], got["prompt"], got["error_title"], got["error"]),
                     MESSAGES.get(cells, (None, None, None, None)))
        checks.equal(label + " flags",
                     (ALERT_STYLES[got["error_style"]], got["allow_blank"], got["no_dropdown"],
                      got["show_prompt"], got["show_error"]),
                     (ALERTS.get(cells, "stop"), True, False, True, True))


# --- xlrd -------------------------------------------------------------------------------------

# xlrd's link types; a file link's address is its UTF-16 path, without the
# "..\" up-levels; a place is its text mark.
XLRD_KINDS = {"url": "url", "email": "url", "file": "local file", "place": "workbook"}
XLRD_ADDRESSES = {"A3": "data\\q1.xls"}


def check_xlrd(path, checks):
    import xlrd
    book = xlrd.open_workbook(path, formatting_info=True, logfile=open(os.devnull, "w"))
    sheet = book.sheet_by_name("Links")
    for cell, (kind, address, text) in LINKS.items():
        row, col = cell_index(cell)
        link = sheet.hyperlink_map.get((row, col))
        if link is None:
            checks.equal(cell + " link", None, kind)
            continue
        target = link.textmark if kind == "place" else link.url_or_path
        area = (link.frowx, link.lrowx, link.fcolx, link.lcolx)
        last_row, last_col = cell_index(LINK_AREAS.get(cell, cell).split(":")[-1])
        checks.equal(cell + " link", (link.type, target, link.desc, area),
                     (XLRD_KINDS[kind], XLRD_ADDRESSES.get(cell, address), text,
                      (row, last_row, col, last_col)))
        checks.equal(cell + " text", sheet.cell_value(row, col), text)
    checks.equal("link count", len(sheet.hyperlink_list), len(LINKS))


# --- LibreOffice, through the .xlsx it converts to --------------------------------------------

# LibreOffice's targets: a URL with an empty path gets its '/'; a file path
# stays relative to the document, which the .xlsx in its subfolder sees one
# level deeper ('\' kept, as %5C, on this system); a drive path is taken
# from the root, which the .xlsx reaches by as many "../" as it is deep.
# A place is the location of an internal link.
LIBREOFFICE_TARGETS = {"B8": "https://new.example.com/", "A3": "../../data%5Cq1.xls"}
LIBREOFFICE_ENDINGS = {"A4": "/C:/Reports/year.xls"}


def check_libreoffice(path, checks):
    import openpyxl
    if not os.path.exists(path):
        checks.equal("converted", path, "an .xlsx file")
        return
    book = openpyxl.load_workbook(path)
    links = book["Links"]
    for cell, (kind, address, text) in LINKS.items():
        link = links[cell].hyperlink
        if link is None:
            checks.equal(cell + " link", None, kind)
            continue
        got = link.location if kind == "place" else link.target
        if cell in LIBREOFFICE_ENDINGS:
            got = got[got.rfind("/C:"):] if got and "/C:" in got else got
        checks.equal(cell + " link", got,
                     LIBREOFFICE_ENDINGS.get(cell, LIBREOFFICE_TARGETS.get(cell, address)))
        checks.equal(cell + " text", links[cell].value, text)
    validations = book["Rules"].data_validations.dataValidation
    got = {str(v.sqref): v for v in validations}
    checks.equal("validation cells", sorted(got), sorted(rule[4] for rule in RULES))
    for kind, operator, formula1, formula2, cells in RULES:
        v = got.get(cells)
        if v is None:
            continue
        # LibreOffice writes 0 for a formula the rule has not.
        checks.equal("rule " + cells,
                     (v.type, v.operator if operator else None,
                      v.formula1 if formula1 else None, v.formula2 if formula2 else None),
                     (kind, operator, formula1, formula2))
        prompt_title, prompt, error_title, error = MESSAGES.get(cells, (None,) * 4)
        checks.equal("rule %s messages" % cells, (v.promptTitle, v.prompt, v.errorTitle, v.error),
                     (prompt_title, prompt, error_title, error))
        checks.equal("rule %s alert" % cells, v.errorStyle or "stop", ALERTS.get(cells, "stop"))


# --- Gnumeric ---------------------------------------------------------------------------------

def check_gnumeric(path, folder, checks):
    checks.equal("ssconvert", ssconvert(path, os.path.join(folder, "links.csv")), (0, ""))


def check(reader, folder, build_dir, checks):
    path = os.path.join(folder, "links.xls")
    if reader == "poi":
        check_poi(poi_dump([path], build_dir)[0], checks)
    elif reader == "xlrd":
        check_xlrd(path, checks)
    elif reader == "libreoffice":
        check_libreoffice(soffice_convert([path], folder)[0], checks)
    else:
        check_gnumeric(path, folder, checks)


if __name__ == "__main__":
    sys.exit(run_checker(sys.argv, lambda reader: missing(reader, NEEDS), check))
