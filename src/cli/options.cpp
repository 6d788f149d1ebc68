#include "cli/options.h"

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QRegularExpression>

#include <algorithm>
#include <array>
#include <cstring>
#include <utility>

#include "calendar/birth_calendar.h"
#include "cli/cli_messages.h"
#include "time_zone/system_zone.h"

namespace velmora {

namespace {

// The options, named once for the parser and for the checks that follow it.
struct Options {
  QCommandLineOption help{{QStringLiteral("h"), QStringLiteral("help")},
                          QStringLiteral("Show this help and exit.")};
  QCommandLineOption version{QStringLiteral("version"),
                             QStringLiteral("Print the program's name and version and exit.")};
  QCommandLineOption date{QStringLiteral("date"),
                          QStringLiteral("Birth date, e.g. 2000-02-04 or 2000-2-4, or the date "
                                         "and time together, 2000-02-04T23:00. Without it: "
                                         "today."),
                          QStringLiteral("YYYY-MM-DD")};
  QCommandLineOption time{QStringLiteral("time"),
                          QStringLiteral("Birth time on the 24-hour local clock, e.g. 23:00 or "
                                         "7:05, without a time zone. Without it: the present "
                                         "time."),
                          QStringLiteral("HH:MM")};
  QCommandLineOption format{
      QStringLiteral("format"),
      QStringLiteral("text: the reading as plain lines; ansi: the same in colour, wrapped "
                     "between words on a terminal; html: a page with the board and the "
                     "coloured reading; json: the chart's facts and palaces. Default: ansi on "
                     "a terminal, text otherwise."),
      QStringLiteral("text|ansi|html|json")};
  QCommandLineOption color{
      QStringLiteral("color"),
      QStringLiteral("Colour the ansi reading: always, never, or auto (the default): on a "
                     "terminal, or when --format ansi is given, unless NO_COLOR is set. Only "
                     "the colour changes; on a terminal the reading is wrapped either way."),
      QStringLiteral("auto|always|never")};
  QCommandLineOption chart{QStringLiteral("chart"),
                           QStringLiteral("Also draw the board into FILE, a PNG or SVG picture "
                                          "as its name ends. The file is written whole or not "
                                          "at all."),
                           QStringLiteral("FILE.png|FILE.svg")};
  QCommandLineOption batch{
      QStringLiteral("batch"),
      QStringLiteral(
          "Cast many charts: read one birth per line, YYYY-MM-DD HH:MM, from FILE "
          "(- for standard input) and write one JSON object per line, in order; a "
          "bad line gets {\"line\":N,\"input\":...,\"error\":...} instead. Blank "
          "lines and lines starting with # are skipped. Text after a tab behind the "
          "birth is the line's identifier, given back as \"id\". A line may name its birth "
          "place after the time, in place of --place, --zone and --longitude: a city, as "
          "1990-01-15 12:00 Springfield, Illinois, or a time zone, by any name --zone takes, and "
          "a longitude, as 1990-01-15 12:00 Asia/Shanghai 87.6; then dst=on or dst=off for a "
          "clock time that came twice."),
      QStringLiteral("FILE|-")};
  QCommandLineOption jobs{QStringLiteral("jobs"),
                          QStringLiteral("With --batch: cast on N workers side by side, the "
                                         "answers still in input order. Default: one per core."),
                          QStringLiteral("N")};
  QCommandLineOption zone{
      QStringLiteral("zone"),
      QStringLiteral("Read the clock time in this time zone of the system's database, e.g. "
                     "Asia/Shanghai, and cast the chart from standard time: daylight saving "
                     "time in force at the birth is taken off."),
      QStringLiteral("ZONE")};
  QCommandLineOption longitude{
      QStringLiteral("longitude"),
      QStringLiteral("The birth place's longitude in degrees, east positive (87.6, -73.9): cast "
                     "from local mean solar time, 4 minutes to the degree from the zone's "
                     "meridian. Needs --zone."),
      QStringLiteral("DEGREES")};
  QCommandLineOption solar{
      QStringLiteral("solar"),
      QStringLiteral("standard: the zone's standard time, the longitude left aside; mean: local "
                     "mean solar time (the default with --longitude); apparent: the sun's own "
                     "time, mean solar time plus the equation of time. Mean and apparent need "
                     "--longitude."),
      QStringLiteral("standard|mean|apparent")};
  QCommandLineOption place{
      QStringLiteral("place"),
      QStringLiteral("The birth place by its city's name, then its region and country when "
                     "several share it (\"Urumqi\", \"Springfield, Illinois\", \"London, "
                     "Canada\"): cast as --zone and --longitude of the most populous city so "
                     "named would. Cities of 15,000 people or more, from GeoNames. Not with "
                     "--zone or --longitude."),
      QStringLiteral("CITY")};
  QCommandLineOption places{
      QStringLiteral("places"),
      QStringLiteral("List the cities QUERY names, most populous first, one a line: the city "
                     "with its region and country, its time zone and its longitude, separated "
                     "by tabs; then exit."),
      QStringLiteral("QUERY")};
  QCommandLineOption zones{
      QStringLiteral("zones"),
      QStringLiteral("List every time zone name --zone takes, one a line, and exit.")};
  QCommandLineOption dst{
      QStringLiteral("dst"),
      QStringLiteral("For a clock time that came twice when the clocks went back: on, the first "
                     "one, with daylight saving time; off, the second one, without."),
      QStringLiteral("on|off")};
};

const Options& TheOptions() {
  static const Options options;
  return options;
}

}  // namespace

std::array<const QCommandLineOption*, 16> OptionList() {
  const Options& o = TheOptions();
  return {&o.help, &o.version, &o.date, &o.time,      &o.format, &o.color, &o.chart,  &o.batch,
          &o.jobs, &o.place,   &o.zone, &o.longitude, &o.solar,  &o.dst,   &o.places, &o.zones};
}

namespace {

void SetUp(QCommandLineParser& parser) {
  parser.setOptionsAfterPositionalArgumentsMode(QCommandLineParser::ParseAsOptions);
  for (const QCommandLineOption* option : OptionList()) parser.addOption(*option);
}

// Reads an option whose value is one of a few words into `value`, when the option is given. An
// unknown word is refused with "--option "word": use a, b or c.", `unknown` before "use".
template <typename T, std::size_t N>
bool ReadChoice(const QCommandLineParser& parser, const QCommandLineOption& option,
                const std::pair<const char*, T> (&choices)[N], T& value, QString& error,
                const char* unknown = "") {
  if (!parser.isSet(option)) return true;
  const QString word = parser.value(option);
  QString accepted;
  for (std::size_t i = 0; i < N; ++i) {
    if (word == QLatin1String(choices[i].first)) {
      value = choices[i].second;
      return true;
    }
    accepted += QLatin1String(i == 0       ? ""
                              : i + 1 == N ? " or "
                                           : ", ") +
                QLatin1String(choices[i].first);
  }
  error = QStringLiteral("--%1 %2: %3use %4.")
              .arg(option.names().first(), Quoted(word), QLatin1String(unknown), accepted);
  return false;
}

// Reads --place, --zone, --longitude, --solar and --dst, each checked on its own.
bool ReadPlace(const QCommandLineParser& parser, PlaceFinder& places, PlaceRequest& place,
               QString& error) {
  const Options& o = TheOptions();
  std::string phrase;
  if (parser.isSet(o.place)) {
    if (parser.isSet(o.zone) || parser.isSet(o.longitude)) {
      error = QStringLiteral(
          "--place gives the time zone and longitude of its city; leave out --zone and "
          "--longitude, or give them without --place.");
      return false;
    }
    const std::vector<Place> found = places.Find(parser.value(o.place).toStdString());
    if (found.empty()) {
      error = QStringLiteral("--place %1: %2.")
                  .arg(Quoted(parser.value(o.place)), QLatin1String(kUnknownPlaceError));
      return false;
    }
    TakeCity(found.front(), place);
  }
  if (parser.isSet(o.zone)) {
    place.zone = parser.value(o.zone).toStdString();
    SystemZones zones;
    if (!CheckZone(zones, place.zone, phrase)) {
      error = QStringLiteral("--zone %1: %2.").arg(Quoted(parser.value(o.zone)), FromUtf8(phrase));
      return false;
    }
  }
  if (parser.isSet(o.longitude)) {
    double degrees = 0.0;
    if (!ParseLongitude(parser.value(o.longitude).toStdString(), degrees, phrase)) {
      error = QStringLiteral("--longitude %1: %2.")
                  .arg(Quoted(parser.value(o.longitude)), FromUtf8(phrase));
      return false;
    }
    place.longitude = degrees;
  }
  static constexpr std::pair<const char*, SolarTime> kSolar[] = {
      {"standard", SolarTime::kStandard},
      {"mean", SolarTime::kMean},
      {"apparent", SolarTime::kApparent}};
  static constexpr std::pair<const char*, DaylightSaving> kDaylight[] = {
      {"on", DaylightSaving::kOn}, {"off", DaylightSaving::kOff}};
  SolarTime solar = SolarTime::kStandard;
  if (!ReadChoice(parser, o.solar, kSolar, solar, error) ||
      !ReadChoice(parser, o.dst, kDaylight, place.daylight, error)) {
    return false;
  }
  if (parser.isSet(o.solar)) place.solar = solar;
  return true;
}

// The parser's refusal in the voice of every other message: the option as written, what is
// wrong, and what is accepted.
QString ParseError(const QCommandLineParser& parser) {
  const QStringList unknown = parser.unknownOptionNames();
  if (!unknown.isEmpty()) {
    QStringList names;
    for (const QCommandLineOption* option : OptionList()) {
      names << QStringLiteral("--") + option->names().last();
    }
    const QString& name = unknown.first();
    return QStringLiteral("%1: there is no such option; the options are %2 and %3.")
        .arg(Shortened((name.size() == 1 ? QStringLiteral("-") : QStringLiteral("--")) + name),
             names.mid(0, names.size() - 1).join(QStringLiteral(", ")), names.last());
  }
  // Qt names an option that lacks its value as "Missing value after '--format'.".
  static const QRegularExpression missing(QStringLiteral("^Missing value after '-*([^']*)'"));
  const QRegularExpressionMatch match = missing.match(parser.errorText());
  if (match.hasMatch()) {
    for (const QCommandLineOption* option : OptionList()) {
      if (!option->names().contains(match.captured(1))) continue;
      return QStringLiteral("--%1 needs a value after it: %2.")
          .arg(option->names().last(), option->valueName());
    }
  }
  return parser.errorText() + QStringLiteral(" See %1 --help.").arg(kProgram);
}

}  // namespace

bool ReadCommandLine(const QStringList& arguments, PlaceFinder& places, CommandLineRequest& request,
                     QString& error) {
  const Options& o = TheOptions();
  QCommandLineParser parser;
  SetUp(parser);
  if (!parser.parse(arguments)) {
    error = ParseError(parser);
    return false;
  }
  request = {};
  if (!parser.positionalArguments().isEmpty()) {
    error = QStringLiteral(
                "unexpected argument %1; give the birth as --date YYYY-MM-DD "
                "--time HH:MM. See %2 --help.")
                .arg(Quoted(parser.positionalArguments().first()), kProgram);
    return false;
  }
  request.help = parser.isSet(o.help);
  request.version = parser.isSet(o.version);
  if (request.help || request.version) return true;
  if (parser.isSet(o.places) || parser.isSet(o.zones)) {
    // A list goes alone: nothing is cast.
    for (const QCommandLineOption* option : OptionList()) {
      if (option == &o.places || option == &o.zones || !parser.isSet(*option)) continue;
      error = QStringLiteral("--%1 lists and exits; give it without --%2.")
                  .arg((parser.isSet(o.places) ? o.places : o.zones).names().first(),
                       option->names().last());
      return false;
    }
    if (parser.isSet(o.places) && parser.isSet(o.zones)) {
      error = QStringLiteral("give --places or --zones, one at a time.");
      return false;
    }
    if (parser.isSet(o.places)) request.placesQuery = parser.value(o.places).toStdString();
    request.zones = parser.isSet(o.zones);
    return true;
  }

  for (const QCommandLineOption* option :
       {&o.date, &o.time, &o.format, &o.color, &o.chart, &o.batch, &o.jobs, &o.place, &o.zone,
        &o.longitude, &o.solar, &o.dst}) {
    if (parser.values(*option).size() > 1) {
      error = QStringLiteral("--%1 is given more than once; give it once.")
                  .arg(option->names().first());
      return false;
    }
  }
  if (parser.isSet(o.date)) request.date = parser.value(o.date).toStdString();
  if (parser.isSet(o.time)) request.time = parser.value(o.time).toStdString();
  static constexpr std::pair<const char*, OutputFormat> kFormats[] = {
      {"text", OutputFormat::kText},
      {"ansi", OutputFormat::kAnsi},
      {"html", OutputFormat::kHtml},
      {"json", OutputFormat::kJson}};
  static constexpr std::pair<const char*, ColorChoice> kColors[] = {
      {"auto", ColorChoice::kAuto},
      {"always", ColorChoice::kAlways},
      {"never", ColorChoice::kNever}};
  OutputFormat format = OutputFormat::kText;
  if (!ReadChoice(parser, o.format, kFormats, format, error, "unknown format; ") ||
      !ReadChoice(parser, o.color, kColors, request.color, error)) {
    return false;
  }
  if (parser.isSet(o.format)) request.format = format;
  if (parser.isSet(o.chart)) {
    request.chartPath = parser.value(o.chart);
    request.chartKind = ChartFileKindOf(request.chartPath);
    if (request.chartPath.isEmpty() || request.chartKind == ChartFileKind::kUnknown) {
      error = QStringLiteral(
                  "--chart %1: the board is written as PNG or SVG; give a file "
                  "name ending in .png or .svg.")
                  .arg(Quoted(request.chartPath));
      return false;
    }
  }
  if (parser.isSet(o.jobs)) {
    // Digits only: no sign, no blanks around them.
    const QString jobs = parser.value(o.jobs);
    const bool digits =
        !jobs.isEmpty() && jobs.size() <= 3 &&
        std::all_of(jobs.begin(), jobs.end(), [](QChar c) { return c >= u'0' && c <= u'9'; });
    request.jobs = digits ? jobs.toInt() : 0;
    if (request.jobs < 1 || request.jobs > kMaxJobs) {
      error = QStringLiteral("--jobs %1: give the number of workers, a whole number from 1 to %2.")
                  .arg(Quoted(parser.value(o.jobs)))
                  .arg(kMaxJobs);
      return false;
    }
    if (!parser.isSet(o.batch)) {
      error = QStringLiteral("--jobs goes with --batch; a single chart is cast on one thread.");
      return false;
    }
  }
  if (!ReadPlace(parser, places, request.place, error)) return false;
  // In a batch each line may name its own zone and longitude; a single birth needs them here.
  if (!parser.isSet(o.batch)) {
    if (!parser.isSet(o.zone) && !parser.isSet(o.place)) {
      for (const QCommandLineOption* option : {&o.longitude, &o.solar, &o.dst}) {
        if (parser.isSet(*option)) {
          error = QStringLiteral("--%1 needs --zone, the time zone of the birth place.")
                      .arg(option->names().first());
          return false;
        }
      }
    }
    if (request.place.solar && *request.place.solar != SolarTime::kStandard &&
        !request.place.longitude) {
      error = QStringLiteral("--solar needs --longitude, the birth place's longitude.");
      return false;
    }
  }
  if (parser.isSet(o.batch)) {
    request.batchPath = parser.value(o.batch);
    if (request.batchPath->isEmpty()) {
      error = QStringLiteral("--batch needs a file of births, or - for standard input.");
      return false;
    }
    if (request.date || request.time || !request.chartPath.isEmpty()) {
      error = QStringLiteral(
          "--batch takes its births from the file, one per line; it does not "
          "go with --date, --time or --chart.");
      return false;
    }
    if (request.format && *request.format != OutputFormat::kJson) {
      error = QStringLiteral(
          "--batch writes JSON Lines only; leave out --format or give "
          "--format json.");
      return false;
    }
  }
  return true;
}

OutputFormat DefaultFormat(bool stdoutIsTerminal) {
  return stdoutIsTerminal ? OutputFormat::kAnsi : OutputFormat::kText;
}

bool UseColour(ColorChoice choice, bool stdoutIsTerminal, bool ansiAsked, const char* noColor,
               const char* term) {
  if (choice != ColorChoice::kAuto) return choice == ColorChoice::kAlways;
  const bool colourRefused = noColor != nullptr && noColor[0] != '\0';
  // A terminal that says it is dumb, or says nothing of itself, shows no colours.
  const bool plainTerminal = term == nullptr || term[0] == '\0' || std::strcmp(term, "dumb") == 0;
  return (stdoutIsTerminal ? !plainTerminal : ansiAsked) && !colourRefused;
}

}  // namespace velmora
