#include "chart/palace_chart.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#include <utility>
#endif

namespace velmora {

namespace {

// Whether any of the 27 slots of a palace holds `code`, compared four slots at a time where the
// processor allows it: the lookup runs twice per chart over up to twelve palaces.
bool RowHolds(const PalaceSlots& row, ItemCode code) {
#if defined(__SSE2__)
  static_assert(kSlotsPerPalace == 27);
  const __m128i wanted = _mm_set1_epi32(code);
  const auto at = [&](std::size_t i) {
    return _mm_cmpeq_epi32(_mm_loadu_si128(reinterpret_cast<const __m128i*>(row.data() + i)),
                           wanted);
  };
  // Slots 0..23 in six groups, then 23..26 (one slot compared twice).
  const __m128i any =
      _mm_or_si128(_mm_or_si128(_mm_or_si128(at(0), at(4)), _mm_or_si128(at(8), at(12))),
                   _mm_or_si128(_mm_or_si128(at(16), at(20)), at(23)));
  return _mm_movemask_epi8(any) != 0;
#else
  for (ItemCode s : row) {
    if (s == code) return true;
  }
  return false;
#endif
}

}  // namespace

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

namespace {
template <std::size_t... I>
void ZeroBlocks(char* p, std::index_sequence<I...>) {
  const __m128i zero = _mm_setzero_si128();
  (_mm_storeu_si128(reinterpret_cast<__m128i*>(p + 16 * I), zero), ...);
}
}  // namespace

void PalaceChart::ClearGrid() {
  auto* p = reinterpret_cast<char*>(grid.data());
  ZeroBlocks(p, std::make_index_sequence<sizeof(SlotGrid) / 16>{});
  _mm_storeu_si128(reinterpret_cast<__m128i*>(p + sizeof(SlotGrid) - 16), _mm_setzero_si128());
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
    if (RowHolds(grid[static_cast<std::size_t>(branch)], code)) return branch;
  }
  return 0;
}

}  // namespace velmora
