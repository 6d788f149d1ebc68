// velmora-zone-table: writes the zone table of the system's time zone database to standard
// output, for the shells that cannot read the database themselves; run when the JavaScript
// package and the Python package are built.

#include <cstdio>
#include <string>

#include "time_zone/zone_table_writer.h"

int main() {
  const std::string table = velmora::ZoneTableBytes();
  if (std::fwrite(table.data(), 1, table.size(), stdout) != table.size() ||
      std::fflush(stdout) != 0) {
    std::fputs("velmora-zone-table: cannot write the table to standard output\n", stderr);
    return 1;
  }
  return 0;
}
