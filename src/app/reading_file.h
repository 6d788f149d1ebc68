#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>

#include <memory>
#include <string_view>

class QPageLayout;
class QPrinter;
class QTextDocument;

namespace velmora {

enum class ReadingFileKind { kUnknown, kHtml, kText, kPdf };

// The kind of file a name asks for by its ending: ".html" or ".htm", ".txt", ".pdf", in any
// letter case.
ReadingFileKind ReadingFileKindOf(const QString& path);

// What a printed reading opens with: the line naming the birth ("Velmora chart for a birth on
// 4 February 2000, 23:00") and, when a birth place corrected the clock time, the sentence that
// says so (else empty).
struct ReadingHeading {
  QString title;
  QString correction;
};

// The reading laid out for paper, as the page prints it: the heading, the board, then the whole
// reading in its colours.
std::unique_ptr<QTextDocument> PrintedReading(const QTextDocument& reading,
                                              const ReadingHeading& heading, const QImage& board);

// `printed` as the bytes of a PDF document, on pages laid out as `printer` lays them out (paper,
// margins, resolution, as its dialog left them). Empty when it cannot be laid out.
QByteArray PdfBytes(const QTextDocument& printed, const QPrinter& printer);

// The reading as the bytes of a file of `kind`: `htmlPage`, the page of the birth with its
// heading, board and reading; the reading's plain lines in UTF-8; or `printed` on A4 pages as a
// PDF, laid out as Print Reading lays it out. Empty for kUnknown.
QByteArray ReadingFileBytes(const QTextDocument& reading, const QTextDocument& printed,
                            ReadingFileKind kind, std::string_view htmlPage);

// Writes the reading to `path` as its name's ending asks, whole or not at all. On failure
// returns false with a sentence for the user in `error`.
bool SaveReading(const QTextDocument& reading, const QTextDocument& printed, const QString& path,
                 std::string_view htmlPage, QString& error);

// Prints `printed` on `printer`; when its dialog chose to print to a PDF file, the file is
// written whole or not at all, as every save is. On failure returns false with a sentence for
// the user in `error`.
bool PrintReadingOn(QPrinter& printer, const QTextDocument& printed, QString& error);

}  // namespace velmora
