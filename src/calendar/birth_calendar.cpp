#include "calendar/birth_calendar.h"

#include <array>

#include "calendar/lunar_calendar.h"

namespace velmora {

namespace {

// Every fact is read from the moment one hour later: the calendar day, and with it the lunar
// day, month and year, changes at 23:00, and the two-hour periods begin at odd hours.
TDateTime ShiftedMoment(TDateTime birth) {
  return birth + kOneHour;
}

// The sexagenary pair of a lunar year: index 1 (甲子) falls on the years 3 + 60k.
constexpr CodePair YearPair(std::int32_t lunarYear) {
  return SexagenaryPair(WrapInto(lunarYear - 3, 60));
}
static_assert(YearPair(1984) == CodePair{1, 11} && YearPair(2000) == CodePair{7, 15});

// The stem and branch numbers of every year of the lunar table, from YearPair, worked out at
// compile time: looked up, they are ready as soon as the year is, without three divisions in a
// row.
struct YearNumbers {
  std::int32_t stem;
  std::int32_t branch;
};
constexpr auto kYearNumbers = [] {
  std::array<YearNumbers, kLastLunarYear - kFirstLunarYear + 1> years{};
  for (std::size_t r = 0; r < years.size(); ++r) {
    const CodePair pair = YearPair(kFirstLunarYear + static_cast<std::int32_t>(r));
    years[r] = {CodeToNumber(pair.stem), CodeToNumber(pair.branch)};
  }
  return years;
}();

}  // namespace

void BirthCalendar::DecodeBirthMoment() {
  const TDateTime t = ShiftedMoment(birthMoment);

  // An unsupported moment leaves the lunar date at this neutral value, the table's first new
  // year, so that every later rule still works on facts inside their ranges.
  LunarDate lunar{kFirstLunarYear, 1, 1};
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

  const YearNumbers year = kYearNumbers[static_cast<std::size_t>(lunar.year - kFirstLunarYear)];
  yearStem = year.stem;
  yearStemCode = year.stem;  // a stem number is its own code
  yearBranch = year.branch;
}

std::int32_t BirthLunarDate(TDateTime birth, LunarDate& out) {
  return LunarDateOf(ShiftedMoment(birth), out);
}

bool IsSupportedBirthMoment(TDateTime moment) {
  LunarDate ignored;
  return LunarDateOf(ShiftedMoment(moment), ignored) == kLunarOk;
}

}  // namespace velmora
