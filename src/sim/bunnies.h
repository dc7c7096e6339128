#pragma once

// The bunnies' hops, pursuit and bites (bunnyTimer, every 6 ms while playing), and the
// player's death view.

// One bunny tick: starts the next hop in turn, moves every bunny, applies bites.
// Returns false (having done nothing) when playing is 0: the chain ends.
bool bunnyTick();

// Tips the camera onto its side: up vector flat to the player's left, look-at at y 0.
void deathView();

// Toolkit timer callback; value is the play entry that armed the chain (stale chains end).
void bunnyTimer(int value);

// Arms a new bunny chain for the given play entry (enterPlayMode).
void startBunnyTimer(int playEntry);
