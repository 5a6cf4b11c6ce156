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
    : XLSImplements(true), keep_(range.KeepAlive()), range_(range), borderIndex_(border_index) {}

TXLSColor TXLSBorder::GetColor() {
  return range_.GetWorkbook().GetCustomColor(GetColorIndex());
}
int32_t TXLSBorder::GetColorIndex() {
  return range_.GetBorderColorIndex(borderIndex_);
}
int32_t TXLSBorder::GetLineStyle() {
  return range_.GetBorderLineStyle(borderIndex_);
}
int32_t TXLSBorder::GetWeight() {
  return range_.GetBorderWeight(borderIndex_);
}
void TXLSBorder::SetColor(TXLSColor color) {
  SetColorIndex(range_.GetWorkbook().GetCustomColorIndex(color));
}
void TXLSBorder::SetColorIndex(int32_t index) {
  range_.SetBorderColorIndex(borderIndex_, index);
}
void TXLSBorder::SetLineStyle(int32_t line_style) {
  range_.SetBorderLineStyle(borderIndex_, line_style);
}
void TXLSBorder::SetWeight(int32_t weight) {
  range_.SetBorderWeight(borderIndex_, weight);
}

// ---- All borders -------------------------------------------------------------------

TXLSBorders::TXLSBorders(TXLSRange& range)
    : XLSImplements(true), keep_(range.KeepAlive()), range_(range) {}

template <class TSet>
void TXLSBorders::ForEachBorder(TSet set) {
  for (int32_t index : kBorderOrder) {
    TXLSBorder border(range_, index);
    set(border);
  }
}

TXLSColor TXLSBorders::GetColor() {
  return range_.GetWorkbook().GetCustomColor(GetColorIndex());
}
int32_t TXLSBorders::GetColorIndex() {
  return range_.GetBorderColorIndex(xlEdgeTop);
}
int32_t TXLSBorders::GetLineStyle() {
  return range_.GetBorderLineStyle(xlEdgeTop);
}
int32_t TXLSBorders::GetWeight() {
  return range_.GetBorderWeight(xlEdgeTop);
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
  return XLSPtr<IXLSBorder>(new TXLSBorder(range_, border_index));
}

}  // namespace tabulon
