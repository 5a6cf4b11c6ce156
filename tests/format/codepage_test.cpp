// Workbook texts in other code pages: what the records carry, byte limits on
// character boundaries, and the report of characters a code page lacks.
#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "BookTestUtil.h"
#include "Tabulon.h"
#include "ToolRun.h"
#include "XLSCodePage.h"
#include "XLSRecordIds.h"
#include "XLSTextCodec.h"
#include "XLSWorkSheets.h"

namespace tabulon {
namespace {

using namespace book_test;

std::string Repeat(const std::string& text, int times) {
  std::string out;
  for (int i = 0; i < times; ++i) out += text;
  return out;
}

std::string TextOf(const TRecord& record, size_t length_pos, size_t length_size) {
  const size_t length = length_size == 1 ? record.data[length_pos] : record.Word(length_pos);
  const auto begin = record.data.begin() + static_cast<long>(length_pos + length_size);
  return std::string(begin, begin + static_cast<long>(length));
}

TEST(CodePage, OnlyWindowsCodePagesOfReadersAreAccepted) {
  TXLSWorkbook book;
  for (uint16_t page : {874, 932, 936, 949, 950, 1250, 1258}) EXPECT_EQ(book.SetCodePage(page), 1);
  for (uint16_t page : {0, 437, 1200, 1249, 1259, 65001}) {
    EXPECT_EQ(book.SetCodePage(page), -1) << page;
    EXPECT_NE(book.GetLastError().find(std::to_string(page)), std::string::npos);
  }
  EXPECT_EQ(book.GetCodePage(), 1258);  // the last accepted one
}

// A UTF-8 workbook keeps the caller's texts and writes them in its code page;
// texts are cut at byte limits without splitting a double-byte character.
TEST(CodePage, Utf8TextsAreWrittenInTheCodePageAndCutOnCharacterBoundaries) {
  TXLSWorkbook book;
  book.SetUtf8Texts(true);
  ASSERT_EQ(book.SetCodePage(932), 1);
  XLSPtr<IXLSWorkSheet> sheet = book.GetWorksheets()->Add();
  const std::string name = Repeat("\xE8\xA1\xA8", 15);  // 15 x 表: 45 UTF-8, 30 cp932 bytes
  sheet->SetWorkSheetName(name);
  EXPECT_EQ(sheet->GetWorkSheetName(), name);
  sheet->SetWorkSheetName(Repeat("\xE8\xA1\xA8", 16));  // 32 bytes: too long, refused
  EXPECT_EQ(sheet->GetWorkSheetName(), name);

  const std::string long_text = Repeat("\xE6\x97\xA5", 150);  // 150 x 日: 300 cp932 bytes
  XLSPtr<IXLSRange> cell = sheet->FGetRange("B2", "B2");
  cell->SetValue(OleVariant(long_text));
  EXPECT_EQ(cell->GetValue().ToString(), long_text);
  cell->SetNumFormat("0.0\"\xE5\x86\x86\"");                                      // 0.0"円"
  cell->GetFont()->SetName("\xEF\xBC\xAD\xEF\xBC\xB3 \xE6\x98\x8E\xE6\x9C\x9D");  // ＭＳ 明朝

  const std::vector<TRecord> records = BookRecords(book);
  EXPECT_EQ(WithId(records, xlsrec::kCodePage).at(0).Word(0), 932);
  const TRecord label = WithId(records, xlsrec::kLabel).at(0);
  EXPECT_EQ(TextOf(label, 6, 2), Repeat("\x93\xFA", 127));  // 254 bytes, not 255
  EXPECT_EQ(TextOf(WithId(records, xlsrec::kBoundSheet).at(0), 6, 1), Repeat("\x95\x5C", 15));
  EXPECT_EQ(TextOf(WithId(records, xlsrec::kFormat).back(), 2, 1), "0.0\"\x89\x7E\"");
  const TRecord font = WithId(records, xlsrec::kFont).back();
  EXPECT_EQ(font.data[12], 128);  // SHIFTJIS_CHARSET
  EXPECT_EQ(TextOf(font, 14, 1), "\x82\x6C\x82\x72 \x96\xBE\x92\xA9");
  EXPECT_EQ(book.GetTextLosses().Count, 0u);
}

// Stored bytes (the default) are written as they are; cuts still keep a
// double-byte character whole.
TEST(CodePage, StoredBytesAreCutOnCharacterBoundaries) {
  TXLSWorkbook book;
  ASSERT_EQ(book.SetCodePage(936), 1);
  XLSPtr<IXLSWorkSheet> sheet = book.GetWorksheets()->Add();
  sheet->FGetRange("A1", "A1")->SetValue(OleVariant("a" + Repeat("\xD6\xD0", 130)));
  const std::vector<TRecord> records = BookRecords(book);
  EXPECT_EQ(TextOf(WithId(records, xlsrec::kLabel).at(0), 6, 2), "a" + Repeat("\xD6\xD0", 127));
  EXPECT_EQ(WithId(records, xlsrec::kFont).at(0).data[12], 134);  // GB2312_CHARSET
}

TEST(CodePage, CharactersTheCodePageLacksAreReplacedAndReportedWithTheirPlace) {
  TXLSWorkbook book;
  book.SetUtf8Texts(true);
  ASSERT_EQ(book.SetCodePage(1251), 1);
  XLSPtr<IXLSWorkSheet> sheet = book.GetWorksheets()->Add();
  sheet->SetWorkSheetName("\xD0\x9B\xD0\xB8\xD1\x81\xD1\x82 \xCE\xA9");  // Лист Ω
  sheet->FGetRange("C4", "C4")->SetValue(OleVariant("\xD0\x94\xD0\xB0 \xE4\xB8\xAD"));  // Да 中
  sheet->GetPageSetup()->SetCenterHeader("\xE2\x82\xAC\xCE\xB1");  // €α: α is not in 1251
  const std::vector<TRecord> records = BookRecords(book);
  EXPECT_EQ(TextOf(WithId(records, xlsrec::kLabel).at(0), 6, 2), "\xC4\xE0 ?");
  EXPECT_EQ(TextOf(WithId(records, xlsrec::kBoundSheet).at(0), 6, 1), "\xCB\xE8\xF1\xF2 _");
  EXPECT_EQ(TextOf(WithId(records, xlsrec::kHeader).at(0), 0, 1), "&C\x88?");

  const TXLSTextLossReport& losses = book.GetTextLosses();
  ASSERT_EQ(losses.Count, 3u);
  ASSERT_EQ(losses.First.size(), 3u);
  const std::string sheetName = sheet->GetWorkSheetName();
  EXPECT_EQ(losses.First[0].Item, "sheet name");
  EXPECT_EQ(losses.First[0].CodePoint, 0x03A9u);
  EXPECT_EQ(losses.First[1].Sheet, sheetName);
  EXPECT_EQ(losses.First[1].Cell, "C4");
  EXPECT_EQ(losses.First[1].CodePoint, 0x4E2Du);
  EXPECT_EQ(losses.First[2].Item, "header");
  EXPECT_EQ(losses.First[2].Sheet, sheetName);
}

// Names are checked as the file stores them: characters, not the bytes of
// double-byte ones (trail byte 0x5C is no '\\'), and converted, so that two
// names that become one are refused; a code page chosen after the names
// fails the save rather than write two sheets of one name.
TEST(CodePage, SheetNamesAreCheckedAsTheFileStoresThem) {
  TXLSWorkbook bytes;
  for (const auto& [page, name] : {std::pair<uint16_t, const char*>{932, "\x95\x5C"},  // 表
                                   {932, "\x83\x5C\x83\x74\x83\x67"},                  // ソフト
                                   {950, "\xB3\x5C\xA5\x69"}}) {                       // 許可
    ASSERT_EQ(bytes.SetCodePage(page), 1);
    EXPECT_TRUE(bytes.GetSheets().CheckName(0, name)) << name;
    EXPECT_FALSE(bytes.GetSheets().CheckName(0, std::string("a\\") + name));
  }
  EXPECT_FALSE(TXLSWorkSheets::IsAllowedName("\x95\x5C", 1252));

  TXLSWorkbook book;
  book.SetUtf8Texts(true);
  XLSPtr<IXLSWorkSheets> sheets = book.GetWorksheets();
  sheets->Add()->SetWorkSheetName(
      "\xCE\xA9"
      "a");  // Ωa, stored as _a
  XLSPtr<IXLSWorkSheet> second = sheets->Add();
  for (const char* clash : {"\xCE\xA3"
                            "a",
                            "_A"}) {  // Σa
    second->SetWorkSheetName(clash);
    EXPECT_EQ(second->GetWorkSheetName(), "Sheet2") << clash;
  }
  ASSERT_EQ(book.SetCodePage(932), 1);
  EXPECT_FALSE(book.GetSheets().CheckName(0, "\xC2\xA5"));  // ¥ is stored as 0x5C
  second->SetWorkSheetName(
      "\xCE\xA3"
      "a");  // Greek letters exist in 932
  ASSERT_EQ(book.SetCodePage(1252), 1);
  TXLSMemoryStream out;
  EXPECT_EQ(book.WriteBookStream(out), -1);
  EXPECT_TRUE(test::Contains(book.GetLastError(), "would have the same name in code page 1252"))
      << book.GetLastError();

  ASSERT_EQ(book.SetCodePage(936), 1);
  const std::string name = Repeat("\xE4\xB8\xAD", 15) + "b";  // 15 x 中 + b: 31 bytes
  EXPECT_EQ(book.FitText(name, 27), Repeat("\xE4\xB8\xAD", 13));
  EXPECT_EQ(bytes.FitText(Repeat("\xB3\x5C", 15), 27), Repeat("\xB3\x5C", 13));
}

// Characters the C library converts but readers cannot decode in the code
// page are lost like any other: the euro sign in 936 (0x80 makes xlrd refuse
// the file), U+0080 and private-use U+F7AA.. in 950; tag characters, which
// the conversion would drop without a word, in every code page.
TEST(CodePage, CharactersReadersCannotDecodeAreReplacedAndReported) {
  struct TCase {
    uint16_t CodePage;
    const char* Text;
    const char* Stored;
    uint64_t Losses;
  };
  for (const TCase& c : {TCase{936, "\xE2\x82\xAC 5 \xE4\xB8\xAD", "? 5 \xD6\xD0", 1},
                         TCase{950, "\xC2\x80|\xEF\x9E\xB0|\xE4\xB8\xAD", "?|?|\xA4\xA4", 2},
                         TCase{1251, "a\xF3\xA0\x80\x81\xD0\x96", "a?\xC6", 1}}) {
    TXLSWorkbook book;
    book.SetUtf8Texts(true);
    ASSERT_EQ(book.SetCodePage(c.CodePage), 1);
    book.GetWorksheets()->Add()->FGetRange("A1", "A1")->SetValue(OleVariant(c.Text));
    EXPECT_EQ(TextOf(WithId(BookRecords(book), xlsrec::kLabel).at(0), 6, 2), c.Stored)
        << c.CodePage;
    EXPECT_EQ(book.GetTextLosses().Count, c.Losses) << c.CodePage;
  }
  EXPECT_EQ(XLSUtf8ToCodePage("\xE2\x82\xAC", 936).Unmapped.size(), 1u);
}

TEST(CodePage, UnknownCharactersOfAnyCodePageAreLocatedForTheCommandLine) {
  const TXLSCp1252Text converted =
      XLSUtf8ToCodePage("\xD0\x96\n\xE4\xB8\xAD\xD0\x96\xC3\xA9", 1251);
  EXPECT_TRUE(converted.Valid);
  EXPECT_EQ(converted.Text, "\xC6\n?\xC6?");
  ASSERT_EQ(converted.Unmapped.size(), 2u);
  EXPECT_EQ(converted.Unmapped[0].Position.Line, 2u);
  EXPECT_EQ(converted.Unmapped[0].Position.Column, 1u);
  EXPECT_EQ(converted.Unmapped[1].Position.Column, 3u);
  EXPECT_EQ(XLSCodePageToUtf8("\xC6", 1251), "\xD0\x96");
  EXPECT_FALSE(XLSUtf8ToCodePage("ok \xD0", 949).Valid);
}

TEST(CodePage, CommandsRefuseCodePagesAWorkbookCannotDeclare) {
  const std::string flavour = TABULON_FLAVOUR;
  const std::string tabulon =
      std::string(TABULON_BINARY_DIR) + (flavour == "7" ? "/tabulon" : "/tabulon_cli" + flavour);
  for (const char* command : {"convert", "export"}) {
    const test::TRunResult run = test::Run({tabulon, command, "--codepage", "65001", "in", "out"});
    EXPECT_EQ(run.Status, 2) << command;
    EXPECT_TRUE(test::Contains(run.Err, "--codepage needs one of the code pages 874, 932"))
        << run.Err;
  }
}

}  // namespace
}  // namespace tabulon
