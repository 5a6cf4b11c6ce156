// Data validations of the range's cells: the rule checked and turned into
// what the DV record carries; the sheet keeps it (TXLSValidations).
#include <algorithm>

#include "XLSRange.h"
#include "XLSRangeRules.h"
#include "XLSRecordEncoder.h"
#include "XLSTextEncoder.h"
#include "XLSUnicodeText.h"
#include "XLSValidations.h"
#include "XLSWorkbook.h"
#include "XLSWorksheet.h"

namespace tabulon {

namespace {

constexpr size_t kMaxTitleUnits = 32;
constexpr size_t kMaxMessageUnits = 255;
constexpr size_t kMaxListUnits = 255;
// Token bytes a bound may take: with the longest texts, two such formulas
// leave room for hundreds of cell ranges in one record.
constexpr size_t kMaxFormulaBytes = 2048;

// DV options beside the type (bits 0-3), the alert style (bits 4-6) and the
// operator (bits 20-23).
constexpr uint32_t kExplicitList = 0x00000080;
constexpr uint32_t kAllowBlank = 0x00000100;
constexpr uint32_t kNoDropDown = 0x00000200;
constexpr uint32_t kShowInput = 0x00040000;
constexpr uint32_t kShowError = 0x00080000;
constexpr int kAlertShift = 4;
constexpr int kOperatorShift = 20;

bool ComparesValues(int32_t type) {
  return type == xlValidateWholeNumber || type == xlValidateDecimal || type == xlValidateDate ||
         type == xlValidateTime || type == xlValidateTextLength;
}

bool HasTwoBounds(const TXLSValidation& rule) {
  return ComparesValues(rule.Type) && (rule.Operator == xlBetween || rule.Operator == xlNotBetween);
}

bool IsItemList(const TXLSValidation& rule) {
  return rule.Type == xlValidateList && rule.Formula1.front() != '=';
}

uint32_t RuleOptions(const TXLSValidation& rule) {
  uint32_t options = static_cast<uint32_t>(rule.Type) |
                     static_cast<uint32_t>(rule.AlertStyle - xlValidAlertStop) << kAlertShift;
  if (ComparesValues(rule.Type))
    options |= static_cast<uint32_t>(rule.Operator - xlBetween) << kOperatorShift;
  if (IsItemList(rule)) options |= kExplicitList;
  if (rule.IgnoreBlank) options |= kAllowBlank;
  if (!rule.InCellDropdown) options |= kNoDropDown;
  if (rule.ShowInput) options |= kShowInput;
  if (rule.ShowError) options |= kShowError;
  return options;
}

std::string LengthRefusal(const char* what, const std::string& utf8, size_t max_units) {
  const size_t units = XLSUtf16Units(utf8);
  if (units <= max_units) return {};
  return std::string(what) + " has " + std::to_string(units) + " characters, more than " +
         std::to_string(max_units);
}

// Type, alert style and operator, and the bounds the type needs.
std::string KindRefusal(const TXLSValidation& rule) {
  if (rule.Type < xlValidateInputOnly || rule.Type > xlValidateCustom)
    return "type " + std::to_string(rule.Type) +
           " is not one of xlValidateInputOnly (0) to xlValidateCustom (7)";
  if (rule.AlertStyle < xlValidAlertStop || rule.AlertStyle > xlValidAlertInformation)
    return "alert style " + std::to_string(rule.AlertStyle) +
           " is not xlValidAlertStop, xlValidAlertWarning or xlValidAlertInformation";
  if (ComparesValues(rule.Type) && (rule.Operator < xlBetween || rule.Operator > xlLessEqual))
    return "operator " + std::to_string(rule.Operator) + " is not one of xlBetween to xlLessEqual";
  if (rule.Type != xlValidateInputOnly && rule.Formula1.empty()) return "Formula1 is empty";
  if (HasTwoBounds(rule) && rule.Formula2.empty())
    return "Formula2 is empty; xlBetween and xlNotBetween need two bounds";
  return {};
}

// The items of a list as one text constant, separated by NUL characters.
std::string ListFormula(const std::string& items, const std::string& utf8Items,
                        TXLSFormula& formula) {
  std::string refusal = LengthRefusal("the list", utf8Items, kMaxListUnits);
  if (!refusal.empty()) return refusal;
  TXLSFormulaToken token;
  token.Kind = TXLSTokenKind::String;
  token.Text = items;
  std::replace(token.Text.begin(), token.Text.end(), ',', '\0');
  formula.Tokens.push_back(std::move(token));
  return {};
}

// A bound read as a formula of the range's top-left cell.
std::string BoundFormula(const char* what, const std::string& text, TXLSWorksheet& sheet,
                         TXLSFormula& formula) {
  const TXLSFormulaStatus status =
      ParseFormula(text.front() == '=' ? text : "=" + text, sheet, formula);
  if (!status.Ok()) return std::string(what) + " \"" + text + "\": " + status.Message;
  const TXLSTextPlace place{sheet.GetName(), "data validation"};
  const size_t bytes =
      EncodeFormula(formula, sheet, sheet.GetWorkbook().GetRecordEncoder(), place).size();
  if (bytes <= kMaxFormulaBytes) return {};
  return std::string(what) + " takes " + std::to_string(bytes) + " bytes of tokens, more than " +
         std::to_string(kMaxFormulaBytes);
}

// The rule as the record carries it, or why it cannot be.
std::string BuildRule(const TXLSValidation& rule, TXLSWorksheet& sheet, TXLSValidationRule& out) {
  std::string refusal = KindRefusal(rule);
  TXLSTextEncoder& texts = sheet.GetWorkbook().GetTextEncoder();
  const auto utf8 = [&texts](const std::string& text) { return std::string(texts.Utf8Form(text)); };
  out.InputTitle = utf8(rule.InputTitle);
  out.ErrorTitle = utf8(rule.ErrorTitle);
  out.InputMessage = utf8(rule.InputMessage);
  out.ErrorMessage = utf8(rule.ErrorMessage);
  for (const std::string& next :
       {LengthRefusal("InputTitle", out.InputTitle, kMaxTitleUnits),
        LengthRefusal("ErrorTitle", out.ErrorTitle, kMaxTitleUnits),
        LengthRefusal("InputMessage", out.InputMessage, kMaxMessageUnits),
        LengthRefusal("ErrorMessage", out.ErrorMessage, kMaxMessageUnits)}) {
    if (refusal.empty()) refusal = next;
  }
  if (!refusal.empty()) return refusal;
  out.Options = RuleOptions(rule);
  if (rule.Type == xlValidateInputOnly) return {};
  refusal = IsItemList(rule) ? ListFormula(rule.Formula1, utf8(rule.Formula1), out.Formula1)
                             : BoundFormula("Formula1", rule.Formula1, sheet, out.Formula1);
  if (refusal.empty() && HasTwoBounds(rule))
    refusal = BoundFormula("Formula2", rule.Formula2, sheet, out.Formula2);
  return refusal;
}

TXLSCellArea CellArea(TXLSRange& range) {
  return {range.GetFirstRow(), range.GetLastRow(), range.GetFirstCol(), range.GetLastCol()};
}

int32_t MaxRow(TXLSWorksheet& sheet) {
  return sheet.GetWorkbook().GetRecordEncoder().FormulaMaxRow();
}

}  // namespace

int32_t TXLSRange::AddValidation(const TXLSValidation& rule) {
  std::string refusal;
  TXLSValidationRule built;
  if (Worksheet.GetWorkbook().GetFileFormat() != xlExcel8) {
    refusal = "data validations need a BIFF8 workbook (TXLSWorkbook::SetFileFormat(xlExcel8))";
  } else if (Worksheet.IsDetached()) {
    refusal = "the sheet has been deleted";
  } else {
    refusal = BuildRule(rule, Worksheet, built);
  }
  if (!refusal.empty()) {
    Worksheet.SetLastError("AddValidation: " + refusal);
    return -1;
  }
  Worksheet.GetValidations().Add(CellArea(*this), std::move(built), MaxRow(Worksheet));
  return 1;
}

void TXLSRange::DeleteValidation() {
  Worksheet.GetValidations().Remove(CellArea(*this), MaxRow(Worksheet));
}

}  // namespace tabulon
