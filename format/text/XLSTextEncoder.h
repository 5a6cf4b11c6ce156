// The texts of a workbook as its records carry them, built while it saves.
// Callers either store code page bytes (the texts go out as they are) or,
// with the workbook's UTF-8 setting, UTF-8 that is converted here to the
// workbook's code page. Either way a text cut to a record's byte limit ends on
// a character boundary, and every character the code page cannot hold is
// replaced and counted, with its place kept for the first few.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "XLSCodePage.h"
#include "XLSTextLoss.h"

namespace tabulon {

/// Where a workbook text lives, for the report of replaced characters.
struct TXLSTextPlace {
  /// The sheet's name; empty for workbook-wide texts.
  std::string_view Sheet;
  /// The kind of text: "cell", "formula" (its text constants), "formula
  /// result", "sheet name", "header", "footer", "font name", "number format",
  /// "note" or "defined name" (the text constants of its definition).
  const char* Item = "cell";
  /// Zero-based row of a cell; -1 for other texts.
  int32_t Row = -1;
  /// Zero-based column of a cell; -1 for other texts.
  int32_t Col = -1;
};

/// Turns stored texts into record bytes for one save.
class TXLSTextEncoder {
 public:
  /// @param code_page The workbook's code page.
  /// @param utf8 Whether stored texts are UTF-8 (converted) or code page bytes
  /// (written as they are).
  TXLSTextEncoder(uint16_t code_page, bool utf8);
  /// Closes the conversions.
  ~TXLSTextEncoder();

  /// A stored text as a record carries it.
  /// @param text The stored text.
  /// @param max_bytes The record's limit, in bytes.
  /// @param place Where the text lives, for the report.
  /// @param replacement What a character the code page lacks becomes (UTF-8
  /// mode); it is counted under place.
  /// @return At most max_bytes of code page bytes, never ending inside a
  /// double-byte character; valid until the next call.
  std::string_view Encode(std::string_view text, size_t max_bytes, const TXLSTextPlace& place,
                          char replacement = '?');
  /// @param text A stored text.
  /// @return Its length in code page bytes (UTF-8 mode: after conversion).
  size_t CodePageLength(std::string_view text);
  /// A stored text as Encode would give it, whole and without counting its
  /// losses.
  /// @param text The stored text.
  /// @param replacement What a character the code page lacks becomes.
  /// @return The code page bytes.
  std::string CodePageForm(std::string_view text, char replacement);

  /// A stored text as Unicode records take it.
  /// @param text The stored text.
  /// @return text itself in UTF-8 mode; code page bytes converted to UTF-8
  /// otherwise (a byte the code page does not define becomes U+FFFD). Valid
  /// until the next call.
  std::string_view Utf8Form(std::string_view text);

  /// The character set a FONT record carries.
  /// @param font_char_set The font's own character set.
  /// @return font_char_set, or the code page's for a font left at 0 (ANSI).
  uint8_t FontCharSet(uint8_t font_char_set) const;

  /// @return The code page texts are written in.
  uint16_t GetCodePage() const { return codePage_; }
  /// @return The characters replaced so far.
  const TXLSTextLossReport& GetLosses() const { return losses_; }

 private:
  void Record(const std::vector<TXLSCodePageLoss>& losses, const TXLSTextPlace& place);

  uint16_t codePage_;
  bool utf8_;
  std::unique_ptr<TXLSCodePageConverter> converter_;  // UTF-8 mode, or once Utf8Form needs it
  std::vector<TXLSCodePageLoss> scratchLosses_;
  std::string converted_;
  TXLSTextLossReport losses_;
};

}  // namespace tabulon
