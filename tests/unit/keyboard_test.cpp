#include <GL/freeglut.h>
#include <gtest/gtest.h>

#include "app/game_state.h"
#include "app/lifecycle.h"
#include "input/keyboard.h"

static const unsigned char escapeKey = 27;

// Play mode by day, flashlight off, standing on the ground, no key held, cursor hidden.
static void startPlaying()
{
    playing = 1;
    menuScreen = 0;
    gameStarted = 1;
    health = 1.0f;
    daytime = 1;
    flashlightOn = 0;
    jumping = 0;
    playerVerticalSpeed = 0.0f;
    moveForward = moveBackward = strafeLeft = strafeRight = 0;
    glEnable(GL_LIGHT0);
    glDisable(GL_LIGHT1);
    glDisable(GL_LIGHT2);
    glutSetCursor(GLUT_CURSOR_NONE);
}

// A menu screen as enterMenuMode leaves it.
static void showMenu(int screen, int started)
{
    startPlaying();
    gameStarted = started;
    enterMenuMode();
    menuScreen = screen;
}

static bool lit(GLenum light)
{
    return glIsEnabled(light) == GL_TRUE;
}

TEST(Keyboard, HelpKeyLeavesPlayWithoutTouchingLightsOrCursor)
{
    for (const unsigned char key : {'h', 'H'}) {
        startPlaying();
        flashlightOn = 1;
        glEnable(GL_LIGHT1);
        keyDown(key, 0, 0);
        EXPECT_EQ(playing, 0) << key;
        EXPECT_EQ(menuScreen, 2) << key;
        EXPECT_TRUE(lit(GL_LIGHT0)) << key;
        EXPECT_TRUE(lit(GL_LIGHT1)) << key;
        EXPECT_FALSE(lit(GL_LIGHT2)) << key;
        EXPECT_EQ(glutGet(GLUT_WINDOW_CURSOR), GLUT_CURSOR_NONE) << key;
        EXPECT_EQ(flashlightOn, 1) << key;
        EXPECT_EQ(daytime, 1) << key;
    }
    // From the other menu screens H leads to help as well.
    for (const int screen : {0, 1}) {
        showMenu(screen, 0);
        keyDown('h', 0, 0);
        EXPECT_EQ(menuScreen, 2) << screen;
        EXPECT_EQ(playing, 0) << screen;
    }
}

TEST(Keyboard, EscapeFromEveryScreen)
{
    // Options and help go back to the main menu, started game or not.
    for (const int screen : {1, 2}) {
        for (const int started : {0, 1}) {
            showMenu(screen, started);
            keyDown(escapeKey, 0, 0);
            EXPECT_EQ(menuScreen, 0) << screen << " " << started;
            EXPECT_EQ(playing, 0) << screen << " " << started;
        }
    }
    // The main menu before any game: nothing happens.
    showMenu(0, 0);
    keyDown(escapeKey, 0, 0);
    EXPECT_EQ(playing, 0);
    EXPECT_EQ(menuScreen, 0);
    EXPECT_TRUE(lit(GL_LIGHT2));

    // The main menu of a paused game: play resumes with the play lights and no cursor.
    showMenu(0, 1);
    keyDown(escapeKey, 0, 0);
    EXPECT_EQ(playing, 1);
    EXPECT_FALSE(lit(GL_LIGHT2));
    EXPECT_TRUE(lit(GL_LIGHT0));
    EXPECT_EQ(glutGet(GLUT_WINDOW_CURSOR), GLUT_CURSOR_NONE);

    // Play, alive or dead: pause on the main menu with the menu light and the cursor.
    for (const float h : {1.0f, 0.0f}) {
        startPlaying();
        health = h;
        keyDown(escapeKey, 0, 0);
        EXPECT_EQ(playing, 0) << h;
        EXPECT_EQ(menuScreen, 0) << h;
        EXPECT_TRUE(lit(GL_LIGHT2)) << h;
        EXPECT_FALSE(lit(GL_LIGHT0)) << h;
        EXPECT_EQ(glutGet(GLUT_WINDOW_CURSOR), GLUT_CURSOR_CROSSHAIR) << h;
    }
}

TEST(KeyboardDeathTest, QuitsWithStatusZeroInPlayModeOnly)
{
    for (const unsigned char key : {'q', 'Q'}) {
        startPlaying();
        EXPECT_EXIT(keyDown(key, 0, 0), ::testing::ExitedWithCode(0), "") << key;
        // Dead players can quit too.
        health = 0.0f;
        EXPECT_EXIT(keyDown(key, 0, 0), ::testing::ExitedWithCode(0), "") << key;
    }
    for (const int screen : {0, 1, 2}) {
        showMenu(screen, 1);
        keyDown('q', 0, 0);
        keyDown('Q', 0, 0);
        EXPECT_EQ(playing, 0) << screen;
        EXPECT_EQ(menuScreen, screen) << screen;
    }
}

TEST(Keyboard, FlashlightRefusedOnlyWhenHealthIsExactlyZero)
{
    startPlaying();
    health = 0.0f;
    keyDown('l', 0, 0);
    EXPECT_EQ(flashlightOn, 0);
    EXPECT_FALSE(lit(GL_LIGHT1));

    health = 0.001f;
    keyDown('l', 0, 0);
    EXPECT_EQ(flashlightOn, 1);
    EXPECT_TRUE(lit(GL_LIGHT1));
    keyDown('L', 0, 0);
    EXPECT_EQ(flashlightOn, 0);
    EXPECT_FALSE(lit(GL_LIGHT1));

    // A dead player keeps a flashlight that was on.
    keyDown('L', 0, 0);
    health = 0.0f;
    keyDown('L', 0, 0);
    EXPECT_EQ(flashlightOn, 1);
    EXPECT_TRUE(lit(GL_LIGHT1));

    // The menus ignore it.
    showMenu(0, 1);
    flashlightOn = 1;
    keyDown('l', 0, 0);
    EXPECT_EQ(flashlightOn, 1);
    EXPECT_FALSE(lit(GL_LIGHT1));
}

TEST(Keyboard, DayNightTogglesTheSunInPlayOnly)
{
    startPlaying();
    health = 0.0f; // works for the dead as well
    keyDown('t', 0, 0);
    EXPECT_EQ(daytime, 0);
    EXPECT_FALSE(lit(GL_LIGHT0));
    keyDown('T', 0, 0);
    EXPECT_EQ(daytime, 1);
    EXPECT_TRUE(lit(GL_LIGHT0));

    showMenu(0, 1);
    keyDown('t', 0, 0);
    EXPECT_EQ(daytime, 1);
    EXPECT_FALSE(lit(GL_LIGHT0));
}

TEST(Keyboard, JumpOnlyFromTheGround)
{
    startPlaying();
    playerVerticalSpeed = 0.01f;
    keyDown(' ', 0, 0);
    EXPECT_EQ(jumping, 1);
    EXPECT_FLOAT_EQ(playerVerticalSpeed, 0.05f);
    keyDown(' ', 0, 0);
    EXPECT_EQ(jumping, 1);
    EXPECT_FLOAT_EQ(playerVerticalSpeed, 0.05f);

    showMenu(0, 0);
    jumping = 0;
    playerVerticalSpeed = 0.0f;
    keyDown(' ', 0, 0);
    EXPECT_EQ(jumping, 0);
    EXPECT_EQ(playerVerticalSpeed, 0.0f);
}

struct MoveKey {
    unsigned char key;
    int* flag;
};

TEST(Keyboard, MovementFlagsSetInPlayAndClearedInEveryMode)
{
    const MoveKey keys[] = {{'w', &moveForward},  {'W', &moveForward}, {'s', &moveBackward},
                            {'S', &moveBackward}, {'a', &strafeLeft},  {'A', &strafeLeft},
                            {'d', &strafeRight},  {'D', &strafeRight}};
    int* const flags[] = {&moveForward, &moveBackward, &strafeLeft, &strafeRight};
    for (const MoveKey& k : keys) {
        startPlaying();
        keyDown(k.key, 0, 0);
        for (int* flag : flags) {
            EXPECT_EQ(*flag, flag == k.flag ? 1 : 0) << k.key;
        }
        // Leaving play keeps a held key's flag; its release clears it in the menu.
        keyDown(escapeKey, 0, 0);
        EXPECT_EQ(*k.flag, 1) << k.key;
        keyUp('x', 0, 0);
        EXPECT_EQ(*k.flag, 1) << k.key;
        keyUp(k.key, 0, 0);
        EXPECT_EQ(*k.flag, 0) << k.key;

        // A press in the menus sets nothing.
        keyDown(k.key, 0, 0);
        EXPECT_EQ(*k.flag, 0) << k.key;
    }
    // Releases of the other case clear as well; all four at once while playing.
    startPlaying();
    for (const unsigned char key : {'w', 's', 'a', 'd'}) {
        keyDown(key, 0, 0);
    }
    for (const unsigned char key : {'W', 'S', 'A', 'D'}) {
        keyUp(key, 0, 0);
    }
    for (int* flag : flags) {
        EXPECT_EQ(*flag, 0);
    }
}
