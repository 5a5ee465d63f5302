// --scale auto: the factor from the X resource Xft.dpi, as xrdb leaves it on the server.
#include "x11/screen_dpi.h"

#include <gtest/gtest.h>

namespace korvane {
namespace {

TEST(ScreenDpi, XftDpiValuesAreDecimalNumbersRoundedDown) {
    const struct {
        const char* text;
        int32_t dpi;
    } good[] = {{"96", 96},     {"192", 192},  {"143.9", 143},
                {"144.0", 144}, {"120 ", 120}, {"288\t", 288}};
    for (const auto& c : good) {
        EXPECT_EQ(ParseXftDpi(c.text), c.dpi) << c.text;
    }
    for (const char* bad : {"", " ", "0", "-96", "+96", "ninety", "96dpi", "96.", ".5", "9 6",
                            "1.2.3", "99999999999"}) {
        EXPECT_EQ(ParseXftDpi(bad), std::nullopt) << bad;
    }
}

TEST(ScreenDpi, AutomaticFactorFollowsXftDpiAndIsOneWithoutIt) {
    EXPECT_EQ(AutomaticCellScale(std::nullopt), 1);
    EXPECT_EQ(AutomaticCellScale("96"), 1);
    EXPECT_EQ(AutomaticCellScale("192.0"), 2);
    EXPECT_EQ(AutomaticCellScale("large"), 1);
}

}  // namespace
}  // namespace korvane
