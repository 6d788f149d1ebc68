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

// The phrase for a clock time that the clocks of the zone named `zoneName` skipped or showed
// twice, naming the change: "there was no 02:30 on 14 March 2021 in America/New_York, where the
// clocks went forward from 02:00 to 03:00; give a time the clocks showed", or "01:30 on
// 7 November 2021 came twice in ..., where the clocks went back from 02:00 to 01:00; " followed
// by `daylightHint`, which tells the user how to say whether daylight saving time was in force
// (without it, the phrase ends at the change, for a shell that adds its own words).
std::string ClockChangePhrase(TDateTime clock, const ClockChange& change, std::string_view zoneName,
                              std::string_view daylightHint);

// "the corrected moment, 1 January 1902, 00:10, lies outside the lunar calendar; births from ...
// are accepted".
std::string CorrectedMomentOutsidePhrase(TDateTime corrected);

// One sentence saying which moment the chart was cast from and how it was reached from the
// clock time: "Cast from standard time, 15 July 1988, 08:30: clock time 09:30 in Asia/Shanghai,
// less 1 h of daylight saving time."
std::string CorrectionLine(const ClockCorrection& correction, std::string_view zoneName);

}  // namespace velmora
