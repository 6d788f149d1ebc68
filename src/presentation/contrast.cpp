#include "presentation/contrast.h"

#include <algorithm>
#include <cmath>

namespace velmora {

double RelativeLuminance(std::int32_t red, std::int32_t green, std::int32_t blue) {
  const auto linear = [](std::int32_t channel) {
    const double c = channel / 255.0;
    return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
  };
  return 0.2126 * linear(red) + 0.7152 * linear(green) + 0.0722 * linear(blue);
}

double ContrastRatio(ColorValue first, ColorValue second) {
  const double a = RelativeLuminance(RedOf(first), GreenOf(first), BlueOf(first));
  const double b = RelativeLuminance(RedOf(second), GreenOf(second), BlueOf(second));
  return (std::max(a, b) + 0.05) / (std::min(a, b) + 0.05);
}

ColorValue LegibleOn(ColorValue color, ColorValue paper) {
  for (std::int32_t scale = 255; scale >= 0; --scale) {
    const auto scaled = [scale](std::int32_t channel) {
      return static_cast<ColorValue>((channel * scale + 127) / 255);
    };
    const ColorValue darker =
        scaled(RedOf(color)) | scaled(GreenOf(color)) << 8 | scaled(BlueOf(color)) << 16;
    if (ContrastRatio(darker, paper) >= kLegibleContrast) return darker;
  }
  return kColorBlack;
}

}  // namespace velmora
