#include <gtest/gtest.h>

#include "XLSCivilDate.h"

namespace tabulon {
namespace {

// Every day of the years -400 to 10000 comes back as the date it was made
// from, and consecutive dates are consecutive days: leap days, century years
// and the era boundaries of negative years included.
TEST(CivilDate, EveryDayOfElevenThousandYearsRoundTrips) {
  int64_t expected = XLSDaysFromCivil(-400, 1, 1);
  for (int64_t days = expected; days < XLSDaysFromCivil(10001, 1, 1); ++days) {
    const TXLSCivilDate date = XLSCivilFromDays(days);
    ASSERT_EQ(XLSDaysFromCivil(date.Year, date.Month, date.Day), expected) << days;
    ++expected;
  }
}

TEST(CivilDate, KnownDays) {
  EXPECT_EQ(XLSDaysFromCivil(2000, 2, 29), 11016);
  EXPECT_EQ(XLSDaysFromCivil(2024, 3, 15) + kXLSSerialOfUnixEpoch, 45366);
  const TXLSCivilDate leapDay = XLSCivilFromDays(XLSDaysFromCivil(1900, 3, 1) - 1);
  EXPECT_EQ(leapDay.Month, 2);
  EXPECT_EQ(leapDay.Day, 28) << "1900 is no leap year";
  EXPECT_EQ(XLSCivilFromDays(-1).Year, 1969);
}

}  // namespace
}  // namespace tabulon
