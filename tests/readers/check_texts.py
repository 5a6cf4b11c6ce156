"""Prints the texts a reader finds in workbooks, one a line, so that a test can
compare them with what it wrote:

    NAME sheet SHEETNAME
    NAME SHEETNAME!A1 TEXT
    NAME SHEETNAME header TEXT      (the centre part of the page header)

Usage: check_texts.py xlrd FILE.xls...        (xlrd reads the .xls itself)
       check_texts.py openpyxl FILE.xlsx...   (LibreOffice's conversion)
       check_texts.py gnumeric FILE.gnumeric... (ssconvert's conversion)
NAME is the file name without folder and extension.
"""
import gzip
import os
import struct
import sys
import xml.etree.ElementTree as ElementTree

from sheet_names import column_name


def xlrd_header_texts(path, encoding, record=0x0014):
    """The HEADER records' texts (FOOTER's with record 0x0015), decoded as
    xlrd decodes the file's texts (xlrd itself skips these records)."""
    import olefile
    stream = olefile.OleFileIO(path).openstream("Book").read()
    texts, pos = [], 0
    while pos + 4 <= len(stream):
        rid, size = struct.unpack_from("<HH", stream, pos)
        if rid == record and size > 0:
            texts.append(stream[pos + 5:pos + 5 + stream[pos + 4]].decode(encoding))
        pos += 4 + size
    return texts


def read_xlrd(path):
    import xlrd
    book = xlrd.open_workbook(path)
    headers = xlrd_header_texts(path, book.encoding)
    for index, sheet in enumerate(book.sheets()):
        cells = [(r, c, sheet.cell_value(r, c)) for r in range(sheet.nrows)
                 for c in range(sheet.ncols) if sheet.cell_type(r, c) == xlrd.XL_CELL_TEXT]
        header = headers[index] if index < len(headers) else ""
        yield sheet.name, cells, header[2:] if header.startswith("&C") else header


def read_openpyxl(path):
    import openpyxl
    book = openpyxl.load_workbook(path)
    for sheet in book.worksheets:
        cells = [(cell.row - 1, cell.column - 1, cell.value) for row in sheet.iter_rows()
                 for cell in row if isinstance(cell.value, str)]
        yield sheet.title, cells, sheet.oddHeader.center.text or ""


def read_gnumeric(path):
    ns = {"gnm": "http://www.gnumeric.org/v10.dtd"}
    root = ElementTree.fromstring(gzip.open(path).read())
    for sheet in root.iterfind("gnm:Sheets/gnm:Sheet", ns):
        cells = [(int(c.get("Row")), int(c.get("Col")), c.text)
                 for c in sheet.iterfind("gnm:Cells/gnm:Cell", ns) if c.get("ValueType") == "60"]
        header = sheet.find("gnm:PrintInformation/gnm:Header", ns)
        yield (sheet.find("gnm:Name", ns).text, cells,
               header.get("Middle", "") if header is not None else "")


def main(reader, paths):
    out = open(sys.stdout.fileno(), "w", encoding="utf-8", closefd=False)
    read = {"xlrd": read_xlrd, "openpyxl": read_openpyxl, "gnumeric": read_gnumeric}[reader]
    for path in paths:
        name = os.path.splitext(os.path.basename(path))[0]
        for sheet, cells, header in read(path):
            out.write("%s sheet %s\n" % (name, sheet))
            for row, col, text in cells:
                out.write("%s %s!%s%d %s\n" % (name, sheet, column_name(col), row + 1, text))
            if header:
                out.write("%s %s header %s\n" % (name, sheet, header))


if __name__ == "__main__":
    main(sys.argv[1], sys.argv[2:])
