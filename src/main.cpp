#include <GL/freeglut.h>

#include "app/signals.h"
#include "app/startup.h"

// Between passes of the clock: an end signal that came ends the game as Q would.
static void betweenPasses()
{
    endOnPendingSignal();
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
