// Fonts and colours as the host's user-interface classes describe them. A
// host colour is either a plain RGB value 0x00BBGGRR, a system colour
// (0x80000000 plus the system colour's number) that ColorToRGB resolves, or
// clNone, which the export components read as "do not apply".
#pragma once

#include <cstdint>
#include <string>
#include <utility>

namespace tabulon {

/// A host colour: RGB 0x00BBGGRR, a system colour or clNone.
using TColor = int32_t;

/// No colour: where it is given, the export components set no colour.
constexpr TColor clNone = 0x1FFFFFFF;
///@{
/// The host's named colours, as RGB values 0x00BBGGRR.
constexpr TColor clBlack = 0x000000;
constexpr TColor clMaroon = 0x000080;
constexpr TColor clGreen = 0x008000;
constexpr TColor clOlive = 0x008080;
constexpr TColor clNavy = 0x800000;
constexpr TColor clPurple = 0x800080;
constexpr TColor clTeal = 0x808000;
constexpr TColor clGray = 0x808080;
constexpr TColor clSilver = 0xC0C0C0;
constexpr TColor clRed = 0x0000FF;
constexpr TColor clLime = 0x00FF00;
constexpr TColor clYellow = 0x00FFFF;
constexpr TColor clBlue = 0xFF0000;
constexpr TColor clFuchsia = 0xFF00FF;
constexpr TColor clAqua = 0xFFFF00;
constexpr TColor clWhite = 0xFFFFFF;
///@}

/// System colours: the flag bit plus the system colour's number.
constexpr TColor XLSSystemColorFlag = static_cast<TColor>(0x80000000u);
///@{
/// A system colour, which ColorToRGB resolves to the standard desktop scheme.
constexpr TColor clWindow = XLSSystemColorFlag | 5;
constexpr TColor clWindowText = XLSSystemColorFlag | 8;
constexpr TColor clHighlight = XLSSystemColorFlag | 13;
constexpr TColor clHighlightText = XLSSystemColorFlag | 14;
constexpr TColor clBtnFace = XLSSystemColorFlag | 15;
constexpr TColor clBtnText = XLSSystemColorFlag | 18;
///@}

/// The RGB value of a host colour: system colours resolve to the standard
/// desktop scheme; every other value keeps its low 24 bits.
uint32_t ColorToRGB(TColor color);

/// One style flag of a host font; a set of them is a TFontStyles.
enum TFontStyle : uint8_t {
  fsBold = 1,       ///< Bold.
  fsItalic = 2,     ///< Italic.
  fsUnderline = 4,  ///< Underlined.
  fsStrikeOut = 8,  ///< Struck out.
};
/// A set of TFontStyle flags.
using TFontStyles = uint8_t;

/// A font of the host: name, size in points, style flags and colour.
class TFont {
 public:
  TFont() = default;
  /// @param name Font name.
  /// @param size Size in points.
  /// @param style A set of TFontStyle flags.
  /// @param color Text colour (a host colour).
  TFont(std::string name, int32_t size, TFontStyles style = 0, TColor color = clWindowText)
      : Name(std::move(name)), Size(size), Style(style), Color(color) {}

  /// Copies every attribute of source.
  void Assign(const TFont& source) { *this = source; }
  /// @param style One TFontStyle flag.
  /// @return Whether the font has it.
  bool Has(TFontStyle style) const { return (Style & style) != 0; }

  /// Font name.
  std::string Name = "Arial";
  int32_t Size = 10;  ///< points
  /// A set of TFontStyle flags.
  TFontStyles Style = 0;
  /// Text colour (a host colour).
  TColor Color = clWindowText;
};

}  // namespace tabulon
