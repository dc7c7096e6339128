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

// Ends a frame and shows it. A frame drawn straight into its place is swapped into the window.
// An off-screen picture is scaled into its place, the rest of the window black: where the GL
// renders in software and the window system can, by the window system (render/
// picture_present.h); else the GL draws it there and swaps. Which way is said once on standard
// output, at the first such frame. The viewport is the picture's place again, the GL state as
// before.
void showPictureFrame();

// For tests: how a window of another size gets the picture from now on. picked: as above;
// byGl: the GL scales it, wherever the window system could; unscaled: drawn at the size shown,
// as a GL without framebuffer objects does.
enum class PictureScaling { picked, byGl, unscaled };
void choosePictureScaling(PictureScaling way);
