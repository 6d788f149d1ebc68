#include "presentation/chart_painter.h"

#include <cstddef>

#include "presentation/star_tables.h"

namespace velmora {

namespace {

// A cell lists the palace name and at most six stars; the rest are left to the reading.
constexpr std::int32_t kNamesPerCell = 7;
static_assert(kNamesPerCell <= kDisplayEntries);
constexpr std::int32_t kTextDx = 4;
constexpr std::int32_t kTextDy = 2;
constexpr std::int32_t kNameLineStep = 16;  // below the bold palace name
constexpr std::int32_t kStarLineStep = 14;  // below each star

}  // namespace

Point ChartPainter::CellOrigin(std::int32_t dx, std::int32_t dy, std::int32_t branch) const {
  // A branch outside 0..12 falls back to entry 0, the centre, where no palace lies.
  const bool known = branch >= 0 && branch < static_cast<std::int32_t>(CellPositionTable.size());
  const CellPosition cell = CellPositionTable[known ? static_cast<std::size_t>(branch) : 0];
  return {left + cell.column * columnWidth + dx, top + cell.row * rowHeight + dy};
}

void ChartPainter::DrawGrid() const {
  if (surface == nullptr) return;
  // Horizontal lines reach one pixel past the right edge so that the bottom line also fills
  // the corner pixel that the vertical lines leave out; the middle line spares the centre.
  for (std::int32_t i = 0; i <= 4; ++i) {
    const std::int32_t y = top + i * rowHeight;
    surface->MoveTo(left, y);
    if (i == 2) {
      surface->LineTo(left + columnWidth, y);
      surface->MoveTo(left + 3 * columnWidth, y);
    }
    surface->LineTo(left + width + 1, y);
  }
  for (std::int32_t i = 0; i <= 4; ++i) {
    const std::int32_t x = left + i * columnWidth;
    surface->MoveTo(x, top);
    if (i == 2) {
      surface->LineTo(x, top + rowHeight);
      surface->MoveTo(x, top + 3 * rowHeight);
    }
    surface->LineTo(x, top + height);
  }
}

void ChartPainter::DrawCellTexts(const DisplayTable& table) const {
  if (surface == nullptr) return;
  for (std::int32_t branch = 1; branch <= 12; ++branch) {
    const auto& row = table.rows[static_cast<std::size_t>(branch)];
    Point at = CellOrigin(kTextDx, kTextDy, branch);
    // Every line keeps its place and its style change whether or not it has a name, so a
    // cell's names always sit at the same heights.
    for (std::int32_t k = 0; k < kNamesPerCell; ++k) {
      surface->SetBold(k == 0);
      const ItemCode entry = row[static_cast<std::size_t>(k)];
      if (entry != code::Empty) surface->TextOut(at.x, at.y, StarName(entry));
      at.y += k == 0 ? kNameLineStep : kStarLineStep;
    }
  }
}

void ChartPainter::DrawChart(const DisplayTable& table) const {
  DrawGrid();
  DrawCellTexts(table);
}

}  // namespace velmora
