// Conditional formats as the readers show them: "conditions.xls" (BIFF8)
// holds cell-value conditions of every operator, formula conditions with
// relative, mixed and absolute references, and every format part, on two
// ranges of one sheet and one range of another; "conditions5.xls" (BIFF5)
// has the same cells, its conditions refused. tests/readers/check_conditions.py
// knows what each reader must show; a reader that is not installed skips.
#include <gtest/gtest.h>

#include <string>

#include "BookTestUtil.h"
#include "FormatConditionTestUtil.h"
#include "ReaderTestUtil.h"
#include "Tabulon.h"

namespace tabulon {
namespace {

using condition_test::CellValue;
using condition_test::Expression;

constexpr TXLSColor kRed = 0x0000FF, kGreen = 0x00FF00, kBlue = 0xFF0000, kYellow = 0x00FFFF;

// Adds the condition, expecting what the workbook's format allows.
void Add(IXLSWorkSheet& sheet, const std::string& from, const std::string& to,
         const TXLSFormatCondition& condition, bool biff8) {
  EXPECT_EQ(sheet.FGetRange(from, to)->AddFormatCondition(condition), biff8 ? 1 : -1)
      << from << ":" << to << " " << sheet.GetLastError();
}

void FillNumbers(IXLSWorkSheet& sheet) {
  for (int32_t row = 1; row <= 8; ++row) {
    for (int32_t col = 1; col <= 7; ++col) sheet.GetCells()->GetItem(row, col)->SetValue(row * col);
  }
}

void BuildScores(IXLSWorkSheet& scores, bool biff8) {
  TXLSFormatCondition between = CellValue(xlBetween, "10", "20");
  between.FontColor = kRed;
  between.Bold = true;
  Add(scores, "B2", "C6", between, biff8);
  TXLSFormatCondition greater = CellValue(xlGreater, "=$E$1");
  greater.Italic = true;
  greater.FillColor = kYellow;
  Add(scores, "B2", "C6", greater, biff8);
  TXLSFormatCondition relative = Expression("=B2>C2");
  relative.BorderColor = kBlue;
  relative.FontColor = kGreen;
  Add(scores, "B2", "C6", relative, biff8);
  TXLSFormatCondition outside = CellValue(xlNotBetween, "1", "3");
  outside.FillColor = kGreen;
  Add(scores, "E3", "F8", outside, biff8);
  TXLSFormatCondition mixed = Expression("=AND($A3>0,E3<>E$1)");
  mixed.FontColor = kBlue;
  mixed.Italic = true;
  mixed.Bold = false;
  Add(scores, "E3", "F8", mixed, biff8);
}

void BuildSecond(IXLSWorkSheet& second, bool biff8) {
  TXLSFormatCondition atMost = CellValue(xlLessEqual, "=A1");
  atMost.FontColor = kRed;
  Add(second, "C4", "D5", atMost, biff8);
  TXLSFormatCondition equal = CellValue(xlEqual, "42");
  equal.FillColor = kBlue;
  Add(second, "C4", "D5", equal, biff8);
  TXLSFormatCondition atLeast = CellValue(xlGreaterEqual, "100");
  atLeast.BorderColor = kRed;
  Add(second, "C4", "D5", atLeast, biff8);
  TXLSFormatCondition less = CellValue(xlLess, "-1");
  less.Bold = true;
  Add(second, "G1", "G4", less, biff8);
  TXLSFormatCondition notEqual = CellValue(xlNotEqual, "3");
  notEqual.Italic = true;
  Add(second, "G1", "G4", notEqual, biff8);
}

std::string Build(const std::string& path, bool biff8) {
  TXLSWorkbook book;
  if (biff8) {
    EXPECT_EQ(book.SetFileFormat(xlExcel8), 1);
  }
  XLSPtr<IXLSWorkSheet> scores = book.GetWorksheets()->Add();
  scores->SetWorkSheetName("Scores");
  XLSPtr<IXLSWorkSheet> second = book.GetWorksheets()->Add();
  second->SetWorkSheetName("Second");
  FillNumbers(*scores);
  FillNumbers(*second);
  BuildScores(*scores, biff8);
  BuildSecond(*second, biff8);
  return book.SaveAs(path) == 1 ? "" : book.GetLastError();
}

class ConditionReaders : public ::testing::TestWithParam<std::string> {
 protected:
  static void SetUpTestSuite() {
    dir_ = new std::string(reader_test::FreshScratch("conditions"));
    *problems_ += Build(*dir_ + "/conditions.xls", true);
    *problems_ += Build(*dir_ + "/conditions5.xls", false);
  }
  static void TearDownTestSuite() {
    reader_test::RemoveScratch(*dir_);
    delete dir_;
  }
  static std::string* dir_;
  static std::string* problems_;
};

std::string* ConditionReaders::dir_ = nullptr;
std::string* ConditionReaders::problems_ = new std::string;

TEST_P(ConditionReaders, ReaderShowsTheConditions) {
  ASSERT_EQ(*problems_, "");
  reader_test::ExpectReaderShows("check_conditions.py", GetParam(), *dir_);
}

INSTANTIATE_TEST_SUITE_P(Readers, ConditionReaders,
                         ::testing::Values("poi", "libreoffice", "gnumeric"),
                         [](const auto& info) { return info.param; });

}  // namespace
}  // namespace tabulon
