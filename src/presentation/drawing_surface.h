#pragma once

#include <algorithm>
#include <cstdint>
#include <string_view>
#include <utility>

namespace velmora {

inline constexpr std::int32_t kBoardImageSize = 401;  // the bitmap; the board's lines end at 400

// A block of pixels on the board's bitmap: columns x .. x + width - 1, rows y .. y + height - 1.
struct PixelRect {
  std::int32_t x = 0;
  std::int32_t y = 0;
  std::int32_t width = 0;
  std::int32_t height = 0;
  constexpr bool Empty() const { return width == 0 || height == 0; }
  friend constexpr bool operator==(const PixelRect&, const PixelRect&) = default;
};

// The pixels that a line from (x0, y0) to (x1, y1) sets: every pixel from the start up to the
// end point, which is left out so that lines drawn end to end meet without overlapping,
// clipped to the bitmap. The board is made of horizontal and vertical lines only, so a slanted
// line sets nothing, as does a line without length.
constexpr PixelRect LinePixels(std::int32_t x0, std::int32_t y0, std::int32_t x1, std::int32_t y1) {
  if ((x0 == x1) == (y0 == y1)) return {};
  // The pixels along one axis as a half-open range clipped to the bitmap: going forward they
  // start at the pen, going back they start one past the end point; an axis the line does not
  // move along holds the pen's pixel alone.
  const auto span = [](std::int64_t from, std::int64_t to) {
    const std::int64_t first = to < from ? to + 1 : from;
    const std::int64_t last = to > from ? to : from + 1;
    return std::pair{std::max<std::int64_t>(first, 0),
                     std::min<std::int64_t>(last, kBoardImageSize)};
  };
  const auto [left, right] = span(x0, x1);
  const auto [top, bottom] = span(y0, y1);
  if (left >= right || top >= bottom) return {};
  return {static_cast<std::int32_t>(left), static_cast<std::int32_t>(top),
          static_cast<std::int32_t>(right - left), static_cast<std::int32_t>(bottom - top)};
}

// The surface the chart painter draws on: a 401 x 401 bitmap with a one-pixel black pen, a
// white brush (which also fills the box behind every string) and an 8-point sans-serif font.
class DrawingSurface {
 public:
  virtual ~DrawingSurface() = default;

  // Fills the whole surface with the brush: white.
  virtual void Clear() = 0;
  virtual void MoveTo(std::int32_t x, std::int32_t y) = 0;
  // Draws from the pen to (x, y), the pixels of LinePixels; the pen stays at (x, y).
  virtual void LineTo(std::int32_t x, std::int32_t y) = 0;
  virtual void SetBold(bool bold) = 0;
  // Draws `text` (UTF-8) with its top-left corner at (x, y), on an opaque white box.
  virtual void TextOut(std::int32_t x, std::int32_t y, std::string_view text) = 0;
};

}  // namespace velmora
