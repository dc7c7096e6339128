#pragma once

// Keeps a self-re-arming toolkit timer at its nominal rate. freeglut runs a due timer at
// most once per pass of its loop, so a frame longer than the interval would slow every
// per-tick speed down. A paced timer instead runs, each time it fires, every tick that has
// come due since its last run (a fixed time step), then re-arms for its next due time.

// The schedule of one timer chain.
struct TimerPace {
    double nextDueMs;  // clock time at which the next tick is due
};

// Most ticks one firing runs; an older backlog is dropped.
const int maxCatchUpTicks = 25;

// Milliseconds on a monotonic clock (the test clock when one is set).
double paceClockMs();

// Replaces the clock, for tests; nullptr restores the real one.
void setPaceClock(double (*clockMs)());

// Starts a schedule whose first tick is due intervalMs from now.
void startPace(TimerPace& pace, int intervalMs);

// Runs one tick and says whether the chain goes on (false ends it).
typedef bool (*PacedTick)();

// Runs every due tick of the schedule (at least one, at most maxCatchUpTicks), stopping
// early when a tick ends the chain. Returns the delay in whole milliseconds until the next
// due tick, or -1 when the chain has ended.
int runPacedTicks(TimerPace& pace, int intervalMs, PacedTick tick);

// runPacedTicks for a toolkit timer callback: requests a redisplay in play mode, then re-arms
// callback with value for the next due tick unless the chain has ended.
void firePacedTimer(TimerPace& pace, int intervalMs, PacedTick tick, void (*callback)(int),
                    int value);

// Ticks run so far by firePacedTimer for the given callback (for the benchmark's pace check).
long pacedTicksRun(void (*callback)(int));

// startPace, then glutTimerFunc(intervalMs, callback, value).
void armPacedTimer(TimerPace& pace, int intervalMs, void (*callback)(int), int value);
