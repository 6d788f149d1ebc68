#include "calendar/lunar_calendar.h"

namespace velmora {

std::int32_t GregorianToLunar(std::int32_t year, std::int32_t month, std::int32_t day,
                              LunarDate& out) {
  if (year < kFirstConvertibleYear || year > kLastConvertibleYear) return kLunarYearOutOfRange;
  if (month < 1 || month > 12) return kLunarMonthOutOfRange;
  if (!IsCivilDate(year, month, day)) return kLunarDayOutOfRange;
  return LunarDateOfDay(DaysFromCivil(year, month, day) - kDelphiEpochDays, out);
}

std::int32_t LunarDateOf(TDateTime moment, LunarDate& out) {
  MomentDay split;
  if (!SplitMoment(moment, split)) return kLunarYearOutOfRange;
  return LunarDateOfDay(split.day, out);
}

}  // namespace velmora
