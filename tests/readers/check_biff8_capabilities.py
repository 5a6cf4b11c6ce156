#!/usr/bin/python3
"""Checks what one reader shows of the two BIFF8 workbooks that
biff8_capabilities_readers_test.cpp saves into BOOK_DIR.

    check_biff8_capabilities.py READER BOOK_DIR BUILD_DIR

READER is poi, sheetjs, xlrd, libreoffice, gnumeric, readxl or olefile; each
reads both files in one run. Prints one line for each fact the reader got
wrong and exits 1 then, 0 when it got them all, 77 with the reason when the
reader is missing. A fact a reader does not report at all is left out of its
checks; the table in each check function says which.
"""
import datetime
import json
import os
import subprocess
import sys

from biff8_readers import poi_dump, sheetjs_dump
from reader_checks import cell_index, missing, run_checker, soffice_convert

SHEETS = ["Data", "Second", "Split"]
TEAL = (0x12, 0x9A, 0x7B)
TEAL_HEX = "%02X%02X%02X" % TEAL
VALUES = {"A1": "Text", "B1": 42, "C1": 3.25, "G1": -1234567.125, "H1": "00123", "A2": 11,
          "B2": 12, "C2": 13, "A3": 21, "B3": 22, "C3": 23, "A20000": 41, "B60000": "deep"}
DATE = 45352.5  # D1, 2024-03-01 12:00
BOOLEANS = {"E1": True, "F1": False}
FORMULAS = {"I1": ("B1*2", 84), "I2": ("SUM(A2:C3)", 102), "I3": ("Second!A1*3", 15),
            "I4": ('"ab"&"cd"', "abcd"), "I5": ("SUM(Second!A1:A300)", 12),
            "I6": ("A20000+1", 42), "I7": ("$B$1+B$1+$B1", 126)}
FORMATS = {"D1": "yyyy-mm-dd hh:mm", "A7": "0.00", "B7": "#,##0.00;[Red]-#,##0.00"}

# The texts of biff8_capabilities_readers_test.cpp.
SCRIPTS = ["Ünïcødé Żółć ñ", "Кириллица", "Ελληνικά", "עברית", "العربية", "中文字符",
           "日本語かな", "한국어", "emoji 😀"]
SCRIPT_SHEETS = ["Ünïcødé Ελληνικά", "Кириллица עברית العربية", "中文 日本語 한국어 😀", "Tall"]
FONT_NAME = "ＭＳ Ｐゴシック"
NUM_FORMAT = '#,##0.00" ₽ руб. ΔΣ 円 원"'
HEADER = "Заголовок Ελλ עב عر 中文 日本 한국"
FOOTER = "Ünï 😀 &P"
FORMULA_TEXT = "Кир 中文"
LONG_UNITS = 32767
LONG_PATTERNS = ["x", "Жж", "abc中", "Ωж😀a"]
TALL_ROWS = 65536
TALL_NUMBERS = list(range(1, TALL_ROWS + 1))
# Column B of the tall sheet: a text of its own in every row.
TALL_TEXTS = [("ж" if row % 7 == 0 else "r") + str(row) for row in range(TALL_ROWS)]


def units(text):
    return len(text.encode("utf-16-le")) // 2


def long_text(pattern):
    text = ""
    for index in range(LONG_UNITS):
        character = pattern[index % len(pattern)]
        if units(text) + units(character) > LONG_UNITS:
            break
        text += character
    return text


LONG_TEXTS = [long_text(pattern) for pattern in LONG_PATTERNS]


def by_address(sheet):
    return {cell["address"]: cell for cell in sheet["cells"]}


def texts_of(sheet, column, count, value="value"):
    cells = by_address(sheet)
    return [cells.get("%s%d" % (column, row + 1), {}).get(value) for row in range(count)]


# --- POI --------------------------------------------------------------------------------------

def check_poi(books, checks):
    capabilities, scripts = books
    for book in books:
        checks.equal("error", book.get("error"), None)
    if "sheets" not in capabilities or "sheets" not in scripts:
        return
    checks.equal("sheet names", [sheet["name"] for sheet in capabilities["sheets"]], SHEETS)
    checks.equal("custom colour", capabilities["custom_colours"],
                 [{"index": 27, "rgb": "#" + TEAL_HEX}])
    checks.equal("workbook protected", capabilities["protection"]["structure"], True)
    checks.equal("picture count", capabilities["picture_count"], 2)
    data, second, split = capabilities["sheets"]
    cells = by_address(data)
    for address, value in VALUES.items():
        checks.equal(address, cells.get(address, {}).get("value"), value)
    for address, value in BOOLEANS.items():
        checks.equal(address, (cells[address]["type"], cells[address]["value"]), ("boolean", value))
    d1 = cells["D1"]
    checks.equal("D1", (d1["value"], d1["is_date"], d1["text"]), (DATE, True, "2024-03-01 12:00"))
    for address, (formula, value) in FORMULAS.items():
        checks.equal(address, (cells[address]["formula"], cells[address]["value"]), (formula, value))
    for address, text in FORMATS.items():
        checks.equal(address + " format", cells[address]["number_format"], text)
    a1 = cells["A1"]["font"]
    checks.equal("A1 font", [a1[key] for key in ("name", "height_points", "bold", "italic",
                                                 "underline")], ["Courier New", 14, True, True, 1])
    checks.equal("A1 colour", a1["colour"]["rgb"], "#FF0000")
    checks.equal("A4 fill", (cells["A4"]["fill"]["pattern"], cells["A4"]["fill"]["fg"]["rgb"]),
                 ("solid_foreground", "#FFFF00"))
    checks.equal("B4 fill", cells["B4"]["fill"]["fg"]["rgb"], "#" + TEAL_HEX)
    borders = cells["A5"]["borders"]
    checks.equal("A5 borders", [borders[edge]["style"] for edge in ("left", "right", "top",
                                                                     "bottom")],
                 ["thin", "medium", "double", "dashed"])
    checks.equal("A5 colours", (borders["left"]["colour"]["rgb"], borders["bottom"]["colour"]["rgb"]),
                 ("#FF0000", "#0000FF"))
    for address, expected in (("A6", ["center", "top", True]), ("B6", ["right", "center", False])):
        alignment = cells[address]["alignment"]
        checks.equal(address + " alignment",
                     [alignment[key] for key in ("horizontal", "vertical", "wrap")], expected)
    checks.equal("merged", data["merged"], ["C9:E10"])
    columns = {column["index"]: column for column in data["columns"]}
    checks.equal("column B width", columns.get(1, {}).get("width", 0) // 256, 20)
    checks.equal("column F hidden", columns.get(5, {}).get("hidden"), True)
    rows = {row["index"]: row for row in data["rows"]}
    checks.equal("row 12 height", rows.get(11, {}).get("height"), 600)
    checks.equal("row 13 hidden", rows.get(12, {}).get("hidden"), True)
    checks.equal("header", data["header"]["center"], "Top")
    checks.equal("footer", data["footer"]["right"], "Page &P")
    checks.equal("page setup", [data["print"][key] for key in ("paper_size", "landscape")],
                 [9, True])
    checks.equal("top margin", data["print"]["margins"]["top"], 1.5)
    checks.equal("print area", data["print_area"], "Data!$A$1:$H$13")
    checks.equal("print titles", (data["repeating_rows"], data["repeating_columns"]),
                 ("1:1", "A:A"))
    # POI numbers a break by the last row (column) before it.
    checks.equal("page breaks", (data["row_breaks"], data["column_breaks"]), ([2], [1]))
    pane = data["pane"] or {}
    checks.equal("frozen pane", [pane.get(key) for key in ("frozen", "vertical_split",
                                                            "horizontal_split")], [True, 1, 1])
    pane = split["pane"] or {}
    checks.equal("split pane", [pane.get(key) for key in ("frozen", "left_column", "top_row")],
                 [False, 2, 2])
    checks.equal("zoom", data["window"]["zoom"], 75)
    checks.equal("sheet protected", (data["protection"]["contents"],
                                     data["protection"]["password_hash"] != 0), (True, True))
    checks.equal("pictures", [[(p["from"]["col"], p["from"]["row"], p["format"])
                               for p in sheet["pictures"]] for sheet in (data, second)],
                 [[(1, 14, "png")], [(0, 2, "png")]])
    check_poi_scripts(scripts, checks)


def check_poi_scripts(book, checks):
    checks.equal("script sheet names", [sheet["name"] for sheet in book["sheets"]], SCRIPT_SHEETS)
    texts, long_sheet, emoji, tall = book["sheets"]
    checks.equal("script texts", texts_of(texts, "A", len(SCRIPTS)), SCRIPTS)
    b1 = by_address(texts)["B1"]
    checks.equal("font name", b1["font"]["name"], FONT_NAME)
    checks.equal("number format", b1["number_format"], NUM_FORMAT)
    checks.equal("text formula", by_address(texts)["C1"]["value"], FORMULA_TEXT)
    checks.equal("header", texts["header"]["center"], HEADER)
    checks.equal("footer", texts["footer"]["right"], FOOTER)
    for row, text in enumerate(texts_of(long_sheet, "A", len(LONG_TEXTS))):
        checks.equal("long text %d" % (row + 1), text, LONG_TEXTS[row])
    checks.equal("emoji sheet", texts_of(emoji, "A", 1), SCRIPTS[-1:])
    checks.equal("tall sheet", [cell["value"] for cell in tall["cells"]],
                 [value for row in zip(TALL_NUMBERS, TALL_TEXTS) for value in row])


# --- SheetJS ----------------------------------------------------------------------------------

def check_sheetjs(books, checks):
    capabilities, scripts = books
    for book in books:
        checks.equal("error", book.get("error"), None)
    if "sheets" not in capabilities or "sheets" not in scripts:
        return
    checks.equal("sheet names", [sheet["name"] for sheet in capabilities["sheets"]], SHEETS)
    data = capabilities["sheets"][0]
    cells = by_address(data)
    for address, value in VALUES.items():
        checks.equal(address, cells.get(address, {}).get("value"), value)
    for address, value in BOOLEANS.items():
        checks.equal(address, (cells[address]["type"], cells[address]["value"]), ("b", value))
    checks.equal("D1", (cells["D1"]["value"], cells["D1"]["is_date"]), (DATE, True))
    for address, (formula, value) in FORMULAS.items():
        checks.equal(address, (cells[address]["formula"], cells[address]["value"]), (formula, value))
    for address, text in FORMATS.items():
        checks.equal(address + " format", cells[address]["number_format"], text)
    checks.equal("A4 fill", cells["A4"]["style"]["fgColor"]["rgb"], "FFFF00")
    checks.equal("B4 fill", cells["B4"]["style"]["fgColor"]["rgb"], TEAL_HEX)
    checks.equal("merged", data["merged"], ["C9:E10"])
    columns = {column["index"]: column for column in data["columns"]}
    checks.equal("column B width", columns.get(1, {}).get("wch"), 20)
    checks.equal("column F hidden", columns.get(5, {}).get("hidden"), True)
    rows = {row["index"]: row for row in data["rows"]}
    checks.equal("row 12 height", rows.get(11, {}).get("hpt"), 30)
    checks.equal("row 13 hidden", rows.get(12, {}).get("hidden"), True)
    checks.equal("top margin", data["margins"]["top"], 1.5)
    checks.equal("sheet protected", data.get("protect"), True)
    names = {name["Name"]: name["Ref"] for name in capabilities["names"]}
    checks.equal("print area", names.get("_xlnm.Print_Area"), "Data!$A$1:$H$13")
    checks.equal("print titles", names.get("_xlnm.Print_Titles"), "Data!$A$1:$A$65536,Data!$1:$1")
    checks.equal("picture objects", [[entry["cmo"][1] for entry in sheet.get("objects", [])
                                      if entry and entry.get("cmo")]
                                     for sheet in capabilities["sheets"][:2]], [[8], [8]])

    checks.equal("script sheet names", [sheet["name"] for sheet in scripts["sheets"]],
                 SCRIPT_SHEETS)
    texts, long_sheet, emoji, tall = scripts["sheets"]
    checks.equal("script texts", texts_of(texts, "A", len(SCRIPTS)), SCRIPTS)
    checks.equal("number format", by_address(texts)["B1"]["number_format"], NUM_FORMAT)
    checks.equal("text formula", by_address(texts)["C1"]["value"], FORMULA_TEXT)
    for row, text in enumerate(texts_of(long_sheet, "A", len(LONG_TEXTS))):
        checks.equal("long text %d" % (row + 1), text, LONG_TEXTS[row])
    checks.equal("emoji sheet", texts_of(emoji, "A", 1), SCRIPTS[-1:])
    checks.equal("tall sheet", [cell["value"] for cell in tall["cells"]],
                 [value for row in zip(TALL_NUMBERS, TALL_TEXTS) for value in row])


# --- xlrd -------------------------------------------------------------------------------------

def check_xlrd(paths, checks):
    import xlrd
    book = xlrd.open_workbook(paths[0], formatting_info=True, logfile=open(os.devnull, "w"))
    checks.equal("sheet names", book.sheet_names(), SHEETS)
    data = book.sheet_by_index(0)

    def cell(address):
        return data.cell(*cell_index(address))

    def xf(address):
        return book.xf_list[cell(address).xf_index]

    for address, value in VALUES.items():
        checks.equal(address, cell(address).value, value)
    for address, value in BOOLEANS.items():
        checks.equal(address, (cell(address).ctype, cell(address).value),
                     (xlrd.XL_CELL_BOOLEAN, int(value)))
    checks.equal("D1", (cell("D1").ctype, cell("D1").value), (xlrd.XL_CELL_DATE, DATE))
    for address, (_, value) in FORMULAS.items():
        checks.equal(address, cell(address).value, value)
    for address, text in FORMATS.items():
        checks.equal(address + " format", book.format_map[xf(address).format_key].format_str, text)
    font = book.font_list[xf("A1").font_index]
    checks.equal("A1 font", [font.name, font.height, font.weight, font.italic, font.underline_type,
                             font.colour_index], ["Courier New", 280, 700, 1, 1, 10])
    checks.equal("A4 fill", (xf("A4").background.fill_pattern,
                             xf("A4").background.pattern_colour_index), (1, 13))
    checks.equal("custom colour", book.colour_map.get(27), TEAL)
    border = xf("A5").border
    checks.equal("A5 borders", [border.left_line_style, border.right_line_style,
                                border.top_line_style, border.bottom_line_style,
                                border.left_colour_index, border.bottom_colour_index],
                 [1, 2, 6, 3, 10, 12])
    alignment = xf("A6").alignment
    checks.equal("A6 alignment", [alignment.hor_align, alignment.vert_align,
                                  alignment.text_wrapped], [2, 0, 1])
    checks.equal("merged", data.merged_cells, [(8, 10, 2, 5)])
    checks.equal("column B width", data.colinfo_map[1].width // 256, 20)
    checks.equal("column F hidden", data.colinfo_map[5].hidden, 1)
    checks.equal("row 12 height", data.rowinfo_map[11].height, 600)
    checks.equal("row 13 hidden", data.rowinfo_map[12].hidden, 1)
    checks.equal("page breaks", ([b[0] for b in data.horizontal_page_breaks],
                                 [b[0] for b in data.vertical_page_breaks]), ([3], [2]))
    checks.equal("frozen pane", (data.panes_are_frozen, data.horz_split_pos, data.vert_split_pos),
                 (1, 1, 1))
    split = book.sheet_by_index(2)
    checks.equal("split pane", (split.panes_are_frozen, split.horz_split_first_visible,
                                split.vert_split_first_visible), (0, 2, 2))
    checks.equal("zoom", data.scl_mag_factor, 75)
    names = {name.name: [ref.coords for ref in name.result.value] for name in book.name_obj_list}
    checks.equal("print area", names.get("Print_Area"), [(0, 1, 0, 13, 0, 8)])
    checks.equal("print titles", names.get("Print_Titles"),
                 [(0, 1, 0, 65536, 0, 1), (0, 1, 0, 1, 0, 256)])

    book = xlrd.open_workbook(paths[1], formatting_info=True, logfile=open(os.devnull, "w"))
    checks.equal("script sheet names", book.sheet_names(), SCRIPT_SHEETS)
    texts, long_sheet, emoji, tall = book.sheets()
    checks.equal("script texts", texts.col_values(0), SCRIPTS)
    b1 = book.xf_list[texts.cell(0, 1).xf_index]
    checks.equal("font name", book.font_list[b1.font_index].name, FONT_NAME)
    checks.equal("number format", book.format_map[b1.format_key].format_str, NUM_FORMAT)
    checks.equal("text formula", texts.cell(0, 2).value, FORMULA_TEXT)
    for row, text in enumerate(long_sheet.col_values(0)):
        checks.equal("long text %d" % (row + 1), text, LONG_TEXTS[row])
    checks.equal("emoji sheet", emoji.col_values(0), SCRIPTS[-1:])
    checks.equal("tall sheet", (tall.col_values(0), tall.col_values(1)),
                 (TALL_NUMBERS, TALL_TEXTS))


# --- LibreOffice and Gnumeric, through the .xlsx they convert to ------------------------------

def convert(reader, paths, folder):
    """The .xlsx files the reader makes of the workbooks."""
    if reader == "libreoffice":
        return soffice_convert(paths, folder)
    out = os.path.join(folder, reader)
    os.makedirs(out, exist_ok=True)
    for path in paths:
        subprocess.run(["ssconvert", path, os.path.join(out, os.path.basename(path) + "x")],
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, check=False)
    return [os.path.join(out, os.path.basename(path) + "x") for path in paths]


# LibreOffice imports a boolean cell as the formula TRUE() or FALSE().
XLSX_BOOLEANS = {"=TRUE()": True, "=FALSE()": False}


def xlsx_value(value):
    return XLSX_BOOLEANS.get(value, value) if isinstance(value, str) else value


# Gnumeric reads these (its own format shows them) but its .xlsx export
# drops left and right borders, print titles, split panes and workbook
# protection, swaps the row and column page breaks and anchors a picture at
# the end of the cell before.
GNUMERIC_XLSX_LACKS = {"side borders", "titles, breaks, split", "book protection",
                       "picture anchor"}


def colour(side):
    return side.color.rgb[-6:] if side and side.color else None


def check_xlsx(paths, checks, lacks):
    """lacks: the facts the reader's .xlsx leaves out."""
    import openpyxl
    for path in paths:
        if not os.path.exists(path):
            checks.equal("converted", path, "an .xlsx file")
            return
    book = openpyxl.load_workbook(paths[0])
    cached = openpyxl.load_workbook(paths[0], data_only=True)
    checks.equal("sheet names", book.sheetnames, SHEETS)
    data, values = book["Data"], cached["Data"]
    for address, value in list(VALUES.items()) + list(BOOLEANS.items()):
        checks.equal(address, xlsx_value(data[address].value), value)
    checks.equal("D1", data["D1"].value, datetime.datetime(2024, 3, 1, 12, 0))
    for address, (formula, value) in FORMULAS.items():
        checks.equal(address, (data[address].value, values[address].value), ("=" + formula, value))
    for address, text in FORMATS.items():
        # LibreOffice writes colour names in capitals.
        checks.equal(address + " format", data[address].number_format.replace("\\", "").lower(),
                     text.lower())
    font = data["A1"].font
    checks.equal("A1 font", [font.name, font.sz, font.b, font.i, font.u, font.color.rgb[-6:]],
                 ["Courier New", 14, True, True, "single", "FF0000"])
    checks.equal("A4 fill", (data["A4"].fill.fill_type, data["A4"].fill.fgColor.rgb[-6:]),
                 ("solid", "FFFF00"))
    checks.equal("B4 fill", data["B4"].fill.fgColor.rgb[-6:], TEAL_HEX)
    sides = [getattr(data["A5"].border, edge) for edge in ("left", "right", "top", "bottom")]
    if "side borders" not in lacks:
        checks.equal("A5 borders", [side.style if side else None for side in sides],
                     ["thin", "medium", "double", "dashed"])
        checks.equal("A5 colours", [colour(sides[0]), colour(sides[3])], ["FF0000", "0000FF"])
    for address, expected in (("A6", ["center", "top", True]), ("B6", ["right", "center", None])):
        alignment = data[address].alignment
        checks.equal(address + " alignment",
                     [alignment.horizontal, alignment.vertical, alignment.wrap_text or None],
                     [expected[0], expected[1], expected[2] or None])
    checks.equal("merged", [str(area) for area in data.merged_cells.ranges], ["C9:E10"])
    checks.equal("column B width", round(data.column_dimensions["B"].width), 21)
    checks.equal("column F hidden", data.column_dimensions["F"].hidden, True)
    checks.equal("row 12 height", data.row_dimensions[12].height, 30)
    checks.equal("row 13 hidden", data.row_dimensions[13].hidden, True)
    checks.equal("header", data.oddHeader.center.text, "Top")
    checks.equal("footer", data.oddFooter.right.text, "Page &P")
    checks.equal("page setup", (data.page_setup.paperSize, data.page_setup.orientation),
                 (9, "landscape"))
    checks.equal("top margin", data.page_margins.top, 1.5)
    checks.equal("print area", ",".join(data.print_area or []), "$A$1:$H$13")
    if "titles, breaks, split" not in lacks:
        checks.equal("print titles", (data.print_title_rows, data.print_title_cols),
                     ("$1:$1", "$A:$A"))
        checks.equal("page breaks", ([b.id for b in data.row_breaks.brk],
                                     [b.id for b in data.col_breaks.brk]), ([3], [2]))
        pane = book["Split"].sheet_view.pane
        checks.equal("split pane", (pane.state, pane.topLeftCell) if pane else None,
                     ("split", "C3"))
    checks.equal("frozen pane", data.freeze_panes, "B2")
    checks.equal("zoom", data.sheet_view.zoomScale, 75)
    checks.equal("sheet protected", data.protection.sheet, True)
    if "book protection" not in lacks:
        checks.equal("workbook protected", book.security is not None and
                     bool(book.security.lockStructure), True)
    anchors = [[(image.anchor._from.col, image.anchor._from.row) for image in sheet._images]
               for sheet in (data, book["Second"])]
    if "picture anchor" in lacks:
        anchors = [len(sheet) for sheet in anchors]
    checks.equal("pictures", anchors,
                 [1, 1] if "picture anchor" in lacks else [[(1, 14)], [(0, 2)]])
    check_xlsx_scripts(paths[1], checks, lacks)


def check_xlsx_scripts(path, checks, lacks):
    import openpyxl
    book = openpyxl.load_workbook(path)
    checks.equal("script sheet names", book.sheetnames, SCRIPT_SHEETS)
    texts, long_sheet, emoji, tall = book.worksheets
    checks.equal("script texts", [texts.cell(row + 1, 1).value for row in range(len(SCRIPTS))],
                 SCRIPTS)
    checks.equal("font name", texts["B1"].font.name, FONT_NAME)
    checks.equal("number format", texts["B1"].number_format.replace("\\", ""), NUM_FORMAT)
    cached = openpyxl.load_workbook(path, data_only=True).worksheets[0]
    checks.equal("text formula", cached["C1"].value, FORMULA_TEXT)
    checks.equal("header", texts.oddHeader.center.text, HEADER)
    checks.equal("footer", texts.oddFooter.right.text, FOOTER)
    for row, text in enumerate(LONG_TEXTS):
        checks.equal("long text %d" % (row + 1), long_sheet.cell(row + 1, 1).value, text)
    checks.equal("emoji sheet", emoji["A1"].value, SCRIPTS[-1])
    checks.equal("tall sheet", [list(row) for row in tall.iter_rows(values_only=True)],
                 [list(row) for row in zip(TALL_NUMBERS, TALL_TEXTS)])


# --- readxl -----------------------------------------------------------------------------------

# Each argument after the two files asks for one block: "FILE SHEET RANGE",
# FILE 1 or 2, SHEET from 1, RANGE empty for the whole sheet.
READXL_SCRIPT = """
library(readxl)
args <- commandArgs(TRUE)
block <- function(request) {
  part <- strsplit(request, " ")[[1]]
  range <- if (length(part) > 2) part[3] else NULL
  frame <- suppressMessages(read_excel(args[as.integer(part[1])], as.integer(part[2]),
                                       range = range, col_names = FALSE, col_types = "list"))
  lapply(unname(as.list(frame)), function(column) lapply(column, function(x)
    if (inherits(x, "POSIXct")) format(x, "%Y-%m-%d %H:%M", tz = "UTC") else x))
}
cat(jsonlite::toJSON(list(sheets = lapply(args[1:2], excel_sheets),
                          blocks = lapply(args[-(1:2)], block)),
                     auto_unbox = TRUE, null = "null", na = "null", digits = NA))
"""
READXL_BLOCKS = ["1 1 A1:I7", "1 1 A20000:B60000", "2 1 A1:C9", "2 2 A1:A4", "2 3 A1", "2 4"]


def check_readxl(paths, checks):
    result = subprocess.run(["Rscript", "-e", READXL_SCRIPT] + paths + READXL_BLOCKS,
                            stdout=subprocess.PIPE, stderr=subprocess.PIPE, check=False)
    if result.returncode != 0:
        checks.equal("Rscript", result.stderr.decode(errors="replace"), "")
        return
    answer = json.loads(result.stdout)
    data, deep, texts, long_sheet, emoji, tall = answer["blocks"]
    checks.equal("sheet names", answer["sheets"], [SHEETS, SCRIPT_SHEETS])
    for address, value in list(VALUES.items()) + list(BOOLEANS.items()):
        row, col = cell_index(address)
        if row < 7:
            checks.equal(address, data[col][row], value)
    checks.equal("D1", data[3][0], "2024-03-01 12:00")
    checks.equal("I1 and I4", (data[8][0], data[8][3]), (84, "abcd"))
    checks.equal("rows past 16384", (deep[0][0], deep[1][-1]), (41, "deep"))
    checks.equal("script texts", texts[0], SCRIPTS)
    checks.equal("text formula", texts[2][0], FORMULA_TEXT)
    for row, text in enumerate(long_sheet[0]):
        checks.equal("long text %d" % (row + 1), text, LONG_TEXTS[row])
    checks.equal("emoji sheet", emoji[0], SCRIPTS[-1:])
    checks.equal("tall sheet", tall, [TALL_NUMBERS, TALL_TEXTS])


# --- olefile ----------------------------------------------------------------------------------

def check_olefile(paths, checks):
    import olefile
    for path in paths:
        with olefile.OleFileIO(path) as ole:
            checks.equal(os.path.basename(path) + " streams", ole.listdir(), [["Workbook"]])


NEEDS = {"xlrd": ["xlrd"], "libreoffice": ["openpyxl"], "gnumeric": ["openpyxl"],
         "olefile": ["olefile"]}
PROGRAMS = {"libreoffice": "soffice", "gnumeric": "ssconvert", "readxl": "Rscript"}


def missing_here(reader):
    reason = missing(reader, NEEDS, PROGRAMS)
    if reason:
        return reason
    if reader == "readxl" and subprocess.run(
            ["Rscript", "-e", "library(readxl); library(jsonlite)"], stdout=subprocess.DEVNULL,
            stderr=subprocess.DEVNULL, check=False).returncode != 0:
        return "R lacks readxl or jsonlite"
    return None


def check(reader, folder, build_dir, checks):
    paths = [os.path.join(folder, name) for name in ("capabilities.xls", "scripts.xls")]
    if reader == "poi":
        check_poi(poi_dump(paths, build_dir), checks)
    elif reader == "sheetjs":
        check_sheetjs(sheetjs_dump(paths), checks)
    elif reader == "xlrd":
        check_xlrd(paths, checks)
    elif reader == "libreoffice":
        check_xlsx(convert(reader, paths, folder), checks, {"book protection"})
    elif reader == "gnumeric":
        check_xlsx(convert(reader, paths, folder), checks, GNUMERIC_XLSX_LACKS)
    elif reader == "readxl":
        check_readxl(paths, checks)
    else:
        check_olefile(paths, checks)


if __name__ == "__main__":
    sys.exit(run_checker(sys.argv, missing_here, check))
