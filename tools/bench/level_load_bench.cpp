// The level's construction alone on the sample level ("levels/final_level.slev" with the
// real car), with the game's services published and the play stage's effect manager and
// effect list in place, as the play stage builds it. The first construction of the process
// finds the resource caches empty (cold; the files come from the system's file cache), the
// later ones find what the levels before them left there (warm).
//
//   level_load_bench null|gl [warm runs]     (default 10)
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "bench_figures.h"
#include "engine/core/publish.h"
#include "engine/render/quad/quad_batcher.h"
#include "engine/render/visual_effects/effect_manager.h"
#include "game/world/level/level.h"
#include "game_session.h"
#include "tests/support/level_probe.h"

namespace {

using bench::format;
using bench::printRow;

struct Load {
    double wall;
    double cpu;
    std::size_t statics;  // what the level holds, so that a load that failed shows
    std::size_t effects;
};

Load loadLevel(bench::GameSession& session, const LevelParams& params) {
    const kesh::CameraView camera;
    const double wallStart = bench::wallSeconds();
    const double cpuStart = bench::threadCpuSeconds();
    auto level = std::make_unique<Level>(&session.dx(), camera, nullptr, nullptr,
                                         GameProbe(session.game()).audio(), params);
    session.finishDrawing();
    const Load load{bench::wallSeconds() - wallStart, bench::threadCpuSeconds() - cpuStart,
                    level->getStatics()->size(), LevelProbe::data(*level).effects.size()};
    level.reset();
    return load;
}

int run(const std::string& backendName, int warmRuns) {
    const bool gl = backendName == "gl";
    bench::GameSession session(gl ? d3d9::BackendKind::Gl : d3d9::BackendKind::Null);
    kesh::QuadBatcher quads(&session.dx());
    kesh::publish(kesh::theEffectManager,
                  std::make_unique<kesh::EffectManager>(&session.dx(), &quads));
    kesh::theEffectManager->readEffectList(session.root() + L"config/", L"effect_config.cmd");

    LevelParams params;
    params.root = session.root();
    params.levelFile = L"levels/final_level.slev";
    params.lightmapFolder = L"lightmaps/level01/";
    params.physicsScript = L"physics.lua";

    const Load cold = loadLevel(session, params);
    std::vector<double> wall;
    std::vector<double> cpu;
    for (int i = 0; i < warmRuns; ++i) {
        const Load warm = loadLevel(session, params);
        wall.push_back(warm.wall);
        cpu.push_back(warm.cpu);
    }
    kesh::withdraw(kesh::theEffectManager);

    const std::string on = ", " + backendName;
    printRow("level load" + on + ", cold (wall)", format("%.3f s", cold.wall), "< 0.3 s");
    printRow("level load" + on + ", cold (CPU)", format("%.3f s", cold.cpu), "-");
    printRow("level load" + on + ", warm median (wall)", format("%.3f s", bench::median(wall)),
             "< 0.3 s");
    printRow("level load" + on + ", warm median (CPU)", format("%.3f s", bench::median(cpu)), "-");
    printRow("level loaded: statics, effect locators",
             std::to_string(cold.statics) + ", " + std::to_string(cold.effects), "-");
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2 || (std::strcmp(argv[1], "null") != 0 && std::strcmp(argv[1], "gl") != 0)) {
        std::fprintf(stderr, "usage: level_load_bench null|gl [warm runs]\n");
        return 2;
    }
    const int runs = argc > 2 ? std::max(1, std::atoi(argv[2])) : 10;
    return run(argv[1], runs);
}
