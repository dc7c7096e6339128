#include <GL/freeglut.h>
#include <gtest/gtest.h>

#include <cmath>

#include "app/game_state.h"
#include "app/startup.h"
#include "input/mouse.h"
#include "support/gl_env.h"

static const float radiansPerPixel = 0.001745329f;

// Play mode, alive, looking along +x from the start position, in the 1024x768 window.
static void startLooking()
{
    loadGameAssetsOnce();
    reshape(testWindowWidth, testWindowHeight);
    playing = 1;
    health = 1.0f;
    setUpCamera();
}

// lookAtPoint must lie 0.25 from the eye along the direction the angles give.
static void expectLookAtFollowsAngles()
{
    const float dx = lookAtPoint.x - eyePosition.x;
    const float dy = lookAtPoint.y - eyePosition.y;
    const float dz = lookAtPoint.z - eyePosition.z;
    EXPECT_NEAR(std::sqrt(dx * dx + dy * dy + dz * dz), 0.25f, 1e-5f);
    EXPECT_NEAR(dy, 0.25f * std::sin(lookPitch), 1e-5f);
    EXPECT_NEAR(std::atan2(dz, dx), std::remainder(lookYaw, 6.2831853f), 1e-4f);
}

TEST(SetUpCamera, PutsTheEyeAtTheStartLookingAlongPlusX)
{
    lookPitch = 0.7f;
    lookYaw = -2.0f;
    eyePosition = Vector3(2.0f, 0.45f, -1.0f);
    upVector = Vector3(1.0f, 0.0f, 0.0f);
    setUpCamera();
    EXPECT_EQ(lookPitch, 0.0f);
    EXPECT_EQ(lookYaw, 0.0f);
    EXPECT_FLOAT_EQ(eyePosition.y, 1.45f);
    EXPECT_EQ(eyePosition.x, 0.0f);
    EXPECT_EQ(eyePosition.z, 1.0f);
    EXPECT_EQ(upVector.y, 1.0f);
    EXPECT_EQ(upVector.x, 0.0f);
    EXPECT_FLOAT_EQ(lookAtPoint.x, 0.25f);
    EXPECT_FLOAT_EQ(lookAtPoint.y, 1.45f);
    EXPECT_NEAR(lookAtPoint.z, 1.0f, 1e-6f);
}

TEST(MouseLook, PointerOffsetTurnsTheViewATenthOfADegreePerPixel)
{
    startLooking();
    mouseLook(522, 384);  // 10 pixels right: yaw toward +z
    EXPECT_NEAR(lookYaw, 10 * radiansPerPixel, 1e-7f);
    EXPECT_EQ(lookPitch, 0.0f);
    EXPECT_GT(lookAtPoint.z, eyePosition.z);
    expectLookAtFollowsAngles();
    mouseLook(512, 404);  // 20 pixels down looks down
    EXPECT_NEAR(lookPitch, -20 * radiansPerPixel, 1e-7f);
    EXPECT_NEAR(lookYaw, 10 * radiansPerPixel, 1e-7f);
    expectLookAtFollowsAngles();
    playing = 0;
}

TEST(MouseLook, PitchIsClampedAndYawWrapsByItsOwnAmount)
{
    startLooking();
    for (int i = 0; i < 10; ++i) {
        mouseLook(512, 0);  // 384 pixels up each time
    }
    EXPECT_EQ(lookPitch, 1.3962632f);
    for (int i = 0; i < 20; ++i) {
        mouseLook(512, 767);
    }
    EXPECT_EQ(lookPitch, -1.3962632f);
    expectLookAtFollowsAngles();

    lookYaw = 6.28f;
    mouseLook(522, 384);
    EXPECT_NEAR(lookYaw, 6.28f + 10 * radiansPerPixel - 6.2829852f, 1e-6f);
    lookYaw = -6.28f;
    mouseLook(502, 384);
    EXPECT_NEAR(lookYaw, -6.28f - 10 * radiansPerPixel + 6.2829852f, 1e-6f);
    for (int i = 0; i < 100; ++i) {
        mouseLook(1000, 384);
        ASSERT_LE(std::fabs(lookYaw), 6.2829852f);
    }
    playing = 0;
}

TEST(MouseLook, CentreEventIsIgnoredAndAnOddWidthCentresAtTheLowerHalf)
{
    startLooking();
    lookYaw = 0.3f;
    const Vector3 before = lookAtPoint;
    mouseLook(512, 384);
    EXPECT_EQ(lookYaw, 0.3f);
    EXPECT_EQ(lookAtPoint.x, before.x);
    mouseLook(512, 383);  // only y off the centre still turns
    EXPECT_NEAR(lookPitch, radiansPerPixel, 1e-7f);

    windowWidth = 1023;
    lookYaw = 0.0f;
    mouseLook(511, 384);
    EXPECT_EQ(lookYaw, 0.0f);
    mouseLook(512, 384);
    EXPECT_NEAR(lookYaw, radiansPerPixel, 1e-7f);
    reshape(testWindowWidth, testWindowHeight);
    playing = 0;
}

TEST(MouseLook, DeadPlayerViewStaysStillAndMenuMovesOnlyRecordThePointer)
{
    startLooking();
    health = 0.0f;
    mouseLook(700, 100);
    mouseDrag(700, 100);
    EXPECT_EQ(lookYaw, 0.0f);
    EXPECT_EQ(lookPitch, 0.0f);
    health = 1.0f;
    mouseDrag(522, 384);  // dragging turns like a plain move
    EXPECT_NEAR(lookYaw, 10 * radiansPerPixel, 1e-7f);

    playing = 0;
    menuScreen = 0;
    mouseLook(512, 614);  // over the Quit panel: a hover reports but never acts
    EXPECT_EQ(mouseX, 512.0f);
    EXPECT_EQ(mouseY, 614.0f);
    mouseLook(512, 422);  // over Options
    EXPECT_EQ(menuScreen, 0);
    mouseDrag(100, 100);
    EXPECT_EQ(mouseX, 512.0f) << "dragging in the menu does nothing";
}

TEST(MouseButton, LeftPressShootsInPlayAndClicksInTheMenu)
{
    startLooking();
    shotsFired = 0;
    mouseButton(GLUT_RIGHT_BUTTON, GLUT_DOWN, 10, 10);
    mouseButton(GLUT_LEFT_BUTTON, GLUT_UP, 10, 10);
    EXPECT_EQ(shotsFired, 0);
    mouseButton(GLUT_LEFT_BUTTON, GLUT_DOWN, 10, 20);
    EXPECT_EQ(shotsFired, 1);
    EXPECT_EQ(mouseX, 10.0f);
    EXPECT_EQ(mouseY, 20.0f);
    health = 0.0f;
    mouseButton(GLUT_LEFT_BUTTON, GLUT_DOWN, 30, 40);
    EXPECT_EQ(shotsFired, 1) << "the dead do not shoot";
    EXPECT_EQ(mouseX, 30.0f);

    playing = 0;
    menuScreen = 0;
    mouseButton(GLUT_LEFT_BUTTON, GLUT_UP, 512, 422);
    EXPECT_EQ(menuScreen, 0);
    mouseButton(GLUT_LEFT_BUTTON, GLUT_DOWN, 512, 422);  // the Options panel
    EXPECT_EQ(menuScreen, 1);
    EXPECT_EQ(shotsFired, 1);
    menuScreen = 0;
    health = 1.0f;
}
