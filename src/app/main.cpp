// Velmora: a birth date and time in, the palace-and-star chart and its reading out.
#include <QByteArray>
#include <QIcon>
#include <QPixmap>
#include <QTextStream>

#include <memory>

#include "app/app_errors.h"
#include "app/main_window.h"
#include "app/start_options.h"
#include "qt_drawing/app_icon.h"

int main(int argc, char** argv) {
  QStringList arguments;
  for (int i = 0; i < argc; ++i) arguments << QString::fromLocal8Bit(argv[i]);
  const velmora::StartAction action = velmora::ChooseStartAction(
      arguments, [](const char* name) { return qEnvironmentVariable(name); });
  if (action == velmora::StartAction::kPrintHelp) {
    QTextStream(stdout) << velmora::StartHelpText();
    return 0;
  }
  if (action == velmora::StartAction::kPrintVersion) {
    QTextStream(stdout) << velmora::VersionLine() << '\n';
    return 0;
  }
  if (action == velmora::StartAction::kUnexpectedArgument) {
    QTextStream(stderr) << velmora::UnexpectedArgumentLine(
                               velmora::FirstUnexpectedArgument(arguments))
                        << '\n';
    return 2;
  }
  if (action == velmora::StartAction::kNoDisplay) {
    QTextStream(stderr) << velmora::NoDisplayLine() << '\n';
    return 1;
  }

  velmora::VelmoraApplication app(argc, argv);
  // Qt has taken its own options out by now; anything left is a word the window cannot use.
  if (const QStringList left = velmora::VelmoraApplication::arguments(); left.size() > 1) {
    QTextStream(stderr) << velmora::UnexpectedArgumentLine(left[1]) << '\n';
    return 2;
  }
  velmora::VelmoraApplication::setApplicationName(QStringLiteral("Velmora"));
  QIcon icon;
  for (int size : {16, 32, 48, 256}) icon.addPixmap(QPixmap::fromImage(velmora::DrawAppIcon(size)));
  velmora::VelmoraApplication::setWindowIcon(icon);
  return velmora::RunMainWindow([] { return std::make_unique<velmora::TfrmMain>(); });
}
