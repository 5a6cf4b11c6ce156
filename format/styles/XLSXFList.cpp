#include <algorithm>

#include "XLSRecordEncoder.h"
#include "XLSRecordIds.h"
#include "XLSXFLayout.h"
#include "xlsxf.h"

namespace tabulon {

using namespace xfkey;

namespace {

constexpr int32_t kFixedXFs = 16;
constexpr int32_t kLastStyleXF = 14;

// The Normal style, the further style formats 1 to 14 and the default cell
// format: font 0, number format 0, locked, bottom-aligned, no borders, no
// fill (foreground 64, background 65).
constexpr char kNormalStyleKey[] = "000000001FFFF20000000000000000000000020C000";
constexpr char kStyleKey[] = "000000001FFFF20000000000000000000000020C0F4";
constexpr char kDefaultCellKey[] = "000000001000020000000000000000000000020C000";

// The texts of the built-in currency formats 5 to 8.
constexpr int32_t kFirstCurrencyFormat = 5;
constexpr const char* kCurrencyFormats[] = {
    R"fmt(("$"#,##0_);("$"#,##0))fmt",
    R"fmt(("$"#,##0_);[Red]("$"#,##0))fmt",
    R"fmt(("$"#,##0.00_);("$"#,##0.00))fmt",
    R"fmt(("$"#,##0.00_);[Red]("$"#,##0.00))fmt",
};

constexpr uint8_t kLockedBit = 1;
constexpr uint8_t kHiddenBit = 2;
constexpr int32_t kMaxIndentLevel = 15;

// A cell-format key being edited, held on the stack.
using TXFKey = TXLSKeyBlock<TXLSXFList::kKeyLength>;

uint32_t Flags(std::string_view key) {
  return ReadHexField(key, kFlagsPos, kFlagsWidth);
}

}  // namespace

TXLSXFList::TXLSXFList() : styles_(*this) {
  SetFirstIndex(0);
  SetFixedCount(kFixedXFs);
  // Reads outside the table answer the default cell format.
  SetDefaultKey(kDefaultCellKey);
}

void TXLSXFList::CreateDefault() {
  styles_.AddBuiltinStyle(0, 0);
  int32_t format = kFirstCurrencyFormat;
  for (const char* text : kCurrencyFormats) numFormats_.SetItem(format++, text);
  for (int32_t i = 0; i < fonts_.FixedCount(); ++i) fonts_.SetKeyItem(i, fonts_.DefaultKey());
  fonts_.SetKeyIndex(fonts_.DefaultKey(), 0);
  SetKeyItem(0, kNormalStyleKey);
  for (int32_t i = 1; i <= kLastStyleXF; ++i) SetKeyItem(i, kStyleKey);
  SetKeyItem(kDefaultXF, kDefaultCellKey);
}

// --- Reading with inheritance ----------------------------------------------

int32_t TXLSXFList::Resolve(int32_t XFIndex) const {
  return XFIndex > 0 && XFIndex < Count() ? XFIndex : kDefaultXF;
}

const std::string& TXLSXFList::ParentKey(const std::string& Key) const {
  const uint32_t parent = ReadHexField(Key, kParentPos, kParentWidth);
  int32_t xf = parent == 0 ? 0 : styles_.GetXFIndex(static_cast<int32_t>(parent));
  if (xf < 0 || xf >= Count()) xf = 0;
  return GetKey(xf);
}

const std::string& TXLSXFList::SourceKey(int32_t XFIndex, uint8_t Group) const {
  const std::string& own = OwnKey(XFIndex);
  if (Flags(own) & Group) return own;
  const std::string& parent = ParentKey(own);
  return (Flags(parent) & Group) ? own : parent;
}

uint32_t TXLSXFList::InheritedField(int32_t XFIndex, uint8_t Group, size_t Pos,
                                    size_t Width) const {
  return ReadHexField(SourceKey(XFIndex, Group), Pos, Width);
}

int32_t TXLSXFList::GetFontIndex(int32_t XFIndex) const {
  return static_cast<int32_t>(InheritedField(XFIndex, kGroupFont, kFontPos, kFontWidth));
}

int32_t TXLSXFList::GetNumFormatIndex(int32_t XFIndex) const {
  return static_cast<int32_t>(
      InheritedField(XFIndex, kGroupNumFormat, kNumFormatPos, kNumFormatWidth));
}

uint8_t TXLSXFList::GetProtection(int32_t XFIndex) const {
  return static_cast<uint8_t>(InheritedField(XFIndex, kGroupProtection, kProtectionPos, 1));
}

xlsAlignBlock TXLSXFList::GetAlignBlock(int32_t XFIndex) const {
  return xlsAlignBlock(KeyPart(SourceKey(XFIndex, kGroupAlign), kAlignPos, 6));
}

xlsBorderBlock TXLSXFList::GetBorderBlock(int32_t XFIndex) const {
  return xlsBorderBlock(KeyPart(SourceKey(XFIndex, kGroupBorder), kBorderPos, 16));
}

xlsBackgroundBlock TXLSXFList::GetBackgroundBlock(int32_t XFIndex) const {
  return xlsBackgroundBlock(KeyPart(SourceKey(XFIndex, kGroupBackground), kBackgroundPos, 6));
}

bool TXLSXFList::GetFontBold(int32_t XFIndex) const {
  return fonts_.GetBold(GetFontIndex(XFIndex));
}
bool TXLSXFList::GetFontItalic(int32_t XFIndex) const {
  return fonts_.GetItalic(GetFontIndex(XFIndex));
}
bool TXLSXFList::GetFontStrikethrough(int32_t XFIndex) const {
  return fonts_.GetStrikethrough(GetFontIndex(XFIndex));
}
bool TXLSXFList::GetFontOutLineFont(int32_t XFIndex) const {
  return fonts_.GetOutLineFont(GetFontIndex(XFIndex));
}
bool TXLSXFList::GetFontShadow(int32_t XFIndex) const {
  return fonts_.GetShadow(GetFontIndex(XFIndex));
}
bool TXLSXFList::GetFontSubScript(int32_t XFIndex) const {
  return fonts_.GetSubScript(GetFontIndex(XFIndex));
}
bool TXLSXFList::GetFontSuperScript(int32_t XFIndex) const {
  return fonts_.GetSuperScript(GetFontIndex(XFIndex));
}
uint8_t TXLSXFList::GetFontUnderLine(int32_t XFIndex) const {
  return fonts_.GetUnderLine(GetFontIndex(XFIndex));
}
uint8_t TXLSXFList::GetFontFamily(int32_t XFIndex) const {
  return fonts_.GetFamily(GetFontIndex(XFIndex));
}
uint8_t TXLSXFList::GetFontCharSet(int32_t XFIndex) const {
  return fonts_.GetCharSet(GetFontIndex(XFIndex));
}
int32_t TXLSXFList::GetFontColorIndex(int32_t XFIndex) const {
  return fonts_.GetColorIndex(GetFontIndex(XFIndex));
}
double TXLSXFList::GetFontSize(int32_t XFIndex) const {
  return fonts_.GetSize(GetFontIndex(XFIndex));
}
std::string TXLSXFList::GetFontName(int32_t XFIndex) const {
  return fonts_.GetName(GetFontIndex(XFIndex));
}

std::string TXLSXFList::GetNumFormat(int32_t XFIndex) const {
  return numFormats_.GetItem(GetNumFormatIndex(XFIndex));
}

bool TXLSXFList::GetLocked(int32_t XFIndex) const {
  return (GetProtection(XFIndex) & kLockedBit) != 0;
}
bool TXLSXFList::GetHidden(int32_t XFIndex) const {
  return (GetProtection(XFIndex) & kHiddenBit) != 0;
}

uint8_t TXLSXFList::GetHorAlign(int32_t XFIndex) const {
  return GetAlignBlock(XFIndex).Field(kHorAlignDigit, 1) & 7;
}
uint8_t TXLSXFList::GetVerAlign(int32_t XFIndex) const {
  return GetAlignBlock(XFIndex).Field(kVerAlignDigit, 1) & 7;
}
bool TXLSXFList::GetWrap(int32_t XFIndex) const {
  return (GetAlignBlock(XFIndex).Field(kHorAlignDigit, 1) & kWrapBit) != 0;
}
uint8_t TXLSXFList::GetOrientation(int32_t XFIndex) const {
  return static_cast<uint8_t>(GetAlignBlock(XFIndex).Field(kOrientationDigit, kOrientationWidth));
}
bool TXLSXFList::GetShrinkToFit(int32_t XFIndex) const {
  return (GetAlignBlock(XFIndex).Field(kShrinkDigit, 1) & 1) != 0;
}
uint8_t TXLSXFList::GetIndentLevel(int32_t XFIndex) const {
  return static_cast<uint8_t>(GetAlignBlock(XFIndex).Field(kIndentDigit, 1));
}

bool TXLSXFList::GetBordersDefined(int32_t XFIndex) const {
  return (Flags(OwnKey(XFIndex)) & kGroupBorder) != 0;
}

// --- Changing one field ----------------------------------------------------

int32_t TXLSXFList::ChangeKeyField(int32_t XFIndex, size_t Pos, std::string_view Text,
                                   uint8_t Group, bool ReplaceIndex) {
  const int32_t index = Resolve(XFIndex);
  TXFKey key(GetKey(index));
  key.SetText(Pos, Text);
  key.SetField(kFlagsPos, kFlagsWidth, key.Field(kFlagsPos, kFlagsWidth) | Group);
  return SetKey(ReplaceIndex ? index : 0, key.View());
}

int32_t TXLSXFList::Unchanged(int32_t XFIndex, bool ReplaceIndex) {
  // A moved reference stays where it was; a new one is counted here, as
  // every setter counts one on the index it answers.
  if (!ReplaceIndex) IncReferredCount(XFIndex);
  return XFIndex;
}

int32_t TXLSXFList::SetFontIndex(int32_t XFIndex, int32_t FontIndex, bool ReplaceIndex) {
  TXLSKeyBlock<kFontWidth> field;
  field.SetField(0, kFontWidth, static_cast<uint32_t>(FontIndex));
  return ChangeKeyField(XFIndex, kFontPos, field.View(), kGroupFont, ReplaceIndex);
}

int32_t TXLSXFList::SetNumFormatIndex(int32_t XFIndex, int32_t FormatIndex, bool ReplaceIndex) {
  TXLSKeyBlock<kNumFormatWidth> field;
  field.SetField(0, kNumFormatWidth, static_cast<uint32_t>(FormatIndex));
  return ChangeKeyField(XFIndex, kNumFormatPos, field.View(), kGroupNumFormat, ReplaceIndex);
}

int32_t TXLSXFList::SetProtection(int32_t XFIndex, uint8_t Protection, bool ReplaceIndex) {
  TXLSKeyBlock<1> field;
  field.SetField(0, 1, Protection);
  return ChangeKeyField(XFIndex, kProtectionPos, field.View(), kGroupProtection, ReplaceIndex);
}

int32_t TXLSXFList::SetAlignBlock(int32_t XFIndex, const xlsAlignBlock& Block, bool ReplaceIndex) {
  return ChangeKeyField(XFIndex, kAlignPos, Block.View(), kGroupAlign, ReplaceIndex);
}

int32_t TXLSXFList::SetBorderBlock(int32_t XFIndex, const xlsBorderBlock& Block,
                                   bool ReplaceIndex) {
  return ChangeKeyField(XFIndex, kBorderPos, Block.View(), kGroupBorder, ReplaceIndex);
}

int32_t TXLSXFList::SetBackgroundBlock(int32_t XFIndex, const xlsBackgroundBlock& Block,
                                       bool ReplaceIndex) {
  return ChangeKeyField(XFIndex, kBackgroundPos, Block.View(), kGroupBackground, ReplaceIndex);
}

// --- Font properties: a font differing in one property, then that font ------

template <typename TSetter, typename TValue>
int32_t TXLSXFList::ChangeFont(int32_t XFIndex, TSetter Setter, const TValue& Value,
                               bool ReplaceIndex) {
  const int32_t font = (fonts_.*Setter)(GetFontIndex(XFIndex), Value);
  return SetFontIndex(XFIndex, font, ReplaceIndex);
}

int32_t TXLSXFList::SetFontBold(int32_t XFIndex, const OleVariant& Value, bool ReplaceIndex) {
  return ChangeFont(XFIndex, &TXLSFontList::SetBold, Value.ToBool(), ReplaceIndex);
}
int32_t TXLSXFList::SetFontItalic(int32_t XFIndex, const OleVariant& Value, bool ReplaceIndex) {
  return ChangeFont(XFIndex, &TXLSFontList::SetItalic, Value.ToBool(), ReplaceIndex);
}
int32_t TXLSXFList::SetFontStrikethrough(int32_t XFIndex, const OleVariant& Value,
                                         bool ReplaceIndex) {
  return ChangeFont(XFIndex, &TXLSFontList::SetStrikethrough, Value.ToBool(), ReplaceIndex);
}
int32_t TXLSXFList::SetFontOutLineFont(int32_t XFIndex, const OleVariant& Value,
                                       bool ReplaceIndex) {
  return ChangeFont(XFIndex, &TXLSFontList::SetOutLineFont, Value.ToBool(), ReplaceIndex);
}
int32_t TXLSXFList::SetFontShadow(int32_t XFIndex, const OleVariant& Value, bool ReplaceIndex) {
  return ChangeFont(XFIndex, &TXLSFontList::SetShadow, Value.ToBool(), ReplaceIndex);
}
int32_t TXLSXFList::SetFontSubScript(int32_t XFIndex, const OleVariant& Value, bool ReplaceIndex) {
  return ChangeFont(XFIndex, &TXLSFontList::SetSubScript, Value.ToBool(), ReplaceIndex);
}
int32_t TXLSXFList::SetFontSuperScript(int32_t XFIndex, const OleVariant& Value,
                                       bool ReplaceIndex) {
  return ChangeFont(XFIndex, &TXLSFontList::SetSuperScript, Value.ToBool(), ReplaceIndex);
}
int32_t TXLSXFList::SetFontUnderLine(int32_t XFIndex, const OleVariant& Value, bool ReplaceIndex) {
  return ChangeFont(XFIndex, &TXLSFontList::SetUnderLine, static_cast<uint8_t>(Value.ToInt()),
                    ReplaceIndex);
}
int32_t TXLSXFList::SetFontFamily(int32_t XFIndex, const OleVariant& Value, bool ReplaceIndex) {
  return ChangeFont(XFIndex, &TXLSFontList::SetFamily, static_cast<uint8_t>(Value.ToInt()),
                    ReplaceIndex);
}
int32_t TXLSXFList::SetFontCharSet(int32_t XFIndex, const OleVariant& Value, bool ReplaceIndex) {
  return ChangeFont(XFIndex, &TXLSFontList::SetCharSet, static_cast<uint8_t>(Value.ToInt()),
                    ReplaceIndex);
}
int32_t TXLSXFList::SetFontColorIndex(int32_t XFIndex, const OleVariant& Value, bool ReplaceIndex) {
  return ChangeFont(XFIndex, &TXLSFontList::SetColorIndex, Value.ToInt(), ReplaceIndex);
}
int32_t TXLSXFList::SetFontSize(int32_t XFIndex, const OleVariant& Value, bool ReplaceIndex) {
  return ChangeFont(XFIndex, &TXLSFontList::SetSize, static_cast<float>(Value.ToDouble()),
                    ReplaceIndex);
}
int32_t TXLSXFList::SetFontName(int32_t XFIndex, const OleVariant& Value, bool ReplaceIndex) {
  return ChangeFont(XFIndex, &TXLSFontList::SetName, Value.ToString(), ReplaceIndex);
}

// --- Number format and protection ------------------------------------------

int32_t TXLSXFList::SetNumFormat(int32_t XFIndex, const OleVariant& Value, bool ReplaceIndex) {
  const int32_t format = numFormats_.AddValue(Value.ToString());
  return SetNumFormatIndex(XFIndex, format, ReplaceIndex);
}

int32_t TXLSXFList::ChangeProtectionBit(int32_t XFIndex, uint8_t Bit, bool Value,
                                        bool ReplaceIndex) {
  const uint8_t old = GetProtection(XFIndex);
  const uint8_t protection = Value ? (old | Bit) : (old & ~Bit);
  return SetProtection(XFIndex, protection, ReplaceIndex);
}

int32_t TXLSXFList::SetLocked(int32_t XFIndex, const OleVariant& Value, bool ReplaceIndex) {
  return ChangeProtectionBit(XFIndex, kLockedBit, Value.ToBool(), ReplaceIndex);
}
int32_t TXLSXFList::SetHidden(int32_t XFIndex, const OleVariant& Value, bool ReplaceIndex) {
  return ChangeProtectionBit(XFIndex, kHiddenBit, Value.ToBool(), ReplaceIndex);
}

// --- Alignment: digits of the inherited alignment block ---------------------

int32_t TXLSXFList::ChangeAlignDigit(int32_t XFIndex, size_t Pos, size_t Width, uint32_t Mask,
                                     uint32_t Value, bool ReplaceIndex) {
  xlsAlignBlock block = GetAlignBlock(XFIndex);
  block.SetField(Pos, Width, (block.Field(Pos, Width) & Mask) | Value);
  return SetAlignBlock(XFIndex, block, ReplaceIndex);
}

int32_t TXLSXFList::SetHorAlign(int32_t XFIndex, const OleVariant& Value, bool ReplaceIndex) {
  const uint32_t code = static_cast<uint32_t>(Value.ToInt()) & 7;
  return ChangeAlignDigit(XFIndex, kHorAlignDigit, 1, kWrapBit, code, ReplaceIndex);
}
int32_t TXLSXFList::SetVerAlign(int32_t XFIndex, const OleVariant& Value, bool ReplaceIndex) {
  const uint32_t code = static_cast<uint32_t>(Value.ToInt()) & 7;
  return ChangeAlignDigit(XFIndex, kVerAlignDigit, 1, 0, code, ReplaceIndex);
}
int32_t TXLSXFList::SetWrap(int32_t XFIndex, const OleVariant& Value, bool ReplaceIndex) {
  const uint32_t wrap = Value.ToBool() ? kWrapBit : 0;
  return ChangeAlignDigit(XFIndex, kHorAlignDigit, 1, 7, wrap, ReplaceIndex);
}
int32_t TXLSXFList::SetOrientation(int32_t XFIndex, const OleVariant& Value, bool ReplaceIndex) {
  // The orientation code is one byte; only that byte enters its two digits.
  const uint32_t code = static_cast<uint32_t>(Value.ToInt()) & 0xFF;
  return ChangeAlignDigit(XFIndex, kOrientationDigit, kOrientationWidth, 0, code, ReplaceIndex);
}
int32_t TXLSXFList::SetShrinkToFit(int32_t XFIndex, const OleVariant& Value, bool ReplaceIndex) {
  const uint32_t shrink = Value.ToBool() ? 1 : 0;
  return ChangeAlignDigit(XFIndex, kShrinkDigit, 1, 0xE, shrink, ReplaceIndex);
}
int32_t TXLSXFList::SetIndentLevel(int32_t XFIndex, const OleVariant& Value, bool ReplaceIndex) {
  // Indent levels run from 0 to 15, one digit; values beyond take the nearest.
  const int32_t level = std::clamp(Value.ToInt(), 0, kMaxIndentLevel);
  return ChangeAlignDigit(XFIndex, kIndentDigit, 1, 0, static_cast<uint32_t>(level), ReplaceIndex);
}

// --- Saving ----------------------------------------------------------------

void TXLSXFList::CreateAllReferredList() {
  fonts_.ClearAllReferredCount();
  CreateReferredList();
  for (int32_t i = 0; i < ReferredCount(); ++i) {
    const uint32_t font = ReadHexField(ReferredItem(i)->Key, kFontPos, kFontWidth);
    fonts_.IncReferredCount(static_cast<int32_t>(font));
  }
  fonts_.CreateReferredList();
}

int32_t TXLSXFList::GetXFBlob(int32_t i, TXLSBlobList& List,
                              const TXLSRecordEncoder& encoder) const {
  const TXLSKeyEntry* entry = ReferredItem(i);
  if (entry == nullptr) return -1;
  const std::string& key = entry->Key;
  const auto field = [&key](size_t pos, size_t width) { return ReadHexField(key, pos, width); };

  TXLSXFFields xf;
  const uint32_t parent = field(kParentPos, kParentWidth);
  xf.Font =
      static_cast<uint16_t>(fonts_.GetSaveIndex(static_cast<int32_t>(field(kFontPos, kFontWidth))));
  xf.NumFormat =
      TXLSNumFormatList::RecordNumber(static_cast<int32_t>(field(kNumFormatPos, kNumFormatWidth)));
  xf.Protection = static_cast<uint8_t>(field(kProtectionPos, 1) & 3);
  xf.Style = parent == kStyleParent;
  xf.Parent = static_cast<uint16_t>(parent & 0xFFF);
  const uint32_t horizontal = field(kAlignPos + kHorAlignDigit, 1);
  xf.HorAlign = static_cast<uint8_t>(horizontal & 7);
  xf.Wrap = (horizontal & kWrapBit) != 0;
  xf.VerAlign = static_cast<uint8_t>(field(kAlignPos + kVerAlignDigit, 1) & 7);
  xf.Orientation = static_cast<uint8_t>(field(kAlignPos + kOrientationDigit, kOrientationWidth));
  xf.Shrink = (field(kAlignPos + kShrinkDigit, 1) & 1) != 0;
  xf.Indent = static_cast<uint8_t>(field(kAlignPos + kIndentDigit, 1));
  xf.UsedGroups = static_cast<uint8_t>(field(kFlagsPos, kFlagsWidth) & 0x3F);

  const TBorderWords borders(xlsBorderBlock(KeyPart(key, kBorderPos, 16)));
  static constexpr TEdge kEdges[kXFEdgeCount] = {edgeLeft, edgeRight, edgeTop, edgeBottom};
  for (int e = 0; e < kXFEdgeCount; ++e) {
    xf.LineStyle[e] = borders.Code(kEdges[e]);
    xf.LineColor[e] = borders.Color(kEdges[e]);
  }
  const TFill fill(xlsBackgroundBlock(KeyPart(key, kBackgroundPos, 6)));
  xf.Pattern = fill.Pattern;
  xf.Fore = fill.Fore;
  xf.Back = fill.Back;
  xf.FillHighBits = fill.HighBits;
  return List.Append(encoder.XF(xf));
}

}  // namespace tabulon
