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

// Facing the eye along -x, a hop's ticks, height and length under each gravity; a bunny at
// (1, 0, 0) is aimed at the eye (0, 1) at 45 degrees and steps along that heading.
TEST(Bunnies, HopsUnderEachGravityAimedAtTheEye)
{
    struct {
        const char* name;
        float g;
        int ticks;
        float height;
    } const cases[] = {{"Earth", 0.008f, 9, 0.072f}, {"Lunar", 0.0008f, 76, 0.58f},
                       {"Jupiter", 0.02f, 5, 0.04f}};
    for (const auto& c : cases) {
        quietField(true);
        gravity = c.g;
        eyePosition = Vector3(-2.7f, 0.45f, 0.0f);
        Entity& bunny = liveBunny(0, 2.0f, 0.0f, 0.0f);
        int ticks = 0;
        float height = 0.0f;
        do {
            bunnyTick();
            height = std::fmax(height, bunny.y);
        } while (++ticks < 1000 && bunny.airborne == 1);
        // A sum of rounded rises may end a hair above 0: one more tick.
        EXPECT_TRUE(ticks == c.ticks || ticks == c.ticks + 1) << c.name << ": " << ticks;
        EXPECT_NEAR(height, c.height, 0.005f) << c.name;
        EXPECT_NEAR(2.0f - bunny.x, 0.02f * ticks, 1e-4) << c.name;
        EXPECT_FLOAT_EQ(bunny.y, 0.0f) << c.name;
    }
    quietField(true);
    Entity& bunny = liveBunny(0, 1.0f, 0.0f, 0.0f);
    bunnyTick();
    EXPECT_NEAR(bunny.heading, 45.0f, 1e-3);
    const float x = bunny.x, z = bunny.z;
    bunnyTick();
    EXPECT_NEAR(bunny.x - x, -0.0141421f, 1e-5);
    EXPECT_NEAR(bunny.z - z, 0.0141421f, 1e-5);
}

// Bites come from within 0.08 on x and z and from no lower than 0.45 below the eye: a jump
// escapes them. Two bunnies alike bite twice.
TEST(Bunnies, BiteWindowThatAJumpEscapes)
{
    const float cases[][4] = {{0.0f, 0.0f, 0.45f, 1},  {0.0f, 0.0f, 0.46f, 1},
                              {0.0f, 0.0f, 0.48f, 0},  {0.0f, 0.05f, 0.49f, 1},
                              {0.0f, 0.45f, 0.45f, 0}, {0.0f, 0.44f, 0.45f, 1},
                              {0.079f, 0.0f, 0.45f, 1}, {0.081f, 0.0f, 0.45f, 0}};
    for (const auto& c : cases) {  // bunny x, bunny y, eye y, bites
        quietField();
        eyePosition.y = c[2];
        liveBunny(2, c[0], c[1], 1.0f);
        liveBunny(3, 0.0f, c[1], 0.9f + 0.1f * c[3]);
        bunnyTick();
        EXPECT_NEAR(health, 1.0f - 0.016f * c[3], 1e-6) << c[0] << ", " << c[1] << ", " << c[2];
    }
}

// One bunny at the feet kills in 125 ticks; the camera then lies on its side, up pointing to
// the player's left, the look-at on the ground, and stays so.
TEST(Bunnies, OneBunnyKillsIn125TicksAndTipsTheCamera)
{
    quietField();
    lookPitch = 0.3f;
    lookAtPoint = Vector3(0.25f * std::cos(0.3f), 0.45f + 0.25f * std::sin(0.3f), 1.0f);
    liveBunny(7, 0.0f, 0.0f, 1.0f);
    int ticks = 0;
    for (; health > 0.0f && ticks < 1000; ++ticks) {
        bunnyTick();
    }
    EXPECT_EQ(ticks, 125);
    for (int i = 0; i < 50; ++i) {
        bunnyTick();
    }
    EXPECT_EQ(health, 0.0f);
    EXPECT_FLOAT_EQ(upVector.x, 0.0f);
    EXPECT_FLOAT_EQ(upVector.y, 0.0f);
    EXPECT_NEAR(upVector.z, -0.25f * std::cos(0.3f), 1e-6);
    EXPECT_FLOAT_EQ(lookAtPoint.y, 0.0f);
    EXPECT_FLOAT_EQ(lookPitch, 0.0f);
}

// Shot mid-hop, a bunny finishes the hop along its last heading and never hops again.
TEST(Bunnies, KilledBunnyFinishesItsHopAndNeverHopsAgain)
{
    quietField(true);
    Entity& bunny = liveBunny(0, 1.0f, 0.0f, 0.0f);
    bunnyTick();
    bunnyTick();
    bunny.hits = 1;
    bunny.heading = 90.0f;  // not towards the player, so a re-aim would show
    const float x = bunny.x, z = bunny.z;
    int ticks = 0;
    for (; bunny.airborne == 1 && ticks < 100; ++ticks) {
        bunnyTick();
    }
    EXPECT_EQ(ticks, 7) << "the rest of a 9-tick hop";
    EXPECT_NEAR(bunny.z - z, 0.02f * ticks, 1e-4);
    EXPECT_NEAR(bunny.x, x, 1e-5);
    const Entity rest = bunny;
    for (int i = 0; i < 200; ++i) {
        bunnyTick();
    }
    EXPECT_TRUE(bunny.airborne == 0 && bunny.x == rest.x && bunny.z == rest.z);
}

// Random fields under each gravity, the player moving now and then: for thousands of ticks
// every bunny stays within the bounds (a step past 2.91 at most) and below 0.6.
TEST(Bunnies, NeverLeaveTheFieldOverThousandsOfTicks)
{
    srand(2024);
    const auto cell = [] { return (rand() % 60) / 10.0f - 3.0f; };
    for (int game = 0; game < 6; ++game) {
        quietField();
        gravity = game % 3 == 0 ? 0.008f : (game % 3 == 1 ? 0.0008f : 0.02f);
        for (int i = 0; i < bunnyCount; ++i) {
            bunnies[i] = Entity{cell(), 0.0f, cell(), 0.0f, 0, cell() * 60 + 180, rand() % 4 == 0};
            trees[i % treeCount] = Entity{cell(), 0.0f, cell(), 0.0f, 0, 0.0f, 0};
        }
        for (int tick = 0; tick < 5000; ++tick) {
            eyePosition = tick % 400 ? eyePosition : Vector3(cell() * 0.93f, 0.45f, cell() * 0.93f);
            bunnyTick();
            for (const Entity& b : bunnies) {
                ASSERT_TRUE(b.x >= -3.0f && b.x <= 2.93f && b.z >= -3.0f && b.z <= 2.93f &&
                            b.y >= 0.0f && b.y < 0.6f)
                    << "game " << game << " tick " << tick << ": " << b.x << ", " << b.y << ", "
                    << b.z;
            }
        }
    }
}
