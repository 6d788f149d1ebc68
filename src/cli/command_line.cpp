#include "cli/command_line.h"

#include <QFile>
#include <QString>
#include <QStringDecoder>
#include <QStringList>

#include <fcntl.h>
#include <unistd.h>

#include <csignal>
#include <string>

#include "cli/batch_request.h"
#include "cli/cli_messages.h"
#include "cli/options.h"
#include "cli/single_cast.h"
#include "places/geonames_places.h"
#include "presentation/birth_text.h"
#include "terminal/terminal_text.h"
#include "time_zone/system_zone.h"
#include "version.h"

namespace velmora {

namespace {

// --places: the cities a query names, one a line, or a refusal when it names none.
int ListPlaces(PlaceFinder& places, const std::string& query) {
  const std::vector<Place> found = places.Find(query);
  if (found.empty()) {
    PrintError(QStringLiteral("--places %1: %2.")
                   .arg(Quoted(QString::fromStdString(query)), QLatin1String(kUnknownPlaceError)));
    return kExitBadInput;
  }
  std::string list;
  for (const Place& place : found) {
    list += PlaceLabel(place);
    list += '\t';
    list += place.zone;
    list += '\t';
    AppendDecimal(place.longitude, 4, list);
    list += '\n';
  }
  return WriteStdout(list.data(), list.size()) ? kExitOk : kExitIncomplete;
}

// --zones: every zone name --zone takes.
int ListZones() {
  const QByteArray list = SystemZoneNames().join(QLatin1Char('\n')).toUtf8() + '\n';
  return WriteStdout(list.constData(), static_cast<std::size_t>(list.size())) ? kExitOk
                                                                              : kExitIncomplete;
}

}  // namespace

int RunCommandLine(int argc, char** argv) {
  // Checked before anything opens a file: a closed standard output would hand descriptor 1 to
  // whatever the toolkit opens next, and the output would go there.
  if (::fcntl(STDOUT_FILENO, F_GETFD) == -1) {
    PrintError(
        QStringLiteral("standard output is closed; give the output somewhere to go, "
                       "such as a file or /dev/null."));
    return kExitIncomplete;
  }
  // A closed pipe is a failed write, exit status 1, as for any other output that fails.
  std::signal(SIGPIPE, SIG_IGN);
  QStringList arguments;
  for (int i = 0; i < argc; ++i) {
    // Decoded as UTF-8, as file names are on this system, a byte order mark at the start kept as
    // the character it is: a name may start with one.
    QStringDecoder utf8(QStringConverter::Utf8, QStringConverter::Flag::ConvertInitialBom);
    arguments << QString(utf8(QByteArrayView(argv[i])));
    // A name that is not UTF-8 would come back as another name; refuse it rather than write
    // or read a file of a name the user never gave.
    if (QFile::encodeName(arguments.back()) != QByteArray(argv[i])) {
      PrintError(QStringLiteral("the argument %1 holds bytes that are not UTF-8; give file names "
                                "and values in UTF-8.")
                     .arg(Quoted(arguments.back())));
      return kExitBadInput;
    }
  }
  CommandLineRequest request;
  QString error;
  GeonamesPlaces places;
  if (!ReadCommandLine(arguments, places, request, error)) {
    PrintError(error);
    return kExitBadInput;
  }
  if (request.help) {
    const QByteArray help = HelpText(TerminalWidth()).toUtf8();
    return WriteStdout(help.constData(), static_cast<std::size_t>(help.size())) ? kExitOk
                                                                                : kExitIncomplete;
  }
  if (request.version) {
    const std::string version = std::string("Velmora ") + kVersion + '\n';
    return WriteStdout(version.data(), version.size()) ? kExitOk : kExitIncomplete;
  }
  if (request.placesQuery) return ListPlaces(places, *request.placesQuery);
  if (request.zones) return ListZones();
  if (request.batchPath) return RunBatchRequest(*request.batchPath, request.jobs, request.place);
  return RunSingle(request, argc, argv);
}

}  // namespace velmora