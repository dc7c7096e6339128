#pragma once

#include <string>
#include <vector>

// Shared pieces of the benchmark program: the window and the game it measures, the times
// the frame benchmarks recorded, the timers' tick rates and the real binary's CPU and memory.

// Benchmark window size: the game's full-screen size.
const int benchWindowWidth = 1024;
const int benchWindowHeight = 768;

// --- frame_bench.cpp ---

// Opens the one GLUT window, moves into the data directory, loads every asset, builds the
// lights and starts a game on a fixed field in play mode. Call once, before any benchmark.
void setUpBenchGame();

// Registers every in-process benchmark with Google Benchmark.
void registerBenchmarks();

// Milliseconds per iteration of the named benchmark, the best of all its calls: wall clock,
// and this process's CPU time (all threads, so the software rasteriser's too). -1 when it
// did not run.
double benchMsPerRun(const std::string& name);
double benchCpuMsPerRun(const std::string& name);

// Sends standard output to /dev/null (the picking and loading lines) and back again.
void silenceStdout();
void restoreStdout();

// --- tick_rates.cpp ---

// How often one timer chain ran its tick during the measured stretch of play.
struct TickRate {
    std::string timer;     // callback name, e.g. "gravityTimer"
    int intervalMs;        // the interval the chain is armed with
    long ticks;            // ticks the pass clock ran in the stretch
    double nominalPerSec;  // its rate on the 60 Hz pass clock: 60 / passesFor(intervalMs)
    double measuredPerSec; // ticks / stretch length
};

// Runs the game's own loop in this process for about seconds of play: the display callback
// draws every frame the pass clock posts and the real timers (gravity, figure, clock, walk, bunny) are
// armed afresh. The player is kept alive (full health, bunnies held out of reach) so every
// chain goes on. Returns one entry per timer.
std::vector<TickRate> measureTickRates(double seconds);

// Longest time between two passes of the toolkit's loop in that stretch, in milliseconds:
// a gap longer than 25 passes of the pass clock (417 ms) drops the older passes.
double longestLoopGapInTickRun();

// --- process_probe.cpp ---

// CPU use and memory of the real game binary over a stretch of its life.
struct ProcessUsage {
    bool ran = false;      // the child started and was still alive at the end
    double cpuCores = 0.0; // utime + stime over wall time, in cores (1.0 = one core busy)
    double gameThreadCores = 0.0;     // of which the game's own (main) thread
    double rendererThreadCores = 0.0; // of which Mesa's rasterizer threads ("llvmpipe-N")
    long peakRssKb = 0;    // VmHWM at the end of the stretch
    long rssKb = 0;        // VmRSS at the end of the stretch
    double seconds = 0.0;  // length of the measured stretch
    double framesPerSecond = -1.0;  // frames that reached the window a second (X DAMAGE)
    std::string note;      // what went wrong, if anything
};

// Starts the game from the data directory on the current display, waits for its window,
// clicks Start New Game when startPlaying and then types playKeys (xdotool key names, e.g.
// "t l" for night with the flashlight), then samples it for seconds and stops it.
// The child's console output goes to logPath; the X server's damage reports on its window
// count its frames.
// screenWidth x screenHeight is the current display's size, where Start New Game is clicked.
ProcessUsage probeGame(bool startPlaying, const std::string& playKeys, double seconds,
                       const std::string& logPath, int screenWidth = benchWindowWidth,
                       int screenHeight = benchWindowHeight);

// probeGame in play by day on a private X server (Xvfb) of the given size, started and
// stopped around it: the game's full-screen window at that size.
ProcessUsage probeGameOnScreen(int width, int height, double seconds, const std::string& logPath);
