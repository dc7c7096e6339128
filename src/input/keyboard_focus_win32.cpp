#include "input/keyboard_focus.h"

#include <windows.h>

#include "input/keyboard.h"

// The toolkit's procedure of the game window; null without a watch.
static WNDPROC toolkitProcedure = nullptr;
// Whether the window lost the keyboard focus since the last look.
static bool focusLost = false;

// Sees the game window's messages before the toolkit does; it runs on the main thread.
static LRESULT CALLBACK watchFocus(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_KILLFOCUS) {
        focusLost = true;
    }
    return CallWindowProcW(toolkitProcedure, window, message, wParam, lParam);
}

void watchKeyboardFocus()
{
    const HDC context = wglGetCurrentDC();
    const HWND window = context != nullptr ? WindowFromDC(context) : nullptr;
    if (window == nullptr || toolkitProcedure != nullptr) {
        return;
    }
    toolkitProcedure = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(watchFocus)));
}

void releaseKeysOnFocusLoss()
{
    if (focusLost) {
        focusLost = false;
        releaseMovementKeys();
    }
}
