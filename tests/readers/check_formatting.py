"""Prints the cell formatting and layout of the first sheet of a workbook as
an independent reader sees it, one fact per line, in one text form for both
readers, so the tests can look for the lines a workbook must show.

  check_formatting.py xlrd PATH   reads an .xls with xlrd (formatting_info=True)
  check_formatting.py xlsx PATH   reads an .xlsx converted by LibreOffice, with
                                  openpyxl

Lines (cells named like A1; colours as RRGGBB; texts lower-case where the
readers differ in case):
  A1 font NAME            A1 size 10.0          A1 bold 1|0
  A1 italic 1|0           A1 underline single|double|singleaccounting|...|none
  A1 color RRGGBB         A1 fill solid RRGGBB  (only filled cells)
  A1 halign general|left|center|right|...     A1 valign top|center|bottom|...
  A1 wrap 1|0             A1 numfmt TEXT
  A1 border left|right|top|bottom STYLE RRGGBB  (only edges with a line)
  merged A1:B2
  col B width N           (characters, rounded)      col B hidden
  row 3 height P          (points, one decimal)      row 3 hidden
On a read error the script prints "error: ..." and exits 1.
"""
import sys

HALIGN = {0: "general", 1: "left", 2: "center", 3: "right", 4: "fill", 5: "justify",
          6: "centercontinuous", 7: "distributed"}
VALIGN = {0: "top", 1: "center", 2: "bottom", 3: "justify", 4: "distributed"}
LINES = {1: "thin", 2: "medium", 3: "dashed", 4: "dotted", 5: "thick", 6: "double", 7: "hair"}
UNDERLINES = {0: "none", 1: "single", 2: "double", 0x21: "singleaccounting",
              0x22: "doubleaccounting"}
EDGES = ("left", "right", "top", "bottom")


def cell_name(row, col):
    name = ""
    col += 1
    while col:
        col, rest = divmod(col - 1, 26)
        name = chr(65 + rest) + name
    return "%s%d" % (name, row + 1)


def col_name(col):
    return cell_name(0, col)[:-1]


def hex_rgb(rgb):
    return "%02X%02X%02X" % rgb if rgb else "auto"


def dump_xlrd(path):
    import xlrd
    book = xlrd.open_workbook(path, formatting_info=True)
    sheet = book.sheet_by_index(0)
    colour = lambda index: hex_rgb(book.colour_map.get(index))
    for row in range(sheet.nrows):
        for col in range(sheet.ncols):
            xf = book.xf_list[sheet.cell_xf_index(row, col)]
            font = book.font_list[xf.font_index]
            name = cell_name(row, col)
            print(name, "font", font.name)
            print(name, "size", "%.1f" % (font.height / 20.0))
            # xlrd takes bold from the option bit, not from the weight.
            print(name, "bold", int(bool(font.bold)))
            print(name, "italic", int(bool(font.italic)))
            print(name, "underline", UNDERLINES.get(font.underline_type, "none"))
            print(name, "color", colour(font.colour_index))
            if xf.background.fill_pattern == 1:
                print(name, "fill solid", colour(xf.background.pattern_colour_index))
            print(name, "halign", HALIGN.get(xf.alignment.hor_align, "general"))
            print(name, "valign", VALIGN.get(xf.alignment.vert_align, "bottom"))
            print(name, "wrap", int(bool(xf.alignment.text_wrapped)))
            print(name, "numfmt", book.format_map[xf.format_key].format_str.lower())
            for edge in EDGES:
                style = getattr(xf.border, edge + "_line_style")
                if style:
                    print(name, "border", edge, LINES.get(style, str(style)),
                          colour(getattr(xf.border, edge + "_colour_index")))
    for rlo, rhi, clo, chi in sheet.merged_cells:
        print("merged %s:%s" % (cell_name(rlo, clo), cell_name(rhi - 1, chi - 1)))
    for col, info in sorted(sheet.colinfo_map.items()):
        print("col", col_name(col), "width", round(info.width / 256.0))
        if info.hidden:
            print("col", col_name(col), "hidden")
    for row, info in sorted(sheet.rowinfo_map.items()):
        print("row", row + 1, "height", "%.1f" % (info.height / 20.0))
        if info.hidden:
            print("row", row + 1, "hidden")


def argb(color):
    if color is None or color.type != "rgb" or not isinstance(color.rgb, str):
        return "auto"
    return color.rgb[-6:].upper()


def dump_xlsx(path):
    import openpyxl
    from openpyxl.utils import get_column_letter
    sheet = openpyxl.load_workbook(path).worksheets[0]
    for row in sheet.iter_rows():
        for cell in row:
            name = cell.coordinate
            font = cell.font
            print(name, "font", font.name)
            print(name, "size", "%.1f" % float(font.sz))
            print(name, "bold", int(bool(font.b)))
            print(name, "italic", int(bool(font.i)))
            print(name, "underline", (font.u or "none").lower())
            print(name, "color", argb(font.color))
            if cell.fill.fill_type == "solid":
                print(name, "fill solid", argb(cell.fill.fgColor))
            print(name, "halign", (cell.alignment.horizontal or "general").lower())
            print(name, "valign", (cell.alignment.vertical or "bottom").lower())
            print(name, "wrap", int(bool(cell.alignment.wrap_text)))
            # LibreOffice escapes literal characters ("yyyy\-mm\-dd").
            print(name, "numfmt", cell.number_format.replace("\\", "").lower())
            for edge in EDGES:
                side = getattr(cell.border, edge)
                if side is not None and side.style:
                    print(name, "border", edge, side.style.lower(), argb(side.color))
    for merged in sheet.merged_cells.ranges:
        print("merged", merged.coord)
    for dim in sheet.column_dimensions.values():
        for col in range(dim.min, dim.max + 1):
            print("col", get_column_letter(col), "width", round(dim.width))
            if dim.hidden:
                print("col", get_column_letter(col), "hidden")
    for row, dim in sorted(sheet.row_dimensions.items()):
        if dim.height is not None:
            print("row", row, "height", "%.1f" % dim.height)
        if dim.hidden:
            print("row", row, "hidden")


def main():
    mode, path = sys.argv[1], sys.argv[2]
    try:
        {"xlrd": dump_xlrd, "xlsx": dump_xlsx}[mode](path)
    except Exception as error:  # any reader failure is the test's finding
        print("error: %s: %s" % (type(error).__name__, error))
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
