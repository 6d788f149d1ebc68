#include "qt_drawing/board_file.h"

#include <QBuffer>
#include <QFileInfo>
#include <QSaveFile>

#include "presentation/chart_painter.h"
#include "presentation/svg_surface.h"

namespace velmora {

ChartFileKind ChartFileKindOf(const QString& path) {
  const QString suffix = QFileInfo(path).suffix();
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

bool WriteFileWhole(const QString& path, const QByteArray& bytes, QString& reason) {
  const auto refuse = [&](const QString& why) {
    reason = why;
    return false;
  };
  if (bytes.isEmpty()) return refuse(QStringLiteral("there was nothing to write"));
  // QFileInfo follows links, so this is the kind of the file a link leads to.
  const QFileInfo target(path);
  if (target.isDir()) return refuse(QStringLiteral("that is a folder"));
  if (target.exists() && !target.isFile()) {
    return refuse(QStringLiteral("that is not a regular file; give the name of a file"));
  }
  QSaveFile file(path);
  if (!file.open(QIODevice::WriteOnly)) return refuse(file.errorString());
  if (file.write(bytes) != bytes.size() || !file.commit()) {
    const QString why = file.errorString();
    file.cancelWriting();
    return refuse(why.isEmpty() ? QStringLiteral("the file could not be written") : why);
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
