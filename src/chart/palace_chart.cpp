#include "chart/palace_chart.h"

#include <cstddef>
#include <utility>

#if defined(__SSE2__)
#include <immintrin.h>
#endif

namespace velmora {

void PalaceChart::ComputeChart() {
  calendar.DecodeBirthMoment();
  PlaceFromCalendarFacts();
}

void PalaceChart::PlaceFromCalendarFacts() {
  ClearGrid();

  // The order of the steps is the order of the stars inside every palace: each star takes the
  // first free slot of its palace, so an earlier step's star always stands before a later one's.
  PlacePalaceNames();
  PlacePalaceStems();
  ComputeBureau();
  PlaceKingGroup();
  PlaceTreasuryGroup();
  PlaceIntellectStars();
  PlaceAidStars();
  PlaceAngelStars();
  PlaceAbundance();
  PlaceGuardStars();
  PlaceFireStars();
  PlaceEarthStars();
  PlacePegasus();
  PlaceRomanceStars();
  PlaceJoyStars();
}

#if defined(__SSE2__)
namespace {

// Zeroes a block of bytes with one vector store per 16 bytes, written out in full: a plain clear
// of the grid compiles to `rep stosq`, whose start-up alone costs more than these stores. The
// last store overlaps the one before it when the size is not a multiple of 16.
template <std::size_t Size, std::size_t... Block>
void ZeroNarrow(char* first, std::index_sequence<Block...>) {
  const __m128i zero = _mm_setzero_si128();
  (_mm_storeu_si128(reinterpret_cast<__m128i*>(first + 16 * Block), zero), ...);
  _mm_storeu_si128(reinterpret_cast<__m128i*>(first + Size - 16), zero);
}

#if defined(__x86_64__) && defined(__GNUC__)
// The same with 32-byte stores, for processors with AVX2: the clear is bound by stores, one per
// cycle whatever their width, so wide ones halve it. Chosen at run time, since the program must
// still start on a processor without AVX2.
#define VELMORA_WIDE_CLEAR 1
template <std::size_t Size, std::size_t... Block>
[[gnu::target("avx2")]] void ZeroWide(char* first, std::index_sequence<Block...>) {
  const __m256i zero = _mm256_setzero_si256();
  (_mm256_storeu_si256(reinterpret_cast<__m256i*>(first + 32 * Block), zero), ...);
  _mm256_storeu_si256(reinterpret_cast<__m256i*>(first + Size - 32), zero);
}
#endif

}  // namespace
#endif

bool CanClearGridWith(GridClear way) {
  switch (way) {
    case GridClear::kPlain:
      return true;
    case GridClear::kNarrow:
#if defined(__SSE2__)
      return true;
#else
      return false;
#endif
    case GridClear::kWide:
#if defined(VELMORA_WIDE_CLEAR)
      return __builtin_cpu_supports("avx2");
#else
      return false;
#endif
  }
  return false;
}

void ClearSlotGrid(SlotGrid& grid, GridClear way) {
  [[maybe_unused]] constexpr std::size_t kSize = sizeof(SlotGrid);
  [[maybe_unused]] auto* first = reinterpret_cast<char*>(grid.data());
  switch (CanClearGridWith(way) ? way : GridClear::kPlain) {
    case GridClear::kWide:
#if defined(VELMORA_WIDE_CLEAR)
      ZeroWide<kSize>(first, std::make_index_sequence<kSize / 32>{});
      return;
#endif
    case GridClear::kNarrow:
#if defined(__SSE2__)
      ZeroNarrow<kSize>(first, std::make_index_sequence<kSize / 16>{});
      return;
#endif
    case GridClear::kPlain:
      grid = SlotGrid{};
      return;
  }
}

void PalaceChart::ClearGrid() {
  ClearSlotGrid(grid, CanClearGridWith(GridClear::kWide) ? GridClear::kWide : GridClear::kNarrow);
  freeFrom = {};
}

void PalaceChart::PlaceInFirstEmptySlot(ItemCode code, std::int32_t branch) {
  const auto row = static_cast<std::size_t>(branch);
  for (std::int32_t s = freeFrom[row]; s < kSlotsPerPalace; ++s) {
    if (grid[row][static_cast<std::size_t>(s)] == code::Empty) {
      grid[row][static_cast<std::size_t>(s)] = code;
      freeFrom[row] = s + 1;
      return;
    }
  }
}

std::int32_t PalaceChart::PalaceOf(ItemCode code) const {
  for (std::int32_t branch = 1; branch < kPalaceRows; ++branch) {
    for (ItemCode slot : grid[static_cast<std::size_t>(branch)]) {
      if (slot == code) return branch;
    }
  }
  return 0;
}

}  // namespace velmora
