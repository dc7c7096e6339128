#include "render/picture_present.h"

#include <GL/gl.h>
#include <GL/glx.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XShm.h>
#include <X11/extensions/Xrender.h>
#include <sys/ipc.h>
#include <sys/shm.h>

#include "app/game_state.h"

// The X server's side of the picture. Each frame is read back from the GL into an image in
// memory shared with the server, put into a pixmap of the picture's size and composited from
// there onto the window through a transform that scales it to its place and turns it upright
// (the GL's rows run from the bottom), smoothed bilinearly as the GL's quad is, the edge
// pixels repeated outwards so that no black seeps into the picture's border.
struct Presenter {
    Display* display = nullptr;
    Window window = 0;
    XShmSegmentInfo segment = {};
    XImage* image = nullptr;
    Pixmap pixmap = 0;
    GC gc = nullptr;
    Picture source = 0;
    Picture target = 0;
    // Where the last frame went, in a window of this size; the bars were filled for it.
    WindowRect place = {0, 0, 0, 0};
    int windowWidth = 0;
    int windowHeight = 0;
};

static Presenter presenter; // the game window's
static bool requestFailed = false;

static int noteFailure(Display*, XErrorEvent*)
{
    requestFailed = true;
    return 0;
}

// Sends the requests and waits for the server to have done them all: false if one failed,
// instead of the error ending the game.
template <typename Requests> static bool serverDid(Display* display, Requests requests)
{
    XSync(display, False);
    requestFailed = false;
    const XErrorHandler previous = XSetErrorHandler(noteFailure);
    requests();
    XSync(display, False);
    XSetErrorHandler(previous);
    return !requestFailed;
}

// The window's pixels as glReadPixels gives GL_BGRA bytes: 32 bits, the low byte blue.
static bool takesBgraBytes(const XWindowAttributes& window, const XImage* image)
{
    const Visual* visual = window.visual;
    return window.depth == 24 && visual->red_mask == 0xff0000 && visual->green_mask == 0xff00 &&
           visual->blue_mask == 0xff && image->bits_per_pixel == 32 &&
           image->byte_order == LSBFirst && image->bytes_per_line == pictureWidth * 4;
}

// The image in shared memory, seen by the server; false, with nothing left behind, where the
// server cannot attach it.
static bool shareImage()
{
    const size_t size =
        static_cast<size_t>(presenter.image->bytes_per_line) * presenter.image->height;
    presenter.segment.shmid = shmget(IPC_PRIVATE, size, IPC_CREAT | 0600);
    if (presenter.segment.shmid < 0) {
        return false;
    }
    presenter.segment.shmaddr = presenter.image->data =
        static_cast<char*>(shmat(presenter.segment.shmid, nullptr, 0));
    presenter.segment.readOnly = True;
    const bool attached =
        presenter.segment.shmaddr != reinterpret_cast<char*>(-1) &&
        serverDid(presenter.display, [] { XShmAttach(presenter.display, &presenter.segment); });
    // Gone with the last process that has it attached.
    shmctl(presenter.segment.shmid, IPC_RMID, nullptr);
    if (!attached && presenter.segment.shmaddr != reinterpret_cast<char*>(-1)) {
        shmdt(presenter.segment.shmaddr);
    }
    return attached;
}

// The pixmap and the two pictures, the source's scaling smoothed and its edges padded.
static bool makePictures(const XWindowAttributes& window, XRenderPictFormat* format)
{
    return serverDid(presenter.display, [&] {
        presenter.pixmap = XCreatePixmap(presenter.display, presenter.window, pictureWidth,
                                         pictureHeight, window.depth);
        presenter.gc =
            XCreateGC(presenter.display, presenter.pixmap, 0, nullptr); // foreground 0: black
        XRenderPictureAttributes padded = {};
        padded.repeat = RepeatPad;
        presenter.source =
            XRenderCreatePicture(presenter.display, presenter.pixmap, format, CPRepeat, &padded);
        XRenderSetPictureFilter(presenter.display, presenter.source, FilterBilinear, nullptr, 0);
        presenter.target =
            XRenderCreatePicture(presenter.display, presenter.window, format, 0, nullptr);
        // What an expose shows until the next frame, and the bars after a resize: black.
        XSetWindowBackground(presenter.display, presenter.window, 0);
    });
}

const char* startPicturePresenter(const char** why)
{
    presenter.display = glXGetCurrentDisplay();
    presenter.window = glXGetCurrentDrawable();
    int event = 0;
    int error = 0;
    int major = 0;
    int minor = 0;
    XWindowAttributes window = {};
    if (presenter.display == nullptr || presenter.window == 0 ||
        !XGetWindowAttributes(presenter.display, presenter.window, &window)) {
        *why = "no X window";
        return nullptr;
    }
    // RENDER 0.10 pads the edges of a picture.
    if (!XRenderQueryExtension(presenter.display, &event, &error) ||
        !XRenderQueryVersion(presenter.display, &major, &minor) || major * 100 + minor < 10) {
        *why = "the X server has no RENDER 0.10";
        return nullptr;
    }
    if (!XShmQueryExtension(presenter.display)) {
        *why = "the X server has no MIT-SHM";
        return nullptr;
    }
    XRenderPictFormat* format = XRenderFindVisualFormat(presenter.display, window.visual);
    presenter.image = XShmCreateImage(presenter.display, window.visual, window.depth, ZPixmap,
                                      nullptr, &presenter.segment, pictureWidth, pictureHeight);
    if (format == nullptr || presenter.image == nullptr ||
        !takesBgraBytes(window, presenter.image)) {
        *why = "the window's pixels are not 8-bit BGR";
    } else if (!shareImage()) {
        *why = "the X server shares no memory with the game (a remote display?)";
    } else if (!makePictures(window, format)) {
        *why = "the X server refused the pictures";
        XShmDetach(presenter.display, &presenter.segment);
        shmdt(presenter.segment.shmaddr);
    } else {
        return "the X server";
    }
    if (presenter.image != nullptr) {
        presenter.image->data = nullptr; // shared memory, not Xlib's to free
        XDestroyImage(presenter.image);
        presenter.image = nullptr;
    }
    return nullptr;
}

// Scales the picture into its place, upright: the transform takes each window pixel to the
// point of the picture it shows.
static void placeSource(const WindowRect& place)
{
    XTransform scale = {{{XDoubleToFixed(static_cast<double>(pictureWidth) / place.width), 0, 0},
                         {0, XDoubleToFixed(-static_cast<double>(pictureHeight) / place.height),
                          XDoubleToFixed(pictureHeight)},
                         {0, 0, XDoubleToFixed(1.0)}}};
    XRenderSetPictureTransform(presenter.display, presenter.source, &scale);
}

// The bars beside, or above and below, the picture, in window pixels from the top left.
static void fillBars(int left, int top, int width, int height)
{
    const int right = left + width;
    const int below = top + height;
    XRectangle bars[4] = {
        {0, 0, static_cast<unsigned short>(left), static_cast<unsigned short>(windowHeight)},
        {static_cast<short>(right), 0, static_cast<unsigned short>(windowWidth - right),
         static_cast<unsigned short>(windowHeight)},
        {0, 0, static_cast<unsigned short>(windowWidth), static_cast<unsigned short>(top)},
        {0, static_cast<short>(below), static_cast<unsigned short>(windowWidth),
         static_cast<unsigned short>(windowHeight - below)}};
    XFillRectangles(presenter.display, presenter.window, presenter.gc, bars, 4);
}

void presentPicture()
{
    // The frame before has been shown: the shared image is free, the server's queue empty.
    XSync(presenter.display, False);
    glReadPixels(0, 0, pictureWidth, pictureHeight, GL_BGRA, GL_UNSIGNED_BYTE,
                 presenter.image->data);
    const WindowRect& place = picturePlace;
    const int top = windowHeight - place.bottom - place.height;
    if (place.left != presenter.place.left || place.bottom != presenter.place.bottom ||
        place.width != presenter.place.width || place.height != presenter.place.height ||
        windowWidth != presenter.windowWidth || windowHeight != presenter.windowHeight) {
        placeSource(place);
        fillBars(place.left, top, place.width, place.height);
        presenter.place = place;
        presenter.windowWidth = windowWidth;
        presenter.windowHeight = windowHeight;
    }
    XShmPutImage(presenter.display, presenter.pixmap, presenter.gc, presenter.image, 0, 0, 0, 0,
                 pictureWidth, pictureHeight, False);
    XRenderComposite(presenter.display, PictOpSrc, presenter.source, None, presenter.target, 0, 0,
                     0, 0, place.left, top, place.width, place.height);
    XFlush(presenter.display);
}
