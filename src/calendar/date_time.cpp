#include "calendar/date_time.h"

#include <cmath>

namespace velmora {

bool DecodeMoment(TDateTime moment, DecodedMoment& out) {
  if (!(std::fabs(moment) <= kMaxDecodableDays)) return false;  // also false for NaN
  const auto totalMs =
      static_cast<std::int64_t>(std::llround(moment * static_cast<double>(kMsPerDay)));
  std::int64_t days = totalMs / kMsPerDay;
  std::int64_t ms = totalMs % kMsPerDay;
  if (ms < 0) {  // before 1899 the time of day still counts forward from midnight
    ms += kMsPerDay;
    --days;
  }
  out.date = CivilFromDays(days + kDelphiEpochDays);
  out.msOfDay = static_cast<std::int32_t>(ms);
  return true;
}

}  // namespace velmora
