#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "casting/chart_report.h"
#include "presentation/display_table.h"

namespace velmora {

// The numbers of a chart as the package's script reads them, straight from the module's memory,
// to build its chart object: every field a 32-bit integer. The script learns where each field
// lies from ChartLayoutJson(), so the layout is written here only.
struct ChartNumbers {
  // The birth as given.
  std::int32_t year, month, day, hour, minute;
  // The six calendar facts the chart was computed from.
  std::int32_t yearStem, yearBranch, yearStemCode, lunarMonth, lunarDay, hourBranch;
  // The lunar date of the moment cast: its year, month number, leap flag (0 or 1) and day.
  std::int32_t lunarYear, lunarMonthNumber, leap, lunarDayOfMonth;
  std::int32_t bureau, lifeBranch;
  // For branches 1 to 12: the palace stem, how many display entries the palace has and those
  // entries (the palace name, then its stars).
  struct Palace {
    std::int32_t stem;
    std::int32_t count;
    std::array<ItemCode, kDisplayEntries> items;
  };
  std::array<Palace, 12> palaces;
};

// Lays out the chart of the last cast of `report` in `numbers`.
void FillChartNumbers(const ChartReport& report, ChartNumbers& numbers);

// Where each field of ChartNumbers lies, in 32-bit words from its start, as a JSON object:
// {"year":0,...,"palaces":17,"palaceSize":12,"stem":0,"count":1,"items":2}; the last four
// describe the palaces, one after another, each palaceSize words long.
std::string ChartLayoutJson();

}  // namespace velmora
