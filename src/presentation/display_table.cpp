#include "presentation/display_table.h"

namespace velmora {

DisplayTable& SharedDisplayTable() {
  static DisplayTable table;
  return table;
}

void ClearDisplayTable(DisplayTable& table) { table = DisplayTable{}; }

void BuildDisplayTable(const PalaceChart& chart, DisplayTable& table) {
  for (std::int32_t branch = 1; branch < kPalaceRows; ++branch) {
    const PalaceSlots& slots = chart.grid[static_cast<std::size_t>(branch)];
    auto& row = table.rows[static_cast<std::size_t>(branch)];
    for (std::int32_t s = 0; s < kDisplaySlotsScanned; ++s) {
      const ItemCode c = slots[static_cast<std::size_t>(s)];
      if (!IsDisplayable(c)) continue;
      for (ItemCode& entry : row) {
        if (entry == code::Empty) {
          entry = c;
          break;
        }
      }
    }
  }
}

std::int32_t LifeRow(const DisplayTable& table) {
  std::int32_t life = 0;
  for (std::int32_t branch = 1; branch < kPalaceRows; ++branch) {
    if (table.rows[static_cast<std::size_t>(branch)][0] == code::Life) life = branch;
  }
  return life;
}

}  // namespace velmora
