#include <gtest/gtest.h>

#include <cmath>

#include "app/game_state.h"
#include "app/lifecycle.h"
#include "sim/figure.h"

// A new game's figure in play at (x, 0, 0) with the given heading, the trees out of its way;
// then ticks figure ticks.
static void freshFigure(float heading, float x, int ticks)
{
    newGame();
    playing = 1;
    figurePosition = Vector3(x, 0.0f, 0.0f);
    figureHeading = heading;
    for (Entity& tree : trees) {
        tree = Entity{-100.0f, 0.0f, 100.0f, 0.0f, 0, 0.0f, 0};
    }
    for (int i = 0; i < ticks; ++i) {
        figureTick();
    }
}

// The hips reach 30 and -20 on the 20th tick, then swing in opposition between 30 and -22
// (leg 8) and -20 and 32 (leg 7) in 13-tick strokes, each arm mirroring its own side's leg.
// Walking at 0.011 a tick the figure turns about at the bound (450 wrapping to 90); headed
// diagonally from the centre it ends in that corner, walking on the spot there.
TEST(Figure, GaitAndWalkTurningAtTheBoundAndStuckInACorner)
{
    freshFigure(0.0f, 0.0f, 20);
    for (const float hip : {30.0f, -22.0f, 30.0f}) {
        const float other = 10.0f - hip;
        EXPECT_TRUE(figureHipAngle[0] == hip && figureHipAngle[1] == other &&
                    figureShoulderAngle[0] == -hip && figureShoulderAngle[1] == -other) << hip;
        for (int i = 0; i < 13; ++i) {
            figureTick();
        }
    }
    freshFigure(90.0f, 2.8f, 1);
    EXPECT_NEAR(figurePosition.x, 2.811f, 1e-5);
    for (const float next : {270.0f, 90.0f}) {
        for (int ticks = 0; figureHeading != next && ticks < 2000; ++ticks) {
            figureTick();
            ASSERT_LT(std::fabs(figurePosition.x), 2.911f);
        }
        EXPECT_TRUE(figureHeading == next && std::fabs(figurePosition.x) >= 2.9f) << next;
    }
    for (const float heading : {45.0f, 135.0f, 225.0f, 315.0f}) {
        freshFigure(heading, 0.0f, 3000);
        const Vector3 spot = figurePosition;
        EXPECT_TRUE(std::fmin(std::fabs(spot.x), std::fabs(spot.z)) >= 2.9f &&
                    (spot.x > 0.0f) == (heading < 180.0f) &&
                    (spot.z > 0.0f) == (heading < 90.0f || heading > 270.0f)) << heading;
        figureTick();
        EXPECT_TRUE(figurePosition.x == spot.x && figurePosition.z == spot.z) << heading;
    }
}
