// Writes the application icon as a PNG of a given size, for the icon theme.
#include <QString>

#include <cstdio>
#include <cstdlib>

#include "qt_drawing/app_icon.h"
#include "qt_drawing/board_file.h"

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: make_icon SIZE OUTPUT.png\n");
    return 2;
  }
  const int size = std::atoi(argv[1]);
  if (size < 16 || size > 1024) {
    std::fprintf(stderr, "make_icon: SIZE must be 16 to 1024 pixels\n");
    return 2;
  }
  QString reason;
  if (!velmora::WriteFileWhole(QString::fromLocal8Bit(argv[2]),
                               velmora::PngBytes(velmora::DrawAppIcon(size)), reason)) {
    std::fprintf(stderr, "make_icon: cannot write %s: %s\n", argv[2], qPrintable(reason));
    return 1;
  }
  return 0;
}
