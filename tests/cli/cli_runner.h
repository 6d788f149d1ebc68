#pragma once

#include <QByteArray>
#include <QList>
#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

#include <pty.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

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

// Runs the built velmora-cli on a pseudo-terminal `columns` wide, as a person at a terminal
// runs it, with `environment` added (NO_COLOR is removed unless it is set there, TERM is
// xterm-256color unless it is set there, and a null value removes a variable). Standard output
// and standard error both reach `out`.
inline CliRun RunCliOnTerminal(const QStringList& arguments, int columns,
                               const QList<std::pair<QString, QString>>& environment = {}) {
  std::vector<std::string> words = {VELMORA_CLI_PATH};
  for (const QString& argument : arguments) words.push_back(argument.toStdString());
  std::vector<char*> argv;
  for (std::string& word : words) argv.push_back(word.data());
  argv.push_back(nullptr);
  winsize size{};
  size.ws_row = 40;
  size.ws_col = static_cast<unsigned short>(columns);
  int terminal = -1;
  const pid_t child = ::forkpty(&terminal, nullptr, nullptr, &size);
  CliRun run;
  if (child < 0) return run;
  if (child == 0) {
    ::unsetenv("NO_COLOR");
    ::unsetenv("COLORTERM");
    ::setenv("TERM", "xterm-256color", 1);
    for (const auto& [name, value] : environment) {
      if (value.isNull()) {
        ::unsetenv(name.toLocal8Bit().constData());
      } else {
        ::setenv(name.toLocal8Bit().constData(), value.toLocal8Bit().constData(), 1);
      }
    }
    ::execv(argv[0], argv.data());
    std::_Exit(127);
  }
  char buffer[4096];
  for (;;) {
    const ssize_t got = ::read(terminal, buffer, sizeof buffer);
    if (got <= 0) break;  // EIO once the program has ended
    run.out.append(buffer, static_cast<qsizetype>(got));
  }
  ::close(terminal);
  int status = 0;
  ::waitpid(child, &status, 0);
  run.finished = WIFEXITED(status);
  run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  // The terminal turns each line break into a carriage return and a line break.
  run.out.replace("\r\n", "\n");
  return run;
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
