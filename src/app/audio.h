#pragma once

// The gun sound: started once at start-up, played on every shot and volume change.

// Starts the sound layer and opens "sounds/gun1.wav". A failure is reported on standard
// error and the game runs on silently.
void initAudio();

// Sets the master volume from sfxVolume and restarts the gun sound from its beginning.
void playGunSound();

// Stops and closes the gun sound and shuts the sound layer down (quitGame).
void shutdownAudio();
