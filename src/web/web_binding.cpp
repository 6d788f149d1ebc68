// The functions the JavaScript package calls. A cast takes the birth as the text the user gave,
// runs it through velmora-cli's checks and casts it exactly as velmora-cli does; the outputs are
// then read one at a time, each as UTF-8 in memory owned here and valid until the next call.

#include <emscripten/emscripten.h>

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "cli/birth_input.h"
#include "cli/chart_json.h"
#include "cli/chart_report.h"
#include "presentation/display_table.h"
#include "presentation/star_tables.h"

namespace velmora {

namespace {

// The outcome of a cast; the script turns the last three into its errors.
enum CastOutcome : std::int32_t {
  kCast = 0,
  kBadDate = 1,          // the message is the date reader's phrase
  kBadTime = 2,          // the message is the time reader's phrase
  kUnsupportedBirth = 3  // the message is velmora-cli's whole line after its name
};

// The numbers of a chart as the script reads them to build the chart object, in the order of
// velmora-cli's JSON: the birth (year, month, day, hour, minute), the six calendar facts, the
// lunar date (year, month, leap flag, day), the bureau, the Life palace's branch, then for branches
// 1 to 12 the palace stem, how many entries the display row holds and those entries (the palace
// name, then its stars), ten places each.
inline constexpr std::int32_t kChartHead = 17;
inline constexpr std::int32_t kPalaceNumbers = 2 + kDisplayEntries;
inline constexpr std::int32_t kChartNumbers = kChartHead + 12 * kPalaceNumbers;

// The codes the name table covers: every item code up to the last displayable one.
inline constexpr ItemCode kNamedCodes = code::Festival + 1;

struct WebSession {
  ChartReport report;
  // The last chart cast without its reading, for castChart and chartJson.
  BirthInput birth;
  PalaceChart chart;
  DisplayTable table;
  std::array<std::int32_t, kChartNumbers> numbers{};
  std::string message;  // what the last refused cast found wrong
  std::string output;   // the last output asked for
};

WebSession& Session() {
  static WebSession session;
  return session;
}

// Runs the birth's texts through velmora-cli's checks into `birth`; on a refusal the message is
// left in the session.
std::int32_t CheckBirth(std::string_view dateText, std::string_view timeText, BirthInput& birth) {
  WebSession& s = Session();
  if (!ParseBirthDate(dateText, birth.date, s.message)) return kBadDate;
  if (!ParseBirthTime(timeText, birth.hour, birth.minute, s.message)) return kBadTime;
  std::string error;
  if (!CheckSupportedBirth(birth, error)) {
    // The same line as velmora-cli's refusal of a birth it cannot cast.
    s.message =
        IsoDate(birth.date) + ' ' + ClockTime(birth.hour, birth.minute) + ": " + error + '.';
    return kUnsupportedBirth;
  }
  return kCast;
}

std::int32_t Cast(std::string_view dateText, std::string_view timeText) {
  BirthInput birth;
  const std::int32_t outcome = CheckBirth(dateText, timeText, birth);
  if (outcome == kCast) Session().report.Cast(birth);
  return outcome;
}

// Casts the chart and its display table as a Run does, without writing the reading, and lays
// its numbers out for the script.
std::int32_t CastChartOnly(std::string_view dateText, std::string_view timeText) {
  WebSession& s = Session();
  BirthInput birth;
  const std::int32_t outcome = CheckBirth(dateText, timeText, birth);
  if (outcome != kCast) return outcome;
  s.birth = birth;
  ClearDisplayTable(s.table);
  s.chart.SetBirthMoment(birth.Moment());
  s.chart.ComputeChart();
  BuildDisplayTable(s.chart, s.table);

  std::int32_t* n = s.numbers.data();
  const BirthCalendar& facts = s.chart.calendar;
  n[0] = birth.date.year;
  n[1] = birth.date.month;
  n[2] = birth.date.day;
  n[3] = birth.hour;
  n[4] = birth.minute;
  n[5] = facts.yearStem;
  n[6] = facts.yearBranch;
  n[7] = facts.yearStemCode;
  n[8] = facts.lunarMonth;
  n[9] = facts.lunarDay;
  n[10] = facts.hourBranch;
  LunarDate lunar;
  BirthLunarDate(birth.Moment(), lunar);
  n[11] = lunar.year;
  n[12] = lunar.month < 0 ? -lunar.month : lunar.month;
  n[13] = lunar.month < 0 ? 1 : 0;
  n[14] = lunar.day;
  n[15] = s.chart.bureau;
  n[16] = LifeRow(s.table);
  for (std::size_t branch = 1; branch <= 12; ++branch) {
    std::int32_t* palace = n + kChartHead + (branch - 1) * kPalaceNumbers;
    palace[0] = s.chart.grid[branch][kStemSlot];
    std::int32_t count = 0;
    // Empty entries are skipped wherever they stand, as the JSON skips them.
    for (const ItemCode code : s.table.rows[branch]) {
      if (code != code::Empty) palace[2 + count++] = code;
    }
    palace[1] = count;
  }
  return kCast;
}

const char* Output(std::string text) {
  Session().output = std::move(text);
  return Session().output.c_str();
}

}  // namespace

}  // namespace velmora

using velmora::Session;

extern "C" {

// Casts the birth given as `dateBytes` bytes of date text followed by `timeBytes` bytes of time
// text at `input`; the texts may hold any bytes, a zero byte included. Returns a CastOutcome;
// after a refusal the previous chart stays.
EMSCRIPTEN_KEEPALIVE std::int32_t VelmoraCast(const char* input, std::int32_t dateBytes,
                                              std::int32_t timeBytes) {
  const std::string_view date(input, static_cast<std::size_t>(dateBytes));
  const std::string_view time(input + dateBytes, static_cast<std::size_t>(timeBytes));
  return velmora::Cast(date, time);
}

// Casts the birth as VelmoraCast does, but only the chart and its display table: no reading.
// Its numbers are then at VelmoraChartNumbers() and its JSON from VelmoraCastChartJson().
EMSCRIPTEN_KEEPALIVE std::int32_t VelmoraCastChart(const char* input, std::int32_t dateBytes,
                                                   std::int32_t timeBytes) {
  const std::string_view date(input, static_cast<std::size_t>(dateBytes));
  const std::string_view time(input + dateBytes, static_cast<std::size_t>(timeBytes));
  return velmora::CastChartOnly(date, time);
}

// Where the last VelmoraCastChart laid out its numbers; the place never moves.
EMSCRIPTEN_KEEPALIVE const std::int32_t* VelmoraChartNumbers() {
  return Session().numbers.data();
}

// How many item codes have names: the codes 0 to this less one.
EMSCRIPTEN_KEEPALIVE std::int32_t VelmoraNamedCodes() {
  return velmora::kNamedCodes;
}

// The display name of an item code, as the JSON's names give it.
EMSCRIPTEN_KEEPALIVE const char* VelmoraStarName(std::int32_t code) {
  return velmora::Output(std::string(velmora::StarName(code)));
}

// The last VelmoraCastChart as velmora-cli's --format json.
EMSCRIPTEN_KEEPALIVE const char* VelmoraCastChartJson() {
  const velmora::WebSession& s = Session();
  std::string json;
  velmora::AppendChartJson(s.birth, s.chart, s.table, velmora::JsonLayout::kReadable, json);
  return velmora::Output(std::move(json));
}

EMSCRIPTEN_KEEPALIVE const char* VelmoraMessage() {
  return Session().message.c_str();
}

// The outputs of the last cast, each as velmora-cli prints it: --format json, --format text,
// --chart FILE.svg.
EMSCRIPTEN_KEEPALIVE const char* VelmoraChartJson() {
  const velmora::ChartReport& r = Session().report;
  std::string json;
  velmora::AppendChartJson(r.Birth(), r.Chart(), r.Table(), velmora::JsonLayout::kReadable, json);
  return velmora::Output(std::move(json));
}

EMSCRIPTEN_KEEPALIVE const char* VelmoraReadingText() {
  return velmora::Output(Session().report.Reading().PlainText());
}

EMSCRIPTEN_KEEPALIVE const char* VelmoraBoardSvg() {
  return velmora::Output(Session().report.BoardSvg());
}

// The reading as the HTML fragment of velmora-cli's page: one <div> of coloured runs.
EMSCRIPTEN_KEEPALIVE const char* VelmoraReadingHtml() {
  return velmora::Output(Session().report.Reading().Html());
}

// velmora-cli's --format html: a standalone page with a heading, the board and the reading.
EMSCRIPTEN_KEEPALIVE const char* VelmoraHtmlPage() {
  return velmora::Output(Session().report.HtmlPage());
}

// "4 February 2000, 23:00": the birth of the last cast, for a heading.
EMSCRIPTEN_KEEPALIVE const char* VelmoraBirthHeading() {
  return velmora::Output(velmora::LongBirthText(Session().report.Birth()));
}

// The board before any Run: the grid without names, as an empty display table draws it.
EMSCRIPTEN_KEEPALIVE const char* VelmoraBareBoardSvg() {
  return velmora::Output(velmora::ChartReport().BoardSvg());
}

}  // extern "C"
