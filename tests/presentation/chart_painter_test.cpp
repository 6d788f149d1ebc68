#include "presentation/chart_painter.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <limits>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "calendar/date_time.h"
#include "chart/palace_chart.h"
#include "presentation/display_table.h"

namespace velmora {
namespace {

// One call made on a surface; SetBold is recorded in `bold`, and TextOut records the style in
// force when the text was drawn.
struct Call {
  enum class Op { Clear, Move, Line, Bold, Text };
  Op op = Op::Clear;
  std::int32_t x = 0;
  std::int32_t y = 0;
  bool bold = false;
  std::string text;
  friend bool operator==(const Call&, const Call&) = default;
};

void PrintTo(const Call& c, std::ostream* os) {
  switch (c.op) {
    case Call::Op::Clear:
      *os << "Clear()";
      break;
    case Call::Op::Move:
      *os << "MoveTo(" << c.x << ", " << c.y << ")";
      break;
    case Call::Op::Line:
      *os << "LineTo(" << c.x << ", " << c.y << ")";
      break;
    case Call::Op::Bold:
      *os << "SetBold(" << c.bold << ")";
      break;
    case Call::Op::Text:
      *os << "TextOut(" << c.x << ", " << c.y << ", \"" << c.text << "\""
          << (c.bold ? ", bold" : "") << ")";
      break;
  }
}

Call Move(std::int32_t x, std::int32_t y) {
  return {Call::Op::Move, x, y, false, {}};
}
Call Line(std::int32_t x, std::int32_t y) {
  return {Call::Op::Line, x, y, false, {}};
}
Call Bold(bool bold) {
  return {Call::Op::Bold, 0, 0, bold, {}};
}
Call Text(std::int32_t x, std::int32_t y, std::string text, bool bold = false) {
  return {Call::Op::Text, x, y, bold, std::move(text)};
}

class RecordingSurface final : public DrawingSurface {
 public:
  std::vector<Call> calls;

  void Clear() override { calls.push_back({}); }
  void MoveTo(std::int32_t x, std::int32_t y) override { calls.push_back(Move(x, y)); }
  void LineTo(std::int32_t x, std::int32_t y) override { calls.push_back(Line(x, y)); }
  void SetBold(bool bold) override {
    bold_ = bold;
    calls.push_back(Bold(bold));
  }
  void TextOut(std::int32_t x, std::int32_t y, std::string_view text) override {
    calls.push_back(Text(x, y, std::string(text), bold_));
  }

 private:
  bool bold_ = false;
};

// The board's lines as the window draws them: top to bottom, then left to right.
const std::vector<Call> kBareBoard = {
    Move(0, 0),   Line(401, 0),                                    //
    Move(0, 100), Line(401, 100),                                  //
    Move(0, 200), Line(100, 200), Move(300, 200), Line(401, 200),  // spares the centre
    Move(0, 300), Line(401, 300),                                  //
    Move(0, 400), Line(401, 400),                                  //
    Move(0, 0),   Line(0, 400),                                    //
    Move(100, 0), Line(100, 400),                                  //
    Move(200, 0), Line(200, 100), Move(200, 300), Line(200, 400),  // spares the centre
    Move(300, 0), Line(300, 400),                                  //
    Move(400, 0), Line(400, 400),                                  //
};

ChartPainter PainterOn(DrawingSurface& surface) {
  ChartPainter painter;
  painter.surface = &surface;
  return painter;
}

TEST(ChartPainterGrid, BareBoardIsExactlyTheLinesOfTheBoard) {
  RecordingSurface surface;
  PainterOn(surface).DrawGrid();
  EXPECT_EQ(surface.calls, kBareBoard);
}

TEST(ChartPainterGrid, WithoutASurfaceNothingHappens) {
  ChartPainter painter;
  DisplayTable table;
  table.rows[1][0] = code::Life;
  painter.DrawChart(table);  // must simply return
  SUCCEED();
}

TEST(ChartPainterCells, CellOriginsFollowTheBoard) {
  // The board read row by row from the top: 6 7 8 9 / 5 . . 10 / 4 . . 11 / 3 2 1 12.
  struct Case {
    const char* name;
    std::int32_t dx, dy, branch;
    Point expected;
  };
  const Case cases[] = {
      {"branch 1 corner", 0, 0, 1, {200, 300}},
      {"branch 2 corner", 0, 0, 2, {100, 300}},
      {"branch 3 corner", 0, 0, 3, {0, 300}},
      {"branch 4 corner", 0, 0, 4, {0, 200}},
      {"branch 5 corner", 0, 0, 5, {0, 100}},
      {"branch 6 corner", 0, 0, 6, {0, 0}},
      {"branch 7 corner", 0, 0, 7, {100, 0}},
      {"branch 8 corner", 0, 0, 8, {200, 0}},
      {"branch 9 corner", 0, 0, 9, {300, 0}},
      {"branch 10 corner", 0, 0, 10, {300, 100}},
      {"branch 11 corner", 0, 0, 11, {300, 200}},
      {"branch 12 corner", 0, 0, 12, {300, 300}},
      {"branch 1 first name", 4, 2, 1, {204, 302}},
      {"negative offset", -4, -2, 6, {-4, -2}},
      {"unknown branch -1 gives the centre", 0, 0, -1, {100, 100}},
      {"unknown branch 13 gives the centre", 0, 0, 13, {100, 100}},
      {"unknown branch 1000 gives the centre", 0, 0, 1000, {100, 100}},
  };
  const ChartPainter painter;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(painter.CellOrigin(c.dx, c.dy, c.branch), c.expected);
  }
}

TEST(ChartPainterCells, OriginsFollowAMovedBoard) {
  ChartPainter painter;
  painter.left = 10;
  painter.top = 20;
  EXPECT_EQ(painter.CellOrigin(4, 2, 1), (Point{214, 322}));
  EXPECT_EQ(painter.CellOrigin(0, 0, 6), (Point{10, 20}));
}

// A cell with no entries still sets the style seven times: bold for the name line, then regular.
std::vector<Call> QuietCell() {
  return {Bold(true), Bold(false), Bold(false), Bold(false), Bold(false), Bold(false), Bold(false)};
}

TEST(ChartPainterCells, EmptyTableDrawsTheBoardAndSetsTheStyleOnly) {
  RecordingSurface surface;
  PainterOn(surface).DrawChart(DisplayTable{});
  std::vector<Call> expected = kBareBoard;
  for (std::int32_t branch = 1; branch <= 12; ++branch) {
    const std::vector<Call> cell = QuietCell();
    expected.insert(expected.end(), cell.begin(), cell.end());
  }
  EXPECT_EQ(surface.calls, expected);
}

TEST(ChartPainterCells, FullChartCallSequence) {
  DisplayTable table;
  // Branch 1: ten entries, of which only the name and the first six stars are drawn.
  table.rows[1] = {code::Life,     code::King,       code::Wit,  code::Sun,  code::Moon,
                   code::Treasury, code::GreedyWolf, code::Army, code::Beam, code::Lucky};
  // Branch 6: a palace with only its name.
  table.rows[6][0] = code::Wealth;
  // Branch 12: a gap in a hand-made row is skipped, but its line keeps its place.
  table.rows[12][0] = code::Parents;
  table.rows[12][2] = code::FieryStar;
  table.rows[12][6] = code::Festival;
  // Branch 3: an entry that is not displayable still takes a line, with no name to show.
  table.rows[3][0] = code::Friends;
  table.rows[3][1] = 5;  // a stem code
  // Row 0 and the centre are never drawn.
  table.rows[0][0] = code::Career;

  RecordingSurface surface;
  PainterOn(surface).DrawChart(table);

  std::vector<Call> expected = kBareBoard;
  for (std::int32_t branch = 1; branch <= 12; ++branch) {
    std::vector<Call> cell;
    switch (branch) {
      case 1:
        cell = {Bold(true),  Text(204, 302, "Life", true), Bold(false), Text(204, 318, "King"),
                Bold(false), Text(204, 332, "Wit"),        Bold(false), Text(204, 346, "Sun"),
                Bold(false), Text(204, 360, "Moon"),       Bold(false), Text(204, 374, "Treasury"),
                Bold(false), Text(204, 388, "Greedy Wolf")};
        break;
      case 3:
        cell = {Bold(true),  Text(4, 302, "Friends", true),
                Bold(false), Text(4, 318, ""),
                Bold(false), Bold(false),
                Bold(false), Bold(false),
                Bold(false)};
        break;
      case 6:
        cell = {Bold(true),  Text(4, 2, "Wealth", true),
                Bold(false), Bold(false),
                Bold(false), Bold(false),
                Bold(false), Bold(false)};
        break;
      case 12:
        cell = {Bold(true),
                Text(304, 302, "Parents", true),
                Bold(false),
                Bold(false),
                Text(304, 332, "Fiery Star"),
                Bold(false),
                Bold(false),
                Bold(false),
                Bold(false),
                Text(304, 388, "Festival")};
        break;
      default:
        cell = QuietCell();
    }
    expected.insert(expected.end(), cell.begin(), cell.end());
  }
  EXPECT_EQ(surface.calls, expected);
}

TEST(ChartPainterCells, EveryCellOfAComputedChart) {
  // 4 February 2000, 23:00: the Life palace lies on branch 3 with Warrior, Minister and Fiery Star.
  PalaceChart chart;
  chart.SetBirthMoment(EncodeDate(2000, 2, 4) + EncodeTime(23, 0));
  chart.ComputeChart();
  DisplayTable table;
  BuildDisplayTable(chart, table);

  RecordingSurface surface;
  PainterOn(surface).DrawChart(table);

  std::vector<Call> texts;
  std::size_t boldCalls = 0;
  for (const Call& c : surface.calls) {
    if (c.op == Call::Op::Text) texts.push_back(c);
    if (c.op == Call::Op::Bold) ++boldCalls;
  }
  EXPECT_EQ(boldCalls, 12u * 7u);
  std::vector<Call> lifeCell;
  std::size_t boldTexts = 0;
  for (const Call& c : texts) {
    if (c.bold) ++boldTexts;
    if (c.x == 4 && c.y >= 300) lifeCell.push_back(c);
  }
  EXPECT_EQ(boldTexts, 12u) << "one bold palace name in every cell";
  const std::vector<Call> expectedLife = {Text(4, 302, "Life", true), Text(4, 318, "Warrior"),
                                          Text(4, 332, "Minister"), Text(4, 346, "Fiery Star")};
  EXPECT_EQ(lifeCell, expectedLife);
}

// Every pixel from the start to the end point, the end point left out, clipped to the bitmap;
// nothing for a line without length or a slanted one.
TEST(LinePixels, EveryPixelButTheEndPoint) {
  constexpr std::int32_t kFar = std::numeric_limits<std::int32_t>::max();
  constexpr std::int32_t kNear = std::numeric_limits<std::int32_t>::min();
  struct Case {
    const char* name;
    std::int32_t x0, y0, x1, y1;
    PixelRect pixels;
  };
  const Case cases[] = {
      {"rightwards", 10, 5, 15, 5, {10, 5, 5, 1}},
      {"leftwards", 15, 5, 10, 5, {11, 5, 5, 1}},
      {"downwards", 7, 0, 7, 3, {7, 0, 1, 3}},
      {"upwards", 7, 3, 7, 0, {7, 1, 1, 3}},
      {"one pixel", 30, 30, 31, 30, {30, 30, 1, 1}},
      {"no length", 7, 7, 7, 7, {}},
      {"slanted", 0, 0, 3, 3, {}},
      {"bottom line past the right edge", 0, 400, 401, 400, {0, 400, 401, 1}},
      {"clipped to the bitmap", -100, 3, 1000, 3, {0, 3, 401, 1}},
      {"across the whole number range", kNear, 9, kFar, 9, {0, 9, 401, 1}},
      {"back across the whole number range", 9, kFar, 9, kNear, {9, 0, 1, 401}},
      {"entirely outside", -50, -5, 500, -5, {}},
      {"ends just before the bitmap", -5, 0, 0, 0, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(LinePixels(c.x0, c.y0, c.x1, c.y1), c.pixels);
  }
}

// A 401 x 401 black-and-white bitmap that sets the pixels of each line as the window's bitmap
// does.
class RasterSurface final : public DrawingSurface {
 public:
  static constexpr std::int32_t kSize = kBoardImageSize;

  RasterSurface() : black_(kSize * kSize, false) {}

  void Clear() override { black_.assign(black_.size(), false); }
  void MoveTo(std::int32_t x, std::int32_t y) override { x_ = x, y_ = y; }
  void LineTo(std::int32_t x, std::int32_t y) override {
    const PixelRect line = LinePixels(x_, y_, x, y);
    for (std::int32_t py = line.y; py < line.y + line.height; ++py) {
      for (std::int32_t px = line.x; px < line.x + line.width; ++px) {
        black_[static_cast<std::size_t>(py * kSize + px)] = true;
      }
    }
    x_ = x, y_ = y;
  }
  void SetBold(bool) override {}
  void TextOut(std::int32_t, std::int32_t, std::string_view) override {}

  bool Black(std::int32_t x, std::int32_t y) const {
    return black_[static_cast<std::size_t>(y * kSize + x)];
  }
  std::int32_t BlackCount() const {
    std::int32_t n = 0;
    for (const bool b : black_) n += b ? 1 : 0;
    return n;
  }

 private:
  std::vector<bool> black_;
  std::int32_t x_ = 0;
  std::int32_t y_ = 0;
};

TEST(ChartPainterPixels, BareBoard) {
  RasterSurface surface;
  PainterOn(surface).DrawGrid();
  struct Case {
    const char* name;
    std::int32_t x, y;
    bool black;
  };
  const Case cases[] = {
      {"centre block stays white", 200, 150, false},
      {"middle vertical line above the centre", 200, 50, true},
      {"middle horizontal line left of the centre", 50, 200, true},
      {"bottom-right corner from the bottom line", 400, 400, true},
      {"right line ends one pixel above the bottom", 400, 399, true},
      {"bottom line reaches the right edge", 399, 400, true},
      {"top-left corner", 0, 0, true},
      {"centre block has its top border", 200, 100, true},
      {"centre block has its bottom border", 200, 300, true},
      {"middle vertical line stops before the centre", 200, 101, false},
      {"middle vertical line resumes below the centre", 200, 299, false},
      {"middle horizontal line ends before x = 100", 100, 200, true},  // from the x = 100 line
      {"middle horizontal line skips the centre", 101, 200, false},
      {"middle horizontal line resumes at x = 300", 300, 200, true},
      {"inside a cell", 50, 50, false},
      {"one pixel inside the corner", 399, 399, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(surface.Black(c.x, c.y), c.black);
  }
  // Five whole rows of 401 less the centre's 200, five columns of 400 less the centre's 200,
  // less the 17 crossings that both cover: nothing is lost to clipping, the board fits the
  // 401 x 401 bitmap.
  EXPECT_EQ(surface.BlackCount(), 5 * 401 - 200 + 5 * 400 - 200 - 17);
}

TEST(ChartPainterPixels, CentreBlockHasNoInnerCross) {
  RasterSurface surface;
  PainterOn(surface).DrawGrid();
  std::int32_t black = 0;
  for (std::int32_t y = 101; y < 300; ++y) {
    for (std::int32_t x = 101; x < 300; ++x) black += surface.Black(x, y) ? 1 : 0;
  }
  EXPECT_EQ(black, 0);
}

}  // namespace
}  // namespace velmora
