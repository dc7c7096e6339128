#include "app/timer_pacing.h"

#include <GL/freeglut.h>

#include <chrono>
#include <cmath>

#include "app/game_state.h"
#include "app/signals.h"

static double (*testClock)() = nullptr;

// Ticks run per timer callback; the game has five paced timers.
struct TickTally {
    void (*callback)(int);
    long ticks;
};
static TickTally tallies[8] = {};

static TickTally* tallyFor(void (*callback)(int))
{
    for (TickTally& t : tallies) {
        if (t.callback == callback || t.callback == nullptr) {
            t.callback = callback;
            return &t;
        }
    }
    return nullptr;
}

double paceClockMs()
{
    if (testClock != nullptr) {
        return testClock();
    }
    const auto now = std::chrono::steady_clock::now().time_since_epoch();
    return std::chrono::duration<double, std::milli>(now).count();
}

void setPaceClock(double (*clockMs)())
{
    testClock = clockMs;
}

void startPace(TimerPace& pace, int intervalMs)
{
    pace.nextDueMs = paceClockMs() + intervalMs;
}

int runPacedTicks(TimerPace& pace, int intervalMs, PacedTick tick)
{
    const double now = paceClockMs();
    const double interval = intervalMs > 0 ? intervalMs : 1;
    // The toolkit fired us, so at least one tick is due even if our clock reads a hair early.
    long due = static_cast<long>(std::floor((now - pace.nextDueMs) / interval)) + 1;
    if (due < 1) {
        due = 1;
    }
    if (due > maxCatchUpTicks) {
        // Too far behind (a stall, a debugger): drop the older ticks rather than race.
        pace.nextDueMs += (due - maxCatchUpTicks) * interval;
        due = maxCatchUpTicks;
    }
    for (long i = 0; i < due; ++i) {
        pace.nextDueMs += interval;
        if (!tick()) {
            return -1;
        }
    }
    const double wait = std::ceil(pace.nextDueMs - now);
    return wait > 0 ? static_cast<int>(wait) : 0;
}

static long ticksThisFiring = 0;

static PacedTick countedTick = nullptr;

static bool countTick()
{
    ++ticksThisFiring;
    return countedTick();
}

void firePacedTimer(TimerPace& pace, int intervalMs, PacedTick tick, void (*callback)(int),
                    int value)
{
    endOnPendingSignal();  // a Ctrl-C or kill ends the game here, between ticks, as Q would
    ticksThisFiring = 0;
    countedTick = tick;
    const int delay = runPacedTicks(pace, intervalMs, countTick);
    if (TickTally* tally = tallyFor(callback)) {
        tally->ticks += ticksThisFiring;
    }
    // In the menus no tick changes anything on screen, and every input callback requests
    // its own redisplay; so an idle menu is drawn when it changes, not 125 times a second.
    if (playing == 1) {
        glutPostRedisplay();
    }
    if (delay >= 0) {
        glutTimerFunc(static_cast<unsigned int>(delay), callback, value);
    }
}

long pacedTicksRun(void (*callback)(int))
{
    for (const TickTally& t : tallies) {
        if (t.callback == callback) {
            return t.ticks;
        }
    }
    return 0;
}

void armPacedTimer(TimerPace& pace, int intervalMs, void (*callback)(int), int value)
{
    startPace(pace, intervalMs);
    glutTimerFunc(static_cast<unsigned int>(intervalMs), callback, value);
}
