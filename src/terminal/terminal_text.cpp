#include "terminal/terminal_text.h"

#include <sys/ioctl.h>
#include <unistd.h>

#include <cstddef>

namespace velmora {

std::string WrapToWidth(std::string_view text, int width) {
  std::string out(text);
  if (width < 1) return out;
  int column = 0;             // columns taken on the current line
  std::size_t lastSpace = 0;  // where in `out` the last space of the current line is
  int columnAfterSpace = -1;  // columns up to and including that space; -1: none yet
  for (std::size_t i = 0; i < out.size(); ++i) {
    const auto c = static_cast<unsigned char>(out[i]);
    if (c == '\n') {
      column = 0;
      columnAfterSpace = -1;
      continue;
    }
    if (c == 0x1B && i + 1 < out.size() && out[i + 1] == '[') {
      // A control sequence: parameters, then one final byte from '@' to '~'.
      i += 2;
      while (i < out.size() && (out[i] < '@' || out[i] > '~')) ++i;
      continue;
    }
    if ((c & 0xC0) == 0x80) continue;  // the rest of a UTF-8 character
    ++column;
    if (c == ' ') {
      lastSpace = i;
      columnAfterSpace = column;
    }
    if (column > width && columnAfterSpace > 0 && c != ' ') {
      out[lastSpace] = '\n';
      column -= columnAfterSpace;
      columnAfterSpace = -1;
    }
  }
  return out;
}

int TerminalWidth() {
  winsize size{};
  if (::isatty(STDOUT_FILENO) != 1) return 0;
  if (::ioctl(STDOUT_FILENO, TIOCGWINSZ, &size) != 0) return 0;
  return size.ws_col;
}

}  // namespace velmora
