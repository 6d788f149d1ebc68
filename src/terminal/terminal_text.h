#pragma once

#include <string>
#include <string_view>

namespace velmora {

// Breaks every line of terminal text that is wider than `width` columns at its last space
// that fits, so that a paragraph of the reading wraps between words as in the window's report
// box instead of mid-word at the terminal's edge. The space becomes the line break; colour
// sequences (ESC [ ... m) take no columns, and each UTF-8 character takes one. A word wider
// than the line is left whole. A width below 1 leaves the text as it is.
std::string WrapToWidth(std::string_view text, int width);

// The width in columns of the terminal on standard output, or 0 when it is not a terminal or
// its width is unknown.
int TerminalWidth();

}  // namespace velmora
