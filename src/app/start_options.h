#pragma once

#include <QString>
#include <QStringList>

#include <functional>

namespace velmora {

// What the desktop program does with its command line, decided before the application object
// exists: Qt aborts when it finds no display, and --help and --version need none.
// Without a display a word that is neither the program's nor Qt's is refused as it is with one
// (kUnexpectedArgument), rather than blamed on the missing display.
enum class StartAction { kOpenWindow, kPrintHelp, kPrintVersion, kNoDisplay, kUnexpectedArgument };

// `arguments` are the program's, its name first; `environment` reads a variable (empty when it
// is unset). Qt's own options, such as -platform and -style, are left for Qt.
StartAction ChooseStartAction(const QStringList& arguments,
                              const std::function<QString(const char*)>& environment);

// The first of `arguments` (its name first) that is neither --help, --version nor one of Qt's own
// options with its value; empty when there is none.
QString FirstUnexpectedArgument(const QStringList& arguments);

// The text `velmora --help` prints.
QString StartHelpText();

// The line `velmora --version` prints: the name and the version.
QString VersionLine();

// The one line printed for an argument the window does not take, saying what it takes.
QString UnexpectedArgumentLine(const QString& argument);

// The one line printed when there is no display to open the window on.
QString NoDisplayLine();

}  // namespace velmora
