// Every supported day, each of its twelve two-hour periods: about 660,000 charts, each checked
// against the shape every chart must have.
#include <gtest/gtest.h>

#include <limits>
#include <string>

#include "chart/palace_chart.h"
#include "chart_shape.h"

namespace velmora {
namespace {

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

// Decoding never gives facts outside their ranges, but the placement steps read whatever the
// calendar part holds. Facts set by hand far outside their ranges take the steps' slower paths,
// which must still put every palace and star on a branch 1..12 exactly once.
TEST(ChartSweep, FactsOutsideTheirRangesStillPlaceEverythingOnce) {
  constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();
  constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
  for (std::int32_t odd : {kMin, -61, -13, -1, 0, 13, 31, 61, kMax}) {
    for (std::int32_t fact = 0; fact < 6; ++fact) {
      PalaceChart chart;
      BirthCalendar& c = chart.calendar;
      c = {0.0, 3, 5, 3, 7, 15, 6};
      std::array<std::int32_t*, 6> facts = {&c.yearStem,   &c.yearBranch, &c.yearStemCode,
                                            &c.lunarMonth, &c.lunarDay,   &c.hourBranch};
      *facts[static_cast<std::size_t>(fact)] = odd;
      chart.PlaceFromCalendarFacts();
      const std::string fault = ChartFault(chart);
      EXPECT_TRUE(fault.empty()) << fault << " with fact " << fact << " set to " << odd;
    }
  }
}

}  // namespace
}  // namespace velmora
