#include "assets/bmp.h"

#include <GL/gl.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstdlib>
#include <new>
#include <string>

#include "app/game_state.h"
#include "assets/regular_file.h"

// Bytes of the BMP headers before the pixels; the data-offset field is not consulted.
static const long pixelOffset = 54;

// Four bytes, least significant first.
uint32_t readLE32(std::FILE* file)
{
    // getc's -1 at end of file takes part as -1; the sum wraps in 32 bits.
    const uint32_t b0 = static_cast<uint32_t>(std::getc(file));
    const uint32_t b1 = static_cast<uint32_t>(std::getc(file));
    const uint32_t b2 = static_cast<uint32_t>(std::getc(file));
    const uint32_t b3 = static_cast<uint32_t>(std::getc(file));
    return b0 + b1 * 256u + b2 * 65536u + b3 * 16777216u;
}

// Two bytes, least significant first; the low 16 bits of the 32-bit sum.
uint16_t readLE16(std::FILE* file)
{
    const uint32_t b0 = static_cast<uint32_t>(std::getc(file));
    const uint32_t b1 = static_cast<uint32_t>(std::getc(file));
    return static_cast<uint16_t>(b0 + b1 * 256u);
}

// Bytes in the file from the current position to its end; -1 when the file cannot seek.
static long bytesLeft(std::FILE* file)
{
    const long here = std::ftell(file);
    if (here < 0 || std::fseek(file, 0, SEEK_END) != 0) {
        return -1;
    }
    const long end = std::ftell(file);
    if (std::fseek(file, here, SEEK_SET) != 0) {
        return -1;
    }
    return end - here;
}

// Bytes read at a time. One read of a large image's pixels (768 MB at 16384 x 16384) runs to
// its end before an end signal is acted on; in pieces the signal ends the game at once.
static const size_t readPiece = 1 << 20;

// Reads bytes into data in pieces; false when the file holds fewer.
static bool readBlock(std::FILE* file, unsigned char* data, size_t bytes)
{
    for (size_t done = 0; done < bytes;) {
        const size_t piece = std::min(readPiece, bytes - done);
        if (std::fread(data + done, piece, 1, file) != 1) {
            return false;
        }
        done += piece;
    }
    return true;
}

// Reads height rows of width * 3 bytes, each padded in the file to a multiple of 4 bytes
// when width * 3 is not one, into a packed block. False when the file holds too few bytes.
static bool readPixels(std::FILE* file, unsigned char* data, uint32_t width, uint32_t height)
{
    const size_t row = static_cast<size_t>(width) * 3;
    if (row % 4 == 0) {
        return readBlock(file, data, row * height);
    }
    const size_t padding = 4 - row % 4;
    unsigned char pad[3];
    for (uint32_t y = 0; y < height; ++y) {
        if (std::fread(data + row * y, row, 1, file) != 1 ||
            std::fread(pad, padding, 1, file) != 1) {
            return false;
        }
    }
    return true;
}

// Whether a width x height image fits what will hold it (the GL's texture limit); null: any.
typedef bool (*SizeCheck)(uint32_t width, uint32_t height);

// Images the game refuses from the header, before any pixel is allocated or read, would most
// often fail anyway when read the plain way: one read of width x height x 3 bytes counted in
// unsigned 32 bits. Where that read would come up short, its line comes first, then ours.
static void printShortRead(bool shortRead, const char* path)
{
    if (shortRead) {
        std::printf("Error reading image data from %s.\n", path);
    }
}

// Header checks and the pixel read; on success the record is filled, else left alone.
static int readBMP(std::FILE* file, const char* path, Image* image, SizeCheck fits)
{
    std::fseek(file, 18, SEEK_CUR);
    const uint32_t width = readLE32(file);
    const uint32_t height = readLE32(file);
    const uint64_t size = static_cast<uint64_t>(width) * height * 3;
    const uint16_t planes = readLE16(file);
    if (planes != 1) {
        std::printf("Planes from %s is not 1: %u\n", path, static_cast<unsigned>(planes));
        return 0;
    }
    const uint16_t bpp = readLE16(file);
    if (bpp != 24) {
        std::printf("Bpp from %s is not 24: %u\n", path, static_cast<unsigned>(bpp));
        return 0;
    }
    std::fseek(file, pixelOffset, SEEK_SET);  // the 24 bytes after bpp are not read
    const long left = bytesLeft(file);
    const uint32_t countIn32Bits = width * height * 3u;
    const bool shortRead =
        countIn32Bits == 0 || left < 0 || static_cast<uint64_t>(left) < countIn32Bits;
    if (static_cast<int32_t>(height) < 0) {
        printShortRead(shortRead, path);
        // A negative height marks rows stored top-down; the game reads only bottom-up rows.
        std::printf("Image %s is stored top-down (negative height), which the game does not "
                    "read; save it bottom-up\n",
                    path);
        return 0;
    }
    if (size > UINT32_MAX) {
        printShortRead(shortRead, path);
        std::printf("Image %s is too large: %u x %u pixels\n", path, width, height);
        return 0;
    }
    if (fits != nullptr && !fits(width, height)) {
        printShortRead(shortRead, path);
        std::printf("Image %s is too large for an OpenGL texture: %u x %u pixels\n", path, width,
                    height);
        return 0;
    }
    // Rows of a width whose row bytes are not a multiple of 4 carry the BMP padding.
    const uint64_t rowInFile = (static_cast<uint64_t>(width) * 3 + 3) / 4 * 4;
    const uint64_t needed = width % 4 == 0 ? size : rowInFile * height;
    if (size == 0 || left < 0 || static_cast<uint64_t>(left) < needed) {
        // Never allocate more than the file can fill.
        std::printf("Error reading image data from %s.\n", path);
        return 0;
    }
    unsigned char* data = static_cast<unsigned char*>(std::malloc(size));
    if (data == nullptr) {
        std::printf("Error allocating memory for color-corrected image data");
        return 0;
    }
    if (!readPixels(file, data, width, height)) {
        std::printf("Error reading image data from %s.\n", path);
        std::free(data);
        return 0;
    }
    for (uint64_t i = 0; i < size; i += 3) {
        const unsigned char blue = data[i];  // blue-green-red in the file
        data[i] = data[i + 2];
        data[i + 2] = blue;
    }
    image->width = width;
    image->height = height;
    image->data = data;
    return 1;
}

// Opens the file and reads it into image; a failure leaves the record empty.
static int readImageFile(const char* path, Image* image, SizeCheck fits)
{
    image->width = 0;
    image->height = 0;
    image->data = nullptr;
    std::string whyNot;
    std::FILE* file = openRegularFile(path, 0, whyNot);  // the header bounds the size
    if (file == nullptr) {
        std::printf("File Not Found : %s\n", path);
        if (!whyNot.empty()) {
            std::printf("%s\n", whyNot.c_str());
        }
        return 0;
    }
    const int ok = readBMP(file, path, image, fits);
    std::fclose(file);
    return ok;
}

int loadBMP(const char* path, Image* image)
{
    return readImageFile(path, image, nullptr);
}

// Whether this GL can hold a width x height RGB texture: the size limit, then a proxy probe.
static bool textureFits(uint32_t width, uint32_t height)
{
    GLint maxSize = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &maxSize);
    if (maxSize <= 0 || width > static_cast<uint32_t>(maxSize) ||
        height > static_cast<uint32_t>(maxSize)) {
        return false;
    }
    glTexImage2D(GL_PROXY_TEXTURE_2D, 0, 3, static_cast<GLsizei>(width),
                 static_cast<GLsizei>(height), 0, GL_RGB, GL_UNSIGNED_BYTE, nullptr);
    GLint proxyWidth = 0;
    glGetTexLevelParameteriv(GL_PROXY_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &proxyWidth);
    return proxyWidth != 0;
}

// An image whose very folder is missing means the game was started from another directory.
static void explainMissingFolder(const char* path)
{
    const std::string name = path;
    const size_t slash = name.rfind('/');
    struct stat st = {};
    if (slash != std::string::npos && stat(name.substr(0, slash).c_str(), &st) != 0) {
        std::printf("The game runs from its asset folder (images/, meshes/, sounds/); the "
                    "installed vantreska command starts it there.\n");
    }
}

// Reads the image and uploads it as texture id, nearest filtering, repeating; exits on failure.
void loadTexture(const char* path, unsigned int id)
{
    image = new (std::nothrow) Image{0, 0, nullptr};
    if (image == nullptr) {
        std::printf("Error allocating space for image");
        std::exit(1);
    }
    std::printf("trying to load %s\n", path);
    std::fflush(stdout);
    // A size the GL cannot take is refused from the header, before the pixels are read.
    if (readImageFile(path, image, textureFits) == 0) {
        explainMissingFolder(path);
        std::exit(1);
    }
    glBindTexture(GL_TEXTURE_2D, id);
    // The block is packed (BMP row padding already dropped), whatever the width.
    GLint alignment = 4;
    glGetIntegerv(GL_UNPACK_ALIGNMENT, &alignment);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexImage2D(GL_TEXTURE_2D, 0, 3, static_cast<GLsizei>(image->width),
                 static_cast<GLsizei>(image->height), 0, GL_RGB, GL_UNSIGNED_BYTE, image->data);
    glPixelStorei(GL_UNPACK_ALIGNMENT, alignment);
    glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, static_cast<GLfloat>(GL_REPEAT));
    glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, static_cast<GLfloat>(GL_REPEAT));
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glHint(GL_POLYGON_SMOOTH_HINT, GL_FASTEST);
}
