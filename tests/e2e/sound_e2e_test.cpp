#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "support/e2e_driver.h"

// Screen pixels (y from the top) in the 1024x768 window.
static const int startPanel[2] = {512, 326};
static const int optionsPanel[2] = {512, 422};
static const int volumeDown[2] = {550, 311};
static const int screenCentre[2] = {512, 384};

static const char noDeviceLine[] = "[ERROR] Could not initialise audio (fmod)\n";
static const char noFileLine[] = "[ERROR] could not open file\n";

// A private copy of the asset tree, or of a file in it, that a test may change.
static std::string makeScratchDir(bool withData)
{
    char dir[] = "/tmp/vantreska-audio-XXXXXX";
    if (mkdtemp(dir) == nullptr) {
        return "";
    }
    const std::string copy = std::string("cp -r ") + VANTRESKA_DATA + "/. " + dir;
    if (withData && std::system(copy.c_str()) != 0) {
        return "";
    }
    return dir;
}

static void removeScratchDir(const std::string& dir)
{
    if (dir.rfind("/tmp/vantreska-audio-", 0) == 0) {
        std::system(("rm -rf " + dir).c_str());
    }
}

static long fileSize(const std::string& path)
{
    struct stat st;
    return stat(path.c_str(), &st) == 0 ? static_cast<long>(st.st_size) : 0;
}

// Loudest 16-bit sample of the raw output between two byte offsets (to = -1: the end).
static int peakBetween(const std::string& path, long from, long to)
{
    std::ifstream in(path, std::ios::binary);
    std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const long end = to < 0 ? static_cast<long>(bytes.size()) : std::min<long>(to, bytes.size());
    int peak = 0;
    for (long i = from & ~1L; i + 1 < end; i += 2) {
        int16_t s = 0;
        std::memcpy(&s, &bytes[static_cast<size_t>(i)], 2);
        peak = std::max(peak, std::abs(static_cast<int>(s)));
    }
    return peak;
}

// Starts a game, enters play through Start New Game, fires two shots and quits with Q.
static void playShootAndQuit(GameRun& run)
{
    ASSERT_TRUE(waitForWindow(run, 10.0)) << run.out << run.err;
    pause(run, 500);
    clickAt(startPanel[0], startPanel[1]);
    pause(run, 400);
    clickAt(screenCentre[0], screenCentre[1]);
    pause(run, 100);
    clickAt(screenCentre[0], screenCentre[1]);
    pause(run, 300);
    EXPECT_FALSE(run.ended) << run.out << run.err;
    pressKey("q");
    EXPECT_EQ(waitForExit(run, 5.0), 0) << run.out << run.err;
}

TEST(SoundE2e, NoAudioDeviceIsReportedAndTheGamePlaysSilently)
{
    GameRun run = startGame({"SDL_AUDIODRIVER=nonexistent-driver"});
    ASSERT_TRUE(waitForOutput(run, noDeviceLine, 10.0, true)) << run.err;
    playShootAndQuit(run);
    EXPECT_EQ(countOccurrences(run.err, noDeviceLine), 1) << run.err;
    EXPECT_EQ(run.err.find(noFileLine), std::string::npos) << run.err;
    stopGame(run);
}

TEST(SoundE2e, AMissingGunSoundIsReportedAndTheGamePlaysSilently)
{
    const std::string data = makeScratchDir(true);
    ASSERT_FALSE(data.empty());
    ASSERT_EQ(unlink((data + "/sounds/gun1.wav").c_str()), 0);
    GameRun run = startGame({}, data);
    ASSERT_TRUE(waitForOutput(run, noFileLine, 10.0, true)) << run.err;
    playShootAndQuit(run);
    EXPECT_EQ(run.err.find(noDeviceLine), std::string::npos) << run.err;
    stopGame(run);
    removeScratchDir(data);
}

// Output is written in real time; waits until ms more of it has reached the file.
static long settle(GameRun& run, const std::string& out, int ms)
{
    pause(run, ms);
    return fileSize(out);
}

TEST(SoundE2e, ShotsAreHeardAtTheChosenVolumeAndSilentAtZero)
{
    const std::string dir = makeScratchDir(false);
    ASSERT_FALSE(dir.empty());
    const std::string out = dir + "/out.raw";
    GameRun run = startGame({"SDL_AUDIODRIVER=disk", "SDL_DISKAUDIOFILE=" + out});
    ASSERT_TRUE(waitForWindow(run, 10.0)) << run.out << run.err;
    EXPECT_EQ(run.err.find("[ERROR]"), std::string::npos) << run.err;
    const long menuEnd = settle(run, out, 800);
    EXPECT_GT(menuEnd, 0) << "the disk driver wrote nothing";

    // A shot at the start volume, 80 %.
    clickAt(startPanel[0], startPanel[1]);
    const long beforeShot = settle(run, out, 500);
    clickAt(screenCentre[0], screenCentre[1]);
    const long afterShot = settle(run, out, 1000);
    EXPECT_LT(peakBetween(out, 0, menuEnd), 50) << "the menu is silent";
    EXPECT_GT(peakBetween(out, beforeShot, afterShot), 4000) << "the shot is heard";

    // Down to 0 % in the options: each arrow press plays a sample at the new level.
    pressKey("Escape");
    pause(run, 400);
    clickAt(optionsPanel[0], optionsPanel[1]);
    pause(run, 400);
    for (int i = 0; i < 16; ++i) {
        clickAt(volumeDown[0], volumeDown[1]);
        pause(run, 60);
    }
    const long beforeMute = settle(run, out, 1000);
    clickAt(volumeDown[0], volumeDown[1]);
    pressKey("Escape");
    pause(run, 400);
    clickAt(startPanel[0], startPanel[1]);
    pause(run, 500);
    clickAt(screenCentre[0], screenCentre[1]);
    const long afterMute = settle(run, out, 1000);
    EXPECT_GT(peakBetween(out, afterShot, beforeMute), 100) << "the arrow samples are heard";
    EXPECT_LT(peakBetween(out, beforeMute, afterMute), 50) << "shots at 0 % are silent";
    EXPECT_FALSE(run.ended) << run.out << run.err;
    pressKey("q");
    EXPECT_EQ(waitForExit(run, 5.0), 0) << run.out << run.err;
    stopGame(run);
    removeScratchDir(dir);
}
