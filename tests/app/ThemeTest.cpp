#include "ui/Theme.h"

#include <gtest/gtest.h>

using velloq::Theme;

namespace {

void expectComponents(const QColor& colour, float r, float g, float b, const char* name) {
    // Qt keeps 16 bits per channel: within half a step of the given value.
    constexpr float step = 1.0f / 65535.0f;
    EXPECT_NEAR(colour.redF(), r, step) << name;
    EXPECT_NEAR(colour.greenF(), g, step) << name;
    EXPECT_NEAR(colour.blueF(), b, step) << name;
    EXPECT_EQ(colour.alphaF(), 1.0f) << name;
}

} // namespace

TEST(Theme, EveryColourHasItsSrgbComponents) {
    expectComponents(Theme::coral(), 1.0f, 0.302f, 0.255f, "coral");
    expectComponents(Theme::coralDeep(), 1.0f, 0.271f, 0.227f, "coralDeep");
    expectComponents(Theme::green(), 0.23f, 0.701f, 0.376f, "green");
    expectComponents(Theme::amber(), 0.95f, 0.69f, 0.214f, "amber");
    expectComponents(Theme::red(), 0.916f, 0.235f, 0.247f, "red");
    expectComponents(Theme::ink(), 0.12f, 0.12f, 0.14f, "ink");
    expectComponents(Theme::gray(), 0.557f, 0.557f, 0.576f, "gray");
    expectComponents(Theme::purple(), 0.545f, 0.361f, 0.965f, "purple");
    expectComponents(Theme::blue(), 0.231f, 0.51f, 0.769f, "blue");
    expectComponents(Theme::violet(), 0.535f, 0.262f, 0.86f, "violet");
    expectComponents(Theme::sky(), 0.0f, 0.549f, 0.916f, "sky");
    expectComponents(Theme::night(), 0.102f, 0.102f, 0.133f, "night");
    expectComponents(Theme::black(), 0.086f, 0.086f, 0.098f, "black");
    expectComponents(Theme::mist(), 0.874f, 0.878f, 0.894f, "mist");
}

TEST(Theme, EachColourIsCreatedOnce) {
    EXPECT_EQ(&Theme::coral(), &Theme::coral());
    EXPECT_EQ(&Theme::mist(), &Theme::mist());
}
