#pragma once

// The game's pace: a pass clock of exactly 60 passes a second, the same on every machine, as
// the game ran on the 60 Hz display it was made for. In each pass, each timer chain whose next
// tick is due runs exactly one tick, in the order the chains were last armed; a chain armed
// with N ms is next due at the first pass at least N ms later, so 0 to 16 ms means every pass,
// 20 ms every second pass and 1000 ms every 60th. When frames take longer than a pass, the
// passes that came due run one after another (at most maxCatchUpPasses at once); a faster
// machine never runs a pass early. In play, one frame is drawn after each firing's passes; in
// the menus, only when something changed.

const int passesPerSecond = 60;

// Most passes one firing of the pass clock runs; an older backlog is dropped.
const int maxCatchUpPasses = 25;

// Milliseconds on a monotonic clock (the test clock when one is set).
double paceClockMs();

// Replaces the clock, for tests; nullptr restores the real one.
void setPaceClock(double (*clockMs)());

// Passes a chain armed with intervalMs waits for its next tick: ceil(intervalMs / (1000/60)),
// and at least 1.
int passesFor(int intervalMs);

// Pass 0 is now: forgets every armed chain and any backlog. No toolkit timer is armed.
void resetPassClock();

// resetPassClock, then arms the toolkit timer that runs the passes (start-up, once).
// betweenPasses, when given, runs at each firing of that timer before its passes: what the
// game must look at between passes (end signals, the keyboard focus).
void startPassClock(void (*betweenPasses)() = nullptr);

// Runs every pass that has come due by the clock, in order, each with its own ticks, and
// requests one frame in play when any ran. Returns the number of passes run.
int runDuePasses();

// Arms callback(value) to run at the first pass at least intervalMs after the current one:
// the game's glutTimerFunc.
void armChain(int intervalMs, void (*callback)(int), int value);

// Runs one tick of the chain whose callback is running, and re-arms callback(value) after
// intervalMs unless the tick ended the chain (returned false).
typedef bool (*ChainTick)();
void runChainTick(int intervalMs, ChainTick tick, void (*callback)(int), int value);

// Ticks run so far by runChainTick for the given callback (tests and benchmark).
long chainTicksRun(void (*callback)(int));

// Asks for a frame: at once in the menus; in play the next pass draws one anyway.
void requestRedisplay();
