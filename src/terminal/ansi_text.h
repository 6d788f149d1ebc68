#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "presentation/rich_text_box.h"
#include "presentation/styled_text_buffer.h"

namespace velmora {

// How a reading is coloured for a terminal: not at all; with the sixteen standard terminal
// colours; with the fixed colours of the 256-colour palette on a white paper of its own, so that
// the reading is legible whatever the terminal's own colours, dark or light; or with exact
// 24-bit colour on the same paper.
enum class AnsiColors { kNone, kBasic16, kOnPaper, kTrueColor };

// The colours the terminal shows, as its environment says: exact colours where COLORTERM says
// so, the sixteen named colours on the Linux console (TERM=linux), which has no others, and the
// 256-colour palette's fixed ones otherwise.
AnsiColors TerminalColors(const char* colorTerm, const char* term);

// Terminal text of a styled box: each format change starts with one SGR sequence and every line
// that set a format ends with a reset, so no colour leaks past a line. Black, the box's own text
// colour, is printed in the terminal's own colour. Control characters other than tab and line
// break are shown as U+FFFD so that the text can never drive the terminal. With
// AnsiColors::kNone the result holds no escape byte at all.
std::string AnsiText(const StyledTextBuffer& box, AnsiColors mode);

// The reading for a terminal: the correction's sentence when there is one, the heading (bold
// where there is colour), then the reading in `mode`, wrapped between words to `width` columns
// when that is above 0, and on the paper of its own to the end of every line.
std::string TerminalReading(std::string_view correction, std::string_view heading,
                            const StyledTextBuffer& reading, AnsiColors mode, int width);

// The terminal colour index (30..37, 90..97) nearest to a colour, for 16-colour output.
std::int32_t NearestBasicColor(ColorValue color);

// The index 16..231 of the 256-colour palette's colour cube nearest to a colour, darkened step by
// step until it stands at least 4.5:1 against white paper.
std::int32_t PaperColor(ColorValue color);

}  // namespace velmora
