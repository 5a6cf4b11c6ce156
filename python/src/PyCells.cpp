#include "PyCells.h"

#include <datetime.h>

#include <cmath>
#include <cstdio>

#include "XLSCellRef.h"
#include "XLSCivilDate.h"

namespace tabulon::python {
namespace {

constexpr double kSecondsPerDay = 86400.0;
constexpr int64_t kMicrosecondsPerDay = 86400000000;

// The datetime module's C interface, imported on first use.
void RequireDateTimeApi() {
  if (PyDateTimeAPI == nullptr) PyDateTime_IMPORT;
  if (PyDateTimeAPI == nullptr) throw py::error_already_set();
}

bool HasTypeName(py::handle value, const char* name) {
  return std::string_view(Py_TYPE(value.ptr())->tp_name) == name;
}

// numpy 2 names the type numpy.bool, earlier versions numpy.bool_.
bool IsNumpyBool(py::handle value) {
  return HasTypeName(value, "numpy.bool_") || HasTypeName(value, "numpy.bool");
}

// A number Python computed, or the error it raised (an integer too large
// for a double).
double Checked(double number) {
  if (number == -1.0 && PyErr_Occurred()) throw py::error_already_set();
  return number;
}

// pandas.NA and NaT are recognised by their types, so that pandas need not
// be imported to convert plain values.
bool IsMissingMarker(py::handle value) {
  return HasTypeName(value, "NAType") || HasTypeName(value, "NaTType");
}

double TimeSeconds(int hour, int minute, int second, int microsecond) {
  return hour * 3600.0 + minute * 60.0 + second + microsecond / 1e6;
}

TPyCell Number(double number, const std::string* format = nullptr) {
  TPyCell cell;
  cell.Kind = std::isnan(number) ? TPyCell::kEmpty : TPyCell::kNumber;
  cell.Number = number;
  cell.Format = format;
  return cell;
}

TPyCell Date(double serial, const std::string& format) {
  TPyCell cell = Number(serial, &format);
  if (cell.Kind == TPyCell::kNumber) cell.Kind = TPyCell::kDate;
  return cell;
}

// numpy's datetime64 and timedelta64 scalars, through the microsecond
// values numpy converts them to (NaT becomes None).
TPyCell FromNumpyTime(py::handle value, const TDateFormats& formats) {
  const bool duration = HasTypeName(value, "numpy.timedelta64");
  py::object item =
      value.attr("astype")(duration ? "timedelta64[us]" : "datetime64[us]").attr("item")();
  if (item.is_none()) return {};
  return ToCell(item, formats);
}

TPyCell FromDateTime(py::handle value, const TDateFormats& formats) {
  PyObject* object = value.ptr();
  if (PyDateTime_Check(object)) {
    if (PyObject_RichCompareBool(object, object, Py_NE) == 1) return {};  // NaT
    return Date(
        DaySerial(PyDateTime_GET_YEAR(object), PyDateTime_GET_MONTH(object),
                  PyDateTime_GET_DAY(object),
                  TimeSeconds(PyDateTime_DATE_GET_HOUR(object), PyDateTime_DATE_GET_MINUTE(object),
                              PyDateTime_DATE_GET_SECOND(object),
                              PyDateTime_DATE_GET_MICROSECOND(object))),
        formats.DateTime);
  }
  if (PyDate_Check(object))
    return Date(DaySerial(PyDateTime_GET_YEAR(object), PyDateTime_GET_MONTH(object),
                          PyDateTime_GET_DAY(object), 0),
                formats.Date);
  if (PyTime_Check(object))
    return Number(
        TimeSeconds(PyDateTime_TIME_GET_HOUR(object), PyDateTime_TIME_GET_MINUTE(object),
                    PyDateTime_TIME_GET_SECOND(object), PyDateTime_TIME_GET_MICROSECOND(object)) /
            kSecondsPerDay,
        &formats.Time);
  const double days = PyDateTime_DELTA_GET_DAYS(object);
  const double seconds =
      PyDateTime_DELTA_GET_SECONDS(object) + PyDateTime_DELTA_GET_MICROSECONDS(object) / 1e6;
  return Number(days + seconds / kSecondsPerDay, &formats.Duration);
}

bool IsDateTimeValue(py::handle value) {
  PyObject* object = value.ptr();
  return PyDate_Check(object) || PyTime_Check(object) || PyDelta_Check(object);
}

}  // namespace

[[noreturn]] void ThrowValueError(const std::string& message) {
  throw py::value_error(message);
}

double DaySerial(int64_t year, int64_t month, int64_t day, double seconds) {
  return static_cast<double>(XLSDaysFromCivil(year, month, day) + kXLSSerialOfUnixEpoch) +
         seconds / kSecondsPerDay;
}

std::string_view TextOf(py::handle value, py::object& holder) {
  PyObject* object = value.ptr();
  if (!PyUnicode_Check(object)) {
    if (value.is_none() || IsMissingMarker(value)) return {};
    if (PyFloat_Check(object) && std::isnan(PyFloat_AS_DOUBLE(object))) return {};
    holder = py::str(value);
    object = holder.ptr();
  }
  Py_ssize_t size = 0;
  const char* data = PyUnicode_AsUTF8AndSize(object, &size);
  if (data == nullptr) throw py::error_already_set();
  return {data, static_cast<size_t>(size)};
}

TPyCell ToCell(py::handle value, const TDateFormats& formats) {
  RequireDateTimeApi();
  PyObject* object = value.ptr();
  if (value.is_none() || IsMissingMarker(value)) return {};
  if (PyBool_Check(object) || IsNumpyBool(value)) {
    TPyCell cell;
    cell.Kind = TPyCell::kBoolean;
    cell.Number = PyObject_IsTrue(object) ? 1 : 0;
    return cell;
  }
  if (PyFloat_Check(object)) return Number(PyFloat_AS_DOUBLE(object));
  if (PyLong_Check(object) || PyIndex_Check(object)) {
    py::object integer = py::reinterpret_steal<py::object>(PyNumber_Index(object));
    if (!integer) throw py::error_already_set();
    return Number(Checked(PyLong_AsDouble(integer.ptr())));
  }
  if (IsDateTimeValue(value)) return FromDateTime(value, formats);
  if (HasTypeName(value, "numpy.datetime64") || HasTypeName(value, "numpy.timedelta64"))
    return FromNumpyTime(value, formats);
  if (!PyUnicode_Check(object) && PyNumber_Check(object) && py::hasattr(value, "__float__")) {
    const auto number = py::reinterpret_steal<py::object>(PyNumber_Float(object));
    if (!number) throw py::error_already_set();
    return Number(PyFloat_AS_DOUBLE(number.ptr()));
  }
  TPyCell cell;
  cell.Text = TextOf(value, cell.Holder);
  cell.Kind = TPyCell::kText;
  if (!cell.Holder) cell.Holder = py::reinterpret_borrow<py::object>(value);
  return cell;
}

void StoreValue(IXLSWorkSheet& sheet, uint16_t row, uint16_t col, const TPyCell& cell) {
  const uint8_t empty = 2;  // a boolean byte that empties the cell
  const auto flag = static_cast<uint8_t>(cell.Number);
  switch (cell.Kind) {
    case TPyCell::kEmpty:
      sheet.SetBooleans(row, col, &empty, 1, xlRunDown);
      return;
    case TPyCell::kNumber:
      sheet.SetNumbers(row, col, &cell.Number, 1, xlRunDown);
      return;
    case TPyCell::kDate:
      sheet.SetDates(row, col, &cell.Number, 1, xlRunDown);
      return;
    case TPyCell::kText:
      sheet.SetTexts(row, col, &cell.Text, 1, xlRunDown);
      return;
    case TPyCell::kBoolean:
      sheet.SetBooleans(row, col, &flag, 1, xlRunDown);
      return;
  }
}

void StoreCell(IXLSWorkSheet& sheet, uint16_t row, uint16_t col, const TPyCell& cell) {
  StoreValue(sheet, row, col, cell);
  if (cell.Format == nullptr) return;
  const std::string ref = EncodeCellRef(row, static_cast<uint8_t>(col));
  XLSPtr<IXLSRange> range = sheet.FGetRange(ref, ref);
  const std::string shown = range->GetNumFormat();
  if (shown.empty() || shown == "General") range->SetNumFormat(*cell.Format);
}

py::object FromVariant(const OleVariant& value) {
  RequireDateTimeApi();
  switch (value.VarType()) {
    case varEmpty:
    case varNull:
      return py::none();
    case varBoolean:
      return py::bool_(value.ToBool());
    case varOleStr:
    case varString:
      return py::str(value.ToString());
    case varDate: {
      // Rounded to the microsecond as a whole, so that a time a hair before
      // midnight becomes the next day's midnight.
      const int64_t total = std::llround(value.ToDouble() * kMicrosecondsPerDay);
      const int64_t days = total / kMicrosecondsPerDay - (total % kMicrosecondsPerDay < 0 ? 1 : 0);
      const int64_t micro = total - days * kMicrosecondsPerDay;
      const int64_t second = micro / 1000000;
      const TXLSCivilDate date = XLSCivilFromDays(days - kXLSSerialOfUnixEpoch);
      return py::reinterpret_steal<py::object>(PyDateTime_FromDateAndTime(
          static_cast<int>(date.Year), static_cast<int>(date.Month), static_cast<int>(date.Day),
          static_cast<int>(second / 3600), static_cast<int>(second / 60 % 60),
          static_cast<int>(second % 60), static_cast<int>(micro % 1000000)));
    }
    default:
      return py::float_(value.ToDouble());
  }
}

TXLSColor ToColor(py::handle color) {
  uint32_t rgb = 0;
  if (py::isinstance<py::str>(color)) {
    const std::string text = color.cast<std::string>();
    char* end = nullptr;
    rgb = static_cast<uint32_t>(std::strtoul(text.c_str() + (text[0] == '#' ? 1 : 0), &end, 16));
    if (text.size() != 7 || text[0] != '#' || *end != '\0')
      ThrowValueError("'" + text + "' is not a colour of the form #RRGGBB");
  } else if (py::isinstance<py::tuple>(color) || py::isinstance<py::list>(color)) {
    const py::sequence channels = py::reinterpret_borrow<py::sequence>(color);
    if (channels.size() != 3) ThrowValueError("a colour is three numbers (red, green, blue)");
    for (const py::handle channel : channels) rgb = rgb << 8 | (channel.cast<uint32_t>() & 0xFF);
  } else {
    rgb = color.cast<uint32_t>() & 0xFFFFFF;
  }
  return (rgb & 0xFF) << 16 | (rgb & 0xFF00) | rgb >> 16;
}

std::string ColorText(TXLSColor color) {
  char text[8];
  std::snprintf(text, sizeof text, "#%02X%02X%02X", color & 0xFF, color >> 8 & 0xFF,
                color >> 16 & 0xFF);
  return text;
}

}  // namespace tabulon::python
