// The level's construction alone on the sample level ("levels/final_level.slev" with the
// real car), with the game's services published and the play stage's effect manager and
// effect list in place, as the play stage builds it. The first construction of the process
// finds the resource caches empty (cold; the files come from the system's file cache), the
// later ones find what the levels before them left there (warm).
//
//
// Then a level of 100,000 solid statics, a copy of the sample level's first solid static on a
// grid (written as "many_statics.slev" into the current folder), built and ended once: the
// time the level takes to load and to end with that many boxes in ODE.
//
//   level_load_bench null|gl [warm runs]     (default 10)
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "bench_figures.h"
#include "engine/core/publish.h"
#include "engine/core/strings.h"
#include "engine/render/quad/quad_batcher.h"
#include "engine/render/visual_effects/effect_manager.h"
#include "game/data/level_file.h"
#include "game/world/level/level.h"
#include "game_session.h"
#include "tests/support/level_probe.h"
#include "tools/artlib/level_writer.h"

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

constexpr int kManyStatics = 100000;

// The sample level's first solid static kManyStatics times over, 20 units apart, in a level
// file in the current folder; the root of that folder, with its trailing separator.
std::wstring writeManyStatics(const std::wstring& artRoot) {
    kesh::data::LevelData sample;
    kesh::data::readLevelFileAt(artRoot + L"levels/final_level.slev", sample);
    kesh::data::StaticObject model;
    for (const kesh::data::StaticObject& object : sample.statics) {
        if ((object.flags & kesh::data::StaticObject::solidFlag) != 0) {
            model = object;
            break;
        }
    }
    kesh::data::LevelData many;
    many.name = "many statics";
    many.statics.reserve(kManyStatics);
    const int side = static_cast<int>(std::ceil(std::sqrt(static_cast<double>(kManyStatics))));
    for (int i = 0; i < kManyStatics; ++i) {
        kesh::data::StaticObject object = model;
        object.id = static_cast<std::uint32_t>(i);
        object.transform._41 = static_cast<float>(i % side) * 20.0f;
        object.transform._43 = static_cast<float>(i / side) * 20.0f;
        many.statics.push_back(object);
    }
    const std::vector<std::uint8_t> bytes = artlib::levelFileBytes(many);
    std::ofstream("many_statics.slev", std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
    char here[4096];
    return kesh::toWide(std::string(getcwd(here, sizeof here) ? here : ".") + "/");
}

void loadManyStatics(bench::GameSession& session, const LevelParams& sampleParams,
                     const std::string& on) {
    LevelParams params = sampleParams;
    params.root = writeManyStatics(session.root());
    params.levelFile = L"many_statics.slev";
    // The car and its bundle come from the art folder as always.
    const std::wstring artRoot = session.root();
    params.carMaker = [artRoot](PhysicsSpace& space, kesh::Decaler* decaler, AudioSystem* audio,
                                const std::wstring&) {
        return makeJeep(space, decaler, audio, artRoot);
    };
    const kesh::CameraView camera;
    const double loadStart = bench::wallSeconds();
    auto level = std::make_unique<Level>(&session.dx(), camera, nullptr, nullptr,
                                         GameProbe(session.game()).audio(), params);
    const double endStart = bench::wallSeconds();
    const std::size_t statics = level->getStatics()->size();
    level.reset();
    const double end = bench::wallSeconds();
    std::remove("many_statics.slev");
    const std::string what = "level of " + std::to_string(statics) + " solid statics" + on;
    printRow(what + ": load (wall)", format("%.3f s", endStart - loadStart), "< 1 s");
    printRow(what + ": end (wall)", format("%.3f s", end - endStart), "< 0.5 s");
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
    const std::string on = ", " + backendName;

    printRow("level load" + on + ", cold (wall)", format("%.3f s", cold.wall), "< 0.3 s");
    printRow("level load" + on + ", cold (CPU)", format("%.3f s", cold.cpu), "-");
    printRow("level load" + on + ", warm median (wall)", format("%.3f s", bench::median(wall)),
             "< 0.3 s");
    printRow("level load" + on + ", warm median (CPU)", format("%.3f s", bench::median(cpu)), "-");
    printRow("level loaded: statics, effect locators",
             std::to_string(cold.statics) + ", " + std::to_string(cold.effects), "-");
    loadManyStatics(session, params, on);
    kesh::withdraw(kesh::theEffectManager);
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
