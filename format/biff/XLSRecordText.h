// Texts that BIFF5 records carry behind a one-byte length: font names, number
// format texts and style names.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "XLSBlob.h"
#include "XLSTextEncoder.h"

namespace tabulon {

// The number of bytes of text a one-byte length can describe: longer texts
// are cut, so the length byte always matches the bytes that follow it.
inline uint8_t ShortTextLength(std::string_view text) {
  return static_cast<uint8_t>(text.size() < 255 ? text.size() : 255);
}

// Appends the length byte and the (possibly cut) text.
inline void AddShortText(TXLSBlob& record, std::string_view text) {
  const uint8_t length = ShortTextLength(text);
  record.AddByte(length);
  record.AddString(std::string(text.substr(0, length)));
}

/// A stored text as a record carries it behind a one-byte length.
/// @param text The stored text.
/// @param encoder The workbook's encoder, or null.
/// @param place Where the text lives, for the report of replaced characters.
/// @return Through the encoder: code page bytes, cut on a character boundary;
/// without: the first 255 bytes of text.
inline std::string_view ShortRecordText(std::string_view text, TXLSTextEncoder* encoder,
                                        const TXLSTextPlace& place) {
  return encoder ? encoder->Encode(text, 255, place) : text.substr(0, ShortTextLength(text));
}

}  // namespace tabulon
