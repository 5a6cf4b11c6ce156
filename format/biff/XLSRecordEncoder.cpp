#include "XLSRecordEncoder.h"

#include "XLSBiff5Encoder.h"
#include "XLSBiff8Encoder.h"

namespace tabulon {

std::unique_ptr<TXLSRecordEncoder> MakeRecordEncoder(int32_t file_format, TXLSTextEncoder* texts) {
  if (file_format == kXLSFileFormatBiff8 && texts != nullptr)
    return std::make_unique<TXLSBiff8Encoder>(*texts);
  return std::make_unique<TXLSBiff5Encoder>(texts);
}

const TXLSRecordEncoder& PlainBiff5Encoder() {
  static const TXLSBiff5Encoder kPlain(nullptr);
  return kPlain;
}

}  // namespace tabulon
