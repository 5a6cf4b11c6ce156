#include <gtest/gtest.h>

#include "OleVariant.h"
#include "RecordBytes.h"
#include "XLSCellRef.h"
#include "XLSColRowInfo.h"

namespace tabulon {
namespace {

using testing_records::Records;
using testing_records::TBytes;
using testing_records::WordAt;

class ColRowInfoTest : public ::testing::Test {
 protected:
  ColRowInfoTest() { xf.CreateDefault(); }

  std::vector<TBytes> StoredColumns() {
    TXLSRecordSection section;
    EXPECT_EQ(columns.Store(section), 1);
    return Records(section.List());
  }
  std::vector<TBytes> StoredRows() {
    TXLSRecordSection section;
    EXPECT_EQ(rows.Store(section), 1);
    return Records(section.List());
  }
  // A counted format other than the fixed ones, as a bold setter makes it.
  int32_t BoldFormat() { return xf.SetFontBold(15, OleVariant(true), false); }

  TXLSXFList xf;
  TXLSColumnInfoList columns{xf};
  TXLSRowInfoList rows{xf};
};

TEST_F(ColRowInfoTest, NothingSetWritesOnlyTheDefaults) {
  const auto cols = StoredColumns();
  ASSERT_EQ(cols.size(), 1u);
  EXPECT_EQ(cols[0], (TBytes{0x99, 0x00, 0x02, 0x00, 0x24, 0x09}));
  const auto rws = StoredRows();
  ASSERT_EQ(rws.size(), 1u);
  EXPECT_EQ(rws[0], (TBytes{0x25, 0x02, 0x04, 0x00, 0x00, 0x00, 0xFF, 0x00}));
}

TEST_F(ColRowInfoTest, HiddenColumnCWritesOneColinfo) {
  columns.SetHidden(2, true);
  const auto records = StoredColumns();
  ASSERT_EQ(records.size(), 2u);
  EXPECT_EQ(records[1],
            (TBytes{0x7D, 0x00, 0x0B, 0x00, 2, 0, 2, 0, 0x24, 0x09, 0x00, 0x00, 0x01, 0x00, 0x00}));
}

TEST_F(ColRowInfoTest, ColumnsAreWrittenInColumnOrder) {
  columns.SetWidth(9, 10);
  columns.SetWidth(1, 2);
  const auto records = StoredColumns();
  ASSERT_EQ(records.size(), 3u);
  EXPECT_EQ(WordAt(records[1], 4), 1);
  EXPECT_EQ(WordAt(records[2], 4), 9);
  EXPECT_EQ(WordAt(records[2], 8), Width2Excel(10));
}

TEST_F(ColRowInfoTest, WidthRoundTripsInCharacters) {
  columns.SetWidth(0, 12.5f);
  EXPECT_FLOAT_EQ(columns.GetWidth(0), Excel2Width(Width2Excel(12.5f)));
  EXPECT_FLOAT_EQ(columns.GetWidth(1), Excel2Width(0x0924));
}

TEST_F(ColRowInfoTest, ColumnsOutsideTheSheetAreIgnored) {
  columns.SetWidth(300, 40);
  columns.SetHidden(-1, true);
  EXPECT_FLOAT_EQ(columns.GetWidth(300), Excel2Width(0x0924));
  EXPECT_FALSE(columns.GetHidden(-1));
  EXPECT_EQ(columns.GetFirstColumn(), -1);
  EXPECT_EQ(StoredColumns().size(), 1u);
}

TEST_F(ColRowInfoTest, ColumnFormatMovesAReferenceAndNamesItsSaveIndex) {
  const int32_t bold = BoldFormat();
  ASSERT_GT(bold, 15);
  const int32_t before = xf.GetItem(bold)->RefCount;
  columns.SetXF(4, bold);
  EXPECT_EQ(columns.GetXF(4), bold);
  EXPECT_EQ(xf.GetItem(bold)->RefCount, before + 1);
  xf.CreateAllReferredList();
  const auto records = StoredColumns();
  EXPECT_EQ(WordAt(records[1], 10), xf.GetSaveIndex(bold) - 1);
  EXPECT_EQ(columns.GetFirstColumn(), 4);
  EXPECT_EQ(columns.GetLastColumn(), 4);
}

TEST_F(ColRowInfoTest, RowHeightWritesTwipsAndOptions) {
  rows.SetHeight(9, 15);
  const auto records = StoredRows();
  ASSERT_EQ(records.size(), 2u);
  EXPECT_EQ(records[1], (TBytes{0x08, 0x02, 0x10, 0x00, 9, 0, 0,    0,    0,  0,
                                0x2C, 0x01, 0,    0,    0, 0, 0x40, 0x01, 15, 0}));
}

TEST_F(ColRowInfoTest, HiddenRowKeepsTheDefaultHeightMark) {
  rows.SetHidden(11, true);
  const auto records = StoredRows();
  ASSERT_EQ(records.size(), 2u);
  EXPECT_EQ(WordAt(records[1], 10), 0x80FF);
  EXPECT_EQ(WordAt(records[1], 16), 0x0120);
}

TEST_F(ColRowInfoTest, SettingAHeightShowsAHiddenRow) {
  rows.SetHeight(3, 20);
  rows.SetHidden(3, true);
  EXPECT_FLOAT_EQ(rows.GetHeight(3), 0);
  rows.SetHeight(3, 20);
  EXPECT_FALSE(rows.GetHidden(3));
  EXPECT_FLOAT_EQ(rows.GetHeight(3), 20);
}

TEST_F(ColRowInfoTest, RowFormatSetsTheFormattedBitAndSaveIndex) {
  const int32_t bold = BoldFormat();
  rows.SetXF(4, bold);
  xf.CreateAllReferredList();
  const auto records = StoredRows();
  ASSERT_EQ(records.size(), 2u);
  EXPECT_EQ(WordAt(records[1], 16), 0x0180);
  EXPECT_EQ(WordAt(records[1], 18), xf.GetSaveIndex(bold) - 1);
}

TEST_F(ColRowInfoTest, RowsAreWrittenInRowOrderAcrossBlocks) {
  rows.SetHeight(70000, 10);  // outside the sheet: ignored
  rows.SetHeight(65535, 10);
  rows.SetHeight(300, 10);
  rows.SetHidden(2, true);
  EXPECT_EQ(rows.GetCount(), 3);
  EXPECT_EQ(rows.GetFirstRow(), 2);
  EXPECT_EQ(rows.GetLastRow(), 65535);
  const auto records = StoredRows();
  ASSERT_EQ(records.size(), 4u);
  EXPECT_EQ(WordAt(records[1], 4), 2);
  EXPECT_EQ(WordAt(records[2], 4), 300);
  EXPECT_EQ(WordAt(records[3], 4), 65535);
  EXPECT_EQ(WordAt(records[2], 18), 15);  // height only: default format
}

TEST_F(ColRowInfoTest, HeightsBeyondTheFieldAreHeld) {
  rows.SetHeight(0, 5000);  // 100000 twips would spill into the default-height bit
  rows.SetHeight(1, -3);
  const auto records = StoredRows();
  EXPECT_EQ(WordAt(records[1], 10), 0x7FFF);
  EXPECT_EQ(WordAt(records[2], 10), 0);
}

TEST_F(ColRowInfoTest, ReadsCreateNoInformation) {
  EXPECT_FLOAT_EQ(rows.GetHeight(5), Excel2Height(255));
  EXPECT_EQ(rows.GetXF(5), 0);
  EXPECT_EQ(rows.GetRowInfo(5), nullptr);
  EXPECT_EQ(rows.GetCount(), 0);
  EXPECT_FLOAT_EQ(rows.GetHeight(-1), 0);
}

TEST_F(ColRowInfoTest, EveryRowCanCarryInformation) {
  for (int32_t row = 0; row < TXLSRowInfoList::kRowCount; ++row) rows.SetHidden(row, true);
  EXPECT_EQ(rows.GetCount(), 65536);
  EXPECT_EQ(StoredRows().size(), 65537u);
}

}  // namespace
}  // namespace tabulon
