"""Prints what readers see of an exported report, for tests/readers/report_readers_test.cpp.

  check_report.py layout BOOK.xlsx
      per sheet: freeze pane, print titles, merged areas, the title lines'
      fonts, column widths, page setup, header and footer (openpyxl reading
      what LibreOffice converted)
  check_report.py records BOOK.xlsx|BOOK.xls|SHEET.csv...
      "sheet NAME ROWS" per sheet, then "records N" and "in order" when the
      first column below each sheet's header row holds 1, 2, ..., N and
      nothing else, or "out of order at ..." (openpyxl for .xlsx, xlrd for
      .xls, the csv module for the per-sheet files of Gnumeric's ssconvert)
  check_report.py texts BOOK.xls...
      per sheet: "cell A1 TEXT" and "cell A2 TEXT", then "header TEXT" and
      "footer TEXT" per HEADER and FOOTER record, all as xlrd decodes them
"""
import csv
import sys


def font_text(f):
    return "%s,%g%s" % (f.name, f.sz or 0, ",bold" if f.b else "")


def layout(path):
    import openpyxl
    book = openpyxl.load_workbook(path)
    for ws in book.worksheets:
        print("sheet %s" % ws.title)
        print("freeze %s" % ws.freeze_panes)
        print("titles %s" % ws.print_title_rows)
        print("merged %s" % " ".join(sorted(str(r) for r in ws.merged_cells.ranges)))
        for cell in ("A1", "A2", "A3"):
            print("font %s %r %s" % (cell, ws[cell].value, font_text(ws[cell].font)))
        for letter, dim in sorted(ws.column_dimensions.items()):
            if dim.width:
                print("width %s %.1f" % (letter, dim.width))
        setup = ws.page_setup
        print("page %s paper=%s fit=%s,%s fitToPage=%s" % (
            setup.orientation, setup.paperSize, setup.fitToWidth, setup.fitToHeight,
            ws.sheet_properties.pageSetUpPr.fitToPage))
        m = ws.page_margins
        print("margins top=%g right=%g bottom=%g left=%g" % (m.top, m.right, m.bottom, m.left))
        print("header %r" % ws.oddHeader.center.text)
        print("footer %r" % ws.oddFooter.center.text)


def sheets_of(path):
    """(name, rows) per sheet; rows are lists of cell values."""
    if path.endswith(".xlsx"):
        import openpyxl
        book = openpyxl.load_workbook(path, read_only=True)
        for ws in book.worksheets:
            yield ws.title, [list(r) for r in ws.iter_rows(values_only=True)]
    elif path.endswith(".xls"):
        import xlrd
        book = xlrd.open_workbook(path, on_demand=True)
        for sheet in book.sheets():
            yield sheet.name, [sheet.row_values(r) for r in range(sheet.nrows)]
    else:
        with open(path, newline="") as f:
            yield path, list(csv.reader(f))


def records(paths):
    expected = 1
    problem = None
    for path in paths:
        for name, rows in sheets_of(path):
            print("sheet %s %d" % (name, len(rows)))
            for row in rows[1:]:
                if problem is None and (not row or float(row[0]) != expected):
                    problem = "out of order at %s: %r, expected %d" % (name, row[:1], expected)
                expected += 1
    print("records %d" % (expected - 1))
    print(problem or "in order")


def texts(paths):
    import xlrd
    from check_texts import xlrd_header_texts
    for path in paths:
        book = xlrd.open_workbook(path)
        for sheet in book.sheets():
            for row in range(min(sheet.nrows, 2)):
                print("cell A%d %s" % (row + 1, sheet.cell_value(row, 0)))
        for kind, record in (("header", 0x0014), ("footer", 0x0015)):
            for text in xlrd_header_texts(path, book.encoding, record):
                print("%s %s" % (kind, text))


if __name__ == "__main__":
    if sys.argv[1] == "layout":
        layout(sys.argv[2])
    elif sys.argv[1] == "texts":
        texts(sys.argv[2:])
    else:
        records(sys.argv[2:])
