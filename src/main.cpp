#include <GL/freeglut.h>

#include "app/signals.h"
#include "app/startup.h"

int main(int argc, char** argv)
{
    catchEndSignals();
    startUp(argc, argv);
    glutMainLoop();
    return 0;
}
