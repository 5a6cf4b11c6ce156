#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "XLSByteOrder.h"
#include "XLSPng.h"

namespace tabulon {
namespace {

uint32_t BigEndianAt(const std::string& bytes, size_t pos) {
  uint32_t value = 0;
  for (size_t i = 0; i < 4; ++i) value = value << 8 | static_cast<uint8_t>(bytes[pos + i]);
  return value;
}

// A width x height bitmap whose pixel bytes count up from 1, rows padded.
std::vector<uint8_t> Dib(uint32_t width, uint32_t height) {
  std::vector<uint8_t> dib(40, 0);
  XLSPutLE<uint32_t>(&dib[0], 40);
  XLSPutLE<uint32_t>(&dib[4], width);
  XLSPutLE<uint32_t>(&dib[8], height);
  XLSPutLE<uint32_t>(&dib[12], 0x00180001);
  for (size_t i = 0; i < (width * 3 + 3) / 4 * 4 * height; ++i) {
    dib.push_back(static_cast<uint8_t>(i + 1));
  }
  return dib;
}

TEST(Png, TwoByTwoBitmapBecomesTopDownRgbRowsInOneStoredBlock) {
  const std::string png = MakePng(Dib(2, 2));
  EXPECT_EQ(png.substr(0, 8), "\x89PNG\r\n\x1A\n");
  EXPECT_EQ(BigEndianAt(png, 8), 13u);
  EXPECT_EQ(png.substr(12, 17), std::string("IHDR\0\0\0\x02\0\0\0\x02\x08\x02\0\0\0", 17));
  // IDAT: the zlib header, one final stored block of 14 bytes, the rows.
  const size_t idat = 8 + 12 + 13;
  EXPECT_EQ(png.substr(idat + 4, 4), "IDAT");
  ASSERT_EQ(BigEndianAt(png, idat), 2u + 5 + 14 + 4);
  const std::string zlib = png.substr(idat + 8, 25);
  EXPECT_EQ(zlib.substr(0, 7), std::string("\x78\x01\x01\x0E\0\xF1\xFF", 7));
  // Each row of the bitmap is 8 bytes (6 and padding); the top row is the
  // second, its pixels turned from blue-green-red to red-green-blue.
  const std::string rows("\0\x0B\x0A\x09\x0E\x0D\x0C\0\x03\x02\x01\x06\x05\x04", 14);
  EXPECT_EQ(zlib.substr(7, 14), rows);
  uint32_t a = 1, b = 0;
  for (char byte : rows) b += a += static_cast<uint8_t>(byte);
  EXPECT_EQ(BigEndianAt(zlib, 21), b << 16 | a);
  // The end chunk, whose checksum every PNG shares.
  EXPECT_EQ(png.substr(png.size() - 12), std::string("\0\0\0\0IEND\xAE\x42\x60\x82", 12));
}

TEST(Png, RowsPastOneStoredBlockGoOnInTheNext) {
  // 110 rows of 1 + 600 bytes: 66110 bytes, a full block of 65535 and 575.
  const std::string png = MakePng(Dib(200, 110));
  const size_t zlib = 8 + 25 + 8;
  EXPECT_EQ(png.substr(zlib + 2, 5), std::string("\0\xFF\xFF\0\0", 5));
  EXPECT_EQ(png.substr(zlib + 7 + 65535, 5), std::string("\x01\x3F\x02\xC0\xFD", 5));
  EXPECT_EQ(BigEndianAt(png, 8 + 25), 2u + 5 + 65535 + 5 + 575 + 4);
}

}  // namespace
}  // namespace tabulon
