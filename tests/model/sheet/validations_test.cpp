#include <gtest/gtest.h>

#include <string>

#include "SheetRecords.h"
#include "XLSRange.h"
#include "XLSRecordIds.h"
#include "XLSValidations.h"

namespace tabulon {
namespace {

using namespace testing_records;

struct TBiff8Book : TBook {
  TBiff8Book() : TBook(2) { EXPECT_EQ(book.SetFileFormat(xlExcel8), 1); }
};

TXLSValidation Rule(int32_t type, std::string formula1, std::string formula2 = "") {
  TXLSValidation rule;
  rule.Type = type;
  rule.Formula1 = std::move(formula1);
  rule.Formula2 = std::move(formula2);
  return rule;
}

std::vector<TBytes> SavedRecords(TXLSWorksheet& sheet, uint16_t id) {
  sheet.BeginSave();
  EXPECT_EQ(sheet.StoreCells(), 1);
  EXPECT_EQ(sheet.Close(), 1);
  return WithId(DataRecords(sheet), id);
}

TEST(ValidationRecords, DvalThenOneDvPerRule) {
  TBiff8Book book;
  TXLSWorksheet& sheet = book.Sheet();
  ASSERT_EQ(sheet.FGetRange("C3", "C4")->AddValidation(Rule(xlValidateList, "a,b")), 1);
  TXLSValidation between = Rule(xlValidateWholeNumber, "1", "=10");
  between.AlertStyle = xlValidAlertWarning;
  between.InCellDropdown = false;
  between.InputTitle = "T";
  between.ErrorMessage = "M";
  ASSERT_EQ(sheet.FGetRange("A1", "A1")->AddValidation(between), 1);
  ASSERT_EQ(sheet.FGetRange("E5", "E5")->AddValidation(Rule(xlValidateCustom, "B1>$A$1")), 1);
  const auto all = SavedRecords(sheet, xlsrec::kDval);
  const auto records = WithId(DataRecords(sheet), xlsrec::kDv);
  // No fixed input window place, no drop-down object yet, three DV records.
  EXPECT_EQ(all[0], (TBytes{0xB2, 0x01, 18, 0,    0,    0,    0,    0, 0, 0, 0,
                            0,    0,    0,  0xFF, 0xFF, 0xFF, 0xFF, 3, 0, 0, 0}));
  ASSERT_EQ(records.size(), 3u);
  // Empty texts are one NUL character; the items are one text, NUL-separated.
  const TBytes empty = {1, 0, 0, 0};
  const TBytes list =
      TBytes{0xBE, 0x01, 44, 0, 0x83, 0x01, 0x0C, 0x00} + empty + empty + empty + empty +
      TBytes{6, 0, 0, 0, 0x17, 3, 0, 'a', 0, 'b', 0, 0, 0, 0, 1, 0, 2, 0, 3, 0, 2, 0, 2, 0};
  EXPECT_EQ(records[0], list);
  const TBytes whole =
      TBytes{0xBE, 0x01, 44, 0, 0x11, 0x03, 0x0C, 0x00, 1, 0, 0, 'T'} + empty + empty +
      TBytes{1, 0, 0, 'M'} +
      TBytes{3, 0, 0, 0, 0x1E, 1, 0, 3, 0, 0, 0, 0x1E, 10, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0};
  EXPECT_EQ(records[1], whole);
  // A relative reference is an offset from the first cell (tRefN), an absolute one a cell.
  const TBytes custom = {11, 0, 0, 0, 0x4C, 0xFC, 0xFF, 0xFD, 0xC0, 0x44, 0, 0, 0, 0, 0x0D};
  EXPECT_EQ(TBytes(records[2].begin() + 24, records[2].begin() + 24 + custom.size()), custom);
}

TEST(Validations, ALaterRuleTakesItsCellsAndFormulasFollowTheFirstCell) {
  TBiff8Book book;
  TXLSWorksheet& sheet = book.Sheet();
  ASSERT_EQ(sheet.FGetRange("A1", "C10")->AddValidation(Rule(xlValidateCustom, "B1>$A$1")), 1);
  ASSERT_EQ(sheet.FGetRange("A1", "C2")->AddValidation(Rule(xlValidateDecimal, "0.5", "1.5")), 1);
  sheet.FGetRange("B5", "B5")->DeleteValidation();
  const auto& entries = sheet.GetValidations().Entries();
  ASSERT_EQ(entries.size(), 2u);
  EXPECT_EQ(entries[0].Areas.size(), 4u);  // A3:C4, A5, C5, A6:C10
  EXPECT_EQ(FormulaText(entries[0].Rule.Formula1, sheet), "=B3>$A$1");
  EXPECT_EQ(entries[1].Areas.size(), 1u);
  sheet.FGetRange("A1", "C10")->DeleteValidation();
  EXPECT_TRUE(sheet.GetValidations().Entries().empty());
}

TEST(Validations, RefusedRules) {
  TBiff8Book book;
  XLSPtr<IXLSRange> range = book.Sheet().FGetRange("A1", "A2");
  const auto refusal = [&](const TXLSValidation& rule) {
    EXPECT_EQ(range->AddValidation(rule), -1);
    return book.Sheet().GetLastError();
  };
  EXPECT_EQ(refusal(Rule(9, "1")),
            "AddValidation: type 9 is not one of xlValidateInputOnly (0) to xlValidateCustom (7)");
  EXPECT_EQ(refusal(Rule(xlValidateDate, "DATE(2024,1,1)")),
            "AddValidation: Formula2 is empty; xlBetween and xlNotBetween need two bounds");
  EXPECT_EQ(refusal(Rule(xlValidateList, std::string(256, 'x'))),
            "AddValidation: the list has 256 characters, more than 255");
  EXPECT_EQ(refusal(Rule(xlValidateTextLength, "")), "AddValidation: Formula1 is empty");
  EXPECT_NE(refusal(Rule(xlValidateCustom, "=A1>")).find("AddValidation: Formula1 \"=A1>\""),
            std::string::npos);
  TXLSValidation titled = Rule(xlValidateInputOnly, "");
  titled.InputTitle = std::string(33, 't');
  EXPECT_EQ(refusal(titled), "AddValidation: InputTitle has 33 characters, more than 32");
  titled.InputTitle.clear();
  titled.ErrorMessage = std::string(256, 'm');
  EXPECT_EQ(refusal(titled), "AddValidation: ErrorMessage has 256 characters, more than 255");
  EXPECT_TRUE(book.Sheet().GetValidations().Entries().empty());
}

TEST(Validations, Biff5RefusesLinksAndValidationsAndTheSwitchBack) {
  TBook biff5;
  TXLSWorksheet& sheet = biff5.Sheet();
  EXPECT_EQ(sheet.FGetRange("A1", "A1")->AddValidation(Rule(xlValidateList, "a")), -1);
  EXPECT_EQ(sheet.GetLastError(),
            "AddValidation: data validations need a BIFF8 workbook "
            "(TXLSWorkbook::SetFileFormat(xlExcel8))");
  EXPECT_EQ(sheet.AddHyperlink(sheet.FGetRange("A1", "A1"), "https://x.org"), -1);
  EXPECT_EQ(
      sheet.GetLastError(),
      "AddHyperlink: hyperlinks need a BIFF8 workbook (TXLSWorkbook::SetFileFormat(xlExcel8))");
  TBiff8Book book;
  ASSERT_EQ(book.Sheet(2).FGetRange("C3", "C4")->AddValidation(Rule(xlValidateList, "a")), 1);
  EXPECT_EQ(book.book.SetFileFormat(xlExcel5), -1);
  EXPECT_EQ(book.book.GetLastError(),
            "the data validation in Sheet2!C3:C4 needs a BIFF8 workbook: a BIFF5 file cannot "
            "carry it");
  ASSERT_EQ(book.Sheet().AddHyperlink(book.Sheet().FGetRange("B2", "B2"), "a.xls"), 1);
  EXPECT_EQ(book.book.SetFileFormat(xlExcel5), -1);
  EXPECT_EQ(book.book.GetLastError(),
            "the hyperlink in Sheet1!B2 needs a BIFF8 workbook: a BIFF5 file cannot carry it");
}

}  // namespace
}  // namespace tabulon
