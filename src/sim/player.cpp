#include "sim/player.h"

#include <cmath>

#include "app/game_state.h"
#include "app/pass_clock.h"

// The eye stays within this distance of the centre on x and on z (walls at 3).
static const float eyeBound = 2.8f;
// Half the side of the square around a tree trunk that the eye cannot cross.
static const float treeHalfSize = 0.34f;
// Feet at or above this height pass over the trees.
static const float treeHeight = 0.8f;
static const float standingEyeHeight = 0.45f;
static const float lyingEyeHeight = 0.1f;
static const double lookDistance = 0.25;

// Whether a step along one axis is stopped by a tree. along/across are the eye's
// coordinates on the step's axis and the other one; treeAlong/treeAcross the trunk's.
// The step is stopped only on its way towards the trunk's centre line.
static bool treeBlocks(float step, float along, float across, float treeAlong, float treeAcross)
{
    const bool towards =
        (step > 0.0f && treeAlong - treeHalfSize <= along && along < treeAlong) ||
        (step < 0.0f && treeAlong < along && along <= treeAlong + treeHalfSize);
    return towards && treeAcross - treeHalfSize < across && across < treeAcross + treeHalfSize &&
           eyePosition.y - standingEyeHeight < treeHeight;
}

// Whether a step along x (onX) or z is inside the walls and clear of every tree.
static bool stepAllowed(float step, bool onX)
{
    const float along = onX ? eyePosition.x : eyePosition.z;
    const float across = onX ? eyePosition.z : eyePosition.x;
    if (!((step > 0.0f && along < eyeBound) || (step < 0.0f && along > -eyeBound))) {
        return false;
    }
    for (const Entity& tree : trees) {
        const float treeAlong = onX ? tree.x : tree.z;
        const float treeAcross = onX ? tree.z : tree.x;
        if (treeBlocks(step, along, across, treeAlong, treeAcross)) {
            return false;
        }
    }
    return true;
}

// One walk step: the look vector for W/S and its cross with the up vector for A/D, not
// normalised, so a level look walks 0.055 per tick and a diagonal about 1.41 times that.
bool walkTick()
{
    if (health == 0.0f) {
        return false;  // dead: no step, and the chain ends
    }
    const Vector3 cameraV(lookAtPoint.x - eyePosition.x, lookAtPoint.y - eyePosition.y,
                          lookAtPoint.z - eyePosition.z);
    float stepX = 0.0f;
    float stepZ = 0.0f;
    if (moveForward && !moveBackward) {
        stepX += cameraV.x * walkSpeed;
        stepZ += cameraV.z * walkSpeed;
    } else if (moveBackward && !moveForward) {
        stepX -= cameraV.x * walkSpeed;
        stepZ -= cameraV.z * walkSpeed;
    }
    if (strafeLeft != strafeRight) {
        const Vector3 strafeV = cross(upVector, cameraV);
        const float sign = strafeLeft ? 1.0f : -1.0f;
        stepX += sign * strafeV.x * walkSpeed;
        stepZ += sign * strafeV.z * walkSpeed;
    }
    // x first; the z test then sees the x already moved.
    if (stepAllowed(stepX, true)) {
        eyePosition.x += stepX;
        lookAtPoint.x += stepX;
    }
    if (stepAllowed(stepZ, false)) {
        eyePosition.z += stepZ;
        lookAtPoint.z += stepZ;
    }
    return playing == 1;
}

// Whether the eye is off the ground: rising or above the standing height while alive,
// or above the lying height once dead.
static bool eyeInAir()
{
    if (health > 0.0f) {
        return eyePosition.y - standingEyeHeight > 0.0f || playerVerticalSpeed > 0.0f;
    }
    return health == 0.0f && eyePosition.y > lyingEyeHeight;
}

// One vertical step: the speed is applied before gravity is taken off it. On the ground
// the eye is held at its height and the look-at height follows the pitch.
bool gravityTick()
{
    if (playing == 0) {
        return true;
    }
    if (eyeInAir()) {
        eyePosition.y += playerVerticalSpeed;
        lookAtPoint.y += playerVerticalSpeed;
        playerVerticalSpeed -= gravity;
        return true;
    }
    jumping = 0;
    playerVerticalSpeed = 0.0f;
    eyePosition.y = health > 0.0f ? standingEyeHeight : lyingEyeHeight;
    // The sine in double precision, the sum rounded to float once.
    lookAtPoint.y = static_cast<float>(eyePosition.y +
                                       lookDistance * std::sin(static_cast<double>(lookPitch)));
    return true;
}

void walkTimer(int value)
{
    if (value != playEntryCount) {
        return;  // a chain from an earlier play entry: end it
    }
    runChainTick(20, walkTick, walkTimer, value);
}

void gravityTimer(int value)
{
    runChainTick(8, gravityTick, gravityTimer, value);
}

void startWalkTimer(int playEntry)
{
    armChain(20, walkTimer, playEntry);
}

void startGravityTimer()
{
    armChain(8, gravityTimer, 1);
}
