#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "presentation/drawing_surface.h"

namespace velmora {

// A drawing surface that records the board as a standalone 401 x 401 SVG document, for export.
// Lines become one-pixel black rectangles on the pixel grid, so they stay crisp and leave out
// their end points exactly as a bitmap would. Names are set in an 8-point sans-serif face on a
// white box the size of the text, their top-left corner at the given point.
class SvgSurface final : public DrawingSurface {
 public:
  static constexpr std::int32_t kSize = kBoardImageSize;
  static constexpr std::int32_t kFontPx = 11;        // 8 points at 96 pixels per inch
  static constexpr std::int32_t kAscentPx = 10;      // top of the box to the baseline
  static constexpr std::int32_t kLineHeightPx = 13;  // height of the box behind a name

  // A new surface is already cleared to white.
  SvgSurface();

  void Clear() override;
  void MoveTo(std::int32_t x, std::int32_t y) override;
  void LineTo(std::int32_t x, std::int32_t y) override;
  void SetBold(bool bold) override;
  // Text that is not valid UTF-8, or holds control characters, is drawn with U+FFFD in their
  // place so that the document always stays well-formed.
  void TextOut(std::int32_t x, std::int32_t y, std::string_view text) override;

  // The whole document, from the XML declaration to the closing tag.
  std::string Document() const;

  // The approximate advance of `text` in pixels at the surface's font size.
  static std::int32_t TextWidth(std::string_view text, bool bold);

 private:
  std::string body_;  // the elements drawn since the last Clear, in drawing order
  std::int32_t penX_ = 0;
  std::int32_t penY_ = 0;
  bool bold_ = false;
};

}  // namespace velmora
