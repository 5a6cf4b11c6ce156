#!/usr/bin/python3
"""Checks what one reader shows of the conditional formats that
conditions_readers_test.cpp saves into BOOK_DIR: conditions.xls (BIFF8)
and conditions5.xls (BIFF5, whose conditions were refused).

    check_conditions.py READER BOOK_DIR BUILD_DIR

READER is poi, libreoffice or gnumeric. Prints one line for each fact the
reader got wrong and exits 1 then, 0 when it got them all, 77 with the
reason when the reader is missing.
"""
import os
import sys
import tempfile

from biff8_readers import poi_dump
from reader_checks import missing, run_checker, soffice_convert, ssconvert

NEEDS = {"libreoffice": ["openpyxl"]}
# Palette indexes of the default palette and the colours they hold.
RED, GREEN, BLUE, YELLOW = 10, 11, 12, 13
RGB = {RED: "FF0000", GREEN: "00FF00", BLUE: "0000FF", YELLOW: "FFFF00"}


def rule(kind, operator, formulas, font=None, bold=None, italic=None, fill=None, border=None):
    return {"type": kind, "operator": operator, "formulas": formulas, "font": font,
            "bold": bold, "italic": italic, "fill": fill, "border": border}


# Per sheet, its conditional formats: the range and its rules in order.
# Operators as the CF record numbers them (1 between .. 8 less or equal).
EXPECTED = {
    "Scores": [
        ("B2:C6", [rule("cellIs", 1, ["10", "20"], font=RED, bold=True, italic=False),
                   rule("cellIs", 5, ["$E$1"], bold=False, italic=True, fill=YELLOW),
                   rule("expression", 0, ["B2>C2"], font=GREEN, border=BLUE)]),
        ("E3:F8", [rule("cellIs", 2, ["1", "3"], fill=GREEN),
                   rule("expression", 0, ["AND($A3>0,E3<>E$1)"], font=BLUE, bold=False,
                        italic=True)]),
    ],
    "Second": [
        ("C4:D5", [rule("cellIs", 8, ["A1"], font=RED),
                   rule("cellIs", 3, ["42"], fill=BLUE),
                   rule("cellIs", 7, ["100"], border=RED)]),
        ("G1:G4", [rule("cellIs", 6, ["-1"], bold=True, italic=False),
                   rule("cellIs", 4, ["3"], bold=False, italic=True)]),
    ],
}

# openpyxl's names of the operators.
OPERATORS = {1: "between", 2: "notBetween", 3: "equal", 4: "notEqual", 5: "greaterThan",
             6: "lessThan", 7: "greaterThanOrEqual", 8: "lessThanOrEqual"}


# --- Apache POI --------------------------------------------------------------------------------

def poi_rule(r):
    """A POI rule in the form of EXPECTED. POI reports bold and italic of
    every font block, so a block without them shows both off."""
    font = r["font_colour"] is not None
    colours = r["border_colours"]
    return rule("cellIs" if r["type"] == 1 else "expression", r["operator"],
                [f for f in (r["formula1"], r["formula2"]) if f is not None],
                font=r["font_colour"] if font and r["font_colour"] >= 0 else None,
                bold=r["bold"], italic=r["italic"],
                fill=r["fill_colour"] if r["fill_pattern"] == 1 else None,
                border=colours[0] if colours and r["border_style"] == 1
                and len(set(colours)) == 1 else None)


def with_font_style(r):
    """The expected rule as a reader shows it that reports bold and italic of
    every font, off unless set."""
    if r["font"] is None and r["bold"] is None and r["italic"] is None:
        return dict(r)
    return dict(r, bold=bool(r["bold"]), italic=bool(r["italic"]))


def check_poi(book, checks):
    if "error" in book:
        checks.equal("opens", book["error"], None)
        return
    for sheet in book["sheets"]:
        got = [(f["regions"], [poi_rule(r) for r in f["rules"]])
               for f in sheet["conditional_formats"]]
        expected = [([area], [with_font_style(r) for r in rules])
                    for area, rules in EXPECTED[sheet["name"]]]
        checks.equal(sheet["name"] + " conditional formats", got, expected)


# --- LibreOffice, through the .xlsx it converts to -----------------------------------------------

def rgb(color):
    return color.rgb[-6:] if color is not None and isinstance(color.rgb, str) else None


def xlsx_rule(r):
    """An openpyxl rule in the form of EXPECTED, colours as RGB; openpyxl
    reads a font without bold or italic as neither."""
    dxf = r.dxf
    font = dxf.font if dxf else None
    fill = dxf.fill if dxf else None
    border = dxf.border if dxf else None
    edges = [border.left, border.right, border.top, border.bottom] if border else []
    thin = len(edges) == 4 and all(e is not None and e.style == "thin" for e in edges)
    return rule(r.type, {v: k for k, v in OPERATORS.items()}.get(r.operator, 0),
                list(r.formula), font=rgb(font.color) if font else None,
                bold=font.b if font else None, italic=font.i if font else None,
                fill=rgb(fill.bgColor) if fill is not None and fill.bgColor is not None else None,
                border="thin" if thin else None)


def xlsx_expected(r):
    """LibreOffice reads the border colour (its own files show it) but its
    .xlsx keeps only the thin lines."""
    return dict(with_font_style(r), font=RGB.get(r["font"]), fill=RGB.get(r["fill"]),
                border="thin" if r["border"] else None)


def check_xlsx(paths, checks):
    import openpyxl
    for path in paths:
        if not os.path.exists(path):
            checks.equal("converted", path, "an .xlsx file")
            return
    book = openpyxl.load_workbook(paths[0])
    for sheet in book.worksheets:
        got = [(str(f.sqref), [xlsx_rule(r) for r in f.rules])
               for f in sheet.conditional_formatting]
        expected = [(area, [xlsx_expected(r) for r in rules])
                    for area, rules in EXPECTED[sheet.title]]
        checks.equal(sheet.title + " conditional formats", got, expected)
    old = openpyxl.load_workbook(paths[1])
    checks.equal("BIFF5 conditional formats",
                 [len(list(s.conditional_formatting)) for s in old.worksheets], [0, 0])


# --- Gnumeric: opens both without a word on stderr -----------------------------------------------

def check_gnumeric(paths, checks):
    with tempfile.TemporaryDirectory() as scratch:
        for path in paths:
            status, warnings = ssconvert(path, os.path.join(scratch, os.path.basename(path) + ".csv"))
            checks.equal(os.path.basename(path) + " status", status, 0)
            checks.equal(os.path.basename(path) + " warnings", warnings, "")


def check(reader, folder, build_dir, checks):
    paths = [os.path.join(folder, name) for name in ("conditions.xls", "conditions5.xls")]
    if reader == "poi":
        check_poi(poi_dump(paths[:1], build_dir)[0], checks)
    elif reader == "libreoffice":
        check_xlsx(soffice_convert(paths, folder), checks)
    else:
        check_gnumeric(paths, checks)


if __name__ == "__main__":
    sys.exit(run_checker(sys.argv, lambda reader: missing(reader, NEEDS), check))
