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

static long currentPass = 0;      // the last pass run
static double passOriginMs = 0.0;  // when pass 0 was
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

// When pass p is due; the product comes first so that whole seconds fall on exact values.
static double passDueMs(long pass)
{
    return passOriginMs + pass * 1000.0 / passesPerSecond;
}

void resetPassClock()
{
    currentPass = 0;
    passOriginMs = paceClockMs();
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
    const double now = paceClockMs();
    int ran = 0;
    while (passDueMs(currentPass + 1) <= now && ran < maxCatchUpPasses) {
        runPass();
        ++ran;
    }
    if (passDueMs(currentPass + 1) <= now) {
        // Too far behind (a stall, a debugger): drop the older passes rather than race.
        passOriginMs = now - currentPass * 1000.0 / passesPerSecond;
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
    const double wait = std::ceil(passDueMs(currentPass + 1) - paceClockMs()) + 1.0;
    glutTimerFunc(wait > 1.0 ? static_cast<unsigned int>(wait) : 1u, passTimer, clockGeneration);
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
