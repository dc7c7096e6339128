#include <GL/freeglut.h>
#include <SDL.h>
#include <SDL_mixer.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <filesystem>
#include <fstream>
#include <string>

#include "app/audio.h"
#include "app/game_state.h"
#include "input/mouse.h"
#include "support/gl_env.h"
#include "support/sound_peak.h"

// SDL's audio state is per process: the scenario runs in a child that exits 1 on a failure.
static void require(bool ok, const std::string& what)
{
    if (!ok) {
        std::fputs((what + "\n").c_str(), stderr);
        std::exit(1);
    }
}

// What the mixer puts out, seen as it goes to the device: the loudest 16-bit sample and the
// bytes since round mixedRound began.
static std::atomic<int> wantedRound{0}, mixedRound{0}, mixedPeak{0};
static std::atomic<long> mixedBytes{0};

static void watchMix(void*, Uint8* stream, int length)
{
    if (mixedRound != wantedRound) {
        mixedPeak = 0;
        mixedBytes = 0;
        mixedRound = wantedRound.load();
    }
    const Sint16* samples = reinterpret_cast<const Sint16*>(stream);
    int peak = mixedPeak;
    for (int i = 0; i < length / 2; ++i) {
        peak = std::max(peak, std::abs(static_cast<int>(samples[i])));
    }
    mixedPeak = peak;
    mixedBytes += length;
}

// Loudest sample of the mixer's output in the 0.5 s after fire() ran (the shot lasts 0.32 s).
template <typename Fn> static int peakAfter(Fn fire)
{
    Mix_SetPostMix(watchMix, nullptr);
    const int round = ++wantedRound;
    fire();
    for (int i = 0; (mixedRound != round || mixedBytes < 88000) && i < 4000; ++i) {
        SDL_Delay(5);
    }
    return mixedPeak;
}

static void soundScenario()
{
    // ALSA told of a card no machine has (on Windows, no such driver at all): our one line
    // reaches standard error, not ALSA's complaints, and every later call stays quiet and
    // harmless. SDL_setenv sets what SDL reads on every platform.
    const std::string temp = std::filesystem::temp_directory_path().string() + "/vantreska-";
    const std::string conf = temp + "alsa-" + std::to_string(getpid()) + ".conf";
    std::ofstream(conf) << "pcm.!default { type hw card { @func card_inum card NoSuchCard } }\n";
    SDL_setenv("ALSA_CONFIG_PATH", conf.c_str(), 1);
    SDL_setenv("SDL_AUDIODRIVER", "alsa", 1);
    testing::internal::CaptureStderr();
    initAudio();
    playGunSound();
    shutdownAudio();
    playGunSound();
    require(testing::internal::GetCapturedStderr() == "[ERROR] Could not initialise audio (fmod)\n",
            "no device: not exactly our one line");
    std::remove(conf.c_str());

    SDL_setenv("SDL_AUDIODRIVER", "dummy", 1);
    std::filesystem::current_path(VANTRESKA_DATA);
    initAudio();
    int level[101] = {};
    for (const int volume : {80, 0, 50, 100}) {
        sfxVolume = volume;
        level[volume] = peakAfter(playGunSound);
    }
    // A living player's click in play fires the shot at 80 %; a dead player's does not.
    loadGameAssetsOnce();
    playing = 1;
    sfxVolume = 80;
    int shot[2] = {};
    for (const int alive : {1, 0}) {
        health = static_cast<float>(alive);
        shot[alive] = peakAfter([] { mouseButton(GLUT_LEFT_BUTTON, GLUT_DOWN, 512, 384); });
    }
    shutdownAudio();
    // The level follows the volume in proportion, 100 % giving the shot's own loudest sample.
    const int full = loudestSample("sounds/gun1.wav", 44);
    for (const int volume : {100, 80, 50}) {
        require(std::abs(level[volume] - full * volume / 100) < full / 20,
                std::to_string(volume) + " %: " + std::to_string(level[volume]) + " of " +
                    std::to_string(full));
    }
    require(std::abs(shot[1] - level[80]) < full / 20, "a shot in play is not at 80 %");
    require(level[0] <= 8 && shot[0] <= 8, "0 % or a dead player's click is heard");
    std::exit(0);
}

TEST(SoundDeathTest, FailuresAreReportedAndShotsFollowTheVolume)
{
    EXPECT_EXIT(soundScenario(), ::testing::ExitedWithCode(0), "");
}
