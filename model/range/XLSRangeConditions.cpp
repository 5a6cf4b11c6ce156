// Conditional formats of the range: the condition is checked and parsed
// here and kept by the sheet (TXLSFormatConditions), whose BIFF8 save
// writes it as CONDFMT and CF records.
#include <utility>

#include "XLSFormatConditions.h"
#include "XLSFormula.h"
#include "XLSRange.h"
#include "XLSRecordEncoder.h"
#include "XLSWorkbook.h"
#include "XLSWorksheet.h"

namespace tabulon {

namespace {

// Conditional formats name cells of their own sheet only.
bool NamesOtherSheet(const TXLSFormula& formula, const TXLSWorksheet& sheet) {
  for (const TXLSFormulaToken& token : formula.Tokens) {
    const bool reference = token.Kind == TXLSTokenKind::Ref || token.Kind == TXLSTokenKind::Area;
    if (reference && token.Sheet && token.Sheet->Sheet != &sheet) return true;
  }
  return false;
}

// A block alone has no single value to compare or test.
bool IsLoneArea(const TXLSFormula& formula) {
  return formula.Tokens.size() == 1 && formula.Tokens[0].Kind == TXLSTokenKind::Area;
}

// Parses one formula of a condition as written in the range's top-left
// cell; the message names which formula is refused and why.
bool ParseConditionFormula(const std::string& text, const char* which, TXLSWorksheet& sheet,
                           TXLSFormula& formula, std::string& error) {
  if (text.empty()) {
    error = std::string(which) + " is empty";
    return false;
  }
  const TXLSFormulaStatus status = ParseFormula(text[0] == '=' ? text : "=" + text, sheet, formula);
  if (!status.Ok()) {
    error = std::string(which) + " \"" + text + "\" does not parse: " + status.Message;
  } else if (NamesOtherSheet(formula, sheet)) {
    error = std::string(which) + " \"" + text +
            "\" refers to another sheet, which a conditional format cannot";
  } else if (IsLoneArea(formula)) {
    error = std::string(which) + " \"" + text + "\" is a block of cells, not one value";
  } else {
    return true;
  }
  return false;
}

bool TakesTwoBounds(int32_t op) {
  return op == xlBetween || op == xlNotBetween;
}

// The rule of a condition with its formulas parsed and its colours as
// palette indexes; false with the reason in error.
bool MakeRule(const TXLSFormatCondition& condition, TXLSWorksheet& sheet, TXLSConditionRule& rule,
              std::string& error) {
  if (condition.Type != xlCellValue && condition.Type != xlExpression) {
    error =
        "type " + std::to_string(condition.Type) + " is not xlCellValue (1) or xlExpression (2)";
    return false;
  }
  const bool cellValue = condition.Type == xlCellValue;
  if (cellValue && (condition.Operator < xlBetween || condition.Operator > xlLessEqual)) {
    error = "operator " + std::to_string(condition.Operator) +
            " is not one of xlBetween (1) to xlLessEqual (8)";
    return false;
  }
  rule.Type = static_cast<uint8_t>(condition.Type);
  rule.Operator = cellValue ? static_cast<uint8_t>(condition.Operator) : 0;
  if (!ParseConditionFormula(condition.Formula1, "Formula1", sheet, rule.Formula1, error))
    return false;
  if (cellValue && TakesTwoBounds(condition.Operator) &&
      !ParseConditionFormula(condition.Formula2, "Formula2", sheet, rule.Formula2, error))
    return false;
  TXLSWorkbook& book = sheet.GetWorkbook();
  // The records count palette entries from 8, the caller's indexes from 1.
  const auto paletteIndex = [&book](TXLSColor color) {
    return static_cast<uint8_t>(book.GetCustomColorIndex(color) + 7);
  };
  if (condition.FontColor) rule.FontColor = paletteIndex(*condition.FontColor);
  if (condition.FillColor) rule.FillColor = paletteIndex(*condition.FillColor);
  if (condition.BorderColor) rule.BorderColor = paletteIndex(*condition.BorderColor);
  rule.Bold = condition.Bold;
  rule.Italic = condition.Italic;
  return true;
}

}  // namespace

int32_t TXLSRange::AddFormatCondition(const TXLSFormatCondition& condition) {
  if (Worksheet.IsDetached()) {
    Worksheet.SetLastError("AddFormatCondition: the range's sheet has been deleted");
    return -1;
  }
  const TXLSConditionalFormat area{FirstRow, LastRow, FirstCol, LastCol, {}};
  const std::string where = Worksheet.GetName() + "!" + ConditionalFormatAreaText(area);
  if (Worksheet.GetWorkbook().GetFileFormat() != kXLSFileFormatBiff8) {
    Worksheet.SetLastError(
        "AddFormatCondition: conditional formats need a BIFF8 workbook "
        "(TXLSWorkbook::SetFileFormat(xlExcel8)); " +
        where + " is in a BIFF5 one");
    return -1;
  }
  TXLSConditionRule rule;
  std::string error;
  if (!MakeRule(condition, Worksheet, rule, error)) {
    Worksheet.SetLastError("AddFormatCondition on " + where + ": " + error);
    return -1;
  }
  if (!Worksheet.GetFormatConditions().Add(area, std::move(rule))) {
    Worksheet.SetLastError("AddFormatCondition: " + where + " has " +
                           std::to_string(TXLSFormatConditions::kMaxRules) +
                           " conditions already, the most a range keeps");
    return -1;
  }
  return 1;
}

void TXLSRange::DeleteFormatConditions() {
  if (Worksheet.IsDetached()) return;
  Worksheet.GetFormatConditions().DeleteTouching({FirstRow, LastRow, FirstCol, LastCol, {}});
}

}  // namespace tabulon
