// The notes (comments) of a worksheet's cells: the text and author of each,
// texts as stored (code page bytes, or UTF-8 after SetUtf8Texts). A save
// hands them to the record encoder by row and column; Insert and Delete of
// cells move them with their cells.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "XLSRecordEncoder.h"

namespace tabulon {

struct TXLSNote {
  std::string Text;
  std::string Author;
};

/// The notes of one worksheet, keyed by cell.
class TXLSNotes {
 public:
  /// The most notes a sheet holds: each takes an object identifier of the
  /// sheet's drawing, 16 bits wide, which its pictures share.
  static constexpr size_t kMaxNotes = 32767;

  /// @return The note of the cell, or null.
  const TXLSNote* Find(uint16_t row, uint16_t col) const;
  /// Gives the cell its note, replacing one it has.
  /// @return false (nothing changed) when the cell has none and the sheet
  ///         already holds kMaxNotes.
  bool Set(uint16_t row, uint16_t col, TXLSNote note);
  /// Removes the notes of the cells in rows row1..row2, columns col1..col2.
  void EraseRect(int32_t row1, int32_t col1, int32_t row2, int32_t col2);
  /// Moves the notes of the cells in rows row1..row2, columns col1..col2 by
  /// rows and cols; a note moved off the sheet is removed.
  void MoveRect(int32_t row1, int32_t col1, int32_t row2, int32_t col2, int32_t rows, int32_t cols);
  /// @return The last row holding a note in columns col1..col2, or -1.
  int32_t LastRowIn(int32_t col1, int32_t col2) const;
  /// @return The last column holding a note in rows row1..row2, or -1.
  int32_t LastColIn(int32_t row1, int32_t row2) const;
  /// @return How many cells have a note.
  size_t GetCount() const { return notes_.size(); }
  /// @return Every note as the record encoder takes it, by row, then column;
  ///         the texts point into this object.
  std::vector<TXLSNoteFields> Fields() const;

 private:
  static uint32_t Key(int32_t row, int32_t col) { return static_cast<uint32_t>(row) << 8 | col; }
  static int32_t RowOf(uint32_t key) { return static_cast<int32_t>(key >> 8); }
  static int32_t ColOf(uint32_t key) { return static_cast<int32_t>(key & 0xFF); }
  template <class TVisit>
  void ForEachIn(int32_t row1, int32_t col1, int32_t row2, int32_t col2, TVisit visit) const;

  std::map<uint32_t, TXLSNote> notes_;
};

}  // namespace tabulon
