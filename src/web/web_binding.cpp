// The functions the JavaScript package calls. A cast takes the birth as the text the user gave,
// runs it through velmora-cli's checks and casts it exactly as velmora-cli does; the outputs are
// then read one at a time, each as UTF-8 in memory owned here and valid until the next call.

#include <emscripten/emscripten.h>

#include <cstdint>
#include <string>
#include <string_view>

#include "cli/birth_input.h"
#include "cli/chart_json.h"
#include "cli/chart_report.h"

namespace velmora {

namespace {

// The outcome of a cast; the script turns the last three into its errors.
enum CastOutcome : std::int32_t {
  kCast = 0,
  kBadDate = 1,          // the message is the date reader's phrase
  kBadTime = 2,          // the message is the time reader's phrase
  kUnsupportedBirth = 3  // the message is velmora-cli's whole line after its name
};

struct WebSession {
  ChartReport report;
  std::string message;  // what the last refused cast found wrong
  std::string output;   // the last output asked for
};

WebSession& Session() {
  static WebSession session;
  return session;
}

std::int32_t Cast(std::string_view dateText, std::string_view timeText) {
  WebSession& s = Session();
  BirthInput birth;
  if (!ParseBirthDate(dateText, birth.date, s.message)) return kBadDate;
  if (!ParseBirthTime(timeText, birth.hour, birth.minute, s.message)) return kBadTime;
  std::string error;
  if (!CheckSupportedBirth(birth, error)) {
    // The same line as velmora-cli's refusal of a birth it cannot cast.
    s.message =
        IsoDate(birth.date) + ' ' + ClockTime(birth.hour, birth.minute) + ": " + error + '.';
    return kUnsupportedBirth;
  }
  s.report.Cast(birth);
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
