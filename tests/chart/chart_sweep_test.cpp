// Every supported day, each of its twelve two-hour periods: about 660,000 charts, each checked
// against the shape every chart must have.
#include <gtest/gtest.h>

#include <array>
#include <string>

#include "chart/palace_chart.h"

namespace velmora {
namespace {

// The 32 stars that the placement steps put into a chart.
constexpr std::array<ItemCode, 32> kPlacedStars = {36, 37, 38, 39, 40, 41, 42, 43, 44, 45, 46,
                                                   47, 48, 49, 50, 51, 52, 53, 54, 55, 56, 57,
                                                   58, 59, 60, 61, 62, 63, 70, 71, 86, 87};

// Returns an empty string for a well-formed chart, else what is wrong with it.
std::string ChartFault(const PalaceChart& chart) {
  if (chart.bureau < 2 || chart.bureau > 6) return "bureau out of range";
  std::array<std::int32_t, 100> seen{};
  for (ItemCode c : chart.grid[0]) {
    if (c != 0) return "row 0 was written";
  }
  for (std::size_t branch = 1; branch <= 12; ++branch) {
    const PalaceSlots& row = chart.grid[branch];
    if (row[0] < code::Life || row[0] > code::Parents) return "slot 0 is not a palace name";
    if (row[1] < code::FirstStem || row[1] > code::LastStem) return "slot 1 is not a stem";
    std::size_t filled = 0;
    while (filled < row.size() && row[filled] != 0) ++filled;
    for (std::size_t s = filled; s < row.size(); ++s) {
      if (row[s] != 0) return "a gap between filled slots";
    }
    if (filled > 11) return "more than 11 items in a palace";
    ++seen[static_cast<std::size_t>(row[0])];
    for (std::size_t s = 2; s < filled; ++s) {
      if (row[s] < 0 || row[s] >= 100) return "a code out of range";
      ++seen[static_cast<std::size_t>(row[s])];
    }
  }
  for (ItemCode name = code::Life; name <= code::Parents; ++name) {
    if (seen[static_cast<std::size_t>(name)] != 1) return "a palace name not exactly once";
  }
  std::int32_t stars = 0;
  for (ItemCode star : kPlacedStars) {
    if (seen[static_cast<std::size_t>(star)] != 1) return "a star not exactly once";
    ++stars;
  }
  std::int32_t total = 0;
  for (std::int32_t n : seen) total += n;
  if (total != 12 + stars) return "an unexpected code in a star slot";
  return {};
}

TEST(ChartSweep, EverySupportedDayAndPeriodGivesAWellFormedChart) {
  PalaceChart chart;
  std::int64_t charts = 0;
  const TDateTime firstDay = EncodeDate(1902, 1, 1);
  const TDateTime lastDay = EncodeDate(2051, 12, 31);
  // The first period of 1 January 1902 begins at 23:00 on 31 December 1901.
  for (TDateTime day = firstDay; day <= lastDay; day += 1.0) {
    for (std::int32_t period = 0; period < 12; ++period) {
      const TDateTime birth = day - 1.0 / 24.0 + period * (2.0 / 24.0) + 0.5 / 24.0;
      ASSERT_TRUE(IsSupportedBirthMoment(birth));
      chart.SetBirthMoment(birth);
      chart.ComputeChart();
      ASSERT_EQ(chart.calendar.hourBranch, period + 1);
      const std::string fault = ChartFault(chart);
      ASSERT_TRUE(fault.empty()) << fault << " at day " << day << ", period " << period + 1;
      ++charts;
    }
  }
  EXPECT_EQ(charts, 54787 * 12);
}

}  // namespace
}  // namespace velmora
