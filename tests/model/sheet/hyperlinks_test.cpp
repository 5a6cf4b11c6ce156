#include <gtest/gtest.h>

#include <string>

#include "SheetRecords.h"
#include "XLSHyperlinks.h"
#include "XLSRecordIds.h"

namespace tabulon {
namespace {

using namespace testing_records;

const TBytes kStdLink = {0xD0, 0xC9, 0xEA, 0x79, 0xF9, 0xBA, 0xCE, 0x11,
                         0x8C, 0x82, 0x00, 0xAA, 0x00, 0x4B, 0xA9, 0x0B};
const TBytes kUrlMoniker = {0xE0, 0xC9, 0xEA, 0x79, 0xF9, 0xBA, 0xCE, 0x11,
                            0x8C, 0x82, 0x00, 0xAA, 0x00, 0x4B, 0xA9, 0x0B};
const TBytes kFileMoniker = {0x03, 0x03, 0, 0, 0, 0, 0, 0, 0xC0, 0, 0, 0, 0, 0, 0, 0x46};

TBytes Long(uint32_t value) {
  return {static_cast<uint8_t>(value), static_cast<uint8_t>(value >> 8),
          static_cast<uint8_t>(value >> 16), static_cast<uint8_t>(value >> 24)};
}

// ASCII text as UTF-16LE units, with a closing NUL when asked.
TBytes Units(const std::string& text, bool nul) {
  TBytes bytes;
  for (char c : text) bytes.insert(bytes.end(), {static_cast<uint8_t>(c), 0});
  if (nul) bytes.insert(bytes.end(), {0, 0});
  return bytes;
}

TBytes Counted(const std::string& text) {
  return Long(static_cast<uint32_t>(text.size() + 1)) + Units(text, true);
}

TBytes Record(const TXLSBlob& blob) {
  return TBytes(blob.GetBuff(), blob.GetBuff() + blob.GetDataSize());
}

// HLINK: the cells, the link object with its description, then what each
// kind of address adds.
TBytes Expected(uint32_t options, const std::string& description, const TBytes& target) {
  const TBytes body = TBytes{1, 0, 2, 0, 1, 0, 1, 0} + kStdLink + Long(2) + Long(options) +
                      Counted(description) + target;
  return TBytes{0xB8, 0x01, static_cast<uint8_t>(body.size()),
                static_cast<uint8_t>(body.size() >> 8)} +
         body;
}

TEST(HyperlinkRecord, EveryKindOfAddress) {
  const TXLSCellArea area{1, 2, 1, 1};  // B2:B3
  EXPECT_EQ(Record(XLSHyperlinkRecord({area, "https://x.org/a", "Go"})),
            Expected(0x17, "Go", kUrlMoniker + Long(32) + Units("https://x.org/a", true)));
  EXPECT_EQ(Record(XLSHyperlinkRecord({area, "MAILTO:a@b.c", "mail"})),
            Expected(0x17, "mail", kUrlMoniker + Long(26) + Units("MAILTO:a@b.c", true)));
  EXPECT_EQ(Record(XLSHyperlinkRecord({area, "#Data!A1", "Data!A1"})),
            Expected(0x1C, "Data!A1", Counted("Data!A1")));
  // A file path: its up-levels, the path in 8 bits, fixed bytes, the path in UTF-16.
  const TBytes fixed = TBytes{0xFF, 0xFF, 0xAD, 0xDE} + TBytes(20, 0);
  const auto extended = [](const std::string& path) {
    const auto bytes = static_cast<uint32_t>(2 * path.size());
    return Long(6 + bytes) + Long(bytes) + TBytes{3, 0} + Units(path, false);
  };
  const auto eightBit = [](const std::string& path) {
    return Long(static_cast<uint32_t>(path.size() + 1)) + TBytes(path.begin(), path.end()) +
           TBytes{0};
  };
  EXPECT_EQ(Record(XLSHyperlinkRecord({area, "../../data/q.xls", "q"})),
            Expected(0x15, "q",
                     kFileMoniker + TBytes{2, 0} + eightBit("data\\q.xls") + fixed +
                         extended("data\\q.xls")));
  EXPECT_EQ(Record(XLSHyperlinkRecord({area, "C:\\r.xls", "r"})),
            Expected(0x17, "r",
                     kFileMoniker + TBytes{0, 0} + eightBit("C:\\r.xls") + fixed +
                         extended("C:\\r.xls")));
  const TBytes unicode = Record(XLSHyperlinkRecord({area, "\xC3\xA9.xls", "e"}));
  const TBytes tail = TBytes{'?', '.', 'x', 'l', 's', 0} + fixed + Long(6 + 10) + Long(10) +
                      TBytes{3, 0, 0xE9, 0, '.', 0, 'x', 0, 'l', 0, 's', 0};
  EXPECT_EQ(TBytes(unicode.end() - tail.size(), unicode.end()), tail);
  EXPECT_EQ(XLSLinkKind("ftp://host/f"), TXLSLinkKind::kUrl);
  EXPECT_EQ(XLSLinkKind("http.xls"), TXLSLinkKind::kFile);
}

TEST(Hyperlinks, CellShowsTheTextAndALaterLinkReplaces) {
  TBook book(2);
  ASSERT_EQ(book.book.SetFileFormat(xlExcel8), 1);
  TXLSWorksheet& sheet = book.Sheet();
  XLSPtr<IXLSRange> cell = sheet.FGetRange("B2", "B2");
  ASSERT_EQ(sheet.AddHyperlink(cell, "https://old.example", "old"), 1);
  ASSERT_EQ(sheet.AddHyperlink(sheet.FGetRange("B2", "C3"), "#Sheet2!A1"), 1);
  EXPECT_EQ(cell->GetValue().ToString(), "Sheet2!A1");
  EXPECT_EQ(cell->GetFont()->GetUnderLine(), xlUnderlineStyleSingle);
  EXPECT_EQ(cell->GetFont()->GetColorIndex(), 5);
  ASSERT_EQ(sheet.GetHyperlinks().Links().size(), 1u);
  sheet.BeginSave();
  ASSERT_EQ(sheet.StoreCells(), 1);
  ASSERT_EQ(sheet.Close(), 1);
  const auto ids = Ids(DataRecords(sheet));
  EXPECT_EQ(ids[ids.size() - 3], xlsrec::kSelection);
  EXPECT_EQ(ids[ids.size() - 2], xlsrec::kHLink);

  const std::string tooLong(1025, 'a');
  EXPECT_EQ(sheet.AddHyperlink(cell, ""), -1);
  EXPECT_EQ(sheet.GetLastError(), "AddHyperlink: the address is empty");
  EXPECT_EQ(sheet.AddHyperlink(cell, tooLong), -1);
  EXPECT_EQ(sheet.GetLastError(), "AddHyperlink: the address has 1025 characters, more than 1024");
  EXPECT_EQ(sheet.AddHyperlink(cell, "a.xls", std::string(256, 't')), -1);
  EXPECT_EQ(sheet.AddHyperlink(book.Sheet(2).FGetRange("A1", "A1"), "a.xls"), -1);
  EXPECT_EQ(sheet.GetLastError(), "AddHyperlink: the anchor is not a range of sheet \"Sheet1\"");
  EXPECT_EQ(sheet.AddHyperlink(nullptr, "a.xls", ""), -1);
}

}  // namespace
}  // namespace tabulon
