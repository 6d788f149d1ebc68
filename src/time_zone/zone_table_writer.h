#pragma once

#include <string>

namespace velmora {

// The zone table that TableZones reads, written from the system's database as SystemZone reads
// it: every name SystemZoneNames gives, each zone's offsets from its first record until 2053.
// Zones whose histories are the same (an old name and its current one) share one.
std::string ZoneTableBytes();

// Every change of every zone from 1901 to 2052 as text, a line each: the zone's name, the
// change's instant in seconds since 1970, and the offset and standard offset after it, in
// seconds, separated by tabs. Tests sweep the shells that read the table over them.
std::string ZoneChangesText();

}  // namespace velmora
