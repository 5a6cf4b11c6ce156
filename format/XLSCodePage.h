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
bool XLSIsKnownCodePage(uint16_t code_page);

/// The code pages XLSIsKnownCodePage accepts, as text for messages:
/// "874, 932, 936, 949, 950, 1250-1258".
const char* XLSKnownCodePagesText();

/// The character-set byte of a FONT record that tells readers which code page
/// the texts use (0 for 1252, 204 for 1251, 128 for 932, ...); 0 for a code
/// page XLSIsKnownCodePage refuses.
uint8_t XLSCodePageCharSet(uint16_t code_page);

/// True when code_page stores some characters as two bytes (932, 936, 949,
/// 950).
bool XLSIsDoubleByteCodePage(uint16_t code_page);

/// The number of leading bytes of text, at most max_bytes, that end on a
/// character boundary of code_page: a double-byte character is never split.
/// For a single-byte code page this is min(text size, max_bytes).
size_t XLSFitBytes(std::string_view text, size_t max_bytes, uint16_t code_page);

/// One character that a conversion to a code page could not keep: its byte
/// offset in the UTF-8 input and its code point (U+FFFD for a byte that is not
/// valid UTF-8).
struct TXLSCodePageLoss {
  size_t Offset = 0;
  uint32_t CodePoint = 0;
};

/// Converts UTF-8 text to a Windows code page and back with iconv. One
/// converter serves any number of texts; it is not shared between threads.
class TXLSCodePageConverter {
 public:
  /// Opens the conversions for code_page. When the code page is unknown or
  /// the C library lacks it, IsOpen() is false and conversions hand the text
  /// back unchanged.
  explicit TXLSCodePageConverter(uint16_t code_page);
  ~TXLSCodePageConverter();
  TXLSCodePageConverter(const TXLSCodePageConverter&) = delete;
  TXLSCodePageConverter& operator=(const TXLSCodePageConverter&) = delete;

  /// True when both conversions are available.
  bool IsOpen() const;
  uint16_t GetCodePage() const { return codePage_; }

  /// The code page bytes of utf8. A character the code page lacks, and each
  /// byte that is not valid UTF-8, becomes `replacement` and is appended to
  /// losses (when not null).
  std::string FromUtf8(std::string_view utf8, std::vector<TXLSCodePageLoss>* losses,
                       char replacement = '?');
  /// The UTF-8 form of code page bytes; a byte sequence the code page does
  /// not define becomes U+FFFD.
  std::string ToUtf8(std::string_view bytes);

 private:
  struct TConversions;
  uint16_t codePage_;
  std::unique_ptr<TConversions> conversions_;
};

}  // namespace tabulon
