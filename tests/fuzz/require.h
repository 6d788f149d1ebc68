// The fuzz targets' one check: a property that fails ends the run, so that libFuzzer keeps the
// input that broke it.
#pragma once

#include <cstdlib>

namespace velmora::fuzz {

inline void Require(bool holds) {
  if (!holds) std::abort();
}

}  // namespace velmora::fuzz
