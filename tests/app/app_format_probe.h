#pragma once

#include <QColor>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include <ostream>

#include "presentation/rich_text_box.h"

namespace velmora::testing {

// The colour and weight of one character, as the reading rules speak of them.
struct Seen {
  ColorValue color = kColorBlack;
  bool bold = false;
  friend constexpr bool operator==(const Seen&, const Seen&) = default;
  friend std::ostream& operator<<(std::ostream& out, const Seen& s) {
    return out << "colour 0x" << std::hex << s.color << std::dec << (s.bold ? " bold" : " regular");
  }
};

inline Seen FromFormat(const QTextCharFormat& format) {
  const QColor c = format.foreground().color();
  const ColorValue value = static_cast<ColorValue>(c.red()) |
                           (static_cast<ColorValue>(c.green()) << 8) |
                           (static_cast<ColorValue>(c.blue()) << 16);
  return {value, format.fontWeight() >= QFont::Bold};
}

// The format of the character at `position`. A paragraph break is read as the format the next
// paragraph starts with, since that is where the document keeps it.
inline Seen FormatAt(const QTextDocument& document, int position) {
  const QTextBlock block = document.findBlock(position);
  if (position == block.position() + block.length() - 1)
    return FromFormat(block.next().charFormat());
  for (auto it = block.begin(); !it.atEnd(); ++it) {
    const QTextFragment fragment = it.fragment();
    if (position >= fragment.position() && position < fragment.position() + fragment.length()) {
      return FromFormat(fragment.charFormat());
    }
  }
  return {0xFFFFFFFF, false};  // no such character
}

}  // namespace velmora::testing
