#include "web/chart_numbers.h"

#include <cstddef>
#include <string_view>
#include <utility>

#include "calendar/birth_calendar.h"

namespace velmora {

namespace {

static_assert(sizeof(ItemCode) == sizeof(std::int32_t));

constexpr std::int32_t Word(std::size_t offset) {
  return static_cast<std::int32_t>(offset / sizeof(std::int32_t));
}

#define VELMORA_FIELD(record, field) \
  std::pair<std::string_view, std::int32_t>(#field, Word(offsetof(record, field)))

// Every field the script reads, by the name it reads it under.
constexpr std::pair<std::string_view, std::int32_t> kFields[] = {
    VELMORA_FIELD(ChartNumbers, year),
    VELMORA_FIELD(ChartNumbers, month),
    VELMORA_FIELD(ChartNumbers, day),
    VELMORA_FIELD(ChartNumbers, hour),
    VELMORA_FIELD(ChartNumbers, minute),
    VELMORA_FIELD(ChartNumbers, yearStem),
    VELMORA_FIELD(ChartNumbers, yearBranch),
    VELMORA_FIELD(ChartNumbers, yearStemCode),
    VELMORA_FIELD(ChartNumbers, lunarMonth),
    VELMORA_FIELD(ChartNumbers, lunarDay),
    VELMORA_FIELD(ChartNumbers, hourBranch),
    VELMORA_FIELD(ChartNumbers, lunarYear),
    VELMORA_FIELD(ChartNumbers, lunarMonthNumber),
    VELMORA_FIELD(ChartNumbers, leap),
    VELMORA_FIELD(ChartNumbers, lunarDayOfMonth),
    VELMORA_FIELD(ChartNumbers, bureau),
    VELMORA_FIELD(ChartNumbers, lifeBranch),
    VELMORA_FIELD(ChartNumbers, palaces),
    {"palaceSize", Word(sizeof(ChartNumbers::Palace))},
    VELMORA_FIELD(ChartNumbers::Palace, stem),
    VELMORA_FIELD(ChartNumbers::Palace, count),
    VELMORA_FIELD(ChartNumbers::Palace, items),
};

#undef VELMORA_FIELD

}  // namespace

void FillChartNumbers(const ChartReport& report, ChartNumbers& n) {
  const BirthInput& birth = report.Birth();
  const PalaceChart& chart = report.Chart();
  const DisplayTable& table = report.Table();
  const BirthCalendar& facts = chart.calendar;
  n.year = birth.date.year;
  n.month = birth.date.month;
  n.day = birth.date.day;
  n.hour = birth.hour;
  n.minute = birth.minute;
  n.yearStem = facts.yearStem;
  n.yearBranch = facts.yearBranch;
  n.yearStemCode = facts.yearStemCode;
  n.lunarMonth = facts.lunarMonth;
  n.lunarDay = facts.lunarDay;
  n.hourBranch = facts.hourBranch;
  LunarDate lunar;
  BirthLunarDate(facts.birthMoment, lunar);
  n.lunarYear = lunar.year;
  n.lunarMonthNumber = lunar.MonthNumber();
  n.leap = lunar.IsLeap() ? 1 : 0;
  n.lunarDayOfMonth = lunar.day;
  n.bureau = chart.bureau;
  n.lifeBranch = LifeRow(table);
  for (std::size_t branch = 1; branch <= 12; ++branch) {
    ChartNumbers::Palace& palace = n.palaces[branch - 1];
    palace.stem = chart.grid[branch][kStemSlot];
    std::int32_t count = 0;
    // Empty entries are skipped wherever they stand, as the JSON skips them.
    for (const ItemCode code : table.rows[branch]) {
      if (code != code::Empty) palace.items[static_cast<std::size_t>(count++)] = code;
    }
    palace.count = count;
  }
}

std::string ChartLayoutJson() {
  std::string json = "{";
  for (const auto& [name, word] : kFields) {
    if (json.size() > 1) json += ',';
    json += '"';
    json += name;
    json += "\":";
    json += std::to_string(word);
  }
  json += '}';
  return json;
}

}  // namespace velmora
