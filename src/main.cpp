#include <GL/freeglut.h>

#include "app/signals.h"
#include "app/startup.h"

int main(int argc, char** argv)
{
    keepStandardDescriptorsOpen();
    catchEndSignals();
    startUp(argc, argv);
    glutMainLoop();
    return 0;
}
