// The data-set and grid exports: where headers and values land, the ranges
// the callbacks receive, repeated exports and saves, hidden grid columns and
// columns without a field, and the data set's state after an export, also
// one interrupted by an error.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Tabulon.h"
#include "ToolRun.h"
#include "XLSCellRef.h"
#include "XLSDBGrid.h"

namespace tabulon {
namespace {

// "A1:C4" of a range, corners in order.
std::string Area(IXLSRange& range) {
  return EncodeCellRange(range.GetFirstRow(), range.GetFirstCol(), range.GetLastRow(),
                         range.GetLastCol());
}

OleVariant ValueAt(IXLSWorkSheet& sheet, const std::string& cell) {
  return sheet.FGetRange(cell, cell)->GetValue();
}

// Fields name (text), qty (integer), day (date); n records.
void Fill(TMemoryDataSet& data, int32_t n) {
  data.AddField("name", ftString, 12);
  data.AddField("qty", ftInteger);
  data.AddField("day", ftDate, 10);
  for (int32_t i = 1; i <= n; ++i)
    data.AppendRecord(
        {OleVariant("item" + std::to_string(i)), OleVariant(i * 10), OleVariant::Date(45352 + i)});
}

class DatasetExport : public ::testing::Test {
 protected:
  DatasetExport() : data(nullptr), exporter(nullptr) { exporter.SetDataset(&data); }
  IXLSWorkSheet& Sheet() { return *exporter.GetWorksheet(); }

  TMemoryDataSet data;
  TDataset2Excel exporter;
};

TEST_F(DatasetExport, HeaderAndValuesAtStartRowAndColumn) {
  Fill(data, 2);
  exporter.StartRow = 2;
  exporter.StartCol = 1;
  exporter.ExportDataset();
  EXPECT_EQ(ValueAt(Sheet(), "B3").ToString(), "name");
  EXPECT_EQ(ValueAt(Sheet(), "D3").ToString(), "day");
  EXPECT_EQ(ValueAt(Sheet(), "B4").ToString(), "item1");
  EXPECT_EQ(ValueAt(Sheet(), "C5").ToInt(), 20);
  EXPECT_EQ(ValueAt(Sheet(), "D5").ToDouble(), 45354);
  EXPECT_TRUE(VarIsEmpty(ValueAt(Sheet(), "A4")) || VarIsNull(ValueAt(Sheet(), "A4")));
  EXPECT_EQ(exporter.WorksheetName, "Sheet1");
  EXPECT_EQ(Sheet().GetWorkSheetName(), "Sheet1");
}

TEST_F(DatasetExport, BooleansArriveAsBooleanCells) {
  data.AddField("paid", ftBoolean);
  data.AppendRecord({OleVariant(true)});
  data.AppendRecord({OleVariant(false)});
  data.AppendRecord({OleVariant::Null()});
  exporter.ExportDataset();
  EXPECT_EQ(ValueAt(Sheet(), "A2"), OleVariant(true));
  EXPECT_EQ(ValueAt(Sheet(), "A2").VarType(), varBoolean);
  EXPECT_EQ(ValueAt(Sheet(), "A3"), OleVariant(false));
  EXPECT_EQ(ValueAt(Sheet(), "A3").VarType(), varBoolean);
  EXPECT_TRUE(VarIsNull(ValueAt(Sheet(), "A4")));
}

TEST_F(DatasetExport, CallbacksReceiveTheirCellsAndBlocks) {
  Fill(data, 2);
  exporter.StartRow = 1;
  exporter.StartCol = 2;
  std::vector<std::string> calls;
  exporter.AfterHeaderCell = [&](TDataset2Excel& sender, IXLSRange& cell, int32_t i, TField& f) {
    EXPECT_EQ(&sender, &exporter);
    calls.push_back("hc " + Area(cell) + " " + std::to_string(i) + " " + f.GetFieldName());
  };
  exporter.AfterHeader = [&](TDataset2Excel&, IXLSRange& range) {
    calls.push_back("h " + Area(range));
  };
  exporter.AfterDetailCell = [&](TDataset2Excel&, IXLSRange& cell, int32_t row, int32_t i,
                                 TField& f) {
    if (i == 1)
      calls.push_back("dc " + Area(cell) + " " + std::to_string(row) + " " +
                      f.GetValue().ToString());
  };
  exporter.AfterDetailRow = [&](TDataset2Excel&, IXLSRange& range, int32_t row) {
    calls.push_back("dr " + Area(range) + " " + std::to_string(row));
  };
  exporter.AfterDetail = [&](TDataset2Excel&, IXLSRange& range) {
    calls.push_back("d " + Area(range));
  };
  exporter.AfterExport = [&](TDataset2Excel&, IXLSRange& range) {
    calls.push_back("e " + Area(range));
  };
  exporter.ExportDataset();
  EXPECT_EQ(calls, (std::vector<std::string>{"hc C2:C2 0 name", "hc D2:D2 1 qty", "hc E2:E2 2 day",
                                             "h C2:E2", "dc D3:D3 1 10", "dr C3:E3 1",
                                             "dc D4:D4 2 20", "dr C4:E4 2", "d C3:E4", "e C2:E4"}));
}

TEST_F(DatasetExport, EmptyDataSetWritesTheHeaderAlone) {
  Fill(data, 0);
  std::string detail, all;
  int32_t rows = 0;
  exporter.AfterDetailRow = [&](TDataset2Excel&, IXLSRange&, int32_t) { ++rows; };
  exporter.AfterDetail = [&](TDataset2Excel&, IXLSRange& range) { detail = Area(range); };
  exporter.AfterExport = [&](TDataset2Excel&, IXLSRange& range) { all = Area(range); };
  exporter.ExportDataset();
  EXPECT_EQ(rows, 0);
  EXPECT_EQ(detail, "") << "no records: no detail block";
  EXPECT_EQ(all, "A1:C1");
  EXPECT_EQ(ValueAt(Sheet(), "C1").ToString(), "day");
  EXPECT_EQ(exporter.GetDetailCount(), 0);
}

TEST_F(DatasetExport, TwoExportsGiveTwoSheetsAndTheSecondKeepsItsGeneratedName) {
  Fill(data, 1);
  exporter.WorksheetName = "Orders";
  exporter.ExportDataset();
  IXLSWorkBook* book = exporter.GetWorkbook();
  exporter.ExportDataset();
  EXPECT_EQ(exporter.GetWorkbook(), book);
  ASSERT_EQ(book->GetWorksheets()->GetCount(), 2);
  EXPECT_EQ(book->GetWorksheets()->Get(1)->GetWorkSheetName(), "Orders");
  EXPECT_EQ(book->GetWorksheets()->Get(2)->GetWorkSheetName(), "Sheet2");
  EXPECT_EQ(ValueAt(*book->GetWorksheets()->Get(2), "A2").ToString(), "item1");
}

TEST_F(DatasetExport, SheetNameNoSheetMayHaveIsRefused) {
  Fill(data, 1);
  for (const std::string& name : {std::string("bad/name"), std::string(51, 'n')}) {
    exporter.WorksheetName = name;
    try {
      exporter.ExportDataset();
      ADD_FAILURE() << name << " was taken";
    } catch (const EXLSExportError& error) {
      EXPECT_NE(std::string(error.what()).find("'" + name + "'"), std::string::npos);
    }
  }
}

TEST_F(DatasetExport, SaveDatasetAsTwiceWritesTwoIndependentFiles) {
  Fill(data, 2);
  const std::string first = test::ScratchDir() + "/export_first.xls";
  const std::string second = test::ScratchDir() + "/export_second.xls";
  EXPECT_EQ(exporter.SaveAs(first), 0) << "nothing exported, nothing written";
  EXPECT_EQ(exporter.SaveDatasetAs(first), 1);
  EXPECT_EQ(exporter.GetWorkbook(), nullptr);
  EXPECT_EQ(exporter.SaveDatasetAs(second), 1);
  for (const std::string& path : {first, second}) {
    const std::string dump = test::DumpXls(path);
    EXPECT_TRUE(test::Contains(dump, "sheet Sheet1 ")) << dump;
    EXPECT_FALSE(test::Contains(dump, "sheet Sheet2")) << dump;
    EXPECT_TRUE(test::Contains(dump, "A3 text item2")) << dump;
  }
}

TEST_F(DatasetExport, UnwritableFileIsReported) {
  Fill(data, 1);
  EXPECT_EQ(exporter.SaveDatasetAs(test::ScratchDir() + "/no/such/dir/out.xls"), -1);
  EXPECT_TRUE(test::Contains(exporter.GetLastError(), "no/such/dir")) << exporter.GetLastError();
}

TEST_F(DatasetExport, DataSetReturnsToItsRecordWithControlsEnabled) {
  Fill(data, 3);
  data.First();
  data.Next();
  bool disabledDuring = false;
  exporter.AfterDetailRow = [&](TDataset2Excel&, IXLSRange&, int32_t) {
    disabledDuring = data.ControlsDisabled();
  };
  exporter.ExportDataset();
  EXPECT_TRUE(disabledDuring);
  EXPECT_EQ(data.GetRecNo(), 2);
  EXPECT_FALSE(data.ControlsDisabled());
}

TEST_F(DatasetExport, ErrorInTheMiddleLeavesTheDataSetAsItWas) {
  Fill(data, 3);
  data.First();
  exporter.AfterDetailRow = [&](TDataset2Excel&, IXLSRange&, int32_t row) {
    if (row == 2) throw std::runtime_error("stop");
  };
  EXPECT_THROW(exporter.ExportDataset(), std::runtime_error);
  EXPECT_EQ(data.GetRecNo(), 1);
  EXPECT_FALSE(data.ControlsDisabled());
}

TEST_F(DatasetExport, RecordsBelowTheLastRowContinueOnANewSheetNotWrapped) {
  Fill(data, 2);
  exporter.StartRow = XLSMaxRow - 1;
  exporter.ExportDataset();
  EXPECT_EQ(Sheet().GetWorkSheetName(), "Sheet1 (2)");
  EXPECT_EQ(ValueAt(Sheet(), "A65535").ToString(), "name");
  EXPECT_EQ(ValueAt(Sheet(), "A65536").ToString(), "item2");
  EXPECT_TRUE(VarIsEmpty(ValueAt(Sheet(), "A1")) || VarIsNull(ValueAt(Sheet(), "A1")));
  EXPECT_FALSE(data.ControlsDisabled());
}

TEST_F(DatasetExport, FieldsBeyondTheLastColumnAreRefused) {
  Fill(data, 1);
  exporter.StartCol = XLSMaxCol - 1;
  EXPECT_THROW(exporter.ExportDataset(), EXLSExportError);
  exporter.StartCol = XLSMaxCol - 2;
  exporter.ExportDataset();
  EXPECT_EQ(ValueAt(Sheet(), "IV1").ToString(), "day");
}

TEST_F(DatasetExport, SqliteRecordsExportWithTheirTypes) {
  TSqliteDataSet sqlite(nullptr);
  const std::string db = test::ScratchDir() + "/export_sqlite.db";
  std::remove(db.c_str());
  test::Run(
      {"sqlite3", db,
       "CREATE TABLE t (d DATETIME, c CURRENCY, s TEXT);"
       "INSERT INTO t VALUES ('2024-03-01 00:00:01', 12.5, 'Caf\xC3\xA9'), (NULL, NULL, NULL);"});
  sqlite.Open(db, "SELECT * FROM t");
  exporter.SetDataset(&sqlite);
  exporter.ExportDataset();
  EXPECT_DOUBLE_EQ(ValueAt(Sheet(), "A2").ToDouble(), 45352 + 1.0 / 86400);
  EXPECT_EQ(ValueAt(Sheet(), "B2").ToDouble(), 12.5);
  EXPECT_EQ(ValueAt(Sheet(), "C2").ToString(), "Caf\xE9");
  EXPECT_TRUE(VarIsEmpty(ValueAt(Sheet(), "C3")) || VarIsNull(ValueAt(Sheet(), "C3")));
  EXPECT_EQ(sqlite.GetRecNo(), 1);
}

// Every value a cell cannot hold as the data set does is reported with its
// record and field, through the callback and the list; each export starts a
// new list.
TEST_F(DatasetExport, ChangedAndDroppedValuesAreReportedWithRecordAndField) {
  TSqliteDataSet sqlite(nullptr);
  const std::string db = test::ScratchDir() + "/export_reports.db";
  std::remove(db.c_str());
  test::Run({"sqlite3", db,
             "CREATE TABLE t (d DATE, t TIME, b BLOB, s TEXT);"
             // 256 bytes, but a cell keeps the line break as one CR: nothing is cut.
             "INSERT INTO t VALUES ('2024-02-29', '23:59:59', NULL, '" +
                 std::string(254, 'a') +
                 "' || char(13, 10)), ('2024-02-30', '25:00:00', x'0102', '" +
                 std::string(300, 'a') + "');"});
  sqlite.Open(db, "SELECT * FROM t");
  std::vector<std::string> heard;
  exporter.OnValueReport = [&heard](const TXLSValueReport& report) {
    heard.push_back(std::to_string(report.RecNo) + " " + report.FieldName + ": " + report.Message);
  };
  exporter.SetDataset(&sqlite);
  exporter.ExportDataset();
  const std::vector<std::string> expected = {
      "2 d: '2024-02-30' is not a valid ISO 8601 date (YYYY-MM-DD); written as text",
      "2 t: '25:00:00' is not a valid ISO 8601 time (HH:MM:SS); written as text",
      "2 b: a BLOB of 2 bytes left out; the cell is left empty",
      "2 s: text of 300 characters cut to the 255 a BIFF5 cell holds"};
  EXPECT_EQ(heard, expected);
  ASSERT_EQ(exporter.GetValueReportCount(), 4);
  const std::vector<TXLSValueReport>& kept = exporter.GetValueReports();
  ASSERT_EQ(kept.size(), 4u);
  EXPECT_EQ(kept[1].Change, vcNotDateTime);
  EXPECT_EQ(kept[2].Change, vcBlobDropped);
  EXPECT_EQ(kept[3].Change, vcTextCut);
  EXPECT_EQ(ValueAt(Sheet(), "A3").ToString(), "2024-02-30");
  EXPECT_TRUE(VarIsEmpty(ValueAt(Sheet(), "C3")) || VarIsNull(ValueAt(Sheet(), "C3")));

  // One date in another form keeps a CSV column of dates a date column.
  TCsvDataSet csv(nullptr);
  csv.LoadFromText("day\n2024-03-01\n03/05/2024\n2024-03-03\n", "mem");
  EXPECT_EQ(csv.GetField(0).GetDataType(), ftDate);
  heard.clear();
  exporter.SetDataset(&csv);
  exporter.ExportDataset();
  EXPECT_EQ(heard, std::vector<std::string>{
                       "2 day: '03/05/2024' is not a valid ISO 8601 date (YYYY-MM-DD); "
                       "written as text"});
  EXPECT_EQ(exporter.GetValueReports().size(), 1u);
  EXPECT_EQ(VarType(ValueAt(Sheet(), "A4")), varDate);
}

// --- grid -----------------------------------------------------------------------------

class GridExport : public ::testing::Test {
 protected:
  GridExport() : data(nullptr), source(nullptr), grid(nullptr), exporter(nullptr) {
    Fill(data, 2);
    source.SetDataSet(&data);
    grid.SetDataSource(&source);
    exporter.SetDBGrid(&grid);
  }
  IXLSWorkSheet& Sheet() { return *exporter.GetWorksheet(); }

  TMemoryDataSet data;
  TDataSource source;
  TDBGrid grid;
  TDBGrid2Excel exporter;
};

TEST_F(GridExport, ChangedValuesOfVisibleColumnsAreReported) {
  data.AppendRecord({OleVariant(std::string(256, 'x')), OleVariant(1), OleVariant("soon")});
  grid.AddColumn("name").Visible = false;
  grid.AddColumn("day");
  exporter.ExportDBGrid();
  ASSERT_EQ(exporter.GetValueReports().size(), 1u);
  EXPECT_EQ(exporter.GetValueReports()[0].RecNo, 3);
  EXPECT_EQ(exporter.GetValueReports()[0].FieldName, "day");
  EXPECT_EQ(exporter.GetValueReports()[0].Change, vcNotDateTime);
}

TEST_F(GridExport, HiddenColumnsAreSkippedButCountInColumnIndex) {
  grid.AddColumn("name").Title.Caption = "A";
  grid.AddColumn("qty").Title.Caption = "B";
  grid.AddColumn("day").Title.Caption = "C";
  grid.GetColumn(1).Visible = false;
  std::vector<std::string> calls;
  exporter.AfterHeaderCell = [&](TDBGrid2Excel&, IXLSRange& cell, int32_t i, TColumn& column) {
    calls.push_back(Area(cell) + " " + std::to_string(i) + " " + column.Title.Caption);
  };
  exporter.AfterDetailCell = [&](TDBGrid2Excel&, IXLSRange& cell, int32_t row, int32_t i,
                                 TColumn&) {
    calls.push_back(Area(cell) + " " + std::to_string(row) + "," + std::to_string(i));
  };
  std::string rowArea, all;
  exporter.AfterDetailRow = [&](TDBGrid2Excel&, IXLSRange& range, int32_t) {
    rowArea = Area(range);
  };
  exporter.AfterExport = [&](TDBGrid2Excel&, IXLSRange& range) { all = Area(range); };
  exporter.ExportDBGrid();
  EXPECT_EQ(ValueAt(Sheet(), "A1").ToString(), "A");
  EXPECT_EQ(ValueAt(Sheet(), "B1").ToString(), "C");
  EXPECT_EQ(ValueAt(Sheet(), "B2").ToDouble(), 45353);
  EXPECT_TRUE(VarIsEmpty(ValueAt(Sheet(), "C2")) || VarIsNull(ValueAt(Sheet(), "C2")));
  EXPECT_EQ(calls, (std::vector<std::string>{"A1:A1 0 A", "B1:B1 2 C", "A2:A2 1,0", "B2:B2 1,2",
                                             "A3:A3 2,0", "B3:B3 2,2"}));
  EXPECT_EQ(rowArea, "A3:B3");
  EXPECT_EQ(all, "A1:B3");
}

TEST_F(GridExport, ColumnWithoutAFieldLeavesItsCellsEmpty) {
  grid.AddColumn("name");
  grid.AddColumn("");
  grid.AddColumn("no such field").Title.Caption = "ghost";
  exporter.StartRow = 1;
  exporter.ExportDBGrid();
  EXPECT_EQ(ValueAt(Sheet(), "C2").ToString(), "ghost");
  for (const char* cell : {"B3", "B4", "C3", "C4"})
    EXPECT_TRUE(VarIsEmpty(ValueAt(Sheet(), cell)) || VarIsNull(ValueAt(Sheet(), cell))) << cell;
  EXPECT_EQ(ValueAt(Sheet(), "A4").ToString(), "item2");
}

TEST_F(GridExport, GridWithoutDataSetWritesItsTitles) {
  grid.AddColumn("name");
  source.SetDataSet(nullptr);
  std::string all;
  exporter.AfterExport = [&](TDBGrid2Excel&, IXLSRange& range) { all = Area(range); };
  exporter.ExportDBGrid();
  EXPECT_EQ(ValueAt(Sheet(), "A1").ToString(), "name");
  EXPECT_EQ(all, "A1:A1");
}

TEST_F(GridExport, SaveDBGridAsStartsANewWorkbookEachTime) {
  grid.AddColumn("qty");
  const std::string path = test::ScratchDir() + "/export_grid.xls";
  EXPECT_EQ(exporter.SaveDBGridAs(path), 1);
  EXPECT_EQ(exporter.GetWorkbook(), nullptr);
  exporter.ExportDBGrid();
  EXPECT_EQ(exporter.GetWorkbook()->GetWorksheets()->GetCount(), 1);
  EXPECT_TRUE(test::Contains(test::DumpXls(path), "A3 number 20.0"));
}

}  // namespace
}  // namespace tabulon

namespace tabulon {
namespace {

// --- formatting -----------------------------------------------------------------------

XLSPtr<IXLSRange> At(IXLSWorkSheet& sheet, const std::string& cell) {
  return sheet.FGetRange(cell, cell);
}

int32_t EdgeWeight(IXLSWorkSheet& sheet, const std::string& cell, int32_t edge) {
  return At(sheet, cell)->GetBorders()->GetBorder(edge)->GetWeight();
}

class ExportFormatting : public DatasetExport {
 protected:
  // Fields: when (date and time), price (currency), at (time), qty (integer).
  void FillTyped() {
    data.AddField("when", ftDateTime, 19);
    data.AddField("price", ftCurrency, 0);
    data.AddField("at", ftTime, 8);
    data.AddField("qty", ftInteger, 6);
    data.AppendRecord({OleVariant::Date(45352), OleVariant::Currency(1234.5), OleVariant::Date(0.5),
                       OleVariant(3)});
    data.AppendRecord({OleVariant::Date(45352 + 1.0 / 86400), OleVariant::Currency(2),
                       OleVariant::Date(0.75), OleVariant(4)});
  }
};

TEST_F(ExportFormatting, MidnightShowsTheDateAloneOneSecondLaterTheTimeToo) {
  FillTyped();
  exporter.ExportDataset();
  EXPECT_EQ(At(Sheet(), "A2")->GetNumFormat(), "dd.mm.yyyy");
  EXPECT_EQ(At(Sheet(), "A3")->GetNumFormat(), "dd.mm.yyyy hh:mm:ss");
  EXPECT_EQ(At(Sheet(), "A3")->GetHAlign(), xlHAlignLeft);
}

TEST_F(ExportFormatting, NumberFormatsFollowTheFieldType) {
  FillTyped();
  exporter.ExportDataset();
  EXPECT_EQ(At(Sheet(), "B2")->GetNumFormat(), "#,##0.00");
  EXPECT_NE(At(Sheet(), "B2")->GetHAlign(), xlHAlignLeft) << "currency keeps its alignment";
  EXPECT_EQ(At(Sheet(), "C3")->GetNumFormat(), "hh:mm:ss");
  EXPECT_EQ(At(Sheet(), "C3")->GetHAlign(), xlHAlignLeft);
  EXPECT_EQ(At(Sheet(), "D2")->GetNumFormat(), At(Sheet(), "E9")->GetNumFormat())
      << "integers keep the default format";
}

// A field's display format and alignment go over its type's and Layout's;
// Layout's currency format and date alignment go over the components'.
TEST_F(ExportFormatting, FieldFormatsAndAlignmentsGoOverTheTypesAndTheLayouts) {
  FillTyped();
  data.GetField(3).SetDisplayFormat("0000");
  data.GetField(3).SetAlignment(xlHAlignCenter);
  data.GetField(2).SetDisplayFormat("hh:mm");
  data.GetField(2).SetAlignment(xlHAlignLeft);
  exporter.Layout.CurrencyFormat = "0.0";
  exporter.Layout.DateAlignment = xlHAlignRight;
  exporter.Totals = true;
  exporter.ExportDataset();
  EXPECT_EQ(At(Sheet(), "A2")->GetHAlign(), xlHAlignRight);
  EXPECT_EQ(At(Sheet(), "B2")->GetNumFormat(), "0.0");
  EXPECT_EQ(At(Sheet(), "B4")->GetNumFormat(), "0.0");  // the totals row
  EXPECT_EQ(At(Sheet(), "C2")->GetNumFormat(), "hh:mm");
  EXPECT_EQ(At(Sheet(), "C2")->GetHAlign(), xlHAlignLeft);
  EXPECT_EQ(At(Sheet(), "D3")->GetNumFormat(), "0000");
  EXPECT_EQ(At(Sheet(), "D3")->GetHAlign(), xlHAlignCenter);
  EXPECT_EQ(At(Sheet(), "D4")->GetNumFormat(), "0000");
}

TEST_F(ExportFormatting, HeaderTakesItsFontFillAlignmentAndColumnWidth) {
  FillTyped();
  exporter.HeaderColor = clYellow;
  exporter.GetHeaderFont().Color = clRed;
  exporter.GetHeaderFont().Style = fsBold | fsUnderline;
  exporter.Layout.FitColumns = false;
  exporter.ExportDataset();
  XLSPtr<IXLSRange> header = At(Sheet(), "A1");
  EXPECT_EQ(header->GetFont()->GetName(), "Arial");
  EXPECT_EQ(header->GetFont()->GetSize(), 10);
  EXPECT_TRUE(header->GetFont()->GetBold());
  EXPECT_EQ(header->GetFont()->GetUnderLine(), xlUnderlineStyleSingle);
  EXPECT_EQ(header->GetFont()->GetColor(), 0x0000FFu);
  EXPECT_EQ(header->GetInterior()->GetColor(), 0x00FFFFu);
  EXPECT_EQ(header->GetHAlign(), xlHAlignCenter);
  EXPECT_EQ(header->GetVAlign(), xlVAlignCenter);
  EXPECT_EQ(header->GetColumnWidth().ToDouble(), 19);
  EXPECT_EQ(At(Sheet(), "B1")->GetColumnWidth(), At(Sheet(), "F1")->GetColumnWidth())
      << "a display width of 0 leaves the column as it is";
  XLSPtr<IXLSRange> detail = At(Sheet(), "A2");
  EXPECT_FALSE(detail->GetFont()->GetBold());
  EXPECT_EQ(detail->GetInterior()->GetColor(), At(Sheet(), "H9")->GetInterior()->GetColor())
      << "detail colour none: no fill";
}

TEST_F(ExportFormatting, DetailFontStylesAndColourAreSwitchedOn) {
  FillTyped();
  exporter.SetDetailFont(TFont("Courier New", 9, fsItalic | fsStrikeOut, clBlue));
  exporter.DetailColor = clWindow;
  exporter.ExportDataset();
  XLSPtr<IXLSFont> font = At(Sheet(), "D3")->GetFont();
  EXPECT_EQ(font->GetName(), "Courier New");
  EXPECT_EQ(font->GetSize(), 9);
  EXPECT_TRUE(font->GetItalic());
  EXPECT_TRUE(font->GetStrikethrough());
  EXPECT_EQ(font->GetColor(), 0xFF0000u);
  EXPECT_EQ(At(Sheet(), "D3")->GetInterior()->GetColor(), 0xFFFFFFu) << "system colour resolved";
}

TEST_F(ExportFormatting, DetailCellsLeaveTheirTopEdgeToABorderedHeader) {
  FillTyped();
  exporter.HeaderBorderStyle = BorderStyleSingleThick;
  exporter.DetailBorderStyle = BorderStyleSingleThin;
  exporter.ExportDataset();
  EXPECT_EQ(EdgeWeight(Sheet(), "A1", xlEdgeLeft), xlThick);
  EXPECT_EQ(EdgeWeight(Sheet(), "A2", xlEdgeTop), xlThick) << "the header's bottom line";
  EXPECT_EQ(EdgeWeight(Sheet(), "A2", xlEdgeLeft), xlThin);
  EXPECT_EQ(EdgeWeight(Sheet(), "A3", xlEdgeBottom), xlThin);
}

TEST_F(ExportFormatting, DetailCellsDrawTheirTopEdgeUnderAHeaderWithoutBorders) {
  FillTyped();
  exporter.DetailBorderStyle = BorderStyleSingleHair;
  exporter.DetailBorderColor = clRed;
  exporter.ExportDataset();
  XLSPtr<IXLSBorder> top = At(Sheet(), "A2")->GetBorders()->GetBorder(xlEdgeTop);
  EXPECT_EQ(top->GetLineStyle(), xlContinuous);
  EXPECT_EQ(top->GetWeight(), xlHairline);
  EXPECT_EQ(top->GetColor(), 0x0000FFu);
  EXPECT_EQ(At(Sheet(), "A1")->GetBorders()->GetBorder(xlEdgeLeft)->GetLineStyle(), xlNone);
}

TEST_F(ExportFormatting, DoubleBordersOnHeaderAndDetail) {
  FillTyped();
  exporter.HeaderBorderStyle = BorderStyleDouble;
  exporter.DetailBorderStyle = BorderStyleDouble;
  exporter.HeaderBorderColor = clGreen;
  exporter.ExportDataset();
  XLSPtr<IXLSBorder> headerLeft = At(Sheet(), "B1")->GetBorders()->GetBorder(xlEdgeLeft);
  EXPECT_EQ(headerLeft->GetLineStyle(), xlDouble);
  EXPECT_EQ(headerLeft->GetColor(), 0x008000u);
  EXPECT_EQ(At(Sheet(), "B3")->GetBorders()->GetBorder(xlEdgeRight)->GetLineStyle(), xlDouble);
}

class GridFormatting : public GridExport {};

TEST_F(GridFormatting, PixelWidthTitleAlignmentAndTextFormatInTheHeader) {
  TColumn& column = grid.AddColumn("name");
  column.Title.Alignment = taRightJustify;
  grid.AddColumn("qty").Width = 100;
  exporter.Layout.FitColumns = false;
  exporter.ExportDBGrid();
  EXPECT_NEAR(At(Sheet(), "A1")->GetColumnWidth().ToDouble(), 9.1712, 0.01);
  EXPECT_NEAR(At(Sheet(), "B1")->GetColumnWidth().ToDouble(), 14.33, 0.01);
  EXPECT_EQ(At(Sheet(), "A1")->GetHAlign(), xlHAlignRight);
  EXPECT_EQ(At(Sheet(), "A1")->GetNumFormat(), "@");
  EXPECT_EQ(EdgeWeight(Sheet(), "A1", xlEdgeLeft), xlThin) << "thin borders by default";
}

TEST_F(GridFormatting, RightAlignedDateColumnStaysRightAligned) {
  grid.AddColumn("day");
  grid.AddColumn("name");
  ASSERT_EQ(grid.GetColumn(0).Alignment, taRightJustify) << "dates align right in a grid";
  exporter.ExportDBGrid();
  EXPECT_EQ(At(Sheet(), "A2")->GetHAlign(), xlHAlignRight);
  EXPECT_EQ(At(Sheet(), "A2")->GetNumFormat(), "dd.mm.yyyy");
  EXPECT_EQ(At(Sheet(), "B2")->GetHAlign(), xlHAlignLeft);
}

TEST_F(GridFormatting, FieldAlignmentAndFormatGoOverTheColumns) {
  grid.AddColumn("day");
  data.GetField(2).SetAlignment(xlHAlignCenter);
  data.GetField(2).SetDisplayFormat("yyyy-mm-dd");
  exporter.ExportDBGrid();
  EXPECT_EQ(At(Sheet(), "A2")->GetHAlign(), xlHAlignCenter);
  EXPECT_EQ(At(Sheet(), "A2")->GetNumFormat(), "yyyy-mm-dd");
}

TEST_F(GridFormatting, ColumnFontsAndColoursWinWhileOriginalIsSet) {
  TColumn& column = grid.AddColumn("name");
  column.Title.Font = TFont("Times New Roman", 12, 0, clBlue);
  column.Font = TFont("Verdana", 8, fsItalic, clGreen);
  column.Color = clYellow;
  exporter.SetHeaderFont(TFont("Arial", 20, fsBold, clRed));
  exporter.HeaderColor = clRed;
  exporter.DetailColor = clAqua;
  exporter.ExportDBGrid();
  EXPECT_EQ(At(Sheet(), "A1")->GetFont()->GetSize(), 12);
  EXPECT_EQ(At(Sheet(), "A1")->GetFont()->GetColor(), 0xFF0000u);
  EXPECT_NE(At(Sheet(), "A1")->GetInterior()->GetColor(), 0x0000FFu);
  EXPECT_EQ(At(Sheet(), "A2")->GetFont()->GetName(), "Verdana");
  EXPECT_TRUE(At(Sheet(), "A2")->GetFont()->GetItalic());
  EXPECT_EQ(At(Sheet(), "A2")->GetInterior()->GetColor(), 0x00FFFFu);

  exporter.OriginalHeaderFont = exporter.OriginalHeaderColor = false;
  exporter.OriginalDetailFont = exporter.OriginalDetailColor = false;
  exporter.ExportDBGrid();
  EXPECT_EQ(At(Sheet(), "A1")->GetFont()->GetSize(), 20);
  EXPECT_EQ(At(Sheet(), "A1")->GetInterior()->GetColor(), 0x0000FFu);
  EXPECT_EQ(At(Sheet(), "A2")->GetFont()->GetName(), "Arial");
  EXPECT_EQ(At(Sheet(), "A2")->GetInterior()->GetColor(), 0xFFFF00u);
}

TEST_F(GridFormatting, ColumnWithoutAFieldIsFormattedAnyway) {
  grid.AddColumn("name");
  grid.AddColumn("").Color = clYellow;
  exporter.ExportDBGrid();
  EXPECT_EQ(EdgeWeight(Sheet(), "B3", xlEdgeBottom), xlThin);
  EXPECT_EQ(At(Sheet(), "B3")->GetInterior()->GetColor(), 0x00FFFFu);
}

}  // namespace
}  // namespace tabulon

namespace tabulon {
namespace {

// --- detail cells written without ranges ---------------------------------------------
//
// Without callbacks after each cell or row, detail cells are written straight
// into the cell store and take the formats worked out for the first cell of
// their kind; a callback makes the export write every cell through its range.
// Both must give the same file, byte for byte, whatever the formatting.

// Every field type, Nulls, and a date-time column whose first time of day
// turns up only in the fourth record.
void FillEveryType(TMemoryDataSet& data, int32_t n) {
  data.AddField("name", ftString, 12);
  data.AddField("qty", ftInteger);
  data.AddField("price", ftCurrency);
  data.AddField("when", ftDateTime);
  data.AddField("at", ftTime);
  data.AddField("day", ftDate);
  data.AddField("ok", ftBoolean);
  data.AddField("ratio", ftFloat);
  for (int32_t i = 1; i <= n; ++i) {
    const double when = 45000 + i + (i % 4 == 0 ? 0.25 : 0);
    data.AppendRecord({i % 5 == 0 ? OleVariant::Null() : OleVariant("n" + std::to_string(i)),
                       OleVariant(i), OleVariant::Currency(i * 1.25), OleVariant::Date(when),
                       OleVariant::Date(i / 100.0), OleVariant::Date(45000 + i),
                       OleVariant(i % 2 == 0), OleVariant(i / 3.0)});
  }
}

std::string SavedBytes(TXLSExportComponent& exporter, const std::string& name) {
  const std::string path = test::ScratchDir() + "/" + name + ".xls";
  EXPECT_EQ(exporter.SaveAs(path), 1) << exporter.GetLastError();
  return test::ReadFile(path);
}

TEST(DirectDetailCells, DataSetExportGivesTheFileOfACellByCellExport) {
  const std::vector<std::function<void(TDataset2Excel&)>> setups = {
      [](TDataset2Excel& e) { e.DetailColor = clAqua; },
      [](TDataset2Excel& e) {
        e.HeaderBorderStyle = BorderStyleNone;  // the detail draws its own top edge
        e.DetailBorderStyle = BorderStyleDouble;
        e.DetailBorderColor = clRed;
        e.HeaderColor = clNavy;
        e.Totals = true;
        e.Layout.Title = "Orders";
        e.Layout.RowsPerSheet = 15;
      },
      [](TDataset2Excel& e) {
        e.HeaderBorderStyle = e.DetailBorderStyle = BorderStyleSingleThin;
        e.HeaderBorderColor = clBlue;
        e.StartRow = 2;
        e.StartCol = 3;
        e.GetDetailFont().Style = fsBold | fsItalic;
      }};
  for (size_t i = 0; i < setups.size(); ++i) {
    std::string files[2];
    for (int cellByCell = 0; cellByCell < 2; ++cellByCell) {
      TMemoryDataSet data(nullptr);
      FillEveryType(data, 40);
      TDataset2Excel exporter(nullptr);
      exporter.SetDataset(&data);
      setups[i](exporter);
      if (cellByCell) exporter.AfterDetailCell = [](auto&, auto&, auto, auto, auto&) {};
      exporter.ExportDataset();
      files[cellByCell] = SavedBytes(exporter, "direct_" + std::to_string(cellByCell));
    }
    EXPECT_TRUE(files[0] == files[1]) << "setup " << i;
  }
}

TEST(DirectDetailCells, GridExportGivesTheFileOfACellByCellExport) {
  std::string files[2];
  for (int cellByCell = 0; cellByCell < 2; ++cellByCell) {
    TMemoryDataSet data(nullptr);
    FillEveryType(data, 30);
    TDataSource source(nullptr);
    source.SetDataSet(&data);
    TDBGrid grid(nullptr);
    grid.SetDataSource(&source);
    grid.AddColumn("name").Font = TFont("Verdana", 8, fsItalic, clGreen);
    grid.AddColumn("when").Alignment = taRightJustify;
    grid.AddColumn("").Color = clYellow;
    grid.AddColumn("qty").Visible = false;
    grid.AddColumn("price").Alignment = taCenter;
    grid.AddColumn("ok");
    TDBGrid2Excel exporter(nullptr);
    exporter.SetDBGrid(&grid);
    exporter.OriginalDetailFont = exporter.OriginalDetailColor = true;
    exporter.HeaderBorderStyle = BorderStyleNone;
    exporter.Layout.RowsPerSheet = 12;
    if (cellByCell) exporter.AfterDetailRow = [](auto&, auto&, auto) {};
    exporter.ExportDBGrid();
    files[cellByCell] = SavedBytes(exporter, "direct_grid_" + std::to_string(cellByCell));
  }
  EXPECT_TRUE(files[0] == files[1]);
}

}  // namespace
}  // namespace tabulon
