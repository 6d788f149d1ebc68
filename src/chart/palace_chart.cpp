#include "chart/palace_chart.h"

#if defined(__SSE2__)
#include <emmintrin.h>
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

std::int32_t PalaceChart::PalaceOf(ItemCode code) const {
  for (std::int32_t branch = 1; branch < kPalaceRows; ++branch) {
    if (RowHolds(grid[static_cast<std::size_t>(branch)], code)) return branch;
  }
  return 0;
}

}  // namespace velmora
