#include <X11/Xlib.h>
#include <X11/extensions/Xdamage.h>
#include <dirent.h>
#include <fcntl.h>
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
#include <string>
#include <thread>
#include <vector>

#include "bench_support.h"
#include "render/picture.h"

// Where the Start New Game panel sits in the game's 1024 x 768 picture.
const int startPanelX = 512;
const int startPanelY = 326;

static double nowSec()
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

static void sleepSec(double s)
{
    std::this_thread::sleep_for(std::chrono::duration<double>(s));
}

// Counts the frames that reach the game's window, seen from an X connection of this program's
// own: the X server reports each drawing into the window as damage, one report (a rectangle,
// or a run of them flagged "more") per drawing request. A frame is one such request whichever
// way the game shows it: the GL's swap puts its back buffer into the window, and the X
// server's scaled picture is one composite.
struct FrameCounter {
    Display* display = nullptr;
    int damageEvent = 0;  // the extension's first event number
    long frames = 0;
};

static void stopWatchingFrames(FrameCounter& counter)
{
    if (counter.display != nullptr) {
        XCloseDisplay(counter.display);  // its damage object goes with it
        counter.display = nullptr;
    }
}

// Watches the window from now on; false where the display or its DAMAGE extension is missing.
static bool watchFrames(FrameCounter& counter, unsigned long window)
{
    counter.display = XOpenDisplay(nullptr);
    int error = 0;
    int major = 0;
    int minor = 0;
    if (counter.display == nullptr ||
        !XDamageQueryExtension(counter.display, &counter.damageEvent, &error) ||
        !XDamageQueryVersion(counter.display, &major, &minor)) {
        stopWatchingFrames(counter);
        return false;
    }
    XDamageCreate(counter.display, window, XDamageReportRawRectangles);
    XSync(counter.display, False);
    return true;
}

// Counts the reports that arrived since the last call.
static void countFrames(FrameCounter& counter)
{
    if (counter.display == nullptr) {
        return;
    }
    XSync(counter.display, False);
    while (XPending(counter.display) > 0) {
        XEvent event;
        XNextEvent(counter.display, &event);
        const auto& report = reinterpret_cast<const XDamageNotifyEvent&>(event);
        counter.frames += event.type == counter.damageEvent + XDamageNotify && !report.more;
    }
}

// Starts the game in the data directory with silent audio, its output going to logPath.
// Everything the child needs is prepared before the fork: this process runs GL threads.
static pid_t startChild(const std::string& logPath)
{
    std::vector<std::string> env;
    // environ comes from unistd.h (a GNU extension the compiler enables for C++).
    for (char** e = environ; *e != nullptr; ++e) {
        if (std::strncmp(*e, "SDL_AUDIODRIVER=", 16) != 0) {
            env.emplace_back(*e);
        }
    }
    env.emplace_back("SDL_AUDIODRIVER=dummy");
    std::vector<char*> envp;
    for (std::string& e : env) {
        envp.push_back(e.data());
    }
    envp.push_back(nullptr);
    const char* binary = VANTRESKA_BIN;
    char* argv[] = {const_cast<char*>(binary), nullptr};
    const int log = open(logPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    std::fflush(stdout);
    const pid_t pid = fork();
    if (pid == 0) {
        if (log >= 0) {
            dup2(log, STDOUT_FILENO);
            dup2(log, STDERR_FILENO);
        }
        if (chdir(VANTRESKA_DATA) != 0) {
            _exit(126);
        }
        execve(binary, argv, envp.data());
        _exit(127);
    }
    if (log >= 0) {
        close(log);
    }
    return pid;
}

static bool childAlive(pid_t pid)
{
    int status = 0;
    return waitpid(pid, &status, WNOHANG) == 0;
}

static void stopChild(pid_t pid)
{
    if (pid <= 0) {
        return;
    }
    int status = 0;
    if (waitpid(pid, &status, WNOHANG) != 0) {
        return; // already gone and reaped
    }
    kill(pid, SIGTERM);
    for (int i = 0; i < 30; ++i) {
        if (waitpid(pid, &status, WNOHANG) == pid) {
            return;
        }
        sleepSec(0.1);
    }
    kill(pid, SIGKILL);
    waitpid(pid, &status, 0);
}

// Waits until a visible window titled exactly "Vantreska" exists; its id, or 0.
static unsigned long waitForGameWindow(pid_t pid, double timeoutSec)
{
    const double end = nowSec() + timeoutSec;
    while (nowSec() < end && childAlive(pid)) {
        if (std::FILE* search =
                popen("xdotool search --onlyvisible --name '^Vantreska$' 2>/dev/null", "r")) {
            unsigned long window = 0;
            const bool found = std::fscanf(search, "%lu", &window) == 1;
            pclose(search);
            if (found) {
                return window;
            }
        }
        sleepSec(0.1);
    }
    return 0;
}

// utime + stime from a /proc stat file (a process's or one thread's), in seconds.
static double cpuSecondsOf(const std::string& statPath)
{
    std::ifstream in(statPath);
    std::string line;
    std::getline(in, line);
    const size_t close = line.rfind(')');
    if (close == std::string::npos) {
        return -1.0;
    }
    std::istringstream fields(line.substr(close + 2));
    std::string field;
    unsigned long long utime = 0;
    unsigned long long stime = 0;
    // After the name: state is field 3, utime field 14, stime field 15.
    for (int n = 3; n <= 15 && fields >> field; ++n) {
        if (n == 14) {
            utime = std::strtoull(field.c_str(), nullptr, 10);
        } else if (n == 15) {
            stime = std::strtoull(field.c_str(), nullptr, 10);
        }
    }
    return static_cast<double>(utime + stime) / static_cast<double>(sysconf(_SC_CLK_TCK));
}

static double cpuSeconds(pid_t pid)
{
    return cpuSecondsOf("/proc/" + std::to_string(pid) + "/stat");
}

// CPU of the game's main thread and of Mesa's rasterizer threads, in seconds: where a frame's
// vertex work and its pixel work run.
struct ThreadSplit {
    double game = 0.0;
    double renderer = 0.0;
};

static ThreadSplit threadCpuSeconds(pid_t pid)
{
    ThreadSplit split;
    const std::string task = "/proc/" + std::to_string(pid) + "/task/";
    split.game = std::max(0.0, cpuSecondsOf(task + std::to_string(pid) + "/stat"));
    if (DIR* dir = opendir(task.c_str())) {
        while (const dirent* entry = readdir(dir)) {
            std::ifstream commFile(task + entry->d_name + "/comm");
            std::string comm;
            if (entry->d_name[0] != '.' && std::getline(commFile, comm) &&
                comm.rfind("llvmpipe-", 0) == 0) {
                split.renderer += std::max(0.0, cpuSecondsOf(task + entry->d_name + "/stat"));
            }
        }
        closedir(dir);
    }
    return split;
}

// A "Key:   123 kB" line of /proc/<pid>/status, in kB; -1 when missing.
static long statusKb(pid_t pid, const char* key)
{
    std::ifstream in("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    const size_t keyLength = std::strlen(key);
    while (std::getline(in, line)) {
        if (line.compare(0, keyLength, key) == 0 && line.size() > keyLength &&
            line[keyLength] == ':') {
            return std::strtol(line.c_str() + keyLength + 1, nullptr, 10);
        }
    }
    return -1;
}

// Samples once a second so a child that dies mid-way still leaves its last numbers.
static void sampleChild(pid_t pid, double seconds, FrameCounter& counter, ProcessUsage& usage)
{
    countFrames(counter);
    counter.frames = 0;
    const double cpuStart = cpuSeconds(pid);
    const ThreadSplit threadsStart = threadCpuSeconds(pid);
    ThreadSplit threadsLast = threadsStart;
    const double start = nowSec();
    double cpuLast = cpuStart;
    double last = start;
    while (last - start < seconds && childAlive(pid)) {
        sleepSec(std::min(1.0, seconds - (last - start)));
        const double cpu = cpuSeconds(pid);
        const long peak = statusKb(pid, "VmHWM");
        if (cpu < 0.0 || peak < 0) {
            break;
        }
        cpuLast = cpu;
        threadsLast = threadCpuSeconds(pid);
        countFrames(counter);
        last = nowSec();
        usage.peakRssKb = peak;
        usage.rssKb = statusKb(pid, "VmRSS");
    }
    usage.seconds = last - start;
    if (usage.seconds > 0.0) {
        usage.cpuCores = (cpuLast - cpuStart) / usage.seconds;
        usage.gameThreadCores = (threadsLast.game - threadsStart.game) / usage.seconds;
        usage.rendererThreadCores = (threadsLast.renderer - threadsStart.renderer) / usage.seconds;
        usage.framesPerSecond = counter.display != nullptr ? counter.frames / usage.seconds : -1.0;
    }
}

ProcessUsage probeGame(bool startPlaying, const std::string& playKeys, double seconds,
                       const std::string& logPath, int screenWidth, int screenHeight)
{
    ProcessUsage usage;
    const pid_t pid = startChild(logPath);
    if (pid <= 0) {
        usage.note = "could not start " VANTRESKA_BIN;
        return usage;
    }
    const unsigned long window = waitForGameWindow(pid, 15.0);
    if (window == 0) {
        usage.note = "no game window appeared (see " + logPath + ")";
        stopChild(pid);
        return usage;
    }
    sleepSec(1.0); // let start-up settle
    if (startPlaying) {
        // Where the screen shows the panel: the picture scaled to fit, centred.
        const WindowRect place = fitPicture(screenWidth, screenHeight);
        const int x = place.left + startPanelX * place.width / pictureWidth;
        const int y = screenHeight - place.bottom - place.height +
                      startPanelY * place.height / pictureHeight;
        const std::string click = "xdotool mousemove " + std::to_string(x) + " " +
                                  std::to_string(y) + " click 1 >/dev/null 2>&1";
        if (std::system(click.c_str()) != 0) {
            usage.note = "xdotool could not click Start New Game";
        }
        sleepSec(1.0);
        const std::string keys = "xdotool key " + playKeys + " >/dev/null 2>&1";
        if (!playKeys.empty() && std::system(keys.c_str()) != 0) {
            usage.note = "xdotool could not type " + playKeys;
        }
    }
    FrameCounter counter;
    if (!watchFrames(counter, window)) {
        usage.note = "no X DAMAGE extension to count frames with";
    }
    sampleChild(pid, seconds, counter, usage);
    stopWatchingFrames(counter);
    usage.ran = childAlive(pid);
    if (!usage.ran && usage.note.empty()) {
        usage.note = "the game ended during the measurement (see " + logPath + ")";
    }
    stopChild(pid);
    return usage;
}

ProcessUsage probeGameOnScreen(int width, int height, double seconds, const std::string& logPath)
{
    ProcessUsage usage;
    int number[2];
    if (pipe(number) != 0) {
        usage.note = "no pipe for Xvfb's display number";
        return usage;
    }
    const std::string fd = std::to_string(number[1]);
    const std::string screen = std::to_string(width) + "x" + std::to_string(height) + "x24";
    const char* argv[] = {"Xvfb", "-displayfd", fd.c_str(), "-screen", "0", screen.c_str(),
                          "-nolisten", "tcp", "-noreset", nullptr};
    const pid_t server = fork();
    if (server == 0) {
        const int devNull = open("/dev/null", O_WRONLY);
        dup2(devNull, STDOUT_FILENO);
        dup2(devNull, STDERR_FILENO);
        execvp(argv[0], const_cast<char* const*>(argv));
        _exit(127);
    }
    close(number[1]);
    char digits[16] = {};
    const bool started = server > 0 && read(number[0], digits, sizeof digits - 1) > 0;
    close(number[0]);
    if (!started) {
        usage.note = "Xvfb did not start at " + screen;
        stopChild(server);
        return usage;
    }
    // The child and xdotool go to the private server; this process keeps its own window.
    const char* previous = std::getenv("DISPLAY");
    const std::string saved = previous != nullptr ? previous : "";
    setenv("DISPLAY", (":" + std::to_string(std::atoi(digits))).c_str(), 1);
    usage = probeGame(true, "", seconds, logPath, width, height);
    setenv("DISPLAY", saved.c_str(), 1);
    stopChild(server);
    return usage;
}
