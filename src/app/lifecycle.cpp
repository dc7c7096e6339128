#include "app/lifecycle.h"

#include <GL/freeglut.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>

#include "app/audio.h"
#include "app/game_state.h"
#include "app/pass_clock.h"
#include "input/keyboard_focus.h"
#include "input/mouse.h"
#include "render/lights.h"
#include "sim/bunnies.h"
#include "sim/player.h"

// One rand() call scaled to 0..32767, the range the layout formulas are written for
// (glibc's rand() reaches 2^31 - 1; its top bits are kept).
static int rand15()
{
    const long long r = rand();
    return static_cast<int>(r * 32768 / (static_cast<long long>(RAND_MAX) + 1));
}

// A whole number 0..limit-1 from one draw, as (r * limit) / 32768.0 truncated.
static int randomBelow(int limit)
{
    return static_cast<int>(rand15() * static_cast<double>(limit) / 32768.0);
}

// A whole degree 0..359 from one draw; the product is an integer one.
static float randomHeading()
{
    return static_cast<float>(static_cast<int>((rand15() * 360) / 32768.0));
}

static void resetFigure()
{
    for (int& hits : figurePartHits) {
        hits = 0;
    }
    figureTimerInterval = 0.00001f;
    figurePosition = Vector3(0.0f, 0.0f, 0.0f);
    figureHeading = randomHeading();
    figureShoulderAngle[0] = figureShoulderAngle[1] = 0.0f;
    figureElbowAngle[0] = figureElbowAngle[1] = 0.0f;
    figureHipAngle[0] = 10.0f;
    figureHipAngle[1] = 0.0f;
    figureKneeAngle[0] = figureKneeAngle[1] = 0.0f;
    figureHipStep[0] = 1;
    figureHipStep[1] = -1;
}

// Bunnies and trees stand on a 0.1 grid from -3.0 to 2.9 on both axes.
static void layOutField()
{
    for (Entity& bunny : bunnies) {
        bunny.x = static_cast<float>(randomBelow(60) / 10.0 - 3.0);
        bunny.z = static_cast<float>(randomBelow(60) / 10.0 - 3.0);
        bunny.heading = randomHeading();
        bunny.y = 0.0f;
        bunny.hits = 0;
        bunny.airborne = 0;
    }
    for (Entity& tree : trees) {
        tree.x = static_cast<float>(randomBelow(60) / 10.0 - 3.0);
        tree.z = static_cast<float>(randomBelow(60) / 10.0 - 3.0);
        tree.y = 0.0f;
    }
}

void newGame()
{
    pickRegionSize = 1.0f;
    fieldOfView = 90.0f;
    lookPitch = 0.0f;
    lookYaw = 0.0f;
    elapsedSeconds = 0;
    shotsFired = 0;
    jumping = 0;
    playerVerticalSpeed = 0.0f;
    health = 1.0f;
    flashlightOn = 0;
    daytime = 1;
    srand(static_cast<unsigned int>(time(nullptr)));
    resetFigure();
    layOutField();
    setUpCamera();
    initLights();
}

void enterMenuMode()
{
    playing = 0;
    menuScreen = 0;
    glEnable(GL_LIGHT2);
    glDisable(GL_LIGHT0);
    glDisable(GL_LIGHT1);
    glutSetCursor(GLUT_CURSOR_CROSSHAIR);
    requestRedisplay();
}

void enterPlayMode()
{
    gameStarted = 1;
    playing = 1;
    glDisable(GL_LIGHT2);
    if (daytime == 1) {
        glEnable(GL_LIGHT0);
    }
    if (flashlightOn == 1) {
        glEnable(GL_LIGHT1);
    }
    if (windowHasKeyboardFocus()) {
        catchPointer();
    } else {
        letPointerGo();
    }
    // A new entry makes any chain still pending from an earlier one stale.
    playEntryCount += 1;
    startWalkTimer(playEntryCount);
    startBunnyTimer(playEntryCount);
    requestRedisplay();
}

bool clockTick()
{
    if (playing == 1 && health > 0.0f) {
        elapsedSeconds += 1;
    }
    return true;
}

void clockTimer(int value)
{
    runChainTick(1000, clockTick, clockTimer, value);
}

void startClockTimer()
{
    armChain(1000, clockTimer, 1);
}

void quitGame(int code)
{
    if (!shutdownAudio()) {
        // The sound system is stuck: end without the exit handlers, which could wait on it,
        // flushing only the console (its output may be a file that the stuck thread holds).
        std::fflush(stdout);
        std::fflush(stderr);
        std::_Exit(code);
    }
    std::exit(code);
}
