#include "casting/chart_report.h"

#include <string_view>

#include "casting/chart_json.h"
#include "presentation/birth_text.h"
#include "presentation/chart_painter.h"
#include "presentation/markup_escape.h"
#include "presentation/reading_writer.h"
#include "presentation/svg_surface.h"

namespace velmora {

void ChartReport::Cast(const BirthInput& birth, const ClockCorrection* correction,
                       std::string_view zone, const Place* city) {
  CastChart(birth, correction, zone, city);
  WriteReading(table_, reading_);
}

void ChartReport::CastChart(const BirthInput& birth, const ClockCorrection* correction,
                            std::string_view zone, const Place* city) {
  birth_ = birth;
  correction_.reset();
  correctionText_.reset();
  correctionJson_.clear();
  if (correction != nullptr) {
    correction_ = *correction;
    if (city != nullptr) {
      correctionPlace_ = PlaceWithZone(*city);
    } else {
      correctionPlace_.assign(zone);
    }
    AppendCorrectionJson(*correction, zone, correctionJson_, city);
  }
  // The order of a Run: empty box, cleared table, computed chart, built table, then the reading.
  reading_.Clear();
  ClearDisplayTable(table_);
  chart_.SetBirthMoment(correction != nullptr ? correction->Cast() : birth.Moment());
  chart_.ComputeChart();
  BuildDisplayTable(chart_, table_);
}

const std::string& ChartReport::CorrectionText() const {
  if (!correctionText_) {
    correctionText_ = correction_ ? CorrectionLine(*correction_, correctionPlace_) : std::string();
  }
  return *correctionText_;
}

std::string ChartReport::PlainText() const {
  return CorrectionText().empty() ? reading_.PlainText()
                                  : CorrectionText() + '\n' + reading_.PlainText();
}

std::string ChartReport::Json() const {
  std::string json;
  AppendChartJson(birth_, chart_, table_, JsonLayout::kReadable, json, correctionJson_);
  return json;
}

std::string ChartReport::Heading() const {
  LunarDate lunar;
  const BirthCalendar& facts = chart_.calendar;
  BirthLunarDate(facts.birthMoment, lunar);
  std::string text = LongMomentText(facts.birthMoment);
  text += ": lunar year ";
  text += std::to_string(lunar.year);
  text += lunar.IsLeap() ? ", leap month " : ", month ";
  text += std::to_string(lunar.MonthNumber());
  text += ", day ";
  text += std::to_string(lunar.day);
  text += "; year stem ";
  text += std::to_string(facts.yearStem);
  text += ", branch ";
  text += std::to_string(facts.yearBranch);
  return text;
}

std::string ChartReport::BoardSvg() const {
  SvgSurface surface;
  ChartPainter painter;
  painter.surface = &surface;
  surface.Clear();
  painter.DrawChart(table_);
  return surface.Document();
}

std::string ChartReport::HtmlPage() const {
  // Inside a page the board is an element, not a document: its XML declaration goes.
  std::string svg = BoardSvg();
  if (svg.starts_with("<?xml")) svg.erase(0, svg.find('\n') + 1);
  const std::string birth = LongBirthText(birth_);

  std::string page;
  page.reserve(svg.size() + static_cast<std::size_t>(reading_.Length()) * 2 + 2048);
  page +=
      "<!DOCTYPE html>\n"
      "<html xmlns=\"http://www.w3.org/1999/xhtml\" lang=\"en\">\n"
      "<head>\n"
      "<meta charset=\"utf-8\"/>\n"
      "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\"/>\n"
      "<title>Velmora chart: ";
  page += birth;  // digits, letters, a comma and a colon: nothing to escape
  page +=
      "</title>\n"
      "<style>\n"
      "body { font-family: \"MS Sans Serif\", Arial, Helvetica, sans-serif; font-size: 12px;"
      " margin: 16px; }\n"
      "h1 { font-size: 16px; }\n"
      "main { display: flex; flex-wrap: wrap; align-items: flex-start; gap: 24px; }\n"
      "figure { margin: 0; }\n"
      ".reading { flex: 1 1 320px; max-width: 60em; }\n"
      "</style>\n"
      "</head>\n"
      "<body>\n"
      "<h1>Velmora chart for a birth on ";
  page += birth;
  page += "</h1>\n";
  if (!CorrectionText().empty()) {
    page += "<p class=\"correction\">";
    markup::AppendEscaped(CorrectionText(), markup::kHtml, page);
    page += "</p>\n";
  }
  page +=
      "<main>\n"
      "<figure class=\"board\">\n";
  page += svg;
  page +=
      "</figure>\n"
      "<section class=\"reading\">\n";
  page += reading_.Html();
  page +=
      "\n</section>\n"
      "</main>\n"
      "</body>\n"
      "</html>\n";
  return page;
}

}  // namespace velmora
