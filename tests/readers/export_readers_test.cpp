// Exported workbooks opened in LibreOffice: the files are converted to .xlsx
// in one soffice run and read back with openpyxl (tests/readers/
// check_export.py), which shows each cell's value, number format, font, fill,
// borders and alignment as LibreOffice understood them. A report in each
// file format (field formats and alignments, a grand total over four
// sheets, AutoFilters) is also read by Gnumeric (to .xlsx, without a
// warning) and, in BIFF8, by Apache POI.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <sstream>
#include <string>
#include <vector>

#include "Tabulon.h"
#include "ToolRun.h"
#include "XLSDBGrid.h"

namespace tabulon {
namespace {

using test::ShellQuoted;

// The first line of output that starts with prefix; empty when none does.
std::string LineOf(const std::string& output, const std::string& prefix) {
  std::istringstream lines(output);
  for (std::string current; std::getline(lines, current);) {
    if (current.compare(0, prefix.size(), prefix) == 0) return current;
  }
  return "";
}

bool HasLine(const std::string& output, const std::string& line) {
  std::istringstream lines(output);
  for (std::string current; std::getline(lines, current);) {
    if (current == line) return true;
  }
  return false;
}

// The sample order book, queried through the data-set export with borders,
// colours and fonts of every kind.
void ExportOrders(const std::string& dir) {
  const std::string db = dir + "/orders.db";
  test::Run({"sh", "-c",
             "sqlite3 " + ShellQuoted(db) + " < " +
                 ShellQuoted(TABULON_SOURCE_DIR "/examples/orders.sql")});
  TSqliteDataSet orders(nullptr);
  orders.Open(db,
              "SELECT order_no, order_date, order_time, shipped, customer, amount FROM orders "
              "WHERE order_no IN (100001, 100005) ORDER BY order_no");
  TDataset2Excel exporter(nullptr);
  exporter.SetDataset(&orders);
  exporter.WorksheetName = "Orders";
  exporter.HeaderColor = clYellow;
  exporter.GetHeaderFont().Color = clBlue;
  exporter.HeaderBorderStyle = BorderStyleSingleThin;
  exporter.DetailBorderStyle = BorderStyleSingleThin;
  exporter.DetailBorderColor = clRed;
  exporter.SetDetailFont(TFont("Times New Roman", 11, fsItalic, clNone));
  exporter.Layout.FitColumns = false;  // the fields' display widths
  exporter.SaveDatasetAs(dir + "/orders.xls");
}

// A grid with a hidden column, a right-aligned date column and double
// borders, at C3.
void ExportGrid(const std::string& dir) {
  TMemoryDataSet data(nullptr);
  data.AddField("item", ftString, 10);
  data.AddField("secret", ftString, 10);
  data.AddField("due", ftDate, 10);
  data.AddField("paid", ftBoolean);
  data.AppendRecord(
      {OleVariant("Kaffee"), OleVariant("x"), OleVariant::Date(45352), OleVariant(true)});
  // Reported by the export: a text cut to 255 bytes, a day that does not exist.
  data.AppendRecord({OleVariant(std::string(300, 'k')), OleVariant("y"), OleVariant("2024-02-30"),
                     OleVariant(false)});
  TDataSource source(nullptr);
  source.SetDataSet(&data);
  TDBGrid grid(nullptr);
  grid.SetDataSource(&source);
  grid.AddColumn("item").Title.Caption = "Artikel";
  grid.AddColumn("secret").Visible = false;
  grid.AddColumn("due").Title.Caption = "F\xE4llig";
  grid.AddColumn("paid");
  TDBGrid2Excel exporter(nullptr);
  exporter.SetDBGrid(&grid);
  exporter.StartRow = 2;
  exporter.StartCol = 2;
  exporter.DetailBorderStyle = BorderStyleDouble;
  exporter.Layout.FitColumns = false;  // the columns' pixel widths
  exporter.SaveDBGridAs(dir + "/grid.xls");
}

// Five records on sheets of four rows: two on "Report", one on each
// continuation sheet, the grand total on "Report (4)". The fields give their
// own format (qty) and alignment (item); Layout gives floats, currency and
// dates theirs; every sheet gets its filter.
void ExportReport(const std::string& path, int32_t file_format) {
  TMemoryDataSet data(nullptr);
  data.AddField("item", ftString, 10).SetAlignment(xlHAlignRight);
  data.AddField("qty", ftInteger).SetDisplayFormat("0000");
  data.AddField("ratio", ftFloat);
  data.AddField("price", ftCurrency);
  data.AddField("day", ftDate);
  for (int32_t i = 1; i <= 5; ++i)
    data.AppendRecord({OleVariant("item" + std::to_string(i)), OleVariant(i), OleVariant(i + 0.5),
                       OleVariant(i * 1.25), OleVariant::Date(45352 + i)});
  TDataset2Excel exporter(nullptr);
  exporter.SetDataset(&data);
  exporter.FileFormat = file_format;
  exporter.WorksheetName = "Report";
  exporter.Totals = true;
  exporter.Layout.RowsPerSheet = 4;
  exporter.Layout.FloatFormat = "0.000";
  exporter.Layout.CurrencyFormat = "#,##0.0";
  exporter.Layout.DateAlignment = xlHAlignRight;
  exporter.Layout.AutoFilter = true;
  exporter.SaveDatasetAs(path);
}

class ExportReaders : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    if (test::Run({"sh", "-c", "command -v soffice && command -v sqlite3"}).Status != 0 ||
        test::Run({"/usr/bin/python3", "-c", "import openpyxl"}).Status != 0) {
      missing_ = "soffice, sqlite3 or openpyxl is not installed";
      return;
    }
    dir_ = test::ScratchDir() + "/export_readers_" + std::to_string(getpid());
    test::Run({"rm", "-rf", dir_});
    mkdir(dir_.c_str(), 0755);
    ExportOrders(dir_);
    ExportGrid(dir_);
    ExportReport(dir_ + "/report5.xls", xlExcel5);
    ExportReport(dir_ + "/report8.xls", xlExcel8);
    test::Run({"sh", "-c",
               "cd " + ShellQuoted(dir_) + " && soffice -env:UserInstallation=file://" + dir_ +
                   "/profile --headless --convert-to xlsx --outdir lo orders.xls grid.xls "
                   "report5.xls report8.xls"});
  }
  static void TearDownTestSuite() {
    if (!dir_.empty()) test::Run({"rm", "-rf", dir_});
  }
  void SetUp() override {
    if (!missing_.empty()) GTEST_SKIP() << missing_;
  }
  static std::string View(const std::string& name) {
    return Check({dir_ + "/lo/" + name + ".xlsx", "8"});
  }
  static std::string Check(std::vector<std::string> args) {
    args.insert(args.begin(),
                {"/usr/bin/python3", TABULON_SOURCE_DIR "/tests/readers/check_export.py"});
    const test::TRunResult run = test::Run(args);
    return run.Status == 0 ? run.Out : "reader failed: " + run.Err;
  }
  static void ExpectViewLines(const std::string& view, const std::vector<std::string>& lines) {
    for (const std::string& line : lines)
      EXPECT_TRUE(HasLine(view, line)) << "missing: " << line << "\n" << view;
  }
  void ExpectLines(const std::string& name, const std::vector<std::string>& lines) {
    ExpectViewLines(View(name), lines);
  }

  static std::string dir_;
  static std::string missing_;
};

std::string ExportReaders::dir_;
std::string ExportReaders::missing_;

const char kHeaderStyle[] =
    "fmt=General font=Arial,10,bold,0000FF fill=FFFF00 borders=thin:none/thin:none/thin:none/";
const char kDetailFont[] = "font=Times New Roman,11,italic,000000 fill=none";
const char kDetailBorders[] = "borders=thin:FF0000/none/thin:FF0000/";

TEST_F(ExportReaders, HeaderShowsTheFieldNamesInItsFontFillAndBorders) {
  ExpectLines(
      "orders",
      {"sheet Orders",
       std::string("cell Orders!A1 value='order_no' ") + kHeaderStyle + "none align=center",
       std::string("cell Orders!F1 value='amount' ") + kHeaderStyle + "thin:none align=center"});
}

TEST_F(ExportReaders, DatesTimesAndCurrencyShowAsSuch) {
  const std::string common = std::string(" ") + kDetailFont + " " + kDetailBorders;
  ExpectLines(
      "orders",
      {"cell Orders!A2 value=100001.0 fmt=General" + common + "none align=general",
       "cell Orders!B2 value=date:2024-01-01T00:00:00 fmt=dd\\.mm\\.yyyy" + common +
           "none align=left",
       "cell Orders!C2 value=date:1899-12-30T09:11:59 fmt=hh:mm:ss" + common + "none align=left",
       "cell Orders!D2 value=date:2024-01-02T09:12:59 fmt=dd\\.mm\\.yyyy\\ hh:mm:ss" + common +
           "none align=left",
       "cell Orders!D3 value=date:2024-01-03T00:00:00 fmt=dd\\.mm\\.yyyy" + common +
           "none align=left",
       "cell Orders!E2 value='Caf\xC3\xA9 Cr\xC3\xA8me S.\xC3\xA0 r.l.' fmt=General" + common +
           "none align=general",
       "cell Orders!F2 value=156.0 fmt=#,##0.00" + common + "thin:FF0000 align=general",
       "width Orders!D 19.70", "width Orders!E 20.70"});
}

TEST_F(ExportReaders, GridSkipsHiddenColumnsKeepsItsAlignmentAndBooleans) {
  const std::string view = View("grid");
  EXPECT_TRUE(test::Contains(view, "cell Sheet1!C3 value='Artikel' fmt=@ ")) << view;
  EXPECT_TRUE(test::Contains(view, "cell Sheet1!D3 value='F\xC3\xA4llig' fmt=@ ")) << view;
  EXPECT_TRUE(test::Contains(view,
                             "cell Sheet1!D4 value=date:2024-03-01T00:00:00 "
                             "fmt=dd\\.mm\\.yyyy font=Arial,10,000000 fill=FFFFFF "
                             "borders=double:none/"))
      << view;
  EXPECT_TRUE(test::Contains(view, "align=right")) << view;
  EXPECT_TRUE(test::Contains(view, "cell Sheet1!C5 value='" + std::string(255, 'k') + "' "))
      << view;
  EXPECT_TRUE(test::Contains(view, "cell Sheet1!D5 value='2024-02-30' ")) << view;
  EXPECT_TRUE(test::Contains(view, "cell Sheet1!E4 value=True ")) << view;
  EXPECT_TRUE(test::Contains(view, "cell Sheet1!E5 value=False ")) << view;
  // 64 pixels are 9.17 characters; LibreOffice adds its cell padding.
  EXPECT_TRUE(HasLine(view, "width Sheet1!C 9.87")) << view;
}

// What every reader shows of the report: the formats and alignments of the
// fields, the grand-total formula. LibreOffice shows the BIFF8 filters only
// (of a BIFF5 one it keeps the range, as a name, as it does for the BIFF5
// filters of other programs), Gnumeric those of both formats (in BIFF8 from
// the drop-down objects); POI finds the hidden _FilterDatabase name and
// AUTOFILTERINFO of each sheet.
TEST_F(ExportReaders, ReportShowsFieldFormatsTheGrandTotalAndItsFilters) {
  const char kGrandTotal[] = "=Report!B4+'Report (2)'!B3+'Report (3)'!B3+B3";
  for (const char* name : {"report5", "report8"}) {
    const std::string view = View(name);
    for (const char* part :
         {"cell Report!A2 value='item1' fmt=General ", "cell Report!B2 value=1.0 fmt=0000 ",
          "cell Report!C2 value=1.5 fmt=0.000 ", "cell Report!D2 value=1.25 fmt=#,##0.0 ",
          "cell Report!E2 value=date:2024-03-02T00:00:00 fmt=dd\\.mm\\.yyyy ",
          "cell Report (4)!A4 value='Grand total' "})
      EXPECT_TRUE(test::Contains(view, part)) << name << " misses " << part << "\n" << view;
    EXPECT_TRUE(test::Contains(
        view, std::string("cell Report (4)!B4 value=\"") + kGrandTotal + "\" fmt=0000 "))
        << view;
    for (const char* cell : {"Report!A2 ", "Report!E2 "})
      EXPECT_TRUE(test::Contains(LineOf(view, std::string("cell ") + cell), " align=right"))
          << cell << "\n"
          << view;
  }
  ExpectLines("report8", {"filter Report A1:E3", "filter Report (4) A1:E2"});

  if (test::Run({"sh", "-c", "command -v ssconvert"}).Status == 0) {
    for (const char* name : {"report5", "report8"}) {
      const test::TRunResult gnumeric = test::Run(
          {"ssconvert", dir_ + "/" + name + ".xls", dir_ + "/gnumeric_" + name + ".xlsx"});
      EXPECT_EQ(gnumeric.Status, 0);
      EXPECT_EQ(gnumeric.Err, "") << name;
      ExpectViewLines(
          Check({dir_ + "/gnumeric_" + name + ".xlsx"}),
          {"filter Report A1:E3", "filter Report (2) A1:E2", "filter Report (4) A1:E2"});
    }
  }
  const test::TRunResult poi = test::Run(
      {"/usr/bin/python3", "-c",
       "import sys; sys.path.insert(0, sys.argv[1]); from biff8_readers import missing_reader; "
       "sys.exit(1 if missing_reader('poi') else 0)",
       TABULON_SOURCE_DIR "/tests/readers"});
  if (poi.Status != 0) return;
  ExpectViewLines(Check({"--poi", TABULON_BINARY_DIR "/readers", dir_ + "/report8.xls"}),
                  {"cell Report!B2 value=1 fmt=0000 align=general",
                   "cell Report!C2 value=1.5 fmt=0.000 align=general",
                   "cell Report!D2 value=1.25 fmt=#,##0.0 align=general",
                   "cell Report!A2 value='item1' fmt=General align=right",
                   "cell Report (4)!B4 value==Report!B4+'Report (2)'!B3+'Report (3)'!B3+B3 15 "
                   "fmt=0000 align=right",
                   "filter Report A1:E3 columns=5 hidden=True",
                   "filter Report (3) A1:E2 columns=5 hidden=True"});
}

}  // namespace
}  // namespace tabulon
