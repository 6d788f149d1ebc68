#include "terminal/terminal_text.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "casting/chart_report.h"
#include "terminal/ansi_text.h"

namespace velmora {
namespace {

TEST(TerminalWrapping, BreaksAtTheLastSpaceThatFits) {
  struct Case {
    const char* name;
    std::string text;
    int width;
    std::string wrapped;
  };
  const Case cases[] = {
      {"a short line stays", "aaa bbb", 20, "aaa bbb"},
      {"a line exactly as wide", "aaaa bbbb", 9, "aaaa bbbb"},
      {"one break", "aaa bbb ccc", 7, "aaa bbb\nccc"},
      {"several breaks", "a b c d e f", 3, "a b\nc d\ne f"},
      {"the space just past the edge", "aaaaaaaaaa bbb", 10, "aaaaaaaaaa\nbbb"},
      {"a word wider than the line stays whole", "aaaaaaaaaaaa bb", 5, "aaaaaaaaaaaa\nbb"},
      {"line breaks start a new count", "aaa bbb\nccc ddd", 7, "aaa bbb\nccc ddd"},
      {"colour sequences take no columns", "\x1b[0;1;91mPlace:\x1b[0;91mLife is here\x1b[0m", 10,
       "\x1b[0;1;91mPlace:\x1b[0;91mLife\nis here\x1b[0m"},
      {"a UTF-8 character is one column", "\xC3\xA9\xC3\xA9\xC3\xA9 \xC3\xA9\xC3\xA9", 3,
       "\xC3\xA9\xC3\xA9\xC3\xA9\n\xC3\xA9\xC3\xA9"},
      {"no width, no wrapping", "aaa bbb ccc", 0, "aaa bbb ccc"},
      {"empty", "", 10, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(WrapToWidth(c.text, c.width), c.wrapped);
  }
}

// The visible columns of each line of terminal text.
std::vector<int> LineWidths(const std::string& text) {
  std::vector<int> widths(1, 0);
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\n') {
      widths.push_back(0);
    } else if (text[i] == '\x1b') {
      while (i < text.size() && text[i] != 'm') ++i;
    } else if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80) {
      ++widths.back();
    }
  }
  return widths;
}

TEST(TerminalWrapping, TheColouredReadingFitsAndOnlySpacesBecomeBreaks) {
  ChartReport report;
  report.Cast({{2000, 2, 4}, 23, 0});
  const std::string ansi = AnsiText(report.Reading(), AnsiColors::kTrueColor);
  for (const int width : {40, 64, 80, 120}) {
    SCOPED_TRACE("width " + std::to_string(width));
    const std::string wrapped = WrapToWidth(ansi, width);
    ASSERT_EQ(wrapped.size(), ansi.size());
    for (std::size_t i = 0; i < ansi.size(); ++i) {
      if (wrapped[i] != ansi[i]) {
        ASSERT_TRUE(ansi[i] == ' ' && wrapped[i] == '\n') << "at " << i;
      }
    }
    // No word of the reading is wider than 40 columns, so every line fits.
    for (const int w : LineWidths(wrapped)) EXPECT_LE(w, width);
  }
}

}  // namespace
}  // namespace velmora
