#pragma once

#include <array>
#include <string_view>
#include <utility>
#include <vector>

#include "casting/place_finder.h"

namespace velmora {

// The country codes some people write for their country in place of its ISO code, as a
// narrowing word after a comma: "Leeds, UK".
inline constexpr std::array<std::pair<std::string_view, std::string_view>, 3> kCountryAliases = {{
    {"uk", "GB"},
    {"usa", "US"},
    {"uae", "AE"},
}};

// The cities of the GeoNames table that libgeonames carries, found by the library's own query:
// a city's name matches when the query's words start its words, letter case and accents
// folded. The region and country after commas narrow the matches the same way, or by the
// two-letter country code. Safe to call from several threads at once.
class GeonamesPlaces final : public PlaceFinder {
 public:
  std::vector<Place> Find(std::string_view query) override;
};

}  // namespace velmora
