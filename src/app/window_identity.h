#pragma once

#include <cstddef>
#include <cstdint>

// The game's window as the desktop sees it: its title, its class and its icon, by which
// taskbars, docks and window lists show it and tie it to the installed desktop entry
// (StartupWMClass=Vantreska).

// Names the current window, the full-screen one or the game-mode one: title "Vantreska", class
// "vantreska", "Vantreska", and the game's icon. Each platform its own way
// (window_identity_<platform>.cpp).
void nameGameWindow();

// The game's icon at a few sizes (window_icon.cpp, drawn by make assets from the picture of
// the desktop icons): each size as its width, its height, then width x height pixels
// 0xAARRGGBB in rows from the top. count is set to the number of values.
const uint32_t* windowIconData(size_t& count);
