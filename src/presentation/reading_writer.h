#pragma once

#include <cstdint>

#include "presentation/display_table.h"
#include "presentation/rich_text_box.h"

namespace velmora {

// Writes one palace block: the Place line, the palace description, the Stars line, one line
// per star and an empty line.
void PalaceBlock(const DisplayTable& table, std::int32_t row, RichTextBox& box);

// Writes the twelve palace blocks into an empty box, from the Life palace through rising
// branches, with word wrapping off while writing.
void WriteReading(const DisplayTable& table, RichTextBox& box);

}  // namespace velmora
