#pragma once

// A small sound layer over SDL2_mixer: the seven operations the game needs of a sound
// library. Every operation is harmless with a null stream or when the layer never started.

struct SoundStream;

// Starts audio output at the given mix rate with the given number of mixing channels.
// Returns 1 when ready, 0 when no audio device could be opened.
int soundStart(int mixRate, int channels);

// Opens a WAV file as a playable stream; null on failure (or when the layer is not started).
// Anything but a regular file of at most 64 MB holding a WAV of at most 10 s that SDL can
// decode is refused (see assets/wav.h).
SoundStream* soundOpenStream(const char* path);

// Why the last soundOpenStream could not read or decode its file: one line without its end,
// empty when the file was read (or simply does not exist).
const char* soundOpenFailure();

// Master volume for sounds started afterwards, 0..255 (mapped onto the mixer's 0..128).
void soundSetMasterVolume(int volume);

// Stops a playing stream; the next play starts it from its beginning.
void soundStopStream(SoundStream* stream);

// Plays a stream on the given channel from its beginning.
void soundPlayStream(int channel, SoundStream* stream);

// Releases a stream.
void soundCloseStream(SoundStream* stream);

// Shuts audio output down.
void soundShutdown();
