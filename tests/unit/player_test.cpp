#include <gtest/gtest.h>

#include <cmath>

#include "scene_setup.h"
#include "sim/player.h"

// A living player in play mode at (x, 0.45, z) looking level along yaw (0 = +x) with the keys
// keys held (1 w, 2 s, 4 a, 8 d), under Earth gravity.
static void standAt(float x, float z, float yaw, int keys = 0)
{
    playing = 1;
    health = 1.0f;
    gravity = 0.008f;
    jumping = 0;
    playerVerticalSpeed = lookPitch = 0.0f;
    moveForward = keys & 1;
    moveBackward = keys >> 1 & 1;
    strafeLeft = keys >> 2 & 1;
    strafeRight = keys >> 3 & 1;
    placeCamera(Vector3(x, 0.45f, z),
                Vector3(x + 0.25f * std::cos(yaw), 0.45f, z + 0.25f * std::sin(yaw)));
}

// One walk tick moves the eye and the look-at together; a wall, or the tree at (1, 1) within
// 0.34 of its lines, refuses only the axis that heads out or towards the trunk's centre line.
TEST(Player, OneWalkTickFromAPose)
{
    const float step = 0.055f, slide = 0.0389f, diagonal = 0.7853982f, back = 2.3561945f;
    const float cases[][6] = {
        // x, z, yaw, keys, dx, dz
        {0.0f, 1.0f, 0.0f, 1, step, 0.0f}, {0.0f, 1.0f, 0.0f, 4, 0.0f, -step},
        {0.0f, 1.0f, 0.0f, 9, step, step},         // diagonal, not normalised
        {2.8f, 0.0f, diagonal, 1, 0.0f, slide},    // a wall refuses x, slides on z
        {-2.8f, 0.0f, back, 1, 0.0f, slide},       // and the wall on the other side
        {0.67f, 1.32f, diagonal, 1, 0.0f, slide},  // a tree's corner blocks x, not z
        {1.3f, 1.1f, 0.0f, 2, 0.0f, 0.0f},         // and from the other side
        {0.7f, 1.1f, 0.0f, 2, -step, 0.0f},        // away from a tree's line
        {1.0f, 1.0f, 0.0f, 1, step, 0.0f},         // on a tree's centre line
    };
    emptyField();
    trees[3] = Entity{1.0f, 0.0f, 1.0f, 0.0f, 0, 0.0f, 0};
    for (const auto& c : cases) {
        standAt(c[0], c[1], c[2], static_cast<int>(c[3]));
        const Vector3 look = lookAtPoint;
        EXPECT_TRUE(walkTick() && std::fabs(eyePosition.x - c[0] - c[4]) < 1e-4 &&
                    std::fabs(eyePosition.z - c[1] - c[5]) < 1e-4 &&
                    std::fabs(lookAtPoint.x - look.x - c[4]) < 1e-4 &&
                    std::fabs(lookAtPoint.z - look.z - c[5]) < 1e-4) << c[0] << ", " << c[1];
    }
}

// A jump (speed 0.04) peaks 0.12 up; the landing tick sets the eye back to 0.45 at rest after
// 11 ticks that move it (a sum of rounded steps may take one more).
TEST(Player, JumpHeightAndLanding)
{
    standAt(0.0f, 0.0f, 0.0f);
    jumping = 1;
    playerVerticalSpeed = 0.04f;
    float peak = 0.0f;
    int ticks = -1;  // the landing tick does not count
    for (; jumping == 1 && ticks < 1000; ++ticks) {
        gravityTick();
        peak = std::fmax(peak, eyePosition.y - 0.45f);
        ASSERT_FLOAT_EQ(lookAtPoint.y, eyePosition.y);
    }
    EXPECT_TRUE((ticks == 11 || ticks == 12) && std::fabs(peak - 0.12f) < 0.003f &&
                playerVerticalSpeed == 0.0f && eyePosition.y == 0.45f)
        << ticks << " ticks, peak " << peak;
}
