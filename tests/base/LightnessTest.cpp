// Light and dark windows, and the hint's colour between a window's text and its background.

#include "base/Lightness.h"

#include <gtest/gtest.h>

namespace velkor {
namespace {

TEST(Lightness, AWindowBelowMiddleGreyIsDark) {
    EXPECT_TRUE(isDark({0x35, 0x35, 0x35}));   // a dark desktop's window
    EXPECT_FALSE(isDark({0xEF, 0xEF, 0xEF}));  // a light one's
    EXPECT_TRUE(isDark({0x7F, 0x7F, 0x7F}));
    EXPECT_FALSE(isDark({0x80, 0x80, 0x80}));
    // Saturated colours count by their strongest and weakest parts: pure blue is middling.
    EXPECT_DOUBLE_EQ(lightness({0, 0, 255}), 0.5);
    EXPECT_TRUE(isDark({0x00, 0x00, 0x80}));
    EXPECT_DOUBLE_EQ(lightness({-40, 300, 0}), 0.5);  // out of range reads as 0 and 255
}

TEST(Lightness, AHintSitsBetweenTheTextAndTheWindowOnEitherKind) {
    const Rgb onLight = hintText({0, 0, 0}, {0xEF, 0xEF, 0xEF});
    EXPECT_EQ(onLight.red, 0x56);  // the grey the hints always had
    EXPECT_TRUE(isDark(onLight));
    const Rgb onDark = hintText({0xFF, 0xFF, 0xFF}, {0x35, 0x35, 0x35});
    EXPECT_FALSE(isDark(onDark));
    EXPECT_LT(onDark.green, 0xFF);
    EXPECT_EQ(onDark.blue, onDark.red);
}

}  // namespace
}  // namespace velkor
