// Bulk casting with velmora-cli: a million births, one per line, cast to JSON Lines written to
// /dev/null. The births are made here, spread at random over every supported minute, into a
// file that lives only while the benchmark runs.
//
//   build/<dir>/bench/cli_bench
//
// BM_CliBatchExecutable/N/P runs the real program (start-up included) as a user would, on N
// workers:
//   velmora-cli --batch births.txt --jobs N > /dev/null
// with a birth place on every line by P: 0 none, 1 one zone and longitude, 2 eight zones and
// longitudes in turn, 3 eight cities in turn. The clocks of those places skip or repeat a few
// of the times, so the lines naming a place are allowed to hold refused births.
// BM_CliBatchInProcess runs the same batch loop inside this program, and counts its heap
// allocations per line.
#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <random>
#include <string>

#include "allocation_counter.h"
#include "calendar/birth_calendar.h"
#include "casting/birth_input.h"
#include "cli/batch_stream.h"

extern char** environ;

namespace velmora {
namespace {

constexpr std::int64_t kBirths = 1'000'000;

// What each line of a file of births names after its time.
enum PlaceKind : int { kNoPlace, kOneZone, kEightZones, kEightCities };

constexpr std::array<const char*, 8> kZonePlaces = {
    " Asia/Shanghai 116.4",        " Europe/London -0.13",    " America/New_York -74.0",
    " Asia/Kolkata 77.2",          " Australia/Sydney 151.2", " Europe/Berlin 13.4",
    " America/Los_Angeles -118.2", " Asia/Tokyo 139.7"};
constexpr std::array<const char*, 8> kCityPlaces = {" Beijing",     " London",     " New York, US",
                                                    " Delhi",       " Sydney, AU", " Berlin",
                                                    " Los Angeles", " Tokyo"};

const char* PlaceOfLine(PlaceKind kind, std::int64_t line) {
  switch (kind) {
    case kNoPlace:
      return "";
    case kOneZone:
      return kZonePlaces[0];
    case kEightZones:
      return kZonePlaces[static_cast<std::size_t>(line) % kZonePlaces.size()];
    case kEightCities:
      return kCityPlaces[static_cast<std::size_t>(line) % kCityPlaces.size()];
  }
  return "";
}

// A file of births, written on first use and removed at exit.
class BirthFile {
 public:
  explicit BirthFile(PlaceKind kind) {
    char pattern[] = "/tmp/velmora-births-XXXXXX";
    const int fd = ::mkstemp(pattern);
    if (fd < 0) std::abort();
    path_ = pattern;
    std::FILE* file = ::fdopen(fd, "w");
    const auto first = static_cast<std::int64_t>(kFirstSupportedBirth * 1440.0 + 0.5);
    const auto end = static_cast<std::int64_t>(kEndOfSupportedBirths * 1440.0 + 0.5);
    std::mt19937_64 random(20000204);
    std::uniform_int_distribution<std::int64_t> minute(first, end - 1);
    std::string line;
    for (std::int64_t i = 0; i < kBirths; ++i) {
      const std::int64_t m = minute(random);
      const std::int64_t day = m / 1440;
      BirthInput birth;
      birth.date = CivilFromDays(day + kDelphiEpochDays);
      birth.hour = static_cast<std::int32_t>(m % 1440 / 60);
      birth.minute = static_cast<std::int32_t>(m % 60);
      line = IsoDate(birth.date) + ' ' + ClockTime(birth.hour, birth.minute) +
             PlaceOfLine(kind, i) + '\n';
      std::fwrite(line.data(), 1, line.size(), file);
    }
    std::fclose(file);
  }
  ~BirthFile() { ::unlink(path_.c_str()); }
  const std::string& Path() const { return path_; }

 private:
  std::string path_;
};

const BirthFile& Births(PlaceKind kind = kNoPlace) {
  static std::array<std::unique_ptr<BirthFile>, 4> births;
  std::unique_ptr<BirthFile>& file = births[static_cast<std::size_t>(kind)];
  if (!file) file = std::make_unique<BirthFile>(kind);
  return *file;
}

void BM_CliBatchExecutable(benchmark::State& state) {
  const auto kind = static_cast<PlaceKind>(state.range(1));
  const std::string& path = Births(kind).Path();
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
  // The count of refused lines a batch with a place ends with.
  posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
  std::string program = VELMORA_CLI_PATH;
  std::string option = "--batch";
  std::string file = path;
  std::string jobsOption = "--jobs";
  std::string jobs = std::to_string(state.range(0));
  char* argv[] = {program.data(),    option.data(), file.data(),
                  jobsOption.data(), jobs.data(),   nullptr};
  for (auto _ : state) {
    pid_t child = 0;
    if (posix_spawn(&child, program.c_str(), &actions, nullptr, argv, environ) != 0) {
      state.SkipWithError("velmora-cli could not be started");
      break;
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    const int refusedLines = kind == kNoPlace ? 0 : 1;  // the exit status of a batch with some
    if (!WIFEXITED(status) || WEXITSTATUS(status) > refusedLines) {
      state.SkipWithError("velmora-cli did not cast every birth");
      break;
    }
  }
  posix_spawn_file_actions_destroy(&actions);
  state.SetItemsProcessed(state.iterations() * kBirths);
  state.counters["charts_per_second"] = benchmark::Counter(
      static_cast<double>(state.iterations() * kBirths), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_CliBatchExecutable)
    ->Args({1, kNoPlace})
    ->Args({2, kNoPlace})
    ->Args({1, kOneZone})
    ->Args({1, kEightZones})
    ->Args({1, kEightCities})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(3);

void BM_CliBatchInProcess(benchmark::State& state) {
  const std::string& path = Births().Path();
  long long allocations = 0;
  for (auto _ : state) {
    std::FILE* in = std::fopen(path.c_str(), "rb");
    std::FILE* out = std::fopen("/dev/null", "wb");
    const long long before = bench::heapAllocations.load();
    const BatchSummary summary = RunBatch(in, out);
    allocations += bench::heapAllocations.load() - before;
    std::fclose(in);
    std::fclose(out);
    if (summary.lines != kBirths || summary.badLines != 0 || summary.ioFailed) {
      state.SkipWithError("the batch did not cast every birth");
      break;
    }
  }
  state.SetItemsProcessed(state.iterations() * kBirths);
  state.counters["charts_per_second"] = benchmark::Counter(
      static_cast<double>(state.iterations() * kBirths), benchmark::Counter::kIsRate);
  // A handful per batch (the buffers), none per line.
  state.counters["heap_allocations_per_batch"] =
      static_cast<double>(allocations) / static_cast<double>(state.iterations());
}
BENCHMARK(BM_CliBatchInProcess)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

}  // namespace
}  // namespace velmora
