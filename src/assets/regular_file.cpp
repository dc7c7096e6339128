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

// The descriptor of the regular file at path, or -1 with the reason in whyNot.
static int openRegular(const char* path, long long maxBytes, std::string& whyNot)
{
    whyNot.clear();
    // O_NONBLOCK: opening a FIFO with no writer returns at once instead of waiting for one.
    // On a regular file it changes nothing, so reads through it behave as usual.
    const int fd = open(path, O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        if (errno != ENOENT) {
            whyNot = std::string(path) + " could not be opened: " + std::strerror(errno);
        }
        return -1;
    }
    struct stat st = {};
    if (fstat(fd, &st) != 0) {
        whyNot = std::string(path) + " could not be examined: " + std::strerror(errno);
    } else if (!S_ISREG(st.st_mode)) {
        whyNot = std::string(path) + " is " + kindOf(st.st_mode) + ", not a regular file; not read";
    } else if (maxBytes > 0 && st.st_size > maxBytes) {
        whyNot = std::string(path) + " holds " + std::to_string(st.st_size) +
                 " bytes, more than the " + std::to_string(maxBytes / (1024 * 1024)) +
                 " MB allowed; not read";
    }
    if (!whyNot.empty()) {
        close(fd);
        return -1;
    }
    return fd;
}

std::FILE* openRegularFile(const char* path, long long maxBytes, std::string& whyNot)
{
    const int fd = openRegular(path, maxBytes, whyNot);
    if (fd < 0) {
        return nullptr;
    }
    std::FILE* file = fdopen(fd, "rb");
    if (file == nullptr) {
        whyNot = std::string(path) + " could not be opened: " + std::strerror(errno);
        close(fd);
    }
    return file;
}
