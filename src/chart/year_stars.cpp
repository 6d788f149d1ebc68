// Stars placed by the stem and branch of the lunar year.
#include <array>

#include "chart/palace_chart.h"

namespace velmora {

namespace {

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

void PalaceChart::PlaceAngelStars() {
  PlaceAll({code::Angel1, code::Angel2}, Lookup(kAngelPlaces, calendar.yearStem));
}

void PalaceChart::PlaceAbundance() {
  PlaceAll({code::Abundance}, Lookup(kAbundancePlaces, calendar.yearStem));
}

void PalaceChart::PlaceGuardStars() {
  PlaceAll({code::Troublesome, code::Worrisome}, Lookup(kGuardPlaces, calendar.yearStem));
}

void PalaceChart::PlaceFireStars() {
  PlaceAll({code::FieryStar, code::SirenStar},
           Lookup(Lookup(kFirePlaces, calendar.yearBranch), calendar.hourBranch));
}

void PalaceChart::PlaceJoyStars() {
  PlaceAll({code::Belle, code::Festival}, Lookup(kJoyPlaces, calendar.yearBranch));
}

}  // namespace velmora
