#pragma once

#include <cstdint>
#include <string_view>

namespace velmora {

// A colour value with red in the low byte, then green, then blue.
using ColorValue = std::uint32_t;
inline constexpr ColorValue kColorBlack = 0x000000;
inline constexpr ColorValue kColorRed = 0x0000FF;
inline constexpr ColorValue kColorBlue = 0xFF0000;
inline constexpr ColorValue kColorMaroon = 0x000080;

constexpr std::uint8_t RedOf(ColorValue c) {
  return static_cast<std::uint8_t>(c & 0xFF);
}
constexpr std::uint8_t GreenOf(ColorValue c) {
  return static_cast<std::uint8_t>((c >> 8) & 0xFF);
}
constexpr std::uint8_t BlueOf(ColorValue c) {
  return static_cast<std::uint8_t>((c >> 16) & 0xFF);
}

// The rich-text box the reading is written into. Positions count characters of the box's text,
// a line break counting as one character. A line appended at the end takes the colour and
// weight of the character just before it (the previous line break); the first line of an empty
// box takes the box's own format: black and regular.
class RichTextBox {
 public:
  virtual ~RichTextBox() = default;

  virtual void SetFocus() = 0;
  virtual void SetWordWrap(bool on) = 0;
  // Appends `line` (UTF-8, no line breaks) followed by a line break.
  virtual void AppendLine(std::string_view line) = 0;
  // The position just after the last character, i.e. the number of characters in the box.
  virtual std::int32_t EndPosition() const = 0;
  virtual void Select(std::int32_t start, std::int32_t length) = 0;
  virtual void SetSelectionColor(ColorValue color) = 0;
  // Bold makes the style exactly bold; regular clears it.
  virtual void SetSelectionBold(bool bold) = 0;
};

}  // namespace velmora
