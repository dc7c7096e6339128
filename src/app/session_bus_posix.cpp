#include "app/session_bus.h"

#include <SDL.h>

#include <cctype>
#include <cstdio>
#include <cstring>
#include <string>

// A D-Bus address value: bytes other than these are written %XX.
static std::string escapeBusValue(const std::string& text)
{
    static const char plain[] = "-_/.\\*";
    std::string escaped;
    for (const unsigned char c : text) {
        if (std::isalnum(c) != 0 || std::strchr(plain, c) != nullptr) {
            escaped += static_cast<char>(c);
        } else {
            char hex[4];
            std::snprintf(hex, sizeof hex, "%%%02x", c);
            escaped += hex;
        }
    }
    return escaped;
}

// SDL connects to the session bus as it starts. With none named (a bare X session, the test
// suites), libdbus autolaunches one through dbus-launch, which outlives the game until the X
// server goes. Naming the user's own bus socket instead (what libdbus tries first), or an
// address of no transport when there is no runtime directory, makes a missing bus just fail.
void keepSessionBusFromAutolaunching()
{
    const char* address = SDL_getenv("DBUS_SESSION_BUS_ADDRESS");
    if (address != nullptr && std::strstr(address, "autolaunch:") == nullptr) {
        return;
    }
    const char* runtime = SDL_getenv("XDG_RUNTIME_DIR");
    const std::string bus = runtime != nullptr && runtime[0] == '/'
                                ? "unix:path=" + escapeBusValue(std::string(runtime) + "/bus")
                                : "disabled:";
    SDL_setenv("DBUS_SESSION_BUS_ADDRESS", bus.c_str(), 1);
}
