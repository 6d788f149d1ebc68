// Stars placed by the two-hour period of birth and by the lunar month.
#include <array>

#include "chart/palace_chart.h"

namespace velmora {

void PalaceChart::PlaceIntellectStars() {
  const std::int32_t h = calendar.hourBranch;
  PlaceItem(code::Intellect, CountFrom(11, h, false), kFirstFree);
  PlaceItem(code::Intelligence, CountFrom(5, h, true), kFirstFree);
}

void PalaceChart::PlaceAidStars() {
  const std::int32_t m = calendar.lunarMonth;
  PlaceItem(code::LeftAid, CountFrom(5, m, true), kFirstFree);
  PlaceItem(code::RightAid, CountFrom(11, m, false), kFirstFree);
}

void PalaceChart::PlaceEarthStars() {
  const std::int32_t h = calendar.hourBranch;
  PlaceItem(code::Calamity, CountFrom(12, h, true), kFirstFree);
  PlaceItem(code::Misfortune, CountFrom(12, h, false), kFirstFree);
}

void PalaceChart::PlacePegasus() {
  // Pegasus stands in one of the four corner branches 寅, 巳, 申, 亥, chosen by the month's branch.
  constexpr std::array<std::int32_t, 4> kPegasusBranch = {6, 3, 12, 9};
  const std::int32_t monthBranch = CountFrom(3, calendar.lunarMonth, true);
  PlaceItem(code::Pegasus, kPegasusBranch[static_cast<std::size_t>(monthBranch % 4)], kFirstFree);
}

void PalaceChart::PlaceRomanceStars() {
  const std::int32_t m = calendar.lunarMonth;
  PlaceItem(code::Punishment, CountFrom(10, m, true), kFirstFree);
  PlaceItem(code::Dissolute, CountFrom(2, m, true), kFirstFree);
}

}  // namespace velmora
