// Pictures the main window after a Run of 4 February 2000, 23:00, for the documentation.
//
//   velmora-screenshot FILE.png            the window alone, rendered by the window itself
//   velmora-screenshot FILE.png --screen   the whole screen as the display server shows it
#include <QDate>
#include <QDateEdit>
#include <QGuiApplication>
#include <QPixmap>
#include <QPushButton>
#include <QScreen>
#include <QTextStream>
#include <QTime>
#include <QTimeEdit>
#include <QTimer>

#include "app/app_errors.h"
#include "app/main_window.h"
#include "qt_drawing/board_file.h"

int main(int argc, char** argv) {
  velmora::VelmoraApplication app(argc, argv);
  QTextStream err(stderr);
  const QStringList args = QCoreApplication::arguments();
  if (args.size() < 2 || args.size() > 3 || (args.size() == 3 && args[2] != "--screen")) {
    err << "usage: velmora-screenshot FILE.png [--screen]\n";
    return 2;
  }
  const QString path = args[1];
  const bool wholeScreen = args.size() == 3;

  velmora::TfrmMain window;
  window.show();
  window.findChild<QDateEdit*>(QStringLiteral("dtpDate"))->setDate(QDate(2000, 2, 4));
  window.findChild<QTimeEdit*>(QStringLiteral("dtpTime"))->setTime(QTime(23, 0));
  window.findChild<QPushButton*>(QStringLiteral("Button1"))->click();

  int status = 0;
  // Give the display server a moment to map and paint the window before it is pictured.
  QTimer::singleShot(wholeScreen ? 1000 : 0, &window, [&] {
    QPixmap picture = wholeScreen ? window.screen()->grabWindow(0) : window.grab();
    QString reason;
    if (!velmora::WriteFileWhole(path, velmora::PngBytes(picture.toImage()), reason)) {
      err << "velmora-screenshot: cannot write " << path << ": " << reason << "\n";
      status = 1;
    }
    QCoreApplication::quit();
  });
  QCoreApplication::exec();
  return status;
}
