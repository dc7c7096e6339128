#include <SDL_mixer.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
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

static const int toneRate = 44000;
static const double toneSeconds = 0.25;
static const int toneAmplitude = 16000;

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

static void put16(std::ofstream& out, int v)
{
    const char b[2] = {static_cast<char>(v & 0xff), static_cast<char>((v >> 8) & 0xff)};
    out.write(b, 2);
}

static void put32(std::ofstream& out, int v)
{
    put16(out, v & 0xffff);
    put16(out, (v >> 16) & 0xffff);
}

// A mono 16-bit WAV holding a 440 Hz tone.
static void writeToneWav(const std::string& path)
{
    const int frames = static_cast<int>(toneRate * toneSeconds);
    std::ofstream out(path, std::ios::binary);
    out.write("RIFF", 4);
    put32(out, 36 + frames * 2);
    out.write("WAVEfmt ", 8);
    put32(out, 16);
    put16(out, 1);
    put16(out, 1);
    put32(out, toneRate);
    put32(out, toneRate * 2);
    put16(out, 2);
    put16(out, 16);
    out.write("data", 4);
    put32(out, frames * 2);
    for (int i = 0; i < frames; ++i) {
        put16(out, static_cast<int>(toneAmplitude * std::sin(2.0 * M_PI * 440.0 * i / toneRate)));
    }
}

// A game directory with sounds/gun1.wav; tone false leaves the sounds folder out.
static std::string makeGameDir(bool tone)
{
    const std::string dir = makeTempDir();
    if (tone) {
        mkdir((dir + "/sounds").c_str(), 0755);
        writeToneWav(dir + "/sounds/gun1.wav");
    }
    return dir;
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

// Starts the game's audio on the disk driver in dir, fires shots at the given volume and
// returns the peak of everything written after the first shot; -1 when audio failed.
static int shotPeak(const std::string& dir, int volume, int shots)
{
    const std::string outFile = dir + "/out-" + std::to_string(volume) + "-" +
                                std::to_string(shots) + ".raw";
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
    // Everything the shot can reach is written after this point.
    const long before = fileSize(outFile);
    sfxVolume = volume;
    for (int i = 0; i < shots; ++i) {
        playGunSound();
    }
    const long needed = static_cast<long>((toneSeconds + 0.3) * rate * outChannels * 2);
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
    const std::string dir = makeGameDir(true);
    check(chdir(dir.c_str()) == 0, "chdir");
    const int at80 = shotPeak(dir, 80, 1);
    const int at0 = shotPeak(dir, 0, 1);
    const int at50 = shotPeak(dir, 50, 1);
    const int at100 = shotPeak(dir, 100, 1);
    const int twiceAt100 = shotPeak(dir, 100, 2);
    const std::string peaks = " (peaks 80%: " + std::to_string(at80) + ", 0%: " +
                              std::to_string(at0) + ", 50%: " + std::to_string(at50) +
                              ", 100%: " + std::to_string(at100) +
                              ", two shots: " + std::to_string(twiceAt100) + ")";
    check(at80 > toneAmplitude / 2, "a shot at 80% is not heard" + peaks);
    check(at0 >= 0 && at0 <= 8, "a shot at 0% is heard" + peaks);
    check(at100 > at50 * 3 / 2, "100% is not louder than 50%" + peaks);
    check(at100 <= toneAmplitude * 11 / 10, "100% is louder than the file itself" + peaks);
    // A second shot restarts the sound instead of layering a second copy over it.
    check(twiceAt100 <= at100 * 11 / 10, "two quick shots overlap" + peaks);
    finish();
}

TEST(SoundDeathTest, ShotLoudnessFollowsTheVolume)
{
    EXPECT_EXIT(shotLoudnessScenario(), ::testing::ExitedWithCode(0), "");
}

static void noDeviceScenario()
{
    setenv("SDL_AUDIODRIVER", "nonexistent-driver", 1);
    check(chdir(makeGameDir(true).c_str()) == 0, "chdir");
    const std::string err = captureStderr(initAudio);
    check(err == "[ERROR] Could not initialise audio (fmod)\n", "printed: " + err);
    const std::string later = captureStderr([] {
        for (const int volume : {0, 80, 100}) {
            sfxVolume = volume;
            playGunSound();
        }
        shutdownAudio();
        playGunSound();
        shutdownAudio();
    });
    check(later.empty(), "later calls printed: " + later);
    finish();
}

TEST(SoundDeathTest, NoAudioDeviceIsReportedAndLaterCallsAreHarmless)
{
    EXPECT_EXIT(noDeviceScenario(), ::testing::ExitedWithCode(0), "");
}

// initAudio in dir must print exactly the open failure; shots and shut-down stay quiet.
static void expectOpenFailure(const std::string& dir, const std::string& what)
{
    check(chdir(dir.c_str()) == 0, "chdir");
    const std::string err = captureStderr(initAudio);
    check(err == "[ERROR] could not open file\n", what + " printed: " + err);
    const std::string later = captureStderr([] {
        playGunSound();
        playGunSound();
        shutdownAudio();
    });
    check(later.empty(), what + ": later calls printed: " + later);
}

static void badWavScenario()
{
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    expectOpenFailure(makeGameDir(false), "missing file");

    const std::string broken = makeGameDir(true);
    std::ofstream(broken + "/sounds/gun1.wav", std::ios::binary) << "RIFF\x10\0\0\0WAVEjunk";
    expectOpenFailure(broken, "broken file");

    // A good file after the failures: the layer starts again and opens it.
    check(chdir(makeGameDir(true).c_str()) == 0, "chdir");
    const std::string err = captureStderr(initAudio);
    check(err.empty(), "good file printed: " + err);
    shutdownAudio();
    finish();
}

TEST(SoundDeathTest, MissingOrBrokenWavIsReportedAndTheGameRunsOn)
{
    EXPECT_EXIT(badWavScenario(), ::testing::ExitedWithCode(0), "");
}

static void neverStartedScenario()
{
    const std::string dir = makeGameDir(true);
    const std::string wav = dir + "/sounds/gun1.wav";
    check(soundOpenStream(wav.c_str()) == nullptr, "a stream opened before the start");
    soundSetMasterVolume(300);
    soundStopStream(nullptr);
    soundPlayStream(1, nullptr);
    soundCloseStream(nullptr);
    soundShutdown();

    setenv("SDL_AUDIODRIVER", "dummy", 1);
    check(soundStart(44000, 64) == 1, "the dummy driver did not start");
    check(soundOpenStream(nullptr) == nullptr, "a stream without a path");
    SoundStream* stream = soundOpenStream(wav.c_str());
    check(stream != nullptr, "the tone did not open");
    soundPlayStream(-1, stream);
    soundPlayStream(64, stream);
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
    EXPECT_EXIT(neverStartedScenario(), ::testing::ExitedWithCode(0), "");
}
