#include "assets/regular_file.h"

std::string notRegularLine(const char* path, const char* kind)
{
    return std::string(path) + " is " + kind + ", not a regular file; not read";
}

std::string tooLargeLine(const char* path, long long size, long long maxBytes)
{
    return std::string(path) + " holds " + std::to_string(size) + " bytes, more than the " +
           std::to_string(maxBytes / (1024 * 1024)) + " MB allowed; not read";
}

std::string notOpenedLine(const char* path, const std::string& reason)
{
    return std::string(path) + " could not be opened: " + reason;
}

bool readRegularFile(const char* path, long long maxBytes, std::vector<unsigned char>& bytes,
                     std::string& whyNot)
{
    bytes.clear();
    std::FILE* file = openRegularFile(path, maxBytes, whyNot);
    if (file == nullptr) {
        return false;
    }
    // Read to the end rather than trusting the size: the file may grow or shrink meanwhile.
    unsigned char buffer[65536];
    for (;;) {
        const size_t n = std::fread(buffer, 1, sizeof buffer, file);
        if (n == 0 && !std::ferror(file)) {
            break;
        }
        if (n == 0 || (maxBytes > 0 && static_cast<long long>(bytes.size() + n) > maxBytes)) {
            whyNot = std::string(path) + " could not be read whole; not read";
            bytes.clear();
            break;
        }
        bytes.insert(bytes.end(), buffer, buffer + n);
    }
    std::fclose(file);
    return whyNot.empty();
}
