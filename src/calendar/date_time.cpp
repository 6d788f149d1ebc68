#include "calendar/date_time.h"

namespace velmora {

bool DecodeMoment(TDateTime moment, DecodedMoment& out) {
  MomentDay split;
  if (!SplitMoment(moment, split)) return false;
  out.date = CivilFromDays(split.day + kDelphiEpochDays);
  out.msOfDay = split.msOfDay;
  return true;
}

}  // namespace velmora
