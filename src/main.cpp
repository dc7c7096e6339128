#include <GL/freeglut.h>

#include "app/signals.h"
#include "app/startup.h"
#include "input/keyboard_focus.h"

// Between passes of the clock: an end signal that came ends the game as Q would, and the
// game follows the keyboard focus (movement keys and the pointer).
static void betweenPasses()
{
    endOnPendingSignal();
    followKeyboardFocus();
}

int main(int argc, char** argv)
{
    keepStandardDescriptorsOpen();
    catchEndSignals();
    startUp(argc, argv, betweenPasses);
    deferEndSignals();
    glutMainLoop();
    return 0;
}
