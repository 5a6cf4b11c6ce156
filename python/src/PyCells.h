// Python values as cell values and back: the object model and the pandas
// writer store every Python value through these conversions, so that a
// datetime, a Decimal or a numpy scalar lands in a cell as a user expects.
#pragma once

#include <pybind11/pybind11.h>

#include <cstdint>
#include <string>
#include <string_view>

#include "XLSInterfaces.h"

namespace tabulon::python {

namespace py = pybind11;

/// The number formats the date-like kinds of values get in a cell that has
/// none of its own.
struct TDateFormats {
  std::string DateTime = "yyyy-mm-dd hh:mm:ss";
  std::string Date = "yyyy-mm-dd";
  std::string Time = "hh:mm:ss";
  std::string Duration = "[h]:mm:ss";
};

/// A Python value as the cell store takes it.
struct TPyCell {
  enum TKind : uint8_t { kEmpty, kNumber, kDate, kText, kBoolean };
  TKind Kind = kEmpty;
  double Number = 0;
  /// The text while Kind is kText; its bytes belong to Holder.
  std::string_view Text;
  py::object Holder;
  /// The format the kind of value asks for (a date, a time, a duration), or
  /// null for none.
  const std::string* Format = nullptr;
};

/// Converts value: None, NaN, NaT and pandas.NA empty the cell; booleans
/// (numpy's too) are booleans; integers, floats, Decimals and numpy numbers
/// are numbers; datetime, date and numpy datetime64 are date serials, time
/// is the fraction of a day and timedelta a number of days (both numbers);
/// str is text; anything else is its str() as text.
TPyCell ToCell(py::handle value, const TDateFormats& formats);

/// The UTF-8 text of a str, or a default (missing) view for None, NaN or
/// pandas.NA; any other object as its str(), kept alive by holder.
std::string_view TextOf(py::handle value, py::object& holder);

/// Stores cell's value at (row, col) through the sheet's run writers, so
/// that texts stay texts; formats stay.
void StoreValue(IXLSWorkSheet& sheet, uint16_t row, uint16_t col, const TPyCell& cell);
/// StoreValue, then gives the cell its kind's number format when it shows General.
void StoreCell(IXLSWorkSheet& sheet, uint16_t row, uint16_t col, const TPyCell& cell);

/// A stored value as Python sees it: None, float, bool, str or datetime.
py::object FromVariant(const OleVariant& value);

/// The day serial of a calendar date and a time of day in seconds.
double DaySerial(int64_t year, int64_t month, int64_t day, double seconds);

/// A colour given as "#RRGGBB", (r, g, b) or 0xRRGGBB as the library's 0x00BBGGRR.
TXLSColor ToColor(py::handle color);
/// The library's colour as "#RRGGBB".
std::string ColorText(TXLSColor color);

/// Raises ValueError with message.
[[noreturn]] void ThrowValueError(const std::string& message);

}  // namespace tabulon::python
