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

TXLSFont::TXLSFont(TXLSRange& range)
    : XLSImplements(true), keep_(range.KeepAlive()), range_(range) {}

std::string TXLSFont::GetName() {
  return range_.GetFontName();
}
float TXLSFont::GetSize() {
  return range_.GetFontSize();
}
bool TXLSFont::GetBold() {
  return range_.GetFontBold();
}
bool TXLSFont::GetItalic() {
  return range_.GetFontItalic();
}
bool TXLSFont::GetStrikethrough() {
  return range_.GetFontStrikethrough();
}
bool TXLSFont::GetOutLineFont() {
  return range_.GetFontOutLineFont();
}
bool TXLSFont::GetShadow() {
  return range_.GetFontShadow();
}
bool TXLSFont::GetSubScript() {
  return range_.GetFontSubScript();
}
bool TXLSFont::GetSuperScript() {
  return range_.GetFontSuperScript();
}
void TXLSFont::SetSize(float points) {
  range_.SetFontSize(points);
}
void TXLSFont::SetBold(bool bold) {
  range_.SetFontBold(bold);
}
void TXLSFont::SetItalic(bool italic) {
  range_.SetFontItalic(italic);
}
void TXLSFont::SetStrikethrough(bool strikethrough) {
  range_.SetFontStrikethrough(strikethrough);
}
void TXLSFont::SetOutLineFont(bool outline) {
  range_.SetFontOutLineFont(outline);
}
void TXLSFont::SetShadow(bool shadow) {
  range_.SetFontShadow(shadow);
}
void TXLSFont::SetSubScript(bool subscript) {
  range_.SetFontSubScript(subscript);
}
void TXLSFont::SetSuperScript(bool superscript) {
  range_.SetFontSuperScript(superscript);
}
void TXLSFont::SetName(const std::string& name) {
  range_.SetFontName(name);
}

uint16_t TXLSFont::GetColorIndex() {
  const int32_t stored = range_.GetFontColorIndex();
  return static_cast<uint16_t>(stored <= kPaletteOffset ? stored : stored - kPaletteOffset);
}

void TXLSFont::SetColorIndex(uint16_t index) {
  range_.SetFontColorIndex(index == 0 ? 0 : static_cast<uint16_t>(index + kPaletteOffset));
}

TXLSColor TXLSFont::GetColor() {
  return range_.GetWorkbook().GetCustomColor(GetColorIndex());
}

void TXLSFont::SetColor(TXLSColor color) {
  SetColorIndex(static_cast<uint16_t>(range_.GetWorkbook().GetCustomColorIndex(color)));
}

int32_t TXLSFont::GetUnderLine() {
  const TCodePair* pair = ByStored(kUnderlines, range_.GetFontUnderLine());
  return pair ? pair->Constant : xlUnderlineStyleNone;
}

void TXLSFont::SetUnderLine(int32_t underline) {
  if (const TCodePair* pair = ByConstant(kUnderlines, underline))
    range_.SetFontUnderLine(pair->Stored);
}

// ---- Interior --------------------------------------------------------------------

TXLSInterior::TXLSInterior(TXLSRange& range)
    : XLSImplements(true), keep_(range.KeepAlive()), range_(range) {}

void TXLSInterior::SetColorIndex(int32_t index) {
  const int32_t stored = StoredFillColor(index, kStoredAutoCellColor);
  if (stored >= 0) range_.SetInteriorColor(stored);
}

void TXLSInterior::SetPatternColorIndex(int32_t index) {
  const int32_t stored = StoredFillColor(index, kStoredAutoPatternColor);
  if (stored >= 0) range_.SetInteriorPatternColor(stored);
}

int32_t TXLSInterior::GetColorIndex() {
  return FillColorIndex(range_.GetInteriorColor());
}

int32_t TXLSInterior::GetPatternColorIndex() {
  return FillColorIndex(range_.GetInteriorPatternColor());
}

void TXLSInterior::SetColor(TXLSColor color) {
  SetColorIndex(range_.GetWorkbook().GetCustomColorIndex(color));
}

TXLSColor TXLSInterior::GetColor() {
  return range_.GetWorkbook().GetCustomColor(GetColorIndex());
}

void TXLSInterior::SetPatternColor(TXLSColor color) {
  SetPatternColorIndex(range_.GetWorkbook().GetCustomColorIndex(color));
}

TXLSColor TXLSInterior::GetPatternColor() {
  return range_.GetWorkbook().GetCustomColor(GetPatternColorIndex());
}

// The automatic pattern is drawn as a solid fill; an unknown constant
// removes the fill.
void TXLSInterior::SetPattern(int32_t pattern) {
  if (pattern == xlPatternAutomatic) pattern = xlPatternSolid;
  const TCodePair* pair = ByConstant(kPatterns, pattern);
  range_.SetInteriorPattern(pair ? pair->Stored : 0);
}

int32_t TXLSInterior::GetPattern() {
  const TCodePair* pair = ByStored(kPatterns, range_.GetInteriorPattern());
  return pair ? pair->Constant : 0;
}

}  // namespace tabulon
