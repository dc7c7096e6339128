#include <GL/freeglut.h>

#include "app/console.h"
#include "app/signals.h"
#include "app/startup.h"
#include "input/keyboard_focus.h"

// Between passes of the clock: an end signal that came ends the game as Q would, the game
// follows the keyboard focus (movement keys and the pointer), and the console lines printed
// meanwhile go out.
static void betweenPasses()
{
    endOnPendingSignal();
    followKeyboardFocus();
    flushConsoleOutput();
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
