#include "presentation/star_tables.h"

namespace velmora {
namespace {

template <std::size_t L>
consteval std::array<char, kStarNameField> Name(const char (&text)[L]) {
  return MakeTextField<kStarNameField>(text);
}

template <std::size_t L>
consteval std::array<char, kStarTextField> Text(const char (&text)[L]) {
  return MakeTextField<kStarTextField>(text);
}

}  // namespace

// Row = DisplayIndex(code). Row 12 sits between the palace names and the stars and stays empty.
constexpr std::array<std::array<char, kStarNameField>, kStarTableRows> StarNameTable = {
    Name("Life"),
    Name("Siblings"),
    Name("Marriage"),
    Name("Children"),
    Name("Wealth"),
    Name("Health"),
    Name("Travel"),
    Name("Friends"),
    Name("Career"),
    Name("Property"),
    Name("Happiness"),
    Name("Parents"),
    Name(""),
    Name("King"),
    Name("Wit"),
    Name("Sun"),
    Name("Warrior"),
    Name("Lucky"),
    Name("Chastity"),
    Name("Treasury"),
    Name("Moon"),
    Name("Greedy Wolf"),
    Name("Big Mouth"),
    Name("Minister"),
    Name("Beam"),
    Name("7 Kills"),
    Name("Army"),
    Name("Intellect"),
    Name("Intelligence"),
    Name("Left Aid"),
    Name("Right Aid"),
    Name("Fiery Star"),
    Name("Siren Star"),
    Name("Calamity"),
    Name("Misfortune"),
    Name("Abundance"),
    Name("Pegasus"),
    Name("Troublesome"),
    Name("Worrisome"),
    Name("Angel 1"),
    Name("Angel 2"),
    Name("Punishment"),
    Name("Dissolute"),
    Name("Belle"),
    Name("Festival"),
};

static_assert(FieldText(StarNameTable[DisplayIndex(code::GreedyWolf)]) == "Greedy Wolf");
static_assert(FieldText(StarNameTable[DisplayIndex(code::Festival)]) == "Festival");

// Descriptions, one paragraph each.
constexpr std::array<std::array<char, kStarTextField>, kStarTableRows> StarTextTable = {
    Text(""),
    Text(""),
    Text(""),
    Text(""),
    Text(""),
    Text(""),
    Text(""),
    Text(""),
    Text(""),
    Text(""),
    Text(""),
    Text("This represents our parents and our family backgrounds."),
    Text(""),
    Text(""),
    Text(""),
    Text(""),
    Text(""),
    Text(""),
    Text(""),
    Text(""),
    Text(""),
    Text(""),
    Text(""),
    Text(""),
    Text(""),
    Text(""),
    Text(""),
    Text(""),
    Text(""),
    Text(""),
    Text(""),
    Text(""),
    Text(""),
    Text(""),
    Text(""),
    Text("Wealth,money."),
    Text("To move or act swiftly."),
    Text(""),
    Text(""),
    Text(""),
    Text(""),
    Text(""),
    Text(""),
    Text(""),
    Text(""),
};

namespace {

// The row of a code, or -1 for a code that has none; row 12 is never returned.
std::int32_t CheckedRow(ItemCode c) {
  const std::int32_t row = DisplayIndex(c);
  return row >= 0 && row < kStarTableRows ? row : -1;
}

}  // namespace

std::string_view StarName(ItemCode c) {
  const std::int32_t row = CheckedRow(c);
  return row < 0 ? std::string_view{} : FieldText(StarNameTable[static_cast<std::size_t>(row)]);
}

std::string_view StarText(ItemCode c) {
  const std::int32_t row = CheckedRow(c);
  return row < 0 ? std::string_view{} : FieldText(StarTextTable[static_cast<std::size_t>(row)]);
}

}  // namespace velmora
