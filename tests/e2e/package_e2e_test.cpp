#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <string>

#include "support/e2e_driver.h"

// The Debian package builds and passes its checks; unpacked into a scratch root, its command
// runs the game from / with every asset found, shows the title menu and quits from it. The
// build leaves out its own run of the unit suite, which more than doubles its time and runs
// here twice already; make package keeps it.
TEST(Package, PackagedGameRunsFromAnyDirectoryAndQuitsFromTheMenu)
{
    const std::string build = VANTRESKA_BUILD;
    const std::string package =
        "DEB_BUILD_OPTIONS=nocheck " VANTRESKA_DATA "/../scripts/package.sh ";
    ASSERT_EQ(std::system((package + build).c_str()), 0);
    char scratch[] = "/tmp/vantreska-unpacked-XXXXXX";
    ASSERT_NE(mkdtemp(scratch), nullptr);
    const std::string root = scratch;
    ASSERT_EQ(std::system(("dpkg-deb -x " + build + "/vantreska_*.deb " + root).c_str()), 0);

    GameRun run = startGame({}, "/", root + "/usr/games/vantreska");
    ASSERT_TRUE(waitForWindow(run, 15.0)) << run.out << run.err;
    EXPECT_NE(run.out.find("trying to load images/bunnyRight.bmp"), std::string::npos) << run.out;
    EXPECT_EQ(run.out.find("Could not open file"), std::string::npos) << run.out;
    EXPECT_EQ(run.err.find("[ERROR]"), std::string::npos) << run.err;
    clickAt(512, 614);  // the Quit panel
    EXPECT_EQ(waitForExit(run, 10.0), 0) << run.out << run.err;
    stopGame(run);
    std::system(("rm -rf " + root).c_str());
}
