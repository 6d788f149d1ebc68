#include "cli/batch_stream.h"

#include <fcntl.h>
#include <limits.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <vector>

#include "cli/batch_caster.h"
#include "cli/worker_pool.h"

namespace velmora {

namespace {

// The signal that asked the batches to stop, or 0, and how many stop signals came: a second one
// ends the batch at once. Lock-free, so a signal handler may set them.
std::atomic<int> stopSignal{0};
std::atomic<int> stopsAsked{0};
static_assert(std::atomic<int>::is_always_lock_free);

// A pipe a stop signal writes one byte into, so that a batch waiting for input or for its reader
// wakes at once rather than at its next read or write; -1 until the first batch opens it.
std::atomic<int> wakeWriteEnd{-1};
int wakeReadEnd = -1;

void OpenWakePipe() {
  static const bool opened = [] {
    int ends[2];
    if (::pipe2(ends, O_CLOEXEC | O_NONBLOCK) != 0) return false;
    wakeReadEnd = ends[0];
    wakeWriteEnd.store(ends[1]);
    return true;
  }();
  (void)opened;
}

enum class Ready { kReady, kWoken, kTimedOut };

// Waits until `fd` is ready for `events`, a signal arrives, or `timeoutMs` pass (-1: no limit).
// A stop signal's byte is taken out of the wake pipe, so that only the next one wakes it again.
Ready WaitUntilReady(int fd, short events, int timeoutMs) {
  pollfd fds[2] = {{fd, events, 0}, {wakeReadEnd, POLLIN, 0}};
  const nfds_t count = wakeReadEnd >= 0 ? 2 : 1;
  const int ready = ::poll(fds, count, timeoutMs);
  if (ready < 0) return Ready::kWoken;  // EINTR: the caller looks at what the signal asked
  if (ready == 0) return Ready::kTimedOut;
  if (count == 2 && fds[1].revents != 0) {
    char bytes[16];
    while (::read(wakeReadEnd, bytes, sizeof bytes) > 0) {
    }
    return Ready::kWoken;
  }
  return Ready::kReady;
}

bool Stopped() {
  return stopSignal.load() != 0;
}

bool Abandoned() {
  return stopsAsked.load() >= 2;
}

// How long a stopped batch waits for a reader that takes none of its answers before it leaves
// them unwritten and ends.
constexpr int kStalledOutputMs = 500;

// The bytes of the whole answers at the start of `p`, at most `most` of them, or the first
// answer alone when it is longer.
std::size_t WholeAnswers(const char* p, std::size_t size, std::size_t most) {
  if (size <= most) return size;
  const void* lastEnd = ::memrchr(p, '\n', most);
  if (lastEnd != nullptr) {
    return static_cast<std::size_t>(static_cast<const char*>(lastEnd) - p) + 1;
  }
  const void* firstEnd = std::memchr(p + most, '\n', size - most);
  return firstEnd != nullptr ? static_cast<std::size_t>(static_cast<const char*>(firstEnd) - p) + 1
                             : size;
}

}  // namespace

AnswerWriter::AnswerWriter(int fd) : fd_(fd) {
  struct stat out {};
  if (::fstat(fd, &out) != 0) return;
  mayStall_ = S_ISFIFO(out.st_mode) || S_ISSOCK(out.st_mode) || ::isatty(fd) == 1;
  if (S_ISFIFO(out.st_mode)) pipeSize_ = std::max(::fcntl(fd, F_GETPIPE_SZ), 0);
}

std::size_t AnswerWriter::PieceRoom() const {
  // Into an empty pipe as much as it holds goes whole at once, without waiting; otherwise only
  // PIPE_BUF bytes are sure to go whole. The reader is behind then, and small pieces cost little.
  int queued = 0;
  if (pipeSize_ > PIPE_BUF && ::ioctl(fd_, FIONREAD, &queued) == 0 && queued == 0) {
    return static_cast<std::size_t>(pipeSize_);
  }
  return PIPE_BUF;
}

bool AnswerWriter::Write(const char* p, std::size_t size) {
  if (failed_) return Fail(error_, p, size);
  // Into a file the answers go in one write(2), which a signal does not cut short.
  std::size_t piece = mayStall_ ? 0 : size;
  bool between = true;  // nothing of the piece is written yet
  while (size > 0) {
    // Between whole answers: where a second stop signal ends the batch.
    if (between && Abandoned()) return Fail("stopped a second time", p, size);
    if (piece == 0) {
      piece = WholeAnswers(p, size, PieceRoom());
      between = true;
    }
    if (mayStall_) {
      const Ready ready = WaitUntilReady(fd_, POLLOUT, Stopped() ? kStalledOutputMs : -1);
      if (ready == Ready::kTimedOut) return Fail(kStalledOutput, p, size);
      if (ready == Ready::kWoken) continue;
    }
    const ssize_t written = ::write(fd_, p, piece);
    if (written < 0) {
      if (errno == EINTR || errno == EAGAIN) continue;
      readerGone_ = errno == EPIPE;
      return Fail(std::string("cannot write the output: ") + std::strerror(errno), p, size);
    }
    p += written;
    size -= static_cast<std::size_t>(written);
    piece -= static_cast<std::size_t>(written);
    between = piece == 0;
  }
  return true;
}

bool AnswerWriter::Fail(std::string error, const char* rest, std::size_t size) {
  failed_ = true;
  error_ = std::move(error);
  unwritten_ += static_cast<std::int64_t>(std::count(rest, rest + size, '\n'));
  return false;
}

namespace {

constexpr std::size_t kReadBlock = 1 << 20;
constexpr std::size_t kWriteBlock = 1 << 20;
constexpr std::size_t kMemoryBlock = 1 << 14;

// The output, gathered into one block and written when the block is full or the caller asks, or
// appended to a string held in memory. There is always room for one more answer at Room().
class OutputBlock {
 public:
  explicit OutputBlock(AnswerWriter& writer)
      : writer_(&writer), block_(kWriteBlock), buffer_(block_ + BatchCaster::kMaxAnswerBytes) {}
  // Into memory the block only gathers answers, so a small one serves.
  explicit OutputBlock(std::string& memory)
      : memory_(&memory), block_(kMemoryBlock), buffer_(block_ + BatchCaster::kMaxAnswerBytes) {}

  char* Room() { return buffer_.data() + used_; }

  bool Commit(const char* end) {
    used_ = static_cast<std::size_t>(end - buffer_.data());
    return used_ < block_ || Flush();
  }

  bool Flush() {
    if (memory_ != nullptr) {
      memory_->append(buffer_.data(), used_);
    } else if (!writer_->Write(buffer_.data(), used_)) {
      return false;
    }
    used_ = 0;
    return true;
  }

 private:
  AnswerWriter* writer_ = nullptr;
  std::string* memory_ = nullptr;
  std::size_t block_;
  std::vector<char> buffer_;
  std::size_t used_ = 0;
};

// The UTF-8 byte order mark some editors put at the start of a text file.
constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

// Splits the input into lines and hands each to `sink.Line(line, cut)`, keeping a line that
// runs over the end of one read until the next. A line is kept up to one byte more than a line
// may hold, so that a line of the greatest length whose closing "\r" arrives in a later read is
// told apart from a line that is too long; `cut` says that bytes beyond those were dropped. A
// byte order mark at the start of the input is no part of the first line, however the reads
// divide it.
template <typename Sink>
class LineSplitter {
 public:
  explicit LineSplitter(Sink& sink) : sink_(sink) {}

  // Returns false once the sink refuses a line (the output cannot be written, or the batch is
  // stopped).
  bool Feed(std::string_view block) {
    SkipByteOrderMark(block);
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
  bool Finish() {
    KeepMarkStart();
    return pending_.empty() && !cut_ ? true : EndPending();
  }

 private:
  // Drops the bytes of a byte order mark at the start of the input as they arrive; once a byte
  // differs, those matched so far were the start of the first line.
  void SkipByteOrderMark(std::string_view& block) {
    while (markSeen_ < kByteOrderMark.size() && !block.empty()) {
      if (block.front() != kByteOrderMark[markSeen_]) {
        KeepMarkStart();
        return;
      }
      ++markSeen_;
      block.remove_prefix(1);
    }
  }

  // The bytes of a byte order mark matched so far, when they turn out to be none: they start the
  // first line.
  void KeepMarkStart() {
    if (markSeen_ < kByteOrderMark.size()) {
      Keep(kByteOrderMark.substr(0, markSeen_));
      markSeen_ = kByteOrderMark.size();
    }
  }

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
  std::size_t markSeen_ = 0;  // bytes of a byte order mark matched at the input's start
};

// Answers each line at once, into one output block: the batch on one thread.
class DirectSink {
 public:
  DirectSink(BatchSummary& summary, OutputBlock& out, const PlaceRequest& place = {})
      : caster_(place), summary_(summary), out_(out) {}

  // Writes every answer due so far.
  bool Flush() { return out_.Flush(); }

  // Answers the line, unless the batch is stopped: then it takes no more.
  bool Line(std::string_view line, bool cut) {
    if (Stopped()) return false;
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

// Reads `fd` until its end or a stop, handing what arrives to `feed` (which returns false to
// stop) and calling `paused` whenever the input has nothing more for now, so that births typed or
// piped in slowly are answered as they come. Returns false after a failed read, with the reason.
template <typename Feed, typename Paused>
bool ReadInput(int fd, Feed&& feed, Paused&& paused, BatchSummary& summary) {
  std::vector<char> block(kReadBlock);
  for (;;) {
    // Waiting for input, the batch wakes as a stop signal comes.
    if (Stopped() || WaitUntilReady(fd, POLLIN, -1) != Ready::kReady) {
      if (Stopped()) return true;
      continue;
    }
    // read(2) rather than fread(): it returns what is there, so input that comes slowly is
    // answered line by line instead of after a whole block.
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

// Answers the whole of `in` through `sink`, one DirectSink or WorkerPool writing through
// `writer`, into `summary`. A stopped batch still writes the answers it has.
template <typename Sink>
void Answer(int in, Sink& sink, const AnswerWriter& writer, BatchSummary& summary) {
  LineSplitter<Sink> lines(sink);
  bool taking = true;
  const bool read = ReadInput(
      in, [&](std::string_view bytes) { return taking = lines.Feed(bytes); },
      [&] { return taking = sink.Flush(); }, summary);
  // A stopped batch leaves a line it has only part of unanswered.
  if (taking && read && !Stopped()) lines.Finish();
  if (!writer.Failed()) sink.Flush();
  summary.stopped = Stopped();
  summary.unwritten = writer.Unwritten();
  if (writer.Failed()) {
    summary.ioFailed = true;
    summary.readerGone = writer.ReaderGone();
    summary.ioError = writer.Error();
  }
}

}  // namespace

void StopBatches(int signal) {
  int none = 0;
  stopSignal.compare_exchange_strong(none, signal);
  stopsAsked.fetch_add(1);
  const int wake = wakeWriteEnd.load();
  if (wake >= 0) {
    const int saved = errno;  // the interrupted code may be about to read it
    [[maybe_unused]] const ssize_t written = ::write(wake, "", 1);
    errno = saved;
  }
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
  OpenWakePipe();
  BatchSummary summary;
  AnswerWriter writer(fileno(out));
  if (jobs <= 1) {
    OutputBlock output(writer);
    DirectSink sink(summary, output, place);
    Answer(fileno(in), sink, writer, summary);
  } else {
    WorkerPool pool(jobs, writer, place, summary);
    Answer(fileno(in), pool, writer, summary);
  }
  return summary;
}

}  // namespace velmora
