#pragma once

#include <cstdint>

#include "presentation/rich_text_box.h"

namespace velmora {

// The paper the reading stands on in a page: a warm white.
inline constexpr ColorValue kPagePaper = 0xF7FDFF;  // #fffdf7

// The contrast ratio WCAG asks of body text: 4.5 to 1.
inline constexpr double kLegibleContrast = 4.5;

// The relative luminance of a colour given by its channels, 0 to 255, as WCAG reckons it.
double RelativeLuminance(std::int32_t red, std::int32_t green, std::int32_t blue);

// The contrast ratio of two colours, 1 to 21.
double ContrastRatio(ColorValue first, ColorValue second);

// `color` darkened, its channels in proportion, just enough to stand at least 4.5:1 against
// `paper`; a colour that already does is returned as it is.
ColorValue LegibleOn(ColorValue color, ColorValue paper);

}  // namespace velmora
