#include <gtest/gtest.h>

#include <cmath>

#include "app/game_state.h"
#include "sim/figure.h"

// The figure as a new game leaves it, at (x, 0, 0) with the given heading, in play mode; every
// tree at (tx, tz). Then ticks times figureTick.
static void freshFigure(float heading, float x, float tx, float tz, int ticks = 0)
{
    playing = 1;
    figurePosition = Vector3(x, 0.0f, 0.0f);
    figureHeading = heading;
    figureHipAngle[0] = 10.0f;
    figureHipAngle[1] = 0.0f;
    figureHipStep[0] = 1;
    figureHipStep[1] = -1;
    for (int i = 0; i < treeCount; ++i) {
        trees[i] = Entity{tx, 0.0f, tz, 0.0f, 0, 0.0f, 0};
        figureKneeAngle[i % 2] = figureShoulderAngle[i % 2] = figureElbowAngle[i % 2] = 0.0f;
    }
    for (int i = 0; i < ticks; ++i) {
        figureTick();
    }
}

// The hips reach 30 and -20 on the 20th tick, then swing between 30 and -22 (leg 8) and
// -20 and 32 (leg 7), each arm mirroring its own side's leg.
TEST(Figure, HipsSpreadForTwentyTicksThenSwingInOpposition)
{
    freshFigure(0.0f, 0.0f, -2.5f, 2.5f, 20);
    EXPECT_TRUE(figureHipAngle[0] == 30.0f && figureHipAngle[1] == -20.0f);
    float low[2] = {100.0f, 100.0f}, high[2] = {-100.0f, -100.0f};
    for (int tick = 21; tick <= 200; ++tick) {
        figureTick();
        for (int i = 0; i < 2; ++i) {
            low[i] = std::fmin(low[i], figureHipAngle[i]);
            high[i] = std::fmax(high[i], figureHipAngle[i]);
            ASSERT_EQ(figureShoulderAngle[i], -figureHipAngle[i]) << "tick " << tick;
        }
    }
    EXPECT_TRUE(low[0] == -22.0f && high[0] == 30.0f && low[1] == -20.0f && high[1] == 32.0f)
        << low[0] << " " << high[0] << " " << low[1] << " " << high[1];
}

// Walking along +x at 0.011 a tick it turns about at the bound (450 wrapping to 90); headed
// diagonally from the centre it ends in that corner, walking on the spot there.
TEST(Figure, TurnsAboutAtTheBoundAndSticksInACorner)
{
    freshFigure(90.0f, 2.8f, -2.5f, 2.5f, 1);
    EXPECT_NEAR(figurePosition.x, 2.811f, 1e-5);
    for (const float next : {270.0f, 90.0f}) {
        for (int ticks = 0; figureHeading != next && ticks < 2000; ++ticks) {
            figureTick();
            ASSERT_LT(std::fabs(figurePosition.x), 2.911f);
        }
        EXPECT_TRUE(figureHeading == next && std::fabs(figurePosition.x) >= 2.9f) << next;
    }
    for (const float heading : {45.0f, 135.0f, 225.0f, 315.0f}) {
        freshFigure(heading, 0.0f, 2.5f, 0.0f, 3000);
        const Vector3 spot = figurePosition;
        EXPECT_GE(std::fmin(std::fabs(spot.x), std::fabs(spot.z)), 2.9f) << heading;
        EXPECT_EQ(spot.x > 0.0f, std::sin(heading * 0.01745329f) > 0.0f) << heading;
        EXPECT_EQ(spot.z > 0.0f, std::cos(heading * 0.01745329f) > 0.0f) << heading;
        figureTick();
        EXPECT_TRUE(figurePosition.x == spot.x && figurePosition.z == spot.z) << heading;
    }
}
