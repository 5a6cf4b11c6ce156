// Defined names as the readers see them: one workbook per file format with
// workbook names (a block and a constant), names of one sheet (one naming
// another sheet, one a cell of its own sheet without a sheet name), formulas
// that use them, and a print area beside them. check_names.py knows what
// each reader must show and prints every fact it got wrong; a reader that is
// not installed skips its case.
#include <gtest/gtest.h>

#include <string>

#include "BookTestUtil.h"
#include "ReaderTestUtil.h"
#include "Tabulon.h"
#include "XLSWorkSheets.h"
#include "XLSWorkbook.h"
#include "XLSWorksheet.h"

namespace tabulon {
namespace {

using reader_test::AddSheet;

void SetFormula(TXLSWorksheet& sheet, const std::string& cell, const std::string& text) {
  const TXLSFormulaStatus status = sheet.FGetRange(cell, cell)->SetFormula(text);
  EXPECT_EQ(status.Code, 1) << cell << " " << text << ": " << status.Message;
}

// The same content in either format; check_names.py holds the same facts.
void BuildNames(TXLSWorkbook& book, int32_t file_format) {
  ASSERT_EQ(book.SetFileFormat(file_format), 1);
  TXLSWorksheet& data = AddSheet(book, "Data");
  TXLSWorksheet& report = AddSheet(book, "Report");
  TXLSWorksheet& rates = AddSheet(book, "Rates");
  for (int row = 2; row <= 9; ++row) {
    const std::string cell = "B" + std::to_string(row);
    data.FGetRange(cell, cell)->SetValue(row * 10 - 10);
  }
  data.FGetRange("A1", "A1")->SetValue("Amounts");
  rates.FGetRange("A1", "A1")->SetValue(0.5);
  report.FGetRange("A1", "A1")->SetValue(100);
  EXPECT_EQ(book.AddName("Sales", "=Data!$B$2:$B$9"), 1) << book.GetLastError();
  EXPECT_EQ(book.AddName("Rate", "=0.25"), 1) << book.GetLastError();
  EXPECT_EQ(report.AddName("Bonus", "=Rates!$A$1*2"), 1) << report.GetLastError();
  EXPECT_EQ(report.AddName("Target", "=$A$1"), 1) << report.GetLastError();
  SetFormula(report, "B1", "=SUM(Sales)");
  SetFormula(report, "B2", "=SUM(Sales)*Rate");
  SetFormula(report, "B3", "=Bonus+Target");
  SetFormula(data, "C1", "=Rate*100");
  rates.GetPageSetup()->SetPrintArea(0, 0, 1, 1);
}

class NameReaders : public ::testing::TestWithParam<std::string> {
 protected:
  static void SetUpTestSuite() {
    dir_ = new std::string(reader_test::FreshScratch("names"));
    for (const auto& [file, format] :
         {std::pair<const char*, int32_t>{"names5.xls", xlExcel5}, {"names8.xls", xlExcel8}}) {
      TXLSWorkbook book;
      BuildNames(book, format);
      if (book.SaveAs(*dir_ + "/" + file) != 1) *problems_ += book.GetLastError();
    }
  }
  static void TearDownTestSuite() {
    reader_test::RemoveScratch(*dir_);
    delete dir_;
  }
  static std::string* dir_;
  static std::string* problems_;
};

std::string* NameReaders::dir_ = nullptr;
std::string* NameReaders::problems_ = new std::string;

TEST_P(NameReaders, ReaderShowsTheNames) {
  ASSERT_EQ(*problems_, "");
  reader_test::ExpectReaderShows("check_names.py", GetParam(), *dir_);
}

INSTANTIATE_TEST_SUITE_P(Readers, NameReaders,
                         ::testing::Values("poi", "xlrd", "libreoffice", "gnumeric"),
                         [](const auto& info) { return info.param; });

}  // namespace
}  // namespace tabulon
