#include "cli/batch_stream.h"

#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <vector>

#include "cli/batch_caster.h"
#include "cli/worker_pool.h"

namespace velmora {

// Writes all of `size` bytes with write(2); on failure says why in `error`.
bool WriteAll(int fd, const char* p, std::size_t size, std::string& error) {
  while (size > 0) {
    const ssize_t written = ::write(fd, p, size);
    if (written < 0) {
      if (errno == EINTR) continue;
      error = std::string("cannot write the output: ") + std::strerror(errno);
      return false;
    }
    p += written;
    size -= static_cast<std::size_t>(written);
  }
  return true;
}

// The output, gathered into one block and written with write(2) when the block is full or the

namespace {

// The signal that asked the batches to stop, or 0. Lock-free, so a signal handler may set it.
std::atomic<int> stopSignal{0};
static_assert(std::atomic<int>::is_always_lock_free);

constexpr std::size_t kReadBlock = 1 << 20;
constexpr std::size_t kWriteBlock = 1 << 20;
constexpr std::size_t kMemoryBlock = 1 << 14;

// caller asks, or appended to a string held in memory. There is always room for one more answer
// at Room().
class OutputBlock {
 public:
  explicit OutputBlock(int fd, std::size_t block = kWriteBlock)
      : fd_(fd), block_(block), buffer_(block + BatchCaster::kMaxAnswerBytes) {}
  // Into memory the block only gathers answers, so a small one serves.
  explicit OutputBlock(std::string& memory) : OutputBlock(-1, kMemoryBlock) { memory_ = &memory; }

  char* Room() { return buffer_.data() + used_; }

  bool Commit(const char* end) {
    used_ = static_cast<std::size_t>(end - buffer_.data());
    return used_ < block_ || Flush();
  }

  bool Flush() {
    if (memory_ != nullptr) {
      memory_->append(buffer_.data(), used_);
    } else if (!WriteAll(fd_, buffer_.data(), used_, error_)) {
      return false;
    }
    used_ = 0;
    return true;
  }

  const std::string& Error() const { return error_; }

 private:
  int fd_;
  std::size_t block_;
  std::string* memory_ = nullptr;
  std::vector<char> buffer_;
  std::size_t used_ = 0;
  std::string error_;
};

// Splits the input into lines and hands each to `sink.Line(line, cut)`, keeping a line that
// runs over the end of one read until the next. A line is kept up to one byte more than a line
// may hold, so that a line of the greatest length whose closing "\r" arrives in a later read is
// told apart from a line that is too long; `cut` says that bytes beyond those were dropped.
template <typename Sink>
class LineSplitter {
 public:
  explicit LineSplitter(Sink& sink) : sink_(sink) {}

  // Returns false once the sink refuses a line (the output cannot be written).
  bool Feed(std::string_view block) {
    while (!block.empty()) {
      const std::size_t end = block.find('\n');
      if (end == std::string_view::npos) {
        Keep(block);
        return true;
      }
      bool taken = false;
      if (pending_.empty() && !cut_) {
        taken = sink_.Line(block.substr(0, end), false);  // the whole line is here: no copy
      } else {
        Keep(block.substr(0, end));
        taken = EndPending();
      }
      if (!taken) return false;
      block.remove_prefix(end + 1);
    }
    return true;
  }

  // The last line, when the input does not end with a line break.
  bool Finish() { return pending_.empty() && !cut_ ? true : EndPending(); }

 private:
  void Keep(std::string_view part) {
    const std::size_t room = BatchCaster::kMaxLineBytes + 1 - pending_.size();
    if (part.size() > room) cut_ = true;
    pending_.append(part.substr(0, std::min(room, part.size())));
  }

  bool EndPending() {
    const bool taken = sink_.Line(pending_, cut_);
    pending_.clear();
    cut_ = false;
    return taken;
  }

  Sink& sink_;
  std::string pending_;
  bool cut_ = false;
};

// Answers each line at once, into one output block: the batch on one thread.
class DirectSink {
 public:
  DirectSink(BatchSummary& summary, OutputBlock& out, const PlaceRequest& place = {})
      : caster_(place), summary_(summary), out_(out) {}

  // Writes every answer due so far.
  bool Flush() { return out_.Flush(); }
  const std::string& Error() const { return out_.Error(); }

  bool Line(std::string_view line, bool cut) {
    bool good = false;
    char* end = caster_.AnswerLine(line, cut, ++summary_.lines, out_.Room(), good);
    if (!good) ++summary_.badLines;
    if (end == out_.Room()) ++summary_.skipped;
    return out_.Commit(end);
  }

 private:
  BatchCaster caster_;
  BatchSummary& summary_;
  OutputBlock& out_;
};

// Reads `fd` until its end, handing what arrives to `feed` (which returns false to stop) and
// calling `paused` whenever the input has nothing more for now, so that births typed or piped
// in slowly are answered as they come. Returns false after a failed read, with the reason.
template <typename Feed, typename Paused>
bool ReadInput(int fd, Feed&& feed, Paused&& paused, BatchSummary& summary) {
  std::vector<char> block(kReadBlock);
  for (;;) {
    // read(2) rather than fread(): it returns what is there, so input that comes slowly is
    // answered line by line instead of after a whole block.
    if (BatchStopSignal() != 0) {
      summary.stopped = true;
      return true;
    }
    const ssize_t got = ::read(fd, block.data(), block.size());
    if (got < 0) {
      if (errno == EINTR) continue;
      summary.ioFailed = true;
      summary.readFailed = true;
      summary.ioError = std::string("cannot read the births: ") + std::strerror(errno);
      return false;
    }
    if (got == 0) return true;
    if (!feed(std::string_view(block.data(), static_cast<std::size_t>(got)))) return true;
    // A short read on input with nothing more waiting means the input has paused.
    pollfd more{fd, POLLIN, 0};
    if (static_cast<std::size_t>(got) < block.size() && ::poll(&more, 1, 0) == 0 && !paused()) {
      return true;
    }
  }
}

// Answers the whole of `in` through `sink`, one DirectSink or WorkerPool, into `summary`.
template <typename Sink>
void Answer(int in, Sink& sink, BatchSummary& summary) {
  LineSplitter<Sink> lines(sink);
  bool writing = true;
  const bool read = ReadInput(
      in, [&](std::string_view bytes) { return writing = lines.Feed(bytes); },
      [&] { return writing = sink.Flush(); }, summary);
  // A stopped batch leaves a line it has only part of unanswered.
  if (writing && read && !summary.stopped) writing = lines.Finish();
  if (writing) writing = sink.Flush();
  if (!writing) {
    summary.ioFailed = true;
    summary.ioError = sink.Error();
  }
}

}  // namespace

void StopBatches(int signal) {
  stopSignal.store(signal);
}

int BatchStopSignal() {
  return stopSignal.load();
}

BatchSummary RunBatchPieces(std::span<const std::string_view> pieces, std::string& out) {
  BatchSummary summary;
  OutputBlock output(out);
  DirectSink sink(summary, output);
  LineSplitter<DirectSink> lines(sink);
  for (const std::string_view piece : pieces) lines.Feed(piece);
  lines.Finish();
  output.Flush();
  return summary;
}

BatchSummary RunBatch(std::FILE* in, std::FILE* out, int jobs, const PlaceRequest& place) {
  std::fflush(out);  // whatever went out through the stream before comes first
  BatchSummary summary;
  if (jobs <= 1) {
    OutputBlock output(fileno(out));
    DirectSink sink(summary, output, place);
    Answer(fileno(in), sink, summary);
  } else {
    WorkerPool pool(jobs, fileno(out), place, summary);
    Answer(fileno(in), pool, summary);
  }
  return summary;
}

}  // namespace velmora
