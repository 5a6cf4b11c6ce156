// The run writers store a column or a row of values in one call, as the
// cells' ranges would, and refuse a run that leaves the sheet.
#include <gtest/gtest.h>

#include <cmath>
#include <string_view>

#include "SheetRecords.h"
#include "XLSRange.h"

namespace tabulon {
namespace {

using testing_records::TBook;

OleVariant ValueAt(TXLSWorksheet& sheet, const std::string& cell) {
  return sheet.FGetRange(cell, cell)->GetValue();
}

TEST(CellRuns, StoreEachTypeDownAndAcrossLeavingMissingValuesEmpty) {
  TBook book;
  TXLSWorksheet& sheet = book.Sheet();
  ASSERT_EQ(sheet.FGetRange("A2", "A2")->SetFormula("=1+1").Code, 1);
  sheet.FGetRange("A4", "A4")->SetValue(OleVariant(7.0));
  sheet.FGetRange("A5", "B5")->Merge(OleVariant(false));

  const double numbers[] = {1.5, 2.5, 3.5, std::nan(""), 9};
  ASSERT_EQ(sheet.SetNumbers(0, 0, numbers, 5, xlRunDown), 1);
  EXPECT_EQ(ValueAt(sheet, "A1").ToDouble(), 1.5);
  EXPECT_EQ(ValueAt(sheet, "A2").ToDouble(), 2.5);
  EXPECT_EQ(sheet.FGetRange("A2", "A2")->GetFormula(), "") << "the formula gives way";
  EXPECT_TRUE(VarIsNull(ValueAt(sheet, "A4"))) << "NaN empties the cell";
  EXPECT_EQ(ValueAt(sheet, "A5").ToDouble(), 9) << "the merged area's top-left cell";

  const double serials[] = {45000.5};
  ASSERT_EQ(sheet.SetDates(0, 1, serials, 1, xlRunRight), 1);
  EXPECT_EQ(ValueAt(sheet, "B1").VarType(), varDate);

  const std::string_view texts[] = {"42", {}, ""};
  ASSERT_EQ(sheet.SetTexts(9, 0, texts, 3, xlRunRight), 1);
  EXPECT_EQ(ValueAt(sheet, "A10").VarType(), varOleStr) << "a number's text stays a text";
  EXPECT_EQ(ValueAt(sheet, "A10").ToString(), "42");
  EXPECT_EQ(sheet.GetCellHeap().GetValue(9, 1), nullptr) << "a missing value creates no cell";
  EXPECT_EQ(ValueAt(sheet, "C10").VarType(), varOleStr);

  const uint8_t booleans[] = {1, 0, 2};
  ASSERT_EQ(sheet.SetBooleans(11, 0, booleans, 3, xlRunDown), 1);
  EXPECT_TRUE(ValueAt(sheet, "A12").ToBool());
  EXPECT_EQ(ValueAt(sheet, "A13").VarType(), varBoolean);
  EXPECT_TRUE(VarIsNull(ValueAt(sheet, "A14")));
}

TEST(CellRuns, RunLeavingTheSheetStoresNothing) {
  TBook book;
  TXLSWorksheet& sheet = book.Sheet();
  const double numbers[] = {1, 2};
  EXPECT_EQ(sheet.SetNumbers(65535, 0, numbers, 2, xlRunDown), -1);
  EXPECT_EQ(sheet.SetNumbers(0, 255, numbers, 2, xlRunRight), -1);
  EXPECT_EQ(sheet.SetNumbers(0, 256, numbers, 1, xlRunDown), -1);
  EXPECT_NE(sheet.GetLastError().find("leaves the sheet"), std::string::npos);
  EXPECT_EQ(sheet.GetCellHeap().GetCellCount(), 0u);
  EXPECT_EQ(sheet.SetNumbers(65534, 254, numbers, 2, xlRunRight), 1);
  EXPECT_EQ(sheet.SetNumbers(65534, 254, numbers, 2, xlRunDown), 1);
}

}  // namespace
}  // namespace tabulon
