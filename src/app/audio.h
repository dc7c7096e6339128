#pragma once

// The gun sound: started once at start-up, played on every shot and volume change.

// Starts the sound layer and opens "sounds/gun1.wav". A failure is reported on standard
// error and the game runs on silently.
void initAudio();

// Sets the master volume from sfxVolume and restarts the gun sound from its beginning.
void playGunSound();

// The longest quitGame waits for the sound system to shut down, in milliseconds.
const int audioShutdownWaitMs = 500;

// Stops and closes the gun sound and shuts the sound layer down (quitGame). A sound output
// that no longer drains (a frozen sound server) can hold that forever, so it runs on a thread
// of its own and is waited for at most audioShutdownWaitMs; false when it did not finish.
bool shutdownAudio();
