#include <cmath>

#include "XLSConstants.h"
#include "XLSRecordEncoder.h"
#include "XLSRecordIds.h"
#include "xlsxf.h"

namespace tabulon {

namespace {

constexpr int32_t kFixedFonts = 4;
constexpr uint32_t kAutomaticColorIndex = 0x7FFF;

// Character positions (from 0) of the font key fields.
constexpr size_t kHeightPos = 0;
constexpr size_t kColorPos = 4;
constexpr size_t kBoldPos = 8;
constexpr size_t kItalicPos = 9;
constexpr size_t kStrikePos = 10;
constexpr size_t kOutlinePos = 11;
constexpr size_t kShadowPos = 12;
constexpr size_t kUnderlinePos = 13;
constexpr size_t kSubScriptPos = 15;
constexpr size_t kSuperScriptPos = 16;
constexpr size_t kFamilyPos = 17;
constexpr size_t kCharSetPos = 19;
constexpr size_t kNamePos = 21;

// 200 twips (10 points), colour 0, no attributes, Arial.
constexpr char kDefaultFontKey[] = "00C800000000000000000Arial";

uint32_t Field(const std::string& key, size_t pos, size_t width) {
  return ReadHexField(key, pos, width);
}

bool Flag(const std::string& key, size_t pos) {
  return Field(key, pos, 1) == 1;
}

// The attribute fields of a key, padded should the key be short, ready to
// have one field replaced.
std::string EditableKey(const std::string& key) {
  std::string result = key;
  if (result.size() < kNamePos) result.resize(kNamePos, '0');
  return result;
}

// Twips of a point size, halves to even, kept inside the 4-digit field.
uint32_t TwipsOf(float points) {
  const double twips = std::nearbyint(static_cast<double>(points) * 20.0);
  if (!(twips > 0)) return 0;
  return twips > 0xFFFF ? 0xFFFF : static_cast<uint32_t>(twips);
}

}  // namespace

TXLSFontList::TXLSFontList() {
  SetFirstIndex(0);
  SetFixedCount(kFixedFonts);
  SetDefaultKey(kDefaultFontKey);
}

double TXLSFontList::GetSize(int32_t FontIndex) const {
  return Field(GetKey(FontIndex), kHeightPos, 4) / 20.0;
}

int32_t TXLSFontList::GetColorIndex(int32_t FontIndex) const {
  const uint32_t color = Field(GetKey(FontIndex), kColorPos, 4);
  return color == kAutomaticColorIndex ? xlColorIndexAutomatic : static_cast<int32_t>(color);
}

bool TXLSFontList::GetBold(int32_t FontIndex) const {
  return Flag(GetKey(FontIndex), kBoldPos);
}
bool TXLSFontList::GetItalic(int32_t FontIndex) const {
  return Flag(GetKey(FontIndex), kItalicPos);
}
bool TXLSFontList::GetStrikethrough(int32_t FontIndex) const {
  return Flag(GetKey(FontIndex), kStrikePos);
}
bool TXLSFontList::GetOutLineFont(int32_t FontIndex) const {
  return Flag(GetKey(FontIndex), kOutlinePos);
}
bool TXLSFontList::GetShadow(int32_t FontIndex) const {
  return Flag(GetKey(FontIndex), kShadowPos);
}
bool TXLSFontList::GetSubScript(int32_t FontIndex) const {
  return Flag(GetKey(FontIndex), kSubScriptPos);
}
bool TXLSFontList::GetSuperScript(int32_t FontIndex) const {
  return Flag(GetKey(FontIndex), kSuperScriptPos);
}
uint8_t TXLSFontList::GetUnderLine(int32_t FontIndex) const {
  return static_cast<uint8_t>(Field(GetKey(FontIndex), kUnderlinePos, 2));
}
uint8_t TXLSFontList::GetFamily(int32_t FontIndex) const {
  return static_cast<uint8_t>(Field(GetKey(FontIndex), kFamilyPos, 2));
}
uint8_t TXLSFontList::GetCharSet(int32_t FontIndex) const {
  return static_cast<uint8_t>(Field(GetKey(FontIndex), kCharSetPos, 2));
}

std::string TXLSFontList::GetName(int32_t FontIndex) const {
  const std::string& key = GetKey(FontIndex);
  return key.size() > kNamePos ? key.substr(kNamePos) : std::string();
}

int32_t TXLSFontList::SetField(int32_t FontIndex, size_t Pos, size_t Width, uint32_t Value) {
  std::string key = EditableKey(GetKey(FontIndex));
  WriteHexField(&key[Pos], Width, Value);
  return SetKey(FontIndex, key);
}

int32_t TXLSFontList::SetFlag(int32_t FontIndex, size_t Pos, bool Value) {
  return SetField(FontIndex, Pos, 1, Value ? 1 : 0);
}

int32_t TXLSFontList::SetSize(int32_t FontIndex, float Points) {
  return SetField(FontIndex, kHeightPos, 4, TwipsOf(Points));
}

int32_t TXLSFontList::SetColorIndex(int32_t FontIndex, int32_t ColorIndex) {
  const uint32_t stored = ColorIndex == xlColorIndexAutomatic ? kAutomaticColorIndex
                                                              : static_cast<uint32_t>(ColorIndex);
  return SetField(FontIndex, kColorPos, 4, stored);
}

int32_t TXLSFontList::SetBold(int32_t FontIndex, bool Value) {
  return SetFlag(FontIndex, kBoldPos, Value);
}
int32_t TXLSFontList::SetItalic(int32_t FontIndex, bool Value) {
  return SetFlag(FontIndex, kItalicPos, Value);
}
int32_t TXLSFontList::SetStrikethrough(int32_t FontIndex, bool Value) {
  return SetFlag(FontIndex, kStrikePos, Value);
}
int32_t TXLSFontList::SetOutLineFont(int32_t FontIndex, bool Value) {
  return SetFlag(FontIndex, kOutlinePos, Value);
}
int32_t TXLSFontList::SetShadow(int32_t FontIndex, bool Value) {
  return SetFlag(FontIndex, kShadowPos, Value);
}
int32_t TXLSFontList::SetSubScript(int32_t FontIndex, bool Value) {
  return SetFlag(FontIndex, kSubScriptPos, Value);
}
int32_t TXLSFontList::SetSuperScript(int32_t FontIndex, bool Value) {
  return SetFlag(FontIndex, kSuperScriptPos, Value);
}
int32_t TXLSFontList::SetUnderLine(int32_t FontIndex, uint8_t Value) {
  return SetField(FontIndex, kUnderlinePos, 2, Value);
}
int32_t TXLSFontList::SetFamily(int32_t FontIndex, uint8_t Value) {
  return SetField(FontIndex, kFamilyPos, 2, Value);
}
int32_t TXLSFontList::SetCharSet(int32_t FontIndex, uint8_t Value) {
  return SetField(FontIndex, kCharSetPos, 2, Value);
}

int32_t TXLSFontList::SetName(int32_t FontIndex, const std::string& Name) {
  std::string key = EditableKey(GetKey(FontIndex));
  key.replace(kNamePos, std::string::npos, Name);
  return SetKey(FontIndex, key);
}

int32_t TXLSFontList::GetFont(int32_t i, TXLSBlobList& List,
                              const TXLSRecordEncoder& encoder) const {
  const TXLSKeyEntry* entry = ReferredItem(i);
  if (entry == nullptr) return -1;
  const std::string& key = entry->Key;
  const bool bold = Flag(key, kBoldPos);
  TXLSFontFields font;
  // Readers take bold from bit 0 or from the weight, so both say it.
  font.Attributes = bold ? 0x01 : 0;
  if (Flag(key, kItalicPos)) font.Attributes |= 0x02;
  if (Flag(key, kStrikePos)) font.Attributes |= 0x08;
  if (Flag(key, kOutlinePos)) font.Attributes |= 0x10;
  if (Flag(key, kShadowPos)) font.Attributes |= 0x20;
  font.Height = static_cast<uint16_t>(Field(key, kHeightPos, 4));
  font.Color = static_cast<uint16_t>(Field(key, kColorPos, 4));
  font.Weight = bold ? 700 : 400;
  font.Escapement =
      static_cast<uint16_t>(Field(key, kSuperScriptPos, 1) + 2 * Field(key, kSubScriptPos, 1));
  font.Underline = static_cast<uint8_t>(Field(key, kUnderlinePos, 2));
  font.Family = static_cast<uint8_t>(Field(key, kFamilyPos, 2));
  font.CharSet = static_cast<uint8_t>(Field(key, kCharSetPos, 2));
  font.Name = KeyPart(key, kNamePos, std::string::npos);
  return List.Append(encoder.Font(font));
}

}  // namespace tabulon
