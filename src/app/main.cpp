// Velmora: a birth date and time in, the palace-and-star chart and its reading out.
#include <memory>

#include "app/app_errors.h"
#include "app/main_window.h"

int main(int argc, char** argv) {
  velmora::VelmoraApplication app(argc, argv);
  velmora::VelmoraApplication::setApplicationName(QStringLiteral("Velmora"));
  return velmora::RunMainWindow([] { return std::make_unique<velmora::TfrmMain>(); });
}
