// make_screenshots: draws the README's pictures with the game's own code and writes them as
// 640x480 PNGs.
//
//   make_screenshots <data_dir> <out_dir>
//
// Each picture is a fixed state (a menu screen, or a game on a seeded field with a set eye and
// HUD values) drawn by the game's display callback in a 1024x768 window, read back, averaged
// down and written without time stamps, so a rebuild gives the same files. Needs an X display
// (scripts/xvfb-run.sh).
#include <png.h>

#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "fixed_scene.h"

static const int outWidth = 640;
static const int outHeight = 480;

// Shrinks an RGB picture by area averaging: each output pixel is the mean of the source area
// it covers, partly covered source pixels weighted by their share.
static std::vector<unsigned char> shrink(const std::vector<unsigned char>& in, int w, int h,
                                         int outW, int outH)
{
    std::vector<double> sum(size_t(outW) * outH * 3, 0.0);
    const double sx = double(w) / outW, sy = double(h) / outH;
    // Overlap of source pixel k with output pixel o along one axis of scale s.
    auto share = [](int k, int o, double s) {
        return std::fmax(0.0, std::fmin(k + 1.0, (o + 1) * s) - std::fmax(double(k), o * s));
    };
    for (int y = 0; y < h; ++y) {
        const int oy0 = int(y / sy), oy1 = std::min(outH - 1, int((y + 1) / sy));
        for (int x = 0; x < w; ++x) {
            const int ox0 = int(x / sx), ox1 = std::min(outW - 1, int((x + 1) / sx));
            for (int oy = oy0; oy <= oy1; ++oy) {
                for (int ox = ox0; ox <= ox1; ++ox) {
                    const double weight = share(x, ox, sx) * share(y, oy, sy);
                    for (int c = 0; c < 3; ++c) {
                        sum[(size_t(oy) * outW + ox) * 3 + c] +=
                            weight * in[(size_t(y) * w + x) * 3 + c];
                    }
                }
            }
        }
    }
    std::vector<unsigned char> out(sum.size());
    for (size_t k = 0; k < sum.size(); ++k) {
        out[k] = static_cast<unsigned char>(std::lround(sum[k] / (sx * sy)));
    }
    return out;
}

// Writes an 8-bit RGB PNG, rows top-down, with no time or text chunks.
static bool writePng(const std::string& path, const std::vector<unsigned char>& rgb, int w, int h)
{
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) {
        std::fprintf(stderr, "make_screenshots: cannot write %s\n", path.c_str());
        return false;
    }
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!info || setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        std::fclose(f);
        std::fprintf(stderr, "make_screenshots: cannot encode %s\n", path.c_str());
        return false;
    }
    png_init_io(png, f);
    png_set_compression_level(png, 9);
    png_set_IHDR(png, info, w, h, 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    for (int y = 0; y < h; ++y) {
        png_write_row(png, &rgb[size_t(y) * w * 3]);
    }
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return std::fclose(f) == 0;
}

// A new game by day as it starts: the eye at (0, 1) looking along +x.
static void newGameScene()
{
    startFixedGame(5, 1, 0);
}

// Night with the flashlight a little into a game: bunnies in the beam, one of them shot, and
// the HUD with time, kills, accuracy and a bitten health bar.
static void nightScene()
{
    startFixedGame(5, 0, 1);
    placeEye(0.0f, 1.0f, -0.3f, -0.3f);
    clearAround(1.0f, 0.6f, 1.0f);
    placeBunny(0, 0.65f, 0.95f, -60.0f);
    placeBunny(1, 0.9f, 0.5f, 20.0f);
    placeBunny(2, 0.85f, 0.78f, 100.0f, true);
    placeBunny(3, 1.4f, 0.4f, -30.0f);
    elapsedSeconds = 23;
    shotsFired = 4;
    health = 0.55f;
}

// Bunnies close up, looked at from a little above: from the side (looking at the eye), head
// on (as they come at the player), from behind, half turned, and a shot one on its side.
static void bunnyScene(int day)
{
    startFixedGame(5, day, 1 - day);
    figurePosition = Vector3(-2.5f, 0.0f, -2.5f);
    placeEye(0.0f, 0.0f, 0.0f, -0.8f);
    clearAround(0.5f, 0.0f, 0.8f);
    const float headings[5] = {-90.0f, 0.0f, 180.0f, -45.0f, -90.0f};
    const float places[5][2] = {
        {0.32f, -0.17f}, {0.34f, 0.0f}, {0.32f, 0.17f}, {0.5f, -0.09f}, {0.5f, 0.11f}};
    for (int i = 0; i < 5; ++i) {
        placeBunny(i, places[i][0], places[i][1], headings[i], i == 4);
    }
    shotsFired = 1;
}

struct Shot {
    const char* name;
    void (*setUp)();
};

static const Shot shots[] = {
    {"main-menu", [] { showMenu(0); }},   {"options", [] { showMenu(1); }},
    {"new-game", newGameScene},           {"night-flashlight", nightScene},
    {"bunny-day", [] { bunnyScene(1); }}, {"bunny-night", [] { bunnyScene(0); }},
};

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: make_screenshots <data_dir> <out_dir>\n");
        return 2;
    }
    const std::string outDir = argv[2];
    openSceneWindow();
    if (!loadSceneAssets(argv[1])) {
        return 1;
    }
    for (const Shot& shot : shots) {
        shot.setUp();
        drawSceneFrame(); // a first frame, so nothing left from the last picture shows
        const std::vector<unsigned char> frame = drawSceneFrame();
        const std::string path = outDir + "/" + shot.name + ".png";
        if (!writePng(path, shrink(frame, sceneWidth, sceneHeight, outWidth, outHeight), outWidth,
                      outHeight)) {
            return 1;
        }
        std::printf("%s\n", path.c_str());
    }
    return 0;
}
