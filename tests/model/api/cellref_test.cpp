#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <system_error>

#include "XLSBlob.h"
#include "XLSCellRef.h"

namespace tabulon {
namespace {

// Parses text; on success returns "row,col" (zero-based), else "fail".
std::string Ref(const std::string& text) {
  uint16_t row = 7;
  uint8_t col = 9;
  if (GetCellRef(text, row, col) != 1) {
    EXPECT_EQ(row, 7) << text;  // outputs untouched on failure
    EXPECT_EQ(col, 9) << text;
    return "fail";
  }
  return std::to_string(row) + "," + std::to_string(col);
}

std::string RowPair(const std::string& text) {
  int32_t first = -9, last = -9;
  if (!RowDiapasonToValues(text, first, last)) return "false";
  return std::to_string(first) + "-" + std::to_string(last);
}

std::string ColPair(const std::string& text) {
  int32_t first = -9, last = -9;
  if (!ColDiapasonToValues(text, first, last)) return "false";
  return std::to_string(first) + "-" + std::to_string(last);
}

std::string TempPath(const std::string& name) {
  const char* dir = std::getenv("TABULON_TMP");
  return std::string(dir ? dir : "/tmp") + "/" + name;
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

TEST(CellRefEncoding, CornersOfTheSheet) {
  EXPECT_EQ(EncodeCellRef(0, 0), "A1");
  EXPECT_EQ(EncodeCellRef(65535, 255), "IV65536");
  EXPECT_EQ(EncodeCellRef(9, 26), "AA10");
  EXPECT_EQ(EncodeCellRef(6, 25), "Z7");
  EXPECT_EQ(EncodeCellRange(6, 2, 0, 0), "C7:A1");  // order kept
}

TEST(CellRefEncoding, ColumnNamesAndNumbers) {
  EXPECT_EQ(ColIndexToColName(1), "A");
  EXPECT_EQ(ColIndexToColName(26), "Z");
  EXPECT_EQ(ColIndexToColName(27), "AA");
  EXPECT_EQ(ColIndexToColName(255), "IU");
  EXPECT_EQ(ColIndexToColName(0), "");
  EXPECT_EQ(ColIndexToColName(256), "");
  EXPECT_EQ(ColNameToColIndex(""), -1);
  EXPECT_EQ(ColNameToColIndex("$12"), -1);
  EXPECT_EQ(ColNameToColIndex("$AB"), 28);
  EXPECT_EQ(ColNameToColIndex("B7"), 2);
  EXPECT_EQ(ColNameToColIndex(" b"), 2);
  EXPECT_EQ(ColNameToColIndex("iv"), 256);
  EXPECT_EQ(ColNameToColIndex(std::string(40, 'Z')), 2147483647);  // saturates
}

TEST(CellRefParsing, AcceptsCaseAndSpacesAnywhere) {
  EXPECT_EQ(Ref("a1"), "0,0");
  EXPECT_EQ(Ref(" A 1 "), "0,0");
  EXPECT_EQ(Ref("iv65536"), "65535,255");
  EXPECT_EQ(Ref("b 12"), "11,1");
  EXPECT_EQ(Ref("A 0 1"), "0,0");  // leading zero within five digits
}

TEST(CellRefParsing, RejectsMalformedText) {
  for (const char* text : {"$A$1", "A", "1A", "A0", "A65537", "IV65537", "IW1", "A000001", "  ", "",
                           "A1B", "A-1", "A+1", "A1:B2", "AB", "A 1$", "ZZZZZZZZZZZZZZ1"}) {
    EXPECT_EQ(Ref(text), "fail") << text;
  }
}

TEST(CellRefParsing, RangeNeedsColonAndKeepsCornerOrder) {
  uint16_t r1 = 0, r2 = 0;
  uint8_t c1 = 0, c2 = 0;
  EXPECT_EQ(GetCellRange("A1", r1, c1, r2, c2), -1);
  ASSERT_EQ(GetCellRange("B2:A1", r1, c1, r2, c2), 1);
  EXPECT_EQ(r1, 1);
  EXPECT_EQ(c1, 1);
  EXPECT_EQ(r2, 0);
  EXPECT_EQ(c2, 0);
  EXPECT_EQ(GetCellRange("A1:", r1, c1, r2, c2), -1);
  EXPECT_EQ(GetCellRange("X:A1", r1, c1, r2, c2), -1);
}

TEST(CellRefDiapason, RowsParseTrimmedAndOrdered) {
  EXPECT_EQ(RowPair(" $5 : $2 "), "2-5");
  EXPECT_EQ(RowPair("1:3"), "1-3");
  EXPECT_EQ(RowPair("$ 4:$4"), "4-4");
  EXPECT_EQ(RowPair("65535:1"), "1-65535");
  for (const char* text : {":3", "abc:3", "3", "3:", "$:3", "65536:1", "-5:3", "1:2:3", "$$1:2"}) {
    EXPECT_EQ(RowPair(text), "false") << text;
  }
}

TEST(CellRefDiapason, ColumnsParseTrimmedAndOrdered) {
  EXPECT_EQ(ColPair("$C:$A"), "1-3");
  EXPECT_EQ(ColPair(" b : iu "), "2-255");
  for (const char* text : {":A", "A", "1:A", "$A:", "A:IV"}) {
    EXPECT_EQ(ColPair(text), "false") << text;
  }
}

TEST(CellRefDiapason, ValuesFormatAsAbsoluteText) {
  std::string text = "old";
  EXPECT_EQ(ValuesToRowDiapason(2, 5, text), 1);
  EXPECT_EQ(text, "$2:$5");
  EXPECT_EQ(ValuesToRowDiapason(0, 5, text), 1);
  EXPECT_EQ(text, "");
  EXPECT_EQ(ValuesToColDiapason(1, 3, text), 1);
  EXPECT_EQ(text, "$A:$C");
  EXPECT_EQ(ValuesToColDiapason(3, -1, text), 1);
  EXPECT_EQ(text, "");
  int32_t first = 0, last = 0;
  ValuesToColDiapason(27, 255, text);
  ASSERT_TRUE(ColDiapasonToValues(text, first, last));
  EXPECT_EQ(first, 27);
  EXPECT_EQ(last, 255);
}

TEST(UnitConversion, HeightsRoundToQuarterPointsTiesToEven) {
  EXPECT_EQ(Height2Excel(12.3f), 245);
  EXPECT_EQ(Excel2Height(245), 12.25f);
  EXPECT_EQ(Height2Excel(12.125f), 240);
  EXPECT_EQ(Height2Excel(12.375f), 250);
  EXPECT_EQ(Height2Excel(15.0f), 300);
  EXPECT_EQ(Height2Excel(0.0f), 0);
  EXPECT_EQ(Excel2Height(300), 15.0f);
}

TEST(UnitConversion, WidthsRoundTripThroughStoredUnits) {
  EXPECT_EQ(Width2Excel(8.43f), 2340);
  EXPECT_EQ(Excel2Width(2340), 8.43f);
  EXPECT_EQ(Width2Excel(0.5f), 230);
  EXPECT_EQ(Excel2Width(230), 0.5f);
  EXPECT_EQ(Width2Excel(1.0f), 438);
  EXPECT_EQ(Excel2Width(438), 1.0f);
  EXPECT_EQ(Width2Excel(0.0f), 0);
}

TEST(UnitConversion, OutOfRangeWidthsArePinnedNotWrapped) {
  EXPECT_EQ(Width2Excel(300.0f), 65535);
  EXPECT_EQ(Width2Excel(-0.5f), 0);
  EXPECT_EQ(Width2Excel(-3.0f), 0);
}

TEST(TextNormalising, AllLineBreaksBecomeCarriageReturns) {
  EXPECT_EQ(Str2Xls("a\r\nb\nc\rd"), "a\rb\rc\rd");
  EXPECT_EQ(Str2Xls("\n\r\n\r"), "\r\r\r");
  EXPECT_EQ(Str2Xls("\r\r\n"), "\r\r");
  EXPECT_EQ(Str2Xls(""), "");
}

TEST(DumpDataFile, HexLayoutWithGroupsAndIndentedLines) {
  TXLSBlob blob(20);
  for (int i = 0; i < 18; ++i) blob.AddByte(static_cast<uint8_t>(i * 15));  // 2 bytes unused
  const std::string path = TempPath("dump.txt");
  DumpData(blob, path);
  EXPECT_EQ(ReadFile(path),
            "00 0F 1E 2D  3C 4B 5A 69  78 87 96 A5  B4 C3 D2 E1  \n"
            "               F0 FF 00 00  ");
}

TEST(DumpDataFile, ExactLineHasNoTrailingBreakAndEmptyBufferEmptyFile) {
  TXLSBlob full(16);
  const std::string path = TempPath("dump16.txt");
  DumpData(full, path);
  EXPECT_EQ(ReadFile(path), "00 00 00 00  00 00 00 00  00 00 00 00  00 00 00 00  ");
  DumpData(TXLSBlob(0), path);
  EXPECT_EQ(ReadFile(path), "");
}

TEST(DumpDataFile, UnwritablePathThrowsNamingIt) {
  const std::string path = TempPath("no-such-dir/dump.txt");
  try {
    DumpData(TXLSBlob(4), path);
    FAIL() << "no exception";
  } catch (const std::system_error& e) {
    EXPECT_NE(std::string(e.what()).find(path), std::string::npos) << e.what();
  }
}

TEST(DumpDataFile, FailedWriteThrows) {
  if (!std::ifstream("/dev/full")) GTEST_SKIP() << "no /dev/full";
  EXPECT_THROW(DumpData(TXLSBlob(4), "/dev/full"), std::system_error);
}

}  // namespace
}  // namespace tabulon
