#include "app/console.h"

#include <fcntl.h>
#include <io.h>

#include <cstdio>

// The C runtime already marks descriptors 0 to 2 in use when the process has no such handle,
// so a later open never takes their place.
void keepStandardDescriptorsOpen()
{
}

// The Windows C runtime has no line buffering, and unbuffered it writes a formatted line a
// character at a time, which a console window draws slowly: the lines wait in a buffer that
// flushConsoleOutput empties between passes, some 17 ms apart, and exit empties at the end.
void startConsoleOutput()
{
    std::setvbuf(stdout, nullptr, _IOFBF, 4096);
}

void flushConsoleOutput()
{
    std::fflush(stdout);
}

int muteStandardError()
{
    std::fflush(stderr);
    const int saved = _dup(2);
    const int null = _open("NUL", _O_WRONLY | _O_NOINHERIT);
    if (saved >= 0 && null >= 0) {
        _dup2(null, 2);
    }
    if (null >= 0) {
        _close(null);
    }
    return saved;
}

void restoreStandardError(int saved)
{
    if (saved >= 0) {
        std::fflush(stderr);
        _dup2(saved, 2);
        _close(saved);
    }
}
