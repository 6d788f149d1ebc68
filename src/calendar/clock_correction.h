#pragma once

#include <cstdint>

#include "calendar/date_time.h"

namespace velmora {

// Moments in this file are counted in whole seconds from 1 January 1970, 00:00: an instant in
// UTC, or a local time read as if it were one (a clock time, a solar time).

// How far a birth's clock time is corrected before its chart is cast, each level after the one
// before it: the zone's standard time, with daylight saving time taken off; local mean solar
// time, moved by the birth place's longitude; local apparent solar time, the sun's own.
enum class SolarTime : std::int32_t { kStandard, kMean, kApparent };

// Whether daylight saving time was in force, for a clock time that the zone showed twice.
enum class DaylightSaving : std::int32_t { kUnknown, kOn, kOff };

// A time zone as its database describes it, in seconds east of UTC at an instant: the offset in
// force, and the zone's standard offset, without daylight saving time (or the offset in force,
// where the database does not tell them apart).
class ZoneOffsets {
 public:
  virtual std::int32_t OffsetAt(std::int64_t utcSeconds) const = 0;
  virtual std::int32_t StandardOffsetAt(std::int64_t utcSeconds) const = 0;
  // The smallest offset the zone's clocks showed at noon UTC on the 1st and the 16th of each
  // month of the Gregorian year `year`. A zone that keeps what it works out may remember it.
  virtual std::int32_t SmallestOffsetOfYear(std::int32_t year) const;

 protected:
  ~ZoneOffsets() = default;
};

// What is known of the birth place besides its zone.
struct BirthPlace {
  SolarTime solar = SolarTime::kStandard;
  double longitude = 0.0;  // degrees east; read for solar time only
  DaylightSaving daylight = DaylightSaving::kUnknown;
};

// Each step from the clock time to the moment the chart is cast from.
struct ClockCorrection {
  SolarTime solar = SolarTime::kStandard;
  std::int32_t utcOffset = 0;       // seconds east of UTC in force at the birth
  std::int32_t standardOffset = 0;  // the same without daylight saving time
  double longitude = 0.0;           // degrees east, for solar time
  std::int32_t longitudeShift = 0;  // seconds from standard to local mean solar time
  std::int32_t equationOfTime = 0;  // seconds from mean to apparent solar time
  TDateTime clock = 0.0;            // as entered
  TDateTime standard = 0.0;
  TDateTime mean = 0.0;      // with solar time only
  TDateTime apparent = 0.0;  // with apparent solar time only

  std::int32_t Daylight() const { return utcOffset - standardOffset; }
  // The zone's standard meridian in degrees east: 15 degrees to the hour of its standard offset.
  double Meridian() const { return standardOffset / 240.0; }
  TDateTime Cast() const {
    return solar == SolarTime::kApparent ? apparent : solar == SolarTime::kMean ? mean : standard;
  }
};

enum class ClockResult : std::int32_t {
  kCorrected,
  kSkipped,     // the zone's clocks jumped over the clock time
  kRepeated,    // the clocks showed it twice, and whether daylight saving time was in force is
                // unknown
  kUnreadable,  // a moment too far from the present era to count in seconds
};

// A change of the zone's clocks around a refused clock time: the clock time the change came at,
// and the time the clocks were set to.
struct ClockChange {
  TDateTime from = 0.0;
  TDateTime to = 0.0;
};

// Whether `degrees` is a longitude: a finite number from -180 to 180.
bool IsLongitude(double degrees);

// The equation of time, apparent less mean solar time, in minutes, at a moment of universal
// time.
double EquationOfTimeMinutes(std::int64_t utcSeconds);

// Reads `clock`, a local clock time in whole seconds, in `zone` and corrects it as `place`
// asks. On kCorrected `out` holds every step; on kSkipped and kRepeated `change` describes the
// change of the clocks that made the clock time impossible or ambiguous.
ClockResult CorrectClockTime(TDateTime clock, const ZoneOffsets& zone, const BirthPlace& place,
                             ClockCorrection& out, ClockChange& change);

}  // namespace velmora
