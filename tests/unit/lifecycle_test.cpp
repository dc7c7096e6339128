#include <gtest/gtest.h>

#include <GL/freeglut.h>

#include <cmath>
#include <cstdlib>
#include <ctime>

#include "app/game_state.h"
#include "app/lifecycle.h"

// Whether v is one of -3.0, -2.9, ..., 2.9.
static bool onGrid(float v)
{
    const float tenths = std::round((v + 3.0f) * 10.0f);
    return tenths >= 0.0f && tenths <= 59.0f && std::fabs(v - (tenths / 10.0f - 3.0f)) < 1e-5f;
}

// From a played-out state: a fresh field from the clock's seed in 81 rand() calls, the player,
// score and figure reset, the options and menu state kept.
TEST(Lifecycle, NewGameLaysOutAFreshFieldAndKeepsTheOptions)
{
    health = 0.2f;
    elapsedSeconds = shotsFired = jumping = flashlightOn = figurePartHits[2] = 9;
    daytime = 0;
    upVector = Vector3(0.0f, 0.0f, -0.25f);
    bunnies[5] = Entity{1.0f, 0.3f, 1.0f, 0.123f, 1, 12.5f, 3};
    gravity = crosshairColor[1] = 0.02f;
    gravitySetting = menuScreen = gameStarted = 1;
    hopIndex = 7;
    time_t seed = 0;
    int next = 0;
    for (int attempt = 0; attempt < 5 && seed != time(nullptr); ++attempt) {
        seed = time(nullptr);  // again if the second turns during the new game
        newGame();
        next = rand();
    }
    srand(static_cast<unsigned int>(seed));
    for (int i = 0; i < 81; ++i) {
        rand();
    }
    EXPECT_EQ(next, rand()) << "exactly 81 rand() calls after seeding with the time";
    for (int i = 0; i < bunnyCount; ++i) {
        const Entity& e = bunnies[i];
        const Entity& t = trees[i % treeCount];
        EXPECT_TRUE(onGrid(e.x) && onGrid(e.z) && onGrid(t.x) && onGrid(t.z)) << i;
        EXPECT_TRUE(e.heading == std::floor(e.heading) && e.heading >= 0.0f && e.heading < 360.0f &&
                    e.y == 0.0f && e.hits == 0 && e.airborne == 0) << i;
    }
    EXPECT_TRUE(figureHeading == std::floor(figureHeading) && health == 1.0f && jumping == 0 &&
                elapsedSeconds == 0 && shotsFired == 0 && figurePartHits[2] == 0);
    EXPECT_TRUE(flashlightOn == 0 && daytime == 1 && eyePosition.y == 1.45f && upVector.y == 1.0f);
    EXPECT_TRUE(gravity == 0.02f && crosshairColor[1] == 0.02f && gravitySetting == 1 &&
                menuScreen == 1 && gameStarted == 1 && hopIndex == 7);
    gravity = 0.008f;
    crosshairColor[1] = 1.0f;
    gravitySetting = menuScreen = 0;
}

// Menu mode lights the menu and puts out the sun and the flashlight; play mode lights them by
// their flags; gameStarted stays 1. The clock counts only while playing with health above 0.
TEST(Lifecycle, ModesSwitchTheLightsAndTheClockCountsOnlyWhilePlayingAlive)
{
    for (const int flags : {1, 2, 3, 0}) {  // daytime, flashlightOn
        glEnable(GL_LIGHT0);
        glEnable(GL_LIGHT1);
        enterMenuMode();
        EXPECT_TRUE(playing == 0 && glIsEnabled(GL_LIGHT2) && !glIsEnabled(GL_LIGHT0) &&
                    !glIsEnabled(GL_LIGHT1));
        daytime = flags & 1;
        flashlightOn = flags >> 1;
        enterPlayMode();
        EXPECT_TRUE(playing == 1 && gameStarted == 1 && !glIsEnabled(GL_LIGHT2) &&
                    glIsEnabled(GL_LIGHT0) == (flags & 1) && glIsEnabled(GL_LIGHT1) == flags >> 1)
            << flags;
    }
    enterMenuMode();
    playEntryCount += 1;  // the chains armed here find themselves stale
    const float cases[][3] = {{1, 1.0f, 1}, {1, 0.004f, 1}, {1, 0.0f, 0}, {0, 1.0f, 0}};
    for (const auto& c : cases) {  // playing, health, seconds added
        playing = static_cast<int>(c[0]);
        health = c[1];
        elapsedSeconds = 10;
        clockTick();
        EXPECT_EQ(elapsedSeconds, 10 + static_cast<int>(c[2])) << c[0] << " " << c[1];
    }
    playing = flashlightOn = 0;
    health = 1.0f;
    daytime = 1;
}
