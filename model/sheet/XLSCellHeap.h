// The sparse cell store of a worksheet. Every cell that was ever given a
// value, a format or a merge mark lives here until its sheet is destroyed;
// the range operations create and change cells through it and the sheet
// stream walks it once per save, in row-major order, to write cell records.
//
// Access by (row, column) is a fixed number of array indexings. Row blocks of
// 256 rows hold, per row, the references to column groups of 32 cells; a
// group holds 32-bit cell numbers into a per-sheet arena that places cells
// one after another in large blocks (TXLSLargeBlocks). Nothing is allocated
// for untouched parts of the sheet, and a dense sheet costs about 36 bytes
// per cell plus its texts.
#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "OleVariant.h"
#include "XLSLargeBlocks.h"

namespace tabulon {

class TXLSWorksheet;

// Where the texts of one sheet's cells live: large blocks that last as long
// as the sheet, so that storing a text costs no heap allocation of its own and
// dropping a sheet frees a few blocks instead of every text. A text block is
// a 32-bit length followed by the bytes, rounded up to 16 bytes; a block given
// back is reused for the next text of the same rounded size, so rewriting
// cells does not make the pool grow without bound.
class TXLSTextPool {
 public:
  // Longest text the pool takes; longer ones get a heap block of their own.
  static constexpr size_t kMaxPooledLength = 508;

  TXLSTextPool() = default;
  TXLSTextPool(const TXLSTextPool&) = delete;
  TXLSTextPool& operator=(const TXLSTextPool&) = delete;

  // A block holding text (length first), or null when text is too long.
  char* Store(std::string_view text);
  // Gives back a block that Store returned, for reuse.
  void Release(char* block) noexcept;
  // Bytes of the blocks taken so far.
  size_t GetReservedBytes() const { return blocks_.GetReservedBytes(); }

 private:
  static constexpr size_t kGranule = 16;
  static constexpr size_t kClasses = (sizeof(uint32_t) + kMaxPooledLength) / kGranule;

  static size_t ClassOf(size_t length) {
    return (sizeof(uint32_t) + length + kGranule - 1) / kGranule;
  }

  TXLSLargeBlocks blocks_;
  std::array<char*, kClasses + 1> free_{};  // per class, a list linked through the blocks
};

// The value type of a cell; a date-time is a day serial number whose
// fraction is the time of day.
enum TXLSValueType : uint8_t {
  xlEmpty = 0,
  xlString = 1,
  xlDoubleNumber = 2,
  xlDateTime = 3,
  xlBoolean = 4
};

// One stored cell. The value setters take the pool of the cell's sheet, where
// its texts then live; without one a text gets a heap block of its own. (A
// pooled text replaced without its pool stays unused in the pool until the
// sheet goes.) The merge fields are set and cleared by the range
// operations; a merged area is a master (Merged, MergeMaster == itself, spans
// >= 1) plus the other cells of its rectangle (Merged, MergeMaster == the
// master, no value).
class TXLSCellRef {
 public:
  TXLSCellRef(uint16_t row, uint8_t col) noexcept : row_(row), col_(col) {}
  ~TXLSCellRef() { FreeText(nullptr); }
  TXLSCellRef(const TXLSCellRef&) = delete;
  TXLSCellRef& operator=(const TXLSCellRef&) = delete;

  uint16_t GetRow() const { return row_; }
  uint8_t GetCol() const { return col_; }

  // Stores a variant: empty and Null empty the cell; integer, floating and
  // currency types become numbers; a date a date-time; a boolean a boolean;
  // a string that is exactly the decimal text of a signed 32-bit integer
  // becomes that number, any other string stays text. Other types (error,
  // arrays) and any value given to a merged cell that is not its area's
  // master change nothing. The format and merge fields are never touched.
  void SetValue(const OleVariant& value, TXLSTextPool* pool = nullptr);
  // Null for an empty cell and for a merged cell that is not the master.
  OleVariant GetValue() const;

  TXLSValueType GetValueType() const { return type_; }
  // The text while the type is xlString, else empty.
  std::string_view GetText() const;
  // The number or date-time serial, else 0.
  double GetNumber() const { return IsNumeric() ? number_ : 0.0; }
  bool IsNumeric() const { return type_ == xlDoubleNumber || type_ == xlDateTime; }
  // The value while the type is xlBoolean, else false.
  bool GetBoolean() const { return type_ == xlBoolean && number_ != 0.0; }

  // Direct value setters for the structure operations (no merge check).
  void SetString(std::string_view text, TXLSTextPool* pool = nullptr);
  void SetNumber(double number, TXLSValueType type = xlDoubleNumber, TXLSTextPool* pool = nullptr);
  void ClearValue(TXLSTextPool* pool = nullptr);
  // Copies value type, text and number of other.
  void CopyValueFrom(const TXLSCellRef& other, TXLSTextPool* pool = nullptr);

  bool IsMergeMaster() const { return Merged && MergeMaster == this; }
  // Not merged: no master, spans 0.
  void ClearMerge();

 private:
  void FreeText(TXLSTextPool* pool) noexcept;

  // The fields are ordered so that a cell takes 32 bytes. Only one of the
  // union's two is meaningful at a time, as the value type says; text_
  // points to a block of a 32-bit length followed by the bytes, in a pool
  // when textPooled_ says so, else owned by the cell.
  union {
    double number_ = 0.0;
    char* text_;
  };

 public:
  TXLSCellRef* MergeMaster = nullptr;
  // Index into the workbook's XF table; 0 or less: no format of its own.
  int32_t XFIndex = 0;
  int32_t RowSpan = 0;   // rows of the merged area, on a master
  uint16_t ColSpan = 0;  // columns of the merged area, on a master

 private:
  uint16_t row_;
  uint8_t col_;
  TXLSValueType type_ = xlEmpty;
  bool textPooled_ = false;

 public:
  bool Merged = false;
};

class TXLSCellHeap {
 public:
  explicit TXLSCellHeap(TXLSWorksheet* owner = nullptr);
  ~TXLSCellHeap();
  TXLSCellHeap(const TXLSCellHeap&) = delete;
  TXLSCellHeap& operator=(const TXLSCellHeap&) = delete;

  // The cell at (row, col), created (with the index levels it needs) when
  // absent; never null. Creating widens the bounding rectangle.
  TXLSCellRef* GetOrCreateValue(uint16_t row, uint8_t col);
  // The cell at (row, col) or null; allocates nothing.
  TXLSCellRef* GetValue(uint16_t row, uint8_t col) const;
  // The cells of row from first_col to last_col, created where absent, into
  // cells[0 .. last_col - first_col]: GetOrCreateValue for a run of a row,
  // with the index walked once per row and per group of columns.
  void GetOrCreateRun(uint16_t row, uint8_t first_col, uint8_t last_col, TXLSCellRef** cells);

  TXLSWorksheet* GetOwner() const { return owner_; }
  // Bounding rectangle of every cell ever created; counts 0 while empty.
  int32_t GetFirstRow() const { return firstRow_; }
  int32_t GetLastRow() const { return lastRow_; }
  int32_t GetRowCount() const { return rowCount_; }
  int32_t GetFirstCol() const { return firstCol_; }
  int32_t GetLastCol() const { return lastCol_; }
  int32_t GetColCount() const { return colCount_; }
  // Number of stored cells.
  uint32_t GetCellCount() const { return cellCount_; }
  // The pool for the texts of this sheet's cells.
  TXLSTextPool* Texts() { return &texts_; }

  // Calls fn(TXLSCellRef&) for every stored cell: rows ascending, columns
  // ascending within a row, skipping untouched blocks.
  template <class Fn>
  void ForEach(Fn&& fn) const;
  // Calls fn(TXLSCellRef&) for every stored cell of the rectangle
  // (zero-based, inclusive), in the order of ForEach, skipping untouched
  // blocks and groups; fn answers false to stop the walk.
  template <class Fn>
  void ForEachIn(int32_t row1, int32_t col1, int32_t row2, int32_t col2, Fn&& fn) const;

 private:
  static constexpr int kRowsPerBlock = 256;
  static constexpr int kGroupSize = 32;
  static constexpr int kGroupsPerRow = 256 / kGroupSize;
  static constexpr uint32_t kArenaShift = 12;  // 4096 cells per arena block
  static constexpr uint32_t kArenaBlock = 1u << kArenaShift;
  static constexpr size_t kArenaBytes = size_t{kArenaBlock} * sizeof(TXLSCellRef);
  static_assert(kArenaBytes <= TXLSLargeBlocks::kMaxAllocation, "an arena block is too large");

  // Cell numbers are 1-based; 0 marks an empty slot.
  struct TCellGroup {
    std::array<uint32_t, kGroupSize> Cells{};
  };
  struct TRowBlock {
    std::array<std::array<TCellGroup*, kGroupsPerRow>, kRowsPerBlock> Rows{};
  };
  TXLSCellRef* NewCell(uint16_t row, uint8_t col, uint32_t& number);
  void* Slot(uint32_t index) const;
  TXLSCellRef* CellAt(uint32_t number) const;
  void Widen(int32_t row, int32_t col);

  TXLSWorksheet* owner_;
  TXLSTextPool texts_;
  std::array<TRowBlock*, 256> top_{};
  TXLSLargeBlocks index_;  // the row blocks and column groups
  TXLSLargeBlocks cellBlocks_;
  std::vector<TXLSCellRef*> arena_;  // the arena blocks, each kArenaBlock cells
  uint32_t cellCount_ = 0;           // cells 1 to cellCount_ are alive, in creation order
  int32_t firstRow_ = 0, lastRow_ = 0, rowCount_ = 0;
  int32_t firstCol_ = 0, lastCol_ = 0, colCount_ = 0;
};

template <class Fn>
void TXLSCellHeap::ForEach(Fn&& fn) const {
  for (const auto& block : top_) {
    if (!block) continue;
    for (const auto& row : block->Rows) {
      for (const TCellGroup* group : row) {
        if (group == nullptr) continue;
        for (uint32_t number : group->Cells) {
          if (number != 0) fn(*CellAt(number));
        }
      }
    }
  }
}

template <class Fn>
void TXLSCellHeap::ForEachIn(int32_t row1, int32_t col1, int32_t row2, int32_t col2,
                             Fn&& fn) const {
  if (rowCount_ == 0) return;
  row1 = std::max(row1, firstRow_), row2 = std::min(row2, lastRow_);
  col1 = std::max(col1, firstCol_), col2 = std::min(col2, lastCol_);
  for (int32_t row = row1; row <= row2; ++row) {
    const TRowBlock* block = top_[static_cast<size_t>(row / kRowsPerBlock)];
    if (block == nullptr) {
      row |= kRowsPerBlock - 1;  // on to the next block
      continue;
    }
    const auto& groups = block->Rows[static_cast<size_t>(row % kRowsPerBlock)];
    for (int32_t col = col1; col <= col2; ++col) {
      const TCellGroup* group = groups[static_cast<size_t>(col / kGroupSize)];
      if (group == nullptr) {
        col |= kGroupSize - 1;  // on to the next group
        continue;
      }
      const uint32_t number = group->Cells[static_cast<size_t>(col % kGroupSize)];
      if (number != 0 && !fn(*CellAt(number))) return;
    }
  }
}

}  // namespace tabulon
