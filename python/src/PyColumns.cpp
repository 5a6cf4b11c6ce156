#include "PyColumns.h"

#include <algorithm>
#include <string>
#include <vector>

#include "XLSCellHeap.h"
#include "XLSCellRef.h"
#include "XLSColumnFit.h"
#include "XLSHostFont.h"
#include "XLSWorksheet.h"

namespace tabulon::python {
namespace {

void CheckRun(IXLSWorkSheet& sheet, int32_t status) {
  if (status != 1) ThrowValueError(sheet.GetLastError());
}

uint16_t RunRow(uint16_t row, size_t i, TXLSRunDirection direction) {
  return static_cast<uint16_t>(direction == xlRunDown ? row + i : row);
}

uint16_t RunCol(uint16_t col, size_t i, TXLSRunDirection direction) {
  return static_cast<uint16_t>(direction == xlRunDown ? col : col + i);
}

// The format a column's cells show, null for General (what the width fit takes).
const char* FitFormat(const std::string& format) {
  return format.empty() || format == "General" ? nullptr : format.c_str();
}

void NoteCell(TXLSColumnFit& fit, int32_t column, const TXLSCellRef& cell, const char* format,
              const TFont& font) {
  switch (cell.GetValueType()) {
    case xlString:
      fit.NoteText(column, cell.GetText(), font);
      break;
    case xlBoolean:
      fit.NoteValue(column, OleVariant(cell.GetBoolean()), format, font);
      break;
    case xlDoubleNumber:
    case xlDateTime:
      fit.NoteValue(column, OleVariant(cell.GetNumber()), format, font);
      break;
    case xlEmpty:
      break;
  }
}

// A cell position of pandas' cells, checked against the sheet; the message
// says the sheet's limit, the one a too large frame runs into.
uint16_t Position(int64_t value, int64_t last, const char* what) {
  if (value < 0 || value > last)
    ThrowValueError(std::string(what) + " " + std::to_string(value) + " lies outside " + what +
                    "s 0 to " + std::to_string(last));
  return static_cast<uint16_t>(value);
}

// The cells of one column below each other that share a style and a number
// format, flushed into the list of runs when the next cell breaks them.
class TStyleRuns {
 public:
  explicit TStyleRuns(py::list& runs) : runs_(runs) {}

  void Note(uint16_t row, uint16_t col, py::handle style, const std::string* format) {
    const bool styled = !style.is_none() || format != nullptr;
    if (open_ && col == col_ && row == lastRow_ + 1 && format == format_ && Same(style, style_)) {
      lastRow_ = row;
      return;
    }
    Flush();
    if (!styled) return;
    open_ = true;
    col_ = col;
    firstRow_ = lastRow_ = row;
    style_ = py::reinterpret_borrow<py::object>(style);
    format_ = format;
  }

  void Flush() {
    if (!open_) return;
    runs_.append(py::make_tuple(style_, format_ ? py::object(py::str(*format_)) : py::none(), col_,
                                firstRow_, lastRow_));
    open_ = false;
  }

 private:
  static bool Same(py::handle a, py::handle b) {
    if (a.ptr() == b.ptr()) return true;
    if (a.is_none() || b.is_none()) return false;
    const int equal = PyObject_RichCompareBool(a.ptr(), b.ptr(), Py_EQ);
    if (equal < 0) throw py::error_already_set();
    return equal == 1;
  }

  py::list& runs_;
  bool open_ = false;
  uint16_t col_ = 0;
  int32_t firstRow_ = 0;
  int32_t lastRow_ = 0;
  py::object style_;
  const std::string* format_ = nullptr;
};

}  // namespace

void SetTextRun(IXLSWorkSheet& sheet, uint16_t row, uint16_t col, py::handle values,
                TXLSRunDirection direction) {
  const py::sequence items = py::reinterpret_borrow<py::sequence>(values);
  const size_t count = items.size();
  std::vector<std::string_view> texts(count);
  std::vector<py::object> holders(count);
  for (size_t i = 0; i < count; ++i) {
    py::object item = items[i];
    texts[i] = TextOf(item, holders[i]);
    if (!holders[i]) holders[i] = std::move(item);
  }
  CheckRun(sheet, sheet.SetTexts(row, col, texts.data(), count, direction));
}

void SetValueRun(IXLSWorkSheet& sheet, uint16_t row, uint16_t col, py::handle values,
                 TXLSRunDirection direction, const TDateFormats& formats) {
  const py::sequence items = py::reinterpret_borrow<py::sequence>(values);
  const size_t count = items.size();
  // Checked as a whole first, so that a run that does not fit stores nothing.
  const uint8_t empty = 2;
  const std::vector<uint8_t> nothing(count, empty);
  CheckRun(sheet, sheet.SetBooleans(row, col, nothing.data(), count, direction));
  for (size_t i = 0; i < count; ++i)
    StoreCell(sheet, RunRow(row, i, direction), RunCol(col, i, direction),
              ToCell(items[i], formats));
}

void FitColumns(IXLSWorkSheet& sheet, int32_t header_row, int32_t first_row, int32_t last_row,
                int32_t first_col, int32_t last_col, double max_width) {
  if (last_col < first_col) return;
  const TFont regular("Arial", 10, 0, clNone);
  const TFont bold("Arial", 10, fsBold, clNone);
  std::vector<std::string> formats;
  for (int32_t col = first_col; col <= last_col; ++col) {
    const std::string ref =
        EncodeCellRef(static_cast<uint16_t>(std::max(first_row, 0)), static_cast<uint8_t>(col));
    formats.push_back(sheet.FGetRange(ref, ref)->GetNumFormat());
  }
  TXLSColumnFit fit;
  fit.Reset(last_col - first_col + 1);
  const TXLSCellHeap& heap = static_cast<TXLSWorksheet&>(sheet).GetCellHeap();
  heap.ForEachIn(header_row, first_col, last_row, last_col, [&](const TXLSCellRef& cell) {
    const int32_t column = cell.GetCol() - first_col;
    const bool header = cell.GetRow() < first_row;
    NoteCell(fit, column, cell, header ? nullptr : FitFormat(formats[static_cast<size_t>(column)]),
             header ? bold : regular);
    return true;
  });
  for (int32_t col = first_col; col <= last_col; ++col) {
    const double width = fit.Width(col - first_col, max_width);
    if (width <= 0) continue;
    const std::string ref = EncodeCellRef(0, static_cast<uint8_t>(col));
    sheet.FGetRange(ref, ref)->GetEntireColumn()->SetColumnWidth(OleVariant(width));
  }
}

py::tuple WriteExcelCells(IXLSWorkSheet& sheet, py::iterable cells, int32_t startrow,
                          int32_t startcol, const TDateFormats& formats) {
  py::list runs;
  py::list merges;
  TStyleRuns styles(runs);
  for (const py::handle cell : cells) {
    const uint16_t row = Position(startrow + cell.attr("row").cast<int64_t>(), XLSMaxRow, "row");
    const uint16_t col = Position(startcol + cell.attr("col").cast<int64_t>(), XLSMaxCol, "column");
    TPyCell value = ToCell(cell.attr("val"), formats);
    if (value.Kind == TPyCell::kText && value.Text.empty()) value.Kind = TPyCell::kEmpty;
    StoreValue(sheet, row, col, value);
    styles.Note(row, col, cell.attr("style"), value.Format);
    const py::object mergeStart = cell.attr("mergestart");
    const py::object mergeEnd = cell.attr("mergeend");
    if (!mergeStart.is_none() && !mergeEnd.is_none())
      merges.append(py::make_tuple(row, col, startrow + mergeStart.cast<int64_t>(),
                                   startcol + mergeEnd.cast<int64_t>()));
  }
  styles.Flush();
  return py::make_tuple(runs, merges);
}

}  // namespace tabulon::python
