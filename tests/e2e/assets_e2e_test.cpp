#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

#include "support/e2e_driver.h"

// A copy of data/ in a fresh temporary directory, removed when the test ends.
struct DataCopy {
    std::string dir;
    DataCopy()
    {
        char pattern[] = "/tmp/assets_e2e_XXXXXX";
        const char* made = mkdtemp(pattern);
        EXPECT_NE(made, nullptr);
        dir = made != nullptr ? made : "/tmp";
        const std::string cmd = "cp -r '" + std::string(VANTRESKA_DATA) + "/.' '" + dir + "'";
        EXPECT_EQ(std::system(cmd.c_str()), 0);
    }
    ~DataCopy()
    {
        const std::string cmd = "rm -rf '" + dir + "'";
        EXPECT_EQ(std::system(cmd.c_str()), 0);
    }
    void remove(const std::string& file) const
    {
        EXPECT_EQ(unlink((dir + "/" + file).c_str()), 0) << file;
    }
    void truncate(const std::string& file, off_t size) const
    {
        EXPECT_EQ(::truncate((dir + "/" + file).c_str(), size), 0) << file;
    }
};

static const char* const imageOrder[11] = {
    "grass", "wall", "moon", "Gunmetal", "StartNewGame", "Options", "Help", "Quit",
    "Vantreska", "bunnyLeft", "bunnyRight"};

TEST(AssetsE2e, StartUpLoadsTheElevenImagesInOrderThenTheMesh)
{
    GameRun run = startGame();
    ASSERT_GT(run.pid, 0);
    ASSERT_TRUE(waitForOutput(run, "Reading coordinates from meshes/bunny500.m\n", 15.0))
        << run.out << run.err;
    pause(run, 300);
    std::string expected;
    for (const char* name : imageOrder) {
        expected += std::string("trying to load images/") + name + ".bmp\n";
    }
    expected += "Reading coordinates from meshes/bunny500.m\n";
    EXPECT_NE(run.out.find(expected), std::string::npos) << run.out;
    EXPECT_EQ(run.out.find("Could not open file"), std::string::npos) << run.out;
    EXPECT_EQ(run.out.find("Mesh line"), std::string::npos) << run.out;
    EXPECT_FALSE(run.ended) << run.out << run.err;
    stopGame(run);
}

TEST(AssetsE2e, AMissingOrBrokenImageEndsTheGameWithItsMessage)
{
    const struct {
        const char* image;
        off_t truncateTo;  // -1: remove the file
        const char* message;
        const char* notReached;
    } cases[] = {
        {"images/moon.bmp", -1,
         "trying to load images/moon.bmp\nFile Not Found : images/moon.bmp\n",
         "trying to load images/Gunmetal.bmp"},
        {"images/wall.bmp", 100,
         "trying to load images/wall.bmp\nError reading image data from images/wall.bmp.\n",
         "trying to load images/moon.bmp"},
        {"images/bunnyRight.bmp", 0,
         "trying to load images/bunnyRight.bmp\nPlanes from images/bunnyRight.bmp is not 1: "
         "65279\n",
         "Reading coordinates"},
    };
    for (const auto& c : cases) {
        DataCopy data;
        if (c.truncateTo < 0) {
            data.remove(c.image);
        } else {
            data.truncate(c.image, c.truncateTo);
        }
        GameRun run = startGame({}, data.dir);
        ASSERT_GT(run.pid, 0);
        EXPECT_EQ(waitForExit(run, 15.0), 1) << c.image << "\n" << run.out << run.err;
        drainOutput(run);
        EXPECT_NE(run.out.find(c.message), std::string::npos) << c.image << "\n" << run.out;
        EXPECT_EQ(run.out.find(c.notReached), std::string::npos) << c.image << "\n" << run.out;
        stopGame(run);
    }
}

TEST(AssetsE2e, AMissingMeshIsReportedAndTheGameRunsOn)
{
    DataCopy data;
    data.remove("meshes/bunny500.m");
    GameRun run = startGame({}, data.dir);
    ASSERT_GT(run.pid, 0);
    EXPECT_TRUE(waitForOutput(run,
                              "Reading coordinates from meshes/bunny500.m\n"
                              "Could not open file meshes/bunny500.m\n",
                              15.0))
        << run.out << run.err;
    EXPECT_TRUE(waitForWindow(run, 10.0));
    pause(run, 1000);
    EXPECT_FALSE(run.ended) << "exit status " << run.exitStatus << "\n" << run.out << run.err;
    stopGame(run);
}
