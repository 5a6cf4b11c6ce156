#include "XLSRecordSection.h"

#include "XLSRecordIds.h"
#include "XLSSpillFile.h"

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
    out.AddWord(xlsrec::kContinue);
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
  const int32_t status = list_.Append(std::move(record));
  return status == 1 && spill_ && list_.GetTotal() >= kSpillSize ? Spill() : status;
}

int32_t TXLSRecordSection::Spill() {
  const int64_t offset = spill_->Append(list_);
  if (offset < 0) return -1;
  const auto size = static_cast<uint64_t>(list_.GetTotal());
  // The spill file grows by whole sections' worth of chunks, so a section
  // that spills twice in a row extends its last extent.
  TExtent* last = spilled_.empty() ? nullptr : &spilled_.back();
  if (last && last->offset + last->size == static_cast<uint64_t>(offset)) {
    last->size += size;
  } else {
    spilled_.push_back({static_cast<uint64_t>(offset), size});
  }
  list_.Clear();
  return 1;
}

int32_t TXLSRecordSection::Write(TXLSStream& stream) const {
  if (list_.HasFailed()) return -1;
  for (const TExtent& extent : spilled_) {
    if (spill_->CopyTo(stream, extent.offset, extent.size) != 1) return -1;
  }
  return list_.Write(stream);
}

}  // namespace tabulon
