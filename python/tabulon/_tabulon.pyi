"""Type stubs of the extension module tabulon._tabulon."""

from typing import Any, Iterable, List, Sequence, Tuple, Union

import numpy.typing as npt

Color = Union[str, Tuple[int, int, int], int]
"""A colour: "#RRGGBB", (red, green, blue) or 0xRRGGBB."""

class Book:
    def __init__(self, code_page: int = 1252) -> None: ...
    def add_sheet(self, name: str) -> Sheet:
        """Append a sheet; ValueError when no sheet may have the name or another has it."""
    def sheet(self, index: int) -> Sheet: ...
    @property
    def sheet_count(self) -> int: ...
    def save(self, path: str) -> None:
        """Write the file atomically; OSError naming the path when it cannot be written."""
    def to_bytes(self) -> bytes:
        """The whole .xls file as bytes."""
    def text_losses(self) -> Tuple[int, List[Tuple[str, str, str, str]]]:
        """The characters the latest save replaced: (count, [(sheet, item, cell, character)])."""
    @property
    def code_page(self) -> int: ...

class Sheet:
    name: str
    zoom: int
    display_gridlines: bool
    def range(self, address: str) -> Range:
        """The range at "B2" or "A1:C3"; ValueError naming a text that is no address."""
    def __getitem__(self, address: str) -> Range: ...
    def __setitem__(self, address: str, value: Any) -> None: ...
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
                   datetime_format: str = "", date_format: str = "") -> None: ...
    def fit_columns(self, header_row: int, first_row: int, last_row: int, first_col: int,
                    last_col: int, max_width: float = 60.0) -> None:
        """Fit column widths to the header rows (bold) and the values as their formats show them."""
    def write_excel_cells(self, cells: Iterable[Any], startrow: int, startcol: int,
                          datetime_format: str = "", date_format: str = "") -> Tuple[list, list]: ...
    def freeze_panes(self, row: int, col: int = 0) -> None:
        """Keep the first row rows and col columns in view while scrolling."""
    def set_column_width(self, col: int, width: float) -> None: ...
    def column_width(self, col: int) -> float: ...
    def set_row_height(self, row: int, height: float) -> None: ...
    def row_height(self, row: int) -> float: ...
    def insert_bitmap(self, row: int, col: int, path: str, x: int = 0, y: int = 0,
                      scale_x: float = 1.0, scale_y: float = 1.0) -> None:
        """Place a 24-bit uncompressed .bmp with its corner in a cell (offset x, y pixels);
        ValueError with the reason when the file is refused."""
    def delete(self) -> None:
        """Remove the sheet from its workbook."""
    def protect(self, password: str = "") -> None: ...
    @property
    def page_setup(self) -> PageSetup: ...

class Range:
    value: Any
    """The stored values: one value for a cell, else a list of rows. Setting takes a scalar
    (filling the range), or a 1-D or 2-D list, tuple or numpy array written from the
    top-left cell; Python and numpy values convert as their types say."""
    formula: str
    """The top-left cell's formula ("=SUM(A1:A3)"); setting a refused one raises ValueError."""
    number_format: str
    column_width: float
    row_height: float
    horizontal_alignment: str
    vertical_alignment: str
    wrap_text: bool
    @property
    def address(self) -> str: ...
    @property
    def row(self) -> int: ...
    @property
    def column(self) -> int: ...
    @property
    def shape(self) -> Tuple[int, int]: ...
    @property
    def font(self) -> Font: ...
    @property
    def fill(self) -> Fill: ...
    @property
    def borders(self) -> Borders: ...
    def merge(self, across: bool = False) -> None:
        """Merge the range into one cell (each row apart when across)."""
    def unmerge(self) -> None: ...
    def clear_contents(self) -> None: ...
    def clear(self) -> None: ...

class Font:
    bold: bool
    italic: bool
    underline: bool
    size: float
    name: str
    @property
    def color(self) -> str: ...
    @color.setter
    def color(self, color: Color) -> None: ...

class Fill:
    @property
    def color(self) -> str: ...
    @color.setter
    def color(self, color: Color) -> None: ...

class Border:
    weight: str
    line_style: str
    @property
    def color(self) -> str: ...
    @color.setter
    def color(self, color: Color) -> None: ...

class Borders(Border):
    def __getitem__(self, edge: str) -> Border: ...

class PageSetup:
    orientation: str
    paper_size: int
    print_gridlines: bool
    print_title_rows: str
    print_area: str
    center_header: str
    center_footer: str
    top_margin: float
    bottom_margin: float
    left_margin: float
    right_margin: float
    def fit_to_pages_wide(self, pages: int) -> None: ...

def day_serial(year: int, month: int, day: int, seconds: float = 0.0) -> float: ...
