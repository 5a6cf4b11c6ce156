// The shared string table of a BIFF8 workbook: the distinct cell texts,
// numbered in the order first added, so that a cell refers to its text by
// index. It is stored as an SST record with its CONTINUE records, then
// EXTSST, which lets a reader find every few strings without reading all the
// strings before them.
//
// A large export adds hundreds of thousands of texts: they are kept as UTF-8
// in one arena, found again through an open-addressing table whose slots
// hold each text's hash beside its index, and converted to UTF-16 only while
// being stored, one record at a time. A probe compares the hashes in the
// slots, which lie side by side, and reads a text only when they agree: a new
// text, the common case, costs one visit to the table and none to the arena.
// The table holds the first 49,152 distinct texts; a text first seen after
// those is stored for each cell that holds it, so a workbook of that many
// distinct texts may list some twice.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "XLSRecordSection.h"

namespace tabulon {

class TXLSSharedStrings {
 public:
  // The longest string stored, in UTF-16 units; longer texts are cut on a
  // character boundary.
  static constexpr uint32_t kMaxUnits = 32767;
  // The fewest data bytes a record may be given: room for the two counts.
  static constexpr uint16_t kMinDataLimit = 8;

  // dataLimit: the most data bytes of the SST and each of its CONTINUE
  // records, kept between kMinDataLimit and what BIFF8 readers accept.
  explicit TXLSSharedStrings(uint16_t dataLimit = XLSBiff8RecordLimit - 4);

  // Index of text (UTF-8) in the table, adding it the first time; every call counts one use.
  uint32_t Add(std::string_view utf8);
  uint32_t UniqueCount() const { return static_cast<uint32_t>(starts_.size()); }
  uint32_t TotalCount() const { return totalCount_; }
  // The UTF-8 text of an index below UniqueCount.
  std::string_view Text(uint32_t index) const;

  // Appends SST with its CONTINUE records, then EXTSST, to section. sst_offset is the stream
  // position at which the SST record will start (EXTSST stores absolute positions). -1 when
  // the section would split the records (its limit is below the data limit) or refuses them.
  int32_t Store(TXLSRecordSection& section, uint32_t sst_offset) const;  // 1 or -1
  // Total bytes Store will append (so the caller can place what follows before storing).
  uint32_t StoredSize() const;
  void Clear();

 private:
  struct TSlot {
    uint32_t Hash;
    uint32_t Index;  // the text's index + 1; 0 when the slot is empty
  };
  // The slot that holds text, or the empty slot where it belongs.
  size_t FindSlot(std::string_view text, uint32_t hash) const;
  // Doubles the slot table and places every text again.
  void Grow();

  std::string arena_;             // the texts, one after another
  std::vector<uint32_t> starts_;  // where each text starts in arena_; it ends where the next starts
  std::vector<TSlot> slots_;      // a power of two long
  uint32_t totalCount_ = 0;
  uint32_t tabled_ = 0;  // texts the slot table holds
  uint16_t dataLimit_;
};

}  // namespace tabulon
