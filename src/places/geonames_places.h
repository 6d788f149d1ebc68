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

// The abbreviations people write after a city for the states, provinces and territories of a
// few countries ("Paris, TX", "Perth, WA"), folded, with the region's name as the table gives it.
struct RegionAbbreviation {
  std::string_view abbreviation;
  std::string_view countryCode;
  std::string_view region;
};
inline constexpr std::array<RegionAbbreviation, 71> kRegionAbbreviations = {{
    {"al", "US", "Alabama"},
    {"ak", "US", "Alaska"},
    {"az", "US", "Arizona"},
    {"ar", "US", "Arkansas"},
    {"ca", "US", "California"},
    {"co", "US", "Colorado"},
    {"ct", "US", "Connecticut"},
    {"de", "US", "Delaware"},
    {"dc", "US", "District of Columbia"},
    {"fl", "US", "Florida"},
    {"ga", "US", "Georgia"},
    {"hi", "US", "Hawaii"},
    {"id", "US", "Idaho"},
    {"il", "US", "Illinois"},
    {"in", "US", "Indiana"},
    {"ia", "US", "Iowa"},
    {"ks", "US", "Kansas"},
    {"ky", "US", "Kentucky"},
    {"la", "US", "Louisiana"},
    {"me", "US", "State of Maine"},
    {"md", "US", "Maryland"},
    {"ma", "US", "Massachusetts"},
    {"mi", "US", "Michigan"},
    {"mn", "US", "Minnesota"},
    {"ms", "US", "Mississippi"},
    {"mo", "US", "Missouri"},
    {"mt", "US", "Montana"},
    {"ne", "US", "Nebraska"},
    {"nv", "US", "Nevada"},
    {"nh", "US", "New Hampshire"},
    {"nj", "US", "New Jersey"},
    {"nm", "US", "New Mexico"},
    {"ny", "US", "New York"},
    {"nc", "US", "North Carolina"},
    {"nd", "US", "North Dakota"},
    {"oh", "US", "Ohio"},
    {"ok", "US", "Oklahoma"},
    {"or", "US", "Oregon"},
    {"pa", "US", "Pennsylvania"},
    {"ri", "US", "Rhode Island"},
    {"sc", "US", "South Carolina"},
    {"sd", "US", "South Dakota"},
    {"tn", "US", "Tennessee"},
    {"tx", "US", "Texas"},
    {"ut", "US", "Utah"},
    {"vt", "US", "Vermont"},
    {"va", "US", "Virginia"},
    {"wa", "US", "Washington"},
    {"wv", "US", "West Virginia"},
    {"wi", "US", "Wisconsin"},
    {"wy", "US", "State of Wyoming"},
    {"ab", "CA", "Alberta"},
    {"bc", "CA", "British Columbia"},
    {"mb", "CA", "Manitoba"},
    {"nb", "CA", "New Brunswick"},
    {"nl", "CA", "Newfoundland and Labrador"},
    {"nt", "CA", "Northwest Territories"},
    {"ns", "CA", "Nova Scotia"},
    {"on", "CA", "Ontario"},
    {"pe", "CA", "Prince Edward Island"},
    {"qc", "CA", "Quebec"},
    {"sk", "CA", "Saskatchewan"},
    {"yt", "CA", "Yukon Territory"},
    {"act", "AU", "Australian Capital Territory"},
    {"nsw", "AU", "New South Wales"},
    {"nt", "AU", "Northern Territory"},
    {"qld", "AU", "Queensland"},
    {"sa", "AU", "South Australia"},
    {"tas", "AU", "Tasmania"},
    {"vic", "AU", "Victoria"},
    {"wa", "AU", "Western Australia"},
}};

// The cities of the GeoNames table that libgeonames carries, found by the library's own query:
// a city's name matches when the query's words start its words, letter case and accents
// folded. The region and country after commas narrow the matches the same way, or by the
// two-letter country code or the region's abbreviation. Safe to call from several threads at
// once.
class GeonamesPlaces final : public PlaceFinder {
 public:
  std::vector<Place> Find(std::string_view query) override;
};

}  // namespace velmora
