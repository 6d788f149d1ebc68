#include "cli/batch_request.h"

#include <QFile>

#include <sched.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>

#include "cli/batch_stream.h"
#include "cli/cli_messages.h"
#include "cli/options.h"

namespace velmora {

namespace {

// SIGINT and SIGTERM stop the batch between lines rather than mid-answer; a second one ends its
// writing between answers.
void StopOnSignals() {
  struct sigaction action {};
  action.sa_handler = [](int signal) { StopBatches(signal); };
  sigemptyset(&action.sa_mask);
  for (const int signal : {SIGINT, SIGTERM}) ::sigaction(signal, &action, nullptr);
}

// Ends the program as the signal `signal` ends it, its own handler put back first.
[[noreturn]] void EndBySignal(int signal) {
  struct sigaction action {};
  action.sa_handler = SIG_DFL;
  sigemptyset(&action.sa_mask);
  ::sigaction(signal, &action, nullptr);
  ::raise(signal);
  std::_Exit(128 + signal);
}

// One worker per core the process may run on, unless the user says otherwise.
int BatchJobs(int asked) {
  if (asked > 0) return asked;
  cpu_set_t cores;
  CPU_ZERO(&cores);
  const int usable = ::sched_getaffinity(0, sizeof cores, &cores) == 0 ? CPU_COUNT(&cores) : 1;
  return std::clamp(usable, 1, kMaxJobs);
}

}  // namespace

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
  if (IsStandardOutputFile(fileno(in))) {
    if (in != stdin) std::fclose(in);
    PrintError(QStringLiteral("--batch %1: the births are read from the file that standard output "
                              "writes to; send the answers to another file.")
                   .arg(source));
    return kExitBadInput;
  }
  StopOnSignals();
  const BatchSummary summary = RunBatch(in, stdout, BatchJobs(jobs), place);
  if (in != stdin) std::fclose(in);
  if (summary.stopped) {
    QString said = QStringLiteral("stopped by SIG%1 after answering %2 lines, each answer whole")
                       .arg(QString::fromLatin1(sigabbrev_np(BatchStopSignal())))
                       .arg(summary.lines - summary.skipped - summary.unwritten);
    if (summary.unwritten > 0) {
      said += QStringLiteral("; %1 more were not written: %2")
                  .arg(summary.unwritten)
                  .arg(FromUtf8(summary.ioError));
    }
    PrintError(said + QLatin1Char('.'));
    EndBySignal(BatchStopSignal());
  }
  // A reader that has gone away knows it: the status says the output was not all written.
  if (summary.readerGone) return kExitIncomplete;
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

}  // namespace velmora
