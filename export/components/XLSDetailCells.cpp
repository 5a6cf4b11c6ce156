#include "XLSDetailCells.h"

#include "XLSCellHeap.h"
#include "XLSColRowInfo.h"
#include "XLSWorksheet.h"
#include "xlsxf.h"

namespace tabulon {

TXLSDetailCells::TXLSDetailCells(TXLSWorksheet& sheet, TXLSXFList& formats, int32_t header_row,
                                 int32_t first_col, int32_t columns)
    : sheet_(sheet),
      heap_(sheet.GetCellHeap()),
      formats_(formats),
      firstCol_(first_col),
      row_(header_row),
      current_(static_cast<size_t>(columns), nullptr),
      outcomes_(static_cast<size_t>(columns)) {
  for (int32_t i = 0; i < columns; ++i)
    current_[static_cast<size_t>(i)] =
        heap_.GetValue(static_cast<uint16_t>(header_row), static_cast<uint8_t>(first_col + i));
  rowFormat_ = RowFormat(header_row);
}

bool TXLSDetailCells::CanWriteBelow(TXLSWorksheet& sheet, int32_t header_row) {
  const TXLSCellHeap& heap = sheet.GetCellHeap();
  return heap.GetRowCount() == 0 || heap.GetLastRow() <= header_row;
}

void TXLSDetailCells::BeginRow(int32_t row) {
  above_.swap(current_);
  current_.assign(above_.size(), nullptr);
  aboveRowFormat_ = row == row_ + 1 ? rowFormat_ : RowFormat(row - 1);
  row_ = row;
  rowFormat_ = RowFormat(row);
}

int32_t TXLSDetailCells::RowFormat(int32_t row) const {
  const TXLSRowInfo* info = sheet_.GetRowInfo().GetRowInfo(row);
  return info && info->FormatSet ? info->XFIndex : 0;
}

void TXLSDetailCells::Put(int32_t i, const OleVariant* value) {
  TXLSCellRef* cell =
      heap_.GetOrCreateValue(static_cast<uint16_t>(row_), static_cast<uint8_t>(firstCol_ + i));
  if (value) cell->SetValue(*value, heap_.Texts());
  current_[static_cast<size_t>(i)] = cell;
}

TXLSDetailCells::TCellFormats TXLSDetailCells::FormatsAround(int32_t i) const {
  const auto index = static_cast<size_t>(i);
  const TXLSCellRef* left = i > 0 ? current_[index - 1] : nullptr;
  TCellFormats formats;
  formats.Self = current_[index]->XFIndex;
  formats.Left = left ? left->XFIndex : -1;
  formats.Above = above_[index] ? above_[index]->XFIndex : -1;
  return formats;
}

bool TXLSDetailCells::ApplyKnownFormats(int32_t i, uint8_t variant) {
  pending_.Variant = variant;
  pending_.RowFormat = rowFormat_;
  pending_.AboveRowFormat = aboveRowFormat_;
  pending_.Before = FormatsAround(i);
  const auto index = static_cast<size_t>(i);
  for (const TOutcome& outcome : outcomes_[index]) {
    if (!(outcome.Combination == pending_)) continue;
    SetFormat(current_[index], outcome.After.Self);
    if (i > 0) SetFormat(current_[index - 1], outcome.After.Left);
    SetFormat(above_[index], outcome.After.Above);
    return true;
  }
  return false;
}

void TXLSDetailCells::Learn(int32_t i) {
  outcomes_[static_cast<size_t>(i)].push_back({pending_, FormatsAround(i)});
}

// The format table counts the cells that use each format; the reference
// moves with the cell as it does when a range changes the cell's format.
void TXLSDetailCells::SetFormat(TXLSCellRef* cell, int32_t index) {
  if (cell == nullptr || index < 0 || cell->XFIndex == index) return;
  formats_.ReplaceIndex(cell->XFIndex, index);
  cell->XFIndex = index;
}

}  // namespace tabulon
