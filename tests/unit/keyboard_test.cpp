#include <GL/freeglut.h>
#include <gtest/gtest.h>

#include "app/game_state.h"
#include "app/lifecycle.h"
#include "input/keyboard.h"

static const unsigned char escapeKey = 27;

// Play by day, alive, on the ground, nothing held (screen -1), or a menu screen after it.
static void enter(int screen, int started = 1)
{
    playing = daytime = 1;
    menuScreen = flashlightOn = jumping = moveForward = moveBackward = strafeLeft = strafeRight = 0;
    gameStarted = started;
    health = 1.0f;
    playerVerticalSpeed = 0.0f;
    glDisable(GL_LIGHT1);
    if (screen >= 0) {
        enterMenuMode();
        menuScreen = screen;
    }
}

TEST(Keyboard, HelpAndEscapeMoveBetweenTheScreens)
{
    const struct { int screen, started; unsigned char key; int nowPlaying, nowScreen; } cases[] = {
        {-1, 1, 'h', 0, 2},      {-1, 1, 'H', 0, 2},      {0, 0, 'h', 0, 2},
        {1, 0, 'H', 0, 2},       {1, 0, escapeKey, 0, 0}, {1, 1, escapeKey, 0, 0},
        {2, 0, escapeKey, 0, 0}, {2, 1, escapeKey, 0, 0}, {0, 0, escapeKey, 0, 0},
        {0, 1, escapeKey, 1, 0}, {-1, 1, escapeKey, 0, 0}};
    for (const auto& c : cases) {
        enter(c.screen, c.started);
        keyDown(c.key, 0, 0);
        EXPECT_TRUE(playing == c.nowPlaying && menuScreen == c.nowScreen)
            << c.screen << " " << c.started << " " << c.key;
    }
}

TEST(Keyboard, PlayKeysActInPlayOnlyAndReleasesClearEverywhere)
{
    enter(-1);
    EXPECT_EXIT(keyDown('Q', 0, 0), ::testing::ExitedWithCode(0), "");
    health = 0.0f;  // exactly dead: no flashlight
    keyDown('l', 0, 0);
    EXPECT_FALSE(flashlightOn || glIsEnabled(GL_LIGHT1));
    health = 0.001f;
    keyDown('L', 0, 0);
    EXPECT_TRUE(flashlightOn && glIsEnabled(GL_LIGHT1));
    keyDown('t', 0, 0);
    EXPECT_FALSE(daytime || glIsEnabled(GL_LIGHT0));
    keyDown('T', 0, 0);
    EXPECT_TRUE(daytime && glIsEnabled(GL_LIGHT0));
    keyDown(' ', 0, 0);
    keyDown(' ', 0, 0);  // already in the air
    EXPECT_EQ(jumping, 1);
    EXPECT_FLOAT_EQ(playerVerticalSpeed, 0.04f);
    for (const int screen : {0, 1, 2}) {
        enter(screen);
        for (const unsigned char key : {'q', 'l', 't', ' '}) {
            keyDown(key, 0, 0);
        }
        EXPECT_TRUE(menuScreen == screen && flashlightOn == 0 && daytime == 1 && jumping == 0);
    }
    // Movement keys set their flag in play only; a release clears it in every mode.
    const struct { unsigned char down, up; int* flag; } keys[] = {
        {'w', 'W', &moveForward}, {'S', 's', &moveBackward}, {'a', 'A', &strafeLeft},
        {'D', 'd', &strafeRight}};
    for (const auto& k : keys) {
        enter(-1);
        keyDown(k.down, 0, 0);
        EXPECT_TRUE(*k.flag == 1 && moveForward + moveBackward + strafeLeft + strafeRight == 1);
        keyDown(escapeKey, 0, 0);
        keyUp(k.up, 0, 0);  // released in the menu
        EXPECT_EQ(*k.flag, 0) << k.down;
        keyDown(k.down, 0, 0);
        EXPECT_EQ(*k.flag, 0) << k.down << " pressed in the menu";
    }
}
