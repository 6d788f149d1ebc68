// Velmora: a birth date and time in, the palace-and-star chart and its reading out.
#include <memory>

#include <QIcon>
#include <QPixmap>

#include "app/app_errors.h"
#include "app/main_window.h"
#include "qt_drawing/app_icon.h"

int main(int argc, char** argv) {
  velmora::VelmoraApplication app(argc, argv);
  velmora::VelmoraApplication::setApplicationName(QStringLiteral("Velmora"));
  QIcon icon;
  for (int size : {16, 32, 48, 256}) icon.addPixmap(QPixmap::fromImage(velmora::DrawAppIcon(size)));
  velmora::VelmoraApplication::setWindowIcon(icon);
  return velmora::RunMainWindow([] { return std::make_unique<velmora::TfrmMain>(); });
}
