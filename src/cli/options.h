#pragma once

#include <QCommandLineOption>
#include <QString>
#include <QStringList>

#include <array>
#include <optional>
#include <string>

#include "casting/birth_place.h"
#include "qt_drawing/board_file.h"

namespace velmora {

// The most batch workers --jobs takes.
inline constexpr int kMaxJobs = 256;

enum class OutputFormat { kText, kAnsi, kHtml, kJson };

// --color: whether the ansi reading is coloured.
enum class ColorChoice { kAuto, kAlways, kNever };

// What the command line asks for, before any of its values is checked against the calendar.
struct CommandLineRequest {
  bool help = false;
  bool version = false;
  std::optional<std::string> date;  // as written after --date
  std::optional<std::string> time;  // as written after --time
  std::optional<OutputFormat> format;
  ColorChoice color = ColorChoice::kAuto;
  QString chartPath;  // empty: no picture
  ChartFileKind chartKind = ChartFileKind::kUnknown;
  std::optional<QString> batchPath;        // "-" for standard input
  int jobs = 0;                            // batch workers; 0: one per core
  PlaceRequest place;                      // --place, --zone, --longitude, --solar, --dst
  std::optional<std::string> placesQuery;  // --places: list the cities it names
  bool zones = false;                      // --zones: list the zone names
};

// Reads the arguments, program name first, with QCommandLineParser. Refuses unknown options,
// stray words, an option given twice, an unknown format or picture type, and options that do
// not go together; then returns false with one sentence in `error`. --place is looked up in
// `places`.
bool ReadCommandLine(const QStringList& arguments, PlaceFinder& places, CommandLineRequest& request,
                     QString& error);

// Every option, in the order --help lists them.
std::array<const QCommandLineOption*, 16> OptionList();

// The text --help prints: usage, options, examples and exit statuses, wrapped between words to
// `columns` (up to 80; 0 when not on a terminal, for 80).
QString HelpText(int columns = 0);

// The manual page's options, one .TP entry each, and its examples, one line each, in roff, from
// the same options and examples as --help.
QString ManPageOptions();
QString ManPageExamples();

// The format used when none is asked for: ansi on a terminal, plain text otherwise.
OutputFormat DefaultFormat(bool stdoutIsTerminal);

// Whether the ansi reading is coloured. auto colours it on a terminal, unless its TERM is dumb
// or not set, or off a terminal when ansi was asked for by name, and either only unless NO_COLOR
// is set to anything but the empty string; always and never say it outright. Colour only: the
// reading is wrapped on a terminal either way.
bool UseColour(ColorChoice choice, bool stdoutIsTerminal, bool ansiAsked, const char* noColor,
               const char* term);

}  // namespace velmora
