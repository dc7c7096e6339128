#include <GL/freeglut.h>

#include <chrono>
#include <thread>

#include "app/game_state.h"
#include "app/lifecycle.h"
#include "app/startup.h"
#include "app/timer_pacing.h"
#include "bench_support.h"
#include "sim/bunnies.h"
#include "sim/figure.h"
#include "sim/player.h"

// The game's firePacedTimer under the linker's name for the original, and the counting
// version the linker puts in its place (-Wl,--wrap of the mangled name, see CMakeLists.txt).
// A change to firePacedTimer's signature changes the mangled name and fails the link.
void realFirePacedTimer(TimerPace& pace, int intervalMs, PacedTick tick, void (*callback)(int),
                        int value) __asm__("__real__Z14firePacedTimerR9TimerPaceiPFbvEPFviEi");
void countingFirePacedTimer(TimerPace& pace, int intervalMs, PacedTick tick, void (*callback)(int),
                            int value) __asm__("__wrap__Z14firePacedTimerR9TimerPaceiPFbvEPFviEi");

// One timer chain's ticks, told apart by its toolkit callback.
struct TimerCount {
    void (*callback)(int);
    const char* name;
    int intervalMs;      // as the chain last asked to be paced; 0 until it fires
    double armedAtMs;    // when the chain was armed: its first tick's due time less one interval
    long ticksInStretch; // ticks due within the stretch's length of the chain's arming
};

static TimerCount timerCounts[] = {
    {gravityTimer, "gravityTimer", 0, -1.0, 0}, {figureTimer, "figureTimer", 0, -1.0, 0},
    {clockTimer, "clockTimer", 0, -1.0, 0},     {walkTimer, "walkTimer", 0, -1.0, 0},
    {bunnyTimer, "bunnyTimer", 0, -1.0, 0},
};

// The firing in progress: the loop is single-threaded, so one of each suffices.
static TimerCount* firingCount = nullptr;
static PacedTick firingTick = nullptr;
static const TimerPace* firingPace = nullptr;

static bool counting = false;
static double stretchMs = 0.0;
static double stretchEndMs = 0.0;
static long framesInStretch = 0;

// Runs the chain's real tick. A tick counts when it comes due within the stretch's length
// of the chain's arming, so one that comes due just before the end but runs a frame later
// still counts, and every chain is measured over the same length whenever it was armed.
static bool countedTick()
{
    if (counting) {
        health = 1.0f; // bites must not end the walk chain while it is being measured
        const double interval = firingCount->intervalMs > 0 ? firingCount->intervalMs : 1;
        const double due = firingPace->nextDueMs - interval; // the pace is one tick ahead
        if (firingCount->armedAtMs < 0.0) {
            firingCount->armedAtMs = due - interval;
        }
        // Half a millisecond absorbs the rounding of a due time summed interval by interval.
        if (due - firingCount->armedAtMs <= stretchMs + 0.5) {
            ++firingCount->ticksInStretch;
        }
    }
    return firingTick();
}

static TimerCount* countFor(void (*callback)(int))
{
    for (TimerCount& c : timerCounts) {
        if (c.callback == callback) {
            return &c;
        }
    }
    return nullptr;
}

void countingFirePacedTimer(TimerPace& pace, int intervalMs, PacedTick tick, void (*callback)(int),
                            int value)
{
    TimerCount* const count = countFor(callback);
    if (count == nullptr || firingCount != nullptr) {
        realFirePacedTimer(pace, intervalMs, tick, callback, value);
        return;
    }
    count->intervalMs = intervalMs;
    firingCount = count;
    firingTick = tick;
    firingPace = &pace;
    realFirePacedTimer(pace, intervalMs, countedTick, callback, value);
    firingCount = nullptr;
}

// The game's display callback, counting the frames drawn during the stretch.
static void countedDisplay()
{
    if (counting && paceClockMs() <= stretchEndMs) {
        ++framesInStretch;
    }
    display();
}

long framesDrawnInTickRun()
{
    return framesInStretch;
}

std::vector<TickRate> measureTickRates(double seconds)
{
    // Chains that run on after the stretch catch up the ticks that came due inside it.
    const double graceMs = 500.0;
    for (TimerCount& c : timerCounts) {
        c.ticksInStretch = 0;
        c.armedAtMs = -1.0;
    }
    framesInStretch = 0;
    glutDisplayFunc(countedDisplay);
    stretchMs = seconds * 1000.0;
    stretchEndMs = paceClockMs() + stretchMs;
    counting = true;
    startGravityTimer();
    startFigureTimer();
    startClockTimer();
    enterPlayMode();
    while (paceClockMs() < stretchEndMs + graceMs) {
        glutMainLoopEvent();
        // The toolkit's own loop sleeps until its next timer; a millisecond is close to that
        // and leaves the processor to the rasteriser's threads.
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    counting = false;
    glutDisplayFunc(display);

    std::vector<TickRate> rates;
    for (const TimerCount& c : timerCounts) {
        TickRate r;
        r.timer = c.name;
        r.intervalMs = c.intervalMs;
        r.ticks = c.ticksInStretch;
        r.nominalPerSec = c.intervalMs > 0 ? 1000.0 / c.intervalMs : 0.0;
        r.measuredPerSec = static_cast<double>(c.ticksInStretch) / seconds;
        rates.push_back(r);
    }
    return rates;
}
