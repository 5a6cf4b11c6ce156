// The detail cells of one sheet of an export, written straight into the
// sheet's cell store instead of through a range per cell.
//
// Every detail cell of a column goes through the same formatting steps (font,
// fill, edges, alignment, number format), so what a cell ends up with depends
// only on its column, on a variant the component names (a date with or
// without a time of day), on the row's own format and on the formats that the
// cell, its left neighbour and the cell above hold before the steps: the
// steps draw the shared edges once and take them off the neighbour. The first
// time a column meets such a combination, the component formats the cell
// through the range interface and the outcome is noted; every later cell with
// the same combination takes the noted format indexes without asking the
// format table again. A noted outcome is exactly what the steps would give,
// and the steps that are skipped would find every format they touch already
// registered, so the formats are registered in the same order and the saved
// file is the same, byte for byte, as when every cell is formatted on its own.
#pragma once

#include <cstdint>
#include <vector>

#include "OleVariant.h"

namespace tabulon {

class TXLSCellRef;
class TXLSCellHeap;
class TXLSWorksheet;
class TXLSXFList;

class TXLSDetailCells {
 public:
  // The block's columns start at first_col; the cells above its first row
  // are those of header_row.
  TXLSDetailCells(TXLSWorksheet& sheet, TXLSXFList& formats, int32_t header_row, int32_t first_col,
                  int32_t columns);

  // True when nothing is stored below header_row yet: only then do the left
  // neighbour and the cell above name every cell the steps can touch.
  static bool CanWriteBelow(TXLSWorksheet& sheet, int32_t header_row);

  // Starts the next row of the block; rows come in order, one below the other.
  void BeginRow(int32_t row);
  // Creates the cell of column i (0 = first_col) of the current row and
  // stores value in it; null leaves it empty.
  void Put(int32_t i, const OleVariant* value);
  // Gives the cell of column i the formats noted for its combination. False
  // when the combination is new: the caller then formats the cell through the
  // range interface and calls Learn(i).
  bool ApplyKnownFormats(int32_t i, uint8_t variant);
  // Notes what the caller's formatting made of the combination that
  // ApplyKnownFormats(i, ...) last failed to find.
  void Learn(int32_t i);

 private:
  // Raw format indexes of the cell, its left neighbour and the cell above;
  // -1 where no cell is stored.
  struct TCellFormats {
    int32_t Self = 0;
    int32_t Left = -1;
    int32_t Above = -1;
    bool operator==(const TCellFormats& other) const {
      return Self == other.Self && Left == other.Left && Above == other.Above;
    }
  };
  struct TCombination {
    uint8_t Variant = 0;
    int32_t RowFormat = 0;       // format of the cell's row, 0 for none
    int32_t AboveRowFormat = 0;  // format of the row above
    TCellFormats Before;
    bool operator==(const TCombination& other) const {
      return Variant == other.Variant && RowFormat == other.RowFormat &&
             AboveRowFormat == other.AboveRowFormat && Before == other.Before;
    }
  };
  struct TOutcome {
    TCombination Combination;
    TCellFormats After;
  };

  TCellFormats FormatsAround(int32_t i) const;
  int32_t RowFormat(int32_t row) const;
  void SetFormat(TXLSCellRef* cell, int32_t index);

  TXLSWorksheet& sheet_;
  TXLSCellHeap& heap_;
  TXLSXFList& formats_;
  int32_t firstCol_;
  int32_t row_ = -1;
  int32_t rowFormat_ = 0;
  int32_t aboveRowFormat_ = 0;
  std::vector<TXLSCellRef*> above_;
  std::vector<TXLSCellRef*> current_;
  std::vector<std::vector<TOutcome>> outcomes_;  // per column
  TCombination pending_;
};

}  // namespace tabulon
