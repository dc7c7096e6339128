#pragma once

// Shared set-up and includes for the in-process scene tests: fields and cameras on purpose.

#include <GL/freeglut.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/game_state.h"
#include "app/startup.h"
#include "support/gl_env.h"

// A standing bunny or tree at (x, z).
inline Entity at(float x, float z, float heading = 0.0f, int hits = 0)
{
    return Entity{x, 0.0f, z, 0.0f, 0, heading, hits};
}

// Moves every bunny, tree and the figure far beyond the far plane and clears all hits.
inline void emptyField()
{
    std::fill(bunnies, bunnies + bunnyCount, at(100.0f, 100.0f));
    std::fill(trees, trees + treeCount, at(-100.0f, 100.0f));
    figurePosition = Vector3(100.0f, 0.0f, -100.0f);
    figureHeading = 0.0f;
    std::fill(figurePartHits, figurePartHits + 6, 0);
    for (float* angles : {figureHipAngle, figureKneeAngle, figureShoulderAngle, figureElbowAngle}) {
        angles[0] = angles[1] = 0.0f;
    }
}

// Eye and look-at point, upright.
inline void placeCamera(Vector3 eye, Vector3 look)
{
    eyePosition = eye;
    lookAtPoint = look;
    upVector = Vector3(0.0f, 1.0f, 0.0f);
}

// Play mode on the test window's size with full health and the lights as entering play
// leaves them, on an emptied field, the eye at eye looking at look, upright.
inline void emptyScene(int day, Vector3 eye = Vector3(0.0f, 0.45f, 0.0f),
                       Vector3 look = Vector3(0.0f, 0.45f, -0.25f))
{
    loadGameAssetsOnce();
    reshape(testWindowWidth, testWindowHeight);
    playing = 1;
    health = 1.0f;
    daytime = day;
    flashlightOn = 0;
    glDisable(GL_LIGHT2);
    glDisable(GL_LIGHT1);
    day != 0 ? glEnable(GL_LIGHT0) : glDisable(GL_LIGHT0);
    emptyField();
    placeCamera(eye, look);
}

// Draws one frame with the game's display callback and reads it back (rows bottom-up).
inline std::vector<unsigned char> drawGameFrame()
{
    display();
    return readFrame();
}
