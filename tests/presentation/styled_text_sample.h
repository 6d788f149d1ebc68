#pragma once

#include <cstdint>

#include "presentation/styled_text_buffer.h"

namespace velmora {

// Formats [start, start + length) in one colour and weight, as the reading writer does.
inline void Format(StyledTextBuffer& box, std::int32_t start, std::int32_t length, CharFormat f) {
  box.Select(start, length);
  box.SetSelectionColor(f.color);
  box.SetSelectionBold(f.bold);
}

// Two lines: "a<b" with "a" red bold, the rest red; then "&\"'>" inheriting red regular.
inline StyledTextBuffer MarkupSample() {
  StyledTextBuffer box;
  box.AppendLine("a<b");
  Format(box, 0, 4, {kColorRed, false});
  box.Select(0, 1);
  box.SetSelectionBold(true);
  box.AppendLine("&\"'>");
  return box;
}

}  // namespace velmora
