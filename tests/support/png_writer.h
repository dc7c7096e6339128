#pragma once

#include <string>
#include <vector>

// Writes 8-bit RGB pixels (rows top-down) as a PNG file. Returns false on failure.
bool writePng(const std::string& path, int width, int height,
              const std::vector<unsigned char>& rgb);
