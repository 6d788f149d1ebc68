#pragma once

#include <cstdint>
#include <cstdio>
#include <span>
#include <string>
#include <string_view>

#include "casting/birth_place.h"

namespace velmora {

struct BatchSummary {
  std::int64_t lines = 0;
  std::int64_t badLines = 0;
  std::int64_t skipped = 0;  // blank lines and comments, which get no answer
  // Set when reading or writing failed; `ioError` then says what happened, and `readFailed`
  // which of the two it was.
  bool ioFailed = false;
  bool readFailed = false;
  std::string ioError;
  // Set when StopBatches stopped the batch before the end of its input.
  bool stopped = false;
};

// Asks a running batch to stop taking lines: it answers the lines it has read whole, writes
// every answer, and returns with `stopped` set. Safe to call from a signal handler; `signal` is
// the signal that asks, given back by BatchStopSignal().
void StopBatches(int signal);
int BatchStopSignal();

// Reads births from `in` until its end and writes one JSON line per input line to `out`, in
// input order. A line ends at "\n"; a "\r" before it is dropped, so files with Windows line
// ends read the same; a last line without a line break still counts. Output goes out in blocks,
// and whenever the input pauses, so that births typed or piped in slowly are answered as they
// come. With `jobs` above 1, that many workers cast blocks of lines side by side, each with its
// own chart and display table; the answers are the same, byte for byte, as on one thread.
// Each line is corrected for the birth place `place` names, unless it names its own.
BatchSummary RunBatch(std::FILE* in, std::FILE* out, int jobs = 1, const PlaceRequest& place = {});

// The same for input held in memory, given in `pieces` as successive reads would deliver it;
// the answers are appended to `out`. The answers depend on the bytes alone, never on where one
// piece ends and the next begins.
BatchSummary RunBatchPieces(std::span<const std::string_view> pieces, std::string& out);

// Writes all of `size` bytes to the file descriptor `fd` with write(2); on failure says why in
// `error`.
bool WriteAll(int fd, const char* p, std::size_t size, std::string& error);

}  // namespace velmora
