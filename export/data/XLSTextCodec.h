// Text conversion between UTF-8, what callers usually hold, and the code page
// a workbook declares for its texts (1252 unless chosen otherwise).
// Characters the code page cannot hold are replaced and reported with their
// position, never dropped silently; malformed UTF-8 is refused.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "XLSCodePage.h"

namespace tabulon {

/// Where a character sits in a text: 1-based line (counted at each LF) and
/// 1-based column in characters within that line, plus its byte offset.
struct TXLSTextPosition {
  /// Byte offset in the text, from 0.
  size_t Offset = 0;
  /// Line, from 1 (counted at each LF).
  uint32_t Line = 1;
  /// Column in characters within the line, from 1.
  uint32_t Column = 1;
};

/// A character without a code page 1252 form.
struct TXLSUnmappedChar {
  /// Where the character is.
  TXLSTextPosition Position;
  /// The character (a Unicode code point).
  uint32_t CodePoint = 0;
};

/// Result of XLSUtf8ToCp1252 and XLSUtf8ToCodePage. When Valid is false, Text holds the conversion
/// up to the malformed sequence, which starts at InvalidAt.
struct TXLSCp1252Text {
  /// The converted text, in code page 1252.
  std::string Text;
  /// Characters replaced, in text order.
  std::vector<TXLSUnmappedChar> Unmapped;
  /// false when the input is not valid UTF-8 (Text stops there).
  bool Valid = true;
  /// Where the malformed sequence starts when Valid is false.
  TXLSTextPosition InvalidAt;
};

/// Decodes the UTF-8 sequence at text[pos]. On success stores the code point,
/// moves pos past the sequence and returns true. Overlong forms, surrogates,
/// values above U+10FFFF and truncated sequences return false and leave pos.
bool XLSDecodeUtf8(const std::string& text, size_t& pos, uint32_t& code_point);

/// Appends the UTF-8 form of code_point (at most U+10FFFF, not a surrogate).
void XLSAppendUtf8(uint32_t code_point, std::string& out);

/// The code page 1252 byte of code_point, or -1 when the code page has none.
/// The five bytes the code page leaves undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D)
/// are never produced, since readers cannot decode them.
int32_t XLSUnicodeToCp1252(uint32_t code_point);

/// The character that a code page 1252 byte stands for; the five undefined
/// bytes answer U+FFFD.
uint32_t XLSCp1252ToUnicode(uint8_t byte);

/// Converts UTF-8 text to code page 1252. Characters the code page cannot hold
/// become `replacement` and are listed in Unmapped. Conversion stops at the
/// first malformed sequence (Valid false).
TXLSCp1252Text XLSUtf8ToCp1252(const std::string& utf8, char replacement = '?');

/// Converts UTF-8 text to the converter's code page, as XLSUtf8ToCp1252 does
/// for code page 1252.
/// @param utf8 The text.
/// @param converter The conversion to use.
/// @param replacement What a character the code page lacks becomes.
/// @return The text, with the replaced characters and their positions in
/// Unmapped; conversion stops at the first malformed sequence (Valid false).
TXLSCp1252Text XLSUtf8ToCodePage(const std::string& utf8, TXLSCodePageConverter& converter,
                                 char replacement = '?');

/// The same for a code page by number.
/// @param utf8 The text.
/// @param code_page Windows code page number: 1252 takes XLSUtf8ToCp1252; an
/// unknown code page hands the text back unchanged.
/// @param replacement What a character the code page lacks becomes.
/// @return The converted text with its losses.
TXLSCp1252Text XLSUtf8ToCodePage(const std::string& utf8, uint16_t code_page,
                                 char replacement = '?');

/// Checks UTF-8 text that is kept as it is (a BIFF8 workbook stores every
/// character), as the conversions check theirs.
/// @param utf8 The text.
/// @return utf8 itself with Valid true; when it is malformed, the text up to
/// the malformed sequence, Valid false and InvalidAt. Unmapped stays empty.
TXLSCp1252Text XLSCheckUtf8(const std::string& utf8);

/// @param utf8 Valid UTF-8 text.
/// @return Its length in UTF-16 units, as BIFF8 records count characters.
size_t XLSUtf16Length(const std::string& utf8);

/// @param utf8 UTF-8 text.
/// @param max_units A length in UTF-16 units.
/// @return The bytes of the longest start of utf8 that takes at most
/// max_units UTF-16 units; it ends on a character boundary.
size_t XLSUtf8PrefixOfUnits(const std::string& utf8, size_t max_units);

/// Converts text of a code page to UTF-8.
/// @param text Bytes in code_page.
/// @param code_page Windows code page number.
/// @return The UTF-8 text; bytes the code page does not define become U+FFFD.
std::string XLSCodePageToUtf8(const std::string& text, uint16_t code_page);

/// @param code_page Windows code page number.
/// @return "code page 1251 (Cyrillic)": a code page as messages name it.
std::string XLSCodePageDescription(uint16_t code_page);

/// Converts code page 1252 text to UTF-8 (the undefined bytes become U+FFFD).
std::string XLSCp1252ToUtf8(const std::string& cp1252);

/// "U+4E2D": the conventional name of a code point.
std::string XLSCodePointName(uint32_t code_point);

}  // namespace tabulon
