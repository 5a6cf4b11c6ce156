// The conditional formats of a sheet: per range up to three conditions, each
// with the font, border and fill a cell shows while it holds. A BIFF8 save
// writes each range as a CONDFMT record followed by one CF record per
// condition.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "XLSFormula.h"

namespace tabulon {

class TXLSRecordEncoder;
class TXLSRecordSection;
class TXLSWorksheet;

/// One condition and the format it shows; colours as record palette
/// indexes (8 to 63).
struct TXLSConditionRule {
  uint8_t Type = 1;      ///< 1: the cell's value is compared; 2: a formula decides
  uint8_t Operator = 0;  ///< 1 between .. 8 less or equal; 0 for a formula condition
  /// The first bound or the formula, parsed as if written in the range's top-left cell.
  TXLSFormula Formula1;
  /// The second bound of between and not between; no tokens otherwise.
  TXLSFormula Formula2;
  std::optional<uint8_t> FontColor;    ///< font colour
  std::optional<bool> Bold;            ///< bold or regular weight
  std::optional<bool> Italic;          ///< italic or upright
  std::optional<uint8_t> FillColor;    ///< solid fill colour
  std::optional<uint8_t> BorderColor;  ///< colour of a thin line on each edge
};

/// A rectangle of cells (zero-based, inclusive) and its conditions, the
/// first that holds winning.
struct TXLSConditionalFormat {
  uint16_t FirstRow = 0;                 ///< top row
  uint16_t LastRow = 0;                  ///< bottom row
  uint8_t FirstCol = 0;                  ///< left column
  uint8_t LastCol = 0;                   ///< right column
  std::vector<TXLSConditionRule> Rules;  ///< one to kMaxRules conditions
};

/// The conditional formats of one sheet, in the order they were made.
class TXLSFormatConditions {
 public:
  /// The conditions a range keeps, as Excel 97 does.
  static constexpr size_t kMaxRules = 3;

  /// Adds a condition to the format of exactly this rectangle (made when
  /// it has none).
  /// @param area the rectangle; its Rules are not read
  /// @param rule the condition
  /// @return false when the rectangle has kMaxRules conditions already
  bool Add(const TXLSConditionalFormat& area, TXLSConditionRule&& rule);
  /// Removes every format whose rectangle shares a cell with area, with
  /// all its conditions (also over its cells outside area).
  /// @param area the rectangle; its Rules are not read
  void DeleteTouching(const TXLSConditionalFormat& area);
  /// @return The formats, in the order they were made.
  const std::vector<TXLSConditionalFormat>& Formats() const { return formats_; }
  /// Appends a CONDFMT record and its CF records per format (nothing when
  /// there is none).
  /// @param section the sheet's data section
  /// @param sheet the sheet, which resolves the formulas' references
  /// @param encoder the save's (BIFF8) encoder, which lays out the tokens
  /// @return 1, or the failing append's status
  int32_t Store(TXLSRecordSection& section, const TXLSWorksheet& sheet,
                const TXLSRecordEncoder& encoder) const;

 private:
  std::vector<TXLSConditionalFormat> formats_;
};

/// @param format a conditional format
/// @return its rectangle as A1 text ("B2:D9", "C3" for one cell)
std::string ConditionalFormatAreaText(const TXLSConditionalFormat& format);

}  // namespace tabulon
