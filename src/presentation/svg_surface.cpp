#include "presentation/svg_surface.h"

#include "presentation/markup_escape.h"
#include "presentation/utf8.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace velmora {

namespace {

// Advances of the printable ASCII characters (space to tilde) in thousandths of an em, for the
// common Helvetica-shaped sans-serif faces; the white box behind a name is sized from them.
constexpr std::array<std::int16_t, 95> kRegularAdvance = {
    278,  278, 355, 556, 556, 889, 667, 191, 333, 333, 389, 584, 278, 333, 278, 278,  // ' '../
    556,  556, 556, 556, 556, 556, 556, 556, 556, 556, 278, 278, 584, 584, 584, 556,  // 0..?
    1015, 667, 667, 722, 722, 667, 611, 778, 722, 278, 500, 667, 556, 833, 722, 778,  // @..O
    667,  778, 722, 667, 611, 722, 667, 944, 667, 667, 611, 278, 278, 278, 469, 556,  // P.._
    333,  556, 556, 500, 556, 556, 278, 556, 556, 222, 222, 500, 222, 833, 556, 556,  // `..o
    556,  556, 333, 500, 278, 556, 500, 722, 500, 500, 500, 334, 260, 334, 584,       // p..~
};
constexpr std::array<std::int16_t, 95> kBoldAdvance = {
    278, 333, 474, 556, 556, 889, 722, 238, 333, 333, 389, 584, 278, 333, 278, 278,  // ' '../
    556, 556, 556, 556, 556, 556, 556, 556, 556, 556, 333, 333, 584, 584, 584, 611,  // 0..?
    975, 722, 722, 722, 722, 667, 611, 778, 722, 278, 556, 722, 611, 833, 722, 778,  // @..O
    667, 778, 722, 667, 611, 722, 667, 944, 667, 667, 611, 333, 278, 333, 584, 556,  // P.._
    333, 556, 611, 556, 611, 556, 333, 611, 611, 278, 278, 556, 278, 889, 611, 611,  // `..o
    611, 611, 389, 556, 333, 611, 556, 778, 556, 556, 500, 389, 280, 389, 584,       // p..~
};
constexpr std::int32_t kOtherAdvance = 556;  // any other character of an alphabetic script
constexpr std::int32_t kWideAdvance = 1000;  // ideographs and other full-width characters

bool IsWide(char32_t c) {
  return (c >= 0x1100 && c <= 0x115F) || (c >= 0x2E80 && c <= 0xA4CF) ||
         (c >= 0xAC00 && c <= 0xD7A3) || (c >= 0xF900 && c <= 0xFAFF) ||
         (c >= 0xFF00 && c <= 0xFF60) || (c >= 0x20000 && c <= 0x3FFFD);
}

void AppendNumber(std::string& out, const char* name, std::int64_t value) {
  out += ' ';
  out += name;
  out += "=\"";
  out += std::to_string(value);
  out += '"';
}

}  // namespace

SvgSurface::SvgSurface() {
  Clear();
}

void SvgSurface::Clear() {
  body_.clear();
  body_ += "<rect width=\"";
  body_ += std::to_string(kSize);
  body_ += "\" height=\"";
  body_ += std::to_string(kSize);
  body_ += "\" fill=\"#fff\"/>\n";
}

void SvgSurface::MoveTo(std::int32_t x, std::int32_t y) {
  penX_ = x;
  penY_ = y;
}

void SvgSurface::LineTo(std::int32_t x, std::int32_t y) {
  const std::int64_t x0 = penX_;
  const std::int64_t y0 = penY_;
  const std::int64_t dx = std::int64_t{x} - x0;
  const std::int64_t dy = std::int64_t{y} - y0;
  penX_ = x;
  penY_ = y;
  if (dy == 0) {
    // Pixels x0 .. x-1 going right, x+1 .. x0 going left.
    if (dx != 0) FillPixels(dx > 0 ? x0 : x0 + dx + 1, y0, std::llabs(dx), 1);
    return;
  }
  if (dx == 0) {
    FillPixels(x0, dy > 0 ? y0 : y0 + dy + 1, 1, std::llabs(dy));
    return;
  }
  // A slanted line: one pixel per step along its longer axis, the end point left out. Only the
  // steps that land on the surface are visited, so far-off end points cost nothing.
  const bool alongX = std::llabs(dx) >= std::llabs(dy);
  const std::int64_t steps = alongX ? std::llabs(dx) : std::llabs(dy);
  const std::int64_t major0 = alongX ? x0 : y0;
  const std::int64_t majorSign = (alongX ? dx : dy) > 0 ? 1 : -1;
  const std::int64_t minor0 = alongX ? y0 : x0;
  const double slope = static_cast<double>(alongX ? dy : dx) / static_cast<double>(steps);
  // Steps t with 0 <= major0 + t * majorSign < kSize.
  std::int64_t first = majorSign > 0 ? -major0 : major0 - (kSize - 1);
  std::int64_t last = majorSign > 0 ? kSize - 1 - major0 : major0;
  first = std::max<std::int64_t>(first, 0);
  last = std::min<std::int64_t>(last, steps - 1);
  // Neighbouring pixels on the same row (or column) are merged into one rectangle.
  std::int64_t runStart = 0;
  std::int64_t runLength = 0;
  std::int64_t runMinor = 0;
  auto flush = [&] {
    if (runLength == 0) return;
    if (alongX) {
      FillPixels(runStart, runMinor, runLength, 1);
    } else {
      FillPixels(runMinor, runStart, 1, runLength);
    }
  };
  for (std::int64_t t = first; t <= last; ++t) {
    const std::int64_t major = major0 + t * majorSign;
    const auto minor =
        minor0 + static_cast<std::int64_t>(std::floor(static_cast<double>(t) * slope + 0.5));
    if (runLength > 0 && minor == runMinor) {
      runStart = std::min(runStart, major);
      ++runLength;
      continue;
    }
    flush();
    runStart = major;
    runLength = 1;
    runMinor = minor;
  }
  flush();
}

void SvgSurface::SetBold(bool bold) {
  bold_ = bold;
}

void SvgSurface::TextOut(std::int32_t x, std::int32_t y, std::string_view text) {
  if (text.empty()) return;
  body_ += "<rect";
  AppendNumber(body_, "x", x);
  AppendNumber(body_, "y", y);
  AppendNumber(body_, "width", TextWidth(text, bold_));
  AppendNumber(body_, "height", kLineHeightPx);
  body_ += " fill=\"#fff\"/>\n<text";
  AppendNumber(body_, "x", x);
  AppendNumber(body_, "y", std::int64_t{y} + kAscentPx);
  if (bold_) body_ += " font-weight=\"bold\"";
  body_ += " xml:space=\"preserve\">";
  markup::AppendEscaped(text, markup::kXml, body_);
  body_ += "</text>\n";
}

std::string SvgSurface::Document() const {
  std::string document =
      "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
      "<svg xmlns=\"http://www.w3.org/2000/svg\"";
  AppendNumber(document, "width", kSize);
  AppendNumber(document, "height", kSize);
  document += " viewBox=\"0 0 " + std::to_string(kSize) + ' ' + std::to_string(kSize) + '"';
  document +=
      " shape-rendering=\"crispEdges\""
      " font-family=\"Arial, Helvetica, 'Liberation Sans', sans-serif\"";
  document += " font-size=\"" + std::to_string(kFontPx) + "px\">\n";
  document += body_;
  document += "</svg>\n";
  return document;
}

std::int32_t SvgSurface::TextWidth(std::string_view text, bool bold) {
  const auto& advances = bold ? kBoldAdvance : kRegularAdvance;
  std::int64_t thousandths = 0;
  for (std::size_t pos = 0; pos < text.size();) {
    const char32_t c = utf8::DecodeUtf8(text, pos);
    if (c >= 0x20 && c <= 0x7E) {
      thousandths += advances[static_cast<std::size_t>(c - 0x20)];
    } else {
      thousandths += IsWide(c) ? kWideAdvance : kOtherAdvance;
    }
  }
  // Round up so that the white box never falls short of the glyphs.
  const std::int64_t pixels = (thousandths * kFontPx + 999) / 1000;
  return static_cast<std::int32_t>(std::min<std::int64_t>(pixels, INT32_MAX));
}

void SvgSurface::FillPixels(std::int64_t x, std::int64_t y, std::int64_t w, std::int64_t h) {
  const std::int64_t x0 = std::max<std::int64_t>(x, 0);
  const std::int64_t y0 = std::max<std::int64_t>(y, 0);
  const std::int64_t x1 = std::min<std::int64_t>(x + w, kSize);
  const std::int64_t y1 = std::min<std::int64_t>(y + h, kSize);
  if (x0 >= x1 || y0 >= y1) return;
  body_ += "<rect";
  AppendNumber(body_, "x", x0);
  AppendNumber(body_, "y", y0);
  AppendNumber(body_, "width", x1 - x0);
  AppendNumber(body_, "height", y1 - y0);
  body_ += " fill=\"#000\"/>\n";
}

}  // namespace velmora
