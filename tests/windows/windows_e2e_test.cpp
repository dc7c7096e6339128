#include <gtest/gtest.h>
#include <signal.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "support/e2e_driver.h"

// The Windows build under Wine on the test's Xvfb, as make windows-test runs it: the unzipped
// folder with vantreska.exe in VANTRESKA_WINDOWS_GAME, Wine's prefix in WINEPREFIX.

namespace fs = std::filesystem;

// Starts vantreska.exe with Wine in folder, its working directory as a double-click gives it.
static GameRun startWindowsGame(const std::string& folder)
{
    const std::string launcher = folder + "/../run-with-wine";
    std::ofstream(launcher) << "#!/bin/sh\nexec wine ./vantreska.exe\n";
    fs::permissions(launcher, fs::perms::owner_all);
    return startGame({"WINEDEBUG=-all"}, folder, launcher);
}

static std::string gameFolder()
{
    const char* folder = std::getenv("VANTRESKA_WINDOWS_GAME");
    return folder != nullptr ? folder : "";
}

// The title menu comes up; Start New Game shows the HUD, Escape pauses under the main menu and
// resumes, and Q ends the game with status 0 or Ctrl-C with Windows' own status for it,
// STATUS_CONTROL_C_EXIT (0xC000013A), of which a Linux parent sees the low byte.
TEST(Windows, PlaysFromItsFolderAndEndsOnQOrCtrlC)
{
    ASSERT_FALSE(gameFolder().empty()) << "run by make windows-test";
    const struct { bool ctrlC; int status; } cases[] = {{false, 0}, {true, 0x3A}};
    for (const auto& c : cases) {
        GameRun run = startWindowsGame(gameFolder());
        ASSERT_TRUE(waitForScreen(run, titleShown, 60.0)) << run.out << run.err;
        clickAt(512, 326);  // Start New Game
        ASSERT_TRUE(waitForScreen(run, hudShown, 30.0)) << run.out << run.err;
        pressKey("Escape");
        EXPECT_TRUE(waitForScreen(run, paused, 30.0)) << "the pause line";
        pressKey("Escape");
        ASSERT_TRUE(waitForScreen(run, hudShown, 30.0)) << "resumed";
        c.ctrlC ? static_cast<void>(kill(run.pid, SIGINT)) : pressKey("q");
        EXPECT_EQ(waitForExit(run, 30.0), c.status) << run.out << run.err;
        stopGame(run);
    }
}

// Without one of its images the game prints the loader's line (ended with CR LF, as Windows
// text is) and ends with status 1.
TEST(Windows, AMissingImageGivesItsLineAndStatus1)
{
    ASSERT_FALSE(gameFolder().empty()) << "run by make windows-test";
    const std::string copy = gameFolder() + "-moonless";
    fs::remove_all(copy);
    fs::copy(gameFolder(), copy, fs::copy_options::recursive);
    fs::remove(copy + "/images/moon.bmp");
    GameRun run = startWindowsGame(copy);
    EXPECT_EQ(waitForExit(run, 60.0), 1) << run.out << run.err;
    EXPECT_NE(run.out.find("load images/moon.bmp\r\nFile Not Found : images/moon.bmp\r\n"),
              std::string::npos) << run.out;
    stopGame(run);
    fs::remove_all(copy);
}
