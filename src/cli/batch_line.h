#pragma once

#include <string>
#include <string_view>

#include "casting/birth_input.h"
#include "casting/birth_place.h"

namespace velmora {

// A batch line's parts: the birth, its first one or two words (one when the date and time are
// joined by T) and the birth place words after them, and after a tab the line's identifier, the
// rest of the line without the blanks around it. Without a tab after the birth the whole line
// is the birth and `id` is empty. A line that starts with a tab followed by anything but a digit
// holds no birth, only its identifier: `birth` is then empty.
void SplitBatchLine(std::string_view line, std::string_view& birth, std::string_view& id);

// Whether a batch line holds no birth: blank, or a comment, its first word starting with "#".
bool IsSkippedLine(std::string_view line);

// The birth of a batch line: a date and a time as the readers take them, separated by spaces
// or tabs, with spaces or tabs allowed around them, or joined by T; then the birth place words:
// a time zone and a longitude, each optional, or the name of a city with its region and country
// as --place takes it ("Springfield, Illinois"); last, optionally, dst=on or dst=off for a clock
// time that came twice. A word is a zone when it has a zone's form (a "/" in it, or UTC) or,
// followed by nothing but a longitude, when `zones` knows it by that name (Japan, EST, ROC), as
// --zone would take it; other words name a city. Without `zones` only the form counts. The
// supported range is not checked here: a corrected birth is checked on its corrected moment.
bool ReadBirthLine(std::string_view line, BirthInput& birth, PlaceWords& place, std::string& error,
                   ZoneSource* zones = nullptr);

}  // namespace velmora
