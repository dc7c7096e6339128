#include <SDL_mixer.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "app/audio.h"
#include "app/game_state.h"
#include "app/sound_layer.h"

// SDL's audio state belongs to the process, so every case runs in a child of its own
// (EXPECT_EXIT) that prints what went wrong and exits 0 only when all its checks held.

static std::string failures;
static std::vector<std::string> tempDirs;

static void check(bool ok, const std::string& what)
{
    if (!ok) {
        failures += what + "\n";
    }
}

[[noreturn]] static void finish()
{
    for (const std::string& dir : tempDirs) {
        std::error_code ignored;
        std::filesystem::remove_all(dir, ignored);
    }
    std::fputs(failures.c_str(), stderr);
    std::fflush(stderr);
    std::exit(failures.empty() ? 0 : 1);
}

static std::string makeTempDir()
{
    char pattern[] = "/tmp/vantreska-sound-XXXXXX";
    const char* dir = mkdtemp(pattern);
    if (dir == nullptr) {
        check(false, "no temporary directory");
        finish();
    }
    tempDirs.emplace_back(dir);
    return dir;
}

// The committed gun shot, opened as the game opens it: relative to the working directory.
static void enterGameData()
{
    check(chdir(VANTRESKA_DATA) == 0, "chdir to the game data");
}

static long fileSize(const std::string& path)
{
    struct stat st;
    return stat(path.c_str(), &st) == 0 ? static_cast<long>(st.st_size) : 0;
}

// Runs fn with standard error sent to a file and returns what it wrote.
template <typename Fn> static std::string captureStderr(Fn fn)
{
    std::fflush(stderr);
    char path[] = "/tmp/vantreska-stderr-XXXXXX";
    const int fd = mkstemp(path);
    const int saved = dup(2);
    dup2(fd, 2);
    fn();
    std::fflush(stderr);
    dup2(saved, 2);
    close(saved);
    close(fd);
    std::ifstream in(path, std::ios::binary);
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    unlink(path);
    return text;
}

// Audio goes to a raw file; a short delay per buffer lets it run faster than real time.
static void useDiskAudio(const std::string& outFile)
{
    setenv("SDL_AUDIODRIVER", "disk", 1);
    setenv("SDL_DISKAUDIOFILE", outFile.c_str(), 1);
    setenv("SDL_DISKAUDIODELAY", "2", 1);
}

// Loudest sample of the raw 16-bit output from byte offset from on.
static int peakOf(const std::string& path, long from)
{
    std::ifstream in(path, std::ios::binary);
    in.seekg(from);
    std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    int peak = 0;
    for (size_t i = 0; i + 1 < bytes.size(); i += 2) {
        int16_t s = 0;
        std::memcpy(&s, &bytes[i], 2);
        peak = std::max(peak, std::abs(static_cast<int>(s)));
    }
    return peak;
}

// Starts the game's audio on the disk driver, fires shots at the given volume and returns
// the peak of everything written after the first shot; -1 when audio failed.
static int shotPeak(const std::string& outDir, int volume, int shots)
{
    const std::string outFile =
        outDir + "/" + std::to_string(volume) + "-" + std::to_string(shots) + ".raw";
    useDiskAudio(outFile);
    // The disk driver announces itself on standard error; only our own lines count.
    const std::string err = captureStderr(initAudio);
    check(err.find("[ERROR]") == std::string::npos, "audio start printed: " + err);
    int rate = 0;
    Uint16 format = 0;
    int outChannels = 0;
    if (Mix_QuerySpec(&rate, &format, &outChannels) == 0 || format != AUDIO_S16SYS) {
        check(false, "output is not 16-bit");
        shutdownAudio();
        return -1;
    }
    const long before = fileSize(outFile);
    sfxVolume = volume;
    for (int i = 0; i < shots; ++i) {
        playGunSound();
    }
    // The shot lasts a third of a second; a full second of output holds all of it.
    const long needed = static_cast<long>(rate) * outChannels * 2;
    const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (fileSize(outFile) < before + needed && std::chrono::steady_clock::now() < giveUp) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    shutdownAudio();
    check(fileSize(outFile) >= before + needed, "the disk output stopped growing");
    return peakOf(outFile, before);
}

static void shotLoudnessScenario()
{
    const std::string outDir = makeTempDir();
    enterGameData();
    const int at80 = shotPeak(outDir, 80, 1);
    const int at0 = shotPeak(outDir, 0, 1);
    const int at50 = shotPeak(outDir, 50, 1);
    const int at100 = shotPeak(outDir, 100, 1);
    const int twiceAt100 = shotPeak(outDir, 100, 2);
    const std::string peaks = " (peaks 80%: " + std::to_string(at80) +
                              ", 0%: " + std::to_string(at0) + ", 50%: " + std::to_string(at50) +
                              ", 100%: " + std::to_string(at100) +
                              ", two shots: " + std::to_string(twiceAt100) + ")";
    check(at80 > 4000, "a shot at 80% is not heard" + peaks);
    check(at0 >= 0 && at0 <= 8, "a shot at 0% is heard" + peaks);
    check(at100 > at50 * 3 / 2, "100% is not louder than 50%" + peaks);
    // A second shot restarts the sound instead of layering a second copy over it.
    check(twiceAt100 <= at100 * 11 / 10, "two quick shots overlap" + peaks);
    finish();
}

TEST(SoundDeathTest, ShotLoudnessFollowsTheVolume)
{
    EXPECT_EXIT(shotLoudnessScenario(), ::testing::ExitedWithCode(0), "");
}

// initAudio must print exactly line; shots and shut-downs after it stay quiet.
static void expectFailure(const std::string& line, const std::string& what)
{
    const std::string err = captureStderr(initAudio);
    check(err == line, what + " printed: " + err);
    const std::string later = captureStderr([] {
        for (const int volume : {0, 80, 100}) {
            sfxVolume = volume;
            playGunSound();
        }
        shutdownAudio();
        playGunSound();
        shutdownAudio();
    });
    check(later.empty(), what + ": later calls printed: " + later);
}

static void failuresScenario()
{
    setenv("SDL_AUDIODRIVER", "nonexistent-driver", 1);
    enterGameData();
    expectFailure("[ERROR] Could not initialise audio (fmod)\n", "no device");

    setenv("SDL_AUDIODRIVER", "dummy", 1);
    const std::string missing = makeTempDir();
    check(chdir(missing.c_str()) == 0, "chdir");
    expectFailure("[ERROR] could not open file\n", "missing file");

    mkdir("sounds", 0755);
    std::ofstream("sounds/gun1.wav", std::ios::binary) << "RIFF\x10\0\0\0WAVEjunk";
    expectFailure("[ERROR] could not open file\n", "broken file");

    // The good file after the failures: the layer starts again and opens it.
    enterGameData();
    const std::string err = captureStderr(initAudio);
    check(err.empty(), "good file printed: " + err);
    shutdownAudio();
    finish();
}

TEST(SoundDeathTest, FailuresAreReportedAndLaterCallsAreHarmless)
{
    EXPECT_EXIT(failuresScenario(), ::testing::ExitedWithCode(0), "");
}

static void layerScenario()
{
    const char* wav = VANTRESKA_DATA "/sounds/gun1.wav";
    check(soundOpenStream(wav) == nullptr, "a stream opened before the start");
    soundStopStream(nullptr);
    soundPlayStream(1, nullptr);
    soundCloseStream(nullptr);
    soundShutdown();

    setenv("SDL_AUDIODRIVER", "dummy", 1);
    check(soundStart(44000, 64) == 1, "the dummy driver did not start");
    SoundStream* stream = soundOpenStream(wav);
    check(stream != nullptr, "the gun shot did not open");
    soundPlayStream(64, stream); // no such channel
    soundPlayStream(1, stream);
    check(Mix_Playing(1) == 1, "not playing on channel 1");
    soundStopStream(stream);
    check(Mix_Playing(1) == 0, "still playing after the stop");
    soundCloseStream(stream);
    soundShutdown();
    soundShutdown();
    finish();
}

TEST(SoundDeathTest, LayerToleratesNullStreamsAndANeverStartedMixer)
{
    EXPECT_EXIT(layerScenario(), ::testing::ExitedWithCode(0), "");
}
