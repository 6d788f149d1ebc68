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
// it has worked out, since a batch names the same few zones again and again, in any order: at
// most one for each name the database holds, so memory stays bounded.
class SystemZones final : public ZoneSource {
 public:
  const ZoneOffsets* Open(std::string_view name) override;
  std::string_view OpenedName() const override { return openedName_; }
  bool Empty() const override;

 private:
  // The zones by the database's own spelling.
  std::unordered_map<std::string, SystemZone> zones_;
  std::string_view openedName_;
};

// Every name the database holds, its old ones included, in alphabetical order, for a user to
// choose from. Names that hold no zone of a place (localtime, posixrules, Factory) are not
// among them.
QStringList SystemZoneNames();

// The version of the system's database, such as "2025b"; empty when it does not say.
std::string SystemZoneDatabaseVersion();

}  // namespace velmora
