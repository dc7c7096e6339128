#include <gtest/gtest.h>

#include <cmath>

#include "scene_setup.h"
#include "sim/bunnies.h"

// Play mode, Earth gravity, a living player at (0, 0.45, 1) looking along +x; every bunny and
// tree far beyond the walls; bunny 0 next to hop when hopFirst.
static void quietField(bool hopFirst = false)
{
    emptyField();
    placeCamera(Vector3(0.0f, 0.45f, 1.0f), Vector3(0.25f, 0.45f, 1.0f));
    playing = 1;
    health = 1.0f;
    gravity = 0.008f;
    hopIndex = hopFirst ? bunnyCount - 1 : 0;
}

// Bites come from within 0.08 on x and z and from less than 0.47 below the eye: a jump
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
        bunnies[2] = Entity{c[0], c[1], 1.0f, 0.0f, 0, 0.0f, 0};
        bunnies[3] = Entity{0.0f, c[1], 0.9f + 0.1f * c[3], 0.0f, 0, 0.0f, 0};
        bunnyTick();
        EXPECT_NEAR(health, 1.0f - 0.016f * c[3], 1e-6) << c[0] << ", " << c[1] << ", " << c[2];
    }
    quietField();
    lookPitch = 0.3f;
    lookAtPoint = Vector3(0.25f * std::cos(0.3f), 0.45f + 0.25f * std::sin(0.3f), 1.0f);
    bunnies[7] = Entity{0.0f, 0.0f, 1.0f, 0.0f, 0, 0.0f, 0};
    for (int ticks = 0; ticks < 175; ++ticks) {
        ASSERT_EQ(health > 0.0f, ticks < 125) << ticks;
        bunnyTick();
    }
    EXPECT_TRUE(upVector.x == 0.0f && upVector.y == 0.0f && lookAtPoint.y == 0.0f &&
                lookPitch == 0.0f && std::fabs(upVector.z + 0.25f * std::cos(0.3f)) < 1e-6);
}

// A bunny 1 from the eye on x and z is aimed at it (45 or 135 degrees). Shot mid-hop, it
// finishes the hop (0.072 high) along its last heading, stops a step past the bound on either
// side without turning about, and never hops again.
TEST(Bunnies, AimsAtTheEyeAndWhenKilledFinishesItsHopWithinTheBounds)
{
    for (const float side : {1.0f, -1.0f}) {
        quietField(true);
        eyePosition.x = 1.85f * side;
        Entity& bunny = bunnies[0] = Entity{2.85f * side, 0.0f, 0.0f, 0.0f, 0, 0.0f, 0};
        bunnyTick();
        EXPECT_NEAR(bunny.heading, 90.0f - 45.0f * side, 1e-3);
        bunnyTick();
        bunny.hits = 1;
        bunny.heading = 90.0f + 90.0f * side;  // to the wall, so a re-aim would show
        const float z = bunny.z;
        float height = bunny.y;
        int ticks = 0;
        for (; bunny.airborne == 1 && ticks < 100; ++ticks) {
            bunnyTick();
            height = std::fmax(height, bunny.y);
        }
        EXPECT_TRUE(ticks == 7 && std::fabs(height - 0.072f) < 1e-4f) << "the rest of a 9-tick hop";
        EXPECT_TRUE(std::fabs(bunny.x) >= 2.91f && std::fabs(bunny.x) < 2.93f &&
                    std::fabs(bunny.z - z) < 1e-5 && bunny.heading == 90.0f + 90.0f * side)
            << bunny.x << ", " << bunny.z;
        const Entity rest = bunny;
        for (int i = 0; i < 200; ++i) {
            bunnyTick();
            ASSERT_TRUE(bunny.airborne == 0 && bunny.x == rest.x && bunny.z == rest.z) << i;
        }
    }
}
