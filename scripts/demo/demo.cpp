// Scripted runs of the real game under the current X display:
//   vantreska_demo demo OUTDIR    walks through the game, saving a PNG screenshot per step
//   vantreska_demo soak SECONDS   plays for SECONDS, checking memory stops growing and no error
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "support/e2e_driver.h"

// Screen positions of the menu controls at 1024x768: the menu plane seen at distance 1
// with a 90-degree field of view maps x to 512 + 384x and y to 384 - 384y.
static int menuX(double x) { return static_cast<int>(512 + 384 * x); }
static int menuY(double y) { return static_cast<int>(384 - 384 * y); }

struct Step {
    std::string name;
    std::string path;
};

static bool snap(GameRun& run, const std::string& outDir, const std::string& name,
                 std::vector<Step>& steps, int settleMs = 400)
{
    pause(run, settleMs);
    const std::string path = outDir + "/" + std::to_string(steps.size() + 1) + "-" + name + ".png";
    const Screenshot shot = takeScreenshot();
    if (shot.width == 0 || !saveScreenshot(shot, path)) {
        std::fprintf(stderr, "demo: could not save %s\n", path.c_str());
        return false;
    }
    steps.push_back({name, path});
    return true;
}

// Turns the view by moving the pointer away from the centre in small steps; the game
// pulls it back after each move.
static void look(GameRun& run, int dx, int dy, int steps)
{
    for (int i = 0; i < steps; ++i) {
        xdo("mousemove_relative -- " + std::to_string(dx) + " " + std::to_string(dy));
        pause(run, 30);
    }
}

// Back to the main menu and straight into a new game, the eye already on the ground.
static void freshGame(GameRun& run)
{
    pressKey("Escape");
    clickAt(menuX(0.0), menuY(0.15));
    pause(run, 250);
}

static int runDemo(const std::string& outDir)
{
    if (std::system(("mkdir -p '" + outDir + "'").c_str()) != 0) {
        return 1;
    }
    GameRun run = startGame();
    if (run.pid <= 0 || !waitForWindow(run, 15.0)) {
        std::fprintf(stderr, "demo: the game did not come up\n%s%s", run.out.c_str(),
                     run.err.c_str());
        stopGame(run);
        return 1;
    }
    std::vector<Step> steps;
    bool ok = snap(run, outDir, "main-menu", steps);
    movePointer(menuX(0.0), menuY(-0.1));
    ok = ok && snap(run, outDir, "hover-options", steps);
    clickAt(menuX(0.0), menuY(-0.1));
    ok = ok && snap(run, outDir, "options", steps);
    clickAt(menuX(0.1), menuY(0.2 + 0.08));          // volume up
    clickAt(menuX(0.14), menuY(0.04 + 0.02));        // crosshair colour: next
    clickAt(menuX(0.14), menuY(-0.12 + 0.02));       // gravity: next (Lunar)
    clickAt(menuX(0.14), menuY(-0.12 + 0.02));       // gravity: next (Jupiter)
    clickAt(menuX(0.14), menuY(-0.12 + 0.02));       // gravity: back to Earth
    ok = ok && snap(run, outDir, "options-changed", steps);
    pressKey("Escape");
    clickAt(menuX(0.0), menuY(-0.35));
    ok = ok && snap(run, outDir, "help", steps);
    pressKey("Escape");
    // Left alone, a player is bitten to death in about two seconds, so each play step starts
    // from a fresh game to show the living view.
    clickAt(menuX(0.0), menuY(0.15));  // Start New Game
    pause(run, 250);                   // the eye drops to the ground
    ok = ok && snap(run, outDir, "new-game", steps, 120);
    freshGame(run);
    look(run, -40, 0, 8);
    ok = ok && snap(run, outDir, "look-around", steps, 120);
    freshGame(run);
    holdKey("w", 300);
    ok = ok && snap(run, outDir, "walk", steps, 120);
    freshGame(run);
    pressKey("space");
    pause(run, 60);
    ok = ok && snap(run, outDir, "jump", steps, 120);
    freshGame(run);
    xdo("click --repeat 3 --delay 30 1");
    ok = ok && snap(run, outDir, "shots", steps, 120);
    freshGame(run);
    xdo("key t l");  // night, then the flashlight
    ok = ok && snap(run, outDir, "night-flashlight", steps, 120);
    pause(run, 3000);
    ok = ok && snap(run, outDir, "bitten", steps);
    pressKey("Escape");
    ok = ok && snap(run, outDir, "paused", steps);
    pressKey("Escape");
    ok = ok && snap(run, outDir, "resumed", steps);
    pressKey("q");
    const int status = waitForExit(run, 10.0);
    stopGame(run);
    for (const Step& s : steps) {
        std::printf("%s\n", s.path.c_str());
    }
    if (!ok || status != 0) {
        std::fprintf(stderr, "demo: finished with status %d%s\n", status,
                     ok ? "" : " (a screenshot failed)");
        return 1;
    }
    return 0;
}

// Resident set size of a process in kB, from /proc.
static long residentKb(pid_t pid)
{
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmRSS:", 0) == 0) {
            return std::atol(line.c_str() + 6);
        }
    }
    return -1;
}

// One round of play: look, walk, jump, shoot, switch the lights, pause and resume.
static void playRound(GameRun& run, int round, const std::function<void()>& sample)
{
    const int dir = round % 2 == 0 ? 1 : -1;
    look(run, 30 * dir, (round % 3 - 1) * 10, 6);
    sample();
    holdKey(round % 2 == 0 ? "w" : "s", 300);
    holdKey(round % 4 < 2 ? "a" : "d", 200);
    pressKey("space");
    sample();
    for (int i = 0; i < 3; ++i) {
        xdo("click 1");
        pause(run, 50);
    }
    if (round % 5 == 0) {
        pressKey("t");
        pressKey("l");
    }
    if (round % 7 == 0) {
        pressKey("Escape");
        pause(run, 200);
        movePointer(menuX(0.0), menuY(-0.1));
        pause(run, 100);
        pressKey("Escape");
    }
    if (round % 20 == 19) {
        pressKey("Escape");
        clickAt(menuX(0.0), menuY(0.15));  // a fresh game
    }
}

static int runSoak(int seconds)
{
    // A fixed mmap threshold makes glibc hand the renderer's large per-frame buffers back to
    // the system when they are freed, so the resident size follows the memory in use rather
    // than the allocator's high-water mark; a leak still shows as growth.
    GameRun run = startGame({"MALLOC_MMAP_THRESHOLD_=131072", "MALLOC_ARENA_MAX=2"});
    if (run.pid <= 0 || !waitForWindow(run, 15.0)) {
        std::fprintf(stderr, "soak: the game did not come up\n");
        stopGame(run);
        return 1;
    }
    clickAt(menuX(0.0), menuY(0.15));
    // The software renderer allocates and frees large per-frame buffers, so the resident
    // size swings by tens of MB from one sample to the next; the lowest sample of each half
    // minute is the floor the memory in use stands on.
    const time_t start = time(nullptr);
    std::vector<long> floors;  // lowest sample of each half minute, from the first on
    long peak = 0;
    const auto sample = [&]() {
        const long rss = residentKb(run.pid);
        const size_t window = static_cast<size_t>(time(nullptr) - start) / 30;
        peak = rss > peak ? rss : peak;
        if (rss <= 0) {
            return;
        }
        if (floors.size() <= window) {
            floors.resize(window + 1, -1);
        }
        if (floors[window] < 0 || rss < floors[window]) {
            floors[window] = rss;
        }
    };
    for (int round = 0; time(nullptr) - start < seconds && !run.ended; ++round) {
        playRound(run, round, sample);
        sample();
    }
    const bool survived = !run.ended;
    pressKey("q");  // every round ends in play mode, where Q quits
    const int status = waitForExit(run, 10.0);
    stopGame(run);
    // The GL driver fills its caches (compiled shader variants, buffer pools) as new drawing
    // states come up, in steps over the first minutes, and then stops. A leak goes on to the
    // end. So the first half only warms up; the floor may then climb by less than 1 MB over
    // the second half, or if by more, must have stopped: less than 512 kB over the last quarter.
    std::string trace;
    const size_t windows = std::min(floors.size(), static_cast<size_t>(seconds / 30));
    for (size_t w = 0; w < windows; ++w) {
        trace += " " + std::to_string(floors[w]);
    }
    // Growth from the floor of window first to the highest floor after it.
    const auto growthFrom = [&](size_t first) {
        long highest = -1;
        for (size_t w = first + 1; w < windows; ++w) {
            highest = std::max(highest, floors[w]);
        }
        return first < windows && floors[first] > 0 && highest > 0 ? highest - floors[first] : 0;
    };
    const long secondHalf = growthFrom(windows / 2);
    const long lastQuarter = growthFrom(windows * 3 / 4);
    std::printf("soak: %d s, lowest resident size (kB) per half minute:%s; growth after the first "
                "half minute %ld kB, over the second half %ld kB, over the last quarter %ld kB, "
                "peak %ld kB\n",
                seconds, trace.c_str(), growthFrom(0), secondHalf, lastQuarter, peak);
    bool ok = true;
    if (!survived) {
        std::printf("soak: the game ended early with status %d\n", run.exitStatus);
        ok = false;
    }
    if (windows < 8) {
        std::printf("soak: %d s is too short to tell a leak from the driver's caches; give at "
                    "least 240\n", seconds);
        ok = false;
    } else if (secondHalf >= 1024 && lastQuarter >= 512) {
        std::printf("soak: resident memory kept growing: %ld kB over the second half, %ld kB "
                    "of it over the last quarter\n", secondHalf, lastQuarter);
        ok = false;
    }
    if (run.err.find("ERROR") != std::string::npos || run.out.find("Error") != std::string::npos) {
        std::printf("soak: an error line was printed:\n%s\n", run.err.c_str());
        ok = false;
    }
    if (status != 0) {
        std::printf("soak: exit status %d\n", status);
        ok = false;
    }
    std::printf("soak: %s\n", ok ? "passed" : "FAILED");
    return ok ? 0 : 1;
}

int main(int argc, char** argv)
{
    const std::string mode = argc > 1 ? argv[1] : "";
    if (mode == "demo" && argc > 2) {
        return runDemo(argv[2]);
    }
    if (mode == "soak") {
        return runSoak(argc > 2 ? std::atoi(argv[2]) : 600);
    }
    std::fprintf(stderr, "usage: %s demo OUTDIR | soak [SECONDS]\n", argv[0]);
    return 2;
}
