#include "presentation/styled_text_buffer.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <limits>

#include "presentation/contrast.h"
#include "presentation/markup_escape.h"
#include "presentation/utf8.h"

namespace velmora {

namespace {

using utf8::DecodeUtf8;
using utf8::EncodeUtf8;
using utf8::kReplacement;
constexpr std::size_t kMaxChars = std::numeric_limits<std::int32_t>::max();

void AppendHex2(std::uint8_t v, std::string& out) {
  constexpr std::string_view kDigits = "0123456789abcdef";
  out += kDigits[v >> 4];
  out += kDigits[v & 0x0F];
}

}  // namespace

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
    // In a page the reading's colours stand at least 4.5:1 against its paper: the red a shade
    // darker than the window's, the blue and the maroon as they are.
    const ColorValue color = LegibleOn(run.format.color, kPagePaper);
    out += "<span style=\"color:#";
    AppendHex2(RedOf(color), out);
    AppendHex2(GreenOf(color), out);
    AppendHex2(BlueOf(color), out);
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

}  // namespace velmora
