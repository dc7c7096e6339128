#include "input/mouse.h"

#include <GL/freeglut.h>

#include <cmath>

#include "app/audio.h"
#include "app/game_state.h"
#include "app/pass_clock.h"
#include "input/keyboard_focus.h"
#include "input/picking.h"

// Radians per degree; one pixel turns the view this times mouseSensitivity.
static const float degreesToRadians = 0.01745329f;

// Looking further up or down than 80 degrees is not allowed.
static const float pitchLimit = 1.3962632f;

// The yaw wraps by this amount, a little short of 2 pi.
static const float yawWrap = 6.2829852f;

// Puts lookAtPoint 0.25 ahead of the eye along the direction the two angles give.
static void updateLookAtPoint()
{
    const float cosPitch = std::cos(lookPitch);
    const Vector3 direction(cosPitch * std::cos(lookYaw), std::sin(lookPitch),
                            cosPitch * std::cos(1.5707963f - lookYaw));
    lookAtPoint = Vector3(eyePosition.x + 0.25f * direction.x, eyePosition.y + 0.25f * direction.y,
                          eyePosition.z + 0.25f * direction.z);
}

void setUpCamera()
{
    lookPitch = 0.0f;
    lookYaw = 0.0f;
    eyePosition = Vector3(0.0f, 1.45f, 1.0f);
    upVector = Vector3(0.0f, 1.0f, 0.0f);
    updateLookAtPoint();
}

// Records the point of the game's picture shown under the window pixel (x, y), y from the
// top, in mouseX and mouseY; outside the picture it lies beyond its edges and picks nothing.
static void pointInPicture(int x, int y)
{
    const int top = windowHeight - picturePlace.bottom - picturePlace.height;
    mouseX = static_cast<float>(x - picturePlace.left) * pictureWidth / picturePlace.width;
    mouseY = static_cast<float>(y - top) * pictureHeight / picturePlace.height;
}

void mouseButton(int button, int state, int x, int y)
{
    if (button != GLUT_LEFT_BUTTON || state != GLUT_DOWN) {
        return;
    }
    if (playing == 1 && health > 0.0f) {
        shotsFired += 1;
        playGunSound();
    }
    pointInPicture(x, y);
    pick(0);
    requestRedisplay();
}

// Turns the look angles by the pointer's offset from the window centre.
static void turnView(int x, int y)
{
    const int centreX = windowWidth / 2;
    const int centreY = windowHeight / 2;
    lookPitch -= (y - centreY) * degreesToRadians * mouseSensitivity;
    lookYaw += (x - centreX) * degreesToRadians * mouseSensitivity;
    if (lookPitch > pitchLimit) {
        lookPitch = pitchLimit;
    } else if (lookPitch < -pitchLimit) {
        lookPitch = -pitchLimit;
    }
    if (lookYaw > yawWrap) {
        lookYaw -= yawWrap;
    } else if (lookYaw < -yawWrap) {
        lookYaw += yawWrap;
    }
    updateLookAtPoint();
    requestRedisplay();
}

void mouseLook(int x, int y)
{
    if (playing == 1) {
        // Without the keyboard the pointer belongs to the window that has it.
        if (!windowHasKeyboardFocus()) {
            return;
        }
        const int centreX = windowWidth / 2;
        const int centreY = windowHeight / 2;
        // The warp below comes back as a move to the exact centre.
        if (x == centreX && y == centreY) {
            return;
        }
        if (health > 0.0f) {
            turnView(x, y);
        }
        glutWarpPointer(centreX, centreY);
        return;
    }
    pointInPicture(x, y);
    pick(1);
    requestRedisplay();
}

void mouseDrag(int x, int y)
{
    if (playing == 1) {
        mouseLook(x, y);
    }
}

void catchPointer()
{
    glutSetCursor(GLUT_CURSOR_NONE);
    glutWarpPointer(windowWidth / 2, windowHeight / 2);
}

void letPointerGo()
{
    glutSetCursor(GLUT_CURSOR_INHERIT);
}
