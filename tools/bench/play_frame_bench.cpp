// The play stage's frame on the sample level, the real car driving with the accelerator held
// (fresh runs of ten seconds each, so that it never leaves the level), run as the game's loop
// runs it (messages, audio update, scene, stage, Present) at
// 800 x 600 on the null or the OpenGL backend. Measured: the frame's CPU time on the calling
// thread and, on OpenGL, its wall time up to the end of the drawing (a finish after each
// Present: llvmpipe draws on threads of its own). A second stretch of the same drive is
// sampled for the shares of the frame's CPU spent in the level update, in the audio update
// and in the rest of the frame, which is its drawing. The functions and libraries the CPU
// time is spent in go to standard error. On OpenGL, the drive is also run once in each of
// the two views (cockpit and outside camera) for their frame times, the process's CPU a
// frame (llvmpipe's threads included) and the fragments shaded per back-buffer pixel:
// how many times over the scene covers the screen.
//
//   play_frame_bench null|gl [frames]     (default 1200 frames of each stretch)
#include <sched.h>
#include <time.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "bench_figures.h"
#include "cpu_sampler.h"
#include "fragment_query.h"
#include "game/world/level/level.h"
#include "game_session.h"
#include "tests/support/game_stage_probe.h"

namespace {

using bench::format;
using bench::printRow;

constexpr int kDriveFrames = 600;  // 10 s: the car stays inside the level, the run goes on

struct Drives {
    float distance = 0.0f;  // along the ground, summed over the drives
    int pausedFrames = 0;
};

D3DXVECTOR3 carPosition(bench::GameSession& session) {
    D3DXVECTOR3 position(0.0f, 0.0f, 0.0f);
    GameStageProbe(*session.stage()).level()->getCarPosition(position);
    return position;
}

// What a stretch of drives does around its frames: each frame between before and after, each
// drive's frames (but not its loading and first frames) between begin and end.
struct Around {
    std::function<void()> before = [] {};
    std::function<void()> after = [] {};
    std::function<void()> begin = [] {};
    std::function<void()> end = [] {};
};

// Frames of fresh runs, kDriveFrames each, from the start with the accelerator held.
void drive(bench::GameSession& session, int frames, Drives& drives, const Around& around) {
    for (int done = 0; done < frames;) {
        session.play();
        // The first frames load what the first views need and fill the driver's caches.
        for (int i = 0; i < 60; ++i) {
            session.frame();
        }
        session.finishDrawing();
        const D3DXVECTOR3 start = carPosition(session);
        around.begin();
        for (int i = 0; i < kDriveFrames && done < frames; ++i, ++done) {
            around.before();
            session.frame();
            session.finishDrawing();
            around.after();
            drives.pausedFrames += GameStageProbe(*session.stage()).paused() ? 1 : 0;
        }
        around.end();
        const D3DXVECTOR3 moved = carPosition(session) - start;
        drives.distance += std::sqrt(moved.x * moved.x + moved.z * moved.z);
    }
}

double processCpuSeconds() {
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

struct ViewFigures {
    double wall = 0.0;        // median, seconds
    double processCpu = 0.0;  // median, seconds
    double threadCpu = 0.0;   // median, seconds: the calling thread's part
    double fragmentsPerPixel = 0.0;
};

// Cores the process may run on (taskset narrows them).
int usableCores() {
    cpu_set_t set;
    CPU_ZERO(&set);
    return sched_getaffinity(0, sizeof set, &set) == 0 ? std::max(1, CPU_COUNT(&set)) : 1;
}

// One drive in the cockpit view or the outside view, each frame under a fragment query.
ViewFigures measureView(bench::GameSession& session, bool inside, int frames, int pixels,
                        std::string& counted) {
    session.play();
    if (GameStageProbe(*session.stage()).insideView() != inside) {
        session.stage()->toggleView();
    }
    for (int i = 0; i < 60; ++i) {
        session.frame();
    }
    session.finishDrawing();
    bench::FragmentQuery query;
    counted = query.counts();
    std::vector<double> wall;
    std::vector<double> cpu;
    std::vector<double> thread;
    std::vector<double> fragments;
    for (int i = 0; i < std::min(frames, kDriveFrames); ++i) {
        const double wallStart = bench::wallSeconds();
        const double cpuStart = processCpuSeconds();
        const double threadStart = bench::threadCpuSeconds();
        query.begin();
        session.frame();
        const std::uint64_t shaded = query.end();
        session.finishDrawing();
        cpu.push_back(processCpuSeconds() - cpuStart);
        thread.push_back(bench::threadCpuSeconds() - threadStart);
        wall.push_back(bench::wallSeconds() - wallStart);
        fragments.push_back(static_cast<double>(shaded) / pixels);
    }
    return {bench::median(wall), bench::median(cpu), bench::median(thread),
            bench::median(fragments)};
}

void printViews(bench::GameSession& session, int frames) {
    std::string counted;
    const ViewFigures cockpit = measureView(session, true, frames, 800 * 600, counted);
    const ViewFigures outside = measureView(session, false, frames, 800 * 600, counted);
    const std::pair<const char*, const ViewFigures*> views[] = {{"cockpit", &cockpit},
                                                                {"outside", &outside}};
    for (const auto& [name, figures] : views) {
        const std::string view = std::string(", gl, ") + name + " view";
        printRow("play frame wall" + view, format("%.3f ms", figures->wall * 1e3), "-");
        printRow("play frame process CPU" + view, format("%.3f ms", figures->processCpu * 1e3),
                 "-");
        printRow("fragments " + counted + "/pixel" + view,
                 format("%.2f", figures->fragmentsPerPixel), "-");
        // The limit the game is held against: a program whose calling thread cost nothing,
        // left with the rasteriser's threads' work spread over every usable core.
        const double raster = std::max(figures->processCpu - figures->threadCpu, 1e-9);
        printRow("play frames/s" + view, format("%.1f", 1.0 / figures->wall), "-");
        printRow("plain GL frames/s at most" + view,
                 format("%.1f", static_cast<double>(usableCores()) / raster), "-");
    }
    printRow("outside/cockpit frame wall, gl", format("%.2fx", outside.wall / cockpit.wall),
             "<= 1.3x");
    printRow("outside/cockpit process CPU, gl",
             format("%.2fx", outside.processCpu / cockpit.processCpu), "<= 1.3x");
}

int run(const std::string& backendName, int frames) {
    const bool gl = backendName == "gl";
    bench::GameSession session(gl ? d3d9::BackendKind::Gl : d3d9::BackendKind::Null);

    Drives drives;
    std::vector<double> cpu;
    std::vector<double> wall;
    double wallStart = 0.0;
    double cpuStart = 0.0;
    Around timed;
    timed.before = [&] {
        wallStart = bench::wallSeconds();
        cpuStart = bench::threadCpuSeconds();
    };
    timed.after = [&] {
        cpu.push_back(bench::threadCpuSeconds() - cpuStart);
        wall.push_back(bench::wallSeconds() - wallStart);
    };
    drive(session, frames, drives, timed);
    const float timedDistance = drives.distance;

    // Enough samples on either backend, within the sampler's capacity: its timer fires about
    // once a scheduler tick of the thread's CPU, and a null frame takes some 50 us. The
    // sampler runs through whole drives: started and stopped around each frame, it would
    // find every frame at the same point.
    bench::CpuSampler sampler(gl ? 250 : 50);
    Around sampling;
    sampling.begin = [&] { sampler.start(); };
    sampling.end = [&] { sampler.stop(); };
    drive(session, gl ? frames : 40 * frames, drives, sampling);

    const std::string on = ", " + backendName;
    printRow("play frame CPU" + on + ", median", format("%.3f ms", bench::median(cpu) * 1e3),
             gl ? "-" : "< 1 ms");
    printRow("play frame CPU" + on + ", 99th percentile",
             format("%.3f ms", bench::quantile(cpu, 0.99) * 1e3), "-");
    if (gl) {
        printRow("play frame wall" + on + ", median", format("%.3f ms", bench::median(wall) * 1e3),
                 "-");
        printRow("play frame wall" + on + ", 99th percentile",
                 format("%.3f ms", bench::quantile(wall, 0.99) * 1e3), "-");
        printRow("play frames/s" + on + " (median wall)", format("%.0f", 1.0 / bench::median(wall)),
                 ">= 120");
    }
    // Present ends the game's frame, and each layer below hands it on, as a tail call: its
    // samples lack the callers' functions and are looked for by every name the swap goes
    // through. A sample whose stack does not reach main was not unwound (code without
    // unwind tables, such as the JIT code of llvmpipe).
    const std::vector<std::vector<std::string>> parts = {
        {"Level::update("},
        {"AudioSystem::update("},
        {"Game::onFrame("},
        {"d3d9::Device::Present(", "d3d9::gl::GlBackend::present(", "d3d9::gl::GlContext::swap(",
         "SDL_GL_SwapWindow"},
        {"bench::GameSession::finishDrawing("},
        {"bench::GameSession::frame("},
        {"main"}};
    const char* labels[] = {"level update",
                            "audio update",
                            "drawing: the scene",
                            "drawing: Present",
                            "bench's finish after Present",
                            "message pump",
                            "bench itself",
                            "stack not unwound"};
    std::vector<std::string> names;
    std::vector<std::size_t> partOf;
    for (std::size_t p = 0; p < parts.size(); ++p) {
        for (const std::string& name : parts[p]) {
            names.push_back(name);
            partOf.push_back(p);
        }
    }
    partOf.push_back(parts.size());
    const std::vector<bench::CpuSampler::Count> counts = sampler.attribute(names);
    std::vector<double> shares(parts.size() + 1, 0.0);
    for (std::size_t k = 0; k < counts.size(); ++k) {
        shares[partOf[k]] += counts[k].seconds;
    }
    const double sampled = std::max(sampler.sampledSeconds(), 1e-9);
    for (std::size_t p = 0; p < shares.size(); ++p) {
        printRow("frame CPU share" + on + ": " + labels[p],
                 format("%.1f %%", 100.0 * shares[p] / sampled), "-");
    }
    printRow("car driven in the timed frames" + on, format("%.1f units", timedDistance), "-");
    if (gl) {
        printViews(session, frames);
    }
    if (drives.pausedFrames > 0) {
        printRow("frames with the run paused" + on, std::to_string(drives.pausedFrames), "0");
    }

    std::fprintf(stderr, "%s: %zu samples of the frames' CPU time\n", backendName.c_str(),
                 sampler.sampleCount());
    for (const auto& f : sampler.topFunctions(15)) {
        std::fprintf(stderr, "  %5.1f %%  %s\n", 100.0 * f.seconds / sampled, f.name.c_str());
    }
    std::fprintf(stderr, "  by library:\n");
    for (const auto& f : sampler.topLibraries(8)) {
        std::fprintf(stderr, "  %5.1f %%  %s\n", 100.0 * f.seconds / sampled, f.name.c_str());
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2 || (std::strcmp(argv[1], "null") != 0 && std::strcmp(argv[1], "gl") != 0)) {
        std::fprintf(stderr, "usage: play_frame_bench null|gl [frames]\n");
        return 2;
    }
    const int frames = argc > 2 ? std::max(10, std::atoi(argv[2])) : 1200;
    return run(argv[1], frames);
}
