#include "XLSFontInterior.h"

#include <algorithm>
#include <iterator>

#include "XLSConstants.h"
#include "XLSRange.h"
#include "XLSWorkbook.h"

namespace tabulon {

namespace {

// Caller colour index 1 is palette index 8: the first eight palette entries
// repeat the basic colours and are not addressed by callers.
constexpr int32_t kPaletteOffset = 7;
// Stored fill colours of the automatic pattern and cell colours.
constexpr int32_t kStoredAutoPatternColor = 64;
constexpr int32_t kStoredAutoCellColor = 65;
constexpr int32_t kLastCustomColor = 56;

struct TCodePair {
  int32_t Constant;
  int32_t Stored;
};

constexpr TCodePair kUnderlines[] = {
    {xlUnderlineStyleNone, 0},
    {xlUnderlineStyleSingle, 1},
    {xlUnderlineStyleDouble, 2},
    {xlUnderlineStyleSingleAccounting, 0x21},
    {xlUnderlineStyleDoubleAccounting, 0x22},
};

constexpr TCodePair kPatterns[] = {
    {xlPatternNone, 0},           {xlPatternSolid, 1},       {xlPatternGray50, 2},
    {xlPatternGray75, 3},         {xlPatternGray25, 4},      {xlPatternHorizontal, 5},
    {xlPatternVertical, 6},       {xlPatternDown, 7},        {xlPatternUp, 8},
    {xlPatternChecker, 9},        {xlPatternSemiGray75, 10}, {xlPatternLightHorizontal, 11},
    {xlPatternLightVertical, 12}, {xlPatternLightDown, 13},  {xlPatternLightUp, 14},
    {xlPatternGrid, 15},          {xlPatternCrissCross, 16}, {xlPatternGray16, 17},
    {xlPatternGray8, 18},
};

template <size_t N>
const TCodePair* ByConstant(const TCodePair (&table)[N], int32_t constant) {
  const auto* found =
      std::find_if(std::begin(table), std::end(table),
                   [constant](const TCodePair& p) { return p.Constant == constant; });
  return found == std::end(table) ? nullptr : found;
}

template <size_t N>
const TCodePair* ByStored(const TCodePair (&table)[N], int32_t stored) {
  const auto* found = std::find_if(std::begin(table), std::end(table),
                                   [stored](const TCodePair& p) { return p.Stored == stored; });
  return found == std::end(table) ? nullptr : found;
}

// Stored fill colour of a caller index, or -1 for an index the fill does not
// take. automatic is the stored automatic colour of the side being set.
int32_t StoredFillColor(int32_t index, int32_t automatic) {
  if (index == xlColorIndexAutomatic) return automatic;
  if (index == 0 || index == xlColorIndexNone) return 0;
  if (index >= 1 && index <= kLastCustomColor) return index + kPaletteOffset;
  return -1;
}

int32_t FillColorIndex(int32_t stored) {
  if (stored == kStoredAutoPatternColor || stored == kStoredAutoCellColor)
    return xlColorIndexAutomatic;
  if (stored == 0) return xlColorIndexNone;
  return stored <= kPaletteOffset ? stored : stored - kPaletteOffset;
}

}  // namespace

// ---- Font ------------------------------------------------------------------------

TXLSFont::TXLSFont(TXLSRange& range) : XLSImplements(true), Keep(range.KeepAlive()), Range(range) {}

std::string TXLSFont::GetName() {
  return Range.GetFontName();
}
float TXLSFont::GetSize() {
  return Range.GetFontSize();
}
bool TXLSFont::GetBold() {
  return Range.GetFontBold();
}
bool TXLSFont::GetItalic() {
  return Range.GetFontItalic();
}
bool TXLSFont::GetStrikethrough() {
  return Range.GetFontStrikethrough();
}
bool TXLSFont::GetOutLineFont() {
  return Range.GetFontOutLineFont();
}
bool TXLSFont::GetShadow() {
  return Range.GetFontShadow();
}
bool TXLSFont::GetSubScript() {
  return Range.GetFontSubScript();
}
bool TXLSFont::GetSuperScript() {
  return Range.GetFontSuperScript();
}
void TXLSFont::SetSize(float points) {
  Range.SetFontSize(points);
}
void TXLSFont::SetBold(bool bold) {
  Range.SetFontBold(bold);
}
void TXLSFont::SetItalic(bool italic) {
  Range.SetFontItalic(italic);
}
void TXLSFont::SetStrikethrough(bool strikethrough) {
  Range.SetFontStrikethrough(strikethrough);
}
void TXLSFont::SetOutLineFont(bool outline) {
  Range.SetFontOutLineFont(outline);
}
void TXLSFont::SetShadow(bool shadow) {
  Range.SetFontShadow(shadow);
}
void TXLSFont::SetSubScript(bool subscript) {
  Range.SetFontSubScript(subscript);
}
void TXLSFont::SetSuperScript(bool superscript) {
  Range.SetFontSuperScript(superscript);
}
void TXLSFont::SetName(const std::string& name) {
  Range.SetFontName(name);
}

uint16_t TXLSFont::GetColorIndex() {
  const int32_t stored = Range.GetFontColorIndex();
  return static_cast<uint16_t>(stored <= kPaletteOffset ? stored : stored - kPaletteOffset);
}

void TXLSFont::SetColorIndex(uint16_t index) {
  Range.SetFontColorIndex(index == 0 ? 0 : static_cast<uint16_t>(index + kPaletteOffset));
}

TXLSColor TXLSFont::GetColor() {
  return Range.GetWorkbook().GetCustomColor(GetColorIndex());
}

void TXLSFont::SetColor(TXLSColor color) {
  SetColorIndex(static_cast<uint16_t>(Range.GetWorkbook().GetCustomColorIndex(color)));
}

int32_t TXLSFont::GetUnderLine() {
  const TCodePair* pair = ByStored(kUnderlines, Range.GetFontUnderLine());
  return pair ? pair->Constant : xlUnderlineStyleNone;
}

void TXLSFont::SetUnderLine(int32_t underline) {
  if (const TCodePair* pair = ByConstant(kUnderlines, underline))
    Range.SetFontUnderLine(pair->Stored);
}

// ---- Interior --------------------------------------------------------------------

TXLSInterior::TXLSInterior(TXLSRange& range)
    : XLSImplements(true), Keep(range.KeepAlive()), Range(range) {}

void TXLSInterior::SetColorIndex(int32_t index) {
  const int32_t stored = StoredFillColor(index, kStoredAutoCellColor);
  if (stored >= 0) Range.SetInteriorColor(stored);
}

void TXLSInterior::SetPatternColorIndex(int32_t index) {
  const int32_t stored = StoredFillColor(index, kStoredAutoPatternColor);
  if (stored >= 0) Range.SetInteriorPatternColor(stored);
}

int32_t TXLSInterior::GetColorIndex() {
  return FillColorIndex(Range.GetInteriorColor());
}

int32_t TXLSInterior::GetPatternColorIndex() {
  return FillColorIndex(Range.GetInteriorPatternColor());
}

void TXLSInterior::SetColor(TXLSColor color) {
  SetColorIndex(Range.GetWorkbook().GetCustomColorIndex(color));
}

TXLSColor TXLSInterior::GetColor() {
  return Range.GetWorkbook().GetCustomColor(GetColorIndex());
}

void TXLSInterior::SetPatternColor(TXLSColor color) {
  SetPatternColorIndex(Range.GetWorkbook().GetCustomColorIndex(color));
}

TXLSColor TXLSInterior::GetPatternColor() {
  return Range.GetWorkbook().GetCustomColor(GetPatternColorIndex());
}

// The automatic pattern is drawn as a solid fill; an unknown constant
// removes the fill.
void TXLSInterior::SetPattern(int32_t pattern) {
  if (pattern == xlPatternAutomatic) pattern = xlPatternSolid;
  const TCodePair* pair = ByConstant(kPatterns, pattern);
  Range.SetInteriorPattern(pair ? pair->Stored : 0);
}

int32_t TXLSInterior::GetPattern() {
  const TCodePair* pair = ByStored(kPatterns, Range.GetInteriorPattern());
  return pair ? pair->Constant : 0;
}

}  // namespace tabulon
