#include "casting/birth_place.h"

#include "calendar/birth_calendar.h"
#include "presentation/birth_text.h"

namespace velmora {

bool CheckZone(ZoneSource& zones, std::string_view name, std::string& error) {
  if (zones.Open(name) != nullptr) return true;
  error = zones.Empty() ? kNoZoneDatabaseError : kUnknownZoneError;
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

void TakeCity(const Place& city, PlaceRequest& request) {
  request.zone = city.zone;
  request.longitude = city.longitude;
  request.city = city;
}

bool CorrectBirth(TDateTime clock, const ZoneOffsets& zone, std::string_view zoneName,
                  const BirthPlace& place, std::string_view daylightHint, ClockCorrection& out,
                  std::string& error, BirthRefused* refused) {
  ClockChange change;
  ClockCorrection corrected;
  const auto refuse = [refused](BirthRefused why) {
    if (refused != nullptr) *refused = why;
    return false;
  };
  switch (CorrectClockTime(clock, zone, place, corrected, change)) {
    case ClockResult::kCorrected:
      break;
    case ClockResult::kSkipped:
      error = ClockChangePhrase(clock, change, zoneName, daylightHint);
      return refuse(BirthRefused::kSkipped);
    case ClockResult::kRepeated:
      error = ClockChangePhrase(clock, change, zoneName, daylightHint);
      return refuse(BirthRefused::kRepeated);
    case ClockResult::kUnreadable:
      SetUnsupportedBirthError(error);
      return refuse(BirthRefused::kUnsupported);
  }
  if (!IsSupportedBirthMoment(corrected.Cast())) {
    error = CorrectedMomentOutsidePhrase(corrected.Cast());
    return refuse(BirthRefused::kUnsupported);
  }
  out = corrected;
  return true;
}

bool PlaceCorrector::Correct(const BirthInput& birth, const PlaceWords& words,
                             std::optional<ClockCorrection>& correction, std::string& error) {
  correction.reset();
  city_ = nullptr;
  refused_ = BirthRefused::kPlace;
  if (!request_.Any() && words.zone.empty() && words.longitude.empty() && words.city.empty() &&
      words.daylight == DaylightSaving::kUnknown) {
    if (CheckSupportedBirth(birth, error)) return true;
    refused_ = BirthRefused::kUnsupported;
    return false;
  }
  // The request without its city, which is kept apart: copied for every birth of a batch, it
  // would cost more than the correction. Kept from birth to birth, so that its zone's name
  // reuses its storage.
  PlaceRequest& request = lineRequest_;
  request.zone = request_.zone;
  request.longitude = request_.longitude;
  request.solar = request_.solar;
  request.daylight =
      words.daylight != DaylightSaving::kUnknown ? words.daylight : request_.daylight;
  const Place* city = request_.city ? &*request_.city : nullptr;
  if (!words.city.empty()) {
    city = cities_ ? cities_->Find(words.city) : nullptr;
    if (city == nullptr) {
      error = NeitherPlaceNorZonePhrase(words.city);
      return false;
    }
    request.zone = city->zone;
    request.longitude = city->longitude;
  }
  if (!words.zone.empty()) {
    request.zone = words.zone;
    city = nullptr;
  }
  if (!words.longitude.empty()) {
    double longitude = 0.0;
    if (!ParseLongitude(words.longitude, longitude, error)) return false;
    request.longitude = longitude;
    city = nullptr;
  }
  BirthPlace place;
  if (!PlaceOfRequest(request, place, error)) return false;
  const ZoneOffsets* zone = zones_.Open(request.zone);
  if (zone == nullptr) {
    error = zones_.Empty() ? kNoZoneDatabaseError : kUnknownZoneError;
    return false;
  }
  // The zone as the database spells it, however the user wrote it.
  const std::string_view spelling = zones_.OpenedName();
  zoneName_ = spelling.empty() ? std::string_view(request.zone) : spelling;
  ClockCorrection corrected;
  if (!CorrectBirth(birth.Moment(), *zone, zoneName_, place, daylightHint_, corrected, error,
                    &refused_)) {
    return false;
  }
  correction = corrected;
  city_ = city;
  return true;
}

}  // namespace velmora
