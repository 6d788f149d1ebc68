#include "cli/batch_caster.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <vector>

#include "cli/birth_input.h"
#include "cli/chart_json.h"

namespace velmora {

bool BatchCaster::CastLine(std::string_view line, std::int64_t number, std::string& out) {
  BirthInput birth;
  if (!ParseBirthLine(line, birth, error_)) {
    AppendBatchErrorJson(number, line, error_, out);
    return false;
  }
  chart_.SetBirthMoment(birth.Moment());
  chart_.ComputeChart();
  ClearDisplayTable(table_);
  BuildDisplayTable(chart_, table_);
  AppendChartJson(birth, chart_, table_, JsonLayout::kOneLine, out);
  return true;
}

void BatchCaster::RefuseLongLine(std::string_view start, std::int64_t number, std::string& out) {
  std::string shown(start);
  shown += "...";
  AppendBatchErrorJson(number, shown,
                       "the line is too long; each line holds one birth as YYYY-MM-DD HH:MM", out);
}

namespace {

constexpr std::size_t kReadBlock = 1 << 20;
constexpr std::size_t kWriteBlock = 1 << 20;

// Splits the input into lines and feeds them to the caster, keeping a line that runs over the
// end of one block until the next.
class LineFeeder {
 public:
  LineFeeder(BatchCaster& caster, BatchSummary& summary, std::string& out)
      : caster_(caster), summary_(summary), out_(out) {}

  void Feed(std::string_view block) {
    while (!block.empty()) {
      const std::size_t end = block.find('\n');
      if (end == std::string_view::npos) {
        Keep(block);
        return;
      }
      if (pending_.empty() && !overlong_) {
        EndLine(block.substr(0, end));  // the whole line lies in this block: no copy
      } else {
        Keep(block.substr(0, end));
        EndLine(pending_);
      }
      block.remove_prefix(end + 1);
    }
  }

  // The last line, when the input does not end with a line break.
  void Finish() {
    if (!pending_.empty() || overlong_) EndLine(pending_);
  }

 private:
  void Keep(std::string_view part) {
    const std::size_t room = BatchCaster::kMaxLineBytes - pending_.size();
    if (part.size() > room) overlong_ = true;
    pending_.append(part.substr(0, std::min(room, part.size())));
  }

  void EndLine(std::string_view line) {
    ++summary_.lines;
    bool good = false;
    if (overlong_ || line.size() > BatchCaster::kMaxLineBytes) {
      caster_.RefuseLongLine(line.substr(0, BatchCaster::kMaxLineBytes), summary_.lines, out_);
    } else {
      if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
      good = caster_.CastLine(line, summary_.lines, out_);
    }
    if (!good) ++summary_.badLines;
    pending_.clear();
    overlong_ = false;
  }

  BatchCaster& caster_;
  BatchSummary& summary_;
  std::string& out_;
  std::string pending_;
  bool overlong_ = false;
};

bool WriteOut(std::string& buffer, std::FILE* out, BatchSummary& summary) {
  if (buffer.empty()) return true;
  const std::size_t size = buffer.size();
  const std::size_t written = std::fwrite(buffer.data(), 1, size, out);
  buffer.clear();
  if (written != size) {
    summary.ioFailed = true;
    summary.ioError = std::string("cannot write the output: ") + std::strerror(errno);
    return false;
  }
  return true;
}

}  // namespace

BatchSummary RunBatch(std::FILE* in, std::FILE* out) {
  BatchSummary summary;
  BatchCaster caster;
  std::string output;
  output.reserve(kWriteBlock + 4096);
  LineFeeder feeder(caster, summary, output);
  std::vector<char> block(kReadBlock);
  const int fd = fileno(in);
  for (;;) {
    // read() rather than fread(): it returns what is there, so births typed or piped in slowly
    // are answered line by line instead of after a whole block.
    const ssize_t got = ::read(fd, block.data(), block.size());
    if (got < 0) {
      if (errno == EINTR) continue;
      summary.ioFailed = true;
      summary.ioError = std::string("cannot read the births: ") + std::strerror(errno);
      break;
    }
    if (got == 0) break;
    feeder.Feed(std::string_view(block.data(), static_cast<std::size_t>(got)));
    // A short read means the input has nothing more for now: show what is done so far.
    const bool drained = static_cast<std::size_t>(got) < block.size();
    if (output.size() >= kWriteBlock || drained) {
      if (!WriteOut(output, out, summary)) return summary;
      if (drained) std::fflush(out);
    }
  }
  feeder.Finish();
  if (WriteOut(output, out, summary) && std::fflush(out) != 0) {
    summary.ioFailed = true;
    summary.ioError = std::string("cannot write the output: ") + std::strerror(errno);
  }
  return summary;
}

}  // namespace velmora
