#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <string>

#include "support/e2e_driver.h"

// Each asset broken in each way the game must survive, in a private copy of the asset tree
// (every loader opens through one check, so each kind of special file is tried once or twice):
// a bad image, or no images/ at all (started from the wrong place), ends start-up with status
// 1 after its lines; a bad mesh or gun sound is reported (the sound on standard error) and the
// game runs on until Q, a shot with no sound included.
TEST(Faults, BrokenMissingAndSpecialAssetsGetTheirMessageAndOutcome)
{
    const std::string fifo = " is a FIFO, not a regular file; not read\n";
    const std::string big = " holds 67108865 bytes, more than the 64 MB allowed; not read\n";
    const std::string noMesh = "Could not open file meshes/bunny500.m\n";
    const std::string noSound = "[ERROR] could not open file\n";
    const struct {
        std::string file, change, expected;
        bool runsOn;
    } cases[] = {
        {"images/moon.bmp", "rm", "load images/moon.bmp\nFile Not Found : images/moon.bmp\n", 0},
        {"images", "rm -r", "File Not Found : images/grass.bmp\nThe game runs from its asset folder "
         "(images/, meshes/, sounds/); the installed vantreska command starts it there.\n", 0},
        {"images/wall.bmp", "truncate -s 200", "Error reading image data from images/wall.bmp.", 0},
        {"images/wall.bmp", "truncate -s 0", "Planes from images/wall.bmp is not 1: 65279", 0},
        {"images/wall.bmp", "rm -f @ && mkfifo @", "images/wall.bmp" + fifo, 0},
        {"meshes/bunny500.m", "rm", "Reading coordinates from meshes/bunny500.m\n" + noMesh, 1},
        {"meshes/bunny500.m", "printf 'Vertex 1 0 0\\nFace 3 2 3 4 {rgb=(1 0\\n\\1\\377 x' >",
         "Mesh line 1: Vertex line without an id and three coordinates; skipped\n"
         "trying to parse color 1\n", 1},
        {"meshes/bunny500.m", "ln -sf /dev/zero",
         "meshes/bunny500.m is a character device, not a regular file; not read\n" + noMesh, 1},
        {"meshes/bunny500.m", "truncate -s 67108865", "meshes/bunny500.m" + big + noMesh, 1},
        {"sounds/gun1.wav", "rm", noSound, 1},
        {"sounds/gun1.wav", "rm -f @ && mkfifo @", "sounds/gun1.wav" + fifo + noSound, 1},
        {"sounds/gun1.wav", "truncate -s 67108865", "sounds/gun1.wav" + big + noSound, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.change + " " + c.file);
        char dir[] = "/tmp/vantreska-data-XXXXXX";
        ASSERT_NE(mkdtemp(dir), nullptr);
        std::string change = c.change.find('@') != std::string::npos ? c.change : c.change + " @";
        for (size_t at = change.find('@'); at != std::string::npos; at = change.find('@')) {
            change.replace(at, 1, c.file);
        }
        ASSERT_EQ(std::system(("cp -r " VANTRESKA_DATA "/. " + std::string(dir) + " && cd " + dir +
                               " && " + change).c_str()), 0);
        GameRun run = startGame({}, dir);
        const bool sound = c.file[0] == 's';
        if (!c.runsOn) {
            EXPECT_EQ(waitForExit(run, 15.0), 1);
            EXPECT_NE(run.out.find(c.expected), std::string::npos) << run.out;
        } else {
            EXPECT_TRUE(waitForOutput(run, c.expected, 15.0, sound)) << run.out << run.err;
            ASSERT_TRUE(waitForWindow(run, 15.0)) << run.out << run.err;
            clickAt(512, 326);  // Start New Game, a shot, then Q
            xdo("click 1");
            pressKey("q");
            EXPECT_EQ(waitForExit(run, 10.0), 0) << run.out << run.err;
            EXPECT_EQ(countOccurrences(run.err, "[ERROR]"), sound ? 1 : 0) << run.err;
        }
        stopGame(run);
        std::system(("rm -rf " + std::string(dir)).c_str());
    }
}

// Ctrl-C, kill and a closed terminal end the game, in the menu or in play, with the status a
// shell shows for them.
TEST(Faults, EndSignalsEndTheGameWithTheirShellStatus)
{
    const struct { int signal, inPlay, status; } cases[] = {
        {SIGINT, 0, 130}, {SIGTERM, 1, 143}, {SIGHUP, 1, 129}};
    for (const auto& c : cases) {
        GameRun run = startGame();
        ASSERT_TRUE(waitForWindow(run, 15.0)) << run.out << run.err;
        if (c.inPlay) {
            clickAt(512, 326);  // Start New Game: play holds the pointer at the centre
            ASSERT_TRUE(waitForPointer(run, 512, 384, 10.0)) << run.err;
        }
        kill(run.pid, c.signal);
        EXPECT_EQ(waitForExit(run, 10.0), c.status) << "signal " << c.signal << "\n" << run.err;
        stopGame(run);
    }
}

// Started with standard output closed, and read like `vantreska | head -1`: either way the
// game shows its menu, plays, and quits with status 0.
TEST(Faults, AClosedOrVanishedConsoleDoesNotStopTheGame)
{
    const std::string wrapper = "/tmp/vantreska-closed-" + std::to_string(getpid());
    std::ofstream(wrapper) << "#!/bin/sh\nexec " VANTRESKA_BIN " >&-\n";
    ASSERT_EQ(std::system(("chmod 700 " + wrapper).c_str()), 0);
    GameRun closed = startGame({}, VANTRESKA_DATA, wrapper);
    ASSERT_TRUE(waitForWindow(closed, 15.0)) << closed.err;  // the title menu drawn
    clickAt(512, 614);  // Quit
    EXPECT_EQ(waitForExit(closed, 10.0), 0) << closed.err;
    stopGame(closed);
    unlink(wrapper.c_str());

    GameRun piped = startGame();
    ASSERT_TRUE(waitForOutput(piped, "\n", 15.0));
    close(piped.outFd);  // the reader goes after the first line
    piped.outFd = -1;
    ASSERT_TRUE(waitForWindow(piped, 15.0)) << piped.err;
    clickAt(512, 326);  // Start New Game, then a shot: picking lines into the closed pipe
    xdo("click 1");     // the game takes the clicks and Q in the order sent
    pressKey("q");
    EXPECT_EQ(waitForExit(piped, 10.0), 0) << piped.err;
    stopGame(piped);
}
