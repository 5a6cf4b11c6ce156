#include <gtest/gtest.h>

#include <string>

#include "XLSCellHeap.h"
#include "XLSCellRef.h"
#include "XLSRange.h"
#include "XLSWorkbook.h"
#include "XLSWorksheet.h"

namespace tabulon {
namespace {

class RangeTest : public ::testing::Test {
 protected:
  XLSPtr<IXLSRange> Range(const std::string& cell1, const std::string& cell2) {
    return XLSPtr<IXLSRange>(new TXLSRange(sheet, cell1, cell2));
  }
  static TXLSRange& Impl(const XLSPtr<IXLSRange>& range) { return static_cast<TXLSRange&>(*range); }
  static std::string Address(const XLSPtr<IXLSRange>& range) {
    return EncodeCellRange(range->GetFirstRow(), range->GetFirstCol(), range->GetLastRow(),
                           range->GetLastCol());
  }
  static std::string Texts(const XLSPtr<IXLSRange>& range) {
    return Impl(range).GetFirstCellText() + "|" + Impl(range).GetLastCellText();
  }
  TXLSCellHeap& Heap() { return sheet.GetCellHeap(); }
  // Marks the rectangle as one merged area whose master is its top-left cell.
  void MarkMerged(uint16_t row1, uint8_t col1, uint16_t row2, uint8_t col2) {
    TXLSCellRef* master = Heap().GetOrCreateValue(row1, col1);
    master->RowSpan = row2 - row1 + 1;
    master->ColSpan = static_cast<uint16_t>(col2 - col1 + 1);
    for (uint16_t r = row1; r <= row2; ++r) {
      for (uint8_t c = col1; c <= col2; ++c) {
        TXLSCellRef* cell = Heap().GetOrCreateValue(r, c);
        cell->Merged = true;
        cell->MergeMaster = master;
      }
    }
  }
  OleVariant At(const std::string& cell) { return Range(cell, cell)->GetValue(); }

  TXLSWorkbook book;
  TXLSWorksheet sheet{book};
};

// Addressing and the ranges made from a range.
using RangeAddressing = RangeTest;

TEST_F(RangeAddressing, BlockReportsItsCornersAndCounts) {
  auto range = Range("B2", "D4");
  EXPECT_EQ(range->GetCount(), 9);
  EXPECT_EQ(range->GetRow(), 2);
  EXPECT_EQ(range->GetColumn(), 2);
  EXPECT_EQ(range->GetFirstRow(), 1);
  EXPECT_EQ(range->GetLastRow(), 3);
  EXPECT_EQ(range->GetFirstCol(), 1);
  EXPECT_EQ(range->GetLastCol(), 3);
  EXPECT_EQ(range->GetRows()->GetCount(), 3);
  EXPECT_EQ(range->GetColumns()->GetCount(), 3);
  EXPECT_EQ(Range("B2", "C5")->GetColumns()->GetCount(), 2);
  EXPECT_EQ(range->GetRows()->GetCells()->GetCount(), 9);
}

TEST_F(RangeAddressing, DerivedRangesCarryTheirType) {
  auto range = Range("B2", "D4");
  EXPECT_EQ(Impl(range).RangeType, xlRangeCells);
  EXPECT_EQ(Impl(range->GetRows()).RangeType, xlRangeRows);
  EXPECT_EQ(Impl(range->GetColumns()).RangeType, xlRangeColumns);
  EXPECT_EQ(Impl(range->GetColumns()->GetCells()).RangeType, xlRangeCells);
  EXPECT_EQ(Address(range->GetRows()), "B2:D4");
}

TEST_F(RangeAddressing, ItemCountsFromTheTopLeftCellAndMayLeaveTheRange) {
  auto range = Range("B2", "D4");
  EXPECT_EQ(Address(range->GetItem(1, 1)), "B2:B2");
  EXPECT_EQ(Address(range->GetItem(3, 5)), "F4:F4");
  EXPECT_EQ(Texts(range->GetItem(3, 5)), "F4|F4");
}

TEST_F(RangeAddressing, EntireRowAndColumnSpanTheSheet) {
  auto range = Range("B2", "D4");
  auto rows = range->GetEntireRow();
  EXPECT_EQ(Texts(rows), "A2|IV4");
  EXPECT_EQ(Impl(rows).RangeType, xlRangeRows);
  EXPECT_EQ(rows->GetCount(), 3);
  auto columns = range->GetEntireColumn();
  EXPECT_EQ(Texts(columns), "B1|D65536");
  EXPECT_EQ(Impl(columns).RangeType, xlRangeColumns);
  EXPECT_EQ(columns->GetCount(), 3);
}

TEST_F(RangeAddressing, ClassifiesWholeColumnsBeforeWholeRows) {
  auto range = Range("B2", "D4");
  EXPECT_EQ(Impl(range).GetRangeType(), xlRangeBlock);
  EXPECT_EQ(Impl(range->GetEntireColumn()).GetRangeType(), xlRangeWholeColumns);
  EXPECT_EQ(Impl(range->GetEntireRow()).GetRangeType(), xlRangeWholeRows);
  EXPECT_EQ(Impl(Range("A1", "IV65536")).GetRangeType(), xlRangeWholeColumns);
}

TEST_F(RangeAddressing, UnparseableCornersFallBackToA1) {
  EXPECT_EQ(Address(Range("A1", "$B$2")), "A1:A1");
  EXPECT_EQ(Address(Range("C3", "B2:D4")), "A1:C3");  // second corner A1, then ordered
  EXPECT_EQ(Address(Range("nonsense", "C3")), "A1:A1");
  EXPECT_EQ(Texts(Range("A1", "$B$2")), "A1|$B$2");
}

TEST_F(RangeAddressing, ReversedCornersAreOrderedAndReencoded) {
  auto range = Range("D4", "B2");
  EXPECT_EQ(Address(range), "B2:D4");
  EXPECT_EQ(Texts(range), "B2|D4");
  EXPECT_EQ(range->GetCount(), 9);
  EXPECT_EQ(Address(Range("D2", "B4")), "B2:D4");
  EXPECT_EQ(Texts(Range("b2", "d4")), "b2|d4");  // ordered texts are kept as given
}

// Reading and writing values.
using RangeValue = RangeTest;

TEST_F(RangeValue, EmptySingleCellReadsNullAndCreatesNothing) {
  EXPECT_EQ(VarType(At("C3")), varNull);
  EXPECT_EQ(Heap().GetCellCount(), 0u);
}

TEST_F(RangeValue, BlockReadsAsTwoDimensionalArrayOfRowsThenColumns) {
  Range("C2", "C2")->SetValue(OleVariant("x"));
  OleVariant values = Range("A1", "C2")->GetValue();
  ASSERT_EQ(values.DimCount(), 2);
  EXPECT_EQ(values.LowBound(1), 0);
  EXPECT_EQ(values.HighBound(1), 1);
  EXPECT_EQ(values.LowBound(2), 0);
  EXPECT_EQ(values.HighBound(2), 2);
  EXPECT_EQ(values.GetElement({1, 2}).ToString(), "x");
  EXPECT_EQ(VarType(values.GetElement({0, 0})), varNull);
}

TEST_F(RangeValue, ScalarFillsEveryCellAndDecimalTextBecomesANumber) {
  Range("A1", "B2")->SetValue(OleVariant("12"));
  for (const char* cell : {"A1", "B1", "A2", "B2"}) {
    EXPECT_EQ(VarType(At(cell)), varDouble) << cell;
    EXPECT_EQ(At(cell).ToDouble(), 12.0) << cell;
  }
  Range("A1", "A1")->SetValue(OleVariant("012"));
  EXPECT_EQ(VarType(At("A1")), varOleStr);
  EXPECT_EQ(At("A1").ToString(), "012");
}

TEST_F(RangeValue, WritingEmptyStillCreatesTheCells) {
  Range("A1", "C2")->SetValue(OleVariant());
  EXPECT_EQ(Heap().GetCellCount(), 6u);
}

TEST_F(RangeValue, OneDimensionalArrayFillsEveryRowAndMarksMissingElements) {
  Range("A1", "C2")->SetValue(VarArrayOf({1, 2}));
  for (const char* row : {"1", "2"}) {
    EXPECT_EQ(At(std::string("A") + row).ToDouble(), 1.0);
    EXPECT_EQ(At(std::string("B") + row).ToDouble(), 2.0);
    EXPECT_EQ(At(std::string("C") + row).ToString(), "#N/D");
  }
}

TEST_F(RangeValue, OneElementArrayFillsEveryCell) {
  Range("A1", "C2")->SetValue(VarArrayOf({7}));
  OleVariant values = Range("A1", "C2")->GetValue();
  for (int32_t i = 0; i <= 1; ++i) {
    for (int32_t j = 0; j <= 2; ++j) EXPECT_EQ(values.GetElement({i, j}).ToDouble(), 7.0);
  }
}

TEST_F(RangeValue, ArrayLowerBoundsAreHonoured) {
  OleVariant values = VarArrayCreate({5, 6});
  values.PutElement({5}, OleVariant("a"));
  values.PutElement({6}, OleVariant("b"));
  Range("A1", "B1")->SetValue(values);
  EXPECT_EQ(At("A1").ToString(), "a");
  EXPECT_EQ(At("B1").ToString(), "b");
}

TEST_F(RangeValue, TwoDimensionalArrayMapsRowsAndColumns) {
  OleVariant values = VarArrayCreate({1, 2, 1, 2});
  values.PutElement({1, 1}, 11);
  values.PutElement({1, 2}, 12);
  values.PutElement({2, 1}, 21);
  values.PutElement({2, 2}, 22);
  Range("A1", "C3")->SetValue(values);
  EXPECT_EQ(At("A1").ToDouble(), 11.0);
  EXPECT_EQ(At("B1").ToDouble(), 12.0);
  EXPECT_EQ(At("A2").ToDouble(), 21.0);
  EXPECT_EQ(At("B2").ToDouble(), 22.0);
  for (const char* cell : {"C1", "C2", "A3", "C3"}) EXPECT_EQ(At(cell).ToString(), "#N/D") << cell;
}

TEST_F(RangeValue, SingleRowOfTwoDimensionalArrayRepeatsDownTheRows) {
  OleVariant values = VarArrayCreate({0, 0, 0, 1});
  values.PutElement({0, 0}, OleVariant("x"));
  values.PutElement({0, 1}, OleVariant("y"));
  Range("A1", "B3")->SetValue(values);
  EXPECT_EQ(At("A3").ToString(), "x");
  EXPECT_EQ(At("B3").ToString(), "y");
}

TEST_F(RangeValue, OnlyTheMasterOfAMergedAreaTakesAValue) {
  MarkMerged(1, 1, 2, 2);
  Range("B2", "C3")->SetValue(OleVariant("v"));
  EXPECT_EQ(At("B2").ToString(), "v");
  EXPECT_EQ(VarType(At("C3")), varNull);
}

// Growing a range over merged areas, and selecting it.
using RangeExtend = RangeTest;

TEST_F(RangeExtend, TakesInAMergedAreaThatSticksOut) {
  MarkMerged(1, 1, 2, 2);  // B2:C3
  auto range = Range("C3", "D3");
  Impl(range).ExtendRange();
  EXPECT_EQ(Address(range), "B2:D3");
  EXPECT_EQ(Texts(range), "B2|D3");
}

TEST_F(RangeExtend, RepeatsUntilNoAreaSticksOut) {
  MarkMerged(1, 1, 2, 2);  // B2:C3, reached only after taking in C4:E5
  MarkMerged(3, 2, 4, 4);  // C4:E5
  auto range = Range("D5", "D5");
  Impl(range).ExtendRange();
  EXPECT_EQ(Address(range), "C4:E5");
  auto wider = Range("C3", "C4");
  Impl(wider).ExtendRange();
  EXPECT_EQ(Address(wider), "B2:E5");
}

TEST_F(RangeExtend, WithoutMergedAreasOnlyReencodesTheTexts) {
  Range("A1", "D4")->SetValue(1);
  auto range = Range("b2", "c3");
  Impl(range).ExtendRange();
  EXPECT_EQ(Address(range), "B2:C3");
  EXPECT_EQ(Texts(range), "B2|C3");
}

TEST_F(RangeExtend, SelectGrowsTheRangeAndHandsTheSheetAnOwnedCopy) {
  MarkMerged(1, 1, 2, 2);
  auto range = Range("C3", "D3");
  range->Select();
  EXPECT_EQ(Address(range), "B2:D3");
  TXLSRange& selection = sheet.GetSelectionRange();
  EXPECT_NE(&selection, range.get());
  EXPECT_EQ(selection.GetFirstCellText() + "|" + selection.GetLastCellText(), "B2|D3");
  EXPECT_FALSE(selection.IsCounted());
}

TEST_F(RangeExtend, SelectingTheCurrentSelectionReplacesIt) {
  {
    auto current = sheet.GetSelection();
    auto item = current->GetItem(2, 2);
    current->Select();  // the caller still holds the range being replaced
    item->Select();
    EXPECT_EQ(Address(current), "A1:A1");
  }
  TXLSRange& selection = sheet.GetSelectionRange();
  EXPECT_EQ(selection.GetFirstCellText() + "|" + selection.GetLastCellText(), "B2|B2");
}

// Lifetime of counted and owned ranges.
class TProbeRange : public TXLSRange {
 public:
  TProbeRange(TXLSWorksheet& sheet, bool counted, int* destroyed)
      : TXLSRange(sheet, "A1", "B2", counted), destroyed_(destroyed) {}
  ~TProbeRange() override { ++*destroyed_; }

 private:
  int* destroyed_;
};

using RangeLifetime = RangeTest;

TEST_F(RangeLifetime, CountedRangeIsFreedAtItsLastRelease) {
  int destroyed = 0;
  {
    XLSPtr<IXLSRange> first(new TProbeRange(sheet, true, &destroyed));
    XLSPtr<IXLSRange> second = first;
    EXPECT_EQ(Impl(first).GetRefCount(), 2);
    first.reset();
    EXPECT_EQ(destroyed, 0);
    EXPECT_EQ(second->GetCount(), 4);
  }
  EXPECT_EQ(destroyed, 1);
}

TEST_F(RangeLifetime, OwnedRangeSurvivesEveryRelease) {
  int destroyed = 0;
  TProbeRange owned(sheet, false, &destroyed);
  EXPECT_EQ(owned._AddRef(), -1);
  EXPECT_EQ(owned._Release(), -1);
  EXPECT_EQ(owned._Release(), -1);
  EXPECT_EQ(destroyed, 0);

  TProbeRange marked(sheet, true, &destroyed);
  marked.MarkOwned();
  marked._AddRef();
  EXPECT_EQ(marked._Release(), -1);
  EXPECT_EQ(destroyed, 0);
}

TEST_F(RangeLifetime, WorksheetRangesAreNotFreedByReleases) {
  for (int i = 0; i < 3; ++i) {
    auto cells = sheet.GetCells();
    EXPECT_EQ(cells->_AddRef(), -1);
    EXPECT_EQ(cells->_Release(), -1);
    auto selection = sheet.GetSelection();
    EXPECT_EQ(selection->GetCount(), 1);
  }
  EXPECT_EQ(sheet.GetCells()->GetCount(), 65536 * 256);
}

}  // namespace
}  // namespace tabulon
