#include "app/audio.h"

#include <cstdio>

#include "app/game_state.h"
#include "app/sound_layer.h"

// Null when audio did not start or the file did not open; every call below accepts that.
static SoundStream* gunSound = nullptr;

static const int gunChannel = 1;

void initAudio()
{
    if (!soundStart(44000, 64)) {
        std::fputs("[ERROR] Could not initialise audio (fmod)\n", stderr);
        return;
    }
    gunSound = soundOpenStream("sounds/gun1.wav");
    if (gunSound == nullptr) {
        std::fputs("[ERROR] could not open file\n", stderr);
        if (soundOpenFailure()[0] != '\0') {
            std::fprintf(stderr, "%s\n", soundOpenFailure());
        }
    }
}

void playGunSound()
{
    soundSetMasterVolume(static_cast<int>(sfxVolume / 100.0 * 255.0));
    soundStopStream(gunSound);
    soundPlayStream(gunChannel, gunSound);
}

void shutdownAudio()
{
    soundStopStream(gunSound);
    soundCloseStream(gunSound);
    gunSound = nullptr;
    soundShutdown();
}
