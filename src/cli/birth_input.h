#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "calendar/clock_correction.h"
#include "calendar/date_time.h"
#include "presentation/birth_text.h"

namespace velmora {

// A birth as the command line takes it: a calendar date and a clock time to the minute, local
// clock time.
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

// A batch line's parts: the birth, its first one or two words (one when the date and time are
// joined by T), and after a tab the line's identifier, the rest of the line without the blanks
// around it. Without a tab after the birth the whole line is the birth and `id` is empty.
void SplitBatchLine(std::string_view line, std::string_view& birth, std::string_view& id);

// Whether a batch line holds no birth: blank, or a comment, its first word starting with "#".
bool IsSkippedLine(std::string_view line);

// The sentence a birth that cannot be cast is refused with: "1901-12-31 22:59: ", the error, ".".
std::string BirthRefusal(const BirthInput& birth, std::string_view error);

// Whether the chart can be cast for this birth: the lunar calendar covers 23:00 on
// 31 December 1901 to 22:59 on 31 December 2051.
bool CheckSupportedBirth(const BirthInput& birth, std::string& error);

// One line of a batch: a date and a time as above, separated by spaces or tabs, with spaces or
// tabs allowed around them; the birth must be a supported one.
bool ParseBirthLine(std::string_view line, BirthInput& birth, std::string& error);

// The birth place a batch line may name after its time, each word optional: a time zone (a name
// with a "/" in it, or UTC), then a longitude.
struct PlaceWords {
  std::string_view zone;
  std::string_view longitude;
};

// A batch line as ParseBirthLine reads it, with the birth place words after the time, and
// without the check of the supported range, which a corrected birth takes on its corrected
// moment.
bool ReadBirthLine(std::string_view line, BirthInput& birth, PlaceWords& place, std::string& error);

// Degrees of longitude, east positive: an optional sign, one to three digits and up to ten
// decimals, from -180 to 180.
bool ParseLongitude(std::string_view text, double& degrees, std::string& error);

// What the user says of the birth place, before it is checked against the time zone database.
struct PlaceRequest {
  std::string zone;  // empty: the clock time is cast as it is
  std::optional<double> longitude;
  std::optional<SolarTime> solar;  // without it: mean solar time when a longitude is given
  DaylightSaving daylight = DaylightSaving::kUnknown;

  bool Any() const { return !zone.empty() || longitude || solar; }
};

// The correction `request` asks for, each level needing the one before: a zone for any, a
// longitude for solar time. False with one phrase in `error` when a level lacks what it needs.
bool PlaceOfRequest(const PlaceRequest& request, BirthPlace& place, std::string& error);

// "2000-02-04" and "23:00": the forms the readers accept.
std::string IsoDate(const CivilDate& date);
std::string ClockTime(std::int32_t hour, std::int32_t minute);

// "4 February 2000, 23:00", for headings.
inline std::string LongBirthText(const BirthInput& birth) {
  return LongDateTimeText(birth.date, birth.hour, birth.minute);
}

}  // namespace velmora
