#pragma once

#include <QStringList>
#include <QTimeZone>

#include <optional>
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

  bool Valid() const { return valid_; }
  std::int32_t OffsetAt(std::int64_t utcSeconds) const override;
  std::int32_t StandardOffsetAt(std::int64_t utcSeconds) const override;

 private:
  // The offsets of a stretch of about a year, worked out once from the database's transitions:
  // each step holds from its instant until the next one's.
  struct Step {
    std::int64_t from;
    std::int32_t offset;
    std::int32_t standard;
  };
  static constexpr int kStretchBits = 25;  // 2^25 seconds, a little over a year
  const Step& StepAt(std::int64_t utcSeconds) const;

  QTimeZone zone_;
  bool valid_ = false;
  mutable std::unordered_map<std::int64_t, std::vector<Step>> stretches_;
};

// The system's zones as a source for the casting: the zone opened last is kept, since a batch
// names the same few zones line after line.
class SystemZones final : public ZoneSource {
 public:
  const ZoneOffsets* Open(std::string_view name) override;

 private:
  std::string name_;
  std::optional<SystemZone> zone_;
};

// Every name the database holds, its old ones included, in alphabetical order, for a user to
// choose from.
QStringList SystemZoneNames();

}  // namespace velmora
