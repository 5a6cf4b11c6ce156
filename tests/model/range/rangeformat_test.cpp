#include <gtest/gtest.h>

#include <string>

#include "BookTestUtil.h"
#include "RangeFormatTestUtil.h"
#include "XLSConstants.h"
#include "XLSRecordIds.h"

namespace tabulon {
namespace {

using range_test::RangeFixture;

// Reference counts of the formats cells are moved between.
using FormatCounts = RangeFixture;

TEST_F(FormatCounts, OneNewFormatReferencedByEveryCellOfTheBlock) {
  const int32_t before = XF().Count();
  Range("A1", "C3")->GetFont()->SetBold(true);
  ASSERT_EQ(XF().Count(), before + 1);
  const int32_t bold = CellXF("B2");
  EXPECT_EQ(RefCount(bold), 9);
  EXPECT_TRUE(XF().GetFontBold(bold));
  ExpectCountsMatchHolders();
}

TEST_F(FormatCounts, RepeatedFormattingMovesReferencesAndNeverAddsThem) {
  auto range = Range("A1", "C3");
  range->GetFont()->SetBold(true);
  range->GetFont()->SetBold(true);
  const int32_t bold = CellXF("A1");
  EXPECT_EQ(RefCount(bold), 9);
  range->GetFont()->SetItalic(true);
  EXPECT_EQ(RefCount(bold), 0);
  EXPECT_EQ(RefCount(CellXF("C3")), 9);
  // Overlapping ranges: four cells leave the bold italic format.
  Range("B2", "D4")->GetInterior()->SetColorIndex(3);
  EXPECT_EQ(RefCount(CellXF("A1")), 5);
  EXPECT_EQ(RefCount(CellXF("B2")), 4);
  EXPECT_EQ(RefCount(CellXF("D4")), 5);
  ExpectCountsMatchHolders();
}

// Cells showing more distinct formats than the walk's memo holds, mixed
// along the rows: each distinct format is changed once, and every cell keeps
// what it had besides the change.
TEST_F(FormatCounts, BlockOfManyInterleavedFormatsResolvesEachOnce) {
  constexpr int kSizes = 20;
  for (int col = 0; col < kSizes; ++col) {
    const std::string column(1, static_cast<char>('A' + col));
    Range(column + "1", column + "3")->GetFont()->SetSize(8 + col);
  }
  const int32_t before = XF().Count();
  Range("A1", "T3")->GetInterior()->SetColorIndex(6);
  EXPECT_EQ(XF().Count(), before + kSizes);
  for (int col = 0; col < kSizes; ++col) {
    const std::string cell = std::string(1, static_cast<char>('A' + col)) + "2";
    EXPECT_EQ(Range(cell)->GetFont()->GetSize(), 8 + col) << cell;
    EXPECT_EQ(Range(cell)->GetInterior()->GetColorIndex(), 6) << cell;
    EXPECT_EQ(RefCount(CellXF(cell)), 3) << cell;
  }
  ExpectCountsMatchHolders();
}

TEST_F(FormatCounts, FormatsNoCellUsesAnyMoreAreNotSaved) {
  using book_test::BookRecords;
  const auto xfRecords = [this] {
    int count = 0;
    for (const auto& record : BookRecords(book)) count += record.id == xlsrec::kXF;
    return count;
  };
  Range("A1", "B2")->SetValue(OleVariant("x"));
  Range("A1", "B2")->GetFont()->SetBold(true);
  Range("A1", "B2")->GetFont()->SetItalic(true);
  Range("A1", "B2")->SetNumFormat("0.00");
  EXPECT_EQ(xfRecords(), range_test::RangeFixture::kFixedXFs + 1);
  Range("A1", "B2")->Clear();
  EXPECT_EQ(xfRecords(), range_test::RangeFixture::kFixedXFs);
}

TEST_F(FormatCounts, MergedAreaChangesOnlyItsTopLeftCell) {
  Range("B2", "C3")->Merge(OleVariant::Missing());
  Range("A1", "D4")->GetFont()->SetBold(true);
  EXPECT_TRUE(XF().GetFontBold(CellXF("B2")));
  EXPECT_EQ(CellXF("C2"), 0);
  EXPECT_EQ(CellXF("C3"), 0);
  EXPECT_EQ(RefCount(CellXF("A1")), 16 - 3);
  ExpectCountsMatchHolders();
}

// Whole columns and whole rows, with their default formats.
using LineFormatting = RangeFixture;

TEST_F(LineFormatting, ColumnChangesItsDefaultAndStoredCellsButCreatesNone) {
  Range("B2")->SetValue(OleVariant(1));
  Range("B9")->SetValue(OleVariant(2));
  Range("C1")->SetValue(OleVariant(3));
  const uint32_t cells = Heap().GetCellCount();
  auto column = Range("B1")->GetEntireColumn();
  column->GetFont()->SetBold(true);
  column->GetFont()->SetBold(true);
  EXPECT_EQ(Heap().GetCellCount(), cells);
  const int32_t bold = sheet->GetColumnInfo().GetXF(1);
  EXPECT_TRUE(XF().GetFontBold(bold));
  EXPECT_EQ(CellXF("B2"), bold);
  EXPECT_EQ(CellXF("B9"), bold);
  EXPECT_EQ(CellXF("C1"), 0);
  EXPECT_EQ(RefCount(bold), 3);  // the column and its two cells
  EXPECT_TRUE(Range("B100")->GetFont()->GetBold());
  ExpectCountsMatchHolders();
}

TEST_F(LineFormatting, RowFormatShowsAtTheCrossingWithAFormattedColumn) {
  Range("A1")->SetValue(OleVariant(1));
  Range("C5")->SetValue(OleVariant(2));
  Range("B1")->GetEntireColumn()->GetInterior()->SetColorIndex(4);
  Range("D1")->GetEntireColumn()->SetColumnWidth(OleVariant(20.0));  // information, no format
  Range("A3")->GetEntireRow()->GetFont()->SetItalic(true);
  // The row's default carries the change.
  EXPECT_TRUE(XF().GetFontItalic(sheet->GetRowInfo().GetXF(2)));
  // The crossing with column B got a cell with both the fill and the italic.
  ASSERT_NE(Cell("B3"), nullptr);
  EXPECT_TRUE(XF().GetFontItalic(CellXF("B3")));
  EXPECT_EQ(XF().GetInteriorColorIndex(CellXF("B3")), 4 + 7);
  // Column D has no format of its own: the row's format shows there.
  EXPECT_EQ(Cell("D3"), nullptr);
  EXPECT_TRUE(Range("D3")->GetFont()->GetItalic());
  EXPECT_TRUE(Range("Z3")->GetFont()->GetItalic());
  EXPECT_FALSE(Range("B4")->GetFont()->GetItalic());
  ExpectCountsMatchHolders();
}

TEST_F(LineFormatting, RowChangesItsStoredCellsAndKeepsWhatTheyShowed) {
  Range("B1")->GetEntireColumn()->GetFont()->SetBold(true);
  Range("A2", "C2")->SetValue(OleVariant("v"));  // no formats of their own
  Range("A2")->GetEntireRow()->GetFont()->SetItalic(true);
  EXPECT_TRUE(XF().GetFontItalic(CellXF("A2")));
  EXPECT_FALSE(XF().GetFontBold(CellXF("A2")));
  EXPECT_TRUE(XF().GetFontBold(CellXF("B2")));
  EXPECT_TRUE(XF().GetFontItalic(CellXF("B2")));
  ExpectCountsMatchHolders();
}

TEST_F(LineFormatting, ColumnFormattedAfterARowStartsFromTheRowFormat) {
  Range("A2", "C2")->SetValue(OleVariant("v"));
  Range("A2")->GetEntireRow()->GetFont()->SetItalic(true);
  Range("D2")->SetValue(OleVariant("later"));  // stored without a format
  Range("D1")->GetEntireColumn()->GetFont()->SetBold(true);
  EXPECT_TRUE(XF().GetFontBold(CellXF("D2")));
  EXPECT_TRUE(XF().GetFontItalic(CellXF("D2")));
  ExpectCountsMatchHolders();
}

// The companions' constant translations and the getters.
using FontAndFill = RangeFixture;

TEST_F(FontAndFill, GettersReportTheTopLeftCell) {
  Range("A1")->GetFont()->SetBold(true);
  auto range = Range("A1", "B2");
  EXPECT_TRUE(range->GetFont()->GetBold());
  EXPECT_FALSE(Range("B1", "B2")->GetFont()->GetBold());
}

TEST_F(FontAndFill, FontColourIndexesNameThePaletteFromEight) {
  auto font = Range("A1")->GetFont();
  font->SetColorIndex(3);
  EXPECT_EQ(XF().GetFontColorIndex(CellXF("A1")), 10);
  EXPECT_EQ(font->GetColorIndex(), 3);
  EXPECT_EQ(font->GetColor(), book.GetCustomColor(3));
  font->SetColorIndex(0);
  EXPECT_EQ(XF().GetFontColorIndex(CellXF("A1")), 0);
  font->SetColor(book.GetCustomColor(12));
  EXPECT_EQ(font->GetColorIndex(), 12);
}

TEST_F(FontAndFill, FontPropertiesAndUnderlineConstants) {
  auto font = Range("A1")->GetFont();
  font->SetName("Courier New");
  font->SetSize(14.5f);
  font->SetUnderLine(xlUnderlineStyleDoubleAccounting);
  EXPECT_EQ(font->GetName(), "Courier New");
  EXPECT_FLOAT_EQ(font->GetSize(), 14.5f);
  EXPECT_EQ(XF().GetFontUnderLine(CellXF("A1")), 0x22);
  EXPECT_EQ(font->GetUnderLine(), xlUnderlineStyleDoubleAccounting);
  font->SetUnderLine(3);  // not an underline constant
  EXPECT_EQ(font->GetUnderLine(), xlUnderlineStyleDoubleAccounting);
  font->SetUnderLine(xlUnderlineStyleNone);
  EXPECT_EQ(font->GetUnderLine(), xlUnderlineStyleNone);
}

TEST_F(FontAndFill, FillColourConstants) {
  auto interior = Range("A1")->GetInterior();
  interior->SetColorIndex(xlColorIndexAutomatic);
  EXPECT_EQ(XF().GetInteriorColorIndex(CellXF("A1")), 65);
  EXPECT_EQ(interior->GetColorIndex(), xlColorIndexAutomatic);
  const int32_t before = CellXF("A1");
  interior->SetColorIndex(57);
  EXPECT_EQ(CellXF("A1"), before);
  interior->SetColorIndex(5);
  EXPECT_EQ(interior->GetColorIndex(), 5);
  interior->SetColorIndex(xlColorIndexNone);
  EXPECT_EQ(interior->GetColorIndex(), xlColorIndexNone);
  interior->SetPatternColorIndex(xlColorIndexAutomatic);
  EXPECT_EQ(interior->GetPatternColorIndex(), xlColorIndexAutomatic);
}

TEST_F(FontAndFill, PatternConstants) {
  auto interior = Range("A1")->GetInterior();
  interior->SetPattern(xlPatternAutomatic);
  EXPECT_EQ(XF().GetInteriorPattern(CellXF("A1")), 1);
  EXPECT_EQ(interior->GetPattern(), xlPatternSolid);
  interior->SetPattern(xlPatternUp);
  EXPECT_EQ(interior->GetPattern(), xlPatternUp);
  interior->SetPattern(xlPatternGray8);
  EXPECT_EQ(XF().GetInteriorPattern(CellXF("A1")), 18);
  interior->SetPattern(99);
  EXPECT_EQ(XF().GetInteriorPattern(CellXF("A1")), 0);
  EXPECT_EQ(interior->GetPattern(), xlPatternNone);
}

TEST_F(FontAndFill, CompanionOutlivesTheRangeItCameFrom) {
  XLSPtr<IXLSFont> font = Range("C3")->GetFont();  // the range is released here
  font->SetBold(true);
  EXPECT_TRUE(font->GetBold());
  EXPECT_TRUE(XF().GetFontBold(CellXF("C3")));
}

TEST_F(FontAndFill, CompanionOfARangeNobodyHoldsLeavesItToItsOwner) {
  TXLSRange range(*sheet, "B2", "B2");
  range.GetFont()->SetBold(true);
  range.GetInterior()->SetColorIndex(4);
  range.GetBorders()->SetLineStyle(xlContinuous);
  EXPECT_TRUE(range.GetFontBold());
  EXPECT_EQ(range.GetBorderTopLineStyle(), xlContinuous);
}

// Alignment, wrapping and number formats.
using CellLayout = RangeFixture;

TEST_F(CellLayout, HorizontalAlignmentConstants) {
  auto range = Range("A1");
  range->SetHAlign(xlHAlignCenter);
  EXPECT_EQ(XF().GetHorAlign(CellXF("A1")), 2);
  range->SetHAlign(3);  // not a horizontal constant
  EXPECT_EQ(XF().GetHorAlign(CellXF("A1")), 2);
  EXPECT_EQ(range->GetHAlign(), xlHAlignCenter);
  range->SetHAlign(xlHAlignDistributed);
  EXPECT_EQ(range->GetHAlign(), xlHAlignDistributed);
  EXPECT_EQ(Range("B1")->GetHAlign(), xlHAlignGeneral);
}

TEST_F(CellLayout, VerticalAlignmentWrapAndNumberFormat) {
  auto range = Range("A1", "B1");
  range->SetVAlign(xlVAlignTop);
  EXPECT_EQ(range->GetVAlign(), xlVAlignTop);
  range->SetVAlign(xlHAlignLeft);  // ignored
  EXPECT_EQ(range->GetVAlign(), xlVAlignTop);
  EXPECT_EQ(Range("C1")->GetVAlign(), xlVAlignBottom);
  range->SetWrapText(OleVariant(true));
  EXPECT_EQ(range->GetWrapText(), OleVariant(true));
  range->SetNumFormat("dd/mm/yyyy");
  EXPECT_EQ(Range("B1")->GetNumFormat(), "dd/mm/yyyy");
  EXPECT_EQ(range->GetVAlign(), xlVAlignTop);
  ExpectCountsMatchHolders();
}

}  // namespace
}  // namespace tabulon

namespace tabulon {
namespace {

// Cells are locked until unlocked; the XF record carries both bits, which a
// protected sheet honours (locked bit 0, formula hidden bit 1).
TEST_F(FormatCounts, LockedAndFormulaHiddenReachTheXFRecord) {
  EXPECT_TRUE(Range("A1")->GetLocked());
  EXPECT_FALSE(Range("A1")->GetFormulaHidden());
  Range("B2", "C3")->SetLocked(false);
  Range("D4")->SetFormulaHidden(true);
  EXPECT_FALSE(Range("C3")->GetLocked());
  EXPECT_TRUE(Range("D4")->GetLocked());
  EXPECT_TRUE(Range("D4")->GetFormulaHidden());
  Range("B2")->SetValue(1);
  Range("D4")->SetValue(2);
  const auto records = book_test::BookRecords(book);
  std::vector<uint16_t> protection;
  for (const auto& xf : book_test::WithId(records, xlsrec::kXF))
    protection.push_back(xf.Word(4) & 3);
  const auto cells = book_test::WithId(records, xlsrec::kNumber);
  ASSERT_EQ(cells.size(), 2u);
  EXPECT_EQ(protection.at(cells[0].Word(4)), 0);  // B2: unlocked
  EXPECT_EQ(protection.at(cells[1].Word(4)), 3);  // D4: locked, formula hidden
}

}  // namespace
}  // namespace tabulon
