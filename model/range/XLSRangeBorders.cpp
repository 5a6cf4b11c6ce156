// Borders of a range. A line between two neighbouring cells is kept on one
// of them only (the owner) and the matching edge of the other is cleared, so
// a saved file never describes one line twice. The range's own cells own
// its outer lines; inner lines sit on the right and bottom edges of the
// left and upper cells.
#include "XLSBorders.h"
#include "XLSCellHeap.h"
#include "XLSCellRef.h"
#include "XLSRange.h"
#include "XLSWorksheet.h"

namespace tabulon {

namespace {

constexpr uint8_t kLeftEdge = 1;
constexpr uint8_t kRightEdge = 2;
constexpr uint8_t kTopEdge = 4;
constexpr uint8_t kBottomEdge = 8;

bool OnSheet(int32_t row, int32_t col) {
  return row >= 0 && row <= XLSMaxRow && col >= 0 && col <= XLSMaxCol;
}

// The edges of cell 1 and cell 2 that face each other.
uint8_t FirstMask(bool vertical) {
  return vertical ? kRightEdge : kBottomEdge;
}
uint8_t SecondMask(bool vertical) {
  return vertical ? kLeftEdge : kTopEdge;
}

}  // namespace

// ---- Setting one line -------------------------------------------------------------

void TXLSRange::SetBorderLine(int32_t row1, int32_t col1, int32_t row2, int32_t col2, bool vertical,
                              bool first_owns, const OleVariant& value, TSetXFBorderProperty setter,
                              TBorderMemo& memo) {
  static const OleVariant kNoLine(xlLineStyleNone);
  TXLSCellHeap& heap = Worksheet.GetCellHeap();
  TXLSXFList& xf = XFList();
  // The owner is fetched or created and gets the property; the other cell
  // is changed only where it is stored, and loses its edge.
  const auto apply = [&](int32_t row, int32_t col, uint8_t mask, bool owns) {
    if (!OnSheet(row, col)) return;
    const auto r = static_cast<uint16_t>(row);
    const auto c = static_cast<uint8_t>(col);
    TXLSCellRef* cell = owns ? heap.GetOrCreateValue(r, c) : heap.GetValue(r, c);
    if (cell == nullptr) return;
    bool owned = false;
    const int32_t index = ShownXF(cell, row, col, owned);
    cell->XFIndex =
        ResolveXF(owns ? memo.Owner : memo.Neighbour, index, owned, [&](int32_t source) {
          return owns ? (xf.*setter)(source, mask, value, owned)
                      : xf.SetBorderLineStyle(source, mask, kNoLine, owned);
        });
  };
  apply(row1, col1, FirstMask(vertical), first_owns);
  apply(row2, col2, SecondMask(vertical), !first_owns);
}

void TXLSRange::SetCellXFBorderProperty(int32_t row1, int32_t col1, int32_t row2, int32_t col2,
                                        bool vertical, bool first_owns, const OleVariant& value,
                                        TSetXFBorderProperty setter) {
  TBorderMemo memo;
  SetBorderLine(row1, col1, row2, col2, vertical, first_owns, value, setter, memo);
}

void TXLSRange::SetCellBorderColorIndex(int32_t row1, int32_t col1, int32_t row2, int32_t col2,
                                        bool vertical, bool first_owns, int32_t value) {
  SetCellXFBorderProperty(row1, col1, row2, col2, vertical, first_owns, value,
                          &TXLSXFList::SetBorderColorIndex);
}

void TXLSRange::SetCellBorderLineStyle(int32_t row1, int32_t col1, int32_t row2, int32_t col2,
                                       bool vertical, bool first_owns, int32_t value) {
  SetCellXFBorderProperty(row1, col1, row2, col2, vertical, first_owns, value,
                          &TXLSXFList::SetBorderLineStyle);
}

void TXLSRange::SetCellBorderLineWeight(int32_t row1, int32_t col1, int32_t row2, int32_t col2,
                                        bool vertical, bool first_owns, int32_t value) {
  SetCellXFBorderProperty(row1, col1, row2, col2, vertical, first_owns, value,
                          &TXLSXFList::SetBorderWeight);
}

// ---- Reading one line -------------------------------------------------------------

// The line as the first of the two cells that draws it shows it. A cell
// whose format defines borders but has no line on this edge does not
// answer, so a line kept on the neighbour is still found.
int32_t TXLSRange::GetCellBorderProperty(int32_t row1, int32_t col1, int32_t row2, int32_t col2,
                                         bool vertical, TBorderProperty property) const {
  const TXLSXFList& xf = XFList();
  const auto read = [&](int32_t row, int32_t col, uint8_t mask, int32_t& result) {
    if (!OnSheet(row, col)) return false;
    bool owned = false;
    const int32_t index = GetXFIndex(row, col, owned);
    if (!xf.GetBordersDefined(index) || xf.GetBorderLineStyle(index, mask) == xlLineStyleNone)
      return false;
    switch (property) {
      case TBorderProperty::ColorIndex:
        result = xf.GetBorderColorIndex(index, mask);
        break;
      case TBorderProperty::LineStyle:
        result = xf.GetBorderLineStyle(index, mask);
        break;
      case TBorderProperty::Weight:
        result = xf.GetBorderWeight(index, mask);
        break;
    }
    return true;
  };
  int32_t result = property == TBorderProperty::Weight ? xlThin : xlLineStyleNone;
  if (!read(row1, col1, FirstMask(vertical), result))
    read(row2, col2, SecondMask(vertical), result);
  return result;
}

int32_t TXLSRange::GetCellBorderColorIndex(int32_t row1, int32_t col1, int32_t row2, int32_t col2,
                                           bool vertical) const {
  return GetCellBorderProperty(row1, col1, row2, col2, vertical, TBorderProperty::ColorIndex);
}

int32_t TXLSRange::GetCellBorderLineStyle(int32_t row1, int32_t col1, int32_t row2, int32_t col2,
                                          bool vertical) const {
  return GetCellBorderProperty(row1, col1, row2, col2, vertical, TBorderProperty::LineStyle);
}

int32_t TXLSRange::GetCellBorderLineWeight(int32_t row1, int32_t col1, int32_t row2, int32_t col2,
                                           bool vertical) const {
  return GetCellBorderProperty(row1, col1, row2, col2, vertical, TBorderProperty::Weight);
}

// ---- Borders by index -------------------------------------------------------------

void TXLSRange::SetBorderProperty(int32_t border_index, TBorderProperty property, int32_t value) {
  TSetXFBorderProperty setter = &TXLSXFList::SetBorderColorIndex;
  if (property == TBorderProperty::LineStyle) setter = &TXLSXFList::SetBorderLineStyle;
  if (property == TBorderProperty::Weight) setter = &TXLSXFList::SetBorderWeight;
  const OleVariant v(value);
  TBorderMemo memo;
  const auto line = [&](int32_t r1, int32_t c1, int32_t r2, int32_t c2, bool vertical,
                        bool first_owns) {
    SetBorderLine(r1, c1, r2, c2, vertical, first_owns, v, setter, memo);
  };
  switch (border_index) {
    case xlEdgeLeft:
      for (int32_t r = FirstRow; r <= LastRow; ++r) line(r, FirstCol - 1, r, FirstCol, true, false);
      break;
    case xlEdgeRight:
      for (int32_t r = FirstRow; r <= LastRow; ++r) line(r, LastCol, r, LastCol + 1, true, true);
      break;
    case xlEdgeTop:
      for (int32_t c = FirstCol; c <= LastCol; ++c)
        line(FirstRow - 1, c, FirstRow, c, false, false);
      break;
    case xlEdgeBottom:
      for (int32_t c = FirstCol; c <= LastCol; ++c) line(LastRow, c, LastRow + 1, c, false, true);
      break;
    case xlInsideVertical:
      for (int32_t d = FirstCol; d < LastCol; ++d) {
        for (int32_t r = FirstRow; r <= LastRow; ++r) line(r, d, r, d + 1, true, true);
      }
      break;
    case xlInsideHorizontal:
      for (int32_t d = FirstRow; d < LastRow; ++d) {
        for (int32_t c = FirstCol; c <= LastCol; ++c) line(d, c, d + 1, c, false, true);
      }
      break;
    default:
      break;
  }
}

// Edges and inside lines are read at the first row or column of the range.
int32_t TXLSRange::GetBorderProperty(int32_t border_index, TBorderProperty property) const {
  const auto read = [&](int32_t r1, int32_t c1, int32_t r2, int32_t c2, bool vertical) {
    return GetCellBorderProperty(r1, c1, r2, c2, vertical, property);
  };
  switch (border_index) {
    case xlEdgeLeft:
      return read(FirstRow, FirstCol - 1, FirstRow, FirstCol, true);
    case xlEdgeRight:
      return read(FirstRow, LastCol, FirstRow, LastCol + 1, true);
    case xlEdgeTop:
      return read(FirstRow - 1, FirstCol, FirstRow, FirstCol, false);
    case xlEdgeBottom:
      return read(LastRow, FirstCol, LastRow + 1, FirstCol, false);
    case xlInsideVertical:
      if (FirstCol < LastCol) return read(FirstRow, FirstCol, FirstRow, FirstCol + 1, true);
      break;
    case xlInsideHorizontal:
      if (FirstRow < LastRow) return read(FirstRow, FirstCol, FirstRow + 1, FirstCol, false);
      break;
    default:
      break;
  }
  switch (property) {
    case TBorderProperty::ColorIndex:
      return 0;
    case TBorderProperty::LineStyle:
      return xlLineStyleNone;
    case TBorderProperty::Weight:
      break;
  }
  return xlThin;
}

void TXLSRange::SetBorderColorIndex(int32_t border_index, int32_t value) {
  SetBorderProperty(border_index, TBorderProperty::ColorIndex, value);
}
void TXLSRange::SetBorderLineStyle(int32_t border_index, int32_t value) {
  SetBorderProperty(border_index, TBorderProperty::LineStyle, value);
}
void TXLSRange::SetBorderWeight(int32_t border_index, int32_t value) {
  SetBorderProperty(border_index, TBorderProperty::Weight, value);
}
int32_t TXLSRange::GetBorderColorIndex(int32_t border_index) const {
  return GetBorderProperty(border_index, TBorderProperty::ColorIndex);
}
int32_t TXLSRange::GetBorderLineStyle(int32_t border_index) const {
  return GetBorderProperty(border_index, TBorderProperty::LineStyle);
}
int32_t TXLSRange::GetBorderWeight(int32_t border_index) const {
  return GetBorderProperty(border_index, TBorderProperty::Weight);
}

XLSPtr<IXLSBorders> TXLSRange::GetBorders() {
  return XLSPtr<IXLSBorders>(new TXLSBorders(*this));
}

}  // namespace tabulon
