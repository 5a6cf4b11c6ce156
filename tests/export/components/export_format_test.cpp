// The file format the export components save in: BIFF8 keeps a UTF-8 data
// set's texts and the component's own texts whole, and its limits (rows a
// formula reaches, cell text length, sheet name length) are those of BIFF8.
#include <gtest/gtest.h>

#include <string>

#include "Tabulon.h"
#include "ToolRun.h"
#include "XLSDBGrid.h"
#include "XLSWorkbook.h"

namespace tabulon {
namespace {

OleVariant ValueAt(IXLSWorkSheet& sheet, const std::string& cell) {
  return sheet.FGetRange(cell, cell)->GetValue();
}

TXLSWorkbook& Workbook(const TXLSExportComponent& exporter) {
  return static_cast<TXLSWorkbook&>(*exporter.GetWorkbook());
}

// Cyrillic, Greek, CJK and an emoji: no code page holds them all.
const std::string kMixed = "\xD0\x96 \xCE\xA9 \xE4\xB8\xAD \xF0\x9F\x98\x80";

TEST(ExportFormat, Biff8KeepsUtf8TextsAndTakesItsOwnLimits) {
  TCsvDataSet data(nullptr);
  data.SetUtf8Texts(true);
  data.LoadFromText("name,qty\n" + kMixed + ",1\n" + std::string(300, 'x') + ",2\n" +
                        std::string(40000, 'y') + ",3\n",
                    "mem");
  TDataset2Excel exporter(nullptr);
  exporter.FileFormat = xlExcel8;
  exporter.SetDataset(&data);
  exporter.Layout.Title = kMixed;
  exporter.Layout.CenterFooter = kMixed;
  exporter.Totals = true;
  exporter.TotalsLabel = kMixed;
  // 31 characters, 62 bytes of UTF-8.
  std::string longName;
  for (int i = 0; i < 31; ++i) longName += "\xD0\x96";
  exporter.WorksheetName = longName;
  exporter.ExportDataset();

  IXLSWorkSheet& sheet = *exporter.GetWorksheet();
  EXPECT_EQ(sheet.GetWorkSheetName(), longName);
  EXPECT_EQ(ValueAt(sheet, "A1").ToString(), kMixed);
  EXPECT_EQ(ValueAt(sheet, "A3").ToString(), kMixed);
  EXPECT_EQ(ValueAt(sheet, "A6").ToString(), kMixed);
  // Only the text over 32767 characters is reported; nothing is replaced.
  ASSERT_EQ(exporter.GetValueReportCount(), 1);
  EXPECT_EQ(exporter.GetValueReports()[0].Message,
            "text of 40000 characters cut to the 32767 a BIFF8 cell holds");
  EXPECT_EQ(Workbook(exporter).GetFileFormat(), xlExcel8);

  const std::string path = test::ScratchDir() + "/export_format_biff8.xls";
  ASSERT_EQ(exporter.SaveAs(path), 1) << exporter.GetLastError();
  EXPECT_EQ(Workbook(exporter).GetTextLosses().Count, 0u);

  exporter.WorksheetName = longName + "\xD0\x96";
  try {
    exporter.CheckLayout();
    ADD_FAILURE() << "a name of 32 characters was taken";
  } catch (const EXLSExportError& error) {
    EXPECT_NE(std::string(error.what()).find("not allowed in BIFF8: it needs 1 to 31 characters"),
              std::string::npos)
        << error.what();
  }
}

TEST(ExportFormat, Utf8DataSetNeedsBiff8AndAnUnknownFormatIsRefused) {
  TMemoryDataSet data(nullptr);
  data.SetUtf8Texts(true);
  data.AddField("name", ftString, 12);
  TDataset2Excel exporter(nullptr);
  exporter.SetDataset(&data);
  EXPECT_THROW(exporter.ExportDataset(), EXLSExportError);
  exporter.FileFormat = 57;
  EXPECT_THROW(exporter.ExportDataset(), EXLSExportError);
}

// 65,000 records and the header fill rows 1 to 65001 of one sheet, with
// their sum below.
TEST(ExportFormat, Biff8SheetTakes65000RecordsWithFormulaTotals) {
  TMemoryDataSet data(nullptr);
  data.AddField("name", ftString, 8);
  data.AddField("qty", ftInteger);
  for (int32_t i = 1; i <= 65000; ++i) data.AppendRecord({OleVariant("n"), OleVariant(1)});
  TDataset2Excel exporter(nullptr);
  exporter.FileFormat = xlExcel8;
  exporter.SetDataset(&data);
  exporter.Totals = true;
  exporter.ExportDataset();
  EXPECT_EQ(exporter.GetSheetCount(), 1);
  EXPECT_EQ(exporter.GetDetailCount(), 65000);
  IXLSWorkSheet& sheet = *exporter.GetWorksheet();
  EXPECT_EQ(ValueAt(sheet, "B65002").ToDouble(), 65000);
  EXPECT_EQ(sheet.FGetRange("B65002", "B65002")->GetFormula(), "=SUM(B2:B65001)");
}

TEST(ExportFormat, GridExportSavesInItsFileFormat) {
  TMemoryDataSet data(nullptr);
  data.SetUtf8Texts(true);
  data.AddField("name", ftString, 12);
  data.AppendRecord({OleVariant(kMixed)});
  TDataSource source(nullptr);
  source.SetDataSet(&data);
  TDBGrid grid(nullptr);
  grid.SetDataSource(&source);
  grid.AddColumn("name");
  TDBGrid2Excel exporter(nullptr);
  exporter.FileFormat = xlExcel8;
  exporter.SetDBGrid(&grid);
  exporter.ExportDBGrid();
  EXPECT_EQ(Workbook(exporter).GetFileFormat(), xlExcel8);
  EXPECT_EQ(ValueAt(*exporter.GetWorksheet(), "A2").ToString(), kMixed);
  EXPECT_EQ(exporter.GetValueReportCount(), 0);
}

}  // namespace
}  // namespace tabulon
