#include "tools/arttool/drive_test_level.h"

#include <d3dx9math.h>

#include "tools/artlib/level_writer.h"
#include "tools/artlib/mesh_writer.h"
#include "tools/arttool/mesh_builder.h"
#include "tools/arttool/textures.h"

namespace arttool {

namespace {

constexpr float halfSize = 40.0f;
// As the town's: the ride height above the ground's top at y 0.
constexpr float locatorHeight = 1.2f;
constexpr float startZ = -15.0f;
constexpr float endZ = 15.0f;

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

    kesh::data::LevelData level;
    level.name = "drive_test";
    kesh::data::StaticObject ground;
    ground.id = 1;
    ground.name = "ground";
    ground.mesh = "drive_test_ground";
    ground.transform = translation(0.0f, 0.0f, 0.0f);
    level.statics.push_back(ground);

    // Heading 0 faces +z, towards the end.
    kesh::data::LocatorObject start;
    start.id = 2;
    start.name = "start1";
    start.tag = "start";
    start.transform = translation(0.0f, locatorHeight, startZ);
    level.locators.push_back(start);
    kesh::data::LocatorObject end;
    end.id = 3;
    end.name = "end1";
    end.tag = "end";
    end.transform = translation(0.0f, locatorHeight, endZ);
    level.locators.push_back(end);

    out.write("levels/drive_test.slev", artlib::levelFileBytes(level));
}

}  // namespace arttool
