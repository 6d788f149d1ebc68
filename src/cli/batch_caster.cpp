#include "cli/batch_caster.h"

#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <condition_variable>
#include <cstring>
#include <deque>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "cli/birth_input.h"

namespace velmora {

char* BatchCaster::CastLine(std::string_view line, std::int64_t number, char* out, bool& good) {
  std::string_view birthText;
  std::string_view id;
  SplitBatchLine(line, birthText, id);
  BirthInput birth;
  PlaceWords place;
  good = ReadBirthLine(birthText, birth, place, error_) &&
         corrector_.Correct(birth, place, correction_, error_);
  if (!good) return WriteError(line, number, error_, out, id);
  report_.CastChart(birth, correction_ ? &*correction_ : nullptr, corrector_.ZoneName());
  idJson_.clear();
  if (!id.empty()) AppendJsonString(id, idJson_);
  return WriteChartJson(birth, report_.Chart(), report_.Table(), JsonLayout::kOneLine, out, idJson_,
                        report_.CorrectionJson());
}

bool BatchCaster::CastLine(std::string_view line, std::int64_t number, std::string& out) {
  const std::size_t start = out.size();
  out.resize(start + kMaxAnswerBytes);
  bool good = false;
  char* end = CastLine(line, number, out.data() + start, good);
  out.resize(static_cast<std::size_t>(end - out.data()));
  return good;
}

char* BatchCaster::AnswerLine(std::string_view line, bool cut, std::int64_t number, char* out,
                              bool& good) {
  if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
  good = false;
  if (cut || line.size() > kMaxLineBytes) return RefuseLongLine(line, number, out);
  if (IsSkippedLine(line)) {
    good = true;
    return out;
  }
  return CastLine(line, number, out, good);
}

char* BatchCaster::RefuseLongLine(std::string_view start, std::int64_t number, char* out) {
  std::string shown(start.substr(0, kMaxLineBytes));
  shown += "...";
  return WriteError(shown, number,
                    "the line is too long; each line holds one birth as YYYY-MM-DD HH:MM", out);
}

char* BatchCaster::WriteError(std::string_view input, std::int64_t number, std::string_view error,
                              char* out, std::string_view id) {
  scratch_.clear();
  AppendBatchErrorJson(number, input.substr(0, kMaxLineBytes + 3), error, scratch_, id);
  std::memcpy(out, scratch_.data(), scratch_.size());
  return out + scratch_.size();
}

namespace {

constexpr std::size_t kReadBlock = 1 << 20;
constexpr std::size_t kWriteBlock = 1 << 20;
constexpr std::size_t kMemoryBlock = 1 << 14;

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
  if (writing && read) writing = lines.Finish();
  if (writing) writing = sink.Flush();
  if (!writing) {
    summary.ioFailed = true;
    summary.ioError = sink.Error();
  }
}

// --- casting on several threads ---

// A run of consecutive input lines, cast by one worker into its own answers.
struct WorkBlock {
  static constexpr std::size_t kLines = 512;

  std::string input;                // the lines' bytes, one after another
  std::vector<std::uint32_t> ends;  // where each line ends in `input`
  std::vector<char> cut;            // per line: bytes beyond what was kept were dropped
  std::int64_t firstLine = 0;       // the number of the first line
  std::vector<char> answers;
  std::size_t answerBytes = 0;
  std::int64_t badLines = 0;
  std::int64_t skipped = 0;
  bool done = false;

  void Clear() {
    input.clear();
    ends.clear();
    cut.clear();
    answerBytes = 0;
    badLines = 0;
    skipped = 0;
    done = false;
  }

  void Cast(BatchCaster& caster) {
    std::size_t start = 0;
    for (std::size_t i = 0; i < ends.size(); ++i) {
      if (answers.size() - answerBytes < BatchCaster::kMaxAnswerBytes) {
        answers.resize(std::max(2 * answers.size(), answerBytes + BatchCaster::kMaxAnswerBytes));
      }
      bool good = false;
      const std::string_view line(input.data() + start, ends[i] - start);
      char* end = caster.AnswerLine(line, cut[i] != 0, firstLine + static_cast<std::int64_t>(i),
                                    answers.data() + answerBytes, good);
      if (end == answers.data() + answerBytes) ++skipped;
      answerBytes = static_cast<std::size_t>(end - answers.data());
      if (!good) ++badLines;
      start = ends[i];
    }
  }
};

// The reader's side: it fills blocks in input order and hands them to the workers, and writes
// the answers of finished blocks in the same order. At most kBlocksPerWorker blocks per worker
// are in flight, so memory stays bounded whatever the input's size.
class WorkerPool {
 public:
  static constexpr std::size_t kBlocksPerWorker = 4;

  WorkerPool(int jobs, int out, const PlaceRequest& place, BatchSummary& summary)
      : out_(out),
        place_(place),
        summary_(summary),
        blocks_(kBlocksPerWorker * static_cast<std::size_t>(jobs)) {
    for (auto& block : blocks_) block = std::make_unique<WorkBlock>();
    for (int i = 0; i < jobs; ++i) workers_.emplace_back([this] { Work(); });
  }

  ~WorkerPool() {
    {
      const std::lock_guard lock(mutex_);
      stopping_ = true;
    }
    wake_.notify_all();
    for (std::thread& worker : workers_) worker.join();
  }

  // The line sink: adds a line to the block being filled, and hands the block on when full.
  bool Line(std::string_view line, bool cut) {
    WorkBlock& block = *blocks_[(first_ + inFlight_) % blocks_.size()];
    block.input.append(line);
    block.ends.push_back(static_cast<std::uint32_t>(block.input.size()));
    block.cut.push_back(cut ? 1 : 0);
    ++summary_.lines;
    return block.ends.size() < WorkBlock::kLines || Submit();
  }

  // Hands on the partly filled block and writes every answer due so far.
  bool Flush() {
    if (!Submit()) return false;
    while (inFlight_ > 0) {
      if (!WriteOldest()) return false;
    }
    return true;
  }

  const std::string& Error() const { return error_; }

 private:
  bool Submit() {
    WorkBlock& block = *blocks_[(first_ + inFlight_) % blocks_.size()];
    if (block.ends.empty()) return true;
    block.firstLine = summary_.lines - static_cast<std::int64_t>(block.ends.size()) + 1;
    {
      const std::lock_guard lock(mutex_);
      queue_.push_back(&block);
    }
    wake_.notify_one();
    ++inFlight_;
    // The next block to fill must be free: write the oldest when all are in flight.
    return inFlight_ < blocks_.size() || WriteOldest();
  }

  bool WriteOldest() {
    WorkBlock& block = *blocks_[first_];
    {
      std::unique_lock lock(mutex_);
      finished_.wait(lock, [&] { return block.done; });
    }
    summary_.badLines += block.badLines;
    summary_.skipped += block.skipped;
    const bool written = WriteAll(out_, block.answers.data(), block.answerBytes, error_);
    block.Clear();
    first_ = (first_ + 1) % blocks_.size();
    --inFlight_;
    return written;
  }

  void Work() {
    BatchCaster caster(place_);
    for (;;) {
      WorkBlock* block = nullptr;
      {
        std::unique_lock lock(mutex_);
        wake_.wait(lock, [&] { return stopping_ || !queue_.empty(); });
        if (queue_.empty()) return;
        block = queue_.front();
        queue_.pop_front();
      }
      block->Cast(caster);
      {
        const std::lock_guard lock(mutex_);
        block->done = true;
      }
      finished_.notify_all();
    }
  }

  int out_;
  const PlaceRequest& place_;
  BatchSummary& summary_;
  std::vector<std::unique_ptr<WorkBlock>> blocks_;  // a ring: first_ is the oldest in flight
  std::size_t first_ = 0;
  std::size_t inFlight_ = 0;
  std::string error_;

  std::mutex mutex_;
  std::condition_variable wake_;      // a block is queued, or the pool stops
  std::condition_variable finished_;  // a block is cast
  std::deque<WorkBlock*> queue_;
  bool stopping_ = false;
  std::vector<std::thread> workers_;
};

}  // namespace

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
