// The plain 'B12' form is read by a short path; it must agree with the
// general reading on every text, plain or not.
#include <gtest/gtest.h>

#include <string>

#include "XLSCellRef.h"

namespace tabulon {
namespace {

// The parse result as "row,col" (zero-based), or "-1" with outputs untouched.
std::string Parsed(const std::string& text) {
  uint16_t row = 777;
  uint8_t col = 77;
  if (GetCellRef(text, row, col) != 1) {
    return row == 777 && col == 77 ? "-1" : "touched";
  }
  return std::to_string(row) + "," + std::to_string(col);
}

TEST(CellRefPlainForm, EveryColumnAndEdgeRowRoundTrips) {
  for (int col = 0; col <= XLSMaxCol; ++col) {
    for (uint16_t row : {0, 8, 9, 99, 9999, 65534, 65535}) {
      const std::string text = EncodeCellRef(row, static_cast<uint8_t>(col));
      ASSERT_EQ(Parsed(text), std::to_string(row) + "," + std::to_string(col)) << text;
    }
  }
}

TEST(CellRefPlainForm, AgreesWithTheGeneralReading) {
  EXPECT_EQ(Parsed("iv65536"), "65535,255");
  EXPECT_EQ(Parsed("A00001"), "0,0");  // five digits, leading zeros
  EXPECT_EQ(Parsed(" b 2 "), "1,1");   // blanks: the general reading
  EXPECT_EQ(Parsed("IW1"), "-1");      // column 257
  EXPECT_EQ(Parsed("A65537"), "-1");   // row past the sheet
  EXPECT_EQ(Parsed("A000001"), "-1");  // six digits
  EXPECT_EQ(Parsed("A0"), "-1");
  EXPECT_EQ(Parsed("AAA1"), "-1");  // three letters: too far right
  EXPECT_EQ(Parsed("A1B"), "-1");
  EXPECT_EQ(Parsed("12"), "-1");
  EXPECT_EQ(Parsed("AB"), "-1");
}

}  // namespace
}  // namespace tabulon
