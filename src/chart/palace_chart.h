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

// The ways of emptying a slot grid: a plain assignment, or vector stores 16 or 32 bytes wide.
// ClearGrid takes the wide one where the processor has AVX2 and the narrow one otherwise; the
// tests run every way the processor can.
enum class GridClear : std::int32_t { kPlain, kNarrow, kWide };
bool CanClearGridWith(GridClear way);
// Sets every slot to 0, the way asked if the processor can, else with a plain assignment.
void ClearSlotGrid(SlotGrid& grid, GridClear way);

// The branch 1..12 that each sum b = branch + places of -11..23 wraps round to, entry b + 11.
inline constexpr auto kWrappedBranch = [] {
  std::array<std::int32_t, 35> wrapped{};
  for (std::int32_t b = -11; b <= 23; ++b) {
    wrapped[static_cast<std::size_t>(b + 11)] = WrapInto(b, 12);
  }
  return wrapped;
}();
static_assert(std::all_of(kWrappedBranch.begin(), kWrappedBranch.end(),
                          [](std::int32_t b) { return b >= 1 && b <= 12; }));

// Steps a branch round the twelve branches, as WrapAdd does: the short steps that the groups,
// palace names and counts take, from a branch 1..12 by less than once round. Where the result
// lands depends on the birth, so it is looked up rather than compared: a jump on it would be
// mispredicted chart after chart. A sum outside the table still wraps, by division.
constexpr std::int32_t StepBranch(std::int32_t branch, std::int32_t places) {
  const std::int64_t b = std::int64_t{branch} + places;
  if (b >= -11 && b <= 23) [[likely]] {
    const std::int32_t wrapped = kWrappedBranch[static_cast<std::size_t>(b + 11)];
    // What the table holds, told to the compiler so that PlaceItem's bounds check folds away.
    if (wrapped < 1 || wrapped > 12) __builtin_unreachable();
    return wrapped;
  }
  return WrapAdd(branch, 12, places);
}

// One chart: the calendar facts of a birth, the five-element bureau and the slot grid. All of
// it is fixed-size, so a chart never allocates and copying it copies the whole chart.
struct PalaceChart {
  BirthCalendar calendar;
  std::int32_t bureau = 0;  // 2..6 after ComputeChart
  // Written through PlaceItem, which keeps freeFrom in step with it. (A code written straight
  // into a slot, as some tests do, is harmless: first-free placement checks the slot it is
  // pointed at.) Aligned to a cache line, so that clearing it never splits a store across lines.
  alignas(64) SlotGrid grid{};
  // Per palace, a slot below which every slot is filled, so that first-free placement starts
  // there instead of at slot 0.
  std::array<std::int32_t, kPalaceRows> freeFrom{};

  void SetBirthMoment(TDateTime moment) { calendar.SetBirthMoment(moment); }

  // Decodes the birth moment, clears the grid and runs every placement step in fixed order.
  void ComputeChart();
  // The same without decoding: clears the grid and places everything from the calendar facts
  // as they stand.
  void PlaceFromCalendarFacts();

  // Puts a code into a palace: into `slot` (0..26), or with kFirstFree into the first empty slot.
  // A full palace, or a place outside the grid, drops the code silently.
  void PlaceItem(ItemCode code, std::int32_t branch, std::int32_t slot) {
    if (branch < 1 || branch >= kPalaceRows) [[unlikely]] {
      return;
    }
    const auto row = static_cast<std::size_t>(branch);
    std::int32_t& from = freeFrom[row];
    if (slot == kFirstFree) {
      // An empty code placed first-free would only write 0 over 0.
      if (code == code::Empty) return;
      // The usual case: the hint is the first empty slot.
      if (from < kSlotsPerPalace && grid[row][static_cast<std::size_t>(from)] == code::Empty)
          [[likely]] {
        grid[row][static_cast<std::size_t>(from)] = code;
        ++from;
        return;
      }
      PlaceInFirstEmptySlot(code, branch);
    } else if (slot >= 0 && slot < kSlotsPerPalace) {
      grid[row][static_cast<std::size_t>(slot)] = code;
      if (code == code::Empty) {
        if (slot < from) from = slot;
      } else if (slot == from) {
        ++from;  // names and stems fill slots 0 and 1 in turn
      }
    }
  }

  // Empties every slot of every palace.
  void ClearGrid();

  // The branch of the first palace (rows, then slots, ascending) that holds `code`; 0 if none.
  std::int32_t PalaceOf(ItemCode code) const;

  // The place reached when n places are counted from start, start itself being the first:
  // forward towards higher branch numbers (12 then 1), backward towards lower ones.
  static constexpr std::int32_t CountFrom(std::int32_t start, std::int32_t n, bool forward) {
    // A branch counted by a month, hour or year branch, the only counts the rules make, steps
    // less than once round; anything else is folded round the twelve by division.
    if (start >= 1 && start <= 12 && n >= 1 && n <= 12) [[likely]] {
      return StepBranch(start, forward ? n - 1 : 1 - n);
    }
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

 private:
  // First-free placement when the hint's slot is taken: searches on from the hint.
  void PlaceInFirstEmptySlot(ItemCode code, std::int32_t branch);
};

// The Life palace's branch: count the lunar month forward from 寅 (branch 3, the branch of the
// first month), then the hour backward from there.
constexpr std::int32_t LifeBranch(std::int32_t lunarMonth, std::int32_t hourBranch) {
  return PalaceChart::CountFrom(PalaceChart::CountFrom(3, lunarMonth, true), hourBranch, false);
}

}  // namespace velmora
