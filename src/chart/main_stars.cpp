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

// KingBranch for every lunar day 1..30 and bureau 2..6, worked out at compile time: a chart then
// looks King up instead of dividing and branching on the remainder.
constexpr auto kKingBranchTable = [] {
  std::array<std::array<std::int32_t, 31>, 7> table{};
  for (std::int32_t bureau = 2; bureau <= 6; ++bureau) {
    for (std::int32_t day = 1; day <= 30; ++day) {
      table[static_cast<std::size_t>(bureau)][static_cast<std::size_t>(day)] =
          KingBranch(day, bureau);
    }
  }
  return table;
}();

// King's branch for the chart's facts. A bureau outside 2..6 cannot come from ComputeBureau, nor
// a day outside 1..30 from decoding; facts set by hand still get a defined division.
constexpr std::int32_t KingBranchOf(std::int32_t lunarDay, std::int32_t bureau) {
  const std::int32_t divisor = bureau >= 2 && bureau <= 6 ? bureau : 2;
  return lunarDay >= 1 && lunarDay <= 30 ? kKingBranchTable[static_cast<std::size_t>(divisor)]
                                                           [static_cast<std::size_t>(lunarDay)]
                                         : KingBranch(lunarDay, divisor);
}

// Treasury mirrors King: their branches add up to 6 or 18.
constexpr std::int32_t TreasuryBranch(std::int32_t kingBranch) {
  return StepBranch(6, -kingBranch);
}

}  // namespace

void PalaceChart::PlaceKingGroup() {
  const std::int32_t king = KingBranchOf(calendar.lunarDay, bureau);
  // Entry i of the group lies i places backward from King; the empty entries place nothing.
#pragma GCC unroll 9
  for (std::size_t i = 0; i < KingGroupTable.size(); ++i) {
    if (KingGroupTable[i] == code::Empty) continue;
    PlaceItem(KingGroupTable[i], StepBranch(king, -static_cast<std::int32_t>(i)), kFirstFree);
  }
}

void PalaceChart::PlaceTreasuryGroup() {
  // King stands where PlaceKingGroup laid it, on the branch the same facts give.
  const std::int32_t treasury = TreasuryBranch(KingBranchOf(calendar.lunarDay, bureau));
  // Entry i of the group lies i places forward from Treasury.
#pragma GCC unroll 11
  for (std::size_t i = 0; i < TreasuryGroupTable.size(); ++i) {
    if (TreasuryGroupTable[i] == code::Empty) continue;
    PlaceItem(TreasuryGroupTable[i], StepBranch(treasury, static_cast<std::int32_t>(i)),
              kFirstFree);
  }
}

}  // namespace velmora
