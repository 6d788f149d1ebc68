// The application tests drive the real widgets, so they need an application object; without a
// display they run on Qt's offscreen platform, which is also what test discovery sees.
#include <gtest/gtest.h>

#include "app/app_errors.h"

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  velmora::VelmoraApplication app(argc, argv);
  velmora::VelmoraApplication::setApplicationName(QStringLiteral("Velmora"));
  // Windows opened and closed by the tests must not end the application.
  velmora::VelmoraApplication::setQuitOnLastWindowClosed(false);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
