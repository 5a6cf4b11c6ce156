"""The pandas ExcelWriter engine "tabulon" for .xls files.

``df.to_excel("out.xls", engine="tabulon")`` and
``pd.ExcelWriter("out.xls", engine="tabulon")`` write through it; it follows
the ExcelWriter subclass interface of pandas 1.5 and 2.x (``_write_cells``,
``_save``, ``book``, ``sheets``).
"""

from __future__ import annotations

import io
import os
from typing import Any, Dict, Optional

from pandas.io.excel._base import ExcelWriter
from pandas.io.excel._util import register_writer, validate_freeze_panes

from ._workbook import Workbook

# pandas' style names and the edges of a one-column run of cells that draw them.
_EDGES = {
    "top": ("top", "inside_horizontal"),
    "bottom": ("bottom", "inside_horizontal"),
    "left": ("left",),
    "right": ("right",),
}
_LINE_WEIGHTS = {"hair": "hair", "thin": "thin", "medium": "medium", "thick": "thick"}
_LINE_STYLES = {"dashed": "dash", "dotted": "dot", "double": "double"}
_ALIGNMENTS = {"centre": "center", "center": "center", "left": "left", "right": "right",
               "top": "top", "bottom": "bottom", "justify": "justify", "general": "general",
               "fill": "fill"}


class TabulonWriter(ExcelWriter):
    """ExcelWriter for .xls files (BIFF5, or BIFF8 by file_format) on the Tabulon library.

    ``engine_kwargs`` may hold ``code_page`` and ``file_format``. A file path is
    written only when the writer closes without an error, beside the target and
    renamed over it once complete; a buffer receives the whole file at close.
    """

    _engine = "tabulon"
    _supported_extensions = (".xls",)

    def __init__(
        self,
        path: Any,
        engine: Optional[str] = None,
        date_format: Optional[str] = None,
        datetime_format: Optional[str] = None,
        mode: str = "w",
        storage_options: Any = None,
        if_sheet_exists: Optional[str] = None,
        engine_kwargs: Optional[Dict[str, Any]] = None,
        **kwargs: Any,
    ) -> None:
        options = dict(engine_kwargs or {})
        options.update(kwargs)
        if mode.startswith("a"):
            raise ValueError("Append mode is not supported with tabulon")
        # A path is written by the workbook itself at close, so that a failed
        # write leaves no partial file: pandas gets a buffer in its place.
        self._target = os.fspath(path) if isinstance(path, (str, os.PathLike)) else None
        if self._target is not None:
            self.check_extension(os.path.splitext(self._target)[-1])
        super().__init__(
            io.BytesIO() if self._target is not None else path,
            mode=mode,
            storage_options=storage_options,
            if_sheet_exists=if_sheet_exists,
            date_format=date_format,
            datetime_format=datetime_format,
        )
        self._book = Workbook(**options)
        self._failed = False

    @property
    def book(self) -> Workbook:
        """The tabulon.Workbook being written."""
        return self._book

    @property
    def sheets(self) -> Dict[str, Any]:
        """The workbook's sheets by name."""
        return {sheet.name: sheet for sheet in self._book.sheets}

    def __exit__(self, exc_type: Any, exc_value: Any, traceback: Any) -> None:
        self._failed = self._failed or exc_type is not None
        self.close()

    def _save(self) -> None:
        # to_excel closes its writer in a finally clause: an error on the way
        # leaves the target as it was.
        if self._failed or not self.sheets:
            return
        if self._target is not None:
            self._book.save(self._target)
        else:
            self._handles.handle.write(self._book.to_bytes())

    def _write_cells(
        self,
        cells: Any,
        sheet_name: Optional[str] = None,
        startrow: int = 0,
        startcol: int = 0,
        freeze_panes: Optional[tuple] = None,
    ) -> None:
        try:
            self._write_sheet_cells(cells, sheet_name, startrow, startcol, freeze_panes)
        except BaseException:
            self._failed = True
            raise

    def _write_sheet_cells(self, cells: Any, sheet_name: Optional[str], startrow: int,
                           startcol: int, freeze_panes: Optional[tuple]) -> None:
        sheet_name = self._get_sheet_name(sheet_name)
        sheets = self.sheets
        sheet = sheets[sheet_name] if sheet_name in sheets else self._book.add_sheet(sheet_name)
        if validate_freeze_panes(freeze_panes):
            sheet.freeze_panes(*freeze_panes)
        runs, merges = sheet.write_excel_cells(
            cells, startrow, startcol, _format_code(self._datetime_format),
            _format_code(self._date_format))
        for first_row, first_col, last_row, last_col in merges:
            sheet.block(first_row, first_col, last_row, last_col).merge()
        for style, number_format, col, first_row, last_row in runs:
            block = sheet.block(first_row, col, last_row, col)
            if number_format:
                block.number_format = number_format
            if style:
                _apply_style(block, style)


def _format_code(pandas_format: Optional[str]) -> str:
    return pandas_format or ""


def _color(value: Any) -> Optional[str]:
    """pandas' colours ("FF0000", "#FF0000", "FFFF0000") as "#RRGGBB"."""
    if not isinstance(value, str):
        return None
    text = value.lstrip("#")
    return "#" + text[-6:] if len(text) in (6, 8) else None


def _apply_font(block: Any, font: Dict[str, Any]) -> None:
    target = block.font
    if font.get("bold"):
        target.bold = True
    if font.get("italic"):
        target.italic = True
    if font.get("underline") not in (None, "none", False):
        target.underline = True
    if font.get("size"):
        target.size = float(font["size"])
    if font.get("name"):
        target.name = str(font["name"])
    color = _color(font.get("color"))
    if color:
        target.color = color


def _apply_borders(block: Any, borders: Dict[str, Any]) -> None:
    for side, line in borders.items():
        style = line.get("style") if isinstance(line, dict) else line
        if side not in _EDGES or not style or style == "none":
            continue
        for edge in _EDGES[side]:
            border = block.borders[edge]
            if style in _LINE_STYLES:
                border.line_style = _LINE_STYLES[style]
            else:
                border.weight = _LINE_WEIGHTS.get(style, "thin")
            color = _color(line.get("color")) if isinstance(line, dict) else None
            if color:
                border.color = color


def _apply_alignment(block: Any, alignment: Dict[str, Any]) -> None:
    horizontal = _ALIGNMENTS.get(alignment.get("horizontal") or alignment.get("horiz") or "")
    if horizontal and horizontal not in ("top", "bottom"):
        block.horizontal_alignment = horizontal
    vertical = _ALIGNMENTS.get(alignment.get("vertical") or alignment.get("vert") or "")
    if vertical in ("top", "center", "bottom", "justify"):
        block.vertical_alignment = vertical
    if alignment.get("wrap_text"):
        block.wrap_text = True


def _apply_style(block: Any, style: Dict[str, Any]) -> None:
    """pandas' cell style (header cells, or a Styler's) on a run of cells."""
    if style.get("font"):
        _apply_font(block, style["font"])
    # pandas' header style says "borders", its CSS conversion (Styler) "border".
    borders = style.get("borders") or style.get("border")
    if borders:
        _apply_borders(block, borders)
    alignment = style.get("alignment") or style.get("align")
    if alignment:
        _apply_alignment(block, alignment)
    fill = style.get("fill") or {}
    color = _color(fill.get("fgColor") or fill.get("start_color"))
    if color:
        block.fill.color = color
    number_format = (style.get("number_format") or {}).get("format_code")
    if number_format:
        block.number_format = number_format


def register() -> None:
    """Make "tabulon" an ExcelWriter engine of pandas."""
    register_writer(TabulonWriter)
