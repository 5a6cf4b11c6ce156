// One segment of the "Book" stream being built: a record list, the number of
// bytes appended to it, and the rule that splits records longer than the
// record data limit into a first part and CONTINUE records. The workbook's
// records and each sheet's header and data records go through one section
// each, so the byte counts that place the sheets in the stream are exact.
#pragma once

#include <cstdint>
#include <vector>

#include "XLSBlob.h"

namespace tabulon {

class TXLSSpillFile;

constexpr uint16_t XLSRecordDataLimit = 2080;
// BIFF8 records carry up to 8224 data bytes: 8228 with the header.
constexpr uint16_t XLSBiff8RecordLimit = 8228;

// Splits a record whose total size (header included) exceeds limit: the
// first limit bytes stay a record of its own id with length limit - 4; every
// further slice of at most limit bytes becomes a CONTINUE record carrying that
// slice. A record within the limit is returned unchanged.
TXLSBlob AddContinue(TXLSBlob&& record, uint16_t limit = XLSRecordDataLimit);

class TXLSRecordSection {
 public:
  explicit TXLSRecordSection(uint16_t limit = XLSRecordDataLimit) : limit_(limit) {}

  // From now on the section moves its bytes to spill (which must outlive the
  // section) whenever its list holds kSpillSize bytes; nullptr keeps them all
  // in memory.
  void SpillTo(TXLSSpillFile* spill) { spill_ = spill; }
  // Moves the bytes still in memory to the spill file, when there is one:
  // a finished sheet keeps none of its records in memory. 1, or -1 when the
  // spill refused them.
  int32_t Flush() { return spill_ && list_.GetTotal() > 0 ? Spill() : 1; }
  // Splits the record when it is too long, counts its bytes and appends it;
  // the record is consumed. 1, or -1 when the list or the spill refused it.
  int32_t Append(TXLSBlob&& record);
  // Bytes appended so far, continuation headers included: exactly what
  // Write puts into the stream.
  int32_t Size() const { return size_; }
  // The largest record, header included, that Append leaves whole.
  uint16_t Limit() const { return limit_; }
  // Writes the spilled bytes, then those still in the list.
  int32_t Write(TXLSStream& stream) const;
  // The records not spilled (all of them when the section does not spill).
  TXLSBlobList& List() { return list_; }
  const TXLSBlobList& List() const { return list_; }

  static constexpr int32_t kSpillSize = 1 << 20;

 private:
  struct TExtent {
    uint64_t offset;
    uint64_t size;
  };
  int32_t Spill();

  TXLSBlobList list_;
  int32_t size_ = 0;
  uint16_t limit_;
  TXLSSpillFile* spill_ = nullptr;
  std::vector<TExtent> spilled_;  // in stream order
};

}  // namespace tabulon
