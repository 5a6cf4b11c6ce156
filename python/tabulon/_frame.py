"""DataFrames on a sheet: the header, the columns written whole, and the
report layout (title, frozen and repeated header, fitted widths, totals)."""

from __future__ import annotations

import os
import re
from typing import Any, Optional, Sequence

import numpy as np

from ._formats import check_file_format

# The last row and column of a sheet, counted from 0.
LAST_ROW = 65535
LAST_COL = 255
# The last row a formula may address: sums reaching below it are written as values.
LAST_FORMULA_ROW = 16383
SERIAL_OF_UNIX_EPOCH = 25569.0
MICROSECONDS_PER_DAY = 86400e6
TITLE_SIZE = 14
# Height of a title row in points per point of its font size.
TITLE_ROW_HEIGHT_PER_POINT = 1.4

DEFAULT_DATETIME_FORMAT = "yyyy-mm-dd hh:mm:ss"
DEFAULT_DATE_FORMAT = "yyyy-mm-dd"
INTEGER_FORMAT = "0"
TIME_FORMAT = "hh:mm:ss"
DURATION_FORMAT = "[h]:mm:ss"


def write_frame(
    df: Any,
    path: "os.PathLike[str] | str",
    sheet_name: str = "Sheet1",
    index: bool = True,
    title: Optional[str] = None,
    totals: bool = False,
    file_format: str = "biff5",
    **options: Any,
) -> None:
    """Write a pandas DataFrame to an .xls file laid out as a report.

    The frame's columns are written whole, as numpy arrays: integers as numbers
    shown as "0", floats as numbers (``float_format`` gives them a number format
    such as "0.00" or pandas' "%.2f"), datetimes and dates as dates, timedeltas as times, booleans
    as TRUE and FALSE, categoricals as their values, strings as Unicode texts;
    NaN, None, NaT and pandas.NA leave their cells empty. The header row holds
    the index names and the column names (a MultiIndex as pandas writes it:
    one header row per level, repeated labels merged); the header stays in view
    while the rows scroll and prints on every page, the columns are fitted to
    their content, an optional ``title`` line sits above the header and
    ``totals`` adds a row of sums under the numeric columns.

    Options: ``startrow``, ``startcol``, ``header`` (False: no header rows),
    ``float_format``, ``datetime_format``, ``date_format``, ``merge_cells``,
    ``freeze_header``, ``fit_columns``, ``max_column_width``, ``totals_label``,
    ``code_page``.

    ValueError for a frame that does not fit on a sheet (65,536 rows, 256
    columns), a refused sheet name or code page, and for a file format this
    build does not write; OSError, naming the path, when the file cannot be
    written (an existing file then stays as it was).
    """
    from ._workbook import Workbook

    check_file_format(file_format)
    workbook = Workbook(file_format=file_format, code_page=options.pop("code_page", 1252))
    workbook.add_frame(df, sheet_name=sheet_name, index=index, title=title, totals=totals, **options)
    workbook.save(path)


def number_format_of(float_format: Optional[str]) -> Optional[str]:
    """A float format as a number format: "%.2f" (pandas' form) becomes "0.00";
    a number format ("#,##0.00") stays as it is."""
    if not float_format or not float_format.startswith("%"):
        return float_format
    match = re.fullmatch(r"%\.(\d+)f", float_format)
    if not match:
        raise ValueError(f"float_format {float_format!r} is neither %.Nf nor a number format")
    decimals = int(match.group(1))
    return "0." + "0" * decimals if decimals else "0"


class _Layout:
    """Where the title, header, index, columns and totals of one frame go on its sheet."""

    def __init__(self, df: Any, index: bool, title: Optional[str], header: bool,
                 startrow: int, startcol: int, totals: bool) -> None:
        self.index_levels = df.index.nlevels if index else 0
        self.column_levels = df.columns.nlevels
        names_row = header and index and self.column_levels > 1 and any(
            name is not None for name in df.index.names)
        self.title_row = startrow
        self.header_row = startrow + (1 if title else 0)
        header_rows = (self.column_levels + (1 if names_row else 0)) if header else 0
        self.names_row = self.header_row + self.column_levels if names_row else None
        self.first_row = self.header_row + header_rows
        self.last_row = self.first_row + len(df) - 1
        self.first_col = startcol
        self.data_col = startcol + self.index_levels
        self.last_col = self.data_col + df.shape[1] - 1
        self.totals_row = self.last_row + 1 if totals else None
        bottom = self.totals_row if totals else self.last_row
        if startrow < 0 or startcol < 0:
            raise ValueError("startrow and startcol count from 0")
        if bottom > LAST_ROW:
            raise ValueError(f"the frame's {len(df)} rows from row {self.first_row + 1} do not "
                             f"fit on a sheet of {LAST_ROW + 1} rows")
        if self.last_col > LAST_COL:
            raise ValueError(f"the frame's {self.last_col - startcol + 1} columns from column "
                             f"{startcol + 1} do not fit on a sheet of {LAST_COL + 1} columns")


def write_frame_to_sheet(
    sheet: Any,
    df: Any,
    index: bool = True,
    title: Optional[str] = None,
    totals: bool = False,
    *,
    startrow: int = 0,
    startcol: int = 0,
    header: bool = True,
    float_format: Optional[str] = None,
    datetime_format: str = DEFAULT_DATETIME_FORMAT,
    date_format: str = DEFAULT_DATE_FORMAT,
    merge_cells: bool = True,
    freeze_header: bool = True,
    fit_columns: bool = True,
    max_column_width: float = 60.0,
    totals_label: str = "Total",
) -> None:
    """Write df on sheet (see write_frame)."""
    import pandas as pd

    if not isinstance(df, pd.DataFrame):
        raise TypeError(f"write_frame takes a pandas DataFrame, not {type(df).__name__}")
    layout = _Layout(df, index, title, header, startrow, startcol, totals)
    writer = _ColumnWriter(sheet, number_format_of(float_format), datetime_format, date_format)
    if header:
        _write_header(sheet, df, layout, merge_cells)
    if layout.index_levels:
        _write_index(sheet, df, layout, writer, merge_cells)
    summable = []
    for j in range(df.shape[1]):
        column = layout.data_col + j
        if writer.write(layout.first_row, column, df.iloc[:, j]):
            summable.append((column, df.iloc[:, j]))
    if totals:
        _write_totals(sheet, layout, writer, summable, totals_label)
    if title:
        _write_title(sheet, layout, title)
    if header and freeze_header and layout.first_row <= LAST_ROW:
        sheet.freeze_panes(layout.first_row, 0)
        sheet.page_setup.print_title_rows = f"${layout.header_row + 1}:${layout.first_row}"
    if fit_columns:
        bottom = layout.totals_row if totals else layout.last_row
        sheet.fit_columns(layout.header_row, layout.first_row, bottom, layout.first_col,
                          layout.last_col, max_column_width)


def _style_as_header(block: Any) -> None:
    """pandas' header style: bold, thin lines around every cell, centred."""
    block.font.bold = True
    block.borders.weight = "thin"
    block.horizontal_alignment = "center"
    block.vertical_alignment = "top"


def _runs(labels: Sequence[Any]):
    """(start, stop) of each run of equal consecutive labels."""
    start = 0
    for i in range(1, len(labels) + 1):
        if i == len(labels) or labels[i] != labels[start]:
            yield start, i
            start = i


def _write_merged_labels(sheet: Any, labels: Sequence[Any], row: int, col: int,
                         down: bool, merge: bool) -> None:
    """Labels along a row or down a column; repeats merged into their first cell."""
    labels = [None if _is_missing(label) else label for label in labels]
    if not merge:
        sheet.set_values(row, col, labels, down)
        return
    shown = list(labels)
    for start, stop in _runs(labels):
        for i in range(start + 1, stop):
            shown[i] = None
        if stop - start > 1:
            first = (row + start, col) if down else (row, col + start)
            last = (row + stop - 1, col) if down else (row, col + stop - 1)
            sheet.block(*first, *last).merge()
    sheet.set_values(row, col, shown, down)


def _is_missing(value: Any) -> bool:
    try:
        return bool(value != value) or value is None
    except (TypeError, ValueError):
        return False


def _write_header(sheet: Any, df: Any, layout: _Layout, merge_cells: bool) -> None:
    columns = df.columns
    for level in range(layout.column_levels):
        labels = list(columns.get_level_values(level))
        merge = merge_cells and level < layout.column_levels - 1
        _write_merged_labels(sheet, labels, layout.header_row + level, layout.data_col,
                             False, merge)
    if layout.index_levels:
        index_names = [name for name in df.index.names]
        if layout.column_levels == 1:
            sheet.set_values(layout.header_row, layout.first_col, index_names, False)
        else:
            # The column levels' names stand left of their labels; the index
            # names get a row of their own below the column labels.
            sheet.set_values(layout.header_row, layout.data_col - 1, list(columns.names), True)
            if layout.names_row is not None:
                sheet.set_values(layout.names_row, layout.first_col, index_names, False)
    _style_as_header(sheet.block(layout.header_row, layout.first_col, layout.first_row - 1,
                                 layout.last_col))


def _write_index(sheet: Any, df: Any, layout: _Layout, writer: "_ColumnWriter",
                 merge_cells: bool) -> None:
    if len(df) == 0:
        return
    for level in range(layout.index_levels):
        values = df.index.get_level_values(level)
        col = layout.first_col + level
        if merge_cells and level < layout.index_levels - 1:
            _write_merged_labels(sheet, list(values), layout.first_row, col, True, True)
        else:
            writer.write(layout.first_row, col, values)
    block = sheet.block(layout.first_row, layout.first_col, layout.last_row,
                        layout.data_col - 1)
    block.font.bold = True
    block.borders.weight = "thin"
    block.vertical_alignment = "top"


def _write_totals(sheet: Any, layout: _Layout, writer: "_ColumnWriter",
                  summable: list, label: str) -> None:
    row = layout.totals_row
    label_col = layout.first_col
    sheet.cell(row, label_col).value = label
    for col, series in summable:
        if col == label_col:
            continue
        cell = sheet.cell(row, col)
        if len(series) == 0:
            cell.value = 0.0
        elif layout.last_row <= LAST_FORMULA_ROW:
            top = sheet.cell(layout.first_row, col).address
            bottom = sheet.cell(layout.last_row, col).address
            cell.formula = f"=SUM({top}:{bottom})"
        else:
            cell.value = float(np.nansum(writer.numbers(series)))
        number_format = sheet.cell(layout.first_row, col).number_format
        if number_format:
            cell.number_format = number_format
    block = sheet.block(row, layout.first_col, row, layout.last_col)
    block.font.bold = True
    block.borders.weight = "thin"


def _write_title(sheet: Any, layout: _Layout, title: str) -> None:
    line = sheet.block(layout.title_row, layout.first_col, layout.title_row,
                       max(layout.last_col, layout.first_col))
    sheet.cell(layout.title_row, layout.first_col).value = title
    if layout.last_col > layout.first_col:
        line.merge()
    line.horizontal_alignment = "center"
    line.vertical_alignment = "center"
    line.font.bold = True
    line.font.size = TITLE_SIZE
    sheet.set_row_height(layout.title_row, TITLE_SIZE * TITLE_ROW_HEIGHT_PER_POINT)


class _ColumnWriter:
    """Writes one column of a frame (a Series or an Index) in one call by its dtype."""

    def __init__(self, sheet: Any, float_format: Optional[str], datetime_format: str,
                 date_format: str) -> None:
        self.sheet = sheet
        self.float_format = float_format
        self.datetime_format = datetime_format
        self.date_format = date_format

    def write(self, row: int, col: int, values: Any) -> bool:
        """Write values down from (row, col); True when the column is summed in totals."""
        import pandas as pd

        if len(values) == 0:
            return False
        values = pd.Series(values, copy=False).reset_index(drop=True)
        dtype = values.dtype
        if isinstance(dtype, pd.CategoricalDtype):
            return self.write(row, col, pd.Series(np.asarray(values)))
        if isinstance(dtype, pd.PeriodDtype):
            return self.write(row, col, values.dt.to_timestamp())
        if pd.api.types.is_bool_dtype(dtype):
            self.sheet.set_booleans(row, col, self._flags(values))
            return False
        if pd.api.types.is_integer_dtype(dtype):
            self._numbers(row, col, values, INTEGER_FORMAT)
            return True
        if pd.api.types.is_float_dtype(dtype):
            self._numbers(row, col, values, self.float_format)
            return True
        if pd.api.types.is_datetime64_any_dtype(dtype):
            self._dates(row, col, values, self.datetime_format)
            return False
        if pd.api.types.is_timedelta64_dtype(dtype):
            days = values.to_numpy("timedelta64[us]").astype("int64") / MICROSECONDS_PER_DAY
            days[values.isna().to_numpy()] = np.nan
            self.sheet.set_numbers(row, col, days)
            self._format(row, col, len(values), DURATION_FORMAT)
            return True
        return self._write_objects(row, col, values)

    def _write_objects(self, row: int, col: int, values: Any) -> bool:
        import pandas as pd

        kind = pd.api.types.infer_dtype(values, skipna=True)
        if kind in ("string", "empty"):
            self.sheet.set_texts(row, col, values.tolist())
            return False
        if kind == "boolean":
            self.sheet.set_booleans(row, col, self._flags(values))
            return False
        if kind in ("integer", "floating", "mixed-integer-float", "decimal"):
            self._numbers(row, col, values, INTEGER_FORMAT if kind == "integer" else None)
            return True
        if kind in ("datetime", "datetime64", "date"):
            converted = pd.to_datetime(values)
            fmt = self.date_format if kind == "date" else self.datetime_format
            self._dates(row, col, converted, fmt)
            return False
        if kind == "timedelta":
            return self.write(row, col, pd.to_timedelta(values))
        self.sheet.set_values(row, col, values.tolist(), True, self.datetime_format,
                              self.date_format)
        return False

    @staticmethod
    def numbers(values: Any) -> np.ndarray:
        import pandas as pd

        return pd.to_numeric(values, errors="coerce").to_numpy("float64", na_value=np.nan)

    @staticmethod
    def _flags(values: Any) -> np.ndarray:
        """0 FALSE, 1 TRUE, 2 empty."""
        missing = values.isna().to_numpy()
        flags = np.where(missing, False, values.where(~missing, False)).astype("uint8")
        flags[missing] = 2
        return flags

    def _numbers(self, row: int, col: int, values: Any, fmt: Optional[str]) -> None:
        self.sheet.set_numbers(row, col, self.numbers(values))
        self._format(row, col, len(values), fmt)

    def _dates(self, row: int, col: int, values: Any, fmt: str) -> None:
        if getattr(values.dt, "tz", None) is not None:
            raise ValueError("Excel does not support datetimes with timezones: make them "
                             "timezone-unaware (tz_localize(None)) before writing")
        micro = values.to_numpy("datetime64[us]")
        serials = micro.astype("int64") / MICROSECONDS_PER_DAY + SERIAL_OF_UNIX_EPOCH
        serials[np.isnat(micro)] = np.nan
        self.sheet.set_dates(row, col, serials)
        self._format(row, col, len(values), fmt)

    def _format(self, row: int, col: int, count: int, fmt: Optional[str]) -> None:
        if fmt:
            self.sheet.block(row, col, row + count - 1, col).number_format = fmt
