#pragma once

#include <cstdint>

#include "calendar/date_time.h"
#include "calendar/item_code.h"
#include "calendar/lunar_calendar.h"

namespace velmora {

// The calendar part of a chart: the birth moment and the six facts the chart rules read.
struct BirthCalendar {
  TDateTime birthMoment = 0.0;
  std::int32_t yearStem = 0;    // stem number 1..10 of the lunar year
  std::int32_t yearBranch = 0;  // branch number 1..12 of the lunar year
  ItemCode yearStemCode = 0;    // the same stem as a code
  std::int32_t lunarMonth = 0;  // 1..12; a leap month counts as the month that follows it
  std::int32_t lunarDay = 0;    // 1..30
  std::int32_t hourBranch = 0;  // 1..12; 1 is 子, 23:00 to 00:59

  // Stores the moment; decodes nothing.
  void SetBirthMoment(TDateTime moment) { birthMoment = moment; }

  // Derives all six facts from birthMoment. For an unsupported moment the facts are still set,
  // to values inside their ranges, but they describe no real birth.
  void DecodeBirthMoment();
};

// The lunar date a birth's facts are read from: that of the moment one hour later, since the
// day changes at 23:00. A leap month is negative, as the conversion gives it. Returns the
// conversion's result code; for an unsupported moment `out` is left as it was.
std::int32_t BirthLunarDate(TDateTime birth, LunarDate& out);

// Supported births run from 23:00 on 31 December 1901 to 22:59:59.999 on 31 December 2051,
// local clock time: exactly the moments whose hour-shifted calendar date the lunar table covers.
bool IsSupportedBirthMoment(TDateTime moment);

// The first supported moment, and the first one after the supported range.
inline constexpr TDateTime kFirstSupportedBirth = EncodeDate(1901, 12, 31) + EncodeTime(23, 0);
inline constexpr TDateTime kEndOfSupportedBirths = EncodeDate(2051, 12, 31) + EncodeTime(23, 0);

// The range in words, for every shell's refusal message.
inline constexpr const char* kSupportedBirthRange =
    "31 December 1901 23:00 to 31 December 2051 22:59";

}  // namespace velmora
