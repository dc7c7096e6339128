#pragma once

// Keyboard callbacks: movement flags, jump, day/night, flashlight, pause, help and quit.

// glutKeyboardFunc: key is the character code; x and y are ignored.
void keyDown(unsigned char key, int x, int y);

// glutKeyboardUpFunc: clears the movement flags in every mode; x and y are ignored.
void keyUp(unsigned char key, int x, int y);

// Clears the four movement flags, as if each key had been released.
void releaseMovementKeys();

// The toolkit reports only the pointer entering and leaving, so the keyboard focus of the
// game's window is watched through a display connection of its own. Call once, with the
// window's GL context current; without a connection there is no watch.
void watchKeyboardFocus();

// Lets the movement keys go if the window has lost the keyboard focus since the last call:
// their key-ups then go to the window that took it. Nothing else changes. Between passes.
void releaseKeysOnFocusLoss();
