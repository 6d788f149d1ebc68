#include "cli/cli_messages.h"

#include <QFile>

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace velmora {

namespace {

// The most characters of a user's argument that a message shows.
constexpr qsizetype kMaxEcho = 120;

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

bool SameRegularFile(const struct stat& a, const struct stat& b) {
  return S_ISREG(a.st_mode) && S_ISREG(b.st_mode) && a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

bool StandardOutputIs(const struct stat& file) {
  struct stat out {};
  return ::fstat(STDOUT_FILENO, &out) == 0 && SameRegularFile(file, out);
}

}  // namespace

bool IsStandardOutputFile(int fd) {
  struct stat file {};
  return ::fstat(fd, &file) == 0 && StandardOutputIs(file);
}

bool IsStandardOutputFile(const QString& path) {
  struct stat file {};
  return ::stat(QFile::encodeName(path).constData(), &file) == 0 && StandardOutputIs(file);
}

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

bool WriteStdout(const char* data, std::size_t size) {
  if (std::fwrite(data, 1, size, stdout) == size && std::fflush(stdout) == 0) return true;
  // A reader that has gone away (| head) knows it; only the exit status says so.
  if (errno == EPIPE) return false;
  PrintError(QStringLiteral("cannot write the output: %1.")
                 .arg(QString::fromLocal8Bit(std::strerror(errno))));
  return false;
}

}  // namespace velmora
