// The Windows code pages a workbook can declare for its texts, and the
// conversion of UTF-8 text into them (through the C library's iconv). A
// workbook's record texts are bytes of its code page: single bytes for the
// European, Middle Eastern, Thai and Vietnamese pages, one or two bytes per
// character for Japanese (932), Chinese (936, 950) and Korean (949). Every cut
// of a record text to a byte limit ends on a character boundary.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace tabulon {

/// True for the code pages a workbook can declare: 874, 932, 936, 949, 950
/// and 1250 to 1258.
/// @param code_page Windows code page number.
/// @return false for any other number.
bool XLSIsKnownCodePage(uint16_t code_page);

/// The code pages XLSIsKnownCodePage accepts, as text for messages:
/// "874, 932, 936, 949, 950, 1250-1258".
const char* XLSKnownCodePagesText();

/// The character-set byte of a FONT record that tells readers which code page
/// the texts use.
/// @param code_page Windows code page number.
/// @return 0 for 1252, 204 for 1251, 128 for 932, ...; 0 for a code page
/// XLSIsKnownCodePage refuses.
uint8_t XLSCodePageCharSet(uint16_t code_page);

/// Whether a code page stores some characters as two bytes.
/// @param code_page Windows code page number.
/// @return true for 932, 936, 949 and 950.
bool XLSIsDoubleByteCodePage(uint16_t code_page);

/// The length of the character that starts a text.
/// @param text Bytes in code_page, not empty.
/// @param code_page The code page of text.
/// @return 2 for a lead byte of a double-byte code page that another byte
/// follows, else 1.
size_t XLSCharBytes(std::string_view text, uint16_t code_page);

/// How much of a text fits a byte limit without splitting a character.
/// @param text Bytes in code_page.
/// @param max_bytes The limit, in bytes.
/// @param code_page The code page of text.
/// @return The number of leading bytes of text, at most max_bytes, that end on
/// a character boundary; for a single-byte code page min(text size, max_bytes).
size_t XLSFitBytes(std::string_view text, size_t max_bytes, uint16_t code_page);

/// One character that a conversion to a code page could not keep: its byte
/// offset in the UTF-8 input and its code point (U+FFFD for a byte that is not
/// valid UTF-8).
struct TXLSCodePageLoss {
  size_t Offset = 0;       ///< byte offset in the UTF-8 input
  uint32_t CodePoint = 0;  ///< the character, U+FFFD for invalid UTF-8
};

/// Converts UTF-8 text to a Windows code page and back with iconv. One
/// converter serves any number of texts; it is not shared between threads.
/// A character that iconv maps but some reader cannot decode in the code page
/// (the euro sign as byte 0x80 in 936, which GBK decoders refuse) counts as
/// one the code page lacks, as do the tag characters U+E0000 to U+E007F,
/// which iconv would drop without a trace.
class TXLSCodePageConverter {
 public:
  /// Opens the conversions for a code page.
  /// @param code_page Windows code page number. When it is unknown or the C
  /// library lacks it, IsOpen() is false and conversions hand the text back
  /// unchanged.
  explicit TXLSCodePageConverter(uint16_t code_page);
  ~TXLSCodePageConverter();
  TXLSCodePageConverter(const TXLSCodePageConverter&) = delete;
  TXLSCodePageConverter& operator=(const TXLSCodePageConverter&) = delete;

  /// @return true when both conversions are available.
  bool IsOpen() const;
  /// @return The code page given to the constructor.
  uint16_t GetCodePage() const { return codePage_; }

  /// Converts UTF-8 text to the code page.
  /// @param utf8 The text; it may hold malformed bytes.
  /// @param losses When not null, receives each character the code page lacks
  /// and each byte that is not valid UTF-8, in the order of the text.
  /// @param replacement What such a character or byte becomes.
  /// @return The code page bytes.
  std::string FromUtf8(std::string_view utf8, std::vector<TXLSCodePageLoss>* losses,
                       char replacement = '?');
  /// Converts code page bytes to UTF-8.
  /// @param bytes Text in the code page.
  /// @return Its UTF-8 form; a byte sequence the code page does not define
  /// becomes U+FFFD.
  std::string ToUtf8(std::string_view bytes);

 private:
  struct TConversions;
  uint16_t codePage_;
  std::unique_ptr<TConversions> conversions_;
};

}  // namespace tabulon
