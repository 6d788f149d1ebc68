#include "allocation_counter.h"

#include <cstddef>
#include <cstdlib>
#include <new>

namespace velmora::bench {
std::atomic<long long> heapAllocations{0};
}  // namespace velmora::bench

void* operator new(std::size_t size) {
  velmora::bench::heapAllocations.fetch_add(1, std::memory_order_relaxed);
  if (void* p = std::malloc(size == 0 ? 1 : size)) return p;
  throw std::bad_alloc();
}
void* operator new[](std::size_t size) {
  return operator new(size);
}
void operator delete(void* p) noexcept {
  std::free(p);
}
void operator delete[](void* p) noexcept {
  std::free(p);
}
void operator delete(void* p, std::size_t) noexcept {
  std::free(p);
}
void operator delete[](void* p, std::size_t) noexcept {
  std::free(p);
}
