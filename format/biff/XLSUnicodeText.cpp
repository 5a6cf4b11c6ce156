#include "XLSUnicodeText.h"

#include <algorithm>
#include <utility>

namespace tabulon {
namespace {

constexpr char16_t kReplacementChar = 0xFFFD;

bool IsContinuation(unsigned char byte) {
  return (byte & 0xC0) == 0x80;
}

// Length of the sequence a lead byte opens and the payload bits it carries;
// 0 for bytes that cannot open a sequence.
int SequenceLength(unsigned char lead, uint32_t& bits) {
  if (lead < 0x80) {
    bits = lead;
    return 1;
  }
  if ((lead & 0xE0) == 0xC0) {
    bits = lead & 0x1F;
    return 2;
  }
  if ((lead & 0xF0) == 0xE0) {
    bits = lead & 0x0F;
    return 3;
  }
  if ((lead & 0xF8) == 0xF0) {
    bits = lead & 0x07;
    return 4;
  }
  return 0;
}

// Smallest code point that needs a sequence of each length; anything below
// is an overlong form.
constexpr uint32_t kMinimumForLength[5] = {0, 0, 0x80, 0x800, 0x10000};

// Appends the units of code_point when they all fit max_units; false when
// they do not (a pair is never cut in half).
bool AppendUnits(uint32_t code_point, size_t max_units, std::u16string& out) {
  const size_t units = code_point < 0x10000 ? 1 : 2;
  if (max_units - out.size() < units) return false;
  if (units == 1) {
    out += static_cast<char16_t>(code_point);
  } else {
    const uint32_t offset = code_point - 0x10000;
    out += static_cast<char16_t>(0xD800 + (offset >> 10));
    out += static_cast<char16_t>(0xDC00 + (offset & 0x3FF));
  }
  return true;
}

// The units a length field stores of text: all of them, or as many as the
// field can count without ending inside a surrogate pair.
size_t StoredUnits(std::u16string_view text, TXLSLengthField length) {
  const size_t limit = length == TXLSLengthField::k8Bit ? 0xFF : 0xFFFF;
  if (text.size() <= limit) return text.size();
  return XLSIsHighSurrogate(text[limit - 1]) ? limit - 1 : limit;
}

}  // namespace

bool XLSDecodeUtf8Char(std::string_view text, size_t& pos, uint32_t& code_point) {
  if (pos >= text.size()) return false;
  uint32_t value = 0;
  const int length = SequenceLength(static_cast<unsigned char>(text[pos]), value);
  if (length == 0 || pos + length > text.size()) return false;
  for (int i = 1; i < length; ++i) {
    const unsigned char byte = static_cast<unsigned char>(text[pos + i]);
    if (!IsContinuation(byte)) return false;
    value = value << 6 | (byte & 0x3F);
  }
  const bool surrogate = value >= 0xD800 && value <= 0xDFFF;
  if (value < kMinimumForLength[length] || value > 0x10FFFF || surrogate) return false;
  code_point = value;
  pos += length;
  return true;
}

std::u16string XLSUtf8ToUtf16(std::string_view utf8, size_t max_units) {
  std::u16string out;
  out.reserve(std::min(utf8.size(), max_units));
  size_t pos = 0;
  while (pos < utf8.size() && out.size() < max_units) {
    const unsigned char byte = static_cast<unsigned char>(utf8[pos]);
    // Most texts are ASCII: its bytes are their own units.
    if (byte < 0x80) {
      out += static_cast<char16_t>(byte);
      ++pos;
      continue;
    }
    uint32_t codePoint = kReplacementChar;
    if (!XLSDecodeUtf8Char(utf8, pos, codePoint)) ++pos;
    if (!AppendUnits(codePoint, max_units, out)) break;
  }
  return out;
}

namespace {

// Walks the characters of utf8 while their units stay within max_units:
// the bytes walked and the units they make.
std::pair<size_t, size_t> WalkUnits(std::string_view utf8, size_t max_units) {
  size_t pos = 0, units = 0;
  while (pos < utf8.size()) {
    size_t next = pos;
    uint32_t code_point = 0;
    if (!XLSDecodeUtf8Char(utf8, next, code_point)) next = pos + 1;
    const size_t width = code_point > 0xFFFF ? 2 : 1;
    if (units + width > max_units) break;
    units += width;
    pos = next;
  }
  return {pos, units};
}

}  // namespace

size_t XLSFitUnits(std::string_view utf8, size_t max_units) {
  return WalkUnits(utf8, max_units).first;
}

size_t XLSUtf16Units(std::string_view utf8) {
  return WalkUnits(utf8, SIZE_MAX).second;
}

bool XLSFitsCompressed(std::u16string_view text) {
  return std::all_of(text.begin(), text.end(), [](char16_t unit) { return unit < 0x100; });
}

uint32_t XLSUnicodeStringSize(std::u16string_view text, TXLSLengthField length) {
  const size_t units = StoredUnits(text, length);
  const uint32_t field = length == TXLSLengthField::k8Bit ? 1 : 2;
  const uint32_t unitSize = XLSFitsCompressed(text.substr(0, units)) ? 1 : 2;
  return field + 1 + static_cast<uint32_t>(units) * unitSize;
}

void XLSAddUnicodeString(TXLSBlob& record, std::u16string_view text, TXLSLengthField length) {
  const std::u16string_view stored = text.substr(0, StoredUnits(text, length));
  if (length == TXLSLengthField::k8Bit) {
    record.AddByte(static_cast<uint8_t>(stored.size()));
  } else {
    record.AddWord(static_cast<uint16_t>(stored.size()));
  }
  const bool compact = XLSFitsCompressed(stored);
  record.AddByte(compact ? 0 : 1);
  XLSAddCharacters(record, stored, compact);
}

void XLSAddCharacters(TXLSBlob& record, std::u16string_view text, bool compact) {
  for (const char16_t unit : text) {
    if (compact) {
      record.AddByte(static_cast<uint8_t>(unit));
    } else {
      record.AddWord(unit);
    }
  }
}

}  // namespace tabulon
