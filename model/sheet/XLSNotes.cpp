#include "XLSNotes.h"

#include <algorithm>
#include <utility>

#include "XLSCellRef.h"

namespace tabulon {

const TXLSNote* TXLSNotes::Find(uint16_t row, uint16_t col) const {
  const auto found = notes_.find(Key(row, col));
  return found != notes_.end() ? &found->second : nullptr;
}

bool TXLSNotes::Set(uint16_t row, uint16_t col, TXLSNote note) {
  const uint32_t key = Key(row, col);
  if (notes_.size() >= kMaxNotes && notes_.count(key) == 0) return false;
  notes_[key] = std::move(note);
  return true;
}

// Visits the keys inside the rectangle, row by row; the keys order by row,
// then column.
template <class TVisit>
void TXLSNotes::ForEachIn(int32_t row1, int32_t col1, int32_t row2, int32_t col2,
                          TVisit visit) const {
  for (auto it = notes_.lower_bound(Key(std::max(row1, 0), 0));
       it != notes_.end() && RowOf(it->first) <= row2; ++it) {
    if (ColOf(it->first) >= col1 && ColOf(it->first) <= col2) visit(it->first);
  }
}

void TXLSNotes::EraseRect(int32_t row1, int32_t col1, int32_t row2, int32_t col2) {
  std::vector<uint32_t> keys;
  ForEachIn(row1, col1, row2, col2, [&](uint32_t key) { keys.push_back(key); });
  for (uint32_t key : keys) notes_.erase(key);
}

// The moved notes are taken out first, so that none lands on a note that has
// yet to move.
void TXLSNotes::MoveRect(int32_t row1, int32_t col1, int32_t row2, int32_t col2, int32_t rows,
                         int32_t cols) {
  std::vector<uint32_t> keys;
  ForEachIn(row1, col1, row2, col2, [&](uint32_t key) { keys.push_back(key); });
  std::vector<std::pair<uint32_t, TXLSNote>> moved;
  for (uint32_t key : keys) {
    const auto found = notes_.find(key);
    const int32_t row = RowOf(key) + rows, col = ColOf(key) + cols;
    if (row >= 0 && row <= XLSMaxRow && col >= 0 && col <= XLSMaxCol)
      moved.emplace_back(Key(row, col), std::move(found->second));
    notes_.erase(found);
  }
  for (auto& [key, note] : moved) notes_[key] = std::move(note);
}

int32_t TXLSNotes::LastRowIn(int32_t col1, int32_t col2) const {
  int32_t last = -1;
  ForEachIn(0, col1, XLSMaxRow, col2, [&](uint32_t key) { last = RowOf(key); });
  return last;
}

int32_t TXLSNotes::LastColIn(int32_t row1, int32_t row2) const {
  int32_t last = -1;
  ForEachIn(row1, 0, row2, XLSMaxCol, [&](uint32_t key) { last = std::max(last, ColOf(key)); });
  return last;
}

std::vector<TXLSNoteFields> TXLSNotes::Fields() const {
  std::vector<TXLSNoteFields> fields;
  for (const auto& [key, note] : notes_) {
    fields.push_back({static_cast<uint16_t>(RowOf(key)), static_cast<uint16_t>(ColOf(key)),
                      note.Text, note.Author});
  }
  return fields;
}

}  // namespace tabulon
