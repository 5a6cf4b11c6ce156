// Saved workbooks opened by independent readers: xlrd, LibreOffice (converted
// to .xlsx and read with openpyxl) and Gnumeric's ssconvert (likewise). Each
// reader's view is printed by tests/readers/check_book.py in one text form;
// the tests look for the lines the workbook must show. The files are built
// once and LibreOffice converts them all in one run, as its start-up is slow.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "BookTestUtil.h"
#include "Tabulon.h"
#include "XLSPageSetup.h"
#include "XLSWorkSheets.h"
#include "XLSWorkbook.h"
#include "XLSWorksheet.h"

namespace tabulon {
namespace {

using namespace book_test;

constexpr int kGridRows = 16384;
constexpr int kGridCols = 40;
// BIFF5 readers disagree on rows beyond this one.
constexpr int kTallRow = 20000;

std::string Python() {
  return "/usr/bin/python3 " + std::string(TABULON_SOURCE_DIR) + "/tests/readers/check_book.py";
}

std::string Quote(const std::string& text) {
  return "'" + text + "'";
}

bool Installed(const std::string& program) {
  return RunCommand("command -v " + program).status == 0;
}

bool PythonHas(const std::string& module) {
  return RunCommand("/usr/bin/python3 -c 'import " + module + "'").status == 0;
}

void Set(TXLSWorksheet& sheet, const std::string& cell, const OleVariant& value) {
  sheet.FGetRange(cell, cell)->SetValue(value);
}

// --- the sample workbooks ------------------------------------------------------------

const std::string kLineBreakText = "line1\nline2";

void BuildContent(TXLSWorkbook& book) {
  TXLSWorkSheets& sheets = book.GetSheets();
  sheets.Add();
  sheets.Add();
  TXLSWorksheet& data = *sheets.GetSheet(1);
  data.SetWorkSheetName("Data");
  sheets.GetSheet(2)->SetWorkSheetName("Second sheet");
  Set(data, "A1", OleVariant("Text"));
  Set(data, "B1", OleVariant(int32_t{42}));
  Set(data, "C1", OleVariant(3.25));
  Set(data, "D1", OleVariant::Date(45352.5));  // 2024-03-01 12:00
  Set(data, "E1", OleVariant("00123"));
  Set(data, "F1", OleVariant("-7"));
  Set(data, "G1", OleVariant(true));
  Set(data, "H1", OleVariant(false));
  data.FGetRange("G2", "H3")->Merge(OleVariant(false));
  Set(data, "G2", OleVariant(true));
  OleVariant array = VarArrayCreate({1, 2, 1, 3});
  for (int32_t r = 1; r <= 2; ++r) {
    for (int32_t c = 1; c <= 3; ++c) array.PutElement({r, c}, OleVariant(r * 10 + c));
  }
  data.FGetRange("A2", "C3")->SetValue(array);
  Set(data, "A4", OleVariant(std::string(300, 'L')));
  Set(data, "A5", OleVariant(kLineBreakText));
  Set(data, "A6", OleVariant(-1234567.125));
  Set(*sheets.GetSheet(2), "A1", OleVariant("second"));

  XLSPtr<IXLSPageSetup> setup = data.GetPageSetup();
  setup->SetPrintArea(0, 0, 5, 5);
  setup->SetPrintTitleRows("1:1");
  setup->SetPrintTitleColumns("A:A");
  data.GetHPageBreaks()->Add(data.FGetRange("A4", "A4").get());
  data.GetVPageBreaks()->Add(data.FGetRange("C1", "C1").get());
  data.FreezePanes(1, 0, 1, 0);
  data.SetZoom(75);
  data.Protect("secret");
  sheets.GetSheet(2)->GetPageSetup()->SetPrintTitleRows("2:3");
  book.Protect();
}

void BuildGrid(TXLSWorkbook& book) {
  book.GetSheets().Add();
  TXLSWorksheet& sheet = *book.GetSheets().GetSheet(1);
  for (uint16_t row = 0; row < kGridRows; ++row) {
    for (uint8_t col = 0; col < kGridCols; ++col) {
      XLSPtr<IXLSRange> cell = sheet.GetCells()->GetItem(row + 1, col + 1);
      if (col % 2 == 0) {
        cell->SetValue(OleVariant(row * 100 + col + 0.5));
      } else {
        cell->SetValue(OleVariant("r" + std::to_string(row) + "c" + std::to_string(col)));
      }
    }
  }
}

void BuildTall(TXLSWorkbook& book) {
  book.GetSheets().Add();
  Set(*book.GetSheets().GetSheet(1), "A1", OleVariant("top"));
  Set(*book.GetSheets().GetSheet(1), "A" + std::to_string(kTallRow), OleVariant("deep"));
}

// A name the collection refuses, forced in to see what readers make of it.
void BuildUnnamed(TXLSWorkbook& book) {
  book.GetSheets().Add();
  book.GetSheets().Add();
  book.GetSheets().GetSheet(1)->SetNameUnchecked("");
  Set(*book.GetSheets().GetSheet(1), "A1", OleVariant("nameless"));
}

using TBuilder = void (*)(TXLSWorkbook&);
const std::map<std::string, TBuilder> kSamples = {
    {"content", BuildContent}, {"grid", BuildGrid}, {"tall", BuildTall}, {"unnamed", BuildUnnamed}};

// Saves every sample once per test run; the path of each .xls file.
class TSamples {
 public:
  static TSamples& Get() {
    static TSamples samples;
    return samples;
  }
  const std::string& Dir() const { return dir_; }
  std::string Xls(const std::string& name) const { return dir_ + "/" + name + ".xls"; }
  const std::string& SaveError() const { return saveError_; }

  // LibreOffice's .xlsx of a sample, converted with all the others at once.
  std::string LibreOfficeXlsx(const std::string& name) {
    if (!libreOfficeDone_) ConvertWithLibreOffice();
    return dir_ + "/lo/" + name + ".xlsx";
  }
  // Gnumeric's own format: its .xlsx export drops print titles and protection.
  std::string GnumericFile(const std::string& name) {
    const std::string out = dir_ + "/" + name + ".gnumeric";
    if (access(out.c_str(), F_OK) != 0) {
      RunCommand("ssconvert " + Quote(Xls(name)) + " " + Quote(out));
    }
    return out;
  }

 private:
  ~TSamples() { RunCommand("rm -rf " + Quote(dir_)); }
  TSamples() {
    dir_ = ScratchDir() + "/readers_" + std::to_string(getpid());
    RunCommand("rm -rf " + Quote(dir_));
    mkdir(dir_.c_str(), 0755);
    for (const auto& [name, build] : kSamples) {
      TXLSWorkbook book;
      build(book);
      if (book.SaveAs(Xls(name)) != 1) saveError_ += book.GetLastError() + "\n";
    }
  }
  void ConvertWithLibreOffice() {
    libreOfficeDone_ = true;
    std::string files;
    for (const auto& entry : kSamples) files += " " + Quote(Xls(entry.first));
    RunCommand("cd " + Quote(dir_) + " && soffice -env:UserInstallation=file://" + dir_ +
               "/lo_profile --headless --convert-to xlsx --outdir lo" + files);
  }

  std::string dir_;
  std::string saveError_;
  bool libreOfficeDone_ = false;
};

enum class TReader { kXlrd, kLibreOffice, kGnumeric };

std::string ReaderName(TReader reader) {
  switch (reader) {
    case TReader::kXlrd:
      return "xlrd";
    case TReader::kLibreOffice:
      return "LibreOffice";
    case TReader::kGnumeric:
      return "Gnumeric";
  }
  return "";
}

// Why the reader cannot run here, or empty when it can.
std::string Missing(TReader reader) {
  if (!PythonHas("xlrd") || !PythonHas("openpyxl"))
    return "/usr/bin/python3 lacks xlrd or openpyxl";
  if (reader == TReader::kLibreOffice && !Installed("soffice")) return "soffice is not installed";
  if (reader == TReader::kGnumeric && !Installed("ssconvert")) return "ssconvert is not installed";
  return "";
}

// What the reader shows of a sample, one line per fact (check_book.py); with
// grid set, whether the sample holds the large grid.
TRun View(TReader reader, const std::string& sample, bool grid = false) {
  TSamples& samples = TSamples::Get();
  const std::string size =
      grid ? " " + std::to_string(kGridRows) + " " + std::to_string(kGridCols) : "";
  const std::string prefix = grid ? "grid-" : "";
  switch (reader) {
    case TReader::kXlrd:
      return RunCommand(Python() + " " + prefix + "xlrd " + Quote(samples.Xls(sample)) + size);
    case TReader::kLibreOffice:
      return RunCommand(Python() + " " + prefix + "xlsx " + Quote(samples.LibreOfficeXlsx(sample)) +
                        size);
    case TReader::kGnumeric:
      return RunCommand(Python() + " " + prefix + "gnumeric " +
                        Quote(samples.GnumericFile(sample)) + size);
  }
  return {};
}

bool HasLine(const std::string& output, const std::string& line) {
  std::istringstream lines(output);
  for (std::string current; std::getline(lines, current);) {
    if (current == line) return true;
  }
  return false;
}

class ReadersTest : public ::testing::TestWithParam<TReader> {
 protected:
  void SetUp() override {
    const std::string missing = Missing(GetParam());
    if (!missing.empty()) GTEST_SKIP() << ReaderName(GetParam()) << ": " << missing;
    ASSERT_EQ(TSamples::Get().SaveError(), "");
  }
  void ExpectLines(const std::string& sample, const std::vector<std::string>& lines) {
    const TRun view = View(GetParam(), sample);
    ASSERT_EQ(view.status, 0) << view.output;
    for (const std::string& line : lines) {
      EXPECT_TRUE(HasLine(view.output, line)) << "missing: " << line << "\n" << view.output;
    }
  }
};

TEST_P(ReadersTest, SheetsAndValuesReadBack) {
  ExpectLines("content",
              {"sheet Data", "sheet Second sheet", "cell Data!A1 = 'Text'", "cell Data!B1 = 42",
               "cell Data!C1 = 3.25", "cell Data!E1 = '00123'", "cell Data!F1 = -7",
               "cell Data!A2 = 11", "cell Data!C2 = 13", "cell Data!A3 = 21", "cell Data!C3 = 23",
               "cell Data!A4 = '" + std::string(255, 'L') + "'", "cell Data!A6 = -1234567.125",
               "cell Data!G1 = True", "cell Data!H1 = False", "cell Data!G2 = True",
               "cell Second sheet!A1 = 'second'"});
}

TEST_P(ReadersTest, DateReadsBackAsItsDayAndTime) {
  const TRun view = View(GetParam(), "content");
  ASSERT_EQ(view.status, 0) << view.output;
  // Without a date format a reader shows the serial number itself.
  EXPECT_TRUE(HasLine(view.output, "cell Data!D1 = date:2024-03-01T12:00:00") ||
              HasLine(view.output, "cell Data!D1 = 45352.5"))
      << view.output;
}

TEST_P(ReadersTest, LineBreakStaysInTheText) {
  const TRun view = View(GetParam(), "content");
  ASSERT_EQ(view.status, 0) << view.output;
  EXPECT_TRUE(HasLine(view.output, "cell Data!A5 = 'line1\\rline2'") ||
              HasLine(view.output, "cell Data!A5 = 'line1\\nline2'"))
      << view.output;
}

TEST_P(ReadersTest, PrintSettingsPanesAndProtection) {
  std::vector<std::string> lines = {"print_area Data A1:F6", "frozen Data A2", "zoom Data 75",
                                    "row_breaks Data 3", "col_breaks Data 2"};
  switch (GetParam()) {
    case TReader::kXlrd:  // titles as their two areas; no protection reported
      lines.insert(lines.end(), {"print_titles Data A1:A16384,A1:IV1",
                                 "print_titles Second sheet A2:IV3", "selected Data"});
      break;
    case TReader::kLibreOffice:  // its BIFF5 import drops protection
      lines.insert(lines.end(), {"print_titles Data A:A,1:1", "print_titles Second sheet 2:3",
                                 "selected Data", "active Data"});
      break;
    case TReader::kGnumeric:
      lines.insert(lines.end(),
                   {"print_titles Data A1:A16384,A1:IV1", "print_titles Second sheet A2:IV3",
                    "protected Data", "book_protected"});
      break;
  }
  ExpectLines("content", lines);
}

TEST_P(ReadersTest, LargeGridReadsBackWhole) {
  const TRun view = View(GetParam(), "grid", true);
  EXPECT_EQ(view.output, "ok\n");
}

// Not a fault of the file: BIFF5 readers treat rows past 16384 differently.
TEST_P(ReadersTest, RowsBeyond16384AreReaderDependent) {
  const TRun view = View(GetParam(), "tall");
  const std::string deep = "cell Sheet1!A" + std::to_string(kTallRow) + " = 'deep'";
  switch (GetParam()) {
    case TReader::kXlrd:  // refuses the row number outright
      EXPECT_NE(view.output.find("error:"), std::string::npos) << view.output;
      break;
    case TReader::kLibreOffice:  // reads them
      EXPECT_TRUE(HasLine(view.output, deep)) << view.output;
      break;
    case TReader::kGnumeric:  // keeps the sheet, drops those rows
      EXPECT_TRUE(HasLine(view.output, "cell Sheet1!A1 = 'top'")) << view.output;
      EXPECT_FALSE(HasLine(view.output, deep)) << view.output;
      break;
  }
}

// Why the collection refuses empty names: LibreOffice and Gnumeric rename
// the sheet (LibreOffice renames the next sheet as well); xlrd keeps it.
TEST_P(ReadersTest, EmptySheetNameIsRepaired) {
  const TRun view = View(GetParam(), "unnamed");
  ASSERT_EQ(view.status, 0) << view.output;
  const bool kept = HasLine(view.output, "cell !A1 = 'nameless'");
  EXPECT_EQ(kept, GetParam() == TReader::kXlrd) << view.output;
  if (GetParam() == TReader::kLibreOffice) {
    EXPECT_TRUE(HasLine(view.output, "sheet Sheet2") && HasLine(view.output, "sheet Sheet2_3"))
        << "LibreOffice no longer renames the following sheet:\n"
        << view.output;
  }
}

// Gnumeric drops the second of two sheets whose names differ only in case
// and LibreOffice renames it, so the collection compares names without case
// and the save refuses a workbook whose stored names would clash that way.
TEST(SheetNames, NamesDifferingOnlyInCaseAreNotSaved) {
  TXLSWorkbook book;
  book.GetSheets().Add();
  book.GetSheets().Add();
  book.GetSheets().GetSheet(2)->SetNameUnchecked("sheet1");
  const std::string path = TSamples::Get().Dir() + "/casenames.xls";
  EXPECT_EQ(book.SaveAs(path), -1);
  EXPECT_NE(book.GetLastError().find("'Sheet1' and 'sheet1' would have the same name"),
            std::string::npos)
      << book.GetLastError();
  EXPECT_NE(access(path.c_str(), F_OK), 0);
}

INSTANTIATE_TEST_SUITE_P(AllReaders, ReadersTest,
                         ::testing::Values(TReader::kXlrd, TReader::kLibreOffice,
                                           TReader::kGnumeric),
                         [](const ::testing::TestParamInfo<TReader>& info) {
                           return ReaderName(info.param);
                         });

}  // namespace
}  // namespace tabulon
