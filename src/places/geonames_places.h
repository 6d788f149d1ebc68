#pragma once

#include <string_view>
#include <vector>

#include "casting/place_finder.h"

namespace velmora {

// The cities of the GeoNames table that libgeonames carries, found by the library's own query:
// a city's name matches when the query's words start its words, letter case and accents
// folded. The region and country after commas narrow the matches the same way, or by the
// two-letter country code. Safe to call from several threads at once.
class GeonamesPlaces final : public PlaceFinder {
 public:
  std::vector<Place> Find(std::string_view query) override;
};

}  // namespace velmora
