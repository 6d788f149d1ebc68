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

// The King group followed by the Treasury group, the order in which the main stars are placed.
template <std::size_t A, std::size_t B>
constexpr std::array<std::int32_t, A + B> Joined(const std::array<std::int32_t, A>& first,
                                                 const std::array<std::int32_t, B>& second) {
  std::array<std::int32_t, A + B> joined{};
  for (std::size_t i = 0; i < A; ++i) joined[i] = first[i];
  for (std::size_t i = 0; i < B; ++i) joined[A + i] = second[i];
  return joined;
}

constexpr std::size_t kKingStars = StarCount(KingGroupTable);
constexpr std::size_t kTreasuryStars = StarCount(TreasuryGroupTable);
constexpr std::size_t kMainStars = kKingStars + kTreasuryStars;
constexpr auto kMainStarCodes =
    Joined(StarsOf<kKingStars>(KingGroupTable), StarsOf<kTreasuryStars>(TreasuryGroupTable));

// The main stars of every palace when King is on a given branch, as they stand in the two slots
// behind the palace's name and stem (empty where there are fewer), and every palace's count of
// filled slots after them. Only King's branch decides them, so they are worked out here for all
// twelve branches, by placing both groups with the first-free counting the other stars go on
// with. Neither group has two stars in one palace, so the two slots hold them all.
struct MainStarLayout {
  std::array<std::array<ItemCode, 2>, kPalaceRows> stars;
  SlotCounts counts;
};
constexpr MainStarLayout LayOutMainStars(std::int32_t king) {
  MainStarLayout layout{};
  const Places<kMainStars> branches =
      Joined(GroupPlaces<kKingStars>(KingGroupTable, king, -1),
             GroupPlaces<kTreasuryStars>(TreasuryGroupTable, TreasuryBranch(king), 1));
  layout.counts = SlotCounts(kStemSlot + 1);
  for (std::size_t i = 0; i < kMainStars; ++i) {
    const std::size_t slot = layout.counts.Take(branches[i]);
    layout.stars[static_cast<std::size_t>(branches[i])][slot - (kStemSlot + 1)] = kMainStarCodes[i];
  }
  return layout;
}
constexpr auto kMainStarLayout = RuleTable<12>(LayOutMainStars);
// King on 寅 meets Treasury there, which stands behind it.
static_assert(kMainStarLayout[3].stars[3] == std::array<ItemCode, 2>{code::King, code::Treasury});

}  // namespace

SlotCounts PalaceChart::PlaceMainStars() {
  const std::int32_t king = Lookup(Lookup(kKingBranch, bureau), calendar.lunarDay);
  const MainStarLayout& layout = Lookup(kMainStarLayout, king);
  for (std::size_t branch = 1; branch < kPalaceRows; ++branch) {
    grid[branch][kStemSlot + 1] = layout.stars[branch][0];
    grid[branch][kStemSlot + 2] = layout.stars[branch][1];
  }
  return layout.counts;
}

}  // namespace velmora
