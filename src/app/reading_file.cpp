#include "app/reading_file.h"

#include <QFile>
#include <QFileInfo>
#include <QPageSize>
#include <QPrinter>
#include <QTemporaryDir>
#include <QTextDocument>

#include "qt_drawing/board_file.h"

namespace velmora {

namespace {

QByteArray PdfBytes(const QTextDocument& reading) {
  // Through a printer that prints to a PDF file, exactly as Print Reading prints to one: a
  // writer of its own would lay the reading's pixel-sized fonts out at its own resolution.
  const QTemporaryDir folder;
  if (!folder.isValid()) return {};
  const QString path = folder.filePath(QStringLiteral("reading.pdf"));
  {
    QPrinter printer;
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(path);
    printer.setPageSize(QPageSize(QPageSize::A4));
    printer.setDocName(QStringLiteral("Velmora reading"));
    printer.setCreator(QStringLiteral("Velmora"));
    reading.print(&printer);
  }  // the printer finishes the file when it goes
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
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

QByteArray ReadingFileBytes(const QTextDocument& reading, ReadingFileKind kind,
                            std::string_view htmlPage) {
  switch (kind) {
    case ReadingFileKind::kHtml:
      return QByteArray(htmlPage.data(), static_cast<qsizetype>(htmlPage.size()));
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

bool SaveReading(const QTextDocument& reading, const QString& path, std::string_view htmlPage,
                 QString& error) {
  const ReadingFileKind kind = ReadingFileKindOf(path);
  return SaveExport(QStringLiteral("reading"), path, QStringLiteral(".html, .txt or .pdf"),
                    kind != ReadingFileKind::kUnknown, ReadingFileBytes(reading, kind, htmlPage),
                    error);
}

}  // namespace velmora
