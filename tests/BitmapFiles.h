// Test helpers that make small Windows bitmap files: 24-bit uncompressed by
// default, with a pixel pattern that differs at every pixel, and ways to spoil
// one header field to build the files a reader must refuse.
#pragma once

#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

#include "XLSByteOrder.h"

namespace tabulon {
namespace bitmap_test {

inline void SetLong(std::string& bytes, size_t pos, uint32_t value) {
  XLSPutLE(reinterpret_cast<uint8_t*>(&bytes[pos]), value);
}

inline void SetWord(std::string& bytes, size_t pos, uint16_t value) {
  XLSPutLE(reinterpret_cast<uint8_t*>(&bytes[pos]), value);
}

inline size_t RowSize(uint32_t width) {
  return (width * 3 + 3) / 4 * 4;
}

// Blue, green, red of the pixel at (x, y), y counted from the bottom row.
inline uint8_t Channel(uint32_t x, uint32_t y, int channel) {
  return static_cast<uint8_t>(x * 17 + y * 29 + channel * 85);
}

// The pixel rows of a width x height picture, bottom-up, each padded with
// zeros to a multiple of 4 bytes.
inline std::string PixelRows(uint32_t width, uint32_t height) {
  std::string rows(RowSize(width) * height, '\0');
  for (uint32_t y = 0; y < height; ++y) {
    for (uint32_t x = 0; x < width; ++x) {
      for (int c = 0; c < 3; ++c) rows[y * RowSize(width) + x * 3 + c] = Channel(x, y, c);
    }
  }
  return rows;
}

// A 24-bit uncompressed bitmap file: 14-byte file header, 40-byte
// information header, pixel rows.
inline std::string Bitmap(uint32_t width, uint32_t height) {
  const std::string rows = PixelRows(width, height);
  std::string file(54, '\0');
  file[0] = 'B';
  file[1] = 'M';
  SetLong(file, 2, static_cast<uint32_t>(54 + rows.size()));
  SetLong(file, 10, 54);
  SetLong(file, 14, 40);
  SetLong(file, 18, width);
  SetLong(file, 22, height);
  SetWord(file, 26, 1);
  SetWord(file, 28, 24);
  SetLong(file, 34, static_cast<uint32_t>(rows.size()));
  return file + rows;
}

// The bitmap without its file header, as a drawing picture carries it.
inline std::vector<uint8_t> Dib(uint32_t width, uint32_t height) {
  const std::string file = Bitmap(width, height);
  return std::vector<uint8_t>(file.begin() + 14, file.end());
}

inline std::string Save(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
  return path;
}

}  // namespace bitmap_test
}  // namespace tabulon
