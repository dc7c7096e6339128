#include <gtest/gtest.h>

#include "input/picking.h"
#include "scene_setup.h"

// Shots through the real selection pass: entities placed on purpose on the crosshair ray,
// the eye looking straight at them.

namespace {

// The bunny mesh is centred about 0.017 to the -x side of its position, and its body's
// middle stands about 0.07 above the ground once sunk by 0.04.
const float bunnyShift = 0.017f;
const float bunnyMiddle = 0.07f;

Entity bunnyAt(float z) { return Entity{bunnyShift, 0.0f, z, 0.0f, 0, 0.0f, 0}; }

Entity treeAt(float x, float z) { return Entity{x, 0.0f, z, 0.0f, 0, 0.0f, 0}; }

// Play mode by day with the field emptied, looking from eye at target.
void aim(Vector3 eye, Vector3 target)
{
    enterTestPlay(1);
    emptyField();
    placeCamera(eye, target);
}

// Fires one shot at the window centre through the game's selection pass.
void shoot()
{
    pick(0);
}

const Vector3 lowEye(0.0f, bunnyMiddle, 1.2f);
const Vector3 lowTarget(0.0f, bunnyMiddle, 0.0f);

}  // namespace

// Both of two bunnies one behind the other are hit, with no trunk in the way.
TEST(ShotPicking, TwoBunniesInLineAreBothHit)
{
    aim(lowEye, lowTarget);
    bunnies[4] = bunnyAt(0.0f);
    bunnies[11] = bunnyAt(-0.6f);
    shoot();
    EXPECT_EQ(bunnies[4].hits, 1);
    EXPECT_EQ(bunnies[11].hits, 1);
    EXPECT_EQ(bunnies[0].hits, 0);
    shoot();
    EXPECT_EQ(bunnies[4].hits, 2) << "a killed bunny lies down and can still be hit";
    emptyField();
}

// A trunk nearer than the bunny stops the shot; a trunk behind it does not.
TEST(ShotPicking, TrunkInFrontShieldsTheBunny)
{
    aim(lowEye, lowTarget);
    bunnies[2] = bunnyAt(0.0f);
    trees[3] = treeAt(0.0f, 0.5f);
    shoot();
    EXPECT_EQ(bunnies[2].hits, 0);

    trees[3] = treeAt(0.0f, -0.5f);
    shoot();
    EXPECT_EQ(bunnies[2].hits, 1);
    emptyField();
}

// Looking down through a crown (the trunk beside the ray) the bunny below is hit.
TEST(ShotPicking, BunnySeenThroughACrownIsHit)
{
    aim(Vector3(0.0f, 0.5f, 1.2f), lowTarget);
    bunnies[7] = bunnyAt(0.0f);
    trees[0] = treeAt(0.1f, 0.6f);  // the ray crosses it about 0.29 high, inside the cone
    shoot();
    EXPECT_EQ(bunnies[7].hits, 1);
    emptyField();
}

// The head in front of a bunny: the head (part 0) takes the hit, not the neck behind it on
// the same ray, and the bunny beyond is hit too.
TEST(ShotPicking, FigureHeadInFrontOfABunny)
{
    // The ray through the head's middle (0.43 high at z 0.4) reaches the bunny at z 0.
    const float slope = (0.43f - bunnyMiddle) / 0.4f;
    aim(Vector3(0.0f, bunnyMiddle + slope * 1.2f, 1.2f), lowTarget);
    figurePosition = Vector3(0.0f, 0.0f, 0.4f);
    bunnies[15] = bunnyAt(0.0f);
    shoot();
    EXPECT_EQ(figurePartHits[0], 1);
    for (int k = 1; k < 6; ++k) {
        EXPECT_EQ(figurePartHits[k], 0) << "part " << k;
    }
    EXPECT_EQ(bunnies[15].hits, 1);
    emptyField();
}

// Each figure part, aimed at from the front, takes the hit under its own counter.
TEST(ShotPicking, EachFigurePartHitUnderItsOwnCounter)
{
    struct Case {
        int part;
        float x, y;  // aim point on the figure, which faces the eye
    };
    const Case cases[] = {
        {0, 0.0f, 0.43f},   {1, 0.0f, 0.3f},    {2, -0.058f, 0.3f},
        {3, 0.058f, 0.3f},  {4, -0.024f, 0.1f}, {5, 0.024f, 0.1f},
    };
    for (const Case& c : cases) {
        aim(Vector3(c.x, c.y, 1.0f), Vector3(c.x, c.y, 0.0f));
        figurePosition = Vector3(0.0f, 0.0f, 0.0f);
        shoot();
        for (int k = 0; k < 6; ++k) {
            EXPECT_EQ(figurePartHits[k], k == c.part ? 1 : 0) << "aimed at part " << c.part;
        }
    }
    emptyField();
}

// A dead player's click changes nothing, and a shot into empty sky hits nothing.
TEST(ShotPicking, NoHitsWhenDeadOrMissing)
{
    aim(lowEye, lowTarget);
    bunnies[1] = bunnyAt(0.0f);
    health = 0.0f;
    shoot();
    EXPECT_EQ(bunnies[1].hits, 0);
    health = 1.0f;
    aim(lowEye, Vector3(0.0f, 2.0f, 0.0f));
    bunnies[1] = bunnyAt(0.0f);
    shoot();
    EXPECT_EQ(bunnies[1].hits, 0);
    emptyField();
}
