"""Prints what openpyxl reads from an .xlsx that LibreOffice converted from an
exported workbook: one line per non-empty cell of the first rows of every
sheet, with its value and the formatting a viewer shows.

  check_export.py PATH [ROWS]
  check_export.py --poi BUILD_DIR PATH   (the same lines as Apache POI reads an .xls)

Line format:
  cell SHEET!A1 value=V fmt=F font=NAME,SIZE[,bold][,italic][,underline][,strike],COLOUR
       fill=COLOUR borders=LEFT/TOP/BOTTOM/RIGHT align=H
(on one line), where V is text as repr, numbers as repr(float), dates as
date:YYYY-MM-DDTHH:MM:SS, booleans as True or False; each border is
STYLE:COLOUR or none; colours are RRGGBB or none. Sheet widths follow as "width SHEET!A 9.17",
then the sheet's AutoFilter as "filter SHEET A1:D9" (or "filter SHEET none").
With --poi the cell lines carry value, fmt and align only (a formula as =TEXT, its
cached value after it), and the filter line adds the column count of AUTOFILTERINFO
and whether the _FilterDatabase name is hidden: "filter SHEET A1:D9 columns=4 hidden=True".
"""
import os
import datetime
import sys

import openpyxl
from openpyxl.utils import get_column_letter


def colour(c):
    if c is None or c.type != "rgb" or c.rgb is None:
        return "none"
    return str(c.rgb)[-6:].upper()


def value_text(v):
    if isinstance(v, datetime.time):
        v = datetime.datetime.combine(datetime.date(1899, 12, 30), v)
    if isinstance(v, datetime.datetime):
        return "date:" + v.replace(microsecond=0).isoformat()
    if v in ("=TRUE()", "=FALSE()"):  # how LibreOffice imports a boolean cell
        return v[1:-2].capitalize()
    if isinstance(v, str):
        return repr(v)
    return repr(float(v))


def border_text(side):
    if side is None or side.style is None:
        return "none"
    return "%s:%s" % (side.style, colour(side.color))


def font_text(f):
    pieces = [str(f.name), "%g" % (f.sz or 0)]
    for flag, name in ((f.b, "bold"), (f.i, "italic"), (f.u, "underline"), (f.strike, "strike")):
        if flag:
            pieces.append(name)
    pieces.append(colour(f.color))
    return ",".join(pieces)


def main(path, rows):
    book = openpyxl.load_workbook(path)
    for sheet in book.worksheets:
        print("sheet %s" % sheet.title)
        for row in sheet.iter_rows(min_row=1, max_row=min(rows, sheet.max_row)):
            for cell in row:
                if cell.value is None and not cell.has_style:
                    continue
                fill = colour(cell.fill.fgColor) if cell.fill.fill_type == "solid" else "none"
                b = cell.border
                print("cell %s!%s value=%s fmt=%s font=%s fill=%s borders=%s align=%s" % (
                    sheet.title, cell.coordinate,
                    "empty" if cell.value is None else value_text(cell.value),
                    cell.number_format, font_text(cell.font), fill,
                    "/".join(border_text(s) for s in (b.left, b.top, b.bottom, b.right)),
                    cell.alignment.horizontal or "general"))
        for letter, dim in sorted(sheet.column_dimensions.items()):
            if dim.width:
                print("width %s!%s %.2f" % (sheet.title, letter, dim.width))
        print("filter %s %s" % (sheet.title, sheet.auto_filter.ref or "none"))


def poi_main(build_dir, path):
    sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
    from biff8_readers import poi_dump
    book = poi_dump([path], build_dir)[0]
    for sheet in book["sheets"]:
        print("sheet %s" % sheet["name"])
        for cell in sheet["cells"]:
            shown = "=%s %r" % (cell["formula"], cell["value"]) if "formula" in cell else repr(
                cell["value"])
            print("cell %s!%s value=%s fmt=%s align=%s" % (
                sheet["name"], cell["address"], shown, cell["number_format"],
                cell["alignment"]["horizontal"]))
        area = sheet["auto_filter"]
        print("filter %s %s" % (sheet["name"], "none" if area is None else "%s columns=%d hidden=%s" % (
            area.get("refers_to", "").split("!")[-1].replace("$", ""), area["columns"],
            area.get("hidden"))))


if __name__ == "__main__":
    if sys.argv[1] == "--poi":
        poi_main(sys.argv[2], sys.argv[3])
    else:
        main(sys.argv[1], int(sys.argv[2]) if len(sys.argv) > 2 else 10)
