#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "calendar/clock_correction.h"
#include "casting/birth_input.h"
#include "casting/chart_json.h"
#include "casting/place_finder.h"
#include "chart/palace_chart.h"
#include "presentation/display_table.h"
#include "presentation/styled_text_buffer.h"

namespace velmora {

// One chart cast exactly as the window's Run casts it: the chart, its display table and the
// reading written from that table, each kept for the outputs to read.
class ChartReport {
 public:
  // Casts the chart of a supported birth, replacing whatever was cast before; with a
  // correction, from the corrected moment of the birth in the zone named `zone`, named by the
  // city `city` when the user gave one.
  void Cast(const BirthInput& birth, const ClockCorrection* correction = nullptr,
            std::string_view zone = {}, const Place* city = nullptr);
  // The same without the reading, which is left empty: the chart and its display table only,
  // for the outputs that need no more.
  void CastChart(const BirthInput& birth, const ClockCorrection* correction = nullptr,
                 std::string_view zone = {}, const Place* city = nullptr);

  const BirthInput& Birth() const { return birth_; }
  // The sentence saying which moment the chart was cast from; empty without a correction.
  // Written when first asked for: a batch, which writes JSON only, never pays for it.
  const std::string& CorrectionText() const;
  // The "correction" object of the JSON; empty without a correction.
  const std::string& CorrectionJson() const { return correctionJson_; }
  const PalaceChart& Chart() const { return chart_; }
  const DisplayTable& Table() const { return table_; }
  const StyledTextBuffer& Reading() const { return reading_; }

  // The reading as plain lines, after the correction's sentence when there is one.
  std::string PlainText() const;
  // The chart as one JSON object spread over lines, one palace a line.
  std::string Json() const;
  // One line naming the moment cast, its lunar date and the year's stem and branch, for the top of
  // the terminal reading: "4 February 2000, 23:00: lunar year 2000, month 1, day 1; year stem 7,
  // branch 5".
  std::string Heading() const;
  // The board drawn on the SVG surface: a standalone SVG document.
  std::string BoardSvg() const;
  // A standalone HTML page, well-formed as XML too: a heading naming the birth, the board as
  // inline SVG and the reading in its colours and weights.
  std::string HtmlPage() const;

 private:
  BirthInput birth_;
  std::optional<ClockCorrection> correction_;
  std::string correctionPlace_;  // the zone, or the city with its zone, as the sentence names it
  mutable std::optional<std::string> correctionText_;
  std::string correctionJson_;
  PalaceChart chart_;
  DisplayTable table_;
  StyledTextBuffer reading_;
};

}  // namespace velmora
