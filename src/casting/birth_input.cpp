#include "casting/birth_input.h"

#include "calendar/birth_calendar.h"
#include "calendar/clock_correction.h"
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

void SetUnsupportedBirthError(std::string& error) {
  error = "this birth lies outside the lunar calendar; births from ";
  error += kSupportedBirthRange;
  error += " are accepted";
}

bool CheckSupportedBirth(const BirthInput& birth, std::string& error) {
  return CheckSupportedMoment(birth.Moment(), error);
}

bool CheckSupportedMoment(TDateTime moment, std::string& error) {
  if (IsSupportedBirthMoment(moment)) return true;
  SetUnsupportedBirthError(error);
  return false;
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
  if (!CheckLongitude(value, error)) return false;
  degrees = value;
  return true;
}

bool CheckLongitude(double degrees, std::string& error) {
  if (IsLongitude(degrees)) return true;
  error = kLongitudeError;
  return false;
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
