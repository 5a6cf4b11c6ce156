// Texts as BIFF8 records carry them: UTF-16 code units behind a length field
// and a flags byte that says whether the units follow in the compact form
// (one byte each, for texts of Latin-1 characters alone) or as UTF-16LE.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "XLSBlob.h"

namespace tabulon {

// Decodes the UTF-8 sequence at text[pos]. On success stores the code point,
// moves pos past the sequence and returns true. Overlong forms, surrogates,
// values above U+10FFFF and truncated sequences return false and leave pos.
bool XLSDecodeUtf8Char(std::string_view text, size_t& pos, uint32_t& code_point);

// UTF-16 code units of UTF-8 text; a byte that is not valid UTF-8 becomes U+FFFD; characters
// beyond the BMP become surrogate pairs. At most max_units units, never ending inside a pair.
std::u16string XLSUtf8ToUtf16(std::string_view utf8, size_t max_units = SIZE_MAX);

// How much of a UTF-8 text makes at most max_units UTF-16 units: the number
// of its leading bytes, ending on a character boundary (a byte that is not
// valid UTF-8 counts as the one unit of U+FFFD).
size_t XLSFitUnits(std::string_view utf8, size_t max_units);
// The UTF-16 units of a UTF-8 text, as XLSUtf8ToUtf16 makes them.
size_t XLSUtf16Units(std::string_view utf8);

// True when every unit is below 0x100: the text can be stored in the compact 8-bit form.
bool XLSFitsCompressed(std::u16string_view text);

// True when the unit opens a surrogate pair, so a text must not end after it.
inline bool XLSIsHighSurrogate(char16_t unit) {
  return unit >= 0xD800 && unit <= 0xDBFF;
}

// The length field before the flags byte.
enum class TXLSLengthField : uint8_t { k8Bit, k16Bit };

// Bytes a Unicode string takes in a record: length field (1 or 2) + flags byte + characters
// (1 byte each compressed, else 2). A text longer than its length field can count is cut, on
// a character boundary, to what the field holds.
uint32_t XLSUnicodeStringSize(std::u16string_view text, TXLSLengthField length);

// Appends length, flags (0 compact, 1 UTF-16LE) and the characters.
void XLSAddUnicodeString(TXLSBlob& record, std::u16string_view text, TXLSLengthField length);

// Appends the characters alone: one byte each when compact (every unit below
// 0x100), else two, little-endian.
void XLSAddCharacters(TXLSBlob& record, std::u16string_view text, bool compact);

}  // namespace tabulon
