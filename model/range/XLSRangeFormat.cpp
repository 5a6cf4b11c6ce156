// The format walk of a range: every formatting operation asks the workbook's
// XF table for the format that differs from a cell's current one in one
// property and moves the cell's reference to it. Whole columns and whole
// rows also carry a default format of their own, which is changed the same
// way.
#include <algorithm>

#include "XLSCellHeap.h"
#include "XLSCellRef.h"
#include "XLSColRowInfo.h"
#include "XLSFontInterior.h"
#include "XLSRange.h"
#include "XLSWorkbook.h"
#include "XLSWorksheet.h"

namespace tabulon {

namespace {

// Caller alignment constants and the codes the XF table stores; the
// position in the table is the stored code.
constexpr int32_t kHorizontalAlignments[] = {
    xlHAlignGeneral,
    xlHAlignLeft,
    xlHAlignCenter,
    xlHAlignRight,
    xlHAlignFill,
    xlHAlignJustify,
    xlHAlignCenterAcrossSelection,
    xlHAlignDistributed,
};
constexpr int32_t kVerticalAlignments[] = {
    xlVAlignTop, xlVAlignCenter, xlVAlignBottom, xlVAlignJustify, xlVAlignDistributed,
};

// The stored code of constant, or -1 when the table does not list it.
template <size_t N>
int32_t StoredAlignment(const int32_t (&table)[N], int32_t constant) {
  const auto* found = std::find(std::begin(table), std::end(table), constant);
  return found == std::end(table) ? -1 : static_cast<int32_t>(found - std::begin(table));
}

// The caller constant of a stored code; 0 for a code the table does not list.
template <size_t N>
int32_t AlignmentConstant(const int32_t (&table)[N], uint8_t code) {
  return code < N ? table[code] : 0;
}

}  // namespace

TXLSWorkbook& TXLSRange::GetWorkbook() const {
  return Worksheet.GetWorkbook();
}

TXLSXFList& TXLSRange::XFList() const {
  return GetWorkbook().GetXFList();
}

XLSPtr<IXLSRange> TXLSRange::KeepAlive() {
  return GetRefCount() > 0 ? XLSPtr<IXLSRange>(this) : XLSPtr<IXLSRange>();
}

// ---- Which format a position shows -------------------------------------------

// A column without information of its own reports the list's default
// format; only a format that was given to the column counts as its own, so
// that a formatted row still shows through an unformatted column.
int32_t TXLSRange::ColumnXF(int32_t col) const {
  const TXLSColumnInfo* info = Worksheet.GetColumnInfo().GetColumnInfo(col);
  return info && info->XFIndex != TXLSXFList::kDefaultXF ? info->XFIndex : 0;
}

int32_t TXLSRange::RowXF(int32_t row) const {
  const TXLSRowInfo* info = Worksheet.GetRowInfo().GetRowInfo(row);
  return info && info->FormatSet ? info->XFIndex : 0;
}

int32_t TXLSRange::ShownXF(const TXLSCellRef* cell, int32_t row, int32_t col, bool& owned) const {
  owned = cell != nullptr && cell->XFIndex > 0;
  if (owned) return cell->XFIndex;
  const int32_t columnXF = ColumnXF(col);
  return columnXF != 0 ? columnXF : RowXF(row);
}

int32_t TXLSRange::GetXFIndex(int32_t row, int32_t col, bool& owned) const {
  const bool onSheet = row >= 0 && row <= XLSMaxRow && col >= 0 && col <= XLSMaxCol;
  const TXLSCellRef* cell = onSheet ? Worksheet.GetCellHeap().GetValue(static_cast<uint16_t>(row),
                                                                       static_cast<uint8_t>(col))
                                    : nullptr;
  return ShownXF(cell, row, col, owned);
}

int32_t TXLSRange::TopLeftXF() const {
  bool owned = false;
  return GetXFIndex(FirstRow, FirstCol, owned);
}

// ---- The walk ------------------------------------------------------------------

// Only an area's top-left cell carries a format that counts; the other cells
// of a merged area are left alone.
void TXLSRange::FormatCell(TXLSCellRef& cell, int32_t row, int32_t col, TXFMemo& memo,
                           const OleVariant& value, TSetXFProperty setter) {
  if (cell.Merged && !cell.IsMergeMaster()) return;
  bool owned = false;
  const int32_t index = ShownXF(&cell, row, col, owned);
  cell.XFIndex = ResolveXF(
      memo, index, owned, [&](int32_t source) { return (XFList().*setter)(source, value, owned); });
}

void TXLSRange::SetXFProperty(const OleVariant& value, TSetXFProperty setter) {
  switch (GetRangeType()) {
    case xlRangeWholeColumns:
      return FormatColumns(value, setter);
    case xlRangeWholeRows:
      return FormatRows(value, setter);
    default:
      return FormatBlock(value, setter);
  }
}

void TXLSRange::FormatBlock(const OleVariant& value, TSetXFProperty setter) {
  TXLSCellHeap& heap = Worksheet.GetCellHeap();
  TXFMemo memo;
  for (int32_t row = FirstRow; row <= LastRow; ++row) {
    for (int32_t col = FirstCol; col <= LastCol; ++col) {
      TXLSCellRef* cell =
          heap.GetOrCreateValue(static_cast<uint16_t>(row), static_cast<uint8_t>(col));
      FormatCell(*cell, row, col, memo, value, setter);
    }
  }
}

// The column and row lists move the line's reference themselves when they
// store a new default (SetXF), so the setter's own move is handed back
// first: the old default loses exactly one reference and the new one gains
// exactly one.
int32_t TXLSRange::ChangedLineXF(int32_t current, const OleVariant& value, TSetXFProperty setter) {
  TXLSXFList& xf = XFList();
  const int32_t result = (xf.*setter)(current, value, true);
  xf.ReplaceIndex(result, current);
  return result;
}

// Stored cells are changed before the column's default so that a cell
// without a format of its own starts from what it showed until now (the
// row's format, say), not from the column's new one.
void TXLSRange::FormatColumns(const OleVariant& value, TSetXFProperty setter) {
  TXLSCellHeap& heap = Worksheet.GetCellHeap();
  TXLSColumnInfoList& columns = Worksheet.GetColumnInfo();
  TXFMemo memo;
  for (int32_t col = FirstCol; col <= LastCol; ++col) {
    for (int32_t row = heap.GetFirstRow(); heap.GetRowCount() > 0 && row <= heap.GetLastRow();
         ++row) {
      if (TXLSCellRef* cell = heap.GetValue(static_cast<uint16_t>(row), static_cast<uint8_t>(col)))
        FormatCell(*cell, row, col, memo, value, setter);
    }
    columns.SetXF(col, ChangedLineXF(columns.GetXF(col), value, setter));
  }
}

// A column with a format of its own wins over the row at their crossing, so
// the row's change would not show there: the crossing gets a cell of its own
// that carries the column's format with the row's change.
void TXLSRange::FormatRows(const OleVariant& value, TSetXFProperty setter) {
  TXLSCellHeap& heap = Worksheet.GetCellHeap();
  const TXLSColumnInfoList& columns = Worksheet.GetColumnInfo();
  TXLSRowInfoList& rows = Worksheet.GetRowInfo();
  int32_t firstCol = heap.GetColCount() > 0 ? heap.GetFirstCol() : XLSMaxCol + 1;
  int32_t lastCol = heap.GetColCount() > 0 ? heap.GetLastCol() : -1;
  if (columns.GetFirstColumn() >= 0) {
    firstCol = std::min(firstCol, columns.GetFirstColumn());
    lastCol = std::max(lastCol, columns.GetLastColumn());
  }
  TXLSXFList& xf = XFList();
  TXFMemo memo;
  for (int32_t row = FirstRow; row <= LastRow; ++row) {
    rows.SetXF(row, ChangedLineXF(rows.GetXF(row), value, setter));
    for (int32_t col = firstCol; col <= lastCol; ++col) {
      const auto r = static_cast<uint16_t>(row);
      const auto c = static_cast<uint8_t>(col);
      if (TXLSCellRef* cell = heap.GetValue(r, c)) {
        FormatCell(*cell, row, col, memo, value, setter);
      } else if (const int32_t columnXF = ColumnXF(col); columnXF != 0) {
        heap.GetOrCreateValue(r, c)->XFIndex =
            ResolveXF(memo, columnXF, false,
                      [&](int32_t source) { return (xf.*setter)(source, value, false); });
      }
    }
  }
}

// ---- Font, fill, alignment and number format -------------------------------------

void TXLSRange::SetFontBold(bool value) {
  SetXFProperty(value, &TXLSXFList::SetFontBold);
}
void TXLSRange::SetFontItalic(bool value) {
  SetXFProperty(value, &TXLSXFList::SetFontItalic);
}
void TXLSRange::SetFontStrikethrough(bool value) {
  SetXFProperty(value, &TXLSXFList::SetFontStrikethrough);
}
void TXLSRange::SetFontOutLineFont(bool value) {
  SetXFProperty(value, &TXLSXFList::SetFontOutLineFont);
}
void TXLSRange::SetFontShadow(bool value) {
  SetXFProperty(value, &TXLSXFList::SetFontShadow);
}
void TXLSRange::SetFontSubScript(bool value) {
  SetXFProperty(value, &TXLSXFList::SetFontSubScript);
}
void TXLSRange::SetFontSuperScript(bool value) {
  SetXFProperty(value, &TXLSXFList::SetFontSuperScript);
}
void TXLSRange::SetFontName(const std::string& name) {
  SetXFProperty(name, &TXLSXFList::SetFontName);
}
void TXLSRange::SetFontSize(double points) {
  SetXFProperty(points, &TXLSXFList::SetFontSize);
}
void TXLSRange::SetFontColorIndex(int32_t stored_index) {
  SetXFProperty(stored_index, &TXLSXFList::SetFontColorIndex);
}
void TXLSRange::SetFontUnderLine(int32_t stored_code) {
  SetXFProperty(stored_code, &TXLSXFList::SetFontUnderLine);
}
void TXLSRange::SetInteriorColor(int32_t stored_index) {
  SetXFProperty(stored_index, &TXLSXFList::SetInteriorColorIndex);
}
void TXLSRange::SetInteriorPattern(int32_t stored_code) {
  SetXFProperty(stored_code, &TXLSXFList::SetInteriorPattern);
}
void TXLSRange::SetInteriorPatternColor(int32_t stored_index) {
  SetXFProperty(stored_index, &TXLSXFList::SetInteriorPatternColorIndex);
}

bool TXLSRange::GetFontBold() const {
  return XFList().GetFontBold(TopLeftXF());
}
bool TXLSRange::GetFontItalic() const {
  return XFList().GetFontItalic(TopLeftXF());
}
bool TXLSRange::GetFontStrikethrough() const {
  return XFList().GetFontStrikethrough(TopLeftXF());
}
bool TXLSRange::GetFontOutLineFont() const {
  return XFList().GetFontOutLineFont(TopLeftXF());
}
bool TXLSRange::GetFontShadow() const {
  return XFList().GetFontShadow(TopLeftXF());
}
bool TXLSRange::GetFontSubScript() const {
  return XFList().GetFontSubScript(TopLeftXF());
}
bool TXLSRange::GetFontSuperScript() const {
  return XFList().GetFontSuperScript(TopLeftXF());
}
std::string TXLSRange::GetFontName() const {
  return XFList().GetFontName(TopLeftXF());
}
float TXLSRange::GetFontSize() const {
  return static_cast<float>(XFList().GetFontSize(TopLeftXF()));
}
int32_t TXLSRange::GetFontColorIndex() const {
  return XFList().GetFontColorIndex(TopLeftXF());
}
int32_t TXLSRange::GetFontUnderLine() const {
  return XFList().GetFontUnderLine(TopLeftXF());
}
int32_t TXLSRange::GetInteriorColor() const {
  return XFList().GetInteriorColorIndex(TopLeftXF());
}
int32_t TXLSRange::GetInteriorPattern() const {
  return XFList().GetInteriorPattern(TopLeftXF());
}
int32_t TXLSRange::GetInteriorPatternColor() const {
  return XFList().GetInteriorPatternColorIndex(TopLeftXF());
}

OleVariant TXLSRange::GetWrapText() {
  return OleVariant(XFList().GetWrap(TopLeftXF()));
}
void TXLSRange::SetWrapText(const OleVariant& wrap) {
  SetXFProperty(wrap, &TXLSXFList::SetWrap);
}

bool TXLSRange::GetLocked() {
  return XFList().GetLocked(TopLeftXF());
}
void TXLSRange::SetLocked(bool locked) {
  SetXFProperty(locked, &TXLSXFList::SetLocked);
}

bool TXLSRange::GetFormulaHidden() {
  return XFList().GetHidden(TopLeftXF());
}
void TXLSRange::SetFormulaHidden(bool hidden) {
  SetXFProperty(hidden, &TXLSXFList::SetHidden);
}

std::string TXLSRange::GetNumFormat() {
  return XFList().GetNumFormat(TopLeftXF());
}
void TXLSRange::SetNumFormat(const std::string& format) {
  SetXFProperty(format, &TXLSXFList::SetNumFormat);
}

int32_t TXLSRange::GetHAlign() {
  return AlignmentConstant(kHorizontalAlignments, XFList().GetHorAlign(TopLeftXF()));
}
void TXLSRange::SetHAlign(int32_t alignment) {
  const int32_t code = StoredAlignment(kHorizontalAlignments, alignment);
  if (code >= 0) SetXFProperty(code, &TXLSXFList::SetHorAlign);
}

int32_t TXLSRange::GetVAlign() {
  return AlignmentConstant(kVerticalAlignments, XFList().GetVerAlign(TopLeftXF()));
}
void TXLSRange::SetVAlign(int32_t alignment) {
  const int32_t code = StoredAlignment(kVerticalAlignments, alignment);
  if (code >= 0) SetXFProperty(code, &TXLSXFList::SetVerAlign);
}

XLSPtr<IXLSFont> TXLSRange::GetFont() {
  return XLSPtr<IXLSFont>(new TXLSFont(*this));
}

XLSPtr<IXLSInterior> TXLSRange::GetInterior() {
  return XLSPtr<IXLSInterior>(new TXLSInterior(*this));
}

}  // namespace tabulon
