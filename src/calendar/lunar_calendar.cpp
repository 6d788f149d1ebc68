#include "calendar/lunar_calendar.h"

namespace velmora {

namespace {

constexpr const std::array<std::int32_t, 14>& DaysBeforeMonthOf(std::int32_t year) {
  return DaysBeforeMonth[IsGregorianLeapYear(year) ? 1 : 0];
}

}  // namespace

std::int32_t GregorianToLunar(std::int32_t year, std::int32_t month, std::int32_t day,
                              LunarDate& out) {
  if (year < kFirstConvertibleYear || year > kLastConvertibleYear) return kLunarYearOutOfRange;
  if (month < 1 || month > 12) return kLunarMonthOutOfRange;
  const std::int32_t monthDays =
      MonthDays[static_cast<std::size_t>(month - 1)] + (month == 2 && IsGregorianLeapYear(year));
  if (day < 1 || day > monthDays) return kLunarDayOutOfRange;

  // Day of the year, counted within the lunar year's own Gregorian year.
  std::int32_t lunarYear = year;
  std::int32_t n = DaysBeforeMonthOf(year)[static_cast<std::size_t>(month - 1)] + day;
  const LunarYear* row = &LunarYearTable[static_cast<std::size_t>(year - kFirstLunarYear)];
  if (n <= row->newYearOffset) {
    // Before this year's new year (only ever in January or February): the date belongs to the
    // lunar year that began in the previous Gregorian year.
    lunarYear = year - 1;
    row = &LunarYearTable[static_cast<std::size_t>(lunarYear - kFirstLunarYear)];
    n = DaysBeforeMonthOf(lunarYear)[static_cast<std::size_t>(month - 1 + 12)] + day;
  }

  // Walk the months in sequence until the one that contains day n.
  std::int32_t acc = row->newYearOffset;
  std::int32_t i = 0;
  while (i < 12 && acc + 29 + row->monthLong[static_cast<std::size_t>(i)] < n) {
    acc += 29 + row->monthLong[static_cast<std::size_t>(i)];
    ++i;
  }
  std::int32_t sequential = i + 1;
  const std::int32_t leap = row->leapMonth;
  std::int32_t lunarMonth = sequential;
  if (leap != 0 && sequential > leap) {
    --sequential;
    lunarMonth = sequential == leap ? -leap : sequential;
  }
  out = {lunarYear, lunarMonth, n - acc};
  return kLunarOk;
}

std::int32_t LunarDateOf(TDateTime moment, LunarDate& out) {
  MomentDay split;
  if (!SplitMoment(moment, split)) return kLunarYearOutOfRange;
  return LunarDateOfDay(split.day, out);
}

}  // namespace velmora
