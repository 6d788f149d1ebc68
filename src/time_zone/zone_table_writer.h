#pragma once

#include <string>

namespace velmora {

// The zone table that TableZones reads, written from the system's database as SystemZone reads
// it: every name SystemZoneNames gives, each zone's offsets from its first record until 2053.
// Zones whose histories are the same (an old name and its current one) share one.
std::string ZoneTableBytes();

}  // namespace velmora
