#include <GL/freeglut.h>

#include "app/signals.h"
#include "app/startup.h"
#include "input/keyboard_focus.h"

// Between passes of the clock: an end signal that came ends the game as Q would, and the
// movement keys are let go if the window has lost the keyboard focus.
static void betweenPasses()
{
    endOnPendingSignal();
    releaseKeysOnFocusLoss();
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
