#include <GL/freeglut.h>
#include <GL/glu.h>
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <ctime>
#include <map>
#include <thread>

#include "app/game_state.h"
#include "app/lifecycle.h"
#include "app/startup.h"
#include "assets/bmp.h"
#include "assets/mesh.h"
#include "bench_support.h"
#include "input/picking.h"
#include "render/entities.h"
#include "render/hud.h"
#include "render/lights.h"
#include "render/world.h"

// Best time per iteration over every call of a benchmark (Google Benchmark calls each one
// several times while it settles the iteration count, and once per repetition). The best
// call is the one least disturbed by other work on the machine.
struct RecordedRun {
    double wallMs = -1.0; // wall clock, per iteration
    double cpuMs = -1.0;  // this process's CPU time (all threads, rasteriser included)
};

static std::map<std::string, RecordedRun> recordedRuns;
static int savedStdout = -1;

// The eleven images, in the game's texture order.
static const char* const imagePaths[] = {
    "images/grass.bmp",     "images/wall.bmp",         "images/moon.bmp",
    "images/Gunmetal.bmp",  "images/StartNewGame.bmp", "images/Options.bmp",
    "images/Help.bmp",      "images/Quit.bmp",         "images/Vantreska.bmp",
    "images/bunnyLeft.bmp", "images/bunnyRight.bmp"};

// Texture numbers for the reloads: above 100, clear of the game's 1 to 11.
const unsigned int firstScratchTexture = 101;

// Where the pointer rests for the menu pass: over the Start New Game panel.
const float menuPointerX = 512.0f;
const float menuPointerY = 326.0f;

void silenceStdout()
{
    std::fflush(stdout);
    if (savedStdout >= 0) {
        return;
    }
    savedStdout = dup(STDOUT_FILENO);
    const int devNull = open("/dev/null", O_WRONLY);
    if (devNull >= 0) {
        dup2(devNull, STDOUT_FILENO);
        close(devNull);
    }
}

void restoreStdout()
{
    std::fflush(stdout);
    if (savedStdout < 0) {
        return;
    }
    dup2(savedStdout, STDOUT_FILENO);
    close(savedStdout);
    savedStdout = -1;
}

double benchMsPerRun(const std::string& name)
{
    const auto found = recordedRuns.find(name);
    return found == recordedRuns.end() ? -1.0 : found->second.wallMs;
}

double benchCpuMsPerRun(const std::string& name)
{
    const auto found = recordedRuns.find(name);
    return found == recordedRuns.end() ? -1.0 : found->second.cpuMs;
}

static double processCpuMs()
{
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return t.tv_sec * 1000.0 + t.tv_nsec / 1.0e6;
}

static void keepBest(double& best, double value)
{
    if (best < 0.0 || value < best) {
        best = value;
    }
}

// Untimed runs before each timed loop.
const int warmUpRuns = 2;

// Runs body once per benchmark iteration and keeps the best time per iteration.
template <typename Body> static void timedLoop(benchmark::State& state, const char* name, Body body)
{
    // The rasteriser compiles its code for each new combination of GL state on first use;
    // that belongs to start-up, not to the steady frame.
    for (int i = 0; i < warmUpRuns; ++i) {
        body();
    }
    const double cpuStart = processCpuMs();
    const auto start = std::chrono::steady_clock::now();
    for (auto _ : state) {
        body();
    }
    const auto end = std::chrono::steady_clock::now();
    const double cpuEnd = processCpuMs();
    const double iterations = static_cast<double>(state.iterations());
    if (iterations < 1.0) {
        return;
    }
    RecordedRun& run = recordedRuns[name];
    keepBest(run.wallMs,
             std::chrono::duration<double, std::milli>(end - start).count() / iterations);
    keepBest(run.cpuMs, (cpuEnd - cpuStart) / iterations);
}

// A fixed field, the same in every run, so that numbers from different days compare:
// bunnies and trees on the game's 0.1 grid from -3.0 to 2.9.
static void layOutFixedField()
{
    unsigned int seed = 20240611u;
    auto next = [&seed](int limit) {
        seed = seed * 1103515245u + 12345u;
        return static_cast<int>((seed >> 16) % static_cast<unsigned int>(limit));
    };
    for (Entity& bunny : bunnies) {
        bunny.x = next(60) / 10.0f - 3.0f;
        bunny.z = next(60) / 10.0f - 3.0f;
        bunny.heading = static_cast<float>(next(360));
        bunny.y = 0.0f;
        bunny.airborne = 0;
    }
    for (Entity& tree : trees) {
        tree.x = next(60) / 10.0f - 3.0f;
        tree.z = next(60) / 10.0f - 3.0f;
        tree.y = 0.0f;
    }
    figureHeading = 45.0f;
}

// No hits anywhere, so every benchmark draws living bunnies and an untouched figure.
static void clearScore()
{
    for (Entity& bunny : bunnies) {
        bunny.hits = 0;
    }
    for (int& hits : figurePartHits) {
        hits = 0;
    }
    shotsFired = 0;
}

// Play mode by day (sun) or by night (flashlight), lit as enterPlayMode lights it.
static void enterPlayLighting(int day)
{
    clearScore();
    playing = 1;
    daytime = day;
    flashlightOn = day == 1 ? 0 : 1;
    glDisable(GL_LIGHT2);
    if (daytime == 1) {
        glEnable(GL_LIGHT0);
    } else {
        glDisable(GL_LIGHT0);
    }
    if (flashlightOn == 1) {
        glEnable(GL_LIGHT1);
    } else {
        glDisable(GL_LIGHT1);
    }
}

static void enterMenuLighting()
{
    clearScore();
    enterMenuMode();
    menuScreen = 0;
    mouseX = menuPointerX;
    mouseY = menuPointerY;
}

// One part of the play scene on a cleared buffer, with the flashlight, camera and sun
// placed as display() places them, then waits for the rasteriser.
static void drawWithPlayCamera(void (*draw)())
{
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glPushMatrix();
        placePlayCamera();
        draw();
    glPopMatrix();
    glFinish();
}

static void benchPlayFrame(benchmark::State& state, const char* name, int day)
{
    enterPlayLighting(day);
    timedLoop(state, name, [] {
        display();
        glFinish();
    });
}

static void benchPlayFrameDay(benchmark::State& state)
{
    benchPlayFrame(state, "play_frame_day", 1);
}

static void benchPlayFrameNight(benchmark::State& state)
{
    benchPlayFrame(state, "play_frame_night", 0);
}

static void benchWorldAlone(benchmark::State& state)
{
    enterPlayLighting(1);
    timedLoop(state, "world_alone", [] { drawWithPlayCamera(drawWorld); });
}

// The world through an 8 x 6 viewport, under the same projection: the same vertices are lit,
// clipped and set up, but almost no pixel is filled. Set against world_alone it splits the
// world's cost into vertex work and pixel work.
static void benchWorldVertexWork(benchmark::State& state)
{
    enterPlayLighting(1);
    timedLoop(state, "world_vertex_work", [] {
        glViewport(0, 0, 8, 6);
        drawWithPlayCamera(drawWorld);
        glViewport(0, 0, benchWindowWidth, benchWindowHeight);
    });
}

// The world and the entities as the play frame draws them, without the HUD and the swap:
// set against the parts alone, it shows what drawing them together adds.
static void benchWorldAndEntities(benchmark::State& state)
{
    enterPlayLighting(1);
    timedLoop(state, "world_and_entities", [] {
        drawWithPlayCamera([] {
            drawWorld();
            drawEntities(0);
        });
    });
}

static void benchEntitiesAlone(benchmark::State& state)
{
    enterPlayLighting(1);
    timedLoop(state, "entities_alone", [] { drawWithPlayCamera([] { drawEntities(0); }); });
}

// The bunnies and the trees as drawEntities places them.
static void drawAllBunnies()
{
    for (int i = 0; i < bunnyCount; ++i) {
        glPushMatrix();
            drawBunny(i, bunnies[i].hits, 0);
        glPopMatrix();
    }
}

static void drawAllTrees()
{
    for (int j = 0; j < treeCount; ++j) {
        glPushMatrix();
            glTranslatef(trees[j].x, trees[j].y, trees[j].z);
            drawTree(j, 0);
        glPopMatrix();
    }
}

// The entities one kind at a time, to show where their cost lies.
static void benchFigureAlone(benchmark::State& state)
{
    enterPlayLighting(1);
    timedLoop(state, "figure_alone", [] { drawWithPlayCamera([] { drawFigure(0); }); });
}

static void benchBunniesAlone(benchmark::State& state)
{
    enterPlayLighting(1);
    timedLoop(state, "bunnies_alone", [] { drawWithPlayCamera(drawAllBunnies); });
}

static void benchTreesAlone(benchmark::State& state)
{
    enterPlayLighting(1);
    timedLoop(state, "trees_alone", [] { drawWithPlayCamera(drawAllTrees); });
}

static void benchHudAlone(benchmark::State& state)
{
    enterPlayLighting(1);
    timedLoop(state, "hud_alone", [] {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        glPushMatrix();
            drawHud();
        glPopMatrix();
        glFinish();
    });
}

// The floor under every frame: clearing and swapping an empty buffer.
static void benchClearAndSwap(benchmark::State& state)
{
    timedLoop(state, "clear_and_swap", [] {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glutSwapBuffers();
        glFinish();
    });
}

static void benchShotPick(benchmark::State& state)
{
    enterPlayLighting(1);
    silenceStdout();
    timedLoop(state, "shot_pick", [] {
        pick(0);
        glFinish();
    });
    restoreStdout();
    clearScore();
}

static void benchMenuPick(benchmark::State& state)
{
    enterMenuLighting();
    silenceStdout();
    timedLoop(state, "menu_pick", [] {
        pick(1);
        glFinish();
    });
    restoreStdout();
}

static void benchMenuFrame(benchmark::State& state)
{
    enterMenuLighting();
    timedLoop(state, "menu_frame", [] {
        display();
        glFinish();
    });
}

static void benchMeshLoad(benchmark::State& state)
{
    // The reader widens the shared bounds; put the game's own back afterwards.
    const float bounds[4] = {minX, maxX, minY, maxY};
    silenceStdout();
    timedLoop(state, "mesh_load", [] {
        Mesh mesh;
        loadMesh("meshes/bunny500.m", mesh);
        benchmark::DoNotOptimize(mesh.tris.data());
        releaseMesh(mesh);
    });
    restoreStdout();
    minX = bounds[0];
    maxX = bounds[1];
    minY = bounds[2];
    maxY = bounds[3];
}

static void benchTextureLoads(benchmark::State& state)
{
    Image* const gameImage = image;
    silenceStdout();
    timedLoop(state, "texture_loads", [] {
        unsigned int id = firstScratchTexture;
        for (const char* path : imagePaths) {
            loadTexture(path, id++);
        }
        glFinish();
    });
    restoreStdout();
    image = gameImage;
}

void registerBenchmarks()
{
    struct Entry {
        const char* name;
        void (*run)(benchmark::State&);
    };
    const Entry entries[] = {
        {"play_frame_day", benchPlayFrameDay}, {"play_frame_night", benchPlayFrameNight},
        {"world_alone", benchWorldAlone},      {"world_vertex_work", benchWorldVertexWork},
        {"world_and_entities", benchWorldAndEntities},
        {"entities_alone", benchEntitiesAlone},
        {"figure_alone", benchFigureAlone},    {"bunnies_alone", benchBunniesAlone},
        {"trees_alone", benchTreesAlone},      {"hud_alone", benchHudAlone},
        {"clear_and_swap", benchClearAndSwap}, {"shot_pick", benchShotPick},
        {"menu_pick", benchMenuPick},          {"menu_frame", benchMenuFrame},
        {"mesh_load", benchMeshLoad},
    };
    for (const Entry& e : entries) {
        benchmark::RegisterBenchmark(e.name, e.run)
            ->UseRealTime()
            ->MeasureProcessCPUTime()
            ->Unit(benchmark::kMillisecond);
    }
    // Each image load leaves its pixel block behind by design; a fixed count bounds that.
    benchmark::RegisterBenchmark("texture_loads", benchTextureLoads)
        ->UseRealTime()
        ->MeasureProcessCPUTime()
        ->Iterations(40)
        ->Unit(benchmark::kMillisecond);
}

// Lets the toolkit map the window and report its size.
static void pumpEvents(int ms)
{
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    do {
        glutMainLoopEvent();
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    } while (std::chrono::steady_clock::now() < end);
}

void setUpBenchGame()
{
    int argc = 1;
    char name[] = "vantreska_bench";
    char* argv[] = {name, nullptr};
    glutInit(&argc, argv);
    glutInitWindowSize(benchWindowWidth, benchWindowHeight);
    glutInitDisplayMode(GLUT_RGB | GLUT_DOUBLE | GLUT_DEPTH);
    glutCreateWindow("vantreska bench");
    glutDisplayFunc(display);
    glutReshapeFunc(reshape);
    glutSetOption(GLUT_ACTION_ON_WINDOW_CLOSE, GLUT_ACTION_CONTINUE_EXECUTION);
    pumpEvents(200);
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    initGL();
    reshape(benchWindowWidth, benchWindowHeight);
    if (chdir(VANTRESKA_DATA) != 0) {
        std::perror("chdir to the data directory");
    }
    silenceStdout();
    loadAssets();
    restoreStdout();
    initLights();
    newGame();
    layOutFixedField();
    enterPlayMode();
}
