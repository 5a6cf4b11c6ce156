// The token bytes of a formula that a record keeps apart from any cell, read
// for a base cell: data validations (and conditional formats) store the
// relative parts of their references as offsets from the top-left cell of
// their first range (tRefN and tAreaN on their own sheet), not as positions.
#pragma once

#include <cstdint>
#include <vector>

#include "XLSFormula.h"

namespace tabulon {

/// EncodeFormula, with the relative rows and columns of references written
/// as offsets from the base cell (wrapped to the 16-bit row and 8-bit column
/// fields): references to the formula's own sheet become kRefN or kAreaN
/// tokens, those to other sheets stay 3-D tokens; absolute references are
/// written as EncodeFormula writes them.
/// @param formula the tokens, their references as positions on the sheet
/// @param sheet the sheet the formula belongs to
/// @param encoder the save's record encoder
/// @param place where the formula lives, for the report of replaced characters
/// @param base_row zero-based row of the base cell
/// @param base_col zero-based column of the base cell
/// @return the bytes; empty when a token cannot be written
std::vector<uint8_t> EncodeRelativeFormula(const TXLSFormula& formula, const TXLSWorksheet& sheet,
                                           const TXLSRecordEncoder& encoder,
                                           const TXLSTextPlace& place, int32_t base_row,
                                           int32_t base_col);

}  // namespace tabulon
