#include "calendar/clock_correction.h"

#include <gtest/gtest.h>

#include <cmath>

#include "calendar/birth_calendar.h"

namespace velmora {
namespace {

constexpr std::int64_t kDay = 86'400;

std::int64_t UtcSeconds(std::int32_t year, std::int32_t month, std::int32_t day, std::int32_t hour,
                        std::int32_t minute) {
  return DaysFromCivil(year, month, day) * kDay + (hour * 60 + minute) * 60;
}

TDateTime Clock(std::int32_t year, std::int32_t month, std::int32_t day, std::int32_t hour,
                std::int32_t minute, std::int32_t second = 0) {
  return EncodeDate(year, month, day) + EncodeTime(hour, minute, second);
}

// A zone at +08:00 that keeps daylight saving time, +09:00, from 02:00 standard time on
// 10 April 1988 to 02:00 daylight saving time on 11 September 1988: the clocks skip 02:00 to
// 02:59 in April and show 01:00 to 01:59 twice in September.
class SummerZone final : public ZoneOffsets {
 public:
  std::int32_t OffsetAt(std::int64_t utc) const override {
    return utc >= kStart && utc < kEnd ? 9 * 3600 : 8 * 3600;
  }
  std::int32_t StandardOffsetAt(std::int64_t) const override { return 8 * 3600; }

 private:
  static constexpr std::int64_t kStart = DaysFromCivil(1988, 4, 10) * kDay - 6 * 3600;
  static constexpr std::int64_t kEnd = DaysFromCivil(1988, 9, 11) * kDay - 7 * 3600;
};

TEST(CorrectClockTime, TakesDaylightSavingOffAndRefusesClockTimesTheZoneSkippedOrRepeated) {
  struct Case {
    const char* name;
    TDateTime clock;
    DaylightSaving daylight;
    ClockResult result;
    TDateTime standard;  // when corrected
  };
  const Case cases[] = {
      {"summer", Clock(1988, 7, 15, 9, 30), DaylightSaving::kUnknown, ClockResult::kCorrected,
       Clock(1988, 7, 15, 8, 30)},
      {"winter", Clock(1988, 1, 15, 9, 30), DaylightSaving::kUnknown, ClockResult::kCorrected,
       Clock(1988, 1, 15, 9, 30)},
      {"summer across midnight", Clock(1988, 7, 15, 0, 30), DaylightSaving::kOff,
       ClockResult::kCorrected, Clock(1988, 7, 14, 23, 30)},
      {"the last minute before the spring change", Clock(1988, 4, 10, 1, 59),
       DaylightSaving::kUnknown, ClockResult::kCorrected, Clock(1988, 4, 10, 1, 59)},
      {"skipped", Clock(1988, 4, 10, 2, 30), DaylightSaving::kOn, ClockResult::kSkipped, 0},
      {"the first minute after the skip", Clock(1988, 4, 10, 3, 0), DaylightSaving::kUnknown,
       ClockResult::kCorrected, Clock(1988, 4, 10, 2, 0)},
      {"repeated, unknown", Clock(1988, 9, 11, 1, 30), DaylightSaving::kUnknown,
       ClockResult::kRepeated, 0},
      {"repeated, daylight saving", Clock(1988, 9, 11, 1, 30), DaylightSaving::kOn,
       ClockResult::kCorrected, Clock(1988, 9, 11, 0, 30)},
      {"repeated, standard", Clock(1988, 9, 11, 1, 30), DaylightSaving::kOff,
       ClockResult::kCorrected, Clock(1988, 9, 11, 1, 30)},
      {"just after the repeat", Clock(1988, 9, 11, 2, 0), DaylightSaving::kUnknown,
       ClockResult::kCorrected, Clock(1988, 9, 11, 2, 0)},
  };
  const SummerZone zone;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ClockCorrection out;
    ClockChange change;
    BirthPlace place;
    place.daylight = c.daylight;
    ASSERT_EQ(CorrectClockTime(c.clock, zone, place, out, change), c.result);
    if (c.result == ClockResult::kCorrected) {
      EXPECT_EQ(out.standard, c.standard);
      EXPECT_EQ(out.Cast(), c.standard);
      EXPECT_EQ(out.clock, c.clock);
    } else if (c.result == ClockResult::kSkipped) {
      EXPECT_EQ(change.from, Clock(1988, 4, 10, 2, 0));
      EXPECT_EQ(change.to, Clock(1988, 4, 10, 3, 0));
    } else {
      EXPECT_EQ(change.from, Clock(1988, 9, 11, 2, 0));
      EXPECT_EQ(change.to, Clock(1988, 9, 11, 1, 0));
    }
  }
}

TEST(CorrectClockTime, MovesFourMinutesToTheDegreeFromTheZoneMeridianThenByTheEquationOfTime) {
  const SummerZone zone;
  ClockCorrection out;
  ClockChange change;
  // Urumqi on the clocks of +08:00: 32.4 degrees west of the meridian at 120 degrees east.
  BirthPlace place{SolarTime::kMean, 87.6, DaylightSaving::kUnknown};
  ASSERT_EQ(CorrectClockTime(Clock(1990, 1, 15, 12, 0), zone, place, out, change),
            ClockResult::kCorrected);
  EXPECT_EQ(out.Meridian(), 120.0);
  EXPECT_EQ(out.longitudeShift, -7'776);
  EXPECT_EQ(out.Cast(), Clock(1990, 1, 15, 9, 50, 24));

  // On the meridian nothing moves; in summer the daylight saving hour comes off first.
  place.longitude = 120.0;
  ASSERT_EQ(CorrectClockTime(Clock(1990, 1, 15, 12, 0), zone, place, out, change),
            ClockResult::kCorrected);
  EXPECT_EQ(out.Cast(), Clock(1990, 1, 15, 12, 0));
  ASSERT_EQ(CorrectClockTime(Clock(1988, 7, 15, 12, 0), zone, place, out, change),
            ClockResult::kCorrected);
  EXPECT_EQ(out.Cast(), Clock(1988, 7, 15, 11, 0));

  // Apparent solar time adds the equation of time to the mean solar time.
  place = {SolarTime::kApparent, 87.6, DaylightSaving::kUnknown};
  ASSERT_EQ(CorrectClockTime(Clock(1990, 11, 3, 12, 0), zone, place, out, change),
            ClockResult::kCorrected);
  EXPECT_EQ(out.mean, Clock(1990, 11, 3, 9, 50, 24));
  EXPECT_NEAR(out.equationOfTime, 16.4 * 60, 30);
  EXPECT_NEAR((out.Cast() - out.mean) * 86'400.0, out.equationOfTime, 1e-3);
}

TEST(CorrectClockTime, ACorrectionAcrossTheLunarNewYearChangesTheYearFacts) {
  // 23:10 clock time on 4 February 2000 at +08:00 belongs to the new lunar year; 87.6 degrees
  // east puts it at 21:00:24 mean solar time, in the old one.
  const SummerZone zone;
  ClockCorrection out;
  ClockChange change;
  const BirthPlace place{SolarTime::kMean, 87.6, DaylightSaving::kUnknown};
  ASSERT_EQ(CorrectClockTime(Clock(2000, 2, 4, 23, 10), zone, place, out, change),
            ClockResult::kCorrected);
  BirthCalendar clock;
  clock.SetBirthMoment(Clock(2000, 2, 4, 23, 10));
  clock.DecodeBirthMoment();
  BirthCalendar corrected;
  corrected.SetBirthMoment(out.Cast());
  corrected.DecodeBirthMoment();
  EXPECT_EQ(clock.yearBranch, 5);  // 庚辰
  EXPECT_EQ(clock.lunarDay, 1);
  EXPECT_EQ(corrected.yearBranch, 4);  // 己卯
  EXPECT_EQ(corrected.lunarMonth, 12);
  EXPECT_EQ(corrected.hourBranch, 12);
}

TEST(EquationOfTime, AgreesWithTheAlmanacWithinAMinute) {
  // The almanac's equation of time for 2021, at noon universal time.
  struct Case {
    std::int32_t month;
    std::int32_t day;
    double minutes;
  };
  const Case cases[] = {
      {2, 11, -14.23},  // its lowest
      {4, 16, 0.0},    {5, 14, 3.65}, {6, 13, 0.0},
      {7, 26, -6.53},  {9, 1, 0.0},   {11, 3, 16.44},  // its highest
      {12, 25, 0.0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.month) + "-" + std::to_string(c.day));
    EXPECT_NEAR(EquationOfTimeMinutes(UtcSeconds(2021, c.month, c.day, 12, 0)), c.minutes, 1.0);
  }
}

TEST(IsLongitude, TakesMinus180To180Only) {
  for (const double good : {-180.0, -73.9, 0.0, 87.6, 180.0}) EXPECT_TRUE(IsLongitude(good));
  for (const double bad : {-180.01, 180.5, 400.0, std::nan(""), HUGE_VAL}) {
    EXPECT_FALSE(IsLongitude(bad));
  }
}

}  // namespace
}  // namespace velmora
