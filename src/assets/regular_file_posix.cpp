#include "assets/regular_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

// What a non-regular file is, for the refusal line.
static const char* kindOf(mode_t mode)
{
    if (S_ISDIR(mode)) {
        return "a directory";
    }
    if (S_ISFIFO(mode)) {
        return "a FIFO";
    }
    if (S_ISCHR(mode)) {
        return "a character device";
    }
    if (S_ISBLK(mode)) {
        return "a block device";
    }
    if (S_ISSOCK(mode)) {
        return "a socket";
    }
    return "a special file";
}

std::FILE* openRegularFile(const char* path, long long maxBytes, std::string& whyNot)
{
    whyNot.clear();
    // O_NONBLOCK: opening a FIFO with no writer returns at once instead of waiting for one.
    // On a regular file it changes nothing, so reads through it behave as usual.
    const int fd = open(path, O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        if (errno != ENOENT) {
            whyNot = notOpenedLine(path, std::strerror(errno));
        }
        return nullptr;
    }
    struct stat st = {};
    std::FILE* file = nullptr;
    if (fstat(fd, &st) != 0) {
        whyNot = std::string(path) + " could not be examined: " + std::strerror(errno);
    } else if (!S_ISREG(st.st_mode)) {
        whyNot = notRegularLine(path, kindOf(st.st_mode));
    } else if (maxBytes > 0 && st.st_size > maxBytes) {
        whyNot = tooLargeLine(path, st.st_size, maxBytes);
    } else if ((file = fdopen(fd, "rb")) == nullptr) {
        whyNot = notOpenedLine(path, std::strerror(errno));
    }
    if (file == nullptr) {
        close(fd);
    }
    return file;
}
