// Every star but the fourteen main ones: those placed by the two-hour period of birth, by the
// lunar month and by the stem and branch of the lunar year; and the order in which all stars
// are placed.
#include <array>

#include "chart/palace_chart.h"

namespace velmora {

namespace {

// Each rule's places by hour branch or lunar month 1..12.
constexpr auto kIntellectPlaces = RuleTable<12>([](std::int32_t hour) {
  return Places<2>{PalaceChart::CountFrom(11, hour, kBackward),
                   PalaceChart::CountFrom(5, hour, kForward)};
});
constexpr auto kAidPlaces = RuleTable<12>([](std::int32_t month) {
  return Places<2>{PalaceChart::CountFrom(5, month, kForward),
                   PalaceChart::CountFrom(11, month, kBackward)};
});
constexpr auto kEarthPlaces = RuleTable<12>([](std::int32_t hour) {
  return Places<2>{PalaceChart::CountFrom(12, hour, kForward),
                   PalaceChart::CountFrom(12, hour, kBackward)};
});
// Pegasus stands in one of the four corner branches 寅, 巳, 申, 亥, chosen by the month's branch.
constexpr auto kPegasusPlaces = RuleTable<12>([](std::int32_t month) {
  constexpr std::array<std::int32_t, 4> kCorner = {6, 3, 12, 9};
  const std::int32_t monthBranch = PalaceChart::CountFrom(3, month, kForward);
  return Places<1>{kCorner[static_cast<std::size_t>(monthBranch % 4)]};
});
constexpr auto kRomancePlaces = RuleTable<12>([](std::int32_t month) {
  return Places<2>{PalaceChart::CountFrom(10, month, kForward),
                   PalaceChart::CountFrom(2, month, kForward)};
});

// Branch of Abundance by year stem (entry 0 unused).
constexpr std::array<std::int32_t, 11> kAbundanceBranch = {0, 3, 4, 6, 7, 6, 7, 9, 10, 12, 1};

// The two Angels by year stem, as branch codes (entry 0 unused).
constexpr std::array<CodePair, 11> kAngelPairs = {{
    {0, 0},
    {12, 18},  // 甲: 丑 and 未
    {11, 19},  // 乙: 子 and 申
    {22, 20},  // 丙: 亥 and 酉
    {22, 20},  // 丁
    {12, 18},  // 戊
    {11, 19},  // 己
    {12, 18},  // 庚
    {17, 13},  // 辛: 午 and 寅
    {14, 16},  // 壬: 卯 and 巳
    {14, 16},  // 癸
}};

// Where Fiery Star and Siren Star start counting, by year branch mod 4.
struct FireStarts {
  std::int32_t fiery;
  std::int32_t siren;
};
constexpr std::array<FireStarts, 4> kFireStarts = {{{10, 11}, {3, 11}, {4, 11}, {2, 4}}};

// Each rule's places by year stem, year branch and hour branch.
constexpr auto kAngelPlaces = RuleTable<10>([](std::int32_t stem) {
  const CodePair angels = kAngelPairs[static_cast<std::size_t>(stem)];
  return Places<2>{CodeToNumber(angels.stem), CodeToNumber(angels.branch)};
});
constexpr auto kAbundancePlaces = RuleTable<10>(
    [](std::int32_t stem) { return Places<1>{kAbundanceBranch[static_cast<std::size_t>(stem)]}; });
// Troublesome and Worrisome flank Abundance on either side.
constexpr auto kGuardPlaces = RuleTable<10>([](std::int32_t stem) {
  const std::int32_t abundance = kAbundanceBranch[static_cast<std::size_t>(stem)];
  return Places<2>{WrapAdd(abundance, 12, 1), WrapAdd(abundance, 12, -1)};
});
constexpr auto kFirePlaces = RuleTable<12>([](std::int32_t yearBranch) {
  return RuleTable<12>([yearBranch](std::int32_t hour) {
    const FireStarts starts = kFireStarts[static_cast<std::size_t>(yearBranch % 4)];
    return Places<2>{PalaceChart::CountFrom(starts.fiery, hour, kForward),
                     PalaceChart::CountFrom(starts.siren, hour, kForward)};
  });
});
// Belle counts the year branch backward from 卯; Festival stands opposite.
constexpr auto kJoyPlaces = RuleTable<12>([](std::int32_t yearBranch) {
  const std::int32_t belle = PalaceChart::CountFrom(4, yearBranch, kBackward);
  return Places<2>{belle, WrapAdd(belle, 12, 6)};
});

}  // namespace

void PalaceChart::PlaceStars() {
  laidOut = false;
  // The order of the steps is the order of the stars inside every palace.
  SlotCounts counts = PlaceMainStars();
  const BirthCalendar& facts = calendar;
  PlaceAll(counts, {code::Intellect, code::Intelligence},
           Lookup(kIntellectPlaces, facts.hourBranch));
  PlaceAll(counts, {code::LeftAid, code::RightAid}, Lookup(kAidPlaces, facts.lunarMonth));
  PlaceAll(counts, {code::Angel1, code::Angel2}, Lookup(kAngelPlaces, facts.yearStem));
  PlaceAll(counts, {code::Abundance}, Lookup(kAbundancePlaces, facts.yearStem));
  PlaceAll(counts, {code::Troublesome, code::Worrisome}, Lookup(kGuardPlaces, facts.yearStem));
  PlaceAll(counts, {code::FieryStar, code::SirenStar},
           Lookup(Lookup(kFirePlaces, facts.yearBranch), facts.hourBranch));
  PlaceAll(counts, {code::Calamity, code::Misfortune}, Lookup(kEarthPlaces, facts.hourBranch));
  PlaceAll(counts, {code::Pegasus}, Lookup(kPegasusPlaces, facts.lunarMonth));
  PlaceAll(counts, {code::Punishment, code::Dissolute}, Lookup(kRomancePlaces, facts.lunarMonth));
  PlaceAll(counts, {code::Belle, code::Festival}, Lookup(kJoyPlaces, facts.yearBranch));
}

}  // namespace velmora
