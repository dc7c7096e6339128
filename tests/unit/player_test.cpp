#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

#include "app/game_state.h"
#include "sim/player.h"

// A living player in play mode, standing at (x, 0.45, z) and looking level along the
// heading yawRad (0 = +x), keys released, trees parked in the far corner.
static void standAt(float x, float z, float yawRad = 0.0f, float pitchRad = 0.0f)
{
    playing = 1;
    health = 1.0f;
    gravity = 0.008f;
    jumping = 0;
    playerVerticalSpeed = 0.0f;
    moveForward = moveBackward = strafeLeft = strafeRight = 0;
    lookPitch = pitchRad;
    eyePosition = Vector3(x, 0.45f, z);
    upVector = Vector3(0.0f, 1.0f, 0.0f);
    lookAtPoint = Vector3(x + 0.25f * std::cos(pitchRad) * std::cos(yawRad),
                          0.45f + 0.25f * std::sin(pitchRad),
                          z + 0.25f * std::cos(pitchRad) * std::sin(yawRad));
    for (Entity& tree : trees) {
        tree.x = -2.9f;
        tree.z = -2.9f;
        tree.y = 0.0f;
    }
}

static void holdKeys(int w, int s, int a, int d)
{
    moveForward = w;
    moveBackward = s;
    strafeLeft = a;
    strafeRight = d;
}

struct WalkCase {
    const char* keys;
    int w, s, a, d;
    float dx, dz;
};

TEST(PlayerWalk, OneTickFromTheStartingPoseMovesEyeAndLookAtTogether)
{
    const float step = 0.055f;
    const WalkCase cases[] = {
        {"W", 1, 0, 0, 0, step, 0.0f},
        {"S", 0, 1, 0, 0, -step, 0.0f},
        {"A", 0, 0, 1, 0, 0.0f, -step},
        {"D", 0, 0, 0, 1, 0.0f, step},
        {"WA", 1, 0, 1, 0, step, -step},
        {"SD", 0, 1, 0, 1, -step, step},
        {"WS", 1, 1, 0, 0, 0.0f, 0.0f},
        {"AD", 0, 0, 1, 1, 0.0f, 0.0f},
        {"WSD", 1, 1, 0, 1, 0.0f, step},
        {"none", 0, 0, 0, 0, 0.0f, 0.0f},
    };
    for (const WalkCase& c : cases) {
        standAt(0.0f, 1.0f);
        holdKeys(c.w, c.s, c.a, c.d);
        EXPECT_TRUE(walkTick()) << c.keys;
        EXPECT_NEAR(eyePosition.x, c.dx, 1e-6) << c.keys;
        EXPECT_NEAR(eyePosition.z, 1.0f + c.dz, 1e-6) << c.keys;
        EXPECT_NEAR(lookAtPoint.x, 0.25f + c.dx, 1e-6) << c.keys;
        EXPECT_NEAR(lookAtPoint.z, 1.0f + c.dz, 1e-6) << c.keys;
        EXPECT_FLOAT_EQ(eyePosition.y, 0.45f) << c.keys;
        EXPECT_FLOAT_EQ(lookAtPoint.y, 0.45f) << c.keys;
    }
}

TEST(PlayerWalk, StepIsNotNormalisedAndIgnoresThePitch)
{
    const float pitch = 80.0f * 0.01745329f;
    standAt(0.0f, 0.0f, 0.0f, pitch);
    holdKeys(1, 0, 0, 0);
    walkTick();
    EXPECT_NEAR(eyePosition.x, 0.055f * std::cos(pitch), 1e-6);  // about 0.0096
    EXPECT_FLOAT_EQ(eyePosition.y, 0.45f);

    // Looking along the diagonal, forward plus strafe is about 1.41 times a single step.
    standAt(0.0f, 0.0f, 0.7853982f);
    holdKeys(1, 0, 1, 0);
    walkTick();
    const float length = std::hypot(eyePosition.x, eyePosition.z);
    EXPECT_NEAR(length, 0.055f * std::sqrt(2.0f), 1e-5);
}

TEST(PlayerWalk, WallRefusesOnlyTheOutwardAxisSoThePlayerSlides)
{
    // At the bound looking diagonally outwards: x is refused, z still moves.
    standAt(2.8f, 0.0f, 0.7853982f);
    holdKeys(1, 0, 0, 0);
    walkTick();
    EXPECT_FLOAT_EQ(eyePosition.x, 2.8f);
    EXPECT_GT(eyePosition.z, 0.03f);

    // The same at the negative bounds, on z this time.
    standAt(0.0f, -2.85f, -1.5707964f);
    holdKeys(1, 0, 0, 0);
    walkTick();
    EXPECT_FLOAT_EQ(eyePosition.z, -2.85f);

    // A step from just inside may end up to one step beyond; the next one is refused.
    standAt(2.79f, 0.0f);
    holdKeys(1, 0, 0, 0);
    walkTick();
    EXPECT_NEAR(eyePosition.x, 2.845f, 1e-5);
    walkTick();
    EXPECT_NEAR(eyePosition.x, 2.845f, 1e-5);
    // Walking back in from beyond the bound is allowed.
    holdKeys(0, 1, 0, 0);
    walkTick();
    EXPECT_NEAR(eyePosition.x, 2.79f, 1e-5);
}

TEST(PlayerWalk, TreeBlocksTheAxisTowardsItsCentreLineOnly)
{
    // Tree at (1, 1); the eye inside its square on the near side, looking diagonally.
    standAt(0.7f, 1.1f, 0.7853982f);
    trees[3].x = 1.0f;
    trees[3].z = 1.0f;
    holdKeys(1, 0, 0, 0);
    walkTick();
    EXPECT_FLOAT_EQ(eyePosition.x, 0.7f) << "x towards the trunk is blocked";
    EXPECT_GT(eyePosition.z, 1.1f) << "z, away from the trunk's line, is free";

    // Walking away from the centre line is never blocked.
    holdKeys(0, 1, 0, 0);
    const float x = eyePosition.x;
    walkTick();
    EXPECT_LT(eyePosition.x, x);

    // Standing exactly on the centre, every direction is free.
    for (const float yaw : {0.0f, 1.5707964f, 3.1415927f, -1.5707964f}) {
        standAt(1.0f, 1.0f, yaw);
        trees[3].x = 1.0f;
        trees[3].z = 1.0f;
        holdKeys(1, 0, 0, 0);
        walkTick();
        EXPECT_NEAR(std::hypot(eyePosition.x - 1.0f, eyePosition.z - 1.0f), 0.055f, 1e-5)
            << "yaw " << yaw;
    }

    // Outside the square across the step (z off by 0.34 or more) the tree does not block.
    standAt(0.7f, 1.34f);
    trees[3].x = 1.0f;
    trees[3].z = 1.0f;
    holdKeys(1, 0, 0, 0);
    walkTick();
    EXPECT_GT(eyePosition.x, 0.7f);

    // Feet at or above the tree's height (0.8) pass over it.
    standAt(0.7f, 1.0f);
    trees[3].x = 1.0f;
    trees[3].z = 1.0f;
    eyePosition.y = lookAtPoint.y = 1.26f;
    holdKeys(1, 0, 0, 0);
    walkTick();
    EXPECT_GT(eyePosition.x, 0.7f);
}

TEST(PlayerWalk, NeverCrossesATreeLineNorLeavesTheWallsUnderRandomKeys)
{
    srand(12345);
    standAt(0.0f, 0.0f);
    for (int k = 0; k < treeCount; ++k) {
        trees[k].x = (rand() % 60) / 10.0f - 3.0f;
        trees[k].z = (rand() % 60) / 10.0f - 3.0f;
    }
    for (int tick = 0; tick < 20000; ++tick) {
        if (tick % 25 == 0) {
            holdKeys(rand() % 2, rand() % 2, rand() % 2, rand() % 2);
            const float yaw = (rand() % 628) / 100.0f;
            lookAtPoint.x = eyePosition.x + 0.25f * std::cos(yaw);
            lookAtPoint.z = eyePosition.z + 0.25f * std::sin(yaw);
        }
        const Vector3 before = eyePosition;
        walkTick();
        ASSERT_LE(std::fabs(eyePosition.x), 2.8f + 0.078f);
        ASSERT_LE(std::fabs(eyePosition.z), 2.8f + 0.078f);
        for (const Entity& tree : trees) {
            // A move across a trunk's centre line on x, while within its square on z.
            const bool crossedX = (before.x < tree.x) != (eyePosition.x < tree.x) &&
                                  before.x != tree.x &&
                                  std::fabs(before.z - tree.z) < 0.34f - 1e-4f;
            ASSERT_FALSE(crossedX) << "tick " << tick;
            const bool crossedZ = (before.z < tree.z) != (eyePosition.z < tree.z) &&
                                  before.z != tree.z &&
                                  std::fabs(eyePosition.x - tree.x) < 0.34f - 1e-4f;
            ASSERT_FALSE(crossedZ) << "tick " << tick;
        }
    }
}

TEST(PlayerWalk, ChainEndsWhenDeadWithoutAStepOrWhenOutOfPlayAfterOne)
{
    standAt(0.0f, 1.0f);
    holdKeys(1, 0, 0, 0);
    health = 0.0f;
    EXPECT_FALSE(walkTick());
    EXPECT_FLOAT_EQ(eyePosition.x, 0.0f);

    standAt(0.0f, 1.0f);
    holdKeys(1, 0, 0, 0);
    playing = 0;
    EXPECT_FALSE(walkTick());
    EXPECT_NEAR(eyePosition.x, 0.055f, 1e-6);

    // A barely living player still walks.
    standAt(0.0f, 1.0f);
    holdKeys(1, 0, 0, 0);
    health = 0.001f;
    EXPECT_TRUE(walkTick());
    EXPECT_NEAR(eyePosition.x, 0.055f, 1e-6);
}

// Ticks of gravity that move the eye in a jump from standing, before the landing tick; peak is the highest eye height
// above the standing height reached on the way.
static int jumpTicks(float g, float& peak)
{
    standAt(0.0f, 0.0f);
    gravity = g;
    jumping = 1;
    playerVerticalSpeed += 0.04f;
    peak = 0.0f;
    int ticks = 0;
    while (jumping == 1 && ticks < 1000) {
        gravityTick();
        ++ticks;
        peak = std::fmax(peak, eyePosition.y - 0.45f);
        EXPECT_FLOAT_EQ(lookAtPoint.y - eyePosition.y, 0.0f);
    }
    const int moving = ticks - 1;  // the last tick is the landing itself
    return moving;
}

TEST(PlayerGravity, JumpHeightAndLandingUnderEachGravity)
{
    struct {
        const char* name;
        float g;
        float peak;
        int ticks;
    } const cases[] = {
        {"Earth", 0.008f, 0.12f, 11},
        {"Lunar", 0.0008f, 1.02f, 101},  // "about 100"
        {"Jupiter", 0.02f, 0.06f, 5},
    };
    for (const auto& c : cases) {
        float peak = 0.0f;
        const int ticks = jumpTicks(c.g, peak);
        EXPECT_NEAR(peak, c.peak, 0.003f) << c.name;
        // A sum of rounded steps may leave the eye a hair above the ground: one more tick.
        EXPECT_GE(ticks, c.ticks) << c.name;
        EXPECT_LE(ticks, c.ticks + 1) << c.name;
        EXPECT_EQ(jumping, 0) << c.name;
        EXPECT_FLOAT_EQ(playerVerticalSpeed, 0.0f) << c.name;
        EXPECT_FLOAT_EQ(eyePosition.y, 0.45f) << c.name;
    }
}

TEST(PlayerGravity, FirstJumpTickRisesByTheFullSpeed)
{
    standAt(0.0f, 0.0f);
    jumping = 1;
    playerVerticalSpeed = 0.04f;
    gravityTick();
    EXPECT_NEAR(eyePosition.y, 0.49f, 1e-6);
    EXPECT_NEAR(lookAtPoint.y, 0.49f, 1e-6);
    EXPECT_NEAR(playerVerticalSpeed, 0.032f, 1e-6);
}

TEST(PlayerGravity, OnlyALunarJumpLiftsTheFeetOverATree)
{
    standAt(0.7f, 1.0f);
    trees[0].x = 1.0f;
    trees[0].z = 1.0f;
    gravity = 0.0008f;
    jumping = 1;
    playerVerticalSpeed = 0.04f;
    for (int i = 0; i < 45; ++i) {
        gravityTick();
    }
    ASSERT_GT(eyePosition.y - 0.45f, 0.8f);
    holdKeys(1, 0, 0, 0);
    for (int i = 0; i < 10; ++i) {
        walkTick();
    }
    EXPECT_GT(eyePosition.x, 1.0f) << "walked over the trunk's line";
}

TEST(PlayerGravity, StandingHoldsTheEyeAndTakesTheLookHeightFromThePitch)
{
    standAt(0.0f, 0.0f, 0.0f, 0.5f);
    lookAtPoint.y = 3.0f;  // whatever it was, the ground sets it afresh
    EXPECT_TRUE(gravityTick());
    EXPECT_FLOAT_EQ(eyePosition.y, 0.45f);
    EXPECT_NEAR(lookAtPoint.y, 0.45f + 0.25f * std::sin(0.5f), 1e-6);
    EXPECT_EQ(jumping, 0);
}

TEST(PlayerGravity, NewGameDropsTheEyeToTheGroundAndMenuModeFreezesIt)
{
    standAt(0.0f, 1.0f);
    eyePosition.y = lookAtPoint.y = 1.45f;
    playing = 0;
    for (int i = 0; i < 50; ++i) {
        EXPECT_TRUE(gravityTick());
    }
    EXPECT_FLOAT_EQ(eyePosition.y, 1.45f);
    playing = 1;
    int ticks = 0;
    while (eyePosition.y > 0.45f && ticks < 100) {
        gravityTick();
        ++ticks;
    }
    gravityTick();
    EXPECT_LT(ticks, 20);  // 1.0 under Earth gravity takes about 16 ticks
    EXPECT_FLOAT_EQ(eyePosition.y, 0.45f);
    EXPECT_FLOAT_EQ(playerVerticalSpeed, 0.0f);
}

TEST(PlayerGravity, DeadPlayerFallsFromMidJumpAndComesToRestAtTheLyingHeight)
{
    standAt(0.0f, 0.0f);
    eyePosition.y = lookAtPoint.y = 0.6f;
    playerVerticalSpeed = 0.02f;  // still rising when the last bite lands
    jumping = 1;
    health = 0.0f;
    gravityTick();
    EXPECT_NEAR(eyePosition.y, 0.62f, 1e-6) << "the fall starts from the speed it had";
    for (int i = 0; i < 200; ++i) {
        gravityTick();
        ASSERT_GE(eyePosition.y, 0.1f - 0.1f);
    }
    EXPECT_FLOAT_EQ(eyePosition.y, 0.1f);
    EXPECT_FLOAT_EQ(lookAtPoint.y, 0.1f);
    EXPECT_EQ(jumping, 0);
    EXPECT_FLOAT_EQ(playerVerticalSpeed, 0.0f);
}
