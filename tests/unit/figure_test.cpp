#include <gtest/gtest.h>

#include <cmath>

#include "app/game_state.h"
#include "sim/figure.h"

// The figure as a new game leaves it, at (x, 0, z) with the given heading, in play mode,
// with every tree parked in a corner it never reaches from the tests' paths.
static void freshFigure(float heading, float x = 0.0f, float z = 0.0f)
{
    playing = 1;
    figurePosition = Vector3(x, 0.0f, z);
    figureHeading = heading;
    figureHipAngle[0] = 10.0f;
    figureHipAngle[1] = 0.0f;
    figureHipStep[0] = 1;
    figureHipStep[1] = -1;
    for (int i = 0; i < 2; ++i) {
        figureKneeAngle[i] = figureShoulderAngle[i] = figureElbowAngle[i] = 0.0f;
    }
    for (Entity& tree : trees) {
        tree = Entity{-2.5f, 0.0f, 2.5f, 0.0f, 0, 0.0f, 0};
    }
}

TEST(FigureGait, HipsSpreadForTwentyTicksThenSwingInOpposition)
{
    freshFigure(0.0f);
    for (int tick = 1; tick <= 20; ++tick) {
        EXPECT_TRUE(figureTick());
    }
    EXPECT_EQ(figureHipAngle[0], 30.0f);
    EXPECT_EQ(figureHipAngle[1], -20.0f);
    EXPECT_EQ(figureHipStep[0], -4);
    EXPECT_EQ(figureHipStep[1], 4);

    float low[2] = {30.0f, -20.0f};
    float high[2] = {30.0f, -20.0f};
    int backAt30 = 0;
    for (int tick = 21; tick <= 200; ++tick) {
        figureTick();
        for (int i = 0; i < 2; ++i) {
            const float hip = figureHipAngle[i];
            low[i] = std::fmin(low[i], hip);
            high[i] = std::fmax(high[i], hip);
            ASSERT_EQ(hip, std::round(hip)) << "hips stay whole numbers";
            ASSERT_EQ(figureShoulderAngle[i], -hip) << "the arm mirrors its own side's leg";
            if (std::fabs(hip) > 10.0f) {
                ASSERT_EQ(figureKneeAngle[i], std::fabs(hip));
            }
            if (figureShoulderAngle[i] >= 0.0f) {
                ASSERT_FLOAT_EQ(figureElbowAngle[i], 0.4f * figureShoulderAngle[i]);
            }
        }
        if (backAt30 == 0 && figureHipAngle[0] == 30.0f) {
            backAt30 = tick;
        }
    }
    EXPECT_EQ(low[0], -22.0f);
    EXPECT_EQ(high[0], 30.0f);
    EXPECT_EQ(low[1], -20.0f);
    EXPECT_EQ(high[1], 32.0f);
    EXPECT_EQ(backAt30 - 20, 26) << "a full swing takes 26 ticks";
}

TEST(FigureGait, KneeAndElbowKeepTheirBendOutsideTheirRange)
{
    freshFigure(0.0f);
    figureHipAngle[0] = -14.0f;
    figureHipStep[0] = 4;
    figureKneeAngle[0] = 14.0f;
    figureElbowAngle[0] = 5.6f;
    figureTick();  // hip -10: the knee keeps 14; shoulder 10: the elbow bends to 4
    EXPECT_EQ(figureKneeAngle[0], 14.0f);
    EXPECT_FLOAT_EQ(figureElbowAngle[0], 4.0f);
    figureTick();  // hip -6
    figureTick();  // hip -2
    figureTick();  // hip 2: shoulder -2, the elbow keeps its 0.8
    EXPECT_EQ(figureHipAngle[0], 2.0f);
    EXPECT_FLOAT_EQ(figureElbowAngle[0], 0.8f);
    EXPECT_EQ(figureKneeAngle[0], 14.0f);
}

TEST(FigureWalk, MenuModeFreezesPositionAndPose)
{
    freshFigure(37.0f, 0.5f, -0.5f);
    playing = 0;
    for (int i = 0; i < 30; ++i) {
        EXPECT_TRUE(figureTick());
    }
    EXPECT_EQ(figurePosition.x, 0.5f);
    EXPECT_EQ(figurePosition.z, -0.5f);
    EXPECT_EQ(figureHipAngle[0], 10.0f);
    EXPECT_EQ(figureHeading, 37.0f);
}

TEST(FigureWalk, TurnsAboutAtTheBound)
{
    freshFigure(90.0f, 2.8f, 0.0f);
    figureTick();
    EXPECT_NEAR(figurePosition.x, 2.811f, 1e-5) << "heading 90 walks along +x";
    EXPECT_NEAR(figurePosition.z, 0.0f, 1e-5);
    int ticks = 1;
    while (figureHeading == 90.0f && ticks < 100) {
        figureTick();
        ++ticks;
        ASSERT_LT(figurePosition.x, 2.9f + 0.011f);
    }
    EXPECT_EQ(figureHeading, 270.0f);
    EXPECT_GE(figurePosition.x, 2.9f);
    const float x = figurePosition.x;
    figureTick();
    EXPECT_NEAR(figurePosition.x, x - 0.011f, 1e-5) << "walks back along -x";
    while (figureHeading == 270.0f && ticks < 2000) {
        figureTick();
        ++ticks;
        ASSERT_GT(figurePosition.x, -2.9f - 0.011f);
    }
    EXPECT_EQ(figureHeading, 90.0f) << "450 wraps to 90";
    EXPECT_LE(figurePosition.x, -2.9f);
}

TEST(FigureWalk, DiagonalFromTheCentreEndsWalkingOnTheSpotInACorner)
{
    for (const float heading : {45.0f, 135.0f, 225.0f, 315.0f}) {
        freshFigure(heading);
        for (Entity& tree : trees) {
            tree = Entity{2.5f, 0.0f, 0.0f, 0.0f, 0, 0.0f, 0};  // off the diagonals
        }
        for (int i = 0; i < 3000; ++i) {
            figureTick();
        }
        const Vector3 spot = figurePosition;
        EXPECT_GE(std::fabs(spot.x), 2.9f) << heading;
        EXPECT_GE(std::fabs(spot.z), 2.9f) << heading;
        EXPECT_EQ(spot.x > 0.0f, std::sin(heading * 0.01745329f) > 0.0f) << heading;
        EXPECT_EQ(spot.z > 0.0f, std::cos(heading * 0.01745329f) > 0.0f) << heading;
        for (int i = 0; i < 100; ++i) {
            figureTick();
            ASSERT_EQ(figurePosition.x, spot.x) << heading;
            ASSERT_EQ(figurePosition.z, spot.z) << heading;
            ASSERT_EQ(figureHeading, heading) << "two turns of 180 each tick";
        }
    }
}

TEST(FigureWalk, TreeTurnsItByFourTenthsUntilItSlidesClear)
{
    freshFigure(90.0f, 0.5f, -0.05f);  // turning right slides it away from z = 0
    trees[2] = Entity{1.0f, 0.0f, 0.0f, 0.0f, 0, 0.0f, 0};
    int blocked = 0;
    float previousX = figurePosition.x;
    for (int i = 0; i < 400 && figurePosition.x < 1.3f; ++i) {
        const float heading = figureHeading;
        figureTick();
        if (figurePosition.x == previousX) {
            ++blocked;
            ASSERT_NEAR(figureHeading - heading, 0.4f, 1e-4);
        }
        // Never across the trunk's line while within its square on z.
        if (std::fabs(figurePosition.z - 0.0f) < 0.2f) {
            ASSERT_LT(figurePosition.x, 1.0f);
        }
        previousX = figurePosition.x;
    }
    EXPECT_GT(blocked, 0);
    EXPECT_GT(figurePosition.x, 1.0f) << "it edged round the tree and walked on";
}
