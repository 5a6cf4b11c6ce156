#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "XLSCsvReader.h"
#include "XLSTextCodec.h"

namespace tabulon {
namespace {

using Records = std::vector<std::vector<std::string>>;

// All records of text; a malformed input ends the list with {"ERROR", message}.
Records ReadAll(const std::string& text) {
  TXLSCsvReader reader(text);
  Records records;
  std::vector<std::string> fields;
  int32_t status;
  while ((status = reader.ReadRecord(fields)) == 1) records.push_back(fields);
  if (status < 0) records.push_back({"ERROR", reader.GetError()});
  return records;
}

TEST(CsvReaderQuoting, QuotedFieldsKeepDelimitersQuotesAndLineBreaks) {
  EXPECT_EQ(ReadAll("\"Smith, John\",\"say \"\"hi\"\"\",\"two\nlines\"\n"),
            (Records{{"Smith, John", "say \"hi\"", "two\nlines"}}));
  EXPECT_EQ(ReadAll("\"a\r\nb\",c\r\n"), (Records{{"a\r\nb", "c"}}));
  EXPECT_EQ(ReadAll("\"\",\"\"\"\"\n"), (Records{{"", "\""}}));
}

TEST(CsvReaderQuoting, QuoteInsideUnquotedFieldIsKeptLiterally) {
  EXPECT_EQ(ReadAll("5\" disk,x\n"), (Records{{"5\" disk", "x"}}));
}

TEST(CsvReaderQuoting, UnclosedQuoteIsAnErrorNamingWhereItOpened) {
  const Records records = ReadAll("a,b\nc,\"open\nmore\n");
  ASSERT_EQ(records.size(), 2u);
  EXPECT_EQ(records[1][0], "ERROR");
  EXPECT_NE(records[1][1].find("opened on line 2, column 3"), std::string::npos) << records[1][1];
}

TEST(CsvReaderQuoting, TextAfterClosingQuoteIsAnError) {
  const Records records = ReadAll("x\n\"ab\"c,d\n");
  ASSERT_EQ(records.size(), 2u);
  EXPECT_EQ(records[1][0], "ERROR");
  EXPECT_EQ(records[1][1].rfind("line 2, column 5:", 0), 0u) << records[1][1];
}

TEST(CsvReaderRecords, CrLfLfAndLoneCrEndRecords) {
  EXPECT_EQ(ReadAll("a,b\r\nc,d\ne\rf"), (Records{{"a", "b"}, {"c", "d"}, {"e"}, {"f"}}));
}

TEST(CsvReaderRecords, FinalLineBreakStartsNoRecordButEmptyLinesAreRecords) {
  EXPECT_EQ(ReadAll("a\n\nb\n"), (Records{{"a"}, {""}, {"b"}}));
  EXPECT_EQ(ReadAll(""), Records{});
}

TEST(CsvReaderRecords, TrailingDelimiterGivesAnEmptyLastField) {
  EXPECT_EQ(ReadAll("a,\nb,"), (Records{{"a", ""}, {"b", ""}}));
  EXPECT_EQ(ReadAll(",,"), (Records{{"", "", ""}}));
}

TEST(CsvReaderRecords, RecordLineCountsLineBreaksInsideQuotes) {
  const std::string text = "\"x\r\ny\",1\r\nz\n";
  TXLSCsvReader reader(text);
  std::vector<std::string> fields;
  ASSERT_EQ(reader.ReadRecord(fields), 1);
  EXPECT_EQ(reader.GetRecordLine(), 1u);
  ASSERT_EQ(reader.ReadRecord(fields), 1);
  EXPECT_EQ(reader.GetRecordLine(), 3u);
  EXPECT_EQ(reader.ReadRecord(fields), 0);
}

TEST(CsvReaderRecords, OtherDelimiter) {
  const std::string text = "a;\"b;c\";d,e\n";
  TXLSCsvReader reader(text, ';');
  std::vector<std::string> fields;
  ASSERT_EQ(reader.ReadRecord(fields), 1);
  EXPECT_EQ(fields, (std::vector<std::string>{"a", "b;c", "d,e"}));
}

bool IsNumber(const std::string& text, double expected) {
  double value = -999;
  return XLSParseDecimalNumber(text, value) && value == expected;
}

bool IsText(const std::string& text) {
  double value = 0;
  return !XLSParseDecimalNumber(text, value);
}

TEST(DecimalNumber, DecimalFormsAreNumbers) {
  EXPECT_TRUE(IsNumber("-12", -12));
  EXPECT_TRUE(IsNumber("3.5", 3.5));
  EXPECT_TRUE(IsNumber("1e3", 1000));
  EXPECT_TRUE(IsNumber("2.5E-1", 0.25));
  EXPECT_TRUE(IsNumber("+7", 7));
  EXPECT_TRUE(IsNumber(".5", 0.5));
  EXPECT_TRUE(IsNumber("0", 0));
  EXPECT_TRUE(IsNumber("0.75", 0.75));
  EXPECT_TRUE(IsNumber("123456789012345", 123456789012345.0));
}

TEST(DecimalNumber, TextsANumberWouldChangeStayText) {
  for (const char* text : {"007", "00.5", "1.2.3", "", "-", ".", "1e", "e3", " 12", "12 ", "0x1A",
                           "inf", "nan", "1,5", "12a", "1e999", "1234567890123456", "--1"}) {
    EXPECT_TRUE(IsText(text)) << text;
  }
}

TEST(DecimalNumber, ADecimalCommaIsTheOnlyDecimalPointWhenAsked) {
  double value = 0;
  EXPECT_TRUE(XLSParseDecimalNumber("12,5", value, ',') && value == 12.5);
  EXPECT_TRUE(XLSParseDecimalNumber("-0,25e1", value, ',') && value == -2.5);
  EXPECT_TRUE(XLSParseDecimalNumber("7", value, ',') && value == 7);
  // In such data a point groups thousands; read as a fraction it would change.
  for (const char* text : {"12.5", "1.234,5", "1,2,3", ",", "012,5"}) {
    EXPECT_FALSE(XLSParseDecimalNumber(text, value, ',')) << text;
  }
  EXPECT_TRUE(IsText("12,5"));
}

TEST(CsvDelimiter, TheHeaderLineShowsSemicolonsAndTabs) {
  EXPECT_EQ(XLSDetectCsvDelimiter("Name;Betrag;Datum\nM\xC3\xBCller;12,5;2024-03-01\n"), ';');
  EXPECT_EQ(XLSDetectCsvDelimiter("a\tb\tc,d\n1\t2\t3\n"), '\t');
  // Commas win ties, quoted separators do not count, later lines are not read.
  EXPECT_EQ(XLSDetectCsvDelimiter("a;b,c\n"), ',');
  EXPECT_EQ(XLSDetectCsvDelimiter("\"x;y;\"\"z\",b\n"), ',');
  EXPECT_EQ(XLSDetectCsvDelimiter("name\r\n1;2;3\n"), ',');
  EXPECT_EQ(XLSDetectCsvDelimiter(""), ',');
  EXPECT_EQ(XLSCsvDelimiterName(';'), "semicolons");
  EXPECT_EQ(XLSCsvDelimiterName('\t'), "tabs");
}

TEST(Utf8Decoding, AcceptsEveryLengthAndRefusesMalformedSequences) {
  const std::string text = "a\xC3\xBC\xE4\xB8\xAD\xF0\x9F\x98\x80";
  size_t pos = 0;
  uint32_t cp = 0;
  std::vector<uint32_t> decoded;
  while (XLSDecodeUtf8(text, pos, cp)) decoded.push_back(cp);
  EXPECT_EQ(decoded, (std::vector<uint32_t>{'a', 0xFC, 0x4E2D, 0x1F600}));
  EXPECT_EQ(pos, text.size());

  for (const char* bad : {"\xE9", "\xC3", "\xC0\xAF", "\xE0\x80\xAF", "\xED\xA0\x80",
                          "\xF4\x90\x80\x80", "\xF8\x88\x80\x80\x80", "\xBF", "\xE4\xB8"}) {
    size_t at = 0;
    EXPECT_FALSE(XLSDecodeUtf8(bad, at, cp)) << XLSCodePointName(static_cast<uint8_t>(bad[0]));
    EXPECT_EQ(at, 0u);
  }
}

TEST(Utf8Decoding, EncodingRoundTrips) {
  for (uint32_t cp : {0x41u, 0xE9u, 0x20ACu, 0x4E2Du, 0x10FFFFu}) {
    std::string text;
    XLSAppendUtf8(cp, text);
    size_t pos = 0;
    uint32_t back = 0;
    ASSERT_TRUE(XLSDecodeUtf8(text, pos, back));
    EXPECT_EQ(back, cp);
  }
}

TEST(Cp1252Conversion, AccentsAndTheHighControlRangeMap) {
  const TXLSCp1252Text converted =
      XLSUtf8ToCp1252("M\xC3\xBCller Jos\xC3\xA9 \xE2\x82\xAC \xE2\x80\x9C");
  EXPECT_TRUE(converted.Valid);
  EXPECT_TRUE(converted.Unmapped.empty());
  EXPECT_EQ(converted.Text, "M\xFCller Jos\xE9 \x80 \x93");
  EXPECT_EQ(XLSCp1252ToUtf8(converted.Text), "M\xC3\xBCller Jos\xC3\xA9 \xE2\x82\xAC \xE2\x80\x9C");
}

TEST(Cp1252Conversion, EveryDefinedByteRoundTripsAndUndefinedBytesAreNeverProduced) {
  for (int byte = 0; byte < 256; ++byte) {
    const uint32_t cp = XLSCp1252ToUnicode(static_cast<uint8_t>(byte));
    if (cp == 0xFFFD) {
      EXPECT_EQ(XLSUnicodeToCp1252(static_cast<uint32_t>(byte)), -1) << byte;
    } else {
      EXPECT_EQ(XLSUnicodeToCp1252(cp), byte);
    }
  }
  EXPECT_EQ(XLSCp1252ToUnicode(0x81), 0xFFFDu);
  EXPECT_EQ(XLSUnicodeToCp1252(0x0100), -1);
}

TEST(Cp1252Conversion, UnmappableCharactersAreReplacedAndLocated) {
  // Line 2 holds "ab中c😀": the CJK character is column 3, the emoji column 5.
  const TXLSCp1252Text converted = XLSUtf8ToCp1252(
      "x\r\nab\xE4\xB8\xAD"
      "c\xF0\x9F\x98\x80\n");
  ASSERT_TRUE(converted.Valid);
  EXPECT_EQ(converted.Text, "x\r\nab?c?\n");
  ASSERT_EQ(converted.Unmapped.size(), 2u);
  EXPECT_EQ(converted.Unmapped[0].CodePoint, 0x4E2Du);
  EXPECT_EQ(converted.Unmapped[0].Position.Line, 2u);
  EXPECT_EQ(converted.Unmapped[0].Position.Column, 3u);
  EXPECT_EQ(converted.Unmapped[0].Position.Offset, 5u);
  EXPECT_EQ(converted.Unmapped[1].CodePoint, 0x1F600u);
  EXPECT_EQ(converted.Unmapped[1].Position.Column, 5u);
  EXPECT_EQ(XLSCodePointName(converted.Unmapped[0].CodePoint), "U+4E2D");
  EXPECT_EQ(XLSCodePointName(converted.Unmapped[1].CodePoint), "U+1F600");
}

TEST(Cp1252Conversion, InvalidUtf8StopsAtTheBadByte) {
  const TXLSCp1252Text converted = XLSUtf8ToCp1252("ok\nJos\xE9 x");
  EXPECT_FALSE(converted.Valid);
  EXPECT_EQ(converted.InvalidAt.Line, 2u);
  EXPECT_EQ(converted.InvalidAt.Column, 4u);
  EXPECT_EQ(converted.InvalidAt.Offset, 6u);
}

TEST(Cp1252Conversion, LoneCrEndsALine) {
  const TXLSCp1252Text converted = XLSUtf8ToCp1252("a\rb\xE4\xB8\xAD");
  ASSERT_EQ(converted.Unmapped.size(), 1u);
  EXPECT_EQ(converted.Unmapped[0].Position.Line, 2u);
  EXPECT_EQ(converted.Unmapped[0].Position.Column, 2u);
}

}  // namespace
}  // namespace tabulon
