#include <gtest/gtest.h>

#include <array>

#include "chart/palace_chart.h"

namespace velmora {
namespace {

PalaceChart WithFacts(std::int32_t yearStem, std::int32_t yearBranch, std::int32_t lunarMonth,
                      std::int32_t lunarDay, std::int32_t hourBranch) {
  PalaceChart chart;
  chart.calendar.yearStem = yearStem;
  chart.calendar.yearStemCode = yearStem;
  chart.calendar.yearBranch = yearBranch;
  chart.calendar.lunarMonth = lunarMonth;
  chart.calendar.lunarDay = lunarDay;
  chart.calendar.hourBranch = hourBranch;
  return chart;
}

// The slot a code stands in within its palace, or -1.
std::int32_t SlotOf(const PalaceChart& chart, ItemCode c) {
  const std::int32_t branch = chart.PalaceOf(c);
  if (branch == 0) return -1;
  for (std::int32_t s = 0; s < kSlotsPerPalace; ++s) {
    if (chart.grid[static_cast<std::size_t>(branch)][static_cast<std::size_t>(s)] == c) return s;
  }
  return -1;
}

struct LifeCase {
  std::int32_t month, hour, lifeBranch;
};

TEST(PalaceNames, LifeFollowsMonthForwardAndHourBackward) {
  const LifeCase cases[] = {{1, 1, 3}, {1, 2, 2}, {11, 1, 1}, {12, 12, 3}, {6, 9, 12}};
  for (const LifeCase& c : cases) {
    PalaceChart chart = WithFacts(1, 1, c.month, 1, c.hour);
    chart.PlacePalaceNames();
    SCOPED_TRACE(testing::Message() << "month " << c.month << " hour " << c.hour);
    EXPECT_EQ(chart.PalaceOf(code::Life), c.lifeBranch);
    for (std::int32_t i = 0; i < 12; ++i) {
      EXPECT_EQ(chart.grid[static_cast<std::size_t>(WrapInto(c.lifeBranch - i, 12))][kNameSlot],
                code::Life + i);
    }
  }
  PalaceChart chart = WithFacts(1, 1, 1, 1, 1);
  chart.PlacePalaceNames();
  EXPECT_EQ(chart.PalaceOf(code::Siblings), 2);
  EXPECT_EQ(chart.PalaceOf(code::Parents), 4);
  chart = WithFacts(1, 1, 6, 1, 9);
  chart.PlacePalaceNames();
  EXPECT_EQ(chart.PalaceOf(code::Health), 7);
}

TEST(PalaceStems, TenConsecutiveStemsFromTheTigerBranch) {
  // Rows: year stem codes 1..5 (6..10 give the same); columns: branches 1..12.
  const std::int32_t expected[5][12] = {
      {3, 4, 3, 4, 5, 6, 7, 8, 9, 10, 1, 2}, {5, 6, 5, 6, 7, 8, 9, 10, 1, 2, 3, 4},
      {7, 8, 7, 8, 9, 10, 1, 2, 3, 4, 5, 6}, {9, 10, 9, 10, 1, 2, 3, 4, 5, 6, 7, 8},
      {1, 2, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10},
  };
  for (std::int32_t stem = 1; stem <= 10; ++stem) {
    PalaceChart chart = WithFacts(stem, 1, 1, 1, 1);
    chart.PlacePalaceStems();
    for (std::int32_t b = 1; b <= 12; ++b) {
      EXPECT_EQ(chart.grid[static_cast<std::size_t>(b)][kStemSlot], expected[(stem - 1) % 5][b - 1])
          << "year stem " << stem << " branch " << b;
      EXPECT_EQ(chart.grid[static_cast<std::size_t>(b)][kStemSlot] % 2, b % 2);
    }
  }
}

TEST(Bureau, FollowsTheLifePalaceStemAndBranch) {
  // Rows: year stem codes 1..5 (6..10 give the same); columns: the Life palace's branch 1..12.
  const std::int32_t expected[5][12] = {
      {2, 2, 6, 6, 3, 3, 5, 5, 4, 4, 6, 6}, {6, 6, 5, 5, 4, 4, 3, 3, 2, 2, 5, 5},
      {5, 5, 3, 3, 2, 2, 4, 4, 6, 6, 3, 3}, {3, 3, 4, 4, 6, 6, 2, 2, 5, 5, 4, 4},
      {4, 4, 2, 2, 5, 5, 6, 6, 3, 3, 2, 2},
  };
  for (std::int32_t stem = 1; stem <= 10; ++stem) {
    for (std::int32_t life = 1; life <= 12; ++life) {
      // With hour branch 1 the Life palace lies on month + 2.
      PalaceChart chart = WithFacts(stem, 1, WrapInto(life - 2, 12), 1, 1);
      chart.PlacePalaceNames();
      chart.PlacePalaceStems();
      chart.ComputeBureau();
      ASSERT_EQ(chart.PalaceOf(code::Life), life);
      EXPECT_EQ(chart.bureau, expected[(stem - 1) % 5][life - 1])
          << "year stem " << stem << " Life on " << life;
    }
  }
}

TEST(MainStars, KingFollowsLunarDayAndBureau) {
  // King's branch by lunar day (rows 1..30) and bureau (columns 2..6).
  const std::int32_t expected[30][5] = {
      {2, 5, 12, 7, 10}, {3, 2, 5, 12, 7},    {3, 3, 2, 5, 12},  {4, 6, 3, 2, 5},
      {4, 3, 1, 3, 2},   {5, 4, 6, 8, 3},     {5, 7, 3, 1, 11},  {6, 4, 4, 6, 8},
      {6, 5, 2, 3, 1},   {7, 8, 7, 4, 6},     {7, 5, 4, 9, 3},   {8, 6, 5, 2, 4},
      {8, 9, 3, 7, 12},  {9, 6, 8, 4, 9},     {9, 7, 5, 5, 2},   {10, 10, 6, 10, 7},
      {10, 7, 4, 3, 4},  {11, 8, 9, 8, 5},    {11, 11, 6, 5, 1}, {12, 8, 7, 6, 10},
      {12, 9, 5, 11, 3}, {1, 12, 10, 4, 8},   {1, 9, 7, 9, 5},   {2, 10, 8, 6, 6},
      {2, 1, 6, 7, 2},   {3, 10, 11, 12, 11}, {3, 11, 8, 5, 4},  {4, 2, 9, 10, 9},
      {4, 11, 7, 7, 6},  {5, 12, 12, 8, 7},
  };
  for (std::int32_t day = 1; day <= 30; ++day) {
    for (std::int32_t bureau = 2; bureau <= 6; ++bureau) {
      PalaceChart chart = WithFacts(1, 1, 1, day, 1);
      chart.bureau = bureau;
      chart.PlaceStars();
      const std::int32_t king = expected[day - 1][bureau - 2];
      ASSERT_EQ(chart.PalaceOf(code::King), king) << "day " << day << " bureau " << bureau;
      // The group lies backward from King with gaps at K-2, K-6 and K-7.
      EXPECT_EQ(chart.PalaceOf(code::Wit), WrapInto(king - 1, 12));
      EXPECT_EQ(chart.PalaceOf(code::Sun), WrapInto(king - 3, 12));
      EXPECT_EQ(chart.PalaceOf(code::Warrior), WrapInto(king - 4, 12));
      EXPECT_EQ(chart.PalaceOf(code::Lucky), WrapInto(king - 5, 12));
      EXPECT_EQ(chart.PalaceOf(code::Chastity), WrapInto(king - 8, 12));
      // Treasury mirrors King and its group runs forward with gaps at T+7..T+9.
      const std::int32_t treasury = WrapInto(6 - king, 12);
      const ItemCode group[] = {42, 43, 44, 45, 46, 47, 48, 0, 0, 0, 49};
      for (std::int32_t i = 0; i < 11; ++i) {
        if (group[i] == 0) continue;
        EXPECT_EQ(chart.PalaceOf(group[i]), WrapInto(treasury + i, 12));
      }
    }
  }
}

TEST(MainStars, KingAndTreasuryShareThePalaceOnBranchesThreeAndNine) {
  for (std::int32_t day : {3, 15}) {  // bureau 3: King on 3, then on 7; bureau 5 day 9: 3
    PalaceChart chart = WithFacts(1, 1, 1, day, 1);
    chart.PlacePalaceNames();
    chart.PlacePalaceStems();
    chart.bureau = 3;
    chart.PlaceStars();
    const std::int32_t king = chart.PalaceOf(code::King);
    if (king == 3 || king == 9) {
      EXPECT_EQ(chart.PalaceOf(code::Treasury), king);
      EXPECT_EQ(SlotOf(chart, code::King), 2);
      EXPECT_EQ(SlotOf(chart, code::Treasury), 3);
    } else {
      EXPECT_NE(chart.PalaceOf(code::Treasury), king);
    }
  }
  PalaceChart chart = WithFacts(1, 1, 1, 1, 1);
  chart.bureau = 2;
  chart.PlaceStars();
  EXPECT_EQ(chart.PalaceOf(code::King), 2);
  EXPECT_EQ(chart.PalaceOf(code::Wit), 1);
  EXPECT_EQ(chart.PalaceOf(code::Chastity), 6);
  EXPECT_EQ(chart.PalaceOf(code::Treasury), 4);
  EXPECT_EQ(chart.PalaceOf(code::Army), 2);
}

// Branches of the stars placed by hour (h) and month (m), for inputs 1..12.
struct ByInputCase {
  const char* name;
  ItemCode star;
  bool byHour;
  std::array<std::int32_t, 12> branches;
};

TEST(HourAndMonthStars, LandOnTheirBranches) {
  const ByInputCase cases[] = {
      {"Intellect", 50, true, {11, 10, 9, 8, 7, 6, 5, 4, 3, 2, 1, 12}},
      {"Intelligence", 51, true, {5, 6, 7, 8, 9, 10, 11, 12, 1, 2, 3, 4}},
      {"Calamity", 56, true, {12, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11}},
      {"Misfortune", 57, true, {12, 11, 10, 9, 8, 7, 6, 5, 4, 3, 2, 1}},
      {"Left Aid", 52, false, {5, 6, 7, 8, 9, 10, 11, 12, 1, 2, 3, 4}},
      {"Right Aid", 53, false, {11, 10, 9, 8, 7, 6, 5, 4, 3, 2, 1, 12}},
      {"Pegasus", 59, false, {9, 6, 3, 12, 9, 6, 3, 12, 9, 6, 3, 12}},
      {"Punishment", 70, false, {10, 11, 12, 1, 2, 3, 4, 5, 6, 7, 8, 9}},
      {"Dissolute", 71, false, {2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 1}},
  };
  for (const ByInputCase& c : cases) {
    SCOPED_TRACE(c.name);
    for (std::int32_t input = 1; input <= 12; ++input) {
      PalaceChart chart = WithFacts(1, 1, c.byHour ? 1 : input, 1, c.byHour ? input : 1);
      chart.PlaceFromCalendarFacts();
      EXPECT_EQ(chart.PalaceOf(c.star), c.branches[static_cast<std::size_t>(input - 1)])
          << "input " << input;
    }
  }
}

struct YearStemCase {
  std::int32_t stem, abundance, troublesome, worrisome, angel1, angel2;
};

TEST(YearStars, ByYearStem) {
  const YearStemCase cases[] = {
      {1, 3, 4, 2, 2, 8},   {2, 4, 5, 3, 1, 9},   {3, 6, 7, 5, 12, 10}, {4, 7, 8, 6, 12, 10},
      {5, 6, 7, 5, 2, 8},   {6, 7, 8, 6, 1, 9},   {7, 9, 10, 8, 2, 8},  {8, 10, 11, 9, 7, 3},
      {9, 12, 1, 11, 4, 6}, {10, 1, 2, 12, 4, 6},
  };
  for (const YearStemCase& c : cases) {
    SCOPED_TRACE(testing::Message() << "year stem " << c.stem);
    PalaceChart chart = WithFacts(c.stem, 1, 1, 1, 1);
    chart.PlaceFromCalendarFacts();
    EXPECT_EQ(chart.PalaceOf(code::Abundance), c.abundance);
    EXPECT_EQ(chart.PalaceOf(code::Troublesome), c.troublesome);
    EXPECT_EQ(chart.PalaceOf(code::Worrisome), c.worrisome);
    EXPECT_EQ(chart.PalaceOf(code::Angel1), c.angel1);
    EXPECT_EQ(chart.PalaceOf(code::Angel2), c.angel2);
  }
}

struct YearBranchCase {
  std::int32_t yearBranch, hour, fiery, siren, belle, festival;
};

TEST(YearStars, ByYearBranchAndHour) {
  const YearBranchCase cases[] = {
      {12, 1, 10, 11, 5, 11}, {12, 12, 9, 10, 5, 11}, {3, 12, 1, 3, 2, 8},
      {1, 1, 3, 11, 4, 10},   {2, 1, 4, 11, 3, 9},    {7, 3, 4, 6, 10, 4},
  };
  for (const YearBranchCase& c : cases) {
    SCOPED_TRACE(testing::Message() << "year branch " << c.yearBranch << " hour " << c.hour);
    PalaceChart chart = WithFacts(1, c.yearBranch, 1, 1, c.hour);
    chart.PlaceFromCalendarFacts();
    EXPECT_EQ(chart.PalaceOf(code::FieryStar), c.fiery);
    EXPECT_EQ(chart.PalaceOf(code::SirenStar), c.siren);
    EXPECT_EQ(chart.PalaceOf(code::Belle), c.belle);
    EXPECT_EQ(chart.PalaceOf(code::Festival), c.festival);
  }
}

struct OrderCase {
  const char* name;
  std::int32_t yearStem, month, hour;
  ItemCode earlier, later;
};

TEST(PlacementOrder, AnEarlierStepTakesTheLowerSlot) {
  const OrderCase cases[] = {
      {"Intellect before Left Aid", 1, 1, 7, code::Intellect, code::LeftAid},
      {"Intelligence before Punishment", 1, 7, 12, code::Intelligence, code::Punishment},
      {"Angel 1 before Worrisome", 1, 1, 1, code::Angel1, code::Worrisome},
      {"Calamity before Misfortune", 1, 1, 1, code::Calamity, code::Misfortune},
  };
  for (const OrderCase& c : cases) {
    SCOPED_TRACE(c.name);
    PalaceChart chart = WithFacts(c.yearStem, 1, c.month, 1, c.hour);
    chart.PlaceFromCalendarFacts();
    ASSERT_EQ(chart.PalaceOf(c.earlier), chart.PalaceOf(c.later));
    EXPECT_LT(SlotOf(chart, c.earlier), SlotOf(chart, c.later));
  }
}

}  // namespace
}  // namespace velmora
