// Hyperlinks of the sheet's cells: the HLINK record (BIFF8) and
// IXLSWorkSheet::AddHyperlink.
#include "XLSHyperlinks.h"

#include <algorithm>
#include <cctype>
#include <string_view>

#include "XLSCellRef.h"
#include "XLSRange.h"
#include "XLSRecordIds.h"
#include "XLSRecordSection.h"
#include "XLSTextEncoder.h"
#include "XLSUnicodeText.h"
#include "XLSValidations.h"
#include "XLSWorkbook.h"
#include "XLSWorksheet.h"

namespace tabulon {

namespace {

using TBytes = std::vector<uint8_t>;
using TGuid = uint8_t[16];

// The class ids of the link object and of the two monikers, as stored.
constexpr TGuid kStdLink = {0xD0, 0xC9, 0xEA, 0x79, 0xF9, 0xBA, 0xCE, 0x11,
                            0x8C, 0x82, 0x00, 0xAA, 0x00, 0x4B, 0xA9, 0x0B};
constexpr TGuid kUrlMoniker = {0xE0, 0xC9, 0xEA, 0x79, 0xF9, 0xBA, 0xCE, 0x11,
                               0x8C, 0x82, 0x00, 0xAA, 0x00, 0x4B, 0xA9, 0x0B};
constexpr TGuid kFileMoniker = {0x03, 0x03, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
                                0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46};
constexpr uint32_t kStdLinkVersion = 2;
// HLINK options.
constexpr uint32_t kHasMoniker = 0x01;
constexpr uint32_t kAbsolute = 0x02;
constexpr uint32_t kHasDescription = 0x14;
constexpr uint32_t kHasTextMark = 0x08;
// The file moniker's fixed bytes after the short path: a version word and
// twenty reserved bytes.
constexpr uint8_t kFileMonikerVersion[4] = {0xFF, 0xFF, 0xAD, 0xDE};
constexpr size_t kFileMonikerReserved = 20;
constexpr uint16_t kExtendedPathKey = 0x0003;

// Longest address and text a link takes, in UTF-16 units; with them the
// record stays below the size a record may have.
constexpr size_t kMaxAddressUnits = 1024;
constexpr size_t kMaxTextUnits = 255;
// ColorIndex of the palette's blue, the colour of a link's text.
constexpr int32_t kLinkColorIndex = 5;

void AddLong(TBytes& body, uint32_t value) {
  XLSAppendLE(body, value);
}

void AddGuid(TBytes& body, const TGuid& guid) {
  body.insert(body.end(), guid, guid + sizeof(TGuid));
}

void AddUnits(TBytes& body, std::u16string_view units) {
  for (char16_t unit : units) XLSAppendLE(body, static_cast<uint16_t>(unit));
}

// A character count that includes the closing NUL, the units and the NUL:
// how the description and the text mark are stored.
void AddCountedText(TBytes& body, std::u16string_view text) {
  AddLong(body, static_cast<uint32_t>(text.size() + 1));
  AddUnits(body, text);
  XLSAppendLE(body, uint16_t{0});
}

// The URL moniker: the byte size of the URL with its closing NUL, then the
// URL in UTF-16 and the NUL.
void AddUrlMoniker(TBytes& body, std::u16string_view url) {
  AddGuid(body, kUrlMoniker);
  AddLong(body, static_cast<uint32_t>(2 * (url.size() + 1)));
  AddUnits(body, url);
  XLSAppendLE(body, uint16_t{0});
}

bool IsAbsolutePath(std::u16string_view path) {
  return (path.size() >= 2 && path[1] == u':') || (!path.empty() && path[0] == u'\\');
}

// The file moniker: the "..\" up-levels, the path in 8-bit characters with
// its NUL ('?' for the others), the fixed bytes, then the path in UTF-16,
// which readers take when it is there (Gnumeric expects it).
void AddFileMoniker(TBytes& body, std::u16string_view path) {
  uint16_t upLevels = 0;
  while (path.substr(0, 3) == u"..\\") {
    path.remove_prefix(3);
    ++upLevels;
  }
  AddGuid(body, kFileMoniker);
  XLSAppendLE(body, upLevels);
  AddLong(body, static_cast<uint32_t>(path.size() + 1));
  for (char16_t unit : path) body.push_back(unit < 0x80 ? static_cast<uint8_t>(unit) : '?');
  body.push_back(0);
  body.insert(body.end(), kFileMonikerVersion, kFileMonikerVersion + sizeof kFileMonikerVersion);
  body.insert(body.end(), kFileMonikerReserved, 0);
  const auto bytes = static_cast<uint32_t>(2 * path.size());
  AddLong(body, 4 + 2 + bytes);
  AddLong(body, bytes);
  XLSAppendLE(body, kExtendedPathKey);
  AddUnits(body, path);
}

std::u16string FilePath(const std::string& address) {
  std::u16string path = XLSUtf8ToUtf16(address);
  std::replace(path.begin(), path.end(), u'/', u'\\');
  return path;
}

bool StartsWithNoCase(const std::string& text, std::string_view prefix) {
  if (text.size() < prefix.size()) return false;
  for (size_t i = 0; i < prefix.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(text[i])) != prefix[i]) return false;
  }
  return true;
}

}  // namespace

TXLSLinkKind XLSLinkKind(const std::string& address) {
  if (!address.empty() && address[0] == '#') return TXLSLinkKind::kPlace;
  for (std::string_view scheme : {"http://", "https://", "ftp://", "mailto:"}) {
    if (StartsWithNoCase(address, scheme)) return TXLSLinkKind::kUrl;
  }
  return TXLSLinkKind::kFile;
}

TXLSBlob XLSHyperlinkRecord(const TXLSHyperlink& link) {
  const TXLSLinkKind kind = XLSLinkKind(link.Address);
  TBytes body;
  uint32_t options = kHasDescription;
  if (kind == TXLSLinkKind::kPlace) {
    options |= kHasTextMark;
  } else {
    options |= kHasMoniker;
    if (kind == TXLSLinkKind::kUrl || IsAbsolutePath(FilePath(link.Address))) options |= kAbsolute;
  }
  AddGuid(body, kStdLink);
  AddLong(body, kStdLinkVersion);
  AddLong(body, options);
  AddCountedText(body, XLSUtf8ToUtf16(link.Description));
  if (kind == TXLSLinkKind::kUrl) AddUrlMoniker(body, XLSUtf8ToUtf16(link.Address));
  if (kind == TXLSLinkKind::kFile) AddFileMoniker(body, FilePath(link.Address));
  if (kind == TXLSLinkKind::kPlace) AddCountedText(body, XLSUtf8ToUtf16(link.Address.substr(1)));
  TXLSBlob record = MakeRecord(xlsrec::kHLink, static_cast<uint16_t>(8 + body.size()));
  XLSAddCellArea(record, link.Area);
  record.AddString(std::string_view(reinterpret_cast<const char*>(body.data()), body.size()));
  return record;
}

void TXLSHyperlinks::Add(TXLSHyperlink link) {
  links_.erase(
      std::remove_if(links_.begin(), links_.end(),
                     [&](const TXLSHyperlink& old) { return old.Area.Overlaps(link.Area); }),
      links_.end());
  links_.push_back(std::move(link));
}

int32_t TXLSHyperlinks::Store(TXLSRecordSection& section) const {
  int32_t status = 1;
  for (const TXLSHyperlink& link : links_) {
    if (status == 1) status = section.Append(XLSHyperlinkRecord(link));
  }
  return status;
}

namespace {

// Why a link's address or text cannot be stored, or empty; both in UTF-8.
std::string LinkTextRefusal(const std::string& address, const std::string& text) {
  if (address.empty() || address == "#") return "the address is empty";
  if (address.find('\0') != std::string::npos || text.find('\0') != std::string::npos)
    return "the address or the text holds a NUL character";
  const size_t addressUnits = XLSUtf16Units(address);
  if (addressUnits > kMaxAddressUnits)
    return "the address has " + std::to_string(addressUnits) + " characters, more than " +
           std::to_string(kMaxAddressUnits);
  const size_t textUnits = XLSUtf16Units(text);
  if (textUnits > kMaxTextUnits)
    return "the text has " + std::to_string(textUnits) + " characters, more than " +
           std::to_string(kMaxTextUnits);
  return {};
}

}  // namespace

namespace {

// Why the sheet takes no link on the range, or empty.
std::string AnchorRefusal(TXLSWorksheet& sheet, const TXLSRange* range) {
  if (sheet.GetWorkbook().GetFileFormat() != xlExcel8)
    return "hyperlinks need a BIFF8 workbook (TXLSWorkbook::SetFileFormat(xlExcel8))";
  if (sheet.IsDetached()) return "the sheet has been deleted";
  if (range == nullptr || &range->GetWorksheet() != &sheet)
    return "the anchor is not a range of sheet \"" + sheet.GetName() + "\"";
  return {};
}

// The top-left cell shows the text as links look: blue, underlined.
void ShowLinkText(TXLSWorksheet& sheet, const TXLSCellArea& area, const std::string& text) {
  const std::string cellText = EncodeCellRef(area.FirstRow, area.FirstCol);
  XLSPtr<IXLSRange> cell = sheet.GetRange(cellText, cellText);
  cell->SetValue(text);
  XLSPtr<IXLSFont> font = cell->GetFont();
  font->SetColorIndex(kLinkColorIndex);
  font->SetUnderLine(xlUnderlineStyleSingle);
}

}  // namespace

int32_t TXLSWorksheet::AddHyperlink(IXLSRange* anchor, const std::string& address,
                                    const std::string& text) {
  auto* range = dynamic_cast<TXLSRange*>(anchor);
  std::string refusal = AnchorRefusal(*this, range);
  TXLSTextEncoder& texts = workbook_.GetTextEncoder();
  const std::string utf8Address(refusal.empty() ? texts.Utf8Form(address) : "");
  const std::string utf8Text(refusal.empty() ? texts.Utf8Form(text) : "");
  if (refusal.empty()) refusal = LinkTextRefusal(utf8Address, utf8Text);
  if (!refusal.empty()) {
    SetLastError("AddHyperlink: " + refusal);
    return -1;
  }
  // A place shows without its '#'.
  const bool place = XLSLinkKind(utf8Address) == TXLSLinkKind::kPlace;
  const std::string shown = !text.empty() ? text : place ? address.substr(1) : address;
  const TXLSCellArea area{range->GetFirstRow(), range->GetLastRow(), range->GetFirstCol(),
                          range->GetLastCol()};
  ShowLinkText(*this, area, shown);
  hyperlinks_->Add({area, utf8Address, std::string(texts.Utf8Form(shown))});
  return 1;
}

namespace {

std::string AreaText(const TXLSCellArea& area) {
  const std::string first = EncodeCellRef(area.FirstRow, area.FirstCol);
  return area.IsCell() ? first : first + ":" + EncodeCellRef(area.LastRow, area.LastCol);
}

}  // namespace

std::string TXLSWorksheet::Biff8OnlyContent() const {
  if (!hyperlinks_->Links().empty())
    return "the hyperlink in " + name_ + "!" + AreaText(hyperlinks_->Links().front().Area);
  if (!validations_->Entries().empty())
    return "the data validation in " + name_ + "!" +
           AreaText(validations_->Entries().front().Areas.front());
  return {};
}

}  // namespace tabulon
