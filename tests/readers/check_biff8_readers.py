#!/usr/bin/python3
"""Proves the POI and SheetJS dumps on a BIFF8 workbook written by xlwt.

    check_biff8_readers.py poi|sheetjs SCRATCH_DIR BUILD_DIR

Writes the workbook into SCRATCH_DIR, reads it with the reader and prints one
line for each fact the reader got wrong; exits 0 when it got them all, 1
when not, and 77 with the reason when the reader or xlwt is missing.
"""
import datetime
import importlib.util
import os
import struct
import sys

from biff8_readers import missing_reader, poi_dump, sheetjs_dump

SKIP = 77
UNICODE_TEXT = "Ünïcødé 日本語 Ελληνικά"
SECOND_SHEET = "Второй"
TEAL = 0x21  # a palette entry the workbook redefines
TEAL_RGB = (0x12, 0x9A, 0x7B)


def write_bitmap(path, width=4, height=2):
    """A 24-bit BMP, the one kind of picture xlwt embeds."""
    padding = b"\0" * ((4 - width * 3 % 4) % 4)
    pixels = b"".join(
        bytes(v for x in range(width) for v in (50 * x, 100 * y, 200)) + padding
        for y in range(height))
    header = struct.pack("<2sIHHI", b"BM", 54 + len(pixels), 0, 0, 54)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(pixels), 0, 0, 0, 0)
    with open(path, "wb") as out:
        out.write(header + info + pixels)


def write_cells(xlwt, sheet):
    framed = xlwt.easyxf(
        "font: name Arial, bold on, height 280; pattern: pattern solid, fore_colour tabulon_teal;"
        " borders: left thin, top medium, bottom double, right dashed, bottom_colour red;"
        " align: horiz center, vert top, wrap on")
    struck = xlwt.easyxf("font: italic on, underline single, struck_out on, colour blue",
                         num_format_str="0.00")
    turned = xlwt.easyxf("align: horiz left, rotation 45, indent 2, shrink_to_fit on")
    sheet.write(0, 0, "Text", framed)
    sheet.write(0, 1, 42)
    sheet.write(0, 2, 3.25, struck)
    sheet.write(0, 3, datetime.date(2024, 3, 1), xlwt.easyxf(num_format_str="yyyy-mm-dd"))
    sheet.write(0, 4, True)
    sheet.write(0, 5, xlwt.Formula("B1*2"))
    sheet.row(0).set_cell_error(6, 0x2A)  # #N/A; xlwt maps some error texts wrongly
    sheet.write(0, 7, "turned", turned)
    sheet.write(1, 0, UNICODE_TEXT)
    sheet.write_merge(2, 3, 0, 1, "merged")
    sheet.write(4, 0, "tall")
    sheet.write(5, 0, "hidden")


def write_layout(sheet):
    sheet.col(1).width = 256 * 20
    sheet.col(3).hidden = True
    sheet.row(4).height_mismatch = True
    sheet.row(4).height = 600
    sheet.row(5).hidden = True
    sheet.header_str = b"&CTop"
    sheet.footer_str = b"&RPage &P"
    sheet.set_panes_frozen(True)
    sheet.set_horz_split_pos(1)
    sheet.set_vert_split_pos(1)
    sheet.normal_magn = 75
    sheet.paper_size_code = 9  # A4
    sheet.portrait = 0
    sheet.print_scaling = 80
    sheet.top_margin = 1.5
    sheet.print_centered_horz = 1
    sheet.print_grid = 1
    sheet.horz_page_breaks = [(10, 0, 255)]
    sheet.vert_page_breaks = [(2, 0, 65535)]


def write_workbook(folder):
    import xlwt

    book = xlwt.Workbook(encoding="utf-8")
    data = book.add_sheet("Data")
    second = book.add_sheet(SECOND_SHEET)
    xlwt.add_palette_colour("tabulon_teal", TEAL)
    book.set_colour_RGB(TEAL, *TEAL_RGB)
    write_cells(xlwt, data)
    write_layout(data)
    bitmap = os.path.join(folder, "picture.bmp")
    write_bitmap(bitmap)
    data.insert_bitmap(bitmap, 7, 2)
    second.write(0, 0, "second")
    second.protect = True
    second.password = "secret"
    book.protect = True
    path = os.path.join(folder, "xlwt_biff8.xls")
    book.save(path)
    return path


class Checks:
    def __init__(self):
        self.failures = []

    def equal(self, label, got, expected):
        if got != expected:
            self.failures.append("%s: got %r, expected %r" % (label, got, expected))


def fields(mapping, *keys):
    return [mapping.get(key) for key in keys]


def cells_by_address(sheet):
    return {cell["address"]: cell for cell in sheet["cells"]}


def by_index(entries):
    return {entry["index"]: entry for entry in entries}


def check_poi(dump, checks):
    rgb = "#%02X%02X%02X" % TEAL_RGB
    checks.equal("error", dump.get("error"), None)
    checks.equal("sheet names", [sheet["name"] for sheet in dump["sheets"]], ["Data", SECOND_SHEET])
    checks.equal("custom colours", dump["custom_colours"], [{"index": TEAL, "rgb": rgb}])
    checks.equal("workbook protected", dump["protection"]["structure"], True)
    data, second = dump["sheets"]
    cells = cells_by_address(data)
    a1 = cells["A1"]
    checks.equal("A1", (a1["type"], a1["value"]), ("string", "Text"))
    checks.equal("A1 font", fields(a1["font"], "name", "height_points", "bold"),
                 ["Arial", 14, True])
    checks.equal("A1 fill", (a1["fill"]["pattern"], a1["fill"]["fg"]["rgb"]),
                 ("solid_foreground", rgb))
    checks.equal("A1 borders", [edge["style"] for edge in fields(a1["borders"], "left", "top",
                                                                "bottom", "right")],
                 ["thin", "medium", "double", "dashed"])
    checks.equal("A1 bottom colour", a1["borders"]["bottom"]["colour"]["rgb"], "#FF0000")
    checks.equal("A1 alignment", fields(a1["alignment"], "horizontal", "vertical", "wrap"),
                 ["center", "top", True])
    checks.equal("B1", (cells["B1"]["type"], cells["B1"]["value"]), ("numeric", 42))
    c1 = cells["C1"]
    checks.equal("C1", (c1["value"], c1["number_format"]), (3.25, "0.00"))
    checks.equal("C1 font", fields(c1["font"], "italic", "underline", "strikeout"), [True, 1, True])
    checks.equal("C1 colour", c1["font"]["colour"]["rgb"], "#0000FF")
    d1 = cells["D1"]
    checks.equal("D1", (d1["value"], d1["number_format"], d1["is_date"], d1["text"]),
                 (45352, "yyyy-mm-dd", True, "2024-03-01"))
    checks.equal("E1", (cells["E1"]["type"], cells["E1"]["value"]), ("boolean", True))
    checks.equal("F1", (cells["F1"]["type"], cells["F1"]["formula"]), ("formula", "B1*2"))
    checks.equal("G1", (cells["G1"]["type"], cells["G1"]["value"]), ("error", "#N/A"))
    checks.equal("H1 alignment",
                 fields(cells["H1"]["alignment"], "horizontal", "rotation", "indent", "shrink"),
                 ["left", 45, 2, True])
    checks.equal("A2", cells["A2"]["value"], UNICODE_TEXT)
    checks.equal("merged", data["merged"], ["A3:B4"])
    columns = by_index(data["columns"])
    checks.equal("column B width", columns.get(1, {}).get("width"), 5120)
    checks.equal("column D hidden", columns.get(3, {}).get("hidden"), True)
    rows = by_index(data["rows"])
    checks.equal("row 5 height", rows[4]["height"], 600)
    checks.equal("row 6 hidden", rows[5]["hidden"], True)
    checks.equal("header", data["header"]["center"], "Top")
    checks.equal("footer", data["footer"]["right"], "Page &P")
    checks.equal("print setup", fields(data["print"], "paper_size", "landscape", "scale",
                                       "center_horizontally", "gridlines"),
                 [9, True, 80, True, True])
    checks.equal("top margin", data["print"]["margins"]["top"], 1.5)
    # POI numbers a break by the last row (column) before it.
    checks.equal("page breaks", (data["row_breaks"], data["column_breaks"]), ([9], [1]))
    checks.equal("pane", fields(data["pane"] or {}, "frozen", "vertical_split", "horizontal_split"),
                 [True, 1, 1])
    checks.equal("zoom", data["window"]["zoom"], 75)
    checks.equal("second sheet protected", second["protection"]["contents"], True)
    checks.equal("second sheet password set", second["protection"]["password_hash"] != 0, True)


def check_sheetjs(dump, checks):
    checks.equal("error", dump.get("error"), None)
    checks.equal("sheet names", [sheet["name"] for sheet in dump["sheets"]], ["Data", SECOND_SHEET])
    data, second = dump["sheets"]
    cells = cells_by_address(data)
    a1 = cells["A1"]
    checks.equal("A1", (a1["type"], a1["value"]), ("s", "Text"))
    checks.equal("A1 fill", (a1["style"]["patternType"], a1["style"]["fgColor"]["rgb"]),
                 ("solid", "%02X%02X%02X" % TEAL_RGB))
    checks.equal("B1", (cells["B1"]["type"], cells["B1"]["value"]), ("n", 42))
    checks.equal("C1", (cells["C1"]["value"], cells["C1"]["number_format"]), (3.25, "0.00"))
    d1 = cells["D1"]
    checks.equal("D1", (d1["value"], d1["number_format"], d1["is_date"], d1["text"]),
                 (45352, "yyyy-mm-dd", True, "2024-03-01"))
    checks.equal("E1", (cells["E1"]["type"], cells["E1"]["value"]), ("b", True))
    checks.equal("F1", cells["F1"]["formula"], "B1*2")
    checks.equal("G1", (cells["G1"]["type"], cells["G1"]["text"]), ("e", "#N/A"))
    checks.equal("A2", cells["A2"]["value"], UNICODE_TEXT)
    checks.equal("merged", data["merged"], ["A3:B4"])
    columns = by_index(data["columns"])
    checks.equal("column B width", columns.get(1, {}).get("width"), 20)
    checks.equal("column D hidden", columns.get(3, {}).get("hidden"), True)
    rows = by_index(data["rows"])
    checks.equal("row 5 height", rows.get(4, {}).get("hpt"), 30)
    checks.equal("row 6 hidden", rows.get(5, {}).get("hidden"), True)
    checks.equal("top margin", data["margins"]["top"], 1.5)
    pictures = [entry for entry in data.get("objects", []) if entry and "ImData" in entry]
    checks.equal("picture data size", [picture["ImData"]["data"]["size"] for picture in pictures],
                 [36])
    checks.equal("second sheet protected", bool(second.get("protect")), True)


def main(argv):
    reader, scratch, build_dir = argv[1:4]
    missing = missing_reader(reader)
    if importlib.util.find_spec("xlwt") is None:
        missing = "/usr/bin/python3 lacks xlwt (run scripts/setup.sh)"
    if missing:
        print(missing)
        return SKIP
    os.makedirs(scratch, exist_ok=True)
    path = write_workbook(scratch)
    checks = Checks()
    if reader == "poi":
        check_poi(poi_dump([path], build_dir)[0], checks)
    else:
        check_sheetjs(sheetjs_dump([path])[0], checks)
    for failure in checks.failures:
        print(failure)
    return 1 if checks.failures else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
