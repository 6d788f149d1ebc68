#include "presentation/svg_surface.h"

#include <gtest/gtest.h>

#include <QXmlStreamReader>

#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "calendar/date_time.h"
#include "chart/palace_chart.h"
#include "presentation/chart_painter.h"
#include "presentation/display_table.h"

namespace velmora {
namespace {

// The document's elements in document order, read by Qt's XML reader, which also proves the
// document well-formed.
struct Element {
  std::string name;
  std::string namespaceUri;
  std::map<std::string, std::string> attributes;
  std::string text;  // the element's own character data, references resolved
  std::string Attr(const std::string& key) const {
    const auto it = attributes.find(key);
    return it == attributes.end() ? std::string() : it->second;
  }
};

struct ParseResult {
  std::vector<Element> elements;  // in document order
  std::string error;              // empty when the document is well-formed
};

ParseResult Parse(const std::string& document) {
  ParseResult result;
  QXmlStreamReader xml(QByteArray(document.data(), static_cast<qsizetype>(document.size())));
  std::vector<std::size_t> open;  // the elements not yet closed, innermost last
  while (!xml.atEnd()) {
    xml.readNext();
    if (xml.isStartElement()) {
      Element e;
      e.name = xml.qualifiedName().toString().toStdString();
      e.namespaceUri = xml.namespaceUri().toString().toStdString();
      for (const QXmlStreamAttribute& a : xml.attributes()) {
        e.attributes.emplace(a.qualifiedName().toString().toStdString(),
                             a.value().toString().toStdString());
      }
      open.push_back(result.elements.size());
      result.elements.push_back(std::move(e));
    } else if (xml.isEndElement()) {
      open.pop_back();
    } else if (xml.isCharacters() && !open.empty()) {
      result.elements[open.back()].text += xml.text().toString().toStdString();
    }
  }
  if (xml.hasError()) result.error = xml.errorString().toStdString();
  return result;
}

ParseResult ParseOk(const std::string& document) {
  ParseResult parsed = Parse(document);
  EXPECT_EQ(parsed.error, "") << document;
  return parsed;
}

// The document's rectangles painted in order onto a black-and-white bitmap; a rectangle
// without a fill is black, as SVG paints it.
struct Pixels {
  std::vector<bool> black = std::vector<bool>(401 * 401, false);
  std::int32_t outside = 0;  // rectangles reaching beyond the picture
  bool Black(std::int32_t x, std::int32_t y) const {
    return black[static_cast<std::size_t>(y * 401 + x)];
  }
  std::int32_t BlackCount() const {
    std::int32_t n = 0;
    for (const bool b : black) n += b ? 1 : 0;
    return n;
  }
};

Pixels Paint(const ParseResult& parsed) {
  Pixels pixels;
  for (const Element& e : parsed.elements) {
    if (e.name != "rect") continue;
    const auto number = [&](const char* key) {
      const std::string v = e.Attr(key);
      return v.empty() ? 0 : std::stoi(v);
    };
    const std::int32_t x = number("x"), y = number("y");
    const std::int32_t w = number("width"), h = number("height");
    const std::string fill = e.Attr("fill");
    const bool black = fill.empty() || fill == "#000" || fill == "black";
    if (x < 0 || y < 0 || x + w > 401 || y + h > 401) ++pixels.outside;
    for (std::int32_t py = std::max(y, 0); py < std::min(y + h, 401); ++py) {
      for (std::int32_t px = std::max(x, 0); px < std::min(x + w, 401); ++px) {
        pixels.black[static_cast<std::size_t>(py * 401 + px)] = black;
      }
    }
  }
  return pixels;
}

std::vector<Element> Texts(const ParseResult& parsed) {
  std::vector<Element> texts;
  for (const Element& e : parsed.elements) {
    if (e.name == "text") texts.push_back(e);
  }
  return texts;
}

// ---- The surface ----

TEST(SvgSurfaceDocument, BareBoardIsWellFormedSvgOfTheRightSize) {
  SvgSurface surface;
  ChartPainter painter;
  painter.surface = &surface;
  painter.DrawGrid();
  const ParseResult parsed = ParseOk(surface.Document());
  ASSERT_FALSE(parsed.elements.empty());
  const Element& root = parsed.elements.front();
  EXPECT_EQ(root.name, "svg");
  EXPECT_EQ(root.namespaceUri, "http://www.w3.org/2000/svg");
  EXPECT_EQ(root.Attr("width"), "401");
  EXPECT_EQ(root.Attr("height"), "401");
  EXPECT_EQ(root.Attr("viewBox"), "0 0 401 401");
  EXPECT_NE(root.Attr("font-family").find("sans-serif"), std::string::npos);
  EXPECT_EQ(root.Attr("font-size"), "11px");
  EXPECT_TRUE(Texts(parsed).empty());
}

// A line is one black rectangle holding exactly its pixels, or nothing when it has none.
TEST(SvgSurfaceLines, EachLineIsOneRectangleOfItsPixels) {
  struct Case {
    const char* name;
    std::int32_t x0, y0, x1, y1;
  };
  const Case cases[] = {
      {"rightwards", 10, 5, 15, 5},
      {"upwards", 7, 3, 7, 0},
      {"clipped to the picture", -100, 3, 1000, 3},
      {"no length", 7, 7, 7, 7},
      {"entirely outside", -50, -5, 500, -5},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    SvgSurface surface;
    surface.MoveTo(c.x0, c.y0);
    surface.LineTo(c.x1, c.y1);
    std::vector<PixelRect> drawn;
    for (const Element& e : ParseOk(surface.Document()).elements) {
      if (e.name != "rect" || e.Attr("fill") != "#000") continue;
      drawn.push_back({std::stoi(e.Attr("x")), std::stoi(e.Attr("y")), std::stoi(e.Attr("width")),
                       std::stoi(e.Attr("height"))});
    }
    const PixelRect line = LinePixels(c.x0, c.y0, c.x1, c.y1);
    EXPECT_EQ(drawn, line.Empty() ? std::vector<PixelRect>{} : std::vector<PixelRect>{line});
  }
}

TEST(SvgSurfaceLines, PenStaysAtTheEndPoint) {
  SvgSurface surface;
  surface.MoveTo(0, 0);
  surface.LineTo(5, 0);
  surface.LineTo(5, 5);
  const Pixels pixels = Paint(ParseOk(surface.Document()));
  EXPECT_TRUE(pixels.Black(5, 0));
  EXPECT_TRUE(pixels.Black(5, 4));
  EXPECT_FALSE(pixels.Black(5, 5));
  EXPECT_EQ(pixels.BlackCount(), 10);
}

TEST(SvgSurfaceLines, ClearStartsAWhitePicture) {
  SvgSurface surface;
  surface.MoveTo(0, 0);
  surface.LineTo(400, 0);
  surface.TextOut(10, 10, "Life");
  surface.Clear();
  const ParseResult parsed = ParseOk(surface.Document());
  EXPECT_EQ(Paint(parsed).BlackCount(), 0);
  EXPECT_TRUE(Texts(parsed).empty());
  ASSERT_EQ(parsed.elements.size(), 2u);  // the root and its white background
  EXPECT_EQ(parsed.elements[1].Attr("fill"), "#fff");
  EXPECT_EQ(parsed.elements[1].Attr("width"), "401");
}

TEST(SvgSurfaceText, TextIsEscapedAndSurvivesIntact) {
  struct Case {
    const char* name;
    std::string drawn;
    std::string read;  // the text an XML reader gets back
  };
  const Case cases[] = {
      {"plain", "Fiery Star", "Fiery Star"},
      {"markup characters", "a<b & \"c\" 'd'> &amp;", "a<b & \"c\" 'd'> &amp;"},
      {"spaces kept", "  two  ", "  two  "},
      {"Chinese", "\xe5\xad\x90", "\xe5\xad\x90"},
      {"broken UTF-8", "A\xff\xc3", "A\xef\xbf\xbd\xef\xbf\xbd"},
      {"overlong encoding", "\xc0\xaf", "\xef\xbf\xbd\xef\xbf\xbd"},
      {"surrogate", "\xed\xa0\x80", "\xef\xbf\xbd\xef\xbf\xbd\xef\xbf\xbd"},
      {"control characters", std::string("a\x01\nb\0c", 6),
       "a\xef\xbf\xbd\xef\xbf\xbd"
       "b\xef\xbf\xbd"
       "c"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    SvgSurface surface;
    surface.TextOut(4, 302, c.drawn);
    const std::vector<Element> texts = Texts(ParseOk(surface.Document()));
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_EQ(texts[0].text, c.read);
    EXPECT_EQ(texts[0].Attr("xml:space"), "preserve");
  }
}

TEST(SvgSurfaceText, TopLeftCornerOnAnOpaqueWhiteBox) {
  SvgSurface surface;
  surface.MoveTo(0, 100);
  surface.LineTo(401, 100);
  surface.TextOut(4, 92, "Life");
  const ParseResult parsed = ParseOk(surface.Document());
  const std::vector<Element>& all = parsed.elements;
  ASSERT_EQ(all.size(), 5u);  // root, background, line, box, text
  const Element& box = all[3];
  const Element& text = all[4];
  EXPECT_EQ(box.name, "rect");
  EXPECT_EQ(box.Attr("fill"), "#fff");
  EXPECT_EQ(box.Attr("x"), "4");
  EXPECT_EQ(box.Attr("y"), "92");
  EXPECT_EQ(box.Attr("height"), std::to_string(SvgSurface::kLineHeightPx));
  EXPECT_EQ(box.Attr("width"), std::to_string(SvgSurface::TextWidth("Life", false)));
  EXPECT_EQ(text.Attr("x"), "4");
  EXPECT_EQ(text.Attr("y"), std::to_string(92 + SvgSurface::kAscentPx)) << "the baseline";
  // The box hides the line where the name stands, and only there.
  const Pixels pixels = Paint(parsed);
  EXPECT_FALSE(pixels.Black(5, 100));
  EXPECT_TRUE(pixels.Black(3, 100));
  EXPECT_TRUE(pixels.Black(4 + SvgSurface::TextWidth("Life", false), 100));
}

TEST(SvgSurfaceText, BoldOnlyWhereAsked) {
  SvgSurface surface;
  surface.TextOut(0, 0, "regular at first");
  surface.SetBold(true);
  surface.TextOut(0, 20, "Life");
  surface.SetBold(false);
  surface.TextOut(0, 40, "King");
  surface.TextOut(0, 60, "");  // nothing to draw
  const std::vector<Element> texts = Texts(ParseOk(surface.Document()));
  ASSERT_EQ(texts.size(), 3u);
  EXPECT_EQ(texts[0].Attr("font-weight"), "");
  EXPECT_EQ(texts[1].Attr("font-weight"), "bold");
  EXPECT_EQ(texts[2].Attr("font-weight"), "");
}

TEST(SvgSurfaceText, BoxWidths) {
  struct Case {
    const char* name;
    std::string_view text;
    bool bold;
    std::int32_t width;
  };
  const Case cases[] = {
      {"empty", "", false, 0},
      {"one narrow letter", "i", false, 3},  // 0.222 em of 11 px, rounded up
      {"one wide letter", "W", false, 11},
      {"an ideograph is a full em", "\xe5\xad\x90", false, 11},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(SvgSurface::TextWidth(c.text, c.bold), c.width);
  }
  EXPECT_GT(SvgSurface::TextWidth("Fiery Star", true), SvgSurface::TextWidth("Fiery Star", false));
}

TEST(SvgSurfaceDocument, ComputedChartIsWellFormedWithOneBoldNamePerCell) {
  PalaceChart chart;
  chart.SetBirthMoment(EncodeDate(2000, 2, 4) + EncodeTime(23, 0));
  chart.ComputeChart();
  DisplayTable table;
  BuildDisplayTable(chart, table);
  SvgSurface surface;
  ChartPainter painter;
  painter.surface = &surface;
  painter.DrawChart(table);
  const std::vector<Element> texts = Texts(ParseOk(surface.Document()));
  std::int32_t bold = 0;
  bool lifeFound = false;
  for (const Element& t : texts) {
    if (t.Attr("font-weight") == "bold") ++bold;
    if (t.text == "Life") {
      lifeFound = true;
      EXPECT_EQ(t.Attr("x"), "4");
      EXPECT_EQ(t.Attr("y"), std::to_string(302 + SvgSurface::kAscentPx));
    }
  }
  EXPECT_EQ(bold, 12);
  EXPECT_TRUE(lifeFound);
}

}  // namespace
}  // namespace velmora
