// Prints the parts of velmora-cli's manual page that come from its options: the OPTIONS
// entries, then a line holding only "--", then the EXAMPLES. The build writes the page around
// them, so that the page and --help never differ.
#include <cstdio>

#include "cli/options.h"

int main() {
  const QByteArray parts =
      (velmora::ManPageOptions() + QStringLiteral("--\n") + velmora::ManPageExamples()).toUtf8();
  return std::fwrite(parts.constData(), 1, static_cast<std::size_t>(parts.size()), stdout) ==
                 static_cast<std::size_t>(parts.size())
             ? 0
             : 1;
}
