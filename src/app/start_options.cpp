#include "app/start_options.h"

#include "version.h"

namespace velmora {

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
  return display || platformChosen ? StartAction::kOpenWindow : StartAction::kNoDisplay;
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
