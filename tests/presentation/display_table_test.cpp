#include "presentation/display_table.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <initializer_list>
#include <vector>

#include "calendar/date_time.h"

namespace velmora {
namespace {

using Row = std::array<ItemCode, kDisplayEntries>;

// The palace name NamedChart gives to a branch.
constexpr ItemCode NameOf(std::int32_t branch) {
  return code::Life + branch - 1;
}

// A chart whose palaces hold only their names (Life on branch 1, the others following) and
// their stems, as a computed chart has them before any star is placed.
PalaceChart NamedChart() {
  PalaceChart chart;
  for (std::int32_t b = 1; b < kPalaceRows; ++b) {
    chart.grid[static_cast<std::size_t>(b)][kNameSlot] = NameOf(b);
    chart.grid[static_cast<std::size_t>(b)][kStemSlot] = StemCode(b);
  }
  return chart;
}

// Writes codes into consecutive slots of a palace, starting at `firstSlot`.
void Fill(PalaceChart& chart, std::int32_t branch, std::int32_t firstSlot,
          std::initializer_list<ItemCode> codes) {
  auto& slots = chart.grid[static_cast<std::size_t>(branch)];
  for (const ItemCode c : codes) slots[static_cast<std::size_t>(firstSlot++)] = c;
}

DisplayTable Build(const PalaceChart& chart) {
  DisplayTable table;
  ClearDisplayTable(table);
  BuildDisplayTable(chart, table);
  return table;
}

Row RowOf(const DisplayTable& table, std::int32_t branch) {
  return table.rows[static_cast<std::size_t>(branch)];
}

TEST(IsDisplayable, TakesPalaceNamesStarsAndTheFourMinorStarsOnly) {
  struct Case {
    ItemCode code;
    bool displayable;
  };
  constexpr Case kCases[] = {
      {0, false},  {1, false},  {10, false}, {11, false}, {22, false},  {23, true},
      {34, true},  {35, false}, {36, true},  {49, true},  {50, true},   {63, true},
      {64, false}, {69, false}, {70, true},  {71, true},  {72, false},  {85, false},
      {86, true},  {87, true},  {88, false}, {-1, false}, {-23, false},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.code);
    EXPECT_EQ(IsDisplayable(c.code), c.displayable);
  }
  std::int32_t count = 0;
  for (ItemCode c = -100; c <= 200; ++c) count += IsDisplayable(c) ? 1 : 0;
  EXPECT_EQ(count, 44);
}

TEST(ClearDisplayTable, ZeroesAllEntriesIncludingRowZero) {
  DisplayTable table;
  for (auto& row : table.rows) row.fill(code::King);
  ClearDisplayTable(table);
  for (const Row& row : table.rows) EXPECT_EQ(row, Row{});
}

TEST(BuildDisplayTable, APalaceWithOnlyItsNameGivesJustTheName) {
  const DisplayTable table = Build(NamedChart());
  for (std::int32_t b = 1; b < kPalaceRows; ++b) {
    SCOPED_TRACE(b);
    EXPECT_EQ(RowOf(table, b), (Row{NameOf(b)}));
  }
  EXPECT_EQ(RowOf(table, 0), Row{});
}

TEST(BuildDisplayTable, KeepsSlotOrderAndSkipsEmptySlots) {
  PalaceChart chart = NamedChart();
  Fill(chart, 6, 2, {code::Moon, 0, code::King, 0, 0, code::Belle, code::Intellect});
  EXPECT_EQ(RowOf(Build(chart), 6),
            (Row{NameOf(6), code::Moon, code::King, code::Belle, code::Intellect}));
}

TEST(BuildDisplayTable, KeepsTheFirstTenDisplayableCodesOfAPalace) {
  PalaceChart chart = NamedChart();
  // Twelve stars after name and stem: only the first nine of them fit beside the name.
  Fill(chart, 5, 2, {36, 37, 38, 39, 40, 41, 42, 43, 44, 45, code::Army, code::Festival});
  EXPECT_EQ(RowOf(Build(chart), 5), (Row{NameOf(5), 36, 37, 38, 39, 40, 41, 42, 43, 44}));
}

TEST(BuildDisplayTable, LooksAtSlotsZeroToSixteenOnly) {
  PalaceChart chart;
  Fill(chart, 9, 15, {code::Warrior, code::Sun, code::King, code::Wit});  // slots 15..18
  chart.grid[9][kSlotsPerPalace - 1] = code::Moon;
  chart.grid[0][2] = code::Lucky;  // row 0 is never looked at either
  const DisplayTable table = Build(chart);
  EXPECT_EQ(RowOf(table, 9), (Row{code::Warrior, code::Sun}));
  EXPECT_EQ(RowOf(table, 0), Row{});
}

TEST(BuildDisplayTable, NeverShowsStemsBranchesOrUnknownCodes) {
  PalaceChart chart = NamedChart();
  // Slot 1 holds the stem already; fill the rest of slots 2..16 with codes nobody shows,
  // except the four minor stars, which are shown.
  Fill(chart, 3, 2,
       {10, 11, code::Punishment, 22, 35, code::Dissolute, 64, 69, code::Belle, 72, 85,
        code::Festival, 88, -1, 1000});
  EXPECT_EQ(RowOf(Build(chart), 3),
            (Row{NameOf(3), code::Punishment, code::Dissolute, code::Belle, code::Festival}));
}

TEST(BuildDisplayTable, BuildingTwiceWithoutClearingAppends) {
  PalaceChart chart = NamedChart();
  Fill(chart, 2, 2, {code::Wit, code::Sun});
  Fill(chart, 8, 2, {36, 37, 38, 39, 40, 41});
  DisplayTable table;
  ClearDisplayTable(table);
  BuildDisplayTable(chart, table);
  BuildDisplayTable(chart, table);
  EXPECT_EQ(RowOf(table, 2),
            (Row{NameOf(2), code::Wit, code::Sun, NameOf(2), code::Wit, code::Sun}));
  // Seven codes twice: the second build fills the row up to ten and drops the rest.
  EXPECT_EQ(RowOf(table, 8), (Row{NameOf(8), 36, 37, 38, 39, 40, 41, NameOf(8), 36, 37}));
}

TEST(LifeRow, IsFoundByEntryZeroAlone) {
  DisplayTable table;
  ClearDisplayTable(table);
  EXPECT_EQ(LifeRow(table), 0);
  table.rows[7][0] = code::Life;
  table.rows[3][1] = code::Life;  // a Life code that is not a palace name does not count
  EXPECT_EQ(LifeRow(table), 7);
  table.rows[0][0] = code::Life;  // row 0 is no palace
  EXPECT_EQ(LifeRow(table), 7);
  table.rows[11][0] = code::Life;  // two would-be Life rows: the last wins
  EXPECT_EQ(LifeRow(table), 11);
}

TEST(LifeRow, IgnoresTheChartsOwnCalendar) {
  PalaceChart chart;
  chart.calendar.lunarMonth = 1;
  chart.calendar.hourBranch = 1;  // would put Life on branch 3
  chart.grid[10][kNameSlot] = code::Life;
  EXPECT_EQ(LifeRow(Build(chart)), 10);
}

TEST(SharedDisplayTable, TheNoArgumentFormsWorkOnTheOneTable) {
  PalaceChart chart = NamedChart();
  Fill(chart, 4, 2, {code::Army});
  ClearDisplayTable();
  BuildDisplayTable(chart);
  EXPECT_EQ(SharedDisplayTable().rows[4], (Row{NameOf(4), code::Army}));
  EXPECT_EQ(LifeRow(), 1);
  ClearDisplayTable();
  for (const Row& row : SharedDisplayTable().rows) EXPECT_EQ(row, Row{});
}

PalaceChart ComputedChart(std::int32_t y, std::int32_t m, std::int32_t d, std::int32_t hh,
                          std::int32_t mm) {
  PalaceChart chart;
  chart.SetBirthMoment(EncodeDate(y, m, d) + EncodeTime(hh, mm));
  chart.ComputeChart();
  return chart;
}

TEST(BuildDisplayTable, TheChartOfFourthFebruary2000At2300) {
  const DisplayTable table = Build(ComputedChart(2000, 2, 4, 23, 0));
  const Row kExpected[kPalaceRows] = {
      {},
      {25, 44},
      {24, 40, 45, 62, 71},
      {23, 39, 46, 54},
      {34, 38, 47},
      {33, 48, 51, 52},
      {32, 37, 87},
      {31, 36},
      {30, 63, 61},
      {29, 49, 58, 59},
      {28, 60, 70},
      {27, 41, 42, 50, 53, 55},
      {26, 43, 56, 57, 86},
  };
  for (std::int32_t b = 0; b < kPalaceRows; ++b) {
    SCOPED_TRACE(b);
    EXPECT_EQ(RowOf(table, b), kExpected[b]);
  }
  EXPECT_EQ(LifeRow(table), 3);
}

// Over births spread through the supported range, the table is exactly the displayable codes
// of slots 0..16 in slot order (the limits never bite), every palace is named once, and the
// Life row is the palace where the chart put Life.
TEST(BuildDisplayTable, RealChartsFitTheTableWithoutLoss) {
  const TDateTime first = EncodeDate(1902, 1, 1);
  const TDateTime last = EncodeDate(2051, 12, 30);
  std::int32_t charts = 0;
  for (TDateTime t = first; t < last; t += 7.37) {
    PalaceChart chart;
    chart.SetBirthMoment(t);
    chart.ComputeChart();
    const DisplayTable table = Build(chart);
    ++charts;
    std::array<std::int32_t, kPalaceRows> named{};
    for (std::int32_t b = 1; b < kPalaceRows; ++b) {
      std::vector<ItemCode> expected;
      for (std::int32_t s = 0; s < kDisplaySlotsScanned; ++s) {
        const ItemCode c = chart.grid[static_cast<std::size_t>(b)][static_cast<std::size_t>(s)];
        if (IsDisplayable(c)) expected.push_back(c);
      }
      ASSERT_LE(expected.size(), static_cast<std::size_t>(kDisplayEntries)) << "at " << t;
      expected.resize(kDisplayEntries, code::Empty);
      const Row row = RowOf(table, b);
      ASSERT_EQ(std::vector<ItemCode>(row.begin(), row.end()), expected)
          << "branch " << b << " at " << t;
      ASSERT_GE(row[0], code::Life);
      ASSERT_LE(row[0], code::Parents);
      ++named[static_cast<std::size_t>(row[0] - code::Life)];
    }
    for (std::int32_t b = 0; b < 12; ++b) ASSERT_EQ(named[static_cast<std::size_t>(b)], 1);
    ASSERT_EQ(LifeRow(table), chart.PalaceOf(code::Life)) << "at " << t;
  }
  EXPECT_GT(charts, 7000);
}

}  // namespace
}  // namespace velmora
