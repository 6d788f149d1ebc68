#pragma once

#include <chrono>
#include <cstdint>

namespace velmora {

// Days since 30 December 1899, 00:00, in the proleptic Gregorian calendar, with the time of day
// as the fraction. Local clock time: never converted between time zones.
using TDateTime = double;

inline constexpr double kOneHour = 0.041666666666666664;  // 1/24 of a day, as a double
inline constexpr std::int64_t kMsPerDay = 86'400'000;

struct CivilDate {
  std::int32_t year = 0;
  std::int32_t month = 0;  // 1..12
  std::int32_t day = 0;    // 1..31
  friend constexpr bool operator==(const CivilDate&, const CivilDate&) = default;
};

// A moment split into its calendar date and the milliseconds of its day, after rounding to the
// nearest millisecond, so that a moment less than half a millisecond before midnight belongs
// to the following day.
struct DecodedMoment {
  CivilDate date;
  std::int32_t msOfDay = 0;  // 0..86'399'999
};

// Moments this far from 1899 are rejected before any arithmetic, so that rounding and the day
// count stay far inside 64-bit range. Ten million days is more than 27,000 years.
inline constexpr double kMaxDecodableDays = 10'000'000.0;

// Days from 1 January 1970 to a Gregorian date, by <chrono>'s exact civil calendar.
constexpr std::int64_t DaysFromCivil(std::int32_t year, std::int32_t month, std::int32_t day) {
  const std::chrono::year_month_day date{std::chrono::year{year},
                                         std::chrono::month{static_cast<unsigned>(month)},
                                         std::chrono::day{static_cast<unsigned>(day)}};
  return std::chrono::sys_days{date}.time_since_epoch().count();
}

// The Gregorian date of a day counted from 1 January 1970.
constexpr CivilDate CivilFromDays(std::int64_t days) {
  const std::chrono::year_month_day date{std::chrono::sys_days{std::chrono::days{days}}};
  return {static_cast<std::int32_t>(date.year()),
          static_cast<std::int32_t>(static_cast<unsigned>(date.month())),
          static_cast<std::int32_t>(static_cast<unsigned>(date.day()))};
}

constexpr bool IsGregorianLeapYear(std::int32_t year) {
  return std::chrono::year{year}.is_leap();
}

// The days of a month 1..12 of a Gregorian year: 28 to 31.
constexpr std::int32_t DaysInMonth(std::int32_t year, std::int32_t month) {
  const std::chrono::year_month_day_last last{
      std::chrono::year{year},
      std::chrono::month_day_last{std::chrono::month{static_cast<unsigned>(month)}}};
  return static_cast<std::int32_t>(static_cast<unsigned>(last.day()));
}

// Whether a year, month and day name a real Gregorian date.
constexpr bool IsCivilDate(std::int32_t year, std::int32_t month, std::int32_t day) {
  return month >= 1 && month <= 12 && day >= 1 && day <= DaysInMonth(year, month);
}

static_assert(DaysFromCivil(1970, 1, 1) == 0 && CivilFromDays(-1) == CivilDate{1969, 12, 31});
static_assert(DaysInMonth(2000, 2) == 29 && DaysInMonth(1900, 2) == 28 &&
              DaysInMonth(2051, 12) == 31 && !IsCivilDate(1903, 2, 29));

inline constexpr std::int64_t kDelphiEpochDays = DaysFromCivil(1899, 12, 30);
static_assert(kDelphiEpochDays == -25569);

// The TDateTime of midnight at the start of a Gregorian date.
constexpr TDateTime EncodeDate(std::int32_t year, std::int32_t month, std::int32_t day) {
  return static_cast<double>(DaysFromCivil(year, month, day) - kDelphiEpochDays);
}

constexpr TDateTime EncodeTime(std::int32_t hour, std::int32_t minute, std::int32_t second = 0,
                               std::int32_t ms = 0) {
  const std::int64_t total = ((std::int64_t{hour} * 60 + minute) * 60 + second) * 1000 + ms;
  return static_cast<double>(total) / static_cast<double>(kMsPerDay);
}

// A moment rounded to the nearest millisecond and split into its day number (whole days since
// 30 December 1899, counted downwards before it) and the milliseconds of that day.
struct MomentDay {
  std::int64_t day = 0;
  std::int32_t msOfDay = 0;  // 0..86'399'999
};

// Rounds half a millisecond away from zero, as llround does, without the library call: the
// truncated count plus the fraction it dropped. For |ms| < 2^52 only, which every decodable
// moment (kMaxDecodableDays) keeps; SplitMoment refuses the others before calling it.
constexpr std::int64_t RoundToMilliseconds(double ms) {
  const auto whole = static_cast<std::int64_t>(ms);
  const double dropped = ms - static_cast<double>(whole);  // exact: both lie within 1 of each other
  return whole + (dropped >= 0.5 ? 1 : 0) - (dropped <= -0.5 ? 1 : 0);
}

// Splits a moment into day number and time of day. Returns false, leaving `out` untouched, for
// a moment that is not finite or lies beyond kMaxDecodableDays of 1899.
inline bool SplitMoment(TDateTime moment, MomentDay& out) {
  if (!(moment <= kMaxDecodableDays && moment >= -kMaxDecodableDays)) return false;  // and NaN
  const std::int64_t totalMs = RoundToMilliseconds(moment * static_cast<double>(kMsPerDay));
  std::int64_t day = totalMs / kMsPerDay;
  std::int64_t ms = totalMs % kMsPerDay;
  if (ms < 0) {  // before 1899 the time of day still counts forward from midnight
    ms += kMsPerDay;
    --day;
  }
  out = {day, static_cast<std::int32_t>(ms)};
  return true;
}

// Splits a moment into date and time of day, with the same rounding and the same refusals as
// SplitMoment.
bool DecodeMoment(TDateTime moment, DecodedMoment& out);

}  // namespace velmora
