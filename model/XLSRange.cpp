#include "XLSRange.h"

#include <utility>

#include "XLSCellRef.h"

namespace tabulon {

TXLSRange::TXLSRange(TXLSWorksheet& sheet, const std::string& cell1, const std::string& cell2,
                     bool counted)
    : XLSImplements(counted), Worksheet(sheet), FirstCellText(cell1), LastCellText(cell2) {
  if (GetCellRef(FirstCellText, FirstRow, FirstCol) == 1)
    GetCellRef(LastCellText, LastRow, LastCol);
  OrderCorners();
}

// The value, merge and formatting walks run from the first corner to the
// second, so a rectangle given bottom-right first is turned around once here.
void TXLSRange::OrderCorners() {
  if (FirstRow <= LastRow && FirstCol <= LastCol) return;
  if (FirstRow > LastRow) std::swap(FirstRow, LastRow);
  if (FirstCol > LastCol) std::swap(FirstCol, LastCol);
  EncodeTexts();
}

void TXLSRange::EncodeTexts() {
  FirstCellText = EncodeCellRef(FirstRow, FirstCol);
  LastCellText = EncodeCellRef(LastRow, LastCol);
}

XLSPtr<IXLSRange> TXLSRange::Derived(const std::string& cell1, const std::string& cell2,
                                     TXLSRangeType type) const {
  auto* range = new TXLSRange(Worksheet, cell1, cell2);
  range->RangeType = type;
  return XLSPtr<IXLSRange>(range);
}

XLSPtr<IXLSRange> TXLSRange::GetItem(uint16_t row_offset, uint16_t column_offset) {
  // Offsets are not checked against the range's size: Item reaches any cell
  // below and to the right of the top-left corner, wrapping at the sheet edge.
  const auto row = static_cast<uint16_t>(FirstRow + row_offset - 1);
  const auto col = static_cast<uint8_t>(FirstCol + column_offset - 1);
  const std::string cell = EncodeCellRef(row, col);
  return Derived(cell, cell, xlRangeCells);
}

XLSPtr<IXLSRange> TXLSRange::GetEntireRow() {
  return Derived(EncodeCellRef(FirstRow, 0), EncodeCellRef(LastRow, XLSMaxCol), xlRangeRows);
}

XLSPtr<IXLSRange> TXLSRange::GetEntireColumn() {
  return Derived(EncodeCellRef(0, FirstCol), EncodeCellRef(XLSMaxRow, LastCol), xlRangeColumns);
}

XLSPtr<IXLSRange> TXLSRange::GetRows() {
  return Derived(FirstCellText, LastCellText, xlRangeRows);
}

XLSPtr<IXLSRange> TXLSRange::GetColumns() {
  return Derived(FirstCellText, LastCellText, xlRangeColumns);
}

XLSPtr<IXLSRange> TXLSRange::GetCells() {
  return Derived(FirstCellText, LastCellText, xlRangeCells);
}

int32_t TXLSRange::GetCount() {
  switch (RangeType) {
    case xlRangeRows:
      return Height();
    case xlRangeColumns:
      return Width();
    case xlRangeCells:
      break;
  }
  return Height() * Width();
}

int32_t TXLSRange::GetRangeType() const {
  if (FirstRow == 0 && LastRow == XLSMaxRow) return xlRangeWholeColumns;
  if (FirstCol == 0 && LastCol == XLSMaxCol) return xlRangeWholeRows;
  return xlRangeBlock;
}

OleVariant TXLSRange::GetValue() {
  return OleVariant::Null();  // reads the cell store once the worksheet is merged in
}

void TXLSRange::SetValue(const OleVariant&) {}

void TXLSRange::ExtendRange() {}

void TXLSRange::Select() {}

// The formatting and structure layers fill in the operations below; until
// then they answer empty results and change nothing.
XLSPtr<IXLSFont> TXLSRange::GetFont() {
  return {};
}
XLSPtr<IXLSInterior> TXLSRange::GetInterior() {
  return {};
}
XLSPtr<IXLSBorders> TXLSRange::GetBorders() {
  return {};
}
OleVariant TXLSRange::GetColumnWidth() {
  return {};
}
void TXLSRange::SetColumnWidth(const OleVariant&) {}
OleVariant TXLSRange::GetRowHeight() {
  return {};
}
void TXLSRange::SetRowHeight(const OleVariant&) {}
OleVariant TXLSRange::GetHidden() {
  return {};
}
void TXLSRange::SetHidden(const OleVariant&) {}
OleVariant TXLSRange::GetWrapText() {
  return {};
}
void TXLSRange::SetWrapText(const OleVariant&) {}
std::string TXLSRange::GetNumFormat() {
  return {};
}
void TXLSRange::SetNumFormat(const std::string&) {}
int32_t TXLSRange::GetHAlign() {
  return 0;
}
void TXLSRange::SetHAlign(int32_t) {}
int32_t TXLSRange::GetVAlign() {
  return 0;
}
void TXLSRange::SetVAlign(int32_t) {}
void TXLSRange::Merge(const OleVariant&) {}
void TXLSRange::ClearContents() {}
void TXLSRange::Clear() {}
OleVariant TXLSRange::Insert(const OleVariant&) {
  return {};
}
OleVariant TXLSRange::Delete(const OleVariant&) {
  return {};
}
void TXLSRange::Unmerge() {}

}  // namespace tabulon
