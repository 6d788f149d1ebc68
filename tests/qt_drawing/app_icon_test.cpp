#include "qt_drawing/app_icon.h"

#include <gtest/gtest.h>

namespace velmora {
namespace {

// The icon is the board in miniature: transparent corners, a dark grid line along the edge, a
// light empty centre around a red mark, at every size the icon theme asks for.
TEST(AppIcon, DrawsTheBoardAtEverySize) {
  for (int size : {48, 256}) {
    SCOPED_TRACE(size);
    const QImage icon = DrawAppIcon(size);
    ASSERT_EQ(icon.size(), QSize(size, size));
    EXPECT_EQ(qAlpha(icon.pixel(0, 0)), 0);
    const QColor centre = icon.pixelColor(size / 2, size / 2);
    EXPECT_GT(centre.red(), 150);
    EXPECT_LT(centre.green(), 100);
    const QColor edge = icon.pixelColor(size * 24 / 256, size / 2);
    EXPECT_LT(edge.lightness(), 120);
    const QColor emptyCentre = icon.pixelColor(size * 95 / 256, size * 95 / 256);
    EXPECT_GT(emptyCentre.lightness(), 200);
  }
  EXPECT_EQ(DrawAppIcon(16).size(), QSize(16, 16));
}

}  // namespace
}  // namespace velmora
