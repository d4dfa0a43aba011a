// Draw calls per second and calling-thread CPU per draw for 10,000 small textured meshes a
// frame, each with its own world matrix: through a device on the null and on the OpenGL
// backend, and through plain OpenGL doing only what the draws need. The three run in one
// process, frames interleaved round by round, so that they share the machine's state.
// Each figure is that of the median frame. Run with SDL_VIDEODRIVER=offscreen where there
// is no display; the argument is the number of rounds (default 20).
#include <time.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <vector>

#include "bare_scene.h"
#include "d3d9/drawing.h"
#include "d3d9/seams.h"
#include "device_scene.h"
#include "win32/window_seams.h"

namespace {

struct Side {
    const char* name = "";
    std::function<void()> frame;
    std::vector<double> seconds;  // per frame
    std::vector<double> cpuSeconds;
};

// Other work on the machine slows some frames: the median frame is the one reported.
double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n % 2 == 1 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

double threadCpuSeconds() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

void measure(Side& side) {
    const auto start = std::chrono::steady_clock::now();
    const double cpuStart = threadCpuSeconds();
    side.frame();
    side.cpuSeconds.push_back(threadCpuSeconds() - cpuStart);
    side.seconds.push_back(
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
}

int run(int rounds) {
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
    for (int round = 0; round < rounds; ++round) {
        for (int k = 0; k < 3; ++k) {
            measure(sides[(round + k) % 3]);
        }
    }
    const double draws = bench::kMeshes;
    std::printf("%-6s %14s %16s\n", "", "draws/s", "CPU us/draw");
    double rate[3];
    double cpu[3];
    for (int s = 0; s < 3; ++s) {
        rate[s] = draws / median(sides[s].seconds);
        cpu[s] = median(sides[s].cpuSeconds) / draws * 1e6;
        std::printf("%-6s %14.0f %16.3f\n", sides[s].name, rate[s], cpu[s]);
    }
    std::printf(
        "gl/bare: %.2fx the draw rate, %.2fx the CPU per draw (target >= 0.90x, <= 1.30x)\n",
        rate[1] / rate[2], cpu[1] / cpu[2]);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 20;
    const int result = run(rounds);
    win32::resetWindowSystem();
    return result;
}
