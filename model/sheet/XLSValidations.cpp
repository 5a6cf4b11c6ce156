#include "XLSValidations.h"

#include <algorithm>
#include <string_view>

#include "XLSRecordEncoder.h"
#include "XLSRecordIds.h"
#include "XLSRecordSection.h"
#include "XLSRelativeFormula.h"
#include "XLSTextEncoder.h"
#include "XLSUnicodeText.h"
#include "XLSWorksheet.h"

namespace tabulon {

namespace {

// DVAL: no fixed position of the input window, no drop-down object yet.
constexpr uint32_t kNoDropDownObject = 0xFFFFFFFF;
// A DV formula: its token byte count and an unused word, then the tokens.
constexpr uint32_t kFormulaHead = 4;
constexpr uint32_t kAreaBytes = 8;

// The format stores an empty text as a single NUL character.
std::u16string RecordText(const std::string& utf8) {
  return utf8.empty() ? std::u16string(1, u'\0') : XLSUtf8ToUtf16(utf8);
}

void AddFormula(TXLSBlob& record, const std::vector<uint8_t>& tokens) {
  record.AddWord(static_cast<uint16_t>(tokens.size()));
  record.AddWord(0);
  record.AddString(std::string_view(reinterpret_cast<const char*>(tokens.data()), tokens.size()));
}

std::vector<std::u16string> RuleTexts(const TXLSValidationRule& rule) {
  return {RecordText(rule.InputTitle), RecordText(rule.ErrorTitle), RecordText(rule.InputMessage),
          RecordText(rule.ErrorMessage)};
}

// The DV bytes before the area list: options, texts, formulas, area count.
uint32_t RuleBytes(const std::vector<std::u16string>& texts, const std::vector<uint8_t>& formula1,
                   const std::vector<uint8_t>& formula2) {
  uint32_t size =
      4 + 2 * kFormulaHead + static_cast<uint32_t>(formula1.size() + formula2.size()) + 2;
  for (const std::u16string& text : texts)
    size += XLSUnicodeStringSize(text, TXLSLengthField::k16Bit);
  return size;
}

TXLSBlob DvalRecord(uint32_t validations) {
  TXLSBlob record = MakeRecord(xlsrec::kDval, 18);
  record.AddWord(0);
  record.AddLong(0);
  record.AddLong(0);
  record.AddLong(kNoDropDownObject);
  record.AddLong(validations);
  return record;
}

std::pair<int32_t, int32_t> TopLeft(const TXLSValidationEntry& entry) {
  return {entry.Areas.front().FirstRow, entry.Areas.front().FirstCol};
}

}  // namespace

TXLSBlob XLSValidationRecord(const TXLSValidationRule& rule, const std::vector<uint8_t>& formula1,
                             const std::vector<uint8_t>& formula2,
                             const std::vector<TXLSCellArea>& areas) {
  const std::vector<std::u16string> texts = RuleTexts(rule);
  const uint32_t size = RuleBytes(texts, formula1, formula2) + kAreaBytes * areas.size();
  TXLSBlob record = MakeRecord(xlsrec::kDv, static_cast<uint16_t>(size));
  record.AddLong(rule.Options);
  for (const std::u16string& text : texts)
    XLSAddUnicodeString(record, text, TXLSLengthField::k16Bit);
  AddFormula(record, formula1);
  AddFormula(record, formula2);
  record.AddWord(static_cast<uint16_t>(areas.size()));
  for (const TXLSCellArea& area : areas) XLSAddCellArea(record, area);
  return record;
}

void TXLSValidations::Add(const TXLSCellArea& area, TXLSValidationRule rule, int32_t max_row) {
  Remove(area, max_row);
  entries_.push_back({std::move(rule), {area}});
}

void TXLSValidations::Remove(const TXLSCellArea& area, int32_t max_row) {
  for (TXLSValidationEntry& entry : entries_) {
    const auto before = TopLeft(entry);
    std::vector<TXLSCellArea> rest;
    for (const TXLSCellArea& old : entry.Areas) {
      for (const TXLSCellArea& piece : XLSCutArea(old, area)) rest.push_back(piece);
    }
    entry.Areas = std::move(rest);
    if (entry.Areas.empty() || TopLeft(entry) == before) continue;
    const int32_t rows = TopLeft(entry).first - before.first;
    const int32_t cols = TopLeft(entry).second - before.second;
    ShiftFormula(entry.Rule.Formula1, rows, cols, max_row);
    ShiftFormula(entry.Rule.Formula2, rows, cols, max_row);
  }
  entries_.erase(
      std::remove_if(entries_.begin(), entries_.end(),
                     [](const TXLSValidationEntry& entry) { return entry.Areas.empty(); }),
      entries_.end());
}

int32_t TXLSValidations::Store(TXLSRecordSection& section, const TXLSWorksheet& sheet,
                               const TXLSRecordEncoder& encoder) const {
  if (entries_.empty()) return 1;
  const TXLSTextPlace place{sheet.GetName(), "data validation"};
  const uint32_t dataLimit = encoder.RecordLimit() - 4u;
  std::vector<TXLSBlob> records;
  for (const TXLSValidationEntry& entry : entries_) {
    // The relative references are offsets from the first cell of the first
    // area; a rule whose areas do not fit one record repeats in the next.
    const TXLSCellArea& base = entry.Areas.front();
    const auto encode = [&](const TXLSFormula& formula) {
      return EncodeRelativeFormula(formula, sheet, encoder, place, base.FirstRow, base.FirstCol);
    };
    const std::vector<uint8_t> formula1 = encode(entry.Rule.Formula1);
    const std::vector<uint8_t> formula2 = encode(entry.Rule.Formula2);
    const size_t perRecord =
        (dataLimit - RuleBytes(RuleTexts(entry.Rule), formula1, formula2)) / kAreaBytes;
    for (size_t first = 0; first < entry.Areas.size(); first += perRecord) {
      const size_t last = std::min(entry.Areas.size(), first + perRecord);
      records.push_back(XLSValidationRecord(
          entry.Rule, formula1, formula2,
          std::vector<TXLSCellArea>(entry.Areas.begin() + first, entry.Areas.begin() + last)));
    }
  }
  int32_t status = section.Append(DvalRecord(static_cast<uint32_t>(records.size())));
  for (TXLSBlob& record : records) {
    if (status == 1) status = section.Append(std::move(record));
  }
  return status;
}

}  // namespace tabulon
