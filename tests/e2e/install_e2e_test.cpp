#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <string>

#include "support/e2e_driver.h"

// The installed game runs from its own asset tree whatever the working directory.
TEST(Install, LauncherRunsTheGameFromAnyDirectory)
{
    char prefix[] = "/tmp/vantreska-install-XXXXXX";
    ASSERT_NE(mkdtemp(prefix), nullptr);
    const std::string install = std::string(VANTRESKA_CMAKE) + " --install " + VANTRESKA_BUILD +
                                " --prefix " + prefix + " >/dev/null";
    ASSERT_EQ(std::system(install.c_str()), 0);

    const std::string root = prefix;
    EXPECT_EQ(access((root + "/bin/vantreska-bin").c_str(), X_OK), 0);
    EXPECT_EQ(access((root + "/share/vantreska/images/grass.bmp").c_str(), R_OK), 0);
    std::ifstream desktop(root + "/share/applications/vantreska.desktop");
    std::string entry((std::istreambuf_iterator<char>(desktop)), std::istreambuf_iterator<char>());
    EXPECT_NE(entry.find("Exec=vantreska"), std::string::npos);

    GameRun run = startGame({}, "/", root + "/bin/vantreska");
    ASSERT_GT(run.pid, 0);
    EXPECT_TRUE(waitForOutput(run, "trying to load images/bunnyRight.bmp", 10.0)) << run.out;
    EXPECT_TRUE(waitForWindow(run, 10.0));
    pause(run, 500);
    EXPECT_FALSE(run.ended) << run.out << run.err;
    EXPECT_EQ(run.out.find("Could not open file"), std::string::npos) << run.out;
    EXPECT_EQ(run.err.find("[ERROR]"), std::string::npos) << run.err;
    stopGame(run);
    std::system(("rm -rf " + root).c_str());
}
