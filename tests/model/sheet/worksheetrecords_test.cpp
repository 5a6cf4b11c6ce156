#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "SheetRecords.h"
#include "XLSByteOrder.h"
#include "XLSRange.h"
#include "XLSRecordIds.h"

namespace tabulon {
namespace {

using namespace testing_records;

// Runs the sheet's part of a save; the sections stay for inspection.
void Save(TXLSWorksheet& sheet) {
  sheet.BeginSave();
  ASSERT_EQ(sheet.StoreCells(), 1);
  ASSERT_EQ(sheet.Close(), 1);
}

// (row, column) of every cell record of the data section, in order.
std::vector<std::pair<int, int>> CellPositions(TXLSWorksheet& sheet) {
  std::vector<std::pair<int, int>> cells;
  for (const TBytes& r : DataRecords(sheet)) {
    const uint16_t id = WordAt(r, 0);
    if (id == xlsrec::kBlank || id == xlsrec::kNumber || id == xlsrec::kLabel)
      cells.emplace_back(WordAt(r, 4), WordAt(r, 6));
  }
  return cells;
}

TEST(SheetStreamSequence, EmptySheetOfAOneSheetWorkbook) {
  TBook book;
  TXLSWorksheet& sheet = book.Sheet();
  Save(sheet);
  const auto header = HeaderRecords(sheet);
  EXPECT_EQ(Ids(header),
            (std::vector<uint16_t>{xlsrec::kBof, xlsrec::kStandardWidth, xlsrec::kDefaultRowHeight,
                                   xlsrec::kExternCount, xlsrec::kExternSheet,
                                   xlsrec::kPrintHeaders, xlsrec::kPrintGridLines, xlsrec::kGridSet,
                                   xlsrec::kWsBool, xlsrec::kSetup, xlsrec::kDimensions}));
  const auto data = DataRecords(sheet);
  EXPECT_EQ(Ids(data), (std::vector<uint16_t>{
                           xlsrec::kBottomMargin, xlsrec::kTopMargin, xlsrec::kRightMargin,
                           xlsrec::kLeftMargin, xlsrec::kVCenter, xlsrec::kHCenter, xlsrec::kFooter,
                           xlsrec::kHeader, xlsrec::kWindow2, xlsrec::kSelection, xlsrec::kEof}));
  EXPECT_EQ(header[0], (TBytes{0x09, 0x08, 8, 0, 0x00, 0x05, 0x10, 0, 0x6C, 0x09, 0xC9, 0x07}));
  EXPECT_EQ(header[3], (TBytes{0x16, 0, 2, 0, 1, 0}));
  EXPECT_EQ(header[4], (TBytes{0x17, 0, 2, 0, 1, 0x02}));
  EXPECT_EQ(header[10], (TBytes{0, 0, 10, 0, 0, 0, 0, 0, 0, 0, 0, 1, 0, 0}));
  EXPECT_EQ(data[8], (TBytes{0x3E, 0x02, 10, 0, 0xB6, 0x06, 0, 0, 0, 0, 0, 0, 0, 0}));
  EXPECT_EQ(data[9], (TBytes{0x1D, 0, 15, 0, 3, 0, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0}));
  EXPECT_EQ(data[10], (TBytes{0x0A, 0, 0, 0}));
}

TEST(SheetStreamSequence, StreamSizeIsWhatWriteDataWrites) {
  TBook book;
  TXLSWorksheet& sheet = book.Sheet();
  sheet.GetCellHeap().GetOrCreateValue(0, 0)->SetValue(OleVariant("text"));
  Save(sheet);
  TXLSMemoryStream out;
  ASSERT_EQ(sheet.WriteData(out), 1);
  EXPECT_EQ(static_cast<int32_t>(out.Bytes().size()), sheet.GetStreamSize());
  EXPECT_EQ(out.Bytes()[0], 0x09);  // the header section comes first
}

TEST(SheetStreamWindow, OptionsFollowGridLinesAndSelection) {
  TBook book(2);
  TXLSWorksheet& second = book.Sheet(2);
  second.SetDisplayGridLines(false);
  Save(second);
  const auto window = WithId(DataRecords(second), xlsrec::kWindow2);
  ASSERT_EQ(window.size(), 1u);
  EXPECT_EQ(WordAt(window[0], 4), 0x04B4);
}

TEST(SheetStreamWindow, FrozenPanesSetBitThreeAndThePaneOfSelection) {
  TBook book;
  TXLSWorksheet& sheet = book.Sheet();
  ASSERT_EQ(sheet.FreezePanes(1, 0, 1, 0), 1);
  Save(sheet);
  const auto data = DataRecords(sheet);
  EXPECT_EQ(WordAt(WithId(data, xlsrec::kWindow2)[0], 4), 0x06BE);
  const auto ids = Ids(data);
  const auto pane = std::find(ids.begin(), ids.end(), xlsrec::kPane);
  ASSERT_NE(pane, ids.end());
  EXPECT_EQ(*(pane + 1), xlsrec::kSelection);
  EXPECT_EQ(WithId(data, xlsrec::kSelection)[0][4], 2);
}

TEST(SheetStreamWindow, ZoomAddsSclAfterWindow2) {
  TBook book;
  TXLSWorksheet& sheet = book.Sheet();
  sheet.SetZoom(75);
  Save(sheet);
  const auto data = DataRecords(sheet);
  const auto ids = Ids(data);
  const auto window = std::find(ids.begin(), ids.end(), xlsrec::kWindow2);
  ASSERT_NE(window + 1, ids.end());
  EXPECT_EQ(*(window + 1), xlsrec::kScl);
  EXPECT_EQ(WithId(data, xlsrec::kScl)[0], (TBytes{0xA0, 0, 4, 0, 75, 0, 100, 0}));
}

TEST(SheetStreamExterns, OtherSheetsByNameThisOneByMarker) {
  TBook book(2);
  Save(book.Sheet(2));
  const auto externs = WithId(HeaderRecords(book.Sheet(2)), xlsrec::kExternSheet);
  ASSERT_EQ(externs.size(), 2u);
  EXPECT_EQ(externs[0], Concat(TBytes{0x17, 0, 8, 0, 6, 0x03}, "Sheet1"));
  EXPECT_EQ(externs[1], (TBytes{0x17, 0, 2, 0, 1, 0x02}));
  EXPECT_EQ(WordAt(WithId(HeaderRecords(book.Sheet(2)), xlsrec::kExternCount)[0], 4), 2);
}

TEST(SheetStreamCells, WrittenInRowMajorOrder) {
  TBook book;
  TXLSWorksheet& sheet = book.Sheet();
  sheet.FGetRange("B2", "B2")->SetValue(OleVariant(1));
  sheet.FGetRange("A1", "A1")->SetValue(OleVariant(2));
  sheet.FGetRange("A2", "A2")->SetValue(OleVariant(3));
  Save(sheet);
  EXPECT_EQ(CellPositions(sheet), (std::vector<std::pair<int, int>>{{0, 0}, {1, 0}, {1, 1}}));
}

TEST(SheetStreamCells, RecordTypeFollowsTheValueType) {
  TBook book;
  TXLSWorksheet& sheet = book.Sheet();
  TXLSCellHeap& cells = sheet.GetCellHeap();
  cells.GetOrCreateValue(0, 0)->SetValue(OleVariant::Date(40000.5));
  cells.GetOrCreateValue(0, 1);  // format only
  cells.GetOrCreateValue(0, 2)->SetValue(OleVariant("x"));
  cells.GetOrCreateValue(0, 3)->SetValue(OleVariant(1.5));
  cells.GetOrCreateValue(0, 4)->SetValue(OleVariant(true));
  cells.GetOrCreateValue(0, 5)->SetValue(OleVariant(false));
  sheet.FGetRange("G1", "H1")->Merge(OleVariant(false));
  cells.GetOrCreateValue(0, 6)->SetValue(OleVariant(true));
  Save(sheet);
  const auto data = DataRecords(sheet);
  EXPECT_EQ(Ids(std::vector<TBytes>(data.begin(), data.begin() + 9)),
            (std::vector<uint16_t>{xlsrec::kNumber, xlsrec::kBlank, xlsrec::kLabel, xlsrec::kNumber,
                                   xlsrec::kBoolErr, xlsrec::kBoolErr, xlsrec::kBoolErr,
                                   xlsrec::kBlank, xlsrec::kMergedCells}));
  EXPECT_EQ(XLSGetDoubleLE(&data[0][10]), 40000.5);
  // Length 8: row, column, XF, the value, 0 for a boolean (not an error).
  EXPECT_EQ(data[4], (TBytes{0x05, 0x02, 8, 0, 0, 0, 4, 0, 0, 0, 1, 0}));
  EXPECT_EQ(data[5], (TBytes{0x05, 0x02, 8, 0, 0, 0, 5, 0, 0, 0, 0, 0}));
  EXPECT_EQ(data[6][10], 1);
}

TEST(SheetStreamCells, DimensionsCoverTheWrittenCells) {
  TBook book;
  TXLSWorksheet& sheet = book.Sheet();
  sheet.GetCellHeap().GetOrCreateValue(3, 2)->SetValue(OleVariant("C4"));
  Save(sheet);
  const TBytes dims = WithId(HeaderRecords(sheet), xlsrec::kDimensions)[0];
  EXPECT_EQ(dims, (TBytes{0, 0, 10, 0, 3, 0, 4, 0, 2, 0, 3, 0, 0, 0}));
}

TEST(SheetStreamCells, DimensionsOfTheLastRowWrapTo16Bits) {
  TBook book;
  TXLSWorksheet& sheet = book.Sheet();
  sheet.GetCellHeap().GetOrCreateValue(65535, 255);
  Save(sheet);
  const TBytes dims = WithId(HeaderRecords(sheet), xlsrec::kDimensions)[0];
  EXPECT_EQ(WordAt(dims, 6), 0);
  EXPECT_EQ(WordAt(dims, 10), 256);
}

// Marks (row1..row2, col1..col2) as one merged area the way the range's
// merge does: the master keeps its value, the others are emptied.
void MarkMerged(TXLSCellHeap& cells, int row1, int col1, int row2, int col2) {
  TXLSCellRef* master = cells.GetOrCreateValue(row1, col1);
  for (int r = row1; r <= row2; ++r) {
    for (int c = col1; c <= col2; ++c) {
      TXLSCellRef* cell = cells.GetOrCreateValue(r, c);
      if (cell != master) cell->ClearValue();
      cell->Merged = true;
      cell->MergeMaster = master;
    }
  }
  master->RowSpan = row2 - row1 + 1;
  master->ColSpan = static_cast<uint16_t>(col2 - col1 + 1);
}

TEST(SheetStreamMerged, AreaIsWrittenByItsMaster) {
  TBook book;
  TXLSWorksheet& sheet = book.Sheet();
  TXLSCellHeap& cells = sheet.GetCellHeap();
  cells.GetOrCreateValue(0, 0)->SetValue(OleVariant("title"));
  cells.GetOrCreateValue(1, 1)->SetValue(OleVariant("lost"));
  MarkMerged(cells, 0, 0, 1, 1);
  Save(sheet);
  const auto data = DataRecords(sheet);
  EXPECT_EQ(Ids(std::vector<TBytes>(data.begin(), data.begin() + 5)),
            (std::vector<uint16_t>{xlsrec::kLabel, xlsrec::kBlank, xlsrec::kBlank, xlsrec::kBlank,
                                   xlsrec::kMergedCells}));
  EXPECT_EQ(CellPositions(sheet),
            (std::vector<std::pair<int, int>>{{0, 0}, {0, 1}, {1, 0}, {1, 1}}));
  EXPECT_EQ(data[4], (TBytes{0xE5, 0, 10, 0, 1, 0, 0, 0, 1, 0, 0, 0, 1, 0}));
}

TEST(SheetStreamMerged, SingleCellMasterIsAPlainCell) {
  TBook book;
  TXLSWorksheet& sheet = book.Sheet();
  MarkMerged(sheet.GetCellHeap(), 2, 2, 2, 2);
  Save(sheet);
  EXPECT_TRUE(WithId(DataRecords(sheet), xlsrec::kMergedCells).empty());
  EXPECT_EQ(CellPositions(sheet).size(), 1u);
}

TEST(SheetStreamMerged, AreaPastTheLastColumnIsCutAtTheEdge) {
  TBook book;
  TXLSWorksheet& sheet = book.Sheet();
  TXLSCellRef* master = sheet.GetCellHeap().GetOrCreateValue(0, 254);
  master->Merged = true;
  master->MergeMaster = master;
  master->RowSpan = 1;
  master->ColSpan = 5;
  Save(sheet);
  const auto merged = WithId(DataRecords(sheet), xlsrec::kMergedCells);
  ASSERT_EQ(merged.size(), 1u);
  EXPECT_EQ(WordAt(merged[0], 12), 255);
}

TEST(SheetStreamAppend, LongRecordIsSplitAndCounted) {
  TBook book;
  TXLSWorksheet& sheet = book.Sheet();
  sheet.BeginSave();
  TXLSBlob record = MakeRecord(xlsrec::kImData, 3000);
  for (int i = 0; i < 3000; ++i) record.AddByte(static_cast<uint8_t>(i));
  ASSERT_EQ(sheet.AppendData(std::move(record)), 1);
  EXPECT_EQ(sheet.GetStreamSize(), 3008);
  const auto records = DataRecords(sheet);
  ASSERT_EQ(records.size(), 2u);
  EXPECT_EQ(WordAt(records[0], 2), 2076);
  EXPECT_EQ(WordAt(records[1], 0), xlsrec::kContinue);
  EXPECT_EQ(WordAt(records[1], 2), 924);
}

TEST(SheetStreamSave, DimensionsKeepTheUnionOfEverySave) {
  TBook book;
  TXLSWorksheet& sheet = book.Sheet();
  sheet.BeginSave();
  sheet.WriteNumber(9, 9, 1.0);
  sheet.EndSave();
  sheet.GetCellHeap().GetOrCreateValue(0, 0);
  Save(sheet);
  const TBytes dims = WithId(HeaderRecords(sheet), xlsrec::kDimensions)[0];
  EXPECT_EQ(dims, (TBytes{0, 0, 10, 0, 0, 0, 10, 0, 0, 0, 10, 0, 0, 0}));
}

TEST(SheetStreamSave, SelectionRecordFollowsTheSelectedRange) {
  TBook book;
  TXLSWorksheet& sheet = book.Sheet();
  sheet.FGetRange("C5", "B2")->Select();
  Save(sheet);
  const TBytes selection = WithId(DataRecords(sheet), xlsrec::kSelection)[0];
  EXPECT_EQ(selection, (TBytes{0x1D, 0, 15, 0, 3, 1, 0, 1, 0, 0, 0, 1, 0, 1, 0, 4, 0, 1, 2}));
}

}  // namespace
}  // namespace tabulon
