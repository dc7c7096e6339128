#include "assets/regular_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

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

// The descriptor of the regular file at path, or -1 (refused set after its line on report).
static int openRegular(const char* path, long long maxBytes, std::FILE* report, bool& refused)
{
    refused = false;
    // O_NONBLOCK: opening a FIFO with no writer returns at once instead of waiting for one.
    // On a regular file it changes nothing, so reads through it behave as usual.
    const int fd = open(path, O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        return -1;
    }
    struct stat st = {};
    if (fstat(fd, &st) != 0) {
        close(fd);
        return -1;
    }
    if (!S_ISREG(st.st_mode)) {
        std::fprintf(report, "%s is %s, not a regular file; not read\n", path, kindOf(st.st_mode));
        refused = true;
    } else if (maxBytes > 0 && st.st_size > maxBytes) {
        std::fprintf(report, "%s holds %lld bytes, more than the %lld MB allowed; not read\n", path,
                     static_cast<long long>(st.st_size), maxBytes / (1024 * 1024));
        refused = true;
    }
    if (refused) {
        std::fflush(report);
        close(fd);
        return -1;
    }
    return fd;
}

std::FILE* openRegularFile(const char* path, long long maxBytes, std::FILE* report, bool* refused)
{
    bool wasRefused = false;
    const int fd = openRegular(path, maxBytes, report, wasRefused);
    if (refused != nullptr) {
        *refused = wasRefused;
    }
    if (fd < 0) {
        return nullptr;
    }
    std::FILE* file = fdopen(fd, "rb");
    if (file == nullptr) {
        close(fd);
    }
    return file;
}

bool readRegularFile(const char* path, long long maxBytes, std::FILE* report,
                     std::vector<unsigned char>& bytes)
{
    bytes.clear();
    bool refused = false;
    const int fd = openRegular(path, maxBytes, report, refused);
    if (fd < 0) {
        return false;
    }
    // Read to the end rather than trusting the size: the file may grow or shrink meanwhile.
    unsigned char buffer[65536];
    bool ok = true;
    for (;;) {
        const ssize_t n = read(fd, buffer, sizeof buffer);
        if (n == 0) {
            break;
        }
        if (n < 0 || (maxBytes > 0 && static_cast<long long>(bytes.size()) + n > maxBytes)) {
            std::fprintf(report, "%s could not be read whole; not read\n", path);
            ok = false;
            break;
        }
        bytes.insert(bytes.end(), buffer, buffer + n);
    }
    close(fd);
    if (!ok) {
        bytes.clear();
    }
    return ok;
}
