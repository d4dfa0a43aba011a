// ".slev" level files, read and built into a `Level` with its physics and the real car on the
// null device: the level catches the reader's stream errors itself and ends in a world or a
// runtime error (a placement that places nothing, a mesh that is not there), nothing else;
// ODE never sees a matrix it refuses.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <stdexcept>
#include <vector>

#include "game/world/level/level.h"
#include "tests/fuzz/support/fuzz_services.h"
#include "tests/fuzz/support/memory_bound.h"
#include "tests/vehicle_car/car_fixture.h"
#include "tests/world_statics/world_art.h"

namespace {

// The car, the collision script and the meshes the seeds name, written once.
fuzz_support::Services& services() {
    static fuzz_support::Services& made = []() -> fuzz_support::Services& {
        fuzz_support::Services& s = fuzz_support::Services::instance();
        s.writeArt("config/physics.lua", "return physics.Collisions()\n");
        s.writeArt("config/car.lua", car_testing::carScript());
        s.writeArt("levels/car.slev", artlib::levelFileBytes(car_testing::carBundle()));
        for (const kesh::data::StaticObject& object : car_testing::carBundle().statics) {
            s.writeArt("mesh/" + object.mesh + ".wfm",
                       world_testing::boxMeshFile({-0.5f, -0.5f, -0.5f}, {0.5f, 0.5f, 0.5f}));
        }
        s.writeArt("mesh/crane_01.wfm",
                   world_testing::boxMeshFile({-2, 0, -2}, {2, 9, 2},
                                              {world_testing::partBox(-2, 0, -2, 2, 9, 2),
                                               world_testing::partBox(-2, 0, -2, 0, 9, 2)}));
        return s;
    }();
    return made;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz_support::Services& s = services();
    s.writeArt("levels/fuzz.slev", std::vector<std::uint8_t>(data, data + size));
    LevelParams params;
    params.root = kesh::toWide(s.artRoot());
    params.levelFile = L"levels/fuzz.slev";
    params.lightmapFolder = L"lightmaps/";
    params.physicsScript = L"physics.lua";
    const kesh::CameraView camera;
    fuzz_support::MemoryBound bound(size);
    try {
        Level level(s.dx.get(), camera, nullptr, nullptr, nullptr, params);
    } catch (const std::runtime_error&) {
    }
    return 0;
}
