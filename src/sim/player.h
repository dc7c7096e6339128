#pragma once

// Walking (walkTimer, every 20 ms while playing) and the eye's rise and fall (gravityTimer,
// every 8 ms for the whole run).

// One walk step from the held movement keys, kept inside the walls and out of the trees.
// Returns false when the chain ends: health exactly 0 (no step), or playing is 0 (after it).
bool walkTick();

// One vertical step of the eye: jump, fall, landing, or the dead player's fall to 0.1.
// Always returns true: the gravity chain runs for the whole life of the process.
bool gravityTick();

// Toolkit timer callbacks. walkTimer's value is the play entry that armed its chain; a
// chain from an earlier entry ends at its next tick.
void walkTimer(int value);
void gravityTimer(int value);

// Arms a new walk chain for the given play entry (enterPlayMode), and the gravity chain
// (start-up, once).
void startWalkTimer(int playEntry);
void startGravityTimer();
