#include "XLSColumnFit.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>

namespace tabulon {
namespace {

// A reader shows at most this many characters of a number in General.
constexpr int32_t kGeneralDigits = 11;
// Digits of the largest double.
constexpr int32_t kMaxDigits = 309;
// Bold glyphs are wider than regular ones by about this much.
constexpr double kBoldWidening = 1.1;
// Points of the default font, whose characters are the width unit.
constexpr double kDefaultFontSize = 10;
// Widest column a sheet holds, in characters.
constexpr double kWidestColumn = 255;
// Room between a cell's text and the grid lines, in characters.
constexpr double kPadding = 2;

int32_t LongestLine(std::string_view text) {
  size_t longest = 0;
  for (size_t start = 0;;) {
    const size_t end = text.find('\n', start);
    const size_t stop = end == std::string_view::npos ? text.size() : end;
    longest = std::max(longest, stop - start);
    if (end == std::string_view::npos) break;
    start = end + 1;
  }
  return static_cast<int32_t>(longest);
}

// The shortest text that reads back as the value, which is what a reader
// shows in General as far as the column lets it.
int32_t GeneralNumberLength(double value) {
  char text[32];
  const std::to_chars_result end = std::to_chars(text, text + sizeof text, value);
  return std::min(static_cast<int32_t>(end.ptr - text), kGeneralDigits);
}

// How a digit format ("#,##0.00", "0.000") lays a number out beside its
// integer digits: a separator every three when it groups them, the decimals
// it gives, and its other characters.
struct TDigitLayout {
  bool Grouped;
  int32_t Decimals;
  int32_t Others;
};

// Whether a number format shows a number as digits rather than as a date or
// time, whose letters it has.
bool IsDigitFormat(std::string_view format) {
  // The letters first: a date or time format starts with one.
  return format.find_first_of("yYmMdDhHsS") == std::string_view::npos &&
         format.find_first_of("0#") != std::string_view::npos;
}

TDigitLayout DigitLayout(std::string_view format) {
  const size_t point = format.find('.');
  const std::string_view decimals =
      point == std::string_view::npos ? std::string_view() : format.substr(point + 1);
  const auto decimalDigits = static_cast<int32_t>(
      std::count_if(decimals.begin(), decimals.end(), [](char c) { return c == '0' || c == '#'; }));
  const auto placeholders = static_cast<int32_t>(std::count_if(
      format.begin(), format.end(), [](char c) { return c == '0' || c == '#' || c == ','; }));
  const int32_t others = static_cast<int32_t>(format.size()) - placeholders -
                         (point == std::string_view::npos ? 0 : 1);
  return {format.find(',') != std::string_view::npos, decimalDigits, std::max(others, 0)};
}

// The currency fields' format, met in most cells of a report: its layout is
// worked out once.
constexpr const char* kCurrencyFormat = "#,##0.00";
const TDigitLayout kCurrencyLayout = DigitLayout(kCurrencyFormat);

// Sign, the integer digits, and what the layout adds to them.
int32_t DigitFormatLength(double value, const TDigitLayout& layout) {
  double whole = std::trunc(std::fabs(value));
  int32_t digits = 1;
  for (; whole >= 10 && digits < kMaxDigits; whole /= 10) ++digits;
  return (value < 0 ? 1 : 0) + digits + (layout.Grouped ? (digits - 1) / 3 : 0) +
         (layout.Decimals > 0 ? layout.Decimals + 1 : 0) + layout.Others;
}

double FontScale(const TFont& font) {
  return font.Size / kDefaultFontSize * (font.Has(fsBold) ? kBoldWidening : 1);
}

}  // namespace

void TXLSColumnFit::Reset(int32_t columns) {
  widths_.assign(static_cast<size_t>(std::max(columns, 0)), 0.0);
}

void TXLSColumnFit::NoteText(int32_t column, std::string_view text, const TFont& font) {
  if (column < 0 || static_cast<size_t>(column) >= widths_.size()) return;
  double& width = widths_[static_cast<size_t>(column)];
  width = std::max(width, LongestLine(text) * FontScale(font));
}

void TXLSColumnFit::NoteValue(int32_t column, const OleVariant& value, const char* num_format,
                              const TFont& font) {
  if (column < 0 || static_cast<size_t>(column) >= widths_.size()) return;
  double& width = widths_[static_cast<size_t>(column)];
  width = std::max(width, ShownLength(value, num_format) * FontScale(font));
}

double TXLSColumnFit::Width(int32_t column, double max_width) const {
  if (column < 0 || static_cast<size_t>(column) >= widths_.size()) return 0;
  const double width = widths_[static_cast<size_t>(column)];
  if (width <= 0) return 0;
  return std::clamp(std::ceil(width) + kPadding, 1.0, std::clamp(max_width, 1.0, kWidestColumn));
}

int32_t TXLSColumnFit::ShownLength(const OleVariant& value, const char* num_format) {
  if (VarIsEmpty(value) || VarIsNull(value)) return 0;
  if (value.VarType() == varString || value.VarType() == varOleStr)
    return LongestLine(value.TextView());
  if (value.VarType() == varBoolean) return value.ToBool() ? 4 : 5;  // TRUE, FALSE
  const bool general = num_format == nullptr || *num_format == '\0';
  double number = 0;
  try {
    number = value.ToDouble();
  } catch (const std::exception&) {
    return LongestLine(value.ToString());
  }
  if (general) return GeneralNumberLength(number);
  if (std::strcmp(num_format, kCurrencyFormat) == 0)
    return DigitFormatLength(number, kCurrencyLayout);
  if (IsDigitFormat(num_format)) return DigitFormatLength(number, DigitLayout(num_format));
  // The date and time formats show as many characters as they have.
  return static_cast<int32_t>(std::strlen(num_format));
}

}  // namespace tabulon
