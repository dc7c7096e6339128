#include "input/keyboard.h"

#include <GL/freeglut.h>

#include <cctype>

#include "app/game_state.h"
#include "app/lifecycle.h"
#include "app/startup.h"
#include "app/pass_clock.h"

static const unsigned char escapeKey = 27;

// Switches the flashlight, unless the player is dead (health exactly 0.0).
static void toggleFlashlight()
{
    if (health == 0.0f) {
        return;
    }
    flashlightOn = !flashlightOn;
    if (flashlightOn == 1) {
        glEnable(GL_LIGHT1);
    } else {
        glDisable(GL_LIGHT1);
    }
    requestRedisplay();
}

// Switches between day and night, with the sun following.
static void toggleDaytime()
{
    daytime = !daytime;
    if (daytime == 1) {
        glEnable(GL_LIGHT0);
    } else {
        glDisable(GL_LIGHT0);
    }
    requestRedisplay();
}

// A jump is accepted only on the ground; gravityTimer clears jumping on landing.
static void startJump()
{
    if (jumping == 0) {
        jumping = 1;
        playerVerticalSpeed += 0.04f;
    }
}

// A key pressed in play mode; key is already lower case.
static void playKey(unsigned char key)
{
    switch (key) {
    case escapeKey:
        enterMenuMode();
        break;
    case ' ':
        startJump();
        break;
    case 'l':
        toggleFlashlight();
        break;
    case 't':
        toggleDaytime();
        break;
    case 'q':
        leaveFullScreen();
        quitGame(0);
    case 'w':
        moveForward = 1;
        break;
    case 's':
        moveBackward = 1;
        break;
    case 'a':
        strafeLeft = 1;
        break;
    case 'd':
        strafeRight = 1;
        break;
    default:
        break;
    }
}

// Escape in the menus: back into a started game from the main menu, else to the main menu.
static void menuEscape()
{
    if (menuScreen == 0) {
        if (gameStarted == 1) {
            enterPlayMode();
        }
    } else if (menuScreen == 1) {
        menuScreen = 0;
    }
    if (menuScreen == 2) {
        menuScreen = 0;
    }
}

void keyDown(unsigned char key, int, int)
{
    const unsigned char lower = static_cast<unsigned char>(std::tolower(key));
    // H works everywhere and changes nothing but the screen: no lights, no cursor.
    if (lower == 'h') {
        playing = 0;
        menuScreen = 2;
    }
    if (playing == 1) {
        playKey(lower);
    } else if (key == escapeKey) {
        menuEscape();
    }
    requestRedisplay();
}

void keyUp(unsigned char key, int, int)
{
    switch (std::tolower(key)) {
    case 'w':
        moveForward = 0;
        break;
    case 's':
        moveBackward = 0;
        break;
    case 'd':
        strafeRight = 0;
        break;
    case 'a':
        strafeLeft = 0;
        break;
    default:
        break;
    }
}

void releaseMovementKeys()
{
    moveForward = 0;
    moveBackward = 0;
    strafeLeft = 0;
    strafeRight = 0;
}
