#include <gtest/gtest.h>
#include <unistd.h>

#include <fstream>
#include <string>

#include "input/picking.h"
#include "support/e2e_driver.h"

// Without game mode the game says so and opens a full-screen window on the title menu. A hover
// over Quit reports its hit and acts on nothing; a volume arrow press samples the shot at the
// new level; the Quit panel ends the game with status 0.
TEST(MenuE2e, FallbackHoverAndOptionsWithVolumeSamplesThenQuitPanel)
{
    const std::string out = "/tmp/vantreska-menu-" + std::to_string(getpid()) + ".raw";
    GameRun run = startGame({"SDL_AUDIODRIVER=disk", "SDL_DISKAUDIOFILE=" + out});
    ASSERT_TRUE(waitForWindow(run, 15.0)) << run.out << run.err;
    EXPECT_EQ(run.out.find("full-screen mode 1024x768:32 is not available; using a full-screen "
                           "window\n"), 0u) << run.out;
    movePointer(512, 614);
    EXPECT_TRUE(waitForOutput(run, "number of hits 1\ndepth: ", 10.0)) << run.out;
    EXPECT_TRUE(waitForOutput(run, "hit: " + std::to_string(pickQuit) + " \n", 10.0)) << run.out;
    clickAt(512, 422);  // Options
    const long beforeUp = std::ifstream(out, std::ios::ate).tellg();
    clickAt(550, 280);  // 85 %
    const auto sampled = [&] { return loudestSample(out, beforeUp) > 4000; };
    EXPECT_TRUE(waitFor(run, sampled, 10.0)) << "the sample at 85 %";
    unlink(out.c_str());
    pressKey("Escape");
    clickAt(512, 614);  // Quit, back on the main menu
    EXPECT_EQ(waitForExit(run, 10.0), 0) << run.out << run.err;
    stopGame(run);
}
