#pragma once

#include <vector>

// In-process GL test support: one GLUT window under Xvfb for the whole unit test run.

const int testWindowWidth = 1024;
const int testWindowHeight = 768;

// Creates the window (once) and makes it current; reshape sets the game's size and projection.
void ensureGlWindow();

// Loads the game's assets from data/ and initialises the lights, once; exits if one is missing.
void loadGameAssetsOnce();

// Resizes the window, waits until it has that size and reshapes the game to it.
void resizeGlWindow(int width, int height);

// What the window shows from its lower left, as the player sees it, RGB rows bottom-up: on X11
// read from the X server, whoever drew it there; on Windows the GL's back buffer.
std::vector<unsigned char> readWindow(int width, int height);

// A rectangle of the back buffer (x, y from the lower left), RGB rows bottom-up; by default all.
std::vector<unsigned char> readFrame(int x = 0, int y = 0, int width = testWindowWidth,
                                     int height = testWindowHeight);
