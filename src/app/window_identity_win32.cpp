#include "app/window_identity.h"

#include <windows.h>

#include <cstring>

// An icon of the given size from the game's icon data; null when that size is not there.
static HICON makeIcon(int size)
{
    size_t count = 0;
    const uint32_t* data = windowIconData(count);
    for (size_t at = 0; at + 2 <= count;) {
        const uint32_t width = data[at];
        const uint32_t height = data[at + 1];
        const size_t pixels = static_cast<size_t>(width) * height;
        if (width == static_cast<uint32_t>(size) && height == width && at + 2 + pixels <= count) {
            // 0xAARRGGBB in memory is the blue, green, red, alpha order of a 32-bit DIB.
            BITMAPV5HEADER header = {};
            header.bV5Size = sizeof header;
            header.bV5Width = size;
            header.bV5Height = -size;  // rows from the top
            header.bV5Planes = 1;
            header.bV5BitCount = 32;
            header.bV5Compression = BI_BITFIELDS;
            header.bV5RedMask = 0x00FF0000;
            header.bV5GreenMask = 0x0000FF00;
            header.bV5BlueMask = 0x000000FF;
            header.bV5AlphaMask = 0xFF000000;
            void* bits = nullptr;
            const HDC screen = GetDC(nullptr);
            const HBITMAP colour = CreateDIBSection(screen, reinterpret_cast<BITMAPINFO*>(&header),
                                                    DIB_RGB_COLORS, &bits, nullptr, 0);
            ReleaseDC(nullptr, screen);
            if (colour == nullptr) {
                return nullptr;
            }
            std::memcpy(bits, data + at + 2, pixels * 4);
            const HBITMAP mask = CreateBitmap(size, size, 1, 1, nullptr);
            ICONINFO info = {TRUE, 0, 0, mask, colour};
            const HICON icon = CreateIconIndirect(&info);
            DeleteObject(mask);
            DeleteObject(colour);
            return icon;
        }
        at += 2 + pixels;
    }
    return nullptr;
}

// Windows has no window class of the X kind: the title and the icon name the window.
void nameGameWindow()
{
    const HDC context = wglGetCurrentDC();
    const HWND window = context != nullptr ? WindowFromDC(context) : nullptr;
    if (window == nullptr) {
        return;
    }
    SetWindowTextW(window, L"Vantreska");
    const struct { WPARAM kind; int size; } icons[] = {{ICON_BIG, 32}, {ICON_SMALL, 16}};
    for (const auto& wanted : icons) {
        if (const HICON icon = makeIcon(wanted.size)) {
            SendMessageW(window, WM_SETICON, wanted.kind, reinterpret_cast<LPARAM>(icon));
        }
    }
}
