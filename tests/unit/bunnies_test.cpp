#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

#include "app/game_state.h"
#include "sim/bunnies.h"

// Play mode, Earth gravity, a living player at (0, 0.45, 1) looking along +x; every bunny
// killed at rest in a far corner, the trees in another; bunny 0 next to hop when hopFirst.
static void quietField(bool hopFirst = false)
{
    playing = 1;
    health = 1.0f;
    gravity = 0.008f;
    lookPitch = 0.0f;
    eyePosition = Vector3(0.0f, 0.45f, 1.0f);
    lookAtPoint = Vector3(0.25f, 0.45f, 1.0f);
    upVector = Vector3(0.0f, 1.0f, 0.0f);
    for (int i = 0; i < bunnyCount; ++i) {
        bunnies[i] = Entity{2.5f, 0.0f, -2.5f, 0.0f, 0, 0.0f, 1};
        trees[i % treeCount] = Entity{-2.8f, 0.0f, -2.8f, 0.0f, 0, 0.0f, 0};
    }
    hopIndex = hopFirst ? bunnyCount - 1 : 0;
}

// Bunny i alive and at rest at (x, y, z).
static Entity& liveBunny(int i, float x, float y, float z)
{
    return bunnies[i] = Entity{x, y, z, 0.0f, 0, 0.0f, 0};
}

// Facing the eye along -x, a hop's ticks, height and length under each gravity.
TEST(Bunnies, HopsUnderEachGravity)
{
    const float cases[3][3] = {{0.008f, 9, 0.072f}, {0.0008f, 76, 0.58f}, {0.02f, 5, 0.04f}};
    for (const auto& c : cases) {  // gravity, ticks, height
        quietField(true);
        gravity = c[0];
        eyePosition = Vector3(-2.7f, 0.45f, 0.0f);
        Entity& bunny = liveBunny(0, 2.0f, 0.0f, 0.0f);
        int ticks = 0;
        float height = 0.0f;
        do {
            bunnyTick();
            height = std::fmax(height, bunny.y);
        } while (++ticks < 1000 && bunny.airborne == 1);
        // A sum of rounded rises may end a hair above 0: one more tick.
        EXPECT_TRUE(ticks == c[1] || ticks == c[1] + 1) << c[0] << ": " << ticks;
        EXPECT_TRUE(std::fabs(height - c[2]) < 0.005f && bunny.y == 0.0f &&
                    std::fabs(2.0f - bunny.x - 0.02f * ticks) < 1e-4) << c[0] << ": " << height;
    }
}

// Bites come from within 0.08 on x and z and from no lower than 0.45 below the eye: a jump
// escapes them. Two bunnies alike bite twice. One bunny at the feet kills in 125 ticks; the
// camera then lies on its side, up pointing to the player's left, the look-at on the ground.
TEST(Bunnies, BiteWindowAJumpEscapesAndDeathAfter125Bites)
{
    const float cases[][4] = {{0.0f, 0.0f, 0.46f, 1},   {0.0f, 0.0f, 0.48f, 0},
                              {0.0f, 0.45f, 0.45f, 0},  {0.0f, 0.44f, 0.45f, 1},
                              {0.079f, 0.0f, 0.45f, 1}, {0.081f, 0.0f, 0.45f, 0}};
    for (const auto& c : cases) {  // bunny x, bunny y, eye y, bites
        quietField();
        eyePosition.y = c[2];
        liveBunny(2, c[0], c[1], 1.0f);
        liveBunny(3, 0.0f, c[1], 0.9f + 0.1f * c[3]);
        bunnyTick();
        EXPECT_NEAR(health, 1.0f - 0.016f * c[3], 1e-6) << c[0] << ", " << c[1] << ", " << c[2];
    }
    quietField();
    lookPitch = 0.3f;
    lookAtPoint = Vector3(0.25f * std::cos(0.3f), 0.45f + 0.25f * std::sin(0.3f), 1.0f);
    liveBunny(7, 0.0f, 0.0f, 1.0f);
    for (int ticks = 0; ticks < 175; ++ticks) {
        ASSERT_EQ(health > 0.0f, ticks < 125) << ticks;
        bunnyTick();
    }
    EXPECT_TRUE(upVector.x == 0.0f && upVector.y == 0.0f && lookAtPoint.y == 0.0f &&
                lookPitch == 0.0f && std::fabs(upVector.z + 0.25f * std::cos(0.3f)) < 1e-6);
}

// A bunny at (1, 0, 0) is aimed at the eye (0, 1) at 45 degrees; shot mid-hop, it finishes the
// hop along its last heading and never hops again.
TEST(Bunnies, AimsAtTheEyeAndWhenKilledFinishesItsHop)
{
    quietField(true);
    Entity& bunny = liveBunny(0, 1.0f, 0.0f, 0.0f);
    bunnyTick();
    EXPECT_NEAR(bunny.heading, 45.0f, 1e-3);
    bunnyTick();
    bunny.hits = 1;
    bunny.heading = 90.0f;  // not towards the player, so a re-aim would show
    const float x = bunny.x, z = bunny.z;
    int ticks = 0;
    for (; bunny.airborne == 1 && ticks < 100; ++ticks) {
        bunnyTick();
    }
    EXPECT_EQ(ticks, 7) << "the rest of a 9-tick hop";
    EXPECT_TRUE(std::fabs(bunny.z - z - 0.02f * ticks) < 1e-4 && std::fabs(bunny.x - x) < 1e-5);
    const Entity rest = bunny;
    for (int i = 0; i < 200; ++i) {
        bunnyTick();
        ASSERT_TRUE(bunny.airborne == 0 && bunny.x == rest.x && bunny.z == rest.z) << i;
    }
}

// Random fields under each gravity, the player moving now and then: for thousands of ticks
// every bunny stays within the bounds (a step past 2.91 at most) and below 0.6.
TEST(Bunnies, NeverLeaveTheFieldOverThousandsOfTicks)
{
    srand(2024);
    const auto cell = [] { return (rand() % 60) / 10.0f - 3.0f; };
    for (const float g : {0.008f, 0.0008f, 0.02f, 0.008f, 0.0008f, 0.02f}) {
        quietField();
        gravity = g;
        for (int i = 0; i < bunnyCount; ++i) {
            bunnies[i] = Entity{cell(), 0.0f, cell(), 0.0f, 0, cell() * 60 + 180, rand() % 4 == 0};
            trees[i % treeCount] = Entity{cell(), 0.0f, cell(), 0.0f, 0, 0.0f, 0};
        }
        for (int tick = 0; tick < 5000; ++tick) {
            eyePosition = tick % 400 ? eyePosition : Vector3(cell() * 0.93f, 0.45f, cell() * 0.93f);
            bunnyTick();
            for (const Entity& b : bunnies) {
                ASSERT_TRUE(b.x >= -3.0f && b.x <= 2.93f && b.z >= -3.0f && b.z <= 2.93f &&
                            b.y >= 0.0f && b.y < 0.6f) << g << " tick " << tick;
            }
        }
    }
}
