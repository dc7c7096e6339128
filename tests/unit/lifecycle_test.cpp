#include <GL/freeglut.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <ctime>

#include "app/game_state.h"
#include "app/lifecycle.h"

// From a played-out state: a fresh field from the clock's seed (unless the second turns
// meanwhile) in 81 rand() calls, bunnies and trees on the 0.1 grid from -3.0 to 2.9, headings
// in whole degrees; the player, score and figure reset, the options and menu state kept.
TEST(Lifecycle, NewGameLaysOutAFreshFieldAndKeepsTheOptions)
{
    health = 0.2f;
    elapsedSeconds = shotsFired = jumping = flashlightOn = daytime = figurePartHits[2] = 9;
    upVector = Vector3(0.0f, 0.0f, -0.25f);
    bunnies[5] = Entity{1.0f, 0.3f, 1.0f, 0.123f, 1, 12.5f, 3};
    gravity = 0.02f;
    menuScreen = gameStarted = hopIndex = 1;
    const time_t seed = time(nullptr);
    newGame();
    const int next = rand();
    srand(static_cast<unsigned int>(seed));
    for (int i = 0; i < 81; ++i) {
        rand();
    }
    EXPECT_TRUE(next == rand() || time(nullptr) != seed) << "81 rand() calls after the seeding";
    const auto onGrid = [](float v) {
        return v >= -3.0f && v <= 2.9f && std::fabs(v * 10.0f - std::round(v * 10.0f)) < 1e-3f;
    };
    for (int i = 0; i < bunnyCount; ++i) {
        const Entity& e = bunnies[i];
        const Entity& t = trees[i % treeCount];
        EXPECT_TRUE(onGrid(e.x) && onGrid(e.z) && onGrid(t.x) && onGrid(t.z) && e.y == 0.0f &&
                    e.heading == std::floor(e.heading) && e.heading >= 0.0f &&
                    e.heading < 360.0f && e.hits == 0 && e.airborne == 0) << i;
    }
    EXPECT_TRUE(figureHeading == std::floor(figureHeading) && health == 1.0f && jumping == 0 &&
                elapsedSeconds == 0 && shotsFired == 0 && figurePartHits[2] == 0);
    EXPECT_TRUE(flashlightOn == 0 && daytime == 1 && eyePosition.y == 1.45f && upVector.y == 1.0f);
    EXPECT_TRUE(gravity == 0.02f && menuScreen == 1 && gameStarted == 1 && hopIndex == 1);
    gravity = 0.008f;
    menuScreen = 0;
}

// Menu mode lights the menu and puts out the sun and the flashlight; play mode lights them by
// their flags and marks the game started. The clock counts only while playing with health
// above 0.
TEST(Lifecycle, ModesSwitchTheLightsAndTheClockCountsOnlyWhilePlayingAlive)
{
    for (const int flags : {1, 2, 3, 0}) {  // daytime, flashlightOn; 0 also dead
        glEnable(GL_LIGHT0);
        glEnable(GL_LIGHT1);
        gameStarted = 0;
        health = 0.004f * flags;
        elapsedSeconds = 10;
        enterMenuMode();
        clockTick();
        EXPECT_TRUE(playing == 0 && glIsEnabled(GL_LIGHT2) && !glIsEnabled(GL_LIGHT0) &&
                    !glIsEnabled(GL_LIGHT1) && elapsedSeconds == 10);
        daytime = flags & 1;
        flashlightOn = flags >> 1;
        enterPlayMode();
        clockTick();
        EXPECT_TRUE(playing == 1 && gameStarted == 1 && !glIsEnabled(GL_LIGHT2) &&
                    glIsEnabled(GL_LIGHT0) == (flags & 1) && glIsEnabled(GL_LIGHT1) == flags >> 1 &&
                    elapsedSeconds == 10 + (flags != 0)) << flags;
    }
    enterMenuMode();
    health = 1.0f;
    daytime = 1;
}
