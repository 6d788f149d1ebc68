#pragma once

#include <QString>

#include "casting/birth_place.h"

namespace velmora {

// Casts every birth of the file at `path` ("-" for standard input) into JSON Lines on standard
// output, on `jobs` workers (0: one per core), each line corrected for `place` unless it names
// its own. Returns the exit status, after saying on standard error what went wrong, if anything.
int RunBatchRequest(const QString& path, int jobs, const PlaceRequest& place);

}  // namespace velmora
