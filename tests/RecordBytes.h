// Test helpers that read back the records a builder appended to a list.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "XLSBlob.h"
#include "XLSByteOrder.h"

namespace tabulon {
namespace testing_records {

using TBytes = std::vector<uint8_t>;

// Every byte appended to the list, chunks concatenated.
inline TBytes ListBytes(const TXLSBlobList& list) {
  TBytes bytes;
  for (size_t i = 0; i < list.GetCount(); ++i) {
    const TXLSBlob* chunk = list.Get(i);
    const uint8_t* data = chunk->GetBuff();
    if (data != nullptr) bytes.insert(bytes.end(), data, data + chunk->GetDataSize());
  }
  return bytes;
}

// The list's records, each with its 4-byte header, split by their lengths.
inline std::vector<TBytes> Records(const TXLSBlobList& list) {
  const TBytes bytes = ListBytes(list);
  std::vector<TBytes> records;
  size_t pos = 0;
  while (pos + 4 <= bytes.size()) {
    const size_t size = 4 + XLSGetLE<uint16_t>(&bytes[pos + 2]);
    records.emplace_back(bytes.begin() + pos, bytes.begin() + pos + size);
    pos += size;
  }
  return records;
}

inline TBytes Concat(TBytes head, const std::string& tail) {
  head.insert(head.end(), tail.begin(), tail.end());
  return head;
}

inline TBytes operator+(TBytes head, const TBytes& tail) {
  head.insert(head.end(), tail.begin(), tail.end());
  return head;
}

inline uint16_t WordAt(const TBytes& record, size_t pos) {
  return XLSGetLE<uint16_t>(&record[pos]);
}

}  // namespace testing_records
}  // namespace tabulon
