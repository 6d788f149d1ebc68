#pragma once

#include <QByteArray>
#include <QString>

#include "presentation/display_table.h"

namespace velmora {

enum class ChartFileKind { kUnknown, kPng, kSvg };

// The picture a file name asks for by its ending, ".png" or ".svg" in any letter case.
ChartFileKind ChartFileKindOf(const QString& path);

// The board of `table` as PNG bytes, drawn by the window's own Qt drawing on its 401 x 401
// bitmap. Needs a QGuiApplication, for the board's font.
QByteArray BoardPng(const DisplayTable& table);

// Writes `bytes` to `path` whole or not at all: they go to a temporary file beside it that
// replaces the file only once everything is written. On failure returns false with a sentence
// for the user in `error`.
bool WriteFileWhole(const QString& path, const QByteArray& bytes, QString& error);

}  // namespace velmora
