// The borders of a range as the caller sees them: TXLSBorders sets all six
// borders of a range at once (and hands out single ones), TXLSBorder is one
// border by its index (xlEdgeLeft .. xlInsideHorizontal). Both forward to
// their range, which keeps every line on one cell only.
#pragma once

#include <cstdint>

#include "XLSInterfaces.h"
#include "XLSObject.h"

namespace tabulon {

class TXLSRange;

// Like the font and fill companions, both keep their range alive
// (TXLSRange::KeepAlive).
class TXLSBorder : public XLSImplements<IXLSBorder> {
 public:
  TXLSBorder(TXLSRange& range, int32_t border_index);

  TXLSColor GetColor() override;
  // Border colour indexes are the caller's 1 to 56 (and xlColorIndexNone,
  // xlColorIndexAutomatic) as they are.
  int32_t GetColorIndex() override;
  int32_t GetLineStyle() override;
  // The nearest palette colour.
  void SetColor(TXLSColor color) override;
  void SetColorIndex(int32_t index) override;
  void SetLineStyle(int32_t line_style) override;
  int32_t GetWeight() override;
  void SetWeight(int32_t weight) override;

 private:
  XLSPtr<IXLSRange> keep_;
  TXLSRange& range_;
  int32_t borderIndex_;
};

// Getters report the top edge; setters apply to the top, left, bottom and
// right edges and then the inside horizontal and vertical lines.
class TXLSBorders : public XLSImplements<IXLSBorders> {
 public:
  explicit TXLSBorders(TXLSRange& range);

  TXLSColor GetColor() override;
  int32_t GetColorIndex() override;
  int32_t GetLineStyle() override;
  void SetColor(TXLSColor color) override;
  void SetColorIndex(int32_t index) override;
  void SetLineStyle(int32_t line_style) override;
  int32_t GetWeight() override;
  void SetWeight(int32_t weight) override;
  XLSPtr<IXLSBorder> GetBorder(int32_t border_index) override;

 private:
  // Runs set on a short-lived single border for each of the six borders.
  template <class TSet>
  void ForEachBorder(TSet set);

  XLSPtr<IXLSRange> keep_;
  TXLSRange& range_;
};

}  // namespace tabulon
