#include "presentation/styled_text_buffer.h"

#include <gtest/gtest.h>

#include <cmath>

#include <algorithm>
#include <cstdint>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "styled_text_sample.h"

namespace velmora {
namespace {

constexpr CharFormat kBlackRegular{kColorBlack, false};
constexpr CharFormat kRedRegular{kColorRed, false};
constexpr CharFormat kRedBold{kColorRed, true};
constexpr CharFormat kBlueRegular{kColorBlue, false};
constexpr CharFormat kMaroonBold{kColorMaroon, true};

std::vector<CharFormat> Formats(const StyledTextBuffer& box) {
  std::vector<CharFormat> out;
  for (std::int32_t i = 0; i < box.Length(); ++i) out.push_back(box.FormatAt(i).value());
  return out;
}

// --- A new line takes the format of the character just before it. ---

TEST(StyledTextBufferInheritance, FirstLineOfAnEmptyBoxIsBlackRegular) {
  StyledTextBuffer box;
  box.AppendLine("ab");
  EXPECT_EQ(box.PlainText(), "ab\n");
  EXPECT_EQ(Formats(box), std::vector<CharFormat>(3, kBlackRegular));
}

TEST(StyledTextBufferInheritance, NewLineTakesTheFormatOfTheLastCharacter) {
  struct Case {
    const char* name;
    std::int32_t start;  // range formatted on the first line "abc\n"
    std::int32_t length;
    CharFormat inherited;  // what the next line must read
  };
  const Case cases[] = {
      {"whole line with its break", 0, 4, kRedBold},
      {"line break alone", 3, 1, kRedBold},
      {"label only: the break keeps black", 0, 2, kBlackRegular},
      {"nothing selected", 1, 0, kBlackRegular},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    StyledTextBuffer box;
    box.AppendLine("abc");
    Format(box, c.start, c.length, kRedBold);
    box.AppendLine("de");
    ASSERT_EQ(box.Length(), 7);
    for (std::int32_t i = 4; i < 7; ++i) EXPECT_EQ(box.FormatAt(i), c.inherited) << i;
  }
}

TEST(StyledTextBufferInheritance, EmptyLineCarriesTheFormatOn) {
  StyledTextBuffer box;
  box.AppendLine("Stars:");
  Format(box, 0, 7, kBlueRegular);
  box.AppendLine("");
  box.AppendLine("x");
  EXPECT_EQ(box.PlainText(), "Stars:\n\nx\n");
  for (std::int32_t i = 7; i < box.Length(); ++i) EXPECT_EQ(box.FormatAt(i), kBlueRegular) << i;
}

TEST(StyledTextBufferInheritance, ClearRestartsFromBlackRegular) {
  StyledTextBuffer box;
  box.AppendLine("abc");
  Format(box, 0, 4, kMaroonBold);
  box.Clear();
  EXPECT_EQ(box.Length(), 0);
  EXPECT_EQ(box.PlainText(), "");
  box.AppendLine("z");
  EXPECT_EQ(Formats(box), std::vector<CharFormat>(2, kBlackRegular));
}

// --- Selections format exactly their range and never reach outside the text. ---

TEST(StyledTextBufferSelection, FormatsExactlyTheSelectedRange) {
  StyledTextBuffer box;
  box.AppendLine("King:desc");  // 10 characters with the break
  Format(box, 0, 10, kBlueRegular);
  Format(box, 0, 5, kMaroonBold);
  const std::vector<FormatRun> expected = {{0, 5, kMaroonBold}, {5, 5, kBlueRegular}};
  EXPECT_EQ(box.Runs(), expected);
  // Colour and weight are separate: changing one leaves the other.
  box.Select(2, 4);
  box.SetSelectionColor(kColorRed);
  const std::vector<FormatRun> after = {
      {0, 2, kMaroonBold}, {2, 3, kRedBold}, {5, 1, kRedRegular}, {6, 4, kBlueRegular}};
  EXPECT_EQ(box.Runs(), after);
}

TEST(StyledTextBufferSelection, RangesAreClampedToTheText) {
  constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
  constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();
  struct Case {
    const char* name;
    std::int32_t start, length;
    std::int32_t wantStart, wantLength;
  };
  // The box holds "abcdefghi\n": 10 characters.
  const Case cases[] = {
      {"inside", 2, 3, 2, 3},
      {"whole text", 0, 10, 0, 10},
      {"past the end", 8, 10, 8, 2},
      {"start past the end", 12, 3, 10, 0},
      {"negative start", -2, 5, 0, 3},
      {"wholly before the text", -5, 3, 0, 0},
      {"negative length", 3, -4, 3, 0},
      {"largest values", kMax, kMax, 10, 0},
      {"smallest start, largest length", kMin, kMax, 0, 0},
      {"zero start, largest length", 0, kMax, 0, 10},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    StyledTextBuffer box;
    box.AppendLine("abcdefghi");
    Format(box, c.start, c.length, kRedBold);
    EXPECT_EQ(box.SelectionStart(), c.wantStart);
    EXPECT_EQ(box.SelectionLength(), c.wantLength);
    for (std::int32_t i = 0; i < box.Length(); ++i) {
      const bool inside = i >= c.wantStart && i < c.wantStart + c.wantLength;
      EXPECT_EQ(box.FormatAt(i), inside ? kRedBold : kBlackRegular) << i;
    }
  }
}

// Formats are kept as runs that selections split and join; a plain list of one format per
// character, driven by the same appends and selections, must always agree with them.
TEST(StyledTextBufferSelection, AgreesWithOneFormatPerCharacter) {
  std::mt19937 random(20000204);
  const auto pick = [&random](std::int32_t lo, std::int32_t hi) {
    return std::uniform_int_distribution<std::int32_t>(lo, hi)(random);
  };
  const ColorValue colors[] = {kColorBlack, kColorRed, kColorBlue, kColorMaroon};
  StyledTextBuffer box;
  std::vector<CharFormat> model;
  std::int32_t selStart = 0;
  std::int32_t selEnd = 0;
  for (std::int32_t step = 0; step < 3000; ++step) {
    SCOPED_TRACE("step " + std::to_string(step));
    const std::int32_t size = static_cast<std::int32_t>(model.size());
    switch (pick(0, 9)) {
      case 0:
      case 1: {
        const CharFormat inherited = model.empty() ? kBlackRegular : model.back();
        const auto length = static_cast<std::size_t>(pick(0, 6));
        box.AppendLine(std::string(length, 'x'));
        model.insert(model.end(), length + 1, inherited);
        break;
      }
      case 2:
      case 3:
      case 4: {
        const std::int32_t start = pick(-3, size + 3);
        const std::int32_t length = pick(-2, 12);
        box.Select(start, length);
        selStart = std::clamp(start, 0, size);
        selEnd = std::clamp(start + std::max(length, 0), selStart, size);
        break;
      }
      case 5:
      case 6:
      case 7: {
        const ColorValue color = colors[pick(0, 3)];
        box.SetSelectionColor(color);
        for (std::int32_t i = selStart; i < selEnd; ++i)
          model[static_cast<std::size_t>(i)].color = color;
        break;
      }
      default: {
        const bool bold = pick(0, 1) == 1;
        box.SetSelectionBold(bold);
        for (std::int32_t i = selStart; i < selEnd; ++i)
          model[static_cast<std::size_t>(i)].bold = bold;
      }
    }
    ASSERT_EQ(Formats(box), model);
    // The runs cover the text without gaps, and no two neighbours share a format.
    std::int32_t next = 0;
    const std::vector<FormatRun> runs = box.Runs();
    for (std::size_t r = 0; r < runs.size(); ++r) {
      ASSERT_EQ(runs[r].start, next);
      ASSERT_GT(runs[r].length, 0);
      if (r > 0) {
        ASSERT_NE(runs[r].format, runs[r - 1].format);
      }
      next += runs[r].length;
    }
    ASSERT_EQ(next, box.Length());
  }
}

TEST(StyledTextBufferSelection, SelectionMadeBeforeClearTouchesNothingAfterIt) {
  StyledTextBuffer box;
  box.AppendLine("abcdefghi");
  box.Select(4, 6);
  box.Clear();
  box.SetSelectionColor(kColorRed);
  box.SetSelectionBold(true);
  box.AppendLine("ab");
  EXPECT_EQ(Formats(box), std::vector<CharFormat>(3, kBlackRegular));
}

TEST(StyledTextBufferSelection, AccessorsAnswerNothingOutsideTheText) {
  StyledTextBuffer box;
  box.AppendLine("a");
  EXPECT_EQ(box.CharAt(0), U'a');
  EXPECT_EQ(box.CharAt(1), U'\n');
  for (const std::int32_t i : {-1, 2, std::numeric_limits<std::int32_t>::min()}) {
    EXPECT_FALSE(box.CharAt(i).has_value()) << i;
    EXPECT_FALSE(box.FormatAt(i).has_value()) << i;
  }
  EXPECT_EQ(box.Text(-3, 100), "a\n");
}

// --- Positions count characters, whatever their UTF-8 length. ---

TEST(StyledTextBufferUnicode, PositionsCountCodePoints) {
  StyledTextBuffer box;
  const std::string line = "Z\xC3\xBC\xE2\x98\xAF\xF0\x9D\x84\x9E!";  // Z ü ☯ 𝄞 !
  box.AppendLine(line);
  ASSERT_EQ(box.Length(), 6);
  EXPECT_EQ(box.EndPosition(), 6);
  EXPECT_EQ(box.CharAt(1), U'\u00FC');
  EXPECT_EQ(box.CharAt(2), U'\u262F');
  EXPECT_EQ(box.CharAt(3), U'\U0001D11E');
  EXPECT_EQ(box.PlainText(), line + "\n");
  Format(box, 2, 2, kRedBold);
  EXPECT_EQ(box.Text(2, 2), "\xE2\x98\xAF\xF0\x9D\x84\x9E");
  const std::vector<FormatRun> expected = {
      {0, 2, kBlackRegular}, {2, 2, kRedBold}, {4, 2, kBlackRegular}};
  EXPECT_EQ(box.Runs(), expected);
}

TEST(StyledTextBufferUnicode, MalformedBytesBecomeReplacementCharacters) {
  struct Case {
    const char* name;
    std::string line;
    std::u32string want;
  };
  const Case cases[] = {
      {"stray continuation byte",
       "a\x80"
       "b",
       U"a\uFFFDb"},
      {"sequence cut short by the end", "a\xE2\x98", U"a\uFFFD\uFFFD"},
      {"sequence cut short by ASCII", "\xE2\x98z", U"\uFFFD\uFFFDz"},
      {"overlong slash", "\xC0\xAF", U"\uFFFD\uFFFD"},
      {"overlong three-byte form", "\xE0\x80\xAF", U"\uFFFD\uFFFD\uFFFD"},
      {"surrogate", "\xED\xA0\x80", U"\uFFFD\uFFFD\uFFFD"},
      {"beyond U+10FFFF", "\xF4\x90\x80\x80", U"\uFFFD\uFFFD\uFFFD\uFFFD"},
      {"invalid lead byte", "\xFF", U"\uFFFD"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    StyledTextBuffer box;
    box.AppendLine(c.line);
    ASSERT_EQ(box.Length(), static_cast<std::int32_t>(c.want.size()) + 1);
    for (std::size_t i = 0; i < c.want.size(); ++i) {
      EXPECT_EQ(box.CharAt(static_cast<std::int32_t>(i)), c.want[i]) << i;
    }
    EXPECT_EQ(box.CharAt(box.Length() - 1), U'\n');
  }
}

// --- Renderers. ---

TEST(StyledTextBufferHtml, OneEscapedSpanPerRun) {
  EXPECT_EQ(MarkupSample().Html(),
            "<div style=\"white-space:pre-wrap\">"
            "<span style=\"color:#ec0000;font-weight:bold\">a</span>"
            "<span style=\"color:#ec0000\">&lt;b\n&amp;&quot;&#39;&gt;\n</span>"
            "</div>");
}

TEST(StyledTextBufferHtml, ColoursAreWrittenRedGreenBlue) {
  struct Case {
    const char* name;
    ColorValue color;
    const char* css;
  };
  const Case cases[] = {
      {"red", kColorRed, "#ec0000"},       {"blue", kColorBlue, "#0000ff"},
      {"maroon", kColorMaroon, "#800000"}, {"black", kColorBlack, "#000000"},
      {"mixed", 0x123456, "#563412"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    StyledTextBuffer box;
    box.AppendLine("x");
    Format(box, 0, 2, {c.color, false});
    EXPECT_EQ(box.Html(), std::string("<div style=\"white-space:pre-wrap\"><span style=\"color:") +
                              c.css + "\">x\n</span></div>");
  }
}

TEST(StyledTextBufferHtml, EmptyBoxAndControlCharacters) {
  StyledTextBuffer box;
  EXPECT_EQ(box.Html(), "<div style=\"white-space:pre-wrap\"></div>");
  box.AppendLine("a\x1b[31m\tb");
  EXPECT_EQ(box.Html(),
            "<div style=\"white-space:pre-wrap\"><span style=\"color:#000000\">"
            "a\xEF\xBF\xBD[31m\tb\n</span></div>");
}

}  // namespace
}  // namespace velmora
