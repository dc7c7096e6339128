#include "sim/figure.h"

#include <cmath>

#include "app/game_state.h"
#include "app/pass_clock.h"

static const double walkDistance = 0.011;  // per tick
static const float figureBound = 2.9f;     // 3.0 - 0.1, on x and on z
static const float treeHalfSize = 0.2f;    // a tree's blocking square, around the trunk
static const float treeHeight = 0.8f;
static const float hipForwardLimit = 30.0f;
static const float hipBackLimit = -20.0f;
static const int hipSwingStep = 4;         // degrees per tick once the swing has begun
static const float kneeFollowAbove = 10.0f;
static const float elbowShare = 0.4f;      // forearm bend as a share of the shoulder angle
static const double degToRad = 0.01745329;

// Swings one side's leg and arm: the knee follows the hip beyond 10 degrees, the arm
// mirrors the leg, the forearm bends only while the arm swings forward; the hip's step
// reverses at the limits in the same tick that reaches them.
static void swingSide(int i)
{
    figureHipAngle[i] += static_cast<float>(figureHipStep[i]);
    if (std::fabs(figureHipAngle[i]) > kneeFollowAbove) {
        figureKneeAngle[i] = std::fabs(figureHipAngle[i]);
    }
    figureShoulderAngle[i] = -figureHipAngle[i];
    if (figureShoulderAngle[i] >= 0.0f) {
        figureElbowAngle[i] = figureShoulderAngle[i] * elbowShare;
    }
    if (figureHipAngle[i] >= hipForwardLimit) {
        figureHipStep[i] = -hipSwingStep;
    } else if (figureHipAngle[i] <= hipBackLimit) {
        figureHipStep[i] = hipSwingStep;
    }
}

// Whether a tree's square stops a step along one axis, on its way to the trunk's line.
static bool treeBlocks(float step, float along, float across, float treeAlong, float treeAcross)
{
    const bool towards =
        (step > 0.0f && treeAlong - treeHalfSize <= along && along < treeAlong) ||
        (step < 0.0f && treeAlong < along && along <= treeAlong + treeHalfSize);
    return towards && treeAcross - treeHalfSize < across && across < treeAcross + treeHalfSize &&
           figurePosition.y < treeHeight;
}

// Moves the figure along x (onX) or z: a tree turns it by 0.4 degrees and holds it, the
// bound (a step of 0 counts as outward) turns it about for good.
static void moveAlong(float step, bool onX)
{
    float& along = onX ? figurePosition.x : figurePosition.z;
    const float across = onX ? figurePosition.z : figurePosition.x;
    const bool tried =
        (step >= 0.0f && along < figureBound) || (step < 0.0f && along > -figureBound);
    if (!tried) {
        figureHeading += 180.0f;
        if (figureHeading >= 360.0f) {
            figureHeading -= 360.0f;
        }
        return;
    }
    for (const Entity& tree : trees) {
        const float treeAlong = onX ? tree.x : tree.z;
        const float treeAcross = onX ? tree.z : tree.x;
        if (treeBlocks(step, along, across, treeAlong, treeAcross)) {
            figureHeading += 0.4f;
            return;
        }
    }
    along += step;
}

// One figure tick in play mode: the gait, then the walk. Both steps come from the heading
// at the start of the tick, so a turn on x shapes the z move only from the next tick.
bool figureTick()
{
    if (playing == 0) {
        return true;
    }
    swingSide(0);
    swingSide(1);
    const float stepX = static_cast<float>(walkDistance * std::sin(figureHeading * degToRad));
    const float stepZ = static_cast<float>(walkDistance * std::cos(figureHeading * degToRad));
    moveAlong(stepX, true);
    moveAlong(stepZ, false);
    return true;
}

// The interval is figureTimerInterval truncated to whole milliseconds: 0 in practice, which
// the pass clock runs once a pass, 60 times a second.
void figureTimer(int value)
{
    runChainTick(static_cast<int>(figureTimerInterval), figureTick, figureTimer, value);
}

void startFigureTimer()
{
    armChain(static_cast<int>(figureTimerInterval), figureTimer, 1);
}
