#include <gtest/gtest.h>

#include <string>

#include "RangeFormatTestUtil.h"
#include "XLSConstants.h"

namespace tabulon {
namespace {

class StructureFixture : public range_test::RangeFixture {
 protected:
  OleVariant At(const std::string& cell) { return Range(cell)->GetValue(); }
  void Put(const std::string& cell, const OleVariant& value) { Range(cell)->SetValue(value); }
  // The merged area a cell belongs to as "B2:C3", or "" when not merged.
  std::string AreaOf(const std::string& text) {
    const TXLSCellRef* cell = Cell(text);
    if (cell == nullptr || !cell->Merged || cell->MergeMaster == nullptr) return "";
    const TXLSCellRef& m = *cell->MergeMaster;
    return EncodeCellRef(m.GetRow(), m.GetCol()) + ":" +
           EncodeCellRef(static_cast<uint16_t>(m.GetRow() + m.RowSpan - 1),
                         static_cast<uint8_t>(m.GetCol() + m.ColSpan - 1));
  }
};

// Merging and unmerging.
using Merging = StructureFixture;

TEST_F(Merging, PlainMergeKeepsTheTopLeftValue) {
  Range("B2", "C3")->SetValue(OleVariant("v"));
  Range("B2", "C3")->Merge(OleVariant::Missing());
  const TXLSCellRef* master = Cell("B2");
  ASSERT_TRUE(master->IsMergeMaster());
  EXPECT_EQ(master->RowSpan, 2);
  EXPECT_EQ(master->ColSpan, 2);
  EXPECT_EQ(At("B2"), OleVariant("v"));
  for (const char* cell : {"C2", "B3", "C3"}) {
    EXPECT_EQ(Cell(cell)->GetValueType(), xlEmpty) << cell;
    EXPECT_EQ(AreaOf(cell), "B2:C3") << cell;
  }
  EXPECT_TRUE(VarIsNull(At("B3")));
}

TEST_F(Merging, AcrossMakesOneAreaPerRow) {
  Range("B2", "C3")->Merge(OleVariant(true));
  EXPECT_EQ(AreaOf("C2"), "B2:C2");
  EXPECT_EQ(AreaOf("C3"), "B3:C3");
  EXPECT_TRUE(Cell("B3")->IsMergeMaster());
}

TEST_F(Merging, OverlappingAreaIsAbsorbed) {
  Range("B2", "C3")->Merge(OleVariant::Missing());
  auto range = Range("C3", "D3");
  range->Merge(OleVariant::Missing());
  EXPECT_EQ(AreaOf("D3"), "B2:D3");
  EXPECT_EQ(AreaOf("B3"), "B2:D3");
  EXPECT_EQ(range->GetFirstRow(), 1);  // the range took the extended corners
  EXPECT_EQ(range->GetFirstCol(), 1);
}

TEST_F(Merging, UnmergeAnyCellReleasesTheWholeArea) {
  Range("A1", "C3")->SetValue(OleVariant(7));
  Range("A1", "C3")->Merge(OleVariant::Missing());
  Range("C3")->Unmerge();
  for (int32_t row = 0; row < 3; ++row) {
    for (int32_t col = 0; col < 3; ++col) {
      const TXLSCellRef* cell =
          Heap().GetValue(static_cast<uint16_t>(row), static_cast<uint8_t>(col));
      EXPECT_FALSE(cell->Merged);
      EXPECT_EQ(cell->MergeMaster, nullptr);
    }
  }
  EXPECT_EQ(At("A1"), OleVariant(7));
  EXPECT_TRUE(VarIsNull(At("B2")));
}

// Inserting and deleting blocks of cells.
using Shifting = StructureFixture;

TEST_F(Shifting, InsertedCellPushesValuesDownAndTakesTheFormatAbove) {
  Put("A1", OleVariant("top"));
  Range("A1")->GetFont()->SetBold(true);
  Put("A2", OleVariant(2));
  Put("A3", OleVariant(3));
  EXPECT_EQ(Range("A2")->Insert(OleVariant::Missing()), OleVariant(true));
  EXPECT_TRUE(VarIsNull(At("A2")));
  EXPECT_EQ(At("A3"), OleVariant(2));
  EXPECT_EQ(At("A4"), OleVariant(3));
  EXPECT_EQ(CellXF("A2"), CellXF("A1"));
  ExpectCountsMatchHolders();
}

TEST_F(Shifting, InsertRightMovesFormatsAndMergedAreas) {
  Put("B1", OleVariant("b"));
  Range("B1")->GetInterior()->SetColorIndex(6);
  Range("C2", "D3")->Merge(OleVariant::Missing());
  Range("B1", "B3")->Insert(OleVariant(xlShiftToRight));
  EXPECT_EQ(At("C1"), OleVariant("b"));
  EXPECT_EQ(Range("C1")->GetInterior()->GetColorIndex(), 6);
  EXPECT_EQ(AreaOf("E3"), "D2:E3");
  EXPECT_EQ(AreaOf("C2"), "");
  ExpectCountsMatchHolders();
}

TEST_F(Shifting, AreaCrossingTheMovedBlockIsDissolved) {
  Range("A2", "B2")->Merge(OleVariant::Missing());
  Range("B1", "B5")->Insert(OleVariant(xlShiftDown));
  EXPECT_EQ(AreaOf("A2"), "");
  EXPECT_EQ(AreaOf("B7"), "");
}

TEST_F(Shifting, InsertPastTheLastRowIsRefused) {
  Put("A65536", OleVariant(1));
  Put("A1", OleVariant(2));
  EXPECT_EQ(Range("A1")->GetEntireRow()->Insert(OleVariant::Missing()), OleVariant(false));
  EXPECT_EQ(At("A1"), OleVariant(2));
  EXPECT_EQ(At("A65536"), OleVariant(1));
  Put("IV1", OleVariant(3));
  EXPECT_EQ(Range("B1")->GetEntireColumn()->Insert(OleVariant::Missing()), OleVariant(false));
}

TEST_F(Shifting, DeletedCellPullsValuesUp) {
  for (int i = 1; i <= 4; ++i) Put("A" + std::to_string(i), OleVariant(i));
  Range("A3")->GetFont()->SetItalic(true);
  EXPECT_EQ(Range("A2")->Delete(OleVariant::Missing()), OleVariant(true));
  EXPECT_EQ(At("A1"), OleVariant(1));
  EXPECT_EQ(At("A2"), OleVariant(3));
  EXPECT_EQ(At("A3"), OleVariant(4));
  EXPECT_TRUE(VarIsNull(At("A4")));
  EXPECT_TRUE(Range("A2")->GetFont()->GetItalic());
  EXPECT_FALSE(Range("A3")->GetFont()->GetItalic());
  ExpectCountsMatchHolders();
}

TEST_F(Shifting, DeletedFormatsLoseTheirReferences) {
  Range("A1", "B2")->GetFont()->SetBold(true);
  const int32_t bold = CellXF("A1");
  Range("A1", "B1")->GetEntireRow()->Delete(OleVariant::Missing());
  EXPECT_EQ(RefCount(bold), 2);
  Range("A1")->GetEntireRow()->Delete(OleVariant::Missing());
  EXPECT_EQ(RefCount(bold), 0);
  ExpectCountsMatchHolders();
}

TEST_F(Shifting, DeletingTheLastUsedRowsEmptiesThem) {
  Range("A1", "B4")->SetValue(OleVariant(5));
  Range("A3", "A4")->GetEntireRow()->Delete(OleVariant::Missing());
  EXPECT_EQ(At("B2"), OleVariant(5));
  EXPECT_TRUE(VarIsNull(At("A3")));
  EXPECT_TRUE(VarIsNull(At("B4")));
}

// A whole-line shift walks only the cells the sheet holds, but empty
// positions that show a row's or a column's format must still move: their
// format becomes the cells' own where they land.
TEST_F(Shifting, WholeLineShiftsMoveFormatsShownByEmptyPositions) {
  Put("J20", OleVariant(1));
  Range("A6")->GetEntireRow()->GetFont()->SetBold(true);
  Range("D1")->GetEntireColumn()->GetFont()->SetItalic(true);
  Range("A2")->GetEntireRow()->Delete(OleVariant::Missing());
  EXPECT_NE(Cell("H5"), nullptr);
  EXPECT_TRUE(Range("H5")->GetFont()->GetBold());
  EXPECT_EQ(At("J19"), OleVariant(1));
  EXPECT_EQ(Range("A3")->GetEntireRow()->Insert(OleVariant::Missing()), OleVariant(true));
  EXPECT_NE(Cell("H6"), nullptr);
  EXPECT_FALSE(Range("H5")->GetFont()->GetBold());
  EXPECT_EQ(At("J20"), OleVariant(1));
  Range("A1")->GetEntireColumn()->Delete(OleVariant::Missing());
  EXPECT_TRUE(Range("C7")->GetFont()->GetItalic());
  EXPECT_EQ(At("I20"), OleVariant(1));
  ExpectCountsMatchHolders();
}

TEST_F(Shifting, DeleteLeftMovesMergedAreasWhole) {
  Range("C1", "D2")->SetValue(OleVariant("m"));
  Range("C1", "D2")->Merge(OleVariant::Missing());
  Range("A1")->GetEntireColumn()->Delete(OleVariant::Missing());
  EXPECT_EQ(AreaOf("C2"), "B1:C2");
  EXPECT_EQ(At("B1"), OleVariant("m"));
  EXPECT_EQ(AreaOf("D1"), "");
}

TEST_F(Shifting, AreaReachingIntoTheDeletedBlockIsDissolvedNotBroken) {
  Put("A2", OleVariant("kept"));
  Range("A2", "A3")->Merge(OleVariant::Missing());
  Range("A1", "A2")->Delete(OleVariant(xlShiftUp));
  // The master went with the block; the rest of the area is a plain cell.
  EXPECT_EQ(AreaOf("A1"), "");
  EXPECT_FALSE(Cell("A1")->Merged);
  ExpectCountsMatchHolders();
}

// Clearing values and formats.
using Clearing = StructureFixture;

TEST_F(Clearing, ContentsGoFormatsStay) {
  Range("A1", "B1")->SetValue(OleVariant("x"));
  Range("A1", "B1")->GetFont()->SetBold(true);
  Range("A1", "B1")->ClearContents();
  EXPECT_TRUE(VarIsNull(At("A1")));
  EXPECT_TRUE(Range("B1")->GetFont()->GetBold());
}

TEST_F(Clearing, ClearDropsFormatReferencesAndKeepsMerges) {
  Range("A1", "B1")->GetFont()->SetBold(true);
  const int32_t bold = CellXF("A1");
  Range("A1", "B1")->Merge(OleVariant::Missing());
  Range("A1", "B1")->Clear();
  EXPECT_EQ(RefCount(bold), 0);
  EXPECT_EQ(AreaOf("B1"), "A1:B1");
  ExpectCountsMatchHolders();
}

// Widths, heights and hidden flags.
using Lines = StructureFixture;

TEST_F(Lines, ColumnWidthsFromAnArrayShorterThanTheRange) {
  auto range = Range("A1", "C1");
  range->SetColumnWidth(VarArrayOf({OleVariant(10.0), OleVariant(20.0)}));
  const OleVariant widths = range->GetColumnWidth();
  ASSERT_EQ(widths.DimCount(), 1);
  EXPECT_NEAR(widths.GetElement({0}).ToDouble(), 10.0, 0.01);
  EXPECT_NEAR(widths.GetElement({1}).ToDouble(), 20.0, 0.01);
  EXPECT_NEAR(widths.GetElement({2}).ToDouble(), 8.43, 0.01);
  range->SetColumnWidth(VarArrayOf({OleVariant(15.0)}));
  EXPECT_NEAR(Range("C1")->GetColumnWidth().ToDouble(), 15.0, 0.01);
}

TEST_F(Lines, BadWidthChangesNothingAndTwoDimensionalArraysAreIgnored) {
  auto range = Range("A1", "B1");
  EXPECT_THROW(range->SetColumnWidth(VarArrayOf({OleVariant(12.0), OleVariant("wide")})),
               EVariantError);
  EXPECT_NEAR(Range("A1")->GetColumnWidth().ToDouble(), 8.43, 0.01);
  range->SetColumnWidth(VarArrayCreate({0, 1, 0, 1}));
  EXPECT_NEAR(Range("A1")->GetColumnWidth().ToDouble(), 8.43, 0.01);
}

TEST_F(Lines, RowHeights) {
  Range("A2", "A3")->SetRowHeight(OleVariant(30));
  EXPECT_NEAR(Range("A3")->GetRowHeight().ToDouble(), 30.0, 0.01);
  EXPECT_NEAR(Range("A1")->GetRowHeight().ToDouble(), 12.75, 0.01);
}

TEST_F(Lines, HiddenDependsOnTheRangeKind) {
  auto columns = Range("B1", "C1")->GetEntireColumn();
  columns->SetHidden(VarArrayOf({OleVariant(true), OleVariant(false)}));
  const OleVariant flags = columns->GetHidden();
  ASSERT_EQ(flags.DimCount(), 1);
  EXPECT_EQ(flags.GetElement({0}), OleVariant(true));
  EXPECT_EQ(flags.GetElement({1}), OleVariant(false));
  EXPECT_TRUE(VarIsNull(Range("A1", "B2")->GetHidden()));
  Range("A1", "B2")->SetHidden(OleVariant(true));  // cells: nothing
  EXPECT_FALSE(sheet->GetRowInfo().GetHidden(0));
  auto row = Range("A4")->GetEntireRow();
  row->SetHidden(OleVariant(true));
  EXPECT_EQ(row->GetHidden(), OleVariant(true));
  EXPECT_TRUE(sheet->GetRowInfo().GetHidden(3));
}

}  // namespace
}  // namespace tabulon
