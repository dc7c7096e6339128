#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include "support/e2e_driver.h"

// A private copy of the asset tree that a test may break.
static std::string copyOfData()
{
    char dir[] = "/tmp/vantreska-data-XXXXXX";
    if (mkdtemp(dir) == nullptr) {
        return "";
    }
    const std::string cmd = std::string("cp -r ") + VANTRESKA_DATA + "/. " + dir;
    return std::system(cmd.c_str()) == 0 ? std::string(dir) : std::string();
}

static void removeTree(const std::string& dir)
{
    if (dir.rfind("/tmp/vantreska-data-", 0) == 0) {
        std::system(("rm -rf " + dir).c_str());
    }
}

static void truncateFile(const std::string& path, long size)
{
    std::string bytes;
    {
        std::ifstream in(path, std::ios::binary);
        bytes.assign((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    }
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), std::min<long>(size, static_cast<long>(bytes.size())));
}

TEST(Faults, ABrokenImageEndsStartUpWithItsMessage)
{
    const std::string data = copyOfData();
    ASSERT_FALSE(data.empty());
    truncateFile(data + "/images/wall.bmp", 200);  // header intact, pixels cut short
    GameRun run = startGame({}, data);
    EXPECT_EQ(waitForExit(run, 15.0), 1);
    EXPECT_NE(run.out.find("trying to load images/wall.bmp\n"
                           "Error reading image data from images/wall.bmp."),
              std::string::npos)
        << run.out;
    EXPECT_EQ(run.out.find("trying to load images/moon.bmp"), std::string::npos);
    stopGame(run);

    truncateFile(data + "/images/wall.bmp", 0);  // an empty file
    GameRun empty = startGame({}, data);
    EXPECT_EQ(waitForExit(empty, 15.0), 1);
    EXPECT_NE(empty.out.find("Planes from images/wall.bmp is not 1: 65279"), std::string::npos)
        << empty.out;
    stopGame(empty);
    removeTree(data);
}

TEST(Faults, ABrokenMeshIsReportedAndTheGameRunsOn)
{
    const std::string data = copyOfData();
    ASSERT_FALSE(data.empty());
    {
        std::ofstream mesh(data + "/meshes/bunny500.m", std::ios::trunc);
        mesh << "# broken\nVertex 1 0 0\nVertex 2 0 0 0\nVertex 3 1 0 0\nVertex 4 0 1 0\n"
                "Face 1 1 2\nFace 2 1 2 9\nFace 3 2 3 4 {rgb=(1 0\nFace 4 -1 2 3\n"
                "Face 5 1 2 3\n\x01\xff garbage\n";
    }
    GameRun run = startGame({}, data);
    EXPECT_TRUE(waitForWindow(run, 15.0)) << run.out;
    pause(run, 800);
    EXPECT_FALSE(run.ended) << run.out << run.err;
    EXPECT_NE(run.out.find("Reading coordinates from meshes/bunny500.m"), std::string::npos);
    EXPECT_NE(run.out.find("trying to parse color 1"), std::string::npos);
    stopGame(run);
    removeTree(data);
}

TEST(Faults, AMissingGunSoundIsReportedAndTheGameRunsOnSilently)
{
    const std::string data = copyOfData();
    ASSERT_FALSE(data.empty());
    ASSERT_EQ(std::remove((data + "/sounds/gun1.wav").c_str()), 0);
    GameRun run = startGame({}, data);
    EXPECT_TRUE(waitForOutput(run, "[ERROR] could not open file\n", 15.0, true)) << run.err;
    EXPECT_TRUE(waitForWindow(run, 15.0));
    clickAt(512, 326);  // Start New Game, then a shot with no sound to play
    xdo("click 1");
    pressKey("q");
    EXPECT_EQ(waitForExit(run, 10.0), 0) << run.out << run.err;
    EXPECT_EQ(countOccurrences(run.err, "[ERROR]"), 1) << run.err;
    stopGame(run);
    removeTree(data);
}

// A FIFO (an open would wait for a writer), a link to /dev/zero (endless bytes) and a file
// over the size limit in place of each kind of asset: an image ends start-up, a mesh or the
// sound is skipped like a missing one.
TEST(Faults, SpecialFilesInPlaceOfAssetsAreRefused)
{
    const std::string data = copyOfData();
    ASSERT_FALSE(data.empty());
    const std::pair<std::string, std::string> kinds[] = {  // how to make one, why it is refused
        {"mkfifo", " is a FIFO, not a regular file"},
        {"ln -s /dev/zero", " is a character device, not a regular file"},
        {"truncate -s 67108865", " holds 67108865 bytes, more than the 64 MB allowed"}};
    for (const std::string asset : {"images/wall.bmp", "meshes/bunny500.m", "sounds/gun1.wav"}) {
        for (const auto& [make, why] : kinds) {
            if (asset[0] == 'i' && make[0] == 't') {
                continue;  // an image's header bounds what is read of it
            }
            const std::string path = data + "/" + asset;
            ASSERT_EQ(std::rename(path.c_str(), (path + ".kept").c_str()), 0);
            ASSERT_EQ(std::system((make + " " + path).c_str()), 0);
            const std::string refusal = asset + why + "; not read\n";
            GameRun run = startGame({}, data);
            if (asset[0] == 'i') {
                EXPECT_EQ(waitForExit(run, 15.0), 1) << refusal;
                EXPECT_NE(run.out.find("trying to load " + asset + "\n" + refusal),
                          std::string::npos) << run.out;
            } else {
                const bool sound = asset[0] == 's';
                const std::string then =
                    sound ? "[ERROR] could not open file\n" : "Could not open file " + asset + "\n";
                EXPECT_TRUE(waitForOutput(run, refusal + then, 15.0, sound)) << run.out << run.err;
                EXPECT_TRUE(waitForWindow(run, 15.0)) << refusal;
                clickAt(512, 614);  // Quit
                EXPECT_EQ(waitForExit(run, 10.0), 0) << refusal;
            }
            stopGame(run);
            ASSERT_EQ(std::remove(path.c_str()), 0);
            ASSERT_EQ(std::rename((path + ".kept").c_str(), path.c_str()), 0);
        }
    }
    removeTree(data);
}

// Ctrl-C, kill and a closed terminal end the game, in the menu or in play, with the status a
// shell shows for them.
TEST(Faults, EndSignalsEndTheGameWithTheirShellStatus)
{
    const struct {
        int signal;
        bool inPlay;
        int status;
    } cases[] = {{SIGINT, false, 130}, {SIGTERM, true, 143}, {SIGHUP, true, 129}};
    for (const auto& c : cases) {
        GameRun run = startGame();
        ASSERT_TRUE(waitForWindow(run, 15.0)) << run.out << run.err;
        if (c.inPlay) {
            clickAt(512, 326);  // Start New Game
            pause(run, 300);
        }
        kill(run.pid, c.signal);
        EXPECT_EQ(waitForExit(run, 2.0), c.status) << "signal " << c.signal << "\n" << run.err;
        stopGame(run);
    }
}

// Started with standard output closed, and read like `vantreska | head -1`: either way the
// game shows its menu, plays, and quits with status 0.
TEST(Faults, AClosedOrVanishedConsoleDoesNotStopTheGame)
{
    char wrapper[] = "/tmp/vantreska-closed-XXXXXX";
    close(mkstemp(wrapper));
    std::ofstream(wrapper) << "#!/bin/sh\nexec " VANTRESKA_BIN " >&-\n";
    ASSERT_EQ(chmod(wrapper, 0700), 0);
    GameRun closed = startGame({}, VANTRESKA_DATA, wrapper);
    ASSERT_TRUE(waitForWindow(closed, 15.0)) << closed.err;
    const Screenshot shot = takeScreenshot();
    ASSERT_EQ(shot.width, 1024);
    int lit = 0;  // the title's orange at the top of the menu
    for (int x = 300; x < 724; x += 4) {
        lit += shot.at(x, 160, 0) > 150 ? 1 : 0;
    }
    EXPECT_GT(lit, 10);
    clickAt(512, 614);  // Quit
    EXPECT_EQ(waitForExit(closed, 10.0), 0) << closed.err;
    stopGame(closed);
    unlink(wrapper);

    GameRun piped = startGame();
    ASSERT_TRUE(waitForOutput(piped, "\n", 15.0));
    close(piped.outFd);  // the reader goes after the first line
    piped.outFd = -1;
    ASSERT_TRUE(waitForWindow(piped, 15.0)) << piped.err;
    clickAt(512, 326);  // Start New Game, then a shot: picking lines into the closed pipe
    xdo("click 1");
    pause(piped, 300);
    pressKey("q");
    EXPECT_EQ(waitForExit(piped, 10.0), 0) << piped.err;
    stopGame(piped);
}

// Escape pressed in rapid bursts pauses and resumes many times; the game stays up and
// playable, and Q still quits cleanly.
TEST(Faults, EscapeInRapidBurstsLeavesOnePlayableGame)
{
    GameRun run = startGame();
    ASSERT_TRUE(waitForWindow(run, 15.0)) << run.out << run.err;
    clickAt(512, 326);  // Start New Game
    pause(run, 500);
    for (int burst = 0; burst < 5; ++burst) {
        xdo("key --delay 1 Escape Escape Escape Escape Escape Escape Escape Escape Escape");
        pause(run, 100);
    }
    // Nine presses per burst leave the game paused; one more resumes it.
    pressKey("Escape");
    pause(run, 300);
    ASSERT_FALSE(run.ended) << run.err;
    holdKey("w", 300);
    pressKey("q");
    EXPECT_EQ(waitForExit(run, 10.0), 0) << run.out << run.err;
    stopGame(run);
}

// Resizing the window to a sliver and back, then using the menu, must not crash the game.
TEST(Faults, AWindowResizedToASliverKeepsRunning)
{
    GameRun run = startGame();
    ASSERT_TRUE(waitForWindow(run, 15.0));
    for (const char* size : {"1024 2", "3 768", "1 1", "1024 768"}) {
        xdo(std::string("search --name '^Vantreska$' windowsize ") + size);
        pause(run, 300);
        movePointer(512, 400);
        xdo("click 1");
        pause(run, 200);
        ASSERT_FALSE(run.ended) << "after resizing to " << size << "\n" << run.err;
    }
    const Screenshot shot = takeScreenshot();
    ASSERT_GT(shot.width, 0);
    stopGame(run);
}
