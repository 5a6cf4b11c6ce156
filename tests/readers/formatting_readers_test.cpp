// Workbooks formatted through the public interfaces, opened by independent
// readers: xlrd (formatting_info=True) on the .xls itself, and openpyxl on
// the .xlsx LibreOffice converts it to. tests/readers/check_formatting.py
// prints what each reader sees, one fact per line, in one text form; the
// tests look for the lines the workbook must show. The three samples (built
// here, by the report example and by tabulon convert) are converted by one
// LibreOffice run, as its start-up is slow.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <sstream>
#include <string>
#include <vector>

#include "BookTestUtil.h"
#include "Tabulon.h"
#include "ToolRun.h"

namespace tabulon {
namespace {

using book_test::RunCommand;
using book_test::TRun;

std::string Quote(const std::string& text) {
  return "'" + text + "'";
}

XLSPtr<IXLSRange> At(IXLSWorkSheet& sheet, const std::string& from, const std::string& to) {
  return sheet.FGetRange(from, to);
}
XLSPtr<IXLSRange> At(IXLSWorkSheet& sheet, const std::string& cell) {
  return sheet.FGetRange(cell, cell);
}

// One cell per property, so that each line names what was set on it.
void BuildFormats(IXLSWorkSheet& sheet) {
  At(sheet, "A1", "E1")->SetValue("text");
  At(sheet, "A1")->GetFont()->SetBold(true);
  At(sheet, "B1")->GetFont()->SetItalic(true);
  At(sheet, "C1")->GetFont()->SetUnderLine(xlUnderlineStyleSingle);
  At(sheet, "D1")->GetFont()->SetUnderLine(xlUnderlineStyleDouble);
  XLSPtr<IXLSFont> font = At(sheet, "E1")->GetFont();
  font->SetName("Courier New");
  font->SetSize(14);
  font->SetColorIndex(3);  // red

  At(sheet, "A2")->GetInterior()->SetColorIndex(6);  // yellow

  XLSPtr<IXLSBorders> borders = At(sheet, "A3")->GetBorders();
  borders->GetBorder(xlEdgeLeft)->SetLineStyle(xlContinuous);
  borders->GetBorder(xlEdgeLeft)->SetColorIndex(3);
  borders->GetBorder(xlEdgeRight)->SetWeight(xlMedium);
  borders->GetBorder(xlEdgeTop)->SetLineStyle(xlDouble);
  borders->GetBorder(xlEdgeBottom)->SetLineStyle(xlDash);
  borders->GetBorder(xlEdgeBottom)->SetColorIndex(5);  // blue

  At(sheet, "A4", "B4")->SetValue("aligned text that wraps");
  At(sheet, "A4")->SetHAlign(xlHAlignCenter);
  At(sheet, "A4")->SetVAlign(xlVAlignTop);
  At(sheet, "A4")->SetWrapText(true);
  At(sheet, "B4")->SetHAlign(xlHAlignRight);
  At(sheet, "B4")->SetVAlign(xlVAlignCenter);

  At(sheet, "A5")->SetValue(1234.5);
  At(sheet, "A5")->SetNumFormat("0.00");
  At(sheet, "B5")->SetValue(OleVariant::Date(45366));
  At(sheet, "B5")->SetNumFormat("yyyy-mm-dd");

  At(sheet, "C6")->SetValue("merged");
  At(sheet, "C6", "E7")->Merge(OleVariant::Missing());
  At(sheet, "A8", "B9")->Merge(true);

  At(sheet, "B1")->GetEntireColumn()->SetColumnWidth(20);
  At(sheet, "F1")->GetEntireColumn()->SetHidden(true);
  At(sheet, "A10")->SetRowHeight(30);
  At(sheet, "A11")->GetEntireRow()->SetHidden(true);

  At(sheet, "H1")->GetEntireColumn()->GetFont()->SetItalic(true);
  At(sheet, "A12")->GetEntireRow()->GetFont()->SetBold(true);
}

struct TNamedColour {
  const char* Name;
  const char* Rgb;  // as the readers print it
};

constexpr TNamedColour kNamedColours[] = {
    {"aqua", "00FFFF"},   {"cyan", "00FFFF"},    {"black", "000000"},   {"blue", "0000FF"},
    {"brown", "800000"},  {"magenta", "FF00FF"}, {"fuchsia", "FF00FF"}, {"gray", "808080"},
    {"grey", "808080"},   {"green", "008000"},   {"lime", "00FF00"},    {"navy", "000080"},
    {"orange", "FF6600"}, {"purple", "800080"},  {"red", "FF0000"},     {"silver", "C0C0C0"},
    {"white", "FFFFFF"},  {"yellow", "FFFF00"}};

// Row 21 on: one row per colour name, set through ColorNameToIndex as the
// fill of column J, the font colour of K and the left border of L.
void BuildNamedColours(IXLSWorkSheet& sheet) {
  int row = 21;
  for (const TNamedColour& colour : kNamedColours) {
    const std::string r = std::to_string(row++);
    const int32_t index = ColorNameToIndex(colour.Name);
    At(sheet, "J" + r, "L" + r)->SetValue(colour.Name);
    At(sheet, "J" + r)->GetInterior()->SetColorIndex(index);
    At(sheet, "K" + r)->GetFont()->SetColorIndex(static_cast<uint16_t>(index));
    XLSPtr<IXLSBorder> left = At(sheet, "L" + r)->GetBorders()->GetBorder(xlEdgeLeft);
    left->SetLineStyle(xlContinuous);
    left->SetColorIndex(index);
  }
}

// The samples, saved once per test run; the path of each .xls file.
class TSamples {
 public:
  static TSamples& Get() {
    static TSamples samples;
    return samples;
  }
  std::string Xls(const std::string& name) const { return dir_ + "/" + name + ".xls"; }
  std::string Xlsx(const std::string& name) {
    if (!converted_) Convert();
    return dir_ + "/lo/" + name + ".xlsx";
  }
  const std::string& Problems() const { return problems_; }

 private:
  TSamples() {
    dir_ = test::ScratchDir() + "/fmtreaders_" + std::to_string(getpid());
    RunCommand("rm -rf " + Quote(dir_));
    mkdir(dir_.c_str(), 0755);
    TXLSWorkbook book;
    BuildFormats(*book.GetWorksheets()->Add());
    BuildNamedColours(*book.GetWorksheets()->Get(1));
    if (book.SaveAs(Xls("formats")) != 1) problems_ += book.GetLastError() + "\n";

    const std::string flavour = TABULON_FLAVOUR;
    const std::string bin = TABULON_BINARY_DIR;
    const test::TRunResult report = test::Run({bin + "/example_report" + flavour, Xls("report")});
    if (report.Status != 0) problems_ += "report example: " + report.Err;
    const std::string csv = dir_ + "/people.csv";
    test::WriteFile(csv, "Name,Amount,Note\nAnna,12.5,short\nBernhard Longname-Example,3,x\n");
    const std::string tabulon = flavour == "7" ? bin + "/tabulon" : bin + "/tabulon_cli" + flavour;
    const test::TRunResult convert = test::Run({tabulon, "convert", csv, Xls("convert")});
    if (convert.Status != 0) problems_ += "tabulon convert: " + convert.Err;
  }
  ~TSamples() { RunCommand("rm -rf " + Quote(dir_)); }

  void Convert() {
    converted_ = true;
    std::string files;
    for (const char* name : {"formats", "report", "convert"}) files += " " + Quote(Xls(name));
    RunCommand("cd " + Quote(dir_) + " && soffice -env:UserInstallation=file://" + dir_ +
               "/lo_profile --headless --convert-to xlsx --outdir lo" + files);
  }

  std::string dir_;
  std::string problems_;
  bool converted_ = false;
};

enum class TReader { kXlrd, kLibreOffice };

// Why the reader cannot run here, or empty when it can.
std::string Missing(TReader reader) {
  const auto has = [](const std::string& command) { return RunCommand(command).status == 0; };
  if (!has("/usr/bin/python3 -c 'import xlrd, openpyxl'"))
    return "/usr/bin/python3 lacks xlrd or openpyxl";
  if (reader == TReader::kLibreOffice && !has("command -v soffice"))
    return "soffice is not installed";
  return "";
}

std::string View(TReader reader, const std::string& sample) {
  TSamples& samples = TSamples::Get();
  const std::string script =
      "/usr/bin/python3 " + std::string(TABULON_SOURCE_DIR) + "/tests/readers/check_formatting.py";
  const TRun run = reader == TReader::kXlrd
                       ? RunCommand(script + " xlrd " + Quote(samples.Xls(sample)))
                       : RunCommand(script + " xlsx " + Quote(samples.Xlsx(sample)));
  return run.status == 0 ? run.output : "reader failed: " + run.output;
}

// True when a line of output starts with expected (colours that a reader
// reports differently for automatic lines are left out of the expectation).
bool HasLine(const std::string& output, const std::string& expected) {
  std::istringstream lines(output);
  for (std::string line; std::getline(lines, line);) {
    if (line.compare(0, expected.size(), expected) == 0) return true;
  }
  return false;
}

class FormattingReaders : public ::testing::TestWithParam<TReader> {
 protected:
  void SetUp() override {
    const std::string missing = Missing(GetParam());
    if (!missing.empty()) GTEST_SKIP() << missing;
    ASSERT_EQ(TSamples::Get().Problems(), "");
  }
  void ExpectLines(const std::string& sample, const std::vector<std::string>& expected) {
    const std::string view = View(GetParam(), sample);
    for (const std::string& line : expected)
      EXPECT_TRUE(HasLine(view, line)) << sample << ": no line \"" << line << "\" in\n" << view;
  }
};

TEST_P(FormattingReaders, Fonts) {
  ExpectLines("formats", {"A1 bold 1", "A1 italic 0", "B1 italic 1", "B1 bold 0",
                          "C1 underline single", "D1 underline double", "E1 font Courier New",
                          "E1 size 14.0", "E1 color FF0000", "A1 font Arial", "A1 size 10.0"});
}

TEST_P(FormattingReaders, FillsAndBorders) {
  ExpectLines("formats",
              {"A2 fill solid FFFF00", "A3 border left thin FF0000", "A3 border right medium",
               "A3 border top double", "A3 border bottom dashed 0000FF"});
}

TEST_P(FormattingReaders, ColourNamesShowAsNamedThroughEverySetter) {
  std::vector<std::string> lines;
  int row = 21;
  for (const TNamedColour& colour : kNamedColours) {
    const std::string r = std::to_string(row++);
    lines.push_back("J" + r + " fill solid " + colour.Rgb);
    lines.push_back("K" + r + " color " + colour.Rgb);
    // LibreOffice writes a black line without its colour.
    const bool black = std::string(colour.Rgb) == "000000";
    lines.push_back("L" + r + " border left thin " + (black ? "" : colour.Rgb));
  }
  ExpectLines("formats", lines);
}

TEST_P(FormattingReaders, AlignmentWrapAndNumberFormats) {
  ExpectLines("formats",
              {"A4 halign center", "A4 valign top", "A4 wrap 1", "B4 halign right",
               "B4 valign center", "B4 wrap 0", "A5 numfmt 0.00", "B5 numfmt yyyy-mm-dd"});
}

TEST_P(FormattingReaders, MergedAreasWidthsHeightsAndHiddenLines) {
  ExpectLines("formats", {"merged C6:E7", "merged A8:B8", "merged A9:B9", "col B width 21",
                          "col F hidden", "row 10 height 30.0", "row 11 hidden"});
}

TEST_P(FormattingReaders, RowFormatShowsWhereItCrossesAFormattedColumn) {
  ExpectLines("formats", {"H12 bold 1", "H12 italic 1"});
}

TEST_P(FormattingReaders, ReportExample) {
  ExpectLines("report",
              {"merged A1:E1", "A1 font Times New Roman", "A1 size 16.0", "A1 bold 1",
               "A1 italic 1", "A1 underline single", "A1 halign center", "A1 valign center",
               "A3 fill solid 000080", "A3 color FFFFFF", "A3 wrap 1", "A3 border left thin 808080",
               "D4 numfmt #,##0.00", "E4 numfmt dd/mm/yyyy", "A8 border top double",
               "row 1 height 30.0", "row 2 hidden", "col G hidden", "col B width 15"});
}

TEST_P(FormattingReaders, ConvertedCsvHasAFramedHeaderAndFittedColumns) {
  ExpectLines("convert", {"A1 bold 1", "C1 bold 1", "A1 fill solid C0C0C0", "A1 border left thin",
                          "A1 border top thin", "A1 border bottom thin", "C1 border right thin",
                          "A2 bold 0", "col A width 28"});
}

TEST(ReportExample, SavesTheReportAndExplainsItsUse) {
  const std::string binary =
      std::string(TABULON_BINARY_DIR) + "/example_report" + std::string(TABULON_FLAVOUR);
  const std::string path = test::ScratchDir() + "/report_" + std::to_string(getpid()) + ".xls";
  const test::TRunResult run = test::Run({binary, path});
  ASSERT_EQ(run.Status, 0) << run.Err;
  EXPECT_TRUE(test::Contains(test::DumpXls(path), "A1 text Sales, March 2024"));
  std::remove(path.c_str());
  EXPECT_EQ(test::Run({binary}).Status, 2);
}

// R's readxl (libxls) takes format numbers below 164 for built-in formats:
// a date whose format is the workbook's first custom one must still read as
// a date, in a workbook of our own and in an export's date column.
TEST(ReadxlReader, FirstCustomFormatAndTheExportsDateColumnReadAsDates) {
  if (RunCommand("Rscript -e 'library(readxl)'").status != 0)
    GTEST_SKIP() << "Rscript with readxl is not installed";
  const std::string dir = test::ScratchDir() + "/readxl_" + std::to_string(getpid());
  RunCommand("rm -rf " + Quote(dir) + " && mkdir -p " + Quote(dir));

  TXLSWorkbook book;
  IXLSWorkSheet& sheet = *book.GetWorksheets()->Add();
  At(sheet, "A1")->SetValue(OleVariant::Date(45352));
  At(sheet, "A1")->SetNumFormat("yyyy-mm-dd");
  ASSERT_EQ(book.SaveAs(dir + "/custom.xls"), 1) << book.GetLastError();

  TMemoryDataSet data(nullptr);
  data.AddField("name", ftString, 10);
  data.AddField("day", ftDate);
  data.AppendRecord({OleVariant("Anna"), OleVariant::Date(45352)});
  TDataset2Excel exporter(nullptr);
  exporter.SetDataset(&data);
  ASSERT_EQ(exporter.SaveDatasetAs(dir + "/export.xls"), 1) << exporter.GetLastError();

  // One line per file: the class readxl gives each column.
  const std::string script =
      "library(readxl); for (f in commandArgs(TRUE)) cat(basename(f), "
      "sapply(suppressMessages(read_excel(f, "
      "col_names = FALSE, skip = as.integer(grepl(\"export\", f)))), function(x) class(x)[1]), "
      "\"\\n\")";
  const TRun run = RunCommand("Rscript -e " + Quote(script) + " " + Quote(dir + "/custom.xls") +
                              " " + Quote(dir + "/export.xls"));
  RunCommand("rm -rf " + Quote(dir));
  EXPECT_EQ(run.output, "custom.xls POSIXct \nexport.xls character POSIXct \n");
}

INSTANTIATE_TEST_SUITE_P(Readers, FormattingReaders,
                         ::testing::Values(TReader::kXlrd, TReader::kLibreOffice),
                         [](const ::testing::TestParamInfo<TReader>& info) {
                           return std::string(info.param == TReader::kXlrd ? "xlrd"
                                                                           : "LibreOffice");
                         });

}  // namespace
}  // namespace tabulon
