#include <gtest/gtest.h>

#include <string>

#include "BitmapFiles.h"
#include "XLSPng.h"

namespace tabulon {
namespace {

uint32_t BigEndianAt(const std::string& bytes, size_t pos) {
  uint32_t value = 0;
  for (size_t i = 0; i < 4; ++i) value = value << 8 | static_cast<uint8_t>(bytes[pos + i]);
  return value;
}

TEST(Png, BitmapBecomesTopDownRgbRowsInStoredBlocks) {
  const std::string png = MakePng(bitmap_test::Dib(2, 2));
  EXPECT_EQ(png.substr(0, 29),
            std::string("\x89PNG\r\n\x1A\n\0\0\0\x0DIHDR\0\0\0\x02\0\0\0\x02\x08\x02\0\0\0", 29));
  // IDAT: the zlib header, one final stored block of 14 bytes, the checksum.
  ASSERT_EQ(BigEndianAt(png, 33), 2u + 5 + 14 + 4);
  EXPECT_EQ(png.substr(37, 11), std::string("IDAT\x78\x01\x01\x0E\0\xF1\xFF", 11));
  // The top row first, each pixel turned from blue-green-red to red-green-blue.
  const std::string rows("\0\xC7\x72\x1D\xD8\x83\x2E\0\xAA\x55\0\xBB\x66\x11", 14);
  EXPECT_EQ(png.substr(48, 14), rows);
  uint32_t a = 1, b = 0;
  for (char byte : rows) b += a += static_cast<uint8_t>(byte);
  EXPECT_EQ(BigEndianAt(png, 62), b << 16 | a);
  // The end chunk, whose checksum every PNG shares.
  EXPECT_EQ(png.substr(70), std::string("\0\0\0\0IEND\xAE\x42\x60\x82", 12));

  // 110 rows of 1 + 600 bytes: a full block of 65535 bytes, then 575.
  const std::string big = MakePng(bitmap_test::Dib(200, 110));
  EXPECT_EQ(BigEndianAt(big, 33), 2u + 5 + 65535 + 5 + 575 + 4);
  EXPECT_EQ(big.substr(43, 5), std::string("\0\xFF\xFF\0\0", 5));
  EXPECT_EQ(big.substr(48 + 65535, 5), std::string("\x01\x3F\x02\xC0\xFD", 5));
}

}  // namespace
}  // namespace tabulon
