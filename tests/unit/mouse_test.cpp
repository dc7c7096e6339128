#include <gtest/gtest.h>

#include <cmath>

#include "app/game_state.h"
#include "app/startup.h"
#include "input/mouse.h"

TEST(MouseLook, TurnsPerPixelClampsPitchWrapsYawAndIgnoresTheCentreAndTheDead)
{
    const float perPixel = 0.001745329f;
    reshape(1024, 768);
    playing = 1;
    health = 1.0f;
    setUpCamera();  // the eye stands at x 0, z 1
    mouseLook(522, 404);  // right turns toward +z, down looks down
    EXPECT_NEAR(lookYaw, 10 * perPixel, 1e-7f);
    EXPECT_NEAR(lookPitch, -20 * perPixel, 1e-7f);
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
    mouseLook(512, 384);  // the warp back to the centre
    windowWidth = 1023;   // the centre rounds down to 511
    mouseLook(511, 384);
    EXPECT_TRUE(lookYaw == 0.3f && lookPitch == 0.0f);
    mouseLook(512, 384);
    EXPECT_NEAR(lookYaw, 0.3f + perPixel, 1e-7f);
    reshape(1024, 768);
    health = 0.0f;
    mouseLook(700, 100);
    EXPECT_NEAR(lookYaw, 0.3f + perPixel, 1e-7f);
    EXPECT_EQ(lookPitch, 0.0f);
    health = 1.0f;
    playing = 0;
}
