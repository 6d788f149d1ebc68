#include "app/start_options.h"

#include "version.h"

namespace velmora {

namespace {

// Qt's own command-line options, as QGuiApplication and QApplication take them (with one dash
// or two): those followed by a value, and those that stand alone.
const QStringList kQtOptionsWithValue = {
    "platform",        "platformpluginpath", "platformtheme", "plugin",
    "qwindowgeometry", "qwindowicon",        "qwindowtitle",  "session",
    "display",         "geometry",           "name",          "title",
    "style",           "stylesheet",         "visual",        "qmljsdebugger"};
const QStringList kQtFlags = {"reverse", "widgetcount", "nograb", "dograb", "sync", "testability"};

}  // namespace

QString FirstUnexpectedArgument(const QStringList& arguments) {
  for (qsizetype i = 1; i < arguments.size(); ++i) {
    const QString& argument = arguments[i];
    if (argument == QLatin1String("--help") || argument == QLatin1String("-h") ||
        argument == QLatin1String("--version"))
      continue;
    QString option = argument;
    if (option.startsWith(QLatin1String("--"))) option.remove(0, 1);
    if (!option.startsWith(QLatin1Char('-'))) return argument;
    option.remove(0, 1);
    const qsizetype equals = option.indexOf(QLatin1Char('='));
    const QString name = equals < 0 ? option : option.left(equals);
    if (kQtOptionsWithValue.contains(name)) {
      if (equals < 0) ++i;  // its value
      continue;
    }
    if (!kQtFlags.contains(name) || equals >= 0) return argument;
  }
  return {};
}

StartAction ChooseStartAction(const QStringList& arguments,
                              const std::function<QString(const char*)>& environment) {
  bool platformChosen = !environment("QT_QPA_PLATFORM").isEmpty();
  for (qsizetype i = 1; i < arguments.size(); ++i) {
    const QString& argument = arguments[i];
    if (argument == QLatin1String("--help") || argument == QLatin1String("-h"))
      return StartAction::kPrintHelp;
    if (argument == QLatin1String("--version")) return StartAction::kPrintVersion;
    if (argument == QLatin1String("-platform") || argument.startsWith(QLatin1String("-platform=")))
      platformChosen = true;
  }
  const bool display =
      !environment("DISPLAY").isEmpty() || !environment("WAYLAND_DISPLAY").isEmpty();
  if (display || platformChosen) return StartAction::kOpenWindow;
  return FirstUnexpectedArgument(arguments).isEmpty() ? StartAction::kNoDisplay
                                                      : StartAction::kUnexpectedArgument;
}

QString StartHelpText() {
  return QStringLiteral(
      "Usage: velmora [options]\n"
      "Opens the Velmora window: pick a birth date and a local clock time, press Run (or\n"
      "Enter), and read the Chinese palace-and-star chart on its board and in its reading.\n"
      "The same chart is cast in a terminal by velmora-cli.\n"
      "\n"
      "Options:\n"
      "  -h, --help   Show this help and exit.\n"
      "  --version    Print the program's name and version and exit.\n"
      "\n"
      "Qt's own options, such as -platform NAME and -style NAME, are accepted too.\n");
}

QString VersionLine() {
  return QStringLiteral("Velmora ") + QLatin1String(kVersion);
}

QString UnexpectedArgumentLine(const QString& argument) {
  const QString shown =
      argument.size() > 120 ? argument.left(120) + QStringLiteral("...") : argument;
  return QStringLiteral(
             "velmora: unexpected argument \"%1\"; the window takes --help, --version and Qt's "
             "own options such as -platform NAME, and the birth in its fields; velmora-cli "
             "--date YYYY-MM-DD --time HH:MM casts a birth given on the command line.")
      .arg(shown);
}

QString NoDisplayLine() {
  return QStringLiteral(
      "velmora: no display is available to open the window on (DISPLAY and WAYLAND_DISPLAY are "
      "unset); velmora-cli casts the same chart in a terminal.");
}

}  // namespace velmora
