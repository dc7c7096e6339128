#include "app/console.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

void keepStandardDescriptorsOpen()
{
    for (int fd = 0; fd <= 2; ++fd) {
        if (fcntl(fd, F_GETFD) == -1 && errno == EBADF) {
            // Those below fd are open by now, so the lowest free descriptor is fd itself.
            const int opened = open("/dev/null", O_RDWR);
            if (opened > fd) {
                dup2(opened, fd);
                close(opened);
            }
        }
    }
}

void startConsoleOutput()
{
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
}

// Line buffering has sent every whole line on already.
void flushConsoleOutput()
{
}

int muteStandardError()
{
    std::fflush(stderr);
    const int saved = fcntl(2, F_DUPFD_CLOEXEC, 3);
    const int null = open("/dev/null", O_WRONLY | O_CLOEXEC);
    if (saved >= 0 && null >= 0) {
        dup2(null, 2);
    }
    if (null >= 0) {
        close(null);
    }
    return saved;
}

void restoreStandardError(int saved)
{
    if (saved >= 0) {
        std::fflush(stderr);
        dup2(saved, 2);
        close(saved);
    }
}
