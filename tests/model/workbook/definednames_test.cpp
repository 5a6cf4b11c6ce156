// Defined names: what AddName accepts, how formulas use names, their NAME
// records and name tokens byte for byte in both formats, and what deleting
// or renaming a sheet does to them.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "BookTestUtil.h"
#include "XLSDefinedNames.h"
#include "XLSWorkSheets.h"
#include "XLSWorkbook.h"
#include "XLSWorksheet.h"

namespace tabulon {
namespace {

using book_test::BookRecords;
using book_test::GlobalsOf;
using book_test::TBytes;
using book_test::TRecord;
using book_test::WithId;

std::string Hex(const TBytes& bytes, size_t from = 0) {
  std::string text;
  char digits[4];
  for (size_t i = from; i < bytes.size(); ++i) {
    std::snprintf(digits, sizeof digits, i == from ? "%02X" : " %02X", bytes[i]);
    text += digits;
  }
  return text;
}

// Twelve zero bytes, as BIFF5 3-D references and name tokens carry them.
const std::string kTwelveZeros = "00 00 00 00 00 00 00 00 00 00 00 00";

class DefinedNames : public ::testing::Test {
 protected:
  DefinedNames() {
    book.GetSheets().Add();
    book.GetSheets().Add();
    sales = book.GetSheets().GetSheet(1);
    other = book.GetSheets().GetSheet(2);
    sales->SetWorkSheetName("Sales");
    other->SetWorkSheetName("Other");
    for (int row = 2; row <= 9; ++row) Cell(sales, "B" + std::to_string(row))->SetValue(row);
  }
  static TXLSWorksheet* Sheet(IXLSWorkSheet* sheet) { return static_cast<TXLSWorksheet*>(sheet); }
  XLSPtr<IXLSRange> Cell(IXLSWorkSheet* sheet, const std::string& cell) {
    return sheet->FGetRange(cell, cell);
  }
  std::vector<TRecord> Names() { return WithId(GlobalsOf(BookRecords(book)), xlsrec::kName); }
  // The tokens of the FORMULA record of sheet `index` (1-based) at (row, col).
  TBytes FormulaTokens(int32_t index, uint16_t row, uint16_t col) {
    int32_t sheetsSeen = 0;
    for (const TRecord& record : BookRecords(book)) {
      if (record.id == xlsrec::kBof) ++sheetsSeen;
      if (record.id == xlsrec::kFormula && sheetsSeen == index + 1 && record.Word(0) == row &&
          record.Word(2) == col)
        return TBytes(record.data.begin() + 22, record.data.end());
    }
    return {};
  }

  TXLSWorkbook book;
  TXLSWorksheet* sales = nullptr;
  TXLSWorksheet* other = nullptr;
};

TEST_F(DefinedNames, AddNameChecksNamesScopesAndDefinitions) {
  ASSERT_EQ(book.AddName("Total_2.a\\b", "=Sales!$B$2:$B$9"), 1) << book.GetLastError();
  ASSERT_EQ(book.AddName("_rate", "=0.07"), 1);
  struct TCase {
    const char* Name;
    const char* RefersTo;
    const char* Says;
  };
  const TCase refused[] = {
      {"", "=1", "cannot be empty"},
      {"1st", "=1", "starts with a letter"},
      {"a b", "=1", "not ' '"},
      {"A1", "=1", "cell reference"},
      {"xfd1048576", "=1", "cell reference"},
      {"R1C1", "=1", "cell reference"},
      {"rc", "=1", "cell reference"},
      {"C", "=1", "cell reference"},
      {"True", "=1", "TRUE or FALSE"},
      {"TOTAL_2.A\\B", "=2", "taken in the workbook"},
      {"Bad", "=B2", "names its sheet"},
      {"Bad", "=Nowhere!A1", "no sheet is named"},
      {"Bad", "=1+", "missing"},
      {"Bad", "=Missing*2", "unknown name 'Missing'"},
  };
  for (const TCase& c : refused) {
    EXPECT_EQ(book.AddName(c.Name, c.RefersTo), -1) << c.Name;
    EXPECT_NE(book.GetLastError().find(c.Says), std::string::npos) << book.GetLastError();
    EXPECT_NE(book.GetLastError().find(std::string("AddName '") + c.Name + "'"), std::string::npos);
  }
  EXPECT_EQ(book.AddName(std::string(255, 'n'), "=1"), 1);
  EXPECT_EQ(book.AddName(std::string(256, 'n'), "=1"), -1);
  // A sheet's names are its own: the workbook's spelling is free there, its
  // own is not, and a reference without a sheet means the sheet.
  EXPECT_EQ(other->AddName("_RATE", "=$A$1"), 1);
  EXPECT_EQ(sales->AddName("_rate", "=A1"), 1);
  EXPECT_EQ(other->AddName("_Rate", "=2"), -1);
  EXPECT_NE(other->GetLastError().find("taken on this sheet"), std::string::npos);
  EXPECT_EQ(book.GetNames().Count(), 5u);
  XLSPtr<IXLSWorkSheet> held = book.GetSheets().Add();
  held->Delete();
  EXPECT_EQ(held->AddName("Gone", "=1"), -1);
}

TEST_F(DefinedNames, FormulasUseTheSheetsNameBeforeTheWorkbooks) {
  ASSERT_EQ(book.AddName("Sales", "=Sales!$B$2:$B$9"), 1);
  ASSERT_EQ(book.AddName("Rate", "=0.5"), 1);
  ASSERT_EQ(other->AddName("Rate", "=Sales!B2*2"), 1);  // 4
  ASSERT_EQ(book.AddName("Twice", "=Rate*2"), 1);       // the workbook's Rate
  ASSERT_TRUE(Cell(sales, "D1")->SetFormula("=SUM(Sales)*rate").Ok());
  ASSERT_TRUE(Cell(other, "D1")->SetFormula("=SUM(Sales)*Rate+Twice").Ok());
  ASSERT_TRUE(Cell(sales, "D5")->SetFormula("=Sales+0").Ok());  // the row's cell of the block
  EXPECT_EQ(Cell(sales, "D1")->GetFormula(), "=SUM(Sales)*Rate");
  EXPECT_EQ(Cell(other, "D1")->GetFormula(), "=SUM(Sales)*Rate+Twice");
  EXPECT_EQ(Cell(sales, "D1")->GetValue(), OleVariant(22.0));
  EXPECT_EQ(Cell(other, "D1")->GetValue(), OleVariant(177.0));
  EXPECT_EQ(Cell(sales, "D5")->GetValue(), OleVariant(5.0));
  const TXLSFormulaStatus unknown = Cell(sales, "E1")->SetFormula("=1+Nowhere");
  EXPECT_EQ(unknown.Code, -1);
  EXPECT_EQ(unknown.Position, 4);
  EXPECT_NE(unknown.Message.find("unknown name 'Nowhere'"), std::string::npos);
}

// Each name adds its predecessor twice: the evaluator bounds the nesting and
// the expansions, and leaves what passes them to the reader.
TEST_F(DefinedNames, DeepAndWideChainsAreBounded) {
  ASSERT_EQ(book.AddName("Level0", "=1"), 1);
  for (int i = 1; i <= 60; ++i) {
    const std::string before = "Level" + std::to_string(i - 1);
    ASSERT_EQ(book.AddName("Level" + std::to_string(i), "=" + before + "+" + before), 1);
  }
  ASSERT_TRUE(Cell(sales, "A1")->SetFormula("=Level5").Ok());
  ASSERT_TRUE(Cell(sales, "A2")->SetFormula("=Level60").Ok());
  EXPECT_EQ(Cell(sales, "A1")->GetValue(), OleVariant(32.0));
  EvaluateWorkbookFormulas(*sales);
  EXPECT_FALSE(sales->GetFormulas().Find(0, 0)->NeedsRecalc);
  EXPECT_TRUE(sales->GetFormulas().Find(1, 0)->NeedsRecalc);
}

// User names come first, built-in names after them; a sheet-local name
// carries its sheet in both sheet fields (BIFF5) or the one it has (BIFF8).
TEST_F(DefinedNames, NameRecordsAndTokensInBothFormats) {
  ASSERT_EQ(book.AddName("Sales", "=Sales!$B$2:$B$9"), 1);
  ASSERT_EQ(other->AddName("Rate", "=0.5"), 1);
  sales->GetPageSetup()->FSetPrintArea("A1:B9");
  ASSERT_TRUE(Cell(other, "C1")->SetFormula("=SUM(Sales)*Rate").Ok());
  std::vector<TRecord> names = Names();
  ASSERT_EQ(names.size(), 3u);
  EXPECT_EQ(Hex(names[0].data),
            "00 00 00 05 15 00 00 00 00 00 00 00 00 00 53 61 6C 65 73 3B FF FF " + kTwelveZeros +
                " 01 00 08 00 01 01");
  EXPECT_EQ(Hex(names[1].data),
            "00 00 00 04 09 00 02 00 02 00 00 00 00 00 52 61 74 65 1F 00 00 00 00 00 00 E0 3F");
  EXPECT_EQ(names[2].data[14], 0x06);  // the print area
  EXPECT_EQ(Hex(FormulaTokens(2, 0, 2)),
            "23 01 00 " + kTwelveZeros + " 19 10 00 00 43 02 00 " + kTwelveZeros + " 05");

  ASSERT_EQ(book.SetFileFormat(xlExcel8), 1);
  names = Names();
  ASSERT_EQ(names.size(), 3u);
  EXPECT_EQ(
      Hex(names[0].data),
      "00 00 00 05 0B 00 00 00 00 00 00 00 00 00 00 53 61 6C 65 73 3B 00 00 01 00 08 00 01 00 "
      "01 00");
  EXPECT_EQ(Hex(names[1].data),
            "00 00 00 04 09 00 00 00 02 00 00 00 00 00 00 52 61 74 65 1F 00 00 00 00 00 00 E0 3F");
  EXPECT_EQ(names[2].data[15], 0x06);
  EXPECT_EQ(Hex(FormulaTokens(2, 0, 2)), "23 01 00 00 00 19 10 00 00 43 02 00 00 00 05");
}

// A rename is followed (the tokens hold the sheet, not its name); a deleted
// sheet leaves #REF! in the definitions that named it, and its own names
// are no longer written, the later ones taking their NAME indexes; inserted
// rows move the definitions.
TEST_F(DefinedNames, DeletedAndRenamedSheets) {
  XLSPtr<IXLSWorkSheet> third = book.GetSheets().Add();
  ASSERT_EQ(third->AddName("Local", "=1"), 1);
  ASSERT_EQ(book.AddName("OnThird", "=" + Sheet(third.get())->GetName() + "!$A$1"), 1);
  ASSERT_EQ(book.AddName("Total", "=SUM(Sales!$B$2:$B$9)"), 1);
  ASSERT_TRUE(Cell(other, "A1")->SetFormula("=Total+OnThird").Ok());
  sales->SetWorkSheetName("Renamed");
  ASSERT_EQ(book.SetFileFormat(xlExcel8), 1);
  third->Delete();
  EXPECT_EQ(Cell(other, "A1")->GetFormula(), "=Total+OnThird");
  EXPECT_EQ(Cell(other, "A1")->GetValue(), OleVariant("#REF!"));
  const std::vector<TRecord> names = Names();
  ASSERT_EQ(names.size(), 2u);
  EXPECT_EQ(Hex(names[0].data, 15), "4F 6E 54 68 69 72 64 1C 17");  // OnThird: #REF!
  EXPECT_EQ(Hex(FormulaTokens(2, 0, 0)), "43 02 00 00 00 43 01 00 00 00 03");
  ASSERT_TRUE(Cell(other, "A2")->SetFormula("=Total").Ok());
  EXPECT_EQ(Cell(other, "A2")->GetValue(), OleVariant(44.0));
  // Rows inserted above the block move a definition as they move a formula.
  sales->FGetRange("A1", "A2")->GetEntireRow()->Insert(OleVariant(xlShiftDown));
  EXPECT_EQ(Cell(other, "A2")->GetValue(), OleVariant(44.0));
}

TEST_F(DefinedNames, TheFileFormatIsCheckedAgainstTheirRows) {
  ASSERT_EQ(book.SetFileFormat(xlExcel8), 1);
  ASSERT_EQ(book.AddName("Far", "=Sales!$A$20000"), 1);
  EXPECT_EQ(book.SetFileFormat(xlExcel5), -1);
  EXPECT_NE(book.GetLastError().find("the name 'Far'"), std::string::npos);
  EXPECT_EQ(book.GetFileFormat(), xlExcel8);
}

}  // namespace
}  // namespace tabulon
