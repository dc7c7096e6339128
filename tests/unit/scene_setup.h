#pragma once

// Shared set-up for the in-process scene tests: a play-mode frame drawn by the game's own
// display callback, with the field emptied and the camera placed on purpose.

#include <GL/freeglut.h>

#include "app/game_state.h"
#include "app/startup.h"
#include "support/gl_env.h"

// Moves every bunny, tree and the figure far beyond the far plane and clears all hits.
inline void emptyField()
{
    for (Entity& bunny : bunnies) {
        bunny = Entity{100.0f, 0.0f, 100.0f, 0.0f, 0, 0.0f, 0};
    }
    for (Entity& tree : trees) {
        tree = Entity{-100.0f, 0.0f, 100.0f, 0.0f, 0, 0.0f, 0};
    }
    figurePosition = Vector3(100.0f, 0.0f, -100.0f);
    figureHeading = 0.0f;
    for (int k = 0; k < 6; ++k) {
        figurePartHits[k] = 0;
    }
    for (int k = 0; k < 2; ++k) {
        figureHipAngle[k] = figureKneeAngle[k] = 0.0f;
        figureShoulderAngle[k] = figureElbowAngle[k] = 0.0f;
    }
}

// Eye and look-at point, upright.
inline void placeCamera(Vector3 eye, Vector3 look)
{
    eyePosition = eye;
    lookAtPoint = look;
    upVector = Vector3(0.0f, 1.0f, 0.0f);
}

// Play mode with full health and the lights as entering play would leave them (the sun on
// by day, the flashlight off, the menu light off), on the test window's size.
inline void enterTestPlay(int day)
{
    loadGameAssetsOnce();
    reshape(testWindowWidth, testWindowHeight);
    playing = 1;
    health = 1.0f;
    daytime = day;
    flashlightOn = 0;
    glDisable(GL_LIGHT2);
    glDisable(GL_LIGHT1);
    if (day != 0) {
        glEnable(GL_LIGHT0);
    } else {
        glDisable(GL_LIGHT0);
    }
}

// Draws one play frame with the game's display callback. Under Xvfb the back buffer still
// holds the frame after the swap, so readPixel sees it.
inline void drawGameFrame()
{
    display();
    glFinish();
}
