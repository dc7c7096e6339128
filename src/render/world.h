#pragma once

// The walled grass field, the sky sphere and, by night, the moon.
void drawWorld();

// With the fast path (the default) the walls, the ground and the sky are sent once into display
// lists; off, every cell is sent in immediate mode (the reference the tests compare with).
void setWorldFastPath(bool on);
