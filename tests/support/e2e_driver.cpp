#include "support/e2e_driver.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <fcntl.h>
#include <png.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <thread>

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

// Output of a shell command.
static std::string commandOutput(const std::string& cmd)
{
    std::string out;
    FILE* p = popen(cmd.c_str(), "r");
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

// The test process's own connection to the X display.
static Display* xDisplay()
{
    static Display* display = XOpenDisplay(nullptr);
    return display;
}

bool waitForWindow(GameRun& run, double timeoutSec)
{
    // As scripts/xvfb-run.sh sets the screen; the title in its place shows the reshape landed.
    const auto shown = [] {
        return gameWindows().find("WIDTH=1024\nHEIGHT=768\n") != std::string::npos &&
               titleShown(takeScreenshot());
    };
    return waitFor(run, shown, timeoutSec);
}

bool waitForScreen(GameRun& run, const ScreenTest& shows, double timeoutSec, Screenshot* last)
{
    Screenshot shot;
    Screenshot& seen = last != nullptr ? *last : shot;
    return waitFor(run, [&] { return shows(seen = takeScreenshot()); }, timeoutSec);
}

bool waitForPointer(GameRun& run, int x, int y, double timeoutSec)
{
    const std::string at = "x:" + std::to_string(x + 1) + " y:" + std::to_string(y + 1) + " ";
    const auto there = [&] { return commandOutput("xdotool getmouselocation").rfind(at, 0) == 0; };
    return waitFor(run, there, timeoutSec);
}

int xdo(const std::string& args)
{
    const int status = std::system(("xdotool " + args + " >/dev/null 2>&1").c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

void movePointer(int x, int y)
{
    xdo("mousemove " + std::to_string(x) + " " + std::to_string(y));
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

unsigned long takeFocus()
{
    Display* d = xDisplay();
    const Window w = XCreateSimpleWindow(d, DefaultRootWindow(d), 0, 0, 8, 8, 0, 0, 0);
    XMapWindow(d, w);
    XSync(d, False);
    XSetInputFocus(d, w, RevertToPointerRoot, CurrentTime);
    XSync(d, False);
    return w;
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

bool isPureRed(int r, int g, int b) { return r > 200 && g < 40 && b < 40; }
bool isReddish(int r, int g, int b) { return r > 120 && g + b < 160; }

double share(const Screenshot& s, bool (*test)(int, int, int), int x0, int y0, int x1, int y1)
{
    int hits = 0, total = 0;
    for (int y = y0; s.width >= x1 && s.height >= y1 && y < y1; y += 4) {
        for (int x = x0; x < x1; x += 4, ++total) {
            hits += test(s.at(x, y, 0), s.at(x, y, 1), s.at(x, y, 2)) ? 1 : 0;
        }
    }
    return total > 0 ? static_cast<double>(hits) / total : 0.0;
}

bool hudShown(const Screenshot& s) { return share(s, isPureRed, 0, 600, 300, 768) > 0.01; }
bool paused(const Screenshot& s) { return share(s, isReddish, 740, 725, 1024, 755) > 0.01; }

bool titleShown(const Screenshot& shot)
{
    int lit = 0;  // the title's orange letters, not the white ones of the Options and Help panels
    for (int x = 300; shot.width >= 1024 && x < 724; x += 4) {
        lit += shot.at(x, 160, 0) > 150 && shot.at(x, 160, 1) > shot.at(x, 160, 2) + 40 ? 1 : 0;
    }
    return lit > 10 && shot.at(20, 700, 0) + shot.at(20, 700, 1) + shot.at(20, 700, 2) < 30;
}
