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
bool waitForWindow(GameRun& run, double timeoutSec);    // filling the screen, the title drawn
bool waitForPointerHeld(GameRun& run, double timeoutSec);  // at the game window's centre
void pause(GameRun& run, int ms);  // lets game time pass; never a wait for the game to act

// Number of times text occurs in s.
int countOccurrences(const std::string& s, const std::string& text);

// Ends the process if it still runs (SIGTERM, then SIGKILL), reaps it and waits until its
// window is gone.
void stopGame(GameRun& run);

// Runs xdotool with the given arguments; returns its exit status.
int xdo(const std::string& args);

// The pointer to the point (x, y) of the game's 1024x768 picture as its full-screen window
// shows it on this screen: scaled to fit, centred.
void movePointer(int x, int y);
void clickAt(int x, int y);  // the left button
void screenPoint(int& x, int& y);  // where this screen shows the picture's point (x, y)
void pressKey(const std::string& key);  // an xdotool key name: "Escape", "t", "space"
void holdKey(const std::string& key, int ms);
bool pointerShown();  // the cursor drawn at the pointer has a visible pixel

// Maps a small window of the test's own in the screen's corner; takeFocus also gives it the
// keyboard focus, as another program taking the focus would. closeWindow removes it and the
// focus goes back to the pointer.
unsigned long openWindow();
unsigned long takeFocus();
// Maps a small window under the pointer, as a popup over the game, leaving the focus as it is.
unsigned long popUpUnderPointer();
// Gives the keyboard focus to away, then back to window, and presses key (a keysym name) down,
// all within the same moment, as a player coming back to a window with a key going down.
void refocusPressing(unsigned long away, unsigned long window, const char* key);
void setKeyRepeat(bool on);  // the X server's repeat of held keys
void closeWindow(unsigned long window);

struct Screenshot {
    int width = 0;
    int height = 0;
    std::vector<unsigned char> rgb;  // rows top-down
    // Pixel at (x, y), y from the top; channel 0 red, 1 green, 2 blue.
    int at(int x, int y, int channel) const { return rgb[(size_t(y) * width + x) * 3 + channel]; }
    // The pixel showing the point (x, y) of the game's 1024x768 picture, as movePointer maps it.
    int shown(int x, int y, int channel) const;
};

// Captures the whole screen. Empty (width 0) on failure.
Screenshot takeScreenshot();
// Takes screenshots until one shows what shows() looks for; the last is left in *last.
using ScreenTest = std::function<bool(const Screenshot&)>;
bool waitForScreen(GameRun& run, const ScreenTest& shows, double timeoutSec,
                   Screenshot* last = nullptr);

// Saves a screenshot as a PNG.
bool saveScreenshot(const Screenshot& shot, const std::string& path);


// What the screen shows, in points of the game's picture (y from the top).
bool isSkyBlue(int r, int g, int b);
bool isGrass(int r, int g, int b);
bool isBlack(int r, int g, int b);
bool isPureRed(int r, int g, int b);
bool isReddish(int r, int g, int b);
// Share of a rectangle of the picture (every 4 points) whose colour passes the test.
double share(const Screenshot& s, bool (*test)(int, int, int), int x0 = 0, int y0 = 0,
             int x1 = 1024, int y1 = 768);
bool titleShown(const Screenshot& shot);  // the main menu's orange title across the top
bool hudShown(const Screenshot& s);       // a play frame: the HUD's red lines
bool helpText(const Screenshot& s);       // Help's text
bool paused(const Screenshot& s);         // the pause line under the main menu
// Share of the points above the horizon that differ between two frames: walking moves the
// walls and trees there, while the bunnies stay below the eye.
double changedAbove(const Screenshot& a, const Screenshot& b);

// A desktop of a test's own: a private X server of the given size, bare or with a window
// manager, or sway (headless, its own output of the given size) with Xwayland. While it runs
// the game, xdotool and the screenshots go to it; under sway the game and every command run as
// the unprivileged user nobody, which sway and its Xwayland ask for (the game from a copy of
// the binary and the asset tree that user can read).
// It ends when it goes out of scope, a failed assertion's return included.
struct Desktop;
void stopDesktop(Desktop& desktop);
struct Desktop {
    std::string skipped;  // why it could not start (a program missing); empty when it runs
    std::vector<pid_t> processes;  // the server or compositor first, then its clients
    std::vector<std::string> savedEnv;  // NAME=value (or NAME alone: unset) to restore
    std::string dataDir = VANTRESKA_DATA;  // where the game starts, and its binary
    std::string binary = VANTRESKA_BIN;
    std::string scratch;  // a directory removed with the desktop
    Desktop() = default;
    Desktop(const Desktop&) = delete;
    Desktop& operator=(const Desktop&) = delete;
    ~Desktop() { stopDesktop(*this); }
};
void startXDesktop(Desktop& desktop, int width, int height, const std::string& windowManager = "");
void startSwayDesktop(Desktop& desktop, int width, int height);
void startClient(Desktop& desktop, const std::vector<std::string>& argv);  // ended with it
std::string commandOutput(const std::string& command);  // as the desktop's user

// A proxy in front of the current X display: the game started with its environment
// (DISPLAY, XAUTHORITY) connects through it, one forwarder process per connection, so a test
// can cut one of the game's connections as a dying server or a killed client would.
// It ends when it goes out of scope.
struct DisplayProxy {
    pid_t pid = -1;
    std::vector<std::string> env;
    std::string authority;
    DisplayProxy();
    DisplayProxy(const DisplayProxy&) = delete;
    DisplayProxy& operator=(const DisplayProxy&) = delete;
    ~DisplayProxy();
};
bool cutConnection(DisplayProxy& proxy, int index);  // 0 the first the game opened
