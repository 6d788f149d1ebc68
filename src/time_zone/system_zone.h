#pragma once

#include <QStringList>
#include <QTimeZone>

#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "calendar/clock_correction.h"
#include "casting/birth_place.h"

namespace velmora {

// A zone of the system's time zone database (Debian's tzdata), read through QTimeZone.
class SystemZone final : public ZoneOffsets {
 public:
  // The zone named by an identifier of the system's database such as "Asia/Shanghai", an old
  // one such as "Asia/Calcutta" or "US/Eastern" included, in any letter case; not Valid() for a
  // name the database does not hold.
  explicit SystemZone(std::string_view name);
  // Not copied: it points into the offsets it keeps.
  SystemZone(const SystemZone&) = delete;
  SystemZone& operator=(const SystemZone&) = delete;

  bool Valid() const { return valid_; }
  std::int32_t OffsetAt(std::int64_t utcSeconds) const override;
  std::int32_t StandardOffsetAt(std::int64_t utcSeconds) const override;
  std::int32_t SmallestOffsetOfYear(std::int32_t year) const override;

 private:
  // The offsets of a stretch of about a year, worked out once from the database's transitions:
  // each step holds from its instant until the next one's.
  struct Step {
    std::int64_t from;
    std::int32_t offset;
    std::int32_t standard;
  };
  static constexpr int kStretchBits = 25;  // 2^25 seconds, a little over a year
  // The most stretches, and years' smallest offsets, kept: more than the calendar's 150 years,
  // so only births far outside it make the zone forget them all at once, and memory stays
  // bounded however many years a batch names.
  static constexpr std::size_t kMostKept = 160;
  // The steps of the stretch numbered `stretch`, worked out on first use.
  const std::vector<Step>& StretchSteps(std::int64_t stretch) const;
  const Step& StepAt(std::int64_t utcSeconds) const;

  QTimeZone zone_;
  bool valid_ = false;
  mutable std::unordered_map<std::int64_t, std::vector<Step>> stretches_;
  // The stretch asked for last: a correction asks for many instants of the same year in a row.
  mutable std::int64_t lastStretch_ = 0;
  mutable const std::vector<Step>* lastSteps_ = nullptr;
  mutable std::unordered_map<std::int32_t, std::int32_t> smallestOfYear_;
};

// The system's zones as a source for the casting. Every zone opened is kept, with the offsets
// it has worked out, since a batch names the same few zones again and again, in any order.
class SystemZones final : public ZoneSource {
 public:
  const ZoneOffsets* Open(std::string_view name) override;

 private:
  // The most names kept as asked: a file naming ever more spellings or unknown zones fills it,
  // and then every one is forgotten at once, so memory stays bounded.
  static constexpr std::size_t kMostNames = 4096;

  // Looks names up as they stand in a line, without copying them.
  struct NameHash {
    using is_transparent = void;
    std::size_t operator()(std::string_view name) const {
      return std::hash<std::string_view>{}(name);
    }
  };
  // Each name as asked, with its zone, or null for a name the database does not hold.
  std::unordered_map<std::string, const SystemZone*, NameHash, std::equal_to<>> byName_;
  // The zones by the database's own spelling: at most one for each name it holds.
  std::unordered_map<std::string, SystemZone> zones_;
};

// Every name the database holds, its old ones included, in alphabetical order, for a user to
// choose from.
QStringList SystemZoneNames();

}  // namespace velmora
