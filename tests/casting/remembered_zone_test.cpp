#include "casting/remembered_zone.h"

#include <gtest/gtest.h>

namespace velmora {
namespace {

// Eight hours east, nine from the instant 1000 on, and how often it was asked.
class CountingZone final : public ZoneOffsets {
 public:
  std::int32_t OffsetAt(std::int64_t utcSeconds) const override {
    ++asked;
    return utcSeconds < 1000 ? 8 * 3600 : 9 * 3600;
  }
  std::int32_t StandardOffsetAt(std::int64_t) const override {
    ++asked;
    return 8 * 3600;
  }
  mutable int asked = 0;
};

TEST(RememberedZone, AsksItsZoneOnceForEachInstantAndAnswersAsItDoes) {
  CountingZone zone;
  RememberedZone remembered;
  EXPECT_EQ(remembered.Zone(), nullptr);
  remembered.Reset(&zone);
  for (int round = 0; round < 3; ++round) {
    for (const std::int64_t instant : {0, 999, 1000, 5000}) {
      EXPECT_EQ(remembered.OffsetAt(instant), zone.OffsetAt(instant));
      EXPECT_EQ(remembered.StandardOffsetAt(instant), 8 * 3600);
    }
  }
  // Each round asked the zone itself once per instant above; the remembered zone only at first.
  EXPECT_EQ(zone.asked, 3 * 4 + 2 * 4);
  // However many instants it is asked for, its answers stay the zone's.
  for (std::int64_t instant = 0; instant < 40'000; ++instant) {
    ASSERT_EQ(remembered.OffsetAt(instant), instant < 1000 ? 8 * 3600 : 9 * 3600);
  }
  remembered.Reset(nullptr);
  EXPECT_EQ(remembered.Zone(), nullptr);
}

TEST(RememberedZone, WorksOutAYearsSmallestOffsetOnce) {
  CountingZone zone;
  RememberedZone remembered;
  remembered.Reset(&zone);
  for (int round = 0; round < 3; ++round) {
    EXPECT_EQ(remembered.SmallestOffsetOfYear(1969), 8 * 3600);
    EXPECT_EQ(remembered.SmallestOffsetOfYear(1970), 9 * 3600);  // sampled from its first noon
  }
  EXPECT_EQ(zone.asked, 2 * 24);  // the 1st and the 16th of each month, once a year
}

}  // namespace
}  // namespace velmora
