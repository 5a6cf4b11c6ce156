#include <gtest/gtest.h>

#include "RecordBytes.h"
#include "XLSByteOrder.h"
#include "XLSPageSetup.h"
#include "XLSRange.h"
#include "XLSRecordIds.h"
#include "XLSWorkSheets.h"
#include "XLSWorkbook.h"
#include "XLSWorksheet.h"

namespace tabulon {
namespace {

using testing_records::Records;
using testing_records::TBytes;
using testing_records::WordAt;

double DoubleAt(const TBytes& record, size_t pos) {
  return XLSGetDoubleLE(&record[pos]);
}

TBytes WordRecord(uint16_t id, uint16_t value) {
  TBytes record;
  for (uint16_t word : {id, uint16_t{2}, value}) XLSAppendLE(record, word);
  return record;
}

class PageSetupTest : public ::testing::Test {
 protected:
  std::vector<TBytes> HeaderRecords() {
    TXLSRecordSection section;
    EXPECT_EQ(setup.StoreHeaderRecords(section), 1);
    return Records(section.List());
  }
  TBytes SetupRecord() {
    TXLSRecordSection section;
    EXPECT_EQ(setup.StoreSetup(section), 1);
    const auto records = Records(section.List());
    EXPECT_EQ(records.size(), 1u);
    return records.at(0);
  }
  std::vector<TBytes> MarginRecords() {
    TXLSRecordSection section;
    EXPECT_EQ(setup.StoreMargins(section), 1);
    return Records(section.List());
  }

  TXLSWorkbook book;
  TXLSWorksheet& sheet{*book.GetSheets().AddSheet(1)};
  TXLSPageSetup setup{sheet};
};

TEST_F(PageSetupTest, NewSheetRecords) {
  const auto head = HeaderRecords();
  ASSERT_EQ(head.size(), 4u);
  EXPECT_EQ(head[0], WordRecord(xlsrec::kPrintHeaders, 0));
  EXPECT_EQ(head[1], WordRecord(xlsrec::kPrintGridLines, 1));
  EXPECT_EQ(head[2], WordRecord(xlsrec::kGridSet, 0));
  EXPECT_EQ(head[3], WordRecord(xlsrec::kWsBool, 0x04C1));

  const TBytes s = SetupRecord();
  ASSERT_EQ(s.size(), 38u);
  EXPECT_EQ(WordAt(s, 0), xlsrec::kSetup);
  EXPECT_EQ(WordAt(s, 2), 34);
  const uint16_t words[] = {0, 100, 1, 0, 0, 2, 600, 600};
  for (size_t i = 0; i < 8; ++i) EXPECT_EQ(WordAt(s, 4 + 2 * i), words[i]) << i;
  EXPECT_EQ(DoubleAt(s, 20), 0.5);
  EXPECT_EQ(DoubleAt(s, 28), 0.5);
  EXPECT_EQ(WordAt(s, 36), 1);

  const auto data = MarginRecords();
  ASSERT_EQ(data.size(), 8u);
  const uint16_t marginIds[] = {xlsrec::kBottomMargin, xlsrec::kTopMargin, xlsrec::kRightMargin,
                                xlsrec::kLeftMargin};
  const double margins[] = {1.0, 1.0, 0.75, 0.75};
  for (size_t i = 0; i < 4; ++i) {
    EXPECT_EQ(WordAt(data[i], 0), marginIds[i]);
    EXPECT_EQ(WordAt(data[i], 2), 8);
    EXPECT_EQ(DoubleAt(data[i], 4), margins[i]);
  }
  EXPECT_EQ(data[4], WordRecord(xlsrec::kVCenter, 0));
  EXPECT_EQ(data[5], WordRecord(xlsrec::kHCenter, 0));
  EXPECT_EQ(data[6], (TBytes{0x15, 0x00, 0x01, 0x00, 0x00}));
  EXPECT_EQ(data[7], (TBytes{0x14, 0x00, 0x01, 0x00, 0x00}));
}

TEST_F(PageSetupTest, FitToPagesWideTurnsOnFitting) {
  setup.SetFitToPagesWide(OleVariant::Integer(1));
  EXPECT_EQ(HeaderRecords()[3], WordRecord(xlsrec::kWsBool, 0x05C1));
  EXPECT_EQ(WordAt(SetupRecord(), 10), 1);
  EXPECT_EQ(setup.GetFitToPagesWide(), OleVariant::Integer(1));
}

TEST_F(PageSetupTest, FitToPagesTakesOnlySmallAndLongIntegersAndFalse) {
  setup.SetFitToPagesTall(OleVariant::Smallint(3));
  EXPECT_EQ(setup.GetFitToPagesTall(), OleVariant::Integer(3));
  setup.SetFitToPagesTall(OleVariant::Boolean(true));
  setup.SetFitToPagesTall(OleVariant::Double(5));
  setup.SetFitToPagesTall(OleVariant::Byte(5));
  EXPECT_EQ(setup.GetFitToPagesTall(), OleVariant::Integer(3));
  // Counts the 16-bit field cannot hold are refused rather than wrapped.
  setup.SetFitToPagesTall(OleVariant::Integer(70000));
  setup.SetFitToPagesTall(OleVariant::Integer(-1));
  EXPECT_EQ(WordAt(SetupRecord(), 12), 3);
  setup.SetFitToPagesTall(OleVariant::Boolean(false));
  EXPECT_EQ(setup.GetFitToPagesTall().VarType(), varBoolean);
  EXPECT_FALSE(setup.GetFitToPagesTall().ToBool());
}

TEST_F(PageSetupTest, ZoomRangeAndZoomOff) {
  setup.SetZoom(OleVariant::Integer(9));
  setup.SetZoom(OleVariant::Integer(401));
  setup.SetZoom(OleVariant::Boolean(true));
  EXPECT_EQ(setup.GetZoom(), OleVariant::Integer(100));
  setup.SetZoom(OleVariant::Word(400));
  EXPECT_EQ(WordAt(SetupRecord(), 6), 400);
  setup.SetZoom(OleVariant::Boolean(false));
  EXPECT_EQ(WordAt(SetupRecord(), 6), 0);
  EXPECT_EQ(setup.GetZoom().VarType(), varBoolean);
}

TEST_F(PageSetupTest, UserDefinedPaperIsStoredAsZero) {
  setup.SetPaperSize(9);
  EXPECT_EQ(WordAt(SetupRecord(), 4), 9);
  setup.SetPaperSize(256);
  EXPECT_EQ(setup.GetPaperSize(), 256);
  EXPECT_EQ(WordAt(SetupRecord(), 4), 0);
  setup.SetPaperSize(0x10009);  // would wrap to 9 in the field
  setup.SetPaperSize(-2);
  EXPECT_EQ(setup.GetPaperSize(), 256);
}

TEST_F(PageSetupTest, OrientationOtherThanOneOrTwoIsIgnored) {
  setup.SetOrientation(2);
  EXPECT_EQ(WordAt(SetupRecord(), 14), 0);
  setup.SetOrientation(3);
  EXPECT_EQ(setup.GetOrientation(), 2);
  setup.SetOrientation(1);
  EXPECT_EQ(WordAt(SetupRecord(), 14), 2);
}

TEST_F(PageSetupTest, PrintFlagsAndCentring) {
  setup.SetPrintGridlines(false);
  setup.SetPrintHeadings(true);
  setup.SetCenterHorizontally(true);
  const auto head = HeaderRecords();
  EXPECT_EQ(head[0], WordRecord(xlsrec::kPrintHeaders, 1));
  EXPECT_EQ(head[1], WordRecord(xlsrec::kPrintGridLines, 0));
  EXPECT_EQ(head[2], WordRecord(xlsrec::kGridSet, 1));
  const auto data = MarginRecords();
  EXPECT_EQ(data[4], WordRecord(xlsrec::kVCenter, 0));
  EXPECT_EQ(data[5], WordRecord(xlsrec::kHCenter, 1));
}

TEST_F(PageSetupTest, MarginsAreWrittenAsStored) {
  setup.SetBottomMargin(0.1);
  setup.SetTopMargin(0.2);
  setup.SetRightMargin(0.3);
  setup.SetLeftMargin(0.4);
  setup.SetHeaderMargin(0.6);
  setup.SetFooterMargin(0.7);
  const auto data = MarginRecords();
  EXPECT_EQ(DoubleAt(data[0], 4), 0.1);
  EXPECT_EQ(DoubleAt(data[1], 4), 0.2);
  EXPECT_EQ(DoubleAt(data[2], 4), 0.3);
  EXPECT_EQ(DoubleAt(data[3], 4), 0.4);
  const TBytes s = SetupRecord();
  EXPECT_EQ(DoubleAt(s, 20), 0.6);
  EXPECT_EQ(DoubleAt(s, 28), 0.7);
}

TEST_F(PageSetupTest, HeaderLeavesOutEmptyParts) {
  setup.SetLeftHeader("a");
  setup.SetRightHeader("b");
  setup.SetCenterFooter("p");
  const auto data = MarginRecords();
  EXPECT_EQ(data[7], testing_records::Concat({0x14, 0x00, 0x07, 0x00, 6}, "&La&Rb"));
  EXPECT_EQ(data[6], testing_records::Concat({0x15, 0x00, 0x04, 0x00, 3}, "&Cp"));
}

TEST_F(PageSetupTest, LongHeaderIsCutToWhatTheLengthByteCounts) {
  setup.SetCenterHeader(std::string(300, 'x'));
  const auto data = MarginRecords();
  ASSERT_EQ(data.size(), 8u);
  EXPECT_EQ(WordAt(data[7], 2), 256);
  EXPECT_EQ(data[7][4], 255);
  EXPECT_EQ(setup.GetCenterHeader().size(), 300u);
}

TEST_F(PageSetupTest, PrintAreaRules) {
  EXPECT_FALSE(setup.HasPrintArea());
  setup.SetPrintArea(1, 0, 4, 2);
  EXPECT_EQ(setup.FGetPrintArea(), "A2:C5");
  EXPECT_TRUE(setup.HasPrintArea());
  EXPECT_EQ(setup.GetPrintAreaFirstRow(), 1);
  EXPECT_EQ(setup.GetPrintAreaLastRow(), 4);
  EXPECT_EQ(setup.GetPrintAreaFirstCol(), 0);
  EXPECT_EQ(setup.GetPrintAreaLastCol(), 2);

  setup.SetPrintArea(5, 0, 2, 3);    // rows reversed
  setup.SetPrintArea(0, 3, 2, 1);    // columns reversed
  setup.SetPrintArea(0, 0, 2, 256);  // beyond the last column
  setup.FSetPrintArea("nonsense");
  EXPECT_EQ(setup.FGetPrintArea(), "A2:C5");
  EXPECT_EQ(setup.GetPrintAreaFirstRow(), 1);

  setup.FSetPrintArea("b3:d10");
  EXPECT_EQ(setup.FGetPrintArea(), "B3:D10");
  EXPECT_EQ(setup.GetPrintAreaLastRow(), 9);

  setup.FSetPrintArea("");
  EXPECT_FALSE(setup.HasPrintArea());
  EXPECT_EQ(setup.GetPrintAreaLastCol(), -1);
  EXPECT_EQ(setup.FGetPrintArea(), "");
}

TEST_F(PageSetupTest, PrintTitlesRoundTrip) {
  EXPECT_EQ(setup.GetPrintTitleRows(), "");
  EXPECT_FALSE(setup.HasPrintTitleRows());
  setup.SetPrintTitleRows(" $5 : 2 ");
  EXPECT_EQ(setup.GetPrintTitleRows(), "$2:$5");
  EXPECT_TRUE(setup.HasPrintTitleRows());
  EXPECT_EQ(setup.GetPrintTitleFirstRow(), 2);
  EXPECT_EQ(setup.GetPrintTitleLastRow(), 5);
  setup.SetPrintTitleRows("abc:3");
  EXPECT_EQ(setup.GetPrintTitleRows(), "$2:$5");

  setup.SetPrintTitleColumns("$C:$A");
  EXPECT_EQ(setup.GetPrintTitleColumns(), "$A:$C");
  EXPECT_EQ(setup.GetPrintTitleFirstCol(), 1);
  EXPECT_EQ(setup.GetPrintTitleLastCol(), 3);
  setup.SetPrintTitleColumns(":B");
  EXPECT_EQ(setup.GetPrintTitleColumns(), "$A:$C");

  // Empty text removes the titles.
  setup.SetPrintTitleRows("");
  setup.SetPrintTitleColumns("");
  EXPECT_EQ(setup.GetPrintTitleRows(), "");
  EXPECT_FALSE(setup.HasPrintTitleRows());
  EXPECT_EQ(setup.GetPrintTitleColumns(), "");
  EXPECT_FALSE(setup.HasPrintTitleColumns());
}

TEST_F(PageSetupTest, OwnedByItsSheet) {
  EXPECT_EQ(setup._AddRef(), -1);
  EXPECT_EQ(setup._Release(), -1);
  EXPECT_EQ(&setup.GetWorksheet(), &sheet);
}

// ---------------------------------------------------------------------------

class PageBreaksTest : public ::testing::Test {
 protected:
  XLSPtr<IXLSRange> Cell(const std::string& text) { return sheet.GetRange(text, text); }

  std::vector<int32_t> Positions(const TXLSPageBreaks& breaks) {
    std::vector<int32_t> positions;
    for (int32_t i = 1; i <= breaks.GetCount(); ++i) {
      EXPECT_EQ(breaks.Get(i)->GetIndex(), i);
      positions.push_back(breaks.Get(i)->GetPosition());
    }
    return positions;
  }

  TXLSWorkbook book;
  TXLSWorksheet& sheet{*book.GetSheets().AddSheet(1)};
  TXLSHPageBreaks rows{sheet};
  TXLSVPageBreaks cols{sheet};
};

TEST_F(PageBreaksTest, BreaksAreOrderedAndDuplicatesReturned) {
  rows.Add(Cell("A11").get());
  TXLSPageBreak* five = rows.Add(Cell("C6").get());
  rows.Add(Cell("A8").get());
  EXPECT_EQ(rows.Add(Cell("B6").get()), five);
  EXPECT_EQ(Positions(rows), (std::vector<int32_t>{5, 7, 10}));
  EXPECT_EQ(rows.Add(nullptr), nullptr);

  TXLSRecordSection section;
  ASSERT_EQ(rows.Store(section), 1);
  const auto records = Records(section.List());
  ASSERT_EQ(records.size(), 1u);
  EXPECT_EQ(records[0], (TBytes{0x1B, 0x00, 0x08, 0x00, 3, 0, 5, 0, 7, 0, 10, 0}));
}

TEST_F(PageBreaksTest, DeleteRenumbersTheLaterBreaks) {
  for (const char* cell : {"A11", "A6", "A8"}) rows.Add(Cell(cell).get());
  rows.Delete(0);
  rows.Delete(4);
  EXPECT_EQ(rows.GetCount(), 3);
  rows.Get(1)->Delete();
  EXPECT_EQ(Positions(rows), (std::vector<int32_t>{7, 10}));
  EXPECT_EQ(rows.GetPageBreak(3), nullptr);
  rows.ClearAll();
  EXPECT_EQ(rows.GetCount(), 0);
}

TEST_F(PageBreaksTest, NoBreaksWriteNothing) {
  TXLSRecordSection section;
  EXPECT_EQ(cols.Store(section), 1);
  EXPECT_EQ(section.Size(), 0);
}

TEST_F(PageBreaksTest, VerticalBreaksUseColumnsAndTheirRecord) {
  cols.Add(Cell("E2").get());
  cols.Add(Cell("D9").get());
  EXPECT_EQ(Positions(cols), (std::vector<int32_t>{3, 4}));
  TXLSRecordSection section;
  ASSERT_EQ(cols.Store(section), 1);
  EXPECT_EQ(Records(section.List())[0], (TBytes{0x1A, 0x00, 0x06, 0x00, 2, 0, 3, 0, 4, 0}));
}

TEST_F(PageBreaksTest, LocationCoversTheWholeColumnOrRow) {
  cols.Add(Cell("D1").get());
  const XLSPtr<IXLSRange> column = cols.Get(1)->GetLocation();
  ASSERT_TRUE(column);
  const auto* range = static_cast<TXLSRange*>(column.get());
  EXPECT_EQ(range->GetFirstCellText(), "D1");
  EXPECT_EQ(range->GetLastCellText(), "D65536");
  EXPECT_EQ(range->RangeType, xlRangeColumns);

  rows.Add(Cell("B7").get());
  const XLSPtr<IXLSRange> row = rows.GetLocation(1);
  ASSERT_TRUE(row);
  EXPECT_EQ(row->GetFirstRow(), 6);
  EXPECT_EQ(row->GetLastRow(), 6);
  EXPECT_EQ(row->GetFirstCol(), 0);
  EXPECT_EQ(row->GetLastCol(), 255);
  EXPECT_EQ(static_cast<TXLSRange*>(row.get())->RangeType, xlRangeRows);

  EXPECT_FALSE(rows.GetLocation(2));
}

TEST_F(PageBreaksTest, HorizontalBreaksStopAtWhatOneRecordHolds) {
  for (int32_t row = 0; row < TXLSPageBreaks::kMaxBreaks; ++row) rows.AddPageBreak(row);
  EXPECT_EQ(rows.AddPageBreak(65000), nullptr);
  EXPECT_NE(rows.AddPageBreak(5), nullptr);  // an existing break is still found
  TXLSRecordSection section;
  ASSERT_EQ(rows.Store(section), 1);
  EXPECT_EQ(WordAt(testing_records::ListBytes(section.List()), 4), TXLSPageBreaks::kMaxBreaks);
}

}  // namespace
}  // namespace tabulon
