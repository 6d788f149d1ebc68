// The fourteen main stars: the King group and the Treasury group.
#include <array>

#include "chart/palace_chart.h"

namespace velmora {

namespace {

// Laid from King's branch towards lower branches, one place per entry; 0 leaves a place empty.
constexpr std::array<ItemCode, 9> KingGroupTable = {
    code::King, code::Wit, 0, code::Sun, code::Warrior, code::Lucky, 0, 0, code::Chastity};

// Laid from Treasury's branch towards higher branches.
constexpr std::array<ItemCode, 11> TreasuryGroupTable = {code::Treasury,
                                                         code::Moon,
                                                         code::GreedyWolf,
                                                         code::BigMouth,
                                                         code::Minister,
                                                         code::Beam,
                                                         code::SevenKills,
                                                         0,
                                                         0,
                                                         0,
                                                         code::Army};

// King's branch: take the smallest multiple of the bureau not below the lunar day and count
// its quotient forward from 寅; then move by the amount added to the day to reach it, backward
// when that amount is odd and forward when it is even.
constexpr std::int32_t KingBranch(std::int32_t lunarDay, std::int32_t bureau) {
  const std::int32_t q = lunarDay / bureau;
  const std::int32_t r = lunarDay % bureau;
  if (r == 0) return WrapAdd(3, 12, q - 1);
  const std::int32_t x = bureau - r;
  const std::int32_t start = x % 2 != 0 ? WrapAdd(3, 12, -x) : WrapAdd(3, 12, x);
  return WrapAdd(start, 12, q);
}
static_assert(KingBranch(1, 3) == 5 && KingBranch(2, 3) == 2 && KingBranch(30, 6) == 7);

// King's branch by bureau (2..6; entry 1 is never read) and lunar day.
constexpr auto kKingBranch = RuleTable<6>([](std::int32_t bureau) {
  return RuleTable<30>([bureau](std::int32_t day) { return KingBranch(day, bureau); });
});

// Treasury mirrors King: their branches add up to 6 or 18.
constexpr std::int32_t TreasuryBranch(std::int32_t kingBranch) {
  return WrapInto(6 - kingBranch, 12);
}

// The codes of a group without its empty places, and where each of them lies when the group is
// laid from `first`, one place per entry of the group's table, backward or forward.
template <std::size_t N>
constexpr std::size_t StarCount(const std::array<ItemCode, N>& group) {
  std::size_t stars = 0;
  for (ItemCode c : group) stars += c != code::Empty ? 1 : 0;
  return stars;
}
template <std::size_t Stars, std::size_t N>
constexpr std::array<ItemCode, Stars> StarsOf(const std::array<ItemCode, N>& group) {
  std::array<ItemCode, Stars> stars{};
  std::size_t k = 0;
  for (ItemCode c : group) {
    if (c != code::Empty) stars[k++] = c;
  }
  return stars;
}
template <std::size_t Stars, std::size_t N>
constexpr Places<Stars> GroupPlaces(const std::array<ItemCode, N>& group, std::int32_t first,
                                    std::int32_t step) {
  Places<Stars> places{};
  std::size_t k = 0;
  for (std::size_t i = 0; i < N; ++i) {
    if (group[i] != code::Empty)
      places[k++] = WrapAdd(first, 12, step * static_cast<std::int32_t>(i));
  }
  return places;
}

constexpr std::size_t kKingStars = StarCount(KingGroupTable);
constexpr std::size_t kTreasuryStars = StarCount(TreasuryGroupTable);
constexpr auto kKingGroupStars = StarsOf<kKingStars>(KingGroupTable);
constexpr auto kTreasuryGroupStars = StarsOf<kTreasuryStars>(TreasuryGroupTable);

// The places of both groups by King's branch.
constexpr auto kKingGroupPlaces = RuleTable<12>(
    [](std::int32_t king) { return GroupPlaces<kKingStars>(KingGroupTable, king, -1); });
constexpr auto kTreasuryGroupPlaces = RuleTable<12>([](std::int32_t king) {
  return GroupPlaces<kTreasuryStars>(TreasuryGroupTable, TreasuryBranch(king), 1);
});

std::int32_t KingBranchOf(const PalaceChart& chart) {
  return Lookup(Lookup(kKingBranch, chart.bureau), chart.calendar.lunarDay);
}

}  // namespace

void PalaceChart::PlaceKingGroup() {
  PlaceAll(kKingGroupStars, Lookup(kKingGroupPlaces, KingBranchOf(*this)));
}

void PalaceChart::PlaceTreasuryGroup() {
  // King stands where PlaceKingGroup laid it, on the branch the same facts give.
  PlaceAll(kTreasuryGroupStars, Lookup(kTreasuryGroupPlaces, KingBranchOf(*this)));
}

}  // namespace velmora
