#include "presentation/svg_surface.h"

#include "presentation/markup_escape.h"
#include "presentation/utf8.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>

namespace velmora {

namespace {

// The advances of a character in the regular and in the bold face, in thousandths of an em.
struct Advances {
  std::int16_t regular;
  std::int16_t bold;
};

// The advances of the printable ASCII characters, space to tilde, for the common
// Helvetica-shaped sans-serif faces; the white box behind a name is sized from them.
constexpr std::array<Advances, 95> kAsciiAdvances = {{
    {278, 278}, {278, 333}, {355, 474},  {556, 556}, {556, 556}, {889, 889},  // space ! " # $ %
    {667, 722}, {191, 238}, {333, 333},  {333, 333}, {389, 389}, {584, 584},  // & ' ( ) * +
    {278, 278}, {333, 333}, {278, 278},  {278, 278}, {556, 556}, {556, 556},  // , - . / 0 1
    {556, 556}, {556, 556}, {556, 556},  {556, 556}, {556, 556}, {556, 556},  // 2 3 4 5 6 7
    {556, 556}, {556, 556}, {278, 333},  {278, 333}, {584, 584}, {584, 584},  // 8 9 : ; < =
    {584, 584}, {556, 611}, {1015, 975}, {667, 722}, {667, 722}, {722, 722},  // > ? @ A B C
    {722, 722}, {667, 667}, {611, 611},  {778, 778}, {722, 722}, {278, 278},  // D E F G H I
    {500, 556}, {667, 722}, {556, 611},  {833, 833}, {722, 722}, {778, 778},  // J K L M N O
    {667, 667}, {778, 778}, {722, 722},  {667, 667}, {611, 611}, {722, 722},  // P Q R S T U
    {667, 667}, {944, 944}, {667, 667},  {667, 667}, {611, 611}, {278, 333},  // V W X Y Z [
    {278, 278}, {278, 333}, {469, 584},  {556, 556}, {333, 333}, {556, 556},  // \ ] ^ _ ` a
    {556, 611}, {500, 556}, {556, 611},  {556, 556}, {278, 333}, {556, 611},  // b c d e f g
    {556, 611}, {222, 278}, {222, 278},  {500, 556}, {222, 278}, {833, 889},  // h i j k l m
    {556, 611}, {556, 611}, {556, 611},  {556, 611}, {333, 389}, {500, 556},  // n o p q r s
    {278, 333}, {556, 611}, {500, 556},  {722, 778}, {500, 556}, {500, 556},  // t u v w x y
    {500, 500}, {334, 389}, {260, 280},  {334, 389}, {584, 584},              // z { | } ~
}};
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
  std::int64_t thousandths = 0;
  for (std::size_t pos = 0; pos < text.size();) {
    const char32_t c = utf8::DecodeUtf8(text, pos);
    if (c >= 0x20 && c <= 0x7E) {
      const Advances& ascii = kAsciiAdvances[static_cast<std::size_t>(c - 0x20)];
      thousandths += bold ? ascii.bold : ascii.regular;
    } else {
      thousandths += IsWide(c) ? kWideAdvance : kOtherAdvance;
    }
  }
  // Round up so that the white box never falls short of the glyphs.
  const std::int64_t pixels = (thousandths * kFontPx + 999) / 1000;
  return static_cast<std::int32_t>(std::min<std::int64_t>(pixels, INT32_MAX));
}

}  // namespace velmora
