// Cell-address text and unit conversions: the free functions that move
// between the caller's vocabulary (one-based 'A1' references, '$1:$3' print
// titles, widths in characters, heights in points) and the library's own
// zero-based coordinates and record units. None of them keeps state.
#pragma once

#include <cstdint>
#include <string>

namespace tabulon {

class TXLSBlob;

/// Highest zero-based row index.
constexpr uint16_t XLSMaxRow = 65535;
/// Highest zero-based column index.
constexpr uint8_t XLSMaxCol = 255;
/// Longest string a cell keeps.
constexpr uint8_t XLSStrMax = 255;

/// 'C7' for row 6, column 2 (both zero-based). Never produces '$'.
std::string EncodeCellRef(uint16_t row, uint8_t col);
/// The two corner texts joined by ':', in the order given.
std::string EncodeCellRange(uint16_t firstRow, uint8_t firstCol, uint16_t lastRow, uint8_t lastCol);
/// Letters of the one-based column n (1..255), else empty text.
std::string ColIndexToColName(int32_t n);
/// One-based column number of the letters in text (other characters are
/// skipped), or -1 when there are none. Saturates at INT32_MAX.
int32_t ColNameToColIndex(const std::string& text);

/// Parses 'A1'-style text (case-insensitive, spaces skipped anywhere) into
/// zero-based row and column: 1, or -1 with both outputs untouched.
int32_t GetCellRef(const std::string& text, uint16_t& row, uint8_t& col);
/// Parses 'A1:C7'; corners are not reordered. 1 or -1; after -1 the outputs
/// may be partly written and must not be used.
int32_t GetCellRange(const std::string& text, uint16_t& firstRow, uint8_t& firstCol,
                     uint16_t& lastRow, uint8_t& lastCol);

/// '$1:$3' -> first 1, last 3 (one-based, ordered); false on malformed text or
/// a row outside 1 to 65535.
bool RowDiapasonToValues(const std::string& text, int32_t& first, int32_t& last);
/// (1, 3) -> '$1:$3'; empty text when a value is below 1. Returns 1.
int32_t ValuesToRowDiapason(int32_t first, int32_t last, std::string& text);
/// '$A:$C' -> first 1, last 3 (one-based, ordered); false on malformed text or
/// a column past IU (255), the last that ColIndexToColName names.
bool ColDiapasonToValues(const std::string& text, int32_t& first, int32_t& last);
/// (1, 3) -> '$A:$C'; empty text when a value is below 1. Returns 1.
int32_t ValuesToColDiapason(int32_t first, int32_t last, std::string& text);

/// Row height in points -> twentieths of a point, on a quarter-point grid.
int32_t Height2Excel(float points);
/// Twentieths of a point -> points, on a quarter-point grid.
float Excel2Height(uint16_t twips);
/// Column width in characters -> the stored 16-bit width.
uint16_t Width2Excel(float characters);
/// Stored width -> characters, two decimal places.
float Excel2Width(uint16_t stored);

/// Every line break (CR LF, LF, CR) becomes a single CR.
std::string Str2Xls(const std::string& text);

/// Writes the buffer's whole capacity as a hexadecimal dump to fileName.
/// Throws std::system_error naming the path when the file cannot be written.
void DumpData(const TXLSBlob& blob, const std::string& fileName);

}  // namespace tabulon
