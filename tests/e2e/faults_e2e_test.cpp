#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <string>

#include "support/e2e_driver.h"

// A private copy of the asset tree with change (a shell command, @ for file) made in it.
static std::string assetCopy(const std::string& file, const std::string& change)
{
    char dir[] = "/tmp/vantreska-data-XXXXXX";
    std::string command = change.find('@') != std::string::npos ? change : change + " @";
    for (size_t at = command.find('@'); at != std::string::npos; at = command.find('@')) {
        command.replace(at, 1, file);
    }
    const bool made = mkdtemp(dir) != nullptr &&
                      std::system(("cp -r " VANTRESKA_DATA "/. " + std::string(dir) + " && cd " +
                                   dir + " && " + command).c_str()) == 0;
    return made ? dir : "";
}

// Each asset broken in each way the game must survive, in a private copy of the asset tree
// (every loader opens through one check, so each kind of special file is tried once or twice):
// a bad image, or no images/ at all (started from the wrong place), ends start-up with status
// 1 after its lines; a bad mesh or gun sound is reported (the sound on standard error) and the
// game runs on until Q, a shot with no sound included, as it does with standard output closed.
// With no session bus named, nothing the game started (a bus daemon) is left after it.
TEST(Faults, BrokenMissingAndSpecialAssetsGetTheirMessageAndOutcome)
{
    const std::string fifo = " is a FIFO, not a regular file; not read\n";
    const std::string big = " holds 67108865 bytes, more than the 64 MB allowed; not read\n";
    const std::string noMesh = "Could not open file meshes/bunny500.m\n";
    const std::string noSound = "[ERROR] could not open file\n";
    const std::string wav = "printf 'RIFF\\0\\0\\0\\0WAVEfmt \\20\\0\\0\\0\\1\\0\\1\\0";
    const struct {
        std::string file, change, expected;
        bool runsOn;
        std::string before = "";  // a shell line before the game starts: a limit, a closed stream
    } cases[] = {
        {"images/moon.bmp", "rm", "load images/moon.bmp\nFile Not Found : images/moon.bmp\n", 0},
        {"images", "rm -r", "File Not Found : images/grass.bmp\nThe game runs from its asset "
         "folder (images/, meshes/, sounds/); the installed vantreska command starts it there.\n",
         0},
        {"images/wall.bmp", "truncate -s 200", "Error reading image data from images/wall.bmp.", 0},
        {"images/wall.bmp", "truncate -s 0", "Planes from images/wall.bmp is not 1: 65279", 0},
        {"images/wall.bmp", "rm -f @ && mkfifo @",
         "File Not Found : images/wall.bmp\nimages/wall.bmp" + fifo, 0},
        // A sparse 5 GB image past the texture limit, under a memory limit it would break if read.
        {"images/wall.bmp", "printf '\\315\\223\\0\\0\\315\\223\\0\\0' | dd of=@ bs=1 seek=18 "
         "conv=notrunc 2>/dev/null && truncate -s 5G @", "load images/wall.bmp\nImage "
         "images/wall.bmp is too large for an OpenGL texture: 37837 x 37837 pixels\n", 0,
         "ulimit -v 1500000"},
        {"images", "true", "", 1, "exec >&-"},  // started with standard output closed
        {"meshes/bunny500.m", "rm", "Reading coordinates from meshes/bunny500.m\n" + noMesh, 1},
        {"meshes/bunny500.m", "printf 'Vertex 1 0 0\\nFace 3 2 3 4 {rgb=(1 0\\n\\1\\377 x' >",
         "Mesh line 1: Vertex line without an id and three coordinates; skipped\n"
         "trying to parse color 1\n", 1},
        {"meshes/bunny500.m", "ln -sf /dev/zero",
         noMesh + "meshes/bunny500.m is a character device, not a regular file; not read\n", 1},
        {"meshes/bunny500.m", "truncate -s 67108865", noMesh + "meshes/bunny500.m" + big, 1},
        {"meshes/bunny500.m", "{ printf 'Vertex 1 0 0 0\\nVertex 2 0.1 0 0\\nVertex 3 0 0.1 0\\n'; "
         "yes 'Face 1 1 2 3' | head -n 100001; } >",
         noMesh + "meshes/bunny500.m holds more than the 100000 faces allowed; not read\n", 1},
        {"sounds/gun1.wav", "rm", noSound, 1},
        {"sounds/gun1.wav", "rm -f @ && mkfifo @", noSound + "sounds/gun1.wav" + fifo, 1},
        {"sounds/gun1.wav", "truncate -s 67108865", noSound + "sounds/gun1.wav" + big, 1},
        // 12-bit PCM, which SDL does not decode; 8-bit mono at 1000 Hz, over an hour long,
        // whose length the mixer's own conversion wrapped.
        {"sounds/gun1.wav", wav + "D\\254\\0\\0\\210X\\1\\0\\2\\0\\14\\0data\\4\\0\\0\\0abcd' >",
         noSound + "sounds/gun1.wav could not be decoded: ", 1},
        {"sounds/gun1.wav", wav + "\\350\\3\\0\\0\\350\\3\\0\\0\\1\\0\\10\\0dataF\\27]\\0' > @ && "
         "truncate -s 6100850 @", noSound + "sounds/gun1.wav holds 6100.8 s of sound, more than "
         "the 10 s allowed; not read\n", 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.change + " " + c.file);
        const std::string dir = assetCopy(c.file, c.change);
        ASSERT_FALSE(dir.empty());
        std::ofstream(dir + "/run") << "#!/bin/sh\nunset DBUS_SESSION_BUS_ADDRESS\n" << c.before
                                    << "\nexec " VANTRESKA_BIN "\n";
        ASSERT_EQ(std::system(("chmod 700 " + dir + "/run").c_str()), 0);
        const std::string mark = "VANTRESKA_RUN=" + dir;  // inherited by whatever the game starts
        GameRun run = startGame({mark}, dir, dir + "/run");
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
        EXPECT_NE(std::system(("grep -qsxz " + mark + " /proc/[0-9]*/environ").c_str()), 0)
            << "a process the game started outlived it";
        std::system(("rm -rf " + dir).c_str());
    }
}

// Resident memory of a process in MB (0 once it is gone).
static long residentMB(pid_t pid)
{
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmRSS:", 0) == 0) {
            return std::atol(line.c_str() + 6) / 1024;
        }
    }
    return 0;
}

// Ctrl-C, kill and a closed terminal end the game with the status a shell shows for them: in
// the menu, in play, and within 0.3 s during start-up, here held in the mesh reader by the
// colour lines of its many faces filling a console pipe that is not read, or in the read of a
// legal 16384 x 16384 moon (768 MB of pixels). With the sound output stuck (a FIFO held open
// but never read, as a frozen sound server) Q and a signal still end it; with the game held
// writing to a full console pipe, a second signal ends it at once with its own status.
TEST(Faults, QAndEndSignalsEndTheGameWithTheirStatus)
{
    const int faces = 60000;
    const std::string slowMesh = assetCopy("meshes/bunny500.m", "{ printf 'Vertex 1 0 0 0\\nVertex "
        "2 1 0 0\\nVertex 3 0 1 0\\n'; yes 'Face 1 1 2 3 {rgb=(1 0 0) matid=1}' | head -n " +
        std::to_string(faces) + "; } >");
    const std::string bigMoon = assetCopy("images/moon.bmp", "printf '\\0\\100\\0\\0\\0\\100' | "
        "dd of=@ bs=1 seek=18 conv=notrunc 2>/dev/null && truncate -s 805306422 @");
    const std::string fifo = slowMesh + "/audio-out";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    const int held = open(fifo.c_str(), O_RDWR | O_CLOEXEC);  // open, never read
    const auto full = [&] {  // the FIFO holds all it can: the sound output waits
        int queued = 0;
        return ioctl(held, FIONREAD, &queued) == 0 && queued >= fcntl(held, F_GETPIPE_SZ);
    };
    enum When { menu, play, inMesh, inMoon, outputStuck, consoleFull };
    const struct { int signal, when, status, second; } cases[] = {  // signal 0: Q in play
        {SIGINT, menu, 130, 0}, {SIGTERM, play, 143, 0}, {SIGHUP, play, 129, 0},
        {SIGTERM, inMesh, 143, 0}, {SIGTERM, inMoon, 143, 0}, {0, outputStuck, 0, 0},
        {SIGHUP, outputStuck, 129, 0}, {SIGTERM, consoleFull, 130, SIGINT}};
    for (const auto& c : cases) {
        SCOPED_TRACE("signal " + std::to_string(c.signal) + " when " + std::to_string(c.when));
        const std::vector<std::string> stuckOutput = {"SDL_AUDIODRIVER=disk",
                                                      "SDL_DISKAUDIOFILE=" + fifo};
        GameRun run = startGame(c.when == outputStuck ? stuckOutput : std::vector<std::string>{},
                                c.when == inMesh ? slowMesh : c.when == inMoon ? bigMoon
                                                                                : VANTRESKA_DATA);
        ASSERT_TRUE(c.when == inMesh ? waitForOutput(run, "Reading coordinates", 15.0)
                    : c.when == inMoon  // the pixels' read just under way
                        ? waitForOutput(run, "load images/moon.bmp", 15.0) &&
                              waitFor(run, [&, at = residentMB(run.pid)] {
                                  return residentMB(run.pid) > at + 32; }, 30.0)
                        : waitForWindow(run, 15.0) &&
                              (c.when != outputStuck || waitFor(run, full, 15.0)))
            << run.out << run.err;
        if (c.when == play || c.signal == 0) {
            clickAt(512, 326);  // Start New Game: play holds the pointer at the centre
            ASSERT_TRUE(waitForPointerHeld(run, 10.0)) << run.err;
        }
        const int console = run.outFd;
        if (c.when == consoleFull) {
            run.outFd = -1;  // no longer read: pointer moves over the menu fill it
            std::string moves;
            for (int i = 0; i < 1000; ++i) {
                moves += " mousemove 500 300 mousemove 520 310";
            }
            const auto writing = [&] {  // the main thread waits for room in the pipe
                std::string wchan;
                std::ifstream("/proc/" + std::to_string(run.pid) + "/wchan") >> wchan;
                return wchan.find("pipe_write") != std::string::npos;
            };
            ASSERT_TRUE(waitFor(run, [&] { return writing() || (xdo(moves), false); }, 30.0));
        }
        const auto sent = std::chrono::steady_clock::now();
        c.signal == 0 ? pressKey("q") : void(kill(run.pid, c.signal));
        if (c.second != 0) {
            kill(run.pid, c.second);
        }
        EXPECT_EQ(waitForExit(run, 10.0), c.status) << run.err;
        const std::chrono::duration<double> took = std::chrono::steady_clock::now() - sent;
        if (c.when == inMesh || c.when == inMoon) {
            EXPECT_LT(took.count(), 0.3) << "start-up went on after the signal";
        }
        EXPECT_LT(countOccurrences(run.out, "set color to"), faces) << "start-up went on";
        run.outFd = console;
        stopGame(run);
    }
    close(held);
    std::system(("rm -rf " + slowMesh + " " + bigMoon).c_str());
}

// Read like `vantreska | head -1`, the game plays and quits with status 0.
TEST(Faults, AVanishedConsoleReaderDoesNotStopTheGame)
{
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

// The focus watch's own display connection cut, as a dying server or a killed client would cut
// it: the game says so and plays on, to Q.
TEST(Faults, ALostFocusWatchConnectionDoesNotEndTheGame)
{
    DisplayProxy proxy;
    GameRun run = startGame(proxy.env);
    ASSERT_TRUE(waitForWindow(run, 15.0)) << run.out << run.err;
    EXPECT_TRUE(cutConnection(proxy, 1));  // the toolkit opens the first, the watch the second
    EXPECT_TRUE(waitForOutput(run, "the keyboard focus watch lost its connection to the display; "
                                   "the game plays on without it\n", 10.0)) << run.out << run.err;
    clickAt(512, 326);  // Start New Game: play holds the pointer at the centre
    EXPECT_TRUE(waitForPointerHeld(run, 10.0)) << run.err;
    pressKey("q");
    EXPECT_EQ(waitForExit(run, 10.0), 0) << run.out << run.err;
    stopGame(run);
}
