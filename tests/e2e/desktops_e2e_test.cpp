#include <gtest/gtest.h>

#include <string>

#include "support/e2e_driver.h"

// The first line of a command's output.
static std::string firstLine(const std::string& command)
{
    const std::string out = commandOutput(command);
    return out.substr(0, out.find('\n'));
}

// Under a window manager (openbox) on a 1920x1080 screen the game's window carries its name,
// class and icon, and shows the 1024x768 picture scaled to the screen's height (by the X
// server) between black bars, every panel clicked where it shows. Alt-Tab to an xterm lets the
// pointer go: shown and free over the game's window and onto the xterm, while W held through
// the switch is let go.
// Alt-Tab back catches the pointer again, and mouse look turns the view.
TEST(Desktops, OpenboxOnAWideScreen)
{
    Desktop desktop;
    startXDesktop(desktop, 1920, 1080, "openbox");
    if (!desktop.skipped.empty()) {
        GTEST_SKIP() << desktop.skipped;
    }
    startClient(desktop, {"xterm", "-geometry", "40x10+0+0"});
    GameRun none;
    std::string xterm;
    const auto xtermUp = [&] {
        return !(xterm = firstLine("xdotool search --class xterm")).empty();
    };
    EXPECT_TRUE(waitFor(none, xtermUp, 15.0));
    GameRun run = startGame();
    ASSERT_TRUE(waitForWindow(run, 15.0)) << run.out << run.err;
    const std::string identity =
        commandOutput("xprop -id " + firstLine("xdotool search --name '^Vantreska$'") +
                      " WM_CLASS _NET_WM_NAME _NET_WM_ICON | head -3");
    for (const char* property : {"WM_CLASS(STRING) = \"vantreska\", \"Vantreska\"\n",
                                 "_NET_WM_NAME(UTF8_STRING) = \"Vantreska\"\n",
                                 "_NET_WM_ICON(CARDINAL) = \tIcon (16 x 16):"}) {
        EXPECT_NE(identity.find(property), std::string::npos) << identity;
    }
    const auto barsBlack = [](const Screenshot& s) {  // 240 pixels each side of 1440 x 1080
        int lit = 0;  // once the window manager has raised the game over the xterm
        for (int y = 0; y < 1080; y += 8) {
            for (int x = 0; x < 240; x += 8) {
                for (const int at : {x, 1919 - x}) {
                    lit += isBlack(s.at(at, y, 0), s.at(at, y, 1), s.at(at, y, 2)) ? 0 : 1;
                }
            }
        }
        return lit == 0;
    };
    EXPECT_TRUE(waitForScreen(run, barsBlack, 10.0)) << "the bars beside the picture";
    // Xvfb's GL renders in software: the X server scales the picture.
    EXPECT_TRUE(waitForOutput(run, "the picture is scaled by the X server\n", 10.0)) << run.out;
    clickAt(512, 518);  // Help
    EXPECT_TRUE(waitForScreen(run, helpText, 10.0)) << "created by: ...";
    pressKey("Escape");
    clickAt(512, 422);  // Options, where a volume arrow is picked
    clickAt(550, 280);
    EXPECT_TRUE(waitForOutput(run, "hit: 53 \n", 10.0)) << run.out;
    pressKey("Escape");
    clickAt(512, 326);  // Start New Game
    Screenshot start, level;
    ASSERT_TRUE(waitForScreen(run, hudShown, 10.0, &start)) << "the HUD where it shows";
    pause(run, 300);  // the eye drops to the ground
    start = takeScreenshot();
    xdo("keydown w");
    pause(run, 300);  // about half a unit of walking
    const double walked = changedAbove(start, takeScreenshot());
    pressKey("alt+Tab");
    EXPECT_TRUE(waitFor(run, [&] { return firstLine("xdotool getwindowfocus") == xterm; }, 10.0));
    xdo("keyup w");  // into the xterm
    xdo("mousemove 1500 800");  // over the game's window, off its centre
    EXPECT_TRUE(waitFor(run, pointerShown, 10.0)) << "the pointer shown over the game";
    EXPECT_EQ(firstLine("xdotool getmouselocation --shell"), "X=1500") << "warped";
    const Screenshot away = takeScreenshot();
    pause(run, 300);  // were W still held, as much walking as above
    EXPECT_TRUE(walked < 0.04 || changedAbove(away, takeScreenshot()) < walked / 2) << "walked on";
    xdo("mousemove 100 60");  // onto the xterm
    EXPECT_EQ(firstLine("xdotool getmouselocation --shell"), "X=100") << "warped";
    pressKey("alt+Tab");
    EXPECT_TRUE(waitForPointerHeld(run, 10.0)) << "play catches the pointer again";
    EXPECT_TRUE(waitFor(run, [] { return !pointerShown(); }, 10.0)) << "the pointer hidden again";
    level = takeScreenshot();
    xdo("mousemove_relative -- 0 400");  // 40 degrees down
    EXPECT_TRUE(waitForPointerHeld(run, 10.0)) << "mouse look";
    if (!isBlack(level.shown(118, 737, 0), level.shown(118, 737, 1), level.shown(118, 737, 2))) {
        EXPECT_TRUE(waitForScreen(run, [&](const Screenshot& s) {
            return changedAbove(level, s) > 0.3;
        }, 10.0)) << "the view did not turn";
    }
    pressKey("Escape");
    clickAt(512, 614);  // Quit
    EXPECT_EQ(waitForExit(run, 10.0), 0) << run.out << run.err;
    stopGame(run);
}

// The focused view in sway's tree: the text from its "focused": true to the next node's.
static std::string focusedView()
{
    const std::string tree = commandOutput("swaymsg -t get_tree");
    const size_t at = tree.find("\"focused\": true");
    return at == std::string::npos ? "" : tree.substr(at, tree.find("\"focused\"", at + 1) - at);
}

// Under sway with Xwayland on a 1920x1080 output, a Wayland program (weston-terminal) focused
// first: the game opens no game mode but a full-screen window, which the compositor manages as
// Vantreska's and focuses, so the keyboard reaches it. Escape pauses (a hover over Quit is
// picked), Escape resumes and Q quits with status 0.
TEST(Desktops, SwayGivesTheGameTheKeyboard)
{
    Desktop desktop;
    startSwayDesktop(desktop, 1920, 1080);
    if (!desktop.skipped.empty()) {
        GTEST_SKIP() << desktop.skipped;
    }
    startClient(desktop, {"weston-terminal"});
    GameRun none;
    const auto terminalFocused = [] {
        return focusedView().find("wayland-terminal") != std::string::npos;
    };
    ASSERT_TRUE(waitFor(none, terminalFocused, 15.0)) << commandOutput("swaymsg -t get_tree");
    GameRun run = startGame({}, desktop.dataDir, desktop.binary);
    EXPECT_TRUE(waitForOutput(run, "full-screen mode 1024x768:32 is not available; using a "
                                   "full-screen window\n", 15.0)) << run.out << run.err;
    const auto managed = [] {
        const std::string view = focusedView();
        return view.find("\"fullscreen_mode\": 1") != std::string::npos &&
               view.find("\"shell\": \"xwayland\"") != std::string::npos &&
               view.find("\"class\": \"Vantreska\"") != std::string::npos;
    };
    ASSERT_TRUE(waitFor(run, managed, 15.0)) << commandOutput("swaymsg -t get_tree");
    // Start New Game: the move is picked as a hover, the click once more. Under sway 1.12 with
    // Xwayland 24.1 the first click made with XTEST is lost, so it is clicked until picked.
    movePointer(512, 326);
    ASSERT_TRUE(waitForOutput(run, "hit: 49 \n", 10.0)) << run.out << run.err;
    bool started = false;
    for (int attempt = 0; attempt < 5 && !started; ++attempt) {
        xdo("click 1");
        started = waitFor(run, [&] { return countOccurrences(run.out, "hit: 49 \n") >= 2; }, 3.0);
    }
    ASSERT_TRUE(started) << run.out << run.err;
    // wtype's keyboard is a new one at each run, and keys it types before Xwayland has taken its
    // keymap are lost (-s gives it time): keys are typed again until what they do shows.
    bool pausedNow = false;
    for (int attempt = 0; attempt < 20 && !pausedNow; ++attempt) {
        commandOutput("wtype -s 100 -k Escape");
        movePointer(512, 614 + attempt % 2);  // a hover over Quit, picked in the menu alone
        pausedNow = waitFor(run, [&] { return run.out.find("hit: 51 \n") != std::string::npos; },
                            3.0);
    }
    EXPECT_TRUE(pausedNow) << "Escape did not pause";
    // Resumed, then quit, with XTEST on the X focus the compositor gave. Not with wtype: its
    // keymap puts Escape on Escape's usual keycode but q on another, and sway 1.12's Xwayland
    // keeps the usual keymap, so its q arrives as 1.
    for (int attempt = 0; attempt < 5 && !run.ended; ++attempt) {
        pressKey("Escape");
        pressKey("q");
        waitForExit(run, 3.0);
    }
    EXPECT_EQ(run.exitStatus, 0) << run.out << run.err;
    stopGame(run);
}
