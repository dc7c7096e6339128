#include "render/picture.h"

#include <GL/freeglut.h>
#include <GL/glext.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "render/picture_present.h"

// The texture the off-screen picture is drawn into; 1 to 11 hold the game's images.
static const GLuint pictureTexture = 12;

// The texture is a power of two each way, as GL 1.1 asks; the picture fills its lower part.
static const int textureSize = 1024;

// The framebuffer object calls, found at run time: GL_EXT_framebuffer_object, which every GL
// with framebuffer objects still offers in a compatibility context.
struct FramebufferCalls {
    PFNGLGENFRAMEBUFFERSEXTPROC genFramebuffers;
    PFNGLBINDFRAMEBUFFEREXTPROC bindFramebuffer;
    PFNGLFRAMEBUFFERTEXTURE2DEXTPROC framebufferTexture2D;
    PFNGLGENRENDERBUFFERSEXTPROC genRenderbuffers;
    PFNGLBINDRENDERBUFFEREXTPROC bindRenderbuffer;
    PFNGLRENDERBUFFERSTORAGEEXTPROC renderbufferStorage;
    PFNGLFRAMEBUFFERRENDERBUFFEREXTPROC framebufferRenderbuffer;
    PFNGLCHECKFRAMEBUFFERSTATUSEXTPROC checkFramebufferStatus;
};

enum class Offscreen { untried, ready, unavailable };

static FramebufferCalls fbo = {};
static Offscreen offscreen = Offscreen::untried;
static Offscreen presenter = Offscreen::untried;  // the window system's scaling, where it can
static PictureScaling scaling = PictureScaling::picked;
static bool frameOffscreen = false;  // the frame being drawn goes to the off-screen picture
static bool framePresented = false;  // and the window system shows it
static bool frameScissored = false;  // the frame is drawn straight in, kept to its place
static GLuint pictureFramebuffer = 0;

WindowRect fitPicture(int width, int height)
{
    const double scale = std::min(static_cast<double>(width) / pictureWidth,
                                  static_cast<double>(height) / pictureHeight);
    const int shownWidth = std::clamp(static_cast<int>(std::lround(pictureWidth * scale)), 1,
                                      std::max(width, 1));
    const int shownHeight = std::clamp(static_cast<int>(std::lround(pictureHeight * scale)), 1,
                                       std::max(height, 1));
    return {(width - shownWidth) / 2, (height - shownHeight) / 2, shownWidth, shownHeight};
}

void placePicture(int width, int height)
{
    windowWidth = std::max(width, 1);
    windowHeight = std::max(height, 1);
    picturePlace = fitPicture(windowWidth, windowHeight);
}

// Whether the GL's extension string names this extension, as a whole word.
static bool hasExtension(const char* name)
{
    const char* all = reinterpret_cast<const char*>(glGetString(GL_EXTENSIONS));
    const size_t length = std::strlen(name);
    for (const char* at = all; at != nullptr && (at = std::strstr(at, name)) != nullptr;
         at += length) {
        if ((at == all || at[-1] == ' ') && (at[length] == ' ' || at[length] == '\0')) {
            return true;
        }
    }
    return false;
}

template <typename Call>
static bool findCall(Call& call, const char* name)
{
    call = reinterpret_cast<Call>(glutGetProcAddress(name));
    return call != nullptr;
}

static bool findFramebufferCalls()
{
    return hasExtension("GL_EXT_framebuffer_object") &&
           findCall(fbo.genFramebuffers, "glGenFramebuffersEXT") &&
           findCall(fbo.bindFramebuffer, "glBindFramebufferEXT") &&
           findCall(fbo.framebufferTexture2D, "glFramebufferTexture2DEXT") &&
           findCall(fbo.genRenderbuffers, "glGenRenderbuffersEXT") &&
           findCall(fbo.bindRenderbuffer, "glBindRenderbufferEXT") &&
           findCall(fbo.renderbufferStorage, "glRenderbufferStorageEXT") &&
           findCall(fbo.framebufferRenderbuffer, "glFramebufferRenderbufferEXT") &&
           findCall(fbo.checkFramebufferStatus, "glCheckFramebufferStatusEXT");
}

// The off-screen picture: a colour texture, smoothed when scaled, and a depth buffer as deep
// as the window's, so the HUD settles against the scene as it does there. Its texels are asked
// for in BGRA, the order the X server takes them in: Mesa then stores them so, and reads them
// back with a plain copy.
static GLenum buildPictureFramebuffer()
{
    glPushAttrib(GL_TEXTURE_BIT);
        glBindTexture(GL_TEXTURE_2D, pictureTexture);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, textureSize, textureSize, 0, GL_BGRA,
                     GL_UNSIGNED_BYTE, nullptr);
    glPopAttrib();
    GLuint depth = 0;
    fbo.genRenderbuffers(1, &depth);
    fbo.bindRenderbuffer(GL_RENDERBUFFER_EXT, depth);
    fbo.renderbufferStorage(GL_RENDERBUFFER_EXT, GL_DEPTH_COMPONENT24, textureSize, textureSize);
    fbo.bindRenderbuffer(GL_RENDERBUFFER_EXT, 0);
    fbo.genFramebuffers(1, &pictureFramebuffer);
    fbo.bindFramebuffer(GL_FRAMEBUFFER_EXT, pictureFramebuffer);
    fbo.framebufferTexture2D(GL_FRAMEBUFFER_EXT, GL_COLOR_ATTACHMENT0_EXT, GL_TEXTURE_2D,
                             pictureTexture, 0);
    fbo.framebufferRenderbuffer(GL_FRAMEBUFFER_EXT, GL_DEPTH_ATTACHMENT_EXT, GL_RENDERBUFFER_EXT,
                                depth);
    const GLenum status = fbo.checkFramebufferStatus(GL_FRAMEBUFFER_EXT);
    fbo.bindFramebuffer(GL_FRAMEBUFFER_EXT, 0);
    return status;
}

// Sets the off-screen picture up at its first use; says so once if the GL cannot have one.
static bool offscreenReady()
{
    if (offscreen == Offscreen::untried) {
        offscreen = Offscreen::unavailable;
        if (!findFramebufferCalls()) {
            std::printf("the GL has no framebuffer objects; the picture is drawn at the window's "
                        "size, its text unscaled\n");
        } else if (const GLenum status = buildPictureFramebuffer();
                   status != GL_FRAMEBUFFER_COMPLETE_EXT) {
            std::printf("the GL refused the off-screen picture (status 0x%x); the picture is "
                        "drawn at the window's size, its text unscaled\n", status);
        } else {
            offscreen = Offscreen::ready;
        }
    }
    return offscreen == Offscreen::ready;
}

// Whether the GL renders in software (Mesa's llvmpipe, softpipe or swrast): there, scaling the
// picture up costs it more than handing the picture to the window system. A GPU scales it
// for next to nothing, and reading each frame back from it would cost more.
static bool softwareGl()
{
    const char* renderer = reinterpret_cast<const char*>(glGetString(GL_RENDERER));
    return renderer != nullptr &&
           (std::strstr(renderer, "llvmpipe") != nullptr ||
            std::strstr(renderer, "softpipe") != nullptr ||
            std::strstr(renderer, "Software Rasterizer") != nullptr);
}

// Whether the window system scales the picture: decided at the first scaled frame, and said.
static bool windowSystemScales()
{
    if (presenter == Offscreen::untried) {
        const char* why = nullptr;
        const char* who = softwareGl() ? startPicturePresenter(&why) : nullptr;
        presenter = who != nullptr ? Offscreen::ready : Offscreen::unavailable;
        if (who != nullptr) {
            std::printf("the picture is scaled by %s\n", who);
        } else {
            std::printf("the picture is scaled by the GL%s%s\n", why != nullptr ? ": " : "",
                        why != nullptr ? why : "");
        }
    }
    return presenter == Offscreen::ready;
}

void beginPictureFrame()
{
    const WindowRect& p = picturePlace;
    const bool scaled = p.width != pictureWidth || p.height != pictureHeight;
    frameOffscreen = scaled && scaling != PictureScaling::unscaled && offscreenReady();
    const bool presentedBefore = framePresented;
    framePresented =
        frameOffscreen && scaling == PictureScaling::picked && windowSystemScales();
    if (presentedBefore && !framePresented) {
        // The GL draws into the window again. It takes the window's size in at a swap, and
        // none came while the window system showed the frames: first a black one.
        glClear(GL_COLOR_BUFFER_BIT);
        glutSwapBuffers();
    }
    if (frameOffscreen) {
        fbo.bindFramebuffer(GL_FRAMEBUFFER_EXT, pictureFramebuffer);
        glViewport(0, 0, pictureWidth, pictureHeight);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        return;
    }
    glViewport(p.left, p.bottom, p.width, p.height);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    // Bitmap text runs on past the viewport's edge; the bars stay black.
    frameScissored = p.width != windowWidth || p.height != windowHeight;
    if (frameScissored) {
        glScissor(p.left, p.bottom, p.width, p.height);
        glEnable(GL_SCISSOR_TEST);
    }
}

// The picture's texture over the whole viewport. The texture coordinates reach the centres of
// the picture's edge texels, so smoothing never blends in a texel from outside the picture.
static void drawPictureQuad()
{
    const float left = 0.5f / textureSize;
    const float right = (pictureWidth - 0.5f) / textureSize;
    const float bottom = 0.5f / textureSize;
    const float top = (pictureHeight - 0.5f) / textureSize;
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
        glLoadIdentity();
        glMatrixMode(GL_MODELVIEW);
        glPushMatrix();
            glLoadIdentity();
            glBegin(GL_QUADS);
                glTexCoord2f(left, bottom);
                glVertex2f(-1.0f, -1.0f);
                glTexCoord2f(right, bottom);
                glVertex2f(1.0f, -1.0f);
                glTexCoord2f(right, top);
                glVertex2f(1.0f, 1.0f);
                glTexCoord2f(left, top);
                glVertex2f(-1.0f, 1.0f);
            glEnd();
        glPopMatrix();
        glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
}

// The bars beside, or above and below, the picture: black. Each is cleared alone, sparing the
// software rasteriser a clear of the pixels the picture covers next.
static void clearBars()
{
    const WindowRect& p = picturePlace;
    const int right = p.left + p.width;
    const int top = p.bottom + p.height;
    const WindowRect bars[4] = {{0, 0, p.left, windowHeight},
                                {right, 0, windowWidth - right, windowHeight},
                                {0, 0, windowWidth, p.bottom},
                                {0, top, windowWidth, windowHeight - top}};
    glEnable(GL_SCISSOR_TEST);
    for (const WindowRect& bar : bars) {
        if (bar.width > 0 && bar.height > 0) {
            glScissor(bar.left, bar.bottom, bar.width, bar.height);
            glClear(GL_COLOR_BUFFER_BIT);
        }
    }
    glDisable(GL_SCISSOR_TEST);
}

// The off-screen picture drawn by the GL into its place, scaled, between black bars.
static void drawScaledPicture()
{
    fbo.bindFramebuffer(GL_FRAMEBUFFER_EXT, 0);
    clearBars();
    glViewport(picturePlace.left, picturePlace.bottom, picturePlace.width, picturePlace.height);
    glPushAttrib(GL_ENABLE_BIT | GL_TEXTURE_BIT);
        glDisable(GL_DEPTH_TEST);
        glDisable(GL_LIGHTING);
        glEnable(GL_TEXTURE_2D);
        glBindTexture(GL_TEXTURE_2D, pictureTexture);
        // The texels as they are: no colour to multiply, the cheaper path for a software GL.
        glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
        drawPictureQuad();
        glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    glPopAttrib();
}

void showPictureFrame()
{
    if (frameScissored) {
        glDisable(GL_SCISSOR_TEST);
        frameScissored = false;
    }
    if (framePresented) {
        presentPicture();
        fbo.bindFramebuffer(GL_FRAMEBUFFER_EXT, 0);
        glViewport(picturePlace.left, picturePlace.bottom, picturePlace.width,
                   picturePlace.height);
        return;
    }
    if (frameOffscreen) {
        drawScaledPicture();
    }
    glutSwapBuffers();
}

void choosePictureScaling(PictureScaling way)
{
    scaling = way;
}
