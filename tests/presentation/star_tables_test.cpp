#include "presentation/star_tables.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <iterator>
#include <limits>
#include <string>
#include <string_view>

#include "presentation/display_table.h"

namespace velmora {
namespace {

// Every displayable code with its name as stored and the rough length of its description.
struct NameCase {
  ItemCode code;
  std::string_view name;
  std::int32_t textLength;
};

constexpr NameCase kNames[] = {
    {23, "Life", 121},        {24, "Siblings", 118},  {25, "Marriage", 175},
    {26, "Children", 268},    {27, "Wealth", 183},    {28, "Health", 95},
    {29, "Travel", 117},      {30, "Friends", 172},   {31, "Career", 151},
    {32, "Property", 73},     {33, "Happiness", 132}, {34, "Parents", 55},
    {36, "King", 303},        {37, "Wit", 270},       {38, "Sun", 142},
    {39, "Warrior", 224},     {40, "Lucky", 342},     {41, "Chastity", 441},
    {42, "Treasury", 317},    {43, "Moon", 309},      {44, "Greedy Wolf", 451},
    {45, "Big Mouth", 479},   {46, "Minister", 272},  {47, "Beam", 337},
    {48, "7 Kills", 354},     {49, "Army", 266},      {50, "Intellect", 73},
    {51, "Intelligence", 73}, {52, "Left Aid", 41},   {53, "Right Aid", 41},
    {54, "Fiery Star", 50},   {55, "Siren Star", 50}, {56, "Calamity", 69},
    {57, "Misfortune", 69},   {58, "Abundance", 13},  {59, "Pegasus", 23},
    {60, "Troublesome", 113}, {61, "Worrisome", 113}, {62, "Angel 1", 39},
    {63, "Angel 2", 39},      {70, "Punishment", 48}, {71, "Dissolute", 103},
    {86, "Belle", 33},        {87, "Festival", 33},
};

bool IsPrintableAscii(std::string_view s) {
  for (const char ch : s) {
    if (ch < ' ' || ch > '~') return false;
  }
  return true;
}

TEST(StarNames, EveryDisplayableCodeHasItsStoredName) {
  ASSERT_EQ(std::size(kNames), 44u);
  for (const NameCase& c : kNames) {
    SCOPED_TRACE(c.name);
    ASSERT_TRUE(IsDisplayable(c.code));
    EXPECT_EQ(StarName(c.code), c.name);
    EXPECT_LE(StarName(c.code).size(), 14u);
    EXPECT_TRUE(IsPrintableAscii(StarName(c.code)));
  }
}

TEST(StarNames, IntelligenceIsTheLongestName) {
  std::size_t longest = 0;
  for (const NameCase& c : kNames) longest = std::max(longest, StarName(c.code).size());
  EXPECT_EQ(longest, 12u);
  EXPECT_EQ(StarName(code::Intelligence).size(), 12u);
}

TEST(StarTexts, EveryDescriptionIsOnePrintableParagraphOfItsRoughLength) {
  std::size_t total = 0;
  for (const NameCase& c : kNames) {
    SCOPED_TRACE(c.name);
    const std::string_view text = StarText(c.code);
    ASSERT_FALSE(text.empty());
    EXPECT_LE(text.size(), 499u);
    EXPECT_TRUE(IsPrintableAscii(text)) << text;
    EXPECT_NE(text.front(), ' ');
    EXPECT_NE(text.back(), ' ');
    EXPECT_EQ(text.find("  "), std::string_view::npos) << text;
    EXPECT_LE(std::abs(static_cast<double>(text.size()) - c.textLength), 0.15 * c.textLength)
        << text.size() << " characters";
    total += text.size();
  }
  EXPECT_NEAR(static_cast<double>(total), 7190.0, 0.05 * 7190.0);
}

TEST(StarTexts, TheThreeShortRowsReadAsGiven) {
  EXPECT_EQ(StarText(code::Parents), "This represents our parents and our family backgrounds.");
  EXPECT_EQ(StarText(code::Abundance), "Wealth,money.");
  EXPECT_EQ(StarText(code::Pegasus), "To move or act swiftly.");
}

TEST(StarTexts, SevenPairsShareTheirTextAndNoOtherRowsDo) {
  const auto paired = [](ItemCode a, ItemCode b) {
    constexpr ItemCode kPairs[][2] = {{50, 51}, {52, 53}, {54, 55}, {56, 57},
                                      {60, 61}, {62, 63}, {86, 87}};
    for (const auto& p : kPairs) {
      if ((p[0] == a && p[1] == b) || (p[0] == b && p[1] == a)) return true;
    }
    return false;
  };
  std::int32_t pairsFound = 0;
  for (std::size_t i = 0; i < std::size(kNames); ++i) {
    for (std::size_t j = i + 1; j < std::size(kNames); ++j) {
      const ItemCode a = kNames[i].code;
      const ItemCode b = kNames[j].code;
      SCOPED_TRACE(std::string(kNames[i].name) + " / " + std::string(kNames[j].name));
      const bool same = StarText(a) == StarText(b);
      EXPECT_EQ(same, paired(a, b));
      if (same) {
        ++pairsFound;
        // Each row keeps its own copy.
        EXPECT_NE(StarText(a).data(), StarText(b).data());
      }
    }
  }
  EXPECT_EQ(pairsFound, 7);
}

TEST(StarTables, RowTwelveIsEmptyAndEveryFieldIsZeroAfterItsText) {
  for (std::int32_t row = 0; row < kStarTableRows; ++row) {
    SCOPED_TRACE(row);
    const auto& name = StarNameTable[static_cast<std::size_t>(row)];
    const auto& text = StarTextTable[static_cast<std::size_t>(row)];
    const std::size_t nameLength = FieldText(name).size();
    const std::size_t textLength = FieldText(text).size();
    EXPECT_EQ(row == 12, nameLength == 0);
    EXPECT_EQ(row == 12, textLength == 0);
    for (std::size_t i = nameLength; i < name.size(); ++i) EXPECT_EQ(name[i], '\0');
    for (std::size_t i = textLength; i < text.size(); ++i) EXPECT_EQ(text[i], '\0');
  }
}

struct IndexCase {
  ItemCode code;
  std::int32_t row;
};

TEST(DisplayIndex, MapsCodesToTableRows) {
  constexpr IndexCase kCases[] = {
      {23, 0},
      {34, 11},
      {36, 13},
      {49, 26},
      {50, 27},
      {63, 40},
      {70, 41},
      {71, 42},
      {86, 43},
      {87, 44},
      {0, -1},
      {1, -1},
      {22, -1},
      {35, -1},
      {64, -1},
      {69, -1},
      {72, -1},
      {85, -1},
      {88, -1},
      {-1, -1},
      {std::numeric_limits<ItemCode>::min(), -1},
      {std::numeric_limits<ItemCode>::max(), -1},
  };
  for (const IndexCase& c : kCases) {
    SCOPED_TRACE(c.code);
    EXPECT_EQ(DisplayIndex(c.code), c.row);
  }
}

TEST(DisplayIndex, ReachesEveryRowButTwelveExactlyOnceAndOnlyForDisplayableCodes) {
  std::int32_t hits[kStarTableRows] = {};
  for (ItemCode c = -200; c <= 200; ++c) {
    SCOPED_TRACE(c);
    const std::int32_t row = DisplayIndex(c);
    EXPECT_EQ(row >= 0, IsDisplayable(c));
    if (row < 0) continue;
    ASSERT_LT(row, kStarTableRows);
    ++hits[row];
  }
  for (std::int32_t row = 0; row < kStarTableRows; ++row) EXPECT_EQ(hits[row], row == 12 ? 0 : 1);
}

TEST(StarLookups, CodesOutsideTheFortyFourGiveEmptyStrings) {
  constexpr ItemCode kCodes[] = {0,
                                 35,
                                 64,
                                 88,
                                 -1,
                                 1,
                                 10,
                                 11,
                                 22,
                                 69,
                                 72,
                                 85,
                                 1000,
                                 std::numeric_limits<ItemCode>::min(),
                                 std::numeric_limits<ItemCode>::max()};
  for (const ItemCode c : kCodes) {
    SCOPED_TRACE(c);
    EXPECT_TRUE(StarName(c).empty());
    EXPECT_TRUE(StarText(c).empty());
  }
}

// A literal that uses all 499 characters a description may have.
struct FullLiteral {
  char text[kStarTextField];
};
constexpr FullLiteral kFullLiteral = [] {
  FullLiteral l{};
  for (std::size_t i = 0; i + 1 < std::size(l.text); ++i) l.text[i] = "abcdefghij "[i % 11];
  l.text[0] = 'A';
  l.text[kStarTextField - 2] = '.';
  return l;
}();

TEST(TextFields, AFullFieldComesBackWholeWithoutItsZero) {
  constexpr auto field = MakeTextField<kStarTextField>(kFullLiteral.text);
  static_assert(FieldText(field).size() == 499);
  EXPECT_EQ(FieldText(field), std::string_view(kFullLiteral.text, 499));
  EXPECT_EQ(field.back(), '\0');
}

TEST(TextFields, AFieldWithoutAZeroStopsAtItsEnd) {
  std::array<char, kStarNameField> field{};
  field.fill('x');
  EXPECT_EQ(FieldText(field), std::string(kStarNameField, 'x'));
}

TEST(TextFields, ShortTextsArePaddedWithZeros) {
  constexpr auto field = MakeTextField<kStarNameField>("7 Kills");
  EXPECT_EQ(FieldText(field), "7 Kills");
  for (std::size_t i = 7; i < field.size(); ++i) EXPECT_EQ(field[i], '\0');
}

}  // namespace
}  // namespace velmora
