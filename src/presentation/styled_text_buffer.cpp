#include "presentation/styled_text_buffer.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <limits>

#include "presentation/markup_escape.h"
#include "presentation/utf8.h"

namespace velmora {

namespace {

using utf8::DecodeUtf8;
using utf8::EncodeUtf8;
using utf8::kReplacement;
constexpr std::size_t kMaxChars = std::numeric_limits<std::int32_t>::max();

// Control characters that a terminal must not be given as text, since it would act on them:
// all of C0 but tab and line break, DEL and C1. Escape (0x1B) is among them.
constexpr bool IsUnsafeControl(char32_t c) {
  return (c < 0x20 && c != U'\t' && c != U'\n') || (c >= 0x7F && c <= 0x9F);
}

void AppendHex2(std::uint8_t v, std::string& out) {
  constexpr std::string_view kDigits = "0123456789abcdef";
  out += kDigits[v >> 4];
  out += kDigits[v & 0x0F];
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
  const auto linear = [](std::int32_t level) {
    const double c = kCubeLevels[static_cast<std::size_t>(level)] / 255.0;
    return c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
  };
  return 0.2126 * linear(r) + 0.7152 * linear(g) + 0.0722 * linear(b);
}

}  // namespace

std::int32_t PaperColor(ColorValue color) {
  std::int32_t r = NearestLevel(RedOf(color));
  std::int32_t g = NearestLevel(GreenOf(color));
  std::int32_t b = NearestLevel(BlueOf(color));
  // Against white (luminance 1) the contrast is 1.05 / (L + 0.05).
  while (1.05 / (Luminance(r, g, b) + 0.05) < 4.5) {
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

// The new line takes the format of the character before it, or black regular in an empty box:
// the last run simply grows. A box that already holds the most characters a position can count
// keeps its text unchanged.
void StyledTextBuffer::AppendLine(std::string_view line) {
  if (chars_.size() + line.size() + 1 > kMaxChars) return;
  if (runs_.empty()) runs_.push_back({0, CharFormat{}});
  // A line never holds more characters than bytes, so one resize makes room for all of it.
  std::size_t n = chars_.size();
  chars_.resize(n + line.size() + 1);
  // Copy every byte as a character while noting whether any was not ASCII; only then is the
  // line decoded again as UTF-8. One pass without branches serves the usual, ASCII, line.
  unsigned char all = 0;
  char32_t* out = chars_.data() + n;
  for (const char c : line) {
    all |= static_cast<unsigned char>(c);
    *out++ = static_cast<unsigned char>(c);
  }
  if (all < 0x80) {
    n += line.size();
  } else {
    for (std::size_t i = 0; i < line.size();) chars_[n++] = DecodeUtf8(line, i);
  }
  chars_[n++] = U'\n';
  chars_.resize(n);
}

StyledTextBuffer::Range StyledTextBuffer::Clamp(std::int64_t start, std::int64_t length) const {
  const auto size = static_cast<std::int64_t>(chars_.size());
  const std::int64_t first = std::clamp<std::int64_t>(start, 0, size);
  const std::int64_t last =
      std::clamp<std::int64_t>(start + std::max<std::int64_t>(length, 0), first, size);
  return {static_cast<std::size_t>(first), static_cast<std::size_t>(last)};
}

std::size_t StyledTextBuffer::RunOf(std::size_t pos) const {
  // Text is formatted right after it is appended, so the last run is the usual answer.
  if (pos >= runs_.back().start) return runs_.size() - 1;
  const auto after =
      std::upper_bound(runs_.begin(), runs_.end(), pos,
                       [](std::size_t p, const StoredRun& r) { return p < r.start; });
  return static_cast<std::size_t>(after - runs_.begin()) - 1;
}

std::size_t StyledTextBuffer::SplitAt(std::size_t pos) {
  if (pos >= chars_.size()) return runs_.size();
  const std::size_t holder = RunOf(pos);
  if (runs_[holder].start == pos) return holder;
  const auto at = runs_.begin() + static_cast<std::ptrdiff_t>(holder) + 1;
  runs_.insert(at, {pos, runs_[holder].format});
  return holder + 1;
}

template <typename Change>
void StyledTextBuffer::ChangeSelection(Change change) {
  // The selection is clamped again because the text may have changed since it was made.
  const Range r = Clamp(selStart_, selLength_);
  if (r.first == r.last) return;
  const std::size_t first = SplitAt(r.first);
  const std::size_t last = SplitAt(r.last);
  for (std::size_t i = first; i < last; ++i) change(runs_[i].format);
  // Only the changed runs and their two neighbours can have become equal to the run before.
  const std::size_t begin = std::max<std::size_t>(first, 1);
  const std::size_t end = std::min(last + 1, runs_.size());
  std::size_t kept = begin;
  for (std::size_t i = begin; i < end; ++i) {
    if (runs_[i].format != runs_[kept - 1].format) runs_[kept++] = runs_[i];
  }
  runs_.erase(runs_.begin() + static_cast<std::ptrdiff_t>(kept),
              runs_.begin() + static_cast<std::ptrdiff_t>(end));
}

void StyledTextBuffer::Select(std::int32_t start, std::int32_t length) {
  const Range r = Clamp(start, length);
  selStart_ = static_cast<std::int32_t>(r.first);
  selLength_ = static_cast<std::int32_t>(r.last - r.first);
}

void StyledTextBuffer::SetSelectionColor(ColorValue color) {
  ChangeSelection([color](CharFormat& f) { f.color = color; });
}

void StyledTextBuffer::SetSelectionBold(bool bold) {
  ChangeSelection([bold](CharFormat& f) { f.bold = bold; });
}

void StyledTextBuffer::Clear() {
  chars_.clear();
  runs_.clear();
  selStart_ = 0;
  selLength_ = 0;
}

std::optional<char32_t> StyledTextBuffer::CharAt(std::int32_t i) const {
  if (i < 0 || i >= Length()) return std::nullopt;
  return chars_[static_cast<std::size_t>(i)];
}

std::optional<CharFormat> StyledTextBuffer::FormatAt(std::int32_t i) const {
  if (i < 0 || i >= Length()) return std::nullopt;
  return runs_[RunOf(static_cast<std::size_t>(i))].format;
}

std::string StyledTextBuffer::Text(std::int32_t start, std::int32_t length) const {
  const Range r = Clamp(start, length);
  std::string out;
  out.reserve(r.last - r.first);
  for (std::size_t i = r.first; i < r.last; ++i) EncodeUtf8(chars_[i], out);
  return out;
}

std::vector<FormatRun> StyledTextBuffer::Runs() const {
  std::vector<FormatRun> runs;
  runs.reserve(runs_.size());
  for (std::size_t i = 0; i < runs_.size(); ++i) {
    const std::size_t end = i + 1 < runs_.size() ? runs_[i + 1].start : chars_.size();
    runs.push_back({static_cast<std::int32_t>(runs_[i].start),
                    static_cast<std::int32_t>(end - runs_[i].start), runs_[i].format});
  }
  return runs;
}

std::string StyledTextBuffer::PlainText() const {
  return Text(0, Length());
}

std::string StyledTextBuffer::Html() const {
  std::string out = "<div style=\"white-space:pre-wrap\">";
  out.reserve(chars_.size() + chars_.size() / 8 + 64);
  for (const FormatRun& run : Runs()) {
    out += "<span style=\"color:#";
    AppendHex2(RedOf(run.format.color), out);
    AppendHex2(GreenOf(run.format.color), out);
    AppendHex2(BlueOf(run.format.color), out);
    if (run.format.bold) out += ";font-weight:bold";
    out += "\">";
    const auto first = static_cast<std::size_t>(run.start);
    const auto last = first + static_cast<std::size_t>(run.length);
    for (std::size_t i = first; i < last; ++i) markup::AppendEscaped(chars_[i], markup::kHtml, out);
    out += "</span>";
  }
  out += "</div>";
  return out;
}

std::string StyledTextBuffer::Ansi(AnsiColors mode) const {
  std::string out;
  out.reserve(chars_.size() + chars_.size() / 4);
  const CharFormat terminalDefault{};
  CharFormat shown = terminalDefault;
  std::size_t run = 0;
  for (std::size_t i = 0; i < chars_.size(); ++i) {
    if (run + 1 < runs_.size() && runs_[run + 1].start == i) ++run;
    const char32_t c = chars_[i];
    if (c == U'\n') {
      if (shown != terminalDefault) out += "\x1b[0m";
      shown = terminalDefault;
      out += '\n';
      continue;
    }
    if (mode != AnsiColors::kNone && runs_[run].format != shown) {
      shown = runs_[run].format;
      AppendSgr(shown, mode, out);
    }
    EncodeUtf8(IsUnsafeControl(c) ? kReplacement : c, out);
  }
  if (shown != terminalDefault) out += "\x1b[0m";
  return out;
}

}  // namespace velmora
