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

// Treasury mirrors King: their branches add up to 6 or 18.
constexpr std::int32_t TreasuryBranch(std::int32_t kingBranch) {
  return WrapInto(6 - kingBranch, 12);
}

}  // namespace

void PalaceChart::PlaceKingGroup() {
  // A bureau outside 2..6 cannot come from ComputeBureau; the guard keeps the division defined.
  const std::int32_t divisor = bureau >= 2 && bureau <= 6 ? bureau : 2;
  const std::int32_t king = KingBranch(calendar.lunarDay, divisor);
  // Entry i of the group lies i places backward from King; the empty entries place nothing.
  for (std::size_t i = 0; i < KingGroupTable.size(); ++i) {
    if (KingGroupTable[i] == code::Empty) continue;
    PlaceItem(KingGroupTable[i], StepBranch(king, -static_cast<std::int32_t>(i)), kFirstFree);
  }
}

void PalaceChart::PlaceTreasuryGroup() {
  const std::int32_t treasury = TreasuryBranch(PalaceOf(code::King));
  // Entry i of the group lies i places forward from Treasury.
  for (std::size_t i = 0; i < TreasuryGroupTable.size(); ++i) {
    if (TreasuryGroupTable[i] == code::Empty) continue;
    PlaceItem(TreasuryGroupTable[i], StepBranch(treasury, static_cast<std::int32_t>(i)),
              kFirstFree);
  }
}

}  // namespace velmora
