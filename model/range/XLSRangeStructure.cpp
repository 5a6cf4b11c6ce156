// Range operations that change the shape of a worksheet: merging and
// unmerging, inserting and deleting blocks of cells with the rest of the
// sheet shifting, clearing, and the widths, heights and hidden flags of the
// columns and rows a range covers.
#include <algorithm>
#include <utility>
#include <vector>

#include "XLSCellHeap.h"
#include "XLSCellRef.h"
#include "XLSColRowInfo.h"
#include "XLSNotes.h"
#include "XLSRange.h"
#include "XLSWorksheet.h"

namespace tabulon {

namespace {

bool OnSheet(int32_t row, int32_t col) {
  return row >= 0 && row <= XLSMaxRow && col >= 0 && col <= XLSMaxCol;
}

TXLSCellRef* StoredCell(const TXLSCellHeap& heap, int32_t row, int32_t col) {
  return OnSheet(row, col) ? heap.GetValue(static_cast<uint16_t>(row), static_cast<uint8_t>(col))
                           : nullptr;
}

TXLSCellRef* CreatedCell(TXLSCellHeap& heap, int32_t row, int32_t col) {
  return heap.GetOrCreateValue(static_cast<uint16_t>(row), static_cast<uint8_t>(col));
}

// Merging runs across (one area per row) for true or a positive number.
bool IsAcross(const OleVariant& across) {
  if (across.VarType() == varBoolean) return across.ToBool();
  return VarIsNumeric(across) && across.ToDouble() > 0;
}

// The shift constant an integer argument names, or 0 for any other argument.
int64_t ShiftConstant(const OleVariant& shift) {
  return VarIsInteger(shift) ? shift.ToInt64() : 0;
}

int32_t LastUsedRow(const TXLSCellHeap& heap) {
  return heap.GetRowCount() > 0 ? heap.GetLastRow() : 0;
}
int32_t LastUsedCol(const TXLSCellHeap& heap) {
  return heap.GetColCount() > 0 ? heap.GetLastCol() : 0;
}

// The values a width, height or hidden setter gives to the lines first to
// last: one value for all, or a one-dimensional array laid along the lines
// (a single element for all of them; lines past a longer array's end are
// left alone). Every value is converted before any line changes, so a value
// that does not convert changes nothing. Any other array gives nothing.
template <class T, class TConvert>
std::vector<T> LineValues(const OleVariant& v, int32_t first, int32_t last, TConvert convert) {
  const int32_t count = last - first + 1;
  if (!VarIsArray(v)) return std::vector<T>(static_cast<size_t>(count), convert(v));
  std::vector<T> values;
  if (v.DimCount() != 1) return values;
  const int32_t low = v.LowBound(1);
  const int64_t length = int64_t{v.HighBound(1)} - low + 1;
  for (int32_t j = 0; j < count; ++j) {
    if (j < length) {
      values.push_back(convert(v.GetElement({low + j})));
    } else if (length == 1) {
      values.push_back(values.front());
    } else {
      break;
    }
  }
  return values;
}

template <class T, class TConvert, class TSet>
void SetLines(const OleVariant& v, int32_t first, int32_t last, TConvert convert, TSet set) {
  const std::vector<T> values = LineValues<T>(v, first, last, convert);
  for (size_t j = 0; j < values.size(); ++j) set(first + static_cast<int32_t>(j), values[j]);
}

// One line's value, or an array [0 .. last - first] of the lines' values.
template <class TGet>
OleVariant GetLines(int32_t first, int32_t last, TGet get) {
  if (first == last) return OleVariant(get(first));
  OleVariant values = VarArrayCreate({0, last - first});
  for (int32_t j = 0; j <= last - first; ++j) values.PutElement({j}, OleVariant(get(first + j)));
  return values;
}

double ToWidth(const OleVariant& v) {
  return v.ToDouble();
}
bool ToFlag(const OleVariant& v) {
  return v.ToBool();
}

}  // namespace

// ---- Stored cells of the rectangle -------------------------------------------------

bool TXLSRange::StoredRows(int32_t& first, int32_t& last) const {
  const TXLSCellHeap& heap = Worksheet.GetCellHeap();
  if (heap.GetRowCount() == 0) return false;
  first = std::max<int32_t>(FirstRow, heap.GetFirstRow());
  last = std::min<int32_t>(LastRow, heap.GetLastRow());
  return first <= last;
}

bool TXLSRange::StoredCols(int32_t& first, int32_t& last) const {
  const TXLSCellHeap& heap = Worksheet.GetCellHeap();
  if (heap.GetColCount() == 0) return false;
  first = std::max<int32_t>(FirstCol, heap.GetFirstCol());
  last = std::min<int32_t>(LastCol, heap.GetLastCol());
  return first <= last;
}

template <class TVisit>
void TXLSRange::ForEachStoredCell(TVisit visit) {
  int32_t firstRow = 0, lastRow = 0, firstCol = 0, lastCol = 0;
  if (!StoredRows(firstRow, lastRow) || !StoredCols(firstCol, lastCol)) return;
  const TXLSCellHeap& heap = Worksheet.GetCellHeap();
  for (int32_t row = firstRow; row <= lastRow; ++row) {
    for (int32_t col = firstCol; col <= lastCol; ++col) {
      if (TXLSCellRef* cell = StoredCell(heap, row, col)) visit(*cell);
    }
  }
}

// The caller has counted the reference to xf_index; the one the cell held
// is dropped (index 0 of the table is not counted).
void TXLSRange::TakeFormat(TXLSCellRef& cell, int32_t xf_index) {
  XFList().ReplaceIndex(cell.XFIndex, 0);
  cell.XFIndex = xf_index;
}

// ---- Merging -------------------------------------------------------------------

void TXLSRange::Merge(const OleVariant& across) {
  const bool byRow = !VarIsMissing(across) && IsAcross(across);
  ExtendRange();
  TXLSCellHeap& heap = Worksheet.GetCellHeap();
  TXLSCellRef* master = nullptr;
  for (int32_t i = 0; i < Height(); ++i) {
    for (int32_t j = 0; j < Width(); ++j) {
      TXLSCellRef* cell = CreatedCell(heap, FirstRow + i, FirstCol + j);
      if (j == 0 && (byRow || i == 0)) {
        master = cell;
        cell->RowSpan = byRow ? 1 : Height();
        cell->ColSpan = static_cast<uint16_t>(Width());
      } else {
        // A former master absorbed into the new area keeps no span.
        cell->ClearValue(heap.Texts());
        Worksheet.GetFormulas().Erase(FirstRow + i, FirstCol + j);
        cell->RowSpan = 0;
        cell->ColSpan = 0;
      }
      cell->MergeMaster = master;
      cell->Merged = true;
    }
  }
}

// Only cells that name this master are released: a damaged span can never
// take cells away from a neighbouring area.
void TXLSRange::UnMergeCell(TXLSCellRef& master) {
  const int32_t firstRow = master.GetRow();
  const int32_t firstCol = master.GetCol();
  const int32_t lastRow = std::min(firstRow + std::max(master.RowSpan, 1) - 1, int32_t{XLSMaxRow});
  const int32_t lastCol =
      std::min(firstCol + std::max<int32_t>(master.ColSpan, 1) - 1, int32_t{XLSMaxCol});
  const TXLSCellHeap& heap = Worksheet.GetCellHeap();
  for (int32_t row = firstRow; row <= lastRow; ++row) {
    for (int32_t col = firstCol; col <= lastCol; ++col) {
      TXLSCellRef* cell = StoredCell(heap, row, col);
      if (cell && cell->MergeMaster == &master) cell->ClearMerge();
    }
  }
}

void TXLSRange::Unmerge() {
  ForEachStoredCell([this](TXLSCellRef& cell) {
    if (!cell.Merged) return;
    if (cell.MergeMaster) {
      UnMergeCell(*cell.MergeMaster);
    } else {
      cell.ClearMerge();
    }
  });
}

void TXLSRange::UnMergeOutgoingRanges(int32_t row1, int32_t col1, int32_t row2, int32_t col2) {
  const TXLSCellHeap& heap = Worksheet.GetCellHeap();
  const auto dissolveIf = [&](int32_t row, int32_t col, auto crosses) {
    TXLSCellRef* cell = StoredCell(heap, row, col);
    if (cell && cell->Merged && cell->MergeMaster && crosses(*cell->MergeMaster))
      UnMergeCell(*cell->MergeMaster);
  };
  const auto lastRowOf = [](const TXLSCellRef& m) { return m.GetRow() + m.RowSpan - 1; };
  const auto lastColOf = [](const TXLSCellRef& m) { return m.GetCol() + m.ColSpan - 1; };
  for (int32_t col = col1; col <= col2; ++col) {
    dissolveIf(row1, col, [&](const TXLSCellRef& m) { return m.GetRow() < row1; });
    dissolveIf(row2, col, [&](const TXLSCellRef& m) { return lastRowOf(m) > row2; });
  }
  for (int32_t row = row1; row <= row2; ++row) {
    dissolveIf(row, col1, [&](const TXLSCellRef& m) { return m.GetCol() < col1; });
    dissolveIf(row, col2, [&](const TXLSCellRef& m) { return lastColOf(m) > col2; });
  }
}

// ---- Insert and delete ---------------------------------------------------------

// Moves what position (srcRow, srcCol) holds to (destRow, destCol): value,
// format (the one the source shows, made the destination's own) and merge
// state. A source off the sheet holds nothing. The source is left empty,
// without a format and unmerged.
void TXLSRange::MoveCell(int32_t srcRow, int32_t srcCol, int32_t destRow, int32_t destCol) {
  TXLSCellHeap& heap = Worksheet.GetCellHeap();
  TXLSCellRef* source = StoredCell(heap, srcRow, srcCol);
  bool owned = false;
  const int32_t index = OnSheet(srcRow, srcCol) ? ShownXF(source, srcRow, srcCol, owned) : 0;
  // An owned format's reference moves with the cell; a shown one is counted.
  if (!owned) XFList().IncReferredCount(index);
  if (OnSheet(srcRow, srcCol)) {
    Worksheet.GetFormulas().Move(srcRow, srcCol, destRow, destCol);
  } else {
    Worksheet.GetFormulas().Erase(destRow, destCol);
  }
  TXLSCellRef* dest = source != nullptr || index > 0 ? CreatedCell(heap, destRow, destCol)
                                                     : StoredCell(heap, destRow, destCol);
  if (dest == nullptr) return;
  if (source != nullptr) {
    dest->CopyValueFrom(*source, heap.Texts());
    dest->Merged = source->Merged;
    dest->MergeMaster = nullptr;
    dest->RowSpan = source->IsMergeMaster() ? source->RowSpan : 0;
    dest->ColSpan = source->IsMergeMaster() ? source->ColSpan : 0;
    if (source->Merged && source->MergeMaster) {
      const TXLSCellRef& master = *source->MergeMaster;
      dest->MergeMaster =
          CreatedCell(heap, master.GetRow() + destRow - srcRow, master.GetCol() + destCol - srcCol);
    }
    source->ClearValue(heap.Texts());
    source->XFIndex = 0;
    source->ClearMerge();
  } else {
    dest->ClearValue(heap.Texts());
    dest->ClearMerge();
  }
  TakeFormat(*dest, index);
}

// The columns of the walk's row at which MoveCell can change anything:
// where the source or the destination holds a cell, or the source shows a
// format without holding a cell. Elsewhere both positions are empty and
// unformatted, and a move leaves them so; skipping them keeps a whole-row
// or whole-column shift in step with the cells the sheet holds rather than
// with the 4 million positions it could hold. A source row with a format of
// its own shows it at every column, so then every column counts.
void TXLSRange::ColumnsToMove(const TCellShift& shift, int32_t row,
                              const std::vector<int32_t>& formattedCols,
                              std::vector<int32_t>& cols) const {
  cols.clear();
  const int32_t srcRow = row + shift.SrcRows;
  if (OnSheet(srcRow, 0) && RowXF(srcRow) != 0) {
    for (int32_t col = shift.FirstCol; col <= shift.LastCol; ++col) cols.push_back(col);
    return;
  }
  cols = formattedCols;
  const TXLSCellHeap& heap = Worksheet.GetCellHeap();
  const auto addStored = [&](int32_t cellRow, int32_t colOffset) {
    heap.ForEachIn(cellRow, shift.FirstCol + colOffset, cellRow, shift.LastCol + colOffset,
                   [&](const TXLSCellRef& cell) {
                     cols.push_back(cell.GetCol() - colOffset);
                     return true;
                   });
  };
  addStored(srcRow, shift.SrcCols);
  addStored(row + shift.DestRows, shift.DestCols);
  std::sort(cols.begin(), cols.end());
  cols.erase(std::unique(cols.begin(), cols.end()), cols.end());
}

// Walks the rectangle row by row, moving what each position of the walk
// offset by the source shift holds to it offset by the destination shift.
// The walk runs backwards when moving forwards, so that nothing is
// overwritten before it moved.
void TXLSRange::ShiftCells(const TCellShift& shift) {
  std::vector<int32_t> formattedCols;
  for (int32_t col = shift.FirstCol; col <= shift.LastCol; ++col) {
    const int32_t srcCol = col + shift.SrcCols;
    if (OnSheet(0, srcCol) && ColumnXF(srcCol) != 0) formattedCols.push_back(col);
  }
  std::vector<int32_t> cols;
  const auto moveRow = [&](int32_t row) {
    ColumnsToMove(shift, row, formattedCols, cols);
    if (shift.Backwards) std::reverse(cols.begin(), cols.end());
    for (int32_t col : cols)
      MoveCell(row + shift.SrcRows, col + shift.SrcCols, row + shift.DestRows,
               col + shift.DestCols);
  };
  if (shift.Backwards) {
    for (int32_t row = shift.LastRow; row >= shift.FirstRow; --row) moveRow(row);
  } else {
    for (int32_t row = shift.FirstRow; row <= shift.LastRow; ++row) moveRow(row);
  }
}

OleVariant TXLSRange::Insert(const OleVariant& shift) {
  const int64_t constant = ShiftConstant(shift);
  bool down = GetRangeType() != xlRangeWholeColumns;
  if (constant == xlShiftDown) down = true;
  if (constant == xlShiftToRight) down = false;
  const TXLSCellHeap& heap = Worksheet.GetCellHeap();
  const TXLSNotes& notes = Worksheet.GetNotes();
  // Neither a cell nor a note is pushed off the sheet.
  const int32_t lastRow = std::max(LastUsedRow(heap), notes.LastRowIn(FirstCol, LastCol));
  const int32_t lastCol = std::max(LastUsedCol(heap), notes.LastColIn(FirstRow, LastRow));
  if (down ? lastRow + Height() > XLSMaxRow : lastCol + Width() > XLSMaxCol)
    return OleVariant(false);
  AdjustFormulas(down, true);
  MoveNotes(down, true);
  Worksheet.ShiftAutoFilter(FirstRow, FirstCol, LastRow, LastCol, down, true);
  OpenCells(down);
  return OleVariant(true);
}

// The notes of the cells from the range to the sheet's end move with their
// cells; Delete removes those of the range's cells first.
void TXLSRange::MoveNotes(bool vertical, bool insert) {
  TXLSNotes& notes = Worksheet.GetNotes();
  if (!insert) notes.EraseRect(FirstRow, FirstCol, LastRow, LastCol);
  const int32_t rows = vertical ? (insert ? Height() : -Height()) : 0;
  const int32_t cols = vertical ? 0 : (insert ? Width() : -Width());
  if (vertical) {
    notes.MoveRect(FirstRow, FirstCol, XLSMaxRow, LastCol, rows, cols);
  } else {
    notes.MoveRect(FirstRow, FirstCol, LastRow, XLSMaxCol, rows, cols);
  }
}

// Pushes the cells from the range to the end of the used area down (or
// right) by the range's size, walking from the far end so that nothing is
// overwritten before it moved, then gives the opened block the format of
// its neighbour above (or left).
void TXLSRange::OpenCells(bool vertical) {
  TXLSCellHeap& heap = Worksheet.GetCellHeap();
  const int32_t rowShift = vertical ? Height() : 0;
  const int32_t colShift = vertical ? 0 : Width();
  const int32_t lastRow = vertical ? LastUsedRow(heap) : LastRow;
  const int32_t lastCol = vertical ? LastCol : LastUsedCol(heap);
  if (FirstRow <= lastRow && FirstCol <= lastCol) {
    UnMergeOutgoingRanges(FirstRow, FirstCol, lastRow, lastCol);
    ShiftCells({FirstRow, lastRow, FirstCol, lastCol, 0, 0, rowShift, colShift, true});
  }
  for (int32_t row = FirstRow; row <= LastRow; ++row) {
    for (int32_t col = FirstCol; col <= LastCol; ++col) {
      bool owned = false;
      const int32_t index =
          vertical ? GetXFIndex(FirstRow - 1, col, owned) : GetXFIndex(row, FirstCol - 1, owned);
      XFList().IncReferredCount(index);
      TXLSCellRef* cell = index > 0 ? CreatedCell(heap, row, col) : StoredCell(heap, row, col);
      if (cell == nullptr) continue;
      TakeFormat(*cell, index);
      cell->ClearMerge();
    }
  }
}

OleVariant TXLSRange::Delete(const OleVariant& shift) {
  const int64_t constant = ShiftConstant(shift);
  bool up = GetRangeType() != xlRangeWholeColumns;
  if (constant == xlShiftUp) up = true;
  if (constant == xlShiftToLeft) up = false;
  AdjustFormulas(up, false);
  MoveNotes(up, false);
  Worksheet.ShiftAutoFilter(FirstRow, FirstCol, LastRow, LastCol, up, false);
  CloseCells(up);
  return OleVariant(true);
}

// Pulls the cells after the range up (or left) over it, walking from the
// range onwards. Merged areas that cross the moved area, or the removed
// block, are dissolved first, so every area moves whole or is removed whole.
void TXLSRange::CloseCells(bool vertical) {
  const TXLSCellHeap& heap = Worksheet.GetCellHeap();
  const int32_t rowShift = vertical ? Height() : 0;
  const int32_t colShift = vertical ? 0 : Width();
  const int32_t lastRow = vertical ? LastUsedRow(heap) : LastRow;
  const int32_t lastCol = vertical ? LastCol : LastUsedCol(heap);
  if (FirstRow > lastRow || FirstCol > lastCol) return;
  UnMergeOutgoingRanges(FirstRow, FirstCol, lastRow, lastCol);
  UnMergeOutgoingRanges(FirstRow, FirstCol, LastRow, LastCol);
  ShiftCells({FirstRow, lastRow, FirstCol, lastCol, rowShift, colShift, 0, 0, false});
}

// ---- Clearing ------------------------------------------------------------------

void TXLSRange::ClearContents() {
  Worksheet.GetFormulas().EraseRect(FirstRow, FirstCol, LastRow, LastCol);
  // SetValue leaves the other cells of a merged area alone.
  TXLSTextPool* texts = Worksheet.GetCellHeap().Texts();
  ForEachStoredCell([texts](TXLSCellRef& cell) { cell.SetValue(OleVariant(), texts); });
}

void TXLSRange::Clear() {
  Worksheet.GetFormulas().EraseRect(FirstRow, FirstCol, LastRow, LastCol);
  TXLSTextPool* texts = Worksheet.GetCellHeap().Texts();
  ForEachStoredCell([this, texts](TXLSCellRef& cell) {
    cell.SetValue(OleVariant(), texts);
    TakeFormat(cell, 0);
  });
}

// ---- Widths, heights and visibility --------------------------------------------

OleVariant TXLSRange::GetColumnWidth() {
  const TXLSColumnInfoList& columns = Worksheet.GetColumnInfo();
  return GetLines(FirstCol, LastCol,
                  [&](int32_t col) { return static_cast<double>(columns.GetWidth(col)); });
}

void TXLSRange::SetColumnWidth(const OleVariant& width) {
  TXLSColumnInfoList& columns = Worksheet.GetColumnInfo();
  SetLines<double>(width, FirstCol, LastCol, ToWidth, [&](int32_t col, double value) {
    columns.SetWidth(col, static_cast<float>(value));
  });
}

OleVariant TXLSRange::GetRowHeight() {
  const TXLSRowInfoList& rows = Worksheet.GetRowInfo();
  return GetLines(FirstRow, LastRow,
                  [&](int32_t row) { return static_cast<double>(rows.GetHeight(row)); });
}

void TXLSRange::SetRowHeight(const OleVariant& height) {
  TXLSRowInfoList& rows = Worksheet.GetRowInfo();
  SetLines<double>(height, FirstRow, LastRow, ToWidth, [&](int32_t row, double value) {
    rows.SetHeight(row, static_cast<float>(value));
  });
}

OleVariant TXLSRange::GetHidden() {
  switch (RangeType) {
    case xlRangeRows: {
      const TXLSRowInfoList& rows = Worksheet.GetRowInfo();
      return GetLines(FirstRow, LastRow, [&](int32_t row) { return rows.GetHidden(row); });
    }
    case xlRangeColumns: {
      const TXLSColumnInfoList& columns = Worksheet.GetColumnInfo();
      return GetLines(FirstCol, LastCol, [&](int32_t col) { return columns.GetHidden(col); });
    }
    case xlRangeCells:
      break;
  }
  return OleVariant::Null();
}

void TXLSRange::SetHidden(const OleVariant& hidden) {
  switch (RangeType) {
    case xlRangeRows: {
      TXLSRowInfoList& rows = Worksheet.GetRowInfo();
      SetLines<bool>(hidden, FirstRow, LastRow, ToFlag,
                     [&](int32_t row, bool value) { rows.SetHidden(row, value); });
      break;
    }
    case xlRangeColumns: {
      TXLSColumnInfoList& columns = Worksheet.GetColumnInfo();
      SetLines<bool>(hidden, FirstCol, LastCol, ToFlag,
                     [&](int32_t col, bool value) { columns.SetHidden(col, value); });
      break;
    }
    case xlRangeCells:
      break;
  }
}

}  // namespace tabulon
