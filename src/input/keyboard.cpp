#include "input/keyboard.h"

#include <GL/freeglut.h>
#include <GL/glx.h>
#include <X11/Xlib.h>

#include <cctype>

#include "app/game_state.h"
#include "app/lifecycle.h"
#include "app/startup.h"
#include "app/pass_clock.h"

static const unsigned char escapeKey = 27;

// The connection that hears the game window's focus events; null without a watch.
static Display* focusDisplay = nullptr;

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

void watchKeyboardFocus()
{
    Display* toolkitDisplay = glXGetCurrentDisplay();
    const GLXDrawable window = glXGetCurrentDrawable();
    if (toolkitDisplay == nullptr || window == 0 || focusDisplay != nullptr) {
        return;
    }
    // A second connection: its event mask is its own, so the toolkit's events are untouched.
    focusDisplay = XOpenDisplay(DisplayString(toolkitDisplay));
    if (focusDisplay != nullptr) {
        XSelectInput(focusDisplay, window, FocusChangeMask);
        XFlush(focusDisplay);
    }
}

void releaseKeysOnFocusLoss()
{
    bool lost = false;
    while (focusDisplay != nullptr && XPending(focusDisplay) > 0) {
        XEvent event;
        XNextEvent(focusDisplay, &event);
        // Also a grab (a window manager's switcher) and a pointer that took the focus along.
        lost = lost || (event.type == FocusOut && event.xfocus.detail != NotifyInferior);
    }
    if (lost) {
        releaseMovementKeys();
    }
}
