#include "terminal/ansi_text.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <vector>

#include "presentation/contrast.h"
#include "presentation/utf8.h"
#include "terminal/terminal_text.h"

namespace velmora {

namespace {

using utf8::EncodeUtf8;
using utf8::kReplacement;

// Control characters that a terminal must not be given as text, since it would act on them:
// all of C0 but tab and line break, DEL and C1. Escape (0x1B) is among them.
constexpr bool IsUnsafeControl(char32_t c) {
  return (c < 0x20 && c != U'\t' && c != U'\n') || (c >= 0x7F && c <= 0x9F);
}

struct BasicColor {
  std::int32_t sgr;
  std::int32_t r, g, b;
};

// The sixteen terminal colours as xterm shows them.
constexpr std::array<BasicColor, 16> kBasicColors = {{
    {30, 0, 0, 0},
    {31, 205, 0, 0},
    {32, 0, 205, 0},
    {33, 205, 205, 0},
    {34, 0, 0, 238},
    {35, 205, 0, 205},
    {36, 0, 205, 205},
    {37, 229, 229, 229},
    {90, 127, 127, 127},
    {91, 255, 0, 0},
    {92, 0, 255, 0},
    {93, 255, 255, 0},
    {94, 92, 92, 255},
    {95, 255, 0, 255},
    {96, 0, 255, 255},
    {97, 255, 255, 255},
}};

void AppendSgr(CharFormat f, AnsiColors mode, std::string& out) {
  out += "\x1b[0";
  if (f.bold) out += ";1";
  if (mode == AnsiColors::kOnPaper) {
    out += ";38;5;";
    out += std::to_string(PaperColor(f.color));
    out += ";48;5;231";  // white, the same in every terminal's palette
  } else if (mode == AnsiColors::kTrueColor) {
    out += ";38;2;";
    out += std::to_string(RedOf(f.color));
    out += ';';
    out += std::to_string(GreenOf(f.color));
    out += ';';
    out += std::to_string(BlueOf(f.color));
    out += ";48;2;255;255;255";
  } else if (f.color != kColorBlack) {
    // Black is the terminal's own text colour, which its theme makes legible.
    out += ';';
    out += std::to_string(NearestBasicColor(f.color));
  }
  out += 'm';
}

}  // namespace

namespace {

// The six levels of each channel in the 256-colour palette's cube.
constexpr std::array<std::int32_t, 6> kCubeLevels = {0, 95, 135, 175, 215, 255};

std::int32_t NearestLevel(std::int32_t channel) {
  std::int32_t best = 0;
  for (std::int32_t i = 1; i < 6; ++i) {
    if (std::abs(channel - kCubeLevels[i]) < std::abs(channel - kCubeLevels[best])) best = i;
  }
  return best;
}

// Relative luminance of a cube colour, as contrast ratios are reckoned.
double Luminance(std::int32_t r, std::int32_t g, std::int32_t b) {
  return RelativeLuminance(kCubeLevels[static_cast<std::size_t>(r)],
                           kCubeLevels[static_cast<std::size_t>(g)],
                           kCubeLevels[static_cast<std::size_t>(b)]);
}

}  // namespace

std::int32_t PaperColor(ColorValue color) {
  std::int32_t r = NearestLevel(RedOf(color));
  std::int32_t g = NearestLevel(GreenOf(color));
  std::int32_t b = NearestLevel(BlueOf(color));
  // Against white (luminance 1) the contrast is 1.05 / (L + 0.05).
  while (1.05 / (Luminance(r, g, b) + 0.05) < kLegibleContrast) {
    r = std::max(r - 1, 0);
    g = std::max(g - 1, 0);
    b = std::max(b - 1, 0);
  }
  return 16 + 36 * r + 6 * g + b;
}

std::int32_t NearestBasicColor(ColorValue color) {
  const std::int32_t r = RedOf(color);
  const std::int32_t g = GreenOf(color);
  const std::int32_t b = BlueOf(color);
  std::int32_t best = kBasicColors[0].sgr;
  std::int32_t bestDistance = std::numeric_limits<std::int32_t>::max();
  for (const BasicColor& candidate : kBasicColors) {
    const std::int32_t dr = r - candidate.r;
    const std::int32_t dg = g - candidate.g;
    const std::int32_t db = b - candidate.b;
    const std::int32_t distance = dr * dr + dg * dg + db * db;
    if (distance < bestDistance) {
      best = candidate.sgr;
      bestDistance = distance;
    }
  }
  return best;
}

AnsiColors TerminalColors(const char* colorTerm, const char* term) {
  if (colorTerm != nullptr &&
      (std::strcmp(colorTerm, "truecolor") == 0 || std::strcmp(colorTerm, "24bit") == 0)) {
    return AnsiColors::kTrueColor;
  }
  if (term != nullptr && std::strcmp(term, "linux") == 0) return AnsiColors::kBasic16;
  return AnsiColors::kOnPaper;
}

std::string AnsiText(const StyledTextBuffer& box, AnsiColors mode) {
  const std::u32string_view chars = box.Chars();
  const std::vector<FormatRun> runs = box.Runs();
  std::string out;
  out.reserve(chars.size() + chars.size() / 4);
  const CharFormat terminalDefault{};
  CharFormat shown = terminalDefault;
  std::size_t run = 0;
  for (std::size_t i = 0; i < chars.size(); ++i) {
    if (run + 1 < runs.size() && static_cast<std::size_t>(runs[run + 1].start) == i) ++run;
    const char32_t c = chars[i];
    if (c == U'\n') {
      if (shown != terminalDefault) out += "\x1b[0m";
      shown = terminalDefault;
      out += '\n';
      continue;
    }
    if (mode != AnsiColors::kNone && runs[run].format != shown) {
      shown = runs[run].format;
      AppendSgr(shown, mode, out);
    }
    EncodeUtf8(IsUnsafeControl(c) ? kReplacement : c, out);
  }
  if (shown != terminalDefault) out += "\x1b[0m";
  return out;
}

namespace {

// Lays wrapped terminal text out line by line. Each line starts with `lineStart`, which puts
// the paper down and erases the whole line with it before any text is written (an erase after
// the text would take the last character of a line exactly as wide as the terminal with it), and
// then with the colour a wrap broke off, if any, so that the second line of a paragraph looks
// like its first. Each line that set anything ends with one reset, so that no colour leaks past
// it, not even into the line the terminal scrolls in.
std::string LayOutLines(std::string_view text, std::string_view lineStart) {
  constexpr std::string_view kReset = "\x1b[0m";
  std::string out;
  out.reserve(text.size() + text.size() / 4);
  std::string_view active;  // the colour sequence in force, carried over a wrap
  std::size_t i = 0;
  while (i < text.size()) {
    out += lineStart;
    out += active;
    bool set = !lineStart.empty() || !active.empty();
    bool resetLast = false;
    while (i < text.size() && text[i] != '\n') {
      if (text[i] == '\x1b' && i + 1 < text.size() && text[i + 1] == '[') {
        // A control sequence: parameters, then one final byte from '@' to '~'.
        std::size_t end = i + 2;
        while (end < text.size() && (text[end] < '@' || text[end] > '~')) ++end;
        const std::string_view sequence = text.substr(i, end + 1 - i);
        if (sequence.back() == 'm') {
          resetLast = sequence == kReset;
          active = resetLast ? std::string_view() : sequence;
          set = true;
        }
        out += sequence;
        i = end + 1;
        continue;
      }
      resetLast = false;
      out += text[i++];
    }
    if (set && !resetLast) out += kReset;
    if (i < text.size()) {
      out += '\n';
      ++i;
    }
  }
  return out;
}

}  // namespace

std::string TerminalReading(std::string_view correction, std::string_view heading,
                            const StyledTextBuffer& reading, AnsiColors mode, int width) {
  const bool colour = mode != AnsiColors::kNone;
  const bool paper = mode == AnsiColors::kOnPaper || mode == AnsiColors::kTrueColor;
  // Each line on the paper: black on white, the whole line erased with it; the heading bold.
  std::string lineStart;
  std::string bold = colour ? "\x1b[1m" : "";
  if (paper) {
    AppendSgr(CharFormat{}, mode, lineStart);
    lineStart += "\x1b[K";
    bold.clear();
    AppendSgr(CharFormat{kColorBlack, true}, mode, bold);
  }
  std::string text;
  if (!correction.empty()) {
    text += correction;
    text += '\n';
  }
  text += bold;
  text += heading;
  text += colour ? "\x1b[0m\n" : "\n";
  text += AnsiText(reading, mode);
  return LayOutLines(WrapToWidth(text, width), lineStart);
}

}  // namespace velmora
