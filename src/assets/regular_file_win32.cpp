#include "assets/regular_file.h"

#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <cerrno>
#include <cstring>

// The system's own words for an error, without the line end it puts after them.
static std::string systemReason(DWORD error)
{
    char text[512] = "";
    DWORD n = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                             error, 0, text, sizeof text, nullptr);
    while (n > 0 && (text[n - 1] == '\n' || text[n - 1] == '\r' || text[n - 1] == ' ')) {
        text[--n] = '\0';
    }
    return n > 0 ? text : "error " + std::to_string(error);
}

// Why the opened handle is no regular file of at most maxBytes; empty when it is one.
static std::string refusal(const char* path, HANDLE file, long long maxBytes)
{
    const DWORD type = GetFileType(file);
    if (type == FILE_TYPE_CHAR) {
        return notRegularLine(path, "a character device");  // CON, NUL, a serial port
    }
    if (type == FILE_TYPE_PIPE) {
        return notRegularLine(path, "a pipe");
    }
    if (type != FILE_TYPE_DISK) {
        return notRegularLine(path, "a special file");
    }
    BY_HANDLE_FILE_INFORMATION info = {};
    if (!GetFileInformationByHandle(file, &info)) {
        return std::string(path) + " could not be examined: " + systemReason(GetLastError());
    }
    if ((info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        return notRegularLine(path, "a directory");
    }
    const long long size = (static_cast<long long>(info.nFileSizeHigh) << 32) | info.nFileSizeLow;
    return maxBytes > 0 && size > maxBytes ? tooLargeLine(path, size, maxBytes) : "";
}

std::FILE* openRegularFile(const char* path, long long maxBytes, std::string& whyNot)
{
    whyNot.clear();
    // Backup semantics let a directory open too, to be told apart; opening a device or a pipe
    // returns at once. Others may go on reading, writing or renaming the file meanwhile.
    const HANDLE file = CreateFileA(path, GENERIC_READ,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                    nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        if (error != ERROR_FILE_NOT_FOUND && error != ERROR_PATH_NOT_FOUND) {
            whyNot = notOpenedLine(path, systemReason(error));
        }
        return nullptr;
    }
    whyNot = refusal(path, file, maxBytes);
    const int fd = whyNot.empty() ? _open_osfhandle(reinterpret_cast<intptr_t>(file),
                                                    _O_RDONLY | _O_BINARY)
                                  : -1;
    if (fd < 0) {
        if (whyNot.empty()) {
            whyNot = notOpenedLine(path, std::strerror(errno));
        }
        CloseHandle(file);
        return nullptr;
    }
    std::FILE* opened = _fdopen(fd, "rb");  // the descriptor owns the handle from here on
    if (opened == nullptr) {
        whyNot = notOpenedLine(path, std::strerror(errno));
        _close(fd);
    }
    return opened;
}
