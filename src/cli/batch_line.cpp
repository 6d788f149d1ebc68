#include "cli/batch_line.h"

#include <array>

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

// The words of `text` between blanks, at most `most` of them; false when there are more.
template <std::size_t N>
bool SplitWords(std::string_view text, std::array<std::string_view, N>& words, std::size_t& count) {
  count = 0;
  std::size_t i = 0;
  while (true) {
    while (i < text.size() && IsBlank(text[i])) ++i;
    if (i == text.size()) return true;
    if (count == N) return false;
    const std::size_t start = i;
    while (i < text.size() && !IsBlank(text[i])) ++i;
    words[count++] = text.substr(start, i - start);
  }
}

// The end of the word that starts at or after `from`, blanks before it skipped.
std::size_t WordEnd(std::string_view line, std::size_t from) {
  while (from < line.size() && IsBlank(line[from])) ++from;
  while (from < line.size() && !IsBlank(line[from])) ++from;
  return from;
}

}  // namespace

bool ReadBirthLine(std::string_view line, BirthInput& birth, PlaceWords& place,
                   std::string& error) {
  std::array<std::string_view, 4> words;
  std::size_t count = 0;
  const bool fits = SplitWords(line, words, count);
  if (count == 0) {
    error = "the line is empty; each line holds one birth as YYYY-MM-DD HH:MM";
    return false;
  }
  std::string_view dateText = words[0];
  std::string_view timeText;
  std::size_t next = 1;
  // One word may hold both, as 2000-02-04T23:00, when a zone or nothing follows it.
  const bool joined =
      (count == 1 || IsZoneWord(words[1])) && SplitDateAndTime(dateText, dateText, timeText);
  if (!joined && count > 1) timeText = words[next++];
  PlaceWords found;
  if (next < count && IsZoneWord(words[next])) found.zone = words[next++];
  if (next < count && IsLongitudeWord(words[next])) found.longitude = words[next++];
  if (!fits || timeText.empty() || next != count) {
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
  std::size_t end = WordEnd(line, 0);
  std::string_view first = line.substr(0, end);
  while (!first.empty() && IsBlank(first.front())) first.remove_prefix(1);
  if (first.find('T') == std::string_view::npos) end = WordEnd(line, end);
  // The birth place words after the time, joined to it by spaces only: a zone, then a
  // longitude. Whatever follows a tab is the identifier, whatever it looks like.
  for (const auto isPlaceWord : {IsZoneWord, IsLongitudeWord}) {
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
