// The report of the characters a save had to replace because the workbook's
// code page cannot hold them: what TXLSWorkbook::GetTextLosses answers, kept
// apart from the encoder that collects it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace tabulon {

/// A character of a caller's UTF-8 text that the workbook's code page cannot
/// hold (U+FFFD: bytes that are not UTF-8); the file carries a replacement.
struct TXLSTextLoss {
  /// Name of the sheet, as the caller gave it; empty for font names and
  /// number formats, which belong to the workbook.
  std::string Sheet;
  /// What the text is: "cell", "formula", "formula result", "sheet name",
  /// "header", "footer", "font name" or "number format".
  std::string Item;
  /// The cell's address such as "B3" for a cell or formula; empty otherwise.
  std::string Cell;
  /// The character's code point.
  uint32_t CodePoint = 0;
};

/// The characters replaced by the latest save: their number and the first
/// TXLSTextLossReport::kKeptLosses of them in the order of the file.
struct TXLSTextLossReport {
  /// How many cases are kept in First.
  static constexpr size_t kKeptLosses = 20;
  /// Replaced characters in all; 0 when every text was kept whole.
  uint64_t Count = 0;
  /// The first of them, at most kKeptLosses.
  std::vector<TXLSTextLoss> First;
};

}  // namespace tabulon
