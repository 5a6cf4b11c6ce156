#!/usr/bin/python3
"""Checks what one reader shows of the notes in the two workbooks that
notes_readers_test.cpp saves into BOOK_DIR.

    check_notes.py READER BOOK_DIR BUILD_DIR

READER is poi, xlrd, libreoffice or gnumeric. POI reads the BIFF8 book only
(it refuses BIFF5 files); the others read both in one run. Prints one line
for each fact the reader got wrong and exits 1 then, 0 when it got them all,
77 with the reason when the reader is missing.
"""
import gzip
import os
import sys
import zipfile
from xml.etree import ElementTree

from biff8_readers import poi_dump
from reader_checks import missing, run_checker, soffice_convert, ssconvert

BOOKS = ["notes5.xls", "notes8.xls"]
NEEDS = {"xlrd": ["xlrd"]}
LONG_NOTE = "".join("note %d; " % i for i in range(1200))
UTF8_NOTE = "Ünïcødé Кириллица 中文 😀\nzweite Zeile"
# (sheet, cell): (text, author); BIFF5 notes have no author.
NOTES = {("Notes", "A1"): ("First note", "Ann"), ("Notes", "C5"): (LONG_NOTE, "Bob"),
         ("Notes", "B10"): ("beside the picture", ""), ("Second", "B2"): ("on the second sheet", "Cy")}
NOTES8 = {**NOTES, ("Second", "C3"): (UTF8_NOTE, "Zoë")}
SHEETS5 = ["Notes", "Second"]
SHEETS8 = SHEETS5 + ["Pictures"]


def expected(book):
    """{(sheet, cell): (text, author)} of a book, the author None in BIFF5."""
    if book == "notes5.xls":
        return {place: (text, None) for place, (text, _) in NOTES.items()}
    return NOTES8


def check_notes(checks, book, got, with_author=True):
    """got: {(sheet, cell): (text, author)} as the reader read it."""
    for place, (text, author) in sorted(expected(book).items()):
        seen = got.get(place)
        checks.equal("%s %s!%s text" % (book, place[0], place[1]),
                     seen[0] if seen else None, text)
        if with_author and author is not None and seen:
            checks.equal("%s %s!%s author" % (book, place[0], place[1]), seen[1], author)
    checks.equal(book + " noted cells", sorted(got), sorted(expected(book)))


def cell_name(row, col):
    name = ""
    col += 1
    while col:
        col, rest = divmod(col - 1, 26)
        name = chr(65 + rest) + name
    return "%s%d" % (name, row + 1)


def check_poi(folder, build_dir, checks):
    (book,) = poi_dump([os.path.join(folder, "notes8.xls")], build_dir)
    checks.equal("error", book.get("error"), None)
    if "sheets" not in book:
        return
    checks.equal("sheet names", [sheet["name"] for sheet in book["sheets"]], SHEETS8)
    # The pictures beside the notes stay pictures of their sheets.
    checks.equal("pictures", [len(sheet["pictures"]) for sheet in book["sheets"]], [1, 0, 1])
    got = {}
    for sheet in book["sheets"]:
        for note in sheet["notes"]:
            place = (sheet["name"], note["address"])
            got[place] = (note["text"], note["author"])
            checks.equal("%s!%s row and column" % place, cell_name(note["row"], note["column"]),
                         note["address"])
            checks.equal("%s!%s hidden" % place, note["visible"], False)
    check_notes(checks, "notes8.xls", got)


def check_xlrd(folder, checks):
    import xlrd
    for name in BOOKS:
        book = xlrd.open_workbook(os.path.join(folder, name))
        checks.equal(name + " sheet names", book.sheet_names(),
                     SHEETS5 if name == "notes5.xls" else SHEETS8)
        got = {}
        for sheet in book.sheets():
            for (row, col), note in sheet.cell_note_map.items():
                got[(sheet.name, cell_name(row, col))] = (note.text, note.author)
        check_notes(checks, name, got)


# LibreOffice's .xlsx export drops the texts of BIFF5 notes and the authors of
# all notes (it writes " "), and Gnumeric's writes an author list openpyxl
# cannot read; so each reader converts to its own format, which shows what it
# read: LibreOffice to .ods (text; it takes no author from .xls files),
# Gnumeric to .gnumeric (text and author).
ODS = {"table": "urn:oasis:names:tc:opendocument:xmlns:table:1.0",
       "office": "urn:oasis:names:tc:opendocument:xmlns:office:1.0",
       "text": "urn:oasis:names:tc:opendocument:xmlns:text:1.0",
       "dc": "http://purl.org/dc/elements/1.1/"}
GNUMERIC = "{http://www.gnumeric.org/v10.dtd}"


def converted(reader, folder, checks):
    """The files the reader makes of the books; Gnumeric must not warn."""
    paths = [os.path.join(folder, name) for name in BOOKS]
    if reader == "libreoffice":
        return soffice_convert(paths, folder, "ods")
    out = os.path.join(folder, reader)
    os.makedirs(out, exist_ok=True)
    for path in paths:
        target = os.path.join(out, os.path.basename(path)[:-3] + "gnumeric")
        checks.equal(os.path.basename(path) + " ssconvert warnings", ssconvert(path, target)[1], "")
    return [os.path.join(out, name[:-3] + "gnumeric") for name in BOOKS]


def ods_notes(path):
    """{(sheet, cell): (text, author)} of an .ods file; author None."""
    with zipfile.ZipFile(path) as archive:
        root = ElementTree.fromstring(archive.read("content.xml"))
    table, office, text = ("{%s}" % ODS[key] for key in ("table", "office", "text"))
    notes = {}
    for sheet in root.iter(table + "table"):
        row = 0
        for line in sheet.iter(table + "table-row"):
            col = 0
            for cell in line:
                for note in cell.findall(office + "annotation"):
                    lines = ["".join(p.itertext()) for p in note.findall(text + "p")]
                    notes[(sheet.get(table + "name"), cell_name(row, col))] = ("\n".join(lines),
                                                                               None)
                col += int(cell.get(table + "number-columns-repeated", "1"))
            row += int(line.get(table + "number-rows-repeated", "1"))
    return notes


def gnumeric_notes(path):
    """{(sheet, cell): (text, author)} of a .gnumeric file."""
    with gzip.open(path) as stream:
        root = ElementTree.parse(stream).getroot()
    notes = {}
    for sheet in root.iter(GNUMERIC + "Sheet"):
        name = sheet.find(GNUMERIC + "Name").text
        for note in sheet.iter(GNUMERIC + "CellComment"):
            notes[(name, note.get("ObjectBound"))] = (note.get("Text"), note.get("Author", ""))
    return notes


def check_converted(reader, folder, checks):
    read = ods_notes if reader == "libreoffice" else gnumeric_notes
    for name, path in zip(BOOKS, converted(reader, folder, checks)):
        if not os.path.exists(path):
            checks.equal(name + " converted", False, True)
            continue
        check_notes(checks, name, read(path), with_author=reader == "gnumeric")


def check(reader, folder, build_dir, checks):
    if reader == "poi":
        check_poi(folder, build_dir, checks)
    elif reader == "xlrd":
        check_xlrd(folder, checks)
    else:
        check_converted(reader, folder, checks)


if __name__ == "__main__":
    sys.exit(run_checker(sys.argv, lambda reader: missing(reader, NEEDS), check))
