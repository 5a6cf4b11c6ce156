// Window panes of a worksheet (frozen rows and columns, or a split at a
// distance) with their PANE record.
#pragma once

#include <cstdint>

namespace tabulon {

class TXLSRecordSection;

/// The values a PANE record carries.
struct TXLSPaneRecordValues {
  /// Width of the left pane: columns when frozen, else twips.
  uint16_t X = 0;
  /// Height of the top pane: rows when frozen, else twips.
  uint16_t Y = 0;
  /// First row shown in the lower pane, from 0.
  uint16_t TopRow = 0;
  /// First column shown in the right pane, from 0.
  uint16_t LeftCol = 0;
  /// The pane holding the selection (XLSPaneBottomRight .. XLSPaneTopLeft).
  uint16_t ActivePane = 3;
};

// Pane numbers of the PANE and SELECTION records.
constexpr uint16_t XLSPaneBottomRight = 0;  ///< Pane below and right of the splits.
constexpr uint16_t XLSPaneTopRight = 1;     ///< Pane above the split, right of the vertical one.
constexpr uint16_t XLSPaneBottomLeft = 2;   ///< Pane below the split, left of the vertical one.
constexpr uint16_t XLSPaneTopLeft =
    3;  ///< Pane above and left of the splits; the only one unsplit.

/// The window panes of a worksheet, set by IXLSWorkSheet::FreezePanes and ThawPanes.
class TXLSPanes {
 public:
  /// Frozen: Row rows above and Col columns left of the split stay in place.
  /// TopRow / LeftCol are the first row / column shown in the moving pane;
  /// 65535 as LeftCol (-1) takes the default, other columns above 255 leave
  /// the previous value.
  void Freeze(uint16_t row, uint16_t col, uint16_t topRow, uint16_t leftCol);
  /// A split that does not freeze: a top pane y points high and a left pane x
  /// characters wide (a negative or non-numeric size leaves the previous
  /// one); 0 and 0 leave no split.
  void Thaw(float y, float x, uint16_t topRow, uint16_t leftCol);

  /// @return Whether the panes are frozen (else a split, or none).
  bool IsFrozen() const { return frozen_; }
  /// @return Columns frozen, or the left pane's width in characters for a split.
  float GetX() const { return x_; }
  /// @return Rows frozen, or the top pane's height in points for a split.
  float GetY() const { return y_; }
  /// @return First row shown in the lower pane, from 0; -1 for the default.
  int32_t GetRowTop() const { return rowTop_; }
  /// @return First column shown in the right pane, from 0; -1 for the default.
  int16_t GetColLeft() const { return colLeft_; }

  /// The PANE values, split sizes in twips including the heading sizes;
  /// values beyond the 16-bit fields are held at 65535.
  TXLSPaneRecordValues GetRecordValues() const;
  /// Appends PANE and reports the active pane it names.
  int32_t Store(TXLSRecordSection& section, uint16_t& activePane) const;

 private:
  void SetTopLeft(uint16_t topRow, uint16_t leftCol);

  float x_ = 0;
  float y_ = 0;
  int32_t rowTop_ = -1;
  int16_t colLeft_ = -1;
  bool frozen_ = false;
};

}  // namespace tabulon
