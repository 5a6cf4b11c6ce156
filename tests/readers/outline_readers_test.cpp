// One workbook per file format with outline groups and a protected sheet,
// opened by every reader that shows them: nested and collapsed row groups,
// column groups, summaries above and left on a sheet of their own, and a
// protected sheet with unlocked input cells and a hidden formula.
// tests/readers/check_outline.py knows what each reader must show and prints
// every fact it got wrong; a reader that is not installed skips its case.
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
using reader_test::At;

void Expect(TXLSWorksheet& sheet, int32_t status) {
  EXPECT_EQ(status, 1) << sheet.GetLastError();
}

// Rows 2-9 at level 1 with rows 3-5 at level 2 (summaries in rows 6 and
// 10), rows 12-14 collapsed under row 15; columns B-D at level 1 with C at
// level 2.
void BuildOutline(TXLSWorksheet& sheet) {
  for (int row = 1; row <= 15; ++row) At(sheet, "A" + std::to_string(row))->SetValue(row);
  Expect(sheet, At(sheet, "A2", "A9")->GetEntireRow()->Group());
  Expect(sheet, At(sheet, "A3", "A5")->GetEntireRow()->Group());
  Expect(sheet, At(sheet, "A12", "A14")->GetEntireRow()->Group());
  Expect(sheet, At(sheet, "A13")->GetEntireRow()->SetShowDetail(false));
  Expect(sheet, At(sheet, "B1", "D1")->GetEntireColumn()->Group());
  Expect(sheet, At(sheet, "C1")->GetEntireColumn()->Group());
}

// Summaries above and left: rows 3-5 collapse into row 2, columns C-D into B.
void BuildAboveLeft(TXLSWorksheet& sheet) {
  Expect(sheet, sheet.SetOutlineSummary(xlSummaryAbove, xlSummaryOnLeft));
  At(sheet, "A1", "E6")->SetValue("x");
  Expect(sheet, At(sheet, "A3", "A5")->GetEntireRow()->Group());
  Expect(sheet, At(sheet, "A3", "A5")->GetEntireRow()->SetShowDetail(false));
  Expect(sheet, At(sheet, "C1", "D1")->GetEntireColumn()->Group());
  Expect(sheet, At(sheet, "C1", "D1")->GetEntireColumn()->SetShowDetail(false));
}

// A1 stays locked; B1:B3 take input; C1's formula is hidden.
void BuildProtected(TXLSWorksheet& sheet) {
  At(sheet, "A1")->SetValue("locked");
  At(sheet, "B1", "B3")->SetValue(4);
  At(sheet, "B1", "B3")->SetLocked(false);
  EXPECT_EQ(At(sheet, "C1")->SetFormula("=B1*2").Code, 1);
  At(sheet, "C1")->SetFormulaHidden(true);
  sheet.Protect("secret");
}

class OutlineReaders : public ::testing::TestWithParam<std::string> {
 protected:
  static void SetUpTestSuite() {
    dir_ = new std::string(reader_test::FreshScratch("outline"));
    for (const auto& [format, name] :
         {std::pair{xlExcel5, "outline5.xls"}, std::pair{xlExcel8, "outline8.xls"}}) {
      TXLSWorkbook book;
      ASSERT_EQ(book.SetFileFormat(format), 1);
      BuildOutline(AddSheet(book, "Outline"));
      BuildAboveLeft(AddSheet(book, "AboveLeft"));
      BuildProtected(AddSheet(book, "Protected"));
      if (book.SaveAs(*dir_ + "/" + name) != 1) *problems_ += book.GetLastError();
    }
  }
  static void TearDownTestSuite() {
    reader_test::RemoveScratch(*dir_);
    delete dir_;
  }
  static std::string* dir_;
  static std::string* problems_;
};

std::string* OutlineReaders::dir_ = nullptr;
std::string* OutlineReaders::problems_ = new std::string;

TEST_P(OutlineReaders, ReaderShowsGroupsAndProtection) {
  ASSERT_EQ(*problems_, "");
  reader_test::ExpectReaderShows("check_outline.py", GetParam(), *dir_);
}

INSTANTIATE_TEST_SUITE_P(Readers, OutlineReaders,
                         ::testing::Values("poi", "xlrd", "libreoffice", "gnumeric"),
                         [](const auto& info) { return info.param; });

}  // namespace
}  // namespace tabulon
