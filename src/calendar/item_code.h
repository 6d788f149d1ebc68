#pragma once

#include <cstdint>

namespace velmora {

// One code space shared by every subsystem: stems, branches, palace names and stars.
// 0 means an empty slot.
using ItemCode = std::int32_t;

// The codes by family. Stem numbers equal their codes; branch number = code - 10.
namespace code {
inline constexpr ItemCode Empty = 0;
inline constexpr ItemCode FirstStem = 1;     // 甲
inline constexpr ItemCode LastStem = 10;     // 癸
inline constexpr ItemCode FirstBranch = 11;  // 子
inline constexpr ItemCode LastBranch = 22;   // 亥

inline constexpr ItemCode Life = 23;
inline constexpr ItemCode Siblings = 24;
inline constexpr ItemCode Marriage = 25;
inline constexpr ItemCode Children = 26;
inline constexpr ItemCode Wealth = 27;
inline constexpr ItemCode Health = 28;
inline constexpr ItemCode Travel = 29;
inline constexpr ItemCode Friends = 30;
inline constexpr ItemCode Career = 31;
inline constexpr ItemCode Property = 32;
inline constexpr ItemCode Happiness = 33;
inline constexpr ItemCode Parents = 34;

inline constexpr ItemCode King = 36;
inline constexpr ItemCode Wit = 37;
inline constexpr ItemCode Sun = 38;
inline constexpr ItemCode Warrior = 39;
inline constexpr ItemCode Lucky = 40;
inline constexpr ItemCode Chastity = 41;
inline constexpr ItemCode Treasury = 42;
inline constexpr ItemCode Moon = 43;
inline constexpr ItemCode GreedyWolf = 44;
inline constexpr ItemCode BigMouth = 45;
inline constexpr ItemCode Minister = 46;
inline constexpr ItemCode Beam = 47;
inline constexpr ItemCode SevenKills = 48;
inline constexpr ItemCode Army = 49;

inline constexpr ItemCode Intellect = 50;
inline constexpr ItemCode Intelligence = 51;
inline constexpr ItemCode LeftAid = 52;
inline constexpr ItemCode RightAid = 53;
inline constexpr ItemCode FieryStar = 54;
inline constexpr ItemCode SirenStar = 55;
inline constexpr ItemCode Calamity = 56;
inline constexpr ItemCode Misfortune = 57;
inline constexpr ItemCode Abundance = 58;
inline constexpr ItemCode Pegasus = 59;
inline constexpr ItemCode Troublesome = 60;
inline constexpr ItemCode Worrisome = 61;
inline constexpr ItemCode Angel1 = 62;
inline constexpr ItemCode Angel2 = 63;

inline constexpr ItemCode Punishment = 70;
inline constexpr ItemCode Dissolute = 71;
inline constexpr ItemCode Belle = 86;
inline constexpr ItemCode Festival = 87;
}  // namespace code

// A stem-branch pair: stem code first, branch code second.
struct CodePair {
  ItemCode stem = 0;
  ItemCode branch = 0;
  friend constexpr bool operator==(const CodePair&, const CodePair&) = default;
};

// The value in 1..m congruent to a + c modulo m, for any a and c (m > 0). A multiple of m
// gives m, never 0: every cycle here (stems, branches, palaces, the sixty pairs) counts from 1.
// The sum is formed in 64 bits so that no pair of 32-bit arguments can overflow.
constexpr std::int32_t WrapAdd(std::int32_t a, std::int32_t m, std::int32_t c) {
  const std::int64_t s = std::int64_t{a} + std::int64_t{c};
  const auto r = static_cast<std::int32_t>(s % m);
  return r > 0 ? r : r + m;
}

constexpr std::int32_t WrapInto(std::int32_t a, std::int32_t m) {
  return WrapAdd(a, m, 0);
}

// A stem code is its own stem number; a branch code 11..22 gives branch number 1..12.
constexpr std::int32_t CodeToNumber(ItemCode stemOrBranch) {
  return stemOrBranch > code::LastStem ? stemOrBranch - 10 : stemOrBranch;
}

constexpr ItemCode StemCode(std::int32_t n) {
  return WrapInto(n, 10);
}
constexpr ItemCode BranchCode(std::int32_t n) {
  return WrapInto(n, 12) + 10;
}

// Index 1 is 甲子, index 60 is 癸亥.
constexpr CodePair SexagenaryPair(std::int32_t index) {
  return {StemCode(index), BranchCode(index)};
}
constexpr CodePair StemBranchPair(std::int32_t stem, std::int32_t branch) {
  return {StemCode(stem), BranchCode(branch)};
}

// The stem that a year stem gives to a branch: the palace stems start from it.
constexpr ItemCode StemForBranch(ItemCode yearStemCode, ItemCode branchCode) {
  const std::int64_t n =
      2 * std::int64_t{CodeToNumber(yearStemCode)} + CodeToNumber(branchCode) - 2;
  return StemCode(static_cast<std::int32_t>(n % 10));
}

constexpr ItemCode NextStem(ItemCode stem) {
  return StemCode(WrapAdd(CodeToNumber(stem), 10, 1));
}
constexpr ItemCode PrevStem(ItemCode stem) {
  return StemCode(WrapAdd(CodeToNumber(stem), 10, -1));
}
constexpr ItemCode NextBranch(ItemCode branch) {
  return BranchCode(WrapAdd(CodeToNumber(branch), 12, 1));
}
constexpr ItemCode PrevBranch(ItemCode branch) {
  return BranchCode(WrapAdd(CodeToNumber(branch), 12, -1));
}
constexpr CodePair NextPair(CodePair p) {
  return {NextStem(p.stem), NextBranch(p.branch)};
}
constexpr CodePair PrevPair(CodePair p) {
  return {PrevStem(p.stem), PrevBranch(p.branch)};
}

constexpr std::int32_t NextBranchNumber(std::int32_t n) {
  return WrapAdd(n, 12, 1);
}
constexpr std::int32_t PrevBranchNumber(std::int32_t n) {
  return WrapAdd(n, 12, -1);
}
inline void StepBranchForward(std::int32_t& n) {
  n = NextBranchNumber(n);
}
inline void StepBranchBackward(std::int32_t& n) {
  n = PrevBranchNumber(n);
}

static_assert(WrapAdd(0, 12, 0) == 12 && WrapAdd(-1, 12, 0) == 11 && WrapInto(0, 60) == 60);
static_assert(StemForBranch(1, 13) == 3 && StemForBranch(10, 13) == 1);
static_assert(SexagenaryPair(60) == CodePair{10, 22} && SexagenaryPair(0) == SexagenaryPair(60));

}  // namespace velmora
