#include "app/sound_layer.h"

#include <SDL.h>
#include <SDL_mixer.h>

#include <string>
#include <vector>

#include "app/console.h"
#include "app/session_bus.h"
#include "assets/wav.h"

// A loaded sound, its samples in the output's format (the chunk points into them) and the
// channel it was last started on (-1 before its first play).
struct SoundStream {
    Mix_Chunk* chunk;
    int channel;
    std::vector<int16_t> samples;
};

static bool started = false;
static int masterVolume = MIX_MAX_VOLUME;  // mixer scale, 0..128
static std::string openFailure;            // why the last open could not read its file

// Opens the audio device; false when there is none.
static bool openDevice(int mixRate)
{
    keepSessionBusFromAutolaunching();
    // The game handles Ctrl-C and kill itself; SDL's handlers would only queue a quit event.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
        return false;
    }
    // Stereo 16-bit output; a small chunk keeps the shot close to the click.
    if (Mix_OpenAudio(mixRate, MIX_DEFAULT_FORMAT, 2, 1024) != 0) {
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return false;
    }
    return true;
}

int soundStart(int mixRate, int channels)
{
    if (started) {
        return 1;
    }
    // The audio back ends print their own complaints while they look for a device (ALSA
    // eight lines with no sound card); the game's one message says what matters.
    const int savedError = muteStandardError();
    const bool opened = openDevice(mixRate);
    restoreStandardError(savedError);
    if (!opened) {
        return 0;
    }
    Mix_AllocateChannels(channels);
    started = true;
    return 1;
}

SoundStream* soundOpenStream(const char* path)
{
    openFailure.clear();
    if (!started || path == nullptr) {
        return nullptr;
    }
    int rate = 0;
    Uint16 format = 0;
    int channels = 0;
    if (Mix_QuerySpec(&rate, &format, &channels) == 0 || format != AUDIO_S16SYS) {
        return nullptr;
    }
    // Decoded and converted here, bounded in length, so the mixer gets samples it plays as
    // they are (its own loader's conversion counts their length in 32 bits).
    SoundStream* stream = new SoundStream{nullptr, -1, {}};
    if (!decodeWav(path, rate, channels, stream->samples, openFailure)) {
        delete stream;
        return nullptr;
    }
    stream->chunk = Mix_QuickLoad_RAW(reinterpret_cast<Uint8*>(stream->samples.data()),
                                      static_cast<Uint32>(stream->samples.size() * 2));
    if (stream->chunk == nullptr) {
        openFailure = std::string(path) + " could not be handed to the mixer: " + Mix_GetError();
        delete stream;
        return nullptr;
    }
    return stream;
}

const char* soundOpenFailure()
{
    return openFailure.c_str();
}

void soundSetMasterVolume(int volume)
{
    if (volume < 0) {
        volume = 0;
    } else if (volume > 255) {
        volume = 255;
    }
    masterVolume = volume * MIX_MAX_VOLUME / 255;
}

// True when the stream's chunk still owns the channel it was started on.
static bool ownsChannel(const SoundStream* stream)
{
    return stream->channel >= 0 && Mix_GetChunk(stream->channel) == stream->chunk;
}

void soundStopStream(SoundStream* stream)
{
    if (!started || stream == nullptr) {
        return;
    }
    if (ownsChannel(stream)) {
        Mix_HaltChannel(stream->channel);
    }
}

void soundPlayStream(int channel, SoundStream* stream)
{
    if (!started || stream == nullptr || channel < 0 || channel >= Mix_AllocateChannels(-1)) {
        return;
    }
    // The volume belongs to the channel, so a sound already playing elsewhere keeps its level.
    Mix_Volume(channel, masterVolume);
    if (Mix_PlayChannel(channel, stream->chunk, 0) >= 0) {
        stream->channel = channel;
    }
}

void soundCloseStream(SoundStream* stream)
{
    if (stream == nullptr) {
        return;
    }
    if (started && ownsChannel(stream)) {
        Mix_HaltChannel(stream->channel);
    }
    Mix_FreeChunk(stream->chunk);  // leaves the samples, which the stream owns
    delete stream;
}

void soundShutdown()
{
    if (!started) {
        return;
    }
    Mix_CloseAudio();
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    started = false;
}
