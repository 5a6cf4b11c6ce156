// Record buffers and record lists: every record of the output file is built
// in a TXLSBlob of exactly its size and then appended to a TXLSBlobList, the
// in-memory image of one segment of the "Book" stream, kept in equal chunks.
//
// All integers are stored little-endian; doubles as their 8 IEEE 754 bytes,
// little-endian. A write that would pass a buffer's capacity is refused and
// remembered (HasOverflowed), so a faulty record can never corrupt memory or
// reach the file silently truncated: appending or writing it reports -1.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "XLSByteOrder.h"
#include "XLSStream.h"

namespace tabulon {

class TXLSBlob {
 public:
  // Records up to this size live inside the object and need no heap block.
  static constexpr uint32_t kInlineCapacity = 64;

  // An empty buffer: capacity 0, no storage.
  TXLSBlob() noexcept = default;
  // Create(size): capacity = size, data size 0, all bytes zero. When the
  // storage cannot be allocated the buffer is left with capacity 0.
  // Inline, as are the appends: a record buffer is made for every cell.
  explicit TXLSBlob(uint32_t size) {
    if (size > kInlineCapacity) {
      AllocateHeap(size);
      return;
    }
    // The whole inline area, a constant size the compiler zeroes in place.
    std::memset(inline_, 0, kInlineCapacity);
    capacity_ = size;
  }
  ~TXLSBlob() { delete[] heap_; }

  // A moved-from buffer is empty (capacity 0, data size 0, no overflow).
  TXLSBlob(TXLSBlob&& other) noexcept;
  TXLSBlob& operator=(TXLSBlob&& other) noexcept;
  TXLSBlob(const TXLSBlob&) = delete;
  TXLSBlob& operator=(const TXLSBlob&) = delete;

  // Append at the data size and advance it. Inline: every field of every
  // record goes through them.
  void AddByte(uint8_t value) { AppendLE(value); }
  void AddWord(uint16_t value) { AppendLE(value); }
  void AddLong(uint32_t value) { AppendLE(value); }
  void AddDouble(double value) { AppendLE(XLSDoubleBits(value)); }
  // The string's bytes as they are: no length prefix, no terminator.
  void AddString(std::string_view value);

  // Write at an absolute position; the data size does not change.
  void SetByte(uint8_t value, uint32_t pos);
  void SetWord(uint16_t value, uint32_t pos);
  void SetLong(uint32_t value, uint32_t pos);
  void SetDouble(double value, uint32_t pos);
  void SetString(const std::string& value, uint32_t pos);

  // Read at an absolute position inside the capacity; a read reaching past
  // the capacity yields 0 (GetString: only the bytes inside the capacity).
  uint8_t GetByte(uint32_t pos) const;
  uint16_t GetWord(uint32_t pos) const;
  uint32_t GetLong(uint32_t pos) const;
  double GetDouble(uint32_t pos) const;
  std::string GetString(uint32_t pos, uint32_t len) const;

  // The storage, or nullptr when the capacity is 0.
  uint8_t* GetBuff() { return capacity_ == 0 ? nullptr : Data(); }
  const uint8_t* GetBuff() const { return capacity_ == 0 ? nullptr : Data(); }
  uint32_t GetBuffSize() const { return capacity_; }
  uint32_t GetDataSize() const { return dataSize_; }
  // Data size = the smaller of n and the capacity.
  void SetDataSize(uint32_t n) { dataSize_ = n < capacity_ ? n : capacity_; }

  // Grows the capacity by other's capacity and copies other's whole buffer
  // after the previous capacity; the data size stays. other is unchanged.
  // Returns false (and leaves this buffer unchanged) when memory runs out.
  bool Add(const TXLSBlob& other);
  // Copies count bytes of source, from offset, to this buffer at its data
  // size without advancing the data size. Refused when either range does not
  // fit its buffer.
  void Copy(const TXLSBlob& source, uint32_t offset, uint32_t count);
  // Writes the first data-size bytes: 1 when the sink took them all, -1 on a
  // short write or when a write to this buffer was refused.
  int32_t Write(TXLSStream& stream) const;

  // True when the record is fully built: data size == capacity.
  bool IsComplete() const { return dataSize_ == capacity_; }
  // True once a write was refused because it would have passed the capacity.
  bool HasOverflowed() const { return overflowed_; }
  // Frees the storage: capacity 0, data size 0, overflow flag cleared.
  void Clear() noexcept;

 private:
  uint8_t* Data() { return capacity_ <= kInlineCapacity ? inline_ : heap_; }
  const uint8_t* Data() const { return capacity_ <= kInlineCapacity ? inline_ : heap_; }
  // The writable span [pos, pos + count), or nullptr (and the overflow flag
  // set) when it does not fit the capacity.
  uint8_t* Reserve(uint32_t pos, uint32_t count);
  void Put(uint32_t pos, const void* bytes, uint32_t count);
  void Append(const void* bytes, uint32_t count);
  // Appends value little-endian with a single capacity check.
  template <typename T>
  void AppendLE(T value) {
    if (sizeof(T) > capacity_ - dataSize_) {  // dataSize_ never passes capacity_
      overflowed_ = true;
      return;
    }
    XLSPutLE(Data() + dataSize_, value);
    dataSize_ += sizeof(T);
  }
  bool Fits(uint32_t pos, uint32_t count) const {
    return pos <= capacity_ && count <= capacity_ - pos;
  }
  void StealFrom(TXLSBlob& other) noexcept;
  // A zeroed heap block of size bytes as the storage; capacity 0 when memory
  // runs out.
  void AllocateHeap(uint32_t size);

  uint8_t* heap_ = nullptr;  // used when capacity_ > kInlineCapacity
  uint32_t capacity_ = 0;
  uint32_t dataSize_ = 0;
  bool overflowed_ = false;
  uint8_t inline_[kInlineCapacity];
};

// A record buffer framed for the record `id` with `dataLength` data bytes:
// capacity 4 + dataLength, id and length already appended. The builder then
// appends exactly dataLength bytes (IsComplete() tells when it has).
inline TXLSBlob MakeRecord(uint16_t id, uint16_t dataLength) {
  TXLSBlob record(4u + dataLength);
  record.AddWord(id);
  record.AddWord(dataLength);
  return record;
}

// A record whose data is one 16-bit value: the flag and count records of the
// workbook and its sheets (CODEPAGE, 1904, WSBOOL, PROTECT, ...).
inline TXLSBlob MakeWordRecord(uint16_t id, uint16_t value) {
  TXLSBlob record = MakeRecord(id, 2);
  record.AddWord(value);
  return record;
}

// The bytes of many records, concatenated, held in chunks of kChunkSize.
class TXLSBlobList {
 public:
  static constexpr uint16_t kChunkSize = 4048;

  TXLSBlobList() = default;
  TXLSBlobList(TXLSBlobList&&) noexcept = default;
  TXLSBlobList& operator=(TXLSBlobList&&) noexcept = default;
  TXLSBlobList(const TXLSBlobList&) = delete;
  TXLSBlobList& operator=(const TXLSBlobList&) = delete;

  // Opens a new chunk and sets used to 0; 1, or -1 when memory runs out.
  int32_t AddItem();
  // Copies blob's data-size bytes into the chunks and frees blob (it is left
  // empty). 1 on success; -1 when blob had overflowed or memory ran out, in
  // which case the list is marked failed and Write will refuse it.
  int32_t Append(TXLSBlob&& blob);
  // The chunk at 0-based index i, or nullptr when i is out of range.
  TXLSBlob* Get(size_t i);
  const TXLSBlob* Get(size_t i) const;
  // Replaces the chunk at index i; 1, or -1 when i is out of range.
  int32_t Put(size_t i, TXLSBlob&& blob);
  // Writes every chunk in order and stops at the first that fails, passing
  // its result on. A failed list writes nothing and returns -1.
  int32_t Write(TXLSStream& stream) const;
  // Drops every chunk, so the next Append opens a new one. A failed list
  // stays failed.
  void Clear();

  int32_t GetTotal() const { return total_; }
  uint16_t GetUsed() const { return used_; }
  uint16_t GetChunkSize() const { return kChunkSize; }
  size_t GetCount() const { return chunks_.size(); }
  // True once an Append was refused.
  bool HasFailed() const { return failed_; }

 private:
  int32_t Fail();
  // Copies size bytes into the chunks, opening new ones as they fill.
  int32_t AppendBytes(const uint8_t* bytes, uint32_t size);

  std::vector<TXLSBlob> chunks_;
  int32_t total_ = 0;
  uint16_t used_ = kChunkSize;  // full, so the first append opens a chunk
  bool failed_ = false;
};

}  // namespace tabulon
