#include "app/reading_file.h"

#include <QBuffer>
#include <QFileInfo>
#include <QPageLayout>
#include <QPageSize>
#include <QPdfWriter>
#include <QPrinter>
#include <QTextBlock>
#include <QTextBlockFormat>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextImageFormat>
#include <QUrl>

#include "qt_drawing/board_file.h"

namespace velmora {

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

std::unique_ptr<QTextDocument> PrintedReading(const QTextDocument& reading,
                                              const ReadingHeading& heading, const QImage& board) {
  std::unique_ptr<QTextDocument> printed(reading.clone());
  const QUrl boardName(QStringLiteral("velmora:board.png"));
  printed->addResource(QTextDocument::ImageResource, boardName, board);

  // In front of the reading's first line, each in a paragraph of its own and black, whatever
  // colour the reading opens with.
  QTextCursor cursor(printed.get());
  cursor.movePosition(QTextCursor::Start);
  const QTextBlockFormat readingStart = cursor.blockFormat();
  QFont titleFont = reading.defaultFont();
  titleFont.setPixelSize(16);
  titleFont.setBold(true);
  QTextCharFormat title;
  title.setFont(titleFont);
  title.setForeground(Qt::black);
  QTextCharFormat plain;
  plain.setForeground(Qt::black);
  QTextBlockFormat paragraph;
  paragraph.setBottomMargin(8);
  cursor.setBlockFormat(paragraph);
  cursor.insertText(heading.title, title);
  if (!heading.correction.isEmpty()) {
    cursor.insertBlock(paragraph, plain);
    cursor.insertText(heading.correction, plain);
  }
  cursor.insertBlock(paragraph, plain);
  QTextImageFormat image;
  image.setName(boardName.toString());
  image.setWidth(board.width());
  image.setHeight(board.height());
  cursor.insertImage(image);
  cursor.insertBlock(readingStart, reading.begin().charFormat());
  return printed;
}

QByteArray PdfBytes(const QTextDocument& printed, const QPrinter& printer) {
  // Into memory, at the printer's own resolution, so that the reading's pixel-sized fonts are
  // laid out as on the printer: nothing is written anywhere until the whole file is made.
  QBuffer buffer;
  buffer.open(QIODevice::WriteOnly);
  {
    QPdfWriter writer(&buffer);
    writer.setResolution(printer.resolution());
    writer.setPageLayout(printer.pageLayout());
    writer.setTitle(printer.docName());
    writer.setCreator(QStringLiteral("Velmora"));
    printed.print(&writer);
  }  // the writer finishes the document when it goes
  return buffer.data();
}

namespace {

// The printer a saved PDF is laid out for: A4, as Print Reading prints by default.
QByteArray DefaultPdfBytes(const QTextDocument& printed) {
  QPrinter printer;
  printer.setOutputFormat(QPrinter::PdfFormat);
  printer.setPageSize(QPageSize(QPageSize::A4));
  printer.setDocName(QStringLiteral("Velmora reading"));
  return PdfBytes(printed, printer);
}

}  // namespace

QByteArray ReadingFileBytes(const QTextDocument& reading, const QTextDocument& printed,
                            ReadingFileKind kind, std::string_view htmlPage) {
  switch (kind) {
    case ReadingFileKind::kHtml:
      return QByteArray(htmlPage.data(), static_cast<qsizetype>(htmlPage.size()));
    case ReadingFileKind::kText: {
      QString text = reading.toPlainText();
      if (!text.endsWith(QLatin1Char('\n'))) text += QLatin1Char('\n');
      return text.toUtf8();
    }
    case ReadingFileKind::kPdf:
      return DefaultPdfBytes(printed);
    case ReadingFileKind::kUnknown:
      break;
  }
  return {};
}

bool SaveReading(const QTextDocument& reading, const QTextDocument& printed, const QString& path,
                 std::string_view htmlPage, QString& error) {
  const ReadingFileKind kind = ReadingFileKindOf(path);
  return SaveExport(QStringLiteral("reading"), path, QStringLiteral(".html, .txt or .pdf"),
                    kind != ReadingFileKind::kUnknown,
                    ReadingFileBytes(reading, printed, kind, htmlPage), error);
}

bool PrintReadingOn(QPrinter& printer, const QTextDocument& printed, QString& error) {
  const QString path = printer.outputFileName();
  if (printer.outputFormat() != QPrinter::PdfFormat || path.isEmpty()) {
    printed.print(&printer);
    return true;
  }
  return SaveExport(QStringLiteral("reading"), path, QStringLiteral(".pdf"), true,
                    PdfBytes(printed, printer), error);
}

}  // namespace velmora
