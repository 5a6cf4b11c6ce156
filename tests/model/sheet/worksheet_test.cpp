#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "SheetRecords.h"
#include "XLSByteOrder.h"
#include "XLSPageSetup.h"
#include "XLSPanes.h"
#include "XLSProtect.h"
#include "XLSRange.h"
#include "XLSRecordIds.h"

namespace tabulon {
namespace {

using namespace testing_records;

class WriterTest : public ::testing::Test {
 protected:
  void SetUp() override { sheet.BeginSave(); }
  std::vector<TBytes> Data() { return DataRecords(sheet); }
  std::string LabelText(const TBytes& label) {
    return std::string(label.begin() + 12, label.begin() + 12 + WordAt(label, 10));
  }

  TBook book;
  TXLSWorksheet& sheet = book.Sheet();
};

TEST_F(WriterTest, CellOutsideTheSheetIsRefusedWithoutRecord) {
  EXPECT_EQ(sheet.Write(0, 256, 0), -2);
  EXPECT_EQ(sheet.WriteNumber(0, 300, 1.0), -2);
  EXPECT_EQ(sheet.WriteString(5, 256, "x"), -2);
  EXPECT_EQ(sheet.DataSection()->Size(), 0);
  EXPECT_EQ(sheet.Write(65535, 255, 0), 1);
  const auto records = Data();
  ASSERT_EQ(records.size(), 1u);
  EXPECT_EQ(WordAt(records[0], 0), xlsrec::kBlank);
  EXPECT_EQ(WordAt(records[0], 4), 65535);
  EXPECT_EQ(WordAt(records[0], 6), 255);
}

TEST_F(WriterTest, NumberRecordCarriesTheDoubleBytes) {
  ASSERT_EQ(sheet.WriteDateTime(2, 1, 45000.25), 1);
  const auto records = Data();
  ASSERT_EQ(records.size(), 1u);
  ASSERT_EQ(records[0].size(), 18u);
  EXPECT_EQ(WordAt(records[0], 0), xlsrec::kNumber);
  EXPECT_EQ(XLSGetDoubleLE(&records[0][10]), 45000.25);
}

TEST_F(WriterTest, LongTextIsCutTo255Bytes) {
  ASSERT_EQ(sheet.WriteString(0, 0, std::string(300, 'q')), 1);
  const auto records = Data();
  ASSERT_EQ(records.size(), 1u);
  EXPECT_EQ(WordAt(records[0], 2), 8 + 255);
  EXPECT_EQ(LabelText(records[0]), std::string(255, 'q'));
}

TEST_F(WriterTest, LineBreaksBecomeSingleCarriageReturns) {
  sheet.WriteString(0, 0, "a\r\nb");
  sheet.WriteString(0, 1, "a\nb");
  sheet.WriteString(0, 2, "a\rb");
  const auto records = Data();
  ASSERT_EQ(records.size(), 3u);
  for (const TBytes& label : records) EXPECT_EQ(LabelText(label), "a\rb");
}

TEST_F(WriterTest, MergeWriteNormalisesCornersAndWritesRowMajor) {
  ASSERT_EQ(sheet.MergeWrite(3, 2, 1, 0, 0), 1);
  const auto records = Data();
  ASSERT_EQ(records.size(), 10u);
  int index = 0;
  for (uint16_t row = 1; row <= 3; ++row) {
    for (uint16_t col = 0; col <= 2; ++col, ++index) {
      EXPECT_EQ(WordAt(records[index], 0), xlsrec::kBlank);
      EXPECT_EQ(WordAt(records[index], 4), row);
      EXPECT_EQ(WordAt(records[index], 6), col);
    }
  }
  const TBytes& merged = records[9];
  EXPECT_EQ(WordAt(merged, 0), xlsrec::kMergedCells);
  EXPECT_EQ(WordAt(merged, 4), 1);
  EXPECT_EQ(WordAt(merged, 6), 1);
  EXPECT_EQ(WordAt(merged, 8), 3);
  EXPECT_EQ(WordAt(merged, 10), 0);
  EXPECT_EQ(WordAt(merged, 12), 2);
}

TEST_F(WriterTest, SingleCellAreaIsRefused) {
  EXPECT_EQ(sheet.MergeWriteString(0, 0, 0, 0, "x", 0), -1);
  EXPECT_EQ(sheet.MergeWriteNumber(4, 4, 4, 4, 1.0, 0), -1);
  EXPECT_EQ(sheet.MergeCells(2, 2, 2, 2), -1);
  EXPECT_EQ(sheet.DataSection()->Size(), 0);
}

TEST_F(WriterTest, MergeWriteStringPutsTheTextInTheTopLeftCell) {
  ASSERT_EQ(sheet.MergeWriteString(0, 0, 0, 1, "head", 0), 1);
  EXPECT_EQ(Ids(Data()),
            (std::vector<uint16_t>{xlsrec::kLabel, xlsrec::kBlank, xlsrec::kMergedCells}));
}

TEST_F(WriterTest, MergeBlanksKeepTheFormatOfStoredCells) {
  TXLSXFList& xfs = book.book.GetXFList();
  const int32_t bold = xfs.SetFontBold(0, OleVariant(true), false);
  xfs.CreateReferredList();
  sheet.GetCellHeap().GetOrCreateValue(0, 1)->XFIndex = TXLSXFList::kDefaultXF;
  ASSERT_EQ(sheet.MergeWrite(0, 0, 0, 2, bold), 1);
  const auto records = Data();
  const uint16_t boldNumber = static_cast<uint16_t>(xfs.GetSaveIndex(bold) - 1);
  EXPECT_GT(boldNumber, 15);
  EXPECT_EQ(WordAt(records[0], 8), boldNumber);
  EXPECT_EQ(WordAt(records[1], 8), 15);  // the stored cell's own format
  EXPECT_EQ(WordAt(records[2], 8), boldNumber);
}

TEST_F(WriterTest, MergeStopsAtTheSheetEdge) {
  EXPECT_EQ(sheet.MergeWrite(0, 254, 0, 256, 0), -2);
  EXPECT_EQ(Ids(Data()), (std::vector<uint16_t>{xlsrec::kBlank, xlsrec::kBlank}));
}

TEST_F(WriterTest, AddressFormsParseTheText) {
  EXPECT_EQ(sheet.WriteNumber("B3", 2.5), 1);
  EXPECT_EQ(sheet.WriteString("not a cell", "x"), -1);
  EXPECT_EQ(sheet.MergeWriteString("A1:B1", "x", 0), 1);
  EXPECT_EQ(sheet.MergeWrite("garbage", 0), -1);
  const auto records = Data();
  ASSERT_EQ(records.size(), 4u);
  EXPECT_EQ(WordAt(records[0], 4), 2);
  EXPECT_EQ(WordAt(records[0], 6), 1);
}

TEST(WriterOutsideSave, RefusesAndLeavesTheBoundsAlone) {
  TBook book;
  TXLSWorksheet& sheet = book.Sheet();
  EXPECT_EQ(sheet.Write(7, 7, 0), -1);
  EXPECT_EQ(sheet.WriteString(7, 7, "x"), -1);
  EXPECT_EQ(sheet.MergeWrite(1, 1, 2, 2, 0), -1);
  EXPECT_EQ(sheet.MergeCells(1, 1, 2, 2), -1);
  EXPECT_EQ(sheet.AppendData(MakeRecord(xlsrec::kBlank, 0)), -1);
  sheet.BeginSave();
  ASSERT_EQ(sheet.Close(), 1);
  const auto dims = WithId(HeaderRecords(sheet), xlsrec::kDimensions);
  ASSERT_EQ(dims.size(), 1u);
  EXPECT_EQ(WordAt(dims[0], 10), 0x0100);
  sheet.EndSave();
  EXPECT_EQ(sheet.HeaderSection(), nullptr);
  EXPECT_EQ(sheet.GetStreamSize(), 0);
}

TEST(WorksheetZoom, AcceptsTenToFourHundred) {
  TBook book;
  TXLSWorksheet& sheet = book.Sheet();
  EXPECT_EQ(sheet.SetZoom(10), 1);
  EXPECT_EQ(sheet.SetZoom(400), 1);
  EXPECT_EQ(sheet.SetZoom(9), -1);
  EXPECT_EQ(sheet.SetZoom(401), -1);
  EXPECT_EQ(sheet.GetZoom(), 400);
}

TEST(WorksheetOperations, FixedAnswers) {
  TBook book;
  TXLSWorksheet& sheet = book.Sheet();
  EXPECT_EQ(sheet.RepeatRows(1, 2), -1);
  EXPECT_EQ(sheet.RepeatColumns(1, 2), -1);
  EXPECT_EQ(sheet._AddRef(), -1);
  EXPECT_EQ(sheet._Release(), -1);
}

TEST(WorksheetParts, ProtectionAndPageSetupAreTheSheetsOwn) {
  TBook book;
  TXLSWorksheet& sheet = book.Sheet();
  sheet.Protect("pw");
  sheet.UnProtect("wrong");
  EXPECT_TRUE(sheet.GetProtect().IsProtected());
  sheet.UnProtect("pw", 0);
  EXPECT_FALSE(sheet.GetProtect().IsProtected());
  EXPECT_EQ(sheet.GetPageSetup().get(), static_cast<IXLSPageSetup*>(&sheet.GetPageSetupObject()));
  EXPECT_EQ(sheet.GetPanes(), nullptr);
  sheet.ThawPanes(0, 0, 0, 0);
  ASSERT_NE(sheet.GetPanes(), nullptr);
  EXPECT_FALSE(sheet.IsFrozen());
}

TEST(WorksheetDelete, TheCollectionDropsTheSheet) {
  TBook book(3);
  book.Sheet(2).Delete();
  EXPECT_EQ(book.book.GetSheets().GetCount(), 2);
  EXPECT_EQ(book.Sheet(2).GetName(), "Sheet3");
  EXPECT_EQ(book.Sheet(2).GetIndex(), 2);
}

class MoveTest : public ::testing::Test {
 protected:
  std::string Order() {
    std::string names;
    for (int i = 1; i <= 5; ++i) {
      EXPECT_EQ(book.Sheet(i).GetIndex(), i);
      names += book.Sheet(i).GetName().substr(5) + " ";
    }
    return names;
  }
  TBook book{5};
};

TEST_F(MoveTest, AfterItselfKeepsTheOrder) {
  book.Sheet(3).Move(nullptr, &book.Sheet(3));
  EXPECT_EQ(Order(), "1 2 3 4 5 ");
}

TEST_F(MoveTest, BeforeALaterSheetLandsJustInFrontOfIt) {
  book.Sheet(3).Move(&book.Sheet(5));
  EXPECT_EQ(Order(), "1 2 4 3 5 ");
}

TEST_F(MoveTest, AfterAnEarlierSheetLandsJustBehindIt) {
  book.Sheet(3).Move(nullptr, &book.Sheet(1), 0);
  EXPECT_EQ(Order(), "1 3 2 4 5 ");
}

TEST_F(MoveTest, AfterALaterSheetTakesItsPlace) {
  book.Sheet(2).Move(nullptr, &book.Sheet(4));
  EXPECT_EQ(Order(), "1 3 4 2 5 ");
}

TEST_F(MoveTest, SheetOfAnotherWorkbookIsIgnored) {
  TBook other(5);
  book.Sheet(2).Move(&other.Sheet(5));
  EXPECT_EQ(Order(), "1 2 3 4 5 ");
}

TEST(WorksheetSelection, SelectWithoutReplaceKeepsActiveAndAddsToSelection) {
  TBook book(2);
  TXLSWorkSheets& sheets = book.book.GetSheets();
  ASSERT_EQ(sheets.GetActiveSheet(), &book.Sheet(1));
  book.Sheet(2).Select(false);
  EXPECT_EQ(sheets.GetActiveSheet(), &book.Sheet(1));
  EXPECT_TRUE(book.Sheet(1).IsSelected());
  EXPECT_TRUE(book.Sheet(2).IsSelected());
  book.Sheet(2).Activate();
  EXPECT_EQ(sheets.GetActiveSheet(), &book.Sheet(2));
  EXPECT_TRUE(book.Sheet(1).IsSelected());
}

TEST(WorksheetSelection, SelectAndActivateOfUnselectedSheetReplace) {
  TBook book(3);
  book.Sheet(2).Select();
  EXPECT_FALSE(book.Sheet(1).IsSelected());
  EXPECT_EQ(book.book.GetSheets().GetActiveSheet(), &book.Sheet(2));
  book.Sheet(3).Activate();
  EXPECT_FALSE(book.Sheet(2).IsSelected());
  EXPECT_TRUE(book.Sheet(3).IsSelected());
}

TEST(WorksheetNeighbours, EndsHaveNone) {
  TBook book(2);
  EXPECT_FALSE(book.Sheet(2).GetNextWorkSheet());
  EXPECT_FALSE(book.Sheet(1).GetPreviousWorkSheet());
  EXPECT_EQ(book.Sheet(1).GetNextWorkSheet().get(), static_cast<IXLSWorkSheet*>(&book.Sheet(2)));
}

TEST(WorksheetNames, RefusedNameKeepsTheOldOne) {
  TBook book(2);
  book.Sheet(2).SetWorkSheetName("Sheet1");
  EXPECT_EQ(book.Sheet(2).GetWorkSheetName(), "Sheet2");
  book.Sheet(2).SetWorkSheetName("a/b");
  EXPECT_EQ(book.Sheet(2).GetWorkSheetName(), "Sheet2");
  book.Sheet(2).SetWorkSheetName("Data");
  EXPECT_EQ(book.Sheet(2).GetWorkSheetName(), "Data");
}

TEST(WorksheetFirstSheet, SetsTheZeroBasedFirstTab) {
  TBook book(3);
  EXPECT_EQ(book.Sheet(3).SetFirstSheet(), 1);
  EXPECT_EQ(book.book.GetFirstTab(), 2);
}

TEST(WorksheetUsedRange, CoversStoredCellsOrIsA1) {
  TBook book;
  TXLSWorksheet& sheet = book.Sheet();
  XLSPtr<IXLSRange> empty = sheet.GetUsedRange();
  EXPECT_EQ(empty->GetFirstRow(), 0);
  EXPECT_EQ(empty->GetLastCol(), 0);
  sheet.GetCellHeap().GetOrCreateValue(4, 2)->XFIndex = 20;  // format only
  sheet.GetCellHeap().GetOrCreateValue(1, 5);
  XLSPtr<IXLSRange> used = sheet.GetUsedRange();
  EXPECT_EQ(used->GetFirstRow(), 1);
  EXPECT_EQ(used->GetLastRow(), 4);
  EXPECT_EQ(used->GetFirstCol(), 2);
  EXPECT_EQ(used->GetLastCol(), 5);
}

TEST(WorksheetRanges, OwnRangesSurviveTheirReleases) {
  TBook book;
  TXLSWorksheet& sheet = book.Sheet();
  { XLSPtr<IXLSRange> cells = sheet.GetCells(); }
  XLSPtr<IXLSRange> cells = sheet.GetCells();
  EXPECT_EQ(cells->GetLastRow(), 65535);
  EXPECT_EQ(cells->GetLastCol(), 255);
}

TEST(WorksheetRanges, HeldSelectionStaysValidAfterANewSelect) {
  TBook book;
  TXLSWorksheet& sheet = book.Sheet();
  XLSPtr<IXLSRange> old = sheet.GetSelection();
  sheet.FGetRange("B2", "C3")->Select();
  sheet.FGetRange("D4", "D4")->Select();
  EXPECT_EQ(old->GetFirstRow(), 0);  // still readable; released below
  old.reset();
  XLSPtr<IXLSRange> now = sheet.GetSelection();
  EXPECT_EQ(now->GetFirstRow(), 3);
  EXPECT_EQ(now->GetFirstCol(), 3);
}

}  // namespace
}  // namespace tabulon
