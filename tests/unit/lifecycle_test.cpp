#include <gtest/gtest.h>

#include <GL/freeglut.h>

#include <cmath>
#include <cstdlib>
#include <ctime>
#include <vector>

#include "app/game_state.h"
#include "app/lifecycle.h"
#include "sim/bunnies.h"
#include "sim/player.h"

// Puts every value a new game touches, and every value it must keep, off its default.
static void dirtyState()
{
    pickRegionSize = 5.0f;
    fieldOfView = 40.0f;
    lookPitch = 0.5f;
    lookYaw = 1.0f;
    elapsedSeconds = 33;
    shotsFired = 9;
    jumping = 1;
    playerVerticalSpeed = 0.3f;
    health = 0.2f;
    flashlightOn = 1;
    daytime = 0;
    eyePosition = Vector3(2.0f, 0.1f, -2.0f);
    upVector = Vector3(0.0f, 0.0f, -0.25f);
    for (int& hits : figurePartHits) {
        hits = 4;
    }
    figureTimerInterval = 0.0f;
    figurePosition = Vector3(1.0f, 0.0f, 2.0f);
    for (int i = 0; i < 2; ++i) {
        figureHipAngle[i] = figureKneeAngle[i] = figureShoulderAngle[i] = 17.0f;
        figureElbowAngle[i] = 6.0f;
        figureHipStep[i] = 4;
    }
    for (Entity& bunny : bunnies) {
        bunny = Entity{1.0f, 0.3f, 1.0f, 0.123f, 1, 12.5f, 3};
    }
    for (Entity& tree : trees) {
        tree = Entity{1.0f, 0.5f, 1.0f, 0.25f, 1, 7.0f, 2};
    }
    gravity = 0.02f;
    gravitySetting = 2;
    sfxVolume = 35;
    crosshairColor[0] = 0.5f;
    crosshairColor[1] = 0.0f;
    crosshairColor[2] = 1.0f;
    menuScreen = 1;
    gameStarted = 1;
    hopIndex = 7;
    moveForward = 1;
}

// Whether v is one of -3.0, -2.9, ..., 2.9.
static bool onGrid(float v)
{
    const float tenths = std::round((v + 3.0f) * 10.0f);
    return tenths >= 0.0f && tenths <= 59.0f && std::fabs(v - (tenths / 10.0f - 3.0f)) < 1e-5f;
}

TEST(NewGame, LaysOutAFreshFieldFromTheClockWithEightyOneDraws)
{
    dirtyState();
    time_t seed = 0;
    int next = 0;
    for (int attempt = 0; attempt < 5; ++attempt) {  // the second must not turn during it
        seed = time(nullptr);
        newGame();
        next = rand();
        if (time(nullptr) == seed) {
            break;
        }
    }
    srand(static_cast<unsigned int>(seed));
    std::vector<int> draws;
    for (int i = 0; i < 82; ++i) {
        draws.push_back(rand());
    }
    EXPECT_EQ(next, draws[81]) << "exactly 81 rand() calls after seeding with the time";

    // Whatever the C library's RAND_MAX, the layout uses draws of 0..32767: every bunny and
    // tree on the 0.1 grid from -3.0 to 2.9, every heading a whole degree 0..359.
    for (const Entity& bunny : bunnies) {
        EXPECT_TRUE(onGrid(bunny.x)) << bunny.x;
        EXPECT_TRUE(onGrid(bunny.z)) << bunny.z;
        EXPECT_EQ(bunny.heading, std::floor(bunny.heading));
        EXPECT_GE(bunny.heading, 0.0f);
        EXPECT_LE(bunny.heading, 359.0f);
        EXPECT_EQ(bunny.y, 0.0f);
        EXPECT_EQ(bunny.hits, 0);
        EXPECT_EQ(bunny.airborne, 0);
        EXPECT_EQ(bunny.verticalSpeed, 0.123f) << "left for the next hop to set";
    }
    for (const Entity& tree : trees) {
        EXPECT_TRUE(onGrid(tree.x)) << tree.x;
        EXPECT_TRUE(onGrid(tree.z)) << tree.z;
        EXPECT_EQ(tree.y, 0.0f);
    }
    EXPECT_EQ(figureHeading, std::floor(figureHeading));
    EXPECT_LE(figureHeading, 359.0f);
}

TEST(NewGame, ResetsThePlayerScoreAndFigureButKeepsOptionsAndMenuState)
{
    dirtyState();
    newGame();
    EXPECT_EQ(pickRegionSize, 1.0f);
    EXPECT_EQ(fieldOfView, 90.0f);
    EXPECT_EQ(lookPitch, 0.0f);
    EXPECT_EQ(lookYaw, 0.0f);
    EXPECT_EQ(elapsedSeconds, 0);
    EXPECT_EQ(shotsFired, 0);
    EXPECT_EQ(jumping, 0);
    EXPECT_EQ(playerVerticalSpeed, 0.0f);
    EXPECT_EQ(health, 1.0f);
    EXPECT_EQ(flashlightOn, 0);
    EXPECT_EQ(daytime, 1);
    for (const int hits : figurePartHits) {
        EXPECT_EQ(hits, 0);
    }
    EXPECT_EQ(figureTimerInterval, 0.00001f);
    EXPECT_EQ(figurePosition.x, 0.0f);
    EXPECT_EQ(figurePosition.y, 0.0f);
    EXPECT_EQ(figurePosition.z, 0.0f);
    EXPECT_EQ(figureHipAngle[0], 10.0f);
    EXPECT_EQ(figureHipAngle[1], 0.0f);
    EXPECT_EQ(figureHipStep[0], 1);
    EXPECT_EQ(figureHipStep[1], -1);
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(figureKneeAngle[i], 0.0f);
        EXPECT_EQ(figureShoulderAngle[i], 0.0f);
        EXPECT_EQ(figureElbowAngle[i], 0.0f);
    }
    // The camera, set up afresh.
    EXPECT_FLOAT_EQ(eyePosition.x, 0.0f);
    EXPECT_FLOAT_EQ(eyePosition.y, 1.45f);
    EXPECT_FLOAT_EQ(eyePosition.z, 1.0f);
    EXPECT_FLOAT_EQ(upVector.y, 1.0f);
    EXPECT_FLOAT_EQ(upVector.z, 0.0f);
    EXPECT_NEAR(lookAtPoint.x, 0.25f, 1e-6);
    EXPECT_NEAR(lookAtPoint.y, 1.45f, 1e-6);
    // Kept.
    EXPECT_EQ(gravity, 0.02f);
    EXPECT_EQ(gravitySetting, 2);
    EXPECT_EQ(sfxVolume, 35);
    EXPECT_EQ(crosshairColor[0], 0.5f);
    EXPECT_EQ(crosshairColor[1], 0.0f);
    EXPECT_EQ(crosshairColor[2], 1.0f);
    EXPECT_EQ(menuScreen, 1);
    EXPECT_EQ(gameStarted, 1);
    EXPECT_EQ(hopIndex, 7);
    EXPECT_EQ(moveForward, 1);
    EXPECT_EQ(trees[0].heading, 7.0f) << "a tree's unused fields are not touched";
    moveForward = 0;
    gravity = 0.008f;
    gravitySetting = 0;
    sfxVolume = 80;
    menuScreen = 0;
}

// Ends every walk and bunny chain the test armed: their next ticks find them stale.
static void retireChains()
{
    playing = 0;
    playEntryCount += 1;
    moveForward = moveBackward = strafeLeft = strafeRight = 0;
}

TEST(Modes, MenuAndPlaySwitchTheLightsAndTheCursor)
{
    struct {
        int day;
        int flashlight;
    } const cases[] = {{1, 0}, {0, 1}, {1, 1}, {0, 0}};
    for (const auto& c : cases) {
        glEnable(GL_LIGHT0);
        glEnable(GL_LIGHT1);
        menuScreen = 2;
        enterMenuMode();
        EXPECT_EQ(playing, 0);
        EXPECT_EQ(menuScreen, 0);
        EXPECT_TRUE(glIsEnabled(GL_LIGHT2));
        EXPECT_FALSE(glIsEnabled(GL_LIGHT0));
        EXPECT_FALSE(glIsEnabled(GL_LIGHT1));
        EXPECT_EQ(glutGet(GLUT_WINDOW_CURSOR), GLUT_CURSOR_CROSSHAIR);

        daytime = c.day;
        flashlightOn = c.flashlight;
        menuScreen = 2;  // entering play leaves the screen number alone
        enterPlayMode();
        EXPECT_EQ(playing, 1);
        EXPECT_EQ(gameStarted, 1);
        EXPECT_EQ(menuScreen, 2);
        EXPECT_FALSE(glIsEnabled(GL_LIGHT2));
        EXPECT_EQ(glIsEnabled(GL_LIGHT0) == GL_TRUE, c.day == 1) << c.day << c.flashlight;
        EXPECT_EQ(glIsEnabled(GL_LIGHT1) == GL_TRUE, c.flashlight == 1) << c.day << c.flashlight;
        EXPECT_EQ(glutGet(GLUT_WINDOW_CURSOR), GLUT_CURSOR_NONE);
    }
    enterMenuMode();
    EXPECT_EQ(gameStarted, 1) << "never cleared";
    daytime = 1;
    flashlightOn = 0;
    retireChains();
}

TEST(Modes, ClockCountsOnlyWhilePlayingAlive)
{
    struct {
        int playing;
        float health;
        int added;
    } const cases[] = {{1, 1.0f, 1}, {1, 0.004f, 1}, {1, 0.0f, 0}, {0, 1.0f, 0}};
    for (const auto& c : cases) {
        playing = c.playing;
        health = c.health;
        elapsedSeconds = 10;
        EXPECT_TRUE(clockTick());
        EXPECT_EQ(elapsedSeconds, 10 + c.added) << c.playing << " " << c.health;
    }
    playing = 0;
    health = 1.0f;
}

TEST(Modes, AChainFromAnEarlierPlayEntryEndsAtItsNextTick)
{
    enterPlayMode();
    const int oldEntry = playEntryCount;
    enterMenuMode();
    enterPlayMode();  // before the old chain's pending tick
    ASSERT_NE(playEntryCount, oldEntry);

    health = 1.0f;
    eyePosition = Vector3(0.0f, 0.45f, 1.0f);
    lookAtPoint = Vector3(0.25f, 0.45f, 1.0f);
    upVector = Vector3(0.0f, 1.0f, 0.0f);
    for (Entity& tree : trees) {
        tree = Entity{-2.9f, 0.0f, -2.9f, 0.0f, 0, 0.0f, 0};
    }
    moveForward = 1;
    const int index = hopIndex;

    walkTimer(oldEntry);
    bunnyTimer(oldEntry);
    EXPECT_EQ(eyePosition.x, 0.0f) << "the stale walk tick made a step";
    EXPECT_EQ(hopIndex, index) << "the stale bunny tick ran";

    walkTimer(playEntryCount);
    bunnyTimer(playEntryCount);
    EXPECT_GT(eyePosition.x, 0.05f);
    EXPECT_NE(hopIndex, index);
    retireChains();
}
