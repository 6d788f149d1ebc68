#pragma once

#include <array>
#include <cstdint>
#include <type_traits>

#include "calendar/birth_calendar.h"
#include "calendar/item_code.h"

namespace velmora {

inline constexpr std::int32_t kPalaceRows = 13;  // row = branch number; row 0 stays empty
inline constexpr std::int32_t kSlotsPerPalace = 27;
inline constexpr std::int32_t kNameSlot = 0;    // the palace name code
inline constexpr std::int32_t kStemSlot = 1;    // the palace stem code
inline constexpr std::int32_t kFirstFree = -1;  // PlaceItem: the first empty slot
// The most items the placement steps ever put into one palace: name, stem and nine stars.
inline constexpr std::int32_t kMostItems = 11;

using PalaceSlots = std::array<ItemCode, kSlotsPerPalace>;
using SlotGrid = std::array<PalaceSlots, kPalaceRows>;

// The results of a rule for every input 1..N, worked out at compile time, so that a chart looks
// its places up by the calendar fact instead of running the rule. Entry 0 is never read.
template <std::int32_t N, typename Rule>
constexpr auto RuleTable(Rule rule) {
  std::array<decltype(rule(1)), N + 1> table{};
  for (std::int32_t input = 1; input <= N; ++input) {
    table[static_cast<std::size_t>(input)] = rule(input);
  }
  return table;
}

// The entry of a rule table for a calendar fact or the bureau, each of which stays inside the
// range its table covers.
template <typename Table>
constexpr const auto& Lookup(const Table& table, std::int32_t input) {
  return table[static_cast<std::size_t>(input)];
}

// The branches on which a rule puts its stars, in the order it places them.
template <std::size_t N>
using Places = std::array<std::int32_t, N>;

inline constexpr bool kForward = true;  // CountFrom towards higher branch numbers
inline constexpr bool kBackward = false;

// One chart: the calendar facts of a birth, the five-element bureau and the slot grid. All of
// it is fixed-size, so a chart never allocates and copying it copies the whole chart.
struct PalaceChart {
  BirthCalendar calendar;
  std::int32_t bureau = 0;  // 2..6 after ComputeChart
  SlotGrid grid{};
  // Per palace, how many slots are filled: they run unbroken from slot 0, so the next star of
  // the palace goes into slot filled[branch]. Kept by the placement steps and by PlaceItem.
  std::array<std::int32_t, kPalaceRows> filled{};
  // True while the grid is exactly as ComputeChart left it: every palace holds its name, its
  // stem and then stars only, at most kMostItems in all, and every later slot is empty, so that
  // the next clear and the display can take the grid's shape on trust. Set by ComputeChart and
  // cleared by every other placement; a slot written straight into the grid of a computed chart
  // must clear it as well.
  bool laidOut = false;

  void SetBirthMoment(TDateTime moment) { calendar.SetBirthMoment(moment); }

  // Decodes the birth moment, clears the grid and runs every placement step in fixed order.
  void ComputeChart();
  // The same without decoding: clears the grid and places everything from the calendar facts
  // as they stand, which must lie in their ranges.
  void PlaceFromCalendarFacts();

  // Puts a code into a palace: into `slot` (0..26), or with kFirstFree into the first empty slot
  // found by looking at the palace's slots in order. A full palace, or a place outside the grid,
  // drops the code silently.
  void PlaceItem(ItemCode code, std::int32_t branch, std::int32_t slot);

  // Empties every slot of every palace. Of a laid-out grid only the slots that can hold items
  // are emptied: every other slot is empty already, and the clear is half the stores.
  void ClearGrid();

  // The branch of the first palace (rows, then slots, ascending) that holds `code`; 0 if none.
  std::int32_t PalaceOf(ItemCode code) const;

  // The place reached when n places are counted from start, start itself being the first:
  // forward towards higher branch numbers (12 then 1), backward towards lower ones.
  static constexpr std::int32_t CountFrom(std::int32_t start, std::int32_t n, bool forward) {
    const std::int64_t steps = (std::int64_t{n} - 1) % 12;
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
  // First-free placement as the placement steps make it: the palace's filled slots run
  // unbroken from slot 0, so the first free one is the one its count names.
  void PlaceNext(ItemCode code, std::int32_t branch) {
    laidOut = false;
    const auto row = static_cast<std::size_t>(branch);
    grid[row][static_cast<std::size_t>(filled[row]++)] = code;
  }
  // Writes codes[branch] into `slot` of every palace, the slots before it being filled already.
  void FillSlotOfEveryPalace(std::int32_t slot, const std::array<ItemCode, kPalaceRows>& codes) {
    laidOut = false;
    for (std::size_t branch = 1; branch < kPalaceRows; ++branch) {
      grid[branch][static_cast<std::size_t>(slot)] = codes[branch];
    }
    filled.fill(slot + 1);
  }
  // Places each code of a rule on its branch, in order.
  template <std::size_t N>
  void PlaceAll(const std::type_identity_t<std::array<ItemCode, N>>& codes,
                const Places<N>& places) {
    for (std::size_t i = 0; i < N; ++i) PlaceNext(codes[i], places[i]);
  }
};

// The Life palace's branch: count the lunar month forward from 寅 (branch 3, the branch of the
// first month), then the hour backward from there.
constexpr std::int32_t LifeBranch(std::int32_t lunarMonth, std::int32_t hourBranch) {
  return PalaceChart::CountFrom(PalaceChart::CountFrom(3, lunarMonth, true), hourBranch, false);
}
static_assert(LifeBranch(1, 1) == 3 && LifeBranch(11, 1) == 1 && LifeBranch(12, 12) == 3);

}  // namespace velmora
