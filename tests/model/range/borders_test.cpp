#include <gtest/gtest.h>

#include <string>

#include "RangeFormatTestUtil.h"
#include "XLSConstants.h"

namespace tabulon {
namespace {

constexpr uint8_t kLeft = 1, kRight = 2, kTop = 4, kBottom = 8;

class BorderFixture : public range_test::RangeFixture {
 protected:
  // The line style an edge of a stored cell's own format carries; none for
  // a cell that is not stored.
  int32_t Edge(const std::string& cell, uint8_t mask) {
    const int32_t xf = CellXF(cell);
    return xf < 0 ? xlLineStyleNone : XF().GetBorderLineStyle(xf, mask);
  }
};

// Which cell keeps a line between two neighbours.
using BorderOwnership = BorderFixture;

TEST_F(BorderOwnership, LeftBorderAtTheSheetEdgeChangesOnlyTheRange) {
  Range("A1", "A3")->GetBorders()->GetBorder(xlEdgeLeft)->SetLineStyle(xlContinuous);
  EXPECT_EQ(Heap().GetCellCount(), 3u);
  for (const char* cell : {"A1", "A2", "A3"}) EXPECT_EQ(Edge(cell, kLeft), xlContinuous) << cell;
  ExpectCountsMatchHolders();
}

TEST_F(BorderOwnership, RightBorderClearsStoredNeighboursAndCreatesNone) {
  Range("C3")->GetBorders()->GetBorder(xlEdgeLeft)->SetLineStyle(xlDouble);
  Range("B2", "B3")->GetBorders()->GetBorder(xlEdgeRight)->SetLineStyle(xlContinuous);
  EXPECT_EQ(Edge("B2", kRight), xlContinuous);
  EXPECT_EQ(Edge("B3", kRight), xlContinuous);
  EXPECT_EQ(Edge("C3", kLeft), xlLineStyleNone);
  EXPECT_EQ(Cell("C2"), nullptr);
  ExpectCountsMatchHolders();
}

TEST_F(BorderOwnership, NeighbouringRangesSettingOneLineLeaveItOnTheLastOne) {
  Range("B2")->GetBorders()->GetBorder(xlEdgeRight)->SetLineStyle(xlContinuous);
  Range("C2")->GetBorders()->GetBorder(xlEdgeLeft)->SetLineStyle(xlDash);
  EXPECT_EQ(Edge("C2", kLeft), xlDash);
  EXPECT_EQ(Edge("B2", kRight), xlLineStyleNone);
  // Both ranges report the one line.
  EXPECT_EQ(Range("B2")->GetBorders()->GetBorder(xlEdgeRight)->GetLineStyle(), xlDash);
  EXPECT_EQ(Range("C2")->GetBorders()->GetBorder(xlEdgeLeft)->GetLineStyle(), xlDash);
  ExpectCountsMatchHolders();
}

TEST_F(BorderOwnership, AllBordersOfABlockSitOnItsOwnCellsRightAndBottomInside) {
  Range("A1", "B2")->GetBorders()->SetLineStyle(xlContinuous);
  EXPECT_EQ(Heap().GetCellCount(), 4u);
  for (const char* cell : {"A1", "A2"}) EXPECT_EQ(Edge(cell, kLeft | kRight), xlContinuous);
  for (const char* cell : {"B1", "B2"}) {
    EXPECT_EQ(Edge(cell, kLeft), xlLineStyleNone) << cell;
    EXPECT_EQ(Edge(cell, kRight), xlContinuous) << cell;
  }
  for (const char* cell : {"A1", "B1"}) {
    EXPECT_EQ(Edge(cell, kTop), xlContinuous) << cell;
    EXPECT_EQ(Edge(cell, kBottom), xlContinuous) << cell;
  }
  for (const char* cell : {"A2", "B2"}) {
    EXPECT_EQ(Edge(cell, kTop), xlLineStyleNone) << cell;
    EXPECT_EQ(Edge(cell, kBottom), xlContinuous) << cell;
  }
  ExpectCountsMatchHolders();
}

TEST_F(BorderOwnership, AdjacentFramedBlocksShareTheirCommonLine) {
  Range("A1", "B2")->GetBorders()->SetLineStyle(xlContinuous);
  Range("C1", "D2")->GetBorders()->SetWeight(xlThick);
  EXPECT_EQ(Edge("B1", kRight), xlLineStyleNone);
  EXPECT_EQ(XF().GetBorderWeight(CellXF("C1"), kLeft), xlThick);
  EXPECT_EQ(Range("B1")->GetBorders()->GetBorder(xlEdgeRight)->GetWeight(), xlThick);
  ExpectCountsMatchHolders();
}

// Reading lines back, and the indexes the collection does not know.
using BorderReading = BorderFixture;

TEST_F(BorderReading, LineKeptOnTheNeighbourIsReported) {
  Range("B2")->GetBorders()->GetBorder(xlEdgeRight)->SetColorIndex(5);
  auto left = Range("C2")->GetBorders()->GetBorder(xlEdgeLeft);
  EXPECT_EQ(left->GetLineStyle(), xlContinuous);
  EXPECT_EQ(left->GetColorIndex(), 5);
  EXPECT_EQ(left->GetColor(), book.GetCustomColor(5));
}

TEST_F(BorderReading, NeighbourWithOtherBordersDoesNotHideTheLine) {
  Range("C2")->GetBorders()->GetBorder(xlEdgeLeft)->SetLineStyle(xlDot);
  Range("B2")->GetBorders()->GetBorder(xlEdgeTop)->SetLineStyle(xlContinuous);
  EXPECT_EQ(Range("B2")->GetBorders()->GetBorder(xlEdgeRight)->GetLineStyle(), xlDot);
}

TEST_F(BorderReading, UnknownIndexesSetNothingAndReadAsNoLine) {
  auto range = Range("B2", "C3");
  Impl(range).SetBorderLineStyle(xlDiagonalDown, xlContinuous);
  EXPECT_EQ(Heap().GetCellCount(), 0u);
  EXPECT_EQ(Impl(range).GetBorderColorIndex(xlDiagonalDown), 0);
  EXPECT_EQ(Impl(range).GetBorderLineStyle(xlDiagonalDown), xlLineStyleNone);
  EXPECT_EQ(Impl(range).GetBorderWeight(xlDiagonalDown), xlThin);
}

TEST_F(BorderReading, InsideLinesOfASingleLineRangeAreNone) {
  auto column = Range("B2", "B4");
  column->GetBorders()->SetLineStyle(xlContinuous);
  EXPECT_EQ(Impl(column).GetBorderVerticalInsideLineStyle(), xlLineStyleNone);
  EXPECT_EQ(Impl(column).GetBorderVerticalInsideColorIndex(), 0);
  EXPECT_EQ(Impl(column).GetBorderHorizontalInsideLineStyle(), xlContinuous);
  EXPECT_EQ(Edge("B2", kRight), xlContinuous);  // the right edge, not an inside line
}

TEST_F(BorderReading, CollectionReportsTheTopEdge) {
  auto borders = Range("B2", "C3")->GetBorders();
  borders->GetBorder(xlEdgeTop)->SetColorIndex(7);
  borders->GetBorder(xlEdgeTop)->SetWeight(xlMedium);
  EXPECT_EQ(borders->GetColorIndex(), 7);
  EXPECT_EQ(borders->GetWeight(), xlMedium);
  EXPECT_EQ(borders->GetLineStyle(), xlContinuous);
  EXPECT_EQ(borders->GetBorder(xlEdgeBottom)->GetLineStyle(), xlLineStyleNone);
}

// Per-cell-pair operations at the sheet's edges.
using BorderCellPairs = BorderFixture;

TEST_F(BorderCellPairs, NeighbourOffTheSheetIsSkipped) {
  auto range = Range("IV65536");
  range->GetBorders()->SetLineStyle(xlContinuous);
  EXPECT_EQ(Heap().GetCellCount(), 1u);
  EXPECT_EQ(Edge("IV65536", kLeft | kRight), xlContinuous);
  EXPECT_EQ(Edge("IV65536", kBottom), xlContinuous);
  Impl(range).SetCellBorderLineStyle(-1, 0, 0, 0, false, true, xlContinuous);
  EXPECT_EQ(Heap().GetCellCount(), 1u);
}

}  // namespace
}  // namespace tabulon
