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

#include "input/picking.h"
#include "support/e2e_driver.h"
#include "support/soak_rule.h"

// Screen positions of the menu controls at 1024x768: the menu plane seen at distance 1
// with a 90-degree field of view maps x to 512 + 384x and y to 384 - 384y.
static int menuX(double x) { return static_cast<int>(512 + 384 * x); }
static int menuY(double y) { return static_cast<int>(384 - 384 * y); }

struct Step {
    std::string name;
    std::string path;
};

// Saves the first screenshot that shows what shows() looks for, however long the game takes
// to draw it (up to 10 s).
static bool snap(GameRun& run, const std::string& outDir, const std::string& name,
                 std::vector<Step>& steps, const ScreenTest& shows)
{
    const std::string path = outDir + "/" + std::to_string(steps.size() + 1) + "-" + name + ".png";
    Screenshot shot;
    const bool shown = waitForScreen(run, shows, 10.0, &shot);
    if (!shown || !saveScreenshot(shot, path)) {
        std::fprintf(stderr, "demo: %s %s\n", path.c_str(),
                     shown ? "could not be saved" : "was not shown within 10 s");
        return false;
    }
    steps.push_back({name, path});
    return true;
}

static bool anyScreen(const Screenshot&) { return true; }

// A screen other than the one shown now, i.e. a frame drawn since: in play the scene and the
// clock move on every pass; the menus are redrawn when something on them changes, and a
// hover changes nothing.
static ScreenTest changed()
{
    const Screenshot now = takeScreenshot();
    return [now](const Screenshot& s) { return s.rgb != now.rgb; };
}

// The night sky: the band across the top of the view dark.
static bool nightShown(const Screenshot& s)
{
    int dark = 0;
    for (int x = 0; x < s.width; x += 8) {
        dark += s.at(x, 8, 0) + s.at(x, 8, 1) + s.at(x, 8, 2) < 40 ? 1 : 0;
    }
    return dark * 8 > s.width * 9 / 10;
}

// Clicks a menu control and waits for the screen it changes to.
static bool clickAndSee(GameRun& run, int x, int y)
{
    const ScreenTest moved = changed();
    clickAt(x, y);
    return waitForScreen(run, moved, 10.0);
}

// Turns the view by moving the pointer away from the centre in small steps; play pulls it
// back after each move, which is waited for before the next.
static bool look(GameRun& run, int dx, int dy, int steps)
{
    bool held = true;
    for (int i = 0; i < steps; ++i) {
        xdo("mousemove_relative -- " + std::to_string(dx) + " " + std::to_string(dy));
        held = waitForPointerHeld(run, 10.0) && held;
    }
    return held;
}

// Back to the main menu and straight into a new game, then the eye drops to the ground.
static bool freshGame(GameRun& run)
{
    pressKey("Escape");
    const bool menu = waitForScreen(run, titleShown, 10.0);
    clickAt(menuX(0.0), menuY(0.15));
    const bool play = waitForScreen(run, hudShown, 10.0);
    pause(run, 250);
    return menu && play;
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
    bool ok = snap(run, outDir, "main-menu", steps, titleShown);
    movePointer(menuX(0.0), menuY(-0.1));
    ok &= waitForOutput(run, "hit: " + std::to_string(pickOptions) + " \n", 10.0);  // its pick
    ok &= snap(run, outDir, "hover-options", steps, titleShown);
    ok &= clickAndSee(run, menuX(0.0), menuY(-0.1));
    ok &= snap(run, outDir, "options", steps, anyScreen);
    ok &= clickAndSee(run, menuX(0.1), menuY(0.2 + 0.08));     // volume up
    ok &= clickAndSee(run, menuX(0.14), menuY(0.04 + 0.02));   // crosshair colour: next
    ok &= clickAndSee(run, menuX(0.14), menuY(-0.12 + 0.02));  // gravity: next (Lunar)
    ok &= clickAndSee(run, menuX(0.14), menuY(-0.12 + 0.02));  // gravity: next (Jupiter)
    ok &= clickAndSee(run, menuX(0.14), menuY(-0.12 + 0.02));  // gravity: back to Earth
    ok &= snap(run, outDir, "options-changed", steps, anyScreen);
    pressKey("Escape");
    ok &= waitForScreen(run, titleShown, 10.0);
    ok &= clickAndSee(run, menuX(0.0), menuY(-0.35));
    ok &= snap(run, outDir, "help", steps, anyScreen);
    // Left alone, a player is bitten to death in about two seconds, so each play step starts
    // from a fresh game to show the living view, and shows a frame drawn after its input.
    ok &= freshGame(run);
    ok &= snap(run, outDir, "new-game", steps, changed());
    ok &= freshGame(run);
    ok &= look(run, -40, 0, 8);
    ok &= snap(run, outDir, "look-around", steps, changed());
    ok &= freshGame(run);
    holdKey("w", 300);
    ok &= snap(run, outDir, "walk", steps, changed());
    ok &= freshGame(run);
    pressKey("space");
    pause(run, 60);  // up into the jump
    ok &= snap(run, outDir, "jump", steps, changed());
    ok &= freshGame(run);
    xdo("click --repeat 3 --delay 30 1");
    ok &= snap(run, outDir, "shots", steps, changed());
    ok &= freshGame(run);
    xdo("key l t");  // the flashlight, then night: a night frame shows both
    ok &= snap(run, outDir, "night-flashlight", steps, nightShown);
    pause(run, 3000);  // the bunnies come and bite
    ok &= snap(run, outDir, "bitten", steps, hudShown);
    pressKey("Escape");
    ok &= snap(run, outDir, "paused", steps, titleShown);
    pressKey("Escape");
    ok &= snap(run, outDir, "resumed", steps, hudShown);
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
    xdo("click --repeat 3 --delay 50 1");
    if (round % 5 == 0) {
        pressKey("t");
        pressKey("l");
    }
    if (round % 7 == 0) {  // paused, a hover over Options and its picking pass, resumed
        const std::string hit = "hit: " + std::to_string(pickOptions) + " \n";
        const int hovers = countOccurrences(run.out, hit);
        pressKey("Escape");
        movePointer(menuX(0.0), menuY(-0.1));
        waitFor(run, [&] { return countOccurrences(run.out, hit) > hovers; }, 10.0);
        pressKey("Escape");
    }
    if (round % 20 == 19) {
        pressKey("Escape");
        clickAt(menuX(0.0), menuY(0.15));  // a fresh game
    }
}

static int runSoak(int seconds)
{
    // The soak judges the game's memory, so the driver under it must settle. llvmpipe does
    // not: it compiles a shader whenever a drawing state first comes up, all through the run,
    // and keeps 256 kB blocks of compiler memory from many of those compiles, a creep of about
    // 700 kB a minute that ten minutes cannot tell from a leak. Mesa's softpipe interprets the
    // same shaders and compiles nothing, so its memory is level after the first minute.
    // A fixed mmap threshold makes glibc hand the renderer's large per-frame buffers back to
    // the system when they are freed, and heap_trim.cpp hands back the freed pages the heap
    // would keep, so the resident size follows the memory in use rather than the allocator's
    // high-water mark; a leak still shows as growth.
    GameRun run = startGame({"GALLIUM_DRIVER=softpipe", "DRAW_USE_LLVM=0",
                             "MALLOC_MMAP_THRESHOLD_=131072", "MALLOC_ARENA_MAX=2",
                             std::string("LD_PRELOAD=") + VANTRESKA_HEAP_TRIM});
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
    // The first half warms the driver's caches up; soak_rule.h says how the rest is judged.
    std::string trace;
    const size_t windows = std::min(floors.size(), static_cast<size_t>(seconds / 30));
    floors.resize(windows);
    for (long floor : floors) {
        trace += " " + std::to_string(floor);
    }
    const SoakGrowth growth = soakGrowth(floors);
    std::printf("soak: %d s, lowest resident size (kB) per half minute:%s; the second half "
                "climbed %ld kB, rising in %d of %d half minutes; peak %ld kB\n",
                seconds, trace.c_str(), growth.climbKb, growth.risingWindows,
                growth.judgedWindows, peak);
    bool ok = true;
    if (!survived) {
        std::printf("soak: the game ended early with status %d\n", run.exitStatus);
        ok = false;
    }
    if (const std::string fault = soakMemoryFault(floors); !fault.empty()) {
        std::printf("soak: %s\n", fault.c_str());
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
