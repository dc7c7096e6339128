#include "support/gl_env.h"

// The GL is all that draws into the window on Windows.
std::vector<unsigned char> readWindow(int width, int height)
{
    return readFrame(0, 0, width, height);
}
