#include "XLSRecordSection.h"

namespace tabulon {

TXLSBlob AddContinue(TXLSBlob&& record, uint16_t limit) {
  const uint32_t size = record.GetDataSize();
  if (size <= limit || limit <= 4) return std::move(record);

  const uint32_t slices = (size + limit - 1) / limit;
  TXLSBlob out(size + 4 * slices);
  const uint8_t* bytes = record.GetBuff();
  // The first slice keeps the record's own header, with the length cut.
  for (uint32_t pos = 0; pos < limit; ++pos) out.AddByte(bytes[pos]);
  out.SetWord(static_cast<uint16_t>(limit - 4), 2);
  for (uint32_t pos = limit; pos < size; pos += limit) {
    const uint32_t slice = size - pos < limit ? size - pos : limit;
    out.AddWord(XLSContinueId);
    out.AddWord(static_cast<uint16_t>(slice));
    for (uint32_t i = 0; i < slice; ++i) out.AddByte(bytes[pos + i]);
  }
  record.Clear();
  return out;
}

int32_t TXLSRecordSection::Append(TXLSBlob&& record) {
  // Nearly every record fits the limit: it goes to the list as it is,
  // without passing through AddContinue.
  if (record.GetDataSize() > limit_) record = AddContinue(std::move(record), limit_);
  size_ += static_cast<int32_t>(record.GetDataSize());
  return list_.Append(std::move(record));
}

}  // namespace tabulon
