#include "cli/batch_line.h"

#include <algorithm>

namespace velmora {

namespace {

constexpr bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

constexpr bool IsBlank(char c) {
  return c == ' ' || c == '\t';
}

// The words of a batch line after its time that name the birth place: a time zone, a name with
// a "/" in it or UTC; a longitude, a number.
bool IsZoneWord(std::string_view word) {
  return word == "UTC" || word.find('/') != std::string_view::npos;
}

bool IsLongitudeWord(std::string_view word) {
  return !word.empty() && (IsDigit(word[0]) || word[0] == '-' || word[0] == '+');
}

// The last word of a line's birth place may say whether daylight saving time was in force,
// dst=on or dst=off; any word so started is read as one, so that a misspelt one is refused.
constexpr std::string_view kDaylightPrefix = "dst=";

bool IsDaylightWord(std::string_view word) {
  return word.starts_with(kDaylightPrefix);
}

// A word after the time that starts a city's name: anything but a zone, a longitude, a time or
// the daylight saving time word.
bool IsCityWord(std::string_view word) {
  return !word.empty() && !IsZoneWord(word) && !IsLongitudeWord(word) && !IsDaylightWord(word) &&
         word.find(':') == std::string_view::npos;
}

// The word of `line` that starts at or after `pos`, blanks before it skipped; `pos` moves past
// it. Empty at the end of the line.
std::string_view NextWord(std::string_view line, std::size_t& pos) {
  while (pos < line.size() && IsBlank(line[pos])) ++pos;
  const std::size_t start = pos;
  while (pos < line.size() && !IsBlank(line[pos])) ++pos;
  return line.substr(start, pos - start);
}

// The end of the word that starts at or after `from`, blanks before it skipped.
std::size_t WordEnd(std::string_view line, std::size_t from) {
  NextWord(line, from);
  return from;
}

std::string_view TrimmedBlanks(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

// Takes a closing dst=on or dst=off off the birth place words `words` into `daylight`. False
// with the phrase in `error` for another word starting with dst=.
bool TakeDaylightWord(std::string_view& words, DaylightSaving& daylight, std::string& error) {
  std::size_t start = words.size();
  while (start > 0 && !IsBlank(words[start - 1])) --start;
  const std::string_view last = words.substr(start);
  if (!IsDaylightWord(last)) return true;
  if (last == "dst=on") {
    daylight = DaylightSaving::kOn;
  } else if (last == "dst=off") {
    daylight = DaylightSaving::kOff;
  } else {
    error =
        "not a word on daylight saving time; write dst=on (the first of an hour the clocks showed "
        "twice, with daylight saving time) or dst=off (the second), after the birth place";
    return false;
  }
  words = TrimmedBlanks(words.substr(0, start));
  return true;
}

// Whether the birth place words `words` are a zone known by a name of no zone's form, such as
// Japan or EST, alone or followed by a longitude.
bool IsZoneByName(std::string_view words, ZoneSource* zones) {
  if (zones == nullptr) return false;
  std::size_t pos = 0;
  const std::string_view name = NextWord(words, pos);
  const std::string_view rest = NextWord(words, pos);
  if (!IsCityWord(name) || (!rest.empty() && !IsLongitudeWord(rest))) return false;
  if (!NextWord(words, pos).empty()) return false;
  return zones->Open(name) != nullptr;
}

}  // namespace

bool ReadBirthLine(std::string_view line, BirthInput& birth, PlaceWords& place, std::string& error,
                   ZoneSource* zones) {
  std::size_t pos = 0;
  std::string_view dateText = NextWord(line, pos);
  if (dateText.empty()) {
    error = "the line is empty; each line holds one birth as YYYY-MM-DD HH:MM";
    return false;
  }
  const std::size_t afterFirst = pos;
  const std::string_view second = NextWord(line, pos);
  std::string_view timeText;
  // One word may hold both, as 2000-02-04T23:00, when the birth place or nothing follows it.
  const bool joined =
      (second.empty() || IsZoneWord(second) || IsCityWord(second) || IsDaylightWord(second)) &&
      SplitDateAndTime(dateText, dateText, timeText);
  if (joined) {
    pos = afterFirst;
  } else {
    timeText = second;
  }
  PlaceWords found;
  std::string_view words = TrimmedBlanks(line.substr(pos));
  if (!TakeDaylightWord(words, found.daylight, error)) return false;
  pos = 0;
  std::string_view word = NextWord(words, pos);
  const bool zoneByName = IsZoneByName(words, zones);
  if (IsCityWord(word) && !zoneByName) {
    found.city = words;
    word = {};
  } else {
    if (IsZoneWord(word) || zoneByName) {
      found.zone = word;
      word = NextWord(words, pos);
    }
    if (IsLongitudeWord(word)) {
      found.longitude = word;
      word = NextWord(words, pos);
    }
  }
  if (timeText.empty() || !word.empty()) {
    error = "not a birth in the form YYYY-MM-DD HH:MM (for example 2000-02-04 23:00)";
    return false;
  }
  BirthInput parsed;
  if (!ParseBirthDate(dateText, parsed.date, error)) return false;
  if (!ParseBirthTime(timeText, parsed.hour, parsed.minute, error)) return false;
  birth = parsed;
  place = found;
  return true;
}

void SplitBatchLine(std::string_view line, std::string_view& birth, std::string_view& id) {
  birth = line;
  id = {};
  // A line that starts with a tab and then anything but the digits a date starts with holds
  // only its identifier.
  std::size_t lead = 0;
  bool tabFirst = false;
  while (lead < line.size() && IsBlank(line[lead])) tabFirst |= line[lead++] == '\t';
  if (tabFirst && lead < line.size() && !IsDigit(line[lead])) {
    birth = line.substr(0, 0);
    id = TrimmedBlanks(line.substr(lead));
    return;
  }
  std::size_t end = WordEnd(line, 0);
  std::string_view first = line.substr(0, end);
  while (!first.empty() && IsBlank(first.front())) first.remove_prefix(1);
  if (first.find('T') == std::string_view::npos) end = WordEnd(line, end);
  // The birth place words after the time, joined to it by spaces only: a city's name, up to the
  // tab; or a zone, then a longitude. Whatever follows a tab is the identifier, whatever it
  // looks like.
  std::size_t cityStart = end;
  while (cityStart < line.size() && line[cityStart] == ' ') ++cityStart;
  if (cityStart < line.size() && line[cityStart] != '\t' &&
      IsCityWord(line.substr(cityStart, WordEnd(line, cityStart) - cityStart))) {
    end = std::min(line.find('\t', cityStart), line.size());
    while (end > cityStart && line[end - 1] == ' ') --end;
  }
  for (const auto isPlaceWord : {IsZoneWord, IsLongitudeWord, IsDaylightWord}) {
    std::size_t start = end;
    while (start < line.size() && line[start] == ' ') ++start;
    if (start == line.size() || line[start] == '\t') break;
    const std::size_t wordEnd = WordEnd(line, start);
    if (isPlaceWord(line.substr(start, wordEnd - start))) end = wordEnd;
  }
  std::size_t rest = end;
  bool tab = false;
  while (rest < line.size() && IsBlank(line[rest])) tab |= line[rest++] == '\t';
  if (!tab || rest == line.size()) return;
  std::size_t last = line.size();
  while (last > rest && IsBlank(line[last - 1])) --last;
  birth = line.substr(0, end);
  id = line.substr(rest, last - rest);
}

bool IsSkippedLine(std::string_view line) {
  std::size_t first = 0;
  while (first < line.size() && IsBlank(line[first])) ++first;
  return first == line.size() || line[first] == '#';
}

}  // namespace velmora
