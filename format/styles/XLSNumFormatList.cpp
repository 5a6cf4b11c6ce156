#include "XLSRecordEncoder.h"
#include "XLSRecordIds.h"
#include "xlsxf.h"

namespace tabulon {

namespace {

// User-defined style names carry this prefix; built-in ones are two
// hexadecimal digits of the style number.
constexpr char kUserStylePrefix[] = "XX";
constexpr size_t kUserStylePrefixLength = 2;

constexpr uint16_t kBuiltinStyleFlag = 0x8000;
constexpr uint8_t kNoOutlineLevel = 0xFF;

bool IsUserStyleName(const std::string& name) {
  return name.compare(0, kUserStylePrefixLength, kUserStylePrefix) == 0;
}

}  // namespace

int32_t TXLSNumFormatList::GetNumFormatBlob(int32_t i, TXLSBlobList& List,
                                            const TXLSRecordEncoder& encoder) const {
  const std::string& stored = GetItem(i);
  if (stored.empty()) return 0;
  return List.Append(encoder.Format(RecordNumber(i), stored));
}

TXLSStyles::TXLSStyles(const TXLSXFList& Owner) : xfList_(Owner) {
  SetFirstIndex(0);
}

int32_t TXLSStyles::AddBuiltinStyle(uint8_t Number, int32_t XFIndex) {
  char name[2];
  WriteHexField(name, 2, Number);
  return AddItem(std::make_unique<TXLSStyleEntry>(std::string(name, 2), XFIndex));
}

int32_t TXLSStyles::AddStyle(const std::string& Name, int32_t XFIndex) {
  return AddItem(std::make_unique<TXLSStyleEntry>(kUserStylePrefix + Name, XFIndex));
}

int32_t TXLSStyles::GetXFIndex(int32_t i) const {
  const auto* style = static_cast<const TXLSStyleEntry*>(GetItem(i));
  return style != nullptr ? style->XFIndex : 0;
}

int32_t TXLSStyles::GetStyleBlob(int32_t i, TXLSBlobList& List,
                                 const TXLSRecordEncoder& encoder) const {
  const auto* style = static_cast<const TXLSStyleEntry*>(GetItem(i));
  if (style == nullptr) return 0;
  // Records name their XF by its save index less one.
  const uint16_t xfNumber =
      static_cast<uint16_t>((xfList_.GetSaveIndex(style->XFIndex) - 1) & 0x0FFF);
  if (IsUserStyleName(style->Name)) {
    const std::string_view name = std::string_view(style->Name).substr(kUserStylePrefixLength);
    return List.Append(encoder.UserStyle(xfNumber, name));
  }
  TXLSBlob record = MakeRecord(xlsrec::kStyle, 4);
  record.AddWord(xfNumber | kBuiltinStyleFlag);
  record.AddByte(static_cast<uint8_t>(ReadHexField(style->Name, 0, 2)));
  record.AddByte(kNoOutlineLevel);
  return List.Append(std::move(record));
}

}  // namespace tabulon
