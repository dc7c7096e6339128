#include <GL/freeglut.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <fstream>
#include <string>

#include "app/audio.h"
#include "app/game_state.h"
#include "input/mouse.h"
#include "support/e2e_driver.h"
#include "support/gl_env.h"

// SDL's audio state is per process: the scenario runs in a child that exits 1 on a failure.
static void require(bool ok, const std::string& what)
{
    if (!ok) {
        std::fputs((what + "\n").c_str(), stderr);
        std::exit(1);
    }
}

// Loudest sample written to the disk output in the 1.5 s after fire() ran.
template <typename Fn> static int peakAfter(const std::string& out, Fn fire)
{
    const long before = std::ifstream(out, std::ios::ate).tellg();
    fire();
    for (int i = 0; std::ifstream(out, std::ios::ate).tellg() < before + 264000 && i < 4000; ++i) {
        usleep(5000);
    }
    return loudestSample(out, before);
}

static void soundScenario()
{
    // ALSA told of a card no machine has: our one line reaches standard error, not ALSA's
    // complaints, and every later call stays quiet and harmless.
    const std::string conf = "/tmp/vantreska-alsa-" + std::to_string(getpid()) + ".conf";
    std::ofstream(conf) << "pcm.!default { type hw card { @func card_inum card NoSuchCard } }\n";
    setenv("ALSA_CONFIG_PATH", conf.c_str(), 1);
    setenv("SDL_AUDIODRIVER", "alsa", 1);
    testing::internal::CaptureStderr();
    initAudio();
    playGunSound();
    shutdownAudio();
    playGunSound();
    require(testing::internal::GetCapturedStderr() == "[ERROR] Could not initialise audio (fmod)\n",
            "no device: not exactly our one line");
    unlink(conf.c_str());

    const std::string out = "/tmp/vantreska-sound-" + std::to_string(getpid()) + ".raw";
    setenv("SDL_AUDIODRIVER", "disk", 1);
    setenv("SDL_DISKAUDIOFILE", out.c_str(), 1);
    setenv("SDL_DISKAUDIODELAY", "2", 1);  // faster than real time
    require(chdir(VANTRESKA_DATA) == 0, "chdir to the game data");
    initAudio();
    int level[101] = {};
    for (const int volume : {80, 0, 50, 100}) {
        sfxVolume = volume;
        level[volume] = peakAfter(out, playGunSound);
    }
    // A living player's click in play fires the shot at 80 %; a dead player's does not.
    loadGameAssetsOnce();
    playing = 1;
    sfxVolume = 80;
    int shot[2] = {};
    for (const int alive : {1, 0}) {
        health = static_cast<float>(alive);
        shot[alive] = peakAfter(out, [] { mouseButton(GLUT_LEFT_BUTTON, GLUT_DOWN, 512, 384); });
    }
    shutdownAudio();
    unlink(out.c_str());
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
