#include "casting/birth_input.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "calendar/birth_calendar.h"

namespace velmora {
namespace {

using ::testing::HasSubstr;

TEST(BirthDateReading, AcceptsRealDatesAndRefusesEverythingElseSayingWhy) {
  struct Case {
    const char* name;
    const char* text;
    bool accepted;
    CivilDate date;       // when accepted
    const char* because;  // part of the refusal
  };
  const Case cases[] = {
      {"an ordinary date", "2000-02-04", true, {2000, 2, 4}, ""},
      {"29 February of a leap year", "2000-02-29", true, {2000, 2, 29}, ""},
      {"29 February of 2024", "2024-02-29", true, {2024, 2, 29}, ""},
      {"31 December", "2051-12-31", true, {2051, 12, 31}, ""},
      {"a year outside the calendar still reads", "1850-06-15", true, {1850, 6, 15}, ""},
      {"30 February", "2000-02-30", false, {}, "February 2000 has no day 30; it has days 01 to 29"},
      {"29 February of a century year",
       "1900-02-29",
       false,
       {},
       "February 1900 has no day 29; it has days 01 to 28"},
      {"29 February of a common year", "2001-02-29", false, {}, "February 2001 has no day 29"},
      {"31 April", "2000-04-31", false, {}, "April 2000 has no day 31; it has days 01 to 30"},
      {"day 00", "2000-01-00", false, {}, "January 2000 has no day 00; it has days 01 to 31"},
      {"month 13", "2000-13-01", false, {}, "there is no month 13; months run from 01 to 12"},
      {"month 00", "2000-00-10", false, {}, "there is no month 00"},
      {"one-digit month and day", "2000-2-4", true, {2000, 2, 4}, ""},
      {"one-digit day", "2000-12-4", true, {2000, 12, 4}, ""},
      {"a one-digit day that does not exist", "2001-2-29", false, {}, "has no day 29"},
      {"a three-digit month", "2000-002-04", false, {}, "not a date in the form YYYY-MM-DD"},
      {"a two-digit year", "00-02-04", false, {}, "not a date in the form YYYY-MM-DD"},
      {"slashes", "2000/02/04", false, {}, "not a date in the form YYYY-MM-DD"},
      {"day first", "04-02-2000", false, {}, "not a date in the form YYYY-MM-DD"},
      {"a trailing space", "2000-02-04 ", false, {}, "not a date in the form YYYY-MM-DD"},
      {"a time after it", "2000-02-04T23:00", false, {}, "not a date in the form YYYY-MM-DD"},
      {"a sign", "+200-02-04", false, {}, "not a date in the form YYYY-MM-DD"},
      {"full-width digits",
       "\xEF\xBC\x92"
       "000-02-04",
       false,
       {},
       "not a date in the form YYYY-MM-DD"},
      {"nothing", "", false, {}, "not a date in the form YYYY-MM-DD (for example 2000-02-04)"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    CivilDate date{1, 1, 1};
    std::string error;
    EXPECT_EQ(ParseBirthDate(c.text, date, error), c.accepted);
    if (c.accepted) {
      EXPECT_EQ(date, c.date);
      EXPECT_EQ(error, "");
    } else {
      EXPECT_EQ(date, (CivilDate{1, 1, 1})) << "a refused date leaves the output alone";
      EXPECT_THAT(error, HasSubstr(c.because));
    }
  }
}

TEST(BirthTimeReading, AcceptsTheTwentyFourHourClockOnly) {
  struct Case {
    const char* name;
    const char* text;
    bool accepted;
    std::int32_t hour;
    std::int32_t minute;
    const char* because;
  };
  const Case cases[] = {
      {"midnight", "00:00", true, 0, 0, ""},
      {"the last minute", "23:59", true, 23, 59, ""},
      {"the start of the first period", "23:00", true, 23, 0, ""},
      {"24:00", "24:00", false, 0, 0, "there is no hour 24; hours run from 00 to 23"},
      {"minute 60", "12:60", false, 0, 0, "there is no minute 60; minutes run from 00 to 59"},
      {"one-digit hour", "7:05", true, 7, 5, ""},
      {"one-digit minute", "7:5", false, 0, 0, "not a time in the form HH:MM"},
      {"UTC", "23:00Z", false, 0, 0, "the time is local clock time"},
      {"an offset", "23:00+08:00", false, 0, 0, "without a time zone such as Z or +08:00"},
      {"a short offset", "23:00-05", false, 0, 0, "the time is local clock time"},
      {"a word after it", "23:00 CET", false, 0, 0, "not a time in the form HH:MM"},
      {"seconds", "07:05:00", false, 0, 0, "not a time in the form HH:MM"},
      {"a dot", "07.05", false, 0, 0, "not a time in the form HH:MM"},
      {"a 12-hour clock", "07:05pm", false, 0, 0, "on the 24-hour clock"},
      {"nothing", "", false, 0, 0, "(for example 23:00)"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::int32_t hour = -1;
    std::int32_t minute = -1;
    std::string error;
    EXPECT_EQ(ParseBirthTime(c.text, hour, minute, error), c.accepted);
    if (c.accepted) {
      EXPECT_EQ(hour, c.hour);
      EXPECT_EQ(minute, c.minute);
    } else {
      EXPECT_EQ(hour, -1);
      EXPECT_EQ(minute, -1);
      EXPECT_THAT(error, HasSubstr(c.because));
    }
  }
}

TEST(SupportedBirths, AreExactlyThoseTheLunarCalendarCovers) {
  struct Case {
    const char* name;
    BirthInput birth;
    bool supported;
  };
  const Case cases[] = {
      {"the first supported minute", {{1901, 12, 31}, 23, 0}, true},
      {"one minute earlier", {{1901, 12, 31}, 22, 59}, false},
      {"the last supported minute", {{2051, 12, 31}, 22, 59}, true},
      {"the first minute after the range", {{2051, 12, 31}, 23, 0}, false},
      {"far outside", {{1850, 6, 15}, 12, 0}, false},
      {"inside", {{2000, 2, 4}, 23, 0}, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::string error;
    EXPECT_EQ(CheckSupportedBirth(c.birth, error), c.supported);
    EXPECT_EQ(IsSupportedBirthMoment(c.birth.Moment()), c.supported);
    if (!c.supported) {
      EXPECT_THAT(error, HasSubstr("31 December 1901 23:00 to 31 December 2051 22:59"));
    }
  }
}

TEST(BirthWriting, GivesTheFormsTheReadersTake) {
  EXPECT_EQ(IsoDate({2000, 2, 4}), "2000-02-04");
  EXPECT_EQ(IsoDate({1901, 12, 31}), "1901-12-31");
  EXPECT_EQ(ClockTime(0, 5), "00:05");
  EXPECT_EQ(ClockTime(23, 59), "23:59");
  EXPECT_EQ(LongBirthText({{2000, 2, 4}, 23, 0}), "4 February 2000, 23:00");
  // Every written birth reads back as itself.
  for (const BirthInput birth : {BirthInput{{1901, 12, 31}, 23, 0}, BirthInput{{2024, 2, 29}, 7, 5},
                                 BirthInput{{2051, 12, 31}, 22, 59}}) {
    BirthInput back;
    std::string error;
    ASSERT_TRUE(ParseBirthDate(IsoDate(birth.date), back.date, error)) << error;
    ASSERT_TRUE(ParseBirthTime(ClockTime(birth.hour, birth.minute), back.hour, back.minute, error))
        << error;
    EXPECT_EQ(back, birth);
  }
}

}  // namespace
}  // namespace velmora
