#include "chart/palace_chart.h"

#include <cstddef>
#include <utility>

#if defined(__SSE2__)
#include <emmintrin.h>
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

// Zeroes consecutive 16-byte blocks with one store each, written out in full: a plain clear of
// this size compiles to `rep stosq`, whose start-up alone costs more than these stores.
template <std::size_t... Block>
void ZeroBlocks(char* first, std::index_sequence<Block...>) {
  const __m128i zero = _mm_setzero_si128();
  (_mm_storeu_si128(reinterpret_cast<__m128i*>(first + 16 * Block), zero), ...);
}

}  // namespace
#endif

void PalaceChart::ClearGrid() {
#if defined(__SSE2__)
  constexpr std::size_t kBlocks = sizeof(SlotGrid) / 16;
  auto* first = reinterpret_cast<char*>(grid.data());
  ZeroBlocks(first, std::make_index_sequence<kBlocks>{});
  // The last slots, past the whole blocks (overlapping the last block).
  _mm_storeu_si128(reinterpret_cast<__m128i*>(first + sizeof(SlotGrid) - 16), _mm_setzero_si128());
#else
  grid = SlotGrid{};
#endif
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
