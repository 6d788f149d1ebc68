// Every supported minute, 23:00 on 31 December 1901 to 22:59 on 31 December 2051: about
// 78.9 million moments, each decoded and checked against the facts of its day and two-hour
// period, worked out once per period from the Gregorian-to-lunar conversion.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>

#include "calendar/birth_calendar.h"
#include "calendar/lunar_calendar.h"

namespace velmora {
namespace {

using std::chrono::days;
using std::chrono::sys_days;
using std::chrono::year_month_day;

// The facts of every birth whose moment, one hour later, falls on `shifted` in `period` 0..11.
BirthCalendar PeriodFacts(year_month_day shifted, std::int32_t period) {
  LunarDate lunar;
  EXPECT_EQ(
      GregorianToLunar(static_cast<int>(shifted.year()),
                       static_cast<std::int32_t>(static_cast<unsigned>(shifted.month())),
                       static_cast<std::int32_t>(static_cast<unsigned>(shifted.day())), lunar),
      kLunarOk);
  BirthCalendar facts;
  // 1984 began a sexagenary cycle: stem 1, branch 1.
  facts.yearStem = WrapInto(lunar.year - 1984 + 1, 10);
  facts.yearBranch = WrapInto(lunar.year - 1984 + 1, 12);
  facts.yearStemCode = facts.yearStem;
  facts.lunarMonth = lunar.month > 0 ? lunar.month : -lunar.month + 1;
  facts.lunarDay = lunar.day;
  facts.hourBranch = period + 1;
  return facts;
}

bool SameFacts(const BirthCalendar& a, const BirthCalendar& b) {
  return a.yearStem == b.yearStem && a.yearBranch == b.yearBranch &&
         a.yearStemCode == b.yearStemCode && a.lunarMonth == b.lunarMonth &&
         a.lunarDay == b.lunarDay && a.hourBranch == b.hourBranch;
}

TEST(EveryMinute, DecodesToTheFactsOfItsDayAndPeriod) {
  const sys_days first = sys_days{std::chrono::year{1901} / 12 / 31};
  const sys_days last = sys_days{std::chrono::year{2051} / 12 / 31};
  std::int64_t minutes = 0;
  BirthCalendar decoded;
  for (sys_days day = first; day <= last; day += days{1}) {
    const year_month_day date{day};
    const TDateTime midnight =
        EncodeDate(static_cast<int>(date.year()), static_cast<std::int32_t>(unsigned(date.month())),
                   static_cast<std::int32_t>(unsigned(date.day())));
    // The periods of this day's clock: 23:00 belongs to the next day's first period.
    for (std::int32_t hour = 0; hour < 24; ++hour) {
      if ((day == first && hour < 23) || (day == last && hour == 23)) continue;
      const bool nextDay = hour == 23;
      const BirthCalendar expected =
          PeriodFacts(year_month_day{nextDay ? day + days{1} : day}, nextDay ? 0 : (hour + 1) / 2);
      for (std::int32_t minute = 0; minute < 60; ++minute) {
        decoded.SetBirthMoment(midnight + EncodeTime(hour, minute));
        decoded.DecodeBirthMoment();
        if (!SameFacts(decoded, expected)) {
          FAIL() << "wrong facts for " << static_cast<int>(date.year()) << "-"
                 << unsigned(date.month()) << "-" << unsigned(date.day()) << " " << hour << ":"
                 << minute;
        }
        ++minutes;
      }
    }
  }
  EXPECT_EQ(minutes, (54787 + 1) * 1440 - 23 * 60 - 60);
}

}  // namespace
}  // namespace velmora
