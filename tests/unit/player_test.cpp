#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

#include "app/game_state.h"
#include "sim/player.h"

// A living player in play mode at (x, 0.45, z) looking level along yaw (0 = +x) with the keys
// w, s, a, d held, under Earth gravity.
static void standAt(float x, float z, float yaw, int w = 0, int s = 0, int a = 0, int d = 0)
{
    playing = 1;
    health = 1.0f;
    gravity = 0.008f;
    jumping = 0;
    playerVerticalSpeed = lookPitch = 0.0f;
    moveForward = w;
    moveBackward = s;
    strafeLeft = a;
    strafeRight = d;
    upVector = Vector3(0.0f, 1.0f, 0.0f);
    eyePosition = Vector3(x, 0.45f, z);
    lookAtPoint = Vector3(x + 0.25f * std::cos(yaw), 0.45f, z + 0.25f * std::sin(yaw));
}

// One walk tick moves the eye and the look-at together; a wall or the tree at (1, 1) refuses
// only the axis that heads out or towards the trunk's centre line.
TEST(Player, OneWalkTickFromAPose)
{
    const float step = 0.055f, diagonal = 0.7853982f, slide = 0.0389f;
    struct {
        const char* name;
        float x, z, yaw;
        int w, s, a, d;
        float dx, dz;
    } const cases[] = {
        {"W", 0.0f, 1.0f, 0.0f, 1, 0, 0, 0, step, 0.0f},
        {"A", 0.0f, 1.0f, 0.0f, 0, 0, 1, 0, 0.0f, -step},
        {"WD, not normalised", 0.0f, 1.0f, 0.0f, 1, 0, 0, 1, step, step},
        {"a wall refuses x, slides on z", 2.8f, 0.0f, diagonal, 1, 0, 0, 0, 0.0f, slide},
        {"a tree blocks x, not z", 0.7f, 1.1f, diagonal, 1, 0, 0, 0, 0.0f, slide},
        {"away from a tree's line", 0.7f, 1.1f, 0.0f, 0, 1, 0, 0, -step, 0.0f},
        {"on a tree's centre line", 1.0f, 1.0f, 0.0f, 1, 0, 0, 0, step, 0.0f},
    };
    for (Entity& tree : trees) {
        tree = Entity{-2.9f, 0.0f, -2.9f, 0.0f, 0, 0.0f, 0};
    }
    trees[3] = Entity{1.0f, 0.0f, 1.0f, 0.0f, 0, 0.0f, 0};
    for (const auto& c : cases) {
        standAt(c.x, c.z, c.yaw, c.w, c.s, c.a, c.d);
        const Vector3 look = lookAtPoint;
        EXPECT_TRUE(walkTick()) << c.name;
        EXPECT_NEAR(eyePosition.x - c.x, c.dx, 1e-4) << c.name;
        EXPECT_NEAR(eyePosition.z - c.z, c.dz, 1e-4) << c.name;
        EXPECT_NEAR(lookAtPoint.x - look.x, c.dx, 1e-4) << c.name;
        EXPECT_NEAR(lookAtPoint.z - look.z, c.dz, 1e-4) << c.name;
    }
}

// Random keys and headings for 20000 ticks: never beyond a step past the walls, never across
// a trunk's centre line while within its square.
TEST(Player, NeverCrossesATreeLineNorLeavesTheWalls)
{
    srand(12345);
    for (Entity& tree : trees) {
        tree = Entity{(rand() % 60) / 10.0f - 3.0f, 0.0f, (rand() % 60) / 10.0f - 3.0f, 0.0f, 0,
                      0.0f, 0};
    }
    standAt(0.0f, 0.0f, 0.0f);
    for (int tick = 0; tick < 20000; ++tick) {
        if (tick % 25 == 0) {
            standAt(eyePosition.x, eyePosition.z, (rand() % 628) / 100.0f, rand() % 2, rand() % 2,
                    rand() % 2, rand() % 2);
        }
        const Vector3 was = eyePosition;
        walkTick();
        ASSERT_LE(std::fmax(std::fabs(eyePosition.x), std::fabs(eyePosition.z)), 2.878f);
        for (const Entity& t : trees) {
            ASSERT_FALSE((was.x < t.x) != (eyePosition.x < t.x) && was.x != t.x &&
                         std::fabs(was.z - t.z) < 0.3399f) << "tick " << tick;
            ASSERT_FALSE((was.z < t.z) != (eyePosition.z < t.z) && was.z != t.z &&
                         std::fabs(eyePosition.x - t.x) < 0.3399f) << "tick " << tick;
        }
    }
}

// A jump (speed 0.04) under each gravity: its peak, and the ticks that move the eye before the
// landing tick sets it back to 0.45 at rest (a sum of rounded steps may take one more).
TEST(Player, JumpHeightAndLandingUnderEachGravity)
{
    struct {
        const char* name;
        float g, peak;
        int ticks;
    } const cases[] = {{"Earth", 0.008f, 0.12f, 11}, {"Lunar", 0.0008f, 1.02f, 101},
                       {"Jupiter", 0.02f, 0.06f, 5}};
    for (const auto& c : cases) {
        standAt(0.0f, 0.0f, 0.0f);
        gravity = c.g;
        jumping = 1;
        playerVerticalSpeed = 0.04f;
        float peak = 0.0f;
        int ticks = -1;  // the landing tick does not count
        for (; jumping == 1 && ticks < 1000; ++ticks) {
            gravityTick();
            peak = std::fmax(peak, eyePosition.y - 0.45f);
            ASSERT_FLOAT_EQ(lookAtPoint.y, eyePosition.y) << c.name;
        }
        EXPECT_NEAR(peak, c.peak, 0.003f) << c.name;
        EXPECT_TRUE(ticks == c.ticks || ticks == c.ticks + 1) << c.name << ": " << ticks;
        EXPECT_FLOAT_EQ(playerVerticalSpeed, 0.0f) << c.name;
        EXPECT_FLOAT_EQ(eyePosition.y, 0.45f) << c.name;
    }
}
