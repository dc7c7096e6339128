#include <GL/freeglut.h>
#include <gtest/gtest.h>

#include <cmath>

#include "app/game_state.h"
#include "app/startup.h"
#include "input/mouse.h"
#include "support/gl_env.h"

static const float radiansPerPixel = 0.001745329f;

// Play mode, alive, at the start position, in the 1024x768 window.
static void startLooking()
{
    loadGameAssetsOnce();
    reshape(testWindowWidth, testWindowHeight);
    playing = 1;
    health = 1.0f;
    eyePosition = Vector3(2.0f, 0.45f, -1.0f);
    upVector = Vector3(1.0f, 0.0f, 0.0f);
    setUpCamera();
}

TEST(MouseLook, CameraStartsAtItsPlaceAndTurnsATenthOfADegreePerPixel)
{
    startLooking();
    EXPECT_TRUE(eyePosition.x == 0.0f && eyePosition.y == 1.45f && eyePosition.z == 1.0f);
    EXPECT_TRUE(upVector.x == 0.0f && upVector.y == 1.0f && upVector.z == 0.0f);
    EXPECT_FLOAT_EQ(lookAtPoint.x, 0.25f);
    EXPECT_FLOAT_EQ(lookAtPoint.y, 1.45f);
    mouseLook(522, 404);  // right turns toward +z, down looks down
    EXPECT_NEAR(lookYaw, 10 * radiansPerPixel, 1e-7f);
    EXPECT_NEAR(lookPitch, -20 * radiansPerPixel, 1e-7f);
    const float dx = lookAtPoint.x - eyePosition.x;
    const float dy = lookAtPoint.y - eyePosition.y;
    const float dz = lookAtPoint.z - eyePosition.z;
    EXPECT_NEAR(std::sqrt(dx * dx + dy * dy + dz * dz), 0.25f, 1e-5f);
    EXPECT_NEAR(std::atan2(dz, dx), lookYaw, 1e-4f);
    EXPECT_NEAR(std::asin(dy / 0.25f), lookPitch, 1e-4f);
    mouseDrag(512, 414);  // a drag turns like a plain move
    EXPECT_NEAR(lookPitch, -50 * radiansPerPixel, 1e-6f);
    playing = 0;
}

TEST(MouseLook, PitchIsClampedAndYawWrapsByItsOwnAmount)
{
    startLooking();
    for (int i = 0; i < 10; ++i) {
        mouseLook(512, 0);
    }
    EXPECT_EQ(lookPitch, 1.3962632f);
    for (int i = 0; i < 20; ++i) {
        mouseLook(512, 767);
    }
    EXPECT_EQ(lookPitch, -1.3962632f);
    lookYaw = 6.28f;
    mouseLook(522, 384);
    EXPECT_NEAR(lookYaw, 6.28f + 10 * radiansPerPixel - 6.2829852f, 1e-6f);
    lookYaw = -6.28f;
    mouseLook(502, 384);
    EXPECT_NEAR(lookYaw, -6.28f - 10 * radiansPerPixel + 6.2829852f, 1e-6f);
    playing = 0;
}

TEST(MouseLook, CentreEventIgnoredOddWidthAndDeadViewStill)
{
    startLooking();
    lookYaw = 0.3f;
    mouseLook(512, 384);
    EXPECT_EQ(lookYaw, 0.3f);
    mouseLook(512, 383);  // only y off the centre still turns
    EXPECT_NEAR(lookPitch, radiansPerPixel, 1e-7f);
    windowWidth = 1023;
    mouseLook(511, 384);
    EXPECT_EQ(lookYaw, 0.3f);
    mouseLook(512, 384);
    EXPECT_NEAR(lookYaw, 0.3f + radiansPerPixel, 1e-7f);
    reshape(testWindowWidth, testWindowHeight);
    health = 0.0f;
    mouseLook(700, 100);
    EXPECT_NEAR(lookYaw, 0.3f + radiansPerPixel, 1e-7f);
    EXPECT_NEAR(lookPitch, radiansPerPixel, 1e-7f);
    health = 1.0f;
    playing = 0;
}

TEST(MouseButton, LeftPressShootsInPlayClicksInTheMenuAndMenuMovesOnlyReport)
{
    startLooking();
    shotsFired = 0;
    mouseButton(GLUT_RIGHT_BUTTON, GLUT_DOWN, 10, 10);
    mouseButton(GLUT_LEFT_BUTTON, GLUT_UP, 10, 10);
    mouseButton(GLUT_LEFT_BUTTON, GLUT_DOWN, 10, 20);
    EXPECT_EQ(shotsFired, 1);
    EXPECT_TRUE(mouseX == 10.0f && mouseY == 20.0f);
    health = 0.0f;
    mouseButton(GLUT_LEFT_BUTTON, GLUT_DOWN, 30, 40);
    EXPECT_EQ(shotsFired, 1) << "the dead do not shoot";
    EXPECT_EQ(mouseX, 30.0f);
    health = 1.0f;

    playing = 0;
    menuScreen = 0;
    mouseLook(512, 614);  // over Quit: a hover reports but never acts
    mouseLook(512, 422);  // over Options
    EXPECT_TRUE(mouseX == 512.0f && mouseY == 422.0f);
    EXPECT_EQ(menuScreen, 0);
    mouseDrag(100, 100);
    EXPECT_EQ(mouseX, 512.0f) << "dragging in the menu does nothing";
    mouseButton(GLUT_LEFT_BUTTON, GLUT_DOWN, 512, 422);
    EXPECT_EQ(menuScreen, 1);
    EXPECT_EQ(shotsFired, 1);
    menuScreen = 0;
}
