#include <gtest/gtest.h>

#include <cstdlib>

#include "support/e2e_driver.h"

// Starts the game on a copy of data/ (made in dir) that lacks the given file.
static GameRun startWithout(const std::string& file, std::string& dir)
{
    char pattern[] = "/tmp/assets_e2e_XXXXXX";
    dir = mkdtemp(pattern) != nullptr ? pattern : "/nonexistent";
    const std::string copy = "cp -r " + std::string(VANTRESKA_DATA) + "/. " + dir;
    EXPECT_EQ(std::system((copy + " && rm " + dir + "/" + file).c_str()), 0);
    return startGame({}, dir);
}

TEST(AssetsE2e, ImagesLoadInOrderAndAMissingMeshIsReportedWhileTheGameRunsOn)
{
    std::string dir;
    GameRun run = startWithout("meshes/bunny500.m", dir);
    std::string expected;
    for (const char* name : {"grass", "wall", "moon", "Gunmetal", "StartNewGame", "Options",
                             "Help", "Quit", "Vantreska", "bunnyLeft", "bunnyRight"}) {
        expected += std::string("trying to load images/") + name + ".bmp\n";
    }
    expected += "Reading coordinates from meshes/bunny500.m\n"
                "Could not open file meshes/bunny500.m\n";
    EXPECT_TRUE(waitForOutput(run, expected, 15.0)) << run.out << run.err;
    EXPECT_TRUE(waitForWindow(run, 10.0));
    EXPECT_FALSE(run.ended) << "exit status " << run.exitStatus << "\n" << run.out << run.err;
    stopGame(run);
    EXPECT_EQ(std::system(("rm -rf " + dir).c_str()), 0);
}

TEST(AssetsE2e, AMissingImageEndsTheGameWithItsMessage)
{
    std::string dir;
    GameRun run = startWithout("images/moon.bmp", dir);
    EXPECT_EQ(waitForExit(run, 15.0), 1) << run.out << run.err;
    drainOutput(run);
    EXPECT_NE(run.out.find("trying to load images/moon.bmp\nFile Not Found : images/moon.bmp\n"),
              std::string::npos) << run.out;
    EXPECT_EQ(run.out.find("asset folder"), std::string::npos) << run.out;  // images/ is there
    stopGame(run);
    EXPECT_EQ(std::system(("rm -rf " + dir).c_str()), 0);

    GameRun elsewhere = startGame({}, "/");  // no images/ at all: the wrong directory
    EXPECT_EQ(waitForExit(elsewhere, 15.0), 1) << elsewhere.out << elsewhere.err;
    EXPECT_NE(elsewhere.out.find("File Not Found : images/grass.bmp\nThe game runs from its "
                                 "asset folder (images/, meshes/, sounds/); the installed "
                                 "vantreska command starts it there.\n"),
              std::string::npos) << elsewhere.out;
    stopGame(elsewhere);
}
