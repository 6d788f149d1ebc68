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

// How many slots of every palace are filled while the stars are placed: the filled slots of a
// palace run unbroken from slot 0, so its next star goes into the slot its count names and the
// grid is never read back.
class SlotCounts {
 public:
  constexpr SlotCounts() = default;
  // Every palace with `filled` slots filled.
  constexpr explicit SlotCounts(std::int32_t filled) { counts_.fill(filled); }

  // The first free slot of a palace, which the next star of the palace then takes.
  constexpr std::size_t Take(std::int32_t branch) {
    return static_cast<std::size_t>(counts_[static_cast<std::size_t>(branch)]++);
  }

 private:
  std::array<std::int32_t, kPalaceRows> counts_{};
};

// One chart: the calendar facts of a birth, the five-element bureau and the slot grid. All of
// it is fixed-size, so a chart never allocates and copying it copies the whole chart.
struct PalaceChart {
  BirthCalendar calendar;
  std::int32_t bureau = 0;  // 2..6 after ComputeChart
  SlotGrid grid{};
  // True while the grid is exactly as ComputeChart left it: every palace holds its name, its
  // stem and then stars only, at most kMostItems in all, and every later slot is empty, so that
  // the next clear and the display can take the grid's shape on trust. Set by ComputeChart and
  // cleared by every other placement; a slot written straight into the grid of a computed chart
  // must clear it as well.
  bool laidOut = false;

  void SetBirthMoment(TDateTime moment) { calendar.SetBirthMoment(moment); }

  // Decodes the birth moment, clears the grid and runs every placement step in order.
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
  // Every star, from the calendar facts and the bureau. The fourteen main stars fill slots 2
  // and 3 of every palace, behind its name and stem (either slot left empty where a palace has
  // fewer); then each star placed by the two-hour period, the lunar month and the year's stem
  // and branch takes the first free slot of its palace, so that an earlier star always stands
  // before a later one.
  void PlaceStars();

 private:
  // Writes the main stars into slots 2 and 3 of every palace and gives the palaces' counts of
  // filled slots after them.
  SlotCounts PlaceMainStars();
  // Writes codes[branch] into `slot` of every palace.
  void FillSlotOfEveryPalace(std::int32_t slot, const std::array<ItemCode, kPalaceRows>& codes) {
    laidOut = false;
    for (std::size_t branch = 1; branch < kPalaceRows; ++branch) {
      grid[branch][static_cast<std::size_t>(slot)] = codes[branch];
    }
  }
  // Places each code of a rule on its branch, in order, each into the first free slot.
  template <std::size_t N>
  void PlaceAll(SlotCounts& counts, const std::type_identity_t<std::array<ItemCode, N>>& codes,
                const Places<N>& places) {
    for (std::size_t i = 0; i < N; ++i) {
      grid[static_cast<std::size_t>(places[i])][counts.Take(places[i])] = codes[i];
    }
  }
};

// The Life palace's branch: count the lunar month forward from 寅 (branch 3, the branch of the
// first month), then the hour backward from there.
constexpr std::int32_t LifeBranch(std::int32_t lunarMonth, std::int32_t hourBranch) {
  return PalaceChart::CountFrom(PalaceChart::CountFrom(3, lunarMonth, true), hourBranch, false);
}
static_assert(LifeBranch(1, 1) == 3 && LifeBranch(11, 1) == 1 && LifeBranch(12, 12) == 3);

}  // namespace velmora
