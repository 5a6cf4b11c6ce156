"""Reads workbooks saved by the library with independent readers and prints
what each reader sees, in one text form for all of them, so the tests can
compare readers line by line.

  check_book.py xlrd PATH       reads an .xls with xlrd (formatting_info=True)
  check_book.py xlsx PATH       reads an .xlsx converted by LibreOffice, with
                                openpyxl
  check_book.py gnumeric PATH   reads a native .gnumeric file (its .xlsx
                                export drops print titles and protection)
  check_book.py grid-xlrd PATH ROWS COLS
  check_book.py grid-xlsx PATH ROWS COLS
  check_book.py grid-gnumeric PATH ROWS COLS
                                checks the numbers-and-text grid of the large
                                workbook test on its first sheet; prints "ok"

Dump lines:
  sheet NAME
  cell NAME!A1 = VALUE          text as repr, numbers as integers when whole,
                                dates as date:YYYY-MM-DDTHH:MM:SS, booleans
                                as True or False
  print_area NAME RANGE         print_titles NAME RANGES
  row_breaks NAME 1,2           col_breaks NAME 3
  frozen NAME CELL              zoom NAME PERCENT
  selected NAME                 active NAME
  protected NAME                book_protected
Lines a reader cannot report are left out. On a read error the script prints
"error: ..." and exits 1.
"""
import datetime
import re
import sys


def col_name(col):
    name = ""
    col += 1
    while col:
        col, rem = divmod(col - 1, 26)
        name = chr(65 + rem) + name
    return name


def cell_name(row, col):
    return "%s%d" % (col_name(col), row + 1)


def number(value):
    if float(value).is_integer() and abs(value) < 1e15:
        return str(int(value))
    return repr(float(value))


def date_text(moment):
    if isinstance(moment, datetime.time):
        moment = datetime.datetime.combine(datetime.date(1899, 12, 30), moment)
    elif not isinstance(moment, datetime.datetime):
        moment = datetime.datetime.combine(moment, datetime.time())
    return "date:" + moment.replace(microsecond=0).isoformat()


# --- xlrd -----------------------------------------------------------------------------

def xlrd_value(book, cell):
    import xlrd
    if cell.ctype == xlrd.XL_CELL_TEXT:
        return repr(cell.value)
    if cell.ctype == xlrd.XL_CELL_NUMBER:
        return number(cell.value)
    if cell.ctype == xlrd.XL_CELL_DATE:
        return date_text(xlrd.xldate.xldate_as_datetime(cell.value, book.datemode))
    if cell.ctype == xlrd.XL_CELL_BOOLEAN:
        return str(bool(cell.value))
    return None


def xlrd_area(area):
    row1, row2, col1, col2 = area[-4:]
    return "%s:%s" % (cell_name(row1, col1), cell_name(row2 - 1, col2 - 1))


def xlrd_names(book):
    lines = []
    for name in book.name_obj_list:
        if name.name not in ("Print_Area", "Print_Titles"):
            continue
        sheet = book.sheet_by_index(name.scope).name if name.scope >= 0 else "?"
        areas = []
        if name.result is not None and name.result.kind in (xlrd.oREF, xlrd.oREL):
            areas = [xlrd_area(ref.coords) for ref in name.result.value]
        label = "print_area" if name.name == "Print_Area" else "print_titles"
        lines.append("%s %s %s" % (label, sheet, ",".join(areas) or name.formula_text))
    return lines


def dump_xlrd(path):
    global xlrd
    import xlrd
    book = xlrd.open_workbook(path, formatting_info=True, logfile=sys.stderr)
    lines = []
    for sheet in book.sheets():
        lines.append("sheet %s" % sheet.name)
        for row in range(sheet.nrows):
            for col in range(sheet.ncols):
                value = xlrd_value(book, sheet.cell(row, col))
                if value is not None:
                    lines.append("cell %s!%s = %s" % (sheet.name, cell_name(row, col), value))
        if sheet.horizontal_page_breaks:
            lines.append("row_breaks %s %s" % (
                sheet.name, ",".join(str(b[0]) for b in sheet.horizontal_page_breaks)))
        if sheet.vertical_page_breaks:
            lines.append("col_breaks %s %s" % (
                sheet.name, ",".join(str(b[0]) for b in sheet.vertical_page_breaks)))
        if sheet.panes_are_frozen:
            lines.append("frozen %s %s" % (
                sheet.name, cell_name(sheet.horz_split_pos, sheet.vert_split_pos)))
        if sheet.scl_mag_factor:
            lines.append("zoom %s %d" % (sheet.name, sheet.scl_mag_factor))
        if sheet.sheet_selected:
            lines.append("selected %s" % sheet.name)
    lines.extend(xlrd_names(book))
    return lines


def grid_xlrd(path, rows, cols):
    import xlrd
    sheet = xlrd.open_workbook(path, on_demand=True).sheet_by_index(0)
    return check_grid(lambda r, c: sheet.cell_value(r, c), sheet.nrows, sheet.ncols, rows, cols)


# --- openpyxl ----------------------------------------------------------------------

# LibreOffice imports a boolean cell as the formula TRUE() or FALSE().
LIBREOFFICE_BOOLEANS = {"=TRUE()": "True", "=FALSE()": "False"}


def xlsx_value(value):
    if value is None:
        return None
    if value in LIBREOFFICE_BOOLEANS:
        return LIBREOFFICE_BOOLEANS[value]
    if isinstance(value, str):
        return repr(value)
    if isinstance(value, bool):
        return str(value)
    if isinstance(value, (datetime.datetime, datetime.date, datetime.time)):
        return date_text(value)
    return number(value)


def strip_sheet(text):
    # "'Sheet 1'!$A$1:$B$2" -> "A1:B2"; several ranges joined by commas.
    parts = []
    if isinstance(text, (list, tuple)):
        text = ",".join(text)
    for part in str(text).split(","):
        part = part.split("!")[-1].replace("$", "")
        parts.append(part)
    return ",".join(parts)


def dump_xlsx(path):
    import openpyxl
    book = openpyxl.load_workbook(path)
    lines = []
    for sheet in book.worksheets:
        lines.append("sheet %s" % sheet.title)
        for row in sheet.iter_rows():
            for cell in row:
                value = xlsx_value(cell.value)
                if value is not None:
                    lines.append("cell %s!%s = %s" % (sheet.title, cell.coordinate, value))
        breaks = [b.id for b in sheet.row_breaks.brk]
        if breaks:
            lines.append("row_breaks %s %s" % (sheet.title, ",".join(map(str, breaks))))
        breaks = [b.id for b in sheet.col_breaks.brk]
        if breaks:
            lines.append("col_breaks %s %s" % (sheet.title, ",".join(map(str, breaks))))
        if sheet.freeze_panes:
            lines.append("frozen %s %s" % (sheet.title, sheet.freeze_panes))
        view = sheet.sheet_view
        if view.zoomScale and view.zoomScale != 100:
            lines.append("zoom %s %d" % (sheet.title, view.zoomScale))
        if view.tabSelected:
            lines.append("selected %s" % sheet.title)
        if sheet.protection.sheet:
            lines.append("protected %s" % sheet.title)
        if sheet.print_area:
            lines.append("print_area %s %s" % (sheet.title, strip_sheet(sheet.print_area)))
        titles = [t for t in (sheet.print_title_cols, sheet.print_title_rows) if t]
        if titles:
            lines.append("print_titles %s %s" % (sheet.title, ",".join(map(strip_sheet, titles))))
    if book.security is not None:
        lines.append("book_protected")
    lines.append("active %s" % book.active.title)
    return lines


def grid_xlsx(path, rows, cols):
    import openpyxl
    sheet = openpyxl.load_workbook(path, read_only=True).worksheets[0]
    values = [list(row) for row in sheet.iter_rows(values_only=True)]
    width = max((len(row) for row in values), default=0)
    return check_grid(lambda r, c: values[r][c], len(values), width, rows, cols)


# --- Gnumeric's own file format ------------------------------------------------------

GNM = "{http://www.gnumeric.org/v10.dtd}"


def gnumeric_sheets(path):
    import gzip
    import xml.etree.ElementTree as tree
    with gzip.open(path) as stream:
        root = tree.parse(stream).getroot()
    return root, root.iter(GNM + "Sheet")


def gnumeric_value(cell):
    if cell.get("ValueType") == "60":
        return repr(cell.text or "")
    if cell.get("ValueType") == "40":
        return number(float(cell.text))
    if cell.get("ValueType") == "20":
        return str(cell.text == "TRUE")
    return None


def gnumeric_cells(sheet):
    for cell in sheet.iter(GNM + "Cell"):
        yield int(cell.get("Row")), int(cell.get("Col")), cell


def dump_gnumeric(path):
    root, sheets = gnumeric_sheets(path)
    lines = []
    for sheet in sheets:
        name = sheet.find(GNM + "Name").text
        lines.append("sheet %s" % name)
        for row, col, cell in gnumeric_cells(sheet):
            value = gnumeric_value(cell)
            if value is not None:
                lines.append("cell %s!%s = %s" % (name, cell_name(row, col), value))
        for tag, label in (("hPageBreaks", "row_breaks"), ("vPageBreaks", "col_breaks")):
            for breaks in sheet.iter(GNM + tag):
                positions = [b.get("pos") for b in breaks.iter(GNM + "break")]
                lines.append("%s %s %s" % (label, name, ",".join(positions)))
        frozen = sheet.find(".//" + GNM + "FreezePanes")
        if frozen is not None:
            lines.append("frozen %s %s" % (name, frozen.get("UnfrozenTopLeft")))
        zoom = float(sheet.find(GNM + "Zoom").text)
        if zoom != 1:
            lines.append("zoom %s %d" % (name, round(zoom * 100)))
        if sheet.get("Protected") == "1":
            lines.append("protected %s" % name)
        for defined in sheet.iter(GNM + "Name"):
            label = defined.find(GNM + "name")
            if label is None or label.text not in ("Print_Area", "Print_Titles"):
                continue
            value = defined.find(GNM + "value").text.strip("()")
            kind = "print_area" if label.text == "Print_Area" else "print_titles"
            lines.append("%s %s %s" % (kind, name, strip_sheet(value)))
    for attribute in root.iter(GNM + "Attribute"):
        if (attribute.find(GNM + "name").text == "WorkbookView::is_protected"
                and attribute.find(GNM + "value").text == "TRUE"):
            lines.append("book_protected")
    return lines


def grid_gnumeric(path, rows, cols):
    _, sheets = gnumeric_sheets(path)
    values = {}
    for row, col, cell in gnumeric_cells(next(sheets)):
        values[(row, col)] = (cell.text if cell.get("ValueType") == "60"
                              else float(cell.text))
    nrows = max((r for r, _ in values), default=-1) + 1
    ncols = max((c for _, c in values), default=-1) + 1
    return check_grid(lambda r, c: values.get((r, c)), nrows, ncols, rows, cols)


# --- the large grid ----------------------------------------------------------------

def expected_grid_value(row, col):
    """Even columns hold numbers, odd columns text (what the C++ test writes)."""
    if col % 2 == 0:
        return row * 100 + col + 0.5
    return "r%dc%d" % (row, col)


def check_grid(read, nrows, ncols, rows, cols):
    if (nrows, ncols) != (rows, cols):
        return ["size %dx%d, expected %dx%d" % (nrows, ncols, rows, cols)]
    for row in range(rows):
        for col in range(cols):
            value = read(row, col)
            if value != expected_grid_value(row, col):
                return ["%s holds %r" % (cell_name(row, col), value)]
    return ["ok"]


def main(argv):
    mode, path = argv[1], argv[2]
    try:
        if mode == "xlrd":
            lines = dump_xlrd(path)
        elif mode == "xlsx":
            lines = dump_xlsx(path)
        elif mode == "grid-xlrd":
            lines = grid_xlrd(path, int(argv[3]), int(argv[4]))
        elif mode == "gnumeric":
            lines = dump_gnumeric(path)
        elif mode == "grid-gnumeric":
            lines = grid_gnumeric(path, int(argv[3]), int(argv[4]))
        elif mode == "grid-xlsx":
            lines = grid_xlsx(path, int(argv[3]), int(argv[4]))
        else:
            raise SystemExit("unknown mode " + mode)
    except Exception as error:  # the reader's own complaint is the result
        print("error: %s: %s" % (type(error).__name__, error))
        return 1
    print("\n".join(lines))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
