#include "cli/command_line.h"

#include <QFile>
#include <QString>
#include <QStringList>

#include <fcntl.h>
#include <unistd.h>

#include <csignal>
#include <string>

#include "cli/batch_request.h"
#include "cli/cli_messages.h"
#include "cli/options.h"
#include "cli/single_cast.h"
#include "terminal/terminal_text.h"
#include "version.h"

namespace velmora {

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
    arguments << QFile::decodeName(argv[i]);
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
  if (!ReadCommandLine(arguments, request, error)) {
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
  if (request.batchPath) return RunBatchRequest(*request.batchPath, request.jobs, request.place);
  return RunSingle(request, argc, argv);
}

}  // namespace velmora