#include "input/keyboard_focus.h"

#include <GL/glx.h>
#include <X11/Xlib.h>
#include <xcb/xcb.h>

#include <cstdio>
#include <cstdlib>

// The watch's own connection to the display, null without a watch. Its event mask is its own,
// so the toolkit's events are untouched; and being XCB, its loss is reported here instead of
// ending the process as Xlib's does.
static xcb_connection_t* watch = nullptr;
static xcb_window_t gameWindow = 0;
static xcb_window_t rootWindow = 0;
static bool hasFocus = true;

// The window the keyboard focus is on: a window, XCB_INPUT_FOCUS_POINTER_ROOT or none (0).
static xcb_window_t focusWindow()
{
    xcb_get_input_focus_reply_t* reply =
        xcb_get_input_focus_reply(watch, xcb_get_input_focus(watch), nullptr);
    const xcb_window_t focus = reply != nullptr ? reply->focus : XCB_NONE;
    std::free(reply);
    return focus;
}

// Whether the keyboard goes to whichever window holds the pointer: no window manager gives the
// focus to a window, so crossing the window's edge gives or takes it without a focus event.
static bool focusFollowsPointer()
{
    const xcb_window_t focus = focusWindow();
    return focus == XCB_INPUT_FOCUS_POINTER_ROOT || focus == rootWindow;
}

// Whether the window has the keyboard now: given the focus, or holding the pointer where the
// keyboard follows it.
static bool focusedNow()
{
    const xcb_window_t focus = focusWindow();
    if (focus == gameWindow) {
        return true;
    }
    if (focus != XCB_INPUT_FOCUS_POINTER_ROOT && focus != rootWindow) {
        return false;
    }
    xcb_query_pointer_reply_t* pointer =
        xcb_query_pointer_reply(watch, xcb_query_pointer(watch, rootWindow), nullptr);
    const bool inside = pointer != nullptr && pointer->child == gameWindow;
    std::free(pointer);
    return inside;
}

void watchKeyboardFocus()
{
    Display* toolkitDisplay = glXGetCurrentDisplay();
    const GLXDrawable window = glXGetCurrentDrawable();
    if (toolkitDisplay == nullptr || window == 0 || watch != nullptr) {
        return;
    }
    int screenNumber = 0;
    watch = xcb_connect(DisplayString(toolkitDisplay), &screenNumber);
    if (xcb_connection_has_error(watch) != 0) {
        xcb_disconnect(watch);
        watch = nullptr;
        return;
    }
    xcb_screen_iterator_t screen = xcb_setup_roots_iterator(xcb_get_setup(watch));
    for (int s = 0; s < screenNumber && screen.rem > 0; ++s) {
        xcb_screen_next(&screen);
    }
    rootWindow = screen.data->root;
    gameWindow = static_cast<xcb_window_t>(window);
    const uint32_t mask = XCB_EVENT_MASK_FOCUS_CHANGE | XCB_EVENT_MASK_ENTER_WINDOW |
                          XCB_EVENT_MASK_LEAVE_WINDOW | XCB_EVENT_MASK_STRUCTURE_NOTIFY;
    xcb_change_window_attributes(watch, gameWindow, XCB_CW_EVENT_MASK, &mask);
    hasFocus = focusedNow();  // asked after the events were chosen: no change falls between
}

// Applies one event of the window to hasFocus; returns whether the keyboard left with it.
static bool takeEvent(const xcb_generic_event_t* event)
{
    switch (event->response_type & 0x7f) {
    case XCB_FOCUS_IN:
        // A focus moving within the window (to or from an inferior) changes nothing.
        if (reinterpret_cast<const xcb_focus_in_event_t*>(event)->detail !=
            XCB_NOTIFY_DETAIL_INFERIOR) {
            hasFocus = true;
        }
        return false;
    case XCB_FOCUS_OUT:
        // Also a grab (a window manager's switcher) and a pointer that took the focus along.
        if (reinterpret_cast<const xcb_focus_out_event_t*>(event)->detail !=
            XCB_NOTIFY_DETAIL_INFERIOR) {
            hasFocus = false;
            return true;
        }
        return false;
    case XCB_ENTER_NOTIFY:
    case XCB_LEAVE_NOTIFY: {
        const auto* crossing = reinterpret_cast<const xcb_enter_notify_event_t*>(event);
        const bool entering = (event->response_type & 0x7f) == XCB_ENTER_NOTIFY;
        // A pointer grab moves no keyboard; the pointer moving out, or a popup mapped under
        // it, does where the keyboard follows the pointer.
        if (crossing->detail == XCB_NOTIFY_DETAIL_INFERIOR ||
            crossing->mode == XCB_NOTIFY_MODE_GRAB || !focusFollowsPointer()) {
            return false;
        }
        hasFocus = entering;
        return !entering;
    }
    case XCB_UNMAP_NOTIFY:
        hasFocus = false;
        return true;
    default:
        return false;
    }
}

FocusNews readKeyboardFocusNews()
{
    FocusNews news = {false, true};
    if (watch == nullptr) {
        return news;
    }
    while (xcb_generic_event_t* event = xcb_poll_for_event(watch)) {
        news.left = takeEvent(event) || news.left;
        std::free(event);
    }
    if (xcb_connection_has_error(watch) != 0) {
        std::printf("the keyboard focus watch lost its connection to the display; the game "
                    "plays on without it\n");
        xcb_disconnect(watch);
        watch = nullptr;
        hasFocus = true;
    }
    news.hasFocus = hasFocus;
    return news;
}

bool keyHeldNow(unsigned char key)
{
    // The toolkit's own connection: the watch's may be gone. Latin-1 keysyms are the
    // characters' own codes.
    Display* display = glXGetCurrentDisplay();
    if (display == nullptr) {
        return false;
    }
    const KeyCode code = XKeysymToKeycode(display, key);
    char keys[32];
    XQueryKeymap(display, keys);
    return code != 0 && ((keys[code / 8] >> (code % 8)) & 1) != 0;
}
