#pragma once

#include <cstdint>
#include <unordered_map>

#include "calendar/clock_correction.h"

namespace velmora {

// A zone that remembers the offsets it has been asked for, by instant, and each year's smallest
// offset. A correction asks for the offsets at two dozen instants of the birth's year to find the
// year's standard offset, the same instants for every birth of that year, so a page or a package
// that names one zone birth after birth asks a slow source, such as Intl, for each of them only
// once.
class RememberedZone final : public ZoneOffsets {
 public:
  // Forgets what was remembered and answers for `zone` from now on; null answers nothing.
  void Reset(const ZoneOffsets* zone);
  const ZoneOffsets* Zone() const { return zone_ != nullptr ? this : nullptr; }

  std::int32_t OffsetAt(std::int64_t utcSeconds) const override;
  std::int32_t StandardOffsetAt(std::int64_t utcSeconds) const override;
  std::int32_t SmallestOffsetOfYear(std::int32_t year) const override;

 private:
  // The most instants kept for each kind of offset: far more than a year's samples in many
  // years, and forgotten all at once when full, so memory stays bounded.
  static constexpr std::size_t kMostRemembered = 1 << 14;

  static std::int32_t Remember(std::unordered_map<std::int64_t, std::int32_t>& memory,
                               std::int64_t utcSeconds, std::int32_t offset);

  const ZoneOffsets* zone_ = nullptr;
  mutable std::unordered_map<std::int64_t, std::int32_t> offsets_;
  mutable std::unordered_map<std::int64_t, std::int32_t> standardOffsets_;
  mutable std::unordered_map<std::int64_t, std::int32_t> smallestOfYear_;
};

}  // namespace velmora
