#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace velmora {

// A city a birth place can be named by: its name, region and country as the world's cities
// table gives them, the time zone its clocks keep and where it lies.
struct Place {
  std::string name;
  std::string region;
  std::string country;
  std::string countryCode;  // ISO 3166 two letters, "CN"
  std::string zone;         // a name of the time zone database, "Asia/Urumqi"
  double latitude = 0.0;    // degrees, north positive
  double longitude = 0.0;   // degrees, east positive
  std::uint32_t population = 0;
  std::int32_t tableIndex = 0;  // the city's row in the table, which orders equal populations
};

// The most bytes of a city's name, region or country that a finder gives: the longest in the
// table takes 54. A longer one is cut at a character's end.
inline constexpr std::size_t kMaxPlaceNameBytes = 120;

// The most bytes of a query that can name a city: far more than the longest city with its
// region and country takes (83). A longer query names none, and so costs no search.
inline constexpr std::size_t kMaxPlaceQueryBytes = 256;

// At most kMaxPlaceNameBytes of the UTF-8 text `name`, cut at the end of a character.
std::string ClippedPlaceName(std::string_view name);

// The most bytes AppendPlaceJson writes: its members, and the three names and the code with
// every byte escaped to the longest form (six bytes).
inline constexpr std::size_t kMaxPlaceJsonBytes = 160 + 6 * (3 * kMaxPlaceNameBytes + 2);

// The city with its region and country, as a person would write it: "Ürümqi, Xinjiang Uyghur
// Autonomous Region, China". A region that only repeats the name is left out.
std::string PlaceLabel(const Place& place);

// The city and what it is cast with, for the sentence that says how a clock time was corrected:
// "Ürümqi, Xinjiang Uyghur Autonomous Region, China (Asia/Urumqi, 87.6005°E)".
std::string PlaceWithZone(const Place& place);

// Appends the place as a JSON object: name, region, country, countryCode, latitude, longitude.
void AppendPlaceJson(const Place& place, std::string& out);

// Where a shell's cities come from: the GeoNames table of the world's cities of 15,000 people
// or more, through the system's library in the window and velmora-cli.
class PlaceFinder {
 public:
  virtual ~PlaceFinder() = default;
  // The cities `query` names, most populous first: a city's name, or the start of its words,
  // optionally followed by its region (name, or the usual abbreviation of a state, province or
  // territory of the United States, Canada or Australia) and its country (name or two-letter
  // code), separated by commas: "Urumqi", "Springfield, Illinois", "London, Canada",
  // "Sydney, CA", "Paris, TX". Letter case and accents do not matter. Empty when nothing matches.
  virtual std::vector<Place> Find(std::string_view query) = 0;
};

// The phrase for a place query that finds no city, saying what is accepted.
inline constexpr const char* kUnknownPlaceError =
    "no city of 15,000 people or more by that name; give a city's name, then its region or "
    "country when several share it, such as Urumqi, \"Springfield, Illinois\" or \"London, "
    "Canada\"";

// The phrase for a batch line's place that is neither a city nor a time zone.
std::string NeitherPlaceNorZonePhrase(std::string_view words);

// The one most populous city `query` names, remembering the answers so that a file of births
// naming the same places asks the finder once for each.
class PlaceMemory {
 public:
  explicit PlaceMemory(PlaceFinder& finder) : finder_(finder) {}
  // The city, or null when `query` names none. Stays valid until the next call.
  const Place* Find(std::string_view query);

 private:
  // The most queries remembered: a file naming more places than this forgets them all at once
  // and starts again, so memory stays bounded (a few megabytes).
  static constexpr std::size_t kEntries = 4096;

  // Looks queries up as they stand in a line, without copying them.
  struct QueryHash {
    using is_transparent = void;
    std::size_t operator()(std::string_view query) const {
      return std::hash<std::string_view>{}(query);
    }
  };

  PlaceFinder& finder_;
  // The city each query named, or none.
  std::unordered_map<std::string, std::optional<Place>, QueryHash, std::equal_to<>> answers_;
};

}  // namespace velmora
