#pragma once

#include <QStringList>
#include <QTimeZone>

#include <string_view>

#include "calendar/clock_correction.h"

namespace velmora {

// A zone of the system's time zone database (Debian's tzdata), read through QTimeZone.
class SystemZone final : public ZoneOffsets {
 public:
  // The zone named by an IANA identifier such as "Asia/Shanghai"; not Valid() for a name the
  // database does not hold.
  explicit SystemZone(std::string_view name);

  bool Valid() const { return valid_; }
  std::int32_t OffsetAt(std::int64_t utcSeconds) const override;
  std::int32_t StandardOffsetAt(std::int64_t utcSeconds) const override;

 private:
  QTimeZone zone_;
  bool valid_ = false;
};

// Every zone the database names, in alphabetical order, for a user to choose from.
QStringList SystemZoneNames();

}  // namespace velmora
