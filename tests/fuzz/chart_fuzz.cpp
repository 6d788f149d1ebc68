// Any double as a birth moment: NaN, infinities, denormals, huge values and the half-millisecond
// boundaries. Decoding must leave every fact inside its range, the chart must keep its shape,
// and the supported-birth predicate must agree with the range it names.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "chart/palace_chart.h"
#include "chart_shape.h"
#include "require.h"

using velmora::fuzz::Require;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace velmora;
  double moment = 0.0;
  if (size < sizeof moment) return 0;
  std::memcpy(&moment, data, sizeof moment);
  PalaceChart chart;
  chart.SetBirthMoment(moment);
  chart.ComputeChart();
  const BirthCalendar& c = chart.calendar;
  Require(c.yearStem >= 1 && c.yearStem <= 10 && c.yearStemCode == c.yearStem);
  Require(c.yearBranch >= 1 && c.yearBranch <= 12);
  Require(c.lunarMonth >= 1 && c.lunarMonth <= 12 && c.lunarDay >= 1 && c.lunarDay <= 30);
  Require(c.hourBranch >= 1 && c.hourBranch <= 12);
  Require(ChartFault(chart).empty());
  // The sexagenary pairs: a stem and a branch of the same parity.
  Require((c.yearStem - c.yearBranch) % 2 == 0);
  // Within a millisecond of either end the answer rests on rounding; elsewhere it is plain.
  constexpr double kMs = 1.0 / kMsPerDay;
  const bool inside = moment >= kFirstSupportedBirth + kMs && moment < kEndOfSupportedBirths - kMs;
  const bool outside =
      !(moment >= kFirstSupportedBirth - kMs && moment < kEndOfSupportedBirths + kMs);
  if (inside) Require(IsSupportedBirthMoment(moment));
  if (outside) Require(!IsSupportedBirthMoment(moment));
  return 0;
}
