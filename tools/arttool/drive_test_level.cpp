#include "tools/arttool/drive_test_level.h"

#include <d3dx9math.h>

#include <cstdint>
#include <string>

#include "tools/artlib/level_writer.h"
#include "tools/artlib/mesh_writer.h"
#include "tools/arttool/mesh_builder.h"
#include "tools/arttool/textures.h"
#include "tools/arttool/town_plan.h"

namespace arttool {

namespace {

constexpr float halfSize = 40.0f;
// As the town's: the ride height above the ground's top at y 0.
constexpr float locatorHeight = 1.2f;
// The map screen places the car by the level's box (its statics') on the town's plan, so
// posts in the corners of the town's box give this level the town's box, and the slab sits in
// the middle of it: the run shows on the map where the plan has its centre.
constexpr float postHeight = 5.0f;
constexpr float centreX = (TownPlan::minX + TownPlan::maxX) * 0.5f;
constexpr float centreZ = (TownPlan::minZ + TownPlan::maxZ) * 0.5f;
constexpr float startZ = centreZ - 15.0f;
constexpr float endZ = centreZ + 15.0f;

D3DXMATRIX translation(float x, float y, float z) {
    D3DXMATRIX m;
    D3DXMatrixTranslation(&m, x, y, z);
    return m;
}

}  // namespace

void makeDriveTestLevel(const ArtOutput& out) {
    const float h = halfSize;
    MeshBuilder mesh;
    const int asphalt = mesh.material(tex::asphalt);
    mesh.box({-h, -1.0f, -h}, {h, 0.0f, h}, asphalt, {8.0f, 8.0f});
    out.write("mesh/drive_test_ground.wfm",
              artlib::meshFileBytes(mesh.finish({{{-h, -1.0f, -h}, {h, 0.0f, h}}})));

    MeshBuilder post;
    const int concrete = post.material(tex::asphalt);
    post.box({-0.5f, 0.0f, -0.5f}, {0.5f, postHeight, 0.5f}, concrete, {1.0f, 1.0f});
    out.write(
        "mesh/drive_test_post.wfm",
        artlib::meshFileBytes(post.finish({{{-0.5f, 0.0f, -0.5f}, {0.5f, postHeight, 0.5f}}})));

    kesh::data::LevelData level;
    level.name = "drive_test";
    kesh::data::StaticObject ground;
    ground.id = 1;
    ground.name = "ground";
    ground.mesh = "drive_test_ground";
    ground.transform = translation(centreX, 0.0f, centreZ);
    level.statics.push_back(ground);
    std::uint32_t id = 1;
    for (const float x : {TownPlan::minX + 0.5f, TownPlan::maxX - 0.5f}) {
        for (const float z : {TownPlan::minZ + 0.5f, TownPlan::maxZ - 0.5f}) {
            kesh::data::StaticObject corner;
            corner.id = ++id;
            corner.name = "post" + std::to_string(id);
            corner.mesh = "drive_test_post";
            corner.transform = translation(x, 0.0f, z);
            level.statics.push_back(corner);
        }
    }

    // Heading 0 faces +z, towards the end.
    kesh::data::LocatorObject start;
    start.id = ++id;
    start.name = "start1";
    start.tag = "start";
    start.transform = translation(centreX, locatorHeight, startZ);
    level.locators.push_back(start);
    kesh::data::LocatorObject end;
    end.id = ++id;
    end.name = "end1";
    end.tag = "end";
    end.transform = translation(centreX, locatorHeight, endZ);
    level.locators.push_back(end);

    out.write("levels/drive_test.slev", artlib::levelFileBytes(level));
}

}  // namespace arttool
