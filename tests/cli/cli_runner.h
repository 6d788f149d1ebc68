#pragma once

#include <QByteArray>
#include <QList>
#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

#include <utility>

namespace velmora::testing {

// What one run of the real velmora-cli left behind.
struct CliRun {
  bool finished = false;  // ended by itself, not killed or crashed
  int exitCode = -1;
  QByteArray out;
  QByteArray err;
};

// Runs the built velmora-cli with `arguments`, feeding `input` to its standard input. Standard
// output is a pipe, as in a script. The colour variables of the calling terminal are removed
// unless `environment` sets them.
inline CliRun RunCli(const QStringList& arguments, const QByteArray& input = {},
                     const QList<std::pair<QString, QString>>& environment = {}) {
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.remove(QStringLiteral("NO_COLOR"));
  env.remove(QStringLiteral("COLORTERM"));
  for (const auto& [name, value] : environment) env.insert(name, value);
  QProcess process;
  process.setProcessEnvironment(env);
  process.start(QStringLiteral(VELMORA_CLI_PATH), arguments);
  CliRun run;
  if (!process.waitForStarted(30'000)) return run;
  if (!input.isEmpty()) process.write(input);
  process.closeWriteChannel();
  process.waitForFinished(120'000);
  run.finished =
      process.exitStatus() == QProcess::NormalExit && process.state() == QProcess::NotRunning;
  run.exitCode = process.exitCode();
  run.out = process.readAllStandardOutput();
  run.err = process.readAllStandardError();
  return run;
}

// Reads a running program's standard output into `out` until it holds `lines` line breaks;
// false when that does not happen within half a minute.
inline bool WaitUntil(QProcess& process, QByteArray& out, int lines) {
  while (out.count('\n') < lines) {
    if (!process.waitForReadyRead(30'000)) return false;
    out += process.readAllStandardOutput();
  }
  return true;
}

// The standard 4 February 2000, 23:00 birth, the evening before the lunar new year.
inline QStringList NewYearEve2000(QStringList more = {}) {
  QStringList arguments = {QStringLiteral("--date"), QStringLiteral("2000-02-04"),
                           QStringLiteral("--time"), QStringLiteral("23:00")};
  arguments += more;
  return arguments;
}

// Lines as a terminal shows them: the text split at line breaks, the empty piece after the
// final line break dropped.
inline QStringList LinesOf(const QString& text) {
  QStringList lines = text.split(QLatin1Char('\n'));
  if (!lines.isEmpty() && lines.last().isEmpty()) lines.removeLast();
  return lines;
}

}  // namespace velmora::testing
