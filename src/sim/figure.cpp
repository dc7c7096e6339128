#include "sim/figure.h"

#include "app/game_state.h"
#include "app/timer_pacing.h"

static TimerPace figurePace;

bool figureTick()
{
    return true;
}

int figureTimerDelayMs()
{
    const int truncated = static_cast<int>(figureTimerInterval);
    // freeglut on Linux fires a 0 ms timer millions of times a second: the figure would
    // race and the menus would spin a core. One 60 Hz frame is the pace instead.
    return truncated > 0 ? truncated : 16;
}

void figureTimer(int value)
{
    firePacedTimer(figurePace, figureTimerDelayMs(), figureTick, figureTimer, value);
}

void startFigureTimer()
{
    armPacedTimer(figurePace, figureTimerDelayMs(), figureTimer, 1);
}
