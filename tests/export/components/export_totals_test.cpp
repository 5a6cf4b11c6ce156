// The totals row of the export components: where it lands, what it sums,
// how it is formatted, and the sheet limits it meets.
#include <gtest/gtest.h>

#include <string>

#include "Tabulon.h"
#include "XLSDBGrid.h"

namespace tabulon {
namespace {

OleVariant ValueAt(IXLSWorkSheet& sheet, const std::string& cell) {
  return sheet.FGetRange(cell, cell)->GetValue();
}
std::string FormulaAt(IXLSWorkSheet& sheet, const std::string& cell) {
  return sheet.FGetRange(cell, cell)->GetFormula();
}

// name (text), qty (integer), price (currency), day (date), ratio (float).
void Fill(TMemoryDataSet& data, int32_t n) {
  data.AddField("name", ftString, 12);
  data.AddField("qty", ftInteger);
  data.AddField("price", ftCurrency);
  data.AddField("day", ftDate, 10);
  data.AddField("ratio", ftFloat);
  for (int32_t i = 1; i <= n; ++i)
    data.AppendRecord({OleVariant("item" + std::to_string(i)), OleVariant(i * 10),
                       OleVariant(i * 1.25), OleVariant::Date(45352 + i), OleVariant(0.5)});
}

TEST(ExportTotals, DatasetTotalsSumNumericFieldsUnderTheRecords) {
  TMemoryDataSet data(nullptr);
  Fill(data, 3);
  TDataset2Excel exporter(nullptr);
  exporter.SetDataset(&data);
  exporter.StartRow = 1;
  exporter.StartCol = 1;
  exporter.HeaderColor = clYellow;
  exporter.Totals = true;
  exporter.TotalsLabel = "Sum";
  exporter.ExportDataset();
  IXLSWorkSheet& sheet = *exporter.GetWorksheet();
  // Header in row 2, records in rows 3 to 5, totals in row 6.
  EXPECT_EQ(ValueAt(sheet, "B6").ToString(), "Sum");
  EXPECT_EQ(FormulaAt(sheet, "C6"), "=SUM(C3:C5)");
  EXPECT_EQ(ValueAt(sheet, "C6").ToDouble(), 60);
  EXPECT_EQ(FormulaAt(sheet, "D6"), "=SUM(D3:D5)");
  EXPECT_DOUBLE_EQ(ValueAt(sheet, "D6").ToDouble(), 7.5);
  EXPECT_EQ(sheet.FGetRange("D6", "D6")->GetNumFormat(), "#,##0.00");
  EXPECT_EQ(FormulaAt(sheet, "E6"), "");  // dates are not summed
  EXPECT_EQ(FormulaAt(sheet, "F6"), "=SUM(F3:F5)");
  // Formatted like the header.
  for (const char* cell : {"B6", "C6", "E6"}) {
    EXPECT_TRUE(sheet.FGetRange(cell, cell)->GetFont()->GetBold()) << cell;
    EXPECT_EQ(sheet.FGetRange(cell, cell)->GetInterior()->GetColor(),
              sheet.FGetRange("B2", "B2")->GetInterior()->GetColor())
        << cell;
  }
  // The totals follow a record changed after the export.
  sheet.FGetRange("C3", "C3")->SetValue(OleVariant(1000));
  EXPECT_EQ(ValueAt(sheet, "C6").ToDouble(), 1050);
}

TEST(ExportTotals, NoRecordsGiveZeroAndAFullSheetContinuesOnTheNext) {
  TMemoryDataSet data(nullptr);
  Fill(data, 0);
  TDataset2Excel exporter(nullptr);
  exporter.SetDataset(&data);
  exporter.Totals = true;
  exporter.ExportDataset();
  EXPECT_EQ(ValueAt(*exporter.GetWorksheet(), "A2").ToString(), "Total");
  EXPECT_EQ(ValueAt(*exporter.GetWorksheet(), "B2").ToDouble(), 0);

  TMemoryDataSet few(nullptr);
  Fill(few, 2);
  TDataset2Excel low(nullptr);
  low.SetDataset(&few);
  low.StartRow = XLSMaxRow - 2;  // the records would fill the sheet's last two rows
  low.Totals = true;
  // The totals row keeps the sheet's last row: the second record goes on.
  low.ExportDataset();
  EXPECT_EQ(low.GetSheetCount(), 2);
  EXPECT_EQ(ValueAt(*low.GetWorksheet(), "A65536").ToString(), "Total");
}

TEST(ExportTotals, RowsPastTheFormulaLimitAreSummedAsValues) {
  TMemoryDataSet data(nullptr);
  Fill(data, 3);
  TDataset2Excel exporter(nullptr);
  exporter.SetDataset(&data);
  exporter.StartRow = 16383;  // records in rows 16385 to 16387
  exporter.Totals = true;
  exporter.ExportDataset();
  IXLSWorkSheet& sheet = *exporter.GetWorksheet();
  EXPECT_EQ(FormulaAt(sheet, "B16388"), "");
  EXPECT_EQ(ValueAt(sheet, "B16388").ToDouble(), 60);
}

// Sheet 1 holds records 1 and 2 above its totals; each continuation sheet
// keeps a row for the grand total: one record each, the last sheet adding
// up the four totals rows below its own, as formulas, or as values where
// BIFF5 formulas cannot address the totals cells.
TEST(ExportTotals, GrandTotalAddsUpTheTotalsRowsOfEverySheet) {
  TMemoryDataSet data(nullptr);
  Fill(data, 5);
  data.GetField(1).SetDisplayFormat("0000");
  TDataset2Excel exporter(nullptr);
  exporter.SetDataset(&data);
  exporter.Totals = true;
  exporter.GrandTotalLabel = "All";
  exporter.Layout.RowsPerSheet = 4;
  exporter.Layout.FloatFormat = "0.000";
  exporter.ExportDataset();
  ASSERT_EQ(exporter.GetSheetCount(), 4);
  IXLSWorkSheet& last = *exporter.GetWorksheet();
  EXPECT_EQ(ValueAt(last, "A3").ToString(), "Total");
  EXPECT_EQ(ValueAt(last, "A4").ToString(), "All");
  EXPECT_EQ(FormulaAt(last, "B4"), "=Sheet1!B4+'Sheet1 (2)'!B3+'Sheet1 (3)'!B3+B3");
  EXPECT_EQ(ValueAt(last, "B4").ToDouble(), 150);
  EXPECT_EQ(last.FGetRange("B4", "B4")->GetNumFormat(), "0000");
  EXPECT_EQ(last.FGetRange("E4", "E4")->GetNumFormat(), "0.000");
  EXPECT_EQ(FormulaAt(last, "D4"), "");  // dates are not summed
  EXPECT_EQ(ValueAt(*exporter.GetWorkbook()->GetWorksheets()->Get(1), "A4").ToString(), "Total");

  TMemoryDataSet far(nullptr);
  Fill(far, 5);
  TDataset2Excel low(nullptr);
  low.SetDataset(&far);
  low.Totals = true;
  low.StartRow = 16383;  // the first totals row is row 16388
  low.Layout.RowsPerSheet = 16388;
  low.ExportDataset();
  ASSERT_EQ(low.GetSheetCount(), 2);
  EXPECT_EQ(FormulaAt(*low.GetWorksheet(), "B16388"), "");
  EXPECT_EQ(ValueAt(*low.GetWorksheet(), "B16388").ToDouble(), 150);
}

TEST(ExportTotals, GridTotalsFollowTheVisibleColumns) {
  TMemoryDataSet data(nullptr);
  Fill(data, 2);
  TDataSource source(nullptr);
  source.SetDataSet(&data);
  TDBGrid grid(nullptr);
  grid.SetDataSource(&source);
  grid.AddColumn("name");
  grid.AddColumn("qty").Visible = false;
  grid.AddColumn("price");
  TDBGrid2Excel exporter(nullptr);
  exporter.SetDBGrid(&grid);
  exporter.Totals = true;
  exporter.ExportDBGrid();
  IXLSWorkSheet& sheet = *exporter.GetWorksheet();
  EXPECT_EQ(ValueAt(sheet, "A4").ToString(), "Total");
  EXPECT_EQ(FormulaAt(sheet, "B4"), "=SUM(B2:B3)");
  EXPECT_DOUBLE_EQ(ValueAt(sheet, "B4").ToDouble(), 3.75);
}

}  // namespace
}  // namespace tabulon
