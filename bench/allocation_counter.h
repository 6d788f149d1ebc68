#pragma once

// Every global heap allocation of a benchmark program that links allocation_counter.cpp is
// counted here, so that a benchmark can show that a computation allocates nothing.
#include <atomic>

namespace velmora::bench {
extern std::atomic<long long> heapAllocations;
}  // namespace velmora::bench
