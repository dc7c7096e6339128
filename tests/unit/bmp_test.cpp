#include <GL/freeglut.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <vector>

#include "assets/bmp.h"

// Writes the first fileBytes bytes of a BMP of width x height at bpp bits (the header fields
// the reader uses) whose pixel byte i is 10 i + 10, and returns its path.
static std::string writeBmp(uint32_t width, uint32_t height, size_t fileBytes, uint32_t bpp = 24)
{
    std::vector<unsigned char> b(std::max<size_t>(fileBytes, 54), 0);
    const uint32_t fields[][3] = {{0, 'B' + 'M' * 256, 2}, {18, width, 4}, {22, height, 4},
                                  {26, 1, 2}, {28, bpp, 2}};
    for (const auto& f : fields) {
        for (uint32_t i = 0; i < f[2]; ++i) {
            b[f[0] + i] = static_cast<unsigned char>(f[1] >> (8 * i));
        }
    }
    for (size_t i = 54; i < b.size(); ++i) {
        b[i] = static_cast<unsigned char>((i - 54) * 10 + 10);
    }
    std::string path = (std::filesystem::temp_directory_path() / "bmp_test_XXXXXX").string();
    close(mkstemp(path.data()));
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(b.data()), fileBytes);
    return path;
}

TEST(BmpReader, FailuresAreReportedAndLeaveNoPixels)
{
    const std::pair<std::string, std::string> cases[] = {  // path, message with @ for the path
        {writeBmp(5, 2, 54 + 31), "Error reading image data from @.\n"},  // one byte short
        {writeBmp(0, 0, 0), "Planes from @ is not 1: 65279\n"},
        {writeBmp(4, 4, 54 + 64, 32), "Bpp from @ is not 24: 32\n"},
        {writeBmp(65536, 65536, 54 + 16),  // 65536 x 65536 x 3 bytes are 0 in 32 bits
         "Error reading image data from @.\nImage @ is too large: 65536 x 65536 pixels\n"},
        {writeBmp(4, -4, 54 + 48), "Error reading image data from @.\nImage @ is stored top-down "
                                   "(negative height), which the game does not read; save it "
                                   "bottom-up\n"},
    };
    unsigned char stale = 0;
    for (const auto& [path, message] : cases) {
        std::string expected = message;
        for (size_t at = expected.find('@'); at != std::string::npos; at = expected.find('@')) {
            expected.replace(at, 1, path);
        }
        Image image{7, 7, &stale};  // must not be left pointing anywhere
        testing::internal::CaptureStdout();
        EXPECT_EQ(loadBMP(path.c_str(), &image), 0) << expected;
        EXPECT_EQ(testing::internal::GetCapturedStdout(), expected);
        EXPECT_EQ(image.data, nullptr) << expected;
        std::remove(path.c_str());
    }
}

// Width 5 makes 15-byte rows padded to 16 in the file; the texture holds them packed, RGB.
TEST(BmpTexture, UploadsPaddedRowsPackedAndInRedGreenBlueOrder)
{
    const std::string path = writeBmp(5, 2, 54 + 32);  // the first pixel: blue 10, green 20, red 30
    loadTexture(path.c_str(), 300);
    std::remove(path.c_str());
    std::vector<unsigned char> texels(30, 0);
    glBindTexture(GL_TEXTURE_2D, 300);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGB, GL_UNSIGNED_BYTE, texels.data());
    for (int i = 0; i < 30; ++i) {
        const int fileIndex = (i / 15) * 16 + (i % 15 / 3) * 3 + (2 - i % 3);
        EXPECT_EQ(texels[i], static_cast<unsigned char>(fileIndex * 10 + 10)) << "texel " << i;
    }
}
