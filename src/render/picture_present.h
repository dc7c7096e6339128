#pragma once

// The scaled picture shown by the window system instead of the GL. A GL that renders in
// software spends more on scaling the picture up to a large window than on drawing it; the
// window system can scale it in its own process at a fraction of that. On X11 the X server
// does: the frame is read back into memory shared with it (MIT-SHM) and composited onto the
// window scaled (RENDER). Windows has no such way and keeps the GL's.

// Sets the window system's way up for the current GL window. Returns the few words that name
// who scales the picture ("the X server"), or nullptr where it cannot start, with the reason
// in *why (nullptr where the platform has no such way).
const char* startPicturePresenter(const char** why);

// Shows the picture in the bound framebuffer (pictureWidth x pictureHeight from its lower left)
// at picturePlace in the window, scaled and smoothed, the rest of the window black. First it
// waits until the window system has taken the frame before, so the game never runs ahead of it.
void presentPicture();
