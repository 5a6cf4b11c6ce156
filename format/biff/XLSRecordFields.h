// The fields both file formats lay out alike inside records that differ
// elsewhere: the start of BOF, the fixed part of FONT, and the protection,
// alignment and fill-colour bits of XF. Each encoder builds the rest of the
// record around them.
#pragma once

#include <cstdint>

#include "XLSRecordEncoder.h"

namespace tabulon {

/// A BOF record with data_length data bytes, its version, substream type,
/// build and year appended; the encoder appends what its format adds.
TXLSBlob BofRecord(uint16_t data_length, uint16_t version, uint16_t substream, uint16_t build,
                   uint16_t year);

/// Appends the 14 bytes of a FONT record before its name.
void AddFontFields(TXLSBlob& record, const TXLSFontFields& font, uint8_t char_set);

/// Built-in name code of the filter database: the list an AutoFilter filters.
constexpr uint8_t kFilterDatabaseName = 0x0D;
/// The option flags of a built-in NAME: built-in, and hidden for the filter
/// database, which readers keep out of their lists of names.
/// @param code the built-in name's code
uint16_t BuiltinNameOptions(uint8_t code);

/// The XF word of protection bits, the style flag and the parent style.
uint16_t XFProtectionWord(const TXLSXFFields& xf);
/// The XF alignment bits: horizontal (0-2), wrap (3), vertical (4-6).
uint8_t XFAlignmentBits(const TXLSXFFields& xf);
/// The XF fill colours: foreground (bits 0-6), background (7-13), then the
/// two high bits as set.
uint16_t XFColorWord(const TXLSXFFields& xf);

}  // namespace tabulon
