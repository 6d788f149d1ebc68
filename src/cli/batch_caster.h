#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

#include "chart/palace_chart.h"
#include "presentation/display_table.h"

namespace velmora {

// Casts births one line at a time into JSON Lines, reusing one chart and one display table, so
// that a line costs no allocation once the output buffer has grown.
class BatchCaster {
 public:
  // A line longer than this cannot be a birth; only its beginning is kept to show in the error.
  static constexpr std::size_t kMaxLineBytes = 200;

  // Appends the chart of `line` (numbered from 1), or an error object in its place, as one
  // JSON line. Returns whether the line was a good birth.
  bool CastLine(std::string_view line, std::int64_t number, std::string& out);
  // The error object for a line that was cut short at kMaxLineBytes.
  void RefuseLongLine(std::string_view start, std::int64_t number, std::string& out);

 private:
  PalaceChart chart_;
  DisplayTable table_;
  std::string error_;
};

struct BatchSummary {
  std::int64_t lines = 0;
  std::int64_t badLines = 0;
  // Set when reading or writing failed; `ioError` then says what happened.
  bool ioFailed = false;
  std::string ioError;
};

// Reads births from `in` until its end and writes one JSON line per input line to `out`, in
// input order. A line ends at "\n"; a "\r" before it is dropped, so files with Windows line
// ends read the same; a last line without a line break still counts. Output goes out in large
// blocks.
BatchSummary RunBatch(std::FILE* in, std::FILE* out);

}  // namespace velmora
