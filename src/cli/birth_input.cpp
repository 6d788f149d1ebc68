#include "cli/birth_input.h"

#include <array>

#include "calendar/birth_calendar.h"

namespace velmora {

namespace {

constexpr std::array<const char*, 13> kMonthNames = {
    "",     "January", "February",  "March",   "April",    "May",     "June",
    "July", "August",  "September", "October", "November", "December"};

constexpr bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

// The number written by text[first, first + count), all of which must be digits.
constexpr std::int32_t DigitsValue(std::string_view text, std::size_t first, std::size_t count) {
  std::int32_t value = 0;
  for (std::size_t i = first; i < first + count; ++i) value = value * 10 + (text[i] - '0');
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

void AppendTwoDigits(std::int32_t value, std::string& out) {
  out += static_cast<char>('0' + value / 10 % 10);
  out += static_cast<char>('0' + value % 10);
}

constexpr bool IsBlank(char c) {
  return c == ' ' || c == '\t';
}

}  // namespace

bool ParseBirthDate(std::string_view text, CivilDate& date, std::string& error) {
  if (!HasShape(text, "9999-99-99")) {
    error = "not a date in the form YYYY-MM-DD (for example 2000-02-04)";
    return false;
  }
  const std::int32_t year = DigitsValue(text, 0, 4);
  const std::int32_t month = DigitsValue(text, 5, 2);
  const std::int32_t day = DigitsValue(text, 8, 2);
  if (month < 1 || month > 12) {
    error = "there is no month ";
    error += text.substr(5, 2);
    error += "; months run from 01 to 12";
    return false;
  }
  const std::int32_t days = DaysInMonth(year, month);
  if (day < 1 || day > days) {
    error = kMonthNames[static_cast<std::size_t>(month)];
    error += ' ';
    error += text.substr(0, 4);
    error += " has no day ";
    error += text.substr(8, 2);
    error += "; it has days 01 to ";
    AppendTwoDigits(days, error);
    return false;
  }
  date = {year, month, day};
  return true;
}

bool ParseBirthTime(std::string_view text, std::int32_t& hour, std::int32_t& minute,
                    std::string& error) {
  if (!HasShape(text, "99:99")) {
    error = "not a time in the form HH:MM on the 24-hour clock (for example 23:00)";
    return false;
  }
  const std::int32_t h = DigitsValue(text, 0, 2);
  const std::int32_t m = DigitsValue(text, 3, 2);
  if (h > 23) {
    error = "there is no hour ";
    error += text.substr(0, 2);
    error += "; hours run from 00 to 23";
    return false;
  }
  if (m > 59) {
    error = "there is no minute ";
    error += text.substr(3, 2);
    error += "; minutes run from 00 to 59";
    return false;
  }
  hour = h;
  minute = m;
  return true;
}

bool CheckSupportedBirth(const BirthInput& birth, std::string& error) {
  if (IsSupportedBirthMoment(birth.Moment())) return true;
  error = "this birth lies outside the lunar calendar; births from ";
  error += kSupportedBirthRange;
  error += " are accepted";
  return false;
}

bool ParseBirthLine(std::string_view line, BirthInput& birth, std::string& error) {
  std::size_t first = 0;
  std::size_t last = line.size();
  while (first < last && IsBlank(line[first])) ++first;
  while (last > first && IsBlank(line[last - 1])) --last;
  if (first == last) {
    error = "the line is empty; each line holds one birth as YYYY-MM-DD HH:MM";
    return false;
  }
  std::size_t gap = first;
  while (gap < last && !IsBlank(line[gap])) ++gap;
  std::size_t timeStart = gap;
  while (timeStart < last && IsBlank(line[timeStart])) ++timeStart;
  const std::string_view dateText = line.substr(first, gap - first);
  const std::string_view timeText = line.substr(timeStart, last - timeStart);
  bool timeHasBlank = false;
  for (char c : timeText) timeHasBlank |= IsBlank(c);
  if (timeText.empty() || timeHasBlank) {
    error = "not a birth in the form YYYY-MM-DD HH:MM (for example 2000-02-04 23:00)";
    return false;
  }
  BirthInput parsed;
  if (!ParseBirthDate(dateText, parsed.date, error)) return false;
  if (!ParseBirthTime(timeText, parsed.hour, parsed.minute, error)) return false;
  if (!CheckSupportedBirth(parsed, error)) return false;
  birth = parsed;
  return true;
}

void AppendIsoDate(const CivilDate& date, std::string& out) {
  AppendTwoDigits(date.year / 100, out);
  AppendTwoDigits(date.year % 100, out);
  out += '-';
  AppendTwoDigits(date.month, out);
  out += '-';
  AppendTwoDigits(date.day, out);
}

void AppendClockTime(std::int32_t hour, std::int32_t minute, std::string& out) {
  AppendTwoDigits(hour, out);
  out += ':';
  AppendTwoDigits(minute, out);
}

std::string IsoDate(const CivilDate& date) {
  std::string text;
  AppendIsoDate(date, text);
  return text;
}

std::string ClockTime(std::int32_t hour, std::int32_t minute) {
  std::string text;
  AppendClockTime(hour, minute, text);
  return text;
}

std::string LongBirthText(const BirthInput& birth) {
  std::string text = std::to_string(birth.date.day);
  text += ' ';
  const bool knownMonth = birth.date.month >= 1 && birth.date.month <= 12;
  text += knownMonth ? kMonthNames[static_cast<std::size_t>(birth.date.month)] : "?";
  text += ' ';
  text += std::to_string(birth.date.year);
  text += ", ";
  AppendClockTime(birth.hour, birth.minute, text);
  return text;
}

}  // namespace velmora
