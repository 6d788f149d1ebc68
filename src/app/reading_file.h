#pragma once

#include <QByteArray>
#include <QString>

class QTextDocument;

namespace velmora {

enum class ReadingFileKind { kUnknown, kHtml, kText, kPdf };

// The kind of file a name asks for by its ending: ".html" or ".htm", ".txt", ".pdf", in any
// letter case.
ReadingFileKind ReadingFileKindOf(const QString& path);

// The reading as the bytes of a file of `kind`: the document's rich text as an HTML page in
// UTF-8, its plain lines in UTF-8, or the document laid out on A4 pages as a PDF. Empty for
// kUnknown.
QByteArray ReadingFileBytes(const QTextDocument& reading, ReadingFileKind kind);

// Writes the reading to `path` as its name's ending asks, whole or not at all. On failure
// returns false with a sentence for the user in `error`.
bool SaveReading(const QTextDocument& reading, const QString& path, QString& error);

}  // namespace velmora
