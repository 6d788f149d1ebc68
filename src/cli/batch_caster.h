#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "casting/caster.h"
#include "casting/chart_json.h"
#include "cli/cli_messages.h"
#include "places/geonames_places.h"
#include "time_zone/system_zone.h"

namespace velmora {

// Casts births one line at a time into JSON Lines, reusing one chart and one display table and
// writing straight into the caller's buffer, so that a line costs no allocation.
class BatchCaster {
 public:
  // Lines are corrected for the birth place `place` names, or the one a line names instead.
  // A line may name a city, found among the world's cities of GeoNames.
  explicit BatchCaster(const PlaceRequest& place = {})
      : caster_(zones_, kBatchDaylightHint, place, &places_) {}

  // A line longer than this cannot be a birth; only its beginning is kept to show in the error.
  static constexpr std::size_t kMaxLineBytes = 200;
  // The most bytes the answer to one line takes: a chart, or an error object that shows at most
  // kMaxLineBytes of the line (each byte escaped to at most six) beside a short message.
  // An identifier and a zone name, parts of the line, escaped add at most six bytes for each of
  // their bytes, and a correction its members.
  static constexpr std::size_t kMaxAnswerBytes =
      kMaxChartJsonBytes + 6 * kMaxLineBytes + kMaxCorrectionJsonBytes + 16;
  static_assert(6 * (kMaxLineBytes + 3) + 1024 <= kMaxAnswerBytes);

  // Writes the chart of `line` (numbered from 1), or an error object in its place, as one JSON
  // line at `out`, which must have room for kMaxAnswerBytes. Returns the end of what was
  // written; `good` tells whether the line was a good birth.
  char* CastLine(std::string_view line, std::int64_t number, char* out, bool& good);
  // The same, appended to a string; returns whether the line was a good birth.
  bool CastLine(std::string_view line, std::int64_t number, std::string& out);
  // The answer to one line of a batch, a closing "\r" dropped: its chart, or the error object
  // for a line longer than kMaxLineBytes or `cut` short on reading. A blank line or a comment
  // (its first word starting with "#") is skipped: nothing is written, and the result is `out`.
  char* AnswerLine(std::string_view line, bool cut, std::int64_t number, char* out, bool& good);

 private:
  // The error object for a line that was cut short at kMaxLineBytes: `start` is its beginning.
  char* RefuseLongLine(std::string_view start, std::int64_t number, char* out);
  char* WriteError(std::string_view input, std::int64_t number, std::string_view error, char* out,
                   std::string_view id = {});

  SystemZones zones_;
  GeonamesPlaces places_;
  Caster caster_;  // casts the chart and display table only: a batch writes no reading
  std::string error_;
  std::string scratch_;
  std::string idJson_;
};

}  // namespace velmora
