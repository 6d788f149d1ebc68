#include "calendar/birth_calendar.h"

#include <gtest/gtest.h>

#include <limits>

namespace velmora {
namespace {

struct Facts {
  std::int32_t yearStem, yearBranch, lunarMonth, lunarDay, hourBranch;
  friend bool operator==(const Facts&, const Facts&) = default;
};

std::ostream& operator<<(std::ostream& os, const Facts& f) {
  return os << "{stem " << f.yearStem << ", branch " << f.yearBranch << ", month " << f.lunarMonth
            << ", day " << f.lunarDay << ", hour " << f.hourBranch << "}";
}

Facts Decode(TDateTime moment) {
  BirthCalendar calendar;
  calendar.SetBirthMoment(moment);
  calendar.DecodeBirthMoment();
  EXPECT_EQ(calendar.yearStemCode, calendar.yearStem);
  return {calendar.yearStem, calendar.yearBranch, calendar.lunarMonth, calendar.lunarDay,
          calendar.hourBranch};
}

struct DecodeCase {
  const char* name;
  TDateTime moment;
  Facts expected;
};

TEST(DecodeBirthMoment, TheDayChangesAtElevenInTheEvening) {
  const DecodeCase cases[] = {
      {"22:59 on the eve of new year 2000",
       EncodeDate(2000, 2, 4) + EncodeTime(22, 59),
       {6, 4, 12, 29, 12}},
      {"23:00 on the eve of new year 2000",
       EncodeDate(2000, 2, 4) + EncodeTime(23, 0),
       {7, 5, 1, 1, 1}},
      {"23:30 belongs to the next day",
       EncodeDate(2000, 1, 1) + EncodeTime(23, 30),
       {6, 4, 11, 26, 1}},
      {"00:30 the same lunar day", EncodeDate(2000, 1, 2) + EncodeTime(0, 30), {6, 4, 11, 26, 1}},
      {"22:59 still the old day", EncodeDate(2000, 1, 1) + EncodeTime(22, 59), {6, 4, 11, 25, 12}},
      {"12:59 is 午", EncodeDate(2000, 1, 1) + EncodeTime(12, 59), {6, 4, 11, 25, 7}},
      {"13:00 is 未", EncodeDate(2000, 1, 1) + EncodeTime(13, 0), {6, 4, 11, 25, 8}},
      {"leap 4th month counts as the 5th",
       EncodeDate(2020, 5, 23) + EncodeTime(10, 0),
       {7, 1, 5, 1, 6}},
      {"leap 11th month of 2033 in January 2034",
       EncodeDate(2034, 1, 10) + EncodeTime(12, 0),
       {10, 2, 12, 20, 7}},
      {"first supported moment", EncodeDate(1901, 12, 31) + EncodeTime(23, 0), {8, 2, 11, 22, 1}},
      {"last supported minute", EncodeDate(2051, 12, 31) + EncodeTime(22, 59), {8, 8, 11, 29, 12}},
      {"甲子 year 1984", EncodeDate(1984, 6, 1) + EncodeTime(12, 0), {1, 1, 5, 2, 7}},
  };
  for (const DecodeCase& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(Decode(c.moment), c.expected);
  }
}

TEST(DecodeBirthMoment, TwoHourPeriodsBeginAtOddHours) {
  for (std::int32_t hour = 0; hour < 24; ++hour) {
    for (std::int32_t minute : {0, 59}) {
      const Facts f = Decode(EncodeDate(2010, 6, 15) + EncodeTime(hour, minute));
      EXPECT_EQ(f.hourBranch, (hour + 1) % 24 / 2 + 1) << hour << ":" << minute;
    }
  }
}

TEST(DecodeBirthMoment, DecodesAgainFromScratch) {
  BirthCalendar calendar;
  calendar.SetBirthMoment(EncodeDate(2000, 2, 4) + EncodeTime(23, 0));
  calendar.DecodeBirthMoment();
  calendar.SetBirthMoment(EncodeDate(2034, 1, 10) + EncodeTime(12, 0));
  EXPECT_EQ(calendar.lunarDay, 1) << "setting the moment alone decodes nothing";
  calendar.DecodeBirthMoment();
  EXPECT_EQ(calendar.lunarDay, 20);
}

TEST(SupportedBirths, RunFromElevenPmOnNewYearsEve1901ToElevenPmOnNewYearsEve2051) {
  const TDateTime first = EncodeDate(1901, 12, 31) + EncodeTime(23, 0);
  const TDateTime end = EncodeDate(2051, 12, 31) + EncodeTime(23, 0);
  EXPECT_EQ(first, kFirstSupportedBirth);
  EXPECT_EQ(end, kEndOfSupportedBirths);
  EXPECT_TRUE(IsSupportedBirthMoment(first));
  EXPECT_FALSE(IsSupportedBirthMoment(EncodeDate(1901, 12, 31) + EncodeTime(22, 59)));
  EXPECT_TRUE(IsSupportedBirthMoment(EncodeDate(2051, 12, 31) + EncodeTime(22, 59, 59)));
  EXPECT_FALSE(IsSupportedBirthMoment(end));
  EXPECT_TRUE(IsSupportedBirthMoment(EncodeDate(2000, 2, 4)));
}

// An unsupported moment must still leave every fact inside its range, so that no chart rule
// can read outside a table.
TEST(SupportedBirths, UnsupportedMomentsStillGiveFactsInRange) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();
  for (double moment : {nan, inf, -inf, 1e308, -1e308, -1.0, 0.0, 1e9, kEndOfSupportedBirths}) {
    SCOPED_TRACE(moment);
    EXPECT_FALSE(IsSupportedBirthMoment(moment));
    const Facts f = Decode(moment);
    EXPECT_GE(f.yearStem, 1);
    EXPECT_LE(f.yearStem, 10);
    EXPECT_GE(f.yearBranch, 1);
    EXPECT_LE(f.yearBranch, 12);
    EXPECT_GE(f.lunarMonth, 1);
    EXPECT_LE(f.lunarMonth, 12);
    EXPECT_GE(f.lunarDay, 1);
    EXPECT_LE(f.lunarDay, 30);
    EXPECT_GE(f.hourBranch, 1);
    EXPECT_LE(f.hourBranch, 12);
  }
}

}  // namespace
}  // namespace velmora
