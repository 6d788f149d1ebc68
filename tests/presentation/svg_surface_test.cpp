#include "presentation/svg_surface.h"
#include "presentation/utf8.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <limits>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "calendar/date_time.h"
#include "chart/palace_chart.h"
#include "presentation/chart_painter.h"
#include "presentation/display_table.h"

namespace velmora {
namespace {

// ---- A strict little XML reader: enough of XML 1.0 to prove the document well-formed ----

struct Element {
  std::string name;
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

bool IsNameChar(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == ':' ||
         c == '-' || c == '_' || c == '.';
}

bool IsSpace(char c) {
  return c == ' ' || c == '\n' || c == '\t' || c == '\r';
}

// Every byte sequence valid UTF-8 and every character one that XML 1.0 allows.
bool IsXmlUtf8(std::string_view s) {
  for (std::size_t i = 0; i < s.size();) {
    const auto b = static_cast<unsigned char>(s[i]);
    std::size_t n = b < 0x80             ? 1
                    : (b & 0xE0) == 0xC0 ? 2
                    : (b & 0xF0) == 0xE0 ? 3
                    : (b & 0xF8) == 0xF0 ? 4
                                         : 0;
    if (n == 0 || i + n > s.size()) return false;
    std::uint32_t c = n == 1 ? b : n == 2 ? (b & 0x1Fu) : n == 3 ? (b & 0x0Fu) : (b & 0x07u);
    for (std::size_t k = 1; k < n; ++k) {
      const auto next = static_cast<unsigned char>(s[i + k]);
      if ((next & 0xC0) != 0x80) return false;
      c = (c << 6) | (next & 0x3Fu);
    }
    const std::uint32_t least[] = {0, 0, 0x80, 0x800, 0x10000};
    if (c < least[n]) return false;
    const bool allowed = c == 0x9 || c == 0xA || c == 0xD || (c >= 0x20 && c <= 0xD7FF) ||
                         (c >= 0xE000 && c <= 0xFFFD) || (c >= 0x10000 && c <= 0x10FFFF);
    if (!allowed) return false;
    i += n;
  }
  return true;
}

class XmlReader {
 public:
  explicit XmlReader(std::string_view s) : s_(s) {}

  ParseResult Read() {
    ParseResult result;
    if (!IsXmlUtf8(s_)) return Fail("not UTF-8 made of XML characters");
    if (s_.substr(0, 5) == "<?xml") {
      const std::size_t end = s_.find("?>");
      if (end == std::string_view::npos) return Fail("unterminated declaration");
      pos_ = end + 2;
    }
    SkipSpace();
    if (!ReadElement(result.elements)) return Fail(error_);
    SkipSpace();
    if (pos_ != s_.size()) return Fail("content after the root element");
    return result;
  }

 private:
  ParseResult Fail(std::string why) { return {{}, why + " at byte " + std::to_string(pos_)}; }
  bool Error(std::string why) {
    error_ = std::move(why);
    return false;
  }
  void SkipSpace() {
    while (pos_ < s_.size() && IsSpace(s_[pos_])) ++pos_;
  }
  std::string ReadName() {
    const std::size_t start = pos_;
    while (pos_ < s_.size() && IsNameChar(s_[pos_])) ++pos_;
    return std::string(s_.substr(start, pos_ - start));
  }
  // Character data up to `stop`, with the five entities and numeric references resolved.
  bool ReadChars(char stop, std::string& out) {
    while (pos_ < s_.size() && s_[pos_] != stop) {
      const char c = s_[pos_];
      if (c == '<') return Error("'<' in character data");
      if (c != '&') {
        out += c;
        ++pos_;
        continue;
      }
      const std::size_t semi = s_.find(';', pos_);
      if (semi == std::string_view::npos) return Error("unterminated reference");
      const std::string_view ref = s_.substr(pos_ + 1, semi - pos_ - 1);
      static const std::map<std::string_view, char> kEntities = {
          {"amp", '&'}, {"lt", '<'}, {"gt", '>'}, {"quot", '"'}, {"apos", '\''}};
      if (const auto it = kEntities.find(ref); it != kEntities.end()) {
        out += it->second;
      } else if (ref.size() > 1 && ref[0] == '#') {
        const bool hex = ref[1] == 'x';
        const std::string digits(ref.substr(hex ? 2 : 1));
        if (digits.empty() || digits.find_first_not_of(hex ? "0123456789abcdefABCDEF"
                                                           : "0123456789") != std::string::npos)
          return Error("bad character reference");
        utf8::EncodeUtf8(static_cast<char32_t>(std::stoul(digits, nullptr, hex ? 16 : 10)), out);
      } else {
        return Error("unknown entity");
      }
      pos_ = semi + 1;
    }
    return true;
  }
  bool ReadElement(std::vector<Element>& elements) {
    if (pos_ >= s_.size() || s_[pos_] != '<') return Error("expected an element");
    ++pos_;
    const std::size_t index = elements.size();
    elements.push_back({});
    elements[index].name = ReadName();
    if (elements[index].name.empty()) return Error("element without a name");
    for (;;) {
      const std::size_t before = pos_;
      SkipSpace();
      if (pos_ >= s_.size()) return Error("unterminated start tag");
      if (s_.substr(pos_, 2) == "/>") {
        pos_ += 2;
        return true;
      }
      if (s_[pos_] == '>') {
        ++pos_;
        break;
      }
      if (pos_ == before) return Error("attributes must be separated by white space");
      const std::string key = ReadName();
      if (key.empty()) return Error("bad attribute name");
      SkipSpace();
      if (pos_ >= s_.size() || s_[pos_] != '=') return Error("attribute without '='");
      ++pos_;
      SkipSpace();
      if (pos_ >= s_.size() || (s_[pos_] != '"' && s_[pos_] != '\'')) {
        return Error("unquoted attribute value");
      }
      const char quote = s_[pos_++];
      std::string value;
      if (!ReadChars(quote, value)) return false;
      if (pos_ >= s_.size()) return Error("unterminated attribute value");
      ++pos_;
      if (!elements[index].attributes.emplace(key, value).second) {
        return Error("duplicate attribute " + key);
      }
    }
    for (;;) {
      std::string chars;
      if (!ReadChars('<', chars)) return false;
      elements[index].text += chars;
      if (pos_ >= s_.size()) return Error("unclosed element " + elements[index].name);
      if (s_.substr(pos_, 2) == "</") {
        pos_ += 2;
        if (ReadName() != elements[index].name) return Error("mismatched end tag");
        SkipSpace();
        if (pos_ >= s_.size() || s_[pos_] != '>') return Error("bad end tag");
        ++pos_;
        return true;
      }
      if (!ReadElement(elements)) return false;
    }
  }

  std::string_view s_;
  std::size_t pos_ = 0;
  std::string error_;
};

ParseResult ParseOk(const std::string& document) {
  ParseResult parsed = XmlReader(document).Read();
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

// ---- The reader itself must reject what is not well-formed, or it proves nothing ----

TEST(SvgTestReader, RejectsMalformedDocuments) {
  struct Case {
    const char* name;
    const char* document;
    bool ok;
  };
  const Case cases[] = {
      {"minimal", "<a/>", true},
      {"nested with text", "<a x=\"1\" y='2'><b>t &amp; &#65;&#x42;</b></a>", true},
      {"mismatched end tag", "<a><b></a></b>", false},
      {"unclosed", "<a><b/>", false},
      {"bare ampersand", "<a>&</a>", false},
      {"unknown entity", "<a>&nbsp;</a>", false},
      {"less-than in attribute", "<a x=\"<\"/>", false},
      {"unquoted attribute", "<a x=1/>", false},
      {"duplicate attribute", "<a x=\"1\" x=\"2\"/>", false},
      {"two roots", "<a/><b/>", false},
      {"control character", "<a>\x01</a>", false},
      {"broken UTF-8", "<a>\xff</a>", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(XmlReader(c.document).Read().error.empty(), c.ok);
  }
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
  EXPECT_EQ(root.Attr("xmlns"), "http://www.w3.org/2000/svg");
  EXPECT_EQ(root.Attr("width"), "401");
  EXPECT_EQ(root.Attr("height"), "401");
  EXPECT_EQ(root.Attr("viewBox"), "0 0 401 401");
  EXPECT_NE(root.Attr("font-family").find("sans-serif"), std::string::npos);
  EXPECT_EQ(root.Attr("font-size"), "11px");
  EXPECT_TRUE(Texts(parsed).empty());
}

TEST(SvgSurfaceDocument, BareBoardHasTheLinesOfTheBoard) {
  SvgSurface surface;
  ChartPainter painter;
  painter.surface = &surface;
  surface.Clear();
  painter.DrawGrid();
  const Pixels pixels = Paint(ParseOk(surface.Document()));
  struct Case {
    const char* name;
    std::int32_t x, y;
    bool black;
  };
  const Case cases[] = {
      {"centre block stays white", 200, 150, false},
      {"middle vertical line above the centre", 200, 50, true},
      {"middle horizontal line left of the centre", 50, 200, true},
      {"bottom-right corner", 400, 400, true},
      {"right line ends one pixel above the bottom", 400, 399, true},
      {"bottom line reaches the right edge", 399, 400, true},
      {"centre block has its top border", 200, 100, true},
      {"middle vertical line stops before the centre", 200, 101, false},
      {"middle horizontal line skips the centre", 101, 200, false},
      {"inside a cell", 50, 50, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(pixels.Black(c.x, c.y), c.black);
  }
  EXPECT_EQ(pixels.BlackCount(), 5 * 401 - 200 + 5 * 400 - 200 - 17);
  EXPECT_EQ(pixels.outside, 0);
}

TEST(SvgSurfaceLines, EndPointIsNeverDrawn) {
  constexpr std::int32_t kFar = std::numeric_limits<std::int32_t>::max();
  constexpr std::int32_t kNear = std::numeric_limits<std::int32_t>::min();
  struct Case {
    const char* name;
    std::int32_t x0, y0, x1, y1;
    std::vector<std::pair<std::int32_t, std::int32_t>> black, white;
    std::int32_t count;
  };
  const std::vector<Case> cases = {
      {"rightwards", 10, 5, 15, 5, {{10, 5}, {14, 5}}, {{9, 5}, {15, 5}}, 5},
      {"leftwards", 15, 5, 10, 5, {{15, 5}, {11, 5}}, {{10, 5}, {16, 5}}, 5},
      {"downwards", 7, 0, 7, 3, {{7, 0}, {7, 2}}, {{7, 3}}, 3},
      {"upwards", 7, 3, 7, 0, {{7, 3}, {7, 1}}, {{7, 0}}, 3},
      {"no length", 7, 7, 7, 7, {}, {{7, 7}}, 0},
      {"diagonal", 0, 0, 3, 3, {{0, 0}, {1, 1}, {2, 2}}, {{3, 3}}, 3},
      {"steep", 0, 0, 1, 4, {{0, 0}, {0, 1}, {1, 2}, {1, 3}}, {{1, 4}}, 4},
      {"clipped to the picture", -100, 3, 1000, 3, {{0, 3}, {400, 3}}, {}, 401},
      {"entirely outside", -50, -5, 500, -5, {}, {}, 0},
      {"from corner to corner of the number range",
       kNear,
       kNear,
       kFar,
       kFar,
       {{0, 0}, {200, 200}, {400, 400}},
       {{1, 0}},
       401},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    SvgSurface surface;
    surface.MoveTo(c.x0, c.y0);
    surface.LineTo(c.x1, c.y1);
    const Pixels pixels = Paint(ParseOk(surface.Document()));
    for (const auto& [x, y] : c.black) EXPECT_TRUE(pixels.Black(x, y)) << x << "," << y;
    for (const auto& [x, y] : c.white) EXPECT_FALSE(pixels.Black(x, y)) << x << "," << y;
    EXPECT_EQ(pixels.BlackCount(), c.count);
    EXPECT_EQ(pixels.outside, 0);
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
