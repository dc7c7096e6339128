// The benchmark program: Google Benchmark over the game's frame, picking and loading code in
// one window, then a stretch of real play in this process for the timers' tick rates, then
// the real binary as a child for its CPU use and memory. Ends with the goals, MET or MISSED.

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "bench_support.h"

// One goal: a measured value against its limit. A value below 0 was not measured.
struct Goal {
    std::string name;
    double value;
    double limit;
    const char* relation; // "<=", "<" or ">="
};

// What the live part (tick rates and child processes) found.
struct LiveResults {
    bool ran = false;
    double seconds = 10.0;
    std::vector<TickRate> rates;
    double longestGapMs = 0.0;
    ProcessUsage menuIdle;
    ProcessUsage playingDay;
    ProcessUsage playingNight;  // with the flashlight on
    ProcessUsage playingWide;   // by day on a 1920 x 1080 screen
    ProcessUsage playing4k;     // by day on a 3840 x 2160 screen
};

// Largest allowed deviation of a timer's tick rate from its rate on the 60 Hz pass clock.
const double tickRateTolerance = 0.02;

// Frames a second in play: at most one a pass, and nearly every pass drawn.
const double mostFramesPerSecond = 61.0;
const double fewestFramesPerSecond = 58.0;

// The game binary's CPU use in play, in cores.
const double mostPlayCores = 0.6;

// Frames a second in play on larger screens, as a share of those at 1024 x 768 (by day).
const double fewestLargeScreenShare = 0.85;

// The frame's costs as multiples of clearing and swapping an empty buffer in the same run.
const double mostWorldPerClear = 6.0;
const double mostPlayFramePerClear = 11.0;

static double ratio(double numerator, double denominator)
{
    return numerator >= 0.0 && denominator > 0.0 ? numerator / denominator : -1.0;
}

static bool goalMet(const Goal& g)
{
    if (g.value < 0.0) {
        return false;
    }
    if (std::strcmp(g.relation, ">=") == 0) {
        return g.value >= g.limit;
    }
    return std::strcmp(g.relation, "<") == 0 ? g.value < g.limit : g.value <= g.limit;
}

static const char* goalVerdict(const Goal& g)
{
    if (g.value < 0.0) {
        return "NOT MEASURED";
    }
    return goalMet(g) ? "MET" : "MISSED";
}

// The goals, each a ratio or a rate measured in this run. Costs compare CPU time (all of
// this process's threads): on a busy machine wall time mostly measures the other work.
static std::vector<Goal> collectGoals(const LiveResults& live)
{
    std::vector<Goal> goals;
    goals.push_back({"play frame (day) / world alone",
                     ratio(benchCpuMsPerRun("play_frame_day"), benchCpuMsPerRun("world_alone")),
                     1.6, "<="});
    goals.push_back({"shot picking pass / play frame (day)",
                     ratio(benchCpuMsPerRun("shot_pick"), benchCpuMsPerRun("play_frame_day")), 1.0,
                     "<="});
    goals.push_back({"menu picking pass / menu frame",
                     ratio(benchCpuMsPerRun("menu_pick"), benchCpuMsPerRun("menu_frame")), 0.1,
                     "<"});
    goals.push_back({"menu idle CPU, cores",
                     live.ran && live.menuIdle.seconds > 0.0 ? live.menuIdle.cpuCores : -1.0, 0.25,
                     "<"});
    for (const TickRate& r : live.rates) {
        const double off = r.nominalPerSec > 0.0 && r.ticks > 0
                               ? std::fabs(r.measuredPerSec / r.nominalPerSec - 1.0)
                               : -1.0;
        goals.push_back({r.timer + " rate off 60 Hz pace", off, tickRateTolerance, "<="});
    }
    if (!live.ran) {
        goals.push_back({"timer rates off 60 Hz pace", -1.0, tickRateTolerance, "<="});
    }
    const double clear = benchCpuMsPerRun("clear_and_swap");
    goals.push_back({"world alone / clear and swap", ratio(benchCpuMsPerRun("world_alone"), clear),
                     mostWorldPerClear, "<="});
    goals.push_back({"play frame (day) / clear and swap",
                     ratio(benchCpuMsPerRun("play_frame_day"), clear), mostPlayFramePerClear, "<="});
    goals.push_back({"play frame (night) / clear and swap",
                     ratio(benchCpuMsPerRun("play_frame_night"), clear), mostPlayFramePerClear,
                     "<="});
    const struct {
        const char* when;
        const ProcessUsage& usage;
    } plays[] = {{"day", live.playingDay}, {"night", live.playingNight}};
    for (const auto& play : plays) {
        const bool measured = live.ran && play.usage.seconds > 0.0;
        const double fps = measured ? play.usage.framesPerSecond : -1.0;
        const std::string when = std::string(", ") + play.when;
        goals.push_back({"frames per second in play" + when, fps, mostFramesPerSecond, "<="});
        goals.push_back({"frames per second in play" + when, fps, fewestFramesPerSecond, ">="});
        goals.push_back({"play CPU, cores" + when, measured ? play.usage.cpuCores : -1.0,
                         mostPlayCores, "<="});
    }
    const struct {
        const char* screen;
        const ProcessUsage& usage;
    } screens[] = {{"1920x1080", live.playingWide}, {"3840x2160", live.playing4k}};
    for (const auto& screen : screens) {
        const bool measured = live.ran && screen.usage.seconds > 0.0;
        goals.push_back({std::string("frames/s in play, ") + screen.screen + " / 1024x768",
                         measured ? ratio(screen.usage.framesPerSecond,
                                          live.playingDay.framesPerSecond)
                                  : -1.0,
                         fewestLargeScreenShare, ">="});
    }
    return goals;
}

// The in-process benchmarks, in the order of the tables.
static const char* const benchNames[] = {
    "play_frame_day",     "play_frame_night", "world_alone",   "world_vertex_work",
    "world_and_entities", "entities_alone",   "figure_alone",  "bunnies_alone",
    "trees_alone",        "hud_alone",        "clear_and_swap", "shot_pick",
    "menu_pick",          "menu_frame",       "mesh_load",     "texture_loads"};

static void printFrameTable()
{
    const double world = benchCpuMsPerRun("world_alone");
    const double clearWall = benchMsPerRun("clear_and_swap");
    const double clearCpu = benchCpuMsPerRun("clear_and_swap");
    std::printf("\nbest of all runs, per iteration; x clear: as multiples of clear_and_swap\n");
    std::printf("%-18s %10s %10s %12s %12s %12s\n", "measurement", "wall ms", "CPU ms",
                "CPU x world", "wall x clear", "CPU x clear");
    for (const char* name : benchNames) {
        const double cpu = benchCpuMsPerRun(name);
        if (cpu < 0.0) {
            std::printf("%-18s %10s\n", name, "not run");
            continue;
        }
        const double wall = benchMsPerRun(name);
        std::printf("%-18s %10.3f %10.3f %12.3f %12.2f %12.2f\n", name, wall, cpu,
                    ratio(cpu, world), ratio(wall, clearWall), ratio(cpu, clearCpu));
    }
    const double vertexWork = benchCpuMsPerRun("world_vertex_work");
    if (world >= 0.0 && vertexWork >= 0.0) {
        std::printf("world: vertex work %.3f ms CPU, pixel work (the rest) %.3f ms CPU, %.2f x "
                    "clear\n", vertexWork, world - vertexWork, ratio(world - vertexWork, clearCpu));
    }
}

static void printUsage(const char* label, const ProcessUsage& u)
{
    if (u.seconds <= 0.0) {
        std::printf("%-22s not measured: %s\n", label, u.note.c_str());
        return;
    }
    std::printf("%-22s CPU %.3f cores over %.1f s (game thread %.3f, renderer threads %.3f), "
                "peak RSS %.1f MiB, RSS %.1f MiB, %.1f frames a second%s%s\n", label, u.cpuCores,
                u.seconds, u.gameThreadCores, u.rendererThreadCores, u.peakRssKb / 1024.0,
                u.rssKb / 1024.0, u.framesPerSecond, u.note.empty() ? "" : "; ", u.note.c_str());
}

static void printLive(const LiveResults& live)
{
    if (!live.ran) {
        std::printf("\nlive measurements skipped\n");
        return;
    }
    std::printf("\n%-14s %8s %8s %12s %12s\n", "timer", "interval", "ticks", "nominal/s",
                "measured/s");
    for (const TickRate& r : live.rates) {
        std::printf("%-14s %6d ms %8ld %12.2f %12.2f\n", r.timer.c_str(), r.intervalMs, r.ticks,
                    r.nominalPerSec, r.measuredPerSec);
    }
    std::printf("longest pass of the loop: %.1f ms\n", live.longestGapMs);
    printUsage("menu idle (binary)", live.menuIdle);
    printUsage("playing by day", live.playingDay);
    printUsage("playing by night", live.playingNight);
    printUsage("playing 1920x1080", live.playingWide);
    printUsage("playing 3840x2160", live.playing4k);
}

static void printGoals(const std::vector<Goal>& goals)
{
    std::printf("\n%-40s %10s %10s  %s\n", "goal", "measured", "limit", "result");
    for (const Goal& g : goals) {
        std::printf("%-40s %10.3f %3s %6.3f  %s\n", g.name.c_str(), g.value, g.relation, g.limit,
                    goalVerdict(g));
    }
}

static void writeUsageJson(std::FILE* f, const char* key, const ProcessUsage& u)
{
    std::fprintf(f,
                 "  \"%s\": {\"measured\": %s, \"cpu_cores\": %.4f, \"game_thread_cores\": %.4f, "
                 "\"renderer_thread_cores\": %.4f, \"seconds\": %.2f, \"peak_rss_kb\": %ld, "
                 "\"rss_kb\": %ld, \"frames_per_second\": %.2f},\n",
                 key, u.seconds > 0.0 ? "true" : "false", u.cpuCores, u.gameThreadCores,
                 u.rendererThreadCores, u.seconds, u.peakRssKb, u.rssKb, u.framesPerSecond);
}

// The measurements Google Benchmark does not hold, and the goals, as a small JSON file.
static void writeExtraJson(const std::string& path, const LiveResults& live,
                           const std::vector<Goal>& goals)
{
    std::FILE* f = std::fopen(path.c_str(), "w");
    if (f == nullptr) {
        std::printf("could not write %s\n", path.c_str());
        return;
    }
    std::fprintf(f, "{\n  \"best_ms_per_run\": {");
    bool first = true;
    for (const char* name : benchNames) {
        std::fprintf(f, "%s\n    \"%s\": {\"wall\": %.5f, \"cpu\": %.5f}", first ? "" : ",", name,
                     benchMsPerRun(name), benchCpuMsPerRun(name));
        first = false;
    }
    std::fprintf(f, "\n  },\n  \"tick_rates\": [");
    for (size_t i = 0; i < live.rates.size(); ++i) {
        const TickRate& r = live.rates[i];
        std::fprintf(f,
                     "%s\n    {\"timer\": \"%s\", \"interval_ms\": %d, \"ticks\": %ld, "
                     "\"nominal_per_s\": %.4f, \"measured_per_s\": %.4f}",
                     i == 0 ? "" : ",", r.timer.c_str(), r.intervalMs, r.ticks, r.nominalPerSec,
                     r.measuredPerSec);
    }
    std::fprintf(f,
                 "\n  ],\n  \"play_seconds\": %.1f,\n  \"longest_loop_pass_ms\": %.2f,\n",
                 live.seconds, live.longestGapMs);
    writeUsageJson(f, "menu_idle", live.menuIdle);
    writeUsageJson(f, "playing_day", live.playingDay);
    writeUsageJson(f, "playing_night", live.playingNight);
    writeUsageJson(f, "playing_1920x1080", live.playingWide);
    writeUsageJson(f, "playing_3840x2160", live.playing4k);
    std::fprintf(f, "  \"goals\": [");
    for (size_t i = 0; i < goals.size(); ++i) {
        const Goal& g = goals[i];
        std::fprintf(f,
                     "%s\n    {\"goal\": \"%s\", \"value\": %.5f, \"relation\": \"%s\", "
                     "\"limit\": %.4f, \"result\": \"%s\"}",
                     i == 0 ? "" : ",", g.name.c_str(), g.value, g.relation, g.limit,
                     goalVerdict(g));
    }
    std::fprintf(f, "\n  ]\n}\n");
    std::fclose(f);
    std::printf("\nwrote %s\n", path.c_str());
}

static LiveResults runLive(double seconds)
{
    LiveResults live;
    live.ran = true;
    live.seconds = seconds;
    std::printf("\nplaying %.0f s in this process for the timers' tick rates...\n", seconds);
    std::fflush(stdout);
    silenceStdout();
    live.rates = measureTickRates(seconds);
    restoreStdout();
    live.longestGapMs = longestLoopGapInTickRun();
    std::printf("running the game binary %.0f s idle in the menu...\n", seconds);
    std::fflush(stdout);
    live.menuIdle = probeGame(false, "", seconds, VANTRESKA_BUILD "/bench_menu_idle.log");
    std::printf("running the game binary %.0f s in play by day...\n", seconds);
    std::fflush(stdout);
    live.playingDay = probeGame(true, "", seconds, VANTRESKA_BUILD "/bench_playing_day.log");
    std::printf("running the game binary %.0f s in play by night, the flashlight on...\n",
                seconds);
    std::fflush(stdout);
    live.playingNight = probeGame(true, "t l", seconds, VANTRESKA_BUILD "/bench_playing_night.log");
    std::printf("running the game binary %.0f s in play by day on 1920x1080 and 3840x2160 "
                "screens...\n", seconds);
    std::fflush(stdout);
    live.playingWide =
        probeGameOnScreen(1920, 1080, seconds, VANTRESKA_BUILD "/bench_playing_1920x1080.log");
    live.playing4k =
        probeGameOnScreen(3840, 2160, seconds, VANTRESKA_BUILD "/bench_playing_3840x2160.log");
    return live;
}

// Takes this program's own flags out of argv: --skip_live and --live_seconds=N.
static void takeOwnFlags(int& argc, char** argv, bool& skipLive, double& liveSeconds)
{
    int kept = 1;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--skip_live") == 0) {
            skipLive = true;
        } else if (std::strncmp(argv[i], "--live_seconds=", 15) == 0) {
            liveSeconds = std::atof(argv[i] + 15);
        } else {
            argv[kept++] = argv[i];
        }
    }
    argc = kept;
}

int main(int argc, char** argv)
{
    bool skipLive = false;
    double liveSeconds = 10.0;
    takeOwnFlags(argc, argv, skipLive, liveSeconds);
    bool outGiven = false;
    std::vector<char*> args(argv, argv + argc);
    for (int i = 1; i < argc; ++i) {
        outGiven = outGiven || std::strncmp(argv[i], "--benchmark_out=", 16) == 0;
    }
    std::string outFlag = "--benchmark_out=" VANTRESKA_BUILD "/bench.json";
    std::string formatFlag = "--benchmark_out_format=json";
    if (!outGiven) {
        args.push_back(outFlag.data());
        args.push_back(formatFlag.data());
    }
    int benchArgc = static_cast<int>(args.size());
    benchmark::Initialize(&benchArgc, args.data());
    if (benchmark::ReportUnrecognizedArguments(benchArgc, args.data())) {
        return 1;
    }
    setUpBenchGame();
    registerBenchmarks();
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();

    const LiveResults live = skipLive ? LiveResults() : runLive(liveSeconds);
    const std::vector<Goal> goals = collectGoals(live);
    printFrameTable();
    printLive(live);
    printGoals(goals);
    writeExtraJson(VANTRESKA_BUILD "/bench_extra.json", live, goals);
    return 0;
}
