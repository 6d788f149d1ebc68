#include "casting/remembered_zone.h"

namespace velmora {

void RememberedZone::Reset(const ZoneOffsets* zone) {
  zone_ = zone;
  offsets_.clear();
  standardOffsets_.clear();
  smallestOfYear_.clear();
}

std::int32_t RememberedZone::Remember(std::unordered_map<std::int64_t, std::int32_t>& memory,
                                      std::int64_t utcSeconds, std::int32_t offset) {
  if (memory.size() >= kMostRemembered) memory.clear();
  memory.emplace(utcSeconds, offset);
  return offset;
}

std::int32_t RememberedZone::OffsetAt(std::int64_t utcSeconds) const {
  const auto known = offsets_.find(utcSeconds);
  if (known != offsets_.end()) return known->second;
  return Remember(offsets_, utcSeconds, zone_->OffsetAt(utcSeconds));
}

std::int32_t RememberedZone::StandardOffsetAt(std::int64_t utcSeconds) const {
  const auto known = standardOffsets_.find(utcSeconds);
  if (known != standardOffsets_.end()) return known->second;
  return Remember(standardOffsets_, utcSeconds, zone_->StandardOffsetAt(utcSeconds));
}

std::int32_t RememberedZone::SmallestOffsetOfYear(std::int32_t year) const {
  const auto known = smallestOfYear_.find(year);
  if (known != smallestOfYear_.end()) return known->second;
  return Remember(smallestOfYear_, year, ZoneOffsets::SmallestOffsetOfYear(year));
}

}  // namespace velmora
