#include "chart/palace_chart.h"

namespace velmora {

void PalaceChart::ComputeChart() {
  calendar.DecodeBirthMoment();
  grid = SlotGrid{};

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

void PalaceChart::PlaceItem(ItemCode code, std::int32_t branch, std::int32_t slot) {
  if (branch < 1 || branch >= kPalaceRows) return;
  PalaceSlots& palace = grid[static_cast<std::size_t>(branch)];
  if (slot >= 0 && slot < kSlotsPerPalace) {
    palace[static_cast<std::size_t>(slot)] = code;
    return;
  }
  if (slot != kFirstFree) return;
  for (ItemCode& s : palace) {
    if (s == code::Empty) {
      s = code;
      return;
    }
  }
}

std::int32_t PalaceChart::PalaceOf(ItemCode code) const {
  for (std::int32_t branch = 1; branch < kPalaceRows; ++branch) {
    for (ItemCode s : grid[static_cast<std::size_t>(branch)]) {
      if (s == code) return branch;
    }
  }
  return 0;
}

}  // namespace velmora
