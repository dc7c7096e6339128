#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

#include "app/game_state.h"
#include "sim/bunnies.h"

// Play mode, a living player standing at (0, 0.45, 1) looking along +x, Earth gravity;
// every bunny killed and resting in a far corner, every tree parked in another, and
// bunny 0 next in turn to hop only when hopFirst is set.
static void quietField(bool hopFirst = false)
{
    playing = 1;
    health = 1.0f;
    gravity = 0.008f;
    lookPitch = 0.0f;
    eyePosition = Vector3(0.0f, 0.45f, 1.0f);
    lookAtPoint = Vector3(0.25f, 0.45f, 1.0f);
    upVector = Vector3(0.0f, 1.0f, 0.0f);
    for (Entity& bunny : bunnies) {
        bunny = Entity{2.5f, 0.0f, -2.5f, 0.0f, 0, 0.0f, 1};
    }
    for (Entity& tree : trees) {
        tree = Entity{-2.8f, 0.0f, -2.8f, 0.0f, 0, 0.0f, 0};
    }
    hopIndex = hopFirst ? bunnyCount - 1 : 0;
}

// Places bunny i alive and resting at (x, y, z).
static Entity& liveBunny(int i, float x, float y, float z)
{
    bunnies[i] = Entity{x, y, z, 0.0f, 0, 0.0f, 0};
    return bunnies[i];
}

// Unit vector of a heading in degrees: (-cos h, sin h) on x and z.
static void headingDirection(float heading, float& dx, float& dz)
{
    dx = -std::cos(heading * 0.01745329f);
    dz = std::sin(heading * 0.01745329f);
}

TEST(BunnyPursuit, LivingBunnyIsAimedAtTheEye)
{
    quietField(true);
    Entity& bunny = liveBunny(0, 1.0f, 0.0f, 0.0f);
    bunnyTick();  // starts bunny 0's hop with its old heading, and aims it
    EXPECT_NEAR(bunny.heading, 45.0f, 1e-3);
    const float x = bunny.x;
    const float z = bunny.z;
    bunnyTick();  // this step comes from the heading of 45 degrees
    EXPECT_NEAR(bunny.x - x, -0.0141421f, 1e-5);
    EXPECT_NEAR(bunny.z - z, 0.0141421f, 1e-5);

    // Wherever it stands, the heading points from the bunny towards the eye, also straight
    // along z (x equal) and from the eye's +x and -x sides.
    const float spots[][2] = {{1.0f, 0.0f},  {-1.0f, 0.0f}, {0.0f, -1.0f}, {0.0f, 2.0f},
                              {-2.0f, 2.5f}, {2.5f, 2.5f},  {-0.5f, 1.0f}, {2.9f, 1.0f}};
    for (const auto& spot : spots) {
        quietField();
        Entity& b = liveBunny(5, spot[0], 0.0f, spot[1]);
        bunnyTick();
        float dx = 0.0f;
        float dz = 0.0f;
        headingDirection(b.heading, dx, dz);
        const float tx = eyePosition.x - spot[0];
        const float tz = eyePosition.z - spot[1];
        const float length = std::hypot(tx, tz);
        EXPECT_NEAR(dx, tx / length, 1e-4) << spot[0] << ", " << spot[1];
        EXPECT_NEAR(dz, tz / length, 1e-4) << spot[0] << ", " << spot[1];
        EXPECT_GE(b.heading, -90.001f);  // atanf(-inf) rounds a hair beyond -pi/2
        EXPECT_LE(b.heading, 270.001f);
    }
}

TEST(BunnyHop, OneHopStartsPerTickInTurn)
{
    quietField();
    for (int i = 0; i < bunnyCount; ++i) {
        liveBunny(i, -1.0f + 0.1f * i, 0.0f, -2.0f);
    }
    hopIndex = 4;
    bunnyTick();
    EXPECT_EQ(hopIndex, 5);
    for (int i = 0; i < bunnyCount; ++i) {
        EXPECT_EQ(bunnies[i].airborne, i == 5 ? 1 : 0) << i;
    }
    hopIndex = 19;
    bunnyTick();
    EXPECT_EQ(hopIndex, 0);
    EXPECT_EQ(bunnies[0].airborne, 1);
    // The next in turn is killed: no hop starts anywhere.
    bunnies[1].hits = 1;
    const float y6 = bunnies[6].y;
    bunnyTick();
    EXPECT_EQ(bunnies[1].airborne, 0);
    EXPECT_EQ(bunnies[6].airborne, 0);
    EXPECT_EQ(bunnies[6].y, y6);
}

TEST(BunnyHop, LengthAndHeightUnderEachGravity)
{
    struct {
        const char* name;
        float g;
        int ticks;
        float height;
        float length;
    } const cases[] = {
        {"Earth", 0.008f, 9, 0.072f, 0.18f},
        {"Lunar", 0.0008f, 76, 0.58f, 1.52f},
        {"Jupiter", 0.02f, 5, 0.04f, 0.10f},
    };
    for (const auto& c : cases) {
        quietField(true);
        gravity = c.g;
        eyePosition = Vector3(-2.7f, 0.45f, 0.0f);
        Entity& bunny = liveBunny(0, 2.0f, 0.0f, 0.0f);
        bunny.heading = 0.0f;  // faces the eye along -x already
        int ticks = 0;
        float height = 0.0f;
        do {
            bunnyTick();
            ++ticks;
            height = std::fmax(height, bunny.y);
        } while (bunny.airborne == 1 && ticks < 1000);
        // A sum of rounded rises may end a hair above 0: one more tick.
        EXPECT_GE(ticks, c.ticks) << c.name;
        EXPECT_LE(ticks, c.ticks + 1) << c.name;
        EXPECT_NEAR(height, c.height, 0.005f) << c.name;
        EXPECT_NEAR(2.0f - bunny.x, 0.02f * ticks, 1e-4) << c.name;
        EXPECT_NEAR(2.0f - bunny.x, c.length, 0.021f) << c.name;
        EXPECT_FLOAT_EQ(bunny.y, 0.0f) << c.name;
        EXPECT_NEAR(bunny.z, 0.0f, 1e-5) << c.name;
        // Resting until its turn comes round again.
        const float x = bunny.x;
        bunnyTick();
        EXPECT_EQ(bunny.x, x) << c.name;
    }
}

TEST(BunnyBite, WindowAtTheFeetAndAJumpThatEscapesIt)
{
    struct {
        float bunnyY;
        float eyeY;
        bool bites;
    } const cases[] = {
        {0.0f, 0.45f, true},   {0.0f, 0.46f, true},   {0.0f, 0.48f, false},
        {0.05f, 0.49f, true},  {0.45f, 0.45f, false}, {0.44f, 0.45f, true},
        {0.0f, 0.93f, false},
    };
    for (const auto& c : cases) {
        quietField();
        eyePosition.y = c.eyeY;
        liveBunny(2, 0.05f, c.bunnyY, 1.05f);
        bunnyTick();
        EXPECT_EQ(health < 1.0f, c.bites) << c.bunnyY << " under an eye at " << c.eyeY;
    }
    // Reach: less than 0.08 on both axes.
    quietField();
    liveBunny(2, 0.079f, 0.0f, 1.079f);
    liveBunny(3, 0.081f, 0.0f, 1.0f);
    liveBunny(4, 0.0f, 0.0f, 0.919f);
    bunnyTick();
    EXPECT_NEAR(health, 1.0f - 0.008f, 1e-6) << "only the bunny within reach bites";

    // Several bunnies at the feet bite in the same tick.
    quietField();
    liveBunny(2, 0.0f, 0.0f, 1.0f);
    liveBunny(3, 0.02f, 0.0f, 1.02f);
    liveBunny(4, -0.03f, 0.0f, 0.99f);
    bunnyTick();
    EXPECT_NEAR(health, 1.0f - 3 * 0.008f, 1e-6);
}

TEST(BunnyBite, BitingBunnyHoldsStillButGoesOnRising)
{
    quietField(true);
    Entity& bunny = liveBunny(0, 0.03f, 0.0f, 1.0f);
    bunny.heading = 0.0f;
    bunnyTick();
    EXPECT_FLOAT_EQ(bunny.x, 0.03f);
    EXPECT_FLOAT_EQ(bunny.z, 1.0f);
    EXPECT_NEAR(bunny.y, 0.03f, 1e-6);
    EXPECT_FLOAT_EQ(bunny.heading, 0.0f) << "a biting bunny is not re-aimed";
}

TEST(BunnyBite, BunnyUnderAJumpingPlayerHasNoDirection)
{
    // At the eye's very x and z, outside the height window: no horizontal step. Its hop
    // starts on the second tick, after the first has found no direction.
    quietField();
    hopIndex = bunnyCount - 2;
    eyePosition.y = 0.6f;
    Entity& bunny = liveBunny(0, 0.0f, 0.0f, 1.0f);
    for (int i = 0; i < 6; ++i) {
        bunnyTick();
        EXPECT_FLOAT_EQ(bunny.x, 0.0f);
        EXPECT_FLOAT_EQ(bunny.z, 1.0f);
    }
    EXPECT_GT(bunny.y, 0.0f);
    EXPECT_FLOAT_EQ(health, 1.0f);
    // Once the eye has moved, the bunny heads for it again.
    eyePosition.x = 0.5f;
    bunnyTick();
    bunnyTick();
    EXPECT_GT(bunny.x, 0.0f);
}

TEST(BunnyBite, OneBunnyKillsIn125TicksAndTipsTheCamera)
{
    quietField();
    const float pitch = 0.3f;
    lookPitch = pitch;
    lookAtPoint = Vector3(0.25f * std::cos(pitch), 0.45f + 0.25f * std::sin(pitch), 1.0f);
    liveBunny(7, 0.0f, 0.0f, 1.0f);
    int ticks = 0;
    while (health > 0.0f && ticks < 1000) {
        EXPECT_TRUE(bunnyTick());
        ++ticks;
    }
    EXPECT_EQ(ticks, 125);
    EXPECT_EQ(health, 0.0f);
    // Up lies flat, pointing to the player's left: (0, 1, 0) x cameraV.
    EXPECT_FLOAT_EQ(upVector.x, 0.0f);
    EXPECT_FLOAT_EQ(upVector.y, 0.0f);
    EXPECT_NEAR(upVector.z, -0.25f * std::cos(pitch), 1e-6);
    EXPECT_FLOAT_EQ(lookAtPoint.y, 0.0f);
    EXPECT_FLOAT_EQ(lookPitch, 0.0f);
    EXPECT_FLOAT_EQ(eyePosition.y, 0.45f);

    // Dead: no more bites, and the camera is not tipped a second time.
    const Vector3 up = upVector;
    for (int i = 0; i < 50; ++i) {
        bunnyTick();
    }
    EXPECT_EQ(health, 0.0f);
    EXPECT_EQ(upVector.x, up.x);
    EXPECT_EQ(upVector.z, up.z);
    EXPECT_FLOAT_EQ(lookAtPoint.y, 0.0f);
}

TEST(BunnyBite, DeathViewFromAnyLookDirection)
{
    // Looking along -z, the player's left is -x.
    eyePosition = Vector3(1.0f, 0.45f, 1.0f);
    lookAtPoint = Vector3(1.0f, 0.45f, 0.75f);
    upVector = Vector3(0.0f, 1.0f, 0.0f);
    lookPitch = 0.0f;
    deathView();
    EXPECT_NEAR(upVector.x, -0.25f, 1e-6);
    EXPECT_FLOAT_EQ(upVector.y, 0.0f);
    EXPECT_NEAR(upVector.z, 0.0f, 1e-6);
    EXPECT_FLOAT_EQ(lookAtPoint.y, 0.0f);
    EXPECT_FLOAT_EQ(lookAtPoint.x, 1.0f);
    EXPECT_FLOAT_EQ(lookAtPoint.z, 0.75f);
}

TEST(BunnyKilled, FinishesItsHopAlongItsLastHeadingAndNeverHopsAgain)
{
    quietField(true);
    Entity& bunny = liveBunny(0, 1.0f, 0.0f, 0.0f);
    bunnyTick();
    bunnyTick();
    ASSERT_EQ(bunny.airborne, 1);
    bunny.hits = 1;
    bunny.heading = 90.0f;  // not towards the player, so a re-aim would show
    const float x = bunny.x;
    const float z = bunny.z;
    int ticks = 0;
    while (bunny.airborne == 1 && ticks < 100) {
        bunnyTick();
        ++ticks;
    }
    EXPECT_EQ(ticks, 7) << "the rest of a 9-tick hop";
    EXPECT_EQ(bunny.heading, 90.0f);
    EXPECT_NEAR(bunny.z - z, 0.02f * ticks, 1e-4);
    EXPECT_NEAR(bunny.x, x, 1e-5);
    const Entity rest = bunny;
    for (int i = 0; i < 200; ++i) {
        bunnyTick();
    }
    EXPECT_EQ(bunny.airborne, 0);
    EXPECT_EQ(bunny.x, rest.x);
    EXPECT_EQ(bunny.y, 0.0f);
    EXPECT_EQ(bunny.z, rest.z);
    EXPECT_EQ(bunny.heading, 90.0f);
}

TEST(BunnyBounds, EdgeTurnsALivingBunnyAboutButNotAKilledOne)
{
    // An outward step from beyond 2.91 is refused and turns a living bunny away from the
    // player (its aim plus 180): the next step leads away, then it turns back.
    quietField();
    Entity& bunny = liveBunny(3, 2.92f, 0.0f, 0.5f);
    bunny.airborne = 1;
    bunny.verticalSpeed = 0.03f;
    bunny.heading = 180.0f;  // faces +x
    bunnyTick();
    EXPECT_FLOAT_EQ(bunny.x, 2.92f);
    float dx = 0.0f;
    float dz = 0.0f;
    headingDirection(bunny.heading, dx, dz);
    EXPECT_LT(dx * (eyePosition.x - bunny.x) + dz * (eyePosition.z - bunny.z), 0.0f);
    EXPECT_GE(bunny.heading, 0.0f);
    EXPECT_LT(bunny.heading, 360.0f);

    // A killed bunny at -3.0 (where a new game may place it) is held but does not turn;
    // a step inwards from there is allowed.
    quietField();
    Entity& dead = bunnies[4];
    dead = Entity{-3.0f, 0.01f, 0.0f, 0.02f, 1, 0.0f, 1};
    bunnyTick();
    EXPECT_FLOAT_EQ(dead.x, -3.0f);
    EXPECT_FLOAT_EQ(dead.heading, 0.0f);
    dead = Entity{-3.0f, 0.01f, 0.0f, 0.02f, 1, 180.0f, 1};
    bunnyTick();
    EXPECT_NEAR(dead.x, -2.98f, 1e-5);
}

TEST(BunnyTrees, TreeHoldsTheBunnyOnOneAxisAndTurnsItByFourTenths)
{
    quietField();
    trees[6] = Entity{1.0f, 0.0f, 0.0f, 0.0f, 0, 0.0f, 0};
    Entity& bunny = bunnies[8];
    bunny = Entity{0.95f, 0.01f, 0.03f, 0.02f, 1, 135.0f, 1};  // killed, hopping +x +z
    bunnyTick();
    EXPECT_FLOAT_EQ(bunny.x, 0.95f) << "x towards the trunk is held";
    EXPECT_GT(bunny.z, 0.03f) << "z is free";
    EXPECT_NEAR(bunny.heading, 135.4f, 1e-4);

    // A step away from the trunk's line is not held.
    bunny = Entity{0.95f, 0.01f, 0.03f, 0.02f, 1, 0.0f, 1};
    bunnyTick();
    EXPECT_NEAR(bunny.x, 0.93f, 1e-5);
    EXPECT_FLOAT_EQ(bunny.heading, 0.0f);
}

TEST(BunnyBounds, NeverLeaveTheFieldOverThousandsOfTicks)
{
    srand(2024);
    for (int game = 0; game < 6; ++game) {
        quietField();
        gravity = game % 3 == 0 ? 0.008f : (game % 3 == 1 ? 0.0008f : 0.02f);
        eyePosition = Vector3((rand() % 56) / 10.0f - 2.8f, 0.45f, (rand() % 56) / 10.0f - 2.8f);
        for (Entity& bunny : bunnies) {
            bunny = Entity{(rand() % 60) / 10.0f - 3.0f, 0.0f, (rand() % 60) / 10.0f - 3.0f,
                           0.0f, 0, static_cast<float>(rand() % 360), rand() % 4 == 0};
        }
        for (Entity& tree : trees) {
            tree = Entity{(rand() % 60) / 10.0f - 3.0f, 0.0f, (rand() % 60) / 10.0f - 3.0f,
                          0.0f, 0, 0.0f, 0};
        }
        for (int tick = 0; tick < 5000; ++tick) {
            if (tick % 400 == 0) {  // the player wanders off now and then
                eyePosition.x = (rand() % 56) / 10.0f - 2.8f;
                eyePosition.z = (rand() % 56) / 10.0f - 2.8f;
            }
            bunnyTick();
            for (const Entity& b : bunnies) {
                ASSERT_GE(b.x, -3.0f) << "game " << game << " tick " << tick;
                ASSERT_LE(b.x, 2.91f + 0.02f) << "game " << game << " tick " << tick;
                ASSERT_GE(b.z, -3.0f) << "game " << game << " tick " << tick;
                ASSERT_LE(b.z, 2.91f + 0.02f) << "game " << game << " tick " << tick;
                ASSERT_GE(b.y, 0.0f);
                ASSERT_LT(b.y, 0.6f);
            }
            ASSERT_GE(health, 0.0f);
        }
    }
}

TEST(BunnyTimerChain, NothingMovesOutOfPlay)
{
    quietField(true);
    Entity& bunny = liveBunny(0, 1.0f, 0.0f, 0.0f);
    playing = 0;
    const int index = hopIndex;
    EXPECT_FALSE(bunnyTick());
    EXPECT_EQ(hopIndex, index);
    EXPECT_EQ(bunny.airborne, 0);
    EXPECT_EQ(bunny.heading, 0.0f);
}
