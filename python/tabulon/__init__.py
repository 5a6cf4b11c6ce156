"""Tabulon: legacy .xls workbooks (BIFF5 or BIFF8) from Python.

* :func:`write_frame` writes a pandas DataFrame as a report.
* :class:`Workbook` builds workbooks cell by cell, or frame by frame
  (:meth:`Workbook.add_frame`).
* Importing the package makes "tabulon" a pandas ExcelWriter engine for .xls:
  ``df.to_excel("out.xls", engine="tabulon")``.
"""

from ._formats import FILE_FORMATS
from ._frame import write_frame
from ._tabulon import Border, Borders, Fill, Font, PageSetup, Range, Sheet
from ._workbook import Workbook

__all__ = [
    "FILE_FORMATS",
    "Border",
    "Borders",
    "Fill",
    "Font",
    "PageSetup",
    "Range",
    "Sheet",
    "Workbook",
    "write_frame",
]
__version__ = "0.1.0"


def _register_pandas_engine() -> None:
    try:
        from ._excel import register
    except ImportError:  # pandas is optional
        return
    register()


_register_pandas_engine()
