// The conditional formats of a sheet and their CONDFMT and CF records.
#include "XLSFormatConditions.h"

#include <utility>

#include "XLSBlob.h"
#include "XLSCellRef.h"
#include "XLSRecordIds.h"
#include "XLSRecordSection.h"
#include "XLSRelativeFormula.h"
#include "XLSTextEncoder.h"
#include "XLSWorksheet.h"

namespace tabulon {

namespace {

// CF option flags. The low 22 bits say which parts of a format are left as
// the cell has them (1) or set by the condition (0); bits 26 to 29 say which
// format blocks follow.
constexpr uint32_t kCfAllDefault = 0x003FFFFF;
constexpr uint32_t kCfBorderEdgesDefault = 0x00003C00;  // left, right, top and bottom lines
constexpr uint32_t kCfPatternStyleDefault = 0x00010000;
constexpr uint32_t kCfPatternBackDefault = 0x00040000;
constexpr uint32_t kCfFontBlock = 0x04000000;
constexpr uint32_t kCfBorderBlock = 0x10000000;
constexpr uint32_t kCfPatternBlock = 0x20000000;

constexpr uint16_t kFontBlockSize = 118;
constexpr uint16_t kBorderBlockSize = 8;
constexpr uint16_t kPatternBlockSize = 4;
constexpr uint16_t kCfFixedSize = 12;

// The font block: 0xFFFFFFFF marks a height or colour the condition leaves
// alone; posture and weight share one flag (the font style of the format
// dialog), so setting one of bold and italic sets the other to regular.
constexpr uint32_t kFontUnset = 0xFFFFFFFF;
constexpr uint32_t kFontPosture = 0x00000002;
constexpr uint32_t kFontFlagsDefault = 0x0000009A;  // posture, outline, shadow, strikeout unset
constexpr uint16_t kWeightBold = 700;
constexpr uint16_t kWeightRegular = 400;

constexpr uint16_t kThinLines = 0x1111;  // thin on the left, right, top and bottom edges
constexpr uint16_t kSolidPattern = 0x0001;
constexpr uint16_t kAutomaticColor = 0x40;

bool HasFont(const TXLSConditionRule& rule) {
  return rule.FontColor || rule.Bold || rule.Italic;
}

void AddFontBlock(TXLSBlob& record, const TXLSConditionRule& rule) {
  const bool style = rule.Bold || rule.Italic;
  for (int i = 0; i < 16; ++i) record.AddLong(0);  // no font name
  record.AddLong(kFontUnset);                      // height
  record.AddLong(rule.Italic.value_or(false) ? kFontPosture : 0);
  record.AddWord(rule.Bold.value_or(false) ? kWeightBold : kWeightRegular);
  record.AddWord(0);  // escapement
  record.AddByte(0);  // underline
  record.AddByte(0);
  record.AddWord(0);
  record.AddLong(rule.FontColor ? *rule.FontColor : kFontUnset);
  record.AddLong(0);
  record.AddLong(style ? kFontFlagsDefault & ~kFontPosture : kFontFlagsDefault);
  record.AddLong(1);              // escapement left alone
  record.AddLong(1);              // underline left alone
  record.AddLong(style ? 0 : 1);  // weight set
  for (int i = 0; i < 3; ++i) record.AddLong(0);
  record.AddWord(1);
}

// Each edge's colour takes 7 bits: left, right, then top and bottom from bit 16.
void AddBorderBlock(TXLSBlob& record, uint8_t color) {
  const uint32_t c = color & 0x7F;
  record.AddWord(kThinLines);
  record.AddLong(c | c << 7 | c << 16 | c << 23);
  record.AddWord(0);
}

// A solid fill shows the background colour of the block (bits 7-13).
void AddPatternBlock(TXLSBlob& record, uint8_t color) {
  record.AddWord(kSolidPattern << 10);
  record.AddWord(static_cast<uint16_t>(kAutomaticColor | (color & 0x7F) << 7));
}

uint32_t OptionFlags(const TXLSConditionRule& rule) {
  uint32_t flags = kCfAllDefault;
  if (HasFont(rule)) flags |= kCfFontBlock;
  if (rule.BorderColor) flags = (flags | kCfBorderBlock) & ~kCfBorderEdgesDefault;
  if (rule.FillColor)
    flags = (flags | kCfPatternBlock) & ~(kCfPatternStyleDefault | kCfPatternBackDefault);
  return flags;
}

// Type, operator, the two formula sizes, the flags, the format blocks and
// the formulas, whose relative references are offsets from the top-left
// cell. The parser keeps each formula under 2,058 bytes, so a CF record
// stays far below the BIFF8 record limit.
TXLSBlob CfRecord(const TXLSConditionRule& rule, const TXLSConditionalFormat& format,
                  const TXLSWorksheet& sheet, const TXLSRecordEncoder& encoder) {
  const TXLSTextPlace place{sheet.GetName(), "conditional format", format.FirstRow,
                            format.FirstCol};
  const auto encode = [&](const TXLSFormula& formula) {
    return EncodeRelativeFormula(formula, sheet, encoder, place, format.FirstRow, format.FirstCol);
  };
  const std::vector<uint8_t> formula1 = encode(rule.Formula1);
  const std::vector<uint8_t> formula2 = encode(rule.Formula2);
  const size_t size = kCfFixedSize + (HasFont(rule) ? kFontBlockSize : 0) +
                      (rule.BorderColor ? kBorderBlockSize : 0) +
                      (rule.FillColor ? kPatternBlockSize : 0) + formula1.size() + formula2.size();
  TXLSBlob record = MakeRecord(xlsrec::kCf, static_cast<uint16_t>(size));
  record.AddByte(rule.Type);
  record.AddByte(rule.Operator);
  record.AddWord(static_cast<uint16_t>(formula1.size()));
  record.AddWord(static_cast<uint16_t>(formula2.size()));
  record.AddLong(OptionFlags(rule));
  record.AddWord(0);
  if (HasFont(rule)) AddFontBlock(record, rule);
  if (rule.BorderColor) AddBorderBlock(record, *rule.BorderColor);
  if (rule.FillColor) AddPatternBlock(record, *rule.FillColor);
  for (uint8_t byte : formula1) record.AddByte(byte);
  for (uint8_t byte : formula2) record.AddByte(byte);
  return record;
}

void AddArea(TXLSBlob& record, const TXLSConditionalFormat& format) {
  record.AddWord(format.FirstRow);
  record.AddWord(format.LastRow);
  record.AddWord(format.FirstCol);
  record.AddWord(format.LastCol);
}

// The CF count, the recalculation flag (set, as formula conditions need
// it), the bounding rectangle and the list of rectangles: here just the one.
TXLSBlob CondFmtRecord(const TXLSConditionalFormat& format) {
  TXLSBlob record = MakeRecord(xlsrec::kCondFmt, 22);
  record.AddWord(static_cast<uint16_t>(format.Rules.size()));
  record.AddWord(1);
  AddArea(record, format);
  record.AddWord(1);
  AddArea(record, format);
  return record;
}

bool SameArea(const TXLSConditionalFormat& a, const TXLSConditionalFormat& b) {
  return a.FirstRow == b.FirstRow && a.LastRow == b.LastRow && a.FirstCol == b.FirstCol &&
         a.LastCol == b.LastCol;
}

bool Overlap(const TXLSConditionalFormat& a, const TXLSConditionalFormat& b) {
  return a.FirstRow <= b.LastRow && b.FirstRow <= a.LastRow && a.FirstCol <= b.LastCol &&
         b.FirstCol <= a.LastCol;
}

}  // namespace

bool TXLSFormatConditions::Add(const TXLSConditionalFormat& area, TXLSConditionRule&& rule) {
  for (TXLSConditionalFormat& format : formats_) {
    if (!SameArea(format, area)) continue;
    if (format.Rules.size() >= kMaxRules) return false;
    format.Rules.push_back(std::move(rule));
    return true;
  }
  TXLSConditionalFormat added{area.FirstRow, area.LastRow, area.FirstCol, area.LastCol, {}};
  added.Rules.push_back(std::move(rule));
  formats_.push_back(std::move(added));
  return true;
}

void TXLSFormatConditions::DeleteTouching(const TXLSConditionalFormat& area) {
  std::vector<TXLSConditionalFormat> kept;
  for (TXLSConditionalFormat& format : formats_) {
    if (!Overlap(format, area)) kept.push_back(std::move(format));
  }
  formats_ = std::move(kept);
}

int32_t TXLSFormatConditions::Store(TXLSRecordSection& section, const TXLSWorksheet& sheet,
                                    const TXLSRecordEncoder& encoder) const {
  int32_t status = 1;
  for (const TXLSConditionalFormat& format : formats_) {
    if (status == 1) status = section.Append(CondFmtRecord(format));
    for (const TXLSConditionRule& rule : format.Rules) {
      if (status == 1) status = section.Append(CfRecord(rule, format, sheet, encoder));
    }
  }
  return status;
}

std::string ConditionalFormatAreaText(const TXLSConditionalFormat& format) {
  const std::string first = EncodeCellRef(format.FirstRow, format.FirstCol);
  if (format.FirstRow == format.LastRow && format.FirstCol == format.LastCol) return first;
  return first + ":" + EncodeCellRef(format.LastRow, format.LastCol);
}

}  // namespace tabulon
