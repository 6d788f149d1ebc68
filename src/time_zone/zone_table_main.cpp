// velmora-zone-table: writes the zone table of the system's time zone database to standard
// output, for the shells that cannot read the database themselves; run when the JavaScript
// package and the Python package are built. With --changes, writes every change of every zone
// from 1901 to 2052 as text instead, for the tests that sweep the shells over them.

#include <cstdio>
#include <cstring>
#include <string>

#include "time_zone/zone_table_writer.h"

int main(int argc, char** argv) {
  const bool changes = argc == 2 && std::strcmp(argv[1], "--changes") == 0;
  if (argc > 1 && !changes) {
    std::fputs("usage: velmora-zone-table [--changes]\n", stderr);
    return 2;
  }
  const std::string table = changes ? velmora::ZoneChangesText() : velmora::ZoneTableBytes();
  if (std::fwrite(table.data(), 1, table.size(), stdout) != table.size() ||
      std::fflush(stdout) != 0) {
    std::fputs("velmora-zone-table: cannot write the table to standard output\n", stderr);
    return 1;
  }
  return 0;
}
