#include "cli/chart_file.h"

#include <QBuffer>
#include <QFileInfo>
#include <QSaveFile>

#include "app/qt_image_surface.h"
#include "presentation/chart_painter.h"

namespace velmora {

ChartFileKind ChartFileKindOf(const QString& path) {
  const QString suffix = QFileInfo(path).suffix();
  if (suffix.compare(QLatin1String("png"), Qt::CaseInsensitive) == 0) return ChartFileKind::kPng;
  if (suffix.compare(QLatin1String("svg"), Qt::CaseInsensitive) == 0) return ChartFileKind::kSvg;
  return ChartFileKind::kUnknown;
}

QByteArray BoardPng(const DisplayTable& table) {
  QImageSurface board;
  ChartPainter painter;
  painter.surface = &board;
  board.Clear();
  painter.DrawChart(table);
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  board.Image().save(&buffer, "PNG");
  return bytes;
}

bool WriteFileWhole(const QString& path, const QByteArray& bytes, QString& error) {
  const auto refuse = [&](const QString& reason) {
    error = QStringLiteral("cannot write the chart to \"%1\": %2").arg(path, reason);
    return false;
  };
  if (bytes.isEmpty()) return refuse(QStringLiteral("the picture could not be drawn"));
  if (QFileInfo(path).isDir()) return refuse(QStringLiteral("that is a folder"));
  QSaveFile file(path);
  if (!file.open(QIODevice::WriteOnly)) return refuse(file.errorString());
  if (file.write(bytes) != bytes.size() || !file.commit()) {
    const QString reason = file.errorString();
    file.cancelWriting();
    return refuse(reason.isEmpty() ? QStringLiteral("the file could not be written") : reason);
  }
  return true;
}

}  // namespace velmora
