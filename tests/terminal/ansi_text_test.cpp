#include "terminal/ansi_text.h"

#include "casting/chart_report.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "styled_text_sample.h"

namespace velmora {
namespace {

constexpr CharFormat kMaroonBold{kColorMaroon, true};

TEST(AnsiText, TrueColourSetsEachRunAndResetsAtLineEnds) {
  EXPECT_EQ(
      AnsiText(MarkupSample(), AnsiColors::kTrueColor),
      "\x1b[0;1;38;2;255;0;0;48;2;255;255;255ma\x1b[0;38;2;255;0;0;48;2;255;255;255m<b\x1b[0m\n"
      "\x1b[0;38;2;255;0;0;48;2;255;255;255m&\"'>\x1b[0m\n");
}

TEST(AnsiText, SixteenColoursMapTheReadingColours) {
  StyledTextBuffer box;
  box.AppendLine("RMBK");
  Format(box, 0, 1, {kColorRed, false});
  Format(box, 1, 1, {kColorMaroon, true});
  Format(box, 2, 1, {kColorBlue, false});
  EXPECT_EQ(AnsiText(box, AnsiColors::kBasic16), "\x1b[0;91mR\x1b[0;1;31mM\x1b[0;34mB\x1b[0mK\n");
}

TEST(AnsiText, NearestBasicColor) {
  struct Case {
    const char* name;
    ColorValue color;
    std::int32_t sgr;
  };
  const Case cases[] = {
      {"red is bright red", kColorRed, 91},
      {"maroon is dark red", kColorMaroon, 31},
      {"blue", kColorBlue, 34},
      {"black", kColorBlack, 30},
      {"white", 0xFFFFFF, 97},
      {"grey", 0x808080, 90},
      {"dark green", 0x00C800, 32},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(NearestBasicColor(c.color), c.sgr);
  }
}

TEST(AnsiText, BlackLinesAndEmptyLinesNeedNoSequences) {
  StyledTextBuffer box;
  box.AppendLine("plain");
  box.AppendLine("");
  EXPECT_EQ(AnsiText(box, AnsiColors::kTrueColor), "plain\n\n");
}

TEST(AnsiText, NoModeLetsAnEscapeByteThroughFromTheText) {
  StyledTextBuffer box;
  box.AppendLine("a\x1b[2Jb\x07");
  Format(box, 0, 3, kMaroonBold);
  for (const AnsiColors mode : {AnsiColors::kNone, AnsiColors::kBasic16, AnsiColors::kTrueColor}) {
    const std::string out = AnsiText(box, mode);
    EXPECT_EQ(out.find("\x1b[2J"), std::string::npos) << out;
    EXPECT_EQ(out.find('\x07'), std::string::npos) << out;
  }
  EXPECT_EQ(AnsiText(box, AnsiColors::kNone), "a\xEF\xBF\xBD[2Jb\xEF\xBF\xBD\n");
  EXPECT_EQ(box.PlainText(), "a\x1b[2Jb\x07\n");  // the plain text stays exact
}

TEST(AnsiText, TextModeIsThePlainText) {
  const StyledTextBuffer box = MarkupSample();
  EXPECT_EQ(AnsiText(box, AnsiColors::kNone), box.PlainText());
  EXPECT_EQ(AnsiText(box, AnsiColors::kNone).find('\x1b'), std::string::npos);
}

// On its white paper every colour stays legible: at least 4.5:1 against white, and the
// reading's own colours as close to themselves as that allows.
TEST(AnsiText, PaperColoursAreLegibleOnWhite) {
  const auto contrast = [](std::int32_t index) {
    constexpr std::int32_t kLevels[] = {0, 95, 135, 175, 215, 255};
    const std::int32_t cube = index - 16;
    double luminance = 0;
    const double weights[] = {0.2126, 0.7152, 0.0722};
    const std::int32_t levels[] = {cube / 36, cube / 6 % 6, cube % 6};
    for (int i = 0; i < 3; ++i) {
      const double c = kLevels[levels[i]] / 255.0;
      luminance += weights[i] * (c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4));
    }
    return 1.05 / (luminance + 0.05);
  };
  for (std::int32_t r = 0; r < 256; r += 15) {
    for (std::int32_t g = 0; g < 256; g += 15) {
      for (std::int32_t b = 0; b < 256; b += 15) {
        const std::int32_t index = PaperColor(r | g << 8 | b << 16);
        ASSERT_GE(index, 16);
        ASSERT_LE(index, 231);
        ASSERT_GE(contrast(index), 4.5) << r << "," << g << "," << b;
      }
    }
  }
  EXPECT_EQ(PaperColor(kColorRed), 160);    // #d70000: pure red would stand only 4:1
  EXPECT_EQ(PaperColor(kColorMaroon), 88);  // #870000
  EXPECT_EQ(PaperColor(kColorBlue), 21);    // #0000ff
  EXPECT_EQ(PaperColor(kColorBlack), 16);
}

// What a terminal shows of ANSI text: each visible character with the colours and weight in
// force when it was written, line by line, and the background each line was erased with.
struct Shown {
  struct Cell {
    char32_t c;
    std::string state;  // the SGR parameters in force, as written since the last reset
    friend bool operator==(const Cell&, const Cell&) = default;
  };
  std::vector<std::vector<Cell>> lines{1};
  std::vector<std::string> erasedWith{""};  // per line: the state at its erase; "-" for none
  bool eraseAfterText = false;
};

Shown ShowOnTerminal(const std::string& text) {
  Shown shown;
  shown.erasedWith.back() = "-";
  std::string state;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\n') {
      shown.lines.emplace_back();
      shown.erasedWith.push_back("-");
    } else if (text[i] == '\x1b') {
      std::size_t end = i + 2;
      while (text[end] < '@' || text[end] > '~') ++end;
      const std::string params = text.substr(i + 2, end - i - 2);
      if (text[end] == 'K') {
        shown.erasedWith.back() = state;
        shown.eraseAfterText |= !shown.lines.back().empty();
      } else {
        state = params.starts_with("0") ? params.substr(params.size() > 1 ? 2 : 1)
                                        : state + ";" + params;
      }
      i = end;
    } else if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80) {
      shown.lines.back().push_back(
          {static_cast<unsigned char>(text[i]) < 0x80 ? text[i] : U'?', state});
    }
  }
  return shown;
}

// Wrapped to any width, the reading shows every character in the colours it has unwrapped, and
// on paper every line lies whole on the paper, erased before its text is written.
TEST(TerminalReading, EveryWrappedLineKeepsItsColoursAndItsPaper) {
  ChartReport report;
  report.Cast({{2000, 2, 4}, 23, 0});
  const std::string correction = "Cast from standard time, 4 February 2000, 22:00: a long sentence";
  const auto cells = [](const Shown& shown) {
    std::vector<Shown::Cell> all;
    for (const auto& line : shown.lines) {
      for (const Shown::Cell& cell : line) {
        if (cell.c != U' ') all.push_back(cell);
      }
    }
    return all;
  };
  for (const AnsiColors mode :
       {AnsiColors::kOnPaper, AnsiColors::kTrueColor, AnsiColors::kBasic16}) {
    const bool paper = mode != AnsiColors::kBasic16;
    const Shown whole =
        ShowOnTerminal(TerminalReading(correction, report.Heading(), report.Reading(), mode, 0));
    for (const int width : {40, 80}) {
      SCOPED_TRACE(std::to_string(static_cast<int>(mode)) + " at " + std::to_string(width));
      const Shown wrapped = ShowOnTerminal(
          TerminalReading(correction, report.Heading(), report.Reading(), mode, width));
      EXPECT_GT(wrapped.lines.size(), whole.lines.size());
      EXPECT_EQ(cells(wrapped), cells(whole));
      EXPECT_FALSE(wrapped.eraseAfterText);
      for (std::size_t n = 0; n + 1 < wrapped.lines.size(); ++n) {
        SCOPED_TRACE("line " + std::to_string(n));
        EXPECT_LE(wrapped.lines[n].size(), static_cast<std::size_t>(width));
        if (!paper) continue;
        EXPECT_NE(wrapped.erasedWith[n], "-");
        EXPECT_TRUE(wrapped.erasedWith[n].ends_with("231") ||
                    wrapped.erasedWith[n].ends_with("255;255;255"));
        for (const Shown::Cell& cell : wrapped.lines[n]) {
          EXPECT_TRUE(cell.state.ends_with(
              wrapped.erasedWith[n].substr(wrapped.erasedWith[n].rfind(";48;"))))
              << cell.state;
        }
      }
    }
  }
}

}  // namespace
}  // namespace velmora
