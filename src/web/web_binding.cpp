// The functions the JavaScript package calls. A cast takes the birth as the text the user gave,
// runs it through the casting's checks and casts it exactly as velmora-cli does; the outputs are
// then read one at a time, each as UTF-8 in memory owned here and valid until the next call.
// A birth place, when one is set, corrects the clock time first, with the zone's offsets taken
// from the zone table the build wrote from the system's time zone database, which the script
// hands over when a birth place is first named.

#include <emscripten/emscripten.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "calendar/clock_correction.h"
#include "casting/birth_input.h"
#include "casting/birth_place.h"
#include "casting/caster.h"
#include "casting/zone_table.h"
#include "presentation/display_table.h"
#include "presentation/star_tables.h"
#include "web/chart_numbers.h"

namespace velmora {

namespace {

// The outcome of a cast or of setting a birth place; the script turns all but the first into
// its errors.
enum CastOutcome : std::int32_t {
  kCast = 0,
  kBadDate = 1,           // the message is the date reader's phrase
  kBadTime = 2,           // the message is the time reader's phrase
  kUnsupportedBirth = 3,  // the message is velmora-cli's whole line after its name
  kUnknownZone = 4,       // the message is the phrase for a zone the table does not hold
  kBadLongitude = 5,      // the message is the longitude reader's phrase
  kNeedsZone = 6,         // the message says that a birth place needs its time zone
  kSkippedTime = 7,       // as kUnsupportedBirth, for a clock time the clocks skipped
  kRepeatedTime = 8,      // as kUnsupportedBirth, for a clock time the clocks showed twice
  kNeedsLongitude = 9     // the message says that solar time needs the longitude
};

// What the package tells the user to do about a clock time its zone showed twice.
inline constexpr const char* kDaylightHint =
    "say whether daylight saving time was in force with dst: true or dst: false";

struct WebSession {
  TableZones zones;
  // Holds the last cast, with its reading or without it. Its phrase for a clock time shown twice
  // ends at the change: the message adds the package's hint, the reason leaves it to the page.
  Caster caster{zones, ""};
  ChartNumbers numbers{};
  std::optional<Place> city;  // the city named for the next birth place, until it is set
  std::string message;        // what the last refused cast found wrong
  std::string reason;         // the same without the birth it names, for a refused birth
  std::string output;         // the last output asked for
};

WebSession& Session() {
  static WebSession session;
  return session;
}

// Reads what the script says of the birth place into the session, each part checked as
// velmora-cli checks its options: the zone, the longitude (as text, read as --longitude reads
// it, or as a number), then whether the correction asked for has what it needs.
std::int32_t SetPlace(std::string_view zoneName, std::optional<std::string_view> longitudeText,
                      std::optional<double> longitude, std::optional<SolarTime> solar,
                      DaylightSaving daylight) {
  WebSession& s = Session();
  s.caster.SetPlace({});
  std::optional<Place> city = std::exchange(s.city, std::nullopt);
  if (zoneName.empty() && !longitudeText && !longitude && !solar &&
      daylight == DaylightSaving::kUnknown) {
    return kCast;
  }
  PlaceRequest request;
  request.zone = zoneName;
  request.solar = solar;
  request.daylight = daylight;
  if (!zoneName.empty() && !CheckZone(s.zones, zoneName, s.message)) return kUnknownZone;
  double degrees = 0.0;
  if (longitudeText) {
    if (!ParseLongitude(*longitudeText, degrees, s.message)) return kBadLongitude;
    request.longitude = degrees;
  } else if (longitude) {
    if (!CheckLongitude(*longitude, s.message)) return kBadLongitude;
    request.longitude = longitude;
  }
  BirthPlace place;
  if (!PlaceOfRequest(request, place, s.message))
    return zoneName.empty() ? kNeedsZone : kNeedsLongitude;
  if (city) {
    city->zone = request.zone;
    request.city = std::move(city);
  }
  s.caster.SetPlace(std::move(request));
  return kCast;
}

// Reads the birth's texts and casts it as velmora-cli does, corrected for the birth place when
// one is set, with its reading or, for the outputs that need none, only the chart and its
// display table. On a refusal the message is left in the session and the last chart stays.
std::int32_t Cast(std::string_view dateText, std::string_view timeText, Caster::Output output) {
  WebSession& s = Session();
  BirthInput birth;
  if (!ParseBirthDate(dateText, birth.date, s.message)) return kBadDate;
  if (!ParseBirthTime(timeText, birth.hour, birth.minute, s.message)) return kBadTime;
  std::string error;
  if (!s.caster.Cast(birth, output, error)) {
    s.reason = error;
    switch (s.caster.Refused()) {
      case BirthRefused::kSkipped:
        s.message = BirthRefusal(birth, error);
        return kSkippedTime;
      case BirthRefused::kRepeated:
        s.message = BirthRefusal(birth, error + "; " + kDaylightHint);
        return kRepeatedTime;
      case BirthRefused::kPlace:
      case BirthRefused::kUnsupported:
        break;
    }
    s.message = BirthRefusal(birth, error);
    return kUnsupportedBirth;
  }
  return kCast;
}

const ChartReport& Report() {
  return Session().caster.Report();
}

const char* Output(std::string text) {
  Session().output = std::move(text);
  return Session().output.c_str();
}

}  // namespace

}  // namespace velmora

using velmora::Caster;
using velmora::Report;
using velmora::Session;

extern "C" {

// Casts the birth given as `dateBytes` bytes of date text followed by `timeBytes` bytes of time
// text at `input`; the texts may hold any bytes, a zero byte included. Returns a CastOutcome;
// after a refusal the previous chart stays.
EMSCRIPTEN_KEEPALIVE std::int32_t VelmoraCast(const char* input, std::int32_t dateBytes,
                                              std::int32_t timeBytes) {
  const std::string_view date(input, static_cast<std::size_t>(dateBytes));
  const std::string_view time(input + dateBytes, static_cast<std::size_t>(timeBytes));
  return velmora::Cast(date, time, Caster::Output::kReading);
}

// Casts the birth as VelmoraCast does, but only the chart and its display table: no reading.
// Its numbers are then at VelmoraChartNumbers() and its JSON from VelmoraChartJson().
EMSCRIPTEN_KEEPALIVE std::int32_t VelmoraCastChart(const char* input, std::int32_t dateBytes,
                                                   std::int32_t timeBytes) {
  const std::string_view date(input, static_cast<std::size_t>(dateBytes));
  const std::string_view time(input + dateBytes, static_cast<std::size_t>(timeBytes));
  const std::int32_t outcome = velmora::Cast(date, time, Caster::Output::kChart);
  if (outcome == velmora::kCast) velmora::FillChartNumbers(Report(), Session().numbers);
  return outcome;
}

// Sets the birth place that the casts after it correct their clock time for, until the next
// call: `zoneBytes` bytes of zone name at `text` (none: no correction), then `longitudeBytes`
// bytes of longitude text when `longitudeKind` is 2, or the number `longitude` when it is 1
// (0: no longitude); `solar` a SolarTime or -1 for none said, `daylightSaving` a DaylightSaving.
// Returns a CastOutcome; after a refusal no place is set.
EMSCRIPTEN_KEEPALIVE std::int32_t VelmoraPlace(const char* text, std::int32_t zoneBytes,
                                               std::int32_t longitudeBytes,
                                               std::int32_t longitudeKind, double longitude,
                                               std::int32_t solar, std::int32_t daylightSaving) {
  const std::string_view zone(text, static_cast<std::size_t>(zoneBytes));
  std::optional<std::string_view> degreesText;
  std::optional<double> degrees;
  if (longitudeKind == 2) {
    degreesText.emplace(text + zoneBytes, static_cast<std::size_t>(longitudeBytes));
  } else if (longitudeKind == 1) {
    degrees = longitude;
  }
  std::optional<velmora::SolarTime> solarTime;
  if (solar >= 0 && solar <= static_cast<std::int32_t>(velmora::SolarTime::kApparent)) {
    solarTime = static_cast<velmora::SolarTime>(solar);
  }
  const bool said = daylightSaving == static_cast<std::int32_t>(velmora::DaylightSaving::kOn) ||
                    daylightSaving == static_cast<std::int32_t>(velmora::DaylightSaving::kOff);
  const auto inForce = said ? static_cast<velmora::DaylightSaving>(daylightSaving)
                            : velmora::DaylightSaving::kUnknown;
  return velmora::SetPlace(zone, degreesText, degrees, solarTime, inForce);
}

// Names the city that the next VelmoraPlace's zone and longitude were taken from, for the
// correction's sentence and JSON: `nameBytes`, `regionBytes`, `countryBytes` and `codeBytes`
// bytes of its names one after another at `text`, each cut as a finder cuts it.
EMSCRIPTEN_KEEPALIVE void VelmoraPlaceCity(const char* text, std::int32_t nameBytes,
                                           std::int32_t regionBytes, std::int32_t countryBytes,
                                           std::int32_t codeBytes, double latitude,
                                           double longitude) {
  velmora::Place city;
  const auto take = [&text](std::int32_t bytes, std::string& into) {
    into = velmora::ClippedPlaceName({text, static_cast<std::size_t>(bytes)});
    text += bytes;
  };
  take(nameBytes, city.name);
  take(regionBytes, city.region);
  take(countryBytes, city.country);
  take(codeBytes, city.countryCode);
  city.latitude = latitude;
  city.longitude = longitude;
  Session().city = std::move(city);
}

// The "correction" object of the last cast as velmora-cli's JSON writes it; empty when its clock
// time was cast as it is.
EMSCRIPTEN_KEEPALIVE const char* VelmoraCorrectionJson() {
  return Report().CorrectionJson().c_str();
}

// Where the last VelmoraCastChart laid out its numbers; the place never moves.
EMSCRIPTEN_KEEPALIVE const velmora::ChartNumbers* VelmoraChartNumbers() {
  return &Session().numbers;
}

// Where each number lies at VelmoraChartNumbers(), as a JSON object of word offsets.
EMSCRIPTEN_KEEPALIVE const char* VelmoraChartLayout() {
  return velmora::Output(velmora::ChartLayoutJson());
}

// How many item codes have names: the codes 0 to this less one.
EMSCRIPTEN_KEEPALIVE std::int32_t VelmoraNamedCodes() {
  return velmora::kNamedCodes;
}

// The display name of an item code, as the JSON's names give it.
EMSCRIPTEN_KEEPALIVE const char* VelmoraStarName(std::int32_t code) {
  return velmora::Output(std::string(velmora::StarName(code)));
}

EMSCRIPTEN_KEEPALIVE const char* VelmoraMessage() {
  return Session().message.c_str();
}

// The phrase of the last refused birth without the birth it names, and for a clock time shown
// twice without the hint of how to say which: "this birth lies outside the lunar calendar; ...".
EMSCRIPTEN_KEEPALIVE const char* VelmoraReason() {
  return Session().reason.c_str();
}

// The outputs of the last cast, each as velmora-cli prints it: --format json, --format text
// (opening with the correction's sentence when there was one), --chart FILE.svg.
EMSCRIPTEN_KEEPALIVE const char* VelmoraChartJson() {
  return velmora::Output(Report().Json());
}

EMSCRIPTEN_KEEPALIVE const char* VelmoraReadingText() {
  return velmora::Output(Report().PlainText());
}

// The sentence saying which moment the last cast was cast from; empty without a birth place.
EMSCRIPTEN_KEEPALIVE const char* VelmoraCorrectionLine() {
  return Report().CorrectionText().c_str();
}

EMSCRIPTEN_KEEPALIVE const char* VelmoraBoardSvg() {
  return velmora::Output(Report().BoardSvg());
}

// The reading as the HTML fragment of velmora-cli's page: one <div> of coloured runs.
EMSCRIPTEN_KEEPALIVE const char* VelmoraReadingHtml() {
  return velmora::Output(Report().Reading().Html());
}

// velmora-cli's --format html: a standalone page with a heading, the board and the reading.
EMSCRIPTEN_KEEPALIVE const char* VelmoraHtmlPage() {
  return velmora::Output(Report().HtmlPage());
}

// "4 February 2000, 23:00": the birth of the last cast, for a heading.
EMSCRIPTEN_KEEPALIVE const char* VelmoraBirthHeading() {
  return velmora::Output(velmora::LongBirthText(Report().Birth()));
}

// The board before any Run: the grid without names, as an empty display table draws it.
EMSCRIPTEN_KEEPALIVE const char* VelmoraBareBoardSvg() {
  return velmora::Output(velmora::ChartReport().BoardSvg());
}

// Reads the zone table, `bytes` bytes at `table`, which the module copies: 1 when it holds a
// whole table, 0 (and no zones) otherwise. Births that name a zone before it are refused as
// naming an unknown one.
EMSCRIPTEN_KEEPALIVE std::int32_t VelmoraLoadZones(const char* table, std::int32_t bytes) {
  return Session().zones.Load({table, static_cast<std::size_t>(bytes)}) ? 1 : 0;
}

// The names of the zone table, one a line: the current ones only when `current` is 1, the old
// ones too otherwise.
EMSCRIPTEN_KEEPALIVE const char* VelmoraZoneNames(std::int32_t current) {
  std::string names;
  for (const std::string_view name : Session().zones.Names(current == 1)) {
    names += name;
    names += '\n';
  }
  return velmora::Output(std::move(names));
}

// The version of the time zone database the zone table was written from, such as "2025b";
// empty before the table is loaded.
EMSCRIPTEN_KEEPALIVE const char* VelmoraZoneDatabase() {
  return Session().zones.Version().c_str();
}

// The kind of an item code and its description as the reading gives it after the name, as a
// JSON object: {"kind":"main star","description":"..."}, the kind being "palace", "main star",
// "auxiliary star" or "minor star"; empty for a code without a name.
EMSCRIPTEN_KEEPALIVE const char* VelmoraItemDescription(std::int32_t item) {
  namespace code = velmora::code;
  const std::string_view text = velmora::StarText(item);
  if (text.empty()) return velmora::Output({});
  const std::string_view kind = item <= code::Parents  ? "palace"
                                : item <= code::Army   ? "main star"
                                : item <= code::Angel2 ? "auxiliary star"
                                                       : "minor star";
  std::string json = "{\"kind\":";
  velmora::AppendJsonString(kind, json);
  json += ",\"description\":";
  velmora::AppendJsonString(text, json);
  json += '}';
  return velmora::Output(std::move(json));
}

}  // extern "C"
