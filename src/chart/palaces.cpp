// Palace names, palace stems and the five-element bureau.
#include <array>

#include "chart/palace_chart.h"

namespace velmora {

namespace {

// Life palace by lunar month and hour branch.
constexpr auto kLifeBranch = RuleTable<12>([](std::int32_t month) {
  return RuleTable<12>([month](std::int32_t hour) { return LifeBranch(month, hour); });
});

// The name of the palace on every branch, Life lying on `life`: Life, then Siblings, Marriage
// and the rest towards lower branch numbers.
constexpr std::array<ItemCode, kPalaceRows> PalaceNamesFrom(std::int32_t life) {
  std::array<ItemCode, kPalaceRows> names{};
  std::int32_t branch = life;
  for (ItemCode name = code::Life; name <= code::Parents; ++name) {
    names[static_cast<std::size_t>(branch)] = name;
    branch = PrevBranchNumber(branch);
  }
  return names;
}
constexpr auto kPalaceNames = RuleTable<12>(PalaceNamesFrom);

// The stem of the palace on every branch: branches 寅 (3) to 亥 (12) take ten consecutive stems
// starting from the year stem's stem for 寅; 子 (1) and 丑 (2) come after 亥 and so repeat the
// stems of 寅 and 卯.
constexpr std::array<ItemCode, kPalaceRows> PalaceStemsFor(ItemCode yearStemCode) {
  std::array<ItemCode, kPalaceRows> stems{};
  ItemCode stem = StemForBranch(yearStemCode, BranchCode(3));
  for (std::int32_t i = 1; i <= 12; ++i) {
    stems[static_cast<std::size_t>(WrapInto(i + 2, 12))] = stem;
    stem = NextStem(stem);
  }
  return stems;
}
constexpr auto kPalaceStems = RuleTable<10>(PalaceStemsFor);
static_assert(kPalaceStems[1][3] == 3 && kPalaceStems[1][12] == 2 && kPalaceStems[1][1] == 3);

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

// Bureau by the year stem and the Life palace's branch, through the stem that the year stem
// gives the Life palace: looked up from the calendar facts, it need not wait for the stems to
// be written into the grid.
constexpr auto kBureau = RuleTable<10>([](std::int32_t yearStemCode) {
  return RuleTable<12>([yearStemCode](std::int32_t life) {
    return BureauOf(PalaceStemsFor(yearStemCode)[static_cast<std::size_t>(life)], life);
  });
});

std::int32_t LifeBranchOf(const BirthCalendar& calendar) {
  return Lookup(Lookup(kLifeBranch, calendar.lunarMonth), calendar.hourBranch);
}

}  // namespace

void PalaceChart::PlacePalaceNames() {
  FillSlotOfEveryPalace(kNameSlot, Lookup(kPalaceNames, LifeBranchOf(calendar)));
}

void PalaceChart::PlacePalaceStems() {
  FillSlotOfEveryPalace(kStemSlot, Lookup(kPalaceStems, calendar.yearStemCode));
}

void PalaceChart::ComputeBureau() {
  // The Life palace stands where PlacePalaceNames laid code Life, and PlacePalaceStems gave it
  // the stem that the year stem gives its branch.
  bureau = Lookup(Lookup(kBureau, calendar.yearStemCode), LifeBranchOf(calendar));
}

}  // namespace velmora
