#include "cli/batch_request.h"

#include <QFile>

#include <sched.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "cli/batch_stream.h"
#include "cli/cli_messages.h"
#include "cli/options.h"

namespace velmora {

namespace {

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

}  // namespace velmora
