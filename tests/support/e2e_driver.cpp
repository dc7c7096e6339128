#include "support/e2e_driver.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sstream>
#include <thread>

#include "support/png_writer.h"

extern char** environ;

static double nowSec()
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

GameRun startGame(const std::vector<std::string>& extraEnv, const std::string& workDir,
                  const std::string& binary)
{
    GameRun run;
    int outPipe[2];
    int errPipe[2];
    if (pipe(outPipe) != 0 || pipe(errPipe) != 0) {
        return run;
    }
    std::vector<std::string> env;
    bool audioGiven = false;
    for (const std::string& e : extraEnv) {
        audioGiven = audioGiven || e.rfind("SDL_AUDIODRIVER=", 0) == 0;
    }
    for (char** e = environ; *e != nullptr; ++e) {
        env.emplace_back(*e);
    }
    if (!audioGiven) {
        env.emplace_back("SDL_AUDIODRIVER=dummy");
    }
    env.insert(env.end(), extraEnv.begin(), extraEnv.end());

    const pid_t pid = fork();
    if (pid == 0) {
        dup2(outPipe[1], 1);
        dup2(errPipe[1], 2);
        close(outPipe[0]);
        close(errPipe[0]);
        if (chdir(workDir.c_str()) != 0) {
            _exit(126);
        }
        for (const int s : {SIGINT, SIGTERM, SIGHUP}) {
            signal(s, SIG_DFL);  // as from a terminal, whatever the test runner ignores
        }
        std::vector<char*> envp;
        for (std::string& e : env) {
            envp.push_back(e.data());
        }
        envp.push_back(nullptr);
        char* argv[] = {const_cast<char*>(binary.c_str()), nullptr};
        execve(binary.c_str(), argv, envp.data());
        _exit(127);
    }
    close(outPipe[1]);
    close(errPipe[1]);
    fcntl(outPipe[0], F_SETFL, O_NONBLOCK);
    fcntl(errPipe[0], F_SETFL, O_NONBLOCK);
    run.pid = pid;
    run.outFd = outPipe[0];
    run.errFd = errPipe[0];
    return run;
}

static void readFd(int& fd, std::string& into)
{
    if (fd < 0) {
        return;
    }
    char buf[4096];
    for (;;) {
        const ssize_t n = read(fd, buf, sizeof buf);
        if (n > 0) {
            into.append(buf, static_cast<size_t>(n));
        } else if (n == 0) {
            close(fd);
            fd = -1;
            return;
        } else {
            return;
        }
    }
}

static void reap(GameRun& run, bool block)
{
    if (run.ended || run.pid <= 0) {
        return;
    }
    int status = 0;
    const pid_t r = waitpid(run.pid, &status, block ? 0 : WNOHANG);
    if (r == run.pid) {
        run.ended = true;
        run.exitStatus = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    }
}

void drainOutput(GameRun& run)
{
    readFd(run.outFd, run.out);
    readFd(run.errFd, run.err);
}

// Waits up to ms for output on either pipe.
static void waitReadable(GameRun& run, int ms)
{
    pollfd fds[2] = {{run.outFd, POLLIN, 0}, {run.errFd, POLLIN, 0}};
    if (run.outFd < 0 && run.errFd < 0) {
        std::this_thread::sleep_for(std::chrono::milliseconds(ms));
        return;
    }
    poll(fds, 2, ms);
}

bool waitForOutput(GameRun& run, const std::string& text, double timeoutSec, bool inStderr)
{
    const double end = nowSec() + timeoutSec;
    for (;;) {
        drainOutput(run);
        const std::string& s = inStderr ? run.err : run.out;
        if (s.find(text) != std::string::npos) {
            return true;
        }
        reap(run, false);
        if (nowSec() > end || (run.ended && run.outFd < 0 && run.errFd < 0)) {
            return false;
        }
        waitReadable(run, 20);
    }
}

int countOccurrences(const std::string& s, const std::string& text)
{
    int count = 0;
    for (size_t at = s.find(text); at != std::string::npos; at = s.find(text, at + text.size())) {
        ++count;
    }
    return count;
}

bool waitForCount(GameRun& run, const std::string& text, int count, double timeoutSec)
{
    const double end = nowSec() + timeoutSec;
    for (;;) {
        drainOutput(run);
        if (countOccurrences(run.out, text) >= count) {
            return true;
        }
        reap(run, false);
        if (nowSec() > end || run.ended) {
            return false;
        }
        waitReadable(run, 20);
    }
}

int waitForExit(GameRun& run, double timeoutSec)
{
    const double end = nowSec() + timeoutSec;
    while (!run.ended && nowSec() < end) {
        drainOutput(run);
        reap(run, false);
        if (!run.ended) {
            waitReadable(run, 20);
        }
    }
    drainOutput(run);
    return run.ended ? run.exitStatus : -1;
}

static std::string commandOutput(const std::string& cmd);

// Waits (up to 3 s) until no game window is left on the screen, so the next run starts on a
// clean display.
static void waitForWindowsGone()
{
    for (int i = 0; i < 30; ++i) {
        if (commandOutput("xdotool search --onlyvisible --name '^Vantreska$' 2>/dev/null").empty()) {
            return;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
}

void stopGame(GameRun& run)
{
    if (run.pid > 0 && !run.ended) {
        kill(run.pid, SIGTERM);
        if (waitForExit(run, 3.0) < 0) {
            kill(run.pid, SIGKILL);
            reap(run, true);
        }
    }
    drainOutput(run);
    if (run.outFd >= 0) {
        close(run.outFd);
        run.outFd = -1;
    }
    if (run.errFd >= 0) {
        close(run.errFd);
        run.errFd = -1;
    }
    waitForWindowsGone();
}

// Output of a shell command, for xdotool queries.
static std::string commandOutput(const std::string& cmd)
{
    std::string out;
    FILE* p = popen(cmd.c_str(), "r");
    if (p == nullptr) {
        return out;
    }
    char buf[512];
    size_t n = 0;
    while ((n = fread(buf, 1, sizeof buf, p)) > 0) {
        out.append(buf, n);
    }
    pclose(p);
    return out;
}

// Whether any visible window named Vantreska covers the whole screen (a window of an
// earlier run may still be closing, so every match is looked at).
static bool fullScreenWindowShown()
{
    const std::string screen = commandOutput("xdotool getdisplaygeometry 2>/dev/null");
    const size_t space = screen.find(' ');
    if (space == std::string::npos) {
        return false;
    }
    const std::string size =
        screen.substr(0, space) + "x" + screen.substr(space + 1, screen.find('\n') - space - 1);
    std::istringstream ids(
        commandOutput("xdotool search --onlyvisible --name '^Vantreska$' 2>/dev/null"));
    std::string id;
    while (ids >> id) {
        const std::string geo = commandOutput("xdotool getwindowgeometry " + id + " 2>/dev/null");
        if (geo.find("Geometry: " + size) != std::string::npos) {
            return true;
        }
    }
    return false;
}

bool waitForWindow(GameRun& run, double timeoutSec)
{
    const double end = nowSec() + timeoutSec;
    while (nowSec() < end) {
        if (fullScreenWindowShown()) {
            pause(run, 300);  // let the second reshape and the first frames land
            return true;
        }
        pause(run, 100);
    }
    return false;
}

int xdo(const std::string& args)
{
    const std::string cmd = "xdotool " + args + " >/dev/null 2>&1";
    const int status = std::system(cmd.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

void movePointer(int x, int y)
{
    xdo("mousemove " + std::to_string(x) + " " + std::to_string(y));
}

void clickAt(int x, int y)
{
    movePointer(x, y);
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
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

void pointerPosition(int& x, int& y)
{
    x = -1;
    y = -1;
    const std::string out = commandOutput("xdotool getmouselocation 2>/dev/null");
    std::sscanf(out.c_str(), "x:%d y:%d", &x, &y);
}

void pause(GameRun& run, int ms)
{
    const double end = nowSec() + ms / 1000.0;
    while (nowSec() < end) {
        drainOutput(run);
        waitReadable(run, 10);
    }
    drainOutput(run);
}

static uint32_t be32(const unsigned char* p)
{
    return (uint32_t(p[0]) << 24) | (uint32_t(p[1]) << 16) | (uint32_t(p[2]) << 8) | p[3];
}

Screenshot takeScreenshot()
{
    Screenshot shot;
    FILE* p = popen("xwd -root -silent 2>/dev/null", "r");
    if (p == nullptr) {
        return shot;
    }
    std::vector<unsigned char> data;
    unsigned char buf[65536];
    size_t n = 0;
    while ((n = fread(buf, 1, sizeof buf, p)) > 0) {
        data.insert(data.end(), buf, buf + n);
    }
    pclose(p);
    if (data.size() < 100) {
        return shot;
    }
    const uint32_t headerSize = be32(&data[0]);
    const uint32_t width = be32(&data[16]);
    const uint32_t height = be32(&data[20]);
    const uint32_t byteOrder = be32(&data[28]);
    const uint32_t bitsPerPixel = be32(&data[44]);
    const uint32_t bytesPerLine = be32(&data[48]);
    const uint32_t ncolors = be32(&data[76]);
    const size_t start = headerSize + static_cast<size_t>(ncolors) * 12;
    // 32 bits a pixel for the bare root window; 24 (three bytes, rows padded) with a GL
    // window up.
    const uint32_t step = bitsPerPixel / 8;
    if ((bitsPerPixel != 24 && bitsPerPixel != 32) || bytesPerLine < width * step ||
        data.size() < start + static_cast<size_t>(bytesPerLine) * height) {
        return shot;
    }
    shot.width = static_cast<int>(width);
    shot.height = static_cast<int>(height);
    shot.rgb.resize(static_cast<size_t>(width) * height * 3);
    for (uint32_t y = 0; y < height; ++y) {
        for (uint32_t x = 0; x < width; ++x) {
            const unsigned char* px = &data[start + y * bytesPerLine + x * step];
            const uint32_t v = byteOrder == 0 ? (px[0] | (px[1] << 8) | (uint32_t(px[2]) << 16))
                                              : (step == 4 ? be32(px) : (uint32_t(px[0]) << 16) | (px[1] << 8) | px[2]);
            unsigned char* out = &shot.rgb[(static_cast<size_t>(y) * width + x) * 3];
            out[0] = static_cast<unsigned char>((v >> 16) & 0xff);
            out[1] = static_cast<unsigned char>((v >> 8) & 0xff);
            out[2] = static_cast<unsigned char>(v & 0xff);
        }
    }
    return shot;
}

bool saveScreenshot(const Screenshot& shot, const std::string& path)
{
    return writePng(path, shot.width, shot.height, shot.rgb);
}
