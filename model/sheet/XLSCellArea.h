// A rectangle of a sheet's cells, as the BIFF8 sheet records that cover
// cells (HLINK, DV) list them, and what those records need of it: overlap
// tests and the cut of one rectangle out of another.
#pragma once

#include <cstdint>
#include <vector>

#include "XLSBlob.h"

namespace tabulon {

/// Rows FirstRow..LastRow and columns FirstCol..LastCol, both corners
/// included; FirstRow <= LastRow and FirstCol <= LastCol.
struct TXLSCellArea {
  uint16_t FirstRow = 0;  ///< zero-based top row
  uint16_t LastRow = 0;   ///< zero-based bottom row
  uint8_t FirstCol = 0;   ///< zero-based left column
  uint8_t LastCol = 0;    ///< zero-based right column

  /// @param other another rectangle
  /// @return true when the two share a cell
  bool Overlaps(const TXLSCellArea& other) const {
    return FirstRow <= other.LastRow && other.FirstRow <= LastRow && FirstCol <= other.LastCol &&
           other.FirstCol <= LastCol;
  }
  /// @return true when both corners are the same cell
  bool IsCell() const { return FirstRow == LastRow && FirstCol == LastCol; }
};

/// The cells of area that cut does not cover, as at most four rectangles
/// (above, left of, right of and below cut); area itself when they do not
/// overlap, nothing when cut covers it.
/// @param area the rectangle to cut
/// @param cut the cells to take out
/// @return the remaining rectangles, the one above first
std::vector<TXLSCellArea> XLSCutArea(const TXLSCellArea& area, const TXLSCellArea& cut);

/// Appends the area as the sheet records list cell ranges: first row, last
/// row, first column, last column, 16 bits each.
/// @param record the record being built
/// @param area the rectangle
void XLSAddCellArea(TXLSBlob& record, const TXLSCellArea& area);

}  // namespace tabulon
