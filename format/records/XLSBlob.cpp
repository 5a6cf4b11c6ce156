#include "XLSBlob.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <new>

namespace tabulon {

namespace {

// A heap block of size bytes, all zero, or nullptr when memory runs out.
uint8_t* AllocateZeroed(uint32_t size) {
  try {
    return new uint8_t[size]();
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
}

}  // namespace

void TXLSBlob::AllocateHeap(uint32_t size) {
  heap_ = AllocateZeroed(size);
  if (heap_) capacity_ = size;
}

TXLSBlob::TXLSBlob(TXLSBlob&& other) noexcept {
  StealFrom(other);
}

TXLSBlob& TXLSBlob::operator=(TXLSBlob&& other) noexcept {
  if (this != &other) {
    Clear();
    StealFrom(other);
  }
  return *this;
}

void TXLSBlob::StealFrom(TXLSBlob& other) noexcept {
  if (other.capacity_ <= kInlineCapacity) {
    std::memcpy(inline_, other.inline_, other.capacity_);
  } else {
    heap_ = other.heap_;
    other.heap_ = nullptr;
  }
  capacity_ = other.capacity_;
  dataSize_ = other.dataSize_;
  overflowed_ = other.overflowed_;
  other.Clear();
}

void TXLSBlob::Clear() noexcept {
  delete[] heap_;
  heap_ = nullptr;
  capacity_ = 0;
  dataSize_ = 0;
  overflowed_ = false;
}

uint8_t* TXLSBlob::Reserve(uint32_t pos, uint32_t count) {
  if (!Fits(pos, count)) {
    overflowed_ = true;
    return nullptr;
  }
  return Data() + pos;
}

void TXLSBlob::Put(uint32_t pos, const void* bytes, uint32_t count) {
  if (uint8_t* out = Reserve(pos, count)) {
    // memmove: Copy may take its bytes from this same buffer.
    if (count > 0) std::memmove(out, bytes, count);
  }
}

void TXLSBlob::Append(const void* bytes, uint32_t count) {
  if (!Fits(dataSize_, count)) {
    overflowed_ = true;
    return;
  }
  Put(dataSize_, bytes, count);
  dataSize_ += count;
}

void TXLSBlob::AddString(std::string_view value) {
  if (value.size() > std::numeric_limits<uint32_t>::max()) {
    overflowed_ = true;
    return;
  }
  Append(value.data(), static_cast<uint32_t>(value.size()));
}

void TXLSBlob::SetByte(uint8_t value, uint32_t pos) {
  Put(pos, &value, 1);
}

void TXLSBlob::SetWord(uint16_t value, uint32_t pos) {
  uint8_t bytes[2];
  XLSPutLE(bytes, value);
  Put(pos, bytes, sizeof bytes);
}

void TXLSBlob::SetLong(uint32_t value, uint32_t pos) {
  uint8_t bytes[4];
  XLSPutLE(bytes, value);
  Put(pos, bytes, sizeof bytes);
}

void TXLSBlob::SetDouble(double value, uint32_t pos) {
  uint8_t bytes[8];
  XLSPutDoubleLE(bytes, value);
  Put(pos, bytes, sizeof bytes);
}

void TXLSBlob::SetString(const std::string& value, uint32_t pos) {
  if (value.size() > std::numeric_limits<uint32_t>::max()) {
    overflowed_ = true;
    return;
  }
  Put(pos, value.data(), static_cast<uint32_t>(value.size()));
}

uint8_t TXLSBlob::GetByte(uint32_t pos) const {
  return Fits(pos, 1) ? Data()[pos] : 0;
}

uint16_t TXLSBlob::GetWord(uint32_t pos) const {
  return Fits(pos, 2) ? XLSGetLE<uint16_t>(Data() + pos) : 0;
}

uint32_t TXLSBlob::GetLong(uint32_t pos) const {
  return Fits(pos, 4) ? XLSGetLE<uint32_t>(Data() + pos) : 0;
}

double TXLSBlob::GetDouble(uint32_t pos) const {
  return Fits(pos, 8) ? XLSGetDoubleLE(Data() + pos) : 0.0;
}

std::string TXLSBlob::GetString(uint32_t pos, uint32_t len) const {
  if (pos >= capacity_) return std::string();
  const uint32_t available = std::min(len, capacity_ - pos);
  return std::string(reinterpret_cast<const char*>(Data() + pos), available);
}

bool TXLSBlob::Add(const TXLSBlob& other) {
  if (other.capacity_ == 0) return true;
  if (other.capacity_ > std::numeric_limits<uint32_t>::max() - capacity_) return false;
  const uint32_t grown = capacity_ + other.capacity_;
  if (grown <= kInlineCapacity) {
    std::memcpy(inline_ + capacity_, other.Data(), other.capacity_);
  } else {
    uint8_t* block = AllocateZeroed(grown);
    if (!block) return false;
    std::memcpy(block, Data(), capacity_);
    std::memcpy(block + capacity_, other.Data(), other.capacity_);
    delete[] heap_;
    heap_ = block;
  }
  capacity_ = grown;
  return true;
}

void TXLSBlob::Copy(const TXLSBlob& source, uint32_t offset, uint32_t count) {
  if (!source.Fits(offset, count)) {
    overflowed_ = true;
    return;
  }
  Put(dataSize_, source.Data() + offset, count);
}

int32_t TXLSBlob::Write(TXLSStream& stream) const {
  if (overflowed_) return -1;
  if (dataSize_ == 0) return 1;
  return stream.Write(Data(), dataSize_) == dataSize_ ? 1 : -1;
}

int32_t TXLSBlobList::Fail() {
  failed_ = true;
  return -1;
}

int32_t TXLSBlobList::AddItem() {
  TXLSBlob chunk(kChunkSize);
  if (chunk.GetBuffSize() != kChunkSize) return -1;
  try {
    chunks_.push_back(std::move(chunk));
  } catch (const std::bad_alloc&) {
    return -1;
  }
  used_ = 0;
  return 1;
}

int32_t TXLSBlobList::Append(TXLSBlob&& blob) {
  // The record's bytes are copied straight from it, once; it is consumed
  // whatever the outcome.
  const int32_t status =
      blob.HasOverflowed() ? Fail() : AppendBytes(blob.GetBuff(), blob.GetDataSize());
  blob.Clear();
  return status;
}

int32_t TXLSBlobList::AppendBytes(const uint8_t* bytes, uint32_t size) {
  if (size > static_cast<uint32_t>(std::numeric_limits<int32_t>::max() - total_)) return Fail();
  uint32_t consumed = 0;
  while (consumed < size) {
    if (used_ == kChunkSize && AddItem() != 1) return Fail();
    TXLSBlob& chunk = chunks_.back();
    const uint32_t piece = std::min<uint32_t>(size - consumed, kChunkSize - used_);
    std::memcpy(chunk.GetBuff() + used_, bytes + consumed, piece);
    consumed += piece;
    used_ = static_cast<uint16_t>(used_ + piece);
    chunk.SetDataSize(used_);
    total_ += static_cast<int32_t>(piece);
  }
  return 1;
}

TXLSBlob* TXLSBlobList::Get(size_t i) {
  return i < chunks_.size() ? &chunks_[i] : nullptr;
}

const TXLSBlob* TXLSBlobList::Get(size_t i) const {
  return i < chunks_.size() ? &chunks_[i] : nullptr;
}

int32_t TXLSBlobList::Put(size_t i, TXLSBlob&& blob) {
  if (i >= chunks_.size()) return -1;
  chunks_[i] = std::move(blob);
  return 1;
}

int32_t TXLSBlobList::Write(TXLSStream& stream) const {
  if (failed_) return -1;
  for (const TXLSBlob& chunk : chunks_) {
    const int32_t result = chunk.Write(stream);
    if (result != 1) return result;
  }
  return 1;
}

void TXLSBlobList::Clear() {
  chunks_.clear();
  total_ = 0;
  used_ = kChunkSize;
}

}  // namespace tabulon
