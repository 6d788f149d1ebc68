#include "calendar/clock_correction.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <numbers>

namespace velmora {

namespace {

constexpr std::int64_t kSecondsPerDay = 86'400;

constexpr std::int64_t FloorDiv(std::int64_t value, std::int64_t by) {
  const std::int64_t quotient = value / by;
  return quotient * by > value ? quotient - 1 : quotient;
}

// A moment as whole seconds from 1 January 1970, rounded to the nearest second.
std::int64_t SecondsOf(const MomentDay& moment) {
  const std::int64_t ms = (moment.day + kDelphiEpochDays) * kMsPerDay + moment.msOfDay;
  return FloorDiv(ms + 500, 1000);
}

// The TDateTime of whole seconds from 1 January 1970, the same double that EncodeDate plus
// EncodeTime give for the same date and time of day.
TDateTime MomentOf(std::int64_t seconds) {
  const std::int64_t days = FloorDiv(seconds, kSecondsPerDay);
  const std::int64_t ms = (seconds - days * kSecondsPerDay) * 1000;
  return static_cast<double>(days - kDelphiEpochDays) +
         static_cast<double>(ms) / static_cast<double>(kMsPerDay);
}

// The first instant after `before` at which the zone's offset differs from the one in force at
// `before`; `after` must be such an instant.
std::int64_t FirstChange(const ZoneOffsets& zone, std::int64_t before, std::int64_t after) {
  const std::int32_t offset = zone.OffsetAt(before);
  while (after - before > 1) {
    const std::int64_t middle = before + (after - before) / 2;
    (zone.OffsetAt(middle) == offset ? before : after) = middle;
  }
  return after;
}

ClockChange ChangeBetween(const ZoneOffsets& zone, std::int64_t before, std::int64_t after) {
  const std::int64_t at = FirstChange(zone, before, after);
  return {MomentOf(at + zone.OffsetAt(at - 1)), MomentOf(at + zone.OffsetAt(at))};
}

// The standard offset of the zone at `instant`: the database's, unless the zone's clocks showed a
// smaller offset at some time of that year (sampled at noon on the 1st and the 16th of each
// month). Where the database counts a winter or Ramadan hour as daylight saving time taken off
// a larger standard offset (Europe/Dublin, Africa/Casablanca), the smaller offset is the
// standard one, as the clocks of those places are read, and daylight saving time never makes a
// clock time later. A zone whose database gives no standard offset (the browser's) answers with
// the offset in force, and the year's smallest offset serves.
std::int32_t StandardOffset(const ZoneOffsets& zone, std::int64_t instant) {
  const std::int32_t year = CivilFromDays(FloorDiv(instant, kSecondsPerDay)).year;
  return std::min(zone.StandardOffsetAt(instant), zone.SmallestOffsetOfYear(year));
}

}  // namespace

std::int32_t ZoneOffsets::SmallestOffsetOfYear(std::int32_t year) const {
  std::int32_t smallest = std::numeric_limits<std::int32_t>::max();
  for (std::int32_t month = 1; month <= 12; ++month) {
    for (const std::int32_t day : {1, 16}) {
      smallest = std::min(smallest, OffsetAt(DaysFromCivil(year, month, day) * kSecondsPerDay +
                                             kSecondsPerDay / 2));
    }
  }
  return smallest;
}

bool IsLongitude(double degrees) {
  return degrees >= -180.0 && degrees <= 180.0;  // false for NaN
}

double EquationOfTimeMinutes(std::int64_t utcSeconds) {
  // The Fourier series of Spencer (1971), as NOAA's solar calculator gives it: good to about
  // half a minute over the year, against the almanac's extremes of -14 and +16 minutes.
  const std::int64_t days = FloorDiv(utcSeconds, kSecondsPerDay);
  const CivilDate date = CivilFromDays(days);
  const double dayOfYear = static_cast<double>(days - DaysFromCivil(date.year, 1, 1));
  const double hour = static_cast<double>(utcSeconds - days * kSecondsPerDay) / 3600.0;
  const double yearDays = IsGregorianLeapYear(date.year) ? 366.0 : 365.0;
  const double g = 2.0 * std::numbers::pi / yearDays * (dayOfYear + (hour - 12.0) / 24.0);
  return 229.18 * (0.000075 + 0.001868 * std::cos(g) - 0.032077 * std::sin(g) -
                   0.014615 * std::cos(2.0 * g) - 0.040849 * std::sin(2.0 * g));
}

ClockResult CorrectClockTime(TDateTime clock, const ZoneOffsets& zone, const BirthPlace& place,
                             ClockCorrection& out, ClockChange& change) {
  MomentDay split;
  if (!SplitMoment(clock, split)) return ClockResult::kUnreadable;
  const std::int64_t local = SecondsOf(split);

  // The instants at which the zone's clocks showed `local`: each offset in force within a day of
  // it gives one, if the clocks did show that offset then. Two at most, a day holding one change.
  const std::int32_t dayBefore = zone.OffsetAt(local - kSecondsPerDay);
  const std::int32_t dayAfter = zone.OffsetAt(local + kSecondsPerDay);
  const std::array<std::int32_t, 4> offsets = {
      dayBefore, dayAfter, zone.OffsetAt(local - dayBefore), zone.OffsetAt(local - dayAfter)};
  // The first and the last of them; equal when the clocks showed `local` once.
  std::int64_t early = 0;
  std::int64_t late = 0;
  bool found = false;
  for (const std::int32_t offset : offsets) {
    const std::int64_t instant = local - offset;
    if (zone.OffsetAt(instant) != offset) continue;
    early = found ? std::min(early, instant) : instant;
    late = found ? std::max(late, instant) : instant;
    found = true;
  }
  if (!found) {
    change = ChangeBetween(zone, local - kSecondsPerDay, local + kSecondsPerDay);
    return ClockResult::kSkipped;
  }
  std::int64_t instant = early;
  if (late != early) {
    if (place.daylight == DaylightSaving::kUnknown) {
      change = ChangeBetween(zone, early, late);
      return ClockResult::kRepeated;
    }
    // Daylight saving time in force means the offset above the standard one; where both or
    // neither stand above it, the first showing of the clock time is taken as the one with it.
    const bool earlyHasIt = zone.OffsetAt(early) > StandardOffset(zone, early);
    const bool lateHasIt = zone.OffsetAt(late) > StandardOffset(zone, late);
    const bool wantIt = place.daylight == DaylightSaving::kOn;
    instant =
        earlyHasIt != lateHasIt ? (earlyHasIt == wantIt ? early : late) : (wantIt ? early : late);
  }

  out = {};
  out.solar = place.solar;
  out.utcOffset = zone.OffsetAt(instant);
  out.standardOffset = StandardOffset(zone, instant);
  out.clock = clock;
  const std::int64_t standard = instant + out.standardOffset;
  out.standard = MomentOf(standard);
  if (place.solar == SolarTime::kStandard) return ClockResult::kCorrected;
  // Four minutes of time to the degree: the sun crosses 360 degrees in 24 hours.
  out.longitude = place.longitude;
  const std::int64_t mean = instant + std::llround(place.longitude * 240.0);
  out.longitudeShift = static_cast<std::int32_t>(mean - standard);
  out.mean = MomentOf(mean);
  if (place.solar == SolarTime::kMean) return ClockResult::kCorrected;
  out.equationOfTime = static_cast<std::int32_t>(std::lround(EquationOfTimeMinutes(instant) * 60));
  out.apparent = MomentOf(mean + out.equationOfTime);
  return ClockResult::kCorrected;
}

}  // namespace velmora
