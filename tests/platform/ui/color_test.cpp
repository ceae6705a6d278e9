#include <weeapp/ui/color.h>

#include <gtest/gtest.h>

#include <cmath>

namespace {

using namespace weeapp::ui;

// Each named colour is one shared object, distinct from the others and from an equal colour made
// of components; components are clamped.
TEST(Color, NamedColoursAreSingletons)
{
    EXPECT_EQ(Color::greenColor(), Color::greenColor());
    EXPECT_EQ(Color::darkTextColor(), Color::darkTextColor());
    EXPECT_NE(Color::blackColor(), Color::darkTextColor());
    const auto madeGreen = Color::colorWithRedGreenBlueAlpha(0, 1, 0, 1);
    EXPECT_NE(madeGreen, Color::greenColor());
    EXPECT_NE(madeGreen, Color::colorWithRedGreenBlueAlpha(0, 1, 0, 1));
    EXPECT_FALSE(madeGreen->name().has_value());
    EXPECT_EQ(Color::clearColor()->name(), "clear");
    EXPECT_EQ(Color::clearColor()->alpha(), 0);
    EXPECT_EQ(Color::yellowColor()->blue(), 0);

    const auto wild = Color::colorWithRedGreenBlueAlpha(-1, 2, NAN, 0.5f);
    EXPECT_EQ(wild->red(), 0);
    EXPECT_EQ(wild->green(), 1);
    EXPECT_EQ(wild->blue(), 0);
    EXPECT_EQ(wild->alpha(), 0.5f);
}

}
