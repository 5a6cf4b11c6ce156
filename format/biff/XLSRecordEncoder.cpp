#include "XLSRecordEncoder.h"

#include "XLSBiff5Encoder.h"
#include "XLSBiff8Encoder.h"
#include "XLSRecordFields.h"
#include "XLSRecordIds.h"

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

TXLSBlob BofRecord(uint16_t data_length, uint16_t version, uint16_t substream, uint16_t build,
                   uint16_t year) {
  TXLSBlob record = MakeRecord(xlsrec::kBof, data_length);
  record.AddWord(version);
  record.AddWord(substream);
  record.AddWord(build);
  record.AddWord(year);
  return record;
}

void AddFontFields(TXLSBlob& record, const TXLSFontFields& font, uint8_t char_set) {
  record.AddWord(font.Height);
  record.AddWord(font.Attributes);
  record.AddWord(font.Color);
  record.AddWord(font.Weight);
  record.AddWord(font.Escapement);
  record.AddByte(font.Underline);
  record.AddByte(font.Family);
  record.AddByte(char_set);
  record.AddByte(0);
}

uint16_t BuiltinNameOptions(uint8_t code) {
  constexpr uint16_t kHidden = 0x0001;
  constexpr uint16_t kBuiltin = 0x0020;
  return code == kFilterDatabaseName ? kBuiltin | kHidden : kBuiltin;
}

uint16_t XFProtectionWord(const TXLSXFFields& xf) {
  return static_cast<uint16_t>((xf.Protection & 3) | (xf.Style ? 4 : 0) |
                               ((xf.Parent & 0xFFF) << 4));
}

uint8_t XFAlignmentBits(const TXLSXFFields& xf) {
  return static_cast<uint8_t>((xf.HorAlign & 7) | (xf.Wrap ? 8 : 0) | ((xf.VerAlign & 7) << 4));
}

uint16_t XFColorWord(const TXLSXFFields& xf) {
  return static_cast<uint16_t>(xf.FillHighBits | ((xf.Back & 0x7F) << 7) | (xf.Fore & 0x7F));
}

}  // namespace tabulon
