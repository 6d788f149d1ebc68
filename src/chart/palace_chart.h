#pragma once

#include <array>
#include <cstdint>

#include "calendar/birth_calendar.h"
#include "calendar/item_code.h"

namespace velmora {

inline constexpr std::int32_t kPalaceRows = 13;  // row = branch number; row 0 stays empty
inline constexpr std::int32_t kSlotsPerPalace = 27;
inline constexpr std::int32_t kNameSlot = 0;   // the palace name code
inline constexpr std::int32_t kStemSlot = 1;   // the palace stem code
inline constexpr std::int32_t kFirstFree = -1;  // PlaceItem: the first empty slot

using PalaceSlots = std::array<ItemCode, kSlotsPerPalace>;
using SlotGrid = std::array<PalaceSlots, kPalaceRows>;

// One chart: the calendar facts of a birth, the five-element bureau and the slot grid. All of
// it is fixed-size, so a chart never allocates and copying it copies the whole chart.
struct PalaceChart {
  BirthCalendar calendar;
  std::int32_t bureau = 0;  // 2..6 after ComputeChart
  SlotGrid grid{};

  void SetBirthMoment(TDateTime moment) { calendar.SetBirthMoment(moment); }

  // Decodes the birth moment, clears the grid and runs every placement step in fixed order.
  void ComputeChart();

  // Puts a code into a palace: into `slot` (0..26), or with kFirstFree into the first empty slot.
  // A full palace, or a place outside the grid, drops the code silently.
  void PlaceItem(ItemCode code, std::int32_t branch, std::int32_t slot);

  // The branch of the first palace (rows, then slots, ascending) that holds `code`; 0 if none.
  std::int32_t PalaceOf(ItemCode code) const;

  // The place reached when n places are counted from start, start itself being the first:
  // forward towards higher branch numbers (12 then 1), backward towards lower ones.
  static constexpr std::int32_t CountFrom(std::int32_t start, std::int32_t n, bool forward) {
    const std::int64_t steps = std::int64_t{n} - 1;
    const std::int64_t place = forward ? start + steps : start - steps;
    return WrapInto(static_cast<std::int32_t>(place % 12), 12);
  }

  // Palaces, stems and bureau.
  void PlacePalaceNames();
  void PlacePalaceStems();
  void ComputeBureau();
  // The fourteen main stars.
  void PlaceKingGroup();
  void PlaceTreasuryGroup();
  // Stars placed by the two-hour period and the lunar month.
  void PlaceIntellectStars();   // 50, 51 by hour
  void PlaceAidStars();         // 52, 53 by month
  void PlaceEarthStars();       // 56, 57 by hour
  void PlacePegasus();          // 59 by month
  void PlaceRomanceStars();     // 70, 71 by month
  // Stars placed by the year stem and branch.
  void PlaceAngelStars();       // 62, 63 by year stem
  void PlaceAbundance();        // 58 by year stem
  void PlaceGuardStars();       // 60, 61 beside Abundance
  void PlaceFireStars();        // 54, 55 by year branch and hour
  void PlaceJoyStars();         // 86, 87 by year branch
};

// The Life palace's branch: count the lunar month forward from 寅 (branch 3, the branch of the
// first month), then the hour backward from there.
constexpr std::int32_t LifeBranch(std::int32_t lunarMonth, std::int32_t hourBranch) {
  return PalaceChart::CountFrom(PalaceChart::CountFrom(3, lunarMonth, true), hourBranch, false);
}

}  // namespace velmora
