// Column widths fitted to content: the export notes every value it writes
// with the number format it gets, and the width of each column follows from
// the longest text a reader shows for them.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "OleVariant.h"
#include "XLSHostFont.h"

namespace tabulon {

/// Widest shown text per column of one exported block, in characters of the
/// default font (Arial 10); the unit of a column width.
class TXLSColumnFit {
 public:
  /// Forgets everything noted; the block has `columns` columns (0 or more).
  void Reset(int32_t columns);
  /// Notes a text shown in `font` in column `column` (0-based within the
  /// block; a column outside the block is ignored).
  void NoteText(int32_t column, std::string_view text, const TFont& font);
  /// Notes a cell value as a reader shows it with `num_format` (null or
  /// empty: the General format), in `font`. Texts count their characters;
  /// numbers in General count the digits a reader shows (at most 11);
  /// "#,##0.00" counts the grouped number with two decimals; the date and
  /// time formats count the length of the format itself.
  void NoteValue(int32_t column, const OleVariant& value, const char* num_format,
                 const TFont& font);
  /// The fitted width of `column`, from 1 to max_width (at most 255)
  /// characters: the widest noted text, rounded up, and two characters of
  /// padding; 0 when nothing was noted.
  double Width(int32_t column, double max_width) const;

  /// How many characters a reader shows for `value` in `num_format` (see
  /// NoteValue).
  static int32_t ShownLength(const OleVariant& value, const char* num_format);

 private:
  std::vector<double> widths_;
};

}  // namespace tabulon
