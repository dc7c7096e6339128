#include "app/audio.h"

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <memory>
#include <mutex>
#include <thread>

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

// Whether the shut-down thread finished; shared with it, as it may outlive the wait.
struct ShutdownDone {
    std::mutex lock;
    std::condition_variable finished;
    bool done = false;
};

bool shutdownAudio()
{
    const auto state = std::make_shared<ShutdownDone>();
    SoundStream* const stream = gunSound;
    gunSound = nullptr;
    std::thread([state, stream] {
        soundStopStream(stream);
        soundCloseStream(stream);
        soundShutdown();
        const std::lock_guard<std::mutex> hold(state->lock);
        state->done = true;
        state->finished.notify_one();
    }).detach();
    std::unique_lock<std::mutex> hold(state->lock);
    return state->finished.wait_for(hold, std::chrono::milliseconds(audioShutdownWaitMs),
                                    [&] { return state->done; });
}
