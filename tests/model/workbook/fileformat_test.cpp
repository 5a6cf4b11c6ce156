// The file-format choice: the values taken, the limits that follow it
// (formula rows, sheet-name length) and the frame of a BIFF8 stream.
#include <gtest/gtest.h>

#include "BookTestUtil.h"

namespace tabulon {
namespace {

using book_test::BookRecords;
using book_test::GlobalsOf;
using book_test::TRecord;
using book_test::WithId;

TEST(FileFormat, TakesTheTwoFormatsAndRefusesAnyOther) {
  TXLSWorkbook book;
  EXPECT_EQ(book.GetFileFormat(), xlExcel5);
  EXPECT_EQ(book.SetFileFormat(xlExcel8), 1);
  EXPECT_EQ(book.GetFileFormat(), xlExcel8);
  EXPECT_EQ(book.SetFileFormat(51), -1);
  EXPECT_NE(book.GetLastError().find("file format 51"), std::string::npos);
  EXPECT_EQ(book.GetFileFormat(), xlExcel8);
  EXPECT_EQ(book.SetFileFormat(xlExcel5), 1);
}

// Formulas reach row 65536 in BIFF8 and 16384 in BIFF5; a workbook holding
// a formula past 16384 cannot go back to BIFF5, which would cut the row.
TEST(FileFormat, FormulaRowsFollowTheFormat) {
  TXLSWorkbook book;
  XLSPtr<IXLSWorkSheet> sheet = book.GetWorksheets()->Add();
  TXLSFormulaStatus refused = sheet->FGetRange("A1", "A1")->SetFormula("=B20000");
  EXPECT_FALSE(refused.Ok());
  EXPECT_NE(refused.Message.find("BIFF5 formula can address (1 to 16384)"), std::string::npos);

  ASSERT_EQ(book.SetFileFormat(xlExcel8), 1);
  EXPECT_TRUE(sheet->FGetRange("A1", "A1")->SetFormula("=B20000+B65536").Ok());
  EXPECT_FALSE(sheet->FGetRange("A2", "A2")->SetFormula("=B65537").Ok());
  // A fill stops at the last row a BIFF8 reference reaches.
  EXPECT_TRUE(sheet->FGetRange("C1", "C100")->SetFormula("=D65437").Ok());
  EXPECT_FALSE(sheet->FGetRange("C1", "C101")->SetFormula("=D65437").Ok());

  EXPECT_EQ(book.SetFileFormat(xlExcel5), -1);
  EXPECT_NE(book.GetLastError().find("refers to rows a BIFF5 formula cannot address"),
            std::string::npos)
      << book.GetLastError();
  EXPECT_EQ(book.GetFileFormat(), xlExcel8);

  // The references are written with 16-bit rows and their flags in the
  // column word: B20000 relative is row 19999, column 1 | 0xC000.
  const std::vector<TRecord> formulas = WithId(BookRecords(book), xlsrec::kFormula);
  ASSERT_FALSE(formulas.empty());
  const TRecord& first = formulas.front();
  EXPECT_EQ(first.data[22], 0x44);  // tRef, value class
  EXPECT_EQ(first.Word(23), 19999);
  EXPECT_EQ(first.Word(25), 0xC001);
}

// BIFF8 counts a sheet name in characters: 31 Cyrillic letters (62 bytes of
// UTF-8) are a name, 32 are not.
TEST(FileFormat, SheetNamesCountCharactersInBiff8) {
  TXLSWorkbook book;
  book.SetUtf8Texts(true);
  ASSERT_EQ(book.SetFileFormat(xlExcel8), 1);
  XLSPtr<IXLSWorkSheet> sheet = book.GetWorksheets()->Add();
  std::string name;
  for (int i = 0; i < 31; ++i) name += "Ж";
  sheet->SetWorkSheetName(name);
  EXPECT_EQ(sheet->GetWorkSheetName(), name);
  sheet->SetWorkSheetName(name + "Ж");
  EXPECT_EQ(sheet->GetWorkSheetName(), name);

  // The stream opens with a 16-byte BOF of version 0x0600, declares UTF-16
  // texts and carries the name whole, as 31 UTF-16 characters.
  const std::vector<TRecord> globals = GlobalsOf(BookRecords(book));
  ASSERT_GE(globals.size(), 2u);
  EXPECT_EQ(globals[0].data.size(), 16u);
  EXPECT_EQ(globals[0].Word(0), 0x0600);
  EXPECT_EQ(WithId(globals, xlsrec::kCodePage).at(0).Word(0), 1200);
  const TRecord bound = WithId(globals, xlsrec::kBoundSheet).at(0);
  EXPECT_EQ(bound.data[6], 31);
  EXPECT_EQ(bound.data[7], 1);  // UTF-16
  EXPECT_EQ(bound.Word(8), 0x0416);
}

}  // namespace
}  // namespace tabulon
