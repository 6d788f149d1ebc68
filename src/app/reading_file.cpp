#include "app/reading_file.h"

#include <QBuffer>
#include <QFileInfo>
#include <QPageSize>
#include <QPdfWriter>
#include <QTextDocument>

#include "qt_drawing/board_file.h"

namespace velmora {

namespace {

QByteArray PdfBytes(const QTextDocument& reading) {
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  {
    QPdfWriter pdf(&buffer);
    pdf.setPageSize(QPageSize(QPageSize::A4));
    pdf.setTitle(QStringLiteral("Velmora reading"));
    pdf.setCreator(QStringLiteral("Velmora"));
    reading.print(&pdf);
  }  // the writer finishes the file when it goes
  return bytes;
}

}  // namespace

ReadingFileKind ReadingFileKindOf(const QString& path) {
  const QString suffix = QFileInfo(path).suffix();
  const auto is = [&](const char* ending) {
    return suffix.compare(QLatin1String(ending), Qt::CaseInsensitive) == 0;
  };
  if (is("html") || is("htm")) return ReadingFileKind::kHtml;
  if (is("txt")) return ReadingFileKind::kText;
  if (is("pdf")) return ReadingFileKind::kPdf;
  return ReadingFileKind::kUnknown;
}

QByteArray ReadingFileBytes(const QTextDocument& reading, ReadingFileKind kind) {
  switch (kind) {
    case ReadingFileKind::kHtml:
      return reading.toHtml().toUtf8();
    case ReadingFileKind::kText: {
      QString text = reading.toPlainText();
      if (!text.endsWith(QLatin1Char('\n'))) text += QLatin1Char('\n');
      return text.toUtf8();
    }
    case ReadingFileKind::kPdf:
      return PdfBytes(reading);
    case ReadingFileKind::kUnknown:
      break;
  }
  return {};
}

bool SaveReading(const QTextDocument& reading, const QString& path, QString& error) {
  const ReadingFileKind kind = ReadingFileKindOf(path);
  return SaveExport(QStringLiteral("reading"), path, QStringLiteral(".html, .txt or .pdf"),
                    kind != ReadingFileKind::kUnknown, ReadingFileBytes(reading, kind), error);
}

}  // namespace velmora
