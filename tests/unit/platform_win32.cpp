#include <GL/freeglut.h>
#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>
#include <fstream>
#include <cstdio>
#include <string>

#include "app/game_state.h"
#include "assets/regular_file.h"
#include "input/keyboard.h"
#include "input/keyboard_focus.h"
#include "support/gl_env.h"

// The platform seams as Windows has them.

// Only a regular file within the limit is read: a directory, the NUL device and a file over
// 64 MB are refused with their line, a file another program holds unshared with the system's
// own reason after "could not be opened", a missing one with no line (its caller's says it).
TEST(Platform, OnlyARegularFileWithinTheLimitIsRead)
{
    const std::string dir = (std::filesystem::temp_directory_path() / "vantreska-files").string();
    const std::string big = dir + "\\big.wav", held = dir + "\\held.wav", fine = dir + "\\a.wav";
    std::filesystem::create_directories(dir);
    std::ofstream(fine) << "RIFF";
    std::ofstream(held) << "RIFF";
    std::ofstream(big).close();
    std::filesystem::resize_file(big, assetSizeLimit + 1);
    const HANDLE holder = CreateFileA(held.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0,
                                      nullptr);
    const struct { std::string path, why; } cases[] = {
        {dir, dir + " is a directory, not a regular file; not read"},
        {"NUL", "NUL is a character device, not a regular file; not read"},
        {big, big + " holds 67108865 bytes, more than the 64 MB allowed; not read"},
        {held, held + " could not be opened: "},
        {dir + "\\missing.wav", ""},
        {fine, ""},
    };
    for (const auto& c : cases) {
        std::string whyNot;
        std::FILE* file = openRegularFile(c.path.c_str(), assetSizeLimit, whyNot);
        char bytes[8] = {};
        const bool read = file != nullptr && std::fread(bytes, 1, sizeof bytes, file) == 4;
        if (file != nullptr) {
            std::fclose(file);
        }
        EXPECT_EQ(read, c.path == fine) << c.path;
        EXPECT_EQ(whyNot.substr(0, c.why.size()), c.why);
        EXPECT_EQ(whyNot.size() > c.why.size(), c.path == held) << "the reason: " << whyNot;
    }
    CloseHandle(holder);
    std::filesystem::remove_all(dir);
}

// A movement key held while the game window keeps the keyboard focus stays held; when another
// window takes the focus, it is let go.
TEST(Platform, AHeldKeyIsLetGoWhenAnotherWindowTakesTheFocus)
{
    ensureGlWindow();
    watchKeyboardFocus();
    const HWND game = WindowFromDC(wglGetCurrentDC());
    SetFocus(game);
    followKeyboardFocus();  // forgets what came before
    playing = 1;
    health = 1.0f;
    keyDown('w', 0, 0);
    followKeyboardFocus();
    EXPECT_EQ(moveForward, 1) << "let go with the focus kept";
    const HWND other = CreateWindowExA(0, "STATIC", "other", WS_POPUP | WS_VISIBLE, 0, 0, 8, 8,
                                       nullptr, nullptr, nullptr, nullptr);
    SetFocus(other);
    followKeyboardFocus();
    EXPECT_EQ(moveForward, 0) << "still held with the focus gone";
    DestroyWindow(other);
    SetFocus(game);
    playing = 0;
}
