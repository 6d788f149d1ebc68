#pragma once

#include <QString>

#include <cstddef>
#include <string>

namespace velmora {

// What the exit status tells a script; --help says the same.
inline constexpr int kExitOk = 0;
inline constexpr int kExitIncomplete = 1;  // a batch held bad lines, or standard output failed
inline constexpr int kExitBadInput = 2;    // refused before anything was written

// The program's name, as every message starts with it.
inline const QString kProgram = QStringLiteral("velmora-cli");

// What velmora-cli tells the user to do about a clock time its zone showed twice.
inline constexpr const char* kCliDaylightHint =
    "say whether daylight saving time was in force with --dst on or --dst off";
// The same for a batch line, which may say it itself.
inline constexpr const char* kBatchDaylightHint =
    "say whether daylight saving time was in force with dst=on or dst=off after the line's birth "
    "place, or with --dst on or --dst off for every line";

// A user's argument as a message shows it: cut after 120 characters, so that a huge argument
// does not come back whole.
QString Shortened(const QString& text);
// The same in double quotes.
QString Quoted(const QString& text);
QString Quoted(const std::string& text);

QString FromUtf8(const std::string& text);

// Prints "velmora-cli: " and `message` as one line on standard error. Control characters, line
// and paragraph separators and the invisible format characters (among them the bidirectional
// overrides that reorder what follows them) are shown as "?", so that a message stays one line,
// reads as written and can never drive the terminal, whatever the user typed.
void PrintError(const QString& message);

// Whether the open file `fd`, or the file at `path` (a link followed), is the regular file that
// standard output writes to, however each was named: a batch that reads its own answers back
// would grow until the disk is full, and a chart written over the reading would lose it.
bool IsStandardOutputFile(int fd);
bool IsStandardOutputFile(const QString& path);

// Writes everything to standard output or says why not on standard error, unless the reader
// has gone away.
bool WriteStdout(const char* data, std::size_t size);

}  // namespace velmora
