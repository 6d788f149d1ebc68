#include "cli/command_line.h"

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <fcntl.h>
#include <sched.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "calendar/birth_calendar.h"
#include "cli/batch_caster.h"
#include "cli/birth_input.h"
#include "cli/birth_place.h"
#include "cli/chart_json.h"
#include "cli/chart_report.h"
#include "cli/terminal_text.h"
#include "presentation/birth_text.h"
#include "time_zone/system_zone.h"
#include "version.h"

namespace velmora {

namespace {

// What the exit status tells a script; --help says the same.
constexpr int kExitOk = 0;
constexpr int kExitIncomplete = 1;  // a batch held bad lines, or standard output failed
constexpr int kExitBadInput = 2;    // refused before anything was written

// The most batch workers --jobs takes.
constexpr int kMaxJobs = 256;

// The most characters of a user's argument that a message shows.
constexpr qsizetype kMaxEcho = 120;

const QString kProgram = QStringLiteral("velmora-cli");

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
          "birth is the line's identifier, given back as \"id\". A line may name its time zone "
          "and longitude after the time, as 1990-01-15 12:00 Asia/Shanghai 87.6, in "
          "place of --zone and --longitude."),
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
      QStringLiteral("mean: local mean solar time (the default with --longitude); apparent: "
                     "the sun's own time, mean solar time plus the equation of time. Needs "
                     "--longitude."),
      QStringLiteral("mean|apparent")};
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

void SetUp(QCommandLineParser& parser) {
  const Options& o = TheOptions();
  parser.setApplicationDescription(
      QStringLiteral(
          "Casts a Chinese palace-and-star natal chart and prints its reading: the "
          "same\nchart, reading and board as the Velmora window. It accepts births from\n"
          "%1, local clock time.")
          .arg(QLatin1String(kSupportedBirthRange)));
  parser.setOptionsAfterPositionalArgumentsMode(QCommandLineParser::ParseAsOptions);
  parser.addOptions({o.help, o.version, o.date, o.time, o.format, o.color, o.chart, o.batch, o.jobs,
                     o.zone, o.longitude, o.solar, o.dst});
}

// Control characters, line and paragraph separators and the invisible format characters
// (among them the bidirectional overrides that reorder what follows them) are shown as "?", so
// that a message stays one line, reads as written and can never drive the terminal, whatever
// the user typed.
QString OneLine(QString message) {
  for (QChar& c : message) {
    switch (c.category()) {
      case QChar::Other_Control:
      case QChar::Other_Format:
      case QChar::Separator_Line:
      case QChar::Separator_Paragraph:
        c = QLatin1Char('?');
        break;
      default:
        break;
    }
  }
  return message;
}

// A user's argument as a message shows it: cut after kMaxEcho characters, so that a huge
// argument does not come back whole.
QString Shortened(const QString& text) {
  return text.size() > kMaxEcho ? text.left(kMaxEcho) + QStringLiteral("...") : text;
}

QString Quoted(const QString& text) {
  return QLatin1Char('"') + Shortened(text) + QLatin1Char('"');
}

void PrintError(const QString& message) {
  const QByteArray line =
      (kProgram + QStringLiteral(": ") + OneLine(message) + QLatin1Char('\n')).toUtf8();
  std::fwrite(line.constData(), 1, static_cast<std::size_t>(line.size()), stderr);
  std::fflush(stderr);
}

QString FromUtf8(const std::string& text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QString Quoted(const std::string& text) {
  return Quoted(FromUtf8(text));
}

// Writes everything or says why not.
bool WriteStdout(const char* data, std::size_t size) {
  if (std::fwrite(data, 1, size, stdout) == size && std::fflush(stdout) == 0) return true;
  PrintError(QStringLiteral("cannot write the output: %1.")
                 .arg(QString::fromLocal8Bit(std::strerror(errno))));
  return false;
}

// The birth the command line asks for; a part it leaves out comes from the present local
// moment, as the window's pickers start at it. False after reporting what is wrong. Its range is
// checked once its clock time is corrected, if it is.
bool ResolveBirth(const CommandLineRequest& request, BirthInput& birth) {
  const QDateTime now = QDateTime::currentDateTime();
  birth.date = {now.date().year(), now.date().month(), now.date().day()};
  birth.hour = now.time().hour();
  birth.minute = now.time().minute();
  std::string error;
  // --date may carry the time as well, as 2000-02-04T23:00.
  std::string_view dateText;
  std::string_view timeText;
  const bool joined = request.date && SplitDateAndTime(*request.date, dateText, timeText);
  if (joined && request.time) {
    PrintError(QStringLiteral("--date %1 gives the time already; leave out --time or the time "
                              "after the T.")
                   .arg(Quoted(*request.date)));
    return false;
  }
  if (!joined && request.date) dateText = *request.date;
  if (!joined && request.time) timeText = *request.time;
  const bool hasTime = joined || request.time;
  const QString timeOption = joined ? QStringLiteral("--date") : QStringLiteral("--time");
  const std::string& timeGiven = joined ? *request.date : request.time.value_or(std::string());
  if (request.date && !ParseBirthDate(dateText, birth.date, error)) {
    PrintError(QStringLiteral("--date %1: %2.").arg(Quoted(*request.date), FromUtf8(error)));
    return false;
  }
  if (hasTime && !ParseBirthTime(timeText, birth.hour, birth.minute, error)) {
    PrintError(QStringLiteral("%1 %2: %3.").arg(timeOption, Quoted(timeGiven), FromUtf8(error)));
    return false;
  }
  return true;
}

// Qt's remarks about the session (no runtime folder, no screen) are no news to someone at the
// command line and would break the promise of one line on standard error; its errors still
// get through.
QtMessageHandler qtHandler = nullptr;

void PassQtErrorsOnly(QtMsgType type, const QMessageLogContext& context, const QString& message) {
  if (type != QtCriticalMsg && type != QtFatalMsg) return;
  if (qtHandler != nullptr) {
    qtHandler(type, context, message);
  } else {
    PrintError(message);
  }
}

// Fontconfig keeps its cache in the user's cache folder and complains on standard error, line
// after line, when it cannot write there (a user without a writable home). Where that folder
// cannot be made or written, it gets a private temporary one for this run instead, removed when
// the returned folder goes.
std::unique_ptr<QTemporaryDir> ProvideFontCache() {
  const QString cache = QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation);
  const QString fontCache = cache + QStringLiteral("/fontconfig");
  if (!cache.isEmpty() && QDir().mkpath(fontCache) &&
      ::access(QFile::encodeName(fontCache).constData(), W_OK) == 0) {
    return nullptr;
  }
  auto folder = std::make_unique<QTemporaryDir>();
  if (folder->isValid()) qputenv("XDG_CACHE_HOME", QFile::encodeName(folder->path()));
  return folder;
}

// The reading's colours stand on a white paper of their own, as in the window, so that they are
// legible on dark and light terminals alike: exact colours where the terminal says it shows
// them (COLORTERM), the 256-colour palette's fixed ones otherwise, and the sixteen named colours
// on the Linux console, which has no others.
AnsiColors TerminalColors() {
  const char* colorTerm = std::getenv("COLORTERM");
  if (colorTerm != nullptr &&
      (std::strcmp(colorTerm, "truecolor") == 0 || std::strcmp(colorTerm, "24bit") == 0)) {
    return AnsiColors::kTrueColor;
  }
  const char* term = std::getenv("TERM");
  if (term != nullptr && std::strcmp(term, "linux") == 0) return AnsiColors::kBasic16;
  return AnsiColors::kOnPaper;
}

// Paints the paper to the end of every line: the terminal fills what an erase leaves with the
// background in force, so the paper is as wide as the terminal, not ragged at each line's end.
std::string PaperToLineEnds(const std::string& text, std::string_view paper) {
  std::string out;
  out.reserve(text.size() + text.size() / 8);
  for (const char c : text) {
    if (c == '\n') {
      out += paper;
      out += "\x1b[K\x1b[0m";
    }
    out += c;
  }
  return out;
}

// The output in `format`; ANSI text is coloured when `colour` says so, and wrapped between
// words to `width` columns when that is above 0.
std::string RenderReport(const ChartReport& report, OutputFormat format, bool colour, int width) {
  switch (format) {
    case OutputFormat::kText:
      return report.PlainText();
    case OutputFormat::kAnsi: {
      // A heading line first, bold where there is colour, then the reading.
      const AnsiColors colours = colour ? TerminalColors() : AnsiColors::kNone;
      // The paper's background, and the heading's bold black on it.
      std::string_view paper;
      std::string_view bold = colour ? "\x1b[1m" : "";
      if (colours == AnsiColors::kOnPaper) {
        paper = "\x1b[48;5;231m";
        bold = "\x1b[0;1;38;5;16;48;5;231m";
      } else if (colours == AnsiColors::kTrueColor) {
        paper = "\x1b[48;2;255;255;255m";
        bold = "\x1b[0;1;38;2;0;0;0;48;2;255;255;255m";
      }
      std::string text;
      if (!report.CorrectionText().empty()) text += report.CorrectionText() + '\n';
      text += bold;
      text += report.Heading();
      text += colour ? "\x1b[0m\n" : "\n";
      text += report.Reading().Ansi(colours);
      text = WrapToWidth(text, width);
      return paper.empty() ? text : PaperToLineEnds(text, paper);
    }
    case OutputFormat::kHtml:
      return report.HtmlPage();
    case OutputFormat::kJson: {
      std::string json;
      AppendChartJson(report.Birth(), report.Chart(), report.Table(), JsonLayout::kReadable, json,
                      report.CorrectionJson());
      return json;
    }
  }
  return {};
}

int RunSingle(const CommandLineRequest& request, int& argc, char** argv) {
  BirthInput birth;
  if (!ResolveBirth(request, birth)) return kExitBadInput;
  PlaceCorrector corrector(request.place);
  std::optional<ClockCorrection> correction;
  std::string error;
  if (!corrector.Correct(birth, {}, correction, error)) {
    PrintError(FromUtf8(BirthRefusal(birth, error)));
    return kExitBadInput;
  }
  ChartReport report;
  report.Cast(birth, correction ? &*correction : nullptr, corrector.ZoneName());

  // The picture is written before anything is printed, so that a failure leaves standard
  // output empty.
  if (!request.chartPath.isEmpty()) {
    QByteArray picture;
    if (request.chartKind == ChartFileKind::kPng) {
      // The window's drawing needs a GUI application for its font, never a display.
      qputenv("QT_QPA_PLATFORM", "offscreen");
      qtHandler = qInstallMessageHandler(PassQtErrorsOnly);
      const std::unique_ptr<QTemporaryDir> fontCache = ProvideFontCache();
      const QGuiApplication gui(argc, argv);
      picture = BoardPng(report.Table());
    } else {
      const std::string svg = report.BoardSvg();
      picture = QByteArray(svg.data(), static_cast<qsizetype>(svg.size()));
    }
    QString reason;
    if (!WriteFileWhole(request.chartPath, picture, reason)) {
      PrintError(QStringLiteral("cannot write the chart to %1: %2.")
                     .arg(Quoted(request.chartPath), reason));
      return kExitBadInput;
    }
  }
  const bool terminal = ::isatty(STDOUT_FILENO) == 1;
  const OutputFormat format = request.format.value_or(DefaultFormat(terminal));
  const bool colour = UseColour(request.color, terminal, request.format == OutputFormat::kAnsi,
                                std::getenv("NO_COLOR"));
  const std::string output =
      RenderReport(report, format, colour, format == OutputFormat::kAnsi ? TerminalWidth() : 0);
  return WriteStdout(output.data(), output.size()) ? kExitOk : kExitIncomplete;
}

// Whether two open files are one regular file, however each was named: a batch that reads its
// own answers back would grow until the disk is full.
bool SameRegularFile(int first, int second) {
  struct stat a {};
  struct stat b {};
  return ::fstat(first, &a) == 0 && ::fstat(second, &b) == 0 && S_ISREG(a.st_mode) &&
         S_ISREG(b.st_mode) && a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

// One worker per core the process may run on, unless the user says otherwise.
int BatchJobs(int asked) {
  if (asked > 0) return asked;
  cpu_set_t cores;
  CPU_ZERO(&cores);
  const int usable = ::sched_getaffinity(0, sizeof cores, &cores) == 0 ? CPU_COUNT(&cores) : 1;
  return std::clamp(usable, 1, kMaxJobs);
}

int RunBatchRequest(const QString& path, int jobs, const PlaceRequest& place) {
  const bool fromStdin = path == QLatin1String("-");
  const QString source = Quoted(fromStdin ? QStringLiteral("standard input") : path);
  std::FILE* in = stdin;
  if (!fromStdin) {
    in = std::fopen(QFile::encodeName(path).constData(), "rb");
    if (in == nullptr) {
      PrintError(QStringLiteral("--batch %1: cannot read the births: %2.")
                     .arg(source, QString::fromLocal8Bit(std::strerror(errno))));
      return kExitBadInput;
    }
  }
  if (SameRegularFile(fileno(in), STDOUT_FILENO)) {
    if (in != stdin) std::fclose(in);
    PrintError(QStringLiteral("--batch %1: the births are read from the file that standard output "
                              "writes to; send the answers to another file.")
                   .arg(source));
    return kExitBadInput;
  }
  const BatchSummary summary = RunBatch(in, stdout, BatchJobs(jobs), place);
  if (in != stdin) std::fclose(in);
  if (summary.ioFailed) {
    PrintError((summary.readFailed ? QStringLiteral("--batch %1: ").arg(source) : QString()) +
               FromUtf8(summary.ioError) + QLatin1Char('.'));
    return summary.readFailed ? kExitBadInput : kExitIncomplete;
  }
  if (summary.badLines > 0) {
    PrintError(QStringLiteral("%1 of %2 lines could not be cast; see their \"error\" objects.")
                   .arg(summary.badLines)
                   .arg(summary.lines - summary.skipped));
    return kExitIncomplete;
  }
  return kExitOk;
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

// Reads --zone, --longitude, --solar and --dst, each checked on its own.
bool ReadPlace(const QCommandLineParser& parser, PlaceRequest& place, QString& error) {
  const Options& o = TheOptions();
  std::string phrase;
  if (parser.isSet(o.zone)) {
    place.zone = parser.value(o.zone).toStdString();
    if (!SystemZone(place.zone).Valid()) {
      error = QStringLiteral("--zone %1: %2.")
                  .arg(Quoted(parser.value(o.zone)), QLatin1String(kUnknownZoneError));
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
      {"mean", SolarTime::kMean}, {"apparent", SolarTime::kApparent}};
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

}  // namespace

bool ReadCommandLine(const QStringList& arguments, CommandLineRequest& request, QString& error) {
  const Options& o = TheOptions();
  QCommandLineParser parser;
  SetUp(parser);
  if (!parser.parse(arguments)) {
    // Qt's own sentence names an unknown option whole; the one said here cuts it short.
    const QStringList unknown = parser.unknownOptionNames();
    error = unknown.size() == 1
                ? QStringLiteral("Unknown option '%1'.").arg(Shortened(unknown.first()))
                : parser.errorText();
    error += QStringLiteral(" See %1 --help.").arg(kProgram);
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

  for (const QCommandLineOption* option :
       {&o.date, &o.time, &o.format, &o.color, &o.chart, &o.batch, &o.jobs, &o.zone, &o.longitude,
        &o.solar, &o.dst}) {
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
    bool number = false;
    request.jobs = parser.value(o.jobs).toInt(&number);
    if (!number || request.jobs < 1 || request.jobs > kMaxJobs) {
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
  if (!ReadPlace(parser, request.place, error)) return false;
  // In a batch each line may name its own zone and longitude; a single birth needs them here.
  if (!parser.isSet(o.batch)) {
    if (!parser.isSet(o.zone)) {
      for (const QCommandLineOption* option : {&o.longitude, &o.solar, &o.dst}) {
        if (parser.isSet(*option)) {
          error = QStringLiteral("--%1 needs --zone, the time zone of the birth place.")
                      .arg(option->names().first());
          return false;
        }
      }
    }
    if (request.place.solar && !request.place.longitude) {
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

QString HelpText() {
  QCommandLineParser parser;
  SetUp(parser);
  QString text = parser.helpText();
  // The parser names the program by the path it was started with; the help names it plainly.
  const qsizetype firstBreak = text.indexOf(QLatin1Char('\n'));
  text.replace(0, firstBreak, QStringLiteral("Usage: %1 [options]").arg(kProgram));
  text += QStringLiteral(
              "\nWithout --date and --time the chart is cast for the present local moment;\n"
              "a part left out comes from the present moment too.\n"
              "\nExamples:\n"
              "  %1 --date 2000-02-04 --time 23:00\n"
              "  %1 --date 2000-02-04 --time 23:00 --format json\n"
              "  %1 --date 2000-02-04 --time 23:00 --color=never | less\n"
              "  %1 --date 1985-07-19 --time 06:30 --format html > reading.html\n"
              "  %1 --date 1985-07-19 --time 06:30 --chart board.png\n"
              "  %1 --batch births.txt > charts.jsonl\n"
              "  %1 --batch births.txt --jobs 1 > charts.jsonl\n"
              "  %1 --date 1988-07-15 --time 09:30 --zone Asia/Shanghai\n"
              "  %1 --date 1990-01-15T12:00 --zone Asia/Shanghai --longitude 87.6\n"
              "  printf '2000-02-04 23:00\\n1985-07-19 06:30\\n' | %1 --batch -\n"
              "\nExit status:\n"
              "  0  success.\n"
              "  1  the work was done only in part: a batch held bad lines (each answered\n"
              "     by its error object), or standard output was closed or could not be\n"
              "     written.\n"
              "  2  nothing was cast: bad input, or a file that cannot be read or written;\n"
              "     standard output and the --chart file are left untouched.\n"
              "Every failure prints one line on standard error, \"%1: \", what is wrong\n"
              "and what is accepted.\n")
              .arg(kProgram);
  return text;
}

OutputFormat DefaultFormat(bool stdoutIsTerminal) {
  return stdoutIsTerminal ? OutputFormat::kAnsi : OutputFormat::kText;
}

bool UseColour(ColorChoice choice, bool stdoutIsTerminal, bool ansiAsked, const char* noColor) {
  if (choice != ColorChoice::kAuto) return choice == ColorChoice::kAlways;
  const bool colourRefused = noColor != nullptr && noColor[0] != '\0';
  return (stdoutIsTerminal || ansiAsked) && !colourRefused;
}

int RunCommandLine(int argc, char** argv) {
  // Checked before anything opens a file: a closed standard output would hand descriptor 1 to
  // whatever the toolkit opens next, and the output would go there.
  if (::fcntl(STDOUT_FILENO, F_GETFD) == -1) {
    PrintError(
        QStringLiteral("standard output is closed; give the output somewhere to go, "
                       "such as a file or /dev/null."));
    return kExitIncomplete;
  }
  QStringList arguments;
  for (int i = 0; i < argc; ++i) arguments << QString::fromLocal8Bit(argv[i]);
  CommandLineRequest request;
  QString error;
  if (!ReadCommandLine(arguments, request, error)) {
    PrintError(error);
    return kExitBadInput;
  }
  if (request.help) {
    const QByteArray help = HelpText().toUtf8();
    return WriteStdout(help.constData(), static_cast<std::size_t>(help.size())) ? kExitOk
                                                                                : kExitIncomplete;
  }
  if (request.version) {
    const std::string version = std::string("Velmora ") + kVersion + '\n';
    return WriteStdout(version.data(), version.size()) ? kExitOk : kExitIncomplete;
  }
  if (request.batchPath) return RunBatchRequest(*request.batchPath, request.jobs, request.place);
  return RunSingle(request, argc, argv);
}

}  // namespace velmora
