#include "casting/place_finder.h"

#include <algorithm>

#include "casting/chart_json.h"
#include "presentation/birth_text.h"

namespace velmora {

std::string ClippedPlaceName(std::string_view name) {
  if (name.size() <= kMaxPlaceNameBytes) return std::string(name);
  std::size_t end = kMaxPlaceNameBytes;
  while (end > 0 && (static_cast<unsigned char>(name[end]) & 0xC0) == 0x80) --end;
  return std::string(name.substr(0, end));
}

std::string PlaceLabel(const Place& place) {
  std::string label = place.name;
  if (!place.region.empty() && place.region != place.name) {
    label += ", ";
    label += place.region;
  }
  if (!place.country.empty()) {
    label += ", ";
    label += place.country;
  }
  return label;
}

std::string PlaceWithZone(const Place& place) {
  return PlaceLabel(place) + " (" + place.zone + ", " + LongitudeText(place.longitude) + ')';
}

void AppendPlaceJson(const Place& place, std::string& out) {
  out += "{\"name\":";
  AppendJsonString(place.name, out);
  out += ",\"region\":";
  AppendJsonString(place.region, out);
  out += ",\"country\":";
  AppendJsonString(place.country, out);
  out += ",\"countryCode\":";
  AppendJsonString(place.countryCode, out);
  out += ",\"latitude\":";
  AppendDecimal(place.latitude, 4, out);
  out += ",\"longitude\":";
  AppendDecimal(place.longitude, 4, out);
  out += '}';
}

std::string NeitherPlaceNorZonePhrase(std::string_view words) {
  std::string phrase = "\"";
  phrase += words;
  phrase +=
      "\" is neither a city of 15,000 people or more nor a time zone; give a city, such as "
      "Beijing or \"Springfield, Illinois\", or a zone and a longitude, such as Asia/Shanghai "
      "116.4";
  return phrase;
}

const Place* PlaceMemory::Find(std::string_view query) {
  auto known = answers_.find(query);
  if (known == answers_.end()) {
    if (answers_.size() >= kEntries) answers_.clear();
    std::vector<Place> found = finder_.Find(query);
    std::optional<Place> first;
    if (!found.empty()) first = std::move(found.front());
    known = answers_.try_emplace(std::string(query), std::move(first)).first;
  }
  return known->second ? &*known->second : nullptr;
}

}  // namespace velmora
