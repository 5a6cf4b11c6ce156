// Conditional formats of ranges: what AddFormatCondition refuses, the
// BIFF5 refusals, DeleteFormatConditions, and the CONDFMT and CF bytes.
#include <gtest/gtest.h>

#include "BookTestUtil.h"
#include "FormatConditionTestUtil.h"

namespace tabulon {
namespace {

using book_test::BookRecords;
using book_test::TRecord;
using book_test::WithId;
using condition_test::CellValue;
using condition_test::Expression;

std::string LastError(IXLSWorkSheet& sheet) {
  return sheet.GetLastError();
}

TEST(FormatConditions, NeedBiff8AndKeepTheWorkbookThere) {
  TXLSWorkbook book;
  XLSPtr<IXLSWorkSheet> sheet = book.GetWorksheets()->Add();
  XLSPtr<IXLSRange> range = sheet->FGetRange("B2", "C4");
  EXPECT_EQ(range->AddFormatCondition(CellValue(xlGreater, "1")), -1);
  EXPECT_NE(LastError(*sheet).find("need a BIFF8 workbook (TXLSWorkbook::SetFileFormat(xlExcel8))"),
            std::string::npos)
      << LastError(*sheet);

  ASSERT_EQ(book.SetFileFormat(xlExcel8), 1);
  ASSERT_EQ(range->AddFormatCondition(CellValue(xlGreater, "1")), 1);
  EXPECT_EQ(book.SetFileFormat(xlExcel5), -1);
  EXPECT_NE(book.GetLastError().find("conditional formats of Sheet1!B2:C4 need a BIFF8"),
            std::string::npos)
      << book.GetLastError();
  EXPECT_EQ(book.GetFileFormat(), xlExcel8);
  // Deleting through any range that shares a cell removes the whole format.
  sheet->FGetRange("C4", "D9")->DeleteFormatConditions();
  EXPECT_EQ(book.SetFileFormat(xlExcel5), 1);
}

TEST(FormatConditions, RefuseWhatTheRecordsCannotHold) {
  TXLSWorkbook book;
  ASSERT_EQ(book.SetFileFormat(xlExcel8), 1);
  XLSPtr<IXLSWorkSheet> sheet = book.GetWorksheets()->Add();
  XLSPtr<IXLSWorkSheet> other = book.GetWorksheets()->Add();
  XLSPtr<IXLSRange> range = sheet->FGetRange("A1", "A9");
  const struct {
    TXLSFormatCondition condition;
    const char* message;
  } refused[] = {
      {CellValue(0, "1"), "operator 0 is not one of xlBetween (1) to xlLessEqual (8)"},
      {CellValue(xlBetween, "1"), "Formula2 is empty"},
      {CellValue(xlEqual, "=1+"), "Formula1 \"=1+\" does not parse"},
      {Expression("=Sheet2!A1>0"), "refers to another sheet"},
      {Expression("B1:B4"), "is a block of cells"},
      {Expression(""), "Formula1 is empty"},
  };
  for (const auto& item : refused) {
    EXPECT_EQ(range->AddFormatCondition(item.condition), -1) << item.message;
    EXPECT_NE(LastError(*sheet).find(item.message), std::string::npos) << LastError(*sheet);
    EXPECT_NE(LastError(*sheet).find("AddFormatCondition on Sheet1!A1:A9"), std::string::npos);
  }
  TXLSFormatCondition wrongType = Expression("=TRUE");
  wrongType.Type = 7;
  EXPECT_EQ(range->AddFormatCondition(wrongType), -1);

  for (int i = 0; i < 3; ++i) EXPECT_EQ(range->AddFormatCondition(Expression("=A1>0")), 1);
  EXPECT_EQ(range->AddFormatCondition(Expression("=A1>0")), -1);
  EXPECT_NE(LastError(*sheet).find("Sheet1!A1:A9 has 3 conditions already"), std::string::npos);
  // Another rectangle is another format.
  EXPECT_EQ(sheet->FGetRange("A1", "A8")->AddFormatCondition(Expression("=A1>0")), 1);

  XLSPtr<IXLSRange> orphan = other->FGetRange("A1", "A1");
  other->Delete();
  EXPECT_EQ(orphan->AddFormatCondition(Expression("=TRUE")), -1);
  orphan->DeleteFormatConditions();
}

// A cell-value condition between 10 and $E$1 in red bold italic, and a formula
// condition =AND(B2>C2,A1<>0) with a green fill and a blue border, on B2:C4.
// They follow SELECTION: a CONDFMT, then one CF per condition.
TEST(FormatConditions, WriteCondFmtAndCfRecords) {
  TXLSWorkbook book;
  ASSERT_EQ(book.SetFileFormat(xlExcel8), 1);
  XLSPtr<IXLSWorkSheet> sheet = book.GetWorksheets()->Add();
  XLSPtr<IXLSRange> range = sheet->FGetRange("B2", "C4");
  TXLSFormatCondition between = CellValue(xlBetween, "10", "=$E$1");
  between.FontColor = 0x0000FF;
  between.Bold = true;
  between.Italic = true;
  ASSERT_EQ(range->AddFormatCondition(between), 1);
  TXLSFormatCondition expression = Expression("=AND(B2>C2,A1<>0)");
  expression.FillColor = 0x00FF00;
  expression.BorderColor = 0xFF0000;
  ASSERT_EQ(range->AddFormatCondition(expression), 1);

  const std::vector<TRecord> records = BookRecords(book);
  ASSERT_GE(records.size(), 5u);
  const size_t n = records.size() - 1;  // the sheet's EOF
  EXPECT_EQ(records[n].id, xlsrec::kEof);
  EXPECT_EQ(records[n - 4].id, xlsrec::kSelection);
  EXPECT_EQ(records[n - 3].id, xlsrec::kCondFmt);
  EXPECT_EQ(records[n - 2].id, xlsrec::kCf);
  EXPECT_EQ(records[n - 1].id, xlsrec::kCf);

  // Two CFs, recalculation flag, bounding rectangle rows 1-3 columns 1-2,
  // and the list of one rectangle.
  EXPECT_EQ(records[n - 3].data,
            (book_test::TBytes{2, 0, 1, 0, 1, 0, 3, 0, 1, 0, 2, 0, 1, 0, 1, 0, 3, 0, 1, 0, 2, 0}));

  const TRecord& value = records[n - 2];
  ASSERT_EQ(value.data.size(), 12u + 118u + 3u + 5u);
  EXPECT_EQ(value.data[0], 1);                  // the cell's value
  EXPECT_EQ(value.data[1], 1);                  // between
  EXPECT_EQ(value.Word(2), 3);                  // tInt 10
  EXPECT_EQ(value.Word(4), 5);                  // tRef $E$1, absolute
  EXPECT_EQ(value.Long(6), 0x043FFFFFu);        // a font block, nothing else set
  EXPECT_EQ(value.Long(12 + 64), 0xFFFFFFFFu);  // height left alone
  EXPECT_EQ(value.Long(12 + 68), 2u);           // italic
  EXPECT_EQ(value.Word(12 + 72), 700);          // bold
  EXPECT_EQ(value.Long(12 + 80), 10u);          // red: palette index 10
  EXPECT_EQ(value.Long(12 + 88), 0x98u);        // posture and weight set
  EXPECT_EQ(value.Word(12 + 116), 1);
  EXPECT_EQ((book_test::TBytes(value.data.begin() + 130, value.data.end())),
            (book_test::TBytes{0x1E, 10, 0, 0x44, 0, 0, 4, 0}));

  // B2 and C2 from B2 are offsets (0,0) and (0,1); A1 is (-1,-1), its
  // fields wrapping to 0xFFFF and 0xFF; all relative, as tRefN.
  const TRecord& formula = records[n - 1];
  const size_t tokens = 12 + 8 + 4;
  EXPECT_EQ(formula.data[0], 2);
  EXPECT_EQ(formula.data[1], 0);
  EXPECT_EQ(formula.Word(4), 0);
  EXPECT_EQ(formula.Long(6), 0x303AC3FFu);  // border and pattern blocks, their parts set
  EXPECT_EQ(formula.Word(12), 0x1111);      // thin lines on four edges
  const uint32_t blue = 12;
  EXPECT_EQ(formula.Long(14), blue | blue << 7 | blue << 16 | blue << 23);
  EXPECT_EQ(formula.Word(20), 0x0400);          // solid
  EXPECT_EQ(formula.Word(22), 0x40 | 11 << 7);  // bright green behind
  EXPECT_EQ((book_test::TBytes(formula.data.begin() + tokens, formula.data.end())),
            (book_test::TBytes{0x4C, 0,    0,    0,    0xC0, 0x4C, 0, 0,    1,    0xC0, 0x0D, 0x4C,
                               0xFF, 0xFF, 0xFF, 0xC0, 0x1E, 0,    0, 0x0E, 0x42, 2,    0x24, 0}));
  EXPECT_EQ(formula.Word(2), formula.data.size() - tokens);
}

// An area with a relative corner is a tAreaN: rows and then columns, the
// absolute corner as it is and the relative one as an offset from B2.
TEST(FormatConditions, WriteAreasAsOffsets) {
  TXLSWorkbook book;
  ASSERT_EQ(book.SetFileFormat(xlExcel8), 1);
  XLSPtr<IXLSWorkSheet> sheet = book.GetWorksheets()->Add();
  ASSERT_EQ(sheet->FGetRange("B2", "B5")->AddFormatCondition(Expression("=SUM($A$1:C3)>0")), 1);
  const TRecord cf = WithId(BookRecords(book), xlsrec::kCf).at(0);
  EXPECT_EQ((book_test::TBytes(cf.data.begin() + 12, cf.data.begin() + 21)),
            (book_test::TBytes{0x2D, 0, 0, 1, 0, 0, 0, 1, 0xC0}));
}

// A BIFF8 workbook without conditions writes none.
TEST(FormatConditions, NoneWithoutConditions) {
  TXLSWorkbook book;
  ASSERT_EQ(book.SetFileFormat(xlExcel8), 1);
  XLSPtr<IXLSWorkSheet> sheet = book.GetWorksheets()->Add();
  XLSPtr<IXLSRange> range = sheet->FGetRange("A1", "A1");
  ASSERT_EQ(range->AddFormatCondition(Expression("=TRUE")), 1);
  sheet->FGetRange("B1", "B1")->DeleteFormatConditions();
  EXPECT_EQ(WithId(BookRecords(book), xlsrec::kCondFmt).size(), 1u);
  range->DeleteFormatConditions();
  EXPECT_TRUE(WithId(BookRecords(book), xlsrec::kCondFmt).empty());
}

}  // namespace
}  // namespace tabulon
