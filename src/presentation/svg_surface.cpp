#include "presentation/svg_surface.h"

#include "presentation/markup_escape.h"
#include "presentation/utf8.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>

namespace velmora {

namespace {

// Advances of the printable ASCII characters (space to tilde) in thousandths of an em, for the
// common Helvetica-shaped sans-serif faces; the white box behind a name is sized from them.
// Nineteen characters a line: space to 2, 3 to E, F to X, Y to k, l to tilde.
// clang-format off
constexpr std::array<std::int16_t, 95> kRegularAdvance = {
    278, 278, 355, 556, 556, 889, 667, 191, 333, 333, 389, 584, 278, 333, 278, 278, 556, 556, 556,
    556, 556, 556, 556, 556, 556, 556, 278, 278, 584, 584, 584, 556, 1015, 667, 667, 722, 722, 667,
    611, 778, 722, 278, 500, 667, 556, 833, 722, 778, 667, 778, 722, 667, 611, 722, 667, 944, 667,
    667, 611, 278, 278, 278, 469, 556, 333, 556, 556, 500, 556, 556, 278, 556, 556, 222, 222, 500,
    222, 833, 556, 556, 556, 556, 333, 500, 278, 556, 500, 722, 500, 500, 500, 334, 260, 334, 584,
};
constexpr std::array<std::int16_t, 95> kBoldAdvance = {
    278, 333, 474, 556, 556, 889, 722, 238, 333, 333, 389, 584, 278, 333, 278, 278, 556, 556, 556,
    556, 556, 556, 556, 556, 556, 556, 333, 333, 584, 584, 584, 611, 975, 722, 722, 722, 722, 667,
    611, 778, 722, 278, 556, 722, 611, 833, 722, 778, 667, 778, 722, 667, 611, 722, 667, 944, 667,
    667, 611, 333, 278, 333, 584, 556, 333, 556, 611, 556, 611, 556, 333, 611, 611, 278, 278, 556,
    278, 889, 611, 611, 611, 611, 389, 556, 333, 611, 556, 778, 556, 556, 500, 389, 280, 389, 584,
};
// clang-format on
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
  const PixelRect line = LinePixels(penX_, penY_, x, y);
  penX_ = x;
  penY_ = y;
  if (line.Empty()) return;
  body_ += "<rect";
  AppendNumber(body_, "x", line.x);
  AppendNumber(body_, "y", line.y);
  AppendNumber(body_, "width", line.width);
  AppendNumber(body_, "height", line.height);
  body_ += " fill=\"#000\"/>\n";
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

}  // namespace velmora
