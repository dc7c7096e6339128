#include <GL/freeglut.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/game_state.h"
#include "assets/bmp.h"
#include "support/gl_env.h"

static void putLE(std::vector<unsigned char>& bytes, size_t at, uint32_t value, int count)
{
    for (int i = 0; i < count; ++i) {
        bytes[at + i] = static_cast<unsigned char>(value >> (8 * i));
    }
}

// A BMP header (54 bytes) followed by pixelBytes bytes of pixels, byte i holding i * 7 + 1.
static std::vector<unsigned char> makeBmp(uint32_t width, uint32_t height, size_t pixelBytes,
                                          uint16_t planes = 1, uint16_t bpp = 24)
{
    std::vector<unsigned char> bytes(54 + pixelBytes, 0);
    bytes[0] = 'B';
    bytes[1] = 'M';
    putLE(bytes, 2, static_cast<uint32_t>(bytes.size()), 4);
    putLE(bytes, 10, 54, 4);
    putLE(bytes, 14, 40, 4);
    putLE(bytes, 18, width, 4);
    putLE(bytes, 22, height, 4);
    putLE(bytes, 26, planes, 2);
    putLE(bytes, 28, bpp, 2);
    for (size_t i = 0; i < pixelBytes; ++i) {
        bytes[54 + i] = static_cast<unsigned char>(i * 7 + 1);
    }
    return bytes;
}

static std::string writeTemp(const std::vector<unsigned char>& bytes)
{
    char path[] = "/tmp/bmp_test_XXXXXX";
    const int fd = mkstemp(path);
    EXPECT_GE(fd, 0);
    if (!bytes.empty()) {
        EXPECT_EQ(write(fd, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
    }
    close(fd);
    return path;
}

struct LoadResult {
    int ok;
    Image image;
    std::string out;
};

// loadBMP on the bytes, with what it printed; frees the pixel block afterwards.
static LoadResult loadBytes(const std::vector<unsigned char>& bytes, std::string* pathOut = nullptr)
{
    const std::string path = writeTemp(bytes);
    LoadResult r{0, {77, 77, reinterpret_cast<unsigned char*>(&r)}, ""};
    std::fflush(stdout);
    testing::internal::CaptureStdout();
    r.ok = loadBMP(path.c_str(), &r.image);
    std::fflush(stdout);
    r.out = testing::internal::GetCapturedStdout();
    std::remove(path.c_str());
    if (pathOut != nullptr) {
        *pathOut = path;
    }
    return r;
}

static void expectFailedCleanly(const LoadResult& r)
{
    EXPECT_EQ(r.ok, 0);
    EXPECT_EQ(r.image.data, nullptr);
    EXPECT_EQ(r.image.width, 0u);
    EXPECT_EQ(r.image.height, 0u);
}

TEST(BmpReader, LittleEndianReadsCountBytesPastTheEndAsMinusOne)
{
    const std::string path = writeTemp({0x01, 0x02, 0x03, 0x04, 0x05});
    std::FILE* f = std::fopen(path.c_str(), "rb");
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(readLE32(f), 0x04030201u);
    EXPECT_EQ(readLE16(f), 0xFF05u);  // 5 + (-1) * 256
    EXPECT_EQ(readLE32(f), 0xFEFEFEFFu);
    std::fclose(f);
    std::remove(path.c_str());
}

TEST(BmpReader, TurnsBlueGreenRedIntoRedGreenBlue)
{
    std::vector<unsigned char> bytes = makeBmp(64, 64, 64 * 64 * 3);
    bytes[54] = 10;
    bytes[55] = 20;
    bytes[56] = 30;
    LoadResult r = loadBytes(bytes);
    ASSERT_EQ(r.ok, 1) << r.out;
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.image.width, 64u);
    EXPECT_EQ(r.image.height, 64u);
    EXPECT_EQ(r.image.data[0], 30);
    EXPECT_EQ(r.image.data[1], 20);
    EXPECT_EQ(r.image.data[2], 10);
    const size_t last = 64 * 64 * 3 - 3;  // file bytes i * 7 + 1, swapped within the triple
    EXPECT_EQ(r.image.data[last], static_cast<unsigned char>((last + 2) * 7 + 1));
    EXPECT_EQ(r.image.data[last + 2], static_cast<unsigned char>(last * 7 + 1));
    std::free(r.image.data);
}

TEST(BmpReader, PixelBlockSize)
{
    LoadResult exact = loadBytes(makeBmp(4, 2, 24));
    EXPECT_EQ(exact.ok, 1) << exact.out;
    std::free(exact.image.data);

    LoadResult extra = loadBytes(makeBmp(4, 2, 24 + 100));
    EXPECT_EQ(extra.ok, 1) << extra.out;
    std::free(extra.image.data);

    std::string path;
    LoadResult shortFile = loadBytes(makeBmp(4, 2, 23), &path);
    expectFailedCleanly(shortFile);
    EXPECT_EQ(shortFile.out, "Error reading image data from " + path + ".\n");

    LoadResult zero = loadBytes(makeBmp(0, 5, 0), &path);
    expectFailedCleanly(zero);
    EXPECT_EQ(zero.out, "Error reading image data from " + path + ".\n");

    // 805 million bytes promised by a tiny file: refused without a read past the end.
    LoadResult huge = loadBytes(makeBmp(16384, 16384, 12), &path);
    expectFailedCleanly(huge);
    EXPECT_EQ(huge.out, "Error reading image data from " + path + ".\n");
}

TEST(BmpReader, HeaderFailures)
{
    std::string path;
    LoadResult empty = loadBytes({}, &path);
    expectFailedCleanly(empty);
    EXPECT_EQ(empty.out, "Planes from " + path + " is not 1: 65279\n");

    LoadResult planes = loadBytes(makeBmp(4, 4, 48, 2, 24), &path);
    expectFailedCleanly(planes);
    EXPECT_EQ(planes.out, "Planes from " + path + " is not 1: 2\n");

    LoadResult bpp = loadBytes(makeBmp(4, 4, 64, 1, 32), &path);
    expectFailedCleanly(bpp);
    EXPECT_EQ(bpp.out, "Bpp from " + path + " is not 24: 32\n");

    // 65536 x 65536 x 3 does not fit in 32 bits.
    LoadResult overflow = loadBytes(makeBmp(65536, 65536, 16), &path);
    expectFailedCleanly(overflow);
    EXPECT_EQ(overflow.out, "Image " + path + " is too large: 65536 x 65536 pixels\n");

    Image image{5, 5, nullptr};
    std::fflush(stdout);
    testing::internal::CaptureStdout();
    EXPECT_EQ(loadBMP("/nonexistent/grass.bmp", &image), 0);
    std::fflush(stdout);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "File Not Found : /nonexistent/grass.bmp\n");
}

// Width 5: 15 bytes of pixels and 1 byte of padding per row in the file.
TEST(BmpReader, RowsWhoseBytesAreNotAMultipleOfFourSkipTheirPadding)
{
    std::vector<unsigned char> bytes = makeBmp(5, 3, 16 * 3);
    for (int row = 0; row < 3; ++row) {
        for (int i = 0; i < 15; ++i) {
            bytes[54 + row * 16 + i] = static_cast<unsigned char>(row * 40 + i);
        }
        bytes[54 + row * 16 + 15] = 0xEE;  // padding, never part of a pixel
    }
    LoadResult r = loadBytes(bytes);
    ASSERT_EQ(r.ok, 1) << r.out;
    for (int row = 0; row < 3; ++row) {
        for (int px = 0; px < 5; ++px) {
            const unsigned char* p = r.image.data + row * 15 + px * 3;
            EXPECT_EQ(p[0], row * 40 + px * 3 + 2);
            EXPECT_EQ(p[1], row * 40 + px * 3 + 1);
            EXPECT_EQ(p[2], row * 40 + px * 3);
        }
    }
    std::free(r.image.data);

    bytes.pop_back();  // the last row's padding is missing
    std::string path;
    LoadResult truncated = loadBytes(bytes, &path);
    expectFailedCleanly(truncated);
    EXPECT_EQ(truncated.out, "Error reading image data from " + path + ".\n");
}

TEST(BmpTexture, UploadsPackedRowsAndKeepsTheUnpackAlignment)
{
    ensureGlWindow();
    std::vector<unsigned char> bytes = makeBmp(5, 2, 32);
    const std::string path = writeTemp(bytes);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    std::fflush(stdout);
    testing::internal::CaptureStdout();
    loadTexture(path.c_str(), 300);
    std::fflush(stdout);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "trying to load " + path + "\n");
    std::remove(path.c_str());

    GLint alignment = 0;
    glGetIntegerv(GL_UNPACK_ALIGNMENT, &alignment);
    EXPECT_EQ(alignment, 4);
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->width, 5u);

    glBindTexture(GL_TEXTURE_2D, 300);
    GLint w = 0;
    GLint h = 0;
    GLint param = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &w);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &h);
    EXPECT_EQ(w, 5);
    EXPECT_EQ(h, 2);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &param);
    EXPECT_EQ(param, GL_NEAREST);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, &param);
    EXPECT_EQ(param, GL_REPEAT);
    std::vector<unsigned char> texels(30, 0);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGB, GL_UNSIGNED_BYTE, texels.data());
    for (int row = 0; row < 2; ++row) {
        for (int i = 0; i < 15; ++i) {
            const int fileIndex = row * 16 + (i / 3) * 3 + (2 - i % 3);
            EXPECT_EQ(texels[row * 15 + i], static_cast<unsigned char>(fileIndex * 7 + 1))
                << "row " << row << " byte " << i;
        }
    }
    glBindTexture(GL_TEXTURE_2D, 0);
}

TEST(BmpTexture, EveryFailureEndsTheProcessWithItsMessage)
{
    const std::string truncated = writeTemp(makeBmp(8, 8, 100));
    GLint maxSize = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &maxSize);
    ASSERT_GT(maxSize, 0);
    const uint32_t wide = static_cast<uint32_t>(maxSize) * 2;
    const std::string tooWide = writeTemp(makeBmp(wide, 1, wide * 3));
    // Standard output is sent to standard error so that the death test can match it.
    EXPECT_EXIT(
        {
            dup2(STDERR_FILENO, STDOUT_FILENO);
            loadTexture("/nonexistent/moon.bmp", 301);
        },
        testing::ExitedWithCode(1),
        "trying to load /nonexistent/moon.bmp\nFile Not Found : /nonexistent/moon.bmp\n");
    EXPECT_EXIT(
        {
            dup2(STDERR_FILENO, STDOUT_FILENO);
            loadTexture(truncated.c_str(), 301);
        },
        testing::ExitedWithCode(1), "Error reading image data from /tmp/bmp_test_");
    EXPECT_EXIT(
        {
            dup2(STDERR_FILENO, STDOUT_FILENO);
            loadTexture(tooWide.c_str(), 301);
        },
        testing::ExitedWithCode(1),
        "is too large for an OpenGL texture: " + std::to_string(wide) + " x 1 pixels");
    std::remove(truncated.c_str());
    std::remove(tooWide.c_str());
}

// Reads width and height from a BMP header directly, independent of the reader under test.
static bool headerSize(const std::string& path, uint32_t& width, uint32_t& height)
{
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (f == nullptr) {
        return false;
    }
    unsigned char header[26];
    const bool ok = std::fread(header, sizeof header, 1, f) == 1;
    std::fclose(f);
    width = 0;
    height = 0;
    for (int i = 3; i >= 0; --i) {
        width = width * 256 + header[18 + i];
        height = height * 256 + header[22 + i];
    }
    return ok;
}

TEST(BmpTexture, GameTexturesOneToElevenHoldTheirImages)
{
    loadGameAssetsOnce();
    const char* files[11] = {"grass", "wall", "moon", "Gunmetal", "StartNewGame", "Options",
                             "Help", "Quit", "Vantreska", "bunnyLeft", "bunnyRight"};
    for (int id = 1; id <= 11; ++id) {
        const std::string path = std::string(VANTRESKA_DATA) + "/images/" + files[id - 1] + ".bmp";
        uint32_t width = 0;
        uint32_t height = 0;
        ASSERT_TRUE(headerSize(path, width, height)) << path;
        EXPECT_TRUE(glIsTexture(id)) << path;
        glBindTexture(GL_TEXTURE_2D, id);
        GLint w = 0;
        GLint h = 0;
        glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &w);
        glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &h);
        EXPECT_EQ(static_cast<uint32_t>(w), width) << path;
        EXPECT_EQ(static_cast<uint32_t>(h), height) << path;
    }
    glBindTexture(GL_TEXTURE_2D, 0);
}
