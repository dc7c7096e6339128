#include "support/e2e_driver.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/extensions/Xfixes.h>
#include <fcntl.h>
#include <grp.h>
#include <png.h>
#include <poll.h>
#include <pwd.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <thread>

// The user a sway desktop runs its programs as; empty for the test's own.
static std::string desktopUser;

// In a child about to exec: becomes the desktop's user, if any (the test runs as root).
static void becomeDesktopUser()
{
    const passwd* user = desktopUser.empty() ? nullptr : getpwnam(desktopUser.c_str());
    if (user != nullptr && getuid() == 0 &&
        (setgroups(0, nullptr) != 0 || setgid(user->pw_gid) != 0 || setuid(user->pw_uid) != 0)) {
        _exit(126);
    }
}

// The shell prefix that runs a command as the desktop's user.
static std::string asDesktopUser()
{
    return desktopUser.empty() || getuid() != 0
               ? ""
               : "setpriv --reuid=" + desktopUser + " --regid=$(id -gn " + desktopUser +
                     ") --clear-groups ";
}

GameRun startGame(const std::vector<std::string>& extraEnv, const std::string& workDir,
                  const std::string& binary)
{
    GameRun run;
    int outPipe[2];
    int errPipe[2];
    // Close-on-exec: the game must hold no end of its pipes but the write ends it writes to.
    if (pipe2(outPipe, O_CLOEXEC) != 0 || pipe2(errPipe, O_CLOEXEC) != 0) {
        return run;
    }
    run.pid = fork();
    if (run.pid == 0) {
        // The programs that use this driver run no other thread, so the child may still
        // change its environment before the exec.
        dup2(outPipe[1], 1);
        dup2(errPipe[1], 2);
        setenv("SDL_AUDIODRIVER", "dummy", 0);
        for (const std::string& e : extraEnv) {
            putenv(strdup(e.c_str()));
        }
        for (const int s : {SIGINT, SIGTERM, SIGHUP}) {
            signal(s, SIG_DFL);  // as from a terminal, whatever the test runner ignores
        }
        becomeDesktopUser();
        if (chdir(workDir.c_str()) == 0) {
            execl(binary.c_str(), binary.c_str(), static_cast<char*>(nullptr));
        }
        _exit(127);
    }
    close(outPipe[1]);
    close(errPipe[1]);
    fcntl(outPipe[0], F_SETFL, O_NONBLOCK);
    fcntl(errPipe[0], F_SETFL, O_NONBLOCK);
    run.outFd = outPipe[0];
    run.errFd = errPipe[0];
    return run;
}

// Appends whatever the pipe holds; closes it at its end.
static void readFd(int& fd, std::string& into)
{
    char buf[4096];
    ssize_t n = 0;
    while (fd >= 0 && (n = read(fd, buf, sizeof buf)) > 0) {
        into.append(buf, static_cast<size_t>(n));
    }
    if (n == 0 && fd >= 0) {
        close(fd);
        fd = -1;
    }
}

// Waits up to ms for output, reads it, and notes whether the game has ended.
static void collect(GameRun& run, int ms)
{
    pollfd fds[2] = {{run.outFd, POLLIN, 0}, {run.errFd, POLLIN, 0}};
    poll(fds, 2, ms);
    readFd(run.outFd, run.out);
    readFd(run.errFd, run.err);
    int status = 0;
    if (!run.ended && run.pid > 0 && waitpid(run.pid, &status, WNOHANG) == run.pid) {
        run.ended = true;
        run.exitStatus = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    }
}

bool waitFor(GameRun& run, const std::function<bool()>& done, double timeoutSec)
{
    const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(timeoutSec);
    for (;;) {
        collect(run, 10);
        if (const bool ok = done(); ok || std::chrono::steady_clock::now() > end ||
            (run.ended && run.outFd < 0 && run.errFd < 0)) {
            collect(run, 0);  // all that was printed before done() held, to go with it
            return ok;
        }
    }
}

bool waitForOutput(GameRun& run, const std::string& text, double timeoutSec, bool inStderr)
{
    const std::string& s = inStderr ? run.err : run.out;
    return waitFor(run, [&] { return s.find(text) != std::string::npos; }, timeoutSec);
}

int countOccurrences(const std::string& s, const std::string& text)
{
    int count = 0;
    for (size_t at = s.find(text); at != std::string::npos; at = s.find(text, at + text.size())) {
        ++count;
    }
    return count;
}

int waitForExit(GameRun& run, double timeoutSec)
{
    waitFor(run, [&] { return run.ended; }, timeoutSec);
    return run.ended ? run.exitStatus : -1;
}

void pause(GameRun& run, int ms)
{
    waitFor(run, [] { return false; }, ms / 1000.0);
}

std::string commandOutput(const std::string& command)
{
    std::string out;
    FILE* p = popen((asDesktopUser() + command).c_str(), "r");
    char buf[512];
    for (size_t n = 0; p != nullptr && (n = fread(buf, 1, sizeof buf, p)) > 0;) {
        out.append(buf, n);
    }
    if (p != nullptr) {
        pclose(p);
    }
    return out;
}

// The shell-style geometry of every visible window named Vantreska (a window of an earlier
// run may still be closing, so there may be more than one).
static std::string gameWindows()
{
    return commandOutput("xdotool search --onlyvisible --name '^Vantreska$' "
                         "getwindowgeometry --shell %@ 2>/dev/null");
}

void stopGame(GameRun& run)
{
    if (run.pid > 0 && !run.ended) {
        kill(run.pid, SIGTERM);
        if (waitForExit(run, 3.0) < 0) {
            kill(run.pid, SIGKILL);
            waitpid(run.pid, nullptr, 0);
            run.ended = true;
        }
    }
    collect(run, 0);
    for (int* fd : {&run.outFd, &run.errFd}) {
        if (*fd >= 0) {
            close(*fd);
            *fd = -1;
        }
    }
    // The next run starts on a clean screen.
    for (int i = 0; i < 30 && !gameWindows().empty(); ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
}

// The test process's own connection to the X display DISPLAY names now.
static Display* openedDisplay = nullptr;
static std::string openedName;

static Display* xDisplay()
{
    const char* name = std::getenv("DISPLAY");
    if (openedDisplay == nullptr || openedName != (name != nullptr ? name : "")) {
        if (openedDisplay != nullptr) {
            XCloseDisplay(openedDisplay);
        }
        openedName = name != nullptr ? name : "";
        openedDisplay = XOpenDisplay(nullptr);
    }
    return openedDisplay;
}

// Closes it before its server goes.
static void closeXDisplay()
{
    if (openedDisplay != nullptr) {
        XCloseDisplay(openedDisplay);
        openedDisplay = nullptr;
    }
}

// The screen's size: a sway desktop's output, else the X display's.
static int screenWidth = 0;
static int screenHeight = 0;

static void screenSize(int& width, int& height)
{
    Display* d = screenWidth > 0 ? nullptr : xDisplay();
    width = d != nullptr ? DisplayWidth(d, 0) : screenWidth;
    height = d != nullptr ? DisplayHeight(d, 0) : screenHeight;
}

// Where a screen of this size shows the picture's point (x, y) in a full-screen window.
static void pictureToScreen(int width, int height, int& x, int& y)
{
    const double scale = std::min(width / 1024.0, height / 768.0);
    x = static_cast<int>((width - 1024 * scale) / 2 + (x + 0.5) * scale);
    y = static_cast<int>((height - 768 * scale) / 2 + (y + 0.5) * scale);
}

int Screenshot::shown(int x, int y, int channel) const
{
    pictureToScreen(width, height, x, y);
    return at(x, y, channel);
}

bool waitForWindow(GameRun& run, double timeoutSec)
{
    // Filling the screen; the title in its place shows the reshape landed.
    int width = 0, height = 0;
    screenSize(width, height);
    const std::string size = "WIDTH=" + std::to_string(width) + "\nHEIGHT=" +
                             std::to_string(height) + "\n";
    const auto shown = [&] {
        return gameWindows().find(size) != std::string::npos && titleShown(takeScreenshot());
    };
    return waitFor(run, shown, timeoutSec);
}

bool waitForScreen(GameRun& run, const ScreenTest& shows, double timeoutSec, Screenshot* last)
{
    Screenshot shot;
    Screenshot& seen = last != nullptr ? *last : shot;
    return waitFor(run, [&] { return shows(seen = takeScreenshot()); }, timeoutSec);
}

// A number after "name=" in shell-style output; -1 when missing.
static int shellValue(const std::string& output, const std::string& name)
{
    const size_t at = output.find(name + "=");
    return at == std::string::npos ? -1 : std::atoi(output.c_str() + at + name.size() + 1);
}

bool waitForPointerHeld(GameRun& run, double timeoutSec)
{
    const auto there = [&] {
        const std::string window = gameWindows();
        const std::string pointer = commandOutput("xdotool getmouselocation --shell");
        const int w = shellValue(window, "WIDTH"), h = shellValue(window, "HEIGHT");
        return w > 0 && shellValue(pointer, "X") == shellValue(window, "X") + w / 2 &&
               shellValue(pointer, "Y") == shellValue(window, "Y") + h / 2;
    };
    return waitFor(run, there, timeoutSec);
}

int xdo(const std::string& args)
{
    const int status =
        std::system((asDesktopUser() + "xdotool " + args + " >/dev/null 2>&1").c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

void movePointer(int x, int y)
{
    screenPoint(x, y);
    xdo("mousemove " + std::to_string(x) + " " + std::to_string(y));
}

void screenPoint(int& x, int& y)
{
    int width = 0, height = 0;
    screenSize(width, height);
    pictureToScreen(width, height, x, y);
}

void clickAt(int x, int y)
{
    movePointer(x, y);  // the X server hands the game the move, then the click
    xdo("click 1");
}

void pressKey(const std::string& key)
{
    xdo("key " + key);
}

void holdKey(const std::string& key, int ms)
{
    xdo("keydown " + key);
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
    xdo("keyup " + key);
}

unsigned long openWindow()
{
    Display* d = xDisplay();
    const Window w = XCreateSimpleWindow(d, DefaultRootWindow(d), 0, 0, 8, 8, 0, 0, 0);
    XMapWindow(d, w);
    XSync(d, False);
    return w;
}

unsigned long takeFocus()
{
    Display* d = xDisplay();
    const Window w = openWindow();
    XSetInputFocus(d, w, RevertToPointerRoot, CurrentTime);
    XSync(d, False);
    return w;
}

unsigned long popUpUnderPointer()
{
    Display* d = xDisplay();
    Window root = 0, child = 0;
    int x = 0, y = 0, wx = 0, wy = 0;
    unsigned int buttons = 0;
    XQueryPointer(d, DefaultRootWindow(d), &root, &child, &x, &y, &wx, &wy, &buttons);
    XSetWindowAttributes attributes = {};
    attributes.override_redirect = True;
    const Window w = XCreateWindow(d, root, x - 20, y - 20, 40, 40, 0, CopyFromParent, InputOutput,
                                   CopyFromParent, CWOverrideRedirect, &attributes);
    XMapRaised(d, w);
    XSync(d, False);
    return w;
}

void refocusPressing(unsigned long away, unsigned long window, const char* key)
{
    Display* d = xDisplay();
    XSetInputFocus(d, away, RevertToPointerRoot, CurrentTime);
    XSetInputFocus(d, window, RevertToPointerRoot, CurrentTime);
    XTestFakeKeyEvent(d, XKeysymToKeycode(d, XStringToKeysym(key)), True, CurrentTime);
    XSync(d, False);
}

void setKeyRepeat(bool on)
{
    on ? XAutoRepeatOn(xDisplay()) : XAutoRepeatOff(xDisplay());
    XSync(xDisplay(), False);
}

bool pointerShown()
{
    XFixesCursorImage* cursor = XFixesGetCursorImage(xDisplay());
    bool visible = false;
    for (int p = 0; cursor != nullptr && p < cursor->width * cursor->height; ++p) {
        visible = visible || (cursor->pixels[p] >> 24) != 0;
    }
    if (cursor != nullptr) {
        XFree(cursor);
    }
    return visible;
}

void closeWindow(unsigned long window)
{
    XDestroyWindow(xDisplay(), window);
    XSync(xDisplay(), False);
}

Screenshot takeScreenshot()
{
    Screenshot shot;
    Display* d = xDisplay();
    XImage* image = d == nullptr ? nullptr
                                 : XGetImage(d, DefaultRootWindow(d), 0, 0, DisplayWidth(d, 0),
                                             DisplayHeight(d, 0), AllPlanes, ZPixmap);
    if (image == nullptr) {
        return shot;
    }
    shot.width = image->width;
    shot.height = image->height;
    shot.rgb.reserve(static_cast<size_t>(shot.width) * shot.height * 3);
    for (int y = 0; y < shot.height; ++y) {
        for (int x = 0; x < shot.width; ++x) {
            const unsigned long p = XGetPixel(image, x, y);  // 24-bit true colour: 0xRRGGBB
            shot.rgb.insert(shot.rgb.end(), {static_cast<unsigned char>(p >> 16),
                                             static_cast<unsigned char>(p >> 8),
                                             static_cast<unsigned char>(p)});
        }
    }
    XDestroyImage(image);
    return shot;
}

bool saveScreenshot(const Screenshot& shot, const std::string& path)
{
    png_image png = {};
    png.version = PNG_IMAGE_VERSION;
    png.width = static_cast<png_uint_32>(shot.width);
    png.height = static_cast<png_uint_32>(shot.height);
    png.format = PNG_FORMAT_RGB;
    return shot.width > 0 &&
           png_image_write_to_file(&png, path.c_str(), 0, shot.rgb.data(), 0, nullptr) != 0;
}

bool isSkyBlue(int r, int g, int b) { return b > 150 && b > r + 80 && b > g + 40; }
bool isGrass(int r, int g, int b) { return g > r + 15 && g > b + 15; }
bool isBlack(int r, int g, int b) { return r < 8 && g < 8 && b < 8; }
bool isPureRed(int r, int g, int b) { return r > 200 && g < 40 && b < 40; }
bool isReddish(int r, int g, int b) { return r > 120 && g + b < 160; }

double share(const Screenshot& s, bool (*test)(int, int, int), int x0, int y0, int x1, int y1)
{
    int hits = 0, total = 0;
    for (int y = y0; y < y1; y += 4) {
        for (int x = x0; x < x1; x += 4, ++total) {
            hits += test(s.shown(x, y, 0), s.shown(x, y, 1), s.shown(x, y, 2)) ? 1 : 0;
        }
    }
    return static_cast<double>(hits) / total;
}

bool titleShown(const Screenshot& shot)
{
    int lit = 0;  // the title's orange letters, not the white ones of the Options and Help panels
    for (int x = 300; shot.width >= 1024 && x < 724; x += 4) {
        lit += shot.shown(x, 160, 0) > 150 && shot.shown(x, 160, 1) > shot.shown(x, 160, 2) + 40;
    }
    const int corner = shot.shown(20, 700, 0) + shot.shown(20, 700, 1) + shot.shown(20, 700, 2);
    return lit > 10 && corner < 30;
}

bool hudShown(const Screenshot& s) { return share(s, isPureRed, 0, 600, 300, 768) > 0.01; }
bool helpText(const Screenshot& s) { return share(s, isReddish, 180, 290, 400, 310) > 0.01; }
bool paused(const Screenshot& s) { return share(s, isReddish, 740, 725, 1024, 755) > 0.01; }

double changedAbove(const Screenshot& a, const Screenshot& b)
{
    int changed = 0, total = 0;
    for (int y = 0; y < 380; y += 2) {
        for (int x = 0; x < 1024; x += 2, ++total) {
            int gap = 0;
            for (int c = 0; c < 3; ++c) {
                gap += std::abs(a.shown(x, y, c) - b.shown(x, y, c));
            }
            changed += gap > 30 ? 1 : 0;
        }
    }
    return static_cast<double>(changed) / total;
}

// Whether a program is on the PATH.
static bool installed(const std::string& program)
{
    return std::system(("command -v " + program + " >/dev/null 2>&1").c_str()) == 0;
}

// Starts argv with its output in logPath, as the desktop's user when asUser; keepFd stays
// open in it.
static pid_t spawn(const std::vector<std::string>& argv, const std::string& logPath,
                   bool asUser, int keepFd = -1)
{
    std::vector<char*> args;
    for (const std::string& a : argv) {
        args.push_back(const_cast<char*>(a.c_str()));
    }
    args.push_back(nullptr);
    const pid_t pid = fork();
    if (pid == 0) {
        const int log = open(logPath.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
        dup2(log, 1);
        dup2(log, 2);
        if (keepFd >= 0) {
            fcntl(keepFd, F_SETFD, 0);
        }
        if (asUser) {
            becomeDesktopUser();
        }
        execvp(args[0], args.data());
        _exit(127);
    }
    return pid;
}

// Sets an environment variable for the desktop's life, noting how to put it back.
static void setDesktopEnv(Desktop& desktop, const std::string& name, const std::string& value)
{
    const char* old = std::getenv(name.c_str());
    desktop.savedEnv.push_back(old != nullptr ? name + "=" + old : name);
    setenv(name.c_str(), value.c_str(), 1);
}

// A directory of its own under /tmp, removed with the desktop.
static std::string scratchDir(Desktop& desktop)
{
    char dir[] = "/tmp/vantreska-desktop-XXXXXX";
    desktop.scratch = mkdtemp(dir) != nullptr ? dir : "/tmp";
    return desktop.scratch;
}

void startXDesktop(Desktop& desktop, int width, int height, const std::string& windowManager)
{
    for (const std::string& program : {std::string("Xvfb"), windowManager}) {
        if (!program.empty() && !installed(program)) {
            desktop.skipped = program + " is not installed (scripts/setup.sh installs it)";
            return;
        }
    }
    const std::string dir = scratchDir(desktop);
    int number[2];
    if (pipe(number) != 0) {
        desktop.skipped = "no pipe for Xvfb's display number";
        return;
    }
    // No -auth: a private server on this machine's local sockets only.
    desktop.processes.push_back(spawn({"Xvfb", "-displayfd", std::to_string(number[1]), "-screen",
                                       "0", std::to_string(width) + "x" + std::to_string(height) +
                                       "x24", "-nolisten", "tcp", "-noreset"},
                                      dir + "/server.log", false, number[1]));
    close(number[1]);
    char digits[16] = {};
    pollfd ready = {number[0], POLLIN, 0};
    const bool started = poll(&ready, 1, 30000) == 1 && read(number[0], digits, 15) > 0;
    close(number[0]);
    if (!started) {
        desktop.skipped = "Xvfb did not start (see " + dir + "/server.log)";
        return;
    }
    closeXDisplay();
    setDesktopEnv(desktop, "DISPLAY", ":" + std::to_string(std::atoi(digits)));
    if (!windowManager.empty()) {
        startClient(desktop, {windowManager});
        for (int i = 0; i < 300 && commandOutput("xprop -root _NET_SUPPORTING_WM_CHECK")
                                            .find("window id") == std::string::npos; ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
    }
    return;
}

void startSwayDesktop(Desktop& desktop, int width, int height)
{
    for (const char* program : {"sway", "swaymsg", "Xwayland", "weston-terminal", "wtype",
                                "setpriv", "xdotool"}) {
        if (!installed(program)) {
            desktop.skipped = std::string(program) + " is not installed (scripts/setup.sh "
                              "installs it)";
            return;
        }
    }
    desktopUser = getuid() == 0 ? "nobody" : "";  // sway refuses root
    const std::string dir = scratchDir(desktop);
    const std::string runtime = dir + "/runtime";
    const std::string game = dir + "/game";
    std::ofstream(dir + "/config") << "xwayland enable\n"
                                      "exec sh -c 'echo \"$DISPLAY\" > \"$XDG_RUNTIME_DIR/x\"'\n";
    std::system(("mkdir -p " + runtime + " " + game + " && cp -r " VANTRESKA_DATA "/. " + game +
                 " && cp " VANTRESKA_BIN " " + game + "/vantreska && chmod -R a+rX " + dir +
                 " && chmod 700 " + runtime + (desktopUser.empty() ? "" : " && chown " +
                 desktopUser + " " + runtime)).c_str());
    desktop.dataDir = game;
    desktop.binary = game + "/vantreska";
    setDesktopEnv(desktop, "XDG_RUNTIME_DIR", runtime);
    setDesktopEnv(desktop, "WLR_BACKENDS", "headless");
    setDesktopEnv(desktop, "WLR_LIBINPUT_NO_DEVICES", "1");
    setDesktopEnv(desktop, "WLR_RENDERER", "pixman");
    setDesktopEnv(desktop, "HOME", runtime);
    desktop.processes.push_back(spawn({"sway", "-c", dir + "/config"}, dir + "/sway.log", true));
    std::string display;
    for (int i = 0; i < 300 && display.empty(); ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        std::ifstream(runtime + "/x") >> display;
    }
    const std::string socket = commandOutput("ls " + runtime + " | grep '^sway-ipc'");
    if (display.empty() || socket.empty()) {
        desktop.skipped = "sway did not start with Xwayland (see " + dir + "/sway.log)";
        return;
    }
    closeXDisplay();
    setDesktopEnv(desktop, "SWAYSOCK", runtime + "/" + socket.substr(0, socket.find('\n')));
    setDesktopEnv(desktop, "WAYLAND_DISPLAY", "wayland-1");
    setDesktopEnv(desktop, "DISPLAY", display);
    commandOutput("swaymsg output HEADLESS-1 mode " + std::to_string(width) + "x" +
                  std::to_string(height));
    screenWidth = width;
    screenHeight = height;
    return;
}

void startClient(Desktop& desktop, const std::vector<std::string>& argv)
{
    desktop.processes.push_back(spawn(argv, desktop.scratch + "/clients.log", true));
}

void stopDesktop(Desktop& desktop)
{
    closeXDisplay();
    for (auto p = desktop.processes.rbegin(); p != desktop.processes.rend(); ++p) {
        kill(*p, SIGTERM);
        waitpid(*p, nullptr, 0);
    }
    desktop.processes.clear();
    for (auto e = desktop.savedEnv.rbegin(); e != desktop.savedEnv.rend(); ++e) {
        const size_t equals = e->find('=');
        equals == std::string::npos ? unsetenv(e->c_str())
                                    : setenv(e->substr(0, equals).c_str(),
                                             e->substr(equals + 1).c_str(), 1);
    }
    desktop.savedEnv.clear();
    desktopUser.clear();
    screenWidth = screenHeight = 0;
    if (desktop.scratch.rfind("/tmp/vantreska-desktop-", 0) == 0) {
        std::system(("rm -rf " + desktop.scratch).c_str());
    }
    desktop.scratch.clear();
}

DisplayProxy::DisplayProxy()
{
    DisplayProxy& proxy = *this;
    const std::string display = std::getenv("DISPLAY") != nullptr ? std::getenv("DISPLAY") : "";
    // A display number of its own: the real one's and a hundred more.
    const int number = std::atoi(display.c_str() + display.find(':') + 1) + 100;
    char authority[] = "/tmp/vantreska-proxy-auth-XXXXXX";
    close(mkstemp(authority));
    proxy.authority = authority;
    const std::string socket = "/tmp/.X11-unix/X" + std::to_string(number);
    unlink(socket.c_str());
    // The real display's cookie, under the proxy's number.
    std::system(("xauth -f " + proxy.authority + " add :" + std::to_string(number) + " . " +
                 "$(xauth list " + display + " | awk '{print $3; exit}') 2>/dev/null").c_str());
    proxy.pid = spawn({"socat", "UNIX-LISTEN:" + socket + ",fork",
                       "UNIX-CONNECT:/tmp/.X11-unix/X" + display.substr(display.find(':') + 1)},
                      "/dev/null", false);
    for (int i = 0; i < 100 && access(socket.c_str(), F_OK) != 0; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    proxy.env = {"DISPLAY=:" + std::to_string(number), "XAUTHORITY=" + proxy.authority};
}

bool cutConnection(DisplayProxy& proxy, int index)
{
    // The forwarders in the order they were forked: the order of the game's connections.
    std::vector<int> forwarders;
    std::istringstream children(commandOutput("pgrep -P " + std::to_string(proxy.pid)));
    for (int pid = 0; children >> pid;) {
        forwarders.push_back(pid);
    }
    std::sort(forwarders.begin(), forwarders.end());
    return index < static_cast<int>(forwarders.size()) && kill(forwarders[index], SIGTERM) == 0;
}

DisplayProxy::~DisplayProxy()
{
    if (pid > 0) {
        kill(pid, SIGTERM);
        waitpid(pid, nullptr, 0);
    }
    unlink(authority.c_str());
}
