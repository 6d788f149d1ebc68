#pragma once

#include <array>
#include <cstdint>

#include "presentation/display_table.h"
#include "presentation/drawing_surface.h"

namespace velmora {

struct CellPosition {
  std::int32_t column;  // 0..3 from the left
  std::int32_t row;     // 0..3 from the top
};

// Where each branch's cell lies on the 4 x 4 board, as {column, row}; rising branches go
// clockwise from 子 at the bottom. Entry 0 only lets branch numbers index the table; then come
// 子 丑 寅 卯, 辰 巳 午 未 申, 酉 戌 亥, five a line.
// clang-format off
inline constexpr std::array<CellPosition, 13> CellPositionTable = {{
    {1, 1}, {2, 3}, {1, 3}, {0, 3}, {0, 2},
    {0, 1}, {0, 0}, {1, 0}, {2, 0}, {3, 0},
    {3, 1}, {3, 2}, {3, 3},
}};
// clang-format on

struct Point {
  std::int32_t x;
  std::int32_t y;
  friend constexpr bool operator==(const Point&, const Point&) = default;
};

// Draws the board and the names of its twelve outer cells.
struct ChartPainter {
  std::int32_t height = 400;
  std::int32_t width = 400;
  std::int32_t left = 0;
  std::int32_t top = 0;
  std::int32_t rowHeight = height / 4;
  std::int32_t columnWidth = width / 4;
  DrawingSurface* surface = nullptr;  // borrowed

  // A point offset (dx, dy) from the top-left corner of branch b's cell.
  Point CellOrigin(std::int32_t dx, std::int32_t dy, std::int32_t branch) const;
  void DrawGrid() const;
  // Draws entries 0..6 of every row: the palace name in bold, up to six stars in regular type.
  void DrawCellTexts(const DisplayTable& table) const;
  void DrawChart(const DisplayTable& table) const;
};

}  // namespace velmora
