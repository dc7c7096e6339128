#include <GL/freeglut.h>
#include <gtest/gtest.h>

#include <cmath>

#include "app/game_state.h"
#include "app/lifecycle.h"
#include "app/startup.h"
#include "input/keyboard.h"
#include "input/mouse.h"

static const unsigned char escapeKey = 27;

// Play by day, alive, on the ground, nothing held (screen -1), or a menu screen after it.
static void enter(int screen, int started = 1)
{
    playing = daytime = 1;
    menuScreen = flashlightOn = jumping = moveForward = moveBackward = strafeLeft = strafeRight = 0;
    gameStarted = started;
    health = 1.0f;
    playerVerticalSpeed = 0.0f;
    glEnable(GL_LIGHT0);
    glDisable(GL_LIGHT1);
    if (screen >= 0) {
        enterMenuMode();
        menuScreen = screen;
    }
}

// H opens help from anywhere; Escape leaves play for the main menu, goes back to it from the
// other screens, and from it resumes a started game only. In play Q quits, L switches the
// flashlight unless the player is dead, T the sun, space jumps from the ground only, and W, S,
// A and D set their flag; in the menus none of them does anything, but a release clears.
TEST(Keyboard, ScreensFollowHelpAndEscapeAndPlayKeysActInPlayOnly)
{
    const struct { int screen, started; unsigned char key; int nowPlaying, nowScreen; } cases[] = {
        {-1, 1, 'h', 0, 2},      {0, 0, 'H', 0, 2},       {1, 0, 'h', 0, 2},
        {1, 1, escapeKey, 0, 0}, {2, 0, escapeKey, 0, 0}, {0, 0, escapeKey, 0, 0},
        {0, 1, escapeKey, 1, 0}, {-1, 1, escapeKey, 0, 0}};
    for (const auto& c : cases) {
        enter(c.screen, c.started);
        keyDown(c.key, 0, 0);
        EXPECT_TRUE(playing == c.nowPlaying && menuScreen == c.nowScreen)
            << c.screen << " " << c.started << " " << c.key;
    }
    enter(-1);
    EXPECT_EXIT(keyDown('Q', 0, 0), ::testing::ExitedWithCode(0), "");
    const struct { unsigned char key; float health; int flashlight, day; } steps[] = {
        {'l', 0.0f, 0, 1}, {'L', 0.001f, 1, 1}, {'t', 1.0f, 1, 0}, {'T', 1.0f, 1, 1},
        {'l', 1.0f, 0, 1}};
    for (const auto& s : steps) {
        health = s.health;
        keyDown(s.key, 0, 0);
        EXPECT_TRUE(flashlightOn == s.flashlight && glIsEnabled(GL_LIGHT1) == s.flashlight &&
                    daytime == s.day && glIsEnabled(GL_LIGHT0) == s.day) << s.key << s.health;
    }
    keyDown(' ', 0, 0);
    keyDown(' ', 0, 0);  // already in the air
    EXPECT_TRUE(jumping == 1 && playerVerticalSpeed == 0.04f);
    const struct { char down, up; int* flag; } keys[] = {
        {'w', 'W', &moveForward}, {'S', 's', &moveBackward}, {'a', 'A', &strafeLeft},
        {'D', 'd', &strafeRight}};
    for (const auto& k : keys) {
        enter(-1);
        keyDown(k.down, 0, 0);
        EXPECT_TRUE(*k.flag == 1 && moveForward + moveBackward + strafeLeft + strafeRight == 1);
        keyDown(escapeKey, 0, 0);
        keyUp(k.up, 0, 0);  // released in the menu
        for (const char key : {'q', 'l', 't', ' ', k.down}) {
            keyDown(key, 0, 0);
        }
        EXPECT_TRUE(*k.flag == 0 && playing == 0 && menuScreen == 0 && flashlightOn == 0 &&
                    daytime == 1 && jumping == 0) << k.down;
    }
}

// A pixel off the centre turns the view 0.1 degree (right towards +z, down looks down); the
// pitch stops at 80 degrees and the yaw wraps by 6.2829852. The warp back to the centre
// (rounded down) turns nothing, nor does any move of a dead player.
TEST(MouseLook, TurnsPerPixelClampsPitchWrapsYawAndIgnoresTheCentreAndTheDead)
{
    const float perPixel = 0.001745329f;
    enter(-1);
    reshape(1024, 768);
    setUpCamera();  // the eye stands at x 0, z 1
    mouseLook(522, 404);
    EXPECT_TRUE(std::fabs(lookYaw - 10 * perPixel) < 1e-7f &&
                std::fabs(lookPitch + 20 * perPixel) < 1e-7f) << lookYaw << ", " << lookPitch;
    EXPECT_NEAR(std::atan2(lookAtPoint.z - 1.0f, lookAtPoint.x), lookYaw, 1e-4f);
    for (const int y : {0, 767}) {
        for (int i = 0; i < 20; ++i) {
            mouseLook(512, y);
        }
        EXPECT_EQ(lookPitch, y == 0 ? 1.3962632f : -1.3962632f);
    }
    lookYaw = -6.28f;
    mouseLook(502, 384);
    EXPECT_NEAR(lookYaw, -6.28f - 10 * perPixel + 6.2829852f, 1e-6f);
    lookYaw = 0.3f;
    lookPitch = 0.0f;
    windowWidth = 1023;  // the centre rounds down to 511
    mouseLook(511, 384);
    mouseLook(512, 384);
    health = 0.0f;
    mouseLook(700, 100);
    EXPECT_TRUE(std::fabs(lookYaw - 0.3f - perPixel) < 1e-7f && lookPitch == 0.0f) << lookYaw;
    reshape(1024, 768);
    enter(0);
}
