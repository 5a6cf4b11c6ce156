"""Type stubs of the extension module tabulon._tabulon.

The docstrings repeat those of python/src/PyModule.cpp, which help() shows;
tests/python/test_tabulon.py checks that the two agree."""

from typing import Any, Iterable, List, Sequence, Tuple, Union

import numpy.typing as npt

Color = Union[str, Tuple[int, int, int], int]
"""A colour: "#RRGGBB", (red, green, blue) or 0xRRGGBB."""

class Book:
    """A workbook of the library; tabulon.Workbook wraps it."""
    def __init__(self, code_page: int = 1252, file_format: int = 39) -> None:
        """A workbook without sheets, its texts saved in code_page (BIFF5) and its file format
        the library's number (39 BIFF5, 56 BIFF8); ValueError with the library's reason
        when either is refused."""
    def add_sheet(self, name: str) -> Sheet:
        """Append a sheet; ValueError when no sheet may have the name or another has it."""
    def sheet(self, index: int) -> Sheet:
        """The sheet at index, counted from 0; IndexError when there is none."""
    @property
    def sheet_count(self) -> int:
        """The number of sheets."""
    def save(self, path: str) -> None:
        """Write the file atomically; OSError naming the path when it cannot be written."""
    def to_bytes(self) -> bytes:
        """The whole .xls file as bytes."""
    def text_losses(self) -> Tuple[int, List[Tuple[str, str, str, str]]]:
        """The characters the latest save replaced: (count, [(sheet, item, cell, character)])."""
    @property
    def code_page(self) -> int:
        """The Windows code page the file declares for its texts."""

class Sheet:
    """A worksheet: its cells, ranges, panes, widths and page setup."""
    name: str
    """The sheet's name; setting one the workbook refuses raises ValueError."""
    zoom: int
    """The zoom in percent, 10 to 400; ValueError for another."""
    display_gridlines: bool
    """Whether the sheet shows its gridlines."""
    def range(self, address: str) -> Range:
        """The range at "B2" or "A1:C3"; ValueError naming a text that is no address."""
    def __getitem__(self, address: str) -> Range:
        """sheet[address] is sheet.range(address)."""
    def __setitem__(self, address: str, value: Any) -> None:
        """sheet[address] = value sets sheet.range(address).value."""
    def cell(self, row: int, col: int) -> Range:
        """The cell at a row and column counted from 0."""
    def block(self, first_row: int, first_col: int, last_row: int, last_col: int) -> Range:
        """The rectangle between two corners counted from 0."""
    def set_numbers(self, row: int, col: int, values: npt.ArrayLike, down: bool = True) -> None:
        """Store a 1-D array of numbers from (row, col) down (or right) in one call; NaN empties
        its cell. ValueError when the run leaves the sheet (nothing is stored then)."""
    def set_dates(self, row: int, col: int, serials: npt.ArrayLike, down: bool = True) -> None:
        """set_numbers for day serials (days since 1899-12-30), stored as dates."""
    def set_booleans(self, row: int, col: int, values: npt.ArrayLike, down: bool = True) -> None:
        """set_numbers for booleans given as bytes: 0 FALSE, 1 TRUE, other values empty."""
    def set_texts(self, row: int, col: int, values: Sequence[Any], down: bool = True) -> None:
        """Store texts in one run; None, NaN and pandas.NA empty their cells, other objects
        are stored as their str(); every text stays a text ("42" too)."""
    def set_values(self, row: int, col: int, values: Sequence[Any], down: bool = True,
                   datetime_format: str = "", date_format: str = "") -> None:
        """Store values of any Python types one cell after another, each with its kind's
        number format; datetime_format and date_format, when given, replace those of
        datetimes and dates."""
    def fit_columns(self, header_row: int, first_row: int, last_row: int, first_col: int,
                    last_col: int, max_width: float = 60.0) -> None:
        """Fit column widths to the header rows (bold) and the values as their formats show them."""
    def write_excel_cells(self, cells: Iterable[Any], startrow: int, startcol: int,
                          datetime_format: str = "", date_format: str = "") -> Tuple[list, list]:
        """Store the cells pandas' ExcelWriter hands over, shifted by startrow and startcol.
        Returns (runs, merges): runs lists (style, number_format, col, first_row, last_row)
        for cells below each other sharing a style or format, merges lists (first_row,
        first_col, last_row, last_col)."""
    def freeze_panes(self, row: int, col: int = 0) -> None:
        """Keep the first row rows and col columns in view while scrolling."""
    def set_column_width(self, col: int, width: float) -> None:
        """Set the width of a column counted from 0, in characters."""
    def column_width(self, col: int) -> float:
        """The width of a column counted from 0, in characters."""
    def set_row_height(self, row: int, height: float) -> None:
        """Set the height of a row counted from 0, in points."""
    def row_height(self, row: int) -> float:
        """The height of a row counted from 0, in points."""
    def insert_bitmap(self, row: int, col: int, path: str, x: int = 0, y: int = 0,
                      scale_x: float = 1.0, scale_y: float = 1.0) -> None:
        """Place a 24-bit uncompressed .bmp with its corner in a cell (offset x, y pixels);
        ValueError with the reason when the file is refused."""
    def delete(self) -> None:
        """Remove the sheet from its workbook."""
    def protect(self, password: str = "") -> None:
        """Protect the sheet's locked cells from edits, with a password unless it is empty."""
    @property
    def page_setup(self) -> PageSetup:
        """How the sheet prints."""

class Range:
    """A rectangle of cells."""
    value: Any
    """The stored values: one value for a cell, else a list of rows. Setting takes a
    scalar (filling the range), or a 1-D or 2-D list, tuple or numpy array written
    from the top-left cell; Python and numpy values convert as their types say."""
    formula: str
    """The top-left cell's formula ("=SUM(A1:A3)"); setting a refused one raises ValueError."""
    number_format: str
    """The top-left cell's number format ("0.00", "yyyy-mm-dd"); setting formats every
    cell, "" meaning General."""
    column_width: float
    """The first column's width in characters; setting sets every column of the range."""
    row_height: float
    """The first row's height in points; setting sets every row of the range."""
    horizontal_alignment: str
    """general, left, center, right, fill, justify or center_across_selection."""
    vertical_alignment: str
    """top, center, bottom or justify."""
    wrap_text: bool
    """Whether the cells wrap their texts onto several lines."""
    @property
    def address(self) -> str:
        """The address, "B2" or "A1:C3"."""
    @property
    def row(self) -> int:
        """The first row, counted from 0."""
    @property
    def column(self) -> int:
        """The first column, counted from 0."""
    @property
    def shape(self) -> Tuple[int, int]:
        """(rows, columns)."""
    @property
    def font(self) -> Font:
        """The font of the cells."""
    @property
    def fill(self) -> Fill:
        """The fill of the cells."""
    @property
    def borders(self) -> Borders:
        """The outline and inside lines of the cells."""
    def merge(self, across: bool = False) -> None:
        """Merge the range into one cell (each row apart when across)."""
    def unmerge(self) -> None:
        """Dissolve the merged areas in or across the range; the cells keep their values."""
    def clear_contents(self) -> None:
        """Empty the cells; their formats stay."""
    def clear(self) -> None:
        """Empty the cells and remove their formats."""
    def __repr__(self) -> str:
        """<tabulon.Range A1:C3>"""

class Font:
    """The font of a range; setting a property formats every cell."""
    bold: bool
    """Bold type."""
    italic: bool
    """Italic type."""
    underline: bool
    """A single underline."""
    size: float
    """The size in points."""
    name: str
    """The typeface ("Arial")."""
    @property
    def color(self) -> str:
        """The colour as "#RRGGBB"; set it as "#RRGGBB", (red, green, blue) or 0xRRGGBB."""
    @color.setter
    def color(self, color: Color) -> None: ...

class Fill:
    """The fill of a range."""
    @property
    def color(self) -> str:
        """The colour as "#RRGGBB"; set it as "#RRGGBB", (red, green, blue) or 0xRRGGBB."""
    @color.setter
    def color(self, color: Color) -> None: ...

class Border:
    """One edge, or the inside lines, of a range."""
    weight: str
    """hair, thin, medium or thick."""
    line_style: str
    """none, continuous, dash, dot or double."""
    @property
    def color(self) -> str:
        """The colour as "#RRGGBB"; set it as "#RRGGBB", (red, green, blue) or 0xRRGGBB."""
    @color.setter
    def color(self, color: Color) -> None: ...

class Borders:
    """The outline and inside lines of a range together."""
    weight: str
    """hair, thin, medium or thick."""
    line_style: str
    """none, continuous, dash, dot or double."""
    @property
    def color(self) -> str:
        """The colour as "#RRGGBB"; set it as "#RRGGBB", (red, green, blue) or 0xRRGGBB."""
    @color.setter
    def color(self, color: Color) -> None: ...
    def __getitem__(self, edge: str) -> Border:
        """The border at an edge: left, top, bottom, right, inside_vertical or inside_horizontal."""

class PageSetup:
    """How a sheet prints."""
    orientation: str
    """portrait or landscape."""
    paper_size: int
    """The paper's number in the file format (9 A4, 1 Letter)."""
    print_gridlines: bool
    """Whether the gridlines print."""
    print_title_rows: str
    """The rows printed atop every page ("$1:$2")."""
    print_area: str
    """The cells that print ("A1:C5"); "" prints the whole sheet."""
    center_header: str
    """The header's centre part; &P is the page number, &N the page count."""
    center_footer: str
    """The footer's centre part; &P is the page number, &N the page count."""
    top_margin: float
    """The top margin in inches."""
    bottom_margin: float
    """The bottom margin in inches."""
    left_margin: float
    """The left margin in inches."""
    right_margin: float
    """The right margin in inches."""
    def fit_to_pages_wide(self, pages: int) -> None:
        """Scale the printout to pages pages across, as many down as it needs."""

def day_serial(year: int, month: int, day: int, seconds: float = 0.0) -> float:
    """The day serial of a date and a time of day in seconds."""
