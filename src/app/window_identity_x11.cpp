#include "app/window_identity.h"

#include <GL/glx.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <vector>

void nameGameWindow()
{
    Display* display = glXGetCurrentDisplay();
    const Window window = glXGetCurrentDrawable();
    if (display == nullptr || window == 0) {
        return;
    }
    char instance[] = "vantreska";
    char className[] = "Vantreska";
    XClassHint classHint = {instance, className};
    XSetClassHint(display, window, &classHint);
    XStoreName(display, window, "Vantreska");
    const unsigned char title[] = "Vantreska";
    XChangeProperty(display, window, XInternAtom(display, "_NET_WM_NAME", False),
                    XInternAtom(display, "UTF8_STRING", False), 8, PropModeReplace, title,
                    sizeof title - 1);
    // Xlib takes a 32-bit property as an array of longs.
    size_t count = 0;
    const uint32_t* icon = windowIconData(count);
    const std::vector<long> values(icon, icon + count);
    XChangeProperty(display, window, XInternAtom(display, "_NET_WM_ICON", False), XA_CARDINAL,
                    32, PropModeReplace, reinterpret_cast<const unsigned char*>(values.data()),
                    static_cast<int>(count));
    XFlush(display);
}
