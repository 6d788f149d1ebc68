#include "places/geonames_places.h"

#include <geonames.h>

#include <algorithm>
#include <memory>
#include <span>
#include <string>

namespace velmora {

namespace {

struct StrvFree {
  void operator()(gchar** v) const { g_strfreev(v); }
};
using Tokens = std::unique_ptr<gchar*[], StrvFree>;

struct CityFree {
  void operator()(GeonamesCity* c) const { geonames_city_free(c); }
};

// The words of `text` in the form the library compares them: split at every character that is
// neither a letter, a digit nor a mark, then normalised and case-folded.
Tokens Fold(const std::string& text) {
  return Tokens(g_str_tokenize_and_fold(text.c_str(), nullptr, nullptr));
}

bool StartsWith(const char* word, const char* prefix) {
  if (g_str_has_prefix(word, prefix)) return true;
  if (g_str_is_ascii(word)) return false;
  gchar* ascii = g_str_to_ascii(word, nullptr);
  const bool starts = g_str_has_prefix(ascii, prefix);
  g_free(ascii);
  return starts;
}

// Whether the words of `part` start consecutive words of `name`, in order.
bool WordsStart(const Tokens& part, const std::string& name) {
  const Tokens words = Fold(name);
  const guint partCount = g_strv_length(part.get());
  const guint wordCount = g_strv_length(words.get());
  if (partCount == 0) return false;
  for (guint first = 0; first + partCount <= wordCount; ++first) {
    guint j = 0;
    while (j < partCount && StartsWith(words[first + j], part[j])) ++j;
    if (j == partCount) return true;
  }
  return false;
}

// The country code `part` stands for when it is one word of two letters a to z ("CA"), or one of
// the few other codes people write ("UK"); empty otherwise.
std::string CountryCode(const Tokens& part) {
  if (g_strv_length(part.get()) != 1) return {};
  const std::string_view word = part[0];
  for (const auto& [alias, iso] : kCountryAliases) {
    if (word == alias) return std::string(iso);
  }
  if (word.size() != 2 || !g_ascii_isalpha(word[0]) || !g_ascii_isalpha(word[1])) return {};
  std::string code(word);
  for (char& c : code) c = g_ascii_toupper(c);
  return code;
}

// A part of the query after a comma, as it narrows the matches.
struct Narrowing {
  Tokens words;
  std::string code;                                // the country code the part may stand for
  std::vector<const RegionAbbreviation*> regions;  // the regions it may abbreviate

  bool Abbreviates() const { return !code.empty() || !regions.empty(); }
};

Narrowing NarrowingOf(const std::string& text) {
  Narrowing part{Fold(text), {}, {}};
  part.code = CountryCode(part.words);
  if (g_strv_length(part.words.get()) == 1) {
    for (const RegionAbbreviation& region : kRegionAbbreviations) {
      if (region.abbreviation == part.words[0]) part.regions.push_back(&region);
    }
  }
  return part;
}

// Whether `part` names the place's region or country. `byCodeOnly`: a part that may be a
// country's code or a region's abbreviation names only that country or region.
bool Narrows(const Narrowing& part, const Place& place, bool byCodeOnly) {
  if (!part.code.empty() && part.code == place.countryCode) return true;
  for (const RegionAbbreviation* region : part.regions) {
    if (region->countryCode == place.countryCode && region->region == place.region) return true;
  }
  if (byCodeOnly && part.Abbreviates()) return false;
  return WordsStart(part.words, place.region) || WordsStart(part.words, place.country);
}

std::string Trimmed(std::string_view text) {
  while (!text.empty() && g_ascii_isspace(text.front())) text.remove_prefix(1);
  while (!text.empty() && g_ascii_isspace(text.back())) text.remove_suffix(1);
  return std::string(text);
}

Place PlaceAt(gint index) {
  const std::unique_ptr<GeonamesCity, CityFree> city(geonames_get_city(index));
  Place place;
  place.name = ClippedPlaceName(geonames_city_get_name(city.get()));
  place.region = ClippedPlaceName(geonames_city_get_state(city.get()));
  place.country = ClippedPlaceName(geonames_city_get_country(city.get()));
  place.countryCode = ClippedPlaceName(geonames_city_get_country_code(city.get()));
  place.zone = geonames_city_get_timezone(city.get());
  place.latitude = geonames_city_get_latitude(city.get());
  place.longitude = geonames_city_get_longitude(city.get());
  place.population = geonames_city_get_population(city.get());
  place.tableIndex = index;
  return place;
}

// The cities the library finds for `name` whose region or country each of `narrowing` names. A
// part that may be a country's code or a region's abbreviation ("London, CA") names only that
// country or region when some match lies in it (Canada or California, not Eastern Cape, whose
// name "ca" starts), and otherwise a region or country its words start.
std::vector<Place> Matches(const std::string& name, std::span<const std::string> narrowing) {
  std::vector<Narrowing> parts;
  for (const std::string& text : narrowing) {
    if (!text.empty()) parts.push_back(NarrowingOf(text));
  }
  std::vector<Place> found;
  guint count = 0;
  gint* indices =
      geonames_query_cities_sync(name.c_str(), GEONAMES_QUERY_DEFAULT, &count, nullptr, nullptr);
  for (guint i = 0; indices != nullptr && i < count; ++i) found.push_back(PlaceAt(indices[i]));
  g_free(indices);
  for (const bool byCodeOnly : {true, false}) {
    std::vector<Place> places;
    for (const Place& place : found) {
      if (std::all_of(parts.begin(), parts.end(),
                      [&](const Narrowing& part) { return Narrows(part, place, byCodeOnly); })) {
        places.push_back(place);
      }
    }
    if (!places.empty()) return places;
  }
  return {};
}

}  // namespace

std::vector<Place> GeonamesPlaces::Find(std::string_view query) {
  if (query.size() > kMaxPlaceQueryBytes ||
      !g_utf8_validate(query.data(), static_cast<gssize>(query.size()), nullptr)) {
    return {};
  }
  std::vector<std::string> parts;
  for (std::size_t start = 0;;) {
    const std::size_t comma = query.find(',', start);
    parts.push_back(Trimmed(query.substr(start, comma - start)));
    if (comma == std::string_view::npos) break;
    start = comma + 1;
  }
  std::vector<Place> places = Matches(parts.front(), {parts.begin() + 1, parts.end()});
  // A few cities have a comma in their own name ("Burgdorf, Hanover"): when the words after the
  // first comma name no region or country of a match, they are read as the rest of the name, so
  // that every label the finder gives finds its city again.
  if (places.empty() && parts.size() > 1 && Fold(parts[0])[0] != nullptr) {
    places = Matches(parts[0] + ", " + parts[1], {parts.begin() + 2, parts.end()});
  }
  // Most populous first, and cities of equal population in the table's order, so that every
  // shell lists the same matches in the same order.
  std::sort(places.begin(), places.end(), [](const Place& a, const Place& b) {
    return a.population != b.population ? a.population > b.population : a.tableIndex < b.tableIndex;
  });
  return places;
}

}  // namespace velmora
