#pragma once

#include "app/game_state.h"

// The game's picture in the window. Every frame is drawn at pictureWidth x pictureHeight, as
// on the display the game was made for; a window of another size shows that picture scaled to
// fit, centred, its 4:3 shape kept, with black bars beside or above and below it.

// Where a window of this size shows the picture: as large as fits, centred, at least one pixel
// each way. A window of 1024x768 shows it whole, at its own size.
WindowRect fitPicture(int width, int height);

// Records the window's size (a zero taken as 1) and where it shows the picture: windowWidth,
// windowHeight and picturePlace.
void placePicture(int width, int height);

// Starts a frame: sets the viewport and clears. Where the window shows the picture at its own
// size, the frame goes straight into its place; else into an off-screen picture of its own size,
// where the GL has framebuffer objects. A GL without them draws straight into the place at the
// size shown: the 3-D scene scales, bitmap text and lines keep their pixel sizes (said once on
// standard output).
void beginPictureFrame();

// Ends a frame: an off-screen picture is drawn into its place, scaled, and the rest of the
// window cleared black. The viewport is the picture's place again, the GL state as before.
void endPictureFrame();

// For tests: false draws every frame as a GL without framebuffer objects does.
void allowOffscreenPicture(bool allowed);
