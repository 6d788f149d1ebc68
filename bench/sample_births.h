#pragma once

#include <array>
#include <cstddef>

#include "calendar/birth_calendar.h"

namespace velmora::bench {

// A spread of births across the whole supported range, minutes apart from each other, so that
// consecutive charts differ in every calendar fact.
inline std::array<TDateTime, 4096> SampleBirths() {
  std::array<TDateTime, 4096> births{};
  const TDateTime first = kFirstSupportedBirth;
  const double span = kEndOfSupportedBirths - first;
  for (std::size_t i = 0; i < births.size(); ++i) {
    births[i] = first + span * (static_cast<double>(i) + 0.37) / static_cast<double>(births.size());
  }
  return births;
}

}  // namespace velmora::bench
