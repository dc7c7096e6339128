#include "sim/bunnies.h"

#include <cmath>

#include "app/game_state.h"
#include "app/pass_clock.h"

static const float hopSpeed = 0.03f;       // vertical speed at the start of a hop
static const double hopDistance = 0.02;    // horizontal distance per tick in the air
static const float biteReach = 0.08f;      // on x and on z, from the eye
static const float biteDamage = 0.008f;    // per biting bunny per tick
static const float bunnyBound = 2.91f;     // 3.0 - 0.09, on x and on z
static const float treeHalfSize = 0.08f;   // a tree's blocking square, around the trunk
static const float treeHeight = 0.8f;      // a bunny at or above it hops over trees
static const double degToRad = 0.01745329;

// Lets the next bunny in turn start a hop if it rests and lives: at most one per tick.
static void startNextHop()
{
    hopIndex = (hopIndex + 1) % bunnyCount;
    Entity& bunny = bunnies[hopIndex];
    if (bunny.airborne == 0 && bunny.hits == 0) {
        bunny.verticalSpeed = hopSpeed;
        bunny.airborne = 1;
    }
}

// Whether the bunny is at the player's feet: within reach on x and z, its base within the
// height window just below the eye.
static bool withinBite(const Entity& bunny)
{
    return std::fabs(bunny.z - eyePosition.z) < biteReach &&
           std::fabs(bunny.x - eyePosition.x) < biteReach &&
           eyePosition.y - 0.45f - 0.02f < bunny.y && bunny.y < eyePosition.y;
}

// One bite: 0.008 off the health of a living player; the bite that empties it kills.
static void bite()
{
    if (health > 0.0f) {
        health -= biteDamage;
        if (health <= 0.0f) {
            health = 0.0f;
            deathView();
        }
    }
}

// Aims the bunny at the eye. The arctangent is of the single-precision quotient; when the
// x's are equal the quotient is infinite (90 or -90 degrees), and at the eye's very spot it
// is NaN, which leaves the bunny without a step until the positions differ again.
static void aimAtPlayer(Entity& bunny)
{
    const float quotient = (eyePosition.z - bunny.z) / (bunny.x - eyePosition.x);
    double heading = std::atan(quotient) / degToRad;
    if (eyePosition.x > bunny.x) {
        heading += 180.0;
    }
    bunny.heading = static_cast<float>(heading);
}

// Whether tree square blocks a step along one axis (along/across: the bunny's coordinates
// on the step's axis and the other one; treeAlong/treeAcross the trunk's).
static bool treeBlocks(float step, float along, float across, float y, float treeAlong,
                       float treeAcross)
{
    const bool towards =
        (step > 0.0f && treeAlong - treeHalfSize <= along && along < treeAlong) ||
        (step < 0.0f && treeAlong < along && along <= treeAlong + treeHalfSize);
    return towards && treeAcross - treeHalfSize < across && across < treeAcross + treeHalfSize &&
           y < treeHeight;
}

// Moves the bunny by step along x (onX) or z: a tree turns it by 0.4 degrees and holds it,
// the bound (a step of 0 counts as outward) turns a living bunny about.
static void moveAlong(Entity& bunny, float step, bool onX)
{
    float& along = onX ? bunny.x : bunny.z;
    const float across = onX ? bunny.z : bunny.x;
    const bool tried = (step >= 0.0f && along < bunnyBound) || (step < 0.0f && along > -bunnyBound);
    if (!tried) {
        if (bunny.hits == 0) {
            bunny.heading += 180.0f;
            if (bunny.heading >= 360.0f) {
                bunny.heading -= 360.0f;
            }
        }
        return;
    }
    for (const Entity& tree : trees) {
        const float treeAlong = onX ? tree.x : tree.z;
        const float treeAcross = onX ? tree.z : tree.x;
        if (treeBlocks(step, along, across, bunny.y, treeAlong, treeAcross)) {
            bunny.heading += 0.4f;
            return;
        }
    }
    along += step;
}

// One bunny's tick: the step from the heading it had, then bite or pursuit if it lives,
// then x, the height (landing below 0) and z, in that order.
static void updateBunny(Entity& bunny)
{
    float rise = 0.0f;
    float stepX = 0.0f;
    float stepZ = 0.0f;
    if (bunny.airborne) {
        rise = bunny.verticalSpeed;
        bunny.verticalSpeed -= gravity;
        stepX = static_cast<float>(-hopDistance * std::cos(bunny.heading * degToRad));
        stepZ = static_cast<float>(hopDistance * std::sin(bunny.heading * degToRad));
    }
    if (bunny.hits == 0) {
        if (withinBite(bunny)) {
            bite();
            stepX = 0.0f;
            stepZ = 0.0f;
        } else {
            aimAtPlayer(bunny);
        }
    }
    moveAlong(bunny, stepX, true);
    bunny.y += rise;
    if (bunny.y < 0.0f) {
        bunny.y = 0.0f;
        bunny.airborne = 0;
    }
    moveAlong(bunny, stepZ, false);
}

// One tick of all bunnies; nothing at all in menu mode.
bool bunnyTick()
{
    if (playing == 0) {
        return false;
    }
    startNextHop();
    for (Entity& bunny : bunnies) {
        updateBunny(bunny);
    }
    return playing == 1;
}

// Lays the camera on its side: the up vector becomes the flat vector to the player's
// left (not unit length) and the look-at point drops to the ground.
void deathView()
{
    const Vector3 cameraV(lookAtPoint.x - eyePosition.x, lookAtPoint.y - eyePosition.y,
                          lookAtPoint.z - eyePosition.z);
    const Vector3 strafeV = cross(upVector, cameraV);
    upVector.y = 0.0f;
    upVector.x = strafeV.x;
    upVector.z = strafeV.z;
    lookAtPoint.y = 0.0f;
    lookPitch = 0.0f;
    // The pass that ran this tick draws the next frame.
}

void bunnyTimer(int value)
{
    if (value != playEntryCount) {
        return;  // a chain from an earlier play entry: end it
    }
    runChainTick(6, bunnyTick, bunnyTimer, value);
}

void startBunnyTimer(int playEntry)
{
    armChain(6, bunnyTimer, playEntry);
}
