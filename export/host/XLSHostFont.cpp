#include "XLSHostFont.h"

#include <array>

namespace tabulon {
namespace {

// The standard desktop scheme, indexed by system colour number (0x00BBGGRR).
constexpr std::array<uint32_t, 31> kSystemColors = {
    0xC8C8C8,  // scroll bar
    0x000000,  // desktop
    0xD1B499,  // active caption
    0xDBCDBF,  // inactive caption
    0xF0F0F0,  // menu
    0xFFFFFF,  // window
    0x646464,  // window frame
    0x000000,  // menu text
    0x000000,  // window text
    0x000000,  // caption text
    0xB4B4B4,  // active border
    0xFCF7F4,  // inactive border
    0xABABAB,  // application workspace
    0xD77800,  // highlight
    0xFFFFFF,  // highlight text
    0xF0F0F0,  // button face
    0xA0A0A0,  // button shadow
    0x6D6D6D,  // grey text
    0x000000,  // button text
    0x000000,  // inactive caption text
    0xFFFFFF,  // button highlight
    0x696969,  // 3-D dark shadow
    0xE3E3E3,  // 3-D light
    0x000000,  // tooltip text
    0xE1FFFF,  // tooltip background
    0x000000,  // (unused)
    0xCC6600,  // hot-tracked item
    0xEAD1B9,  // gradient of the active caption
    0xF2E4D7,  // gradient of the inactive caption
    0xFF9933,  // menu highlight
    0xF0F0F0,  // menu bar
};

}  // namespace

uint32_t ColorToRGB(TColor color) {
  if ((color & XLSSystemColorFlag) != 0) {
    const uint32_t index = static_cast<uint32_t>(color) & 0xFF;
    return index < kSystemColors.size() ? kSystemColors[index] : 0;
  }
  return static_cast<uint32_t>(color) & 0xFFFFFF;
}

}  // namespace tabulon
