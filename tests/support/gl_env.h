#pragma once

#include <string>
#include <vector>

// In-process GL test support: one GLUT window under Xvfb, created once for the whole run
// of the unit test binary (its main installs the environment).

const int testWindowWidth = 1024;
const int testWindowHeight = 768;

struct Rgb {
    int r;
    int g;
    int b;
};

// Creates the window, makes it current and sets the game's window size and projection
// through reshape. Safe to call more than once.
void ensureGlWindow();

// Loads the game's textures, bunny mesh and display lists from data/ and initialises the
// lights, once. Exits the process if an asset is missing (as the game does).
void loadGameAssetsOnce();

// Lets the toolkit handle pending window events for about ms milliseconds.
void pumpEvents(int ms);

// One pixel of the back buffer (x from the left, y from the bottom), after a draw.
Rgb readPixel(int x, int y);

// The whole back buffer, RGB rows bottom-up.
std::vector<unsigned char> readFrame();
