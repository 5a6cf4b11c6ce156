#include "XLSPng.h"

#include <algorithm>
#include <array>

#include "XLSByteOrder.h"

namespace tabulon {

namespace {

constexpr size_t kInfoHeaderSize = 40;
constexpr size_t kStoredBlockLimit = 0xFFFF;
constexpr uint32_t kAdlerModulus = 65521;
constexpr char kSignature[] = "\x89PNG\r\n\x1A\n";
// Deflate with a 32 KiB window; the two bytes are a multiple of 31 as read
// big-endian.
constexpr char kZlibHeader[] = "\x78\x01";

void AppendBigEndian(std::string& out, uint32_t value) {
  for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<char>(value >> shift));
}

uint32_t Crc32(const std::string& bytes, size_t from) {
  static const std::array<uint32_t, 256> table = [] {
    std::array<uint32_t, 256> entries{};
    for (uint32_t n = 0; n < 256; ++n) {
      uint32_t c = n;
      for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
      entries[n] = c;
    }
    return entries;
  }();
  uint32_t crc = 0xFFFFFFFFu;
  for (size_t i = from; i < bytes.size(); ++i) {
    crc = table[(crc ^ static_cast<uint8_t>(bytes[i])) & 0xFF] ^ (crc >> 8);
  }
  return crc ^ 0xFFFFFFFFu;
}

uint32_t Adler32(const std::string& bytes) {
  uint32_t a = 1, b = 0;
  for (char byte : bytes) {
    a = (a + static_cast<uint8_t>(byte)) % kAdlerModulus;
    b = (b + a) % kAdlerModulus;
  }
  return b << 16 | a;
}

// A chunk: the data's length, the type, the data, and the checksum of type
// and data.
void AppendChunk(std::string& png, const char* type, const std::string& data) {
  AppendBigEndian(png, static_cast<uint32_t>(data.size()));
  const size_t start = png.size();
  png += type;
  png += data;
  AppendBigEndian(png, Crc32(png, start));
}

// The image rows top-down, each behind filter type 0 (none), their pixels
// red, green, blue where the bitmap keeps blue, green, red.
std::string Scanlines(const std::vector<uint8_t>& dib, uint32_t width, uint32_t height) {
  const size_t rowSize = (size_t{width} * 3 + 3) / 4 * 4;
  std::string rows;
  rows.reserve(size_t{height} * (1 + size_t{width} * 3));
  for (uint32_t y = height; y-- > 0;) {
    rows.push_back(0);
    const size_t row = kInfoHeaderSize + y * rowSize;
    for (size_t x = 0; x < width; ++x) {
      for (size_t channel = 3; channel-- > 0;) {
        const size_t pos = row + x * 3 + channel;
        rows.push_back(static_cast<char>(pos < dib.size() ? dib[pos] : 0));
      }
    }
  }
  return rows;
}

// A zlib stream of stored deflate blocks: each a final-block flag, the length
// and its complement, and up to 65535 bytes.
std::string StoredZlib(const std::string& raw) {
  std::string stream(kZlibHeader, 2);
  size_t pos = 0;
  do {
    const size_t size = std::min(raw.size() - pos, kStoredBlockLimit);
    const bool last = pos + size == raw.size();
    stream.push_back(last ? 1 : 0);
    XLSAppendLE(stream, static_cast<uint16_t>(size));
    XLSAppendLE(stream, static_cast<uint16_t>(~size));
    stream.append(raw, pos, size);
    pos += size;
  } while (pos < raw.size());
  AppendBigEndian(stream, Adler32(raw));
  return stream;
}

uint32_t HeaderField(const std::vector<uint8_t>& dib, size_t pos) {
  return dib.size() >= pos + 4 ? XLSGetLE<uint32_t>(&dib[pos]) : 0;
}

}  // namespace

std::string MakePng(const std::vector<uint8_t>& dib) {
  const uint32_t width = HeaderField(dib, 4);
  const uint32_t height = HeaderField(dib, 8);
  std::string header;
  AppendBigEndian(header, width);
  AppendBigEndian(header, height);
  header += std::string("\x08\x02\0\0\0", 5);  // 8 bits a channel, RGB, deflate, no interlace
  std::string png(kSignature, 8);
  AppendChunk(png, "IHDR", header);
  AppendChunk(png, "IDAT", StoredZlib(Scanlines(dib, width, height)));
  AppendChunk(png, "IEND", "");
  return png;
}

}  // namespace tabulon
