// The generated instrument levels through the car interface, as the play stage builds it:
// both views read their ".slev" file and draw their parts and the radar with the meshes,
// effects and textures of the art folder, without a complaint or a checkerboard.
#include <gtest/gtest.h>

#include <d3d9/records.h>
#include <d3d9/seams.h>

#include <set>
#include <string>

#include "engine/core/strings.h"
#include "engine/render/mesh/mesh_loaders.h"
#include "game/app/hud/car_interface.h"
#include "tests/art/art_log.h"
#include "tests/art/generated_art.h"

namespace {

using namespace art_testing;

class CarInterfaceArtTest : public GeneratedArtTest {
protected:
    CarInterfaceArtTest() : GeneratedArtTest(morvale_testing::DeviceKind::Null, 800, 600) {}

    void SetUp() override {
        GeneratedArtTest::SetUp();
        timer.freq.QuadPart = 1000;
        timer.now.QuadPart = 0;
        camera.setProjection(0.9424778f, 800.0f / 600.0f, 0.5f, 2000.0f);
    }

    // One frame of the current view with the target far ahead and to the left; the draws.
    int renderAndCount(CarInterface& carInterface) {
        d3d9::DeviceRecord& record = *d3d9::deviceRecord(device);
        record.clear();
        EXPECT_EQ(device->BeginScene(), D3D_OK);
        carInterface.render(D3DXVECTOR3(0, 1, 0), D3DXQUATERNION(0, 0, 0, 1),
                            D3DXVECTOR3(-300, 0, 400), 0.3f, 60.0f);
        EXPECT_EQ(device->EndScene(), D3D_OK);
        int textured = 0;
        for (const d3d9::RecordedDraw& draw : record.draws) {
            IDirect3DBaseTexture9* texture = nullptr;
            for (IDirect3DBaseTexture9* bound : draw.state.textures) {
                texture = texture != nullptr ? texture : bound;
            }
            if (texture != nullptr) {
                EXPECT_FALSE(isFallback(texture)) << "a part is drawn with a checkerboard";
                ++textured;
            }
        }
        EXPECT_EQ(textured, static_cast<int>(record.draws.size())) << "an untextured part";
        return static_cast<int>(record.draws.size());
    }

    kesh::CameraView camera;
    kesh::PerfTimer timer;
};

TEST_F(CarInterfaceArtTest, BothViewsBuildFromTheirFilesAndDrawEveryPart) {
    captureComplaints();
    CarInterface carInterface(
        "car.fx", "car_interface.fx", kesh::toWide(artRoot() + "levels/interior.slev"),
        kesh::toWide(artRoot() + "levels/OnScreenInterface.slev"), &camera, &timer, nullptr);
    for (const bool inside : {false, true}) {
        SCOPED_TRACE(inside ? "cockpit" : "outside");
        carInterface.setView(inside);
        const kesh::data::LevelData* parts = carInterface.currentView()->parts();
        ASSERT_NE(parts, nullptr);
        std::set<std::string> meshes;
        for (const kesh::data::StaticObject& part : parts->statics) {
            meshes.insert(part.mesh);
            EXPECT_NE(kesh::theMeshInfoCache->fetch(part.mesh + ".wfm"), nullptr) << part.mesh;
        }
        // The parts, the radar's bearing mark and its bar cells.
        EXPECT_GT(renderAndCount(carInterface), 4);
        EXPECT_EQ(describeComplaints(), "");
    }
}

}  // namespace
