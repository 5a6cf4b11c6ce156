#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "SheetRecords.h"
#include "XLSColRowInfo.h"
#include "XLSRecordIds.h"

namespace tabulon {
namespace {

using namespace testing_records;

XLSPtr<IXLSRange> Rows(TXLSWorksheet& sheet, const std::string& from, const std::string& to) {
  return sheet.FGetRange(from, to)->GetEntireRow();
}

XLSPtr<IXLSRange> Columns(TXLSWorksheet& sheet, const std::string& from, const std::string& to) {
  return sheet.FGetRange(from, to)->GetEntireColumn();
}

std::vector<TBytes> SavedHeader(TXLSWorksheet& sheet) {
  sheet.BeginSave();
  EXPECT_EQ(sheet.StoreCells(), 1);
  EXPECT_EQ(sheet.Close(), 1);
  return HeaderRecords(sheet);
}

class OutlineRecords : public ::testing::TestWithParam<int32_t> {};

// Rows 2-4 grouped with row 3 nested and the group collapsed into row 5;
// columns B-C grouped and collapsed into A, as the summaries sit left.
TEST_P(OutlineRecords, RowColinfoGutsAndWsboolCarryTheGroups) {
  TBook book;
  ASSERT_EQ(book.book.SetFileFormat(GetParam()), 1);
  TXLSWorksheet& sheet = book.Sheet();
  ASSERT_EQ(sheet.SetOutlineSummary(xlSummaryBelow, xlSummaryOnLeft), 1);
  ASSERT_EQ(Rows(sheet, "A2", "A4")->Group(), 1);
  ASSERT_EQ(Rows(sheet, "A3", "A3")->Group(), 1);
  ASSERT_EQ(Rows(sheet, "A2", "A4")->SetShowDetail(false), 1);
  ASSERT_EQ(Columns(sheet, "B1", "C1")->Group(), 1);
  ASSERT_EQ(Columns(sheet, "B1", "C1")->SetShowDetail(false), 1);
  const auto header = SavedHeader(sheet);

  const auto colinfo = WithId(header, xlsrec::kColInfo);
  ASSERT_EQ(colinfo.size(), 3u);
  EXPECT_EQ(colinfo[0], (TBytes{0x7D, 0, 11, 0, 0, 0, 0, 0, 0x24, 0x09, 0, 0, 0x00, 0x10, 0}));
  EXPECT_EQ(colinfo[1], (TBytes{0x7D, 0, 11, 0, 1, 0, 1, 0, 0x24, 0x09, 0, 0, 0x01, 0x01, 0}));
  EXPECT_EQ(colinfo[2], (TBytes{0x7D, 0, 11, 0, 2, 0, 2, 0, 0x24, 0x09, 0, 0, 0x01, 0x01, 0}));
  // 5 + 12 pixels for each level and the sheet's; levels + 1.
  EXPECT_EQ(WithId(header, xlsrec::kGuts),
            (std::vector<TBytes>{{0x80, 0, 8, 0, 41, 0, 29, 0, 3, 0, 2, 0}}));
  const auto rows = WithId(header, xlsrec::kRow);
  ASSERT_EQ(rows.size(), 4u);
  EXPECT_EQ(rows[0], (TBytes{0x08, 0x02, 16, 0, 1, 0, 0,    0,    0,    0,
                             0xFF, 0x80, 0,  0, 0, 0, 0x21, 0x01, 0x0F, 0}));
  EXPECT_EQ(WordAt(rows[1], 16), 0x0122);
  EXPECT_EQ(WordAt(rows[2], 16), 0x0121);
  EXPECT_EQ((std::pair{WordAt(rows[3], 4), WordAt(rows[3], 16)}),
            (std::pair<uint16_t, uint16_t>{4, 0x0110}));
  EXPECT_EQ(WithId(header, xlsrec::kWsBool), (std::vector<TBytes>{{0x81, 0, 2, 0, 0x41, 0x04}}));
  // GUTS sits after the column information, before DEFAULTROWHEIGHT.
  const auto ids = Ids(header);
  const auto guts = std::find(ids.begin(), ids.end(), xlsrec::kGuts);
  ASSERT_NE(guts, ids.end());
  EXPECT_EQ(*(guts - 1), xlsrec::kColInfo);
  EXPECT_EQ(*(guts + 1), xlsrec::kDefaultRowHeight);
}

INSTANTIATE_TEST_SUITE_P(Formats, OutlineRecords, ::testing::Values(xlExcel5, xlExcel8),
                         [](const auto& info) {
                           return info.param == xlExcel5 ? "Biff5" : "Biff8";
                         });

TEST(RangeOutline, LevelsRefusalsAndShowingAgain) {
  TBook book;
  TXLSWorksheet& sheet = book.Sheet();
  const TXLSRowInfoList& rows = sheet.GetRowInfo();
  EXPECT_EQ(sheet.FGetRange("A1", "B2")->Group(), -1);
  EXPECT_NE(sheet.GetLastError().find("A1:B2 is a range of cells"), std::string::npos);
  EXPECT_EQ(sheet.FGetRange("A1", "B2")->Ungroup(), -1);
  for (int level = 1; level <= kMaxOutlineLevel; ++level)
    ASSERT_EQ(Rows(sheet, "A3", "A4")->Group(), 1);
  EXPECT_EQ(Rows(sheet, "A2", "A4")->Group(), -1);
  EXPECT_NE(sheet.GetLastError().find("row 3 is at outline level 7"), std::string::npos);
  EXPECT_EQ(rows.GetOutlineLevel(1), 0);  // a refused call changes nothing
  EXPECT_EQ(rows.GetOutlineLevel(2), kMaxOutlineLevel);
  ASSERT_EQ(Rows(sheet, "A4", "A4")->Ungroup(), 1);
  EXPECT_EQ(rows.GetOutlineLevel(3), kMaxOutlineLevel - 1);

  EXPECT_EQ(Rows(sheet, "A2", "A3")->SetShowDetail(false), -1);
  EXPECT_NE(sheet.GetLastError().find("rows 2 to 3"), std::string::npos);
  ASSERT_EQ(Rows(sheet, "A4", "A4")->SetShowDetail(false), 1);
  EXPECT_TRUE(rows.GetHidden(2) && rows.GetHidden(3) && rows.GetCollapsed(4));
  ASSERT_EQ(Rows(sheet, "A4", "A4")->SetShowDetail(true), 1);
  EXPECT_FALSE(rows.GetHidden(2) || rows.GetHidden(3) || rows.GetCollapsed(4));

  EXPECT_EQ(sheet.SetOutlineSummary(2, xlSummaryOnRight), -1);
  EXPECT_EQ(sheet.SetOutlineSummary(xlSummaryAbove, 0), -1);
  EXPECT_TRUE(rows.GetSummaryBelow());
}

// Ungrouping what was never grouped creates no row or column information,
// so such a sheet writes the records it wrote before.
TEST(RangeOutline, UngroupingNothingWritesNothing) {
  TBook book;
  TXLSWorksheet& sheet = book.Sheet();
  ASSERT_EQ(Rows(sheet, "A2", "A4")->Ungroup(), 1);
  ASSERT_EQ(Columns(sheet, "B1", "C1")->Ungroup(), 1);
  ASSERT_EQ(sheet.SetOutlineSummary(xlSummaryBelow, xlSummaryOnRight), 1);
  const auto header = SavedHeader(sheet);
  EXPECT_TRUE(WithId(header, xlsrec::kRow).empty());
  EXPECT_TRUE(WithId(header, xlsrec::kColInfo).empty());
  EXPECT_TRUE(WithId(header, xlsrec::kGuts).empty());
  EXPECT_EQ(WithId(header, xlsrec::kWsBool), (std::vector<TBytes>{{0x81, 0, 2, 0, 0xC1, 0x04}}));
}

}  // namespace
}  // namespace tabulon
