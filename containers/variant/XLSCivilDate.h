// Calendar dates as day counts and back, by the proleptic Gregorian calendar
// over any year, negative ones included: the date values of variants, the
// dates that data sets parse and the date functions of formulas all go
// through these two conversions. The count is of days since 1970-01-01; the
// calendar repeats every era of 400 years (146097 days), counted from
// 0000-03-01 so that the leap day ends a year.
#pragma once

#include <cstdint>

namespace tabulon {

// A calendar date: month 1 to 12, day 1 to the month's length.
struct TXLSCivilDate {
  int64_t Year;
  int64_t Month;
  int64_t Day;
};

// The day serial of 1970-01-01: serials count days from 1899-12-30.
constexpr int64_t kXLSSerialOfUnixEpoch = 25569;

// Days from 1970-01-01 to 0000-03-01, the start of the era count.
constexpr int64_t kXLSDaysBeforeEraZero = 719468;
constexpr int64_t kXLSDaysPerEra = 146097;

// Days since 1970-01-01 of a date.
constexpr int64_t XLSDaysFromCivil(int64_t year, int64_t month, int64_t day) {
  const int64_t y = month <= 2 ? year - 1 : year;  // years begin in March
  const int64_t era = (y >= 0 ? y : y - 399) / 400;
  const int64_t yearOfEra = y - era * 400;
  const int64_t dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
  const int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
  return era * kXLSDaysPerEra + dayOfEra - kXLSDaysBeforeEraZero;
}

// The date of a count of days since 1970-01-01.
constexpr TXLSCivilDate XLSCivilFromDays(int64_t days) {
  const int64_t shifted = days + kXLSDaysBeforeEraZero;
  const int64_t era = (shifted >= 0 ? shifted : shifted - (kXLSDaysPerEra - 1)) / kXLSDaysPerEra;
  const int64_t dayOfEra = shifted - era * kXLSDaysPerEra;
  const int64_t yearOfEra =
      (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
  const int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
  const int64_t shiftedMonth = (5 * dayOfYear + 2) / 153;  // March = 0
  const int64_t month = shiftedMonth < 10 ? shiftedMonth + 3 : shiftedMonth - 9;
  const int64_t year = yearOfEra + era * 400 + (month <= 2 ? 1 : 0);
  return {year, month, dayOfYear - (153 * shiftedMonth + 2) / 5 + 1};
}

static_assert(XLSDaysFromCivil(1970, 1, 1) == 0, "the count starts at 1970-01-01");
static_assert(XLSDaysFromCivil(1899, 12, 30) == -kXLSSerialOfUnixEpoch, "serial 0 is 1899-12-30");

}  // namespace tabulon
