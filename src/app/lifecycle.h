#pragma once

// The game's life from the outside: a new game, menu and play modes (pause and resume),
// the one-second clock, and quitting.

// Resets the game state and lays out a new random field (81 rand() calls). Keeps the
// options and the mode; the caller enters play mode next.
void newGame();

// Menu mode on the main menu: menu light on, sun and flashlight off, crosshair cursor.
void enterMenuMode();

// Play mode: lights by their flags, the pointer caught (hidden and centred) while the window
// has the keyboard focus, new walk and bunny chains.
void enterPlayMode();

// One clock tick: a second more while playing with health above 0. Always returns true.
bool clockTick();

// Toolkit timer callback, every 1000 ms for the whole run.
void clockTimer(int value);

// Arms the clock chain (start-up, once).
void startClockTimer();

// Shuts the audio down, waiting at most audioShutdownWaitMs for it, and ends the process with
// the given status. Does not return.
[[noreturn]] void quitGame(int code);
