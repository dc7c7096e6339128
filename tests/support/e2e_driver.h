#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

// End-to-end driver: starts the real game binary in a working directory (data/ by
// default) on the current X display, captures its standard output and error, drives it
// with xdotool and takes screenshots of the root window.

struct GameRun {
    pid_t pid = -1;
    int outFd = -1;
    int errFd = -1;
    std::string out;  // everything read from standard output so far
    std::string err;  // everything read from standard error so far
    int exitStatus = -1;  // exit code once ended; 128 + signal for a killed process
    bool ended = false;
};

// Starts the game. extraEnv holds "NAME=value" entries added to the environment (audio
// defaults to SDL_AUDIODRIVER=dummy unless given); workDir defaults to data/.
GameRun startGame(const std::vector<std::string>& extraEnv = {},
                  const std::string& workDir = VANTRESKA_DATA,
                  const std::string& binary = VANTRESKA_BIN);

// Reads what the game has printed until text appears in its standard output (or error,
// when inStderr) or the timeout passes. Returns whether it appeared.
bool waitForOutput(GameRun& run, const std::string& text, double timeoutSec,
                   bool inStderr = false);

// Waits until the number of times text occurs in standard output reaches count.
bool waitForCount(GameRun& run, const std::string& text, int count, double timeoutSec);

// Number of times text occurs in s.
int countOccurrences(const std::string& s, const std::string& text);

// Reads whatever output is pending without waiting.
void drainOutput(GameRun& run);

// Waits for the process to end; returns its exit status, or -1 after the timeout.
int waitForExit(GameRun& run, double timeoutSec);

// Ends the process if it still runs (SIGTERM, then SIGKILL) and reaps it.
void stopGame(GameRun& run);

// Waits until the game's window is mapped at full screen size; true when it is.
bool waitForWindow(GameRun& run, double timeoutSec);

// Runs xdotool with the given arguments; returns its exit status.
int xdo(const std::string& args);

// Moves the pointer to (x, y) on the screen.
void movePointer(int x, int y);

// Clicks the left button at (x, y).
void clickAt(int x, int y);

// Presses and releases one key (an xdotool key name such as "Escape", "t", "space").
void pressKey(const std::string& key);

// Holds a key down for ms milliseconds, then releases it.
void holdKey(const std::string& key, int ms);

// Current pointer position on the screen.
void pointerPosition(int& x, int& y);

// Sleeps for ms milliseconds while collecting the game's output.
void pause(GameRun& run, int ms);

struct Screenshot {
    int width = 0;
    int height = 0;
    std::vector<unsigned char> rgb;  // rows top-down
    // Pixel at (x, y), y from the top; channel 0 red, 1 green, 2 blue.
    int at(int x, int y, int channel) const { return rgb[(static_cast<size_t>(y) * width + x) * 3 + channel]; }
};

// Captures the whole screen (xwd -root). Empty (width 0) on failure.
Screenshot takeScreenshot();

// Saves a screenshot as a PNG.
bool saveScreenshot(const Screenshot& shot, const std::string& path);
