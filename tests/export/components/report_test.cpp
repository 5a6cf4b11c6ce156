// The report layout of the exports: title lines, the frozen and repeated
// header, fitted column widths (and how long a value is shown), the page
// setup, and records that continue on new sheets, with the callbacks each
// sheet's block receives.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Tabulon.h"
#include "XLSCellRef.h"
#include "XLSColumnFit.h"
#include "XLSDBGrid.h"
#include "XLSPanes.h"
#include "XLSProtect.h"
#include "XLSWorksheet.h"

namespace tabulon {
namespace {

std::string Area(IXLSRange& range) {
  return EncodeCellRange(range.GetFirstRow(), range.GetFirstCol(), range.GetLastRow(),
                         range.GetLastCol());
}

XLSPtr<IXLSRange> At(IXLSWorkSheet& sheet, const std::string& cell) {
  return sheet.FGetRange(cell, cell);
}

std::string TextAt(IXLSWorkSheet& sheet, const std::string& cell) {
  return At(sheet, cell)->GetValue().ToString();
}

double WidthAt(IXLSWorkSheet& sheet, const std::string& cell) {
  return At(sheet, cell)->GetColumnWidth().ToDouble();
}

// Fields name (text), amount (currency), day (date); records item1, item2, ...
void Fill(TMemoryDataSet& data, int32_t n) {
  data.AddField("name", ftString, 30);
  data.AddField("amount", ftCurrency);
  data.AddField("day", ftDate);
  for (int32_t i = 1; i <= n; ++i)
    data.AppendRecord({OleVariant("item" + std::to_string(i)), OleVariant::Currency(1234567.5),
                       OleVariant::Date(45352 + i)});
}

class ReportLayout : public ::testing::Test {
 protected:
  ReportLayout() : data(nullptr), exporter(nullptr) { exporter.SetDataset(&data); }
  XLSPtr<IXLSWorkSheet> SheetAt(int32_t index) {
    return exporter.GetWorkbook()->GetWorksheets()->Get(index);
  }

  TMemoryDataSet data;
  TDataset2Excel exporter;
};

TEST_F(ReportLayout, TitleFrozenRepeatedHeaderFittedColumnsAndPageSetup) {
  Fill(data, 2);
  exporter.StartCol = 1;
  exporter.Layout.Title = "Orders";
  exporter.Layout.Subtitle = "March";
  exporter.Layout.Orientation = xlLandscape;
  exporter.Layout.PaperSize = xlPaperA4;
  exporter.Layout.FitToPagesWide = 1;
  exporter.Layout.LeftMargin = 0.4;
  exporter.Layout.CenterFooter = "Page &P of &N";
  std::string header;
  exporter.AfterHeader = [&](TDataset2Excel&, IXLSRange& range) { header = Area(range); };
  exporter.ExportDataset();
  IXLSWorkSheet& sheet = *exporter.GetWorksheet();
  EXPECT_EQ(TextAt(sheet, "B1"), "Orders");
  EXPECT_EQ(At(sheet, "B1")->GetFont()->GetSize(), 14);
  EXPECT_TRUE(At(sheet, "B1")->GetFont()->GetBold());
  EXPECT_EQ(TextAt(sheet, "B2"), "March");
  EXPECT_EQ(At(sheet, "B2")->GetFont()->GetSize(), 11);
  EXPECT_EQ(header, "B3:D3");
  EXPECT_EQ(TextAt(sheet, "B4"), "item1");

  const TXLSPanes* panes = static_cast<TXLSWorksheet&>(sheet).GetPanes();
  ASSERT_NE(panes, nullptr);
  EXPECT_TRUE(panes->IsFrozen());
  EXPECT_EQ(panes->GetY(), 3) << "title, subtitle and header stay in view";
  EXPECT_EQ(panes->GetX(), 0);

  XLSPtr<IXLSPageSetup> page = sheet.GetPageSetup();
  EXPECT_EQ(page->GetPrintTitleRows(), "$3:$3");
  EXPECT_EQ(page->GetOrientation(), xlLandscape);
  EXPECT_EQ(page->GetPaperSize(), xlPaperA4);
  EXPECT_EQ(page->GetFitToPagesWide().ToInt(), 1);
  EXPECT_EQ(page->GetFitToPagesTall().VarType(), varBoolean) << "as many pages tall as needed";
  EXPECT_EQ(page->GetLeftMargin(), 0.4);
  EXPECT_EQ(page->GetCenterFooter(), "Page &P of &N");

  // name: "item1" (5) beside the bold header "name" (4.4); amount: "1,234,567.50"
  // (12); day: "dd.mm.yyyy" (10); each with two characters of padding. The
  // display width 30 of name gives way to the fitted width.
  EXPECT_EQ(WidthAt(sheet, "B1"), 7);
  EXPECT_EQ(WidthAt(sheet, "C1"), 14);
  EXPECT_EQ(WidthAt(sheet, "D1"), 12);
  EXPECT_EQ(At(sheet, "B4")->GetRowHeight(), At(sheet, "B9")->GetRowHeight())
      << "detail rows keep the default height";
}

TEST_F(ReportLayout, OptionsTurnFreezingRepeatingAndFittingOff) {
  Fill(data, 1);
  exporter.Layout.FreezeHeader = false;
  exporter.Layout.RepeatHeader = false;
  exporter.Layout.FitColumns = false;
  exporter.ExportDataset();
  IXLSWorkSheet& sheet = *exporter.GetWorksheet();
  EXPECT_EQ(static_cast<TXLSWorksheet&>(sheet).GetPanes(), nullptr);
  EXPECT_EQ(sheet.GetPageSetup()->GetPrintTitleRows(), "");
  EXPECT_EQ(WidthAt(sheet, "A1"), 30) << "the field's display width";
  EXPECT_EQ(WidthAt(sheet, "B1"), WidthAt(sheet, "Z1")) << "no display width: left alone";
}

TEST_F(ReportLayout, RecordsContinueOnNewSheetsEachWithTitleHeaderAndBlockCallbacks) {
  Fill(data, 5);
  data.First();
  data.Next();
  exporter.WorksheetName = "Orders";
  exporter.Layout.Title = "T";
  exporter.Layout.RowsPerSheet = 4;  // title, header, two records
  std::vector<std::string> calls;
  exporter.AfterHeader = [&](TDataset2Excel& sender, IXLSRange& range) {
    calls.push_back("h " + sender.GetWorksheet()->GetWorkSheetName() + " " + Area(range));
  };
  exporter.AfterDetailRow = [&](TDataset2Excel&, IXLSRange& range, int32_t count) {
    calls.push_back("r " + Area(range) + " " + std::to_string(count));
  };
  exporter.AfterDetail = [&](TDataset2Excel&, IXLSRange& range) {
    calls.push_back("d " + Area(range));
  };
  exporter.AfterExport = [&](TDataset2Excel&, IXLSRange& range) {
    calls.push_back("e " + Area(range));
  };
  exporter.ExportDataset();
  EXPECT_EQ(calls,
            (std::vector<std::string>{"h Orders A2:C2", "r A3:C3 1", "r A4:C4 2", "d A3:C4",
                                      "h Orders (2) A2:C2", "r A3:C3 3", "r A4:C4 4", "d A3:C4",
                                      "h Orders (3) A2:C2", "r A3:C3 5", "d A3:C3", "e A2:C3"}));
  EXPECT_EQ(exporter.GetSheetCount(), 3);
  EXPECT_EQ(exporter.GetMostSheetRows(), 4);
  EXPECT_EQ(exporter.GetDetailCount(), 5);
  EXPECT_EQ(exporter.GetWorkbook()->GetWorksheets()->GetCount(), 3);
  XLSPtr<IXLSWorkSheet> third = SheetAt(3);
  EXPECT_EQ(third.get(), exporter.GetWorksheet());
  EXPECT_EQ(TextAt(*third, "A1"), "T");
  EXPECT_EQ(TextAt(*third, "A2"), "name");
  EXPECT_EQ(TextAt(*third, "A3"), "item5");
  EXPECT_EQ(third->GetPageSetup()->GetPrintTitleRows(), "$2:$2");
  EXPECT_EQ(TextAt(*SheetAt(2), "A4"), "item4");
  EXPECT_EQ(data.GetRecNo(), 2) << "the data set returns to its record";
  EXPECT_FALSE(data.ControlsDisabled());
}

TEST_F(ReportLayout, AFullSheetAtTheEndStartsNoEmptyOne) {
  Fill(data, 4);
  exporter.Layout.RowsPerSheet = 3;
  exporter.ExportDataset();
  EXPECT_EQ(exporter.GetSheetCount(), 2);
  EXPECT_EQ(TextAt(*SheetAt(2), "A3"), "item4");
}

TEST_F(ReportLayout, LongSheetNamesAreCutToMakeRoomForTheNumber) {
  Fill(data, 10);
  exporter.WorksheetName = std::string(31, 'N');
  exporter.Layout.RowsPerSheet = 2;
  exporter.ExportDataset();
  EXPECT_EQ(SheetAt(2)->GetWorkSheetName(), std::string(27, 'N') + " (2)");
  EXPECT_EQ(SheetAt(10)->GetWorkSheetName(), std::string(26, 'N') + " (10)");
}

TEST_F(ReportLayout, ASheetWithoutRoomBelowItsHeaderIsRefused) {
  Fill(data, 1);
  exporter.StartRow = 1;
  exporter.Layout.RowsPerSheet = 2;
  EXPECT_THROW(exporter.ExportDataset(), EXLSExportError);
  EXPECT_FALSE(data.ControlsDisabled());
  // The last row of a sheet: the header fits, a record never does.
  exporter.Layout.RowsPerSheet = 0;
  exporter.StartRow = XLSMaxRow;
  EXPECT_THROW(exporter.ExportDataset(), EXLSExportError);
  // A title pushes the header off the sheet: refused before anything wraps.
  exporter.Layout.Title = "T";
  try {
    exporter.ExportDataset();
    ADD_FAILURE() << "a header below the sheet was written";
  } catch (const EXLSExportError& error) {
    EXPECT_EQ(std::string(error.what()),
              "the header in row 65537 lies below the 65536 rows a sheet may use");
  }
}

TEST_F(ReportLayout, GridRecordsContinueAndItsColumnsAreFitted) {
  Fill(data, 3);
  TDataSource source(nullptr);
  source.SetDataSet(&data);
  TDBGrid grid(nullptr);
  grid.SetDataSource(&source);
  grid.AddColumn("name").Title.Caption = "Name of the item";
  grid.AddColumn("day");
  TDBGrid2Excel gridExport(nullptr);
  gridExport.SetDBGrid(&grid);
  gridExport.Layout.RowsPerSheet = 3;
  gridExport.ExportDBGrid();
  EXPECT_EQ(gridExport.GetSheetCount(), 2);
  IXLSWorkSheet& second = *gridExport.GetWorksheet();
  EXPECT_EQ(second.GetWorkSheetName(), "Sheet1 (2)");
  EXPECT_EQ(TextAt(second, "A1"), "Name of the item");
  EXPECT_EQ(TextAt(second, "A2"), "item3");
  EXPECT_EQ(WidthAt(second, "A1"), 18) << "the 16 characters of the title";
  EXPECT_EQ(WidthAt(second, "B1"), 12);
}

// The component's own texts are UTF-8 in the workbook's code page (here
// 1251), converted once an export though every sheet shows them; what they
// lose is reported with record 0 and the text's name.
TEST_F(ReportLayout, OwnTextsAreConvertedToTheCodePageAndTheirLossesReported) {
  ASSERT_TRUE(data.SetCodePage(1251));
  Fill(data, 2);
  exporter.Totals = true;
  exporter.TotalsLabel = "Итого";
  exporter.Layout.Title = "Отчёт – Müller";  // no ü in code page 1251
  exporter.Layout.Subtitle = std::string(300, 'x');
  exporter.Layout.CenterHeader = "Страница &P";
  exporter.Layout.RightFooter = "ok \xFF";  // not UTF-8
  exporter.Layout.RowsPerSheet = 5;         // title, subtitle, header, record, totals
  exporter.ExportDataset();
  ASSERT_EQ(exporter.GetSheetCount(), 2);
  for (int32_t i = 1; i <= 2; ++i) {
    IXLSWorkSheet& sheet = *SheetAt(i);
    EXPECT_EQ(TextAt(sheet, "A1"), "\xCE\xF2\xF7\xB8\xF2 \x96 M?ller");
    EXPECT_EQ(TextAt(sheet, "A5"), "\xC8\xF2\xEE\xE3\xEE");
    EXPECT_EQ(sheet.GetPageSetup()->GetCenterHeader(), "\xD1\xF2\xF0\xE0\xED\xE8\xF6\xE0 &P");
    EXPECT_EQ(sheet.GetPageSetup()->GetRightFooter(), "ok ?");
  }
  std::vector<std::string> reports;
  for (const TXLSValueReport& report : exporter.GetValueReports())
    reports.push_back(std::to_string(report.RecNo) + " " + report.FieldName + " " +
                      std::to_string(report.Change) + ": " + report.Message);
  EXPECT_EQ(reports,
            (std::vector<std::string>{
                "0 Title 3: character U+00FC has no form in code page 1251 (Cyrillic); written "
                "as '?'",
                "0 Subtitle 0: text of 300 characters cut to the 255 a BIFF5 cell holds",
                "0 RightFooter 3: text is not valid UTF-8; the rest of it is written as '?'"}));
}

// A sum wider than the values it adds up widens its column; the title,
// merged across the columns, widens none.
TEST_F(ReportLayout, FittedWidthsCountTheTotalsRowButNotTheTitle) {
  Fill(data, 2);
  exporter.Totals = true;
  exporter.TotalsLabel = "Total of all items";
  exporter.Layout.Title = "Orders of the whole year 2024, every item of every customer";
  exporter.ExportDataset();
  IXLSWorkSheet& sheet = *exporter.GetWorksheet();
  // The bold label of 18 characters (19.8); "2,469,135.00" in bold (13.2)
  // beside the details' "1,234,567.50" (12); the dates' "dd.mm.yyyy" (10).
  EXPECT_EQ(WidthAt(sheet, "A1"), 22);
  EXPECT_EQ(WidthAt(sheet, "B1"), 16);
  EXPECT_EQ(WidthAt(sheet, "C1"), 12);
}

TEST(ColumnFit, ShownLengthFollowsTheNumberFormat) {
  EXPECT_EQ(TXLSColumnFit::ShownLength(OleVariant("short\na longer line"), nullptr), 13)
      << "the longest line";
  EXPECT_EQ(TXLSColumnFit::ShownLength(OleVariant(100001), nullptr), 6);
  EXPECT_EQ(TXLSColumnFit::ShownLength(OleVariant(2.5), nullptr), 3);
  EXPECT_EQ(TXLSColumnFit::ShownLength(OleVariant(0.1 + 0.2), nullptr), 11)
      << "General shows at most 11 characters";
  EXPECT_EQ(TXLSColumnFit::ShownLength(OleVariant::Currency(-1234.5), "#,##0.00"), 9)
      << "-1,234.50";
  EXPECT_EQ(TXLSColumnFit::ShownLength(OleVariant(999.99), "#,##0.00"), 6);
  EXPECT_EQ(TXLSColumnFit::ShownLength(OleVariant::Date(45352.5), "dd.mm.yyyy hh:mm:ss"), 19);
  EXPECT_EQ(TXLSColumnFit::ShownLength(OleVariant::Null(), "dd.mm.yyyy"), 0);
  EXPECT_EQ(TXLSColumnFit::ShownLength(OleVariant(true), nullptr), 4) << "TRUE";
  EXPECT_EQ(TXLSColumnFit::ShownLength(OleVariant(false), nullptr), 5) << "FALSE";

  TXLSColumnFit fit;
  fit.Reset(2);
  fit.NoteText(0, "abcd", TFont("Arial", 20, fsBold));
  fit.NoteValue(0, OleVariant(7), nullptr, TFont("Arial", 10));
  fit.NoteText(5, "outside the block", TFont());
  EXPECT_EQ(fit.Width(0, 60), 11) << "4 characters at twice the size, bold: 8.8, rounded up, +2";
  EXPECT_EQ(fit.Width(0, 6), 6) << "capped";
  EXPECT_EQ(fit.Width(1, 60), 0) << "nothing noted";
}

}  // namespace
}  // namespace tabulon
