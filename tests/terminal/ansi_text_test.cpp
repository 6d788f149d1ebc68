#include "terminal/ansi_text.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <string>

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

}  // namespace
}  // namespace velmora
