#pragma once

// The keyboard focus of the game's window. The toolkit does not report it, so each platform
// watches it its own way (keyboard_focus_<platform>.cpp); the rest of the game asks only here.

// Starts the watch. Call once, with the window's GL context current; without a way to watch
// there is no watch, and the keys are never let go for a focus change.
void watchKeyboardFocus();

// Lets the movement keys go if the window has lost the keyboard focus since the last call:
// their key-ups then go to the window that took it. Nothing else changes. Between passes.
void releaseKeysOnFocusLoss();
