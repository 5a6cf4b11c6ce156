#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "BookTestUtil.h"
#include "RangeFormatTestUtil.h"
#include "XLSByteOrder.h"
#include "XLSFormula.h"
#include "XLSRecordIds.h"

namespace tabulon {
namespace {

class FormulaFixture : public range_test::RangeFixture {
 protected:
  TXLSFormulaStatus Set(const std::string& cell, const std::string& text) {
    return Range(cell)->SetFormula(text);
  }
  std::string Text(const std::string& cell) { return Range(cell)->GetFormula(); }
  OleVariant At(const std::string& cell) { return Range(cell)->GetValue(); }
  void Put(const std::string& cell, const OleVariant& value) { Range(cell)->SetValue(value); }
};

using Formulas = FormulaFixture;

TEST_F(Formulas, TextRoundTripsThroughTheTokens) {
  book.GetSheets().Add()->SetWorkSheetName("Other sheet");
  const char* texts[] = {
      "=1+2*3-4/5^2",
      "=-A1%+$B$2&\"a\"\"b\"",
      "=(A1+B1)*C$1",
      "=IF(A1>=1,\"yes\",IF(A1<>0,TRUE,#N/A))",
      "=SUM('Other sheet'!B2:B9)+'Other sheet'!$A1",
      "=ROUND(AVERAGE(A1:A3,2.5),1)",
      "=VLOOKUP(A1,$D$1:$E$9,2,FALSE)",
      "=IF(A1,,1)",
      "=CONCATENATE(LEFT(\"abc\"),MID(\"abc\",2,1),RIGHT(\"abc\",1))",
      "=A1<B1",
      "=TODAY()",
      "=IV16384",
  };
  for (const char* text : texts) {
    ASSERT_TRUE(Set("F1", text).Ok()) << text << ": " << Set("F1", text).Message;
    EXPECT_EQ(Text("F1"), text);
  }
  ASSERT_TRUE(Set("F1", "= sum( a1 : b2 ) + other!a1").Ok() == false);  // no sheet "other"
  ASSERT_TRUE(Set("F1", "= sum( a1:b2 ) ").Ok());
  EXPECT_EQ(Text("F1"), "=SUM(A1:B2)");
  EXPECT_EQ(Text("A1"), "");
}

TEST_F(Formulas, RefusalsNameThePositionAndChangeNothing) {
  Put("A1", OleVariant(5.0));
  ASSERT_TRUE(Set("B1", "=A1*2").Ok());
  struct TCase {
    std::string text;
    int32_t position;
    const char* says;
  };
  const TCase cases[] = {
      {"A1+1", 1, "starts with '='"},
      {"=1+", 4, "missing"},
      {"=(1+2", 2, "')' expected"},
      {"=1+*2", 4, "unexpected '*'"},
      {"=FOO(1)", 2, "unknown function FOO"},
      {"=IFERROR(A1,0)", 2, "does not exist in the BIFF5"},
      {"=ROUND(1)", 2, "at least 2 arguments"},
      {"=ROUND(1,2,3)", 12, "at most 2 arguments"},
      {"=A1+IW1", 5, "outside the sheet"},
      {"=A16385", 2, "1 to 16384"},
      {"=Nowhere!A1", 2, "no sheet is named"},
      {"=\"abc", 2, "no closing"},
      {"=SUM(A1 B1)", 9, "',' or ')' expected"},
      {"=1 2", 4, "unexpected '2'"},
      {"=0x1A", 3, "followed by letters"},
      {"=1e999", 2, "too large"},
      {"=" + std::string(101, '(') + "1" + std::string(101, ')'), 102, "deeper than 100"},
      {"=" + std::string(200000, '-') + "1", 102, "deeper than 100"},
      {"=" + std::string(100000, '('), 102, "deeper than 100"},
  };
  for (const TCase& c : cases) {
    const TXLSFormulaStatus status = Set("B1", c.text);
    EXPECT_EQ(status.Code, -1) << c.text;
    EXPECT_EQ(status.Position, c.position) << c.text << ": " << status.Message;
    EXPECT_NE(status.Message.find(c.says), std::string::npos) << status.Message;
    EXPECT_EQ(status.Message.rfind("position " + std::to_string(c.position) + ":", 0), 0u)
        << status.Message;
  }
  EXPECT_EQ(Text("B1"), "=A1*2");
  EXPECT_EQ(At("B1"), OleVariant(10.0));
}

TEST_F(Formulas, FillMovesRelativePartsOnly) {
  ASSERT_TRUE(Range("C2", "C100")->SetFormula("=A2*$B$1").Ok());
  EXPECT_EQ(Text("C2"), "=A2*$B$1");
  EXPECT_EQ(Text("C3"), "=A3*$B$1");
  EXPECT_EQ(Text("C100"), "=A100*$B$1");
  ASSERT_TRUE(Range("D1", "E2")->SetFormula("=A$1+$A1+SUM(A1:B2)").Ok());
  EXPECT_EQ(Text("E2"), "=B$1+$A2+SUM(B2:C3)");
  // Filled up past row 1, a relative reference leaves the sheet.
  ASSERT_TRUE(Range("F1", "F2")->SetFormula("=A1-F0+1").Ok() == false);
  ASSERT_TRUE(Range("F2", "F3")->SetFormula("=F1").Ok());
  Range("G1", "G1")->SetFormula("=A1");
  Range("G2")->SetValue(OleVariant("x"));
  EXPECT_EQ(At("G2"), OleVariant("x"));  // a value replaces a formula
  Range("A1", "Z9")->ClearContents();
  EXPECT_EQ(Text("D1"), "");
}

// Relative references may move down to row 16384 and right to column IV; a
// fill past that would leave #REF! in the cells beyond and is refused whole.
TEST_F(Formulas, AFillPastWhatAFormulaAddressesIsRefusedNamingTheFirstCell) {
  struct TCase {
    const char *first, *last, *text, *says;
  };
  const TCase refused[] = {
      {"A1", "A65536", "=B1+1", "cannot be filled to A16385: its references there would pass row"},
      {"C2", "C20000", "=SUM(B1:B2)", "cannot be filled to C16385:"},
      {"A1", "IV1", "=B1", "cannot be filled to IV1: its references there would pass column IV"},
  };
  for (const TCase& c : refused) {
    const TXLSFormulaStatus status = Range(c.first, c.last)->SetFormula(c.text);
    EXPECT_EQ(status.Code, -1) << c.text;
    EXPECT_NE(status.Message.find(c.says), std::string::npos) << status.Message;
    EXPECT_EQ(Text(c.first), "") << "nothing was set";
  }
  ASSERT_TRUE(Range("A1", "A16384")->SetFormula("=B1+1").Ok());
  EXPECT_EQ(Text("A16384"), "=B16384+1");
  const TXLSFormulaStatus absolute = Range("C16385", "D65536")->SetFormula("=$B$1+B$1");
  ASSERT_TRUE(absolute.Ok()) << absolute.Message;
  EXPECT_EQ(Text("D65536"), "=$B$1+C$1");
}

// Sheet X holds a formula on sheet Y; X is deleted and still held, then Y is
// deleted and freed.
TEST_F(Formulas, ReferencesToADeletedSheetReadRefWhicheverSheetGoesFirst) {
  XLSPtr<IXLSWorkSheet> x = book.GetSheets().Add();
  x->SetWorkSheetName("X");
  XLSPtr<IXLSRange> cell = x->FGetRange("B1", "B1");
  {
    XLSPtr<IXLSWorkSheet> y = book.GetSheets().Add();
    y->SetWorkSheetName("Y");
    y->FGetRange("A1", "A1")->SetValue(OleVariant(4.0));
    ASSERT_TRUE(cell->SetFormula("=Y!A1*2+SUM(Y!A1:A3)").Ok());
    x->Delete();
    EXPECT_EQ(cell->GetFormula(), "=Y!A1*2+SUM(Y!A1:A3)");
    EXPECT_EQ(cell->GetValue(), OleVariant(12.0));
    y->Delete();
    EXPECT_EQ(cell->GetFormula(), "=#REF!*2+SUM(#REF!)");
  }
  EXPECT_EQ(cell->GetFormula(), "=#REF!*2+SUM(#REF!)");
  EXPECT_EQ(cell->GetValue(), OleVariant("#REF!"));
}

// With UTF-8 texts, text constants and results are characters, converted to
// the code page at save like cell texts, with what it lacks reported.
TEST(FormulaTexts, Utf8ConstantsAndResultsCountCharactersAndConvertAtSave) {
  TXLSWorkbook book;
  book.SetUtf8Texts(true);
  ASSERT_EQ(book.SetCodePage(1251), 1);
  XLSPtr<IXLSWorkSheet> sheet = book.GetWorksheets()->Add();
  const std::string hello = "\xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82";  // Привет
  const auto set = [&](const char* cell, const std::string& text) {
    const TXLSFormulaStatus status = sheet->FGetRange(cell, cell)->SetFormula(text);
    EXPECT_TRUE(status.Ok()) << text << ": " << status.Message;
    return sheet->FGetRange(cell, cell)->GetValue();
  };
  sheet->FGetRange("A3", "A3")->SetValue(OleVariant(hello));
  EXPECT_EQ(set("B1", "=\"" + hello + "\""), OleVariant(hello));
  EXPECT_EQ(set("B2", "=LEN(\"" + hello + "\")+LEN(A3)"), OleVariant(12.0));
  EXPECT_EQ(set("B3", "=LEFT(A3,1)&\"|\"&MID(A3,2,3)&\"|\"&RIGHT(A3,2)"),
            OleVariant("\xD0\x9F|\xD1\x80\xD0\xB8\xD0\xB2|\xD0\xB5\xD1\x82"));
  EXPECT_EQ(set("B4", "=\"\xE4\xB8\xAD\xD0\x94\""), OleVariant("\xE4\xB8\xAD\xD0\x94"));  // 中Д
  // 170 Cyrillic letters are 340 bytes of UTF-8 but 170 in the file.
  std::string long_text;
  for (int i = 0; i < 170; ++i) long_text += "\xD0\x94";
  set("B5", "=\"" + long_text + "\"");

  using book_test::WithId;
  const auto records = book_test::BookRecords(book);
  const auto formulas = WithId(records, xlsrec::kFormula);
  const auto strings = WithId(records, xlsrec::kString);
  ASSERT_EQ(formulas.size(), 5u);
  ASSERT_EQ(strings.size(), 4u);
  const std::string hello1251 = "\xCF\xF0\xE8\xE2\xE5\xF2";
  // tStr: its length, then the code page bytes; the result follows in STRING.
  EXPECT_EQ(std::string(formulas[0].data.begin() + 22, formulas[0].data.end()),
            "\x17\x06" + hello1251);
  EXPECT_EQ(std::string(strings[0].data.begin() + 2, strings[0].data.end()), hello1251);
  EXPECT_EQ(std::string(strings[2].data.begin() + 2, strings[2].data.end()), "?\xC4");
  EXPECT_EQ(formulas[4].data[22 + 1], 170);
  const TXLSTextLossReport& losses = book.GetTextLosses();
  ASSERT_EQ(losses.Count, 2u);
  EXPECT_EQ(losses.First[0].Item, "formula");
  EXPECT_EQ(losses.First[0].Cell, "B4");
  EXPECT_EQ(losses.First[0].CodePoint, 0x4E2Du);
  EXPECT_EQ(losses.First[1].Item, "formula result");
}

TEST_F(Formulas, EvaluatorComputesEveryFunction) {
  Put("A1", OleVariant(3.0));
  Put("A2", OleVariant(4.0));
  Put("A3", OleVariant("text"));
  Put("A4", OleVariant(-2.5));
  Put("B1", OleVariant("apple"));
  Put("B2", OleVariant("pear"));
  Put("B3", OleVariant("plum"));
  Put("C1", OleVariant(10.0));
  Put("C2", OleVariant(20.0));
  Put("C3", OleVariant(30.0));
  struct TCase {
    const char* text;
    OleVariant expected;
  };
  const TCase cases[] = {
      {"=1+2*3-4/8^2", OleVariant(6.9375)},
      {"=-2^2", OleVariant(4.0)},
      {"=50%*A1", OleVariant(1.5)},
      {"=\"a\"&A1&TRUE", OleVariant("a3TRUE")},
      {"=A1<A2", OleVariant(true)},
      {"=\"B\">\"a\"", OleVariant(true)},
      {"=SUM(A1:A4)", OleVariant(4.5)},
      {"=SUM(A1,A2,1)", OleVariant(8.0)},
      {"=AVERAGE(A1:A2)", OleVariant(3.5)},
      {"=MIN(A1:A4)", OleVariant(-2.5)},
      {"=MAX(A1:A4)", OleVariant(4.0)},
      {"=COUNT(A1:A5)", OleVariant(3.0)},
      {"=COUNTA(A1:A5)", OleVariant(4.0)},
      {"=IF(A1>3,\"big\",\"small\")", OleVariant("small")},
      {"=AND(A1>1,A2>1)", OleVariant(true)},
      {"=OR(A1>5,A2>5)", OleVariant(false)},
      {"=NOT(A1=3)", OleVariant(false)},
      {"=ROUND(2.675,2)", OleVariant(2.68)},
      {"=ROUNDUP(-1.21,1)", OleVariant(-1.3)},
      {"=ROUNDDOWN(1.29,1)", OleVariant(1.2)},
      {"=INT(A4)", OleVariant(-3.0)},
      {"=ABS(A4)", OleVariant(2.5)},
      {"=MOD(-7,3)", OleVariant(2.0)},
      {"=SQRT(16)", OleVariant(4.0)},
      {"=LEN(B1)", OleVariant(5.0)},
      {"=LEFT(B1,2)&RIGHT(B1)&MID(B1,2,3)", OleVariant("apeppl")},
      {"=UPPER(B1)&LOWER(\"X\")", OleVariant("APPLEx")},
      {"=TRIM(\"  a   b \")", OleVariant("a b")},
      {"=CONCATENATE(B1,\"-\",A1)", OleVariant("apple-3")},
      {"=TEXT(1234.567,\"#,##0.00\")", OleVariant("1,234.57")},
      {"=TEXT(0.256,\"0.0%\")", OleVariant("25.6%")},
      {"=VALUE(\"12.5\")", OleVariant(12.5)},
      {"=DATE(2024,2,29)", OleVariant(45351.0)},
      {"=YEAR(45351)*10000+MONTH(45351)*100+DAY(45351)", OleVariant(20240229.0)},
      {"=DATE(1900,1,1)", OleVariant(1.0)},
      {"=DAY(60)", OleVariant(29.0)},
      {"=SUMIF(C1:C3,\">15\")", OleVariant(50.0)},
      {"=SUMIF(B1:B3,\"p*\",C1:C3)", OleVariant(50.0)},
      {"=COUNTIF(B1:B3,\"plum\")", OleVariant(1.0)},
      {"=VLOOKUP(\"pear\",B1:C3,2,FALSE)", OleVariant(20.0)},
      {"=VLOOKUP(25,C1:C3,1)", OleVariant(20.0)},
      {"=MATCH(30,C1:C3,0)", OleVariant(3.0)},
      {"=INDEX(B1:C3,2,2)", OleVariant(20.0)},
      {"=INDEX(C1:C3,3)", OleVariant(30.0)},
      {"=ISBLANK(A9)", OleVariant(true)},
      {"=ISNUMBER(A3)", OleVariant(false)},
      {"=A3*2", OleVariant("#VALUE!")},
      {"=1/0", OleVariant("#DIV/0!")},
      {"=VLOOKUP(\"fig\",B1:C3,2,FALSE)", OleVariant("#N/A")},
      {"=IF(ISERROR(1/0),\"caught\",1)", OleVariant("caught")},
      {"=A9", OleVariant(0.0)},
      {"=1.5E+3+.5", OleVariant(1500.5)},
      {"=LEFT(B1,1E+300)&MID(B1,1E+300,2)", OleVariant("apple")},
      {"=DATE(1E+300,1,1)", OleVariant("#NUM!")},
      {"=INDEX(C1:C3,1E+300)", OleVariant("#REF!")},
  };
  for (const TCase& c : cases) {
    ASSERT_TRUE(Set("H1", c.text).Ok()) << c.text;
    EXPECT_EQ(At("H1"), c.expected) << c.text;
  }
  // A formula built on another formula follows its inputs.
  Set("H2", "=H3*2");
  Set("H3", "=A1+1");
  EXPECT_EQ(At("H2"), OleVariant(8.0));
  Put("A1", OleVariant(9.0));
  EXPECT_EQ(At("H2"), OleVariant(20.0));
  // A chain longer than the evaluator follows at once.
  Put("J1", OleVariant(1.0));
  Range("J2", "J3000")->SetFormula("=J1+1");
  EXPECT_EQ(At("J3000"), OleVariant(3000.0));
}

TEST_F(Formulas, WildcardsMatchWithoutBacktracking) {
  Put("A1", OleVariant(std::string(200, 'a')));
  Put("A2", OleVariant("abbc"));
  struct TCase {
    std::string criterion;
    double count;  // of A1:A2
  };
  const TCase cases[] = {
      {"a*b*c", 1},
      {"A?BC", 1},
      {"*b*", 1},
      {"*bc", 1},
      {"ab*bc", 1},
      {"ab*abc", 0},
      {"a*", 2},
      {"*a*a*a*a*a*b", 0},  // exponential for a backtracking matcher
      {"*a*a*a*a*a*", 1},
      {"?*" + std::string(199, '?'), 1},
      {std::string(200, '?'), 1},
  };
  for (const TCase& c : cases) {
    ASSERT_TRUE(Set("B1", "=COUNTIF(A1:A2,\"" + c.criterion + "\")").Ok()) << c.criterion;
    EXPECT_EQ(At("B1"), OleVariant(c.count)) << c.criterion;
  }
  // A criterion longer than a cell's text is refused, as the spreadsheet
  // applications do.
  Put("A3", OleVariant(std::string(256, '*')));
  Set("B1", "=COUNTIF(A1:A2,A3)");
  EXPECT_EQ(At("B1"), OleVariant("#VALUE!"));
}

TEST_F(Formulas, TextResultsStopAtWhatACellHolds) {
  // Doubled 20 times: once past 255 characters the text is #VALUE!, and so is
  // a criterion built from it.
  Put("A1", OleVariant("*"));
  Range("A2", "A21")->SetFormula("=A1&A1");
  Put("C1", OleVariant("x"));
  Set("B1", "=COUNTIF(C1,A21)");
  Set("B2", "=COUNTIF(C1,A8)");
  EXPECT_EQ(At("A8"), OleVariant(std::string(128, '*')));
  EXPECT_EQ(At("A9"), OleVariant("#VALUE!"));
  EXPECT_EQ(At("A21"), OleVariant("#VALUE!"));
  EXPECT_EQ(At("B1"), OleVariant("#VALUE!"));
  EXPECT_EQ(At("B2"), OleVariant(1.0));
  const std::string zeros(250, '0');
  std::string grouped = "10";
  for (int i = 0; i < 7; ++i) grouped += ",000";
  grouped += "." + std::string(45, '0');
  struct TCase {
    std::string text;
    OleVariant expected;
  };
  const TCase cases[] = {
      {"=TEXT(1E+22,\"#,##0." + std::string(45, '0') + "\")", OleVariant(grouped)},
      {"=TEXT(1,\"0." + zeros + "\")", OleVariant("1." + zeros)},
      {"=TEXT(1E+100,\"0." + zeros + "\")", OleVariant("#VALUE!")},
      {"=ROUND(1E+300,10)", OleVariant(1e300)},
      {"=ROUND(123,-400)", OleVariant(0.0)},
      {"=LEFT(A20,300)", OleVariant("#VALUE!")},
      {"=CONCATENATE(A8,A8)", OleVariant("#VALUE!")},
  };
  for (const TCase& c : cases) {
    ASSERT_TRUE(Set("D1", c.text).Ok()) << c.text;
    EXPECT_EQ(At("D1"), c.expected) << c.text;
  }
  EXPECT_FALSE(book_test::BookRecords(book).empty()) << book.GetLastError();
}

TEST_F(Formulas, ChainsOfAnyDepthAreComputedOnce) {
  // Each cell reads the one below: 999 links up from A1000.
  Range("A1", "A999")->SetFormula("=A2+1");
  Put("A1000", OleVariant(1.0));
  EXPECT_EQ(At("A1"), OleVariant(1000.0));
  // A long chain closed into a circle is left to the reader; the open chain
  // beside it is not.
  Range("B1", "B4999")->SetFormula("=B2+1");
  Set("B5000", "=B1");
  EXPECT_FALSE(book_test::BookRecords(book).empty()) << book.GetLastError();
  TXLSFormulas& formulas = sheet->GetFormulas();
  EXPECT_FALSE(formulas.Find(0, 0)->NeedsRecalc);
  EXPECT_EQ(formulas.Find(0, 0)->Result.Number, 1000.0);
  EXPECT_TRUE(formulas.Find(0, 1)->NeedsRecalc);
  EXPECT_TRUE(formulas.Find(4999, 1)->NeedsRecalc);
}

TEST_F(Formulas, BlocksAndWholeSheetRangesCostTheirStoredCells) {
  // A block of 16,000 chained cells and counts over the whole sheet: each
  // formula computed once and only stored cells visited, or this takes
  // minutes (their speed is the benchmark's to measure, not this test's).
  Put("C1", OleVariant(1.0));
  Range("C2", "C16000")->SetFormula("=C1+1");
  auto& totals = *book.GetSheets().Add();
  totals.FGetRange("A1", "A20")
      ->SetFormula("=COUNTIF(Sheet1!$A$1:$IV$16384,1)+SUMIF(Sheet1!$A$1:$IV$16384,\"<>1\")");
  const OleVariant chain = Range("C1", "C16000")->GetValue();
  EXPECT_EQ(chain.GetElement({15999, 0}), OleVariant(16000.0));
  EXPECT_EQ(totals.FGetRange("A20", "A20")->GetValue(), OleVariant(16000.0 * 16001 / 2));
  EXPECT_FALSE(book_test::BookRecords(book).empty());
}

TEST_F(Formulas, ConditionsCountEmptyCellsOfTheirBlock) {
  Put("A1", OleVariant(5.0));
  Put("A2", OleVariant("x"));
  Put("B3", OleVariant(7.0));
  Put("B1", OleVariant(1.0));
  Put("B300", OleVariant(2.0));  // beside an empty cell
  const std::pair<const char*, double> cases[] = {
      {"=COUNTIF(A1:A1000,\"\")", 998},
      {"=COUNTIF(A1:A1000,\"<>5\")", 999},
      {"=SUMIF(A1:A1000,\"\",B1:B1000)", 9},
      {"=SUMIF(A1:A1000,5,B1)", 1},
      {"=MATCH(\"x\",A1:A1000,0)+VLOOKUP(5,A1:B9,2,FALSE)", 3},
  };
  for (const auto& [text, expected] : cases) {
    ASSERT_TRUE(Set("D1", text).Ok()) << text;
    EXPECT_EQ(At("D1"), OleVariant(expected)) << text;
  }
}

TEST_F(Formulas, RecordsCarryTokensResultsAndRecalcFlags) {
  book.GetSheets().Add()->SetWorkSheetName("Data");
  Put("A1", OleVariant(2.0));
  Set("B1", "=SUM(A1:A3)");          // tAttrSum
  Set("B2", "=MAX(A1,Data!B2:B3)");  // tFuncVar and tArea3d
  Set("B3", "=UPPER(\"x\")");        // text result: FORMULA then STRING
  Set("B4", "=B5+1");
  Set("B5", "=B4+1");  // circular: left to the reader
  Set("B6", "=1=1");
  using book_test::BookRecords;
  using book_test::WithId;
  const auto records = BookRecords(book);
  ASSERT_FALSE(records.empty()) << book.GetLastError();
  const auto formulas = WithId(records, xlsrec::kFormula);
  ASSERT_EQ(formulas.size(), 6u);
  const auto tokens = [](const book_test::TRecord& r) {
    return std::vector<uint8_t>(r.data.begin() + 22, r.data.end());
  };
  // tArea (reference class) A1:A3 with both parts relative, then tAttrSum.
  EXPECT_EQ(tokens(formulas[0]),
            (std::vector<uint8_t>{0x25, 0x00, 0xC0, 0x02, 0xC0, 0, 0, 0x19, 0x10, 0, 0}));
  EXPECT_EQ(XLSGetDoubleLE(&formulas[0].data[6]), 2.0);
  // tRef A1 then tArea3d on sheet index 1 (ixals -2), tFuncVar MAX with 2.
  const std::vector<uint8_t> second = tokens(formulas[1]);
  ASSERT_EQ(second.size(), 4u + 21u + 4u);
  EXPECT_EQ(second[4], 0x3B);
  EXPECT_EQ(formulas[1].Word(22 + 5), 0xFFFE);
  EXPECT_EQ(formulas[1].Word(22 + 4 + 11), 1);
  EXPECT_EQ(std::vector<uint8_t>(second.end() - 4, second.end()),
            (std::vector<uint8_t>{0x42, 2, 7, 0}));
  // Text result: type 0, 0xFFFF on top, then the STRING record.
  EXPECT_EQ(formulas[2].data[6], 0);
  EXPECT_EQ(formulas[2].Word(12), 0xFFFF);
  for (size_t i = 0; i + 1 < records.size(); ++i) {
    if (records[i].offset == formulas[2].offset) {
      EXPECT_EQ(records[i + 1].id, xlsrec::kString);
      EXPECT_EQ(std::string(records[i + 1].data.begin() + 2, records[i + 1].data.end()), "X");
    }
  }
  EXPECT_EQ(formulas[3].Word(14) & 3, 3) << "recalc flags of a circular reference";
  // A circular reference starts from nothing at every save, so saving again
  // writes the same bytes.
  book_test::TBytes first, again;
  BookRecords(book, &first);
  BookRecords(book, &again);
  EXPECT_EQ(first, again);
  EXPECT_EQ(formulas[1].Word(14), 0);
  EXPECT_EQ(formulas[5].data[6], 1) << "boolean result";
  EXPECT_EQ(formulas[5].data[8], 1);
}

TEST_F(Formulas, InsertAndDeleteMoveReferences) {
  auto& other = *book.GetSheets().Add();
  other.SetWorkSheetName("Other");
  for (int i = 2; i <= 5; ++i) Put("B" + std::to_string(i), OleVariant(double(i)));
  Set("B6", "=SUM(B2:B5)");
  Set("C2", "=B3*$B$5");
  other.FGetRange("A1", "A1")->SetFormula("=Sheet1!B6+SUM(Sheet1!B2:B5)");
  // A row inserted above the block moves everything down.
  Range("A1")->GetEntireRow()->Insert(OleVariant::Missing());
  EXPECT_EQ(Text("B7"), "=SUM(B3:B6)");
  EXPECT_EQ(Text("C3"), "=B4*$B$6");
  EXPECT_EQ(other.FGetRange("A1", "A1")->GetFormula(), "=Sheet1!B7+SUM(Sheet1!B3:B6)");
  EXPECT_EQ(At("B7"), OleVariant(14.0));
  // A row inserted inside the block widens it.
  Range("A4")->GetEntireRow()->Insert(OleVariant::Missing());
  Put("B4", OleVariant(100.0));
  EXPECT_EQ(Text("B8"), "=SUM(B3:B7)");
  EXPECT_EQ(At("B8"), OleVariant(114.0));
  // Deleting rows shrinks it; a reference into the deleted rows is #REF!.
  Range("A4", "A5")->GetEntireRow()->Delete(OleVariant::Missing());
  EXPECT_EQ(Text("B6"), "=SUM(B3:B5)");
  EXPECT_EQ(Text("C3"), "=#REF!*$B$5");
  EXPECT_EQ(At("C3"), OleVariant("#REF!"));
  // A column deleted under a reference.
  Set("E1", "=D1+F1");
  Range("D1")->GetEntireColumn()->Delete(OleVariant::Missing());
  EXPECT_EQ(Text("D1"), "=#REF!+E1");
  // Deleting a sheet leaves #REF! where its cells were named.
  book.GetSheets().Delete(1);
  EXPECT_EQ(other.FGetRange("A1", "A1")->GetFormula(), "=#REF!+SUM(#REF!)");
}

}  // namespace
}  // namespace tabulon
