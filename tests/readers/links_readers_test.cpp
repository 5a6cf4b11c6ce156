// One BIFF8 workbook with every kind of hyperlink and every kind of data
// validation, opened by each reader once: tests/readers/check_links.py knows
// what each must show and prints every fact it got wrong; a reader that is
// not installed skips its case. The BIFF5 refusals are unit tests
// (tests/model/sheet/validations_test.cpp).
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

// The addresses and texts are in check_links.py too.
std::string BuildLinks(TXLSWorksheet& links) {
  std::string problems;
  const auto link = [&](const std::string& cell, const std::string& address,
                        const std::string& text) {
    if (links.AddHyperlink(At(links, cell), address, text) != 1) problems += links.GetLastError();
  };
  link("A1", "https://example.com/page?q=1", "Example");
  link("A2", "mailto:team@example.com", "");
  link("A3", "../data/q1.xls", "Q1 data");
  link("A4", "C:\\Reports\\year.xls", "Year");
  link("A5", "#Lists!B2", "To the list");
  link("A6", "ftp://files.example.com/a.zip", "Archive");
  link("A7", "https://example.com/\xD0\xB6", "\xD0\xA1\xD1\x81\xD1\x8B\xD0\xBB\xD0\xBA\xD0\xB0");
  link("B8", "https://old.example.com", "old");
  if (links.AddHyperlink(At(links, "B8", "C9"), "https://new.example.com", "New") != 1)
    problems += links.GetLastError();
  return problems;
}

TXLSValidation Rule(int32_t type, int32_t op, const std::string& formula1,
                    const std::string& formula2 = "") {
  TXLSValidation rule;
  rule.Type = type;
  rule.Operator = op;
  rule.Formula1 = formula1;
  rule.Formula2 = formula2;
  return rule;
}

std::string BuildValidations(TXLSWorksheet& rules, TXLSWorksheet& lists) {
  std::string problems;
  const auto add = [&](const std::string& from, const std::string& to, const TXLSValidation& rule) {
    if (At(rules, from, to)->AddValidation(rule) != 1) problems += rules.GetLastError() + "; ";
  };
  At(lists, "A1")->SetValue("North");
  At(lists, "A2")->SetValue("South");
  At(lists, "A3")->SetValue("East");
  TXLSValidation items = Rule(xlValidateList, xlBetween, "North,South,East");
  items.InputTitle = "Region";
  items.InputMessage = "Pick one";
  items.ErrorTitle = "Wrong";
  items.ErrorMessage = "Not a region";
  add("B2", "B5", items);
  add("C2", "C5", Rule(xlValidateList, xlBetween, "=Lists!$A$1:$A$3"));
  add("L2", "L5", Rule(xlValidateList, xlBetween, "=Lists!A1:A3"));  // moves down with the cell
  TXLSValidation whole = Rule(xlValidateWholeNumber, xlBetween, "1", "10");
  whole.AlertStyle = xlValidAlertWarning;
  add("D2", "D5", whole);
  TXLSValidation decimal = Rule(xlValidateDecimal, xlGreater, "0.5");
  decimal.AlertStyle = xlValidAlertInformation;
  add("E2", "E5", decimal);
  add("F2", "F5", Rule(xlValidateDate, xlBetween, "DATE(2024,1,1)", "45657"));
  add("G2", "G5", Rule(xlValidateTime, xlLess, "0.5"));
  add("H2", "H5", Rule(xlValidateTextLength, xlLessEqual, "10"));
  add("I2", "I5", Rule(xlValidateCustom, xlBetween, "=I2>D2"));
  TXLSValidation input = Rule(xlValidateInputOnly, xlBetween, "");
  input.InputTitle = "Note";
  input.InputMessage = "Anything goes";
  add("J2", "J5", input);
  // K3 takes a rule of its own: the first keeps K2 and K4:K5.
  add("K2", "K5", Rule(xlValidateWholeNumber, xlNotBetween, "1", "5"));
  add("K3", "K3", Rule(xlValidateDecimal, xlEqual, "3.5"));
  return problems;
}

class LinksReaders : public ::testing::TestWithParam<std::string> {
 protected:
  static void SetUpTestSuite() {
    dir_ = new std::string(reader_test::FreshScratch("links"));
    TXLSWorkbook book;
    book.SetUtf8Texts(true);
    book.SetFileFormat(xlExcel8);
    TXLSWorksheet& links = AddSheet(book, "Links");
    TXLSWorksheet& rules = AddSheet(book, "Rules");
    TXLSWorksheet& lists = AddSheet(book, "Lists");
    *problems_ += BuildLinks(links) + BuildValidations(rules, lists);
    if (book.SaveAs(*dir_ + "/links.xls") != 1) *problems_ += book.GetLastError();
  }
  static void TearDownTestSuite() {
    reader_test::RemoveScratch(*dir_);
    delete dir_;
  }
  static std::string* dir_;
  static std::string* problems_;
};

std::string* LinksReaders::dir_ = nullptr;
std::string* LinksReaders::problems_ = new std::string;

TEST_P(LinksReaders, ReaderShowsEveryLinkAndRule) {
  ASSERT_EQ(*problems_, "");
  reader_test::ExpectReaderShows("check_links.py", GetParam(), *dir_);
}

INSTANTIATE_TEST_SUITE_P(Readers, LinksReaders,
                         ::testing::Values("poi", "xlrd", "libreoffice", "gnumeric"),
                         [](const auto& info) { return info.param; });

}  // namespace
}  // namespace tabulon
