#pragma once

// The walled grass field, the sky sphere and, by night, the moon.
void drawWorld();
