#pragma once

#include <string>
#include <string_view>

#include "calendar/clock_correction.h"
#include "calendar/date_time.h"

namespace velmora {

// A number of 0 to 9999 in exactly `width` digits, zeros first: at `p`, giving the end, or
// appended to `out`.
char* PutDigits(char* p, std::int32_t value, int width);
void AppendDigits(std::int32_t value, int width, std::string& out);

// `value` in decimal with at most `places` decimals, rounded, trailing zeros left out: 87.6,
// -129.6, 120. For |value| * 10^places below 2^53.
void AppendDecimal(double value, std::int32_t places, std::string& out);

// "87.6°E", "73.94°W", "0°": degrees of longitude to four decimals at most.
std::string LongitudeText(double degrees);

// "January" to "December" for months 1 to 12, "?" for any other number.
std::string_view MonthName(std::int32_t month);

// "4 February 2000, 23:00", with ":SS" after the minutes when the moment has seconds.
std::string LongMomentText(TDateTime moment);
// "4 February 2000, 23:00" for a date and a clock time.
std::string LongDateTimeText(const CivilDate& date, std::int32_t hour, std::int32_t minute);

// Puts "this birth lies outside the lunar calendar; births from ... are accepted" in `error`.
void SetUnsupportedBirthError(std::string& error);

// The phrases each shell gives for a birth place it cannot use, saying what is accepted.
inline constexpr const char* kUnknownZoneError =
    "unknown time zone; give a name from the time zone database, such as Asia/Shanghai, "
    "Europe/London or America/New_York";
inline constexpr const char* kLongitudeError =
    "not a longitude; give degrees from -180 to 180, east positive (87.6 for Urumqi, -73.9 for "
    "New York)";

// Corrects the clock time `clock` of a birth in the zone named `zoneName` as `place` asks. On
// refusal returns false with one phrase in `error`: a clock time the zone's clocks skipped or
// showed twice (naming the change, and for the second ending with `daylightHint`, which tells
// the user how to say whether daylight saving time was in force), or a corrected moment that
// the lunar calendar does not cover.
bool CorrectBirth(TDateTime clock, const ZoneOffsets& zone, std::string_view zoneName,
                  const BirthPlace& place, std::string_view daylightHint, ClockCorrection& out,
                  std::string& error);

// One sentence saying which moment the chart was cast from and how it was reached from the
// clock time: "Cast from standard time, 15 July 1988, 08:30: clock time 09:30 in Asia/Shanghai,
// less 1 h of daylight saving time."
std::string CorrectionLine(const ClockCorrection& correction, std::string_view zoneName);

}  // namespace velmora
