#pragma once

#include <algorithm>
#include <array>
#include <cstdint>

#include "calendar/birth_calendar.h"
#include "calendar/item_code.h"

namespace velmora {

inline constexpr std::int32_t kPalaceRows = 13;  // row = branch number; row 0 stays empty
inline constexpr std::int32_t kSlotsPerPalace = 27;
inline constexpr std::int32_t kNameSlot = 0;    // the palace name code
inline constexpr std::int32_t kStemSlot = 1;    // the palace stem code
inline constexpr std::int32_t kFirstFree = -1;  // PlaceItem: the first empty slot

using PalaceSlots = std::array<ItemCode, kSlotsPerPalace>;
using SlotGrid = std::array<PalaceSlots, kPalaceRows>;

// One chart: the calendar facts of a birth, the five-element bureau and the slot grid. All of
// it is fixed-size, so a chart never allocates and copying it copies the whole chart.
struct PalaceChart {
  BirthCalendar calendar;
  std::int32_t bureau = 0;  // 2..6 after ComputeChart
  // Written through PlaceItem: clearing and first-free placement rely on knowing which slots
  // it filled. (Writing a non-empty code straight into a slot of a fresh chart, as a test may
  // do, is harmless until the next ComputeChart.)
  SlotGrid grid{};
  // Per palace, a slot below which every slot is filled, so that first-free placement starts
  // there instead of at slot 0; and one past the highest slot written since the grid was
  // cleared, so that clearing touches only what was written. Kept by PlaceItem.
  std::array<std::int32_t, kPalaceRows> freeFrom{};
  std::array<std::int32_t, kPalaceRows> writtenTo{};

  void SetBirthMoment(TDateTime moment) { calendar.SetBirthMoment(moment); }

  // Decodes the birth moment, clears the grid and runs every placement step in fixed order.
  void ComputeChart();
  // The same without decoding: clears the grid and places everything from the calendar facts
  // as they stand.
  void PlaceFromCalendarFacts();

  // Puts a code into a palace: into `slot` (0..26), or with kFirstFree into the first empty slot.
  // A full palace, or a place outside the grid, drops the code silently.
  void PlaceItem(ItemCode code, std::int32_t branch, std::int32_t slot) {
    if (branch < 1 || branch >= kPalaceRows) return;
    PalaceSlots& palace = grid[static_cast<std::size_t>(branch)];
    std::int32_t& from = freeFrom[static_cast<std::size_t>(branch)];
    std::int32_t& extent = writtenTo[static_cast<std::size_t>(branch)];
    if (slot >= 0 && slot < kSlotsPerPalace) {
      palace[static_cast<std::size_t>(slot)] = code;
      if (code == code::Empty) {
        if (slot < from) from = slot;
      } else if (slot == from) {
        from = slot + 1;  // names and stems fill slots 0 and 1 in turn
      }
      if (slot >= extent) extent = slot + 1;
    } else if (slot == kFirstFree && code != code::Empty) {
      // (An empty code placed first-free would only write 0 over 0.)
      if (from < kSlotsPerPalace && palace[static_cast<std::size_t>(from)] == code::Empty) {
        palace[static_cast<std::size_t>(from)] = code;  // the usual case: the hint is the slot
        if (from >= extent) extent = from + 1;
        ++from;
        return;
      }
      for (std::int32_t s = from; s < kSlotsPerPalace; ++s) {
        if (palace[static_cast<std::size_t>(s)] == code::Empty) {
          palace[static_cast<std::size_t>(s)] = code;
          from = s + 1;
          if (s >= extent) extent = s + 1;
          return;
        }
      }
    }
  }

  // Empties every slot of every palace. No palace of a computed chart holds more than 11 items,
  // so usually only the first twelve slots of each palace need clearing.
  void ClearGrid() {
    bool beyondTwelve = false;
    for (std::int32_t extent : writtenTo) beyondTwelve |= extent > 12;
    if (beyondTwelve) {
      grid = SlotGrid{};
    } else {
      for (std::size_t branch = 1; branch < grid.size(); ++branch) {
        std::fill_n(grid[branch].begin(), 12, code::Empty);
      }
    }
    freeFrom = {};
    writtenTo = {};
  }

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
  void PlaceIntellectStars();  // 50, 51 by hour
  void PlaceAidStars();        // 52, 53 by month
  void PlaceEarthStars();      // 56, 57 by hour
  void PlacePegasus();         // 59 by month
  void PlaceRomanceStars();    // 70, 71 by month
  // Stars placed by the year stem and branch.
  void PlaceAngelStars();  // 62, 63 by year stem
  void PlaceAbundance();   // 58 by year stem
  void PlaceGuardStars();  // 60, 61 beside Abundance
  void PlaceFireStars();   // 54, 55 by year branch and hour
  void PlaceJoyStars();    // 86, 87 by year branch
};

// Steps a branch 1..12 by -11..11 places round the twelve branches: WrapAdd for the short steps
// that the groups and palace names take, with one comparison instead of a division.
constexpr std::int32_t StepBranch(std::int32_t branch, std::int32_t places) {
  const std::int32_t b = branch + places;
  return b > 12 ? b - 12 : (b < 1 ? b + 12 : b);
}

// The Life palace's branch: count the lunar month forward from 寅 (branch 3, the branch of the
// first month), then the hour backward from there.
constexpr std::int32_t LifeBranch(std::int32_t lunarMonth, std::int32_t hourBranch) {
  return PalaceChart::CountFrom(PalaceChart::CountFrom(3, lunarMonth, true), hourBranch, false);
}

}  // namespace velmora
