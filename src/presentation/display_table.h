#pragma once

#include <array>
#include <cstdint>

#include "calendar/item_code.h"
#include "chart/palace_chart.h"

namespace velmora {

inline constexpr std::int32_t kDisplayEntries = 10;       // entry 0 = palace name, then stars
inline constexpr std::int32_t kDisplaySlotsScanned = 17;  // slots 0..16 of each palace

// The presentation's view of a chart: per branch (row 1..12) the palace name and its
// displayable stars in slot order. Row 0 exists so that branch numbers index rows directly.
struct DisplayTable {
  std::array<std::array<ItemCode, kDisplayEntries>, kPalaceRows> rows{};
};

// The one table of the program, written by the Run command, read by the drawing and the reading.
DisplayTable& SharedDisplayTable();

// Palace names, main and auxiliary stars and the four minor stars; never stems or branches.
constexpr bool IsDisplayable(ItemCode c) {
  return (c >= code::Life && c <= code::Parents) || (c >= code::King && c <= code::Angel2) ||
         c == code::Punishment || c == code::Dissolute || c == code::Belle || c == code::Festival;
}

// Sets all 130 entries to 0.
void ClearDisplayTable(DisplayTable& table);
inline void ClearDisplayTable() {
  ClearDisplayTable(SharedDisplayTable());
}

// Appends the displayable codes of slots 0..16 of every palace, in slot order, to the first
// empty entries of its row; codes beyond the tenth of a row are dropped. Expects a cleared table.
void BuildDisplayTable(const PalaceChart& chart, DisplayTable& table);
inline void BuildDisplayTable(const PalaceChart& chart) {
  BuildDisplayTable(chart, SharedDisplayTable());
}

// The branch of the Life palace: the last row whose entry 0 is the Life code (0 if none).
std::int32_t LifeRow(const DisplayTable& table);
inline std::int32_t LifeRow() {
  return LifeRow(SharedDisplayTable());
}

}  // namespace velmora
