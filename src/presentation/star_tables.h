#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string_view>
#include <type_traits>

#include "calendar/item_code.h"

namespace velmora {

inline constexpr std::int32_t kStarTableRows = 45;
inline constexpr std::int32_t kStarNameField = 15;   // bytes per name, zero-terminated
inline constexpr std::int32_t kStarTextField = 500;  // bytes per description, zero-terminated

// A fixed field holding `text` followed by zero bytes, built at compile time. A literal that
// leaves no room for the terminating zero, or holds anything but printable 7-bit ASCII, does
// not compile.
template <std::size_t N, std::size_t L>
consteval std::array<char, N> MakeTextField(const char (&text)[L]) {
  static_assert(L <= N, "the text and its terminating zero must fit the field");
  std::array<char, N> field{};
  for (std::size_t i = 0; i + 1 < L; ++i) {
    if (text[i] < ' ' || text[i] > '~') std::abort();  // not a constant: compile error
    field[i] = text[i];
  }
  return field;
}

// The text of a field up to its first zero byte; a field without one gives the whole field,
// so a read never leaves it.
template <std::size_t N>
constexpr std::string_view FieldText(const std::array<char, N>& field) {
  if (!std::is_constant_evaluated()) {
    // At run time the library's memchr finds the terminator many bytes at a time; the reading
    // looks up some 13 KB of descriptions per chart.
    const void* end = std::memchr(field.data(), '\0', N);
    return {field.data(),
            end ? static_cast<std::size_t>(static_cast<const char*>(end) - field.data()) : N};
  }
  std::size_t n = 0;
  while (n < N && field[n] != '\0') ++n;
  return {field.data(), n};
}

// The codes that have a display name: 0 up to this one less, the last being the Festival.
inline constexpr ItemCode kNamedCodes = code::Festival + 1;

// Names and descriptions of the 44 displayable codes; row 12 is empty and no code reaches it.
// Every stored character is printable 7-bit ASCII.
extern const std::array<std::array<char, kStarNameField>, kStarTableRows> StarNameTable;
extern const std::array<std::array<char, kStarTextField>, kStarTableRows> StarTextTable;

// The table row of a code: 23..34 and 36..63 give code - 23; 70, 71, 86, 87 give 41..44.
// Any other code gives -1.
constexpr std::int32_t DisplayIndex(ItemCode c) {
  if ((c >= code::Life && c <= code::Parents) || (c >= code::King && c <= code::Angel2))
    return c - code::Life;
  switch (c) {
    case code::Punishment:
      return 41;
    case code::Dissolute:
      return 42;
    case code::Belle:
      return 43;
    case code::Festival:
      return 44;
    default:
      return -1;
  }
}

// The English name and description of a displayable code, read up to the terminating zero.
// A code outside the 44 gives an empty string.
std::string_view StarName(ItemCode c);
std::string_view StarText(ItemCode c);

}  // namespace velmora
