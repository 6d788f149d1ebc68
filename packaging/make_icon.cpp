// Writes the application icon as a PNG of a given size, for the icon theme.
#include <QString>

#include <cstdio>
#include <cstdlib>

#include "qt_drawing/app_icon.h"

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
  if (!velmora::DrawAppIcon(size).save(QString::fromLocal8Bit(argv[2]), "PNG")) {
    std::fprintf(stderr, "make_icon: cannot write %s\n", argv[2]);
    return 1;
  }
  return 0;
}
