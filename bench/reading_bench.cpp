#include <benchmark/benchmark.h>

#include <array>
#include <cstddef>
#include <cstdint>

#include "calendar/date_time.h"
#include "chart/palace_chart.h"
#include "presentation/display_table.h"
#include "presentation/reading_writer.h"
#include "presentation/styled_text_buffer.h"

namespace velmora {
namespace {

// Births spread over the supported years and over all twelve two-hour periods, so that the
// charts and their readings differ from one iteration to the next.
constexpr std::size_t kBirths = 1024;

std::array<TDateTime, kBirths> SampleBirths() {
  std::array<TDateTime, kBirths> births{};
  const TDateTime first = EncodeDate(1902, 1, 1);
  for (std::size_t i = 0; i < kBirths; ++i) {
    const auto n = static_cast<std::int32_t>(i);
    births[i] = first + 53.0 * n + EncodeTime((n * 7) % 24, (n * 13) % 60);
  }
  return births;
}

// What one Run does for the reading: compute the chart, build the display table and write the
// whole reading into a cleared box.
void BM_ComputeBuildAndWriteReading(benchmark::State& state) {
  const auto births = SampleBirths();
  StyledTextBuffer box;
  DisplayTable table;
  std::size_t i = 0;
  for (auto _ : state) {
    box.Clear();
    PalaceChart chart;
    chart.SetBirthMoment(births[i++ % kBirths]);
    chart.ComputeChart();
    ClearDisplayTable(table);
    BuildDisplayTable(chart, table);
    WriteReading(table, box);
    benchmark::DoNotOptimize(box.Length());
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_ComputeBuildAndWriteReading);

// The reading alone, from a table already built.
void BM_WriteReading(benchmark::State& state) {
  PalaceChart chart;
  chart.SetBirthMoment(EncodeDate(2000, 2, 4) + EncodeTime(23, 0));
  chart.ComputeChart();
  DisplayTable table;
  ClearDisplayTable(table);
  BuildDisplayTable(chart, table);
  StyledTextBuffer box;
  for (auto _ : state) {
    box.Clear();
    WriteReading(table, box);
    benchmark::DoNotOptimize(box.Length());
  }
  state.counters["characters"] = static_cast<double>(box.Length());
}
BENCHMARK(BM_WriteReading);

}  // namespace
}  // namespace velmora
