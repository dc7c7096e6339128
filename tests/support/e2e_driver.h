#pragma once

#include <sys/types.h>

#include <functional>
#include <string>
#include <vector>

#include "support/sound_peak.h"

// End-to-end driver: starts the real game binary in a working directory (data/ by
// default) on the current X display, captures its standard output and error, drives it
// with xdotool and takes screenshots of the root window.

struct GameRun {
    pid_t pid = -1;
    int outFd = -1;
    int errFd = -1;
    std::string out;      // everything read from standard output so far
    std::string err;      // everything read from standard error so far
    int exitStatus = -1;  // exit code once ended; 128 + signal for a killed process
    bool ended = false;
};

// Starts the game. extraEnv holds "NAME=value" entries added to the environment (audio
// defaults to SDL_AUDIODRIVER=dummy unless given); workDir defaults to data/.
GameRun startGame(const std::vector<std::string>& extraEnv = {},
                  const std::string& workDir = VANTRESKA_DATA,
                  const std::string& binary = VANTRESKA_BIN);

// Collects the game's output until done() holds, the game ends, or the timeout passes;
// returns done(), asked once a round. The waits below all go through it.
bool waitFor(GameRun& run, const std::function<bool()>& done, double timeoutSec);
bool waitForOutput(GameRun& run, const std::string& text, double timeoutSec,
                   bool inStderr = false);
int waitForExit(GameRun& run, double timeoutSec);       // the exit status, -1 on timeout
bool waitForWindow(GameRun& run, double timeoutSec);    // 1024x768, the title menu drawn
// At (x, y) in the game window, whose 1-pixel border puts its (0, 0) at (1, 1) on the screen.
bool waitForPointer(GameRun& run, int x, int y, double timeoutSec);
void pause(GameRun& run, int ms);  // lets game time pass; never a wait for the game to act

// Number of times text occurs in s.
int countOccurrences(const std::string& s, const std::string& text);

// Ends the process if it still runs (SIGTERM, then SIGKILL), reaps it and waits until its
// window is gone.
void stopGame(GameRun& run);

// Runs xdotool with the given arguments; returns its exit status.
int xdo(const std::string& args);

void movePointer(int x, int y);
void clickAt(int x, int y);  // the left button
void pressKey(const std::string& key);  // an xdotool key name: "Escape", "t", "space"
void holdKey(const std::string& key, int ms);

// Maps a small window of the test's own and gives it the keyboard focus, as another program
// taking the focus would; closeWindow removes it and the focus goes back to the pointer.
unsigned long takeFocus();
void closeWindow(unsigned long window);

struct Screenshot {
    int width = 0;
    int height = 0;
    std::vector<unsigned char> rgb;  // rows top-down
    // Pixel at (x, y), y from the top; channel 0 red, 1 green, 2 blue.
    int at(int x, int y, int channel) const { return rgb[(size_t(y) * width + x) * 3 + channel]; }
};

// Captures the whole screen. Empty (width 0) on failure.
Screenshot takeScreenshot();
// Takes screenshots until one shows what shows() looks for; the last is left in *last.
using ScreenTest = std::function<bool(const Screenshot&)>;
bool waitForScreen(GameRun& run, const ScreenTest& shows, double timeoutSec,
                   Screenshot* last = nullptr);

// Saves a screenshot as a PNG.
bool saveScreenshot(const Screenshot& shot, const std::string& path);

bool isPureRed(int r, int g, int b);
bool isReddish(int r, int g, int b);
// Share of a rectangle (y from the top, every 4 pixels) whose colour passes the test.
double share(const Screenshot& s, bool (*test)(int, int, int), int x0 = 0, int y0 = 0,
             int x1 = 1024, int y1 = 768);

// The screens the tests wait for: the main menu's title (its orange letters across the top),
// a play frame (the HUD's red lines), the pause line under the main menu.
bool titleShown(const Screenshot& shot);
bool hudShown(const Screenshot& s);
bool paused(const Screenshot& s);
