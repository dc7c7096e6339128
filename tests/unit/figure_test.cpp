#include <gtest/gtest.h>

#include <cmath>

#include "app/game_state.h"
#include "sim/figure.h"

// The figure as a new game leaves it, at (x, 0, z) with the given heading, in play mode; every
// tree at (tx, tz).
static void freshFigure(float heading, float x, float tx = -2.5f, float tz = 2.5f)
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
}

// The hips reach 30 and -20 on the 20th tick, then swing between 30 and -22 (leg 8) and
// -20 and 32 (leg 7), each arm mirroring its own side's leg.
TEST(Figure, HipsSpreadForTwentyTicksThenSwingInOpposition)
{
    freshFigure(0.0f, 0.0f);
    float low[2] = {100.0f, 100.0f}, high[2] = {-100.0f, -100.0f};
    for (int tick = 1; tick <= 200; ++tick) {
        figureTick();
        if (tick == 20) {
            EXPECT_TRUE(figureHipAngle[0] == 30.0f && figureHipAngle[1] == -20.0f);
        }
        for (int i = 0; i < 2 && tick > 20; ++i) {
            low[i] = std::fmin(low[i], figureHipAngle[i]);
            high[i] = std::fmax(high[i], figureHipAngle[i]);
            ASSERT_EQ(figureShoulderAngle[i], -figureHipAngle[i]) << "tick " << tick;
        }
    }
    EXPECT_TRUE(low[0] == -22.0f && high[0] == 30.0f) << low[0] << " " << high[0];
    EXPECT_TRUE(low[1] == -20.0f && high[1] == 32.0f) << low[1] << " " << high[1];
}

// Walking along +x at 0.011 a tick it turns about at the bound, walks back and turns again
// (450 wrapping to 90).
TEST(Figure, TurnsAboutAtTheBound)
{
    freshFigure(90.0f, 2.8f);
    figureTick();
    EXPECT_NEAR(figurePosition.x, 2.811f, 1e-5);
    int ticks = 0;
    for (const float next : {270.0f, 90.0f}) {
        for (const float heading = figureHeading; figureHeading == heading && ticks < 2000;) {
            figureTick();
            ASSERT_LT(std::fabs(figurePosition.x), 2.911f) << "tick " << ++ticks;
        }
        EXPECT_EQ(figureHeading, next);
        EXPECT_GE(std::fabs(figurePosition.x), 2.9f);
    }
}

// Diagonally from the centre it ends in the corner it heads for, walking on the spot there.
TEST(Figure, StuckInACorner)
{
    for (const float heading : {45.0f, 135.0f, 225.0f, 315.0f}) {
        freshFigure(heading, 0.0f, 2.5f, 0.0f);
        for (int i = 0; i < 3000; ++i) {
            figureTick();
        }
        const Vector3 spot = figurePosition;
        EXPECT_GE(std::fmin(std::fabs(spot.x), std::fabs(spot.z)), 2.9f) << heading;
        EXPECT_EQ(spot.x > 0.0f, std::sin(heading * 0.01745329f) > 0.0f) << heading;
        EXPECT_EQ(spot.z > 0.0f, std::cos(heading * 0.01745329f) > 0.0f) << heading;
        for (int i = 0; i < 100; ++i) {
            figureTick();
            ASSERT_TRUE(figurePosition.x == spot.x && figurePosition.z == spot.z) << heading;
        }
    }
}
