#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "calendar/date_time.h"
#include "presentation/birth_text.h"

namespace velmora {

// A birth as the user gives it: a calendar date and a clock time to the minute, local clock
// time.
struct BirthInput {
  CivilDate date;
  std::int32_t hour = 0;    // 0..23
  std::int32_t minute = 0;  // 0..59

  TDateTime Moment() const {
    return EncodeDate(date.year, date.month, date.day) + EncodeTime(hour, minute);
  }
  friend constexpr bool operator==(const BirthInput&, const BirthInput&) = default;
};

// The readers below accept exactly the written forms and real calendar values. On refusal they
// return false, leave their output untouched and put into `error` one phrase that says what is
// wrong and what is accepted, without repeating the input (the caller shows it beside the
// phrase).

// "YYYY-MM-DD": four digits, then one or two, then one or two (2000-2-4 reads as 2000-02-04),
// joined by hyphens; a date that exists in the Gregorian calendar.
bool ParseBirthDate(std::string_view text, CivilDate& date, std::string& error);

// "HH:MM" on the 24-hour clock, 00:00 to 23:59; the hour may have one digit (7:05). A time
// zone after it (Z, +08:00) is refused: births are given in local clock time.
bool ParseBirthTime(std::string_view text, std::int32_t& hour, std::int32_t& minute,
                    std::string& error);

// Splits "2000-02-04T23:00", a date and a time joined by T, into its two parts; false when
// `text` holds no T.
bool SplitDateAndTime(std::string_view text, std::string_view& date, std::string_view& time);

// Whether the chart can be cast for this birth: the lunar calendar covers 23:00 on
// 31 December 1901 to 22:59 on 31 December 2051.
bool CheckSupportedBirth(const BirthInput& birth, std::string& error);
// The same for a birth moment given as a TDateTime.
bool CheckSupportedMoment(TDateTime moment, std::string& error);

// Puts "this birth lies outside the lunar calendar; births from ... are accepted" in `error`.
void SetUnsupportedBirthError(std::string& error);

// The sentence a birth that cannot be cast is refused with: "1901-12-31 22:59: ", the error, ".".
std::string BirthRefusal(const BirthInput& birth, std::string_view error);

// The phrase for a longitude that is not one, saying what is accepted.
inline constexpr const char* kLongitudeError =
    "not a longitude; give degrees from -180 to 180, east positive (87.6 for Urumqi, -73.9 for "
    "New York)";

// Degrees of longitude, east positive: an optional sign, one to three digits and up to ten
// decimals, from -180 to 180.
bool ParseLongitude(std::string_view text, double& degrees, std::string& error);
// The same for a number already read: false with kLongitudeError outside -180 to 180.
bool CheckLongitude(double degrees, std::string& error);

// "2000-02-04" and "23:00": the forms the readers accept.
std::string IsoDate(const CivilDate& date);
std::string ClockTime(std::int32_t hour, std::int32_t minute);

// "4 February 2000, 23:00", for headings.
inline std::string LongBirthText(const BirthInput& birth) {
  return LongDateTimeText(birth.date, birth.hour, birth.minute);
}

}  // namespace velmora
