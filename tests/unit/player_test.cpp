#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

#include "app/game_state.h"
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
    upVector = Vector3(0.0f, 1.0f, 0.0f);
    eyePosition = Vector3(x, 0.45f, z);
    lookAtPoint = Vector3(x + 0.25f * std::cos(yaw), 0.45f, z + 0.25f * std::sin(yaw));
}

// One walk tick moves the eye and the look-at together; a wall or the tree at (1, 1) refuses
// only the axis that heads out or towards the trunk's centre line.
TEST(Player, OneWalkTickFromAPose)
{
    const float step = 0.055f, diagonal = 0.7853982f, slide = 0.0389f;
    const float cases[][6] = {
        // x, z, yaw, keys, dx, dz
        {0.0f, 1.0f, 0.0f, 1, step, 0.0f}, {0.0f, 1.0f, 0.0f, 4, 0.0f, -step},
        {0.0f, 1.0f, 0.0f, 9, step, step},       // diagonal, not normalised
        {2.8f, 0.0f, diagonal, 1, 0.0f, slide},  // a wall refuses x, slides on z
        {0.7f, 1.1f, diagonal, 1, 0.0f, slide},  // a tree blocks x, not z
        {0.7f, 1.1f, 0.0f, 2, -step, 0.0f},      // away from a tree's line
        {1.0f, 1.0f, 0.0f, 1, step, 0.0f},       // on a tree's centre line
    };
    for (Entity& tree : trees) {
        tree = Entity{-2.9f, 0.0f, -2.9f, 0.0f, 0, 0.0f, 0};
    }
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

// Random keys and headings for 20000 ticks: never beyond a step past the walls, never across
// a trunk's centre line while within its square.
TEST(Player, NeverCrossesATreeLineNorLeavesTheWalls)
{
    srand(12345);
    const auto cell = [] { return (rand() % 60) / 10.0f - 3.0f; };
    for (Entity& tree : trees) {
        tree = Entity{cell(), 0.0f, cell(), 0.0f, 0, 0.0f, 0};
    }
    for (int tick = 0; tick < 20000; ++tick) {
        if (tick % 25 == 0) {
            standAt(tick ? eyePosition.x : 0.0f, tick ? eyePosition.z : 0.0f,
                    (rand() % 628) / 100.0f, rand() % 16);
        }
        const Vector3 was = eyePosition;
        walkTick();
        ASSERT_LE(std::fmax(std::fabs(eyePosition.x), std::fabs(eyePosition.z)), 2.878f);
        for (const Entity& t : trees) {
            const Vector3& now = eyePosition;
            ASSERT_FALSE(
                ((was.x - t.x) * (now.x - t.x) < 0.0f && std::fabs(was.z - t.z) < 0.3399f) ||
                ((was.z - t.z) * (now.z - t.z) < 0.0f && std::fabs(now.x - t.x) < 0.3399f)) << tick;
        }
    }
}

// A jump (speed 0.04) under each gravity: its peak, and the ticks that move the eye before the
// landing tick sets it back to 0.45 at rest (a sum of rounded steps may take one more).
TEST(Player, JumpHeightAndLandingUnderEachGravity)
{
    const float cases[3][3] = {{0.008f, 0.12f, 11}, {0.0008f, 1.02f, 101}, {0.02f, 0.06f, 5}};
    for (const auto& c : cases) {  // gravity, peak, ticks
        standAt(0.0f, 0.0f, 0.0f);
        gravity = c[0];
        jumping = 1;
        playerVerticalSpeed = 0.04f;
        float peak = 0.0f;
        int ticks = -1;  // the landing tick does not count
        for (; jumping == 1 && ticks < 1000; ++ticks) {
            gravityTick();
            peak = std::fmax(peak, eyePosition.y - 0.45f);
            ASSERT_FLOAT_EQ(lookAtPoint.y, eyePosition.y) << c[0];
        }
        EXPECT_TRUE((ticks == c[2] || ticks == c[2] + 1) && std::fabs(peak - c[1]) < 0.003f &&
                    playerVerticalSpeed == 0.0f && eyePosition.y == 0.45f)
            << c[0] << ": " << ticks << " ticks, peak " << peak;
    }
}
