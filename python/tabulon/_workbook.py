"""The workbook users build and save."""

from __future__ import annotations

import os
import warnings
from typing import Any, List, Optional

from . import _tabulon
from ._formats import check_file_format


class Workbook:
    """A workbook held in memory until :meth:`save` writes it as an .xls file.

    Texts are Unicode; a save converts them to the workbook's code page
    (Windows-1252 unless ``code_page`` names another, such as 1250 or 932).

    >>> wb = Workbook()
    >>> sheet = wb.add_sheet("Report")
    >>> sheet["A1"] = "Total"
    >>> wb.save("report.xls")  # doctest: +SKIP
    """

    def __init__(self, file_format: str = "biff5", code_page: int = 1252) -> None:
        self._book = _tabulon.Book(code_page, check_file_format(file_format))
        self.file_format = file_format

    @property
    def code_page(self) -> int:
        """The Windows code page the file declares for its texts."""
        return self._book.code_page

    def add_sheet(self, name: str) -> _tabulon.Sheet:
        """Append a sheet named ``name``; ValueError when no sheet may have that name."""
        return self._book.add_sheet(name)

    @property
    def sheets(self) -> List[_tabulon.Sheet]:
        """The sheets in their order."""
        return [self._book.sheet(i) for i in range(self._book.sheet_count)]

    def __getitem__(self, name: str) -> _tabulon.Sheet:
        for sheet in self.sheets:
            if sheet.name == name:
                return sheet
        raise KeyError(name)

    def __contains__(self, name: object) -> bool:
        return any(sheet.name == name for sheet in self.sheets)

    def add_frame(
        self,
        df: Any,
        sheet_name: str = "Sheet1",
        index: bool = True,
        title: Optional[str] = None,
        totals: bool = False,
        **options: Any,
    ) -> _tabulon.Sheet:
        """Write a pandas DataFrame on a new sheet laid out as a report.

        See :func:`tabulon.write_frame` for the parameters; the sheet is returned
        so that it can be formatted further before :meth:`save`. When the frame
        is refused, the workbook is left without the sheet.
        """
        from ._frame import write_frame_to_sheet

        sheet = self.add_sheet(sheet_name)
        try:
            write_frame_to_sheet(sheet, df, index=index, title=title, totals=totals, **options)
        except BaseException:
            sheet.delete()  # no half-written sheet stays in the workbook
            raise
        return sheet

    def save(self, path: "os.PathLike[str] | str") -> None:
        """Write the workbook to ``path``.

        The file is written beside the target and renamed over it once complete,
        so an existing file is replaced only by a whole new one. OSError, naming
        the path, when the file cannot be written. A UnicodeWarning names the
        first character the code page lacks, when there are such.
        """
        self._book.save(os.fspath(path))
        self._warn_of_text_losses()

    def to_bytes(self) -> bytes:
        """The .xls file as bytes."""
        data = self._book.to_bytes()
        self._warn_of_text_losses()
        return data

    def _warn_of_text_losses(self) -> None:
        count, first = self._book.text_losses()
        if not count:
            return
        sheet, item, cell, character = first[0]
        where = " ".join(piece for piece in (item, cell, f"of sheet {sheet!r}" if sheet else "")
                         if piece)
        warnings.warn(f"{count} character(s) that code page {self.code_page} lacks were "
                      f"written as '?', the first {character!r} (U+{ord(character):04X}) in "
                      f"{where}; Workbook(code_page=...) chooses another code page",
                      UnicodeWarning, stacklevel=3)
