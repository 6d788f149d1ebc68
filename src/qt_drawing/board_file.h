#pragma once

#include <QByteArray>
#include <QString>

#include "presentation/display_table.h"
#include "qt_drawing/qt_image_surface.h"

namespace velmora {

enum class ChartFileKind { kUnknown, kPng, kSvg };

// The picture a file name asks for by its ending, ".png" or ".svg" in any letter case.
ChartFileKind ChartFileKindOf(const QString& path);

// `image` encoded as PNG; empty when it cannot be encoded.
QByteArray PngBytes(const QImage& image);

// The board of `table` as PNG bytes, drawn by the window's own Qt drawing on its 401 x 401
// bitmap. Needs a QGuiApplication, for the board's font.
QByteArray BoardPng(const DisplayTable& table);

// The board drawn on `board` as the bytes of a file of `kind`: its bitmap as PNG, or the same
// drawing calls as an SVG document. Empty for kUnknown or when the PNG cannot be encoded.
QByteArray BoardFileBytes(const QImageSurface& board, ChartFileKind kind);

// Writes `bytes` to `path` whole or not at all: they go to a temporary file beside it that
// replaces the file only once everything is written and synced to the disk, and the folder is
// synced after it. A failed write anywhere (a full disk among them) leaves the old file as it
// was. A replaced file keeps its owner, group and mode where the writer may set them. A link is
// followed to the file it names; a link that leads round in a loop or to nothing is refused. An
// existing target that is not a regular file (a folder, a device, a pipe) is refused and left
// untouched, so that no export ever replaces a device node with a file. On failure returns false
// with the reason, a phrase for the user, in `reason`.
bool WriteFileWhole(const QString& path, const QByteArray& bytes, QString& reason);

// Saves one of the window's exports, the `what` ("chart", "reading") of a file whose name must end
// in one of `endings` (said in words): `bytes` written whole, unless `kindKnown` says the name's
// ending is none of them. On failure returns false with a sentence for the user in `error`.
bool SaveExport(const QString& what, const QString& path, const QString& endings, bool kindKnown,
                const QByteArray& bytes, QString& error);

// Writes the board to `path`: a PNG of the bitmap for a name ending in ".png", the same drawing
// as an SVG document for ".svg" (letter case ignored). The file appears whole or not at all. On
// failure returns false with a sentence for the user in `error`.
bool SaveBoard(const QImageSurface& board, const QString& path, QString& error);

}  // namespace velmora
