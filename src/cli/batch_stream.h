#pragma once

#include <cstdint>
#include <cstdio>
#include <span>
#include <string>
#include <string_view>

#include "casting/birth_place.h"

namespace velmora {

struct BatchSummary {
  std::int64_t lines = 0;  // the lines answered, from the first on, blank ones and comments too
  std::int64_t badLines = 0;
  std::int64_t skipped = 0;  // blank lines and comments, which get no answer
  // Set when reading or writing failed; `ioError` then says what happened, and `readFailed`
  // which of the two it was. `readerGone` tells a reader that closed its end of the pipe, which
  // is no news to the user who closed it.
  bool ioFailed = false;
  bool readFailed = false;
  bool readerGone = false;
  std::string ioError;
  // Answers that were cast but never written, when the output failed or took nothing after a
  // stop.
  std::int64_t unwritten = 0;
  // Set when StopBatches stopped the batch, before the end of its input or after.
  bool stopped = false;
};

// The error of a stopped batch whose reader took none of its answers for half a second.
inline constexpr const char* kStalledOutput = "the output took nothing for half a second";

// Writes a batch's answers to the file descriptor `fd` with write(2). Into an output that may
// stall, a pipe, a socket or a terminal, it writes pieces of whole answers, each once the output
// has room for it, of at most PIPE_BUF bytes or, into an empty pipe, as many as the pipe holds:
// such a piece goes into the pipe whole or not at all, so that a batch ended between pieces
// never leaves half an answer, and a stop signal wakes a batch waiting for a reader at once. After
// a stop a reader that takes nothing for half a second gets no more; after a second stop nothing
// more is written.
class AnswerWriter {
 public:
  explicit AnswerWriter(int fd);

  // Writes all of `size` bytes of whole answers; false once writing failed, with the reason in
  // Error(). After a failure nothing more is written and the answers given are counted in
  // Unwritten().
  bool Write(const char* p, std::size_t size);

  bool Failed() const { return failed_; }
  const std::string& Error() const { return error_; }
  bool ReaderGone() const { return readerGone_; }
  std::int64_t Unwritten() const { return unwritten_; }

 private:
  bool Fail(std::string error, const char* rest, std::size_t size);
  // The most bytes of the next piece for an output that may stall.
  std::size_t PieceRoom() const;

  int fd_;
  bool mayStall_ = false;
  int pipeSize_ = 0;  // the pipe's capacity, for a pipe
  bool failed_ = false;
  bool readerGone_ = false;
  std::string error_;
  std::int64_t unwritten_ = 0;
};

// Asks a running batch to stop taking lines: it answers the line it is casting, writes every
// answer it has whole, and returns with `stopped` set. A second call ends the writing too, between
// two answers. Safe to call from a signal handler; `signal` is the signal that asks, given back by
// BatchStopSignal().
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

}  // namespace velmora
