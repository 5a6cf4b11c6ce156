// Border and fill properties of the cell-format table.
#include <utility>

#include "XLSConstants.h"
#include "XLSXFLayout.h"
#include "xlsxf.h"

namespace tabulon {

using namespace xfkey;

namespace {

// Stored edge colours besides the palette's 8 to 63.
constexpr uint8_t kStoredNoColor = 0;
constexpr uint8_t kStoredAutomatic = 64;
constexpr int32_t kPaletteOffset = 7;  // caller index 1 is palette index 8

// Stored fill: no pattern, foreground 64, background 65.
constexpr uint8_t kPatternNone = 0;
constexpr uint8_t kPatternSolid = 1;
constexpr uint8_t kDefaultFore = 64;
constexpr uint8_t kDefaultBack = 65;

struct TLineStyle {
  int32_t Style;
  int32_t Weight;
};

// Line style and weight of each stored code.
constexpr TLineStyle kLineStyles[] = {
    {xlLineStyleNone, xlThin}, {xlContinuous, xlThin},
    {xlContinuous, xlMedium},  {xlDash, xlThin},
    {xlDot, xlThin},           {xlContinuous, xlThick},
    {xlDouble, xlThin},        {xlContinuous, xlHairline},
    {xlDash, xlMedium},        {xlDashDot, xlThin},
    {xlDashDot, xlMedium},     {xlDashDotDot, xlThin},
    {xlDashDotDot, xlMedium},  {xlSlantDashDot, xlMedium},
};
constexpr uint8_t kLineStyleCount = sizeof(kLineStyles) / sizeof(kLineStyles[0]);

const TLineStyle& LineStyleOf(uint8_t code) {
  return code < kLineStyleCount ? kLineStyles[code] : kLineStyles[0];
}

// The code of line style L with the weight W an edge keeps.
uint8_t CodeForLineStyle(int32_t L, int32_t W) {
  const bool medium = W == xlMedium;
  switch (L) {
    case xlLineStyleNone:
      return 0;
    case xlContinuous:
      if (medium) return 2;
      if (W == xlHairline) return 7;
      return W == xlThick ? 5 : 1;
    case xlDouble:
      return 6;
    case xlDot:
      return 4;
    case xlDash:
      return medium ? 8 : 3;
    case xlDashDot:
      return medium ? 10 : 9;
    case xlDashDotDot:
      return medium ? 12 : 11;
    case xlSlantDashDot:
      return 12;
    default:
      return 0;
  }
}

// The code of weight W with the line style L an edge keeps.
uint8_t CodeForWeight(int32_t L, int32_t W) {
  switch (W) {
    case xlMedium:
      if (L == xlDash) return 8;
      if (L == xlDashDot) return 10;
      return (L == xlDashDotDot || L == xlSlantDashDot) ? 12 : 2;
    case xlHairline:
      return 7;
    case xlThin:
      switch (L) {
        case xlDash:
          return 3;
        case xlDouble:
          return 6;
        case xlDot:
          return 4;
        case xlDashDot:
          return 9;
        case xlDashDotDot:
          return 11;
        default:
          return 1;
      }
    case xlThick:
      return 5;
    default:
      return 0;
  }
}

// The first edge the mask names, in the order left, right, top, bottom.
int FirstEdge(uint8_t mask) {
  for (int edge = edgeLeft; edge < kEdgeCount; ++edge) {
    if (mask & EdgeMask(edge)) return edge;
  }
  return kEdgeCount;
}

// Stored edge colour of a caller-facing border colour index, or -1 for a
// value the border model does not know.
int32_t StoredBorderColor(int32_t value) {
  if (value == xlColorIndexNone || value == 0) return kStoredNoColor;
  if (value == xlColorIndexAutomatic) return kStoredAutomatic;
  if (value >= 1 && value <= 56) return value + kPaletteOffset;
  return -1;
}

// Sets a line-style code on an edge. An edge that gets a line but has no
// colour shows the automatic colour; an edge cleared of its line loses its
// colour too.
void PutEdgeLine(TBorderWords& borders, int edge, uint8_t code, bool keep) {
  if (!keep) {
    borders.SetColor(edge, kStoredNoColor);
  } else if (borders.Color(edge) == kStoredNoColor) {
    borders.SetColor(edge, kStoredAutomatic);
  }
  borders.SetCode(edge, code & 0x0F);
}

void ResetFill(TFill& fill) {
  fill.Pattern = kPatternNone;
  fill.Fore = kDefaultFore;
  fill.Back = kDefaultBack;
}

// The interior colour is a solid fill's foreground and a patterned fill's
// background; the pattern colour is the other one. A fill without a pattern
// becomes solid, keeping its previous colour on the other side. Index 0
// removes the fill.
void PutFillColor(TFill& fill, int32_t value, bool patternColor) {
  if (value == 0) return ResetFill(fill);
  if (fill.Pattern == kPatternNone) {
    fill.Pattern = kPatternSolid;
    if (patternColor) {
      fill.Fore = fill.Back;
    } else {
      fill.Back = fill.Fore;
    }
  }
  const bool solid = fill.Pattern == kPatternSolid;
  uint8_t& target = solid != patternColor ? fill.Fore : fill.Back;
  target = value & 0x7F;
}

}  // namespace

int32_t GetLineStyleFromBorderStyle(uint8_t Code) {
  return LineStyleOf(Code).Style;
}

int32_t GetWeightFromBorderStyle(uint8_t Code) {
  return LineStyleOf(Code).Weight;
}

uint8_t GetXFBorderLineStyle(int32_t L, int32_t W, bool FromLineStyle) {
  return FromLineStyle ? CodeForLineStyle(L, W) : CodeForWeight(L, W);
}

// --- Borders ---------------------------------------------------------------

template <typename TEdit>
int32_t TXLSXFList::ChangeBorders(int32_t XFIndex, uint8_t BorderMask, bool ReplaceIndex,
                                  TEdit Edit) {
  if ((BorderMask & 0x0F) == 0) return Unchanged(XFIndex, ReplaceIndex);
  TBorderWords borders(GetBorderBlock(XFIndex));
  for (int edge = edgeLeft; edge < kEdgeCount; ++edge) {
    if (BorderMask & EdgeMask(edge)) Edit(borders, edge);
  }
  return SetBorderBlock(XFIndex, borders.ToBlock(), ReplaceIndex);
}

int32_t TXLSXFList::SetBorderLineStyle(int32_t XFIndex, uint8_t BorderMask, const OleVariant& Value,
                                       bool ReplaceIndex) {
  const int32_t style = Value.ToInt();
  const bool keep = style != xlLineStyleNone;
  return ChangeBorders(XFIndex, BorderMask, ReplaceIndex, [=](TBorderWords& borders, int edge) {
    const int32_t weight = GetWeightFromBorderStyle(borders.Code(edge));
    PutEdgeLine(borders, edge, GetXFBorderLineStyle(style, weight, true), keep);
  });
}

int32_t TXLSXFList::SetBorderWeight(int32_t XFIndex, uint8_t BorderMask, const OleVariant& Value,
                                    bool ReplaceIndex) {
  const int32_t weight = Value.ToInt();
  return ChangeBorders(XFIndex, BorderMask, ReplaceIndex, [=](TBorderWords& borders, int edge) {
    const int32_t style = GetLineStyleFromBorderStyle(borders.Code(edge));
    PutEdgeLine(borders, edge, GetXFBorderLineStyle(style, weight, false), true);
  });
}

int32_t TXLSXFList::SetBorderColorIndex(int32_t XFIndex, uint8_t BorderMask,
                                        const OleVariant& Value, bool ReplaceIndex) {
  const int32_t stored = StoredBorderColor(Value.ToInt());
  if (stored < 0) return Unchanged(XFIndex, ReplaceIndex);
  const uint8_t color = static_cast<uint8_t>(stored);
  return ChangeBorders(XFIndex, BorderMask, ReplaceIndex, [=](TBorderWords& borders, int edge) {
    if (color == kStoredNoColor) {
      borders.SetCode(edge, 0);
    } else if (borders.Code(edge) == 0) {
      borders.SetCode(edge, 1);  // a coloured edge without a line gets a thin one
    }
    borders.SetColor(edge, color);
  });
}

int32_t TXLSXFList::GetBorderLineStyle(int32_t XFIndex, uint8_t BorderMask) const {
  const int edge = FirstEdge(BorderMask);
  if (edge == kEdgeCount) return GetLineStyleFromBorderStyle(0);
  return GetLineStyleFromBorderStyle(TBorderWords(GetBorderBlock(XFIndex)).Code(edge));
}

int32_t TXLSXFList::GetBorderWeight(int32_t XFIndex, uint8_t BorderMask) const {
  const int edge = FirstEdge(BorderMask);
  if (edge == kEdgeCount) return GetWeightFromBorderStyle(0);
  return GetWeightFromBorderStyle(TBorderWords(GetBorderBlock(XFIndex)).Code(edge));
}

int32_t TXLSXFList::GetBorderColorIndex(int32_t XFIndex, uint8_t BorderMask) const {
  const int edge = FirstEdge(BorderMask);
  const uint8_t color =
      edge == kEdgeCount ? kStoredNoColor : TBorderWords(GetBorderBlock(XFIndex)).Color(edge);
  if (color == kStoredNoColor) return xlColorIndexNone;
  if (color == kStoredAutomatic) return xlColorIndexAutomatic;
  return color <= kPaletteOffset ? color : color - kPaletteOffset;
}

// --- Fill ------------------------------------------------------------------
// With a solid fill the cell shows the foreground colour and the pattern
// colour is the background one; any other pattern is drawn the other way
// round.

template <typename TEdit>
int32_t TXLSXFList::ChangeFill(int32_t XFIndex, bool ReplaceIndex, TEdit Edit) {
  TFill fill(GetBackgroundBlock(XFIndex));
  Edit(fill);
  return SetBackgroundBlock(XFIndex, fill.ToBlock(), ReplaceIndex);
}

int32_t TXLSXFList::SetInteriorPattern(int32_t XFIndex, const OleVariant& Value,
                                       bool ReplaceIndex) {
  const int32_t value = Value.ToInt();
  return ChangeFill(XFIndex, ReplaceIndex, [value](TFill& fill) {
    if (value == 0) return ResetFill(fill);
    // Swapping keeps the visible cell colour and pattern colour when a fill
    // turns from solid to patterned or back.
    const bool wasSolid = fill.Pattern == kPatternSolid;
    const bool becomesSolid = value == kPatternSolid;
    if (wasSolid != becomesSolid) std::swap(fill.Fore, fill.Back);
    fill.Pattern = value & 0x7F;
  });
}

int32_t TXLSXFList::SetInteriorColorIndex(int32_t XFIndex, const OleVariant& Value,
                                          bool ReplaceIndex) {
  const int32_t value = Value.ToInt();
  return ChangeFill(XFIndex, ReplaceIndex,
                    [value](TFill& fill) { PutFillColor(fill, value, false); });
}

int32_t TXLSXFList::SetInteriorPatternColorIndex(int32_t XFIndex, const OleVariant& Value,
                                                 bool ReplaceIndex) {
  const int32_t value = Value.ToInt();
  return ChangeFill(XFIndex, ReplaceIndex,
                    [value](TFill& fill) { PutFillColor(fill, value, true); });
}

uint8_t TXLSXFList::GetInteriorPattern(int32_t XFIndex) const {
  return TFill(GetBackgroundBlock(XFIndex)).Pattern & 0x7F;
}

uint8_t TXLSXFList::GetInteriorColorIndex(int32_t XFIndex) const {
  const TFill fill(GetBackgroundBlock(XFIndex));
  if (fill.Pattern == kPatternNone) return 0;
  return fill.Pattern == kPatternSolid ? fill.Fore : fill.Back;
}

uint8_t TXLSXFList::GetInteriorPatternColorIndex(int32_t XFIndex) const {
  const TFill fill(GetBackgroundBlock(XFIndex));
  if (fill.Pattern == kPatternNone) return 0;
  return fill.Pattern == kPatternSolid ? fill.Back : fill.Fore;
}

}  // namespace tabulon
