// Stars placed by the two-hour period of birth and by the lunar month.
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

}  // namespace

void PalaceChart::PlaceIntellectStars() {
  PlaceAll({code::Intellect, code::Intelligence}, Lookup(kIntellectPlaces, calendar.hourBranch));
}

void PalaceChart::PlaceAidStars() {
  PlaceAll({code::LeftAid, code::RightAid}, Lookup(kAidPlaces, calendar.lunarMonth));
}

void PalaceChart::PlaceEarthStars() {
  PlaceAll({code::Calamity, code::Misfortune}, Lookup(kEarthPlaces, calendar.hourBranch));
}

void PalaceChart::PlacePegasus() {
  PlaceAll({code::Pegasus}, Lookup(kPegasusPlaces, calendar.lunarMonth));
}

void PalaceChart::PlaceRomanceStars() {
  PlaceAll({code::Punishment, code::Dissolute}, Lookup(kRomancePlaces, calendar.lunarMonth));
}

}  // namespace velmora
