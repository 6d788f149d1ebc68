#include "qt_drawing/board_file.h"

#include <QBuffer>
#include <QFile>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "presentation/chart_painter.h"
#include "presentation/svg_surface.h"

namespace velmora {

ChartFileKind ChartFileKindOf(const QString& path) {
  // Read off the name itself, however long: the file system has its say when it is written.
  const QString name = path.mid(path.lastIndexOf(QLatin1Char('/')) + 1);
  const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
  const QString suffix = dot < 0 ? QString() : name.mid(dot + 1);
  if (suffix.compare(QLatin1String("png"), Qt::CaseInsensitive) == 0) return ChartFileKind::kPng;
  if (suffix.compare(QLatin1String("svg"), Qt::CaseInsensitive) == 0) return ChartFileKind::kSvg;
  return ChartFileKind::kUnknown;
}

QByteArray PngBytes(const QImage& image) {
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  if (!image.save(&buffer, "PNG")) bytes.clear();
  return bytes;
}

QByteArray BoardFileBytes(const QImageSurface& board, ChartFileKind kind) {
  QByteArray bytes;
  if (kind == ChartFileKind::kPng) {
    bytes = PngBytes(board.Image());
  } else if (kind == ChartFileKind::kSvg) {
    SvgSurface svg;
    board.Replay(svg);
    const std::string document = svg.Document();
    bytes = QByteArray(document.data(), static_cast<qsizetype>(document.size()));
  }
  return bytes;
}

QByteArray BoardPng(const DisplayTable& table) {
  QImageSurface board;
  ChartPainter painter;
  painter.surface = &board;
  board.Clear();
  painter.DrawChart(table);
  return BoardFileBytes(board, ChartFileKind::kPng);
}

namespace {

QString SystemError() {
  return QString::fromLocal8Bit(std::strerror(errno));
}

// The permissions a new file gets: read and write for all, less the process's umask.
mode_t NewFileMode() {
  const mode_t mask = ::umask(0);
  ::umask(mask);
  return 0666 & ~mask;
}

// Writes all of `bytes` to `fd`; false with errno set when any of it cannot be written.
bool WriteAllBytes(int fd, const QByteArray& bytes) {
  const char* p = bytes.constData();
  auto left = static_cast<std::size_t>(bytes.size());
  while (left > 0) {
    const ssize_t written = ::write(fd, p, left);
    if (written < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    p += written;
    left -= static_cast<std::size_t>(written);
  }
  return true;
}

// The file `path` names, a link followed to the file it leads to. False with the reason for a
// link that leads round in a loop or to nothing.
bool ResolveTarget(const QByteArray& path, QByteArray& target, QString& reason) {
  struct stat link {};
  if (::lstat(path.constData(), &link) != 0 || !S_ISLNK(link.st_mode)) {
    target = path;
    return true;
  }
  char* resolved = ::realpath(path.constData(), nullptr);
  if (resolved == nullptr) {
    reason = errno == ELOOP    ? QStringLiteral("that link leads round in a loop")
             : errno == ENOENT ? QStringLiteral("that link leads to a file that does not exist")
                               : SystemError();
    return false;
  }
  target = resolved;
  std::free(resolved);
  return true;
}

}  // namespace

bool WriteFileWhole(const QString& path, const QByteArray& bytes, QString& reason) {
  const auto refuse = [&](const QString& why) {
    reason = why;
    return false;
  };
  if (bytes.isEmpty()) return refuse(QStringLiteral("there was nothing to write"));
  QByteArray target;
  if (!ResolveTarget(QFile::encodeName(path), target, reason)) return false;
  struct stat old {};
  const bool exists = ::stat(target.constData(), &old) == 0;
  if (exists && S_ISDIR(old.st_mode)) return refuse(QStringLiteral("that is a folder"));
  if (exists && !S_ISREG(old.st_mode)) {
    return refuse(QStringLiteral("that is not a regular file; give the name of a file"));
  }
  // The bytes go to a new file beside the target, which takes the target's place only once all
  // of them are on the disk; a failure anywhere leaves the old file as it was.
  const qsizetype slash = target.lastIndexOf('/');
  const QByteArray folder = slash < 0    ? QByteArray(".")
                            : slash == 0 ? QByteArray("/")
                                         : target.left(slash);
  QByteArray scratch = folder + "/.velmora-XXXXXX";
  const int fd = ::mkstemp(scratch.data());
  if (fd < 0) return refuse(SystemError());
  const auto fail = [&] {
    const QString why = SystemError();
    ::close(fd);
    ::unlink(scratch.constData());
    return refuse(why);
  };
  if (!WriteAllBytes(fd, bytes)) return fail();
  if (exists) {
    // The owner, group and mode stay the old file's where the writer may set them; the mode
    // comes last, since a change of owner clears the set-group-ID bit.
    if (::fchown(fd, old.st_uid, old.st_gid) != 0 && errno != EPERM) return fail();
    if (::fchmod(fd, old.st_mode & 07777) != 0) return fail();
  } else if (::fchmod(fd, NewFileMode()) != 0) {
    return fail();
  }
  if (::fsync(fd) != 0) return fail();
  if (::close(fd) != 0) {
    const QString why = SystemError();
    ::unlink(scratch.constData());
    return refuse(why);
  }
  if (::rename(scratch.constData(), target.constData()) != 0) {
    const QString why = SystemError();
    ::unlink(scratch.constData());
    return refuse(why);
  }
  // The new name is on the disk only once its folder is.
  const int folderFd = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (folderFd >= 0) {
    ::fsync(folderFd);
    ::close(folderFd);
  }
  return true;
}

bool SaveExport(const QString& what, const QString& path, const QString& endings, bool kindKnown,
                const QByteArray& bytes, QString& error) {
  const QString start = QStringLiteral("Cannot save the %1 as \"%2\": ").arg(what, path);
  if (!kindKnown) {
    error = start + QStringLiteral("the file name must end in %1.").arg(endings);
    return false;
  }
  QString reason;
  if (!WriteFileWhole(path, bytes, reason)) {
    error = start + reason + QLatin1Char('.');
    return false;
  }
  return true;
}

bool SaveBoard(const QImageSurface& board, const QString& path, QString& error) {
  const ChartFileKind kind = ChartFileKindOf(path);
  return SaveExport(QStringLiteral("chart"), path, QStringLiteral(".png or .svg"),
                    kind != ChartFileKind::kUnknown, BoardFileBytes(board, kind), error);
}

}  // namespace velmora
