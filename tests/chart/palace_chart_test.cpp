#include "chart/palace_chart.h"

#include <gtest/gtest.h>

#include <vector>

namespace velmora {
namespace {

TEST(PlaceItem, FirstFreeFillsTheLowestEmptySlot) {
  PalaceChart chart;
  chart.PlaceItem(code::Life, 4, kNameSlot);
  chart.PlaceItem(5, 4, kStemSlot);
  chart.PlaceItem(code::King, 4, kFirstFree);
  chart.PlaceItem(code::Wit, 4, kFirstFree);
  EXPECT_EQ(chart.grid[4][2], code::King);
  EXPECT_EQ(chart.grid[4][3], code::Wit);
}

TEST(PlaceItem, ZeroWithFirstFreeChangesNothing) {
  PalaceChart chart;
  chart.PlaceItem(code::Life, 4, kNameSlot);
  const SlotGrid before = chart.grid;
  chart.PlaceItem(code::Empty, 4, kFirstFree);
  EXPECT_EQ(chart.grid, before);
}

TEST(PlaceItem, AFullPalaceDropsTheItemSilently) {
  PalaceChart chart;
  for (std::int32_t s = 0; s < kSlotsPerPalace; ++s) chart.PlaceItem(code::King, 7, s);
  const SlotGrid before = chart.grid;
  chart.PlaceItem(code::Army, 7, kFirstFree);
  EXPECT_EQ(chart.grid, before);
}

TEST(PlaceItem, AnExplicitSlotReplacesWhatItHeld) {
  PalaceChart chart;
  chart.PlaceItem(code::King, 2, 5);
  chart.PlaceItem(code::Army, 2, 5);
  EXPECT_EQ(chart.grid[2][5], code::Army);
}

TEST(PlaceItem, PlacesOutsideTheGridAreIgnored) {
  PalaceChart chart;
  for (std::int32_t branch : {-1, 0, 13, 1000}) chart.PlaceItem(code::King, branch, kFirstFree);
  for (std::int32_t slot : {-2, 27, 1000}) chart.PlaceItem(code::King, 3, slot);
  EXPECT_EQ(chart.grid, SlotGrid{});
}

TEST(PalaceOf, FindsTheFirstRowHoldingTheCode) {
  PalaceChart chart;
  chart.PlaceItem(code::King, 9, 2);
  chart.PlaceItem(code::King, 4, 20);
  EXPECT_EQ(chart.PalaceOf(code::King), 4);
  EXPECT_EQ(chart.PalaceOf(code::Army), 0);
}

struct CountCase {
  std::int32_t start, n;
  bool forward;
  std::int32_t expected;
};

TEST(CountFrom, CountsTheStartAsTheFirstPlace) {
  const CountCase cases[] = {
      {3, 1, true, 3},  {3, 12, true, 2}, {11, 5, false, 7}, {1, 2, false, 12},
      {12, 2, true, 1}, {5, 13, true, 5}, {5, 25, false, 5}, {1, 0, true, 12},
  };
  for (const CountCase& c : cases) {
    EXPECT_EQ(PalaceChart::CountFrom(c.start, c.n, c.forward), c.expected)
        << c.start << " " << c.n << " " << (c.forward ? "forward" : "backward");
  }
}

// The whole grid of a birth on 4 February 2000 at 23:00, the evening before the lunar new year.
TEST(ComputeChart, FillsTheNewYearEveOf2000SlotBySlot) {
  PalaceChart chart;
  chart.SetBirthMoment(EncodeDate(2000, 2, 4) + EncodeTime(23, 0));
  chart.ComputeChart();

  EXPECT_EQ(chart.calendar.yearStem, 7);
  EXPECT_EQ(chart.calendar.yearBranch, 5);
  EXPECT_EQ(chart.calendar.yearStemCode, 7);
  EXPECT_EQ(chart.calendar.lunarMonth, 1);
  EXPECT_EQ(chart.calendar.lunarDay, 1);
  EXPECT_EQ(chart.calendar.hourBranch, 1);
  EXPECT_EQ(chart.bureau, 5);

  const std::vector<std::vector<ItemCode>> rows = {
      {},
      {25, 5, 44},
      {24, 6, 40, 45, 62, 71},
      {23, 5, 39, 46, 54},
      {34, 6, 38, 47},
      {33, 7, 48, 51, 52},
      {32, 8, 37, 87},
      {31, 9, 36},
      {30, 10, 63, 61},
      {29, 1, 49, 58, 59},
      {28, 2, 60, 70},
      {27, 3, 41, 42, 50, 53, 55},
      {26, 4, 43, 56, 57, 86},
  };
  for (std::size_t branch = 0; branch < rows.size(); ++branch) {
    SCOPED_TRACE(testing::Message() << "branch " << branch);
    for (std::size_t slot = 0; slot < kSlotsPerPalace; ++slot) {
      const ItemCode expected = slot < rows[branch].size() ? rows[branch][slot] : 0;
      EXPECT_EQ(chart.grid[branch][slot], expected) << "slot " << slot;
    }
  }
}

TEST(ComputeChart, DependsOnlyOnTheBirthMoment) {
  PalaceChart first;
  first.SetBirthMoment(EncodeDate(1977, 8, 19) + EncodeTime(6, 45));
  first.ComputeChart();
  PalaceChart second = first;
  second.SetBirthMoment(EncodeDate(2031, 3, 2) + EncodeTime(17, 5));
  second.ComputeChart();
  second.SetBirthMoment(EncodeDate(1977, 8, 19) + EncodeTime(6, 45));
  second.ComputeChart();
  EXPECT_EQ(first.grid, second.grid);
  EXPECT_EQ(first.bureau, second.bureau);
}

TEST(ComputeChart, ClearsEverythingAnEarlierPlacementLeft) {
  PalaceChart fresh;
  fresh.SetBirthMoment(EncodeDate(1990, 10, 3) + EncodeTime(8, 15));
  fresh.ComputeChart();

  PalaceChart reused;
  for (std::int32_t branch = 1; branch <= 12; ++branch) {
    reused.PlaceItem(code::Army, branch, kSlotsPerPalace - 1);
    for (std::int32_t n = 0; n < 5; ++n) reused.PlaceItem(code::King, branch, kFirstFree);
  }
  reused.SetBirthMoment(EncodeDate(1990, 10, 3) + EncodeTime(8, 15));
  reused.ComputeChart();
  EXPECT_EQ(reused.grid, fresh.grid);
  // Emptying a slot by hand through PlaceItem lets first-free placement reuse it.
  reused.PlaceItem(code::Empty, 3, 0);
  reused.PlaceItem(code::Army, 3, kFirstFree);
  EXPECT_EQ(reused.grid[3][0], code::Army);
}

// A grid filled to the last slot of every row, row 0 too and written straight into the slots,
// comes out of a computation exactly as a fresh chart does: the clear reaches every slot.
TEST(ComputeChart, ClearsEverySlotOfEveryRow) {
  PalaceChart fresh;
  fresh.SetBirthMoment(EncodeDate(2033, 11, 1) + EncodeTime(23, 30));
  fresh.ComputeChart();

  PalaceChart filled;
  for (PalaceSlots& row : filled.grid) row.fill(code::Festival);
  filled.SetBirthMoment(EncodeDate(2033, 11, 1) + EncodeTime(23, 30));
  filled.ComputeChart();
  EXPECT_EQ(filled.grid, fresh.grid);
}

}  // namespace
}  // namespace velmora
