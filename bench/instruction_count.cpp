// Instructions per chart and per display table build, as callgrind counts them. The program
// computes the sample charts in one loop and builds their display tables in another; each loop
// is a function of its own, so that callgrind can collect inside it alone:
//
//   valgrind --tool=callgrind --toggle-collect='*ComputeEveryChart*' instruction_count
//   valgrind --tool=callgrind --toggle-collect='*BuildEveryTable*' instruction_count
//
// and divide the total it reports by the number of charts, which the program prints.
// `./dev bench instructions` does both.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <vector>

#include "chart/palace_chart.h"
#include "presentation/display_table.h"
#include "sample_births.h"

namespace velmora {
namespace {

using Births = decltype(bench::SampleBirths());

// Decoding and placement of every sample birth, one after the other in one chart record.
[[gnu::noinline]] void ComputeEveryChart(const Births& births, PalaceChart& chart) {
  for (TDateTime birth : births) {
    chart.SetBirthMoment(birth);
    chart.ComputeChart();
    benchmark::DoNotOptimize(chart);
  }
}

// The display table of every chart, each into a table cleared beforehand. The tables belong to
// the caller, so every build must be written out.
[[gnu::noinline]] void BuildEveryTable(const std::vector<PalaceChart>& charts,
                                       std::vector<DisplayTable>& tables) {
  const std::size_t count = charts.size();
  for (std::size_t i = 0; i < count; ++i) BuildDisplayTable(charts[i], tables[i]);
}

}  // namespace
}  // namespace velmora

int main() {
  using namespace velmora;
  const auto births = bench::SampleBirths();
  PalaceChart chart;
  ComputeEveryChart(births, chart);

  std::vector<PalaceChart> charts(births.size());
  for (std::size_t i = 0; i < births.size(); ++i) {
    charts[i].SetBirthMoment(births[i]);
    charts[i].ComputeChart();
  }
  std::vector<DisplayTable> tables(births.size());
  BuildEveryTable(charts, tables);
  std::printf("%zu\n", births.size());
  return 0;
}
