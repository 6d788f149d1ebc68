#include "calendar/item_code.h"

#include <gtest/gtest.h>

#include <climits>

namespace velmora {
namespace {

struct WrapCase {
  std::int32_t a, m, c, expected;
};

TEST(CyclicArithmetic, WrapAddAlwaysLandsInOneToM) {
  const WrapCase cases[] = {
      {0, 12, 0, 12},   {12, 12, 1, 1},   {1, 12, -1, 12},  {-1, 12, 0, 11},
      {-13, 12, 0, 11}, {-12, 12, 0, 12}, {-25, 12, 0, 11}, {24, 12, 0, 12},
      {0, 60, 0, 60},   {59, 60, 2, 1},   {3, 5, -3, 5},    {7, 10, 13, 10},
  };
  for (const WrapCase& w : cases) {
    SCOPED_TRACE(testing::Message() << "WrapAdd(" << w.a << ", " << w.m << ", " << w.c << ")");
    EXPECT_EQ(WrapAdd(w.a, w.m, w.c), w.expected);
  }
}

TEST(CyclicArithmetic, WrapAddSurvivesExtremeArguments) {
  for (std::int32_t m : {5, 10, 12, 60}) {
    for (std::int32_t a : {INT_MIN, INT_MIN + 1, -1, 0, 1, INT_MAX - 1, INT_MAX}) {
      for (std::int32_t c : {INT_MIN, -1, 0, 1, INT_MAX}) {
        const std::int32_t r = WrapAdd(a, m, c);
        EXPECT_GE(r, 1);
        EXPECT_LE(r, m);
        EXPECT_EQ((std::int64_t{a} + c - r) % m, 0);
      }
    }
  }
}

TEST(CodeConversions, StemsBranchesAndPairs) {
  EXPECT_EQ(StemCode(0), 10);
  EXPECT_EQ(BranchCode(0), 22);
  EXPECT_EQ(BranchCode(13), 11);
  EXPECT_EQ(SexagenaryPair(60), (CodePair{10, 22}));
  EXPECT_EQ(SexagenaryPair(0), (CodePair{10, 22}));
  EXPECT_EQ(SexagenaryPair(1), (CodePair{1, 11}));
  EXPECT_EQ(CodeToNumber(10), 10);
  EXPECT_EQ(CodeToNumber(11), 1);
  EXPECT_EQ(CodeToNumber(22), 12);
  EXPECT_EQ(NextBranch(22), 11);
  EXPECT_EQ(PrevBranch(11), 22);
  EXPECT_EQ(NextStem(10), 1);
  EXPECT_EQ(PrevStem(1), 10);
  EXPECT_EQ(NextBranchNumber(12), 1);
  EXPECT_EQ(PrevBranchNumber(1), 12);
  EXPECT_EQ(NextPair({10, 22}), (CodePair{1, 11}));
  EXPECT_EQ(PrevPair({1, 11}), (CodePair{10, 22}));
  std::int32_t branch = 12;
  StepBranchForward(branch);
  EXPECT_EQ(branch, 1);
  StepBranchBackward(branch);
  EXPECT_EQ(branch, 12);
}

TEST(CodeConversions, SexagenaryCycleHasOnlyMatchingParities) {
  for (std::int32_t i = 1; i <= 60; ++i) {
    const CodePair p = SexagenaryPair(i);
    EXPECT_EQ(CodeToNumber(p.stem) % 2, CodeToNumber(p.branch) % 2) << "index " << i;
  }
}

TEST(CodeConversions, StemForTheTigerBranchFollowsTheYearStem) {
  // 甲/己 give 丙, 乙/庚 give 戊, 丙/辛 give 庚, 丁/壬 give 壬, 戊/癸 give 甲.
  const ItemCode expected[] = {0, 3, 5, 7, 9, 1, 3, 5, 7, 9, 1};
  for (ItemCode stem = 1; stem <= 10; ++stem) {
    EXPECT_EQ(StemForBranch(stem, BranchCode(3)), expected[stem]) << "year stem " << stem;
  }
}

}  // namespace
}  // namespace velmora
