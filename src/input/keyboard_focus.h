#pragma once

// The keyboard focus of the game's window. The toolkit does not report it, so each platform
// watches it its own way (keyboard_focus_<platform>.cpp); keyboard_focus.cpp acts on what the
// watch saw, and the rest of the game asks only here.

// --- keyboard_focus_<platform>.cpp ---

// Starts the watch. Call once, with the window's GL context current. Without a way to watch
// there is no watch, and the window counts as always having the keyboard focus.
void watchKeyboardFocus();

// What the watch saw since the last call.
struct FocusNews {
    bool left;      // the keyboard left the window at some point: the focus went to another
                    // window, the pointer took it out where it follows the pointer, or the
                    // window was unmapped
    bool hasFocus;  // the window has the keyboard focus now
};
FocusNews readKeyboardFocusNews();

// Whether the key that types this character is held down now, as the keyboard reports it
// rather than as key events told.
bool keyHeldNow(unsigned char key);

// --- keyboard_focus.cpp ---

// Takes in the watch's news. When the keyboard left, the movement keys are let go (their
// key-ups went elsewhere) and play lets the pointer go; when it came back, the movement keys
// held down at that moment are taken up again and play catches the pointer. Between passes,
// and before play acts on a pointer move.
void followKeyboardFocus();

// Whether the window has the keyboard focus, the watch's latest news taken in first.
bool windowHasKeyboardFocus();
