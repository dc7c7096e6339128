#include "input/keyboard_focus.h"

#include <windows.h>

// The game window and the toolkit's procedure for it; null without a watch.
static HWND gameWindow = nullptr;
static WNDPROC toolkitProcedure = nullptr;
// Whether the window lost the keyboard focus since the news was last read.
static bool focusLeft = false;

// Sees the game window's messages before the toolkit does; it runs on the main thread.
static LRESULT CALLBACK watchFocus(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_KILLFOCUS) {
        focusLeft = true;
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
    gameWindow = window;
    toolkitProcedure = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(watchFocus)));
}

FocusNews readKeyboardFocusNews()
{
    // GetFocus answers for this thread's windows only: null while another program has it.
    const FocusNews news = {focusLeft, gameWindow == nullptr || GetFocus() == gameWindow};
    focusLeft = false;
    return news;
}

bool keyHeldNow(unsigned char key)
{
    const SHORT virtualKey = VkKeyScanA(static_cast<CHAR>(key));
    return virtualKey != -1 && (GetAsyncKeyState(LOBYTE(virtualKey)) & 0x8000) != 0;
}
