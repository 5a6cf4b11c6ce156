#include "XLSPalette.h"

#include <cstdlib>

#include "XLSBlob.h"
#include "XLSRecordIds.h"

namespace tabulon {

namespace {

// The default colours of file indexes 8 to 63, written as RRGGBB.
constexpr uint32_t kDefaultRGB[XLSCustomColorCount] = {
    0x000000, 0xFFFFFF, 0xFF0000, 0x00FF00, 0x0000FF, 0xFFFF00, 0xFF00FF, 0x00FFFF,
    0x800000, 0x008000, 0x000080, 0x808000, 0x800080, 0x008080, 0xC0C0C0, 0x808080,
    0x9999FF, 0x993366, 0xFFFFCC, 0xCCFFFF, 0x660066, 0xFF8080, 0x0066CC, 0xCCCCFF,
    0x000080, 0xFF00FF, 0xFFFF00, 0x00FFFF, 0x800080, 0x800000, 0x008080, 0x0000FF,
    0x00CCFF, 0xCCFFFF, 0xCCFFCC, 0xFFFF99, 0x99CCFF, 0xFF99CC, 0xCC99FF, 0xFFCC99,
    0x3366FF, 0x33CCCC, 0x99CC00, 0xFFCC00, 0xFF9900, 0xFF6600, 0x666699, 0x969696,
    0x003366, 0x339966, 0x003300, 0x333300, 0x993300, 0x993366, 0x333399, 0x333333};

// The palette stores colour values (red in the low byte); the table above
// reads as RRGGBB, so the outer bytes swap.
constexpr uint32_t ColorFromRGB(uint32_t rgb) {
  return ((rgb & 0xFF) << 16) | (rgb & 0xFF00) | ((rgb >> 16) & 0xFF);
}

uint8_t Red(uint32_t color) {
  return color & 0xFF;
}
uint8_t Green(uint32_t color) {
  return (color >> 8) & 0xFF;
}
uint8_t Blue(uint32_t color) {
  return (color >> 16) & 0xFF;
}

bool IsCustomIndex(int32_t index) {
  return index >= 1 && index <= XLSCustomColorCount;
}

int32_t FileIndexOf(int32_t customIndex) {
  return customIndex + XLSFirstFileColor - 1;
}

struct TColorName {
  const char* Name;
  uint16_t FileIndex;
};

constexpr TColorName kColorNames[] = {
    {"aqua", 15},    {"cyan", 15},   {"black", 8}, {"blue", 12},   {"brown", 16}, {"magenta", 14},
    {"fuchsia", 14}, {"gray", 23},   {"grey", 23}, {"green", 17},  {"lime", 11},  {"navy", 18},
    {"orange", 53},  {"purple", 20}, {"red", 10},  {"silver", 22}, {"white", 9},  {"yellow", 13}};

std::string NormalizedName(const std::string& name) {
  size_t first = 0;
  size_t last = name.size();
  while (first < last && static_cast<unsigned char>(name[first]) <= ' ') ++first;
  while (last > first && static_cast<unsigned char>(name[last - 1]) <= ' ') --last;
  std::string result = name.substr(first, last - first);
  for (char& c : result) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return result;
}

}  // namespace

TXLSPalette::TXLSPalette() {
  SetPaletteXL97();
}

int32_t TXLSPalette::SetPaletteXL97() {
  for (int32_t i = 0; i < XLSCustomColorCount; ++i) {
    entries_[XLSFirstFileColor + i] = ColorFromRGB(kDefaultRGB[i]);
  }
  // Entries 0 to 7 mirror the eight basic colours of entries 8 to 15.
  for (int32_t i = 0; i < XLSFirstFileColor; ++i) entries_[i] = entries_[XLSFirstFileColor + i];
  return 1;
}

void TXLSPalette::SetCustomColor(int32_t CustomIndex, int32_t /*Unused*/, uint32_t Color) {
  if (IsCustomIndex(CustomIndex)) entries_[FileIndexOf(CustomIndex)] = Color & 0x00FFFFFF;
}

uint32_t TXLSPalette::GetCustomColor(int32_t CustomIndex) const {
  return IsCustomIndex(CustomIndex) ? entries_[FileIndexOf(CustomIndex)] : 0;
}

int32_t TXLSPalette::GetCustomColorIndex(uint32_t Color) const {
  int32_t bestIndex = 0;
  int32_t bestDistance = 768;  // above the largest possible distance, 765
  for (int32_t e = XLSFirstFileColor; e <= XLSLastFileColor; ++e) {
    const uint32_t entry = entries_[e];
    const int32_t distance = std::abs(Red(Color) - Red(entry)) +
                             std::abs(Green(Color) - Green(entry)) +
                             std::abs(Blue(Color) - Blue(entry));
    // Only a strictly smaller distance wins, so ties keep the lower index.
    if (distance < bestDistance) {
      bestIndex = e - XLSFirstFileColor + 1;
      bestDistance = distance;
      if (distance == 0) break;
    }
  }
  return bestIndex;
}

int32_t TXLSPalette::StorePalette(TXLSBlobList& List) const {
  const uint16_t dataLength = 2 + 4 * XLSCustomColorCount;
  TXLSBlob record = MakeRecord(xlsrec::kPalette, dataLength);
  record.AddWord(XLSCustomColorCount);
  // A colour value is red, green, blue, 0 in little-endian byte order.
  for (int32_t e = XLSFirstFileColor; e <= XLSLastFileColor; ++e) record.AddLong(entries_[e]);
  return List.Append(std::move(record));
}

uint16_t GetColorIndex(const std::string& Name) {
  const std::string key = NormalizedName(Name);
  for (const TColorName& entry : kColorNames) {
    if (key == entry.Name) return entry.FileIndex;
  }
  return XLSAutomaticColorIndex;
}

int32_t ColorNameToIndex(const std::string& name) {
  const uint16_t fileIndex = GetColorIndex(name);
  if (fileIndex == XLSAutomaticColorIndex) return 0;
  return fileIndex - XLSFirstFileColor + 1;
}

}  // namespace tabulon
