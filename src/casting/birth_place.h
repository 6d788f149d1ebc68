#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "calendar/clock_correction.h"
#include "casting/birth_input.h"
#include "casting/place_finder.h"

namespace velmora {

// Where a shell's time zones come from: the system's database through Qt in the window and
// velmora-cli, the zone table the build wrote from it in the browser and the Python package.
class ZoneSource {
 public:
  virtual ~ZoneSource() = default;
  // The zone named `name`, or null when the source knows no such zone. The zone stays valid
  // until the next call.
  virtual const ZoneOffsets* Open(std::string_view name) = 0;
  // The database's own spelling of the name the last Open found, such as "Asia/Shanghai" for
  // "asia/shanghai": what the correction writes. Empty where the source does not say.
  virtual std::string_view OpenedName() const { return {}; }
  // Whether the source holds no zone at all: a machine without a time zone database.
  virtual bool Empty() const { return false; }
};

// The phrase for a zone that the source does not know, saying what is accepted.
inline constexpr const char* kUnknownZoneError =
    "unknown time zone; give a name from the time zone database, such as Asia/Shanghai, "
    "Europe/London or America/New_York";

// The phrase for a shell whose source holds no zone at all, which no name the user gives mends.
inline constexpr const char* kNoZoneDatabaseError =
    "the system has no time zone database to correct the clock time with; install one "
    "(Debian's tzdata package)";

// Whether `zones` knows the zone `name`; false with kUnknownZoneError otherwise, or
// kNoZoneDatabaseError when it knows none.
bool CheckZone(ZoneSource& zones, std::string_view name, std::string& error);

// What the user says of the birth place, before it is checked against the time zones.
struct PlaceRequest {
  std::string zone;  // empty: the clock time is cast as it is
  std::optional<double> longitude;
  std::optional<SolarTime> solar;  // without it: mean solar time when a longitude is given
  DaylightSaving daylight = DaylightSaving::kUnknown;
  // The city the zone and longitude were taken from, when the user named one.
  std::optional<Place> city;

  bool Any() const { return !zone.empty() || longitude || solar; }
};

// The correction `request` asks for, each level needing the one before: a zone for any, a
// longitude for solar time. False with one phrase in `error` when a level lacks what it needs.
bool PlaceOfRequest(const PlaceRequest& request, BirthPlace& place, std::string& error);

// The birth place one birth names in place of the shell's own, as text: a zone and a longitude,
// or a city, each empty when not named; and whether daylight saving time was in force, for a
// clock time that came twice, unknown when not said.
struct PlaceWords {
  std::string_view zone;
  std::string_view longitude;
  std::string_view city;
  DaylightSaving daylight = DaylightSaving::kUnknown;
};

// Fills the zone and longitude of `request` from `city`, which it also keeps for the words.
void TakeCity(const Place& city, PlaceRequest& request);

// Why a birth could not be cast, for a shell that acts on it as well as saying it: its birth
// place could not be used, or the birth (or its corrected moment) lies outside the supported
// range, or its clock time was skipped or shown twice when the clocks changed.
enum class BirthRefused : std::int32_t { kPlace, kUnsupported, kSkipped, kRepeated };

// Corrects the clock time `clock` of a birth in `zone`, named `zoneName`, as `place` asks. On
// refusal returns false with one phrase in `error`: a clock time the zone's clocks skipped or
// showed twice (naming the change, and for the second ending with `daylightHint`, which tells
// the user how to say whether daylight saving time was in force), or a corrected moment that
// the lunar calendar does not cover; `refused`, when given, then says which.
bool CorrectBirth(TDateTime clock, const ZoneOffsets& zone, std::string_view zoneName,
                  const BirthPlace& place, std::string_view daylightHint, ClockCorrection& out,
                  std::string& error, BirthRefused* refused = nullptr);

// Checks births and corrects their clock time for the shell's birth place, or the one a birth
// names instead, with the zones of `zones`.
class PlaceCorrector {
 public:
  // `daylightHint` tells the user, in the shell's own words, how to say whether daylight saving
  // time was in force for a clock time that came twice. Births that name a city find it with
  // `places`; without it they are refused.
  PlaceCorrector(ZoneSource& zones, std::string_view daylightHint, PlaceRequest request = {},
                 PlaceFinder* places = nullptr)
      : zones_(zones), daylightHint_(daylightHint), request_(std::move(request)) {
    if (places != nullptr) cities_.emplace(*places);
  }

  void SetRequest(PlaceRequest request) { request_ = std::move(request); }

  // Checks the birth and corrects its clock time. Without a zone, longitude or solar time in
  // the request or in `words`, the birth is checked against the supported range and
  // `correction` is left empty; otherwise `correction` holds every step. False with one phrase
  // in `error` for a place or a birth that cannot be cast.
  bool Correct(const BirthInput& birth, const PlaceWords& words,
               std::optional<ClockCorrection>& correction, std::string& error);

  // Why the last birth refused was refused.
  BirthRefused Refused() const { return refused_; }

  // The zone of the last correction.
  const std::string& ZoneName() const { return zoneName_; }
  // The city of the last correction, or null when it named none. Valid until the next one.
  const Place* City() const { return city_; }

 private:
  ZoneSource& zones_;
  std::string_view daylightHint_;
  PlaceRequest request_;
  PlaceRequest lineRequest_;  // the request as the birth's own words change it
  std::optional<PlaceMemory> cities_;
  std::string zoneName_;
  const Place* city_ = nullptr;
  BirthRefused refused_ = BirthRefused::kPlace;
};

}  // namespace velmora
