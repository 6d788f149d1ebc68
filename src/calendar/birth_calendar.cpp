#include "calendar/birth_calendar.h"

#include "calendar/lunar_calendar.h"

namespace velmora {

namespace {

// Every fact is read from the moment one hour later: the calendar day, and with it the lunar
// day, month and year, changes at 23:00, and the two-hour periods begin at odd hours.
TDateTime ShiftedMoment(TDateTime birth) {
  return birth + kOneHour;
}

}  // namespace

void BirthCalendar::DecodeBirthMoment() {
  const TDateTime t = ShiftedMoment(birthMoment);

  // An unsupported moment leaves the lunar date at this neutral value, so that every later rule
  // still works on facts inside their ranges.
  LunarDate lunar{0, 1, 1};
  MomentDay split;
  std::int32_t hour = 0;
  if (SplitMoment(t, split)) {
    hour = split.msOfDay / 3'600'000;
    // The same conversion as LunarDateOf, without splitting the moment a second time.
    LunarDateOfDay(split.day, lunar);
  }
  hourBranch = hour / 2 + 1;

  lunarDay = lunar.day;
  lunarMonth = lunar.month > 0 ? lunar.month : -lunar.month + 1;

  const CodePair year = SexagenaryPair(WrapInto(lunar.year - 3, 60));
  yearStemCode = year.stem;
  yearStem = CodeToNumber(year.stem);
  yearBranch = CodeToNumber(year.branch);
}

bool IsSupportedBirthMoment(TDateTime moment) {
  LunarDate ignored;
  return LunarDateOf(ShiftedMoment(moment), ignored) == kLunarOk;
}

}  // namespace velmora
