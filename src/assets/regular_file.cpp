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
