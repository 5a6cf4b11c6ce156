#include "XLSBorders.h"

#include "XLSConstants.h"
#include "XLSRange.h"
#include "XLSWorkbook.h"

namespace tabulon {

namespace {

// The order in which a whole set of borders is given a property.
constexpr int32_t kBorderOrder[] = {xlEdgeTop,   xlEdgeLeft,         xlEdgeBottom,
                                    xlEdgeRight, xlInsideHorizontal, xlInsideVertical};

}  // namespace

// ---- One border --------------------------------------------------------------------

TXLSBorder::TXLSBorder(TXLSRange& range, int32_t border_index)
    : XLSImplements(true), Keep(range.KeepAlive()), Range(range), BorderIndex(border_index) {}

TXLSColor TXLSBorder::GetColor() {
  return Range.GetWorkbook().GetCustomColor(GetColorIndex());
}
int32_t TXLSBorder::GetColorIndex() {
  return Range.GetBorderColorIndex(BorderIndex);
}
int32_t TXLSBorder::GetLineStyle() {
  return Range.GetBorderLineStyle(BorderIndex);
}
int32_t TXLSBorder::GetWeight() {
  return Range.GetBorderWeight(BorderIndex);
}
void TXLSBorder::SetColor(TXLSColor color) {
  SetColorIndex(Range.GetWorkbook().GetCustomColorIndex(color));
}
void TXLSBorder::SetColorIndex(int32_t index) {
  Range.SetBorderColorIndex(BorderIndex, index);
}
void TXLSBorder::SetLineStyle(int32_t line_style) {
  Range.SetBorderLineStyle(BorderIndex, line_style);
}
void TXLSBorder::SetWeight(int32_t weight) {
  Range.SetBorderWeight(BorderIndex, weight);
}

// ---- All borders -------------------------------------------------------------------

TXLSBorders::TXLSBorders(TXLSRange& range)
    : XLSImplements(true), Keep(range.KeepAlive()), Range(range) {}

template <class TSet>
void TXLSBorders::ForEachBorder(TSet set) {
  for (int32_t index : kBorderOrder) {
    TXLSBorder border(Range, index);
    set(border);
  }
}

TXLSColor TXLSBorders::GetColor() {
  return Range.GetWorkbook().GetCustomColor(GetColorIndex());
}
int32_t TXLSBorders::GetColorIndex() {
  return Range.GetBorderColorIndex(xlEdgeTop);
}
int32_t TXLSBorders::GetLineStyle() {
  return Range.GetBorderLineStyle(xlEdgeTop);
}
int32_t TXLSBorders::GetWeight() {
  return Range.GetBorderWeight(xlEdgeTop);
}
void TXLSBorders::SetColor(TXLSColor color) {
  ForEachBorder([color](TXLSBorder& border) { border.SetColor(color); });
}
void TXLSBorders::SetColorIndex(int32_t index) {
  ForEachBorder([index](TXLSBorder& border) { border.SetColorIndex(index); });
}
void TXLSBorders::SetLineStyle(int32_t line_style) {
  ForEachBorder([line_style](TXLSBorder& border) { border.SetLineStyle(line_style); });
}
void TXLSBorders::SetWeight(int32_t weight) {
  ForEachBorder([weight](TXLSBorder& border) { border.SetWeight(weight); });
}

XLSPtr<IXLSBorder> TXLSBorders::GetBorder(int32_t border_index) {
  return XLSPtr<IXLSBorder>(new TXLSBorder(Range, border_index));
}

}  // namespace tabulon
