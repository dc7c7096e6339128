#include "sim/bunnies.h"

#include "app/game_state.h"
#include "app/timer_pacing.h"

static TimerPace bunnyPace;

bool bunnyTick()
{
    return playing == 1;
}

void deathView() {}

void bunnyTimer(int value)
{
    if (value != playEntryCount) {
        return;  // a chain from an earlier play entry: end it
    }
    firePacedTimer(bunnyPace, 6, bunnyTick, bunnyTimer, value);
}

void startBunnyTimer(int playEntry)
{
    armPacedTimer(bunnyPace, 6, bunnyTimer, playEntry);
}
