#include "cli/command_line.h"

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QDateTime>
#include <QFile>
#include <QGuiApplication>

#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "calendar/birth_calendar.h"
#include "cli/batch_caster.h"
#include "cli/birth_input.h"
#include "cli/chart_json.h"
#include "cli/chart_report.h"
#include "cli/terminal_text.h"

namespace velmora {

namespace {

constexpr int kExitOk = 0;
constexpr int kExitBadLines = 1;
constexpr int kExitBadInput = 2;

const QString kProgram = QStringLiteral("velmora-cli");

// The options, named once for the parser and for the checks that follow it.
struct Options {
  QCommandLineOption help{{QStringLiteral("h"), QStringLiteral("help")},
                          QStringLiteral("Show this help and exit.")};
  QCommandLineOption version{QStringLiteral("version"),
                             QStringLiteral("Print the program's name and version and exit.")};
  QCommandLineOption date{QStringLiteral("date"),
                          QStringLiteral("Birth date, e.g. 2000-02-04. Without it: today."),
                          QStringLiteral("YYYY-MM-DD")};
  QCommandLineOption time{QStringLiteral("time"),
                          QStringLiteral("Birth time on the 24-hour local clock, e.g. 23:00. "
                                         "Without it: the present time."),
                          QStringLiteral("HH:MM")};
  QCommandLineOption format{
      QStringLiteral("format"),
      QStringLiteral("text: the reading as plain lines; ansi: the same in colour, wrapped "
                     "between words on a terminal; html: a page with the board and the "
                     "coloured reading; json: the chart's facts and palaces. Default: ansi on "
                     "a terminal (text if NO_COLOR is set), text otherwise."),
      QStringLiteral("text|ansi|html|json")};
  QCommandLineOption chart{QStringLiteral("chart"),
                           QStringLiteral("Also draw the board into FILE, a PNG or SVG picture "
                                          "as its name ends. The file is written whole or not "
                                          "at all."),
                           QStringLiteral("FILE.png|FILE.svg")};
  QCommandLineOption batch{
      QStringLiteral("batch"),
      QStringLiteral("Cast many charts: read one birth per line, YYYY-MM-DD HH:MM, from FILE "
                     "(- for standard input) and write one JSON object per line, in order; a "
                     "bad line gets {\"line\":N,\"input\":...,\"error\":...} instead."),
      QStringLiteral("FILE|-")};
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
  parser.addOptions({o.help, o.version, o.date, o.time, o.format, o.chart, o.batch});
}

std::optional<OutputFormat> FormatNamed(const QString& name) {
  if (name == QLatin1String("text")) return OutputFormat::kText;
  if (name == QLatin1String("ansi")) return OutputFormat::kAnsi;
  if (name == QLatin1String("html")) return OutputFormat::kHtml;
  if (name == QLatin1String("json")) return OutputFormat::kJson;
  return std::nullopt;
}

// Control characters in a message are shown as "?", so that a message stays one line and can
// never drive the terminal, whatever the user typed.
QString OneLine(QString message) {
  for (QChar& c : message) {
    if (c.category() == QChar::Other_Control) c = QLatin1Char('?');
  }
  return message;
}

void PrintError(const QString& message) {
  const QByteArray line =
      (kProgram + QStringLiteral(": ") + OneLine(message) + QLatin1Char('\n')).toUtf8();
  std::fwrite(line.constData(), 1, static_cast<std::size_t>(line.size()), stderr);
  std::fflush(stderr);
}

QString Quoted(const std::string& text) {
  return QLatin1Char('"') + QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())) +
         QLatin1Char('"');
}

QString FromUtf8(const std::string& text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// Writes everything or says why not.
bool WriteStdout(const char* data, std::size_t size) {
  if (std::fwrite(data, 1, size, stdout) == size && std::fflush(stdout) == 0) return true;
  PrintError(QStringLiteral("cannot write the output: %1")
                 .arg(QString::fromLocal8Bit(std::strerror(errno))));
  return false;
}

// The birth the command line asks for; a part it leaves out comes from the present local
// moment, as the window's pickers start at it. False after reporting what is wrong.
bool ResolveBirth(const CommandLineRequest& request, BirthInput& birth) {
  const QDateTime now = QDateTime::currentDateTime();
  birth.date = {now.date().year(), now.date().month(), now.date().day()};
  birth.hour = now.time().hour();
  birth.minute = now.time().minute();
  std::string error;
  if (request.date && !ParseBirthDate(*request.date, birth.date, error)) {
    PrintError(QStringLiteral("--date %1: %2.").arg(Quoted(*request.date), FromUtf8(error)));
    return false;
  }
  if (request.time && !ParseBirthTime(*request.time, birth.hour, birth.minute, error)) {
    PrintError(QStringLiteral("--time %1: %2.").arg(Quoted(*request.time), FromUtf8(error)));
    return false;
  }
  if (!CheckSupportedBirth(birth, error)) {
    PrintError(QStringLiteral("%1 %2: %3.")
                   .arg(FromUtf8(IsoDate(birth.date)),
                        FromUtf8(ClockTime(birth.hour, birth.minute)), FromUtf8(error)));
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

AnsiColors TerminalColors() {
  const char* colorTerm = std::getenv("COLORTERM");
  if (colorTerm != nullptr &&
      (std::strcmp(colorTerm, "truecolor") == 0 || std::strcmp(colorTerm, "24bit") == 0)) {
    return AnsiColors::kTrueColor;
  }
  return AnsiColors::kBasic16;
}

// The output in `format`; ANSI text is wrapped between words to `width` columns when that is
// above 0.
std::string RenderReport(const ChartReport& report, OutputFormat format, int width) {
  switch (format) {
    case OutputFormat::kText:
      return report.Reading().PlainText();
    case OutputFormat::kAnsi:
      return WrapToWidth(report.Reading().Ansi(TerminalColors()), width);
    case OutputFormat::kHtml:
      return report.HtmlPage();
    case OutputFormat::kJson: {
      std::string json;
      AppendChartJson(report.Birth(), report.Chart(), report.Table(), JsonLayout::kReadable, json);
      return json;
    }
  }
  return {};
}

int RunSingle(const CommandLineRequest& request, int& argc, char** argv) {
  BirthInput birth;
  if (!ResolveBirth(request, birth)) return kExitBadInput;
  ChartReport report;
  report.Cast(birth);

  // The picture is written before anything is printed, so that a failure leaves standard
  // output empty.
  if (!request.chartPath.isEmpty()) {
    QByteArray picture;
    if (request.chartKind == ChartFileKind::kPng) {
      // The window's drawing needs a GUI application for its font, never a display.
      qputenv("QT_QPA_PLATFORM", "offscreen");
      qtHandler = qInstallMessageHandler(PassQtErrorsOnly);
      const QGuiApplication gui(argc, argv);
      picture = BoardPng(report.Table());
    } else {
      const std::string svg = report.BoardSvg();
      picture = QByteArray(svg.data(), static_cast<qsizetype>(svg.size()));
    }
    QString reason;
    if (!WriteFileWhole(request.chartPath, picture, reason)) {
      PrintError(
          QStringLiteral("cannot write the chart to \"%1\": %2.").arg(request.chartPath, reason));
      return kExitBadInput;
    }
  }
  const OutputFormat format =
      request.format.value_or(DefaultFormat(::isatty(STDOUT_FILENO) == 1, std::getenv("NO_COLOR")));
  const std::string output =
      RenderReport(report, format, format == OutputFormat::kAnsi ? TerminalWidth() : 0);
  return WriteStdout(output.data(), output.size()) ? kExitOk : kExitBadLines;
}

int RunBatchRequest(const QString& path) {
  std::FILE* in = stdin;
  if (path != QLatin1String("-")) {
    in = std::fopen(QFile::encodeName(path).constData(), "rb");
    if (in == nullptr) {
      PrintError(QStringLiteral("--batch \"%1\": cannot read the births: %2.")
                     .arg(path, QString::fromLocal8Bit(std::strerror(errno))));
      return kExitBadInput;
    }
  }
  const BatchSummary summary = RunBatch(in, stdout);
  if (in != stdin) std::fclose(in);
  if (summary.ioFailed) {
    const QString source = path == QLatin1String("-") ? QStringLiteral("standard input") : path;
    PrintError((summary.readFailed ? QStringLiteral("--batch \"%1\": ").arg(source) : QString()) +
               FromUtf8(summary.ioError) + QLatin1Char('.'));
    return summary.readFailed ? kExitBadInput : kExitBadLines;
  }
  if (summary.badLines > 0) {
    PrintError(QStringLiteral("%1 of %2 lines could not be cast; see their \"error\" objects.")
                   .arg(summary.badLines)
                   .arg(summary.lines));
    return kExitBadLines;
  }
  return kExitOk;
}

}  // namespace

bool ReadCommandLine(const QStringList& arguments, CommandLineRequest& request, QString& error) {
  const Options& o = TheOptions();
  QCommandLineParser parser;
  SetUp(parser);
  if (!parser.parse(arguments)) {
    error = parser.errorText() + QStringLiteral(" See %1 --help.").arg(kProgram);
    return false;
  }
  request = {};
  request.help = parser.isSet(o.help);
  request.version = parser.isSet(o.version);
  if (request.help || request.version) return true;

  if (!parser.positionalArguments().isEmpty()) {
    error = QStringLiteral(
                "unexpected argument \"%1\"; give the birth as --date YYYY-MM-DD "
                "--time HH:MM. See %2 --help.")
                .arg(parser.positionalArguments().first(), kProgram);
    return false;
  }
  for (const QCommandLineOption* option : {&o.date, &o.time, &o.format, &o.chart, &o.batch}) {
    if (parser.values(*option).size() > 1) {
      error = QStringLiteral("--%1 is given more than once; give it once.")
                  .arg(option->names().first());
      return false;
    }
  }
  if (parser.isSet(o.date)) request.date = parser.value(o.date).toStdString();
  if (parser.isSet(o.time)) request.time = parser.value(o.time).toStdString();
  if (parser.isSet(o.format)) {
    request.format = FormatNamed(parser.value(o.format));
    if (!request.format) {
      error = QStringLiteral("--format \"%1\": unknown format; use text, ansi, html or json.")
                  .arg(parser.value(o.format));
      return false;
    }
  }
  if (parser.isSet(o.chart)) {
    request.chartPath = parser.value(o.chart);
    request.chartKind = ChartFileKindOf(request.chartPath);
    if (request.chartPath.isEmpty() || request.chartKind == ChartFileKind::kUnknown) {
      error = QStringLiteral(
                  "--chart \"%1\": the board is written as PNG or SVG; give a file "
                  "name ending in .png or .svg.")
                  .arg(request.chartPath);
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
              "  %1 --date 1985-07-19 --time 06:30 --format html > reading.html\n"
              "  %1 --date 1985-07-19 --time 06:30 --chart board.png\n"
              "  %1 --batch births.txt > charts.jsonl\n"
              "  printf '2000-02-04 23:00\\n1985-07-19 06:30\\n' | %1 --batch -\n"
              "\nExit status: 0 on success; 1 when a batch held bad lines; 2 for bad input,\n"
              "with one line on standard error saying what is wrong and what is accepted.\n")
              .arg(kProgram);
  return text;
}

OutputFormat DefaultFormat(bool stdoutIsTerminal, const char* noColor) {
  const bool colourRefused = noColor != nullptr && noColor[0] != '\0';
  return stdoutIsTerminal && !colourRefused ? OutputFormat::kAnsi : OutputFormat::kText;
}

int RunCommandLine(int argc, char** argv) {
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
                                                                                : kExitBadLines;
  }
  if (request.version) {
    const char version[] = "Velmora 1.31\n";
    return WriteStdout(version, sizeof version - 1) ? kExitOk : kExitBadLines;
  }
  if (request.batchPath) return RunBatchRequest(*request.batchPath);
  return RunSingle(request, argc, argv);
}

}  // namespace velmora
