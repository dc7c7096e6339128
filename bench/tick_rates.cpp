#include <GL/freeglut.h>

#include <chrono>
#include <cmath>
#include <thread>

#include "app/game_state.h"
#include "app/lifecycle.h"
#include "app/startup.h"
#include "app/pass_clock.h"
#include "bench_support.h"
#include "sim/bunnies.h"
#include "sim/figure.h"
#include "sim/player.h"

// One timer chain's ticks, told apart by its toolkit callback (the pass clock keeps a
// running count per callback).
struct TimerCount {
    void (*callback)(int);
    const char* name;
    int intervalMs;      // the interval the chain is armed with
    long ticksAtArming;  // the running count just before the chain was armed
    long ticksInStretch; // ticks run by the stretch's end; -1 until counted
};

static TimerCount timerCounts[] = {
    {gravityTimer, "gravityTimer", 8, 0, -1}, {figureTimer, "figureTimer", 0, 0, -1},
    {clockTimer, "clockTimer", 1000, 0, -1},  {walkTimer, "walkTimer", 20, 0, -1},
    {bunnyTimer, "bunnyTimer", 6, 0, -1},
};

static double longestGapMs = 0.0;

// Nearest a living bunny may come to the eye on x or z: a firing runs at most 25 passes, one
// bunny tick of at most 0.02 each, so from here none reaches biting range within one firing.
const float bunnyKeepAway = 0.6f;

// Keeps the player alive so that every chain goes on: full health, and any bunny that
// has come close put back out of reach on the side it came from.
static void keepPlayerAlive()
{
    health = 1.0f;
    for (Entity& bunny : bunnies) {
        const float dx = bunny.x - eyePosition.x;
        const float dz = bunny.z - eyePosition.z;
        if (std::fabs(dx) < bunnyKeepAway && std::fabs(dz) < bunnyKeepAway) {
            if (std::fabs(dx) >= std::fabs(dz)) {
                bunny.x = eyePosition.x + (dx >= 0.0f ? bunnyKeepAway : -bunnyKeepAway);
            } else {
                bunny.z = eyePosition.z + (dz >= 0.0f ? bunnyKeepAway : -bunnyKeepAway);
            }
        }
    }
}

double longestLoopGapInTickRun()
{
    return longestGapMs;
}

// Milliseconds between two ticks of a chain on the pass clock.
static double tickPeriodMs(int intervalMs)
{
    return passesFor(intervalMs) * 1000.0 / passesPerSecond;
}

// A chain armed at armedMs has run L / period ticks by armedMs + L when on pace. Its count is
// read half a period later: the tick due at the stretch's end has run by then, even a frame
// late, and the next is not yet due.
static void countDueChains(double armedMs, double stretchMs)
{
    const double now = paceClockMs();
    for (TimerCount& c : timerCounts) {
        if (c.ticksInStretch < 0 && now >= armedMs + stretchMs + tickPeriodMs(c.intervalMs) / 2.0) {
            c.ticksInStretch = chainTicksRun(c.callback) - c.ticksAtArming;
        }
    }
}

static bool allCounted()
{
    for (const TimerCount& c : timerCounts) {
        if (c.ticksInStretch < 0) {
            return false;
        }
    }
    return true;
}

std::vector<TickRate> measureTickRates(double seconds)
{
    for (TimerCount& c : timerCounts) {
        if (c.callback == figureTimer) {
            c.intervalMs = static_cast<int>(figureTimerInterval);
        }
        c.ticksAtArming = chainTicksRun(c.callback);
        c.ticksInStretch = -1;
    }
    const double stretchMs = seconds * 1000.0;
    const double armedMs = paceClockMs();
    const double stretchEndMs = armedMs + stretchMs;
    longestGapMs = 0.0;
    keepPlayerAlive();
    startPassClock();  // forgets any chain armed before
    startGravityTimer();
    startFigureTimer();
    startClockTimer();
    enterPlayMode();  // the walk and bunny chains
    double passMs = armedMs;
    while (!allCounted()) {
        keepPlayerAlive();
        glutMainLoopEvent();
        countDueChains(armedMs, stretchMs);
        const double now = paceClockMs();
        if (now <= stretchEndMs && now - passMs > longestGapMs) {
            longestGapMs = now - passMs;
        }
        passMs = now;
        // The toolkit's own loop sleeps until its next timer; a millisecond is close to that
        // and leaves the processor to the rasteriser's threads.
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }

    std::vector<TickRate> rates;
    for (const TimerCount& c : timerCounts) {
        TickRate r;
        r.timer = c.name;
        r.intervalMs = c.intervalMs;
        r.ticks = c.ticksInStretch;
        r.nominalPerSec = 1000.0 / tickPeriodMs(c.intervalMs);
        r.measuredPerSec = static_cast<double>(c.ticksInStretch) / seconds;
        rates.push_back(r);
    }
    return rates;
}
