// Speed of the computing core: decoding a birth moment and placing every palace and star.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <array>
#include <vector>

#include "allocation_counter.h"
#include "chart/palace_chart.h"
#include "sample_births.h"

namespace velmora {
namespace {

void BM_ComputeChart(benchmark::State& state) {
  const auto births = bench::SampleBirths();
  PalaceChart chart;
  std::size_t i = 0;
  const long long allocationsBefore = bench::heapAllocations.load();
  for (auto _ : state) {
    chart.SetBirthMoment(births[i++ & (births.size() - 1)]);
    chart.ComputeChart();
    benchmark::DoNotOptimize(chart.grid);
  }
  const long long allocations = bench::heapAllocations.load() - allocationsBefore;
  state.counters["heap_allocations"] = static_cast<double>(allocations);
  if (allocations != 0) state.SkipWithError("ComputeChart allocated on the heap");
}
// Repeated, with the fastest repetition reported beside mean and median: on a shared virtual
// machine a neighbour's burst can slow a whole repetition, never speed one up.
BENCHMARK(BM_ComputeChart)
    ->Repetitions(10)
    ->ReportAggregatesOnly(true)
    ->ComputeStatistics("min", [](const std::vector<double>& times) {
      return *std::min_element(times.begin(), times.end());
    });

// Every minute from 1 January 1902 to 31 December 2051, about 79 million charts.
void BM_EveryMinute(benchmark::State& state) {
  PalaceChart chart;
  const TDateTime first = EncodeDate(1902, 1, 1);
  const auto minutes = static_cast<std::int64_t>(EncodeDate(2052, 1, 1) - first) * 1440 - 60;
  std::int64_t charts = 0;
  const long long allocationsBefore = bench::heapAllocations.load();
  for (auto _ : state) {
    for (std::int64_t m = 0; m < minutes; ++m) {
      chart.SetBirthMoment(first + static_cast<double>(m) / 1440.0);
      chart.ComputeChart();
      benchmark::DoNotOptimize(chart.grid);
    }
    charts += minutes;
  }
  const long long allocations = bench::heapAllocations.load() - allocationsBefore;
  state.counters["charts"] = static_cast<double>(charts);
  state.counters["charts_per_second"] =
      benchmark::Counter(static_cast<double>(charts), benchmark::Counter::kIsRate);
  state.counters["heap_allocations"] = static_cast<double>(allocations);
}
BENCHMARK(BM_EveryMinute)->Iterations(1)->Unit(benchmark::kSecond);

}  // namespace
}  // namespace velmora
