#include "presentation/birth_text.h"

#include <array>
#include <cmath>
#include <cstdlib>

#include "calendar/birth_calendar.h"

namespace velmora {

namespace {

constexpr std::array<std::string_view, 13> kMonthNames = {
    "?",    "January", "February",  "March",   "April",    "May",     "June",
    "July", "August",  "September", "October", "November", "December"};

// "09:30", or "09:50:24" when the moment has seconds.
void AppendClock(std::int32_t msOfDay, std::string& out) {
  const std::int32_t seconds = (msOfDay + 500) / 1000;
  AppendDigits(seconds / 3600, 2, out);
  out += ':';
  AppendDigits(seconds / 60 % 60, 2, out);
  if (seconds % 60 != 0) {
    out += ':';
    AppendDigits(seconds % 60, 2, out);
  }
}

// "4 February 2000".
void AppendLongDate(const CivilDate& date, std::string& out) {
  out += std::to_string(date.day);
  out += ' ';
  out += MonthName(date.month);
  out += ' ';
  out += std::to_string(date.year);
}

void AppendClockOf(TDateTime moment, std::string& out) {
  DecodedMoment decoded;
  if (DecodeMoment(moment, decoded)) AppendClock(decoded.msOfDay, out);
}

// "1 h 9 min 36 s" for a length of time in seconds, its sign left out; "0 s" for none.
void AppendDuration(std::int64_t seconds, std::string& out) {
  seconds = std::llabs(seconds);
  if (seconds == 0) {
    out += "0 s";
    return;
  }
  const std::pair<std::int64_t, const char*> parts[] = {
      {seconds / 3600, " h"}, {seconds / 60 % 60, " min"}, {seconds % 60, " s"}};
  bool first = true;
  for (const auto& [count, unit] : parts) {
    if (count == 0) continue;
    if (!first) out += ' ';
    out += std::to_string(count);
    out += unit;
    first = false;
  }
}

// ", less 1 h for what" or ", plus 9 min 12 s for what".
void AppendShift(std::int64_t seconds, std::string_view what, std::string& out) {
  out += seconds < 0 ? ", less " : ", plus ";
  AppendDuration(seconds, out);
  out += " for ";
  out += what;
}

}  // namespace

char* PutDigits(char* p, std::int32_t value, int width) {
  for (int i = width - 1; i >= 0; --i) {
    p[i] = static_cast<char>('0' + value % 10);
    value /= 10;
  }
  return p + width;
}

void AppendDigits(std::int32_t value, int width, std::string& out) {
  char digits[4];
  out.append(digits, PutDigits(digits, value, width));
}

void AppendDecimal(double value, std::int32_t places, std::string& out) {
  std::int64_t scale = 1;
  for (std::int32_t i = 0; i < places; ++i) scale *= 10;
  std::int64_t scaled = std::llround(value * static_cast<double>(scale));
  if (scaled < 0) {
    out += '-';
    scaled = -scaled;
  }
  out += std::to_string(scaled / scale);
  std::int64_t fraction = scaled % scale;
  if (fraction == 0) return;
  out += '.';
  for (std::int64_t digit = scale / 10; fraction != 0; digit /= 10) {
    out += static_cast<char>('0' + fraction / digit);
    fraction %= digit;
  }
}

std::string LongitudeText(double degrees) {
  std::string text;
  AppendDecimal(std::fabs(degrees), 4, text);
  const bool onALine = text == "0" || text == "180";
  text += "\u00b0";
  if (!onALine) text += degrees < 0 ? "W" : "E";
  return text;
}

std::string_view MonthName(std::int32_t month) {
  return kMonthNames[month >= 1 && month <= 12 ? static_cast<std::size_t>(month) : 0];
}

std::string LongDateTimeText(const CivilDate& date, std::int32_t hour, std::int32_t minute) {
  std::string text;
  AppendLongDate(date, text);
  text += ", ";
  AppendClock((hour * 60 + minute) * 60'000, text);
  return text;
}

std::string LongMomentText(TDateTime moment) {
  DecodedMoment decoded;
  if (!DecodeMoment(moment, decoded)) return "?";
  std::string text;
  AppendLongDate(decoded.date, text);
  text += ", ";
  AppendClock(decoded.msOfDay, text);
  return text;
}

std::string ClockChangePhrase(TDateTime clock, const ClockChange& change, std::string_view zoneName,
                              std::string_view daylightHint) {
  const bool skipped = change.to > change.from;
  DecodedMoment decoded;
  DecodeMoment(clock, decoded);
  std::string phrase = skipped ? "there was no " : "";
  AppendClock(decoded.msOfDay, phrase);
  phrase += " on ";
  AppendLongDate(decoded.date, phrase);
  phrase += skipped ? " in " : " came twice in ";
  phrase += zoneName;
  phrase +=
      skipped ? ", where the clocks went forward from " : ", where the clocks went back from ";
  AppendClockOf(change.from, phrase);
  phrase += " to ";
  AppendClockOf(change.to, phrase);
  const std::string_view advice =
      skipped ? std::string_view("give a time the clocks showed") : daylightHint;
  if (!advice.empty()) {
    phrase += "; ";
    phrase += advice;
  }
  return phrase;
}

std::string CorrectedMomentOutsidePhrase(TDateTime corrected) {
  std::string phrase = "the corrected moment, " + LongMomentText(corrected) +
                       ", lies outside the lunar calendar; births from ";
  phrase += kSupportedBirthRange;
  phrase += " are accepted";
  return phrase;
}

std::string CorrectionLine(const ClockCorrection& c, std::string_view zoneName) {
  static constexpr std::array<const char*, 3> kKinds = {"standard time", "local mean solar time",
                                                        "local apparent solar time"};
  std::string line = "Cast from ";
  line += kKinds[static_cast<std::size_t>(c.solar)];
  line += ", ";
  line += LongMomentText(c.Cast());
  line += ": clock time ";
  AppendClockOf(c.clock, line);
  line += " in ";
  line += zoneName;
  if (c.Daylight() != 0) {
    AppendShift(-c.Daylight(), "daylight saving time", line);
  } else {
    line += ", no daylight saving time";
  }
  if (c.solar != SolarTime::kStandard) {
    const std::string longitude = "longitude " + LongitudeText(c.longitude) +
                                  " (the zone's meridian is " + LongitudeText(c.Meridian()) + ')';
    AppendShift(c.longitudeShift, longitude, line);
  }
  if (c.solar == SolarTime::kApparent) AppendShift(c.equationOfTime, "the equation of time", line);
  line += '.';
  return line;
}

}  // namespace velmora
