#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "calendar/clock_correction.h"
#include "casting/birth_input.h"
#include "casting/place_finder.h"
#include "chart/palace_chart.h"
#include "presentation/display_table.h"
#include "presentation/star_tables.h"

namespace velmora {

// The version of the chart object's layout, written first as "format"; it grows when a member
// changes meaning or goes, not when one is added.
inline constexpr std::int32_t kChartJsonFormat = 1;

// One object on one line, for JSON Lines; or the same object spread over lines with one palace
// per line, for a person reading a single chart.
enum class JsonLayout { kOneLine, kReadable };

// Appends `text` as a JSON string with its quotes. Quotes, backslashes and control characters
// are escaped; a byte that is not part of valid UTF-8 becomes U+FFFD, so the result is always
// valid JSON whatever the input held.
void AppendJsonString(std::string_view text, std::string& out);

// The most bytes one chart object takes in either layout, line break included: the fixed
// members, and for each palace its members and ten entries, each a two-digit code and a name
// whose every character is escaped to the longest form (six bytes).
inline constexpr std::size_t kMaxChartJsonBytes =
    512 + 12 * (128 + kDisplayEntries * (3 + 3 + 6 * (kStarNameField - 1)));

// Writes the chart of `birth` as one JSON object followed by a line break into `out`, which
// must have room for kMaxChartJsonBytes, and returns the end of what was written:
//   date, time     the birth as given ("2000-02-04", "23:00")
//   facts          the six calendar facts the chart was computed from
//   bureau         the five-element bureau
//   lifeBranch     the branch of the Life palace
//   palaces        for branches 1 to 12 in order: branch, stem (the palace stem code), items
//                  (the palace's display row: its name, then its stars) and names (their
//                  display names)
// `chart` must have been computed for `birth` and `table` built from it. A batch line's
// identifier comes first, as "id", when `idJson` holds it as a JSON string (quotes and escapes
// included); `out` then needs room for idJson.size() + 8 bytes more. A chart cast from a
// corrected moment has "correction" after "time", when `correctionJson` holds its object as
// AppendCorrectionJson writes it; `out` then needs room for correctionJson.size() + 16 more.
char* WriteChartJson(const BirthInput& birth, const PalaceChart& chart, const DisplayTable& table,
                     JsonLayout layout, char* out, std::string_view idJson = {},
                     std::string_view correctionJson = {});

// The same, appended to a string.
void AppendChartJson(const BirthInput& birth, const PalaceChart& chart, const DisplayTable& table,
                     JsonLayout layout, std::string& out, std::string_view correctionJson = {});

// The most bytes a correction object takes besides its zone name and its city's names.
inline constexpr std::size_t kMaxCorrectionJsonBytes = 640 + kMaxPlaceJsonBytes;

// Appends the "correction" object of a chart cast from a corrected moment: the zone, the clock
// time as entered, the offsets in minutes (in force, standard, daylight saving), each step's
// local time ("1988-07-15T08:30:00"), the longitude and its shift, the equation of time, the
// solar time asked for and the moment cast; and after the zone, the city the zone and longitude
// were taken from as "place", when there is one.
void AppendCorrectionJson(const ClockCorrection& correction, std::string_view zone,
                          std::string& out, const Place* city = nullptr);

// Appends {"line":N,"input":"...","error":"..."} and a line break: the stand-in for a batch
// line that could not be cast; with the line's identifier as "id" after "line" when it has one.
void AppendBatchErrorJson(std::int64_t line, std::string_view input, std::string_view error,
                          std::string& out, std::string_view id = {});

}  // namespace velmora
