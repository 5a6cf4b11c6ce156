// Runs of values stored in one call: a column or a row of numbers, dates,
// texts or booleans goes straight into the cell store, without a range or a
// variant per cell, for callers that hold their data by column (data frames,
// query results).
#include <cmath>

#include "XLSCellHeap.h"
#include "XLSCellRef.h"
#include "XLSWorksheet.h"

namespace tabulon {

template <class TMissing, class TPut>
int32_t TXLSWorksheet::SetRun(uint16_t row, uint16_t col, size_t count, TXLSRunDirection direction,
                              TMissing missing, TPut put) {
  const bool down = direction != xlRunRight;
  const size_t room = down ? size_t{XLSMaxRow} + 1 - row : size_t{XLSMaxCol} + 1 - col;
  if (col > XLSMaxCol || count > room) {
    lastError_ = "a run of " + std::to_string(count) + " cells from row " +
                 std::to_string(row + 1) + ", column " + std::to_string(col + 1) +
                 (down ? " down" : " to the right") + " leaves the sheet";
    return -1;
  }
  if (count == 0) return 1;
  const auto last = static_cast<int32_t>((down ? row : col) + count - 1);
  formulas_.EraseRect(row, col, down ? last : row, down ? col : last);
  TXLSTextPool* texts = cells_.Texts();
  for (size_t i = 0; i < count; ++i) {
    const auto cellRow = static_cast<uint16_t>(down ? row + i : row);
    const auto cellCol = static_cast<uint8_t>(down ? col : col + i);
    const bool absent = missing(i);
    // A missing value creates no cell: an untouched cell stays untouched.
    TXLSCellRef* cell =
        absent ? cells_.GetValue(cellRow, cellCol) : cells_.GetOrCreateValue(cellRow, cellCol);
    if (cell == nullptr || (cell->Merged && !cell->IsMergeMaster())) continue;
    if (absent)
      cell->ClearValue(texts);
    else
      put(*cell, i, texts);
  }
  return 1;
}

// Numbers and dates differ only in the kind of value the cells hold.
int32_t TXLSWorksheet::SetNumberRun(uint16_t row, uint16_t col, const double* values, size_t count,
                                    TXLSRunDirection direction, TXLSValueType type) {
  return SetRun(
      row, col, count, direction, [values](size_t i) { return std::isnan(values[i]); },
      [values, type](TXLSCellRef& cell, size_t i, TXLSTextPool* texts) {
        cell.SetNumber(values[i], type, texts);
      });
}

int32_t TXLSWorksheet::SetNumbers(uint16_t row, uint16_t col, const double* values, size_t count,
                                  TXLSRunDirection direction) {
  return SetNumberRun(row, col, values, count, direction, xlDoubleNumber);
}

int32_t TXLSWorksheet::SetDates(uint16_t row, uint16_t col, const double* serials, size_t count,
                                TXLSRunDirection direction) {
  return SetNumberRun(row, col, serials, count, direction, xlDateTime);
}

int32_t TXLSWorksheet::SetTexts(uint16_t row, uint16_t col, const std::string_view* texts,
                                size_t count, TXLSRunDirection direction) {
  return SetRun(
      row, col, count, direction, [texts](size_t i) { return texts[i].data() == nullptr; },
      [texts](TXLSCellRef& cell, size_t i, TXLSTextPool* pool) { cell.SetString(texts[i], pool); });
}

int32_t TXLSWorksheet::SetBooleans(uint16_t row, uint16_t col, const uint8_t* values, size_t count,
                                   TXLSRunDirection direction) {
  return SetRun(
      row, col, count, direction, [values](size_t i) { return values[i] > 1; },
      [values](TXLSCellRef& cell, size_t i, TXLSTextPool* texts) {
        cell.SetNumber(values[i], xlBoolean, texts);
      });
}

}  // namespace tabulon
