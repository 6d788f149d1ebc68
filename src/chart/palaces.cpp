// Palace names, palace stems and the five-element bureau.
#include <array>

#include "chart/palace_chart.h"

namespace velmora {

namespace {

// The number each stem and branch code adds to the bureau sum; 0 for any other code.
constexpr std::int32_t StemNumber(ItemCode c) {
  constexpr std::array<std::int32_t, 23> table = {
      0,                                   // no code
      9, 8, 7, 6, 5, 9, 8, 7, 6, 5,        // stems 甲..癸
      9, 8, 7, 6, 5, 4, 9, 8, 7, 6, 5, 4,  // branches 子..亥
  };
  return c >= 0 && c < static_cast<ItemCode>(table.size()) ? table[static_cast<std::size_t>(c)] : 0;
}

// Element by WrapInto(sum, 5), then bureau by element.
constexpr std::array<std::int32_t, 6> kElementTable = {0, 2, 3, 1, 4, 5};
constexpr std::array<std::int32_t, 6> kBureauOfElement = {0, 3, 6, 5, 4, 2};

// The bureau of a Life palace with stem number `stem` on branch `life`: the stem and branch with
// their partner pair, the next pair for an odd stem and the previous one for an even stem,
// summed by StemNumber into an element and a bureau.
constexpr std::int32_t BureauOf(std::int32_t stem, std::int32_t life) {
  const CodePair pair = StemBranchPair(stem, life);
  const CodePair partner = pair.stem % 2 == 1 ? NextPair(pair) : PrevPair(pair);
  const std::int32_t sum = StemNumber(pair.stem) + StemNumber(pair.branch) +
                           StemNumber(partner.stem) + StemNumber(partner.branch);
  const std::int32_t element = kElementTable[static_cast<std::size_t>(WrapInto(sum, 5))];
  return kBureauOfElement[static_cast<std::size_t>(element)];
}
static_assert(BureauOf(1, 1) == 4 && BureauOf(3, 3) == 6);

// BureauOf for every stem 1..10 and branch 1..12, worked out at compile time so that a chart
// looks its bureau up instead of running through the pairs' arithmetic.
constexpr auto kBureauTable = [] {
  std::array<std::array<std::int32_t, 13>, 11> table{};
  for (std::int32_t stem = 1; stem <= 10; ++stem) {
    for (std::int32_t life = 1; life <= 12; ++life) {
      table[static_cast<std::size_t>(stem)][static_cast<std::size_t>(life)] = BureauOf(stem, life);
    }
  }
  return table;
}();

}  // namespace

void PalaceChart::PlacePalaceNames() {
  // Life on its branch, then Siblings, Marriage and the rest towards lower branch numbers.
  const std::int32_t life = LifeBranch(calendar.lunarMonth, calendar.hourBranch);
#pragma GCC unroll 12
  for (std::int32_t i = 0; i < 12; ++i) PlaceItem(code::Life + i, StepBranch(life, -i), kNameSlot);
}

void PalaceChart::PlacePalaceStems() {
  // Branches 寅 (3) to 亥 (12) take ten consecutive stems starting from the year stem's stem for
  // 寅; 子 (1) and 丑 (2) come after 亥 and so repeat the stems of 寅 and 卯.
  const ItemCode first = StemForBranch(calendar.yearStemCode, BranchCode(3));
#pragma GCC unroll 12
  for (std::int32_t i = 0; i < 12; ++i) {
    const std::int32_t stem =
        first + i - 10 * (static_cast<std::int32_t>(first + i > 10) + (first + i > 20));
    PlaceItem(stem, i < 10 ? i + 3 : i - 9, kStemSlot);
  }
}

void PalaceChart::ComputeBureau() {
  // The Life palace stands where PlacePalaceNames laid code Life, on LifeBranch.
  const std::int32_t life = LifeBranch(calendar.lunarMonth, calendar.hourBranch);
  const ItemCode stem = grid[static_cast<std::size_t>(life)][kStemSlot];
  // Slot 1 holds a stem code 1..10 once PlacePalaceStems has run; anything else (the steps run
  // out of order by hand) still gets the rule's arithmetic.
  bureau = stem >= 1 && stem <= 10
               ? kBureauTable[static_cast<std::size_t>(stem)][static_cast<std::size_t>(life)]
               : BureauOf(stem, life);
}

}  // namespace velmora
