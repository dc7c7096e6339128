#include "input/mouse.h"
#include "input/picking.h"
#include "render/picture.h"
#include "scene_setup.h"

// Reshape fits the game's 4:3 picture to the window: as large as fits, centred, with bars
// beside a wide window and above and below a tall one; the viewport is its place and the
// perspective 4:3 whatever the window. A size of 0 counts as 1.
TEST(Picture, ReshapeFitsThePictureToTheWindow)
{
    const struct { int width, height; WindowRect place; } cases[] = {
        {1024, 768, {0, 0, 1024, 768}},     {1920, 1080, {240, 0, 1440, 1080}},
        {3840, 2160, {480, 0, 2880, 2160}}, {1366, 768, {171, 0, 1024, 768}},
        {768, 1024, {0, 224, 768, 576}},    {800, 600, {0, 0, 800, 600}},
        {300, 0, {149, 0, 1, 1}},           {1, 1, {0, 0, 1, 1}}};
    for (const auto& c : cases) {
        reshape(c.width, c.height);
        GLint viewport[4] = {0, 0, 0, 0}, mode = 0;
        GLfloat projection[16];
        glGetIntegerv(GL_VIEWPORT, viewport);
        glGetIntegerv(GL_MATRIX_MODE, &mode);
        glGetFloatv(GL_PROJECTION_MATRIX, projection);
        const WindowRect& p = picturePlace;
        EXPECT_TRUE(windowWidth == c.width && windowHeight == std::max(c.height, 1) &&
                    p.left == c.place.left && p.bottom == c.place.bottom &&
                    p.width == c.place.width && p.height == c.place.height &&
                    viewport[0] == p.left && viewport[1] == p.bottom && viewport[2] == p.width &&
                    viewport[3] == p.height && mode == GL_MODELVIEW)
            << c.width << "x" << c.height << ": " << p.left << "," << p.bottom << " " << p.width
            << "x" << p.height;
        EXPECT_TRUE(std::fabs(projection[5] - 1.0f) < 1e-5f &&
                    std::fabs(projection[0] - 0.75f) < 1e-5f) << c.width << "x" << c.height;
    }
    reshape(testWindowWidth, testWindowHeight);
}

// A window of another size shows the very picture a 1024x768 one shows, scaled: at half size
// between black bars each pixel is about the mean of the four it stands for, the pause line's
// text included, as the game picks the way (under Xvfb's software GL, the X server scales it)
// and where the GL scales it. A GL without framebuffer objects draws the scene
// itself at that size there, its bitmap text unscaled. Read from the window as the player sees
// it. A hover or a click lands on what the window shows under the pointer.
TEST(Picture, AnotherWindowSizeShowsThePictureScaledAndPicksWhatItShows)
{
    loadGameAssetsOnce();
    playing = 0;
    menuScreen = 0;
    gameStarted = 1;
    reshape(testWindowWidth, testWindowHeight);
    const std::vector<unsigned char> whole = drawGameFrame();
    const auto pixel = [](const std::vector<unsigned char>& f, int width, int x, int y, int c) {
        return static_cast<int>(f[(static_cast<size_t>(y) * width + x) * 3 + c]);
    };
    resizeGlWindow(1024, 384);  // the picture 512 x 384, from x 256
    for (const PictureScaling way :
         {PictureScaling::picked, PictureScaling::byGl, PictureScaling::unscaled}) {
        const int row = static_cast<int>(way);
        choosePictureScaling(way);
        display();
        const std::vector<unsigned char> shown = readWindow(1024, 384);
        int barsLit = 0, alike = 0;
        for (int y = 0; y < 384; ++y) {
            for (int x = 0; x < 1024; ++x) {
                const bool bar = x < 256 || x >= 768;
                for (int c = 0; c < 3; ++c) {
                    barsLit += bar && pixel(shown, 1024, x, y, c) != 0 ? 1 : 0;
                }
                int gap = 0;
                for (int c = 0; !bar && c < 3; ++c) {
                    const int mean = (pixel(whole, 1024, 2 * (x - 256), 2 * y, c) +
                                      pixel(whole, 1024, 2 * (x - 256) + 1, 2 * y, c) +
                                      pixel(whole, 1024, 2 * (x - 256), 2 * y + 1, c) +
                                      pixel(whole, 1024, 2 * (x - 256) + 1, 2 * y + 1, c)) / 4;
                    gap = std::max(gap, std::abs(mean - pixel(shown, 1024, x, y, c)));
                }
                alike += !bar && gap <= 24 ? 1 : 0;
            }
        }
        EXPECT_EQ(barsLit, 0) << row;
        EXPECT_GT(alike, (way != PictureScaling::unscaled ? 0.99 : 0.9) * 512 * 384) << row;
    }
    resizeGlWindow(testWindowWidth, testWindowHeight);
    choosePictureScaling(PictureScaling::picked);
    // The picture 1440 x 1080 from x 240: Start New Game shows at (960, 458), a bar at x 100.
    reshape(1920, 1080);
    const struct { int x, y; GLuint name; } pointers[] = {
        {960, 458, pickStartNewGame}, {960, 593, pickOptions}, {100, 458, 0}, {1850, 458, 0}};
    for (const auto& p : pointers) {
        testing::internal::CaptureStdout();
        mouseLook(p.x, p.y);
        testing::internal::GetCapturedStdout();
        EXPECT_TRUE(runSelectionPass() == (p.name != 0) &&
                    (p.name == 0 || selectionBuffer()[3] == p.name)) << p.x << "," << p.y;
    }
    reshape(testWindowWidth, testWindowHeight);
    gameStarted = 0;
}
