// The data validations of a sheet (BIFF8): each rule with the cells it
// covers, and the DVAL and DV records a save writes for them.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "XLSBlob.h"
#include "XLSCellArea.h"
#include "XLSFormula.h"

namespace tabulon {

class TXLSRecordEncoder;
class TXLSRecordSection;
class TXLSWorksheet;

/// A validation rule as a DV record carries it.
struct TXLSValidationRule {
  /// The DV option word: type, alert style, list, blank, drop-down, input
  /// and error flags, operator.
  uint32_t Options = 0;
  std::string InputTitle;    ///< UTF-8
  std::string ErrorTitle;    ///< UTF-8
  std::string InputMessage;  ///< UTF-8
  std::string ErrorMessage;  ///< UTF-8
  /// The bounds; no tokens: none. References hold sheet positions, read for
  /// the top-left cell of the first area (the record keeps the relative ones
  /// as offsets from that cell).
  TXLSFormula Formula1;
  TXLSFormula Formula2;  ///< see Formula1
};

/// A rule and the cells it covers, which no other validation of the sheet
/// shares.
struct TXLSValidationEntry {
  TXLSValidationRule Rule;          ///< what is checked
  std::vector<TXLSCellArea> Areas;  ///< never empty
};

/// The DV record of a rule over some of its areas.
/// @param rule the rule
/// @param formula1 the token bytes of Formula1, as EncodeFormula gives them
/// @param formula2 the token bytes of Formula2
/// @param areas the cells this record lists
/// @return the record, id and length included
TXLSBlob XLSValidationRecord(const TXLSValidationRule& rule, const std::vector<uint8_t>& formula1,
                             const std::vector<uint8_t>& formula2,
                             const std::vector<TXLSCellArea>& areas);

/// The validations of one sheet.
class TXLSValidations {
 public:
  /// Gives area a rule: its cells leave the validations they had first.
  /// @param area the cells
  /// @param rule the rule, its formulas read for the area's top-left cell
  /// @param max_row the last row a formula reference can address
  void Add(const TXLSCellArea& area, TXLSValidationRule rule, int32_t max_row);
  /// Takes the cells of area out of every validation; a validation left
  /// without cells goes. When the first cell of a validation goes, the
  /// relative references of its formulas move to its new first cell, so
  /// they keep pointing where they did.
  /// @param area the cells
  /// @param max_row the last row a formula reference can address
  void Remove(const TXLSCellArea& area, int32_t max_row);
  /// @return the validations, oldest first
  const std::vector<TXLSValidationEntry>& Entries() const { return entries_; }
  /// DVAL, then the DV records (a validation whose areas do not fit one
  /// record repeats in the next); nothing without validations.
  /// @param section the sheet's data section
  /// @param sheet the sheet, for the formulas' references
  /// @param encoder the save's encoder
  /// @return 1, or the first failing append's status
  int32_t Store(TXLSRecordSection& section, const TXLSWorksheet& sheet,
                const TXLSRecordEncoder& encoder) const;

 private:
  std::vector<TXLSValidationEntry> entries_;
};

}  // namespace tabulon
