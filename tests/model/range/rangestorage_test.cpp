// Range storage is recycled per thread; ranges must still come out whole and
// independent however many are alive, and whichever thread releases them.
#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "XLSCellRef.h"
#include "XLSRange.h"
#include "XLSWorkbook.h"
#include "XLSWorksheet.h"

namespace tabulon {
namespace {

XLSPtr<IXLSRange> CellRange(TXLSWorksheet& sheet, uint16_t row, uint8_t col) {
  const std::string cell = EncodeCellRef(row, col);
  return XLSPtr<IXLSRange>(new TXLSRange(sheet, cell, cell));
}

class RangeStorageTest : public ::testing::Test {
 protected:
  TXLSWorkbook book;
  TXLSWorksheet sheet{book};
};

TEST_F(RangeStorageTest, ManyLiveRangesStayDistinctAcrossReuse) {
  // More ranges than a thread keeps, released and made again twice over.
  for (int round = 0; round < 3; ++round) {
    std::vector<XLSPtr<IXLSRange>> ranges;
    for (uint16_t row = 0; row < 100; ++row) ranges.push_back(CellRange(sheet, row, 3));
    for (uint16_t row = 0; row < 100; ++row) {
      ASSERT_EQ(ranges[row]->GetFirstRow(), row);
      ASSERT_EQ(ranges[row]->GetLastCol(), 3);
      ranges[row]->SetValue(OleVariant(row * 1.0 + round));
    }
  }
  EXPECT_EQ(sheet.GetCellHeap().GetValue(99, 3)->GetNumber(), 101.0);
}

TEST_F(RangeStorageTest, RangeMadeOnOneThreadIsReleasedOnAnother) {
  std::vector<XLSPtr<IXLSRange>> ranges;
  std::thread maker([&] {
    for (uint16_t row = 0; row < 40; ++row) ranges.push_back(CellRange(sheet, row, 0));
  });
  maker.join();
  std::thread releaser([&] {
    ranges.clear();
    // Reuses what it was just given back, then ends with blocks still kept.
    for (uint16_t row = 0; row < 40; ++row) CellRange(sheet, row, 1)->SetValue(OleVariant("x"));
    ranges.push_back(CellRange(sheet, 7, 7));
  });
  releaser.join();
  ASSERT_EQ(ranges.size(), 1u);
  EXPECT_EQ(ranges[0]->GetFirstRow(), 7);
  ranges.clear();
  EXPECT_EQ(sheet.GetCellHeap().GetValue(39, 1)->GetText(), "x");
}

TEST_F(RangeStorageTest, SameTextTwiceGivesOneCell) {
  const XLSPtr<IXLSRange> range = XLSPtr<IXLSRange>(new TXLSRange(sheet, "c7", std::string("c7")));
  EXPECT_EQ(range->GetFirstRow(), 6);
  EXPECT_EQ(range->GetLastRow(), 6);
  EXPECT_EQ(range->GetFirstCol(), 2);
  EXPECT_EQ(range->GetLastCol(), 2);
  EXPECT_EQ(range->GetCount(), 1);
  EXPECT_EQ(static_cast<TXLSRange&>(*range).GetLastCellText(), "c7");  // text kept as given
}

}  // namespace
}  // namespace tabulon
