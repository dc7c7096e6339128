#include "app/timer_pacing.h"

#include <GL/freeglut.h>

#include <chrono>
#include <cmath>

static double (*testClock)() = nullptr;

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

void firePacedTimer(TimerPace& pace, int intervalMs, PacedTick tick, void (*callback)(int),
                    int value)
{
    const int delay = runPacedTicks(pace, intervalMs, tick);
    glutPostRedisplay();
    if (delay >= 0) {
        glutTimerFunc(static_cast<unsigned int>(delay), callback, value);
    }
}

void armPacedTimer(TimerPace& pace, int intervalMs, void (*callback)(int), int value)
{
    startPace(pace, intervalMs);
    glutTimerFunc(static_cast<unsigned int>(intervalMs), callback, value);
}
