#include "presentation/reading_writer.h"

#include <string>
#include <string_view>

#include "presentation/star_tables.h"

namespace velmora {

namespace {

constexpr std::string_view kPlaceLabel = "Place:";
constexpr std::string_view kStarsLabel = "Stars:";
constexpr std::int32_t kLabelLength = 6;  // "Place:" and "Stars:" alike
static_assert(kPlaceLabel.size() == kLabelLength && kStarsLabel.size() == kLabelLength);

// Box positions count characters, not bytes: every byte but a UTF-8 continuation byte starts one.
std::int32_t CharacterCount(std::string_view text) {
  std::int32_t count = 0;
  for (const char c : text) {
    if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) ++count;
  }
  return count;
}

// Appends a Place or Stars line, colours all of it, its line break included, then makes its
// six-character label bold; the rest keeps the regular weight it inherited.
void AppendHeading(RichTextBox& box, std::string_view line, ColorValue color) {
  const std::int32_t start = box.EndPosition();
  box.AppendLine(line);
  box.Select(start, box.EndPosition() - start);
  box.SetSelectionColor(color);
  box.Select(start, kLabelLength);
  box.SetSelectionBold(true);
}

}  // namespace

// Only the label of a star line is formatted: the description after it carries on in the
// colour and weight of the Stars line, as does the empty line that closes the block. A row
// outside the table writes nothing.
void PalaceBlock(const DisplayTable& table, std::int32_t row, RichTextBox& box) {
  if (row < 0 || row >= kPalaceRows) return;
  const auto& entries = table.rows[static_cast<std::size_t>(row)];
  std::string line;
  line.reserve(kStarTextField + kStarNameField + 1);

  line.assign(kPlaceLabel).append(StarName(entries[0]));
  AppendHeading(box, line, kColorRed);
  box.AppendLine(StarText(entries[0]));

  line.assign(kStarsLabel);
  bool first = true;
  for (std::int32_t k = 1; k < kDisplayEntries; ++k) {
    const ItemCode star = entries[static_cast<std::size_t>(k)];
    if (star == code::Empty) continue;
    if (!first) line += ',';
    line += StarName(star);
    first = false;
  }
  AppendHeading(box, line, kColorBlue);

  for (std::int32_t k = 1; k < kDisplayEntries; ++k) {
    const ItemCode star = entries[static_cast<std::size_t>(k)];
    if (star == code::Empty) continue;
    line.assign(StarName(star)).append(":");
    const std::int32_t labelLength = CharacterCount(line);
    line += StarText(star);
    const std::int32_t start = box.EndPosition();
    box.AppendLine(line);
    box.Select(start, labelLength);
    box.SetSelectionColor(kColorMaroon);
    box.SetSelectionBold(true);
  }

  box.AppendLine({});
}

// Starts at the Life palace and goes round the branches in rising order, 12 being followed by
// 1. A table without a Life palace has not been built from a chart and gives no reading.
void WriteReading(const DisplayTable& table, RichTextBox& box) {
  std::int32_t row = LifeRow(table);
  if (row == 0) return;
  box.SetFocus();
  box.SetWordWrap(false);
  for (std::int32_t n = 0; n < 12; ++n) {
    PalaceBlock(table, row, box);
    row = WrapAdd(row, 12, 1);
  }
  box.SetWordWrap(true);
}

}  // namespace velmora
