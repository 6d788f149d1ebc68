#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "casting/birth_input.h"
#include "casting/birth_place.h"
#include "casting/chart_report.h"

namespace velmora {

// The one way every shell casts a birth as the user gives it: checked, corrected for its birth
// place when there is one, and cast into a report that the outputs are read from.
class Caster {
 public:
  // What a cast writes: the chart and its display table, or those and the reading.
  enum class Output { kChart, kReading };

  // Births are corrected for the birth place `place` names, with the zones of `zones`;
  // `daylightHint` is the shell's way of saying whether daylight saving time was in force.
  // Births that name a city find it with `places`.
  Caster(ZoneSource& zones, std::string_view daylightHint, PlaceRequest place = {},
         PlaceFinder* places = nullptr)
      : corrector_(zones, daylightHint, std::move(place), places) {}

  // The birth place of the casts that follow.
  void SetPlace(PlaceRequest place) { corrector_.SetRequest(std::move(place)); }

  // Casts `birth`, corrected for the birth place `words` names or else the caster's own. False
  // with one phrase in `error` for a birth that cannot be cast; the last report then stays.
  bool Cast(const BirthInput& birth, const PlaceWords& words, Output output, std::string& error);
  bool Cast(const BirthInput& birth, Output output, std::string& error) {
    return Cast(birth, {}, output, error);
  }

  const ChartReport& Report() const { return report_; }
  // Why the last birth refused was refused.
  BirthRefused Refused() const { return corrector_.Refused(); }

 private:
  PlaceCorrector corrector_;
  std::optional<ClockCorrection> correction_;
  ChartReport report_;
};

}  // namespace velmora
