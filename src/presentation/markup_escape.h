#pragma once

// One escaper for the markup the presentation writes, the reading's HTML and the board's SVG,
// in text and in attribute values alike: the five markup characters become references, and a
// character that the markup may not carry becomes U+FFFD, so that whatever text arrives the
// document stays well-formed.
#include <cstddef>
#include <string>
#include <string_view>

#include "presentation/utf8.h"

namespace velmora::markup {

// How one markup differs from the characters that every XML document may hold.
struct Dialect {
  std::string_view apostrophe;  // the reference written for '
  bool keepsTabAndLineBreak;    // tab and line break shown as they are
  bool keepsC1Controls;         // DEL and U+0080..U+009F
};

// The reading's XHTML: its white space is preserved, so tab and line break stay; DEL and the
// C1 controls go, since HTML counts them as errors.
inline constexpr Dialect kHtml = {"&#39;", true, false};
// An XML document such as the SVG board: the characters XML allows and no others.
inline constexpr Dialect kXml = {"&apos;", false, true};

// Whether `dialect` carries c as it is. Besides the dialect's own choices, an XML document
// holds no other C0 control, no surrogate and neither U+FFFE nor U+FFFF.
constexpr bool Carries(const Dialect& dialect, char32_t c) {
  if (c == U'\t' || c == U'\n') return dialect.keepsTabAndLineBreak;
  if (c >= 0x7F && c <= 0x9F) return dialect.keepsC1Controls;
  return (c >= 0x20 && c <= 0xD7FF) || (c >= 0xE000 && c <= 0xFFFD) ||
         (c >= 0x10000 && c <= 0x10FFFF);
}

inline void AppendEscaped(char32_t c, const Dialect& dialect, std::string& out) {
  switch (c) {
    case U'&':
      out += "&amp;";
      break;
    case U'<':
      out += "&lt;";
      break;
    case U'>':
      out += "&gt;";
      break;
    case U'"':
      out += "&quot;";
      break;
    case U'\'':
      out += dialect.apostrophe;
      break;
    default:
      utf8::EncodeUtf8(Carries(dialect, c) ? c : utf8::kReplacement, out);
  }
}

// UTF-8 text escaped; a byte that does not begin valid UTF-8 becomes one U+FFFD.
inline void AppendEscaped(std::string_view text, const Dialect& dialect, std::string& out) {
  for (std::size_t i = 0; i < text.size();) AppendEscaped(utf8::DecodeUtf8(text, i), dialect, out);
}

}  // namespace velmora::markup
