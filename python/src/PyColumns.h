// Whole columns at once: the texts of a frame's column, the cells pandas'
// ExcelWriter hands over, and the widths fitted to what was written.
#pragma once

#include <pybind11/pybind11.h>

#include <cstdint>

#include "PyCells.h"

namespace tabulon::python {

/// Stores the texts of values (a sequence: str, None, NaN, pandas.NA, or
/// anything else as its str()) from (row, col) down or to the right in one
/// run; raises ValueError when the run leaves the sheet.
void SetTextRun(IXLSWorkSheet& sheet, uint16_t row, uint16_t col, py::handle values,
                TXLSRunDirection direction);

/// Stores values of any Python types, one cell after another, each with its
/// kind's number format where the cell shows General.
void SetValueRun(IXLSWorkSheet& sheet, uint16_t row, uint16_t col, py::handle values,
                 TXLSRunDirection direction, const TDateFormats& formats);

/// Fits the widths of columns first_col to last_col to their content: the
/// header rows header_row to first_row - 1 in bold, the rows first_row to
/// last_row as their number formats show them (the format of each column's
/// cell in first_row); at most max_width characters. A column with nothing
/// to show keeps its width.
void FitColumns(IXLSWorkSheet& sheet, int32_t header_row, int32_t first_row, int32_t last_row,
                int32_t first_col, int32_t last_col, double max_width);

/// Stores the cells of pandas' ExcelWriter._write_cells (objects with row,
/// col, val, style, mergestart and mergeend) shifted by startrow and
/// startcol; an empty text leaves its cell empty, as the xls engines do.
/// @return (runs, merges): runs lists (style, number_format, col, first_row,
/// last_row) for the cells of one column below each other that share a
/// style (not None) or a number format (not None); merges lists (first_row,
/// first_col, last_row, last_col).
py::tuple WriteExcelCells(IXLSWorkSheet& sheet, py::iterable cells, int32_t startrow,
                          int32_t startcol, const TDateFormats& formats);

}  // namespace tabulon::python
