#include "chart/palace_chart.h"

#include <algorithm>
#include <cstddef>

namespace velmora {

void PalaceChart::ComputeChart() {
  calendar.DecodeBirthMoment();
  PlaceFromCalendarFacts();
}

void PalaceChart::PlaceFromCalendarFacts() {
  if (laidOut) {
    // A chart computed before holds stars only in slots 2..10; its names and stems are all
    // written again by the first two steps.
    for (std::size_t branch = 1; branch < kPalaceRows; ++branch) {
      std::fill(grid[branch].begin() + kStemSlot + 1, grid[branch].begin() + kMostItems,
                code::Empty);
    }
    laidOut = false;
  } else {
    ClearGrid();
  }

  PlacePalaceNames();
  PlacePalaceStems();
  ComputeBureau();
  PlaceStars();
  laidOut = true;
}

void PalaceChart::ClearGrid() {
  if (laidOut) {
    for (std::size_t branch = 1; branch < kPalaceRows; ++branch) {
      std::fill_n(grid[branch].begin(), kMostItems, code::Empty);
    }
  } else {
    // Row by row: filled with whole empty rows, the grid is cleared by plain stores, where the
    // assignment of one empty grid becomes a string instruction with a long start-up.
    std::fill(grid.begin(), grid.end(), PalaceSlots{});
  }
  laidOut = false;
}

void PalaceChart::PlaceItem(ItemCode code, std::int32_t branch, std::int32_t slot) {
  if (branch < 1 || branch >= kPalaceRows) return;
  PalaceSlots& slots = grid[static_cast<std::size_t>(branch)];
  if (slot == kFirstFree) {
    const auto empty = std::find(slots.begin(), slots.end(), code::Empty);
    if (empty == slots.end()) return;
    slot = static_cast<std::int32_t>(empty - slots.begin());
  } else if (slot < 0 || slot >= kSlotsPerPalace) {
    return;
  }
  slots[static_cast<std::size_t>(slot)] = code;
  laidOut = false;
}

std::int32_t PalaceChart::PalaceOf(ItemCode code) const {
  for (std::int32_t branch = 1; branch < kPalaceRows; ++branch) {
    const PalaceSlots& slots = grid[static_cast<std::size_t>(branch)];
    if (std::find(slots.begin(), slots.end(), code) != slots.end()) {
      return branch;
    }
  }
  return 0;
}

}  // namespace velmora
