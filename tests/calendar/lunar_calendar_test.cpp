#include "calendar/lunar_calendar.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

namespace velmora {
namespace {

struct ConversionCase {
  const char* name;
  std::int32_t year, month, day;
  LunarDate expected;
};

TEST(GregorianToLunar, ConvertsKnownDates) {
  const ConversionCase cases[] = {
      {"lunar new year 2000", 2000, 2, 5, {2000, 1, 1}},
      {"eve of new year 2000", 2000, 2, 4, {1999, 12, 29}},
      {"first day of leap 4th month 2020", 2020, 5, 23, {2020, -4, 1}},
      {"last day of leap 4th month 2020", 2020, 6, 20, {2020, -4, 29}},
      {"first convertible day", 1902, 1, 1, {1901, 11, 22}},
      {"last day of lunar 1901", 1902, 2, 7, {1901, 12, 29}},
      {"lunar new year 1902", 1902, 2, 8, {1902, 1, 1}},
      {"last convertible day", 2051, 12, 31, {2051, 11, 29}},
      {"leap 11th month 2033 begins", 2033, 12, 22, {2033, -11, 1}},
      {"leap month runs into 2034", 2034, 1, 19, {2033, -11, 29}},
      {"month 12 after the leap month", 2034, 1, 20, {2033, 12, 1}},
      {"leap day in a leap year", 2000, 2, 29, {2000, 1, 25}},
  };
  for (const ConversionCase& c : cases) {
    SCOPED_TRACE(c.name);
    LunarDate out;
    ASSERT_EQ(GregorianToLunar(c.year, c.month, c.day, out), kLunarOk);
    EXPECT_EQ(out, c.expected);
  }
}

struct RefusalCase {
  const char* name;
  std::int32_t year, month, day;
  std::int32_t result;
};

TEST(GregorianToLunar, RefusesOutOfRangeDatesAndLeavesTheResultAlone) {
  const RefusalCase cases[] = {
      {"year 1901 has a table row but is not convertible", 1901, 12, 31, kLunarYearOutOfRange},
      {"after 2051", 2052, 1, 1, kLunarYearOutOfRange},
      {"year check comes first", 1800, 13, 40, kLunarYearOutOfRange},
      {"month 0", 2000, 0, 1, kLunarMonthOutOfRange},
      {"month 13 before any day check", 2000, 13, 99, kLunarMonthOutOfRange},
      {"29 February in a common year", 1903, 2, 29, kLunarDayOutOfRange},
      {"30 February in a leap year", 2000, 2, 30, kLunarDayOutOfRange},
      {"day 0", 2000, 1, 0, kLunarDayOutOfRange},
      {"31 April", 2000, 4, 31, kLunarDayOutOfRange},
      {"1900 is not a leap year", 1900, 2, 29, kLunarYearOutOfRange},
  };
  for (const RefusalCase& c : cases) {
    SCOPED_TRACE(c.name);
    LunarDate out{7, 7, 7};
    EXPECT_EQ(GregorianToLunar(c.year, c.month, c.day, out), c.result);
    EXPECT_EQ(out, (LunarDate{7, 7, 7}));
  }
}

TEST(GregorianToLunar, LeapMonthOf1984SitsBetweenMonthsTenAndEleven) {
  // Walk lunar 1984 and record the sequence of months as they change.
  std::int32_t seen[16] = {};
  std::int32_t count = 0;
  std::int32_t last = 0;
  for (std::int64_t d = DaysFromCivil(1984, 2, 2); d < DaysFromCivil(1985, 2, 20); ++d) {
    const CivilDate date = CivilFromDays(d);
    LunarDate out;
    ASSERT_EQ(GregorianToLunar(date.year, date.month, date.day, out), kLunarOk);
    if (out.year != 1984) continue;
    if (out.month != last && count < 16) seen[count++] = last = out.month;
  }
  const std::int32_t expected[] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, -10, 11, 12};
  ASSERT_EQ(count, 13);
  for (std::int32_t i = 0; i < 13; ++i) EXPECT_EQ(seen[i], expected[i]) << "position " << i;
}

// Every day from 1 January 1902 to 31 December 2051 converts, and from each day to the next the
// lunar day rises by one or, after the month's last day (29 or 30), a new month begins at day 1:
// the next month of the sequence, a leap month after its namesake, or month 1 of the next year.
TEST(GregorianToLunar, EverySupportedDayFollowsFromTheDayBefore) {
  LunarDate previous;
  ASSERT_EQ(GregorianToLunar(1902, 1, 1, previous), kLunarOk);
  std::int32_t days = 1;
  for (std::int64_t d = DaysFromCivil(1902, 1, 2); d <= DaysFromCivil(2051, 12, 31); ++d, ++days) {
    const CivilDate date = CivilFromDays(d);
    LunarDate out;
    ASSERT_EQ(GregorianToLunar(date.year, date.month, date.day, out), kLunarOk)
        << date.year << "-" << date.month << "-" << date.day;
    if (out.day == previous.day + 1) {
      ASSERT_EQ(out.month, previous.month);
      ASSERT_EQ(out.year, previous.year);
    } else {
      ASSERT_EQ(out.day, 1) << date.year << "-" << date.month << "-" << date.day;
      ASSERT_TRUE(previous.day == 29 || previous.day == 30);
      const std::int32_t monthBefore = previous.month > 0 ? previous.month : -previous.month;
      if (previous.month == 12 || (previous.month == -12)) {
        ASSERT_EQ(out.year, previous.year + 1);
        ASSERT_EQ(out.month, 1);
      } else {
        ASSERT_EQ(out.year, previous.year);
        const bool intoLeap = out.month == -previous.month && previous.month > 0;
        ASSERT_TRUE(intoLeap || out.month == monthBefore + 1)
            << "from " << previous.month << " to " << out.month;
      }
    }
    ASSERT_GE(out.day, 1);
    ASSERT_LE(out.day, 30);
    previous = out;
  }
  EXPECT_EQ(days, 54787);  // 150 Gregorian years, 1902 to 2051
}

// The day-number conversion that decodes every birth agrees with the Gregorian one on every
// convertible day, and refuses the days on either side.
TEST(LunarDateOfDay, AgreesWithGregorianToLunarOnEveryDay) {
  for (std::int64_t d = kFirstConvertibleDay; d <= kLastConvertibleDay; ++d) {
    const CivilDate date = CivilFromDays(d + kDelphiEpochDays);
    LunarDate expected;
    LunarDate out;
    ASSERT_EQ(GregorianToLunar(date.year, date.month, date.day, expected), kLunarOk);
    ASSERT_EQ(LunarDateOfDay(d, out), kLunarOk)
        << date.year << "-" << date.month << "-" << date.day;
    ASSERT_EQ(out, expected) << date.year << "-" << date.month << "-" << date.day;
  }
  for (std::int64_t d : {kFirstConvertibleDay - 1, kLastConvertibleDay + 1, std::int64_t{0},
                         std::int64_t{-10'000'000}, std::int64_t{10'000'000}}) {
    LunarDate out{7, 7, 7};
    EXPECT_EQ(LunarDateOfDay(d, out), kLunarYearOutOfRange) << d;
    EXPECT_EQ(out, (LunarDate{7, 7, 7}));
  }
}

TEST(LunarYearTable, EveryYearEndsWhereTheNextBegins) {
  for (std::size_t r = 0; r + 1 < LunarYearTable.size(); ++r) {
    const std::int32_t year = kFirstLunarYear + static_cast<std::int32_t>(r);
    SCOPED_TRACE(year);
    const LunarYear& row = LunarYearTable[r];
    EXPECT_EQ(row.newYearOffset + LunarYearLength(row),
              (IsGregorianLeapYear(year) ? 366 : 365) + LunarYearTable[r + 1].newYearOffset);
    EXPECT_GE(row.newYearOffset, 20);
    EXPECT_LE(row.newYearOffset, 50);
    EXPECT_TRUE(row.leapMonth == 0 || (row.leapMonth >= 2 && row.leapMonth <= 11));
    if (row.leapMonth == 0) {
      EXPECT_EQ(row.monthLong[12], 0);
    }
  }
}

TEST(LunarDateOf, RoundsToTheNearestMillisecondBeforeTakingTheDate) {
  const TDateTime midnight = EncodeDate(2000, 2, 5);
  const TDateTime halfMsBefore = midnight - 0.4 / static_cast<double>(kMsPerDay);
  const TDateTime twoMsBefore = midnight - 2.0 / static_cast<double>(kMsPerDay);
  LunarDate out;
  ASSERT_EQ(LunarDateOf(halfMsBefore, out), kLunarOk);
  EXPECT_EQ(out, (LunarDate{2000, 1, 1}));
  ASSERT_EQ(LunarDateOf(twoMsBefore, out), kLunarOk);
  EXPECT_EQ(out, (LunarDate{1999, 12, 29}));
}

TEST(LunarDateOf, RefusesMomentsThatAreNotDates) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();
  for (double moment : {nan, inf, -inf, 1e300, -1e300, 1e15, -1.0, 0.0}) {
    LunarDate out{7, 7, 7};
    EXPECT_EQ(LunarDateOf(moment, out), kLunarYearOutOfRange) << moment;
    EXPECT_EQ(out, (LunarDate{7, 7, 7}));
  }
}

TEST(DateTime, EncodesAndDecodesTheDelphiEpoch) {
  EXPECT_EQ(EncodeDate(1899, 12, 30), 0.0);
  EXPECT_EQ(EncodeDate(2000, 1, 1), 36526.0);
  DecodedMoment m;
  ASSERT_TRUE(DecodeMoment(EncodeDate(2000, 2, 4) + EncodeTime(23, 59, 59, 999), m));
  EXPECT_EQ(m.date, (CivilDate{2000, 2, 4}));
  EXPECT_EQ(m.msOfDay, 86'399'999);
  ASSERT_TRUE(DecodeMoment(-0.25, m));  // 29 December 1899, 18:00
  EXPECT_EQ(m.date, (CivilDate{1899, 12, 29}));
  EXPECT_EQ(m.msOfDay, 18 * 3'600'000);
}

// The inline rounding matches llround on halves, on the values just either side of them, and
// out to the largest decodable moment.
TEST(DateTime, RoundsMillisecondsAsLlroundDoes) {
  const double maxMs = kMaxDecodableDays * static_cast<double>(kMsPerDay);
  std::vector<double> values = {
      0.0,    0.5,   -0.5,   1.5,        -1.5, 2.5, -2.5, 0.49999999999999994, -0.49999999999999994,
      1e-300, maxMs, -maxMs, maxMs - 0.5};
  for (double base : {0.5, 1.5, 86'399'999.5, 3'155'673'599'999.5, -3'155'673'599'999.5}) {
    values.push_back(std::nextafter(base, 0.0));
    values.push_back(std::nextafter(base, base * 2));
  }
  std::uint64_t state = 88172645463325252u;  // xorshift: a fixed spread of moments
  for (int i = 0; i < 100'000; ++i) {
    state ^= state << 13;
    state ^= state >> 7;
    state ^= state << 17;
    values.push_back((static_cast<double>(state % 2'000'000'000) / 1e9 - 1.0) * maxMs);
  }
  for (double v : values) EXPECT_EQ(RoundToMilliseconds(v), std::llround(v)) << v;
}

}  // namespace
}  // namespace velmora
