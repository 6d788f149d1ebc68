#include "cli/single_cast.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <unistd.h>

#include <cstdlib>
#include <memory>
#include <string>

#include "casting/caster.h"
#include "cli/cli_messages.h"
#include "qt_drawing/board_file.h"
#include "terminal/ansi_text.h"
#include "terminal/terminal_text.h"
#include "time_zone/system_zone.h"

namespace velmora {

namespace {

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

// The output in `format`; ANSI text is coloured when `colour` says so, in the colours the
// terminal shows, and wrapped between words to `width` columns when that is above 0.
std::string RenderReport(const ChartReport& report, OutputFormat format, bool colour, int width) {
  switch (format) {
    case OutputFormat::kText:
      return report.PlainText();
    case OutputFormat::kAnsi: {
      const AnsiColors colours = colour
                                     ? TerminalColors(std::getenv("COLORTERM"), std::getenv("TERM"))
                                     : AnsiColors::kNone;
      return TerminalReading(report.CorrectionText(), report.Heading(), report.Reading(), colours,
                             width);
    }
    case OutputFormat::kHtml:
      return report.HtmlPage();
    case OutputFormat::kJson:
      return report.Json();
  }
  return {};
}

}  // namespace

int RunSingle(const CommandLineRequest& request, int& argc, char** argv) {
  BirthInput birth;
  if (!ResolveBirth(request, birth)) return kExitBadInput;
  SystemZones zones;
  Caster caster(zones, kCliDaylightHint, request.place);
  std::string error;
  if (!caster.Cast(birth, Caster::Output::kReading, error)) {
    PrintError(FromUtf8(BirthRefusal(birth, error)));
    return kExitBadInput;
  }
  const ChartReport& report = caster.Report();

  // The picture is written before anything is printed, so that a failure leaves standard
  // output empty.
  if (!request.chartPath.isEmpty()) {
    if (IsStandardOutputFile(request.chartPath)) {
      PrintError(QStringLiteral("--chart %1: standard output writes to that file already; give "
                                "the chart a name of its own.")
                     .arg(Quoted(request.chartPath)));
      return kExitBadInput;
    }
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
  // Asking for colour is asking for the coloured reading, on a terminal or not.
  const OutputFormat format = request.format.value_or(
      request.color == ColorChoice::kAlways ? OutputFormat::kAnsi : DefaultFormat(terminal));
  const bool colour = UseColour(request.color, terminal, request.format == OutputFormat::kAnsi,
                                std::getenv("NO_COLOR"), std::getenv("TERM"));
  const std::string output =
      RenderReport(report, format, colour, format == OutputFormat::kAnsi ? TerminalWidth() : 0);
  return WriteStdout(output.data(), output.size()) ? kExitOk : kExitIncomplete;
}

}  // namespace velmora
