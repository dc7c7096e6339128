#include "input/keyboard_focus.h"

#include <GL/glx.h>
#include <X11/Xlib.h>

#include "input/keyboard.h"

// The connection that hears the game window's focus events; null without a watch.
static Display* focusDisplay = nullptr;

void watchKeyboardFocus()
{
    Display* toolkitDisplay = glXGetCurrentDisplay();
    const GLXDrawable window = glXGetCurrentDrawable();
    if (toolkitDisplay == nullptr || window == 0 || focusDisplay != nullptr) {
        return;
    }
    // A second connection: its event mask is its own, so the toolkit's events are untouched.
    focusDisplay = XOpenDisplay(DisplayString(toolkitDisplay));
    if (focusDisplay != nullptr) {
        XSelectInput(focusDisplay, window, FocusChangeMask);
        XFlush(focusDisplay);
    }
}

void releaseKeysOnFocusLoss()
{
    bool lost = false;
    while (focusDisplay != nullptr && XPending(focusDisplay) > 0) {
        XEvent event;
        XNextEvent(focusDisplay, &event);
        // Also a grab (a window manager's switcher) and a pointer that took the focus along.
        lost = lost || (event.type == FocusOut && event.xfocus.detail != NotifyInferior);
    }
    if (lost) {
        releaseMovementKeys();
    }
}
