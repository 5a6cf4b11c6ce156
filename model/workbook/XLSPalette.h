// The workbook's 56-colour palette, its default contents, nearest-colour
// matching, and the colour names callers may use instead of numbers.
#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace tabulon {

class TXLSBlobList;

/// Palette index that stands for the reader's automatic (system) colour.
constexpr uint16_t XLSAutomaticColorIndex = 0x7FFF;

/// First palette index that records store (custom index 1 is file index 8).
constexpr int32_t XLSFirstFileColor = 8;
/// Last palette index that records store.
constexpr int32_t XLSLastFileColor = 63;
/// How many palette entries the file stores and SetCustomColor changes (56).
constexpr int32_t XLSCustomColorCount = XLSLastFileColor - XLSFirstFileColor + 1;

/// 64 palette entries, each a colour value 0x00BBGGRR. Entries 8 to 63 are
/// the colours written to the file; entries 0 to 7 repeat the eight basic
/// colours and are never written or matched.
class TXLSPalette {
 public:
  TXLSPalette();

  /// Loads the default palette into every entry; answers 1.
  int32_t SetPaletteXL97();
  /// Loads the default palette.
  /// @return 1.
  int32_t ResetColors() { return SetPaletteXL97(); }

  /// Custom index 1 to 56 names file index index + 7; any other custom
  /// index changes nothing. The middle argument is not used.
  void SetCustomColor(int32_t CustomIndex, int32_t Unused, uint32_t Color);
  /// The colour of custom index 1 to 56, else 0.
  uint32_t GetCustomColor(int32_t CustomIndex) const;
  /// @param CustomIndex Palette index 1 to 56.
  /// @return The palette colour as 0x00BBGGRR; 0 outside 1 to 56.
  uint32_t GetCustomColor2(int32_t CustomIndex, int32_t /*Unused*/) const {
    return GetCustomColor(CustomIndex);
  }
  /// The custom index (1 to 56) of the palette colour nearest to Color;
  /// a tie keeps the lower index.
  int32_t GetCustomColorIndex(uint32_t Color) const;

  /// Appends the PALETTE record of the 56 file colours; answers 1 or -1.
  int32_t StorePalette(TXLSBlobList& List) const;

 private:
  std::array<uint32_t, 64> entries_;
};

/// The file palette index for a colour name such as "red" or " Grey ",
/// matched without case and surrounding blanks; XLSAutomaticColorIndex for
/// a name it does not know.
uint16_t GetColorIndex(const std::string& Name);

/// The palette index, 1 to 56, of a colour name such as "red", "navy" or
/// " Grey " (the 18 names GetColorIndex knows, matched the same way): the
/// index that every SetColorIndex of a font, fill or border and
/// IXLSInterior::SetPatternColorIndex take, so the named colour shows
/// whatever the setter (GetColorIndex answers the file index, 8 to 63, that
/// records store, which these setters would read as another colour).
/// @param name the colour name.
/// @return 1 to 56, or 0 for a name it does not know (test before use: the
///         setters read 0 as no colour or black).
int32_t ColorNameToIndex(const std::string& name);

}  // namespace tabulon
