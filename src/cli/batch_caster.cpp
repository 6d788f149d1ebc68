#include "cli/batch_caster.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <vector>

#include "cli/birth_input.h"

namespace velmora {

char* BatchCaster::CastLine(std::string_view line, std::int64_t number, char* out, bool& good) {
  BirthInput birth;
  good = ParseBirthLine(line, birth, error_);
  if (!good) return WriteError(line, number, error_, out);
  chart_.SetBirthMoment(birth.Moment());
  chart_.ComputeChart();
  ClearDisplayTable(table_);
  BuildDisplayTable(chart_, table_);
  return WriteChartJson(birth, chart_, table_, JsonLayout::kOneLine, out);
}

bool BatchCaster::CastLine(std::string_view line, std::int64_t number, std::string& out) {
  const std::size_t start = out.size();
  out.resize(start + kMaxAnswerBytes);
  bool good = false;
  char* end = CastLine(line, number, out.data() + start, good);
  out.resize(static_cast<std::size_t>(end - out.data()));
  return good;
}

char* BatchCaster::RefuseLongLine(std::string_view start, std::int64_t number, char* out) {
  std::string shown(start.substr(0, kMaxLineBytes));
  shown += "...";
  return WriteError(shown, number,
                    "the line is too long; each line holds one birth as YYYY-MM-DD HH:MM", out);
}

char* BatchCaster::WriteError(std::string_view input, std::int64_t number, std::string_view error,
                              char* out) {
  scratch_.clear();
  AppendBatchErrorJson(number, input.substr(0, kMaxLineBytes + 3), error, scratch_);
  std::memcpy(out, scratch_.data(), scratch_.size());
  return out + scratch_.size();
}

namespace {

constexpr std::size_t kReadBlock = 1 << 20;
constexpr std::size_t kWriteBlock = 1 << 20;
constexpr std::size_t kMemoryBlock = 1 << 14;

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
      used_ = 0;
      return true;
    }
    const char* p = buffer_.data();
    std::size_t left = used_;
    while (left > 0) {
      const ssize_t written = ::write(fd_, p, left);
      if (written < 0) {
        if (errno == EINTR) continue;
        error_ = std::string("cannot write the output: ") + std::strerror(errno);
        return false;
      }
      p += written;
      left -= static_cast<std::size_t>(written);
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

// Splits the input into lines and answers each, keeping a line that runs over the end of one
// block until the next.
class LineFeeder {
 public:
  LineFeeder(BatchCaster& caster, BatchSummary& summary, OutputBlock& out)
      : caster_(caster), summary_(summary), out_(out) {}

  // Returns false once the output cannot be written.
  bool Feed(std::string_view block) {
    while (!block.empty()) {
      const std::size_t end = block.find('\n');
      if (end == std::string_view::npos) {
        Keep(block);
        return true;
      }
      bool written = false;
      if (pending_.empty() && !overlong_) {
        written = EndLine(block.substr(0, end));  // the whole line lies in this block: no copy
      } else {
        Keep(block.substr(0, end));
        written = EndLine(pending_);
      }
      if (!written) return false;
      block.remove_prefix(end + 1);
    }
    return true;
  }

  // The last line, when the input does not end with a line break.
  bool Finish() { return pending_.empty() && !overlong_ ? true : EndLine(pending_); }

 private:
  // Keeps up to one byte more than a line may hold, so that a line of the greatest length whose
  // closing "\r" arrives in a later read is told apart from a line that is too long.
  void Keep(std::string_view part) {
    const std::size_t room = BatchCaster::kMaxLineBytes + 1 - pending_.size();
    if (part.size() > room) overlong_ = true;
    pending_.append(part.substr(0, std::min(room, part.size())));
  }

  bool EndLine(std::string_view line) {
    ++summary_.lines;
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    bool good = false;
    char* end = nullptr;
    if (overlong_ || line.size() > BatchCaster::kMaxLineBytes) {
      end = caster_.RefuseLongLine(line, summary_.lines, out_.Room());
    } else {
      end = caster_.CastLine(line, summary_.lines, out_.Room(), good);
    }
    if (!good) ++summary_.badLines;
    pending_.clear();
    overlong_ = false;
    return out_.Commit(end);
  }

  BatchCaster& caster_;
  BatchSummary& summary_;
  OutputBlock& out_;
  std::string pending_;
  bool overlong_ = false;
};

}  // namespace

BatchSummary RunBatchPieces(std::span<const std::string_view> pieces, std::string& out) {
  BatchSummary summary;
  OutputBlock output(out);
  BatchCaster caster;
  LineFeeder feeder(caster, summary, output);
  for (const std::string_view piece : pieces) feeder.Feed(piece);
  feeder.Finish();
  output.Flush();
  return summary;
}

BatchSummary RunBatch(std::FILE* in, std::FILE* out) {
  BatchSummary summary;
  std::fflush(out);  // whatever went out through the stream before comes first
  OutputBlock output(fileno(out));
  BatchCaster caster;
  LineFeeder feeder(caster, summary, output);
  std::vector<char> block(kReadBlock);
  const int fd = fileno(in);
  bool writing = true;
  for (;;) {
    // read(2) rather than fread(): it returns what is there, so input that comes slowly is
    // answered line by line instead of after a whole block.
    const ssize_t got = ::read(fd, block.data(), block.size());
    if (got < 0) {
      if (errno == EINTR) continue;
      summary.ioFailed = true;
      summary.readFailed = true;
      summary.ioError = std::string("cannot read the births: ") + std::strerror(errno);
      break;
    }
    if (got == 0) break;
    writing = feeder.Feed(std::string_view(block.data(), static_cast<std::size_t>(got)));
    // A short read means the input has nothing more for now: show what is done so far.
    if (writing && static_cast<std::size_t>(got) < block.size()) writing = output.Flush();
    if (!writing) break;
  }
  if (writing && !summary.ioFailed) writing = feeder.Finish();
  if (writing) writing = output.Flush();
  if (!writing) {
    summary.ioFailed = true;
    summary.ioError = output.Error();
  }
  return summary;
}

}  // namespace velmora
