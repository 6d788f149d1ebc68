#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "calendar/clock_correction.h"
#include "cli/birth_input.h"
#include "time_zone/system_zone.h"

namespace velmora {

// What velmora-cli tells the user to do about a clock time its zone showed twice.
inline constexpr const char* kDaylightHint =
    "say whether daylight saving time was in force with --dst on or --dst off";

// Corrects births for the birth place the command line names, or a batch line names instead,
// keeping the last zone it looked up, since a batch names the same few zones line after line.
class PlaceCorrector {
 public:
  explicit PlaceCorrector(PlaceRequest request = {}) : request_(std::move(request)) {}

  // Checks the birth and corrects its clock time. Without a zone, longitude or solar time on
  // the command line or in `words`, the birth is checked against the supported range and
  // `correction` is left empty; otherwise `correction` holds every step. False with one phrase
  // in `error` for a place or a birth that cannot be cast.
  bool Correct(const BirthInput& birth, const PlaceWords& words,
               std::optional<ClockCorrection>& correction, std::string& error);

  // The zone of the last correction.
  const std::string& ZoneName() const { return zoneName_; }

 private:
  PlaceRequest request_;
  std::string zoneName_;
  std::optional<SystemZone> zone_;
};

}  // namespace velmora
