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

// The year facts index the tables; an out-of-range value (which no supported birth gives) is
// folded back into range rather than read past a table's end.
constexpr std::size_t StemIndex(std::int32_t yearStem) {
  return static_cast<std::size_t>(yearStem >= 1 && yearStem <= 10 ? yearStem
                                                                  : WrapInto(yearStem, 10));
}
constexpr std::size_t BranchIndex(std::int32_t yearBranch) {
  return static_cast<std::size_t>(yearBranch >= 1 && yearBranch <= 12 ? yearBranch
                                                                      : WrapInto(yearBranch, 12));
}

}  // namespace

void PalaceChart::PlaceAngelStars() {
  const CodePair angels = kAngelPairs[StemIndex(calendar.yearStem)];
  PlaceItem(code::Angel1, CodeToNumber(angels.stem), kFirstFree);
  PlaceItem(code::Angel2, CodeToNumber(angels.branch), kFirstFree);
}

void PalaceChart::PlaceAbundance() {
  PlaceItem(code::Abundance, kAbundanceBranch[StemIndex(calendar.yearStem)], kFirstFree);
}

void PalaceChart::PlaceGuardStars() {
  // Troublesome and Worrisome flank Abundance on either side.
  const std::int32_t abundance = kAbundanceBranch[StemIndex(calendar.yearStem)];
  PlaceItem(code::Troublesome, StepBranch(abundance, 1), kFirstFree);
  PlaceItem(code::Worrisome, StepBranch(abundance, -1), kFirstFree);
}

void PalaceChart::PlaceFireStars() {
  const FireStarts starts = kFireStarts[BranchIndex(calendar.yearBranch) % 4];
  PlaceItem(code::FieryStar, CountFrom(starts.fiery, calendar.hourBranch, true), kFirstFree);
  PlaceItem(code::SirenStar, CountFrom(starts.siren, calendar.hourBranch, true), kFirstFree);
}

void PalaceChart::PlaceJoyStars() {
  // Belle counts the year branch backward from 卯; Festival stands opposite.
  const std::int32_t belle = CountFrom(4, calendar.yearBranch, false);
  PlaceItem(code::Belle, belle, kFirstFree);
  PlaceItem(code::Festival, StepBranch(belle, 6), kFirstFree);
}

}  // namespace velmora
