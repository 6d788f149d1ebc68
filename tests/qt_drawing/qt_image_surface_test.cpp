#include "qt_drawing/qt_image_surface.h"

#include <gtest/gtest.h>

#include <QFontInfo>
#include <QFontMetrics>
#include <QImage>

#include <string>
#include <vector>

namespace velmora {
namespace {

bool IsBlack(const QImage& image, int x, int y) {
  return image.pixel(x, y) == qRgb(0, 0, 0);
}
bool IsWhite(const QImage& image, int x, int y) {
  return image.pixel(x, y) == qRgb(255, 255, 255);
}

int InkIn(const QImage& image, const QRect& area) {
  int ink = 0;
  for (int y = area.top(); y <= area.bottom(); ++y)
    for (int x = area.left(); x <= area.right(); ++x) ink += IsWhite(image, x, y) ? 0 : 1;
  return ink;
}

// A line sets exactly its pixels, and leaves the rest of the bitmap white.
TEST(QImageSurfaceLines, SetExactlyTheLinesPixels) {
  struct Case {
    const char* name;
    int x0, y0, x1, y1;
  };
  const Case cases[] = {
      {"leftwards", 5, 2, 0, 2},
      {"downwards", 3, 0, 3, 4},
      {"bottom line past the edge", 390, 400, 401, 400},
      {"zero length", 20, 20, 20, 20},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    QImageSurface surface;
    surface.MoveTo(c.x0, c.y0);
    surface.LineTo(c.x1, c.y1);
    const PixelRect line = LinePixels(c.x0, c.y0, c.x1, c.y1);
    const QRect inside(line.x, line.y, line.width, line.height);
    const QImage& image = surface.Image();
    EXPECT_EQ(InkIn(image, image.rect()), line.width * line.height);
    for (int y = inside.top(); y <= inside.bottom(); ++y)
      for (int x = inside.left(); x <= inside.right(); ++x) EXPECT_TRUE(IsBlack(image, x, y));
  }
}

TEST(QImageSurfaceLines, PenStaysAtTheEndAndLinesFarOutsideAreHarmless) {
  QImageSurface surface;
  surface.MoveTo(50, 50);
  surface.LineTo(60, 50);
  surface.LineTo(60, 60);  // from the pen left at (60, 50)
  EXPECT_TRUE(IsBlack(surface.Image(), 60, 50));
  EXPECT_TRUE(IsBlack(surface.Image(), 60, 59));
  EXPECT_TRUE(IsWhite(surface.Image(), 60, 60));

  QImageSurface outside;
  outside.MoveTo(-1000, -5);
  outside.LineTo(-10, -5);
  outside.MoveTo(1'000'000, 1'000'000);
  outside.LineTo(1'000'010, 1'000'000);
  EXPECT_EQ(InkIn(outside.Image(), outside.Image().rect()), 0);
}

// At device pixel ratio 2 a line is one device pixel thick at the doubled position of its board
// pixel and runs the doubled length; text keeps its size on the board.
TEST(QImageSurfaceScale, LinesStayOneDevicePixelWideAtTheDoubledPositions) {
  QImageSurface board(2.0);
  const QImage& image = board.Image();
  ASSERT_EQ(image.size(), QSize(802, 802));
  EXPECT_EQ(image.devicePixelRatio(), 2.0);
  board.MoveTo(100, 50);
  board.LineTo(200, 50);  // horizontal, board pixels 100..199 of row 50
  board.MoveTo(300, 10);
  board.LineTo(300, 20);  // vertical, board pixels 10..19 of column 300
  EXPECT_TRUE(IsBlack(image, 200, 100));
  EXPECT_TRUE(IsBlack(image, 399, 100));
  EXPECT_TRUE(IsWhite(image, 400, 100)) << "the end point is not drawn";
  EXPECT_TRUE(IsWhite(image, 199, 100));
  EXPECT_TRUE(IsWhite(image, 300, 101)) << "one device pixel thick";
  EXPECT_TRUE(IsWhite(image, 300, 99));
  EXPECT_TRUE(IsBlack(image, 600, 20));
  EXPECT_TRUE(IsBlack(image, 600, 39));
  EXPECT_TRUE(IsWhite(image, 601, 30));
  EXPECT_TRUE(IsWhite(image, 600, 40));

  QImageSurface plain;
  plain.TextOut(10, 10, "Life");
  board.TextOut(10, 10, "Life");
  const int plainInk = InkIn(plain.Image(), QRect(0, 0, 100, 40));
  const int scaledInk = InkIn(image, QRect(0, 0, 200, 80));
  EXPECT_GT(scaledInk, 2 * plainInk) << "about four times the ink: the same text, twice as sharp";
  EXPECT_LT(scaledInk, 8 * plainInk);
}

TEST(QImageSurfaceBitmap, IsTheBoardsSizeAndClearsToWhite) {
  QImageSurface surface;
  EXPECT_EQ(surface.Image().size(), QSize(401, 401));
  EXPECT_EQ(InkIn(surface.Image(), surface.Image().rect()), 0);
  surface.MoveTo(0, 7);
  surface.LineTo(401, 7);
  surface.TextOut(10, 10, "Life");
  EXPECT_GT(InkIn(surface.Image(), surface.Image().rect()), 401);
  surface.Clear();
  EXPECT_EQ(InkIn(surface.Image(), surface.Image().rect()), 0);
}

TEST(QImageSurfaceText, SitsOnAnOpaqueWhiteBoxAtItsTopLeftCorner) {
  QImageSurface surface;
  for (int y = 0; y < 60; ++y) {  // a black field to write on
    surface.MoveTo(0, y);
    surface.LineTo(200, y);
  }
  surface.TextOut(20, 20, "Greedy Wolf");
  const QImage& image = surface.Image();
  const QFontMetrics metrics(BoardFont(false), &image);
  const QRect box(20, 20, metrics.horizontalAdvance(QStringLiteral("Greedy Wolf")),
                  metrics.height());
  int white = 0;
  for (int y = box.top(); y <= box.bottom(); ++y)
    for (int x = box.left(); x <= box.right(); ++x) white += IsWhite(image, x, y) ? 1 : 0;
  EXPECT_GT(white, box.width() * box.height() / 2) << "the box behind the text is white";
  EXPECT_LT(white, box.width() * box.height()) << "and the text is drawn on it";
  // Outside the box the field stays black.
  EXPECT_TRUE(IsBlack(image, box.left() - 1, box.top() + 3));
  EXPECT_TRUE(IsBlack(image, box.left() + 3, box.top() - 1));
  EXPECT_TRUE(IsBlack(image, box.right() + 2, box.top() + 3));
  EXPECT_TRUE(IsBlack(image, box.left() + 3, box.bottom() + 2));
}

TEST(QImageSurfaceText, BoldOnlyWhenAskedAndTheFontIsEightPoints) {
  const QFont regular = BoardFont(false);
  EXPECT_EQ(regular.pointSize(), 8);
  EXPECT_FALSE(regular.bold());
  EXPECT_TRUE(BoardFont(true).bold());
  EXPECT_EQ(regular.family(), DialogFaceFamily());
  EXPECT_FALSE(DialogFaceFamily().isEmpty());

  QImageSurface plain;
  plain.TextOut(0, 0, "Property");
  QImageSurface bold;
  bold.SetBold(true);
  bold.TextOut(0, 0, "Property");
  EXPECT_GT(InkIn(bold.Image(), bold.Image().rect()), InkIn(plain.Image(), plain.Image().rect()));
  bold.SetBold(false);
  bold.Clear();
  bold.TextOut(0, 0, "Property");
  EXPECT_EQ(bold.Image(), plain.Image()) << "regular again after bold";
}

// Records the calls a replay makes.
class CallLog final : public DrawingSurface {
 public:
  void Clear() override { log += "clear;"; }
  void MoveTo(std::int32_t x, std::int32_t y) override { Add("move", x, y); }
  void LineTo(std::int32_t x, std::int32_t y) override { Add("line", x, y); }
  void SetBold(bool bold) override { log += bold ? "bold;" : "regular;"; }
  void TextOut(std::int32_t x, std::int32_t y, std::string_view text) override {
    Add("text", x, y);
    log += std::string(text) + ";";
  }
  std::string log;

 private:
  void Add(const char* what, int x, int y) {
    log += std::string(what) + " " + std::to_string(x) + "," + std::to_string(y) + ";";
  }
};

TEST(QImageSurfaceReplay, RepeatsTheCallsSinceTheLastClear) {
  QImageSurface surface;
  surface.MoveTo(1, 1);
  surface.LineTo(9, 1);
  surface.Clear();
  surface.MoveTo(0, 0);
  surface.LineTo(401, 0);
  surface.SetBold(true);
  surface.TextOut(4, 2, "Life");
  surface.SetBold(false);
  surface.TextOut(4, 18, "King");
  CallLog log;
  surface.Replay(log);
  EXPECT_EQ(log.log, "clear;move 0,0;line 401,0;bold;text 4,2;Life;regular;text 4,18;King;");
}

}  // namespace
}  // namespace velmora
