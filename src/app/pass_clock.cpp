#include "app/pass_clock.h"

#include <GL/freeglut.h>

#include <chrono>
#include <cmath>
#include <vector>

#include "app/game_state.h"

static double (*testClock)() = nullptr;

// A chain waiting for its next tick.
struct ArmedChain {
    void (*callback)(int);
    int value;
    long duePass;
};

// The clock counts in units of 1/60 ms, in which a pass is exactly 1000 units: every due time
// is a whole number, so whether a pass is due is decided the same on every floating-point unit
// (x87's extended precision included), and a clock reading exactly on a due time is due.
typedef long long PaceUnits;
static const PaceUnits unitsPerPass = 1000;
static const PaceUnits unitsPerMs = unitsPerPass * passesPerSecond / 1000;

static long currentPass = 0;         // the last pass run
static PaceUnits passOriginUnits = 0;  // when pass 0 was
static std::vector<ArmedChain> armed;    // in the order of their latest arming: the tick order
static std::vector<ArmedChain> dueNow;   // the chains of the pass being run
static int clockGeneration = 0;          // a restart makes an older toolkit timer stale
static void (*betweenPassesHook)() = nullptr;

// Ticks run per timer callback; the game has five chains.
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

int passesFor(int intervalMs)
{
    const long passes = (static_cast<long>(intervalMs) * passesPerSecond + 999) / 1000;
    return passes > 1 ? static_cast<int>(passes) : 1;
}

// The pace clock's reading, to the nearest unit.
static PaceUnits paceClockUnits()
{
    return std::llround(paceClockMs() * unitsPerMs);
}

// When pass p is due.
static PaceUnits passDueUnits(long pass)
{
    return passOriginUnits + pass * unitsPerPass;
}

void resetPassClock()
{
    currentPass = 0;
    passOriginUnits = paceClockUnits();
    armed.clear();
    armed.reserve(16);
    dueNow.reserve(16);
    ++clockGeneration;
}

// Runs the next pass: every chain due at it ticks once, in the order the chains were last
// armed (a chain re-armed at an earlier pass ticks first), not the order start-up armed them.
// Chains re-armed during the pass go to the end of that order and are due at a later pass.
static void runPass()
{
    ++currentPass;
    dueNow.clear();
    size_t kept = 0;
    for (const ArmedChain& chain : armed) {
        if (chain.duePass <= currentPass) {
            dueNow.push_back(chain);
        } else {
            armed[kept++] = chain;
        }
    }
    armed.resize(kept);
    for (const ArmedChain& chain : dueNow) {
        chain.callback(chain.value);
    }
}

int runDuePasses()
{
    const PaceUnits now = paceClockUnits();
    int ran = 0;
    while (passDueUnits(currentPass + 1) <= now && ran < maxCatchUpPasses) {
        runPass();
        ++ran;
    }
    if (passDueUnits(currentPass + 1) <= now) {
        // Too far behind (a stall, a debugger): drop the older passes rather than race.
        passOriginUnits = now - currentPass * unitsPerPass;
    }
    if (ran > 0 && playing == 1) {
        glutPostRedisplay();
    }
    return ran;
}

static void passTimer(int generation);

// Arms the toolkit timer behind the pass clock a millisecond past the next pass, since the
// toolkit's millisecond clock may otherwise fire it a fraction early.
static void armPassTimer()
{
    const PaceUnits ahead = passDueUnits(currentPass + 1) - paceClockUnits();
    const PaceUnits wait = (ahead > 0 ? (ahead + unitsPerMs - 1) / unitsPerMs : 0) + 1;
    glutTimerFunc(static_cast<unsigned int>(wait), passTimer, clockGeneration);
}

static void passTimer(int generation)
{
    if (generation != clockGeneration) {
        return;
    }
    if (betweenPassesHook != nullptr) {
        betweenPassesHook();
    }
    runDuePasses();
    armPassTimer();
}

void startPassClock(void (*betweenPasses)())
{
    betweenPassesHook = betweenPasses;
    resetPassClock();
    armPassTimer();
}

void armChain(int intervalMs, void (*callback)(int), int value)
{
    armed.push_back({callback, value, currentPass + passesFor(intervalMs)});
}

void runChainTick(int intervalMs, ChainTick tick, void (*callback)(int), int value)
{
    if (TickTally* tally = tallyFor(callback)) {
        tally->ticks += 1;
    }
    if (tick()) {
        armChain(intervalMs, callback, value);
    }
}

long chainTicksRun(void (*callback)(int))
{
    for (const TickTally& t : tallies) {
        if (t.callback == callback) {
            return t.ticks;
        }
    }
    return 0;
}

void requestRedisplay()
{
    if (playing != 1) {
        glutPostRedisplay();
    }
}
