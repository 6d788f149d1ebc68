#include "presentation/display_table.h"

#include <algorithm>
#include <cstring>

namespace velmora {

DisplayTable& SharedDisplayTable() {
  static DisplayTable table;
  return table;
}

void ClearDisplayTable(DisplayTable& table) {
  table = DisplayTable{};
}

namespace {

using DisplayRow = std::array<ItemCode, kDisplayEntries>;

// Appends the displayable codes of slots 0..16 of a palace, in slot order, to the first empty
// entries of its row, dropping those that find the row full.
void AppendDisplayable(const PalaceSlots& slots, DisplayRow& row) {
  for (std::int32_t s = 0; s < kDisplaySlotsScanned; ++s) {
    const ItemCode c = slots[static_cast<std::size_t>(s)];
    if (!IsDisplayable(c)) continue;
    const auto empty = std::find(row.begin(), row.end(), code::Empty);
    if (empty != row.end()) *empty = c;
  }
}

// The same for a cleared row of a palace as ComputeChart lays it out: its name, its stem, then
// stars only, every later slot empty. The row is then the name followed by slots 2 to 10 as
// they stand, empty ones included (a tenth star would not fit), which is one copy instead of a
// look at each of seventeen slots.
void CopyLaidOutPalace(const PalaceSlots& slots, DisplayRow& row) {
  row[0] = slots[kNameSlot];
  // A table row and a palace are separate objects, so this is one block copy.
  std::memcpy(&row[1], &slots[kStemSlot + 1], (row.size() - 1) * sizeof(ItemCode));
}

}  // namespace

void BuildDisplayTable(const PalaceChart& chart, DisplayTable& table) {
  if (!chart.laidOut) {
    for (std::size_t branch = 1; branch < kPalaceRows; ++branch) {
      AppendDisplayable(chart.grid[branch], table.rows[branch]);
    }
    return;
  }
  for (std::size_t branch = 1; branch < kPalaceRows; ++branch) {
    DisplayRow& row = table.rows[branch];
    if (row[0] == code::Empty) {
      CopyLaidOutPalace(chart.grid[branch], row);
    } else {
      AppendDisplayable(chart.grid[branch], row);
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
