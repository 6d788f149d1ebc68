#pragma once

#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "casting/birth_place.h"
#include "cli/batch_stream.h"

namespace velmora {

struct WorkBlock;

// A batch cast on several threads. The reader's side fills blocks of lines in input order and
// hands them to the workers, each with its own line caster, and writes the answers of finished
// blocks in the same order. At most kBlocksPerWorker blocks per worker are in flight, so memory
// stays bounded whatever the input's size.
class WorkerPool {
 public:
  static constexpr std::size_t kBlocksPerWorker = 4;

  // `jobs` workers, writing through `out`, lines corrected for `place` unless they name their
  // own, the counts of the lines answered kept in `summary`.
  WorkerPool(int jobs, AnswerWriter& out, const PlaceRequest& place, BatchSummary& summary);
  // Stops the workers, each after the line it is casting.
  ~WorkerPool();

  // The line sink: adds a line to the block being filled, and hands the block on when full.
  // False once the output cannot be written or the batch is stopped.
  bool Line(std::string_view line, bool cut);
  // Hands on the partly filled block and writes every answer due so far. A batch stopped in the
  // middle of a block writes the answers before the first line left unanswered, and no more.
  bool Flush();

 private:
  bool Submit();
  bool WriteOldest();
  void Work();

  AnswerWriter& out_;
  const PlaceRequest& place_;
  BatchSummary& summary_;
  std::vector<std::unique_ptr<WorkBlock>> blocks_;  // a ring: first_ is the oldest in flight
  std::size_t first_ = 0;
  std::size_t inFlight_ = 0;
  std::int64_t linesRead_ = 0;
  bool cutShort_ = false;  // a stop left a line unanswered: the answers after it are not written
  std::atomic<bool> ending_{false};  // the pool is going: workers stop after their line

  std::mutex mutex_;
  std::condition_variable wake_;      // a block is queued, or the pool stops
  std::condition_variable finished_;  // a block is cast
  std::deque<WorkBlock*> queue_;
  bool stopping_ = false;
  std::vector<std::thread> workers_;
};

}  // namespace velmora
