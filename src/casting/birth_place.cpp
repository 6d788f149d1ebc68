#include "casting/birth_place.h"

#include "calendar/birth_calendar.h"
#include "presentation/birth_text.h"

namespace velmora {

bool CheckZone(ZoneSource& zones, std::string_view name, std::string& error) {
  if (zones.Open(name) != nullptr) return true;
  error = kUnknownZoneError;
  return false;
}

bool PlaceOfRequest(const PlaceRequest& request, BirthPlace& place, std::string& error) {
  if (request.zone.empty()) {
    error = "a birth place needs its time zone, such as Asia/Shanghai";
    return false;
  }
  BirthPlace result;
  result.solar =
      request.solar.value_or(request.longitude ? SolarTime::kMean : SolarTime::kStandard);
  if (result.solar != SolarTime::kStandard && !request.longitude) {
    error = "solar time needs the longitude of the birth place";
    return false;
  }
  result.longitude = request.longitude.value_or(0.0);
  result.daylight = request.daylight;
  place = result;
  return true;
}

bool CorrectBirth(TDateTime clock, const ZoneOffsets& zone, std::string_view zoneName,
                  const BirthPlace& place, std::string_view daylightHint, ClockCorrection& out,
                  std::string& error) {
  ClockChange change;
  ClockCorrection corrected;
  switch (CorrectClockTime(clock, zone, place, corrected, change)) {
    case ClockResult::kCorrected:
      break;
    case ClockResult::kSkipped:
    case ClockResult::kRepeated:
      error = ClockChangePhrase(clock, change, zoneName, daylightHint);
      return false;
    case ClockResult::kUnreadable:
      SetUnsupportedBirthError(error);
      return false;
  }
  if (!IsSupportedBirthMoment(corrected.Cast())) {
    error = CorrectedMomentOutsidePhrase(corrected.Cast());
    return false;
  }
  out = corrected;
  return true;
}

bool PlaceCorrector::Correct(const BirthInput& birth, const PlaceWords& words,
                             std::optional<ClockCorrection>& correction, std::string& error) {
  correction.reset();
  if (!request_.Any() && words.zone.empty() && words.longitude.empty()) {
    return CheckSupportedBirth(birth, error);
  }
  PlaceRequest request = request_;
  if (!words.zone.empty()) request.zone = words.zone;
  if (!words.longitude.empty()) {
    double longitude = 0.0;
    if (!ParseLongitude(words.longitude, longitude, error)) return false;
    request.longitude = longitude;
  }
  BirthPlace place;
  if (!PlaceOfRequest(request, place, error)) return false;
  const ZoneOffsets* zone = zones_.Open(request.zone);
  if (zone == nullptr) {
    error = kUnknownZoneError;
    return false;
  }
  zoneName_ = request.zone;
  ClockCorrection corrected;
  if (!CorrectBirth(birth.Moment(), *zone, zoneName_, place, daylightHint_, corrected, error)) {
    return false;
  }
  correction = corrected;
  return true;
}

}  // namespace velmora
