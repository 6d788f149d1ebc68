#include "cli/worker_pool.h"

#include <algorithm>

#include "cli/batch_caster.h"

namespace velmora {

// A run of consecutive input lines, cast by one worker into its own answers.
struct WorkBlock {
  static constexpr std::size_t kLines = 512;

  std::string input;                // the lines' bytes, one after another
  std::vector<std::uint32_t> ends;  // where each line ends in `input`
  std::vector<char> cut;            // per line: bytes beyond what was kept were dropped
  std::int64_t firstLine = 0;       // the number of the first line
  std::vector<char> answers;
  std::size_t answerBytes = 0;
  std::int64_t answered = 0;  // the lines answered, all of them unless the batch was stopped
  std::int64_t badLines = 0;
  std::int64_t skipped = 0;
  bool done = false;

  void Clear() {
    input.clear();
    ends.clear();
    cut.clear();
    answerBytes = 0;
    answered = 0;
    badLines = 0;
    skipped = 0;
    done = false;
  }

  // Answers the lines in turn until `stop` says to stop.
  template <typename Stop>
  void Cast(BatchCaster& caster, Stop&& stop) {
    std::size_t start = 0;
    for (std::size_t i = 0; i < ends.size(); ++i) {
      if (stop()) break;
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
      ++answered;
    }
  }

  bool CutShort() const { return answered < static_cast<std::int64_t>(ends.size()); }
};

WorkerPool::WorkerPool(int jobs, AnswerWriter& out, const PlaceRequest& place,
                       BatchSummary& summary)
    : out_(out),
      place_(place),
      summary_(summary),
      blocks_(kBlocksPerWorker * static_cast<std::size_t>(jobs)) {
  for (auto& block : blocks_) block = std::make_unique<WorkBlock>();
  for (int i = 0; i < jobs; ++i) workers_.emplace_back([this] { Work(); });
}

WorkerPool::~WorkerPool() {
  ending_.store(true);
  {
    const std::lock_guard lock(mutex_);
    stopping_ = true;
  }
  wake_.notify_all();
  for (std::thread& worker : workers_) worker.join();
}

bool WorkerPool::Line(std::string_view line, bool cut) {
  if (BatchStopSignal() != 0) return false;
  WorkBlock& block = *blocks_[(first_ + inFlight_) % blocks_.size()];
  block.input.append(line);
  block.ends.push_back(static_cast<std::uint32_t>(block.input.size()));
  block.cut.push_back(cut ? 1 : 0);
  ++linesRead_;
  return block.ends.size() < WorkBlock::kLines || Submit();
}

bool WorkerPool::Flush() {
  if (!Submit()) return false;
  while (inFlight_ > 0) {
    if (!WriteOldest()) return false;
  }
  return true;
}

bool WorkerPool::Submit() {
  WorkBlock& block = *blocks_[(first_ + inFlight_) % blocks_.size()];
  if (block.ends.empty()) return true;
  block.firstLine = linesRead_ - static_cast<std::int64_t>(block.ends.size()) + 1;
  {
    const std::lock_guard lock(mutex_);
    queue_.push_back(&block);
  }
  wake_.notify_one();
  ++inFlight_;
  // The next block to fill must be free: write the oldest when all are in flight.
  return inFlight_ < blocks_.size() || WriteOldest();
}

bool WorkerPool::WriteOldest() {
  WorkBlock& block = *blocks_[first_];
  {
    std::unique_lock lock(mutex_);
    finished_.wait(lock, [&] { return block.done; });
  }
  // After a line left unanswered, the answers that follow it would be out of order.
  bool written = true;
  if (!cutShort_) {
    summary_.lines += block.answered;
    summary_.badLines += block.badLines;
    summary_.skipped += block.skipped;
    written = out_.Write(block.answers.data(), block.answerBytes);
    cutShort_ = block.CutShort();
  }
  block.Clear();
  first_ = (first_ + 1) % blocks_.size();
  --inFlight_;
  return written;
}

void WorkerPool::Work() {
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
    block->Cast(caster, [this] { return ending_.load() || BatchStopSignal() != 0; });
    {
      const std::lock_guard lock(mutex_);
      block->done = true;
    }
    finished_.notify_all();
  }
}

}  // namespace velmora
