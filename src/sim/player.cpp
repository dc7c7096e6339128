#include "sim/player.h"

#include "app/game_state.h"
#include "app/timer_pacing.h"

static TimerPace walkPace;
static TimerPace gravityPace;

bool walkTick()
{
    return playing == 1;
}

bool gravityTick()
{
    return true;
}

void walkTimer(int value)
{
    if (value != playEntryCount) {
        return;  // a chain from an earlier play entry: end it
    }
    firePacedTimer(walkPace, 20, walkTick, walkTimer, value);
}

void gravityTimer(int value)
{
    firePacedTimer(gravityPace, 8, gravityTick, gravityTimer, value);
}

void startWalkTimer(int playEntry)
{
    armPacedTimer(walkPace, 20, walkTimer, playEntry);
}

void startGravityTimer()
{
    armPacedTimer(gravityPace, 8, gravityTimer, 1);
}
