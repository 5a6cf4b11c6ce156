// Formula workbooks opened in real readers: xlrd reads the cached results,
// LibreOffice (headless to .xlsx, read with openpyxl) keeps the formula text
// and shows the value, Gnumeric (ssconvert to CSV) shows the value. One copy
// is edited with openpyxl and converted back by LibreOffice, which must
// recalculate the dependent cells. A UTF-8 workbook in code page 1251 goes
// through xlrd and LibreOffice with the others. Two soffice runs in all.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <map>
#include <sstream>
#include <string>

#include "Tabulon.h"
#include "ToolRun.h"
#include "XLSWorkSheets.h"

namespace tabulon {
namespace {

using test::ShellQuoted;

struct TCase {
  const char* cell;
  const char* formula;
  const char* value;  // normalised as check_formulas.py prints it; null: not compared
};

// Inputs: Calc!A1:A4 3, 4, "text", -2.5; B1:B3 apple, pear, plum; C1:C3 10,
// 20, 30; 'Other sheet'!B2:B9 1 to 8.
const TCase kCases[] = {
    {"E1", "=A1*2+1", "7"},
    {"E2", "=1+2*3-4/8^2", "6.9375"},
    {"E3", "=(A1+1)*-A2%", "-0.16"},
    {"E4", "=IF(TRUE,\"a\",FALSE)&A1", "a3"},
    {"E5", "=A1<A2", "1"},
    {"E6", "=SUM(A1:A4)", "4.5"},
    {"E7", "=SUM('Other sheet'!B2:B9)", "36"},
    {"E8", "=AVERAGE(A1:A2)+COUNT(A1:A4)+COUNTA(A1:A4)", "10.5"},
    {"E9", "=MIN(A1:A4)*MAX(A1:A4)", "-10"},
    {"E10", "=IF(AND(A1>1,OR(A2>5,NOT(A1=4))),\"yes\",\"no\")", "yes"},
    {"E11", "=ROUND(2.675,2)+ROUNDUP(-1.21,1)+ROUNDDOWN(1.29,1)", "2.58"},
    {"E12", "=INT(A4)+ABS(A4)+MOD(-7,3)+SQRT(16)", "5.5"},
    {"E13", "=LEN(B1)&LEFT(B1,2)&RIGHT(B1)&MID(B1,2,3)", "5apeppl"},
    {"E14", "=UPPER(B1)&LOWER(\"X\")&TRIM(\"  a   b \")", "APPLExa_b"},
    {"E15", "=CONCATENATE(B1,\"-\",A1)", "apple-3"},
    {"E16", "=TEXT(1234.567,\"#,##0.00\")", "1,234.57"},
    {"E17", "=VALUE(\"12.5\")*2", "25"},
    {"E18", "=DATE(2024,2,29)", "45351"},
    {"E19", "=YEAR(E18)*10000+MONTH(E18)*100+DAY(E18)", "20240229"},
    {"E20", "=SUMIF(C1:C3,\">15\")+COUNTIF(B1:B3,\"p*\")", "52"},
    {"E21", "=VLOOKUP(\"pear\",B1:C3,2,FALSE)", "20"},
    {"E22", "=INDEX(B1:C3,MATCH(30,C1:C3,0),1)", "plum"},
    {"E23", "=IF(ISBLANK(A9),1,0)+IF(ISNUMBER(A3),10,0)", "1"},
    {"E24", "=1/0", "#DIV/0!"},
    {"E25", "=A3*2", "#VALUE!"},
    {"E26", "=IF(ISERROR(1/0),\"caught\",1)", "caught"},
    {"E27", "='Other sheet'!$B$3*E1", "14"},
    {"E28", "=TODAY()-NOW()<1", "1"},
    {"E29", "=TEXT(123456789012345,\"#,##0.00000000000000000000000000000000000000000000000000\")",
     "123,456,789,012,345.00000000000000000000000000000000000000000000000000"},
};

// A UTF-8 workbook in code page 1251: Texts!A1 holds "Привет".
#define TABULON_HELLO "\xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82"
const TCase kUtf8Cases[] = {
    {"B1", "=\"" TABULON_HELLO "\"", TABULON_HELLO},
    {"B2", "=LEN(\"" TABULON_HELLO "\")", "6"},
    {"B3", "=LEFT(A1,1)&RIGHT(A1,2)", "\xD0\x9F\xD0\xB5\xD1\x82"},  // Пет
    {"B4", "=MID(A1,2,3)", "\xD1\x80\xD0\xB8\xD0\xB2"},             // рив
    {"B5", "=LEN(A1&\"\xD1\x8C\")", "7"},
};

// After the edit Calc!A1 = 10 in LibreOffice's copy.
const TCase kAfterEdit[] = {
    {"E1", "", "21"}, {"E8", "", "14"}, {"E27", "", "42"}, {"E15", "", "apple-10"}};

void Put(IXLSWorkSheet& sheet, const std::string& cell, const OleVariant& value) {
  sheet.FGetRange(cell, cell)->SetValue(value);
}

void BuildFormulaBook(const std::string& path) {
  TXLSWorkbook book;
  XLSPtr<IXLSWorkSheet> calc = book.GetSheets().Add();
  calc->SetWorkSheetName("Calc");
  XLSPtr<IXLSWorkSheet> other = book.GetSheets().Add();
  other->SetWorkSheetName("Other sheet");
  XLSPtr<IXLSWorkSheet> fill = book.GetSheets().Add();
  fill->SetWorkSheetName("Fill");
  Put(*calc, "A1", OleVariant(3.0));
  Put(*calc, "A2", OleVariant(4.0));
  Put(*calc, "A3", OleVariant("text"));
  Put(*calc, "A4", OleVariant(-2.5));
  Put(*calc, "B1", OleVariant("apple"));
  Put(*calc, "B2", OleVariant("pear"));
  Put(*calc, "B3", OleVariant("plum"));
  for (int i = 1; i <= 3; ++i) Put(*calc, "C" + std::to_string(i), OleVariant(10.0 * i));
  for (int i = 2; i <= 9; ++i) Put(*other, "B" + std::to_string(i), OleVariant(i - 1.0));
  for (const TCase& c : kCases) {
    const TXLSFormulaStatus status = calc->FGetRange(c.cell, c.cell)->SetFormula(c.formula);
    EXPECT_TRUE(status.Ok()) << c.formula << ": " << status.Message;
  }
  // Filled down, totalled, then rows inserted above and inside the block.
  Put(*fill, "B1", OleVariant(2.0));
  for (int i = 2; i <= 100; ++i) Put(*fill, "A" + std::to_string(i), OleVariant(i - 1.0));
  fill->FGetRange("C2", "C100")->SetFormula("=A2*$B$1");
  fill->FGetRange("C101", "C101")->SetFormula("=SUM(C2:C100)");
  fill->FGetRange("A1", "A1")->GetEntireRow()->Insert(OleVariant::Missing());
  fill->FGetRange("A50", "A50")->GetEntireRow()->Insert(OleVariant::Missing());
  Put(*fill, "C50", OleVariant(100.0));
  Put(*fill, "A1", OleVariant("Fill"));  // Gnumeric's CSV starts at the first row used
  // A chain of 999 links, each cell reading the one below.
  fill->FGetRange("E1", "E999")->SetFormula("=E2+1");
  Put(*fill, "E1000", OleVariant(1.0));
  EXPECT_EQ(book.SaveAs(path), 1) << book.GetLastError();
}

void BuildUtf8Book(const std::string& path) {
  TXLSWorkbook book;
  book.SetUtf8Texts(true);
  EXPECT_EQ(book.SetCodePage(1251), 1);
  XLSPtr<IXLSWorkSheet> texts = book.GetSheets().Add();
  texts->SetWorkSheetName("Texts");
  Put(*texts, "A1", OleVariant(TABULON_HELLO));
  for (const TCase& c : kUtf8Cases) {
    const TXLSFormulaStatus status = texts->FGetRange(c.cell, c.cell)->SetFormula(c.formula);
    EXPECT_TRUE(status.Ok()) << c.formula << ": " << status.Message;
  }
  EXPECT_EQ(book.SaveAs(path), 1) << book.GetLastError();
  EXPECT_EQ(book.GetTextLosses().Count, 0u);
}

class FormulaReaders : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    if (test::Run({"sh", "-c", "command -v soffice && command -v ssconvert && command -v sqlite3"})
                .Status != 0 ||
        test::Run({"/usr/bin/python3", "-c", "import openpyxl, xlrd"}).Status != 0) {
      missing_ = "soffice, ssconvert, sqlite3, openpyxl or xlrd is not installed";
      return;
    }
    dir_ = test::ScratchDir() + "/formula_readers_" + std::to_string(getpid());
    test::Run({"rm", "-rf", dir_});
    mkdir(dir_.c_str(), 0755);
    BuildFormulaBook(dir_ + "/formulas.xls");
    BuildUtf8Book(dir_ + "/utf8.xls");
    ExportOrders();
    const std::string soffice =
        "soffice -env:UserInstallation=file://" + dir_ + "/profile --headless ";
    test::Run({"sh", "-c",
               "cd " + ShellQuoted(dir_) + " && " + soffice +
                   "--convert-to xlsx --outdir lo formulas.xls orders.xls utf8.xls && ssconvert -S "
                   "formulas.xls gnumeric%n.csv"});
    Read("xlrd", {dir_ + "/formulas.xls"});
    Read("xlrd", {dir_ + "/orders.xls"});
    Read("lo", {dir_ + "/lo/formulas.xlsx"});
    Read("lo", {dir_ + "/lo/orders.xlsx"});
    Read("xlrd", {dir_ + "/utf8.xls"});
    Read("lo", {dir_ + "/lo/utf8.xlsx"});
    Read("gnumeric", {dir_ + "/formulas.xls", dir_ + "/gnumeric"});
    // LibreOffice's copy with an input changed, back through LibreOffice.
    Script({"edit", dir_ + "/lo/formulas.xlsx", dir_ + "/edited.xlsx", "Calc", "A1", "10"});
    test::Run({"sh", "-c",
               "cd " + ShellQuoted(dir_) + " && " + soffice +
                   "--convert-to xls --outdir back edited.xlsx"});
    const std::string after = Script({"xlrd", dir_ + "/back/edited.xls"});
    Parse(after, "edited ");
  }
  static void TearDownTestSuite() {
    if (!dir_.empty()) test::Run({"rm", "-rf", dir_});
  }
  void SetUp() override {
    if (!missing_.empty()) GTEST_SKIP() << missing_;
  }

  // The order book exported with totals by the tabulon command.
  static void ExportOrders() {
    const std::string db = dir_ + "/orders.db";
    test::Run({"sh", "-c",
               "sqlite3 " + ShellQuoted(db) + " < " +
                   ShellQuoted(TABULON_SOURCE_DIR "/examples/orders.sql")});
    const std::string flavour = TABULON_FLAVOUR;
    const test::TRunResult run = test::Run(
        {std::string(TABULON_BINARY_DIR) + (flavour == "7" ? "/tabulon" : "/tabulon_cli" + flavour),
         "export", "--db", db, "--query",
         "SELECT order_no, customer, quantity, unit_price, amount FROM orders ORDER BY order_no",
         "-o", dir_ + "/orders.xls", "--sheet", "Orders", "--totals"});
    EXPECT_EQ(run.Status, 0) << run.Err;
    sums_ =
        test::Run({"sqlite3", db, "SELECT sum(quantity), sum(unit_price), sum(amount) FROM orders"})
            .Out;
  }

  static std::string Script(const std::vector<std::string>& args) {
    std::vector<std::string> argv = {"/usr/bin/python3",
                                     TABULON_SOURCE_DIR "/tests/readers/check_formulas.py"};
    argv.insert(argv.end(), args.begin(), args.end());
    const test::TRunResult run = test::Run(argv);
    if (run.Status != 0) ADD_FAILURE() << "reader failed: " << run.Err;
    return run.Out;
  }
  static void Read(const std::string& reader, std::vector<std::string> args) {
    args.insert(args.begin(), reader);
    Parse(Script(args), "");
  }
  // "reader Sheet!A1 value [formula]" lines into values_ and formulas_.
  static void Parse(const std::string& text, const std::string& prefix) {
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);) {
      std::istringstream fields(line);
      std::string reader, cell, value, formula;
      fields >> reader >> cell >> value;
      std::getline(fields >> std::ws, formula);
      values_[prefix + reader + " " + cell] = value;
      if (!formula.empty()) formulas_[reader + " " + cell] = formula;
    }
  }
  static std::string Value(const std::string& key) {
    const auto found = values_.find(key);
    return found == values_.end() ? "(missing)" : found->second;
  }
  static std::string Formula(const std::string& key) {
    const auto found = formulas_.find(key);
    return found == formulas_.end() ? "(missing)" : found->second;
  }

  static void ExpectEveryKindOfFormula();
  static void ExpectRecalculationAfterAnEdit();
  static void ExpectFilledFormulasAndTotalsAfterInserts();
  static void ExpectExportTotalsEqualTheSqlSums();
  static void ExpectUtf8TextsInTheCodePage();

  static std::string dir_;
  static std::string missing_;
  static std::string sums_;
  static std::map<std::string, std::string> values_;
  static std::map<std::string, std::string> formulas_;
};

std::string FormulaReaders::dir_;
std::string FormulaReaders::missing_;
std::string FormulaReaders::sums_;
std::map<std::string, std::string> FormulaReaders::values_;
std::map<std::string, std::string> FormulaReaders::formulas_;

// One test, so that the readers run once per test run (ctest starts each
// test in a process of its own).
TEST_F(FormulaReaders, FormulasReadBackInLibreOfficeXlrdAndGnumeric) {
  ExpectEveryKindOfFormula();
  ExpectRecalculationAfterAnEdit();
  ExpectFilledFormulasAndTotalsAfterInserts();
  ExpectExportTotalsEqualTheSqlSums();
  ExpectUtf8TextsInTheCodePage();
}

void FormulaReaders::ExpectEveryKindOfFormula() {
  SCOPED_TRACE("every kind of formula");
  for (const TCase& c : kCases) {
    const std::string cell = std::string("Calc!") + c.cell;
    EXPECT_EQ(Formula("lo " + cell), c.formula) << cell;
    for (const char* reader : {"xlrd ", "lo ", "gnumeric "})
      EXPECT_EQ(Value(reader + cell), c.value) << reader << cell << " " << c.formula;
  }
}

void FormulaReaders::ExpectRecalculationAfterAnEdit() {
  SCOPED_TRACE("LibreOffice recalculates after an input changes");
  for (const TCase& c : kAfterEdit) {
    const std::string cell = std::string("Calc!") + c.cell;
    EXPECT_EQ(Value("edited xlrd " + cell), c.value) << cell;
  }
}

void FormulaReaders::ExpectFilledFormulasAndTotalsAfterInserts() {
  SCOPED_TRACE("filled formulas and totals after inserted rows");
  // C2:C100 held =A2*$B$1 and C101 their sum; a row went in above and one
  // inside the block, which now holds a 100 in C50.
  EXPECT_EQ(Formula("lo Fill!C3"), "=A3*$B$2");
  EXPECT_EQ(Formula("lo Fill!C49"), "=A49*$B$2");
  EXPECT_EQ(Formula("lo Fill!C51"), "=A51*$B$2");
  EXPECT_EQ(Formula("lo Fill!C102"), "=A102*$B$2");
  EXPECT_EQ(Formula("lo Fill!C103"), "=SUM(C3:C102)");
  for (const char* reader : {"xlrd ", "lo ", "gnumeric "}) {
    EXPECT_EQ(Value(std::string(reader) + "Fill!C102"), "198") << reader;
    EXPECT_EQ(Value(std::string(reader) + "Fill!C103"), "10000") << reader;
    EXPECT_EQ(Value(std::string(reader) + "Fill!E1"), "1000") << reader << " (deep chain)";
  }
}

void FormulaReaders::ExpectExportTotalsEqualTheSqlSums() {
  SCOPED_TRACE("tabulon export --totals");
  std::istringstream sums(sums_);
  double quantity = 0, price = 0, amount = 0;
  char bar = 0;
  sums >> quantity >> bar >> price >> bar >> amount;
  EXPECT_GT(amount, 0) << sums_;
  EXPECT_EQ(Value("xlrd Orders!A4002"), "Total");
  EXPECT_EQ(Formula("lo Orders!C4002"), "=SUM(C2:C4001)");
  EXPECT_EQ(Formula("lo Orders!E4002"), "=SUM(E2:E4001)");
  EXPECT_EQ(Value("xlrd Orders!B4002"), "(missing)");  // text fields are not summed
  for (const char* reader : {"xlrd ", "lo "}) {
    const std::string at = std::string(reader) + "Orders!";
    EXPECT_NEAR(std::atof(Value(at + "C4002").c_str()), quantity, 1e-6) << reader;
    EXPECT_NEAR(std::atof(Value(at + "D4002").c_str()), price, 0.005) << reader;
    EXPECT_NEAR(std::atof(Value(at + "E4002").c_str()), amount, 0.005) << reader;
  }
}

// Text constants and results stored in code page 1251 (not as UTF-8 bytes),
// text functions counting characters.
void FormulaReaders::ExpectUtf8TextsInTheCodePage() {
  SCOPED_TRACE("UTF-8 formula texts in code page 1251");
  for (const TCase& c : kUtf8Cases) {
    const std::string cell = std::string("Texts!") + c.cell;
    EXPECT_EQ(Formula("lo " + cell), c.formula) << cell;
    for (const char* reader : {"xlrd ", "lo "})
      EXPECT_EQ(Value(reader + cell), c.value) << reader << cell << " " << c.formula;
  }
}

}  // namespace
}  // namespace tabulon
