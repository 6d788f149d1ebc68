// Every supported day, each of its twelve two-hour periods: about 660,000 charts, each checked
// against the shape every chart must have.
#include <gtest/gtest.h>

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

}  // namespace
}  // namespace velmora
