// Draw calls per second and calling-thread CPU per draw for 10,000 small textured meshes a
// frame, each with its own world matrix: through a device on the null and on the OpenGL
// backend, and through plain OpenGL doing only what the draws need. The three run in one
// process, frames interleaved round by round, so that they share the machine's state.
// Each figure is that of the median frame; the ratios are the medians of several runs. Run
// with SDL_VIDEODRIVER=offscreen where there is no display.
//
// llvmpipe takes a few megabytes of bin memory each frame and frees it again; glibc would
// hand that back to the system at once and fault it in again on the next frame, a cost that
// falls on whichever side the heap's layout happens to put it. The allocator is told to
// keep its memory, so that both sides draw on the same terms.
//
//   d3d9_draw_bench [rounds] [runs]     (default 20 rounds of each side, 5 runs)
#include <malloc.h>
#include <time.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <vector>

#include "bare_scene.h"
#include "bench_figures.h"
#include "d3d9/drawing.h"
#include "d3d9/seams.h"
#include "device_scene.h"
#include "win32/window_seams.h"

namespace {

using bench::format;
using bench::printRow;

struct Side {
    const char* name = "";
    std::function<void()> frame;
    std::vector<double> seconds;  // per frame
    std::vector<double> cpuSeconds;
};

void measure(Side& side) {
    const double start = bench::wallSeconds();
    const double cpuStart = bench::threadCpuSeconds();
    side.frame();
    side.cpuSeconds.push_back(bench::threadCpuSeconds() - cpuStart);
    side.seconds.push_back(bench::wallSeconds() - start);
}

int run(int rounds, int runs) {
    // Before the first frame: see the top of the file.
    mallopt(M_TRIM_THRESHOLD, 256 << 20);
    mallopt(M_MMAP_THRESHOLD, 16 << 20);
    win32::useWindowBackend(win32::WindowBackendKind::Sdl);
    d3d9::useBackend(d3d9::BackendKind::Null);
    bench::DeviceScene null(L"null");
    d3d9::useBackend(d3d9::BackendKind::Gl);
    bench::DeviceScene gl(L"gl");
    d3d9::useBackend(d3d9::BackendKind::Null);
    bench::BareScene bare;
    if (!null.ready() || !gl.ready() || !bare.ready()) {
        std::fprintf(stderr, "no device or no OpenGL 3.3 context here\n");
        return 1;
    }
    Side sides[3];
    sides[0].name = "null";
    sides[0].frame = [&] { null.frame(); };
    sides[1].name = "gl";
    sides[1].frame = [&] {
        gl.frame();
        bench::finishCurrentContext();
    };
    sides[2].name = "bare";
    sides[2].frame = [&] {
        bare.frame();
        bare.finish();
    };
    // Caches, shaders and the driver's first-use work out of the way.
    for (Side& side : sides) {
        side.frame();
        side.frame();
    }
    const double draws = bench::kMeshes;
    std::vector<double> rateRatios;
    std::vector<double> cpuRatios;
    std::fprintf(stderr,
                 "draw calls, %d meshes a frame, %d rounds a run; glibc keeps its "
                 "memory (no trimming) on every side\n",
                 bench::kMeshes, rounds);
    std::fprintf(stderr, "%-4s %-6s %14s %16s\n", "run", "", "draws/s", "CPU us/draw");
    for (int r = 0; r < runs; ++r) {
        for (Side& side : sides) {
            side.seconds.clear();
            side.cpuSeconds.clear();
        }
        for (int round = 0; round < rounds; ++round) {
            for (int k = 0; k < 3; ++k) {
                measure(sides[(round + k) % 3]);
            }
        }
        double rate[3];
        double cpu[3];
        for (int s = 0; s < 3; ++s) {
            rate[s] = draws / bench::median(sides[s].seconds);
            cpu[s] = bench::median(sides[s].cpuSeconds) / draws * 1e6;
            std::fprintf(stderr, "%-4d %-6s %14.0f %16.3f\n", r + 1, sides[s].name, rate[s],
                         cpu[s]);
        }
        rateRatios.push_back(rate[1] / rate[2]);
        cpuRatios.push_back(cpu[1] / cpu[2]);
    }
    // The heap kept untrimmed on both sides (see above).
    const std::string of = " (no trim, " + std::to_string(runs) + " runs)";
    printRow("draws/s, device/plain GL" + of, format("%.2fx", bench::median(rateRatios)),
             ">= 0.95x");
    printRow("CPU/draw, device/plain GL" + of, format("%.2fx", bench::median(cpuRatios)),
             "<= 1.25x");
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 20;
    const int runs = argc > 2 ? std::max(1, std::atoi(argv[2])) : 5;
    const int result = run(rounds, runs);
    win32::resetWindowSystem();
    return result;
}
