#include "XLSSharedStrings.h"

#include <algorithm>
#include <functional>

#include "XLSRecordIds.h"
#include "XLSUnicodeText.h"

namespace tabulon {
namespace {

constexpr uint32_t kRecordHeaderSize = 4;
constexpr uint32_t kCountsSize = 8;        // SST: total and unique counts
constexpr uint32_t kStringHeaderSize = 3;  // character count and flags byte
constexpr uint16_t kReaderDataLimit = XLSBiff8RecordLimit - kRecordHeaderSize;
constexpr size_t kInitialSlots = 16;
// The table stops growing at 512 KiB, which stays in the processor's cache:
// a table that grew with the texts would cost a cache miss for every new
// text of a large export.
constexpr size_t kMaxSlots = size_t{1} << 16;

// EXTSST: Excel's bucket size, at least 8 strings and large enough that
// there are at most 128 buckets; each bucket is described in 8 bytes.
constexpr uint32_t kMinBucketSize = 8;
constexpr uint32_t kMaxBuckets = 128;
constexpr uint32_t kBucketInfoSize = 8;

uint32_t BucketSize(uint32_t uniqueCount) {
  return std::max(kMinBucketSize, (uniqueCount + kMaxBuckets - 1) / kMaxBuckets);
}

uint32_t ExtSstDataSize(uint32_t uniqueCount) {
  const uint32_t size = BucketSize(uniqueCount);
  return 2 + (uniqueCount + size - 1) / size * kBucketInfoSize;
}

uint32_t HashOf(std::string_view text) {
  return static_cast<uint32_t>(std::hash<std::string_view>{}(text));
}

// A text is laid out either as UTF-16 units or, when it is ASCII (the common
// case), as its own bytes, which are its compact form: no conversion.
bool IsCompact(std::string_view) {
  return true;
}
bool IsCompact(std::u16string_view text) {
  return XLSFitsCompressed(text);
}

size_t UnitsThatFit(std::string_view ascii, bool, uint32_t room) {
  return std::min<size_t>(ascii.size(), room);
}

// How many units of text fit room bytes in the form chosen, never ending
// between the two units of a surrogate pair.
size_t UnitsThatFit(std::u16string_view text, bool compact, uint32_t room) {
  const size_t units = std::min<size_t>(text.size(), compact ? room : room / 2);
  const bool cutsPair = units > 0 && units < text.size() && XLSIsHighSurrogate(text[units - 1]);
  return cutsPair ? units - 1 : units;
}

// The bytes a string needs in the record it starts in: its header and its
// first character. libxls (R's readxl) takes a string whose first part
// holds no character for a broken one.
uint32_t FirstPartSize(std::string_view ascii) {
  return kStringHeaderSize + (ascii.empty() ? 0 : 1);
}
uint32_t FirstPartSize(std::u16string_view text) {
  if (text.empty()) return kStringHeaderSize;
  if (XLSFitsCompressed(text)) return kStringHeaderSize + 1;
  const bool pair = text.size() > 1 && XLSIsHighSurrogate(text[0]);
  return kStringHeaderSize + (pair ? 4 : 2);
}

// Where a bucket's first string starts: its stream position and its offset
// from the start of its record's header.
struct TBucketStart {
  uint32_t Position;
  uint16_t Offset;
};

// A sink that builds nothing: laying the records out through it measures them.
struct TMeasureSink {
  void Open(uint16_t) {}
  void AddByte(uint8_t) {}
  void AddWord(uint16_t) {}
  void AddLong(uint32_t) {}
  template <typename Text>
  void AddCharacters(Text, bool) {}
  void Close(uint16_t) {}
};

// A sink that builds each record and hands it to the section once it is
// complete, so only one record is held at a time.
class TSectionSink {
 public:
  TSectionSink(TXLSRecordSection& section, uint16_t dataLimit)
      : section_(section), capacity_(kRecordHeaderSize + dataLimit) {}

  void Open(uint16_t id) {
    record_ = TXLSBlob(capacity_);
    record_.AddWord(id);
    record_.AddWord(0);  // the data length, known at Close
  }
  void AddByte(uint8_t value) { record_.AddByte(value); }
  void AddWord(uint16_t value) { record_.AddWord(value); }
  void AddLong(uint32_t value) { record_.AddLong(value); }
  void AddCharacters(std::u16string_view text, bool compact) {
    XLSAddCharacters(record_, text, compact);
  }
  void AddCharacters(std::string_view ascii, bool) { record_.AddString(ascii); }
  void Close(uint16_t dataSize) {
    record_.SetWord(dataSize, 2);
    if (record_.HasOverflowed() || section_.Append(std::move(record_)) != 1) status_ = -1;
  }
  int32_t Status() const { return status_; }

 private:
  TXLSRecordSection& section_;
  uint32_t capacity_;
  TXLSBlob record_;
  int32_t status_ = 1;
};

// Places the strings in the SST record and as many CONTINUE records as they
// need, the way readers take them apart: a string whose header and first
// character do not fit the rest of a record starts the next one; a string
// whose other characters do not fit goes on in the next record behind a
// fresh flags byte, its form chosen again for the rest, and never splits
// inside a character.
template <typename Sink>
class TSstLayout {
 public:
  TSstLayout(Sink& sink, uint16_t dataLimit, uint32_t sstOffset)
      : sink_(sink), dataLimit_(dataLimit), recordStart_(sstOffset) {}

  void Start(uint32_t totalCount, uint32_t uniqueCount) {
    sink_.Open(xlsrec::kSst);
    sink_.AddLong(totalCount);
    sink_.AddLong(uniqueCount);
    used_ = kCountsSize;
  }

  template <typename Text>
  void AddString(Text text, bool opensBucket) {
    if (Room() < FirstPartSize(text)) NextRecord();
    if (opensBucket) buckets_.push_back({recordStart_ + kRecordHeaderSize + used_, RecordOffset()});
    sink_.AddWord(static_cast<uint16_t>(text.size()));
    used_ += 2;
    for (;;) {
      const bool compact = IsCompact(text);
      sink_.AddByte(compact ? 0 : 1);
      ++used_;
      const size_t units = UnitsThatFit(text, compact, Room());
      sink_.AddCharacters(text.substr(0, units), compact);
      used_ += static_cast<uint32_t>(units) * (compact ? 1 : 2);
      text.remove_prefix(units);
      if (text.empty()) return;
      NextRecord();
    }
  }

  void Finish() { CloseRecord(); }
  // Once finished: the stream position after the last record.
  uint32_t End() const { return recordStart_; }

  const std::vector<TBucketStart>& Buckets() const { return buckets_; }

 private:
  uint32_t Room() const { return dataLimit_ - used_; }
  uint16_t RecordOffset() const { return static_cast<uint16_t>(kRecordHeaderSize + used_); }
  void CloseRecord() {
    sink_.Close(static_cast<uint16_t>(used_));
    recordStart_ += kRecordHeaderSize + used_;
  }
  void NextRecord() {
    CloseRecord();
    sink_.Open(xlsrec::kContinue);
    used_ = 0;
  }

  Sink& sink_;
  uint32_t dataLimit_;
  uint32_t recordStart_;  // stream position of the open record
  uint32_t used_ = 0;     // data bytes of the open record
  std::vector<TBucketStart> buckets_;
};

bool IsAscii(std::string_view text) {
  return std::all_of(text.begin(), text.end(),
                     [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

// Lays every string of the table out through sink, from stream position
// sstOffset, and closes the last record.
template <typename Sink>
TSstLayout<Sink> LayOutSst(const TXLSSharedStrings& strings, Sink& sink, uint16_t dataLimit,
                           uint32_t sstOffset) {
  TSstLayout<Sink> layout(sink, dataLimit, sstOffset);
  const uint32_t count = strings.UniqueCount();
  const uint32_t bucketSize = BucketSize(count);
  layout.Start(strings.TotalCount(), count);
  std::u16string units;  // keeps its memory from one text to the next
  for (uint32_t i = 0; i < count; ++i) {
    const std::string_view text = strings.Text(i);
    const bool opensBucket = i % bucketSize == 0;
    if (IsAscii(text)) {
      layout.AddString(text.substr(0, TXLSSharedStrings::kMaxUnits), opensBucket);
    } else {
      units = XLSUtf8ToUtf16(text, TXLSSharedStrings::kMaxUnits);
      layout.AddString(std::u16string_view(units), opensBucket);
    }
  }
  layout.Finish();
  return layout;
}

TXLSBlob ExtSstRecord(uint32_t uniqueCount, const std::vector<TBucketStart>& buckets) {
  TXLSBlob record = MakeRecord(xlsrec::kExtSst, static_cast<uint16_t>(ExtSstDataSize(uniqueCount)));
  record.AddWord(static_cast<uint16_t>(BucketSize(uniqueCount)));
  for (const TBucketStart& bucket : buckets) {
    record.AddLong(bucket.Position);
    record.AddWord(bucket.Offset);
    record.AddWord(0);  // reserved
  }
  return record;
}

}  // namespace

TXLSSharedStrings::TXLSSharedStrings(uint16_t dataLimit)
    : slots_(kInitialSlots, TSlot{0, 0}),
      dataLimit_(std::clamp(dataLimit, kMinDataLimit, kReaderDataLimit)) {}

uint32_t TXLSSharedStrings::Add(std::string_view utf8) {
  ++totalCount_;
  // At most three slots in four are used: the probes run over neighbouring
  // slots, a few to a cache line.
  bool room = (tabled_ + 1) * 4 <= slots_.size() * 3;
  if (!room && slots_.size() < kMaxSlots) {
    Grow();
    room = true;
  }
  const uint32_t hash = HashOf(utf8);
  TSlot& slot = slots_[FindSlot(utf8, hash)];
  if (slot.Index != 0) return slot.Index - 1;
  starts_.push_back(static_cast<uint32_t>(arena_.size()));
  arena_.append(utf8);
  const auto index = static_cast<uint32_t>(starts_.size());
  // Once the table is full, a new text is stored without an entry: a repeat
  // of it is stored again, which readers take as they take any string.
  if (room) {
    slot = {hash, index};
    ++tabled_;
  }
  return index - 1;
}

std::string_view TXLSSharedStrings::Text(uint32_t index) const {
  const size_t end = index + 1 < starts_.size() ? starts_[index + 1] : arena_.size();
  return std::string_view(arena_).substr(starts_[index], end - starts_[index]);
}

size_t TXLSSharedStrings::FindSlot(std::string_view text, uint32_t hash) const {
  const size_t mask = slots_.size() - 1;
  for (size_t slot = hash & mask;; slot = (slot + 1) & mask) {
    const TSlot& held = slots_[slot];
    if (held.Index == 0 || (held.Hash == hash && Text(held.Index - 1) == text)) return slot;
  }
}

void TXLSSharedStrings::Grow() {
  std::vector<TSlot> grown(slots_.size() * 2, TSlot{0, 0});
  const size_t mask = grown.size() - 1;
  for (const TSlot& held : slots_) {
    if (held.Index == 0) continue;
    size_t slot = held.Hash & mask;
    while (grown[slot].Index != 0) slot = (slot + 1) & mask;
    grown[slot] = held;
  }
  slots_ = std::move(grown);
}

int32_t TXLSSharedStrings::Store(TXLSRecordSection& section, uint32_t sst_offset) const {
  if (section.Limit() < kRecordHeaderSize + dataLimit_) return -1;
  TSectionSink sink(section, dataLimit_);
  const TSstLayout<TSectionSink> layout = LayOutSst(*this, sink, dataLimit_, sst_offset);
  if (sink.Status() != 1) return -1;
  return section.Append(ExtSstRecord(UniqueCount(), layout.Buckets()));
}

uint32_t TXLSSharedStrings::StoredSize() const {
  TMeasureSink sink;
  const uint32_t sstSize = LayOutSst(*this, sink, dataLimit_, 0).End();
  return sstSize + kRecordHeaderSize + ExtSstDataSize(UniqueCount());
}

void TXLSSharedStrings::Clear() {
  *this = TXLSSharedStrings(dataLimit_);
}

}  // namespace tabulon
