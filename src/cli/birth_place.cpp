#include "cli/birth_place.h"

#include "presentation/birth_text.h"

namespace velmora {

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
  if (!zone_ || zoneName_ != request.zone) {
    zoneName_ = request.zone;
    zone_.emplace(zoneName_);
  }
  if (!zone_->Valid()) {
    error = kUnknownZoneError;
    return false;
  }
  ClockCorrection corrected;
  if (!CorrectBirth(birth.Moment(), *zone_, zoneName_, place, kDaylightHint, corrected, error)) {
    return false;
  }
  correction = corrected;
  return true;
}

}  // namespace velmora
