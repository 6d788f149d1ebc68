#include "cli/birth_input.h"

#include <array>

#include "calendar/birth_calendar.h"
#include "presentation/birth_text.h"

namespace velmora {

namespace {

constexpr bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

// The number that `digits`, up to eighteen of them, write.
constexpr std::int64_t ValueOf(std::string_view digits) {
  std::int64_t value = 0;
  for (const char c : digits) value = value * 10 + (c - '0');
  return value;
}

// Whether `text` has exactly the shape of `pattern`, where '9' stands for any digit and every
// other character for itself.
constexpr bool HasShape(std::string_view text, std::string_view pattern) {
  if (text.size() != pattern.size()) return false;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (pattern[i] == '9' ? !IsDigit(text[i]) : text[i] != pattern[i]) return false;
  }
  return true;
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

// Reads a number of `fewest` to `most` digits at text[i] and moves i past it; false, leaving i
// where it was, when the digits there are fewer or more.
bool ReadNumber(std::string_view text, std::size_t& i, std::size_t fewest, std::size_t most,
                std::string_view& digits) {
  std::size_t end = i;
  while (end < text.size() && IsDigit(text[end])) ++end;
  if (end - i < fewest || end - i > most) return false;
  digits = text.substr(i, end - i);
  i = end;
  return true;
}

bool ReadChar(std::string_view text, std::size_t& i, char c) {
  if (i >= text.size() || text[i] != c) return false;
  ++i;
  return true;
}

// Whether `rest` names a time zone as ISO 8601 writes one after a time: Z, or a sign and hours
// with or without minutes.
constexpr bool IsZoneSuffix(std::string_view rest) {
  if (rest == "Z" || rest == "z") return true;
  if (rest.empty() || (rest[0] != '+' && rest[0] != '-')) return false;
  const std::string_view offset = rest.substr(1);
  return HasShape(offset, "99") || HasShape(offset, "9999") || HasShape(offset, "99:99");
}

// The written digits of a month, day, hour or minute, two wide, for messages.
std::string TwoWide(std::string_view digits) {
  return digits.size() == 1 ? "0" + std::string(digits) : std::string(digits);
}

}  // namespace

bool ParseBirthDate(std::string_view text, CivilDate& date, std::string& error) {
  std::size_t i = 0;
  std::string_view yearText;
  std::string_view monthText;
  std::string_view dayText;
  if (!ReadNumber(text, i, 4, 4, yearText) || !ReadChar(text, i, '-') ||
      !ReadNumber(text, i, 1, 2, monthText) || !ReadChar(text, i, '-') ||
      !ReadNumber(text, i, 1, 2, dayText) || i != text.size()) {
    error = "not a date in the form YYYY-MM-DD (for example 2000-02-04)";
    return false;
  }
  const auto year = static_cast<std::int32_t>(ValueOf(yearText));
  const auto month = static_cast<std::int32_t>(ValueOf(monthText));
  const auto day = static_cast<std::int32_t>(ValueOf(dayText));
  if (month < 1 || month > 12) {
    error = "there is no month ";
    error += TwoWide(monthText);
    error += "; months run from 01 to 12";
    return false;
  }
  const std::int32_t days = DaysInMonth(year, month);
  if (day < 1 || day > days) {
    error = MonthName(month);
    error += ' ';
    error += yearText;
    error += " has no day ";
    error += TwoWide(dayText);
    error += "; it has days 01 to ";
    AppendDigits(days, 2, error);
    return false;
  }
  date = {year, month, day};
  return true;
}

bool ParseBirthTime(std::string_view text, std::int32_t& hour, std::int32_t& minute,
                    std::string& error) {
  std::size_t i = 0;
  std::string_view hourText;
  std::string_view minuteText;
  const bool clock = ReadNumber(text, i, 1, 2, hourText) && ReadChar(text, i, ':') &&
                     ReadNumber(text, i, 2, 2, minuteText);
  if (clock && i != text.size() && IsZoneSuffix(text.substr(i))) {
    error =
        "the time is local clock time, as on the birth certificate; give it without a time "
        "zone such as Z or +08:00";
    return false;
  }
  if (!clock || i != text.size()) {
    error = "not a time in the form HH:MM on the 24-hour clock (for example 23:00)";
    return false;
  }
  const auto h = static_cast<std::int32_t>(ValueOf(hourText));
  const auto m = static_cast<std::int32_t>(ValueOf(minuteText));
  if (h > 23) {
    error = "there is no hour ";
    error += TwoWide(hourText);
    error += "; hours run from 00 to 23";
    return false;
  }
  if (m > 59) {
    error = "there is no minute ";
    error += minuteText;
    error += "; minutes run from 00 to 59";
    return false;
  }
  hour = h;
  minute = m;
  return true;
}

bool SplitDateAndTime(std::string_view text, std::string_view& date, std::string_view& time) {
  const std::size_t t = text.find('T');
  if (t == std::string_view::npos) return false;
  date = text.substr(0, t);
  time = text.substr(t + 1);
  return true;
}

std::string BirthRefusal(const BirthInput& birth, std::string_view error) {
  std::string sentence = IsoDate(birth.date) + ' ' + ClockTime(birth.hour, birth.minute) + ": ";
  sentence += error;
  sentence += '.';
  return sentence;
}

bool CheckSupportedBirth(const BirthInput& birth, std::string& error) {
  if (IsSupportedBirthMoment(birth.Moment())) return true;
  SetUnsupportedBirthError(error);
  return false;
}

namespace {

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

bool ParseBirthLine(std::string_view line, BirthInput& birth, std::string& error) {
  BirthInput parsed;
  PlaceWords place;
  if (!ReadBirthLine(line, parsed, place, error)) return false;
  if (!place.zone.empty() || !place.longitude.empty()) {
    error = "not a birth in the form YYYY-MM-DD HH:MM (for example 2000-02-04 23:00)";
    return false;
  }
  if (!CheckSupportedBirth(parsed, error)) return false;
  birth = parsed;
  return true;
}

bool ParseLongitude(std::string_view text, double& degrees, std::string& error) {
  std::size_t i = 0;
  const bool negative = !text.empty() && text[0] == '-';
  if (!text.empty() && (text[0] == '-' || text[0] == '+')) ++i;
  std::string_view whole;
  std::string_view fraction;
  const bool shaped =
      ReadNumber(text, i, 1, 3, whole) &&
      (i == text.size() || (ReadChar(text, i, '.') && ReadNumber(text, i, 1, 10, fraction))) &&
      i == text.size();
  if (!shaped) {
    error = kLongitudeError;
    return false;
  }
  // The digits as one whole number over a power of ten: both exact in a double, so the one
  // division rounds to the nearest double, as reading the decimal would.
  double scale = 1.0;
  for (std::size_t k = 0; k < fraction.size(); ++k) scale *= 10.0;
  const std::int64_t digits = ValueOf(whole) * static_cast<std::int64_t>(scale) + ValueOf(fraction);
  const double value = static_cast<double>(negative ? -digits : digits) / scale;
  if (!IsLongitude(value)) {
    error = kLongitudeError;
    return false;
  }
  degrees = value;
  return true;
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

namespace {

// The end of the word that starts at or after `from`, blanks before it skipped.
std::size_t WordEnd(std::string_view line, std::size_t from) {
  while (from < line.size() && IsBlank(line[from])) ++from;
  while (from < line.size() && !IsBlank(line[from])) ++from;
  return from;
}

}  // namespace

void SplitBatchLine(std::string_view line, std::string_view& birth, std::string_view& id) {
  birth = line;
  id = {};
  std::size_t end = WordEnd(line, 0);
  std::string_view first = line.substr(0, end);
  while (!first.empty() && IsBlank(first.front())) first.remove_prefix(1);
  if (first.find('T') == std::string_view::npos) end = WordEnd(line, end);
  // The birth place words after the time, joined to it by spaces: a zone, then a longitude.
  for (const auto isPlaceWord : {IsZoneWord, IsLongitudeWord}) {
    std::size_t start = end;
    while (start < line.size() && line[start] == ' ') ++start;
    const std::size_t wordEnd = WordEnd(line, start);
    if (start < line.size() && isPlaceWord(line.substr(start, wordEnd - start))) end = wordEnd;
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

std::string IsoDate(const CivilDate& date) {
  char text[10];
  char* p = PutDigits(text, date.year, 4);
  *p++ = '-';
  p = PutDigits(p, date.month, 2);
  *p++ = '-';
  p = PutDigits(p, date.day, 2);
  return std::string(text, p);
}

std::string ClockTime(std::int32_t hour, std::int32_t minute) {
  char text[5];
  char* p = PutDigits(text, hour, 2);
  *p++ = ':';
  return std::string(text, PutDigits(p, minute, 2));
}

}  // namespace velmora
