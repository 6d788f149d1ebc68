// velmora-place-index: writes the cities of the GeoNames table that libgeonames carries as one
// JSON object on standard output, for the JavaScript package's place finder, which must find
// the same cities as the library's own query without GLib at hand.
//
// The library keeps a city when the query's folded words start the folded words of its name.
// When a word does not, it tries again on the name from a byte offset: the length of the folded
// word that failed, counted from the start of the text it was trying. Each city therefore
// carries the words of every text that retrying can reach ("states"), with, for each word, the
// state a failure there moves to. Regions and countries carry the words the narrowing after a
// comma compares. Every word is folded here, by GLib itself, so that the package only compares.
//
//   {"aliases": [["uk", "GB"], ...], "regionAbbreviations": [["tx", "US", "Texas"], ...],
//    "zones": [...],
//    "regions": [{"name", "words"}], "countries": [{"name", "code", "words"}],
//    "cities": [{"name", "region", "country", "zone", "latitude", "longitude", "population",
//                "states": [{"words", "next"}]}]}
//
// A word is its folded form, or [folded, ascii] when its ASCII transliteration differs.
#include <geonames.h>

#include <charconv>
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <initializer_list>
#include <map>
#include <set>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "casting/chart_json.h"
#include "casting/place_finder.h"
#include "places/geonames_places.h"

namespace velmora {
namespace {

struct Word {
  std::string folded;     // the longest valid UTF-8 start of the folded word
  std::string ascii;      // its transliteration, when it differs and the word is not ASCII
  std::size_t bytes = 0;  // the folded word's whole length, which a retry skips
};

// The longest start of `text` that is valid UTF-8. A retry may start inside a character, and
// GLib then folds bytes that are no character; a query, always valid, can only start a word
// within its valid start, so that is all a comparison needs.
std::string ValidStart(const char* text) {
  const char* end = nullptr;
  g_utf8_validate(text, -1, &end);
  return std::string(text, end);
}

// Every character other than ASCII in a folded word, for the table of transliterations.
std::set<gunichar>& WordCharacters() {
  static std::set<gunichar> characters;
  return characters;
}

// The words of `text` exactly as the library compares them: g_str_tokenize_and_fold, read up to
// its first missing word as the library reads it, and each word's ASCII form as the library's
// prefix test makes it.
std::vector<Word> FoldedWords(const char* text) {
  std::vector<Word> words;
  gchar** tokens = g_str_tokenize_and_fold(text, nullptr, nullptr);
  for (gchar** t = tokens; *t != nullptr; ++t) {
    Word word;
    word.folded = ValidStart(*t);
    word.bytes = std::strlen(*t);
    if (!g_str_is_ascii(*t)) {
      for (const char* c = word.folded.c_str(); *c != '\0'; c = g_utf8_next_char(c)) {
        if (static_cast<unsigned char>(*c) >= 0x80) WordCharacters().insert(g_utf8_get_char(c));
      }
      gchar* ascii = g_str_to_ascii(*t, nullptr);
      if (ascii != nullptr && word.folded != ascii) word.ascii = ValidStart(ascii);
      g_free(ascii);
    }
    words.push_back(std::move(word));
  }
  g_strfreev(tokens);
  return words;
}

struct State {
  std::vector<Word> words;
  std::vector<std::size_t> next;  // for each word, the state a failed comparison there moves to
};

// Every text the library's retries can reach from the whole name, the whole name first.
std::vector<State> ReachableStates(const char* name) {
  const std::size_t length = std::strlen(name);
  std::vector<State> states;
  std::vector<std::size_t> offsets = {0};
  std::map<std::size_t, std::size_t> stateAt = {{0, 0}};
  for (std::size_t s = 0; s < offsets.size(); ++s) {
    State state;
    state.words = FoldedWords(name + offsets[s]);
    for (const Word& word : state.words) {
      const std::size_t offset = offsets[s] + word.bytes;
      if (offset > length) {
        std::fprintf(stderr, "velmora-place-index: retrying \"%s\" would read past its end\n",
                     name);
        std::exit(1);
      }
      const auto [at, added] = stateAt.emplace(offset, offsets.size());
      if (added) offsets.push_back(offset);
      state.next.push_back(at->second);
    }
    states.push_back(std::move(state));
  }
  return states;
}

void AppendWords(const std::vector<Word>& words, std::string& out) {
  out += '[';
  for (std::size_t i = 0; i < words.size(); ++i) {
    if (i > 0) out += ',';
    if (words[i].ascii.empty()) {
      AppendJsonString(words[i].folded, out);
    } else {
      out += '[';
      AppendJsonString(words[i].folded, out);
      out += ',';
      AppendJsonString(words[i].ascii, out);
      out += ']';
    }
  }
  out += ']';
}

// A number as the shortest text that reads back as the same double.
// Appends `fields` as a JSON array of strings, after a comma unless it is the first row.
void AppendStringRow(std::initializer_list<std::string_view> fields, bool after, std::string& out) {
  out += after ? ",[" : "[";
  for (const std::string_view field : fields) {
    if (out.back() != '[') out += ',';
    AppendJsonString(field, out);
  }
  out += ']';
}

void AppendNumber(double value, std::string& out) {
  char text[32];
  const auto result = std::to_chars(text, text + sizeof text, value);
  out.append(text, result.ptr);
}

// Numbers the distinct strings in the order they are first met.
class Strings {
 public:
  std::size_t Index(const std::string& key) {
    const auto [at, added] = index_.emplace(key, keys_.size());
    if (added) keys_.push_back(key);
    return at->second;
  }
  const std::vector<std::string>& keys() const { return keys_; }

 private:
  std::map<std::string, std::size_t> index_;
  std::vector<std::string> keys_;
};

// A name longer than a finder gives would be cut by the shells, and the package does not cut.
std::string Checked(const char* text) {
  if (std::strlen(text) > kMaxPlaceNameBytes || !g_utf8_validate(text, -1, nullptr)) {
    std::fprintf(stderr, "velmora-place-index: \"%s\" is not a name the finder gives whole\n",
                 text);
    std::exit(1);
  }
  return text;
}

// The regions or the countries, each with the words a narrowing part is compared with, and a
// country with its code.
void AppendNarrowing(const char* member, const std::vector<std::string>& names,
                     const std::map<std::string, std::string>* codes, std::string& out) {
  out += ",\n\"";
  out += member;
  out += "\": [";
  for (std::size_t i = 0; i < names.size(); ++i) {
    out += i > 0 ? ",\n" : "\n";
    out += "{\"name\":";
    AppendJsonString(names[i], out);
    if (codes != nullptr) {
      out += ",\"code\":";
      AppendJsonString(codes->at(names[i]), out);
    }
    out += ",\"words\":";
    AppendWords(FoldedWords(names[i].c_str()), out);
    out += '}';
  }
  out += ']';
}

// The characters GLib counts as part of a word (letters, marks and numbers of its Unicode
// version) as [first, last] ranges, and every character its case folding changes, with what it
// becomes: the package folds a query with these, so that it splits and folds as GLib does
// whatever Unicode version the JavaScript runtime knows.
void AppendFolding(std::string& out) {
  out += ",\n\"wordRanges\": [";
  bool inWord = false;
  bool first = true;
  for (gunichar c = 0; c <= 0x110000; ++c) {
    const bool word = c < 0x110000 && (g_unichar_isalnum(c) || g_unichar_ismark(c));
    if (word && !inWord) {
      out += first ? "[" : ",[";
      out += std::to_string(c);
      first = false;
    } else if (!word && inWord) {
      out += ',' + std::to_string(c - 1) + ']';
    }
    inWord = word;
  }
  out += "],\n\"caseFolds\": [";
  first = true;
  for (gunichar c = 1; c < 0x110000; ++c) {
    if (c >= 0xD800 && c <= 0xDFFF) continue;
    char text[8];
    text[g_unichar_to_utf8(c, text)] = '\0';
    gchar* folded = g_utf8_casefold(text, -1);
    if (std::strcmp(folded, text) != 0) {
      out += first ? "[" : ",[";
      out += std::to_string(c) + ',';
      AppendJsonString(folded, out);
      out += ']';
      first = false;
    }
    g_free(folded);
  }
  out += ']';
}

std::string PlaceIndexJson() {
  Strings zones, regions, countries;
  std::map<std::string, std::string> countryCodes;
  std::string cities;
  const gint count = geonames_get_n_cities();
  for (gint i = 0; i < count; ++i) {
    GeonamesCity* city = geonames_get_city(i);
    const std::string name = Checked(geonames_city_get_name(city));
    const std::string country = Checked(geonames_city_get_country(city));
    countryCodes.emplace(country, Checked(geonames_city_get_country_code(city)));
    if (countryCodes[country] != geonames_city_get_country_code(city)) {
      std::fprintf(stderr, "velmora-place-index: %s has two country codes\n", country.c_str());
      std::exit(1);
    }
    cities += i > 0 ? ",\n" : "\n";
    cities += "{\"name\":";
    AppendJsonString(name, cities);
    cities +=
        ",\"region\":" + std::to_string(regions.Index(Checked(geonames_city_get_state(city))));
    cities += ",\"country\":" + std::to_string(countries.Index(country));
    cities += ",\"zone\":" + std::to_string(zones.Index(geonames_city_get_timezone(city)));
    cities += ",\"latitude\":";
    AppendNumber(geonames_city_get_latitude(city), cities);
    cities += ",\"longitude\":";
    AppendNumber(geonames_city_get_longitude(city), cities);
    cities += ",\"population\":" + std::to_string(geonames_city_get_population(city));
    cities += ",\"states\":[";
    const std::vector<State> states = ReachableStates(name.c_str());
    for (std::size_t s = 0; s < states.size(); ++s) {
      if (s > 0) cities += ',';
      cities += "{\"words\":";
      AppendWords(states[s].words, cities);
      cities += ",\"next\":[";
      for (std::size_t w = 0; w < states[s].next.size(); ++w) {
        if (w > 0) cities += ',';
        cities += std::to_string(states[s].next[w]);
      }
      cities += "]}";
    }
    cities += "]}";
    geonames_city_free(city);
  }

  std::string out = "{\"aliases\": [";
  for (std::size_t i = 0; i < kCountryAliases.size(); ++i) {
    AppendStringRow({kCountryAliases[i].first, kCountryAliases[i].second}, i > 0, out);
  }
  out += "],\n\"regionAbbreviations\": [";
  for (std::size_t i = 0; i < kRegionAbbreviations.size(); ++i) {
    const RegionAbbreviation& region = kRegionAbbreviations[i];
    AppendStringRow({region.abbreviation, region.countryCode, region.region}, i > 0, out);
  }
  out += "],\n\"zones\": [";
  for (std::size_t i = 0; i < zones.keys().size(); ++i) {
    out += i > 0 ? ",\n" : "\n";
    AppendJsonString(zones.keys()[i], out);
  }
  out += ']';
  AppendFolding(out);
  AppendNarrowing("regions", regions.keys(), nullptr, out);
  AppendNarrowing("countries", countries.keys(), &countryCodes, out);
  // Each character's transliteration alone: the package transliterates a word character by
  // character, which the build checks against every word's own.
  out += ",\n\"transliterations\": [";
  bool first = true;
  for (const gunichar c : WordCharacters()) {
    char text[8];
    text[g_unichar_to_utf8(c, text)] = '\0';
    gchar* ascii = g_str_to_ascii(text, nullptr);
    out += first ? "[" : ",[";
    out += std::to_string(c) + ',';
    AppendJsonString(ascii, out);
    out += ']';
    g_free(ascii);
    first = false;
  }
  out += ']';
  out += ",\n\"cities\": [";
  out += cities;
  out += "]}\n";
  return out;
}

int FoldLines() {
  std::string out;
  char* line = nullptr;
  std::size_t capacity = 0;
  ssize_t length;
  while ((length = getline(&line, &capacity, stdin)) > 0) {
    if (line[length - 1] == '\n') line[length - 1] = '\0';
    gchar** tokens = g_str_tokenize_and_fold(line, nullptr, nullptr);
    for (gchar** t = tokens; *t != nullptr; ++t) {
      if (t != tokens) out += '\t';
      out += *t;
    }
    out += '\n';
    g_strfreev(tokens);
  }
  std::free(line);
  return std::fwrite(out.data(), 1, out.size(), stdout) == out.size() && std::fflush(stdout) == 0
             ? 0
             : 1;
}

}  // namespace
}  // namespace velmora

// Transliteration follows the C locale, as velmora-cli's does where no other language is set:
// the index must not depend on the locale of the machine that builds it.
//
//   velmora-place-index          the index
//   velmora-place-index --fold   each line of standard input as its folded words, tab-separated:
//                                GLib's own answer, for testing the package's folding
int main(int argc, char** argv) {
  if (argc == 2 && std::strcmp(argv[1], "--fold") == 0) return velmora::FoldLines();
  if (argc != 1) {
    std::fprintf(stderr, "velmora-place-index takes no argument, or --fold.\n");
    return 2;
  }
  const std::string json = velmora::PlaceIndexJson();
  if (std::fwrite(json.data(), 1, json.size(), stdout) != json.size() || std::fflush(stdout) != 0) {
    std::perror("velmora-place-index: standard output");
    return 1;
  }
  return 0;
}
