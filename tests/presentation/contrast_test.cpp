#include "presentation/contrast.h"

#include <gtest/gtest.h>

namespace velmora {
namespace {

// In a page every colour of the reading stands at least 4.5:1 against its paper, darkened no
// further than that asks: one shade lighter would not.
TEST(LegibleOn, DarkensJustEnoughToStandOnThePaper) {
  struct Case {
    const char* name;
    ColorValue color;
    ColorValue legible;
  };
  const Case cases[] = {
      {"red", kColorRed, 0x0000EC},
      {"blue, legible as it is", kColorBlue, kColorBlue},
      {"maroon, legible as it is", kColorMaroon, kColorMaroon},
      {"black", kColorBlack, kColorBlack},
      {"yellow", 0x00FFFF, 0x007979},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const ColorValue legible = LegibleOn(c.color, kPagePaper);
    EXPECT_EQ(legible, c.legible);
    EXPECT_GE(ContrastRatio(legible, kPagePaper), 4.5);
    EXPECT_GE(ContrastRatio(legible, 0xFFFFFF), 4.5);  // the white of velmora-cli's page
    if (legible != c.color) {
      const ColorValue lighter =
          legible + (RedOf(legible) != 0 ? 0x000001 : 0) + (GreenOf(legible) != 0 ? 0x000100 : 0);
      EXPECT_LT(ContrastRatio(lighter, kPagePaper), 4.5);
    }
  }
  EXPECT_NEAR(ContrastRatio(kColorBlack, 0xFFFFFF), 21.0, 1e-9);
}

}  // namespace
}  // namespace velmora
