// Where the fields of a cell-format key lie, and how the edges and the fill
// are packed into its border and background blocks. Shared by the key
// setters and getters and the XF record builder.
#pragma once

#include <cstddef>
#include <cstdint>

#include "xlsxf.h"

namespace tabulon {
namespace xfkey {

// Character positions (from 0) and widths of the key fields.
constexpr size_t kFontPos = 0;
constexpr size_t kFontWidth = 4;
constexpr size_t kNumFormatPos = 4;
constexpr size_t kNumFormatWidth = 4;
constexpr size_t kProtectionPos = 8;
constexpr size_t kParentPos = 9;
constexpr size_t kParentWidth = 4;
constexpr size_t kAlignPos = 13;
constexpr size_t kBorderPos = 19;
constexpr size_t kBackgroundPos = 35;
constexpr size_t kFlagsPos = 41;
constexpr size_t kFlagsWidth = 2;

// Used-attribute flags: the groups a format defines itself.
constexpr uint8_t kGroupNumFormat = 0x01;
constexpr uint8_t kGroupFont = 0x02;
constexpr uint8_t kGroupAlign = 0x04;
constexpr uint8_t kGroupBorder = 0x08;
constexpr uint8_t kGroupBackground = 0x10;
constexpr uint8_t kGroupProtection = 0x20;

// Parent field of a style format.
constexpr uint32_t kStyleParent = 0xFFFF;

// Digits of the alignment block.
constexpr size_t kVerAlignDigit = 0;
constexpr size_t kHorAlignDigit = 1;  // bit 3: wrap
constexpr size_t kOrientationDigit = 2;
constexpr size_t kOrientationWidth = 2;
constexpr size_t kShrinkDigit = 4;
constexpr size_t kIndentDigit = 5;
constexpr uint32_t kWrapBit = 8;

// Edges in the order in which masks are walked; edge e has mask bit 1 << e.
enum TEdge { edgeLeft, edgeRight, edgeTop, edgeBottom, kEdgeCount };

constexpr uint8_t EdgeMask(int edge) {
  return static_cast<uint8_t>(1u << edge);
}

// The two words of a border block: A holds the four line-style codes (4 bits
// each, left to bottom) and the left and right colours; B the top and
// bottom colours. Colours are 7-bit palette indexes.
struct TBorderWords {
  uint32_t A = 0;
  uint32_t B = 0;

  explicit TBorderWords(const xlsBorderBlock& block) : A(block.Field(0, 8)), B(block.Field(8, 8)) {}

  xlsBorderBlock ToBlock() const {
    xlsBorderBlock block;
    block.SetField(0, 8, A);
    block.SetField(8, 8, B);
    return block;
  }

  uint8_t Code(int edge) const { return (A >> (4 * edge)) & 0xF; }
  void SetCode(int edge, uint8_t code) {
    const int shift = 4 * edge;
    A = (A & ~(0xFu << shift)) | (uint32_t{code & 0xFu} << shift);
  }

  uint8_t Color(int edge) const { return (ColorWord(edge) >> ColorShift(edge)) & 0x7F; }
  void SetColor(int edge, uint8_t color) {
    uint32_t& word = ColorWord(edge);
    const int shift = ColorShift(edge);
    word = (word & ~(0x7Fu << shift)) | (uint32_t{color & 0x7Fu} << shift);
  }

 private:
  // Left and right colours sit in A from bit 16, top and bottom in B from 0.
  static int ColorShift(int edge) { return edge < edgeTop ? 16 + 7 * edge : 7 * (edge - edgeTop); }
  uint32_t ColorWord(int edge) const { return edge < edgeTop ? A : B; }
  uint32_t& ColorWord(int edge) { return edge < edgeTop ? A : B; }
};

// A background block: the fill pattern and the colour word, whose bits 0-6
// are the foreground and bits 7-13 the background colour; bits 14-15 are
// carried along as they are.
struct TFill {
  uint8_t Pattern = 0;
  uint8_t Fore = 0;
  uint8_t Back = 0;
  uint16_t HighBits = 0;

  explicit TFill(const xlsBackgroundBlock& block) {
    const uint32_t word = block.Field(2, 4);
    Pattern = static_cast<uint8_t>(block.Field(0, 2));
    Fore = word & 0x7F;
    Back = (word >> 7) & 0x7F;
    HighBits = word & 0xC000;
  }

  uint16_t ColorWord() const {
    return static_cast<uint16_t>(HighBits | ((Back & 0x7F) << 7) | (Fore & 0x7F));
  }

  xlsBackgroundBlock ToBlock() const {
    xlsBackgroundBlock block;
    block.SetField(0, 2, Pattern);
    block.SetField(2, 4, ColorWord());
    return block;
  }
};

}  // namespace xfkey
}  // namespace tabulon
