#pragma once

#include <cstdint>
#include <string_view>

namespace velmora {

// The surface the chart painter draws on: a 401 x 401 bitmap with a one-pixel black pen, a
// white brush (which also fills the box behind every string) and an 8-point sans-serif font.
class DrawingSurface {
 public:
  virtual ~DrawingSurface() = default;

  // Fills the whole surface with the brush: white.
  virtual void Clear() = 0;
  virtual void MoveTo(std::int32_t x, std::int32_t y) = 0;
  // Draws from the pen to (x, y); the end point itself is not drawn; the pen stays there.
  virtual void LineTo(std::int32_t x, std::int32_t y) = 0;
  virtual void SetBold(bool bold) = 0;
  // Draws `text` (UTF-8) with its top-left corner at (x, y), on an opaque white box.
  virtual void TextOut(std::int32_t x, std::int32_t y, std::string_view text) = 0;
};

}  // namespace velmora
