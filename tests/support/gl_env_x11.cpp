#include <GL/glx.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include "support/gl_env.h"

std::vector<unsigned char> readWindow(int width, int height)
{
    glFinish();
    // The image comes back after every request sent before it, the frame's included.
    XImage* image = XGetImage(glXGetCurrentDisplay(), glXGetCurrentDrawable(), 0, 0, width, height,
                              AllPlanes, ZPixmap);
    std::vector<unsigned char> pixels(static_cast<size_t>(width) * height * 3);
    for (int y = 0; image != nullptr && y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const unsigned long pixel = XGetPixel(image, x, height - 1 - y);
            unsigned char* rgb = &pixels[(static_cast<size_t>(y) * width + x) * 3];
            rgb[0] = static_cast<unsigned char>(pixel >> 16);
            rgb[1] = static_cast<unsigned char>(pixel >> 8);
            rgb[2] = static_cast<unsigned char>(pixel);
        }
    }
    if (image != nullptr) {
        XDestroyImage(image);
    }
    return pixels;
}
