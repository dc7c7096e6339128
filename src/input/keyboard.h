#pragma once

// Keyboard callbacks: movement flags, jump, day/night, flashlight, pause, help and quit.

// glutKeyboardFunc: key is the character code; x and y are ignored.
void keyDown(unsigned char key, int x, int y);

// glutKeyboardUpFunc: clears the movement flags in every mode; x and y are ignored.
void keyUp(unsigned char key, int x, int y);

// Clears the four movement flags, as if each key had been released.
void releaseMovementKeys();
