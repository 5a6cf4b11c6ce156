// Fixed-width upper-case hexadecimal fields: the text from which the font and
// cell-format tables build the keys that identify their entries.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace tabulon {

// The `width` characters of text at pos, or fewer where the text ends.
inline std::string_view KeyPart(std::string_view text, size_t pos, size_t width) {
  return pos < text.size() ? text.substr(pos, width) : std::string_view();
}

// The value of the `width` hexadecimal digits at `pos`. A position past the
// end of the text or a character that is no hexadecimal digit reads as 0, so
// a malformed key can never lead to a read outside it.
inline uint32_t ReadHexField(std::string_view text, size_t pos, size_t width) {
  uint32_t value = 0;
  for (size_t i = pos; i < pos + width; ++i) {
    const char c = i < text.size() ? text[i] : '0';
    uint32_t digit = 0;
    if (c >= '0' && c <= '9') digit = c - '0';
    if (c >= 'A' && c <= 'F') digit = c - 'A' + 10;
    if (c >= 'a' && c <= 'f') digit = c - 'a' + 10;
    value = (value << 4) | digit;
  }
  return value;
}

// Writes the low 4 * width bits of value as `width` upper-case digits at dst.
// Wider values are masked, so a field never spills into its neighbours.
inline void WriteHexField(char* dst, size_t width, uint32_t value) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  for (size_t i = width; i > 0; --i) {
    dst[i - 1] = kDigits[value & 0xF];
    value >>= 4;
  }
}

// A run of N key characters held by value: the alignment, border and
// background blocks of a cell-format key. Building a block from a longer
// text keeps its leading characters; a shorter text is padded with zeros,
// so every block has exactly its width.
template <size_t N>
struct TXLSKeyBlock {
  char Text[N];

  TXLSKeyBlock() {
    for (char& c : Text) c = '0';
  }
  explicit TXLSKeyBlock(std::string_view text) {
    for (size_t i = 0; i < N; ++i) Text[i] = i < text.size() ? text[i] : '0';
  }

  std::string_view View() const { return std::string_view(Text, N); }
  uint32_t Field(size_t pos, size_t width) const { return ReadHexField(View(), pos, width); }
  void SetField(size_t pos, size_t width, uint32_t value) {
    WriteHexField(Text + pos, width, value);
  }
  // Copies text over the characters from pos on, as far as the block reaches.
  void SetText(size_t pos, std::string_view text) {
    for (size_t i = 0; i < text.size() && pos + i < N; ++i) Text[pos + i] = text[i];
  }

  bool operator==(const TXLSKeyBlock& other) const { return View() == other.View(); }
  bool operator!=(const TXLSKeyBlock& other) const { return !(*this == other); }
};

}  // namespace tabulon
