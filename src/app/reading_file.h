#pragma once

#include <QByteArray>
#include <QString>

#include <string_view>

class QTextDocument;

namespace velmora {

enum class ReadingFileKind { kUnknown, kHtml, kText, kPdf };

// The kind of file a name asks for by its ending: ".html" or ".htm", ".txt", ".pdf", in any
// letter case.
ReadingFileKind ReadingFileKindOf(const QString& path);

// The reading as the bytes of a file of `kind`: `htmlPage`, the page of the birth with its
// heading, board and reading; the document's plain lines in UTF-8; or the document on A4 pages
// as a PDF, laid out as Print Reading lays it out. Empty for kUnknown.
QByteArray ReadingFileBytes(const QTextDocument& reading, ReadingFileKind kind,
                            std::string_view htmlPage);

// Writes the reading to `path` as its name's ending asks, whole or not at all. On failure
// returns false with a sentence for the user in `error`.
bool SaveReading(const QTextDocument& reading, const QString& path, std::string_view htmlPage,
                 QString& error);

}  // namespace velmora
