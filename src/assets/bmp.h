#pragma once

#include <cstdint>
#include <cstdio>

// A 24-bit image as loadBMP fills it: rows packed in file order, bytes red, green, blue.
struct Image {
    uint32_t width;
    uint32_t height;
    unsigned char* data;  // width * height * 3 bytes; never freed
};

// The next four bytes of the file as a little-endian unsigned number (EOF bytes count as -1).
uint32_t readLE32(std::FILE* file);

// The next two bytes of the file as a little-endian unsigned number (EOF bytes count as -1).
uint16_t readLE16(std::FILE* file);

// Fills image from a 24-bit uncompressed BMP. Returns 1 on success; on failure prints the
// reason on standard output and returns 0, leaving no pixel block behind.
int loadBMP(const char* path, Image* image);

// Loads the BMP at path and uploads it as texture number id. Any failure ends the process
// with exit status 1 after its message; a size the GL cannot hold is refused from the header,
// before the pixels are allocated or read. Needs a current GL context.
void loadTexture(const char* path, unsigned int id);
