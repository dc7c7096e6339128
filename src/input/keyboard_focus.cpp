#include "input/keyboard_focus.h"

#include "app/game_state.h"
#include "input/keyboard.h"
#include "input/mouse.h"

// Whether the window had the keyboard focus when the news was last taken in.
static bool focused = true;

// The movement keys held down when the keyboard comes back count as pressed then: their
// key-downs may have gone to the window that had it.
static void takeUpHeldMovementKeys()
{
    for (const unsigned char key : {'w', 's', 'a', 'd'}) {
        if (keyHeldNow(key)) {
            keyDown(key, 0, 0);
        }
    }
}

void followKeyboardFocus()
{
    const FocusNews news = readKeyboardFocusNews();
    if (news.left) {
        releaseMovementKeys();
    }
    if (news.hasFocus && (news.left || !focused)) {
        if (playing == 1) {
            takeUpHeldMovementKeys();
            catchPointer();
        }
    } else if (!news.hasFocus && (news.left || focused) && playing == 1) {
        letPointerGo();
    }
    focused = news.hasFocus;
}

bool windowHasKeyboardFocus()
{
    followKeyboardFocus();
    return focused;
}
