#pragma once

// The walled grass field, the sky sphere and, by night, the moon.
void drawWorld();

// With the fast path (the default) the walls and the ground are compiled once into display
// lists in blocks, of which only those reaching into the view are drawn, and the sky, also a
// display list, is drawn first without the depth test; the pixels are the same. Off, every
// cell is sent in immediate mode in the first order (the reference the tests compare with).
void setWorldFastPath(bool on);
